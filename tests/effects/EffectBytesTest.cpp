// Every function of the effects library gives the bytes it gave when these
// hashes were taken, on one thread and on several, with the wide vector
// rows and without them, with its rows streamed past the caches or not. The pictures: a small one of odd size (a single
// band, vector rows with short tails), a landscape large enough for its
// rows to be shared among threads, and a picture of colours that holds
// every pair of blue and green (the point effects' whole range of inputs).
// Every source carries other values than 0 in its fourth byte, which no
// result may keep.
#include "EffectPictures.h"

#include "effects/library/EffectsLibrary.h"
#include "effects/library/Parallel.h"
#include "effects/library/Pixels.h"
#include "filters/PixelWalks.h"
#include "effectslib/EffectCalls.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace tq;
using F = ZorveliFn;

// The fourth byte of every pixel set to something other than 0.
EffectSurface withFourthBytes(EffectSurface s)
{
    for (size_t i = 3; i < s.bits.size(); i += 4) s.bits[i] = static_cast<uint8_t>(i * 37 + 11);
    return s;
}

// 256 x 256: pixel (x, y) blue x, green y, red a mix of both.
EffectSurface everyBlueAndGreen()
{
    EffectSurface s = fx::blankSurface(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = fx::pixelAt(s, x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x * 167 + y * 91 + (x >> 3));
        }
    return s;
}

const std::vector<EffectSurface>& pictures()
{
    static const std::vector<EffectSurface> all = {withFourthBytes(fx::photoLike(61, 43)),
                                                   withFourthBytes(fx::photoLike(227, 163)),
                                                   withFourthBytes(everyBlueAndGreen())};
    return all;
}

uint64_t hashOf(const EffectSurface& s, uint64_t h)
{
    const auto mix = [&](uint64_t v) { h = (h ^ v) * 0x100000001B3ull; };
    mix(uint64_t(uint32_t(s.width)) << 32 | uint32_t(s.height));
    for (uint8_t b : s.bits) mix(b);
    return h;
}

struct Pinned {
    F fn;
    std::vector<EffectArg> args;
    uint64_t hash;   // of the results on the three pictures, in order
};

