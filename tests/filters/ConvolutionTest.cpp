#include "GreyPictures.h"
#include "RandomCases.h"

#include "filters/Kernels.h"

#include <climits>
#include <limits>

namespace tq {
namespace {

using greypics::Engine;
using greypics::flatPicture;
using greypics::greyPicture;

KernelRecord preset(int id)
{
    KernelRecord k;
    EXPECT_TRUE(mBitmap::GetPresetKernel(k, id));
    return k;
}

FilterResult applyPreset(cBitFilter& f, int id, bool keepMargins = false)
{
    const KernelRecord k = preset(id);
    return f.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, keepMargins);
}

// The convolution written out pixel by pixel, as its definition reads: the
// reference the fast row loop must equal.
FilterResult referenceMask(const BitsBuffer& bits, const Region* rg, const KernelMask& m, int32_t weight,
                           int32_t rF, int32_t gF, int32_t bF, bool keep)
{
    const int32_t c = m.upperBound(), h = c / 2;
    if (c < 0 || c > 4) return std::nullopt;
    BitsBuffer out = bits;
    const RectI box = rg ? rg->boundingBox() : RectI{};
    const int32_t maxX = bits.width() - 1, maxY = bits.height() - 1;
    int32_t l = std::max(box.left, 0) - h, r = std::min(box.right - 1, maxX) - h;
    int32_t t = std::max(box.top, 0) - h, b = std::min(box.bottom - 1, maxY) - h;
    if (!rg) r = -1 - h, b = -1 - h, l = -h, t = -h;
    if (keep) {
        l = std::max(l, 0);
        t = std::max(t, 0);
        r = std::min(r, maxX - c);
        b = std::min(b, maxY - c);
    }
    for (int32_t Y = t; Y <= b; ++Y)
        for (int32_t X = l; X <= r; ++X) {
            int64_t sum[3] = {0, 0, 0};
            for (int32_t i = 0; i <= c; ++i)
                for (int32_t j = 0; j <= c; ++j)
                    for (int ch = 0; ch < 3; ++ch) sum[ch] += int64_t(bits.at(ch, X + i, Y + j)) * m(j, i);
            if (!rg->contains(X + h, Y + h)) continue;
            if (weight == 0) return std::nullopt;
            const int32_t off[3] = {bF, gF, rF};
            for (int ch = 0; ch < 3; ++ch) {
                if (sum[ch] < INT_MIN || sum[ch] > INT_MAX) return std::nullopt;
                int64_t v = sum[ch] / weight + off[ch];
                out.at(ch, X + h, Y + h) = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
            }
        }
    return out;
}

} // namespace

TEST(PresetKernels, PresetsBuildAsListed)
{
    struct Case {
        int id;
        int side;
        int centre;
        int corner;      // Mask(side-1, side-1)
        int weight, r, g, b;
    };
    const Case cases[] = {
        {0, 3, 1, 1, 9, 0, 0, 0},      {1, 5, 1, 1, 25, 0, 0, 0},      {2, 3, 3, 0, 7, 0, 0, 0},
        {3, 3, 9, 1, 25, 0, 0, 0},     {4, 3, 15, -1, 7, 0, 0, 0},     {5, 3, 5, 0, 1, 0, 0, 0},
        {6, 3, 4, 1, 4, 0, 0, 0},      {7, 3, 2, 1, 2, 0, 0, 0},       {8, 3, 8, -1, 1, 255, 255, 255},
        {9, 3, 16, -2, 1, 255, 255, 255}, {10, 3, 4, 0, 1, 255, 255, 255}, {11, 3, 8, 0, 1, 255, 255, 255},
        {12, 3, 1, -1, 1, 128, 128, 128}, {13, 3, -1, 1, 1, 128, 128, 128},
    };
    for (const Case& cs : cases) {
        const KernelRecord k = preset(cs.id);
        EXPECT_EQ(k.Mask.side(), cs.side) << cs.id;
        EXPECT_EQ(k.Mask(cs.side / 2, cs.side / 2), cs.centre) << cs.id;
        EXPECT_EQ(k.Mask(cs.side - 1, cs.side - 1), cs.corner) << cs.id;
        EXPECT_EQ(k.Weight, cs.weight) << cs.id;
        EXPECT_EQ(k.rFactor, cs.r) << cs.id;
        EXPECT_EQ(k.gFactor, cs.g) << cs.id;
        EXPECT_EQ(k.bFactor, cs.b) << cs.id;
    }
    // Rows read the way the picture looks: "Bump [NW]" has -1 -1 0 on top.
    const KernelRecord bump = preset(6);
    EXPECT_EQ(bump.Mask(0, 0), -1);
    EXPECT_EQ(bump.Mask(0, 2), 0);
    EXPECT_EQ(bump.Mask(1, 2), 1);
    EXPECT_EQ(PresetKernels[8].name, "Contour");
}

