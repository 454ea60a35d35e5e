// BitsResample and RotateSmooth held, byte for byte, to their formulas
// written out plainly below: every pixel rounded down each column first,
// then across, in double precision from single-precision steps and
// positions. The members' tuned rows (integer and wide-vector arithmetic,
// shared tables, threads) must give exactly these bytes, margins and marker
// bytes included, for any thread count, with or without the wide rows.
#include "RandomCases.h"

#include "filters/PixelWalks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tq {
namespace {

// ---- The formulas, plainly ------------------------------------------------

// Bilinear scaling: steps (size - 1) / new size as singles; for each new
// pixel the two vertical blends rounded, then the horizontal one. The new
// buffer is zero apart from blue, green and red of its pixels.
BitsBuffer plainResample(const BitsBuffer& src, int32_t nw, int32_t nh)
{
    const int32_t ws = src.width(), hs = src.height();
    const float sx = single(static_cast<double>(ws - 1) / nw);
    const float sy = single(static_cast<double>(hs - 1) / nh);
    BitsBuffer out(nw, nh);
    for (int32_t y = 0; y < nh; ++y) {
        const float fy = single(static_cast<double>(y) * sy);
        const double iyd = std::floor(static_cast<double>(fy));
        const int32_t iy = static_cast<int32_t>(iyd);
        const double dy = single(fy - iyd);
        for (int32_t x = 0; x < nw; ++x) {
            const float fx = single(static_cast<double>(x) * sx);
            const double ixd = std::floor(static_cast<double>(fx));
            const int32_t ix = std::clamp(static_cast<int32_t>(ixd), -1, ws);
            const double dx = single(fx - ixd);
            for (int c = 0; c < 3; ++c) {
                const int32_t a = rnd((1.0 - dy) * src.at(c, ix, iy) + dy * src.at(c, ix, iy + 1));
                const int32_t b = rnd((1.0 - dy) * src.at(c, ix + 1, iy) + dy * src.at(c, ix + 1, iy + 1));
                out.at(c, x, y) = clampByte(rnd((1.0 - dx) * a + dx * b));
            }
        }
    }
    return out;
}

// The smooth turn about (MaxX \ 2, MaxY \ 2): a copy of Bits in which every
// pixel of the selection's bounding box takes the blend of the four pixels
// around its single-precision source point, or black when that point's
// floor lies outside the picture. Samples past the last column or row read
// the buffer's border.
BitsBuffer plainRotateSmooth(cBitFilter& f, int32_t degrees)
{
    const BitsBuffer& in = f.Bits();
    BitsBuffer out = in;
    if (!in.allocated()) return out;
    const int32_t w = in.width(), h = in.height();
    const float c = single(std::cos(degrees * kDegToRad));
    const float s = single(std::sin(degrees * kDegToRad));
    const int32_t cx = (w - 1) / 2, cy = (h - 1) / 2;
    f.SetRegionBounds(0);
    for (int32_t y = f.walkTop(); y <= f.walkBottom(); ++y)
        for (int32_t x = f.walkLeft(); x <= f.walkRight(); ++x) {
            const double dx = x - cx, dy = y - cy;
            const float fx = single(dx * c + -dy * s + cx);
            const float fy = single(dx * s + dy * c + cy);
            const int32_t ix = static_cast<int32_t>(std::floor(fx)), iy = static_cast<int32_t>(std::floor(fy));
            if (ix < 0 || iy < 0 || ix >= w || iy >= h) {
                for (int ch = 0; ch < 3; ++ch) out.at(ch, x, y) = 0;
                continue;
            }
            const double wx = fx - static_cast<float>(ix), wy = fy - static_cast<float>(iy);
            for (int ch = 0; ch < 3; ++ch) {
                const int32_t left = rnd((1.0 - wy) * in.at(ch, ix, iy) + in.at(ch, ix, iy + 1) * wy);
                const int32_t right = rnd((1.0 - wy) * in.at(ch, ix + 1, iy) + in.at(ch, ix + 1, iy + 1) * wy);
                out.at(ch, x, y) = clampByte(rnd(left * (1.0 - wx) + right * wx));
            }
        }
    return out;
}

// ---- The members against them -----------------------------------------------

// Thread counts and wide rows on or off: every way the members may run.
struct Way {
    int threads;
    bool wide;
};
const Way kWays[] = {{1, false}, {1, true}, {3, true}, {8, true}, {8, false}};

std::string wayName(const Way& w)
{
    return std::to_string(w.threads) + (w.threads == 1 ? " thread" : " threads") + (w.wide ? ", wide rows" : "");
}

class SmoothGeometry : public testing::Test {
protected:
    void TearDown() override { allowWideVectors(true); }
};

// Pictures whose neighbours differ by every amount (noise), or by 0 and 255
// only (the largest blends), or by one (ties of half steps).
BitsBuffer testPicture(int w, int h, int kind, std::mt19937& g)
{
    BitsBuffer b = randomcases::noisePicture(w, h, g);
    if (kind == 0) return b;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                b.at(c, x, y) = kind == 1 ? static_cast<uint8_t>((g() & 1) * 255) : static_cast<uint8_t>(100 + ((x + y + c) & 1));
    return b;
}

TEST_F(SmoothGeometry, ResampleGivesThePlainBytesAtAnyScale)
{
    struct Case {
        int w, h, nw, nh;
    };
    const Case cases[] = {
        {1, 1, 1, 1},       {1, 1, 5, 3},        {1, 9, 4, 20},       {9, 1, 20, 4},      {2, 2, 2, 2},
        {2, 2, 7, 5},       {3, 3, 4, 4},        {5, 5, 8, 8},        {2, 3, 4, 5},       {37, 23, 18, 11},
        {37, 23, 55, 34},   {203, 167, 101, 83}, {203, 167, 305, 250}, {203, 167, 203, 167}, {200, 150, 100, 75},
        {160, 120, 240, 180}, {64, 48, 63, 49},  {300, 7, 1, 1},      {300, 200, 3, 2},   {2, 2, 3000, 3},
        {3, 2, 2, 900},     {4000, 3, 17, 2},    {5, 4, 32767, 1},    {17, 13, 1, 1000},  {101, 99, 400, 300},
    };
    int round = 0;
    for (const Case& k : cases)
        for (int kind = 0; kind < 3; ++kind) {
            randomcases::SeededRound seeded(41, round++);
            if (!seeded.wanted()) continue;
            const BitsBuffer src = testPicture(k.w, k.h, kind, seeded.gen);
            const BitsBuffer want = plainResample(src, k.nw, k.nh);
            for (const Way& way : kWays) {
                allowWideVectors(way.wide);
                cBitFilter f;
                f.setThreadCount(way.threads);
                f.setBits(src);
                ASSERT_TRUE(f.BitsResample(src, k.nw, k.nh));
                EXPECT_EQ(randomcases::firstDifference(want, f.Bits()), "")
                    << k.w << " x " << k.h << " to " << k.nw << " x " << k.nh << ", picture " << kind << ", "
                    << wayName(way);
            }
        }
}

TEST_F(SmoothGeometry, ResampleOfALargePictureSharedAmongThreads)
{
    // Enough rows and columns for every thread to take bands, and steps
    // whose products cover the whole range of single-precision exponents.
    randomcases::SeededRound seeded(43, 0);
    const BitsBuffer src = testPicture(997, 611, 0, seeded.gen);
    for (auto [nw, nh] : {std::pair{498, 305}, std::pair{1495, 916}, std::pair{2999, 13}}) {
        const BitsBuffer want = plainResample(src, nw, nh);
        for (const Way& way : kWays) {
            allowWideVectors(way.wide);
            cBitFilter f;
            f.setThreadCount(way.threads);
            f.setBits(src);
            ASSERT_TRUE(f.BitsResample(f.Bits(), nw, nh));
            EXPECT_EQ(randomcases::firstDifference(want, f.Bits()), "") << nw << " x " << nh << ", " << wayName(way);
        }
    }
}

TEST_F(SmoothGeometry, RotateSmoothGivesThePlainBytesAtAnyAngleAndSelection)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 2}, {23, 17}, {64, 48}, {203, 167}};
    const int angles[] = {0, 1, 30, 45, 89, 90, 135, 180, 271, 359, -30, -89, 721};
    int round = 0;
    for (auto [w, h] : sizes) {
        randomcases::SeededRound seeded(47, round++);
        if (!seeded.wanted()) continue;
        const BitsBuffer pic = testPicture(w, h, round % 3, seeded.gen);
        const Region regions[] = {Region::rect(0, 0, w, h), randomcases::anySelection(w, h, seeded.gen),
                                  Region::ellipse(-w / 3, h / 4, w + 5, h + 9), Region()};
        for (const Region& rg : regions)
            for (int deg : angles) {
                cBitFilter plain;
                plain.setBits(pic);
                plain.setBitsRegion(&rg);
                const BitsBuffer want = plainRotateSmooth(plain, deg);
                for (const Way& way : kWays) {
                    allowWideVectors(way.wide);
                    cBitFilter f;
                    f.setThreadCount(way.threads);
                    f.setBits(pic);
                    f.setBitsRegion(&rg);
                    EXPECT_EQ(randomcases::firstDifference(want, f.RotateSmooth(deg)), "")
                        << w << " x " << h << " at " << deg << " degrees, selection " << (&rg - regions) << ", "
                        << wayName(way);
                    EXPECT_EQ(f.Bits(), pic);
                }
            }
    }
}

} // namespace
} // namespace tq
