// Picture file routing: round trips through every writable format, the
// routing table, temporary files, and what a failed save leaves behind.
#include "document/PictureRouting.h"
#include "document/ProgramContext.h"
#include "document/OpenPicture.h"
#include "platform/PictureFiles.h"
#include "picturefiles/PictureLoader.h"

#include "document/FormatFixtures.h"
#include "document/PictureFixtures.h"
#include "FileSizeLimit.h"
#include "TestSeed.h"

#include <FreeImage.h>
#include <IL/il.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <cerrno>
#include <filesystem>
#include <span>
#include <random>
#include <string>

namespace tq {
namespace {

using testing::makePicture;
using testing::maxColourDifference;
using testing::PictureTempDir;
using testing::readFile;
using testing::writeFile;

// A picture whose colours change slowly, for the lossy format.
DibRecord makeSmoothPicture(int w, int h)
{
    DibRecord d = makePicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = d.row(y) + 4 * x;
            p[0] = uint8_t(100 + 4 * x);
            p[1] = uint8_t(80 + 3 * y);
            p[2] = uint8_t(150 + 2 * x + 2 * y);
        }
    return d;
}

uint8_t greyOf(const uint8_t* bgr)
{
    return uint8_t(0.2126 * bgr[2] + 0.7152 * bgr[1] + 0.0722 * bgr[0] + 0.5);
}

struct RoundTrip {
    const char* ext;
    int bppLoaded;     // ImageBPP() after loading; 0: loaded by the platform loader
    enum { Exact, Grey, Close } expect;
};

const RoundTrip kRoundTrips[] = {
    {"png", 24, RoundTrip::Exact},   {"bmp", 24, RoundTrip::Exact},   {"tif", 24, RoundTrip::Exact},
    {"tiff", 24, RoundTrip::Exact},  {"tga", 24, RoundTrip::Exact},   {"targa", 24, RoundTrip::Exact},
    {"vda", 24, RoundTrip::Exact},   {"icb", 24, RoundTrip::Exact},   {"vst", 24, RoundTrip::Exact},
    {"ppm", 24, RoundTrip::Exact},   {"pgm", 8, RoundTrip::Grey},     {"pbm", 8, RoundTrip::Grey},
    {"jpg", 24, RoundTrip::Close},   {"jpeg", 24, RoundTrip::Close},  {"psd", 24, RoundTrip::Exact},
    {"sgi", 24, RoundTrip::Exact},   {"bw", 24, RoundTrip::Exact},    {"rgb", 24, RoundTrip::Exact},
    {"rgba", 24, RoundTrip::Exact},  {"pcx", 24, RoundTrip::Exact},   {"gif", 0, RoundTrip::Exact},
};

TEST(PictureRouting, EveryWritableFormatRoundTrips)
{
    PictureTempDir dir;
    for (const RoundTrip& rt : kRoundTrips) {
        SCOPED_TRACE(rt.ext);
        const DibRecord pic = rt.expect == RoundTrip::Close ? makeSmoothPicture(7, 5) : makePicture(7, 5);
        const std::string path = dir.path(std::string("p.") + rt.ext);
        ASSERT_TRUE(mBitmap::SaveImageFile(path, rt.ext, pic));

        ImageWidth() = ImageHeight() = ImageBPP() = -1;
        const BitmapHandle h = mBitmap::LoadImageFile(path, rt.ext);
        if (rt.bppLoaded == 0) {
            EXPECT_EQ(h, nullptr);   // the platform loader's format
            EXPECT_EQ(ImageBPP(), -1);
        } else {
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(ImageBPP(), rt.bppLoaded);
            EXPECT_EQ(ImageWidth(), 7);
            EXPECT_EQ(ImageHeight(), 5);
            EXPECT_EQ(h->sourcePath, path);
        }

        const OpenedPicture o = decodePictureForOpening(path, rt.ext);
        ASSERT_TRUE(o.ok);
        ASSERT_EQ(o.picture.width, 7);
        ASSERT_EQ(o.picture.height, 5);
        EXPECT_EQ(ImageWidth(), 7);
        EXPECT_EQ(ImageHeight(), 5);
        for (size_t i = 3; i < o.picture.bits.size(); i += 4) ASSERT_EQ(o.picture.bits[i], 0);
        switch (rt.expect) {
        case RoundTrip::Exact: EXPECT_EQ(o.picture.bits, pic.bits); break;
        case RoundTrip::Close: EXPECT_LE(maxColourDifference(pic, o.picture), 8); break;
        case RoundTrip::Grey:
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    const uint8_t g = greyOf(pic.row(y) + 4 * x);
                    for (int c = 0; c < 3; ++c) EXPECT_NEAR(o.picture.row(y)[4 * x + c], g, 1);
                }
            break;
        }
        EXPECT_EQ(dir.tempEntries(), 0u) << "a temporary conversion file was left";
    }
}

