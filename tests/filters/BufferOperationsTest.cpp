#include "SmallPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq {
namespace {

using test::Bgr;
using test::Engine;
using test::picture;
using test::px;

// A picture whose pixel (x, y) holds (B x, G y, R 7) and marker 9.
BitsBuffer coords(int w, int h)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            b.at(0, x, y) = static_cast<uint8_t>(x);
            b.at(1, x, y) = static_cast<uint8_t>(y);
            b.at(2, x, y) = 7;
            b.at(3, x, y) = 9;
        }
    return b;
}

struct Recorder {
    std::vector<int32_t> reports;
    void attach(cBitFilter& f)
    {
        f.onProgress([this](int32_t& p) { reports.push_back(p); });
    }
};

} // namespace

TEST(BufferOperations, BitsBlackClearsTheSelectionOnly)
{
    const BitsBuffer in = test::patterned(5, 4);
    cBitFilter f;
    Recorder rec;
    rec.attach(f);
    f.setBits(in);
    const Region rg = Region::fromBands({{1, 3, {{0, 2}, {3, 9}}}});
    f.setBitsRegion(&rg);
    f.BitsBlack();
    const BitsBuffer& out = f.Bits();
    for (int y = -2; y < 6; ++y)
        for (int x = -2; x < 7; ++x)
            for (int c = 0; c < 4; ++c) {
                const bool cleared = x >= 0 && x < 5 && y >= 0 && y < 4 && rg.contains(x, y);
                EXPECT_EQ(out.at(c, x, y), cleared ? 0 : in.at(c, x, y)) << c << "," << x << "," << y;
            }
    EXPECT_TRUE(rec.reports.empty());
}

TEST(BufferOperations, BitsCropClipsToThePicture)
{
    struct Case { int x1, y1, x2, y2; int w, h; int left, top; };
    const Case cases[] = {
        {-5, -5, 10, 10, 10, 10, 0, 0},
        {200, 200, 300, 300, 0, 0, 0, 0},
        {30, 40, 33, 42, 3, 2, 30, 40},
        {95, 95, 120, 99, 5, 4, 95, 95},
        {10, 10, 5, 20, 0, 0, 0, 0},
    };
    const BitsBuffer in = coords(100, 100);
    for (const Case& c : cases) {
        cBitFilter f;
        Recorder rec;
        rec.attach(f);
        f.setBits(in);
        ASSERT_TRUE(f.BitsCrop(in, c.x1, c.y1, c.x2, c.y2));
        EXPECT_EQ(f.BitsWidth(), c.w);
        EXPECT_EQ(f.BitsHeight(), c.h);
        EXPECT_EQ(f.Bits().width(), c.w);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                EXPECT_EQ(px(f.Bits(), x, y), (Bgr{c.left + x, c.top + y, 7}));
                EXPECT_EQ(f.Bits().at(3, x, y), 9);   // marker copied too
            }
        EXPECT_EQ(f.Bits().at(0, -1, 0), 0);   // fresh margin
        EXPECT_EQ(rec.reports, std::vector<int32_t>{100});
    }
}

TEST(BufferOperations, CropAndQuarterTurnRefuseASourceOfAnotherSize)
{
    cBitFilter f;
    f.setBits(coords(10, 10));
    const BitsBuffer before = f.Bits();
    EXPECT_FALSE(f.BitsCrop(coords(4, 4), 0, 0, 10, 10));
    EXPECT_FALSE(f.BitsRotate90(coords(4, 10)));
    EXPECT_FALSE(f.BitsRotate90(BitsBuffer()));
    EXPECT_EQ(f.Bits(), before);
    EXPECT_EQ(f.BitsWidth(), 10);
}

