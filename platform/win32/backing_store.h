// An off-screen picture in the screen's colours: a memory context with a
// 32-bit top-down DIB section selected for the object's life.
#pragma once

#include "system_api.h"

namespace vyla::win32 {

class BackingStore {
public:
    // Compatible with reference (null: the screen). IsOK() is false when
    // the picture could not be made, for instance for an empty size.
    BackingStore(HDC reference, int width, int height);
    ~BackingStore();
    BackingStore(const BackingStore&) = delete;
    BackingStore& operator=(const BackingStore&) = delete;

    bool IsOK() const { return bitmap_ != nullptr; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT Bounds() const { return RECT{0, 0, width_, height_}; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vyla::win32
