// TIFF files whose strips do not decode whole: cut short, or a strip's
// bytes cut, for each compression FreeImage writes. Every road that reads a
// picture file refuses them rather than showing a picture the file does not
// hold. And the TIFF library under FreeImage keeps quiet on standard error.
#include "document/FormatFixtures.h"
#include "document/OpenPicture.h"
#include "document/PictureFixtures.h"
#include "document/ProgramContext.h"
#include "document/StructureCheck.h"
#include "document/PictureRouting.h"
#include "document/FreeImageBridge.h"
#include "StandardError.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

namespace tq {
namespace {

using testing::Bytes;
using testing::PictureTempDir;
using testing::tiffValueOffsets;
using testing::writeFile;

// 16 x 400 pixels of 24 bits: three strips in each compression.
constexpr int kW = 16, kH = 400;

Bytes tiffOf(int flags)
{
    FIBITMAP* dib = FreeImage_Allocate(kW, kH, 24);
    for (int y = 0; y < kH; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, kH - 1 - y);
        for (int x = 0; x < kW; ++x) {
            line[3 * x + FI_RGBA_BLUE] = BYTE(x * 15);
            line[3 * x + FI_RGBA_GREEN] = BYTE(y);
            line[3 * x + FI_RGBA_RED] = BYTE(200 - x * 5 + y / 7);
        }
    }
    return testing::savedByFreeImage(dib, FIF_TIFF, flags);
}

void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

struct Compression {
    const char* name;
    int flags;
    uint32_t tag;   // the value of the file's Compression tag
};
const Compression kCompressions[] = {{"none", TIFF_NONE, 1},         {"LZW", TIFF_LZW, 5},
                                     {"deflate", TIFF_ADOBE_DEFLATE, 8}, {"PackBits", TIFF_PACKBITS, 32773},
                                     {"JPEG", TIFF_JPEG, 7}};

struct CutTiff {
    std::string what;
    Bytes bytes;
};

// The damaged copies of one whole file: the file cut short at three
// points, and a strip's byte count cut (its stream ends early, and the
// count says so) or reaching past the file's end.
std::vector<CutTiff> cutsOf(const Bytes& whole)
{
    const size_t strips = tiffValueOffsets(whole, 279).size();
    std::vector<CutTiff> cuts;
    for (int quarter = 1; quarter <= 3; ++quarter)
        cuts.push_back({"file cut to " + std::to_string(quarter) + "/4",
                        Bytes(whole.begin(), whole.begin() + long(whole.size() * size_t(quarter) / 4))});
    auto withCount = [&](const char* what, size_t strip, auto change) {
        Bytes b = whole;
        testing::setTiffValue(b, 279, strip, change(testing::tiffValues(b, 279)[strip]));
        cuts.push_back({what, b});
    };
    withCount("first strip cut to half its bytes", 0, [](uint32_t n) { return n / 2; });
    withCount("last strip cut to a third of its bytes", strips - 1, [](uint32_t n) { return n / 3; });
    withCount("middle strip reaching past the end", 1, [&](uint32_t n) { return n + uint32_t(whole.size()); });
    return cuts;
}

TEST(TiffReading, StripsThatDoNotDecodeWholeAreRefusedInEveryCompression)
{
    ScopedContext context;
    PictureTempDir dir;
    int n = 0;
    for (const Compression& c : kCompressions) {
        SCOPED_TRACE(c.name);
        const Bytes whole = tiffOf(c.flags);
        ASSERT_EQ(whole[0], 'I');
        ASSERT_EQ(testing::tiffValues(whole, 259), std::vector<uint32_t>{c.tag});
        ASSERT_EQ(tiffValueOffsets(whole, 279).size(), 3u) << "the cases need three strips";
        const std::string sound = dir.path("sound" + std::to_string(n++) + ".tif");
        writeFile(sound, whole);
        const OpenedPicture opened = decodePictureForOpening(sound, "tif");
        ASSERT_TRUE(opened.ok);
        ASSERT_EQ(opened.picture.width, kW);
        ASSERT_EQ(opened.picture.height, kH);

        for (const CutTiff& cut : cutsOf(whole)) {
            SCOPED_TRACE(cut.what);
            const std::string path = dir.path("cut" + std::to_string(n++) + ".tif");
            writeFile(path, cut.bytes);
            ImageWidth() = 5;
            ImageBPP() = 7;
            const OpenedPicture o = decodePictureForOpening(path, "tif");
            EXPECT_FALSE(o.ok);
            EXPECT_EQ(o.errorText, "Unexpected error loading image");
            // The decode the browser and the open dialog's preview take.
            EXPECT_EQ(mBitmap::LoadImageFile(path, "tif"), nullptr);
            EXPECT_EQ(ImageWidth(), 5);
            EXPECT_EQ(ImageBPP(), 7);
        }
    }
}

// Uncompressed strips hold a known number of bytes: a count short of it is
// refused before the library reads past the strip's end; a count at least
// that long is whole.
TEST(TiffReading, UncompressedStripsMustHoldAllTheirRows)
{
    const Bytes whole = tiffOf(TIFF_NONE);
    const std::vector<uint32_t> counts = testing::tiffValues(whole, 279);
    ASSERT_EQ(counts.size(), 3u);
    const uint32_t rowBytes = kW * 3;
    // Rows per strip, from the file: the last strip holds the rows left.
    const uint32_t rows = testing::tiffValues(whole, 278).at(0);
    ASSERT_EQ(counts[0], rows * rowBytes);
    ASSERT_EQ(counts[2], (kH - 2 * rows) * rowBytes);
    EXPECT_TRUE(tiffStructureSound(whole));
    struct Case {
        size_t strip;
        uint32_t count;
        bool sound;
    };
    for (const Case c : {Case{0, rows * rowBytes - 1, false}, Case{2, (kH - 2 * rows) * rowBytes - 1, false},
                         Case{2, 0, false}, Case{0, rows * rowBytes + 1, true}}) {
        Bytes b = whole;
        testing::setTiffValue(b, 279, c.strip, c.count);
        EXPECT_EQ(tiffStructureSound(b), c.sound) << "strip " << c.strip << " count " << c.count;
    }
    // Fewer strips than the rows need: at 100 rows a strip, four.
    Bytes b = whole;
    testing::setTiffValue(b, 278, 0, 100);
    EXPECT_FALSE(tiffStructureSound(b));
}

// A 20 x 18 grey TIFF of 8 bits in uncompressed tiles of 16 x 16 (two
// across, two down), built byte by byte: header, directory, then the four
// tiles; grey level x * 11 + y.
Bytes tiledTiff()
{
    constexpr uint32_t w = 20, h = 18, tile = 16, tiles = 4, entries = 10;
    const uint32_t dirEnd = 8 + 2 + 12 * entries + 4;
    const uint32_t offsetsAt = dirEnd, countsAt = dirEnd + 16, pixelsAt = dirEnd + 32;
    Bytes b = {'I', 'I', 42, 0};
    testing::addLE32(b, 8);
    testing::addLE16(b, entries);
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t n, uint32_t value) {
        testing::addLE16(b, tag);
        testing::addLE16(b, type);
        testing::addLE32(b, n);
        testing::addLE32(b, value);
    };
    entry(256, 4, 1, w);
    entry(257, 4, 1, h);
    entry(258, 3, 1, 8);
    entry(259, 3, 1, 1);                 // no compression
    entry(262, 3, 1, 1);                 // black is zero
    entry(277, 3, 1, 1);
    entry(322, 4, 1, tile);
    entry(323, 4, 1, tile);
    entry(324, 4, tiles, offsetsAt);
    entry(325, 4, tiles, countsAt);
    testing::addLE32(b, 0);              // no next directory
    for (uint32_t t = 0; t < tiles; ++t) testing::addLE32(b, pixelsAt + t * tile * tile);
    for (uint32_t t = 0; t < tiles; ++t) testing::addLE32(b, tile * tile);
    for (uint32_t t = 0; t < tiles; ++t)
        for (uint32_t y = 0; y < tile; ++y)
            for (uint32_t x = 0; x < tile; ++x)
                b.push_back(uint8_t((t % 2 * tile + x) * 11 + t / 2 * tile + y));
    return b;
}