TEST(BufferOperations, BitsCropMaskedMarksThePixelsOutsideTheSelection)
{
    const BitsBuffer in = coords(8, 6);
    cBitFilter f;
    f.setBits(in);
    // A small elliptic-ish shape, reaching outside the crop rectangle.
    const Region rg = Region::fromBands({
        {1, 2, {{3, 5}}},
        {2, 4, {{1, 7}}},
        {4, 5, {{3, 5}}},
    });
    f.setBitsRegion(&rg);
    f.BitsCropMasked(in, 2, 1, 6, 5);
    ASSERT_EQ(f.BitsWidth(), 4);
    ASSERT_EQ(f.BitsHeight(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = rg.contains(2 + x, 1 + y);
            if (inside) {
                EXPECT_EQ(px(f.Bits(), x, y), (Bgr{2 + x, 1 + y, 7}));
                EXPECT_EQ(f.Bits().at(3, x, y), 9);
            } else {
                EXPECT_EQ(px(f.Bits(), x, y), (Bgr{0, 0, 0}));
                EXPECT_EQ(f.Bits().at(3, x, y), 255);
            }
        }
}

TEST(BufferOperations, ResampleAndResize)
{
    cBitFilter f;
    f.setBits(picture(2, 1, {{0, 0, 0}, {0, 0, 200}}, 5));
    ASSERT_TRUE(f.BitsResample(f.Bits(), 4, 1));   // its own Bits as the source
    ASSERT_EQ(f.BitsWidth(), 4);
    const int reds[] = {0, 50, 100, 150};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(f.Bits().at(2, x, 0), reds[x]) << x;
        EXPECT_EQ(f.Bits().at(3, x, 0), 0);
    }

    cBitFilter g;
    g.setBits(coords(4, 4));
    ASSERT_TRUE(g.BitsResize(g.Bits(), 2, 2));
    EXPECT_EQ(px(g.Bits(), 0, 0), (Bgr{0, 0, 7}));
    EXPECT_EQ(px(g.Bits(), 1, 0), (Bgr{2, 0, 7}));
    EXPECT_EQ(px(g.Bits(), 0, 1), (Bgr{0, 2, 7}));
    EXPECT_EQ(px(g.Bits(), 1, 1), (Bgr{2, 2, 7}));
    EXPECT_EQ(g.Bits().at(3, 1, 1), 0);

    // Sizes that give no picture are refused and leave Bits as it was.
    const BitsBuffer before = g.Bits();
    EXPECT_FALSE(g.BitsResample(before, 0, 5));
    EXPECT_FALSE(g.BitsResize(before, 5, -1));
    EXPECT_FALSE(g.BitsResize(before, 40000, 1));
    EXPECT_EQ(g.Bits(), before);
}

TEST(BufferOperations, ResampleRoundsEachInterpolationOnItsOwn)
{
    // The formula pixel by pixel: both vertical interpolations rounded, then
    // the horizontal one.
    auto direct = [](const BitsBuffer& src, int nw, int nh) {
        BitsBuffer out(nw, nh);
        const float sx = static_cast<float>((src.width() - 1) / double(nw));
        const float sy = static_cast<float>((src.height() - 1) / double(nh));
        for (int y = 0; y < nh; ++y) {
            const float fy = static_cast<float>(y * double(sy));
            const int iy = static_cast<int>(std::floor(fy));
            const double dy = static_cast<float>(fy - static_cast<float>(iy));
            for (int x = 0; x < nw; ++x) {
                const float fx = static_cast<float>(x * double(sx));
                const int ix = static_cast<int>(std::floor(fx));
                const double dx = static_cast<float>(fx - static_cast<float>(ix));
                for (int c = 0; c < 3; ++c) {
                    const int a = rnd((1 - dy) * src.at(c, ix, iy) + dy * src.at(c, ix, iy + 1));
                    const int b = rnd((1 - dy) * src.at(c, ix + 1, iy) + dy * src.at(c, ix + 1, iy + 1));
                    out.at(c, x, y) = static_cast<uint8_t>(std::clamp(rnd((1 - dx) * a + dx * b), 0, 255));
                }
            }
        }
        return out;
    };
    struct Case { int w, h, nw, nh; };
    const Case cases[] = {{7, 5, 3, 9}, {5, 4, 13, 11}, {1, 1, 3, 2}, {9, 9, 9, 9}, {16, 3, 5, 1}};
    for (const Case& c : cases) {
        const BitsBuffer src = test::patterned(c.w, c.h, 11);
        cBitFilter f;
        ASSERT_TRUE(f.BitsResample(src, c.nw, c.nh));
        EXPECT_EQ(f.Bits(), direct(src, c.nw, c.nh)) << c.w << "x" << c.h << " -> " << c.nw << "x" << c.nh;
    }
}