// The program writes BMP files itself, straight from the picture's rows;
// the file must be the one the library's own writer makes of the same
// picture in 24 bits, whatever the row padding (widths 1 to 4 give every
// padding) and across the bands it writes at a time (700 x 700 spans more
// than one). A buffer's margin and marker bytes are never written.
TEST(PictureRouting, BmpFilesAreTheLibrarysOwnByteForByte)
{
    PictureTempDir dir;
    const struct {
        int w, h;
    } kSizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 4}, {700, 700}};
    for (const auto& size : kSizes) {
        SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
        const DibRecord pic = makePicture(size.w, size.h);

        FIBITMAP* dib = FreeImage_Allocate(size.w, size.h, 24);
        ASSERT_NE(dib, nullptr);
        for (int y = 0; y < size.h; ++y) {
            uint8_t* d = FreeImage_GetScanLine(dib, size.h - 1 - y);
            for (int x = 0; x < size.w; ++x) std::memcpy(d + 3 * x, pic.row(y) + 4 * x, 3);
        }
        const std::string expected = dir.path("library.bmp");
        ASSERT_TRUE(FreeImage_Save(FIF_BMP, dib, expected.c_str(), 0));
        FreeImage_Unload(dib);

        const std::string fromRecord = dir.path("record.bmp");
        ASSERT_TRUE(mBitmap::SaveImageFile(fromRecord, "bmp", pic));
        EXPECT_EQ(readFile(fromRecord), readFile(expected));

        BitsBuffer bits(size.w, size.h);
        bits.fill(0xA5);   // margin and markers: must not reach the file
        for (int y = 0; y < size.h; ++y)
            for (int x = 0; x < size.w; ++x) std::memcpy(bits.row(y) + 4 * x, pic.row(y) + 4 * x, 3);
        const std::string fromBuffer = dir.path("buffer.bmp");
        ASSERT_TRUE(mBitmap::SaveImageFile(fromBuffer, "bmp", bits));
        EXPECT_EQ(readFile(fromBuffer), readFile(expected));
    }
    EXPECT_EQ(dir.tempEntries(), 0u);
}

TEST(PictureRouting, ExtensionsCompareInLowerCase)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(3, 2);
    for (const char* ext : {"PNG", "Jpeg", "SGI", "Gif", "TiF"}) {
        SCOPED_TRACE(ext);
        const std::string lower = mBitmap::lowerExtension(ext);
        EXPECT_EQ(mBitmap::readRoute(ext).reader, mBitmap::readRoute(lower).reader);
        EXPECT_EQ(mBitmap::readRoute(ext).format, mBitmap::readRoute(lower).format);
        EXPECT_EQ(mBitmap::writeRoute(ext).writer, mBitmap::writeRoute(lower).writer);
        EXPECT_TRUE(mBitmap::SaveImageFile(dir.path(std::string("u.") + ext), ext, pic));
        EXPECT_TRUE(decodePictureForOpening(dir.path(std::string("u.") + ext), ext).ok);
    }
    // "jpeg" takes the "jpg" rows.
    EXPECT_EQ(mBitmap::readRoute("jpeg").format, FIF_JPEG);
    EXPECT_EQ(mBitmap::readRoute("jpeg").flags, JPEG_ACCURATE);
    EXPECT_EQ(mBitmap::writeRoute("jpeg").flags, 0x80);
}

