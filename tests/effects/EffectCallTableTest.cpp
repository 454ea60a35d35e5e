// The effect-call table against a recording library: for every effect
// number, which function is called and with which arguments of which kinds;
// the numbers without an effect; the conversions at their rounding edges;
// and the binding of the library (missing library, first use, kinds that do
// not fit).
#include "effectslib/EffectCalls.h"
#include "support/ZorveliRecorder.h"

#include "effects/library/EffectsLibrary.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tq;
using F = ZorveliFn;
using Args = std::vector<EffectArg>;

EffectArg I32(int32_t v) { return v; }
EffectArg K(int32_t v) { return v; }
EffectArg I16(int16_t v) { return v; }
EffectArg U8(uint8_t v) { return v; }
EffectArg F32(float v) { return v; }
EffectArg F64(double v) { return v; }

std::string describe(const EffectArg& a)
{
    return std::visit(
        [](auto v) {
            using T = decltype(v);
            const char* kind = std::is_same_v<T, int32_t> ? "I32"
                : std::is_same_v<T, int16_t>              ? "I16"
                : std::is_same_v<T, uint8_t>              ? "U8"
                : std::is_same_v<T, float>                ? "F32"
                                                          : "F64";
            return std::string(kind) + "(" + std::to_string(+v) + ")";
        },
        a);
}

std::string describe(const Args& args)
{
    std::string s;
    for (const EffectArg& a : args) s += describe(a) + " ";
    return s;
}

struct Row {
    int16_t id;
    int32_t v;
    F function;
    Args args;
};

constexpr int32_t kC = 0x123456;   // colour to replace
constexpr int32_t kR = 0x654321;   // replacement colour
constexpr int32_t kW = 320;
constexpr int32_t kH = 200;

