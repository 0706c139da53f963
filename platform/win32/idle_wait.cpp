// How the idle loop sleeps on Windows. A timed wait normally ends on a tick
// of the system timer, every 15.6 ms; asking for 1 ms ticks (timeBeginPeriod)
// speeds up the timer of the whole system, which costs power while the saver
// sleeps tens of milliseconds between frames. So a wait uses a
// high-resolution waitable timer where the system has one (exact, without
// touching the system timer); elsewhere it sleeps at the coarse tick until
// about one tick before its end and raises the precision only for that last
// stretch, lowering it again before the next long sleep.
#include "win32/idle_wait.h"

#include <chrono>

#include <mmsystem.h>

namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 and later).
constexpr DWORD kHighResolutionTimer = 0x2;
// A coarse timed wait may end this much late.
constexpr DWORD kCoarseTickMs = 16;

using CreateWaitableTimerExFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);

// Looked up at run time: older systems lack the call, or refuse the flag.
HANDLE CreateHighResolutionTimer()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return nullptr;
    auto create = reinterpret_cast<CreateWaitableTimerExFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "CreateWaitableTimerExW")));
    return create ? create(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS) : nullptr;
}

bool MessageWaits(DWORD waitResult, DWORD handleCount)
{
    return waitResult != WAIT_TIMEOUT && !(handleCount > 0 && waitResult == WAIT_OBJECT_0);
}

}  // namespace

namespace vyla::win32 {

IdleWait::IdleWait() : timer_(CreateHighResolutionTimer()) {}

IdleWait::~IdleWait()
{
    if (precisionRaised_)
        timeEndPeriod(1);
    if (timer_)
        CloseHandle(timer_);
}

void IdleWait::Wait(DWORD timeoutMs)
{
    if (timeoutMs != INFINITE && timer_) {
        LARGE_INTEGER due{};
        due.QuadPart = -10'000LL * timeoutMs;  // relative, in 100 ns units
        if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
            if (MessageWaits(MsgWaitForMultipleObjects(1, &timer_, FALSE, INFINITE, QS_ALLINPUT), 1))
                CancelWaitableTimer(timer_);
            return;
        }
    }
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs == INFINITE ? 0 : timeoutMs);
    for (;;) {
        DWORD wait = INFINITE;
        if (timeoutMs != INFINITE) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0)
                return;
            wait = static_cast<DWORD>(left);
        }
        bool precise = wait <= kCoarseTickMs;
        if (precise != precisionRaised_) {
            if (precise)
                timeBeginPeriod(1);
            else
                timeEndPeriod(1);
            precisionRaised_ = precise;
        }
        if (!precise && wait != INFINITE)
            wait -= kCoarseTickMs;
        if (MessageWaits(MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT), 0))
            return;
    }
}

}  // namespace vyla::win32
