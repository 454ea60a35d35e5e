// The optimised save's model: the preset table written and read back, the
// option changes, and the conversions' failures.
#include "export/WebSave.h"
#include "platform/PictureFiles.h"
#include "picturefiles/PictureLoader.h"

#include "FileSizeLimit.h"
#include "StandardError.h"
#include "document/FormatFixtures.h"
#include "document/PictureFixtures.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <filesystem>
#include <set>

namespace tq {
namespace {

using testing::PictureTempDir;
using testing::readFile;
using testing::writeFile;

// A picture with many colours: smooth ramps with a fine texture.
DibRecord photo(int w, int h)
{
    return testing::pictureOf(w, h, [w, h](int x, int y) {
        return std::array<uint8_t, 3>{uint8_t(x * 255 / (w - 1)), uint8_t(y * 255 / (h - 1)),
                                      uint8_t((x * 7 + y * 13) % 256)};
    });
}

size_t distinctColours(const QImage& img)
{
    std::set<QRgb> s;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) s.insert(img.pixel(x, y) & 0xFFFFFF);
    return s.size();
}

size_t distinctColours(FIBITMAP* dib)
{
    FIBITMAP* rgb = FreeImage_ConvertTo24Bits(dib);
    std::set<uint32_t> s;
    for (unsigned y = 0; y < FreeImage_GetHeight(rgb); ++y) {
        const uint8_t* p = FreeImage_GetScanLine(rgb, int(y));
        for (unsigned x = 0; x < FreeImage_GetWidth(rgb); ++x, p += 3) s.insert(p[0] | p[1] << 8 | p[2] << 16);
    }
    FreeImage_Unload(rgb);
    return s.size();
}

// What each preset's file must be.
struct Expect {
    FREE_IMAGE_FORMAT format;
    int freeImageBits;   // as FreeImage reads it (a GIF at 1, 4 or 8 by its colour table)
    size_t colours;      // at most this many
    const char* type;
    const char* qtFormat;
    int qtDepth;         // 0: whatever Qt makes of it
};

const Expect kExpect[24] = {
    {FIF_GIF, 1, 2, "GIF", "gif", 0},          {FIF_GIF, 4, 4, "GIF", "gif", 0},
    {FIF_GIF, 4, 8, "GIF", "gif", 0},          {FIF_GIF, 4, 16, "GIF", "gif", 0},
    {FIF_GIF, 8, 32, "GIF", "gif", 0},         {FIF_GIF, 8, 64, "GIF", "gif", 0},
    {FIF_GIF, 8, 128, "GIF", "gif", 0},        {FIF_GIF, 8, 256, "GIF", "gif", 0},
    {FIF_BMP, 1, 2, "BMP", "bmp", 1},          {FIF_BMP, 4, 16, "BMP", "bmp", 8},
    {FIF_BMP, 8, 256, "BMP", "bmp", 8},        {FIF_BMP, 16, 32768, "BMP", "bmp", 0},
    {FIF_BMP, 24, 1u << 24, "BMP", "bmp", 32}, {FIF_PNG, 8, 256, "PNG", "png", 8},
    {FIF_PNG, 24, 1u << 24, "PNG", "png", 32}, {FIF_JPEG, 24, 1u << 24, "JPG", "jpeg", 32},
    {FIF_JPEG, 24, 1u << 24, "JPG", "jpeg", 32}, {FIF_JPEG, 24, 1u << 24, "JPG", "jpeg", 32},
    {FIF_JPEG, 24, 1u << 24, "JPG", "jpeg", 32}, {FIF_JPEG, 24, 1u << 24, "JPG", "jpeg", 32},
    {FIF_JPEG, 24, 1u << 24, "JPG", "jpeg", 32}, {FIF_TARGA, 16, 32768, "TGA", "tga", 0},
    {FIF_TARGA, 24, 1u << 24, "TGA", "tga", 0}, {FIF_TIFF, 24, 1u << 24, "TIF", "tiff", 0},
};

TEST(WebSave, EveryPresetWritesItsFormatAtItsDepth)
{
    PictureTempDir dir;
    const DibRecord pic = photo(90, 70);
    const auto qtFormats = QImageReader::supportedImageFormats();
    for (int i = 0; i < 24; ++i) {
        const WebSavePreset& p = WebSavePresets[size_t(i)];
        SCOPED_TRACE(p.caption);
        WebSaveState state;
        const PresetChoice choice = chooseWebSavePreset(state, i, false);
        const std::string path = dir.path("preset" + std::to_string(i));
        WebSaveResult r;
        if (p.jpeg) {
            ASSERT_TRUE(choice.jpeg);
            const int32_t quality = choice.jpegItem == kWebSaveCustomJpegItem
                                        ? 55
                                        : WebSaveJpegItems[size_t(choice.jpegItem)].value;
            r = OptimizeJpegToFile(state, pic, path, quality, 1);
            EXPECT_EQ(state.JpegQuality, quality);
            EXPECT_EQ(r.sizeText, webSaveSizeText(r.fileSize, " Kb"));
        } else {
            ASSERT_TRUE(choice.resetOptions);
            r = OptimizeToFile(state, pic, WebSaveChecks{}, path, 1);
            EXPECT_EQ(r.sizeText, webSaveSizeText(r.fileSize, " KB"));
        }
        const Expect& e = kExpect[i];
        ASSERT_TRUE(r.written) << r.statusText;
        ASSERT_TRUE(r.shown);
        EXPECT_EQ(r.statusText, "");
        EXPECT_EQ(r.typeText, e.type);
        EXPECT_EQ(r.depthText, p.jpeg ? "24 bit" : p.depthText);
        EXPECT_EQ(r.fileSize, std::filesystem::file_size(path));
        ASSERT_TRUE(r.preview.has_value());
        EXPECT_EQ(r.preview->width, 90);
        EXPECT_EQ(r.previewDrawnOver, e.format == FIF_PNG || e.format == FIF_TARGA || e.format == FIF_TIFF);

        // FreeImage: the format by content, the depth, the colours.
        EXPECT_EQ(FreeImage_GetFileType(path.c_str(), 0), e.format);
        FIBITMAP* dib = FreeImage_Load(e.format, path.c_str(), 0);
        ASSERT_NE(dib, nullptr);
        EXPECT_EQ(int(FreeImage_GetBPP(dib)), e.freeImageBits);
        EXPECT_EQ(int(FreeImage_GetWidth(dib)), 90);
        EXPECT_EQ(int(FreeImage_GetHeight(dib)), 70);
        const size_t fiColours = distinctColours(dib);
        EXPECT_LE(fiColours, e.colours);
        FreeImage_Unload(dib);
        if (e.format == FIF_GIF) {
            const std::vector<uint8_t> f = readFile(path);
            EXPECT_EQ(2 << (f[10] & 7), int(e.colours));   // the colour table has 2^bits entries
        }

        // Qt, where it has a reader for the format.
        if (!qtFormats.contains(e.qtFormat)) continue;
        // By name: a TGA has no signature to be told by.
        QImage img(QString::fromStdString(path), e.qtFormat);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width(), 90);
        if (e.qtDepth) {
            EXPECT_EQ(img.depth(), e.qtDepth);
        }
        if (img.colorCount() > 0) {
            EXPECT_LE(size_t(img.colorCount()), std::max<size_t>(e.colours, 2));
        }
        EXPECT_LE(distinctColours(img), e.colours);
    }
}

