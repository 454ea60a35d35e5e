// Opening a picture file: the loader chosen by extension, the picture that
// a document takes, the stale preloaded decode, and refusals.
#include "document/OpenPicture.h"
#include "document/ProgramContext.h"
#include "document/PictureRouting.h"
#include "document/StructureCheck.h"

#include "document/FormatFixtures.h"
#include "document/PictureFixtures.h"
#include "TestSeed.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <set>

namespace tq {
namespace {

using namespace testing;
using testing::makePicture;
using testing::PictureTempDir;
using testing::readFile;
using testing::writeFile;
using Bytes = std::vector<uint8_t>;

TEST(OpenPicture, PlatformLoaderExtensions)
{
    for (const char* ext : {"gif", "wmf", "emf", "dib", "bmp", "BMP", "Gif", "eMf"}) EXPECT_TRUE(opensThroughPlatformLoader(ext)) << ext;
    for (const char* ext : {"png", "jpg", "tif", "pcx", "sgi", "", "gifx"}) EXPECT_FALSE(opensThroughPlatformLoader(ext)) << ext;
}

// A FreeImage image of the given kind, w x h, with known colours.
FIBITMAP* makeImage(const std::string& kind, int w, int h)
{
    if (kind == "palette" || kind == "grey") {
        FIBITMAP* dib = FreeImage_Allocate(w, h, 8);
        RGBQUAD* pal = FreeImage_GetPalette(dib);
        for (int i = 0; i < 256; ++i)
            pal[i] = kind == "grey" ? RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0} : RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) FreeImage_GetScanLine(dib, h - 1 - y)[x] = BYTE((x * 7 + y * 13) & 0xFF);
        return dib;
    }
    const int bpp = kind == "rgb32" ? 32 : 24;
    FIBITMAP* dib = FreeImage_Allocate(w, h, bpp);
    for (int y = 0; y < h; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            BYTE* p = line + x * (bpp / 8);
            p[0] = BYTE(x);
            p[1] = BYTE(y);
            p[2] = BYTE(x + y);
            if (bpp == 32) p[3] = BYTE(x * 3);   // alpha, not part of the document
        }
    }
    return dib;
}

// The colour (blue, green, red) the test image has at (x, y).
std::array<uint8_t, 3> expectedColour(const std::string& kind, int x, int y)
{
    if (kind == "palette" || kind == "grey") {
        const int i = (x * 7 + y * 13) & 0xFF;
        if (kind == "grey") return {uint8_t(i), uint8_t(i), uint8_t(i)};
        return {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
    }
    return {uint8_t(x), uint8_t(y), uint8_t(x + y)};
}

TEST(OpenPicture, PaletteGreyAndTrueColourFilesOpenAtTheirExactSize)
{
    PictureTempDir dir;
    struct Size {
        int w, h;
    };
    for (const std::string kind : {"palette", "grey", "rgb24", "rgb32"})
        for (const Size s : {Size{7, 5}, Size{50, 40}, Size{1000, 50}})
            for (const auto& [ext, fif] : {std::pair{"png", FIF_PNG}, std::pair{"bmp", FIF_BMP}, std::pair{"tif", FIF_TIFF}}) {
                SCOPED_TRACE(kind + " " + ext + " " + std::to_string(s.w) + "x" + std::to_string(s.h));
                FIBITMAP* dib = makeImage(kind, s.w, s.h);
                const std::string path = dir.path(kind + "." + ext);
                ASSERT_TRUE(FreeImage_Save(fif, dib, path.c_str(), 0));
                FreeImage_Unload(dib);
                mBitmap::LoadImageFile(path, ext);   // as the open dialog's preview does
                const OpenedPicture o = decodePictureForOpening(path, ext);
                ASSERT_TRUE(o.ok);
                ASSERT_EQ(o.picture.width, s.w);
                ASSERT_EQ(o.picture.height, s.h);
                EXPECT_EQ(ImageWidth(), s.w);
                EXPECT_EQ(ImageHeight(), s.h);
                EXPECT_EQ(o.picture.header, BitsHeader::forDib(s.w, s.h));
                bool same = true;
                for (int y = 0; y < s.h && same; ++y)
                    for (int x = 0; x < s.w && same; ++x) {
                        const uint8_t* p = o.picture.row(y) + 4 * x;
                        const auto want = expectedColour(kind, x, y);
                        same = p[0] == want[0] && p[1] == want[1] && p[2] == want[2] && p[3] == 0;
                        EXPECT_TRUE(same) << "at " << x << "," << y;
                    }
            }
}

TEST(OpenPicture, TakesPreloadedDecodeOnlyForItsOwnPath)
{
    PictureTempDir dir;
    DibRecord a = makePicture(3, 2);
    DibRecord b = makePicture(4, 3);
    std::fill(b.bits.begin(), b.bits.end(), 0x40);
    for (size_t i = 3; i < b.bits.size(); i += 4) b.bits[i] = 0;
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("a.png"), "png", a));
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("b.png"), "png", b));

    // The preview decoded a.png, then b.png is opened: b's own picture opens.
    PreloadedBitmap() = mBitmap::LoadImageFile(dir.path("a.png"), "png");
    ASSERT_NE(PreloadedBitmap(), nullptr);
    OpenedPicture o = decodePictureForOpening(dir.path("b.png"), "png");
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.picture.bits, b.bits);
    EXPECT_EQ(ImageWidth(), 4);
    EXPECT_EQ(PreloadedBitmap(), nullptr);

    // The decode of the same path is taken over as it is, without reading the file again.
    PreloadedBitmap() = mBitmap::LoadImageFile(dir.path("a.png"), "png");
    std::filesystem::remove(dir.path("a.png"));
    o = decodePictureForOpening(dir.path("a.png"), "png");
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.picture.bits, a.bits);
    EXPECT_EQ(PreloadedBitmap(), nullptr);

    // Nothing preloaded and nothing to decode: refused.
    o = decodePictureForOpening(dir.path("a.png"), "png");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.errorText, "Unexpected error loading image");
}

