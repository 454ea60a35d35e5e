#include "tools/TextureApply.h"

#include "document/cBitRegion.h"
#include "tools/TileEffects.h"

namespace tq::TextureApply {

const char* actionLabel(int16_t Typ)
{
    switch (Typ) {
    case kDefined: return "Texture : Defined";
    case kText: return "Texture : Text";
    case kFromFile: return "Texture : from File";
    default: return "";
    }
}

std::string fileNotLoaded(const std::string& path) { return "Unable to load the texture picture " + path; }

bool makeTile(cBitFilter& TileFilter, const DibRecord& picture, int16_t effect, int32_t S)
{
    const int32_t w = picture.width;
    const int32_t h = picture.height;
    if (!usableTile(w, h)) return false;
    if (!TileFilter.BitsTakeFromPicture(picture, w, h)) return false;

    // The whole tile as the selection of a region object of its own.
    cBitRegion tileRegion;
    tileRegion.CreateRect(0, 0, w, h, 2, false);
    TileFilter.setBitsRegion(tileRegion.Region());
    if (FilterResult r = runTileEffect(TileFilter, effect, S)) TileFilter.setBits(std::move(*r));
    // The region goes with this call: the engine must not keep its handle.
    TileFilter.setBitsRegion(nullptr);
    return true;
}

FilterResult texturize(cBitFilter& engine, const Region* walk, const BitsBuffer& tile)
{
    if (!tile.allocated() || !usableTile(tile.width(), tile.height())) return std::nullopt;
    engine.setBitsRegion(walk);
    return engine.Texturize(tile);
}

} // namespace tq::TextureApply
