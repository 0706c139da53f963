#include "win32/backing_store.h"

namespace vyla::win32 {

BackingStore::BackingStore(HDC reference, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    dc_ = CreateCompatibleDC(reference);
    if (!dc_)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_)
        return;
    original_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
}

BackingStore::~BackingStore()
{
    if (dc_ && original_)
        SelectObject(dc_, original_);
    if (bitmap_)
        DeleteObject(bitmap_);
    if (dc_)
        DeleteDC(dc_);
}

}  // namespace vyla::win32
