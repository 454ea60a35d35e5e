// Every colour and tone member against a selection:
// exactly the selected pixels change, and each changes as it would with the
// whole picture selected.
#include "SmallPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace tq {
namespace {

struct Member {
    std::string name;
    std::function<FilterResult(cBitFilter&)> run;
};

const std::vector<Member>& members()
{
    static const std::vector<Member> all = {
        {"BRIGHTNESS", [](cBitFilter& f) { return f.BRIGHTNESS(40); }},
        {"Contrast", [](cBitFilter& f) -> FilterResult { return f.Contrast(60); }},
        {"GammaCorrection", [](cBitFilter& f) -> FilterResult { return f.GammaCorrection(50); }},
        {"GreyScale", [](cBitFilter& f) -> FilterResult { return f.GreyScale(); }},
        {"Invert", [](cBitFilter& f) { return f.Invert(); }},
        {"SATURATION", [](cBitFilter& f) -> FilterResult { return f.SATURATION(70); }},
        {"COLORIZE", [](cBitFilter& f) { return f.COLORIZE(2.5f, 0.6f, 0.9f); }},
        {"Threshold", [](cBitFilter& f) -> FilterResult { return f.Threshold(120); }},
        {"Reduction", [](cBitFilter& f) { return f.Reduction(30); }},
        {"Equalize", [](cBitFilter& f) -> FilterResult { return f.Equalize(); }},
        {"SwapBanks", [](cBitFilter& f) { return f.SwapBanks(2); }},
        {"SwapRGB", [](cBitFilter& f) -> FilterResult { return f.SwapRGB(3, 0, 1, -1, 0, 0, 0, 0, -1); }},
        {"ShiftRGB", [](cBitFilter& f) -> FilterResult { return f.ShiftRGB(20, -20, 90); }},
        {"KillChannel", [](cBitFilter& f) -> FilterResult { return f.KillChannel(-1, 0, 0); }},
        {"SpecialColors", [](cBitFilter& f) -> FilterResult { return f.SpecialColors(-1, 0, -1); }},
        {"REPLACE", [](cBitFilter& f) -> FilterResult { return f.REPLACE(rgbColor(120, 130, 140), 0xFF00FF, 150); }},
        {"ReplaceHS", [](cBitFilter& f) { return f.ReplaceHS(rgbColor(120, 130, 140), 0xFF00FF, 40, 60, 150); }},
        {"ReplaceL", [](cBitFilter& f) { return f.ReplaceL(rgbColor(120, 130, 140), 0xFF00FF, 40, 150); }},
        {"Shift", [](cBitFilter& f) -> FilterResult { return f.Shift(rgbColor(120, 130, 140), -50, 150); }},
        {"ISOLATE", [](cBitFilter& f) { return f.ISOLATE(rgbColor(120, 130, 140), 0x123456, 120); }},
        {"RotateH", [](cBitFilter& f) { return f.RotateH(40, 80); }},
        {"RotateL", [](cBitFilter& f) { return f.RotateL(13, 27); }},
        {"StretchH", [](cBitFilter& f) -> FilterResult { return f.StretchH(30, 70, 45); }},
        {"ClassyColors0", [](cBitFilter& f) { return f.ClassyColors(0); }},
        {"ClassyColors1", [](cBitFilter& f) { return f.ClassyColors(1); }},
        {"ClassyColors2", [](cBitFilter& f) { return f.ClassyColors(2); }},
        {"ClassyColors3", [](cBitFilter& f) { return f.ClassyColors(3); }},
        {"ClassyColors6", [](cBitFilter& f) { return f.ClassyColors(6); }},
        {"ClassyColors7", [](cBitFilter& f) { return f.ClassyColors(7); }},
        {"ClassyColors8", [](cBitFilter& f) { return f.ClassyColors(8); }},
        {"ClassyColors10", [](cBitFilter& f) { return f.ClassyColors(10); }},
        {"ClassyColors11", [](cBitFilter& f) { return f.ClassyColors(11); }},
        {"OLDPHOTO", [](cBitFilter& f) -> FilterResult { return f.OLDPHOTO(); }},
        {"THERMIQUE", [](cBitFilter& f) -> FilterResult { return f.THERMIQUE(); }},
        {"XBLACK", [](cBitFilter& f) -> FilterResult { return f.XBLACK(); }},
        {"PHOTOCOP", [](cBitFilter& f) -> FilterResult { return f.PHOTOCOP(); }},
    };
    return all;
}

// An ellipse centred in a w x h picture, clear of its edges.
Region centredEllipse(int w, int h)
{
    const int mx = w / 10, my = h / 10;
    return Region::ellipse(mx, my, w - mx, h - my);
}

} // namespace