TEST(OpenPicture, RefusalsLeaveTheSharedSizesAlone)
{
    PictureTempDir dir;
    // Metafiles have no reader here; nor have empty or foreign files.
    writeFile(dir.path("m.wmf"), {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0});
    writeFile(dir.path("m.emf"), {1, 0, 0, 0, 0x6C, 0, 0, 0});
    writeFile(dir.path("empty.png"), {});
    writeFile(dir.path("text.jpg"), {'h', 'e', 'l', 'l', 'o'});
    // Wider than the program's largest picture side, in a library format and
    // in a platform one.
    FIBITMAP* wide = FreeImage_Allocate(kMaxPictureSide + 1, 1, 8);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, wide, dir.path("wide.png").c_str(), 0));
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, wide, dir.path("wide.bmp").c_str(), 0));
    ASSERT_TRUE(FreeImage_Save(FIF_TIFF, wide, dir.path("wide.tif").c_str(), 0));
    FreeImage_Unload(wide);
    FIBITMAP* tall = FreeImage_Allocate(1, kMaxPictureSide + 1, 24);
    ASSERT_TRUE(FreeImage_Save(FIF_TARGA, tall, dir.path("tall.tga").c_str(), 0));
    FreeImage_Unload(tall);

    for (const char* name : {"m.wmf", "m.emf", "empty.png", "text.jpg", "wide.png", "wide.bmp", "wide.tif", "tall.tga", "none.gif", "none.png"}) {
        SCOPED_TRACE(name);
        ImageWidth() = 5;
        ImageHeight() = 6;
        const std::string ext = std::filesystem::path(name).extension().string().substr(1);
        const OpenedPicture o = decodePictureForOpening(dir.path(name), ext);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.errorText, "Unexpected error loading image");
        EXPECT_EQ(ImageWidth(), 5);
        EXPECT_EQ(ImageHeight(), 6);
    }
    // The largest side the program takes still opens.
    FIBITMAP* edge = FreeImage_Allocate(kMaxPictureSide, 1, 8);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, edge, dir.path("edge.png").c_str(), 0));
    FreeImage_Unload(edge);
    const OpenedPicture o = decodePictureForOpening(dir.path("edge.png"), "png");
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(ImageWidth(), kMaxPictureSide);
}

// A FreeImage image of the given depth, w x h, from a 24-bit picture of
// changing colours: "1" (threshold), "4", "8grey", "8pal" (quantised), "16"
// (5-6-5), "24", "32" (with an alpha the document does not take), "48" and
// "64" (16 bits a channel), "g16" (16-bit grey).
FIBITMAP* imageOfDepth(const std::string& kind, int w, int h)
{
    FIBITMAP* base = FreeImage_Allocate(w, h, 24);
    for (int y = 0; y < h; ++y) {
        BYTE* line = FreeImage_GetScanLine(base, y);
        for (int x = 0; x < w; ++x) {
            line[3 * x] = BYTE(x * 37 + y * 11);
            line[3 * x + 1] = BYTE(x * 5 + y * 29);
            line[3 * x + 2] = BYTE((x ^ y) * 13);
        }
    }
    FIBITMAP* out = nullptr;
    if (kind == "1") out = FreeImage_Threshold(base, 128);
    if (kind == "4") out = FreeImage_ConvertTo4Bits(base);
    if (kind == "8grey") out = FreeImage_ConvertToGreyscale(base);
    if (kind == "8pal") out = FreeImage_ColorQuantize(base, FIQ_WUQUANT);
    if (kind == "16") out = FreeImage_ConvertTo16Bits565(base);
    if (kind == "24") out = FreeImage_Clone(base);
    if (kind == "32") {
        out = FreeImage_ConvertTo32Bits(base);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) FreeImage_GetScanLine(out, y)[4 * x + 3] = BYTE(x * 3 + y);
    }
    if (kind == "48") out = FreeImage_ConvertToType(base, FIT_RGB16);
    if (kind == "64") out = FreeImage_ConvertToType(base, FIT_RGBA16);
    if (kind == "g16") out = FreeImage_ConvertToType(base, FIT_UINT16);
    FreeImage_Unload(base);
    return out;
}

// The bordered buffer a w x h picture opens as: every byte 0 but the
// colours of the picture, which rowAt(y) gives 4 bytes a pixel (the fourth
// not taken).
template <class RowAt>
BitsBuffer borderedPicture(int w, int h, RowAt rowAt)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::memcpy(b.pixel(x, y), rowAt(y) + 4 * x, 3);
    return b;
}

