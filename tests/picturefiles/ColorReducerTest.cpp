// The colour reducer: palettes, dither modes, transforms, greyscale, the
// BMP and GIF writers, refusals and failed writes.
#include "picturefiles/ColorReducer.h"
#include "picturefiles/GifPicture.h"
#include "picturefiles/PictureLoader.h"

#include "FileSizeLimit.h"
#include "document/PictureFixtures.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace tq {
namespace {

using testing::makePicture;
using testing::PictureTempDir;
using testing::readFile;
using testing::writeFile;
using Rgb = ColorReducer::Rgb;

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

uint32_t hexOf(const Rgb& c) { return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue; }

DibRecord blank(int w, int h)
{
    DibRecord d;
    d.width = w;
    d.height = h;
    d.header = BitsHeader::forDib(w, h);
    d.bits.assign(4u * size_t(w) * size_t(h), 0);
    return d;
}

// A smooth gradient: red across, green down, blue along the diagonal; or
// grey across.
DibRecord gradient(int w, int h, bool grey)
{
    DibRecord d = blank(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = d.row(y) + 4 * x;
            if (grey) {
                p[0] = p[1] = p[2] = uint8_t(x * 255 / (w - 1));
            } else {
                p[2] = uint8_t(x * 255 / (w - 1));
                p[1] = uint8_t(y * 255 / (h - 1));
                p[0] = uint8_t((x + y) * 255 / (w + h - 2));
            }
        }
    return d;
}

// The reduced picture as colours (blue, green, red, 0), from the reducer's
// own result.
DibRecord resultPicture(const ColorReducer& r)
{
    DibRecord d = blank(r.width(), r.height());
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            uint8_t* p = d.row(y) + 4 * x;
            const size_t i = size_t(y) * size_t(r.width()) + size_t(x);
            if (r.bits() <= 8) {
                const Rgb c = r.palette()[r.indices()[i]];
                p[0] = c.blue, p[1] = c.green, p[2] = c.red;
            } else if (r.bits() == 16) {
                const uint16_t v = r.pixels555()[i];
                auto ex = [](int l) { return uint8_t(l << 3 | l >> 2); };
                p[0] = ex(v & 31), p[1] = ex((v >> 5) & 31), p[2] = ex((v >> 10) & 31);
            } else {
                std::memcpy(p, r.pixels32().data() + 4 * i, 3);
            }
        }
    return d;
}

ColorReducer converted(const DibRecord& pic, int bits, int32_t palette, int32_t dither, int32_t mode = 0,
                       int32_t transform = 0)
{
    ColorReducer r;
    EXPECT_NE(r.SetConversion(ColorReducer::kOutputBmp, mode, bits, palette, dither), 0);
    EXPECT_NE(r.SetSource(pic), 0);
    EXPECT_NE(r.SetTransform(transform, 0, 0), 0);
    EXPECT_NE(r.Convert(), 0);
    return r;
}

// Largest difference between the mean colour of a 16 x 16 block of a and of b.
double worstBlockMean(const DibRecord& a, const DibRecord& b)
{
    double worst = 0;
    for (int by = 0; by + 16 <= a.height; by += 16)
        for (int bx = 0; bx + 16 <= a.width; bx += 16)
            for (int c = 0; c < 3; ++c) {
                long sa = 0, sb = 0;
                for (int y = by; y < by + 16; ++y)
                    for (int x = bx; x < bx + 16; ++x) {
                        sa += a.row(y)[4 * x + c];
                        sb += b.row(y)[4 * x + c];
                    }
                worst = std::max(worst, std::fabs(double(sa - sb)) / 256.0);
            }
    return worst;
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
    // The GIF reader of the optimised save's preview puts the rows back too.
    const auto direct = loadGifPicture(path);
    ASSERT_TRUE(direct.has_value());
    EXPECT_EQ(direct->bits, pic.bits);
    EXPECT_FALSE(loadGifPicture(dir.path("none.gif")).has_value());
    const std::vector<uint8_t> whole = readFile(path);
    writeFile(dir.path("cut.gif"), std::vector<uint8_t>(whole.begin(), whole.begin() + 30));
    EXPECT_FALSE(loadGifPicture(dir.path("cut.gif")).has_value());
    // The same conversion written plainly.
    ASSERT_NE(r.SaveGif(dir.path("p.gif")), 0);
    EXPECT_FALSE(gifFacts(readFile(dir.path("p.gif"))).interlaced);
    EXPECT_EQ(loadPlatformPicture(dir.path("p.gif"))->bits, pic.bits);
}

