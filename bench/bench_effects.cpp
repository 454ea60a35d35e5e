// Every function of the effects library on a 4000 x 3000 picture, called
// through the effect-call table at the strongest setting its dialog allows,
// beside a memcpy of the picture's bytes measured in the same run. The
// counter "x memcpy" is the effect's time over that memcpy's; the budget is
// 300.
//
// The picture is smooth gradients under a fine noise, so tone histograms
// are spread (the oil paint's worst case) and the blurs and edge filters
// have detail to work on.
//
// Where the time goes:
// - table and engine point effects (brightness, gamma, reduction, shift,
//   tones, solarize, invert...) cost one pass and a result buffer, or for
//   the engine's members three copies more (the picture into the engine's
//   bordered buffer, the member's own result, and back): a few times memcpy
//   up to about twenty;
// - the warps cost a square root (and for the polar ones an arctangent) and
//   a bilinear sample per pixel;
// - the spin and zoom blurs resample the picture onto rings or rays about
//   the middle and back (about 20 and 26 million samples here), blurring
//   along them in between;
// - the motion blur mixes the picture with a moved copy of itself once per
//   doubling of its fifteen samples, five bilinear passes;
// - oil paint adds and removes a column of 11 pixels per pixel and looks
//   for the commonest of 21 tones;
// - the engine's twirl, noise and diffuse are the members' own cost: a
//   sine, cosine and arctangent per pixel, or three random draws;
// - the hue turn is the engine's HSL round trip per pixel.
// Most kernels work in row bands on up to eight threads (the result does
// not depend on their number); effects that draw random numbers stay on
// one thread.
#include "effects/library/EffectsLibrary.h"
#include "platform/EffectCalls.h"
#include "platform/HeapTuning.h"
#include "platform/Random.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using tq::EffectSurface;

constexpr int kW = 4000;
constexpr int kH = 3000;

const EffectSurface& picture()
{
    static const EffectSurface s = [] {
        EffectSurface p;
        p.header = tq::BitsHeader::forDib(kW, kH);
        p.width = kW;
        p.height = kH;
        p.bits.resize(4u * kW * kH);
        uint32_t v = 12345;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                v = v * 1103515245u + 12345u;
                const int noise = int((v >> 16) & 31) - 16;
                uint8_t* px = p.bits.data() + 4u * (size_t(y) * kW + x);
                px[0] = uint8_t(std::clamp(x * 255 / kW + noise, 0, 255));
                px[1] = uint8_t(std::clamp(y * 255 / kH + noise, 0, 255));
                px[2] = uint8_t(std::clamp(((x / 500 + y / 500) & 1) * 160 + 40 + noise, 0, 255));
                px[3] = 0;
            }
        return p;
    }();
    return s;
}

using Clock = std::chrono::steady_clock;

// The fastest of several copies of the picture's bytes, in seconds.
double memcpySeconds()
{
    static const double t = [] {
        const EffectSurface& src = picture();
        std::vector<uint8_t> dst(src.bits.size());
        double best = 1e9;
        for (int i = 0; i < 10; ++i) {
            const auto a = Clock::now();
            std::memcpy(dst.data(), src.bits.data(), src.bits.size());
            benchmark::DoNotOptimize(dst.data());
            best = std::min(best, std::chrono::duration<double>(Clock::now() - a).count());
        }
        return best;
    }();
    return t;
}

void BM_Memcpy(benchmark::State& state)
{
    const EffectSurface& src = picture();
    std::vector<uint8_t> dst(src.bits.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.bits.data(), src.bits.size());
        benchmark::DoNotOptimize(dst.data());
    }
    state.counters["x memcpy"] = 1.0;
    tq::bench::setMegapixels(state, kW, kH);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->Iterations(5);

struct Case {
    const char* name;
    int16_t id;
    int32_t v;
    int32_t c = 0;
    int32_t r = 0;
};

