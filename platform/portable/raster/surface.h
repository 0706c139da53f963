// An off-screen picture in memory. Callers see 32-bit 0x00RRGGBB pixels, rows
// top-down, no padding between rows, except in a surface made over memory
// somebody else provides (Over), whose rows lie Stride() pixels apart.
//
// A surface drawn whole from a picture of 256 colours or fewer may instead
// hold its indexed form: one byte a pixel and the picture's palette, a quarter
// of the memory. Reading it with At() or copying from it keeps that form; the
// first call that asks for its rows or changes it turns it into 32 bits, once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "common/geometry.h"
#include "portable/raster/palette.h"
#include "portable/raster/pixel.h"
#include "portable/raster/pixel_buffer.h"

namespace vyla::raster {

class Surface {
public:
    // Wide enough for a 16-cell sprite strip scaled for a screen of 16384 x
    // 16384 (73728 x 4608), which, drawn from a picture of few colours, is
    // held indexed: a byte a pixel.
    static constexpr int kMaxSide = 1 << 17;
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 29;

    Surface() = default;  // 0 x 0

    // nullopt if a side is negative or above kMaxSide, the area is above
    // kMaxPixels, or the memory is not available. With a zero fill the memory
    // stays untouched until something is drawn on it.
    static std::optional<Surface> Create(Size size, Pixel fill = 0);

    // A 32-bit surface drawing straight into memory the caller provides: row
    // y starts at memory.get() + y * stride, and memory must hold
    // stride * (height - 1) + width pixels. The surface shares ownership of
    // memory, so the memory lives as long as the surface does. nullopt for a
    // size Create would refuse, a stride below the width or a null memory
    // with a non-empty size. Such a surface stays in that memory: it never
    // turns indexed (ResetIndexed refuses), and a copy of it is an ordinary
    // surface with memory of its own.
    static std::optional<Surface> Over(Size size, std::size_t stride, std::shared_ptr<Pixel> memory);

    // Copies keep the form of the original. A copy that runs out of memory
    // throws std::bad_alloc and leaves the target as it was.
    Surface(const Surface& other);
    Surface& operator=(const Surface& other);
    // The moved-from surface is 0 x 0.
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    ~Surface() = default;

    Size GetSize() const { return size_; }
    int Width() const { return size_.width; }
    int Height() const { return size_.height; }
    Rect Bounds() const { return Rect::FromSize(size_); }
    // Pixels from one row's start to the next's.
    std::size_t Stride() const { return stride_; }
    // The surface draws into memory it was made over (Over).
    bool IsExternal() const { return external_ != nullptr; }

    // nullptr for a row outside the surface. Both overloads turn an indexed
    // surface into 32 bits first (what it shows does not change), so even
    // const access must not race; that throws std::bad_alloc when the memory
    // is not available.
    Pixel* Row(int y);
    const Pixel* Row(int y) const;

    // Reads outside the surface give 0; writes outside are ignored. At() reads
    // an indexed surface through its palette and leaves it indexed.
    Pixel At(int x, int y) const;
    void Set(int x, int y, Pixel pixel);

    void Fill(Pixel pixel);

    // ---- The indexed form ----

    bool IsIndexed() const { return palette_ != nullptr; }

    // Discards the pixels and makes the surface indexed: every index 0, with
    // the given palette (see Palette for short and long ones). Returns false,
    // changing nothing, when the memory is not available or the surface was
    // made over external memory.
    bool ResetIndexed(std::span<const Pixel> palette);

    // Row y's indices; nullptr for a 32-bit surface or a row outside.
    std::uint8_t* IndexRow(int y);
    const std::uint8_t* IndexRow(int y) const;

    // nullptr for a 32-bit surface.
    const Palette* GetPalette() const { return palette_.get(); }

private:
    Surface(Size size, PixelBuffer<Pixel> pixels);

    std::size_t PixelCount() const { return static_cast<std::size_t>(size_.width) * static_cast<std::size_t>(size_.height); }
    std::size_t RowOffset(int y) const { return static_cast<std::size_t>(y) * stride_; }
    Pixel* RgbData() const { return external_ ? external_.get() : pixels_.Data(); }
    void MakeRgb() const;

    Size size_;
    std::size_t stride_ = 0;  // the width, except over external memory
    // Exactly one form holds the pixels: pixels_ when palette_ is null,
    // indices_ otherwise. Turning to 32 bits does not change what the surface
    // shows, so reading rows through a const surface may do it.
    mutable PixelBuffer<Pixel> pixels_;
    mutable PixelBuffer<std::uint8_t> indices_;
    mutable std::shared_ptr<const Palette> palette_;  // immutable, so copies share it
    // Set for a surface made over external memory; pixels_ is empty then.
    std::shared_ptr<Pixel> external_;
};

}  // namespace vyla::raster