// Every effect at v = 7 (so the halves and quotients show their rounding),
// then the cases the table must get right at its edges.
const std::vector<Row>& rows()
{
    static const std::vector<Row> r = {
        {2, 7, F::Brightness, {I32(7)}},
        {3, 7, F::Contrast, {F32(0.07f), F32(0.07f), F32(0.07f)}},
        {4, 7, F::Sharpening, {F32(0.07f)}},
        {5, 7, F::Gamma, {F32(0.28f)}},
        {6, 7, F::ReduceColors, {I32(7)}},
        {7, 7, F::ReduceTo8Colors, {}},
        {8, 7, F::Shift, {I32(7)}},
        {9, 7, F::Saturation, {I32(7)}},
        {10, 7, F::Hue, {I32(7)}},
        {11, 7, F::ColorBalance, {K(0), K(0), I16(7)}},
        {12, 7, F::WebColors, {}},
        {13, 7, F::MediumTones, {I32(7)}},
        {14, 7, F::StretchHistogram, {K(7), F64(1.0)}},
        {16, 7, F::Cilindrical, {F64(7.0)}},
        {17, 7, F::Blur, {}},
        {18, 7, F::SmartBlur, {K(20)}},
        {19, 7, F::AdvancedBlur, {I16(7), K(25), K(-1)}},
        {20, 7, F::SoftnerBlur, {}},
        {21, 7, F::MotionBlur, {F64(7.0), K(15)}},
        {22, 7, F::FarBlur, {I32(7)}},
        {23, 7, F::RadialBlur, {I32(7)}},
        {24, 7, F::ZoomBlur, {I32(7)}},
        {25, 7, F::UnsharpMask, {K(2), F64(7.0)}},
        {27, 7, F::GrayScale, {I32(7)}},
        {28, 7, F::Sepia, {}},
        {29, 7, F::AmbientLight, {I32(kC), I32(7)}},
        {30, 7, F::Tone, {I32(kC), I32(7)}},
        {32, 7, F::Diffuse, {}},
        {33, 7, F::Rock, {I32(7)}},
        {34, 7, F::ColorRandomize, {I32(7)}},
        {35, 7, F::Melt, {}},
        {36, 7, F::FishEye, {}},
        {37, 7, F::FishEyeEx, {F64(7.0)}},
        {38, 7, F::Twirl, {I32(7)}},
        {39, 7, F::TwirlEx, {F64(-7.0), F64(7.0)}},
        {40, 7, F::Swirl, {I32(7)}},
        {41, 7, F::Make3DEffect, {K(6)}},
        {42, 7, F::FourCorners, {}},
        {43, 7, F::Caricature, {}},
        {44, 7, F::Roll, {}},
        {45, 7, F::PolarCoordinates, {K(0)}},
        {46, 7, F::Cilindrical, {F64(7.0)}},
        {47, 7, F::Mosaic, {I32(7)}},
        {48, 7, F::Waves, {I32(7), I32(7), U8(7), K(-1)}},
        {49, 7, F::BlockWaves, {I16(7), I16(4), K(1)}},
        {50, 7, F::CircularWaves, {I16(7), I16(7)}},
        {51, 7, F::CircularWavesEx, {I32(28), I16(7)}},
        {53, 7, F::BackDropRemoval, {I32(kC), I32(kR), I32(7)}},
        {54, 7, F::Emboss, {F32(0.07f)}},
        {55, 7, F::Neon, {I16(7), K(2)}},
        {56, 7, F::DetectBorders, {I32(7), I32(kC), I32(kR)}},
        {57, 7, F::FindEdges, {I16(7), K(2)}},
        {58, 7, F::NotePaper, {I32(7), K(2), K(20), K(1), I32(kC), I32(kR)}},
        {60, 7, F::Metallic, {K(4), I32(7), K(1)}},
        {61, 7, F::Metallic, {K(4), I32(7), K(2)}},
        {62, 7, F::Metallic, {K(4), I32(7), K(3)}},
        {64, 7, F::Invert, {I32(7)}},
        {65, 7, F::Stamp, {I32(7)}},
        {66, 7, F::BackDropRemoval, {I32(kC), I32(kR), I32(7)}},
        {67, 7, F::RandomicalPoints, {I32(7), I32(kC)}},
        {68, 7, F::Solarize, {K(0)}},
        {69, 7, F::Canvas, {I32(7)}},
        {70, 7, F::Relief, {}},
        {71, 7, F::Tile, {I32(7), I32(7), K(6)}},
        {72, 7, F::Fragment, {I32(7)}},
        {73, 7, F::Fog, {I32(7)}},
        {74, 7, F::OilPaint, {I32(0), I32(7)}},
        {75, 7, F::FrostGlass, {K(3)}},
        {76, 7, F::RainDrops, {K(40), K(50), K(40)}},
        {78, 7, F::Flip, {I32(kW), I32(kH), K(1), K(0)}},
        {79, 7, F::Flip, {I32(kW), I32(kH), K(0), K(1)}},
        {80, 7, F::Flip, {I32(kW), I32(kH), K(1), K(1)}},
        // Block waves: the second argument is v / 2 to the nearest, halves
        // to the even neighbour.
        {49, 1, F::BlockWaves, {I16(1), I16(0), K(1)}},
        {49, 3, F::BlockWaves, {I16(3), I16(2), K(1)}},
        {49, 5, F::BlockWaves, {I16(5), I16(2), K(1)}},
        {49, 7, F::BlockWaves, {I16(7), I16(4), K(1)}},
        // Oil paint: the first argument is v / 50 the same way.
        {74, 25, F::OilPaint, {I32(0), I32(25)}},
        {74, 75, F::OilPaint, {I32(2), I32(75)}},
        {74, 125, F::OilPaint, {I32(2), I32(125)}},
        {74, 255, F::OilPaint, {I32(5), I32(255)}},
        {39, -100, F::TwirlEx, {F64(100.0), F64(-100.0)}},
        {3, 100, F::Contrast, {F32(1.0f), F32(1.0f), F32(1.0f)}},
        {5, 0, F::Gamma, {F32(0.0f)}},
        {5, 25, F::Gamma, {F32(1.0f)}},
        {4, 60, F::Sharpening, {F32(0.6f)}},
        {51, 20, F::CircularWavesEx, {I32(80), I16(20)}},
        {54, -255, F::Emboss, {F32(-2.55f)}},
        // Anti-Alias, applied at once, reaches the cylinder with v = 0.
        {16, 0, F::Cilindrical, {F64(0.0)}},
        {48, 255, F::Waves, {I32(255), I32(255), U8(255), K(-1)}},
    };
    return r;
}