// What the file opens as, by the library's own calls: its decode turned into
// 32 bits (16-bit grey first into 8 bits, as the program takes it).
BitsBuffer openedByLibrary(const std::string& path, FREE_IMAGE_FORMAT fif, int flags)
{
    FIBITMAP* dib = FreeImage_Load(fif, path.c_str(), flags);
    if (!dib) return {};
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16) {
        FIBITMAP* standard = FreeImage_ConvertToStandardType(dib, TRUE);
        FreeImage_Unload(dib);
        dib = standard;
    }
    FIBITMAP* rgb = FreeImage_ConvertTo32Bits(dib);
    FreeImage_Unload(dib);
    const int w = int(FreeImage_GetWidth(rgb));
    const int h = int(FreeImage_GetHeight(rgb));
    BitsBuffer b = borderedPicture(w, h, [&](int y) { return FreeImage_GetScanLine(rgb, h - 1 - y); });
    FreeImage_Unload(rgb);
    return b;
}

// Blocks of the sizes an open of a w x h picture allocates, filled with
// 0xA5 and freed: the heap hands them out again, so a byte the open leaves
// unwritten shows as 0xA5 rather than as the zero of fresh memory.
void dirtyFreedBlocks(int w, int h)
{
    for (const size_t n : {BitsBuffer::byteSizeFor(w, h), 4u * size_t(w) * size_t(h), 3u * size_t(w + 1) * size_t(h)}) {
        auto* block = static_cast<uint8_t*>(std::malloc(n));
        std::memset(block, 0xA5, n);
        asm volatile("" : : "r"(block) : "memory");   // the fill is not optimised away
        std::free(block);
    }
}

// Every byte of the buffer a new document takes, margin and marker bytes
// included, over files of every depth the readers take, in sizes that leave
// odd tails: the library formats against the library's own conversion, the
// bitmap and GIF (the platform reader's) against its margin-less picture.
TEST(OpenPicture, OpenedBufferHoldsEveryByteOfThePictureAndZeroElsewhere)
{
    PictureTempDir dir;
    struct Format {
        const char* ext;
        FREE_IMAGE_FORMAT fif;
        int saveFlags;
        int loadFlags;
        std::vector<std::string> kinds;
    };
    const std::vector<Format> formats = {
        {"png", FIF_PNG, 0, 0, {"1", "4", "8grey", "8pal", "24", "32", "48", "64", "g16"}},
        {"jpg", FIF_JPEG, JPEG_QUALITYSUPERB, JPEG_ACCURATE, {"8grey", "24"}},
        {"tif", FIF_TIFF, 0, 0, {"1", "4", "8grey", "8pal", "24", "32", "48", "64", "g16"}},
        {"bmp", FIF_BMP, 0, 0, {"1", "4", "8pal", "16", "24", "32"}},
        {"gif", FIF_GIF, 0, 0, {"1", "8pal"}},
    };
    struct Size {
        int w, h;
    };
    int n = 0;
    for (const Format& f : formats)
        for (const std::string& kind : f.kinds)
            for (const Size s : {Size{1, 1}, Size{3, 7}, Size{37, 5}, Size{130, 3}}) {
                SCOPED_TRACE(std::string(f.ext) + " " + kind + " " + std::to_string(s.w) + "x" + std::to_string(s.h));
                FIBITMAP* dib = imageOfDepth(kind, s.w, s.h);
                ASSERT_NE(dib, nullptr);
                const std::string path = dir.path("depth" + std::to_string(n++) + "." + f.ext);
                ASSERT_TRUE(FreeImage_Save(f.fif, dib, path.c_str(), f.saveFlags));
                FreeImage_Unload(dib);

                BitsBuffer expected;
                if (opensThroughPlatformLoader(f.ext)) {
                    const std::optional<DibRecord> pic = loadThroughPlatformLoader(path);
                    ASSERT_TRUE(pic);
                    expected = borderedPicture(pic->width, pic->height, [&](int y) { return pic->row(y); });
                } else {
                    expected = openedByLibrary(path, f.fif, f.loadFlags);
                }
                ASSERT_EQ(expected.width(), s.w);
                ASSERT_EQ(expected.height(), s.h);

                dirtyFreedBlocks(s.w, s.h);
                const OpenedPixels opened = decodePixelsForOpening(path, f.ext);
                ASSERT_TRUE(opened.ok);
                EXPECT_TRUE(opened.pixels == expected);
                // The margin-less picture of the preview holds the same pixels.
                const OpenedPicture picture = decodePictureForOpening(path, f.ext);
                ASSERT_TRUE(picture.ok);
                EXPECT_TRUE(borderedPicture(s.w, s.h, [&](int y) { return picture.picture.row(y); }) == expected);
            }
}

// One sound file of every format the program reads: the writable ones from
// its own save path, the others built byte by byte (FormatFixtures.h).
struct FormatFixture {
    std::string ext;
    std::vector<uint8_t> bytes;
};