TEST(PresetKernels, UnknownIdLeavesTheRecord)
{
    KernelRecord k = preset(3);
    const KernelRecord before = k;
    EXPECT_FALSE(mBitmap::GetPresetKernel(k, 14));
    EXPECT_FALSE(mBitmap::GetPresetKernel(k, -1));
    EXPECT_EQ(k, before);
}

TEST(Convolution, WorkedNumbers)
{
    // Preset 8 (contour): flat gives 255, a brighter pixel 255, a darker one 0.
    Engine flat(flatPicture(5, 5, 90));
    const FilterResult a = applyPreset(flat.f, 8);
    ASSERT_TRUE(a);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x) EXPECT_EQ(a->at(1, x, y), 255);
    Engine dark(greyPicture({{90, 90, 90}, {90, 50, 90}, {90, 90, 90}}));
    const FilterResult b = applyPreset(dark.f, 8);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->at(2, 1, 1), 0);
    // Preset 12 and 13 on a flat area: 128.
    for (int id : {12, 13}) {
        const FilterResult e = applyPreset(flat.f, id);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->at(0, 2, 2), 128) << id;
    }
    // Preset 0: the truncated mean of the 3 x 3 neighbourhood.
    Engine mean(greyPicture({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}));
    const FilterResult m = applyPreset(mean.f, 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->at(0, 1, 1), 46 / 9);
    // Preset 5 overshoots and is clamped.
    Engine spike(greyPicture({{0, 0, 0}, {0, 200, 0}, {0, 0, 0}}));
    const FilterResult s = applyPreset(spike.f, 5);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->at(0, 1, 1), 255);
    EXPECT_EQ(s->at(0, 1, 0), 0);
}

TEST(Convolution, NegativeSumsTruncateBeforeTheOffset)
{
    KernelMask m(3);
    m(1, 1) = -1;
    BitsBuffer b(3, 3);
    b.at(0, 1, 1) = 7;    // blue: -7 \ 2 = -3, + 128 = 125
    b.at(1, 1, 1) = 9;    // green: -9 \ 2 = -4, + 10 = 6
    Engine e(b);
    const FilterResult r = e.f.MaskFilter(m, 2, 0, 10, 128, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0, 1, 1), 125);
    EXPECT_EQ(r->at(1, 1, 1), 6);
    EXPECT_EQ(r->at(2, 1, 1), 0);
}

TEST(Convolution, RefusedArgumentsLeaveBitsAndGiveNoResult)
{
    const BitsBuffer pic = flatPicture(8, 8, 40);
    Engine e(pic);
    const KernelRecord k = preset(0);
    EXPECT_FALSE(e.f.MaskFilter(k.Mask, 0, 0, 0, 0, false));
    EXPECT_FALSE(e.f.MaskFilter(KernelMask(7), 1, 0, 0, 0, false));
    EXPECT_FALSE(e.f.MaskFilter(KernelMask(6), 1, 0, 0, 0, true));
    EXPECT_FALSE(e.f.MaskFilter(KernelMask(), 1, 0, 0, 0, false));
    EXPECT_EQ(e.f.Bits(), pic);
    // Weight 0 fails only at a selected pixel: with nothing selected the
    // walk never divides.
    const Region none;
    e.f.setBitsRegion(&none);
    const FilterResult r = e.f.MaskFilter(k.Mask, 0, 0, 0, 0, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, pic);
}

TEST(Convolution, KeepMarginsLeavesAFrameOfHalfTheKernel)
{
    const BitsBuffer pic = flatPicture(9, 7, 200);
    Engine e(pic);
    const KernelRecord blurMore = preset(1);   // 5 x 5
    const FilterResult kept = e.f.MaskFilter(blurMore.Mask, blurMore.Weight, 0, 0, 0, true);
    const FilterResult open = e.f.MaskFilter(blurMore.Mask, blurMore.Weight, 0, 0, 0, false);
    ASSERT_TRUE(kept && open);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            // A flat area keeps its value; only border reads change it.
            const bool frame = x < 2 || y < 2 || x > 6 || y > 4;
            EXPECT_EQ(kept->at(0, x, y), 200) << x << "," << y;
            if (frame) {
                EXPECT_LT(open->at(0, x, y), 200) << x << "," << y;
            }
        }
    // With a real gradient, KeepMargins leaves the 2-pixel frame as in Bits.
    std::mt19937 gen(5);
    const BitsBuffer noisy = greypics::randomPicture(9, 7, gen);
    e.f.setBits(noisy);
    const FilterResult k2 = e.f.MaskFilter(blurMore.Mask, blurMore.Weight, 0, 0, 0, true);
    ASSERT_TRUE(k2);
    int changedInside = 0;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool frame = x < 2 || y < 2 || x > 6 || y > 4;
            for (int c = 0; c < 3; ++c) {
                if (frame) {
                    EXPECT_EQ(k2->at(c, x, y), noisy.at(c, x, y)) << x << "," << y;
                } else {
                    changedInside += k2->at(c, x, y) != noisy.at(c, x, y);
                }
            }
        }
    EXPECT_GT(changedInside, 0);
}

