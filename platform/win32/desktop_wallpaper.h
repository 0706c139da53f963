// The desktop as the system draws it from the user's settings: background
// colour and wallpaper, for where a grab of the screen cannot show it.
//
// When the system runs a saver on its own desktop (WinSta0\Screen-saver),
// the screen there shows a plain colour, not the user's desktop. A saver
// window that shows what is beneath it starts from this picture instead.
#pragma once

#include <string>

#include "system_api.h"
#include "common/wallpaper_layout.h"

namespace vyla::win32 {

class DesktopWallpaper {
public:
    // True when the calling thread runs on the system's screen-saver desktop.
    static bool OnOwnDesktop();
    // The name of the calling thread's desktop ("Default", "Screen-saver", ...).
    static std::wstring ThreadDesktopName();

    // Paints the desktop's picture of area (screen coordinates) into dc,
    // whose (0, 0) stands for area's top-left: the background colour, then
    // the wallpaper placed as its style says. A wallpaper that cannot be
    // read leaves the background colour.
    static void Paint(HDC dc, const RECT& area);

    // The user's wallpaper settings.
    static std::wstring WallpaperFile();
    static WallpaperStyle Style();
};

}  // namespace vyla::win32
