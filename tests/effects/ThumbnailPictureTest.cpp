// The effect dialog's thumbnail: block means with halves rounded up, uneven
// blocks, a side that does not shrink, and an empty picture.
#include "effects/ThumbnailPicture.h"

#include "EffectPictures.h"

#include <gtest/gtest.h>

namespace {

using namespace tq;
using fx::pixelAt;

TEST(ThumbnailPicture, EachPixelIsTheMeanOfItsBlock)
{
    // 4 x 2 -> 2 x 1: blocks of 2 x 2.
    EffectSurface s = fx::blankSurface(4, 2);
    const uint8_t blue[2][4] = {{0, 1, 10, 20}, {2, 2, 30, 41}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            pixelAt(s, x, y)[0] = blue[y][x];
            pixelAt(s, x, y)[1] = 200;
            pixelAt(s, x, y)[3] = 255;   // a marker never reaches the thumbnail
        }
    const DibRecord t = effects::thumbnailPicture(s, 2, 1);
    ASSERT_EQ(t.width, 2);
    ASSERT_EQ(t.height, 1);
    EXPECT_EQ(t.header, BitsHeader::forDib(2, 1));
    // (0 + 1 + 2 + 2) / 4 = 1.25 -> 1; (10 + 20 + 30 + 41) / 4 = 25.25 -> 25.
    EXPECT_EQ(pixelAt(t, 0, 0)[0], 1);
    EXPECT_EQ(pixelAt(t, 1, 0)[0], 25);
    EXPECT_EQ(pixelAt(t, 0, 0)[1], 200);
    EXPECT_EQ(pixelAt(t, 0, 0)[3], 0);
    EXPECT_EQ(pixelAt(t, 1, 0)[3], 0);
}

TEST(ThumbnailPicture, UnevenBlocksCoverEveryPixelOnce)
{
    // 7 -> 3 columns: blocks of 2, 2 and 3; a flat picture stays flat and
    // a ramp keeps its order.
    const EffectSurface flat = fx::uniformSurface(7, 5, 9, 99, 199);
    const DibRecord t = effects::thumbnailPicture(flat, 3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixelAt(t, x, y)[0], 9);
            EXPECT_EQ(pixelAt(t, x, y)[2], 199);
        }
    const EffectSurface ramp = fx::positions(7, 1);
    const DibRecord r = effects::thumbnailPicture(ramp, 3, 1);
    EXPECT_EQ(pixelAt(r, 0, 0)[0], 1);   // (0 + 1) / 2, a half rounded up
    EXPECT_EQ(pixelAt(r, 1, 0)[0], 3);   // (2 + 3) / 2
    EXPECT_EQ(pixelAt(r, 2, 0)[0], 5);   // (4 + 5 + 6) / 3
}

TEST(ThumbnailPicture, SidesThatDoNotShrinkRepeatPixels)
{
    const EffectSurface s = fx::positions(2, 3);
    const DibRecord t = effects::thumbnailPicture(s, 4, 3);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(t, x, 1)[0], x / 2) << x;
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(t, x, 2)[1], 2) << x;

    // No picture: a black thumbnail of the asked size (at least 1 x 1).
    const DibRecord none = effects::thumbnailPicture(DibRecord{}, 0, 5);
    EXPECT_EQ(none.width, 1);
    EXPECT_EQ(none.height, 5);
    EXPECT_EQ(none.bits, std::vector<uint8_t>(20, 0));
}

} // namespace