TEST(ColorReducer, OptimalPaletteIsExactWhenTheColoursFitAndFittedOtherwise)
{
    PictureTempDir dir;
    // 2^bits colours at every depth come through unchanged.
    for (int bits = 1; bits <= 8; ++bits) {
        SCOPED_TRACE(bits);
        DibRecord pic = blank(1 << bits, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < (1 << bits); ++x) {
                uint8_t* p = pic.row(y) + 4 * x;
                p[0] = uint8_t(x * 7), p[1] = uint8_t(255 - x), p[2] = uint8_t(x * 13 + y * 0);
            }
        const ColorReducer r = converted(pic, bits, ColorReducer::kPaletteOptimal, ColorReducer::kDitherNone);
        EXPECT_EQ(resultPicture(r).bits, pic.bits);
    }
    // 32 x 32 = 1024 colours into 256 (NeuQuant), 64 (Wu) and 2.
    DibRecord pic = blank(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = pic.row(y) + 4 * x;
            p[0] = uint8_t(x * 8), p[1] = uint8_t(y * 8), p[2] = 128;
        }
    struct Case {
        int bits;
        int tolerance;
    };
    for (const Case c : {Case{8, 12}, Case{6, 24}, Case{1, 255}}) {
        SCOPED_TRACE(c.bits);
        ColorReducer r;
        const std::string path = dir.path("many" + std::to_string(c.bits) + ".gif");
        ASSERT_NE(r.ReduceToFile(pic, path, 1, 0, c.bits, 0x4000, 0), 0);
        EXPECT_EQ(gifFacts(readFile(path)).tableSize, 1 << c.bits);
        EXPECT_EQ(r.palette().size(), size_t(1) << c.bits);
        const auto back = loadPlatformPicture(path);
        ASSERT_TRUE(back.has_value());
        EXPECT_LE(coloursOf(*back).size(), size_t(1) << c.bits);
        EXPECT_LE(testing::maxColourDifference(pic, *back), c.tolerance);
    }
}

TEST(ColorReducer, FixedPalettesAtTheirDepths)
{
    const DibRecord pic = gradient(64, 48, false);
    struct Case {
        int32_t flags;
        int bits;
        size_t count;                    // entries of the palette proper
        std::vector<uint32_t> includes;  // 0xRRGGBB
        bool allGrey;
    };
    const Case cases[] = {
        {0x1000, 1, 2, {0x000000, 0xFFFFFF}, true},
        {0x1000, 2, 4, {0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF}, true},
        {0x1000, 3, 8, {0xFF0000, 0x00FFFF, 0xFFFF00}, false},
        {0x1000, 4, 16, {0x800000, 0x008080, 0xC0C0C0, 0x808080, 0xFF00FF}, false},
        {0x1000, 8, 20, {0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4}, false},
        {0x8002, 1, 2, {0x000000, 0xFFFFFF}, true},
        {0x8004, 2, 4, {0x000000, 0x00FFFF, 0xFF00FF, 0xFFFFFF}, false},
        {0x8008, 3, 8, {0x000000, 0xFF00FF, 0xFFFFFF}, false},
        {0x8010, 4, 16, {0x005500, 0xFFAAFF}, false},
        {0x8000, 4, 16, {0x005500, 0xFFAAFF}, false},   // the depth's own count
        {0x8100, 8, 256, {0x249255, 0xFFFFFF}, false},
        {0x8210, 4, 16, {0xAA5500, 0x5555FF, 0xAAAAAA}, false},
        {0x8210, 8, 16, {0xAA5500}, false},
        {0x84D8, 8, 216, {0x336699, 0xCCFF00}, false},
        {0x8300, 8, 256, {0x336699, 0xFFFBF0, 0x0C0C0C, 0xF3F3F3}, false},
        {0x88FF, 3, 8, {0x000000, 0x242424, 0x494949, 0xB6B6B6, 0xFFFFFF}, true},
        {0x88FF, 8, 256, {0x7F7F7F, 0x808080}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.flags << " at " << std::dec << c.bits);
        const ColorReducer r = converted(pic, c.bits, c.flags, ColorReducer::kDitherNone);
        ASSERT_EQ(r.palette().size(), size_t(1) << c.bits);
        std::set<uint32_t> entries;
        for (size_t i = 0; i < c.count; ++i) entries.insert(hexOf(r.palette()[i]));
        for (uint32_t want : c.includes) EXPECT_TRUE(entries.count(want)) << std::hex << want;
        if (c.flags == 0x84D8) {
            for (uint32_t e : entries)
                for (int s = 0; s < 24; s += 8) EXPECT_EQ(((e >> s) & 0xFF) % 51, 0u);
        }
        if (c.allGrey) {
            for (uint32_t e : entries) EXPECT_TRUE((e & 0xFF) == (e >> 16) && ((e >> 8) & 0xFF) == (e & 0xFF));
        }
        if (c.flags != 0x8300) {
            EXPECT_EQ(entries.size(), c.count);   // the halftone palette repeats a few
        }
        // Every pixel took the nearest entry of the palette proper, the
        // first one on a tie.
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x) {
                const uint8_t* p = pic.row(y) + 4 * x;
                size_t best = 0;
                int bestD = 1 << 30;
                for (size_t i = 0; i < c.count; ++i) {
                    const Rgb& e = r.palette()[i];
                    const int d = (p[0] - e.blue) * (p[0] - e.blue) + (p[1] - e.green) * (p[1] - e.green)
                                  + (p[2] - e.red) * (p[2] - e.red);
                    if (d < bestD) bestD = d, best = i;
                }
                ASSERT_EQ(r.indices()[size_t(y * pic.width + x)], best) << x << "," << y;
            }
    }
}

