// The colour reducer: optimal palettes, GIF and interlaced GIF output, and
// refusal of what it does not do yet.
#include "platform/ColorReducer.h"
#include "platform/PictureLoader.h"

#include "document/PictureFixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace tq {
namespace {

using testing::makePicture;
using testing::PictureTempDir;
using testing::readFile;
using testing::writeFile;

// The GIF's logical screen descriptor and first image descriptor.
struct GifFacts {
    int width = 0, height = 0, tableSize = 0;
    bool interlaced = false;
};

GifFacts gifFacts(const std::vector<uint8_t>& f)
{
    GifFacts g;
    if (f.size() < 13 || std::memcmp(f.data(), "GIF", 3) != 0) return g;
    g.width = f[6] | (f[7] << 8);
    g.height = f[8] | (f[9] << 8);
    const bool global = f[10] & 0x80;
    g.tableSize = global ? 2 << (f[10] & 7) : 0;
    size_t p = 13 + size_t(3 * g.tableSize);
    while (p < f.size() && f[p] != 0x2C) p++;   // no extensions are written before the image
    if (p + 9 < f.size()) g.interlaced = f[p + 9] & 0x40;
    return g;
}

std::set<uint32_t> coloursOf(const DibRecord& d)
{
    std::set<uint32_t> s;
    for (size_t i = 0; i < d.bits.size(); i += 4) s.insert(d.bits[i] | (d.bits[i + 1] << 8) | (d.bits[i + 2] << 16));
    return s;
}

TEST(ColorReducer, GifOfFewColoursIsExact)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(7, 5);
    ColorReducer r;
    const std::string path = dir.path("a.gif");
    ASSERT_NE(r.ReduceToFile(pic, path, ColorReducer::kOutputGif, ColorReducer::kColour, 8,
                             ColorReducer::kPaletteOptimal, ColorReducer::kDitherNone, -1, -1, -1, -1),
              0);
    const GifFacts g = gifFacts(readFile(path));
    EXPECT_EQ(g.width, 7);
    EXPECT_EQ(g.height, 5);
    EXPECT_EQ(g.tableSize, 256);
    EXPECT_FALSE(g.interlaced);
    const auto back = loadPlatformPicture(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->bits, pic.bits);
}

TEST(ColorReducer, InterlacedGifThroughTheChain)
{
    PictureTempDir dir;
    // Rows enough for all four interlace passes.
    const DibRecord pic = makePicture(6, 19);
    ColorReducer r;
    ASSERT_NE(r.SetConversion(ColorReducer::kOutputGifInterlaced, ColorReducer::kColour, 8, ColorReducer::kPaletteOptimal,
                              ColorReducer::kDitherNone),
              0);
    ASSERT_NE(r.SetSource(pic, -1, -1, -1, -1), 0);
    ASSERT_NE(r.Convert(), 0);
    const std::string path = dir.path("i.gif");
    ASSERT_NE(r.SaveGifInterlaced(path), 0);
    EXPECT_TRUE(gifFacts(readFile(path)).interlaced);
    const auto back = loadPlatformPicture(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->bits, pic.bits);
    // The same conversion written plainly.
    ASSERT_NE(r.SaveGif(dir.path("p.gif")), 0);
    EXPECT_FALSE(gifFacts(readFile(dir.path("p.gif"))).interlaced);
    EXPECT_EQ(loadPlatformPicture(dir.path("p.gif"))->bits, pic.bits);
}

TEST(ColorReducer, MoreColoursThanThePaletteHolds)
{
    PictureTempDir dir;
    // 32 x 32 = 1024 colours into 256, and into 2 at one bit per pixel.
    DibRecord pic = makePicture(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = pic.row(y) + 4 * x;
            p[0] = uint8_t(x * 8);
            p[1] = uint8_t(y * 8);
            p[2] = uint8_t(128);
        }
    struct Case {
        int bits;
        size_t maxColours;
        int tolerance;
    };
    for (const Case c : {Case{8, 256, 12}, Case{1, 2, 255}}) {
        SCOPED_TRACE(c.bits);
        ColorReducer r;
        const std::string path = dir.path("many" + std::to_string(c.bits) + ".gif");
        ASSERT_NE(r.ReduceToFile(pic, path, 1, 0, c.bits, 0x4000, 0), 0);
        EXPECT_EQ(gifFacts(readFile(path)).tableSize, 1 << c.bits);
        EXPECT_EQ(r.palette().size(), size_t(1) << c.bits);
        const auto back = loadPlatformPicture(path);
        ASSERT_TRUE(back.has_value());
        EXPECT_LE(coloursOf(*back).size(), c.maxColours);
        EXPECT_LE(testing::maxColourDifference(pic, *back), c.tolerance);
    }
}

TEST(ColorReducer, RefusesWhatItDoesNotDoAndWritesNothing)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(3, 2);
    const std::string path = dir.path("keep.gif");
    writeFile(path, {'o', 'l', 'd'});
    struct Case {
        int kind, mode, bits, palette, dither;
    };
    for (const Case c : {Case{0, 0, 8, 0x4000, 0}, Case{1, 2, 8, 0x4000, 0}, Case{1, 0, 9, 0x4000, 0}, Case{1, 0, 0, 0x4000, 0},
                         Case{1, 0, 8, 0x8100, 0}, Case{1, 0, 8, 0x4000, 2}}) {
        ColorReducer r;
        EXPECT_EQ(r.ReduceToFile(pic, path, c.kind, c.mode, c.bits, c.palette, c.dither), 0);
    }
    ColorReducer r;
    EXPECT_EQ(r.ReduceToFile(pic, path, 1, 0, 8, 0x4000, 0, 0, 0, 2, 2), 0);   // a part of the picture
    DibRecord bad = pic;
    bad.bits.clear();
    EXPECT_EQ(r.ReduceToFile(bad, path, 1, 0, 8, 0x4000, 0), 0);
    // Out of order: nothing converted yet.
    ColorReducer fresh;
    EXPECT_EQ(fresh.Convert(), 0);
    EXPECT_EQ(fresh.SaveGif(path), 0);
    EXPECT_EQ(readFile(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    // A folder that does not exist.
    EXPECT_EQ(r.ReduceToFile(pic, dir.path("no/x.gif"), 1, 0, 8, 0x4000, 0), 0);
    EXPECT_EQ(dir.entries(), 2u);
}

} // namespace
} // namespace tq