TEST(Convolution, UnselectedPixelsAndMarkersStayAndReadsComeFromBits)
{
    std::mt19937 gen(11);
    const BitsBuffer pic = greypics::randomPicture(6, 5, gen);
    // Everything but (2, 2).
    const Region rg = Region::fromBands({{0, 2, {{0, 6}}}, {2, 3, {{0, 2}, {3, 6}}}, {3, 5, {{0, 6}}}});
    Engine e(pic, rg);
    const KernelRecord k = preset(4);
    const FilterResult r = e.f.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, false);
    ASSERT_TRUE(r);
    greypics::expectUntouchedOutside(pic, *r, rg);
    EXPECT_EQ(*r, *referenceMask(pic, &rg, k.Mask, k.Weight, 0, 0, 0, false));
}

// The fast row loop against the pixel-by-pixel definition, on small random
// pictures, random kernels of every accepted size, random weights and
// offsets, selections with holes, both margin modes.
TEST(Convolution, FastPathEqualsTheDefinition)
{
    for (int round = 0; round < 300; ++round) {
        randomcases::SeededRound seeded(2024, round);
        if (!seeded.wanted()) continue;
        std::mt19937& gen = seeded.gen;
        const int w = 1 + static_cast<int>(gen() % 12), h = 1 + static_cast<int>(gen() % 10);
        const BitsBuffer pic = greypics::randomPicture(w, h, gen);
        const int side = 1 + static_cast<int>(gen() % 5);
        KernelMask m(side);
        const int spread = round % 10 == 0 ? 6000 : 20;   // some kernels too wide to tabulate
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i) m(j, i) = static_cast<int>(gen() % (2 * spread + 1)) - spread;
        int32_t weight = static_cast<int32_t>(gen() % 41) - 20;
        if (weight == 0 && round % 3) weight = 3;
        const int32_t rF = static_cast<int32_t>(gen() % 600) - 300;
        const int32_t gF = static_cast<int32_t>(gen() % 600) - 300;
        const int32_t bF = static_cast<int32_t>(gen() % 600) - 300;
        const bool keep = gen() & 1;
        std::vector<Region::Band> bands;
        for (int y = -1; y < h + 1; y += 2) {
            const int x0 = static_cast<int>(gen() % (w + 2)) - 1;
            const int x1 = x0 + 1 + static_cast<int>(gen() % (w + 1));
            const int x2 = x1 + 1 + static_cast<int>(gen() % 3);
            bands.push_back({y, y + 2, {{x0, x1}, {x2, x2 + 2}}});
        }
        const Region rg = round % 7 == 0 ? Region::rect(0, 0, w, h) : Region::fromBands(bands);
        Engine e(pic, rg);
        const FilterResult fast = e.f.MaskFilter(m, weight, rF, gF, bF, keep);
        const FilterResult ref = referenceMask(pic, &rg, m, weight, rF, gF, bF, keep);
        ASSERT_EQ(fast.has_value(), ref.has_value()) << "round " << round;
        if (fast) {
            ASSERT_EQ(*fast, *ref) << "round " << round;
        }
        EXPECT_EQ(e.f.Bits(), pic);
    }
}

TEST(Convolution, SumsThatLeaveThirtyTwoBitsFail)
{
    KernelMask m(3);
    m(1, 1) = std::numeric_limits<int32_t>::max() / 100;
    Engine bright(flatPicture(3, 3, 255));
    EXPECT_FALSE(bright.f.MaskFilter(m, 1, 0, 0, 0, false));
    Engine black(flatPicture(3, 3, 0));
    const FilterResult r = black.f.MaskFilter(m, 1, 0, 0, 0, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, black.f.Bits());
}

TEST(Convolution, ProgressCountsWindowTopRows)
{
    ManualClock clock(1000, 11);   // every reading is more than 10 ms after the last
    cBitFilter f(clock);
    std::vector<int32_t> reports;
    f.onProgress([&](int32_t& p) { reports.push_back(p); });
    f.setBits(flatPicture(4, 11, 1));
    const Region rg = Region::rect(0, 5, 4, 8);
    f.setBitsRegion(&rg);
    const KernelRecord k = preset(0);
    ASSERT_TRUE(f.MaskFilter(k.Mask, k.Weight, 0, 0, 0, false));
    EXPECT_EQ(reports, (std::vector<int32_t>{40, 50, 60, 100}));
}

} // namespace tq