std::vector<FormatFixture> fixturesOfEveryReadableFormat(const PictureTempDir& dir)
{
    std::vector<FormatFixture> out;
    const DibRecord pic = makePicture(7, 5);
    for (const char* ext : {"png", "bmp", "tif", "tga", "ppm", "pgm", "pbm", "jpg", "psd", "sgi", "pcx", "gif", "raw"}) {
        const std::string path = dir.path(std::string("fixture.") + ext);
        EXPECT_TRUE(mBitmap::SaveImageFile(path, ext, pic)) << ext;
        out.push_back({ext, readFile(path)});
        std::filesystem::remove(path);
    }
    const std::vector<uint8_t> pcx = out[10].bytes;
    out.push_back({"rgb", out[9].bytes});
    out.push_back({"pdd", psdByFreeImage(7, 5)});
    out.push_back({"psd", psdByFreeImage(9, 4)});
    out.push_back({"wbmp", wbmpFile(13, 5)});
    out.push_back({"jng", jngFile(7, 5)});
    out.push_back({"mng", mngFile(7, 5)});
    out.push_back({"cut", cutFile(7, 5)});
    out.push_back({"iff", ilbmFile(7, 5, false)});
    out.push_back({"lbm", ilbmFile(19, 5, true)});
    out.push_back({"koa", koalaFile()});
    out.push_back({"pcd", pcdFile()});
    out.push_back({"ras", rasFile(7, 5)});
    out.push_back({"pix", pixFile(7, 5)});
    out.push_back({"pxr", pxrFile(7, 5)});
    out.push_back({"pic", picFile(7, 5)});
    out.push_back({"lif", lifFile(7, 5)});
    out.push_back({"wal", walFile(16, 8)});
    out.push_back({"lmp", lmpFile(7, 5)});
    out.push_back({"mdl", mdlFile(8, 4)});
    out.push_back({"dcx", dcxFile(pcx)});
    out.push_back({"dds", ddsFile(8, 4, false)});
    out.push_back({"dds", ddsFile(8, 8, true)});
    out.push_back({"xpm", xpmFile(7, 5)});
    out.push_back({"psp", pspFile(7, 5)});
    out.push_back({"bmp", bmpRle8File(7, 5)});
    out.push_back({"bmp", bmpRleFile(7, 5, 4)});
    out.push_back({"pcx", pcx8File(7, 5)});
    out.push_back({"jpg", progressiveJpegFile(7, 5)});
    out.push_back({"sgi", sgiRleFile(7, 5)});
    return out;
}

// Every sound fixture opens at its own size, except the formats that the
// libraries here have no reader for ("raw", "lmp", "dcx") and the Paint Shop
// Pro file, which carries no picture layer. The damaged copies below still
// exercise the routing's checks on those.
TEST(OpenPicture, BuiltFixturesOfEveryReadableFormatOpen)
{
    PictureTempDir dir;
    int n = 0;
    for (const FormatFixture& f : fixturesOfEveryReadableFormat(dir)) {
        const std::string path = dir.path("sound" + std::to_string(n++) + "." + f.ext);
        writeFile(path, f.bytes);
        const bool unreadable = f.ext == "raw" || f.ext == "lmp" || f.ext == "dcx" || f.ext == "psp";
        const OpenedPicture o = decodePictureForOpening(path, f.ext);
        EXPECT_EQ(o.ok, !unreadable) << f.ext;
        if (o.ok) {
            EXPECT_EQ(o.picture.width, ImageWidth()) << f.ext;
            EXPECT_GE(o.picture.width, 7) << f.ext;
            EXPECT_GE(o.picture.height, 4) << f.ext;
        }
    }
}

// The formats whose readers take a cut-short file for a picture, or loop,
// overrun or free twice on one: short by two bytes (one for Koala, whose
// length less two is its other valid length), every one is refused.
TEST(OpenPicture, CutShortFilesOfCheckedFormatsAreRefused)
{
    PictureTempDir dir;
    const std::set<std::string> checked = {"iff", "lbm", "cut", "koa", "pcd", "ras", "wbmp", "pix",
                                           "pic", "wal", "pxr", "dds", "psd", "pdd", "ppm", "pgm", "pbm", "mdl"};
    int n = 0, tried = 0;
    for (const FormatFixture& f : fixturesOfEveryReadableFormat(dir)) {
        if (!checked.count(f.ext)) continue;
        ++tried;
        const std::string path = dir.path("short" + std::to_string(n++) + "." + f.ext);
        const long cut = f.ext == "koa" ? 1 : 2;
        writeFile(path, std::vector<uint8_t>(f.bytes.begin(), f.bytes.end() - cut));
        EXPECT_FALSE(decodePictureForOpening(path, f.ext).ok) << f.ext;
    }
    EXPECT_EQ(tried, 20);
}

// A Half-Life model whose texture count reaches past the file crashed
// DevIL's reader; such a file, or one whose texture lies outside it, is
// refused.
TEST(OpenPicture, ModelTexturesOutsideTheFileAreRefused)
{
    PictureTempDir dir;
    const Bytes good = mdlFile(8, 4);
    struct Change {
        size_t at;
        uint32_t value;
    };
    for (const Change c : {Change{180, 46}, Change{180, 8978433}, Change{180, 0}, Change{184, 5000}, Change{244 + 68, 9000},
                           Change{244 + 76, uint32_t(good.size() - 700)}}) {
        Bytes b = good;
        putLE32(b.data() + c.at, c.value);
        writeFile(dir.path("m.mdl"), b);
        EXPECT_FALSE(decodePictureForOpening(dir.path("m.mdl"), "mdl").ok) << c.at << " = " << c.value;
    }
}