// The TIFF preset's caption says "Uncompressed": FreeImage's writer
// compresses with LZW unless told not to. Neither the save nor the read-back
// for the preview leaves the TIFF library's warnings on standard error.
TEST(WebSave, TheTiffPresetWritesUncompressedAndQuietly)
{
    PictureTempDir dir;
    const int tiff = 23;
    ASSERT_STREQ(WebSavePresets[tiff].caption, "TIFF-24 bit (Uncompressed)");
    WebSaveState state;
    chooseWebSavePreset(state, tiff, false);
    const std::string path = dir.path("plain.tif");
    WebSaveResult r;
    const std::string said = testing::standardErrorOf(dir.path("stderr.txt"), [&] {
        r = OptimizeToFile(state, photo(40, 30), WebSaveChecks{}, path, 1);
    });
    ASSERT_TRUE(r.written) << r.statusText;
    EXPECT_EQ(said, "");
    const std::vector<uint8_t> b = readFile(path);
    ASSERT_EQ(b[0], 'I');
    EXPECT_EQ(testing::tiffValues(b, 259), std::vector<uint32_t>{1}) << "Compression tag";
    // Uncompressed: the strips hold the 40 x 30 pixels' three bytes each.
    uint64_t stripBytes = 0;
    for (uint32_t n : testing::tiffValues(b, 279)) stripBytes += n;
    EXPECT_EQ(stripBytes, 40u * 30u * 3u);
    ASSERT_TRUE(r.preview.has_value());
    EXPECT_EQ(r.preview->width, 40);
}