TEST(EffectCallTable, EveryEffectCallsItsFunctionWithItsArgumentKinds)
{
    ZorveliRecorder rec;
    EffectSurface dst, src;
    int32_t reserved = 0;
    for (const Row& row : rows()) {
        SCOPED_TRACE("id " + std::to_string(row.id) + " v " + std::to_string(row.v));
        rec.clear();
        const auto call = effectCall(row.id, row.v, kC, kR, kW, kH);
        ASSERT_TRUE(call.has_value());
        EXPECT_TRUE(runEffectCall(*call, dst, src, &reserved));
        ASSERT_EQ(rec.calls().size(), 1u);
        const ZorveliCallRecord& got = rec.calls()[0];
        EXPECT_EQ(zorveliFunctionName(got.function), zorveliFunctionName(row.function));
        EXPECT_EQ(describe(got.args), describe(row.args));
        EXPECT_EQ(got.args, row.args);   // kinds and values, bit for bit
        // Destination first, source second, the caller's variable last.
        EXPECT_EQ(got.dst, &dst);
        EXPECT_EQ(got.src, &src);
        EXPECT_EQ(got.reserved, &reserved);
    }
}

TEST(EffectCallTable, NumbersWithoutAnEffectMakeNoCall)
{
    ZorveliRecorder rec;
    for (int16_t id : std::initializer_list<int16_t>{15, 26, 31, 52, 59, 63, 77, 1, 81, 0, -1, 100, INT16_MIN, INT16_MAX}) {
        EXPECT_FALSE(effectCall(id, 5, kC, kR, kW, kH).has_value()) << id;
    }
    // Every number from 2 to 80 that is not in the list above has a call.
    int withCall = 0;
    for (int16_t id = 2; id <= 80; ++id) withCall += effectCall(id, 5, kC, kR, kW, kH).has_value();
    EXPECT_EQ(withCall, 72);
    EXPECT_TRUE(rec.calls().empty());
}

// A strength that cannot take the width of its argument means the call is
// not made at all, rather than a wrapped value reaching the library.
TEST(EffectCallTable, AStrengthTooWideForItsArgumentMakesNoCall)
{
    struct Case {
        int16_t id;
        int32_t v;
        bool called;
    };
    const Case cases[] = {
        {11, 32767, true},    {11, 32768, false},    {11, -32769, false},   // I16 v
        {48, 255, true},      {48, 256, false},      {48, -1, false},   // U8 v
        {49, 32767, true},    {49, 32768, false},   // I16 v beside v / 2
        {51, 32767, true},    {51, 32768, false},   // I16 v beside 4 v
        {2, INT32_MIN, true}, {39, INT32_MIN, true},   // I32 and F64 take any v
    };
    for (const Case& c : cases)
        EXPECT_EQ(effectCall(c.id, c.v, 0, 0, 1, 1).has_value(), c.called) << c.id << " " << c.v;
}

TEST(EffectCallTable, TheTileEffectClearsTheDestinationToTheReplacementColourFirst)
{
    ZorveliRecorder rec;
    const auto call = effectCall(71, 4, kC, 0x0000FF, kW, kH);   // red
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->background, std::optional<int32_t>(0x0000FF));
    EXPECT_FALSE(effectCall(70, 4, kC, 0x0000FF, kW, kH)->background.has_value());

    EffectSurface src;
    src.width = 2;
    src.height = 1;
    src.header = BitsHeader::forDib(2, 1);
    src.bits.assign(8, 9);
    EffectSurface dst;   // empty: it takes the source's size
    ASSERT_TRUE(runEffectCall(*call, dst, src, nullptr));
    EXPECT_EQ(dst.width, 2);
    EXPECT_EQ(dst.height, 1);
    EXPECT_EQ(dst.bits, (std::vector<uint8_t>{0, 0, 255, 0, 0, 0, 255, 0}));   // blue, green, red, 0

    // A system colour is translated: the window background of the classic
    // palette or the running desktop's, here white.
    const auto sys = effectCall(71, 4, kC, static_cast<int32_t>(0x80000005u), kW, kH);
    ASSERT_TRUE(runEffectCall(*sys, dst, src, nullptr));
    EXPECT_EQ(dst.bits[0], 255);
    // One that names no system colour leaves the destination, and the call
    // is still made.
    dst.bits.assign(8, 7);
    rec.clear();
    const auto bad = effectCall(71, 4, kC, static_cast<int32_t>(0x80000099u), kW, kH);
    ASSERT_TRUE(runEffectCall(*bad, dst, src, nullptr));
    EXPECT_EQ(dst.bits, std::vector<uint8_t>(8, 7));
    EXPECT_EQ(rec.calls().size(), 1u);
}

