// GDI functions of the portable runtime, on the software raster.
#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "common/dib.h"
#include "portable/winapi/functions.h"
#include "portable/raster/blit.h"
#include "portable/raster/stretch.h"
#include "portable/runtime.h"

using vyla::Point;
using vyla::Rect;
using vyla::Size;
using vyla::portable::DeviceContext;
using vyla::portable::GdiObject;
using vyla::portable::Runtime;
namespace raster = vyla::raster;

namespace {

constexpr DWORD kErrorNotEnoughMemory = 8;
constexpr DWORD kErrorInvalidHandle = 6;

// Where a drawing context draws: a surface, the origin of the context's
// coordinates on it, and the part it may change.
struct Target {
    raster::Surface* surface = nullptr;
    Point origin;
    Rect clip;
    bool isScreen = false;
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
    return t;
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
    Rect drawn = raster::BitBlt(*d->surface, d->clip, Point{ClampToInt(Add(x, d->origin.x)), ClampToInt(Add(y, d->origin.y))},
                                Size{width, height}, *s->surface,
                                Point{ClampToInt(Add(srcX, s->origin.x)), ClampToInt(Add(srcY, s->origin.y))}, *op);
    if (d->isScreen && !drawn.IsEmpty())
        rt.GetHost().ScreenDrawn(drawn);
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
    Rect drawn = raster::StretchDib(*d->surface, d->clip, dest, view, source, *op);
    if (d->isScreen && !drawn.IsEmpty())
        rt.GetHost().ScreenDrawn(drawn);
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
    if (!t->clip.Contains(p))
        return CLR_INVALID;
    t->surface->Set(p.x, p.y, (raster::Pixel{GetRValue(color)} << 16) | (raster::Pixel{GetGValue(color)} << 8) | GetBValue(color));
    if (t->isScreen)
        rt.GetHost().ScreenDrawn(Rect{p.x, p.y, p.x + 1, p.y + 1});
    return color;
}
