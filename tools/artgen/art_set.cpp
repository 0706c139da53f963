#include "art_set.h"

#include "border.h"
#include "flower.h"
#include "silhouettes.h"

namespace vyla::artgen {

std::vector<NamedBitmap> DrawAllArt()
{
    std::vector<NamedBitmap> art = CutBorderPieces(DrawBorderFrame());
    SpriteStrips crimson = DrawFlowerStrips(FlowerColour::Crimson);
    SpriteStrips white = DrawFlowerStrips(FlowerColour::White);
    art.push_back({"IDB_RVYLAS", std::move(crimson.image)});
    art.push_back({"IDB_RMASKS", std::move(crimson.mask)});
    art.push_back({"IDB_WVYLAS", std::move(white.image)});
    art.push_back({"IDB_WMASKS", std::move(white.mask)});
    for (NamedBitmap& s : DrawSilhouettes())
        art.push_back(std::move(s));
    return art;
}

} // namespace vyla::artgen
