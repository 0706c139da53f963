#include "win32/wallpaper_picture.h"

#include <algorithm>

#include <objbase.h>
#include <wincodec.h>

namespace vyla::win32 {
namespace {

// The imaging component's objects are COM objects: initialised for this
// thread while a picture is read, each reference released when done.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (p_)
            p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(&p_); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

// The file's first frame in 32-bit BGRX, through the objects that hold it.
struct Decoded {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;

    bool Open(const std::wstring& file)
    {
        return !file.empty() &&
               SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory, factory.OutVoid())) &&
               SUCCEEDED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                            WICDecodeMetadataCacheOnDemand, decoder.Out())) &&
               SUCCEEDED(decoder->GetFrame(0, frame.Out())) && SUCCEEDED(factory->CreateFormatConverter(converter.Out())) &&
               SUCCEEDED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                               nullptr, 0.0, WICBitmapPaletteTypeCustom));
    }

    std::optional<Size> NativeSize() const
    {
        UINT w = 0, h = 0;
        if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 0x7FFF || h > 0x7FFF)
            return std::nullopt;
        return Size{static_cast<int>(w), static_cast<int>(h)};
    }
};

}  // namespace

std::optional<Size> WallpaperPicture::Measure(const std::wstring& file)
{
    ComApartment com;
    Decoded decoded;
    if (!decoded.Open(file))
        return std::nullopt;
    return decoded.NativeSize();
}

std::optional<WallpaperPicture> WallpaperPicture::Load(const std::wstring& file, Size size, const Rect& part)
{
    const Rect whole = Rect::FromSize(size);
    if (size.IsEmpty() || size.width > 0x7FFF || size.height > 0x7FFF || part.IsEmpty() ||
        part.Intersected(whole) != part)
        return std::nullopt;
    ComApartment com;
    Decoded decoded;
    if (!decoded.Open(file))
        return std::nullopt;
    const auto native = decoded.NativeSize();
    if (!native)
        return std::nullopt;
    IWICBitmapSource* source = decoded.converter.Get();
    ComRef<IWICBitmapScaler> scaler;
    if (*native != size) {
        if (FAILED(decoded.factory->CreateBitmapScaler(scaler.Out())) ||
            FAILED(scaler->Initialize(source, static_cast<UINT>(size.width), static_cast<UINT>(size.height),
                                      WICBitmapInterpolationModeFant)))
            return std::nullopt;
        source = scaler.Get();
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(part.Width()) * static_cast<std::size_t>(part.Height()));
    const WICRect rect{part.left, part.top, part.Width(), part.Height()};
    const UINT stride = static_cast<UINT>(part.Width()) * 4u;
    if (FAILED(source->CopyPixels(&rect, stride, static_cast<UINT>(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data()))))
        return std::nullopt;
    return WallpaperPicture(part.GetSize(), std::move(pixels));
}

WallpaperPicture WallpaperPicture::Repeated(Size minimum) const
{
    const int across = std::max(1, (minimum.width + size_.width - 1) / size_.width);
    const int down = std::max(1, (minimum.height + size_.height - 1) / size_.height);
    const Size size{size_.width * across, size_.height * down};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height));
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            pixels[static_cast<std::size_t>(y) * size.width + x] =
                pixels_[static_cast<std::size_t>(y % size_.height) * size_.width + x % size_.width];
    return WallpaperPicture(size, std::move(pixels));
}

BITMAPINFO WallpaperPicture::Header() const
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size_.width;
    info.bmiHeader.biHeight = -size_.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void WallpaperPicture::Draw(HDC dc, int x, int y) const
{
    const BITMAPINFO info = Header();
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(size_.width), static_cast<DWORD>(size_.height), 0, 0, 0,
                      static_cast<UINT>(size_.height), pixels_.data(), &info, DIB_RGB_COLORS);
}

void WallpaperPicture::Tile(HDC dc, const RECT& rect, POINT origin) const
{
    // Whole copies from the first one that reaches rect onward; the context
    // clips the last ones.
    auto first = [](LONG from, LONG start, int step) {
        LONG offset = (from - start) % step;
        if (offset < 0)
            offset += step;
        return from - offset;
    };
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    const bool hadClip = clip && GetClipRgn(dc, clip) == 1;
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    for (LONG y = first(rect.top, origin.y, size_.height); y < rect.bottom; y += size_.height)
        for (LONG x = first(rect.left, origin.x, size_.width); x < rect.right; x += size_.width)
            Draw(dc, x, y);
    SelectClipRgn(dc, hadClip ? clip : nullptr);
    if (clip)
        DeleteObject(clip);
}

}  // namespace vyla::win32