// Files cut short anywhere, even by one byte, are refused by formats whose
// readers would otherwise open them with lines missing; the same files whole
// open at their exact size.
TEST(OpenPicture, CutShortFilesAreRefusedAndWholeOnesOpen)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(7, 5);
    auto saved = [&](const std::string& ext) {
        const std::string path = dir.path("saved." + ext);
        EXPECT_TRUE(mBitmap::SaveImageFile(path, ext, pic)) << ext;
        Bytes b = readFile(path);
        std::filesystem::remove(path);
        return b;
    };
    const Bytes bmp = saved("bmp"), jpg = saved("jpg"), sgi = saved("sgi"), gif = saved("gif");
    ASSERT_EQ(bmp.size(), 54u + 24u * 5u);   // 24 bits, lines of 24 bytes
    ASSERT_EQ(gif[10] & 0x87, 0x87);          // a global table of 256 colours
    ASSERT_EQ(sgi[2], 0);                     // DevIL writes it uncompressed
    const Bytes sgiRle = sgiRleFile(7, 5);
    Bytes trailing = jpg;
    trailing.insert(trailing.end(), {0x00, 0x11, 0xFF, 0xD8, 0x22, 0x33});
    const Bytes progressive = progressiveJpegFile(7, 5);
    // Its start-of-scan headers: a cut just after one leaves the scan empty.
    std::vector<size_t> progressiveScans;
    for (size_t i = 0; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xDA) progressiveScans.push_back(i + 2 + size_t(progressive[i + 2] << 8 | progressive[i + 3]));
    ASSERT_GT(progressiveScans.size(), 1u);
    const Bytes rle8 = bmpRle8File(7, 5), rle4 = bmpRleFile(7, 5, 4), pcx8 = pcx8File(7, 5);

    struct Row {
        const char* ext;
        Bytes bytes;
        std::vector<size_t> cuts;   // lengths to cut the file to
    };
    const std::vector<Row> rows = {
        {"bmp", bmp, {bmp.size() - 1, bmp.size() - 24, 60, 54, 20}},
        {"dib", bmp, {bmp.size() - 1, 100}},
        {"bmp", rle8, {rle8.size() - 3, rle8.size() / 2, 14 + 40 + 1024 + 1}},
        {"bmp", rle4, {rle4.size() - 3, rle4.size() - 5, rle4.size() / 2, 14 + 40 + 64 + 1}},
        {"jpg", jpg, {jpg.size() - 1, jpg.size() - 2, jpg.size() - 40, jpg.size() / 2}},
        {"jpeg", jpg, {jpg.size() - 2}},
        {"jpg", progressive, {progressive.size() - 2, progressiveScans[0], progressiveScans[1], progressive.size() * 3 / 4}},
        {"jpg", trailing, {jpg.size() - 2}},
        {"sgi", sgi, {sgi.size() - 1, sgi.size() / 2, 520, 511}},
        {"rgb", sgi, {sgi.size() - 1}},
        {"bw", sgi, {sgi.size() - 1}},
        {"sgi", sgiRle, {sgiRle.size() - 1, sgiRle.size() - 4, sgiRle.size() / 2, 512 + 15 * 8 - 1, 600}},
        {"rgb", sgiRle, {sgiRle.size() - 2}},
        {"gif", gif, {gif.size() - 2, gif.size() - 10, 13 + 768 + 12, 13 + 768 + 5, 13 + 700}},
        {"pcx", pcx8, {pcx8.size() - 1, pcx8.size() - 768, pcx8.size() - 769, pcx8.size() - 800, 140}},
    };
    int n = 0;
    for (const Row& r : rows) {
        const std::string whole = dir.path("whole" + std::to_string(n++) + "." + r.ext);
        writeFile(whole, r.bytes);
        const OpenedPicture o = decodePictureForOpening(whole, r.ext);
        ASSERT_TRUE(o.ok) << r.ext << " " << n;
        EXPECT_EQ(o.picture.width, 7) << r.ext;
        EXPECT_EQ(o.picture.height, 5) << r.ext;
        for (size_t cut : r.cuts) {
            ASSERT_LT(cut, r.bytes.size());
            const std::string path = dir.path("cut" + std::to_string(n++) + "." + r.ext);
            writeFile(path, Bytes(r.bytes.begin(), r.bytes.begin() + long(cut)));
            const OpenedPicture c = decodePictureForOpening(path, r.ext);
            EXPECT_FALSE(c.ok) << r.ext << " cut to " << cut << " of " << r.bytes.size();
            EXPECT_EQ(c.errorText, "Unexpected error loading image");
            if (std::string(r.ext) != "dib") {
                EXPECT_EQ(mBitmap::LoadImageFile(path, r.ext), nullptr) << r.ext << " " << cut;
            }
        }
    }
}