TEST(ColorReducer, DitherModesAreDistinctAndDiffusionKeepsBlockMeans)
{
    PictureTempDir dir;
    const int32_t modes[] = {0, 1, 2, 4, 8, 16, 32, 64, 256, 512, 1024};
    // Each mode writes a different file of a smooth gradient.
    const DibRecord colour = gradient(128, 96, false);
    std::map<std::string, int32_t> files;
    for (int32_t mode : modes) {
        ColorReducer r;
        const std::string path = dir.path(std::string("d").append(std::to_string(mode)).append(".gif"));
        ASSERT_NE(r.ReduceToFile(colour, path, 1, 0, 6, 0x4000, mode), 0) << mode;
        const std::vector<uint8_t> bytes = readFile(path);
        const auto [it, fresh] = files.emplace(std::string(bytes.begin(), bytes.end()), mode);
        EXPECT_TRUE(fresh) << "mode " << mode << " wrote the file of mode " << it->second;
    }
    // So do the ordered and diffusing modes at 16 bits.
    std::set<std::u16string> pictures;
    for (int32_t mode : {0, 2, 4, 8, 16, 32, 64, 256, 512, 1024}) {
        const std::vector<uint16_t> px = converted(colour, 16, 0x1000, mode).pixels555();
        EXPECT_TRUE(pictures.insert(std::u16string(px.begin(), px.end())).second) << mode;
    }

    // With 16 colours or more, diffusion (and the two ordered modes) keep
    // every 16 x 16 block's mean colour within 3 of the original, on
    // gradients that the palette spans.
    const DibRecord grey = gradient(256, 256, true);
    const DibRecord wide = gradient(256, 256, false);
    struct Palette {
        const DibRecord* picture;
        int32_t flags;
        int bits;
    };
    for (const Palette p : {Palette{&grey, 0x88FF, 4}, Palette{&grey, 0x4000, 4}, Palette{&grey, 0x4000, 8},
                            Palette{&wide, 0x8040, 6}, Palette{&wide, 0x8100, 8}, Palette{&wide, 0x84D8, 8}}) {
        for (int32_t mode : {2, 4, 8, 16, 32, 64, 256, 512, 1024}) {
            if ((mode == 2 || mode == 4) && p.picture != &grey) continue;
            SCOPED_TRACE(::testing::Message() << std::hex << p.flags << std::dec << " mode " << mode);
            EXPECT_LE(worstBlockMean(*p.picture, resultPicture(converted(*p.picture, p.bits, p.flags, mode))), 3.0);
        }
    }
}

TEST(ColorReducer, BinaryThresholdsEachChannelAtTheMiddle)
{
    DibRecord pic = blank(4, 1);
    const uint8_t values[4][3] = {{127, 128, 10}, {200, 0, 255}, {128, 128, 128}, {127, 127, 127}};   // blue, green, red
    for (int x = 0; x < 4; ++x) std::memcpy(pic.row(0) + 4 * x, values[x], 3);
    const DibRecord out = resultPicture(converted(pic, 3, 0x8008, ColorReducer::kDitherBinary));
    const uint8_t want[4][3] = {{0, 255, 0}, {255, 0, 255}, {255, 255, 255}, {0, 0, 0}};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(std::memcmp(out.row(0) + 4 * x, want[x], 3), 0) << x;
}

