#include "headless_scene.h"

#include <algorithm>

#include "portable/raster/blit.h"
#include "support/headless_system.h"

namespace vyla::x11::testing {

raster::Surface Crop(const raster::Surface& picture, const Rect& area)
{
    auto out = raster::Surface::Create(area.GetSize());
    if (!out)
        return {};
    raster::BitBlt(*out, out->Bounds(), Point{}, area.GetSize(), picture, area.TopLeft(), raster::Rop::SrcCopy);
    return std::move(*out);
}

bool SamePixels(const raster::Surface& a, const raster::Surface& b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y)))
            return false;
    return true;
}

HeadlessScene RunHeadlessScene(const raster::Surface& desktop)
{
    const Size size = desktop.GetSize();
    HeadlessScene scene;
    const int side = std::max(size.height / 4, size.width / 5);
    scene.corners = {Rect::FromXYWH(0, 0, side, side), Rect::FromXYWH(size.width - side, 0, side, side),
                     Rect::FromXYWH(0, size.height - side, side, side),
                     Rect::FromXYWH(size.width - side, size.height - side, side, side)};

    vyla::testing::HeadlessSystem system(size);
    headless::HeadlessHost& host = system.host;
    host.SetDesktop(desktop);
    host.SetTick(0);
    host.SetCursorPos(Point{size.width / 2, size.height / 2});

    // The clock moves 1 ms per idle call. The first step comes at about
    // 11 ms and the first flower frame is due after 200 ms (slow speed), so
    // the screen at 100 ms shows the border alone.
    constexpr DWORD kBorderOnly = 100;
    constexpr std::size_t kTurn = 16;
    host.SetDriver([&](headless::HeadlessHost& h) {
        h.Advance(1);
        bool drawn = !h.TakeDamage().IsEmpty();
        if (h.TickCount() == kBorderOnly)
            scene.bordered = Crop(h.Screen(), h.Screen().Bounds());
        if (h.TickCount() <= kBorderOnly || !drawn)
            return;
        for (std::size_t i = 0; i < 4; ++i)
            scene.frames[i].push_back(Crop(h.Screen(), scene.corners[i]));
        if (scene.frames[0].size() == kTurn)
            h.Inject(WM_LBUTTONDOWN);
    });
    host.SetPollLimit(100000);
    system.Run("");
    return scene;
}

}  // namespace vyla::x11::testing
