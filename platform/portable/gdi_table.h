// Drawing contexts and drawing objects of the portable runtime.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "common/geometry.h"
#include "common/region.h"
#include "portable/winapi/types.h"
#include "portable/raster/surface.h"

namespace vyla::portable {

struct GdiObject {
    enum class Kind { Bitmap, Brush, Region };
    Kind kind = Kind::Bitmap;
    bool stock = false;
    raster::Surface surface;  // bitmaps
    Region region;            // regions
    HDC selectedInto = nullptr;
};

struct DeviceContext {
    enum class Kind { Memory, Window, Screen };
    Kind kind = Kind::Memory;
    HWND window = nullptr;  // window and screen contexts
    HGDIOBJ bitmap = nullptr;  // memory contexts: the selected bitmap
    HGDIOBJ brush = nullptr;
    // The clip region in the context's coordinates; none: the whole surface.
    std::optional<Region> clip;
};

class GdiTable {
public:
    GdiTable();

    HDC AddDC(std::unique_ptr<DeviceContext> dc);
    DeviceContext* FindDC(HDC dc);
    void RemoveDC(HDC dc);

    HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
    GdiObject* FindObject(HGDIOBJ object);
    void RemoveObject(HGDIOBJ object);
    HGDIOBJ Stock(int index);
    HGDIOBJ DefaultBitmapHandle() const { return defaultBitmapHandle_; }

    std::size_t LiveDCs() const { return dcs_.size(); }
    std::size_t LiveObjects() const { return objects_.size() - stockCount_; }

private:
    std::map<std::uintptr_t, std::unique_ptr<DeviceContext>> dcs_;
    std::map<std::uintptr_t, std::unique_ptr<GdiObject>> objects_;
    std::map<int, HGDIOBJ> stock_;
    std::size_t stockCount_ = 0;
    std::uintptr_t nextHandle_ = 0x10000;
    HGDIOBJ defaultBitmapHandle_ = nullptr;
};

}  // namespace vyla::portable