TEST(SelectionSweep, EveryMemberChangesExactlyTheSelection)
{
    constexpr int W = 23, H = 17;
    const BitsBuffer in = test::patterned(W, H, 7);
    const Region ellipse = centredEllipse(W, H);
    const Region whole = Region::rect(0, 0, W, H);
    ASSERT_FALSE(ellipse.isEmpty());
    ASSERT_FALSE(ellipse.contains(0, 0));

    for (const Member& m : members()) {
        cBitFilter f;
        f.setBits(in);
        f.setBitsRegion(&whole);
        const FilterResult all = m.run(f);
        f.setBitsRegion(&ellipse);
        const FilterResult part = m.run(f);
        ASSERT_TRUE(all.has_value()) << m.name;
        ASSERT_TRUE(part.has_value()) << m.name;
        EXPECT_EQ(f.Bits(), in) << m.name << " changed Bits";
        int changed = 0;
        for (int y = -2; y < H + 2; ++y)
            for (int x = -2; x < W + 2; ++x)
                for (int c = 0; c < 4; ++c) {
                    const bool selected = c < 3 && x >= 0 && x < W && y >= 0 && y < H && ellipse.contains(x, y);
                    const uint8_t want = selected ? all->at(c, x, y) : in.at(c, x, y);
                    if (part->at(c, x, y) != want) {
                        ADD_FAILURE() << m.name << " at " << c << "," << x << "," << y;
                        goto next;
                    }
                    changed += part->at(c, x, y) != in.at(c, x, y);
                }
        EXPECT_GT(changed, 0) << m.name << " changed nothing";
    next:;
    }
}

TEST(SelectionSweep, WithoutRegionEveryMemberReturnsBitsAndReportsTheEnd)
{
    const BitsBuffer in = test::patterned(9, 6, 3);
    for (const Member& m : members()) {
        ManualClock clock(0, 100);
        cBitFilter f(clock);
        std::vector<int32_t> reports;
        f.onProgress([&](int32_t& p) { reports.push_back(p); });
        f.setBits(in);
        const FilterResult out = m.run(f);
        ASSERT_TRUE(out.has_value()) << m.name;
        EXPECT_EQ(*out, in) << m.name;
        // Contrast's first pass covers the whole picture whatever the region.
        if (m.name == "Contrast") {
            EXPECT_EQ(reports, (std::vector<int32_t>{20, 40, 60, 80, 100, 100, 100}));
        } else {
            EXPECT_EQ(reports, std::vector<int32_t>{100}) << m.name;
        }
    }
}

TEST(SelectionSweep, EqualizeReportsOnlyDuringItsSecondPass)
{
    ManualClock clock(1000, 100);   // every row is more than 10 ms after the last report
    cBitFilter f(clock);
    std::vector<int32_t> reports;
    f.onProgress([&](int32_t& p) { reports.push_back(p); });
    f.setBits(test::patterned(4, 5));
    const Region rows = Region::rect(0, 2, 4, 4);
    f.setBitsRegion(&rows);
    f.Equalize();
    EXPECT_EQ(reports, (std::vector<int32_t>{50, 75, 100}));
}

} // namespace tq
