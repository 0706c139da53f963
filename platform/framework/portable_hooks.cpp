// The portable runtime's side of the framework's platform hooks: its window
// contexts draw straight into the screen the host shows, its settings files
// live where the host says, its waits are already exact, and its dialogs
// keep their captions as the template gives them.
#include "framework/modal_dialog.h"
#include "framework/profile_file.h"
#include "framework/wait_precision.h"
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

TWaitPrecision::TWaitPrecision() = default;

TWaitPrecision::~TWaitPrecision() = default;

INT_PTR RunModalDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    return DialogBoxParamA(instance, templateName, owner, proc, param);
}
