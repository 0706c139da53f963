// The portable runtime's side of the framework's platform hooks: its window
// contexts draw straight into the screen the host shows, its settings files
// live where the host says, and its waits are the host's, already exact.
#include "framework/idle_wait.h"
#include "framework/profile_file.h"
#include "framework/window_surface.h"

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

bool WriteProfileText(const char* section, const char* key, const char* value, const char* fileName)
{
    return WritePrivateProfileStringA(section, key, value, fileName) != FALSE;
}

TIdleWait::TIdleWait() = default;

TIdleWait::~TIdleWait() = default;

void TIdleWait::Wait(DWORD timeoutMs)
{
    if (timeoutMs == INFINITE)
        WaitMessage();
    else
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}
