// The two memory bitmaps: their layout, the bilinear and area-averaging
// reductions, the BMP file they save, the ways they paint out, and the alpha
// members of the 32-bit one.
#include "document/PictureFixtures.h"
#include "core/ByteOrder.h"
#include "gdi/cAlphaDibSection.h"
#include "gdi/cDIBSection.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <filesystem>

using namespace tq;
using tq::testing::PictureTempDir;
using tq::testing::pictureOf;
using tq::testing::readFile;

namespace {

// Pixel (x, y) of a bitmap counted from the picture's top row, whatever
// the memory order.
const uint8_t* at(const DibSection& dib, int x, int y, int bytesPerPixel)
{
    return dib.DIBSectionBitsPtr() + size_t(dib.BytesPerScanLine()) * size_t(dib.Height() - 1 - y) +
           size_t(bytesPerPixel) * size_t(x);
}

// A 32-bit alpha bitmap filled pixel by pixel (memory row r, column x).
template <class F>
void fillAlpha(cAlphaDibSection& dib, F f)
{
    for (int r = 0; r < dib.Height(); ++r)
        for (int x = 0; x < dib.Width(); ++x) {
            uint8_t* p = dib.DIBSectionBitsPtr() + size_t(dib.BytesPerScanLine()) * size_t(r) + 4u * size_t(x);
            const std::array<uint8_t, 4> v = f(x, r);
            std::copy(v.begin(), v.end(), p);
        }
}

uint8_t* memPixel(cAlphaDibSection& dib, int x, int r)
{
    return dib.DIBSectionBitsPtr() + size_t(dib.BytesPerScanLine()) * size_t(r) + 4u * size_t(x);
}

} // namespace

TEST(DibSection, RowsArePaddedToWholeWordsAndHeldBottomUp)
{
    const int widths[] = {1, 2, 3, 4, 5};
    const int padded[] = {4, 8, 12, 12, 16};
    for (int i = 0; i < 5; ++i) {
        cDIBSection d;
        cAlphaDibSection a;
        ASSERT_TRUE(d.Create(widths[i], 3));
        ASSERT_TRUE(a.Create(widths[i], 3));
        EXPECT_EQ(d.BytesPerScanLine(), padded[i]) << widths[i];
        EXPECT_EQ(d.bitmapInfo().bmiHeader.biSizeImage, 3 * padded[i]);
        EXPECT_EQ(d.bitmapInfo().bmiHeader.biBitCount, 24);
        EXPECT_EQ(a.BytesPerScanLine(), 4 * widths[i]);
        EXPECT_EQ(a.bitmapInfo().bmiHeader.biBitCount, 32);
    }
    // The picture's top row is the last row in memory.
    const DibRecord pic = pictureOf(2, 2, [](int x, int y) { return std::array<uint8_t, 3>{uint8_t(10 * x + y), 0, 0}; });
    cDIBSection d;
    d.CreateFromPicture(pic);
    EXPECT_EQ(d.DIBSectionBitsPtr()[0], 1);                          // bottom row, x 0
    EXPECT_EQ(d.DIBSectionBitsPtr()[d.BytesPerScanLine() + 3], 10);  // top row, x 1
}

TEST(DibSection, LifecycleFromEmptyToCreatedAndBack)
{
    cDIBSection d;
    EXPECT_EQ(d.hdc(), nullptr);
    EXPECT_EQ(d.hDib(), 0u);
    d.ClearUp();
    d.ClearUp();
    EXPECT_EQ(d.Width(), 0);

    // A picture with no pixels (a metafile has none here) leaves it Empty.
    d.CreateFromPicture(DibRecord{});
    EXPECT_EQ(d.hDib(), 0u);

    d.setUseDrawDib(true);
    ASSERT_TRUE(d.Create(7, 5));
    EXPECT_TRUE(d.UseDrawDib()) << "Create carries DrawDib over";
    EXPECT_NE(d.hdc(), nullptr);
    EXPECT_NE(d.DIBSectionBitsPtr(), nullptr);
    d.ClearUp();
    EXPECT_FALSE(d.UseDrawDib());
    EXPECT_EQ(d.hdc(), nullptr);
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(d.Width(), 7) << "the header keeps the last size";
    EXPECT_EQ(d.Height(), 5);

    // CreateDIB on its own makes a section without selecting it.
    ASSERT_TRUE(d.Create(4, 4));
    const uintptr_t selected = d.hDib();
    uintptr_t made = 0;
    EXPECT_TRUE(d.CreateDIB(d.hdc(), 8, 2, made));
    EXPECT_NE(made, 0u);
    EXPECT_NE(made, selected);
    EXPECT_EQ(d.hDib(), selected);
    EXPECT_EQ(d.Width(), 8);
    EXPECT_EQ(d.hdc()->width, 4) << "the old section stays selected";
    d.ClearUp();
    EXPECT_EQ(d.hDib(), 0u);

    // Sizes that cannot be made: the object stays Empty.
    EXPECT_FALSE(d.Create(0, 5));
    EXPECT_FALSE(d.Create(5, 0));
    EXPECT_FALSE(d.Create(-3, 5));
    EXPECT_FALSE(d.Create(40000, 2));
    EXPECT_EQ(d.hdc(), nullptr);
}

