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
#include "support/packed_dib.h"

namespace vyla::testing {


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
    art.Add("IDB_FRAMET", PackedDib(640, 54, 1, kMono, lattice));
    art.Add("IDB_FRAMEB", PackedDib(640, 52, 1, kMono, lattice));
    art.Add("IDB_FRAMEL", PackedDib(48, 480, 1, kMono, lattice));
    art.Add("IDB_FRAMER", PackedDib(58, 480, 1, kMono, lattice));
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
    art.Add("IDB_RVYLAS", PackedDib(1280, 80, 4, crimson, image));
    art.Add("IDB_RMASKS", PackedDib(1280, 80, 1, kMono, mask));
    art.Add("IDB_WVYLAS", PackedDib(1280, 80, 4, white, image));
    art.Add("IDB_WMASKS", PackedDib(1280, 80, 1, kMono, mask));
    for (unsigned i = 0; i < pictures; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "IDB_SHADOW%02u", i % 100);
        int w = 100 + static_cast<int>(i) * 7, h = 80 + static_cast<int>(i) * 3;
        // Picture i: black where (x + y) is even inside the left (i+1)/14 of the width.
        art.Add(name, PackedDib(w, h, 1, kMono, [=](int x, int y) {
                    return (x * 14 < w * static_cast<int>(i + 1) && (x + y) % 2 == 0) ? 0 : 1;
                }));
    }
    return art;
}

}  // namespace vyla::testing
