// The named resources of a module, as the portable runtime finds them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "common/dialog_template.h"

namespace vyla {

// Resource names compare as Windows compares string resource names:
// without regard to ASCII case.
struct ResourceNameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

struct EmbeddedBitmap {
    const char* name;
    const std::uint8_t* data;  // packed DIB: info header, palette, bits
    std::size_t size;
};

struct ResourceSet {
    std::map<std::string, std::span<const std::uint8_t>, ResourceNameLess> bitmaps;
    std::map<std::string, const DialogTemplate*, ResourceNameLess> dialogs;
};

// The resources compiled into the program: every bitmap of
// resources/bitmaps and every dialog template.
ResourceSet BuiltinResources();

}  // namespace vyla