// The 8-bit fixtures above show their own grey levels (the palette is read
// from the file's end, the runs decoded as the format says: each line starts
// with a run of two).
TEST(OpenPicture, RunLengthBitmapAndPcxFixturesShowTheirPixels)
{
    PictureTempDir dir;
    struct Case {
        const char* ext;
        Bytes bytes;
        bool fourBits;
    };
    for (const Case& c : {Case{"bmp", bmpRle8File(7, 5), false}, Case{"bmp", bmpRleFile(7, 5, 4), true},
                          Case{"pcx", pcx8File(7, 5), false}}) {
        const std::string ext = c.ext;
        const std::string path = dir.path(std::string("grey.") + ext);
        writeFile(path, c.bytes);
        const OpenedPicture o = decodePictureForOpening(path, ext);
        ASSERT_TRUE(o.ok) << ext;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const uint8_t* p = o.picture.row(y) + 4 * x;
                const uint8_t i = greyIndex(x == 1 ? 0 : x, y);
                const uint8_t g = c.fourBits ? uint8_t((i & 15) * 17) : i;
                EXPECT_TRUE(p[0] == g && p[1] == g && p[2] == g) << ext << " at " << x << "," << y;
            }
    }
}

// Pixels that a run-length bitmap skips (a line ended early, a jump over
// lines) take colour 0 of its palette, not whatever memory held.
TEST(OpenPicture, PixelsSkippedByARunLengthBitmapTakeColourZero)
{
    PictureTempDir dir;
    const Bytes whole = bmpRle8File(7, 5);
    const size_t data = 14 + 40 + 1024, line = 12;   // each coded line: run, literal, pad, end
    Bytes b(whole.begin(), whole.begin() + long(data));
    b.insert(b.end(), {2, 200, 0, 0});       // bottom line: two pixels, then its end
    b.insert(b.end(), {0, 2, 0, 2});         // a jump over the next two lines
    b.insert(b.end(), whole.begin() + long(data + 3 * line), whole.end());
    for (int round = 0; round < 3; ++round) {
        // Leave freed pictures about for the reader's allocation to reuse.
        std::vector<std::vector<uint8_t>> junk;
        for (int i = 0; i < 50; ++i) junk.emplace_back(size_t(64 + 8 * i), uint8_t(0x5A + i));
        junk.clear();
        writeFile(dir.path("skips.bmp"), b);
        const OpenedPicture o = decodePictureForOpening(dir.path("skips.bmp"), "bmp");
        ASSERT_TRUE(o.ok);
        ASSERT_EQ(o.picture.width, 7);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const uint8_t* p = o.picture.row(y) + 4 * x;
                // Rows are top-down here: 4 is the file's bottom line.
                const int want = y == 4 ? (x < 2 ? 200 : 0) : (y == 2 || y == 3) ? 0 : greyIndex(x == 1 ? 0 : x, y);
                EXPECT_TRUE(p[0] == want && p[1] == want && p[2] == want)
                    << "at " << x << "," << y << ": " << int(p[0]) << " for " << want;
            }
    }
}

// A Targa's closing block (extension area and footer) is optional: a file
// cut inside it still holds every pixel and opens as the same picture; a
// cut into the pixels is refused. The same holds for other bytes that
// follow a whole picture.
TEST(OpenPicture, CutInsideAnOptionalClosingBlockIsStillThePicture)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(7, 5);
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("t.tga"), "tga", pic));
    const Bytes tga = readFile(dir.path("t.tga"));
    const size_t pixelsEnd = 18 + size_t(tga[0]) + 7 * 5 * 3;
    ASSERT_EQ(tga[2], 2);   // uncompressed true colour
    ASSERT_EQ(tga[16], 24);
    ASSERT_GT(tga.size(), pixelsEnd);   // something after the pixels
    const OpenedPicture whole = decodePictureForOpening(dir.path("t.tga"), "tga");
    ASSERT_TRUE(whole.ok);
    for (size_t cut : {tga.size() - 1, tga.size() - 10, pixelsEnd + 1, pixelsEnd}) {
        writeFile(dir.path("c.tga"), Bytes(tga.begin(), tga.begin() + long(cut)));
        const OpenedPicture o = decodePictureForOpening(dir.path("c.tga"), "tga");
        ASSERT_TRUE(o.ok) << cut;
        EXPECT_EQ(o.picture.bits, whole.picture.bits) << cut;
    }
    writeFile(dir.path("c.tga"), Bytes(tga.begin(), tga.begin() + long(pixelsEnd - 1)));
    EXPECT_FALSE(decodePictureForOpening(dir.path("c.tga"), "tga").ok);

    // Likewise the 256-colour palette DevIL writes after a true-colour PCX's
    // lines: the picture does not use it.
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("p.pcx"), "pcx", pic));
    const Bytes pcx = readFile(dir.path("p.pcx"));
    ASSERT_EQ(pcx[65], 3);   // three planes of 8 bits
    ASSERT_EQ(pcx[pcx.size() - 769], 0x0C);
    const OpenedPicture wholePcx = decodePictureForOpening(dir.path("p.pcx"), "pcx");
    ASSERT_TRUE(wholePcx.ok);
    for (size_t cut : {pcx.size() - 1, pcx.size() - 768}) {
        writeFile(dir.path("c.pcx"), Bytes(pcx.begin(), pcx.begin() + long(cut)));
        const OpenedPicture o = decodePictureForOpening(dir.path("c.pcx"), "pcx");
        ASSERT_TRUE(o.ok) << cut;
        EXPECT_EQ(o.picture.bits, wholePcx.picture.bits) << cut;
    }

    // And a GIF's closing mark after its picture.
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("g.gif"), "gif", pic));
    const Bytes gif = readFile(dir.path("g.gif"));
    ASSERT_EQ(gif.back(), 0x3B);
    const OpenedPicture wholeGif = decodePictureForOpening(dir.path("g.gif"), "gif");
    ASSERT_TRUE(wholeGif.ok);
    writeFile(dir.path("c.gif"), Bytes(gif.begin(), gif.end() - 1));
    const OpenedPicture noMark = decodePictureForOpening(dir.path("c.gif"), "gif");
    ASSERT_TRUE(noMark.ok);
    EXPECT_EQ(noMark.picture.bits, wholeGif.picture.bits);
}

