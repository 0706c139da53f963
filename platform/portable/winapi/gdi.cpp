// GDI functions of the portable runtime, on the software raster.
#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "common/dib.h"
#include "common/region.h"
#include "portable/winapi/functions.h"
#include "portable/raster/blit.h"
#include "portable/raster/palette.h"
#include "portable/raster/stretch.h"
#include "portable/runtime.h"

using vyla::Point;
using vyla::Rect;
using vyla::Region;
using vyla::Size;
using vyla::portable::DeviceContext;
using vyla::portable::GdiObject;
using vyla::portable::Runtime;
namespace raster = vyla::raster;

namespace {

constexpr DWORD kErrorNotEnoughMemory = 8;
constexpr DWORD kErrorInvalidHandle = 6;

// Where a drawing context draws: a surface, the origin of the context's
// coordinates on it, and the part it may change: the clip rectangle and,
// within it, the context's clip region (context coordinates) if it has one.
struct Target {
    raster::Surface* surface = nullptr;
    Point origin;
    Rect clip;
    const Region* region = nullptr;
    bool isScreen = false;

    // Calls draw(rect) with each part of the surface (surface coordinates)
    // the context may change.
    template <typename Draw>
    void ForEachClip(Draw draw) const
    {
        if (!region) {
            draw(clip);
            return;
        }
        for (const Rect& r : region->Rects()) {
            Rect part = r.Translated(origin.x, origin.y).Intersected(clip);
            if (!part.IsEmpty())
                draw(part);
        }
    }
};

std::optional<Target> TargetOf(Runtime& rt, HDC hdc)
{
    DeviceContext* dc = rt.Gdi().FindDC(hdc);
    if (!dc) {
        rt.lastError = kErrorInvalidHandle;
        return std::nullopt;
    }
    Target t;
    switch (dc->kind) {
    case DeviceContext::Kind::Memory: {
        GdiObject* bitmap = rt.Gdi().FindObject(dc->bitmap);
        if (!bitmap)
            return std::nullopt;
        t.surface = &bitmap->surface;
        t.clip = bitmap->surface.Bounds();
        break;
    }
    case DeviceContext::Kind::Window: {
        auto* w = rt.Windows().Find(dc->window);
        if (!w)
            return std::nullopt;
        t.surface = &rt.GetHost().Screen();
        t.origin = w->rect.TopLeft();
        // A window that is not shown has nothing on screen to draw on.
        t.clip = w->visible ? w->rect.Intersected(t.surface->Bounds()) : Rect{};
        t.isScreen = true;
        break;
    }
    case DeviceContext::Kind::Screen:
        t.surface = &rt.GetHost().Screen();
        t.clip = t.surface->Bounds();
        t.isScreen = true;
        break;
    }
    if (dc->clip)
        t.region = &*dc->clip;
    return t;
}

int RegionKind(const Region& region)
{
    std::size_t count = region.Rects().size();
    return count == 0 ? NULLREGION : count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN AddRegion(Runtime& rt, Region region)
{
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiObject::Kind::Region;
    object->region = std::move(region);
    return rt.Gdi().AddObject(std::move(object));
}

GdiObject* FindRegion(Runtime& rt, HRGN handle)
{
    GdiObject* object = rt.Gdi().FindObject(handle);
    return object && object->kind == GdiObject::Kind::Region ? object : nullptr;
}

std::int64_t Add(int a, int b)
{
    return std::int64_t{a} + b;
}

int ClampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

HDC GetDC(HWND hwnd)
{
    Runtime& rt = Runtime::Current();
    auto dc = std::make_unique<DeviceContext>();
    if (!hwnd || hwnd == rt.Windows().Desktop()) {
        dc->kind = DeviceContext::Kind::Screen;
        dc->window = rt.Windows().Desktop();
    } else {
        if (!rt.Windows().Find(hwnd)) {
            rt.lastError = 1400;
            return nullptr;
        }
        dc->kind = DeviceContext::Kind::Window;
        dc->window = hwnd;
    }
    dc->brush = rt.Gdi().Stock(WHITE_BRUSH);
    return rt.Gdi().AddDC(std::move(dc));
}

int ReleaseDC(HWND, HDC hdc)
{
    Runtime& rt = Runtime::Current();
    DeviceContext* dc = rt.Gdi().FindDC(hdc);
    if (!dc || dc->kind == DeviceContext::Kind::Memory)
        return 0;
    rt.Gdi().RemoveDC(hdc);
    rt.GetHost().DrawingDone();
    return 1;
}

HDC CreateCompatibleDC(HDC hdc)
{
    Runtime& rt = Runtime::Current();
    if (hdc && !rt.Gdi().FindDC(hdc)) {
        rt.lastError = kErrorInvalidHandle;
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = DeviceContext::Kind::Memory;
    dc->bitmap = rt.Gdi().DefaultBitmapHandle();
    dc->brush = rt.Gdi().Stock(WHITE_BRUSH);
    return rt.Gdi().AddDC(std::move(dc));
}

BOOL DeleteDC(HDC hdc)
{
    Runtime& rt = Runtime::Current();
    DeviceContext* dc = rt.Gdi().FindDC(hdc);
    // Contexts from GetDC go back with ReleaseDC.
    if (!dc || dc->kind != DeviceContext::Kind::Memory)
        return FALSE;
    if (GdiObject* bitmap = rt.Gdi().FindObject(dc->bitmap); bitmap && !bitmap->stock)
        bitmap->selectedInto = nullptr;
    rt.Gdi().RemoveDC(hdc);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    Runtime& rt = Runtime::Current();
    if (!rt.Gdi().FindDC(hdc) || width < 0 || height < 0) {
        rt.lastError = kErrorInvalidHandle;
        return nullptr;
    }
    // Every surface here is 32-bit colour; a zero size gives one pixel, as on Windows.
    auto surface = raster::Surface::Create(Size{std::max(width, 1), std::max(height, 1)});
    if (!surface) {
        rt.lastError = kErrorNotEnoughMemory;
        return nullptr;
    }
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiObject::Kind::Bitmap;
    object->surface = std::move(*surface);
    return rt.Gdi().AddObject(std::move(object));
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ handle)
{
    Runtime& rt = Runtime::Current();
    DeviceContext* dc = rt.Gdi().FindDC(hdc);
    GdiObject* object = rt.Gdi().FindObject(handle);
    if (!dc || !object)
        return nullptr;
    if (object->kind == GdiObject::Kind::Brush)
        return std::exchange(dc->brush, handle);
    if (object->kind == GdiObject::Kind::Region) {
        // As SelectClipRgn; the result is the region's kind.
        dc->clip = object->region;
        return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(RegionKind(object->region)));
    }
    // Bitmaps go into memory contexts only, and into one at a time.
    if (dc->kind != DeviceContext::Kind::Memory)
        return nullptr;
    if (!object->stock && object->selectedInto && object->selectedInto != hdc)
        return nullptr;
    HGDIOBJ previous = dc->bitmap;
    if (GdiObject* old = rt.Gdi().FindObject(previous); old && !old->stock)
        old->selectedInto = nullptr;
    dc->bitmap = handle;
    if (!object->stock)
        object->selectedInto = hdc;
    return previous;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    DeviceContext* dc = Runtime::Current().Gdi().FindDC(hdc);
    return dc && type == OBJ_BITMAP ? dc->bitmap : nullptr;
}

BOOL DeleteObject(HGDIOBJ handle)
{
    Runtime& rt = Runtime::Current();
    GdiObject* object = rt.Gdi().FindObject(handle);
    if (!object)
        return FALSE;
    if (object->stock)
        return TRUE;
    // A bitmap still selected into a context cannot go.
    if (object->selectedInto)
        return FALSE;
    rt.Gdi().RemoveObject(handle);
    return TRUE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer)
{
    GdiObject* object = Runtime::Current().Gdi().FindObject(handle);
    if (!object || object->kind != GdiObject::Kind::Bitmap)
        return 0;
    if (!buffer)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP bm{0, object->surface.Width(), object->surface.Height(), object->surface.Width() * 4, 1, 32, nullptr};
    std::memcpy(buffer, &bm, sizeof bm);
    return sizeof(BITMAP);
}

HGDIOBJ GetStockObject(int index)
{
    return Runtime::Current().Gdi().Stock(index);
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    Runtime& rt = Runtime::Current();
    auto op = raster::RopFromCode(rop);
    auto d = TargetOf(rt, dst);
    auto s = TargetOf(rt, src);
    if (!op || !d || !s)
        return FALSE;
    Point dstPos{ClampToInt(Add(x, d->origin.x)), ClampToInt(Add(y, d->origin.y))};
    Point srcPos{ClampToInt(Add(srcX, s->origin.x)), ClampToInt(Add(srcY, s->origin.y))};
    if (d->region && s->surface != d->surface) {
        std::function<void(const Rect&)> drawn;
        if (d->isScreen)
            drawn = [&rt](const Rect& r) { rt.GetHost().ScreenDrawn(r); };
        raster::BitBltParts(*d->surface, d->clip, d->region->Rects(), d->origin, dstPos, Size{width, height}, *s->surface,
                            srcPos, *op, drawn);
        return TRUE;
    }
    // A surface drawn onto itself is read whole before anything is written;
    // clipped into parts, each part is read before it is written, which is
    // the same only where parts read no other part's pixels.
    const raster::Surface* source = s->surface;
    std::optional<raster::Surface> copy;
    if (d->region && d->region->Rects().size() > 1) {
        copy = *s->surface;
        source = &*copy;
    }
    d->ForEachClip([&](const Rect& clip) {
        Rect drawn = raster::BitBlt(*d->surface, clip, dstPos, Size{width, height}, *source, srcPos, *op);
        if (d->isScreen && !drawn.IsEmpty())
            rt.GetHost().ScreenDrawn(drawn);
    });
    return TRUE;
}

int StretchDIBits(HDC dst, int xDst, int yDst, int dstWidth, int dstHeight, int xSrc, int ySrc, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    Runtime& rt = Runtime::Current();
    auto op = raster::RopFromCode(rop);
    auto d = TargetOf(rt, dst);
    if (!op || !d || !bits || !info || usage != DIB_RGB_COLORS)
        return 0;

    // The caller's header says how long its palette is; read no further.
    BITMAPINFOHEADER header;
    std::memcpy(&header, info, sizeof header);
    std::size_t colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8)
        colours = std::size_t{1} << header.biBitCount;
    if (colours > 256 || header.biSize < sizeof header || header.biSize > 124)
        return 0;
    auto* bytes = reinterpret_cast<const std::uint8_t*>(info);
    auto parsed = vyla::ParseDibInfo(std::span(bytes, header.biSize + colours * 4));
    if (!parsed)
        return 0;
    vyla::DibView view{*parsed, std::span(static_cast<const std::uint8_t*>(bits), parsed->imageSize)};

    // Source rows are counted from the bottom in a bottom-up picture.
    std::int64_t top = parsed->topDown ? ySrc : std::int64_t{parsed->height} - ySrc - srcHeight;
    Rect source = Rect::FromXYWH(xSrc, top, srcWidth, srcHeight);
    if (srcWidth <= 0 || srcHeight <= 0 || source.Intersected(Rect{0, 0, parsed->width, parsed->height}) != source)
        return 0;
    Rect dest = Rect::FromXYWH(Add(xDst, d->origin.x), Add(yDst, d->origin.y), dstWidth, dstHeight);
    if (dstWidth <= 0 || dstHeight <= 0)
        return 0;  // mirrored drawing is not part of this subset
    d->ForEachClip([&](const Rect& clip) {
        Rect drawn = raster::StretchDib(*d->surface, clip, dest, view, source, *op);
        if (d->isScreen && !drawn.IsEmpty())
            rt.GetHost().ScreenDrawn(drawn);
    });
    return srcHeight;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    Runtime& rt = Runtime::Current();
    auto t = TargetOf(rt, hdc);
    if (!t)
        return CLR_INVALID;
    Point p{ClampToInt(Add(x, t->origin.x)), ClampToInt(Add(y, t->origin.y))};
    if (!t->surface->Bounds().Contains(p))
        return CLR_INVALID;
    raster::Pixel px = t->surface->At(p.x, p.y);
    return RGB((px >> 16) & 0xff, (px >> 8) & 0xff, px & 0xff);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    Runtime& rt = Runtime::Current();
    auto t = TargetOf(rt, hdc);
    if (!t)
        return CLR_INVALID;
    Point p{ClampToInt(Add(x, t->origin.x)), ClampToInt(Add(y, t->origin.y))};
    if (!t->clip.Contains(p) || (t->region && !t->region->Contains(Point{p.x - t->origin.x, p.y - t->origin.y})))
        return CLR_INVALID;
    t->surface->Set(p.x, p.y, (raster::Pixel{GetRValue(color)} << 16) | (raster::Pixel{GetGValue(color)} << 8) | GetBValue(color));
    if (t->isScreen)
        rt.GetHost().ScreenDrawn(Rect{p.x, p.y, p.x + 1, p.y + 1});
    return color;
}

int GetDIBits(HDC hdc, HBITMAP handle, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage)
{
    Runtime& rt = Runtime::Current();
    GdiObject* bitmap = rt.Gdi().FindObject(handle);
    if (!rt.Gdi().FindDC(hdc) || !bitmap || bitmap->kind != GdiObject::Kind::Bitmap || !info || usage != DIB_RGB_COLORS)
        return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    const raster::Surface& surface = bitmap->surface;
    const std::int64_t height = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
    if (header.biSize < sizeof header || header.biBitCount != 32 || header.biCompression != BI_RGB ||
        header.biWidth != surface.Width() || height != surface.Height())
        return 0;
    header.biSizeImage = static_cast<DWORD>(std::size_t{4} * surface.Width() * surface.Height());
    if (!bits)
        return surface.Height();
    // Scan lines count from the bottom in a bottom-up picture.
    const bool topDown = header.biHeight < 0;
    const std::int64_t end = std::min<std::int64_t>(std::int64_t{start} + lines, surface.Height());
    auto* out = static_cast<raster::Pixel*>(bits);
    for (std::int64_t line = start; line < end; ++line) {
        const int y = static_cast<int>(topDown ? line : surface.Height() - 1 - line);
        raster::Pixel* row = out + (line - start) * surface.Width();
        if (surface.IsIndexed()) {
            surface.GetPalette()->Expand(surface.IndexRow(y), row, static_cast<std::size_t>(surface.Width()));
        } else {
            std::memcpy(row, surface.Row(y), std::size_t{4} * surface.Width());
        }
    }
    return end > start ? static_cast<int>(end - start) : 0;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    // The corners may come in either order.
    return AddRegion(Runtime::Current(), Region(Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                                     std::max(top, bottom)}));
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data)
{
    // Only plain rectangle lists, untransformed.
    if (transform || !data || size < sizeof(RGNDATAHEADER) || data->rdh.dwSize < sizeof(RGNDATAHEADER) ||
        data->rdh.iType != RDH_RECTANGLES || data->rdh.nCount > (size - data->rdh.dwSize) / sizeof(RECT))
        return nullptr;
    std::vector<Rect> rects(data->rdh.nCount);
    const auto* bytes = reinterpret_cast<const char*>(data) + data->rdh.dwSize;
    for (Rect& r : rects) {
        RECT w;
        std::memcpy(&w, bytes, sizeof w);
        bytes += sizeof w;
        r = Rect{w.left, w.top, w.right, w.bottom};
    }
    return AddRegion(Runtime::Current(), Region::FromRects(rects));
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode)
{
    Runtime& rt = Runtime::Current();
    GdiObject* target = FindRegion(rt, dst);
    GdiObject* first = FindRegion(rt, a);
    GdiObject* second = mode == RGN_COPY ? first : FindRegion(rt, b);
    if (!target || !first || !second)
        return ERROR;
    switch (mode) {
    case RGN_COPY:
        target->region = first->region;
        break;
    case RGN_AND:
        target->region = Region::Combine(first->region, second->region, Region::Op::And);
        break;
    case RGN_OR:
        target->region = Region::Combine(first->region, second->region, Region::Op::Or);
        break;
    case RGN_XOR:
        target->region = Region::Combine(first->region, second->region, Region::Op::Xor);
        break;
    case RGN_DIFF:
        target->region = Region::Combine(first->region, second->region, Region::Op::Diff);
        break;
    default:
        return ERROR;
    }
    return RegionKind(target->region);
}

int SelectClipRgn(HDC hdc, HRGN handle)
{
    Runtime& rt = Runtime::Current();
    DeviceContext* dc = rt.Gdi().FindDC(hdc);
    if (!dc)
        return ERROR;
    if (!handle) {
        dc->clip.reset();
        return SIMPLEREGION;
    }
    GdiObject* region = FindRegion(rt, handle);
    if (!region)
        return ERROR;
    // The context keeps a copy: the caller may change or delete its region.
    dc->clip = region->region;
    return RegionKind(*dc->clip);
}

int OffsetClipRgn(HDC hdc, int x, int y)
{
    DeviceContext* dc = Runtime::Current().Gdi().FindDC(hdc);
    if (!dc)
        return ERROR;
    if (!dc->clip)
        return SIMPLEREGION;
    dc->clip = dc->clip->Translated(x, y);
    return RegionKind(*dc->clip);
}