// Every function, at one or more settings that take its main paths.
const std::vector<Pinned> kPinned = {
    {F::AdvancedBlur, {int16_t(5), int32_t(25), int32_t(-1)}, 0x6BDFA05378369152},
    {F::AdvancedBlur, {int16_t(4), int32_t(30), int32_t(0)}, 0xAB0E02AEEA1B4F68},
    {F::AmbientLight, {int32_t(0x80C0FF), int32_t(200)}, 0x8A0FE3BDEECDF054},
    {F::BackDropRemoval, {int32_t(0x808080), int32_t(0xFF00FF), int32_t(80)}, 0x5E76C31AFEDDF036},
    {F::BlockWaves, {int16_t(16), int16_t(8), int32_t(1)}, 0x0E579DB94664B1E7},
    {F::BlockWaves, {int16_t(10), int16_t(5), int32_t(3)}, 0x0E925F703335925D},
    {F::Blur, {}, 0x2E3F242E3CFA0EC7},
    {F::Brightness, {int32_t(60)}, 0xE0039D3D3211343F},
    {F::Brightness, {int32_t(-300)}, 0xDBC7F46D145DDB01},
    {F::Canvas, {int32_t(6)}, 0x1E181191325DF9BF},
    {F::Caricature, {}, 0xCD19A014BA122786},
    {F::Cilindrical, {25.0}, 0xB329E6B80A3D966B},
    {F::Cilindrical, {-20.0}, 0xEF0F0F9E9DECBF04},
    {F::CircularWaves, {int16_t(16), int16_t(16)}, 0xDAF78AA188378824},
    {F::CircularWavesEx, {int32_t(64), int16_t(16)}, 0x5E687062F590966F},
    {F::ColorBalance, {int32_t(40), int32_t(-30), int16_t(100)}, 0xEE283313757636B0},
    {F::ColorRandomize, {int32_t(80)}, 0x5C0CD8086E2A7AC7},
    {F::ColorRandomize, {int32_t(-60)}, 0xB99336F20201B004},
    {F::Contrast, {1.5f, 0.7f, 2.2f}, 0x20CEE0285C99292B},
    {F::Contrast, {0.0f, 1.0f, -0.5f}, 0x2D8EAD37F68F6599},
    {F::DetectBorders, {int32_t(60), int32_t(0x808080), int32_t(0xFF)}, 0x2D079FF4BD18C50B},
    {F::Diffuse, {}, 0x1939D6FA230FDF0B},
    {F::Emboss, {1.5f}, 0x53A6E8223CCF47D3},
    {F::Emboss, {-2.0f}, 0x3294F4FA12517300},
    {F::FarBlur, {int32_t(30)}, 0x31F33604AC7B1553},
    {F::FindEdges, {int16_t(2), int32_t(2)}, 0xAE78E9524515E80C},
    {F::FindEdges, {int16_t(0), int32_t(5)}, 0x04B6D0253F88BD76},
    {F::FishEye, {}, 0xD7BC5F954E6E591F},
    {F::FishEyeEx, {200.0}, 0x4C59AB586DAFEC58},
    {F::FishEyeEx, {-150.0}, 0xC72291D22F8B3F57},
    {F::Flip, {int32_t(0), int32_t(0), int32_t(1), int32_t(1)}, 0x2B20D5306CD45F2D},   // the size is the picture's
    {F::Flip, {int32_t(0), int32_t(0), int32_t(7), int32_t(0)}, 0x55684B8E3E24DFE5},
    {F::Flip, {int32_t(0), int32_t(0), int32_t(0), int32_t(-1)}, 0x30487DFF5D1B5A49},
    {F::Flip, {int32_t(0), int32_t(0), int32_t(0), int32_t(0)}, 0x808A1333182E5A69},
    {F::Fog, {int32_t(100)}, 0x5596EC88A3418272},
    {F::FourCorners, {}, 0x2ED5ECC66972DF31},
    {F::Fragment, {int32_t(6)}, 0x89BBFEBDD3953FE7},
    {F::FrostGlass, {int32_t(3)}, 0x44A7B432D90C129F},
    {F::Gamma, {2.4f}, 0xBDA42D9967A8E6A4},
    {F::Gamma, {0.5f}, 0x9569C4ADB1FBEDA8},
    {F::GrayScale, {int32_t(0)}, 0xC2B849A7034B524B},
    {F::GrayScale, {int32_t(40)}, 0x6C38F73824741EF6},
    {F::GrayScale, {int32_t(-300)}, 0xDBC7F46D145DDB01},
    {F::Hue, {int32_t(120)}, 0xC65FCD3C5AD61860},
    {F::Hue, {int32_t(350)}, 0x5008816C9D8A0339},
    {F::Invert, {int32_t(0)}, 0x0FC9F807E5365927},
    {F::Invert, {int32_t(128)}, 0xE7C7AC495F130E54},
    {F::Invert, {int32_t(200)}, 0x4DEA02AB18C40DD1},
    {F::Invert, {int32_t(-3)}, 0x0FC9F807E5365927},
    {F::Make3DEffect, {int32_t(6)}, 0x318BAFB721DC6ABA},
    {F::MediumTones, {int32_t(200)}, 0x34050564BC263346},
    {F::MediumTones, {int32_t(-150)}, 0xF2B029FF549E1075},
    {F::Melt, {}, 0x1F302E284959297B},
    {F::Metallic, {int32_t(4), int32_t(50), int32_t(1)}, 0x6E6410813388426C},
    {F::Metallic, {int32_t(6), int32_t(20), int32_t(2)}, 0x09529F06C18DEE19},
    {F::Metallic, {int32_t(4), int32_t(100), int32_t(3)}, 0xC67D77B9D5512E4D},
    {F::Mosaic, {int32_t(8)}, 0x43CF0FAA4594444F},
    {F::MotionBlur, {45.0, int32_t(15)}, 0xA4CA20E072564F1C},
    {F::Neon, {int16_t(3), int32_t(2)}, 0x90DBEBBD8ED1E044},
    {F::Neon, {int16_t(0), int32_t(2)}, 0x7A566B82F46A0CEC},
    {F::NotePaper, {int32_t(120), int32_t(2), int32_t(20), int32_t(1), int32_t(0x402020), int32_t(0xE0F0F0)}, 0xDED5CBF8B3C65EB3},
    {F::OilPaint, {int32_t(4), int32_t(200)}, 0xF2D6125916709E25},
    {F::PolarCoordinates, {int32_t(0)}, 0x25B324CFF70640D5},
    {F::PolarCoordinates, {int32_t(1)}, 0xCDB3CFC6B3A94C33},
    {F::RadialBlur, {int32_t(20)}, 0x0EAA6C26B36CF060},
    {F::RainDrops, {int32_t(40), int32_t(50), int32_t(40)}, 0x111B3461E770ED5D},
    {F::RandomicalPoints, {int32_t(60), int32_t(0xFF)}, 0x8BCBB2566158877E},
    {F::ReduceColors, {int32_t(60)}, 0x42562B5339F7C71F},
    {F::ReduceTo8Colors, {}, 0x306C63ECCED1B6C4},
    {F::Relief, {}, 0x493FE01AA6CD1D97},
    {F::Rock, {int32_t(5)}, 0xC282BBC87CDE4A17},
    {F::Roll, {}, 0x3122E3E9F63891B5},
    {F::Saturation, {int32_t(300)}, 0xEF734511715360C7},
    {F::Saturation, {int32_t(-100)}, 0x3AFBC43C820EEE7F},
    {F::Saturation, {int32_t(128)}, 0x4F2796878C4C7F93},
    {F::Sepia, {}, 0x12ACB08CDF7EB35B},
    {F::Sharpening, {0.6f}, 0x4F974694BD1E408D},
    {F::Sharpening, {-0.3f}, 0x44D8E4F22B28136E},
    {F::Shift, {int32_t(100)}, 0xC9673B4A714ADD29},
    {F::Shift, {int32_t(-37)}, 0x5D1674FD6DEF9D7F},
    {F::SmartBlur, {int32_t(20)}, 0x9E613D21988D984D},
    {F::Solarize, {int32_t(0)}, 0x021902BA13DFA56C},
    {F::Solarize, {int32_t(1)}, 0xB3239440583093D6},
    {F::SoftnerBlur, {}, 0x27437D8FF3E2D957},
    {F::Stamp, {int32_t(0)}, 0x9842B457BB326EA2},
    {F::Stamp, {int32_t(128)}, 0x7BEE7722F9370ABD},
    {F::StretchHistogram, {int32_t(7), 1.0}, 0x04AB1B362C5BA45A},
    {F::StretchHistogram, {int32_t(5), 10.0}, 0xB4E92D79B204BCDE},
    {F::Swirl, {int32_t(200)}, 0x2168AA846A50B7A8},
    {F::Tile, {int32_t(6), int32_t(6), int32_t(6)}, 0x3569493D3317F4D3},
    {F::Tone, {int32_t(0x3070C0), int32_t(200)}, 0x9F136A0ED13BD641},
    {F::Tone, {int32_t(0xFFFFFF), int32_t(255)}, 0xD1D918E10F7B065C},
    {F::Twirl, {int32_t(50)}, 0x24088B8AC2FD00DA},
    {F::TwirlEx, {-60.0, 60.0}, 0x9920AC1EF9101F29},
    {F::UnsharpMask, {int32_t(2), 10.0}, 0x465248BB144A5E13},
    {F::UnsharpMask, {int32_t(5), -8.0}, 0x595535B030B308B9},
    {F::Waves, {int32_t(10), int32_t(10), uint8_t(10), int32_t(-1)}, 0x9D0A9FBDDE91BBD9},
    {F::Waves, {int32_t(20), int32_t(30), uint8_t(200), int32_t(0)}, 0x6B711F107379B740},
    {F::WebColors, {}, 0x38EDF82CFB2A103B},
    {F::ZoomBlur, {int32_t(150)}, 0xF521DA1A6543584E},
};

