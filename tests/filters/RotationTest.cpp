// ROTATE and RotateSmooth.
#include "PositionPictures.h"
#include "filters/PixelWalks.h"

#include <algorithm>
#include <cmath>

namespace tq {
namespace {

using namespace positionpics;
using P = std::pair<int, int>;

TEST(Rotate, QuarterTurnsAreExact)
{
    const BitsBuffer in = positions(5, 5);   // cx = cy = 2
    Engine e(in);
    const BitsBuffer plus = e.f.ROTATE(90);
    const BitsBuffer minus = e.f.ROTATE(-90);
    const BitsBuffer smooth = e.f.RotateSmooth(90);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            // +90: what was below the centre is now to its right.
            EXPECT_EQ(from(plus, x, y), P(4 - y, x)) << x << "," << y;
            EXPECT_EQ(from(minus, x, y), P(y, 4 - x)) << x << "," << y;
            if (x > 0 && y > 0 && x < 4 && y < 4) {
                EXPECT_EQ(from(smooth, x, y), P(4 - y, x)) << x << "," << y;
            }
        }
    EXPECT_EQ(from(plus, 3, 2), P(2, 3));   // (cx + 1, cy) takes (cx, cy + 1)
    // The smooth turn's sample for (0, 0) lies at row -0.0000007 (c is not
    // quite 0): its floor is -1, outside, so the pixel is black.
    EXPECT_TRUE(isBlack(smooth, 0, 0));
    expectBorderAndMarkersKept(in, plus);
    expectBorderAndMarkersKept(in, smooth);
}

TEST(Rotate, SourcesOutsideThePictureTurnBlackOrStay)
{
    const BitsBuffer in = positions(6, 4);   // cx 2, cy 1: (x, y) takes (3 - y, x - 1)
    Engine e(in);
    const BitsBuffer out = e.f.ROTATE(90);
    EXPECT_EQ(from(out, 2, 1), P(2, 1));
    EXPECT_EQ(from(out, 4, 0), P(3, 3));
    EXPECT_TRUE(isBlack(out, 0, 2));   // source row -1
    EXPECT_TRUE(isBlack(out, 5, 0));   // source row 4
    const BitsBuffer keep = e.f.ROTATE(90, false);
    EXPECT_TRUE(samePixel(keep, in, 0, 2));
    EXPECT_TRUE(samePixel(keep, in, 5, 0));
    // The smooth turn: row -0.9999997 floors to -1 (black); row 3.9999997
    // floors to 3, inside, and blends with the border row below it.
    const BitsBuffer smooth = e.f.RotateSmooth(90);
    EXPECT_TRUE(isBlack(smooth, 0, 2));
    EXPECT_EQ(smooth.at(0, 5, 0), kBorder);
}

TEST(Rotate, ZeroDegrees)
{
    for (auto [w, h] : {P{1, 1}, P{2, 3}, P{7, 4}, P{30, 17}}) {
        const BitsBuffer in = positions(w, h);
        Engine e(in);
        EXPECT_EQ(e.f.RotateSmooth(0), in) << w << " x " << h;
        EXPECT_EQ(e.f.ROTATE(0), in) << w << " x " << h;
    }
    const BitsBuffer in = positions(5, 5);
    Engine e(in, diamond5());
    EXPECT_EQ(e.f.RotateSmooth(0), in);
    EXPECT_EQ(e.f.ROTATE(0, false), in);
    const BitsBuffer out = e.f.ROTATE(0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (e.rg.contains(x, y)) {
                EXPECT_TRUE(samePixel(out, in, x, y));
            } else {
                EXPECT_TRUE(isBlack(out, x, y)) << x << "," << y;
            }
        }
}

TEST(Rotate, RectangularSelectionTurnsOnlyItsContent)
{
    // Centre (3, 3) of the picture: (x, y) takes (6 - y, x).
    const BitsBuffer in = positions(8, 8);
    Engine e(in, Region::rect(2, 2, 6, 5));
    const BitsBuffer sharp = e.f.ROTATE(90);
    const BitsBuffer smooth = e.f.RotateSmooth(90);
    EXPECT_EQ(from(sharp, 2, 2), P(4, 2));
    EXPECT_EQ(from(sharp, 3, 4), P(2, 3));
    EXPECT_TRUE(isBlack(sharp, 5, 2));         // source (4, 5) lies below the selection
    EXPECT_EQ(from(smooth, 5, 2), P(4, 5));    // the smooth turn takes the whole picture
    EXPECT_EQ(from(smooth, 3, 4), P(2, 3));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (!e.rg.contains(x, y)) {
                EXPECT_TRUE(samePixel(sharp, in, x, y));
                EXPECT_TRUE(samePixel(smooth, in, x, y));
            }
}

TEST(RotateSmooth, BlendsWithTheBufferBorder)
{
    // 45 degrees on 3 x 3 (centre (1, 1)); c = 0.70710689, s = 0.70710665.
    const BitsBuffer in = uniform(3, 3, 100, 100, 100);   // border 77
    Engine e(in);
    const BitsBuffer out = e.f.RotateSmooth(45);
    // (2, 1) samples (1.707, 1.707): four picture pixels.
    EXPECT_EQ(out.at(0, 2, 1), 100);
    // (2, 2) samples (1.0000002, 2.4142135): down each column
    // rnd(0.5857865 * 100 + 0.4142135 * 77) = rnd(90.47) = 90.
    EXPECT_EQ(out.at(0, 2, 2), 90);
    EXPECT_EQ(out.at(2, 2, 2), 90);
    // (0, 0) samples row -0.414: floor -1 lies outside, black.
    EXPECT_TRUE(isBlack(out, 0, 0));
    expectBorderAndMarkersKept(in, out);
}

// The smooth turn's pixel loop is tuned; here it is held against the
// formulas written out plainly, on a varied picture at many angles.
TEST(RotateSmooth, MatchesThePlainFormulasAtManyAngles)
{
    BitsBuffer in(23, 17);
    uint32_t seed = 12345;
    for (size_t i = 0; i < in.byteSize(); ++i) {
        seed = seed * 1103515245u + 12345u;
        in.data()[i] = static_cast<uint8_t>(seed >> 16);
    }
    const int cx = 11, cy = 8;
    for (bool vector : {true, false})
    for (int deg : {1, 7, 30, 45, 89, 90, 135, 180, 200, 271, 333, -17, 721}) {
        allowWideVectors(vector);
        Engine e(in);
        const BitsBuffer out = e.f.RotateSmooth(deg);
        allowWideVectors(true);
        const float c = static_cast<float>(std::cos(deg * kDegToRad));
        const float s = static_cast<float>(std::sin(deg * kDegToRad));
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 23; ++x) {
                const double dx = x - cx, dy = y - cy;
                const float fx = static_cast<float>(dx * c - dy * s + cx);
                const float fy = static_cast<float>(dx * s + dy * c + cy);
                const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
                for (int ch = 0; ch < 3; ++ch) {
                    int want = 0;
                    if (ix >= 0 && iy >= 0 && ix < 23 && iy < 17) {
                        const float wx = fx - static_cast<float>(ix), wy = fy - static_cast<float>(iy);
                        const float p00 = in.at(ch, ix, iy), p10 = in.at(ch, ix + 1, iy);
                        const float p01 = in.at(ch, ix, iy + 1), p11 = in.at(ch, ix + 1, iy + 1);
                        const int left = rnd((1 - static_cast<double>(wy)) * p00 + static_cast<double>(p01) * wy);
                        const int right = rnd((1 - static_cast<double>(wy)) * p10 + static_cast<double>(p11) * wy);
                        want = std::clamp(rnd(left * (1 - static_cast<double>(wx)) + right * static_cast<double>(wx)), 0, 255);
                    }
                    ASSERT_EQ(out.at(ch, x, y), want)
                        << deg << " degrees at " << x << "," << y << " channel " << ch << " vector rows " << vector;
                }
            }
        const BitsBuffer sharp = e.f.ROTATE(deg, false);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 23; ++x) {
                const double dx = x - cx, dy = y - cy;
                const int sx = rnd(dx * c - dy * s + cx), sy = rnd(dx * s + dy * c + cy);
                const bool inside = sx >= 0 && sy >= 0 && sx < 23 && sy < 17;
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_EQ(sharp.at(ch, x, y), inside ? in.at(ch, sx, sy) : in.at(ch, x, y)) << deg << " at " << x << "," << y;
            }
    }
}

TEST(Rotate, NoSelectionReturnsACopy)
{
    Engine e(positions(6, 5), Region());
    EXPECT_EQ(e.f.ROTATE(33), e.f.Bits());
    EXPECT_EQ(e.f.RotateSmooth(33), e.f.Bits());
    EXPECT_EQ(e.reports, (std::vector<int32_t>{100, 100}));
}

} // namespace
} // namespace tq
