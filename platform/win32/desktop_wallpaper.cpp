#include "win32/desktop_wallpaper.h"

#include <string_view>

#include "win32/wallpaper_picture.h"

namespace vyla::win32 {
namespace {

constexpr std::wstring_view kScreenSaverDesktop = L"Screen-saver";
// Tiles smaller than this are widened first, so tiling takes few copies.
constexpr Size kLeastTile{256, 256};

// A text value of HKEY_CURRENT_USER\Control Panel\Desktop, in ASCII; empty
// when absent.
std::string DesktopSetting(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    wchar_t value[32] = {};
    DWORD type = 0, bytes = sizeof value - sizeof(wchar_t);
    const LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::string text;
    for (const wchar_t* c = value; *c; ++c)
        text += *c < 0x80 ? static_cast<char>(*c) : '?';
    return text;
}

Rect ToRect(const RECT& r)
{
    return Rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

std::wstring DesktopWallpaper::ThreadDesktopName()
{
    HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
    if (!desktop)
        return {};
    wchar_t name[256] = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof(wchar_t), &needed))
        return {};
    return name;
}

bool DesktopWallpaper::OnOwnDesktop()
{
    const std::wstring name = ThreadDesktopName();
    return CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), kScreenSaverDesktop.data(),
                                static_cast<int>(kScreenSaverDesktop.size()), TRUE) == CSTR_EQUAL;
}

std::wstring DesktopWallpaper::WallpaperFile()
{
    wchar_t file[MAX_PATH + 1] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, file, 0))
        return {};
    return file;
}

WallpaperStyle DesktopWallpaper::Style()
{
    return WallpaperStyleFrom(DesktopSetting(L"WallpaperStyle"), DesktopSetting(L"TileWallpaper"));
}

void DesktopWallpaper::Paint(HDC dc, const RECT& screenArea)
{
    const Rect area = ToRect(screenArea);
    const RECT local{0, 0, area.Width(), area.Height()};
    if (HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_DESKTOP))) {
        FillRect(dc, &local, background);
        DeleteObject(background);
    }
    const std::wstring file = WallpaperFile();
    const auto native = WallpaperPicture::Measure(file);
    if (!native)
        return;
    MONITORINFO monitorInfo{};
    monitorInfo.cbSize = sizeof monitorInfo;
    if (!GetMonitorInfoW(MonitorFromRect(&screenArea, MONITOR_DEFAULTTOPRIMARY), &monitorInfo))
        return;
    const Rect virtualScreen = Rect::FromXYWH(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                              GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const WallpaperStyle style = Style();
    const Rect placed = PlaceWallpaper(*native, style, ToRect(monitorInfo.rcMonitor), virtualScreen);
    if (placed.IsEmpty())
        return;
    if (style == WallpaperStyle::Tile) {
        const auto tile = WallpaperPicture::Load(file, *native, Rect::FromSize(*native));
        if (tile)
            tile->Repeated(kLeastTile).Tile(dc, local, POINT{placed.left - area.left, placed.top - area.top});
        return;
    }
    // Only the part the area shows is read and scaled.
    const Rect visible = placed.Intersected(area);
    if (visible.IsEmpty())
        return;
    const auto part = WallpaperPicture::Load(file, placed.GetSize(), visible.Translated(-placed.left, -placed.top));
    if (part)
        part->Draw(dc, visible.left - area.left, visible.top - area.top);
}

}  // namespace vyla::win32