// Corrupt and truncated files of every readable format: a clean refusal or
// a sound picture, never a crash.
TEST(OpenPicture, MutatedFilesOfEveryFormatFailCleanly)
{
    PictureTempDir dir;
    const std::vector<FormatFixture> fixtures = fixturesOfEveryReadableFormat(dir);
    // TQ_FUZZ_ROUNDS asks for a longer run (under a sanitizer, say).
    const char* env = std::getenv("TQ_FUZZ_ROUNDS");
    const int rounds = env ? std::max(1, std::atoi(env)) : 30;
    const unsigned seed = testSeed(20261210u, true);
    TQ_SEED_TRACE(seed);
    std::mt19937 rng(seed);
    int refused = 0, opened = 0;
    // TQ_FUZZ_ONLY names one extension to try alone.
    const char* only = std::getenv("TQ_FUZZ_ONLY");
    int tried = 0;
    for (const FormatFixture& f : fixtures) {
        if (only && f.ext != only) continue;
        ++tried;
        const std::vector<uint8_t>& good = f.bytes;
        ASSERT_FALSE(good.empty()) << f.ext;
        for (int round = 0; round < rounds; ++round) {
            std::vector<uint8_t> bytes = good;
            const int kind = round % 3;
            if (kind == 0) {
                bytes.resize(std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(rng));
            } else {
                const int flips = kind == 1 ? 1 : 6;
                // Mostly in the header, where sizes and counts live.
                const size_t span = std::min<size_t>(bytes.size(), round % 2 ? 64 : bytes.size());
                for (int i = 0; i < flips; ++i)
                    bytes[std::uniform_int_distribution<size_t>(0, span - 1)(rng)] = uint8_t(rng());
            }
            const std::string path = dir.path(std::string("m").append(std::to_string(round)).append(".").append(f.ext));
            writeFile(path, bytes);
            if (std::getenv("TQ_FUZZ_TRACE")) { fprintf(stderr, "FUZZ %s\n", path.c_str()); fflush(stderr); }
            const OpenedPicture o = decodePictureForOpening(path, f.ext);
            if (o.ok) {
                ++opened;
                if (kind == 0 && std::getenv("TQ_FUZZ_TRACE")) fprintf(stderr, "CUTOPEN %s %zu/%zu\n", f.ext.c_str(), bytes.size(), good.size());
                EXPECT_GE(o.picture.width, 1);
                EXPECT_LE(o.picture.width, kMaxPictureSide);
                EXPECT_EQ(o.picture.bits.size(), 4u * size_t(o.picture.width) * size_t(o.picture.height));
            } else {
                ++refused;
                EXPECT_EQ(o.errorText, "Unexpected error loading image") << path;
            }
            std::filesystem::remove(path);
        }
        EXPECT_EQ(dir.tempEntries(), 0u) << f.ext;
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(refused + opened, rounds * tried);
}

} // namespace
} // namespace tq

#include "core/PictureMemory.h"

namespace tq {
namespace {

// Sets the picture memory budget for a test.
struct ScopedBudget {
    explicit ScopedBudget(uint64_t bytes) { setPictureMemoryBudget(bytes); }
    ~ScopedBudget() { setPictureMemoryBudget(0); }
};

// Replaces the width and height a TIFF's first directory claims.
void claimTiffSize(std::vector<uint8_t>& b, uint32_t w, uint32_t h)
{
    auto get16 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8); };
    auto get32 = [&](size_t at) { return get16(at) | get16(at + 2) << 16; };
    ASSERT_EQ(b[0], 'I');
    const size_t ifd = get32(4);
    const uint32_t n = get16(ifd);
    for (uint32_t i = 0; i < n; ++i) {
        const size_t e = ifd + 2 + 12 * i;
        const uint32_t tag = get16(e), type = get16(e + 2);
        if (tag != 256 && tag != 257) continue;
        const uint32_t v = tag == 256 ? w : h;
        b[e + 8] = uint8_t(v);
        b[e + 9] = uint8_t(v >> 8);
        if (type == 4) {
            b[e + 10] = uint8_t(v >> 16);
            b[e + 11] = uint8_t(v >> 24);
        }
    }
}

// Replaces the size in a JPEG's start-of-frame segment.
void claimJpegSize(std::vector<uint8_t>& b, uint16_t w, uint16_t h)
{
    for (size_t i = 2; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
            b[i + 5] = uint8_t(h >> 8);
            b[i + 6] = uint8_t(h);
            b[i + 7] = uint8_t(w >> 8);
            b[i + 8] = uint8_t(w);
            return;
        }
    FAIL() << "no frame header";
}

} // namespace