TEST(ColorReducer, TransformsAndGreyscale)
{
    const DibRecord pic = makePicture(5, 4);
    auto at = [](const DibRecord& d, int x, int y, int c) { return d.row(y)[4 * x + c]; };
    struct Case {
        int32_t flags;
        bool flipV, flipH, invert;
    };
    for (const Case c : {Case{0, false, false, false}, Case{0x1010000, true, false, false},
                         Case{0x1020000, false, true, false}, Case{0x3100000, false, false, true},
                         Case{0x1010000 | 0x3100000, true, false, true},
                         Case{0x1010000 | 0x1020000 | 0x3100000, true, true, true}}) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.flags);
        for (int bits : {8, 24}) {
            const DibRecord out = resultPicture(converted(pic, bits, 0x4000, 0, 0, c.flags));
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 5; ++x)
                    for (int ch = 0; ch < 3; ++ch) {
                        const uint8_t v = at(pic, c.flipH ? 4 - x : x, c.flipV ? 3 - y : y, ch);
                        ASSERT_EQ(at(out, x, y, ch), c.invert ? 255 - v : v) << bits << ": " << x << "," << y;
                    }
        }
    }
    // Greyscale after inverting: (299 red + 587 green + 114 blue + 500) / 1000.
    const DibRecord grey = resultPicture(converted(pic, 24, 0x1000, 0, ColorReducer::kGreyscale, 0x3100000));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const int r = 255 - at(pic, x, y, 2), g = 255 - at(pic, x, y, 1), b = 255 - at(pic, x, y, 0);
            const int v = (299 * r + 587 * g + 114 * b + 500) / 1000;
            for (int ch = 0; ch < 3; ++ch) ASSERT_EQ(at(grey, x, y, ch), v);
        }
    // A greyscale reduction uses grey entries only.
    const ColorReducer r = converted(gradient(40, 30, false), 4, 0x4000, 8, ColorReducer::kGreyscale);
    for (uint8_t i : r.indices()) {
        const Rgb c = r.palette()[i];
        ASSERT_TRUE(c.red == c.green && c.green == c.blue);
    }
}

TEST(ColorReducer, BmpAtEveryDepth)
{
    PictureTempDir dir;
    const DibRecord pic = gradient(37, 11, false);   // odd width: every row is padded
    struct Case {
        int bits, fileBits;
        int32_t palette;
        int32_t dither;
    };
    for (const Case c : {Case{1, 1, 0x8002, 8}, Case{2, 4, 0x8004, 2}, Case{4, 4, 0x4000, 0}, Case{5, 8, 0x4000, 16},
                         Case{8, 8, 0x8300, 4}, Case{16, 16, 0x1000, 8}, Case{24, 24, 0x1000, 0}}) {
        SCOPED_TRACE(c.bits);
        ColorReducer r;
        const std::string path = dir.path(std::string("b").append(std::to_string(c.bits)).append(".bmp"));
        ASSERT_NE(r.ReduceToFile(pic, path, ColorReducer::kOutputBmp, 0, c.bits, c.palette, c.dither), 0);
        const DibRecord want = resultPicture(r);
        const std::vector<uint8_t> f = readFile(path);
        ASSERT_GE(f.size(), 54u);
        EXPECT_EQ(f[28], c.fileBits);
        EXPECT_EQ(f[46] | f[47] << 8, c.bits <= 8 ? 1 << c.bits : 0);
        EXPECT_EQ(f.size(), size_t(f[2] | f[3] << 8 | f[4] << 16));
        // FreeImage reads it at its depth with the same pixels...
        FIBITMAP* dib = FreeImage_Load(FIF_BMP, path.c_str(), 0);
        ASSERT_NE(dib, nullptr);
        EXPECT_EQ(int(FreeImage_GetBPP(dib)), c.fileBits);
        if (c.bits == 16) {
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 37; ++x) {
                    const uint8_t* s = FreeImage_GetScanLine(dib, 10 - y) + 2 * x;
                    ASSERT_EQ(uint16_t(s[0] | s[1] << 8), r.pixels555()[size_t(y * 37 + x)]);
                }
        } else {
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 37; ++x) {
                    RGBQUAD q{};
                    if (c.bits <= 8) {
                        BYTE index = 0;
                        FreeImage_GetPixelIndex(dib, unsigned(x), unsigned(10 - y), &index);
                        q = FreeImage_GetPalette(dib)[index];
                    } else {
                        FreeImage_GetPixelColor(dib, unsigned(x), unsigned(10 - y), &q);
                    }
                    const uint8_t* p = want.row(y) + 4 * x;
                    ASSERT_EQ(q.rgbBlue, p[0]);
                    ASSERT_EQ(q.rgbGreen, p[1]);
                    ASSERT_EQ(q.rgbRed, p[2]);
                }
        }
        FreeImage_Unload(dib);
        // ... and so does the platform's loader (16 bits within its own
        // widening of five bits to eight, which scales rather than repeats).
        const auto back = loadPlatformPicture(path);
        ASSERT_TRUE(back.has_value());
        EXPECT_LE(testing::maxColourDifference(*back, want), c.bits == 16 ? 7 : 0);
    }
}

