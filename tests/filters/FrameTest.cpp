#include "filters/cBitFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace tq {
namespace {

// Rewrites the walked pixels' blue byte to 1 and records the progress.
struct Recorder {
    std::vector<int32_t> reports;
    void attach(cBitFilter& f)
    {
        f.onProgress([this](int32_t& p) { reports.push_back(p); });
    }
};

BitsBuffer markWalked(cBitFilter& f)
{
    BitsBuffer out = f.Bits();
    f.walkSelection(0, [&](int32_t y, int32_t x0, int32_t x1) {
        uint8_t* d = out.pixel(x0, y);
        for (int32_t x = x0; x <= x1; ++x, d += 4) d[0] = 1;
    });
    return out;
}

} // namespace

TEST(Frame, NewObjectAndSizes)
{
    cBitFilter f;
    EXPECT_EQ(f.BitsWidth(), 1);
    EXPECT_EQ(f.BitsHeight(), 1);
    f.setBits(BitsBuffer(0, 0));
    EXPECT_EQ(f.BitsWidth(), 0);
    EXPECT_EQ(f.BitsHeight(), 0);
    f.setBits(BitsBuffer(3, 2));
    EXPECT_EQ(f.BitsWidth(), 3);
    EXPECT_EQ(f.BitsHeight(), 2);
}

TEST(Frame, BitsIsCopiedInAndOut)
{
    BitsBuffer b(3, 2);
    b.at(3, -2, -2) = 255;   // margin and marker bytes travel too
    b.at(1, 2, 1) = 7;
    cBitFilter f;
    f.setBits(b);
    b.at(1, 2, 1) = 8;
    EXPECT_EQ(f.Bits().at(1, 2, 1), 7);
    EXPECT_EQ(f.Bits().at(3, -2, -2), 255);
}

TEST(Frame, NoRegionWalksNothingAndReportsOnlyTheEnd)
{
    ManualClock clock(0, 100);
    cBitFilter f(clock);
    Recorder rec;
    rec.attach(f);
    f.setBits(BitsBuffer(4, 4));
    const BitsBuffer out = markWalked(f);
    EXPECT_EQ(out, f.Bits());
    EXPECT_EQ(rec.reports, std::vector<int32_t>{100});
}

TEST(Frame, WalkVisitsExactlyTheRegionAndStaysInThePicture)
{
    cBitFilter f;
    f.setBits(BitsBuffer(5, 4));
    // Reaches outside the picture on every side.
    const Region rg = Region::fromBands({
        {-3, 1, {{-3, 8}}},
        {1, 3, {{1, 2}, {3, 9}}},
        {3, 9, {{-1, 1}}},
    });
    f.setBitsRegion(&rg);
    const BitsBuffer out = markWalked(f);
    for (int y = -2; y < 6; ++y)
        for (int x = -2; x < 7; ++x) {
            const bool inside = x >= 0 && x < 5 && y >= 0 && y < 4;
            EXPECT_EQ(out.at(0, x, y), inside && rg.contains(x, y) ? 1 : 0) << x << "," << y;
        }
}

TEST(Frame, ProgressOfAPartialSelection)
{
    ManualClock clock(1000, 11);   // every reading is more than 10 ms after the last
    cBitFilter f(clock);
    Recorder rec;
    rec.attach(f);
    f.setBits(BitsBuffer(4, 200));
    const Region rg = Region::rect(0, 50, 4, 100);
    f.setBitsRegion(&rg);
    markWalked(f);
    ASSERT_EQ(rec.reports.size(), 51u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(rec.reports[i], (50 + i) * 100 / 199);
    EXPECT_EQ(rec.reports.front(), 25);
    EXPECT_EQ(rec.reports[49], 49);
    EXPECT_EQ(rec.reports.back(), 100);
}

TEST(Frame, ProgressIsPacedByTheClock)
{
    ManualClock clock(0, 0);   // time stands still: no per-row reports
    cBitFilter f(clock);
    Recorder rec;
    rec.attach(f);
    f.setBits(BitsBuffer(4, 50));
    const Region rg = Region::rect(0, 0, 4, 50);
    f.setBitsRegion(&rg);
    markWalked(f);
    EXPECT_EQ(rec.reports, std::vector<int32_t>{100});
}

TEST(Frame, OneRowPictureReportsOnlyTheEnd)
{
    ManualClock clock(0, 50);
    cBitFilter f(clock);
    Recorder rec;
    rec.attach(f);
    f.setBits(BitsBuffer(6, 1));
    const Region rg = Region::rect(0, 0, 6, 1);
    f.setBitsRegion(&rg);
    const BitsBuffer out = markWalked(f);
    EXPECT_EQ(out.at(0, 5, 0), 1);
    EXPECT_EQ(rec.reports, std::vector<int32_t>{100});
}

TEST(Frame, WalkBoxMargins)
{
    cBitFilter f;
    f.setBits(BitsBuffer(10, 10));
    const Region rg = Region::rect(2, 3, 8, 9);
    f.setBitsRegion(&rg);
    f.SetRegionBounds(0);
    EXPECT_EQ(f.walkLeft(), 2);
    EXPECT_EQ(f.walkRight(), 7);
    EXPECT_EQ(f.walkTop(), 3);
    EXPECT_EQ(f.walkBottom(), 8);
    f.SetRegionBounds(1);
    EXPECT_EQ(f.walkLeft(), 3);
    EXPECT_EQ(f.walkRight(), 6);
    EXPECT_EQ(f.walkTop(), 4);
    EXPECT_EQ(f.walkBottom(), 7);
}

TEST(Frame, GetAngle)
{
    struct Case { int x, y; float want; };
    const Case cases[] = {
        {0, 0, -1.570796f}, {1, 0, 0.0f}, {-1, 0, 3.141592f}, {0, 5, 1.570796f},
        {0, -5, -1.570796f}, {-1, -1, 3.9269900f}, {1, 1, 0.78539816f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(cBitFilter::GetAngle(c.x, c.y), c.want, 1e-6) << c.x << "," << c.y;
    // The program's pi, not the real one.
    EXPECT_EQ(cBitFilter::GetAngle(0, 1), static_cast<float>(3.141592 / 2));
}

TEST(Frame, BitsToDibOfThreeByTwo)
{
    BitsBuffer b(3, 2);
    b.at(2, 2, 1) = 200;
    DibRecord rec;
    cBitFilter::BitsToDib(rec, b, 3, 2);
    EXPECT_EQ(rec.header.biSize, 40);
    EXPECT_EQ(rec.header.biWidth, 7);
    EXPECT_EQ(rec.header.biHeight, -6);
    EXPECT_EQ(rec.header.biPlanes, 1);
    EXPECT_EQ(rec.header.biBitCount, 32);
    ASSERT_EQ(rec.bits.size(), 7u * 6 * 4);
    EXPECT_EQ(rec.bits[b.offset(2, 2, 1)], 200);
}

} // namespace tq
