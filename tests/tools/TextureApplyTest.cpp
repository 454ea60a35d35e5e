// Laying a tile over a picture: the tile effect runs on the whole tile, the
// tile multiplies only the selected pixels from the top-left corner of the
// selection's bounding box, and a tile too small to step is refused.
#include "tools/TextureApply.h"

#include "document/PictureFixtures.h"
#include "document/cBitRegion.h"
#include "tools/TileEffects.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

BitsBuffer pattern(int w, int h)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) b.at(c, x, y) = static_cast<uint8_t>(40 + 9 * x + 7 * y + 13 * c);
    return b;
}

// A w x h picture record whose pixel (x, y) has blue blue(x, y) and fixed
// green and red.
template <class Blue>
DibRecord tilePicture(int w, int h, Blue blue)
{
    return testing::pictureOf(
        w, h, [&](int x, int y) { return std::array<uint8_t, 3>{static_cast<uint8_t>(blue(x, y)), 90, 200}; });
}

TEST(TextureApply, SourcesAreLabelledByKind)
{
    EXPECT_STREQ(TextureApply::actionLabel(0), "Texture : Defined");
    EXPECT_STREQ(TextureApply::actionLabel(1), "Texture : Text");
    EXPECT_STREQ(TextureApply::actionLabel(2), "Texture : from File");
    EXPECT_STREQ(TextureApply::actionLabel(3), "");
}

TEST(TextureApply, ATileTooSmallToStepIsRefused)
{
    for (auto [w, h] : {std::pair{1, 5}, {5, 1}, {1, 1}, {0, 0}}) {
        cBitFilter tile;
        const BitsBuffer before(3, 3);
        tile.setBits(before);
        EXPECT_FALSE(TextureApply::makeTile(tile, tilePicture(w, h, [](int, int) { return 7; }), 8, 3))
            << w << "x" << h;
        EXPECT_EQ(tile.Bits(), before);

        cBitFilter engine;
        engine.setBits(pattern(4, 4));
        const Region whole = Region::rect(0, 0, 4, 4);
        BitsBuffer small(std::max(w, 0), std::max(h, 0));
        EXPECT_FALSE(TextureApply::texturize(engine, &whole, small).has_value());
    }
}

TEST(TextureApply, TheEffectRunsOnTheWholeTileAndLeavesNoRegionBehind)
{
    const DibRecord picture = tilePicture(6, 4, [](int x, int y) { return static_cast<uint8_t>(10 * x + 50 * y); });
    cBitFilter tile;
    ASSERT_TRUE(TextureApply::makeTile(tile, picture, 12, 3));   // Flip Horizontal
    ASSERT_EQ(tile.BitsWidth(), 6);
    ASSERT_EQ(tile.BitsHeight(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(tile.Bits().at(0, x, y), 10 * (5 - x) + 50 * y) << x << "," << y;
    EXPECT_EQ(tile.BitsRegion(), nullptr);

    // Invert reaches every pixel of the tile, corners included.
    cBitFilter inverted;
    ASSERT_TRUE(TextureApply::makeTile(inverted, picture, 18, 3));
    EXPECT_EQ(inverted.Bits().at(0, 0, 0), 255);
    EXPECT_EQ(inverted.Bits().at(0, 5, 3), 255 - 200);
    EXPECT_EQ(inverted.Bits().at(2, 5, 3), 55);
}

TEST(TextureApply, OnlyTheSelectionChangesFromItsTopLeftCorner)
{
    const BitsBuffer picture = pattern(14, 12);
    // Blue 64 at the tile's origin halves a pixel; 128 elsewhere keeps it.
    cBitFilter tile;
    ASSERT_TRUE(TextureApply::makeTile(
        tile, tilePicture(4, 3, [](int x, int y) { return static_cast<uint8_t>(x == 0 && y == 0 ? 64 : 128); }), 12,
        3));
    // After the horizontal flip the 64 stands in the tile's last column.
    ASSERT_EQ(tile.Bits().at(0, 3, 0), 64);

    cBitRegion selection;
    selection.Init(0, 0, 14, 12);
    selection.CreateRect(5, 4, 12, 10, 2, false);
    cBitFilter engine;
    engine.setBits(picture);
    const FilterResult out = TextureApply::texturize(engine, selection.walkRegion(), tile.Bits());
    ASSERT_TRUE(out.has_value());
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
            const bool inside = x >= 5 && x < 12 && y >= 4 && y < 10;
            for (int c = 0; c < 3; ++c) {
                const uint8_t was = picture.at(c, x, y);
                const uint8_t now = out->at(c, x, y);
                if (!inside) {
                    EXPECT_EQ(now, was) << "outside " << x << "," << y;
                } else {
                    EXPECT_TRUE(now == was || now == static_cast<uint8_t>(rnd(was * 64 / 128.0)))
                        << x << "," << y;
                }
            }
        }
    // The tile starts at the selection's corner, not at the picture's, and
    // steps by its size less one: a tile's last column is overwritten by
    // the next tile's first (x = 8), so the 64 survives only in the last
    // tile laid across (x = 11), on the tile rows y = 4, 6 and 8.
    for (int y = 4; y < 10; ++y)
        for (int x = 5; x < 12; ++x) {
            const bool halved = x == 11 && (y == 4 || y == 6 || y == 8);
            EXPECT_EQ(out->at(0, x, y), halved ? static_cast<uint8_t>(rnd(picture.at(0, x, y) / 2.0))
                                               : picture.at(0, x, y))
                << x << "," << y;
        }
}

TEST(TextureApply, ATileOfGrey128LeavesThePictureAsItWas)
{
    const BitsBuffer picture = pattern(9, 7);
    cBitFilter tile;
    ASSERT_TRUE(TextureApply::makeTile(tile, tilePicture(5, 5, [](int, int) { return 128; }), 13, 50));
    cBitRegion selection;
    selection.Init(0, 0, 9, 7);   // nothing selected: the whole picture
    cBitFilter engine;
    engine.setBits(picture);
    const FilterResult out = TextureApply::texturize(engine, selection.walkRegion(), tile.Bits());
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, picture);
}

TEST(TextureApply, EmbossTurnsAFlatTileGrey)
{
    // The default effect: flat areas become 128, so only the tile's edges
    // show in the picture.
    cBitFilter tile;
    ASSERT_TRUE(TextureApply::makeTile(tile, tilePicture(8, 8, [](int x, int) { return x < 4 ? 40 : 220; }),
                                       kDefaultTileEffect, kDefaultTileStrength));
    EXPECT_EQ(tile.Bits().at(0, 1, 4), 128);
    EXPECT_EQ(tile.Bits().at(0, 6, 4), 128);
    EXPECT_NE(tile.Bits().at(0, 3, 4), 128);
}

} // namespace
} // namespace tq
