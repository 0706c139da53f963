// Drawing contexts and drawing objects of the portable runtime.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "common/geometry.h"
#include "portable/api/types.h"
#include "portable/raster/blit_chain.h"
#include "portable/raster/surface.h"

namespace vyla::portable {

struct GdiObject {
    enum class Kind { Bitmap, Brush };
    Kind kind = Kind::Bitmap;
    bool stock = false;
    raster::Surface surface;  // bitmaps
    HDC selectedInto = nullptr;
};

struct DeviceContext {
    enum class Kind { Memory, Window, Screen };
    Kind kind = Kind::Memory;
    HWND window = nullptr;  // window and screen contexts
    HGDIOBJ bitmap = nullptr;  // memory contexts: the selected bitmap
    HGDIOBJ brush = nullptr;
};

// The contexts and objects by handle, and at most one deferred chain of blits
// into a memory bitmap (see raster::BlitChain). Every look-up and removal
// draws a deferred chain first, so nothing can see a bitmap half drawn or a
// source change under a chain; only the Peek look-ups leave it pending.
class GdiObjects {
public:
    GdiObjects();

    HDC AddDC(std::unique_ptr<DeviceContext> dc);
    DeviceContext* FindDC(HDC dc);
    DeviceContext* PeekDC(HDC dc);
    void RemoveDC(HDC dc);

    HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
    GdiObject* FindObject(HGDIOBJ object);
    GdiObject* PeekObject(HGDIOBJ object);
    void RemoveObject(HGDIOBJ object);

    // The deferred chain, the bitmap it draws into, and handing it over
    // undrawn (its taker draws it).
    void DeferChain(HGDIOBJ target, raster::BlitChain chain);
    raster::BlitChain* PendingChain() { return pending_ ? &*pending_ : nullptr; }
    HGDIOBJ PendingTarget() const { return pendingTarget_; }
    std::optional<raster::BlitChain> TakeChain();
    void DrawPending();
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
    std::optional<raster::BlitChain> pending_;
    HGDIOBJ pendingTarget_ = nullptr;
};

}  // namespace vyla::portable
