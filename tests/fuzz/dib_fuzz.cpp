// Feeds arbitrary bytes to both DIB parsers; whatever parses is drawn into a
// small surface with every raster operation, through the whole picture and
// through a source rectangle picked from the input itself.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "common/dib.h"
#include "portable/raster/blit.h"
#include "portable/raster/stretch.h"
#include "portable/raster/surface.h"

namespace {

using vyla::DibView;
using vyla::Rect;
using vyla::raster::Rop;
using vyla::raster::Surface;

int ByteAt(std::span<const std::uint8_t> data, std::size_t i)
{
    return data.empty() ? 0 : data[i % data.size()];
}

void Draw(const DibView& dib, std::span<const std::uint8_t> data)
{
    const auto maybeSurface = Surface::Create(vyla::Size{13, 9}, 0x808080);
    if (!maybeSurface)
        return;
    Surface surface = *maybeSurface;
    const int w = dib.info.width;
    const int h = dib.info.height;
    const Rect whole{0, 0, w, h};
    // May lie partly outside the picture; the stretch must refuse that quietly.
    const int left = ByteAt(data, 1) % (w + 1);
    const int top = ByteAt(data, 2) % (h + 1);
    const Rect part{left, top, left + ByteAt(data, 3) % (w + 2), top + ByteAt(data, 4) % (h + 2)};
    const Rect offset{ByteAt(data, 5) % 17 - 8, ByteAt(data, 6) % 13 - 6, ByteAt(data, 7) % 30 - 5, ByteAt(data, 8) % 20 - 5};

    for (Rop rop : {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcPaint}) {
        vyla::raster::StretchDib(surface, surface.Bounds(), surface.Bounds(), dib, whole, rop);
        vyla::raster::StretchDib(surface, Rect{1, 1, 12, 8}, offset, dib, part, rop);
        vyla::raster::BitBlt(surface, surface.Bounds(), {ByteAt(data, 9) % 9 - 4, 1}, {7, 5}, surface, {2, 2}, rop);
    }
    (void)vyla::DibPixel(dib, w - 1, h - 1);
    (void)vyla::DibPixel(dib, left, top);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    if (const std::optional<DibView> packed = vyla::ParsePackedDib(bytes))
        Draw(*packed, bytes);
    if (const std::optional<DibView> file = vyla::ParseBmpFile(bytes))
        Draw(*file, bytes);
    return 0;
}