// A few hundred bytes that claim a 32767 x 32767 picture used to open after
// a minute as black, with a memory peak of many gigabytes.
TEST(OpenPicture, TinyFilesClaimingHugePicturesAreRefusedBeforeDecoding)
{
    PictureTempDir dir;
    const DibRecord small = makePicture(16, 16);
    for (const char* ext : {"jpg", "tif"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.path(std::string("huge.") + ext);
        ASSERT_TRUE(mBitmap::SaveImageFile(path, ext, small));
        std::vector<uint8_t> b = readFile(path);
        ASSERT_LT(b.size(), 4096u);
        if (std::string(ext) == "jpg")
            claimJpegSize(b, 32767, 32767);
        else
            claimTiffSize(b, 32767, 32767);
        writeFile(path, b);
        // Whatever the memory, the file is far too short for the picture.
        ScopedBudget roomy(uint64_t(1) << 40);
        const OpenedPicture o = decodePictureForOpening(path, ext);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.errorText, kLoadErrorText);
    }
}

TEST(OpenPicture, PicturesBeyondTheMemoryBudgetAreRefusedWithTheirSize)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(300, 200);
    for (const char* ext : {"png", "jpg", "tif", "bmp", "gif", "pcx"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.path(std::string("big.") + ext);
        ASSERT_TRUE(mBitmap::SaveImageFile(path, ext, pic));
        {
            // Room for a 300 x 199 picture, not for this one.
            ScopedBudget tight(4u * 300u * 199u);
            const OpenedPicture o = decodePictureForOpening(path, ext);
            EXPECT_FALSE(o.ok);
            if (std::string(ext) != "pcx") {   // its reader cannot tell the size before decoding
                EXPECT_NE(o.errorText.find("300 x 200"), std::string::npos) << o.errorText;
                EXPECT_NE(o.errorText.find("too large"), std::string::npos) << o.errorText;
            }
        }
        ScopedBudget enough(4u * 300u * 200u);
        EXPECT_TRUE(decodePictureForOpening(path, ext).ok);
    }
}

} // namespace tq

namespace tq {

// The reader hung on a file of just its signature; a whole file opens, a cut
// inside its picture is refused, and a cut in the closing chunk, which holds
// no pixel, still opens.
TEST(OpenPicture, MngAndJngOfJustTheirSignatureAreRefused)
{
    PictureTempDir dir;
    const std::pair<const char*, std::vector<uint8_t>> whole[] = {{"mng", testing::mngFile(7, 5)},
                                                                   {"jng", testing::jngFile(7, 5)}};
    for (const auto& [ext, bytes] : whole) {
        SCOPED_TRACE(ext);
        const std::string path = dir.path(std::string("s.") + ext);
        writeFile(path, bytes);
        EXPECT_TRUE(decodePictureForOpening(path, ext).ok);
        for (size_t cut : {size_t(8), size_t(20), bytes.size() / 2}) {
            writeFile(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)));
            EXPECT_FALSE(decodePictureForOpening(path, ext).ok) << cut;
        }
        if (std::string(ext) == "mng") {
            writeFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
            EXPECT_TRUE(decodePictureForOpening(path, ext).ok);
        }
        EXPECT_FALSE(mngStructureSound(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8)));
        EXPECT_TRUE(mngStructureSound(bytes));
    }
}

} // namespace tq

namespace tq {

// JPEG-compressed strips cut short or read from the wrong place used to open
// as garbage.
TEST(OpenPicture, TiffWithCutOrMisplacedJpegStripsIsRefused)
{
    PictureTempDir dir;
    FIBITMAP* dib = makeImage("rgb24", 96, 300);
    const std::string path = dir.path("strips.tif");
    ASSERT_TRUE(FreeImage_Save(FIF_TIFF, dib, path.c_str(), TIFF_JPEG));
    FreeImage_Unload(dib);
    const std::vector<uint8_t> whole = readFile(path);
    ASSERT_EQ(tiffValueOffsets(whole, 259).size(), 1u);
    ASSERT_EQ(whole[tiffValueOffsets(whole, 259)[0]], 7) << "JPEG compression";
    const std::vector<size_t> strips = tiffValueOffsets(whole, 273);
    ASSERT_GE(strips.size(), 2u) << "the case needs several strips";
    EXPECT_TRUE(tiffStructureSound(whole));
    EXPECT_TRUE(decodePictureForOpening(path, "tif").ok);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    {
        std::vector<uint8_t> b = whole;
        const std::vector<size_t> lens = tiffValueOffsets(whole, 279);
        uint32_t len = uint32_t(b[lens.back()] | b[lens.back() + 1] << 8 | b[lens.back() + 2] << 16);
        // The stream ends half-way: its count says so, its end marker is gone.
        len /= 2;
        b[lens.back()] = uint8_t(len);
        b[lens.back() + 1] = uint8_t(len >> 8);
        b[lens.back() + 2] = uint8_t(len >> 16);
        cases.push_back({"cut strip", b});
    }
    {
        std::vector<uint8_t> b = whole;
        b[strips[1]] = uint8_t(b[strips[1]] + 5);   // the second strip read five bytes late
        cases.push_back({"misplaced strip", b});
    }
    cases.push_back({"file cut short", std::vector<uint8_t>(whole.begin(), whole.begin() + long(whole.size() * 7 / 10))});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path, c.bytes);
        EXPECT_FALSE(tiffStructureSound(c.bytes));
        EXPECT_FALSE(decodePictureForOpening(path, "tif").ok);
    }
}

} // namespace tq