TEST(DibSection, ResampleKeepsProportionsByTruncationAndAlphaResampleRoundsUp)
{
    const DibRecord pic = tq::testing::makePicture(100, 75);
    cDIBSection d;
    d.CreateFromPicture(pic);
    auto small = d.Resample(70, -1);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Width(), 70);
    EXPECT_EQ(small->Height(), 52);   // 70 x 75 \ 100

    cAlphaDibSection a;
    a.CreateFromPicture(pic);
    auto reduced = a.AlphaResample(70);
    ASSERT_NE(reduced, nullptr);
    EXPECT_EQ(reduced->Height(), 53);

    cAlphaDibSection b;
    b.CreateFromPicture(tq::testing::makePicture(140, 100));
    EXPECT_EQ(b.AlphaResample(70)->Height(), 50);

    // A new bitmap that cannot be made gives nothing, or an error.
    EXPECT_EQ(d.Resample(0, 10), nullptr);
    EXPECT_EQ(d.Resample(10, 0), nullptr);
    EXPECT_THROW(a.AlphaResample(0), std::domain_error);
    cDIBSection none;
    EXPECT_THROW(none.Resample(10, -1), std::domain_error);
    cAlphaDibSection empty;
    EXPECT_THROW(empty.AlphaResample(10), std::domain_error);
}

TEST(DibSection, BilinearResamplingRoundsEachStepHalfToEven)
{
    struct Case {
        std::vector<uint8_t> blues;   // a W x 1 source
        int newW;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        // xs = 2 / 2 = 1: pixel 0 and pixel 1; pixel 2 carries no weight.
        {{10, 20, 30}, 2, {10, 20}},
        // xs = 2 / 4 = 0.5: pixel 1 halfway between 10 and 13 is 11.5 -> 12,
        // between 10 and 11 is 10.5 -> 10.
        {{10, 13, 200}, 4, {10, 12, 13, 106}},
        {{10, 11, 200}, 4, {10, 10, 11, 106}},
        // Enlarging follows the same rule.
        {{0, 100}, 4, {0, 25, 50, 75}},
        // A single pixel has no neighbour: it is read from inside.
        {{77}, 3, {77, 77, 77}},
    };
    for (const Case& c : cases) {
        const int w = int(c.blues.size());
        const DibRecord pic = pictureOf(w, 1, [&](int x, int) { return std::array<uint8_t, 3>{c.blues[size_t(x)], 5, 9}; });
        cDIBSection d;
        d.CreateFromPicture(pic);
        auto out = d.Resample(c.newW, 1);
        ASSERT_NE(out, nullptr);
        for (int x = 0; x < c.newW; ++x) {
            EXPECT_EQ(at(*out, x, 0, 3)[0], c.expected[size_t(x)]) << w << " -> " << c.newW << " at " << x;
            EXPECT_EQ(at(*out, x, 0, 3)[1], 5);
        }
        // The 32-bit twin reads the same colours past its alpha bytes.
        cAlphaDibSection a;
        a.CreateFromPicture(pic);
        auto out2 = a.Resample(c.newW, 1);
        for (int x = 0; x < c.newW; ++x) EXPECT_EQ(at(*out2, x, 0, 3)[0], c.expected[size_t(x)]);
    }

    // Both directions: a 2 x 2 checker to 3 x 3 (steps 1/3).
    const DibRecord checker = pictureOf(2, 2, [](int x, int y) {
        return std::array<uint8_t, 3>{uint8_t((x + y) % 2 ? 90 : 0), 0, 0};
    });
    cDIBSection d;
    d.CreateFromPicture(checker);
    auto out = d.Resample(3, 3);
    // Memory row 1 (sy = 1/3) at column 1 (sx = 1/3): left = round(2/3 x 90 +
    // 1/3 x 0) = 60 (memory row 0 is the picture's bottom row: 90 0),
    // right = round(2/3 x 0 + 1/3 x 90) = 30, then round(2/3 x 60 + 1/3 x 30).
    const uint8_t* p = out->DIBSectionBitsPtr() + out->BytesPerScanLine() + 3;
    EXPECT_EQ(p[0], 50);
}