TEST(PictureRouting, TableRowsThatDifferBetweenReadingAndWriting)
{
    using mBitmap::Reader;
    using mBitmap::Writer;
    // "pcx" is read by FreeImage and written by DevIL; "sgi" goes to DevIL both ways.
    EXPECT_EQ(mBitmap::readRoute("pcx").reader, Reader::FreeImage);
    EXPECT_EQ(mBitmap::writeRoute("pcx").writer, Writer::DevIL);
    EXPECT_EQ(mBitmap::writeRoute("pcx").devilType, 0x0428u);
    EXPECT_EQ(mBitmap::readRoute("sgi").reader, Reader::DevIL);
    EXPECT_EQ(mBitmap::writeRoute("sgi").devilType, 0x042Cu);
    EXPECT_EQ(mBitmap::writeRoute("psd").devilType, 0x0439u);
    EXPECT_EQ(mBitmap::writeRoute("raw").devilType, 0x0430u);
    EXPECT_EQ(mBitmap::readRoute("tga").flags, TARGA_LOAD_RGB888);
    EXPECT_EQ(mBitmap::readRoute("jng").reader, Reader::FreeImageByFileType);
    // A bitmap is read as when it is opened.
    EXPECT_EQ(mBitmap::readRoute("BMP").reader, Reader::PlatformLoader);
    EXPECT_EQ(mBitmap::writeRoute("pbm").conversion, mBitmap::WriteConversion::To8BitsUnless1);
    EXPECT_EQ(mBitmap::writeRoute("pgm").conversion, mBitmap::WriteConversion::To8BitsUnless8);
    EXPECT_EQ(mBitmap::writeRoute("ppm").conversion, mBitmap::WriteConversion::To24BitsUnless24);
    // Formats with no reader or no writer.
    for (const char* ext : {"gif", "wmf", "emf", "dib", "xyz", ""}) EXPECT_EQ(mBitmap::readRoute(ext).reader, Reader::None) << ext;
    for (const char* ext : {"pcd", "cut", "xyz", ""}) EXPECT_EQ(mBitmap::writeRoute(ext).writer, Writer::None) << ext;
}

// The bitmaps with bit-field masks that common tools write (version 5 and 4
// headers for a picture with alpha; the plain header with its masks after
// it) open through File > Open; the router, which the thumbnails, the open
// dialog's preview and the properties read through, gives the same picture
// and the file's own depth.
TEST(PictureRouting, EveryBitmapThatOpensReadsThroughTheRouter)
{
    ScopedContext context;
    PictureTempDir dir;
    using Masks = std::array<uint32_t, 4>;
    const Masks argb = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    const Masks abgr = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};   // red in the low byte
    const Masks rgb565 = {0xF800, 0x07E0, 0x001F, 0};
    const Masks argb1555 = {0x7C00, 0x03E0, 0x001F, 0x8000};
    struct Case {
        const char* what;
        int bits;
        uint32_t header;
        Masks masks;
    };
    const Case cases[] = {
        {"version 5, 32 bits with alpha", 32, 124, argb},  {"version 5, 32 bits, red low", 32, 124, abgr},
        {"version 5, 16 bits 5-6-5", 16, 124, rgb565},     {"version 4, 32 bits with alpha", 32, 108, argb},
        {"version 4, 16 bits 1-5-5-5", 16, 108, argb1555}, {"plain header, 32-bit masks", 32, 40, {argb[0], argb[1], argb[2], 0}},
        {"plain header, 32-bit masks, red low", 32, 40, {abgr[0], abgr[1], abgr[2], 0}},
        {"plain header, 16-bit masks", 16, 40, rgb565},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.path("fields" + std::to_string(n++) + ".bmp");
        writeFile(path, testing::bitfieldBmpFile(7, 5, c.bits, c.header, c.masks));
        const OpenedPicture opened = decodePictureForOpening(path, "bmp");
        ASSERT_TRUE(opened.ok);
        ImageBPP() = 0;
        const BitmapHandle routed = mBitmap::LoadImageFile(path, "bmp");
        ASSERT_NE(routed, nullptr);
        EXPECT_EQ(ImageWidth(), 7);
        EXPECT_EQ(ImageHeight(), 5);
        EXPECT_EQ(ImageBPP(), c.bits);
        EXPECT_EQ(routed->dib.bits, opened.picture.bits);
        // The colours are the file's, unblended by its alpha (to the
        // precision of a 5-bit channel at 16 bits).
        const int slack = c.bits == 16 ? 8 : 0;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const uint8_t* p = routed->dib.row(y) + 4 * x;
                const auto want = testing::fieldColour(x, y);
                for (int ch = 0; ch < 3; ++ch)
                    EXPECT_NEAR(p[ch], want[size_t(ch)], slack) << x << "," << y << " channel " << ch;
                EXPECT_EQ(p[3], 0);
            }
    }
}