TEST(TiffReading, TilesThatDoNotHoldTheirPixelsAreRefused)
{
    ScopedContext context;
    PictureTempDir dir;
    const Bytes whole = tiledTiff();
    const std::string path = dir.path("tiles.tif");
    writeFile(path, whole);
    const OpenedPicture o = decodePictureForOpening(path, "tif");
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.picture.width, 20);
    ASSERT_EQ(o.picture.height, 18);
    EXPECT_EQ(o.picture.row(17)[4 * 19], 19 * 11 + 17);   // the last tile's part inside the picture

    ASSERT_EQ(testing::tiffValues(whole, 325).size(), 4u);
    std::vector<CutTiff> cuts = {{"file cut inside the last tile", Bytes(whole.begin(), whole.end() - 100)}};
    Bytes shortTile = whole;
    testing::setTiffValue(shortTile, 325, 1, 255);
    cuts.push_back({"a tile a byte short", shortTile});
    Bytes threeTiles = whole;
    for (size_t at : {size_t(8 + 2 + 12 * 8 + 4), size_t(8 + 2 + 12 * 9 + 4)}) put32(threeTiles, at, 3);
    cuts.push_back({"three tiles for four places", threeTiles});
    for (const CutTiff& cut : cuts) {
        SCOPED_TRACE(cut.what);
        EXPECT_FALSE(tiffStructureSound(cut.bytes));
        writeFile(path, cut.bytes);
        EXPECT_FALSE(decodePictureForOpening(path, "tif").ok);
    }
}

TEST(TiffReading, TheTiffLibraryIsQuietOnStandardError)
{
    ScopedContext context;
    PictureTempDir dir;
    const std::string path = dir.path("quiet.tif");
    const std::string damaged = dir.path("damaged.tif");
    writeFile(damaged, cutsOf(tiffOf(TIFF_LZW))[3].bytes);
    const mFormat::ReaderMessages kept;
    const std::string said = testing::standardErrorOf(dir.path("stderr.txt"), [&] {
        EXPECT_TRUE(mBitmap::SaveImageFile(path, "tif", testing::makePicture(9, 7)));
        EXPECT_NE(mBitmap::LoadImageFile(path, "tif"), nullptr);
        EXPECT_FALSE(decodePictureForOpening(damaged, "tif").ok);
    });
    EXPECT_EQ(said, "");
    // The libraries' messages still reach a watch.
    EXPECT_FALSE(kept.from(FIF_TIFF).empty() && kept.from(FIF_UNKNOWN).empty());
}

} // namespace
} // namespace tq
