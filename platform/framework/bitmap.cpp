#include "framework/bitmap.h"

#include <algorithm>
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

bool TBitmap::ReadRows(HDC dc, int width, int height, int top, int rows, std::vector<std::uint32_t>& pixels) const
{
    if (width <= 0 || top < 0 || rows <= 0 || top > height - rows)
        return false;
    // A bottom-up picture, the one layout whose scan-line numbers every
    // system agrees on: scan line 0 is the bottom row.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const auto w = static_cast<std::size_t>(width);
    pixels.resize(w * static_cast<std::size_t>(rows));
    if (GetDIBits(dc, Handle, static_cast<UINT>(height - top - rows), static_cast<UINT>(rows), pixels.data(), &info,
                  DIB_RGB_COLORS) != rows)
        return false;
    for (int r = 0; r < rows / 2; ++r)
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(w * r), pixels.begin() + static_cast<std::ptrdiff_t>(w * (r + 1)),
                         pixels.begin() + static_cast<std::ptrdiff_t>(w * (rows - 1 - r)));
    // The fourth byte of a pixel is not part of its colour.
    for (std::uint32_t& p : pixels)
        p &= 0xffffff;
    return true;
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
