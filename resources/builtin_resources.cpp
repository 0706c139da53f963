#include "common/resource_set.h"
#include "resources/dialogs.h"

namespace vyla {

extern const EmbeddedBitmap kEmbeddedBitmaps[];

ResourceSet BuiltinResources()
{
    ResourceSet set;
    for (const EmbeddedBitmap* b = kEmbeddedBitmaps; b->name; ++b)
        set.bitmaps.emplace(b->name, std::span<const std::uint8_t>(b->data, b->size));
    set.dialogs.emplace(kConfigureDialog.name, &kConfigureDialog);
    return set;
}

}  // namespace vyla
