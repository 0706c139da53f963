// What the framework needs from the platform it runs on, all of it. Each
// platform implements every declaration here in one file:
// platform/portable/platform_hooks.cpp for the portable runtime (headless,
// X11, ...), platform/win32/platform_hooks.cpp for Windows.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/profile.h"
#include "system_api.h"

// --- The runtime library -------------------------------------------------

// The argument count and vector the application main function receives.
int RuntimeArgc();
char** RuntimeArgv();
// Seconds since 1970.
long long CalendarTime();
// The state of the pseudo-random sequence (framework/runtime_library.h).
std::uint32_t& RandomState();

// --- How the system starts programs like this one ------------------------

// Whether an empty command line means "configure": Windows starts a saver so
// from its Configure button; elsewhere the program started alone runs.
bool EmptyCommandLineConfigures();

// --- Window drawing ------------------------------------------------------
//
// A top-level window whose class background brush is the null brush shows
// what was on the screen beneath it. Where the system does not simply leave
// such a window unpainted, the platform keeps the window's picture in a
// backing store that starts as the screen under the window, receives all
// drawing through the window's context, and puts the picture back whenever
// the window needs painting. Elsewhere these are the plain context calls.

// A drawing context for the window's client area; null when there is none.
HDC AcquireWindowDC(HWND window);
// Gives back a context from AcquireWindowDC; what was drawn reaches the screen.
void ReleaseWindowDC(HWND window, HDC dc);
// Called after each drawing call through a context from AcquireWindowDC, so
// that only the parts that changed need to reach the screen.
void NoteWindowDrawing(HWND window, HDC dc);
// Lets the platform see each message before the window does. True when it
// handled the message completely; result then holds the answer.
bool WindowSurfaceMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
// A preview's desktop: the screen (the primary one, the area a full-screen
// saver covers) as it is now, shrunk to the window's client area, becomes
// the window's picture, which its context then draws over.
void ShowScreenMiniature(HWND window);

// --- Settings files ------------------------------------------------------
//
// A file named without a directory lives where the platform's rule for such
// files puts it.

// The key's integer value from the named file, or defaultValue.
UINT ReadProfileInt(const char* section, const char* key, int defaultValue, const char* fileName);
// Stores every key and value of entries in the section with one replacement
// of the named file: all of them land, or the file stays as it was.
TProfileWriteResult WriteProfileTexts(const char* section, const TProfileEntries& entries, const char* fileName);

// --- Dialogs and message boxes -------------------------------------------

// Runs the modal dialog of the named template, as DialogBoxParamA does:
// proc gets param with WM_INITDIALOG; the result is the one EndDialog gave.
// The template's captions are Unicode and stay so, drawn with a font that
// has glyphs for them, whatever the system's code page and language.
INT_PTR RunModalDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param);
// A modal message box owned by owner (may be null), with texts in UTF-8
// whatever the system's code page; the button that closed it.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// --- The message loop's sleep --------------------------------------------

// A wait ends as soon as a message (input, a posted message) arrives, or
// when the given time has passed, close enough that a frame due then is
// drawn on time, without keeping the system's timer fast while the program
// sleeps for long.
class TIdleWait {
public:
    TIdleWait();
    ~TIdleWait();
    TIdleWait(const TIdleWait&) = delete;
    TIdleWait& operator=(const TIdleWait&) = delete;

    // Returns when a message waits or timeoutMs milliseconds have passed;
    // INFINITE waits for a message alone.
    void Wait(DWORD timeoutMs);

private:
    struct TState;  // the platform's own
    std::unique_ptr<TState> State;
};
