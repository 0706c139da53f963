// How the idle loop sleeps on Windows: exact waits without keeping the
// system's timer fast while the program sleeps for long.
#pragma once

#include "system_api.h"

namespace vyla::win32 {

class IdleWait {
public:
    IdleWait();
    ~IdleWait();
    IdleWait(const IdleWait&) = delete;
    IdleWait& operator=(const IdleWait&) = delete;

    // Returns when a message waits or timeoutMs milliseconds have passed;
    // INFINITE waits for a message alone.
    void Wait(DWORD timeoutMs);

private:
    HANDLE timer_ = nullptr;  // high-resolution waitable timer, where the system has one
    bool precisionRaised_ = false;  // the system timer's period is raised right now
};

}  // namespace vyla::win32