TEST(DibSection, ResampleToItsOwnSizeIsAnExactCopy)
{
    const DibRecord pic = tq::testing::makePicture(9, 4);
    cDIBSection d;
    d.CreateFromPicture(pic);
    auto same = d.Resample(9, 4);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(0, std::memcmp(same->DIBSectionBitsPtr(), d.DIBSectionBitsPtr(), size_t(d.bitmapInfo().bmiHeader.biSizeImage)));

    // The 32-bit one drops its alpha bytes into a 24-bit copy.
    cAlphaDibSection a;
    a.CreateFromPicture(pic);
    a.SetAlpha(255);
    auto copy = a.Resample(9, 4);
    EXPECT_EQ(copy->bitmapInfo().bmiHeader.biBitCount, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(at(*copy, x, y, 3)[c], pic.row(y)[4 * x + c]);
}

TEST(DibSection, SavePictureWritesA58ByteHeaderAndPaddedRowsBottomFirst)
{
    PictureTempDir dir;
    const DibRecord pic = pictureOf(2, 2, [](int x, int y) {
        return std::array<uint8_t, 3>{uint8_t(1 + x + 2 * y), uint8_t(10 + x + 2 * y), uint8_t(20 + x + 2 * y)};
    });
    cDIBSection d;
    d.CreateFromPicture(pic);
    const std::string file = dir.path("two.bmp");
    ASSERT_TRUE(d.SavePicture(file));
    const std::vector<uint8_t> bytes = readFile(file);
    ASSERT_EQ(bytes.size(), 74u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(getLE32(&bytes[2]), 74u);
    EXPECT_EQ(getLE32(&bytes[10]), 58u);
    EXPECT_EQ(getLE32(&bytes[14]), 40u);
    EXPECT_EQ(int32_t(getLE32(&bytes[22])), 2);   // positive: bottom-up
    EXPECT_EQ(getLE16(&bytes[28]), 24);
    EXPECT_EQ(getLE32(&bytes[34]), 16u);
    EXPECT_EQ(getLE32(&bytes[54]), 0u);           // the colour entry
    // Bottom row first: y = 1 gives 3, 12, 22 and 4, 13, 23, then 2 padding bytes.
    const std::vector<uint8_t> rows = {3, 12, 22, 4, 13, 23, 0, 0, 1, 10, 20, 2, 11, 21, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 58, bytes.end()), rows);

    cAlphaDibSection a;
    a.CreateFromPicture(pic);
    ASSERT_TRUE(a.SavePicture(dir.path("alpha.bmp")));
    const std::vector<uint8_t> alpha = readFile(dir.path("alpha.bmp"));
    ASSERT_EQ(alpha.size(), 74u);
    EXPECT_EQ(getLE16(&alpha[28]), 32);
    EXPECT_EQ(getLE32(&alpha[34]), 16u);
}

TEST(DibSection, SaveToAFileThatCannotBeMadeRaisesError17AndWritesNothing)
{
    PictureTempDir dir;
    cDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    const std::string file = dir.path("missing-folder/x.bmp");
    try {
        d.SavePicture(file);
        FAIL() << "no error";
    } catch (const DibFileError& e) {
        EXPECT_EQ(e.number(), 17);
        EXPECT_TRUE(e.source().ends_with(".cDIBSection")) << e.source();
        EXPECT_FALSE(e.description().empty());
    }
    EXPECT_FALSE(std::filesystem::exists(file));

    // No pixel memory: the pixel write fails, and the file it would replace
    // stays as it was.
    const std::string kept = dir.path("kept.bmp");
    ASSERT_TRUE(d.SavePicture(kept));
    const std::vector<uint8_t> before = readFile(kept);
    d.ClearUp();
    EXPECT_FALSE(d.SavePicture(kept));
    EXPECT_EQ(readFile(kept), before);
    EXPECT_EQ(dir.entries(), 2u) << "no temporary file left behind";
}

TEST(DibSection, PaintPictureCopiesLeavesOutTheTransparentColourOrDrawsThroughDrawDib)
{
    // Source: red on the left, blue on the right.
    const DibRecord pic = pictureOf(2, 1, [](int x, int) {
        return x == 0 ? std::array<uint8_t, 3>{0, 0, 255} : std::array<uint8_t, 3>{255, 0, 0};
    });
    cDIBSection d;
    d.CreateFromPicture(pic);
    const int32_t red = 0x0000FF;
    auto paint = [&](auto&& call) {
        DibRecord target = pictureOf(2, 1, [](int, int) { return std::array<uint8_t, 3>{7, 7, 7}; });
        call(BitmapSurface::topDown32(target.bits.data(), 2, 1));
        return target;
    };
    DibRecord all = paint([&](const BitmapSurface& s) { d.PaintPicture(s); });
    EXPECT_EQ(all.bits[2], 255);
    EXPECT_EQ(all.bits[4], 255);
    DibRecord noRed = paint([&](const BitmapSurface& s) { d.PaintPicture(s, 0, 0, -1, -1, 0, 0, kRopSrcCopy, red); });
    EXPECT_EQ(noRed.bits[2], 7) << "the red pixel is left out";
    EXPECT_EQ(noRed.bits[4], 255);
    DibRecord inverted = paint([&](const BitmapSurface& s) { d.PaintPicture(s, 0, 0, -1, -1, 0, 0, kRopNotSrcCopy); });
    EXPECT_EQ(inverted.bits[2], 0);
    EXPECT_EQ(inverted.bits[0], 255);

    d.setUseDrawDib(true);
    DibRecord drawDib = paint([&](const BitmapSurface& s) { d.PaintPicture(s, 0, 0, -1, -1, 0, 0, kRopNotSrcCopy, red); });
    EXPECT_EQ(drawDib.bits, all.bits) << "DrawDib ignores the colour and the raster code";
    d.setUseDrawDib(false);
    EXPECT_FALSE(d.UseDrawDib());
    DibRecord again = paint([&](const BitmapSurface& s) { d.PaintPicture(s, 0, 0, -1, -1, 0, 0, kRopSrcCopy, red); });
    EXPECT_EQ(again.bits, noRed.bits);

    // Part of the bitmap at an offset, clipped to the target.
    DibRecord part = paint([&](const BitmapSurface& s) { d.PaintPicture(s, 1, 0, 5, 1, 0, 0); });
    EXPECT_EQ(part.bits[0], 7);
    EXPECT_EQ(part.bits[6], 255);
}

TEST(AlphaDibSection, BlockAverageMeansThePremultipliedColourOfTheOpaquePixels)
{
    struct Case {
        std::array<uint8_t, 4> alphas;
        uint8_t blue;
        uint8_t expectedBlue, expectedAlpha;
    };
    const Case cases[] = {
        {{255, 255, 0, 0}, 100, 100, 127},   // mean over the two opaque pixels; 510 \ 4
        {{0, 0, 0, 0}, 100, 0, 0},           // nothing opaque: colour stays 0
        {{255, 255, 255, 255}, 100, 100, 255},
        {{128, 128, 128, 128}, 200, 100, 128},   // 200 x 128 \ 255 = 100
    };
    for (const Case& c : cases) {
        cAlphaDibSection a;
        ASSERT_TRUE(a.Create(2, 2));
        fillAlpha(a, [&](int x, int r) {
            return std::array<uint8_t, 4>{c.blue, 0, 0, c.alphas[size_t(2 * r + x)]};
        });
        auto out = a.AlphaResample(1);
        ASSERT_EQ(out->Width(), 1);
        ASSERT_EQ(out->Height(), 1);
        EXPECT_EQ(out->DIBSectionBitsPtr()[0], c.expectedBlue);
        EXPECT_EQ(out->DIBSectionBitsPtr()[3], c.expectedAlpha);
    }
}

TEST(AlphaDibSection, CoverageAverageCountsTransparentPixelsInTheArea)
{
    // 3 x 3 to width 2: not a whole factor. An opaque picture may come out a
    // little short of opaque through the two truncations.
    cAlphaDibSection a;
    ASSERT_TRUE(a.Create(3, 3));
    fillAlpha(a, [](int, int) { return std::array<uint8_t, 4>{200, 200, 200, 255}; });
    auto opaque = a.AlphaResample(2);
    ASSERT_EQ(opaque->Width(), 2);
    ASSERT_EQ(opaque->Height(), 2);
    int below = 0;
    for (int r = 0; r < 2; ++r)
        for (int x = 0; x < 2; ++x) {
            EXPECT_GE(memPixel(*opaque, x, r)[3], 250);
            below += memPixel(*opaque, x, r)[3] < 255;
        }
    EXPECT_GT(below, 0);

    // One fully transparent pixel darkens the destination pixel it falls
    // into here, where the block average would leave the colour alone.
    memPixel(a, 0, 0)[3] = 0;
    auto darker = a.AlphaResample(2);
    EXPECT_LT(memPixel(*darker, 0, 0)[0], memPixel(*opaque, 0, 0)[0]);
    cAlphaDibSection b;
    ASSERT_TRUE(b.Create(4, 4));
    fillAlpha(b, [](int x, int r) { return std::array<uint8_t, 4>{200, 200, 200, uint8_t(x == 0 && r == 0 ? 0 : 255)}; });
    auto block = b.AlphaResample(2);
    EXPECT_EQ(memPixel(*block, 0, 0)[0], 200);
}

TEST(AlphaDibSection, AlphaMembers)
{
    const DibRecord pic = pictureOf(2, 1, [](int x, int) {
        return x == 0 ? std::array<uint8_t, 3>{0, 0, 255} : std::array<uint8_t, 3>{255, 0, 0};
    });
    cAlphaDibSection a;
    a.CreateFromPicture(pic);
    EXPECT_TRUE(a.AreAllAlphaBytesZero()) << "a copy carries colours only";
    a.SetAlpha(255);
    EXPECT_FALSE(a.AreAllAlphaBytesZero());
    EXPECT_EQ(memPixel(a, 0, 0)[2], 255) << "255 keeps the colours";
    EXPECT_EQ(memPixel(a, 0, 0)[3], 255);

    a.SetColourTransparent(0x0000FF);   // red
    EXPECT_EQ(memPixel(a, 0, 0)[3], 0);
    EXPECT_EQ(memPixel(a, 1, 0)[3], 255) << "blue is not red";

    a.SetAlpha(128);
    EXPECT_EQ(memPixel(a, 0, 0)[2], 128);   // 255 x 128 \ 255
    a.PreMultiplyAlpha();
    EXPECT_EQ(memPixel(a, 0, 0)[2], 64);    // 128 x 128 \ 255
    a.PreMultiplyAlpha();
    EXPECT_EQ(memPixel(a, 0, 0)[2], 32);
    a.SetAlpha(0);
    EXPECT_TRUE(a.AreAllAlphaBytesZero());
    EXPECT_EQ(memPixel(a, 1, 0)[0], 0);
}

TEST(AlphaDibSection, AlphaPaintBlendsOverWhatTheTargetShows)
{
    cAlphaDibSection a;
    ASSERT_TRUE(a.Create(2, 1));
    // Premultiplied: opaque blue, half-covered white (128, 128, 128 at 128).
    fillAlpha(a, [](int x, int) {
        return x == 0 ? std::array<uint8_t, 4>{255, 0, 0, 255} : std::array<uint8_t, 4>{128, 128, 128, 128};
    });
    DibRecord target = pictureOf(2, 1, [](int, int) { return std::array<uint8_t, 3>{0, 0, 200}; });
    a.AlphaPaintPicture(BitmapSurface::topDown32(target.bits.data(), 2, 1));
    EXPECT_EQ(target.bits[0], 255);
    EXPECT_EQ(target.bits[2], 0);
    EXPECT_EQ(target.bits[4], 128);
    EXPECT_EQ(target.bits[6], 128 + 100);   // 200 x 127 / 255 to the nearest
}

TEST(DibSection, RandomNoiseKeepsItsShape)
{
    cDIBSection d;
    ASSERT_TRUE(d.Create(5, 4));
    d.RandomiseBits(true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint8_t* p = at(d, x, y, 3);
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[1], p[2]);
        }
    d.RandomiseBits(false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(at(d, x, y, 3)[0], 0);
    // Padding bytes stay 0.
    for (int r = 0; r < 4; ++r) EXPECT_EQ(d.DIBSectionBitsPtr()[r * 16 + 15], 0);

    cAlphaDibSection a;
    ASSERT_TRUE(a.Create(6, 6));
    a.RandomiseBits(false);
    for (int r = 0; r < 6; ++r)
        for (int x = 0; x < 6; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_LE(memPixel(a, x, r)[c], memPixel(a, x, r)[3]) << "premultiplied";
}
