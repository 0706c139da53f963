#include "framework/device_context.h"

#include "framework/exception.h"
#include "framework/platform_hooks.h"

TDC::TDC(HDC handle) : Handle(handle) {}

TDC::~TDC() = default;

bool TDC::BitBlt(int x, int y, int w, int h, const TDC& src, int srcX, int srcY, DWORD rop)
{
    bool ok = ::BitBlt(Handle, x, y, w, h, src.Handle, srcX, srcY, rop) != FALSE;
    Drawn();
    return ok;
}

int TDC::StretchDIBits(int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, const void* bits,
                       const BITMAPINFO& info, UINT usage, DWORD rop)
{
    int lines = ::StretchDIBits(Handle, x, y, w, h, srcX, srcY, srcW, srcH, bits, &info, usage, rop);
    Drawn();
    return lines;
}

int TDC::StretchDIBits(int x, int y, int w, int h, const TDib& dib, DWORD rop)
{
    if (!dib.IsOK())
        return 0;
    return StretchDIBits(x, y, w, h, 0, 0, dib.Width(), dib.Height(), dib.GetBits(), *dib.GetInfo(), dib.Usage(), rop);
}

bool TDC::SelectObject(const TBitmap& bitmap)
{
    HGDIOBJ previous = ::SelectObject(Handle, bitmap.GetHandle());
    if (!previous)
        return false;
    if (!OrgBitmap)
        OrgBitmap = previous;
    return true;
}

void TDC::RestoreBitmap()
{
    if (OrgBitmap) {
        ::SelectObject(Handle, OrgBitmap);
        OrgBitmap = nullptr;
    }
}

void TDC::RestoreObjects()
{
    // Only bitmaps are ever selected here; nothing else to give back.
}

void TDC::SelectClipRgn(const TRegion& region)
{
    ::SelectClipRgn(Handle, region);
}

void TDC::OffsetClipRgn(int dx, int dy)
{
    ::OffsetClipRgn(Handle, dx, dy);
}

void TDC::RemoveClipRgn()
{
    ::SelectClipRgn(Handle, nullptr);
}

TClientDC::TClientDC(HWND wnd) : TDC(AcquireWindowDC(wnd)), Wnd(wnd) {}

void TClientDC::Drawn()
{
    NoteWindowDrawing(Wnd, Handle);
}

TClientDC::~TClientDC()
{
    if (Handle)
        ReleaseWindowDC(Wnd, Handle);
}

TMemoryDC::TMemoryDC()
{
    Handle = CreateCompatibleDC(nullptr);
    if (!Handle)
        throw TXFramework("Cannot create an off-screen drawing surface");
}

TMemoryDC::TMemoryDC(const TDC& dc)
{
    Handle = CreateCompatibleDC(dc.GetHDC());
    if (!Handle)
        throw TXFramework("Cannot create an off-screen drawing surface");
}

TMemoryDC::~TMemoryDC()
{
    RestoreBitmap();
    RestoreObjects();
    DeleteDC(Handle);
}
