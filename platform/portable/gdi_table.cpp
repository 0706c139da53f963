#include "portable/gdi_table.h"

namespace vyla::portable {

GdiTable::GdiTable()
{
    for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH}) {
        auto brush = std::make_unique<GdiObject>();
        brush->kind = GdiObject::Kind::Brush;
        brush->stock = true;
        stock_[index] = AddObject(std::move(brush));
    }
    // Every new memory context holds the same one-pixel stock bitmap, as on Windows.
    auto bitmap = std::make_unique<GdiObject>();
    bitmap->stock = true;
    bitmap->surface = *raster::Surface::Create(Size{1, 1});
    defaultBitmapHandle_ = AddObject(std::move(bitmap));
    stockCount_ = objects_.size();
}

HDC GdiTable::AddDC(std::unique_ptr<DeviceContext> dc)
{
    auto handle = nextHandle_;
    nextHandle_ += 4;
    dcs_.emplace(handle, std::move(dc));
    return reinterpret_cast<HDC>(handle);
}

DeviceContext* GdiTable::FindDC(HDC dc)
{
    auto it = dcs_.find(reinterpret_cast<std::uintptr_t>(dc));
    return it == dcs_.end() ? nullptr : it->second.get();
}

void GdiTable::RemoveDC(HDC dc)
{
    dcs_.erase(reinterpret_cast<std::uintptr_t>(dc));
}

HGDIOBJ GdiTable::AddObject(std::unique_ptr<GdiObject> object)
{
    auto handle = nextHandle_;
    nextHandle_ += 4;
    objects_.emplace(handle, std::move(object));
    return reinterpret_cast<HGDIOBJ>(handle);
}

GdiObject* GdiTable::FindObject(HGDIOBJ object)
{
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(object));
    return it == objects_.end() ? nullptr : it->second.get();
}

void GdiTable::RemoveObject(HGDIOBJ object)
{
    objects_.erase(reinterpret_cast<std::uintptr_t>(object));
}

HGDIOBJ GdiTable::Stock(int index)
{
    auto it = stock_.find(index);
    return it == stock_.end() ? nullptr : it->second;
}

}  // namespace vyla::portable
