// Bitmaps made by tests: packed pictures with known pixels, so drawing can
// be checked pixel for pixel whatever the real artwork looks like.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/resource_set.h"
#include "resources/dialogs.h"

namespace vyla::testing {

// A bottom-up packed picture (header, palette, rows); pixel(x, y) gives the
// palette index of (x, y) counted from the top row.
inline std::vector<std::uint8_t> MakeDib(int width, int height, int bitCount, const std::vector<std::uint32_t>& palette,
                                         const std::function<int(int, int)>& pixel)
{
    std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    std::vector<std::uint8_t> out(40 + palette.size() * 4 + stride * height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    out[12] = 1;
    out[14] = static_cast<std::uint8_t>(bitCount);
    put32(20, static_cast<std::uint32_t>(stride * height));
    put32(32, static_cast<std::uint32_t>(palette.size()));
    put32(36, static_cast<std::uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        out[40 + i * 4] = palette[i] & 0xff;
        out[41 + i * 4] = (palette[i] >> 8) & 0xff;
        out[42 + i * 4] = (palette[i] >> 16) & 0xff;
    }
    std::size_t bits = 40 + palette.size() * 4;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &out[bits + stride * (height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            int v = pixel(x, y);
            if (bitCount == 1) {
                if (v)
                    row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            } else if (bitCount == 4) {
                row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4));
            }
        }
    }
    return out;
}

inline const std::vector<std::uint32_t> kMono = {0x000000, 0xffffff};

// A resource set whose pictures the test owns.
class SyntheticArt {
public:
    void Add(const std::string& name, std::vector<std::uint8_t> bytes)
    {
        storage_[name] = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
    }
    void Remove(const std::string& name) { storage_.erase(name); }
    ResourceSet Set() const
    {
        ResourceSet set;
        for (const auto& [name, bytes] : storage_)
            set.bitmaps.emplace(name, std::span<const std::uint8_t>(*bytes));
        set.dialogs.emplace(kConfigureDialog.name, &kConfigureDialog);
        return set;
    }

private:
    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> storage_;
};

// The scene's pictures at their real sizes and depths with test patterns:
// border pieces with a lattice of black dots, strips whose cells are opaque
// discs of a colour per cell over random mask edges, and silhouettes whose
// picture index can be read back from their pattern.
inline SyntheticArt MakeSceneArt(unsigned pictures = 13)
{
    SyntheticArt art;
    auto lattice = [](int x, int y) { return (x % 7 == 0 && y % 5 == 0) || (x + 2 * y) % 11 == 0 ? 0 : 1; };
    art.Add("IDB_FRAMET", MakeDib(640, 54, 1, kMono, lattice));
    art.Add("IDB_FRAMEB", MakeDib(640, 52, 1, kMono, lattice));
    art.Add("IDB_FRAMEL", MakeDib(48, 480, 1, kMono, lattice));
    art.Add("IDB_FRAMER", MakeDib(58, 480, 1, kMono, lattice));
    // Cell k: opaque inside a disc, image index 1 + (k % 15) there, index 0
    // (and a white mask) outside, plus a few k-dependent stripes.
    auto inside = [](int x, int y) {
        int cx = x % 80 - 40, cy = y - 40;
        int k = x / 80;
        return cx * cx + cy * cy < 36 * 36 || (cy == k - 8);
    };
    std::vector<std::uint32_t> crimson, white;
    for (int i = 0; i < 16; ++i) {
        crimson.push_back(static_cast<std::uint32_t>(i * 16) << 16 | static_cast<std::uint32_t>(i));
        white.push_back(static_cast<std::uint32_t>(i * 15) * 0x010101u);
    }
    auto image = [&](int x, int y) { return inside(x, y) ? 1 + (x / 80) % 15 : 0; };
    auto mask = [&](int x, int y) { return inside(x, y) ? 0 : 1; };
    art.Add("IDB_RVYLAS", MakeDib(1280, 80, 4, crimson, image));
    art.Add("IDB_RMASKS", MakeDib(1280, 80, 1, kMono, mask));
    art.Add("IDB_WVYLAS", MakeDib(1280, 80, 4, white, image));
    art.Add("IDB_WMASKS", MakeDib(1280, 80, 1, kMono, mask));
    for (unsigned i = 0; i < pictures; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "IDB_SHADOW%02u", i % 100);
        int w = 100 + static_cast<int>(i) * 7, h = 80 + static_cast<int>(i) * 3;
        // Picture i: black where (x + y) is even inside the left (i+1)/14 of the width.
        art.Add(name, MakeDib(w, h, 1, kMono, [=](int x, int y) {
                    return (x * 14 < w * static_cast<int>(i + 1) && (x + y) % 2 == 0) ? 0 : 1;
                }));
    }
    return art;
}

}  // namespace vyla::testing
