// The desktop of a preview: the window's picture becomes the whole screen,
// as it is now, shrunk to the window's client area.
#pragma once

#include "api/winapi.h"

// Takes the screen (the primary one: the area a full-screen saver covers),
// shrinks it to the window's client area and makes that the window's
// picture, which its drawing context then draws over and painting restores.
void ShowScreenMiniature(HWND window);