// The case's arguments for a picture: the flip names the picture's size.
std::vector<EffectArg> argsFor(const Pinned& c, const EffectSurface& src)
{
    std::vector<EffectArg> args = c.args;
    if (c.fn == F::Flip) {
        args[0] = int32_t(src.width);
        args[1] = int32_t(src.height);
    }
    return args;
}

// The hash of one case's results on every picture; `trouble` names a call
// that failed, a result that kept a fourth byte or one that depends on what
// the destination held.
uint64_t resultsOf(const Pinned& c, std::string& trouble)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (const EffectSurface& src : pictures()) {
        const std::vector<EffectArg> args = argsFor(c, src);
        EffectSurface dst;
        programRandom().seed(17);
        if (!callZorveli(c.fn, args, dst, src, nullptr)) trouble += " the call failed;";
        for (size_t i = 3; i < dst.bits.size(); i += 4)
            if (dst.bits[i] != 0) {
                trouble += " a fourth byte is kept;";
                break;
            }
        // A destination that already has the source's size gets the same
        // bytes (the tiles alone lie over what it held).
        EffectSurface sameSize = src;
        for (uint8_t& b : sameSize.bits) b ^= 0x5A;
        programRandom().seed(17);
        callZorveli(c.fn, args, sameSize, src, nullptr);
        if (c.fn != F::Tile && sameSize.bits != dst.bits) trouble += " a destination of the source's size differs;";
        // So does the source made its own destination.
        EffectSurface self = src;
        programRandom().seed(17);
        callZorveli(c.fn, args, self, self, nullptr);
        if (c.fn != F::Tile && self.bits != dst.bits) trouble += " the source as its own destination differs;";
        h = hashOf(dst, h);
    }
    return h;
}

