#include "framework/bitmap.h"

#include <cstring>
#include <span>
#include <string>

#include "common/dib.h"
#include "framework/exception.h"

TBitmap::TBitmap(HDC dc, int width, int height) : Handle(CreateCompatibleBitmap(dc, width, height))
{
    // The size says whether the screen is too large or memory ran out.
    if (!Handle)
        throw TXFramework("Cannot create a bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels for an off-screen surface");
}

TBitmap::~TBitmap()
{
    DeleteObject(Handle);
}

TDib::TDib(HINSTANCE module, const char* name)
{
    HRSRC resource = name ? FindResourceA(module, name, RT_BITMAP) : nullptr;
    if (!resource)
        return;
    HGLOBAL handle = LoadResource(module, resource);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (data)
        Load(data, SizeofResource(module, resource));
}

TDib::TDib(const void* packed, std::size_t size)
{
    if (packed)
        Load(packed, size);
}

TDib::~TDib() = default;

void TDib::Load(const void* packed, std::size_t size)
{
    auto parsed = vyla::ParsePackedDib(std::span(static_cast<const std::uint8_t*>(packed), size));
    if (!parsed)
        return;
    // Keep a copy in the plain layout every backend's drawing call takes: a
    // 40-byte header, the palette, then the rows.
    const vyla::DibInfo& d = parsed->info;
    auto info = std::make_unique<InfoBlock>();
    std::memset(info.get(), 0, sizeof *info);
    info->Header.biSize = sizeof(BITMAPINFOHEADER);
    info->Header.biWidth = d.width;
    info->Header.biHeight = d.topDown ? -d.height : d.height;
    info->Header.biPlanes = 1;
    info->Header.biBitCount = static_cast<WORD>(d.bitCount);
    info->Header.biCompression = BI_RGB;
    info->Header.biSizeImage = static_cast<DWORD>(d.imageSize);
    info->Header.biClrUsed = static_cast<DWORD>(d.palette.size());
    info->Header.biClrImportant = static_cast<DWORD>(d.palette.size());
    for (std::size_t i = 0; i < d.palette.size() && i < 256; ++i) {
        std::uint32_t c = d.palette[i];
        info->Colors[i] = RGBQUAD{static_cast<BYTE>(c & 0xff), static_cast<BYTE>((c >> 8) & 0xff),
                                  static_cast<BYTE>((c >> 16) & 0xff), 0};
    }
    Bits.assign(parsed->bits.begin(), parsed->bits.begin() + static_cast<std::ptrdiff_t>(d.imageSize));
    Info = std::move(info);
}

int TDib::Width() const
{
    return Info ? Info->Header.biWidth : 0;
}

int TDib::Height() const
{
    if (!Info)
        return 0;
    return Info->Header.biHeight < 0 ? -Info->Header.biHeight : Info->Header.biHeight;
}

int TDib::BitsPixel() const
{
    return Info ? Info->Header.biBitCount : 0;
}

int TDib::NumColors() const
{
    return Info ? static_cast<int>(Info->Header.biClrUsed) : 0;
}