TEST(WebSave, PresetTableAndVocabularies)
{
    EXPECT_STREQ(WebSavePresets[kDefaultWebSavePreset].caption, "GIF-64 Colors");
    EXPECT_EQ(WebSavePresets.size(), 24u);
    // The TGA preset named compressed is reduced to 16 bits, its depth text says 24.
    WebSaveState s;
    chooseWebSavePreset(s, 21, false);
    EXPECT_EQ(s.BitDepth, 16);
    EXPECT_EQ(s.DepthText, "24 bit");
    EXPECT_EQ(s.SaveFormat, 2);
    chooseWebSaveDither(s, 10);
    EXPECT_EQ(s.DitherFlags, 1024);
    chooseWebSaveColorMode(s, 1);
    EXPECT_EQ(s.ColorMode, 2);
    chooseWebSaveColorMode(s, 7);   // no such item
    EXPECT_EQ(s.ColorMode, 2);
    // Only ticked boxes count; Flip Vertical and Invert give &H3110000.
    EXPECT_EQ(webSaveTransformFlags({1, 0, 1}), 0x3110000);
    EXPECT_EQ(webSaveTransformFlags({1, 1, 1}), 0x1010000 | 0x1020000 | 0x3100000);
    EXPECT_EQ(webSaveTransformFlags({2, 2, 2}), 0);
    EXPECT_EQ(webSaveTransformFlags({0, 1, 0}), 0x1020000);
}

TEST(WebSave, OptionChanges)
{
    WebSaveState s;
    // "GIF-4 Colors" offers the single map "Fixed Color": &H8004.
    PresetChoice p = chooseWebSavePreset(s, 1, false);
    EXPECT_EQ(p.maps, (std::vector<std::string>{"Fixed Color"}));
    EXPECT_TRUE(p.showInterlaced);
    EXPECT_FALSE(chooseWebSaveMap(s, 1, 0).ditherDisabled);
    EXPECT_EQ(s.PaletteFlags, 0x8004);

    // "GIF-2 Colors", a dither, then "MS Map": &H1000, dither None and disabled;
    // "Fixed Color" after it: &H8002 and dither enabled again.
    p = chooseWebSavePreset(s, 0, false);
    EXPECT_EQ(p.maps, (std::vector<std::string>{"MS Map", "Fixed Color"}));
    chooseWebSaveDither(s, 4);
    EXPECT_EQ(s.DitherFlags, 8);
    EXPECT_TRUE(chooseWebSaveMap(s, 0, 0).ditherDisabled);
    EXPECT_EQ(s.PaletteFlags, 0x1000);
    EXPECT_EQ(s.DitherFlags, 0);
    EXPECT_FALSE(chooseWebSaveMap(s, 0, 1).ditherDisabled);
    EXPECT_EQ(s.PaletteFlags, 0x8002);

    // "MS Map" leaves dither alone for the 16- and 256-colour presets.
    chooseWebSavePreset(s, 3, false);
    chooseWebSaveDither(s, 2);
    EXPECT_FALSE(chooseWebSaveMap(s, 3, 0).ditherDisabled);
    EXPECT_EQ(s.PaletteFlags, 0x1000);
    EXPECT_EQ(s.DitherFlags, 2);
    struct MapCase {
        int preset, item;
        int32_t flags;
    };
    for (const MapCase c : {MapCase{2, 2, 0x88FF}, MapCase{3, 3, 0x8210}, MapCase{7, 3, 0x84D8},
                            MapCase{10, 4, 0x8300}, MapCase{13, 2, 0x8100}, MapCase{12, 3, 0x1000}}) {
        chooseWebSavePreset(s, c.preset, false);
        chooseWebSaveMap(s, c.preset, c.item);
        EXPECT_EQ(s.PaletteFlags, c.flags) << c.preset << "/" << c.item;
    }

    // After a preset change the preset's own flags apply: "BMP-16 Colors"
    // converts with &H4000 although "MS Map" is its first map.
    p = chooseWebSavePreset(s, 9, true);
    EXPECT_EQ(s.PaletteFlags, 0x4000);
    EXPECT_EQ(p.maps.front(), "MS Map");
    EXPECT_FALSE(p.showInterlaced);
    EXPECT_EQ(s.OutputKind, 0);
    EXPECT_EQ(s.SaveFormat, 0);

    // "InterLaced" ticked gives kind 2 with every GIF preset.
    for (int i = 0; i <= 7; ++i) {
        chooseWebSavePreset(s, i, true);
        EXPECT_EQ(s.OutputKind, 2) << i;
    }
    chooseWebSaveInterlaced(s, false);
    EXPECT_EQ(s.OutputKind, 1);

    // A JPEG preset leaves the reduction fields; the next GIF preset resets
    // colour mode and dither.
    chooseWebSaveDither(s, 6);
    chooseWebSaveColorMode(s, 1);
    const WebSaveState before = s;
    p = chooseWebSavePreset(s, 18, false);
    EXPECT_TRUE(p.jpeg);
    EXPECT_EQ(p.jpegItem, 3);
    EXPECT_FALSE(p.resetOptions);
    EXPECT_EQ(s.DitherFlags, before.DitherFlags);
    EXPECT_EQ(s.ColorMode, before.ColorMode);
    EXPECT_EQ(s.BitDepth, before.BitDepth);
    EXPECT_EQ(chooseWebSavePreset(s, 20, false).jpegItem, kWebSaveCustomJpegItem);
    p = chooseWebSavePreset(s, 4, false);
    EXPECT_TRUE(p.resetOptions);
    EXPECT_EQ(s.DitherFlags, 0);
    EXPECT_EQ(s.ColorMode, 0);
}