TEST(ColorReducer, RefusesWhatItDoesNotKnowAndWritesNothing)
{
    PictureTempDir dir;
    const DibRecord pic = makePicture(3, 2);
    const std::string path = dir.path("keep.gif");
    writeFile(path, {'o', 'l', 'd'});
    struct Case {
        int kind, mode, bits, palette, dither;
    };
    const Case cases[] = {
        {3, 0, 8, 0x4000, 0},      // no such output
        {1, 1, 8, 0x4000, 0},      // no such colour mode
        {1, 0, 0, 0x4000, 0},      {0, 0, 9, 0x4000, 0}, {0, 0, 12, 0x4000, 0}, {0, 0, 32, 0x1000, 0},
        {1, 0, 16, 0x1000, 0},     // a GIF holds no direct colour
        {2, 0, 24, 0x1000, 0},     //
        {1, 0, 8, 0x2000, 0},      // unknown palette bits
        {1, 0, 8, 0x8600, 0},      // two palette kinds
        {1, 0, 3, 0x8210, 0},      // 16 VGA colours in 8
        {1, 0, 7, 0x84D8, 0},      // 216 in 128
        {1, 0, 4, 0x8020, 0},      // 32 fixed colours in 16
        {1, 0, 8, 0x8003, 0},      // not a power of two
        {1, 0, 8, 0x4000, 128},    // no dither has 128
        {1, 0, 8, 0x4000, 3},      // two dithers at once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.kind << " " << c.mode << " " << c.bits << " " << std::hex << c.palette
                                          << " " << c.dither);
        ColorReducer r;
        EXPECT_EQ(r.ReduceToFile(pic, path, c.kind, c.mode, c.bits, c.palette, c.dither), 0);
        EXPECT_EQ(r.SetConversion(c.kind, c.mode, c.bits, c.palette, c.dither), 0);
    }
    ColorReducer r;
    EXPECT_EQ(r.ReduceToFile(pic, path, 1, 0, 8, 0x4000, 0, 0, 0, 2, 2), 0);   // a part of the picture
    DibRecord bad = pic;
    bad.bits.clear();
    EXPECT_EQ(r.ReduceToFile(bad, path, 1, 0, 8, 0x4000, 0), 0);
    // The transform takes the three flags and zeros only.
    for (const int32_t flags : {0x1000000, 0x0010000, 0x1040000, 0x3100001})
        EXPECT_EQ(r.SetTransform(flags, 0, 0), 0) << std::hex << flags;
    EXPECT_EQ(r.SetTransform(0x1010000, 1, 0), 0);
    EXPECT_EQ(r.SetTransform(0x1010000, 0, -1), 0);
    // Out of order: nothing converted yet; a 24-bit result has no GIF.
    ColorReducer fresh;
    EXPECT_EQ(fresh.Convert(), 0);
    EXPECT_EQ(fresh.SaveGif(path), 0);
    EXPECT_EQ(fresh.SaveBmp(path), 0);
    const ColorReducer deep = converted(pic, 24, 0x1000, 0);
    EXPECT_EQ(ColorReducer(deep).SaveGif(path), 0);
    EXPECT_EQ(readFile(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    // A folder that does not exist.
    EXPECT_EQ(r.ReduceToFile(pic, dir.path("no/x.gif"), 1, 0, 8, 0x4000, 0), 0);
    EXPECT_EQ(dir.entries(), 2u);
}

TEST(ColorReducer, AFailedWriteKeepsTheOldFile)
{
    PictureTempDir dir;
    const DibRecord pic = gradient(300, 200, false);
    for (const int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        const std::string path = dir.path("full" + std::to_string(kind));
        writeFile(path, {'o', 'l', 'd'});
        ColorReducer r;
        {
            ScopedFileSizeLimit limit(1000);
            EXPECT_EQ(r.ReduceToFile(pic, path, kind, 0, 8, 0x4000, 8), 0);
        }
        EXPECT_TRUE(r.converted());
        EXPECT_EQ(readFile(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    }
    EXPECT_EQ(dir.entries(), 4u);   // the three old files and the private folder
}

} // namespace
} // namespace tq
