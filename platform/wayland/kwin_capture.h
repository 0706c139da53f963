// The desktop picture from KDE Plasma's KWin: org.kde.KWin.ScreenShot2 on
// the session bus. KWin answers a program whose installed .desktop file
// lists that interface under X-KDE-DBUS-Restricted-Interfaces (the package
// installs platform/wayland/vyla.desktop).
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "portable/raster/surface.h"
#include "wayland/desktop_capture.h"

namespace vyla::wayland {

class KWinCapture final : public DesktopCapture {
public:
    // nullptr when the session bus has no KWin offering screenshots.
    static std::unique_ptr<KWinCapture> Connect();
    ~KWinCapture() override;
    std::optional<raster::Surface> Capture(wl_output* output, std::string_view name) override;

private:
    explicit KWinCapture(void* bus) : bus_(bus) {}
    void* bus_;  // GDBusConnection
};

// A picture format of Qt's (QImage::Format) as the wl_shm format with the
// same bytes; 0 for one Convert does not read.
std::uint32_t ShmFormatForQImage(std::uint32_t qimageFormat);

}  // namespace vyla::wayland
