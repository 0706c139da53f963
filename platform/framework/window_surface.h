// A window's drawing surface: where drawing through a window's context goes.
//
// A top-level window whose class background brush is the null brush shows
// what was on the screen beneath it. Where the system does not simply leave
// such a window unpainted (composited desktops, some window systems), the
// platform keeps the window's picture in a backing store that starts as the
// screen under the window, receives all drawing through the window's
// context, and puts the picture back whenever the window needs painting.
// Elsewhere these are the plain window-context calls.
#pragma once

#include "api/winapi.h"

// A drawing context for the window's client area; null when there is none.
HDC AcquireWindowDC(HWND window);
// Gives back a context from AcquireWindowDC; what was drawn reaches the screen.
void ReleaseWindowDC(HWND window, HDC dc);
// Called after each drawing call through a context from AcquireWindowDC, so
// that only the parts that changed need to reach the screen.
void NoteWindowDrawing(HWND window, HDC dc);
// Lets the surface see each message before the window does. True when the
// surface handled the message completely; result then holds the answer.
bool WindowSurfaceMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
