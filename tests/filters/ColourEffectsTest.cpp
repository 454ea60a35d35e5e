#include "SmallPictures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tq {
namespace {

using test::Bgr;
using test::Engine;
using test::onePixel;

BitsBuffer must(const FilterResult& r)
{
    EXPECT_TRUE(r.has_value());
    return r ? *r : BitsBuffer();
}

std::function<BitsBuffer(cBitFilter&)> classy(int16_t n)
{
    return [n](cBitFilter& f) { return must(f.ClassyColors(n)); };
}

} // namespace

TEST(ColourEffects, ClassyColorsTable)
{
    struct Case {
        std::string name;
        Bgr in;
        std::function<BitsBuffer(cBitFilter&)> run;
        Bgr want;
    };
    const std::vector<Case> cases = {
        // G' = byte((R + G) x 0.99 / 2), R' = G, B' = byte(B x atan(G) / 1.9).
        {"0 G=0", {200, 0, 100}, classy(0), {0, 50, 0}},
        {"0 G=255", {200, 255, 100}, classy(0), {165, 176, 255}},
        {"1", {200, 255, 100}, classy(1), {200, 176, 255}},
        // (200 + 100) x 0.99 / 2 = 148.5: the tie goes to the even 148.
        {"2", {100, 7, 200}, classy(2), {200, 7, 148}},
        {"3", {100, 200, 7}, classy(3), {200, 148, 7}},
        {"4", {1, 2, 3}, classy(4), {1, 2, 3}},
        {"5", {1, 2, 3}, classy(5), {1, 2, 3}},
        // B' = R/2 + B/4 = 5 + 2.5, G' = R/4 + G/2 = 2.5 + 10, R' = G/4 + B/2 = 5 + 5.
        {"6", {10, 20, 10}, classy(6), {8, 12, 10}},
        {"7 k=0", {0, 255, 0}, classy(7), {0, 1, 1}},
        // k = rnd((100 x 0.99 x 2 + 60 x 0.99) / 12) = rnd(21.45) = 21.
        {"7", {100, 10, 60}, classy(7), {10, 40, 80}},
        {"8", {1, 2, 3}, classy(8), {2, 3, 3}},
        {"9", {1, 2, 3}, classy(9), {1, 2, 3}},
        {"10", {10, 5, 3}, classy(10), {2, 2, 3}},
        {"11", {1, 2, 3}, classy(11), {2, 1, 170}},
        {"12", {1, 2, 3}, classy(12), {1, 2, 3}},
        {"-1", {1, 2, 3}, classy(-1), {1, 2, 3}},
        {"OLDPHOTO blue", {255, 0, 0}, [](cBitFilter& f) { return f.OLDPHOTO(); }, {255, 18, 18}},
        {"THERMIQUE tie", {100, 100, 50}, [](cBitFilter& f) { return f.THERMIQUE(); }, {100, 100, 50}},
        {"THERMIQUE red", {10, 20, 30}, [](cBitFilter& f) { return f.THERMIQUE(); }, {0, 0, 30}},
        {"THERMIQUE green", {10, 30, 20}, [](cBitFilter& f) { return f.THERMIQUE(); }, {0, 30, 0}},
        {"THERMIQUE blue", {30, 10, 20}, [](cBitFilter& f) { return f.THERMIQUE(); }, {30, 0, 0}},
        {"XBLACK bright", {128, 200, 255}, [](cBitFilter& f) { return f.XBLACK(); }, {0, 0, 0}},
        {"XBLACK dark", {0, 64, 127}, [](cBitFilter& f) { return f.XBLACK(); }, {255, 255, 255}},
        {"XBLACK mixed", {127, 200, 255}, [](cBitFilter& f) { return f.XBLACK(); }, {127, 200, 255}},
        {"PHOTOCOP bright", {128, 200, 255}, [](cBitFilter& f) { return f.PHOTOCOP(); }, {255, 255, 255}},
        {"PHOTOCOP dark", {0, 64, 127}, [](cBitFilter& f) { return f.PHOTOCOP(); }, {0, 0, 0}},
        {"PHOTOCOP mixed", {127, 200, 255}, [](cBitFilter& f) { return f.PHOTOCOP(); }, {127, 200, 255}},
    };
    for (const Case& c : cases) EXPECT_EQ(onePixel(c.in, c.run), c.want) << c.name;
}

TEST(ColourEffects, FormulasReadTheOriginalPixel)
{
    // Wet paper swaps blue and green: both must come from Bits, not from a
    // byte already written.
    Engine e(test::patterned(7, 3));
    const BitsBuffer out = must(e.f.ClassyColors(11));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(out.at(0, x, y), e.f.Bits().at(1, x, y));
            EXPECT_EQ(out.at(1, x, y), e.f.Bits().at(0, x, y));
        }
}

} // namespace tq