struct Setting {
    int threads;
    bool wide;
    bool streamed = false;   // every result shared among threads streamed past the caches
};

class EffectBytes : public testing::TestWithParam<Setting> {
protected:
    void SetUp() override
    {
        effects::registerEffectsLibrary();
        effects::setThreadCount(GetParam().threads);
        allowWideVectors(GetParam().wide);
        if (GetParam().streamed) walkdetail::setStreamedResultBytes(0);
    }
    void TearDown() override
    {
        effects::setThreadCount(0);
        allowWideVectors(true);
        walkdetail::setStreamedResultBytes(size_t(16) << 20);
    }
};

TEST_P(EffectBytes, EveryFunctionGivesItsPinnedBytes)
{
    std::set<F> seen;
    for (const Pinned& c : kPinned) {
        seen.insert(c.fn);
        std::string trouble;
        const uint64_t h = resultsOf(c, trouble);
        std::string what(zorveliFunctionName(c.fn));
        for (const EffectArg& a : c.args) {
            what += ' ';
            what += std::visit([](auto v) { return std::to_string(v); }, a);
        }
        char printed[24];
        std::snprintf(printed, sizeof printed, "0x%016" PRIX64, h);
        EXPECT_EQ(h, c.hash) << what << ": " << printed;
        EXPECT_EQ(trouble, "") << what;
    }
    EXPECT_EQ(seen.size(), size_t(kZorveliFunctionCount));
}

// On a picture large enough for every kernel to share its rows, columns or
// rings in many bands (a column pass of a few operations per pixel among
// them), one thread and many give the same bytes.
TEST(EffectThreads, ALargePictureGivesTheSameBytesOnOneThreadAndOnMany)
{
    effects::registerEffectsLibrary();
    const EffectSurface src = withFourthBytes(fx::photoLike(640, 400));
    const auto run = [&](const Pinned& c, int threads) {
        effects::setThreadCount(threads);
        EffectSurface dst;
        programRandom().seed(23);
        EXPECT_TRUE(callZorveli(c.fn, argsFor(c, src), dst, src, nullptr)) << zorveliFunctionName(c.fn);
        return dst.bits;
    };
    for (const Pinned& c : kPinned) EXPECT_TRUE(run(c, 1) == run(c, 7)) << zorveliFunctionName(c.fn);
    effects::setThreadCount(0);
}

// A point effect shared among threads streams its result out a piece of a
// row at a time. Rows a pixel shorter than a piece, as long as one, a
// pixel longer and over two pieces long give the plain bytes, into a new
// destination and over one of the source's size alike.
TEST(EffectThreads, StreamedPointEffectsGiveThePlainBytesAtAnyRowLength)
{
    effects::registerEffectsLibrary();
    const std::set<F> point = {F::Brightness, F::Contrast, F::GrayScale, F::Sepia, F::Invert, F::Solarize};
    const int32_t piece = effects::kStreamedPiecePixels;
    for (const int32_t w : {piece - 1, piece, piece + 1, 2 * piece + 37}) {
        const EffectSurface src = withFourthBytes(fx::photoLike(w, 48));
        for (const Pinned& c : kPinned) {
            if (!point.count(c.fn)) continue;
            const std::string what = std::string(zorveliFunctionName(c.fn)) + " at width " + std::to_string(w);
            const std::vector<EffectArg> args = argsFor(c, src);
            effects::setThreadCount(1);
            EffectSurface plain;
            ASSERT_TRUE(callZorveli(c.fn, args, plain, src, nullptr)) << what;
            effects::setThreadCount(4);
            walkdetail::setStreamedResultBytes(0);
            EffectSurface fresh, over = src;
            for (uint8_t& b : over.bits) b ^= 0x5A;
            EXPECT_TRUE(callZorveli(c.fn, args, fresh, src, nullptr)) << what;
            EXPECT_TRUE(callZorveli(c.fn, args, over, src, nullptr)) << what;
            walkdetail::setStreamedResultBytes(size_t(16) << 20);
            EXPECT_TRUE(fresh.bits == plain.bits) << what;
            EXPECT_TRUE(over.bits == plain.bits) << what;
        }
    }
    effects::setThreadCount(0);
}

INSTANTIATE_TEST_SUITE_P(Threads, EffectBytes,
                         testing::Values(Setting{1, true}, Setting{8, true}, Setting{1, false}, Setting{3, false},
                                         Setting{5, true, true}),
                         [](const testing::TestParamInfo<Setting>& i) {
                             return std::to_string(i.param.threads) + (i.param.wide ? "Wide" : "Plain") +
                                 (i.param.streamed ? "Streamed" : "");
                         });

} // namespace
