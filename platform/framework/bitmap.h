// Drawing objects: device bitmaps and device-independent pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "system_api.h"

// A bitmap compatible with a drawing context (a TDC converts to its HDC).
class TBitmap {
public:
    // Throws TXFramework when the bitmap cannot be created.
    TBitmap(HDC dc, int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    HBITMAP GetHandle() const { return Handle; }
    operator HBITMAP() const { return Handle; }

    // Reads rows [top, top + rows) of this width x height bitmap into
    // pixels as 0x00RRGGBB values, top to bottom, through a context
    // compatible with it. The bitmap must be selected into no context.
    // False when they cannot be read.
    bool ReadRows(HDC dc, int width, int height, int top, int rows, std::vector<std::uint32_t>& pixels) const;

private:
    HBITMAP Handle;
};

// A device-independent picture loaded from a module's bitmap resources. A
// name that is not there, or a resource that is not a sound picture, gives a
// TDib with no picture (IsOK() false), never an exception.
class TDib {
public:
    TDib(HINSTANCE module, const char* name);
    // From the bytes of a packed picture (header, palette, bits).
    TDib(const void* packed, std::size_t size);
    ~TDib();
    TDib(const TDib&) = delete;
    TDib& operator=(const TDib&) = delete;

    bool IsOK() const { return Info != nullptr; }
    int Width() const;
    int Height() const;
    int BitsPixel() const;
    const void* GetBits() const { return Bits.data(); }
    const BITMAPINFO* GetInfo() const { return reinterpret_cast<const BITMAPINFO*>(Info.get()); }
    UINT Usage() const { return DIB_RGB_COLORS; }
    int NumColors() const;

private:
    void Load(const void* packed, std::size_t size);

    struct InfoBlock {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
    };
    std::unique_ptr<InfoBlock> Info;
    std::vector<std::uint8_t> Bits;
};