TEST(PictureRouting, LoadGivesNothingForPlatformAndUnknownFormats)
{
    PictureTempDir dir;
    const std::string bmp = dir.path("a.bmp");
    ASSERT_TRUE(mBitmap::SaveImageFile(bmp, "bmp", makePicture(3, 2)));
    ImageWidth() = 11;
    ImageHeight() = 12;
    ImageBPP() = 13;
    // The same BMP bytes under names that LoadImageFile does not read.
    for (const char* ext : {"gif", "wmf", "emf", "dib", "xyz", ""}) {
        EXPECT_EQ(mBitmap::LoadImageFile(bmp, ext), nullptr) << ext;
    }
    EXPECT_EQ(mBitmap::LoadImageFile(dir.path("missing.png"), "png"), nullptr);
    EXPECT_EQ(ImageWidth(), 11);
    EXPECT_EQ(ImageHeight(), 12);
    EXPECT_EQ(ImageBPP(), 13);
}

TEST(PictureRouting, DevILReadsFormatsTheProgramDoesNotWrite)
{
    PictureTempDir dir;
    const std::string xpm = "/* XPM */\nstatic char *x[] = {\n\"3 2 2 1\",\n\"a c #FF0000\",\n"
                            "\"b c #0000FF\",\n\"aba\",\n\"bab\"};\n";
    writeFile(dir.path("x.xpm"), std::vector<uint8_t>(xpm.begin(), xpm.end()));
    // DevIL's XPM reader crashes on any file; the platform's reader stands in.
    ImageBPP() = -1;
    const BitmapHandle h = mBitmap::LoadImageFile(dir.path("x.xpm"), "XPM");
    ASSERT_NE(h, nullptr);
    EXPECT_GT(ImageBPP(), 0);
    ASSERT_EQ(h->dib.width, 3);
    ASSERT_EQ(h->dib.height, 2);
    const std::vector<uint8_t> red = {0, 0, 255, 0}, blue = {255, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(h->dib.row(0), h->dib.row(0) + 4), red);
    EXPECT_EQ(std::vector<uint8_t>(h->dib.row(0) + 4, h->dib.row(0) + 8), blue);
    EXPECT_EQ(std::vector<uint8_t>(h->dib.row(1), h->dib.row(1) + 4), blue);
    EXPECT_EQ(dir.tempEntries(), 0u);
    // An uncompressed 24-bit DirectDraw surface, 4 x 4, every pixel
    // blue 200, green 100, red 50.
    {
        std::vector<uint8_t> f = {'D', 'D', 'S', ' '};
        auto le32 = [&f](uint32_t v) { for (int i = 0; i < 4; ++i) f.push_back(uint8_t(v >> (8 * i))); };
        le32(124);
        le32(0x100F);   // caps, height, width, pitch, pixel format
        le32(4);
        le32(4);
        le32(12);
        le32(0);
        le32(0);
        for (int i = 0; i < 11; ++i) le32(0);
        le32(32);
        le32(0x40);   // RGB
        le32(0);
        le32(24);
        le32(0x00FF0000);
        le32(0x0000FF00);
        le32(0x000000FF);
        le32(0);
        le32(0x1000);
        for (int i = 0; i < 4; ++i) le32(0);
        for (int i = 0; i < 16; ++i) f.insert(f.end(), {200, 100, 50});
        writeFile(dir.path("s.dds"), f);
    }
    const BitmapHandle dds = mBitmap::LoadImageFile(dir.path("s.dds"), "dds");
    ASSERT_NE(dds, nullptr);
    EXPECT_EQ(dds->dib.width, 4);
    EXPECT_EQ(std::vector<uint8_t>(dds->dib.bits.begin(), dds->dib.bits.begin() + 4), (std::vector<uint8_t>{200, 100, 50, 0}));
    // Damaged copies of it fail cleanly.
    const std::vector<uint8_t> good = readFile(dir.path("s.dds"));
    const unsigned seed = testing::testSeed(5u);
    TQ_SEED_TRACE(seed);
    std::mt19937 rng(seed);
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> bad = good;
        if (i % 3 == 0) bad.resize(size_t(i) % bad.size());
        else bad[std::uniform_int_distribution<size_t>(0, std::min<size_t>(bad.size(), 128) - 1)(rng)] = uint8_t(rng());
        writeFile(dir.path("bad.dds"), bad);
        const BitmapHandle h2 = mBitmap::LoadImageFile(dir.path("bad.dds"), "dds");
        if (h2) {
            EXPECT_EQ(h2->dib.bits.size(), 4u * size_t(h2->dib.width) * size_t(h2->dib.height));
        }
    }
    EXPECT_EQ(dir.tempEntries(), 0u);
    // No picture reader in DevIL for these, and its raw reader is broken.
    ASSERT_TRUE(mBitmap::SaveImageFile(dir.path("r.raw"), "raw", makePicture(3, 2)));
    EXPECT_EQ(mBitmap::LoadImageFile(dir.path("r.raw"), "raw"), nullptr);
    writeFile(dir.path("p.pal"), std::vector<uint8_t>(768, 1));
    EXPECT_EQ(mBitmap::LoadImageFile(dir.path("p.pal"), "pal"), nullptr);
}

