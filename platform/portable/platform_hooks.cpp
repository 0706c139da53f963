// The framework's platform hooks on the portable runtime: the runtime library
// from the runtime's arguments and the host's clock; window contexts that
// draw straight into the screen the host shows; settings files where the
// host says; waits that are the host's, already exact; and dialogs that keep
// their captions as the template gives them.
#include <algorithm>

#include "framework/platform_hooks.h"
#include "ini/ini_file.h"
#include "ini/posix_file_system.h"
#include "portable/profile_path.h"
#include "portable/runtime.h"

int RuntimeArgc()
{
    return static_cast<int>(vyla::portable::Runtime::Current().arguments.size());
}

char** RuntimeArgv()
{
    return vyla::portable::Runtime::Current().argumentPointers.data();
}

long long CalendarTime()
{
    return vyla::portable::Runtime::Current().GetHost().CalendarTime();
}

std::uint32_t& RandomState()
{
    // Each runtime has its own sequence, as each process has its own rand().
    return vyla::portable::Runtime::Current().randomState;
}

bool EmptyCommandLineConfigures()
{
    return false;
}

HDC AcquireWindowDC(HWND window)
{
    return GetDC(window);
}

void ReleaseWindowDC(HWND window, HDC dc)
{
    ReleaseDC(window, dc);
}

void NoteWindowDrawing(HWND, HDC)
{
    // The host collects what changed as it is drawn.
}

bool WindowSurfaceMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* fileName)
{
    return GetPrivateProfileIntA(section, key, defaultValue, fileName);
}

TProfileWriteResult WriteProfileTexts(const char* section, const TProfileEntries& entries, const char* fileName)
{
    const std::filesystem::path path = vyla::portable::ProfilePath(fileName ? fileName : "");
    vyla::ini::PosixFileSystem files;
    TProfileWriteResult result = vyla::ini::SaveValues(files, path, section ? section : "", entries);
    if (result.Error != TProfileError::None)
        result.File = path.string();
    return result;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    // The portable runtime's texts are UTF-8 already.
    return MessageBoxA(owner, text, caption, type);
}

INT_PTR RunModalDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    return DialogBoxParamA(instance, templateName, owner, proc, param);
}

void ShowScreenMiniature(HWND window)
{
    // The window draws straight onto the screen: the miniature is drawn
    // there, under the window, from a copy of the screen as it is now.
    auto& rt = vyla::portable::Runtime::Current();
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    // Windows here have no frames: the client area starts at the window's corner.
    RECT placed{};
    GetWindowRect(window, &placed);
    const POINT origin{placed.left, placed.top};
    vyla::raster::Surface& screen = rt.GetHost().Screen();
    const vyla::raster::Surface copy = screen;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int w = client.right, h = client.bottom;
    const vyla::Rect area = vyla::Rect::FromXYWH(origin.x, origin.y, w, h).Intersected(screen.Bounds());
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            // Nearest neighbour, as the raster stretches pictures.
            const auto sx = static_cast<int>(static_cast<long long>(x - origin.x) * sw / w);
            const auto sy = static_cast<int>(static_cast<long long>(y - origin.y) * sh / h);
            screen.Set(x, y, copy.At(std::min(sx, copy.Width() - 1), std::min(sy, copy.Height() - 1)));
        }
    if (!area.IsEmpty())
        rt.GetHost().ScreenDrawn(area);
}

// The host's waits are exact already: there is nothing to keep between them.
struct TIdleWait::TState {};

TIdleWait::TIdleWait() = default;

TIdleWait::~TIdleWait() = default;

void TIdleWait::Wait(DWORD timeoutMs)
{
    if (timeoutMs == INFINITE)
        WaitMessage();
    else
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}