// One id per library function, at its dialog's strongest setting.
const std::vector<Case> kCases = {
    {"Brightness", 2, 255},
    {"Contrast", 3, 255},
    {"Sharpening", 4, 60},
    {"Gamma", 5, 255},
    {"ReduceColors", 6, 255},
    {"ReduceTo8Colors", 7, 0},
    {"Shift", 8, 255},
    {"Saturation", 9, 512},
    {"Hue", 10, 350},
    {"ColorBalance", 11, 255},
    {"WebColors", 12, 0},
    {"MediumTones", 13, 255},
    {"StretchHistogram", 14, 0},
    {"Cilindrical", 46, 30},
    {"Blur", 17, 0},
    {"SmartBlur", 18, 0},
    {"AdvancedBlur", 19, 10},
    {"SoftnerBlur", 20, 0},
    {"MotionBlur", 21, 45},
    {"FarBlur", 22, 50},
    {"RadialBlur", 23, 30},
    {"ZoomBlur", 24, 200},
    {"UnsharpMask", 25, 10},
    {"GrayScale", 27, 255},
    {"Sepia", 28, 0},
    {"AmbientLight", 29, 128, 0x80C0FF},
    {"Tone", 30, 255, 0x3070C0},
    {"Diffuse", 32, 0},
    {"Rock", 33, 6},
    {"ColorRandomize", 34, 255},
    {"Melt", 35, 0},
    {"FishEye", 36, 0},
    {"FishEyeEx", 37, 255},
    {"Twirl", 38, 100},
    {"TwirlEx", 39, 100},
    {"Swirl", 40, 255},
    {"Make3DEffect", 41, 0},
    {"FourCorners", 42, 0},
    {"Caricature", 43, 0},
    {"Roll", 44, 0},
    {"PolarCoordinates", 45, 0},
    {"Mosaic", 47, 255},
    {"Waves", 48, 20},
    {"BlockWaves", 49, 20},
    {"CircularWaves", 50, 20},
    {"CircularWavesEx", 51, 20},
    {"BackDropRemoval", 53, 255, 0x808080, 0xFF00FF},
    {"Emboss", 54, 255},
    {"Neon", 55, 5},
    {"DetectBorders", 56, 128, 0x808080, 0xFF},
    {"FindEdges", 57, 5},
    {"NotePaper", 58, 128, 0x402020, 0xE0F0F0},
    {"Metallic", 62, 255},
    {"Invert", 64, 128},
    {"Stamp", 65, 128},
    {"RandomicalPoints", 67, 102, 0xFFFFFF},
    {"Solarize", 68, 0},
    {"Canvas", 69, 255},
    {"Relief", 70, 0},
    {"Tile", 71, 100, 0, 0x404040},
    {"Fragment", 72, 50},
    {"Fog", 73, 127},
    {"OilPaint", 74, 255},
    {"FrostGlass", 75, 0},
    {"RainDrops", 76, 0},
    {"Flip", 80, 0},
};

void runCase(benchmark::State& state, const Case& c)
{
    const EffectSurface& src = picture();
    const auto call = tq::effectCall(c.id, c.v, c.c, c.r, kW, kH);
    EffectSurface dst;
    int32_t reserved = 0;
    tq::programRandom().seed(7);
    if (!call || !tq::runEffectCall(*call, dst, src, &reserved)) {   // untimed: maps the heap's pages
        state.SkipWithError("the call failed");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto a = Clock::now();
        tq::runEffectCall(*call, dst, src, &reserved);
        seconds += std::chrono::duration<double>(Clock::now() - a).count();
        benchmark::DoNotOptimize(dst.bits.data());
    }
    state.counters["x memcpy"] = seconds / double(state.iterations()) / memcpySeconds();
    tq::bench::setMegapixels(state, kW, kH);
}

const bool kRegistered = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    tq::effects::registerEffectsLibrary();
    for (const Case& c : kCases)
        benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& s) { runCase(s, c); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    return true;
}();

} // namespace