TEST(PictureRouting, DevILFormatsLeaveNoTemporaryFiles)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(3, 2);
    for (const char* ext : {"sgi", "psd", "pcx", "raw"}) {
        ASSERT_TRUE(mBitmap::SaveImageFile(dir.path(std::string("d.") + ext), ext, pic)) << ext;
        EXPECT_EQ(dir.tempEntries(), 0u) << ext;
    }
    ASSERT_NE(mBitmap::LoadImageFile(dir.path("d.sgi"), "sgi"), nullptr);
    EXPECT_EQ(dir.tempEntries(), 0u);
    // A later DevIL load that fails cannot pick up the earlier picture.
    writeFile(dir.path("broken.sgi"), {1, 2, 3, 4});
    EXPECT_EQ(mBitmap::LoadImageFile(dir.path("broken.sgi"), "sgi"), nullptr);
    EXPECT_EQ(dir.tempEntries(), 0u);
}

TEST(PictureRouting, FailedSaveKeepsTheFileItReplaces)
{
    PictureTempDir dir;
    const std::vector<uint8_t> old = {'k', 'e', 'e', 'p'};
    DibRecord broken = makePicture(3, 2);
    broken.bits.resize(5);   // inconsistent record
    for (const char* ext : {"png", "jpg", "sgi", "pcx", "gif", "xyz"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.path(std::string("old.") + ext);
        writeFile(path, old);
        EXPECT_FALSE(mBitmap::SaveImageFile(path, ext, broken));
        EXPECT_EQ(readFile(path), old);
        EXPECT_FALSE(mBitmap::SaveImageFile(path, ext, DibRecord{}));
        EXPECT_EQ(readFile(path), old);
    }
    // Unknown extension with a good picture: nothing written, reported.
    EXPECT_FALSE(mBitmap::SaveImageFile(dir.path("new.xyz"), "xyz", makePicture(3, 2)));
    EXPECT_FALSE(std::filesystem::exists(dir.path("new.xyz")));
    // A save into a folder that does not exist fails without leftovers.
    EXPECT_FALSE(mBitmap::SaveImageFile(dir.path("nofolder/a.png"), "png", makePicture(3, 2)));
    // Only the old files and the temporary folder remain.
    EXPECT_EQ(dir.entries(), 7u);
}

TEST(PictureRouting, WriteCutShortByTheDiskFailsAndKeepsTheOldFile)
{
    // The library's own file writer would not notice a write that fails
    // when its buffer is flushed at the end; a file size limit makes every
    // write past 100 bytes fail, as a full disk would.
    PictureTempDir dir;
    const std::vector<uint8_t> old(3000, 'k');
    const DibRecord pic = makePicture(40, 30);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const char* ext : {"bmp", "png", "tif", "ppm"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.path(std::string("full.") + ext);
        writeFile(path, old);
        struct rlimit small = saved;
        small.rlim_cur = 100;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved_ok = bool(mBitmap::SaveImageFile(path, ext, pic));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(saved_ok);
        EXPECT_EQ(readFile(path), old);
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST(PictureRouting, SuccessfulSaveReplacesAndKeepsPermissions)
{
    PictureTempDir dir;
    const std::string path = dir.path("perm.png");
    writeFile(path, {'o', 'l', 'd'});
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    ASSERT_TRUE(mBitmap::SaveImageFile(path, "png", makePicture(3, 2)));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    const auto h = mBitmap::LoadImageFile(path, "png");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->dib.bits, makePicture(3, 2).bits);
    EXPECT_EQ(dir.entries(), 2u);   // no temporary file beside it
}

TEST(ReplaceFileSafely, WriterFailureLeavesTargetAndNoTemp)
{
    PictureTempDir dir;
    const std::string path = dir.path("t.bin");
    writeFile(path, {1, 2, 3});
    std::string tempSeen;
    EXPECT_FALSE(replaceFileSafely(path, [&](const std::string& temp) {
        tempSeen = temp;
        writeFile(temp, {9, 9});   // half written, then the writer gives up
        return false;
    }));
    EXPECT_EQ(readFile(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::filesystem::path(tempSeen).parent_path(), std::filesystem::path(path).parent_path());
    EXPECT_FALSE(std::filesystem::exists(tempSeen));
    // A writer that throws or claims success without writing anything.
    EXPECT_FALSE(replaceFileSafely(path, [](const std::string&) -> bool { throw std::runtime_error("x"); }));
    EXPECT_FALSE(replaceFileSafely(path, [](const std::string&) { return true; }));
    EXPECT_EQ(readFile(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(replaceFileSafely(path, [](const std::string& temp) {
        writeFile(temp, {7});
        return true;
    }));
    EXPECT_EQ(readFile(path), (std::vector<uint8_t>{7}));
    EXPECT_EQ(dir.entries(), 2u);
}

// A save onto a symbolic link keeps the link and writes the picture into
// the file it points to, with that file's permissions, whatever the format.
TEST(SaveOntoLink, WritesTheTargetAndKeepsTheLink)
{
    PictureTempDir dir;
    namespace fs = std::filesystem;
    const fs::path links = fs::path(dir.path("links"));
    const fs::path files = fs::path(dir.path("files"));
    fs::create_directories(links);
    fs::create_directories(files);
    const DibRecord pic = makePicture(5, 4);
    for (const char* ext : {"bmp", "png", "jpg", "tif", "psd", "pcx", "gif", "sgi"}) {
        SCOPED_TRACE(ext);
        const fs::path target = files / (std::string("real.") + ext);
        writeFile(target.string(), {1, 2, 3});
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const fs::path link = links / (std::string("link.") + ext);
        fs::create_symlink(fs::path("..") / "files" / target.filename(), link);

        ASSERT_TRUE(mBitmap::SaveImageFile(link.string(), ext, pic));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_GT(fs::file_size(target), 3u) << "the target took the picture";
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        if (std::string(ext) != "gif") {
            EXPECT_NE(mBitmap::LoadImageFile(link.string(), ext), nullptr);
        }
    }
    // Nothing was left behind in either folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(links), fs::directory_iterator()), 8);
    EXPECT_EQ(std::distance(fs::directory_iterator(files), fs::directory_iterator()), 8);
}

// The program writes only regular files. Only looked at here: nothing in
// this table is ever written, /dev/null least of all.
TEST(WriteTargetRefusal, OnlyRegularFilesOrNothingMayBeWritten)
{
    PictureTempDir dir;
    namespace fs = std::filesystem;
    writeFile(dir.path("plain"), {1});
    ASSERT_EQ(::mkfifo(dir.path("fifo").c_str(), 0600), 0);
    fs::create_directory(dir.path("folder"));
    fs::create_symlink(dir.path("plain"), dir.path("to-plain"));
    fs::create_symlink(dir.path("fifo"), dir.path("to-fifo"));
    fs::create_symlink(dir.path("to-fifo"), dir.path("to-to-fifo"));
    fs::create_symlink("/dev/null", dir.path("to-null"));
    fs::create_symlink(dir.path("nothing"), dir.path("dangling"));
    const struct {
        std::string path;
        bool refused;
    } cases[] = {
        {dir.path("missing"), false}, {dir.path("plain"), false},    {dir.path("to-plain"), false},
        {dir.path("dangling"), false}, {dir.path("fifo"), true},     {dir.path("to-fifo"), true},
        {dir.path("to-to-fifo"), true}, {dir.path("folder"), true},  {dir.path("to-null"), true},
        {"/dev/null", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(writeTargetRefusal(c.path), c.refused ? c.path + " is not a regular file" : "");
        EXPECT_EQ(saveFailureText("Not saved.", c.path),
                  c.refused ? "Not saved.\r\n\r\n" + c.path + " is not a regular file" : "Not saved.");
        EXPECT_EQ(saveFailureText("Not saved.", c.path, true),
                  "Not saved.\r\n\r\n" + c.path + (c.refused ? " is not a regular file" : ""));
    }
}

// A save onto a FIFO, a link to one or a folder used to rename a regular
// file over it and report success. Every writer refuses it now, without
// calling its writer, leaving no temporary file, and says why.
TEST(SaveOntoNonRegularFile, IsRefusedByEveryWriterAndLeftAsItWas)
{
    PictureTempDir dir;
    namespace fs = std::filesystem;
    ASSERT_EQ(::mkfifo(dir.path("fifo").c_str(), 0600), 0);
    fs::create_symlink(dir.path("fifo"), dir.path("to-fifo"));
    fs::create_directory(dir.path("folder"));
    const DibRecord pic = makePicture(3, 2);
    const uint8_t byte = 7;
    const size_t entries = dir.entries();
    auto unchanged = [&] {
        struct stat st {};
        EXPECT_EQ(::lstat(dir.path("fifo").c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        EXPECT_TRUE(fs::is_symlink(dir.path("to-fifo")));
        EXPECT_TRUE(fs::is_directory(dir.path("folder")));
        EXPECT_TRUE(fs::is_empty(dir.path("folder")));
        EXPECT_EQ(dir.entries(), entries) << "no temporary file is left";
        EXPECT_EQ(dir.tempEntries(), 0u);
    };
    for (const char* name : {"fifo", "to-fifo", "folder"}) {
        const std::string path = dir.path(name);
        SCOPED_TRACE(path);
        bool called = false;
        errno = 0;
        EXPECT_FALSE(replaceFileSafely(path, [&](const std::string& temp) {
            called = true;
            writeFile(temp, {1});
            return true;
        }));
        EXPECT_EQ(errno, EPERM);
        EXPECT_FALSE(called);
        EXPECT_FALSE(replaceFileWithBytes(path, {std::span<const uint8_t>(&byte, 1)}));
        EXPECT_EQ(errno, EPERM);
        unchanged();
        // Each writer of the routing: the program's own BMP writer,
        // FreeImage, DevIL and the colour reducer.
        for (const char* ext : {"bmp", "png", "sgi", "gif"}) {
            SCOPED_TRACE(ext);
            const mBitmap::SaveResult saved = mBitmap::SaveImageFile(path, ext, pic);
            EXPECT_FALSE(saved);
            EXPECT_EQ(saved.refusal, path + " is not a regular file");
            unchanged();
        }
    }
    // A save that is not refused has no reason.
    const mBitmap::SaveResult saved = mBitmap::SaveImageFile(dir.path("ok.png"), "png", pic);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved.refusal, "");
}

// Something put under the name while the file is written is looked at
// again before the rename.
TEST(SaveOntoNonRegularFile, AFifoPutThereDuringTheWriteIsNotReplaced)
{
    PictureTempDir dir;
    const std::string path = dir.path("t.bin");
    writeFile(path, {1, 2, 3});
    EXPECT_FALSE(replaceFileSafely(path, [&](const std::string& temp) {
        writeFile(temp, {7});
        ::unlink(path.c_str());
        return ::mkfifo(path.c_str(), 0600) == 0;
    }));
    EXPECT_EQ(errno, EPERM);
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(dir.entries(), 2u) << "the temporary file is gone";
}

TEST(PictureTemp, NamesAreUniqueInsideThePrivateFolder)
{
    PictureTempDir dir;
    const std::string a = uniquePictureTempName(mBitmap::kDevilLoadTempName);
    const std::string b = uniquePictureTempName(mBitmap::kDevilLoadTempName);
    EXPECT_NE(a, b);
    EXPECT_EQ(std::filesystem::path(a).parent_path(), std::filesystem::path(dir.tempFolder()));
    EXPECT_EQ(std::filesystem::path(a).filename().string().rfind("4546643-", 0), 0u);
    // Without a test folder the process makes its own inside the system's
    // temporary folder (here pointed into the test's folder), private to its owner.
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string keepTmp = oldTmp ? oldTmp : "";
    std::filesystem::create_directory(dir.path("sys"));
    setenv("TMPDIR", dir.path("sys").c_str(), 1);
    setPictureTempFolder("");
    const std::string own = pictureTempFolder();
    if (oldTmp) setenv("TMPDIR", keepTmp.c_str(), 1);
    else unsetenv("TMPDIR");
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(std::filesystem::path(own).parent_path(), std::filesystem::path(dir.path("sys")));
    EXPECT_EQ(std::filesystem::status(own).permissions() & std::filesystem::perms::all, std::filesystem::perms::owner_all);
    setPictureTempFolder(dir.tempFolder());
}

TEST(GetPictureBits, ThreeByTwoTopRowFirst)
{
    const DibRecord pic = makePicture(3, 2);
    const std::vector<uint8_t> bits = mBitmap::GetPictureBits(&pic, 3, 2);
    ASSERT_EQ(bits.size(), 4u * 3 * 2);
    EXPECT_EQ(bits, pic.bits);
    EXPECT_EQ(bits[0], pic.row(0)[0]);   // y = 0 is the top row
    // A larger request keeps the rest 0; a smaller one takes the top-left part.
    const std::vector<uint8_t> big = mBitmap::GetPictureBits(&pic, 4, 3);
    ASSERT_EQ(big.size(), 4u * 4 * 3);
    EXPECT_EQ(std::vector<uint8_t>(big.begin(), big.begin() + 12), std::vector<uint8_t>(pic.bits.begin(), pic.bits.begin() + 12));
    EXPECT_EQ(std::vector<uint8_t>(big.begin() + 12, big.begin() + 16), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(std::vector<uint8_t>(big.begin() + 32, big.end()), std::vector<uint8_t>(16, 0));
    const std::vector<uint8_t> small = mBitmap::GetPictureBits(&pic, 1, 1);
    EXPECT_EQ(small, std::vector<uint8_t>(pic.bits.begin(), pic.bits.begin() + 4));
    // Not a bitmap: zeros; no size: nothing.
    EXPECT_EQ(mBitmap::GetPictureBits(nullptr, 2, 2), std::vector<uint8_t>(16, 0));
    EXPECT_TRUE(mBitmap::GetPictureBits(&pic, 0, 2).empty());
}

// The DevIL and GIF writers the same way: a limit below even the temporary
// BMP, and a limit just below the finished file, where only the writer's own
// last writes fail.
TEST(PictureRouting, DevilAndGifWritesCutShortFailAndKeepTheOldFile)
{
    PictureTempDir dir;
    const std::vector<uint8_t> old(5000, 'k');
    const DibRecord pic = makePicture(40, 30);
    for (const char* ext : {"psd", "sgi", "bw", "rgb", "rgba", "raw", "pcx", "gif"}) {
        SCOPED_TRACE(ext);
        const std::string sound = dir.path(std::string("sound.") + ext);
        ASSERT_TRUE(mBitmap::SaveImageFile(sound, ext, pic));
        const rlim_t full = rlim_t(readFile(sound).size());
        for (const rlim_t limit : {rlim_t(100), full - 1}) {
            SCOPED_TRACE(limit);
            const std::string path = dir.path(std::string("full.") + ext);
            writeFile(path, old);
            bool savedOk = true;
            {
                ScopedFileSizeLimit small(limit);
                savedOk = bool(mBitmap::SaveImageFile(path, ext, pic));
            }
            EXPECT_FALSE(savedOk);
            EXPECT_EQ(readFile(path), old);
            EXPECT_EQ(dir.tempEntries(), 0u);
        }
    }
    // Only the sound files and the old ones remain beside the temporary folder.
    EXPECT_EQ(dir.entries(), 1u + 8u + 8u);
}

} // namespace
} // namespace tq

