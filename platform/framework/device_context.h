// Drawing contexts: the screen, a window's client area, off-screen surfaces.
#pragma once

#include "system_api.h"
#include "framework/bitmap.h"
#include "framework/region.h"

class TDC {
public:
    // Wraps a context someone else owns; deleting the wrapper leaves it alone.
    explicit TDC(HDC handle);
    virtual ~TDC();
    TDC(const TDC&) = delete;
    TDC& operator=(const TDC&) = delete;

    HDC GetHDC() const { return Handle; }
    operator HDC() const { return Handle; }

    bool BitBlt(int x, int y, int w, int h, const TDC& src, int srcX, int srcY, DWORD rop = SRCCOPY);
    int StretchDIBits(int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, const void* bits,
                      const BITMAPINFO& info, UINT usage, DWORD rop);
    // The whole picture into the destination rectangle.
    int StretchDIBits(int x, int y, int w, int h, const TDib& dib, DWORD rop);

    // Selects a bitmap; the context remembers what it held before.
    bool SelectObject(const TBitmap& bitmap);
    // Selects back the bitmap the context held before the first SelectObject.
    void RestoreBitmap();
    // Selects back the other drawing objects the context held originally.
    void RestoreObjects();

    // Limits drawing to the region (a copy of it; this context's
    // coordinates), or to the region moved by (dx, dy); or lifts the limit.
    void SelectClipRgn(const TRegion& region);
    void OffsetClipRgn(int dx, int dy);
    void RemoveClipRgn();

protected:
    TDC() = default;
    // After each drawing call into this context.
    virtual void Drawn() {}

    HDC Handle = nullptr;
    HGDIOBJ OrgBitmap = nullptr;
};

// The client area of a window, for the life of the object.
class TClientDC : public TDC {
public:
    explicit TClientDC(HWND wnd);
    ~TClientDC() override;

protected:
    void Drawn() override;

private:
    HWND Wnd;
};

// An off-screen surface.
class TMemoryDC : public TDC {
public:
    // Compatible with the screen.
    TMemoryDC();
    explicit TMemoryDC(const TDC& dc);
    ~TMemoryDC() override;
};