TEST(WebSave, ConversionCompletesFixedPaletteAndRunsTheTransforms)
{
    PictureTempDir dir;
    DibRecord pic = photo(20, 10);
    WebSaveState s;
    chooseWebSavePreset(s, 0, false);   // "GIF-2 Colors", &H8000 at 1 bit
    EXPECT_EQ(s.PaletteFlags, 0x8000);
    const WebSaveResult r = OptimizeToFile(s, pic, WebSaveChecks{}, dir.path("two.gif"), 0);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(s.PaletteFlags, 0x8002);

    // Flip Vertical and Invert: the lossless 24-bit PNG shows both.
    chooseWebSavePreset(s, 14, false);
    const WebSaveResult f = OptimizeToFile(s, pic, WebSaveChecks{1, 0, 1}, dir.path("t.png"), 1);
    ASSERT_TRUE(f.preview.has_value());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(f.preview->row(y)[4 * x + c], 255 - pic.row(9 - y)[4 * x + c]);
}

TEST(WebSave, SizesAndTheEstimateFile)
{
    struct Case {
        uint64_t bytes;
        const char* text;
    };
    for (const Case c : {Case{0, "0 KB"}, Case{512, "0 KB"}, Case{600, "1 KB"}, Case{1536, "2 KB"}, Case{2560, "2 KB"},
                         Case{33553920, "32768 KB"}, Case{41943040, "40960 KB"}, Case{5000000000ull, "4882812 KB"}})
        EXPECT_EQ(webSaveSizeText(c.bytes, " KB"), c.text) << c.bytes;
    EXPECT_EQ(webSaveSizeText(1536, " Kb"), "2 Kb");

    PictureTempDir dir;
    const std::string a = newWebSaveEstimateFile(), b = newWebSaveEstimateFile();
    EXPECT_NE(a, b);
    EXPECT_EQ(std::filesystem::path(a).parent_path(), std::filesystem::path(dir.tempFolder()));

    // A file of 40 MB reports its own size.
    const DibRecord big = photo(3700, 3700);
    WebSaveState s;
    chooseWebSavePreset(s, 12, false);   // "BMP-24 bit"
    const WebSaveResult r = OptimizeToFile(s, big, WebSaveChecks{}, a, 0);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(r.fileSize, 54u + 3700u * 11100u);
    EXPECT_EQ(r.sizeText, "40107 KB");   // 41,070,054 bytes
}

TEST(WebSave, FailuresAreReportedAndTheOldFileStays)
{
    PictureTempDir dir;
    const DibRecord pic = photo(200, 150);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    // A real save onto a full disk: GIF straight, BMP re-saved as PNG, JPEG.
    for (const int preset : {7, 10, 13, 22, 17}) {
        SCOPED_TRACE(WebSavePresets[size_t(preset)].caption);
        const std::string path = dir.path("user" + std::to_string(preset));
        writeFile(path, old);
        WebSaveState s;
        chooseWebSavePreset(s, preset, false);
        WebSaveResult r;
        {
            ScopedFileSizeLimit limit(2000);
            r = WebSavePresets[size_t(preset)].jpeg ? OptimizeJpegToFile(s, pic, path, 0x80, 1)
                                                    : OptimizeToFile(s, pic, WebSaveChecks{}, path, 1);
        }
        EXPECT_FALSE(r.written);
        EXPECT_FALSE(r.shown);
        EXPECT_FALSE(r.preview.has_value());
        EXPECT_EQ(r.statusText, kWebSaveWriteFailed);
        EXPECT_EQ(readFile(path), old);
    }
    // A conversion the reducer refuses: the status text says so; a real
    // save keeps the file, an estimate has deleted it first.
    WebSaveState s;
    chooseWebSavePreset(s, 2, false);   // 8 colours
    chooseWebSaveMap(s, 3, 3);          // the 16 VGA colours do not fit
    for (const int16_t final : std::initializer_list<int16_t>{1, 0}) {
        const std::string path = dir.path("refused" + std::to_string(final));
        writeFile(path, old);
        const WebSaveResult r = OptimizeToFile(s, pic, WebSaveChecks{}, path, final);
        EXPECT_FALSE(r.written);
        EXPECT_EQ(r.statusText, kWebSaveCannotApply);
        EXPECT_EQ(std::filesystem::exists(path), final == 1);
    }
    // Nothing is left in the private folder.
    EXPECT_EQ(dir.tempEntries(), 0u);
}

} // namespace
} // namespace tq