TEST(EffectCallTable, ACallFailsWhenTheLibraryLacksTheFunctionOrItFails)
{
    EffectSurface src, dst;
    {
        // No library at all: every pointer is null.
        ScopedZorveliLib none{ZorveliLib{}};
        EXPECT_FALSE(runEffectCall(*effectCall(17, 0, 0, 0, 1, 1), dst, src, nullptr));
    }
    {
        // A library that lacks one function.
        ZorveliLib partial = ZorveliRecorder::table();
        partial.Blur = nullptr;
        ScopedZorveliLib scope(partial);
        EXPECT_FALSE(runEffectCall(*effectCall(17, 0, 0, 0, 1, 1), dst, src, nullptr));
        EXPECT_TRUE(runEffectCall(*effectCall(70, 0, 0, 0, 1, 1), dst, src, nullptr));
    }
    ZorveliRecorder rec;
    rec.setResult(false);
    EXPECT_FALSE(runEffectCall(*effectCall(17, 0, 0, 0, 1, 1), dst, src, nullptr));
    EXPECT_EQ(rec.calls().size(), 1u);
}

TEST(EffectCallTable, ArgumentsOfTheWrongKindOrCountAreRefused)
{
    ZorveliRecorder rec;
    EffectSurface src, dst;
    EXPECT_FALSE(callZorveli(F::BlockWaves, {I32(3), I16(2), K(1)}, dst, src, nullptr));   // I32 for I16
    EXPECT_FALSE(callZorveli(F::Waves, {I32(3), I32(3), I32(3), K(-1)}, dst, src, nullptr));   // I32 for U8
    EXPECT_FALSE(callZorveli(F::Emboss, {F64(0.5)}, dst, src, nullptr));   // F64 for F32
    EXPECT_FALSE(callZorveli(F::Blur, {I32(1)}, dst, src, nullptr));   // one too many
    EXPECT_FALSE(callZorveli(F::Brightness, {}, dst, src, nullptr));   // one too few
    EXPECT_TRUE(rec.calls().empty());
    EXPECT_TRUE(callZorveli(F::BlockWaves, {I16(3), I16(2), K(1)}, dst, src, nullptr));
}

TEST(EffectCallTable, TheLibraryIsBoundAtItsFirstUseAfterRegistration)
{
    // The names follow the library's own.
    EXPECT_EQ(zorveliFunctionName(F::Blur), "zorveliLIB_Blur");
    EXPECT_EQ(zorveliFunctionName(F::RandomicalPoints), "zorveliLIB_RandomicalPoints");
    EXPECT_EQ(kZorveliFunctionCount, 66);

    effects::registerEffectsLibrary();
    const ZorveliLib& lib = zorveliLIB();
    EXPECT_NE(lib.Blur, nullptr);
    EXPECT_NE(lib.ZoomBlur, nullptr);
    {
        ZorveliRecorder rec;   // swapped in...
        EXPECT_EQ(zorveliLIB().Blur, ZorveliRecorder::table().Blur);
    }
    EXPECT_NE(zorveliLIB().Blur, ZorveliRecorder::table().Blur);   // ...and out again
    EXPECT_NE(zorveliLIB().Blur, nullptr);
}

} // namespace