TEST(BufferOperations, BitsRotate90TurnsCounterClockwise)
{
    cBitFilter f;
    Recorder rec;
    rec.attach(f);
    const BitsBuffer in = coords(3, 2);
    f.setBits(in);
    ASSERT_TRUE(f.BitsRotate90(f.Bits()));
    EXPECT_EQ(f.BitsWidth(), 2);
    EXPECT_EQ(f.BitsHeight(), 3);
    // New (y, MaxX - x) = old (x, y): top-left is the old top-right, the
    // bottom-left the old top-left.
    EXPECT_EQ(px(f.Bits(), 0, 0), (Bgr{2, 0, 7}));
    EXPECT_EQ(px(f.Bits(), 0, 2), (Bgr{0, 0, 7}));
    EXPECT_EQ(px(f.Bits(), 1, 0), (Bgr{2, 1, 7}));
    EXPECT_EQ(f.Bits().at(3, 0, 0), 0);
    EXPECT_EQ(rec.reports.back(), 100);
}

TEST(BufferOperations, BitsTakeFromPicture)
{
    DibRecord pic;
    pic.width = 3;
    pic.height = 2;
    pic.header = BitsHeader::forDib(3, 2);
    pic.bits.resize(4 * 3 * 2);
    for (size_t i = 0; i < pic.bits.size(); ++i) pic.bits[i] = static_cast<uint8_t>(i + 1);
    cBitFilter f;
    ASSERT_TRUE(f.BitsTakeFromPicture(pic, 3, 2));
    EXPECT_EQ(f.BitsWidth(), 3);
    EXPECT_EQ(f.BitsHeight(), 2);
    EXPECT_EQ(px(f.Bits(), 2, 1), (Bgr{21, 22, 23}));
    EXPECT_EQ(f.Bits().at(3, 2, 1), 0);   // the marker enters clear

    // Asked for more than the picture holds: the rest stays black.
    ASSERT_TRUE(f.BitsTakeFromPicture(pic, 4, 3));
    EXPECT_EQ(px(f.Bits(), 0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(px(f.Bits(), 3, 2), (Bgr{0, 0, 0}));
    // A picture whose array is shorter than its size says.
    pic.bits.resize(4 * 3);
    ASSERT_TRUE(f.BitsTakeFromPicture(pic, 3, 2));
    EXPECT_EQ(px(f.Bits(), 0, 1), (Bgr{0, 0, 0}));
    EXPECT_FALSE(f.BitsTakeFromPicture(pic, -1, 2));
}

TEST(BufferOperations, FlipMirrorsColoursButNotMarkers)
{
    BitsBuffer in = test::patterned(5, 3);
    Engine e(in);
    const BitsBuffer none = e.f.Flip(false, false);
    EXPECT_EQ(none, in);
    const BitsBuffer both = e.f.Flip(true, true);
    for (int y = -2; y < 5; ++y)
        for (int x = -2; x < 7; ++x) {
            const bool pic = x >= 0 && x < 5 && y >= 0 && y < 3;
            for (int c = 0; c < 4; ++c) {
                const int want = pic && c < 3 ? in.at(c, 4 - x, 2 - y) : in.at(c, x, y);
                EXPECT_EQ(both.at(c, x, y), want) << c << "," << x << "," << y;
            }
        }
    const BitsBuffer h = e.f.Flip(true, false);
    EXPECT_EQ(px(h, 0, 1), px(in, 4, 1));
    const BitsBuffer v = e.f.Flip(false, true);
    EXPECT_EQ(px(v, 3, 0), px(in, 3, 2));
}

TEST(BufferOperations, NewDocFillsTheWholeBoundingBoxSilently)
{
    const BitsBuffer in = test::patterned(6, 6);
    cBitFilter f;
    Recorder rec;
    rec.attach(f);
    f.setBits(in);
    // A ring: the hole at (2..3, 2..3) lies inside the bounding box.
    const Region ring = Region::fromBands({
        {1, 2, {{1, 5}}},
        {2, 4, {{1, 2}, {4, 5}}},
        {4, 5, {{1, 5}}},
    });
    f.setBitsRegion(&ring);
    const BitsBuffer out = *f.NewDoc(0x1FF, 2, -1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool box = x >= 1 && x < 5 && y >= 1 && y < 5;
            EXPECT_EQ(px(out, x, y), box ? (Bgr{255, 2, 255}) : px(in, x, y)) << x << "," << y;
            EXPECT_EQ(out.at(3, x, y), in.at(3, x, y));
        }
    EXPECT_TRUE(rec.reports.empty());
}

} // namespace tq
