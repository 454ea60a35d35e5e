// One file into one thumbnail: the two decode routes and the depths they
// record, the fitting into the cell, the two reductions and the placeholder.
#include "document/FormatFixtures.h"
#include "document/PictureFixtures.h"
#include "document/ProgramContext.h"
#include "document/PictureRouting.h"
#include "toolwindows/ThumbnailRender.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tq;
using namespace tq::browser;
using tq::testing::PictureTempDir;

namespace {

DibRecord solid(int w, int h, uint8_t b, uint8_t g, uint8_t r)
{
    DibRecord d = tq::testing::makePicture(w, h);
    for (size_t i = 0; i < d.bits.size(); i += 4) {
        d.bits[i] = b;
        d.bits[i + 1] = g;
        d.bits[i + 2] = r;
    }
    return d;
}

const uint8_t* pixel(const DibRecord& d, int x, int y) { return d.row(y) + 4 * x; }

} // namespace

TEST(ThumbnailRender, FitsTheCellLessFivePixelsNeverEnlarging)
{
    struct Case {
        int w, h, outW, outH;
    };
    // Cell 70 x 60: room 65 x 55.
    const Case cases[] = {
        {40, 30, 40, 30},     // smaller: kept
        {65, 20, 65, 20},     // exactly as wide, not taller: kept
        {65, 55, 65, 55},
        {130, 55, 65, 28},    // wide: full width, 27.5 to the even 28
        {65, 110, 32, 55},    // tall: full height, 32.5 to the even 32
        {130, 110, 65, 55},   // equal ratios: the height's wins
    };
    for (const Case& c : cases) {
        int32_t w = 0, h = 0;
        thumbnailSize(c.w, c.h, 70, 60, w, h);
        EXPECT_EQ(w, c.outW) << c.w << " x " << c.h;
        EXPECT_EQ(h, c.outH) << c.w << " x " << c.h;
    }
}

TEST(ThumbnailRender, DecodeRoutesRecordTheirDepths)
{
    ScopedContext context;
    PictureTempDir dir;
    const DibRecord pic = tq::testing::makePicture(12, 9);
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("a.png"), "png", pic));
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("a.gif"), "gif", pic));
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("a.bmp"), "bmp", pic));
    std::filesystem::copy_file(dir.path("a.bmp"), dir.path("a.dib"));
    std::filesystem::copy_file(dir.path("a.png"), dir.path("b.jpg"));   // named wrong: the router fails
    std::ofstream(dir.path("c.wmf")) << "not a metafile";
    // A version 5 bitmap with alpha, as common tools write one.
    tq::testing::writeFile(dir.path("v5.bmp"), tq::testing::bitfieldBmpFile(12, 9, 32, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}));
    // A TIFF whose LZW strip is cut short: the library decodes it as far as
    // it can and makes up the rest.
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("a.tif"), "tif", pic));
    tq::testing::writeFile(dir.path("cut.tif"), tq::testing::tiffWithCutStrip(12, 9));
    // A GIF cut inside its last data block: the platform's reader would
    // fill in what it lacks.
    const std::vector<uint8_t> gif = tq::testing::readFile(dir.path("a.gif"));
    tq::testing::writeFile(dir.path("cut.gif"), std::vector<uint8_t>(gif.begin(), gif.end() - 10));

    struct Case {
        const char* file;
        const char* ext;
        bool decoded;
        int bpp;
    };
    const Case cases[] = {
        {"a.png", "png", true, 24}, {"a.gif", "gif", true, 8},  {"a.dib", "dib", true, 16},
        {"a.bmp", "bmp", true, 24}, {"b.jpg", "jpg", false, 0}, {"c.wmf", "wmf", false, 0},
        {"v5.bmp", "bmp", true, 32}, {"a.tif", "tif", true, 24},  {"cut.tif", "tif", false, 0},
        {"cut.gif", "gif", false, 0},
    };
    for (const Case& c : cases) {
        ImageWidth() = 1;
        ImageHeight() = 2;
        ImageBPP() = 3;
        DibRecord out;
        EXPECT_EQ(decodeThumbnailSource(dir.path(c.file), c.ext, out), c.decoded) << c.file;
        if (c.decoded) {
            EXPECT_EQ(out.width, 12);
            EXPECT_EQ(out.height, 9);
            EXPECT_EQ(ImageWidth(), 12);
            EXPECT_EQ(ImageHeight(), 9);
            EXPECT_EQ(ImageBPP(), c.bpp) << c.file;
        } else {
            // A failed decode leaves the last values alone.
            EXPECT_EQ(ImageWidth(), 1);
            EXPECT_EQ(ImageBPP(), 3);
        }
    }
}

TEST(ThumbnailRender, TheTwoQualities)
{
    const DibRecord red = solid(100, 75, 0, 0, 255);
    const int32_t white = 0xFFFFFF;
    struct Case {
        int16_t quality;
        bool alpha;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{-1, true}}) {
        ThumbnailBitmaps bitmaps;
        bitmaps.ThumbDib = std::make_unique<cDIBSection>();
        bitmaps.ThumbAlphaDib = std::make_unique<cAlphaDibSection>();
        const DibRecord thumb = reduceToThumbnail(red, 70, 60, c.quality, white, bitmaps);
        // 100 x 75 into 65 x 55: 65 x 49 (48.75).
        EXPECT_EQ(thumb.width, 65);
        EXPECT_EQ(thumb.height, 49);
        EXPECT_EQ(bitmaps.ThumbAlphaDib != nullptr, c.alpha) << c.quality;
        EXPECT_EQ(bitmaps.ThumbDib != nullptr, !c.alpha) << c.quality;
        const uint8_t* middle = pixel(thumb, 30, 25);
        EXPECT_EQ(middle[2], 255);
        EXPECT_LE(middle[1], 1);
        if (c.alpha) {
            // The area average covers the top row only three quarters: it
            // is blended with the white box.
            EXPECT_GT(pixel(thumb, 30, 0)[1], 40);
        } else {
            // The bilinear height is 48 (65 x 75 \ 100): the box's last
            // row shows its background.
            EXPECT_EQ(pixel(thumb, 30, 0)[1], 0);
            EXPECT_EQ(pixel(thumb, 30, 48)[1], 255);
        }
    }
}

TEST(ThumbnailRender, ThePlaceholderIsAFramedCrossOfTheCellLessFive)
{
    const DibRecord p = placeholderThumbnail(70, 60, 0xFFFFFF);
    EXPECT_EQ(p.width, 65);
    EXPECT_EQ(p.height, 55);
    EXPECT_EQ(pixel(p, 0, 0)[0], 0x80);
    EXPECT_EQ(pixel(p, 64, 54)[0], 0x80);
    EXPECT_EQ(pixel(p, 32, 27)[0], 0x80) << "the cross meets in the middle";
    EXPECT_EQ(pixel(p, 10, 40)[0], 0xFF);
    // A cell smaller than the margin still gets a picture.
    EXPECT_EQ(placeholderThumbnail(3, 2, 0).width, 1);
}
