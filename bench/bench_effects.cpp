// Every function of the effects library on a 4000 x 3000 picture, called
// through the effect-call table at the strongest setting its dialog allows,
// on one thread ("threads:1") and on every core ("threads:N"), beside a
// memcpy of the picture's bytes measured in the same run. The counter
// "x memcpy" is the effect's time over that memcpy's (the budget is 300;
// the point effects aim at 2 on one thread), and "x 1 thread" on a
// threads:N line is its speed over the threads:1 line above it. Two lines
// give the ceilings of those gains, split into the same bands on the same
// threads: "memcpy" for the effects bound by memory, "arithmetic" (a square
// root a pixel, no picture) for those bound by their arithmetic; on a
// machine shared with other work they fall well short of the core count,
// and so do the effects. Times are the fastest call of the line (a call
// shorter than 15 ms is made several times a round, up to 30): a call
// slowed by another program measures that program. The destination is
// kept from call to call, as the effect dialog's preview keeps it; a fresh
// destination (the whole picture's application) also pays for clearing a
// new picture-sized buffer, on the calling thread, about one memcpy more.
//
// The picture is smooth gradients under a fine noise, so tone histograms
// are spread (the oil paint's worst case) and the blurs and edge filters
// have detail to work on.
//
// Where the time goes:
// - the point effects (sepia, grey, invert, brightness, gamma, the channel
//   tables) make each pixel in one pass, sixteen to a vector, straight
//   into the destination: one to two memcpys; contrast reads the picture
//   once more for its mean, tone works three roundings per pixel and the
//   histogram stretch counts every channel first; saturation looks each
//   channel up, a pixel at a time, in a table by grey and channel;
// - the engine's point members the library runs (stamp, hue) cost three
//   copies more (the picture into the engine's bordered buffer, the
//   member's own result, and back);
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
// Kernels share their rows among the engine's threads (the result does not
// depend on their number); the random draws of the effects that make them
// (noise, diffuse, melt, fog, rock, tiles, points, rain drops, note paper,
// frost glass) stay in order on one thread, so those gain less or nothing.
#include "effects/library/EffectsLibrary.h"
#include "effects/library/Parallel.h"
#include "effectslib/EffectCalls.h"
#include "platform/HeapTuning.h"
#include "platform/Random.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>
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

// The fastest of several copies of the picture's bytes, in seconds, in row
// bands on `threads` threads of the pool the effects use.
double memcpySeconds(int threads)
{
    const EffectSurface& src = picture();
    static std::vector<uint8_t> dst(src.bits.size());
    const size_t rowBytes = 4u * kW;
    tq::effects::setThreadCount(threads);
    double best = 1e9;
    for (int i = 0; i < 10; ++i) {
        const auto a = Clock::now();
        if (threads == 1) {
            std::memcpy(dst.data(), src.bits.data(), src.bits.size());
        } else {
            tq::effects::forBands(kH, 8 * kW, [&](int32_t y0, int32_t y1) {
                std::memcpy(dst.data() + y0 * rowBytes, src.bits.data() + y0 * rowBytes, (y1 - y0) * rowBytes);
            });
        }
        benchmark::DoNotOptimize(dst.data());
        best = std::min(best, std::chrono::duration<double>(Clock::now() - a).count());
    }
    tq::effects::setThreadCount(0);
    return best;
}

double oneCopySeconds()
{
    static const double t = memcpySeconds(1);
    return t;
}

// A job of arithmetic alone (a square root and a few sums a pixel, no
// picture in memory) in the same row bands: what every core gives over one
// at the time of the run, the ceiling of the effects bound by arithmetic.
double arithmeticSeconds(int threads)
{
    std::vector<double> rowSums(kH);
    tq::effects::setThreadCount(threads);
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto a = Clock::now();
        tq::effects::forRows(kH, 40 * kW, [&](int32_t y) {
            double sum = 0;
            for (int x = 0; x < kW; ++x) sum += std::sqrt(double(x) * y + 1.0);
            rowSums[y] = sum;
        });
        benchmark::DoNotOptimize(rowSums.data());
        best = std::min(best, std::chrono::duration<double>(Clock::now() - a).count());
    }
    tq::effects::setThreadCount(0);
    return best;
}

// memcpy of the picture and the arithmetic job, on one thread and on every
// core; "x 1 thread" is the ceiling of the effects' own.
void BM_Ceiling(benchmark::State& state, double (*seconds)(int))
{
    const int threads = static_cast<int>(state.range(0));
    double best = 1e9;
    for (auto _ : state) best = std::min(best, seconds(threads));
    state.counters["best ms"] = best * 1e3;
    if (seconds == &memcpySeconds) state.counters["x memcpy"] = best / oneCopySeconds();
    if (threads > 1) state.counters["x 1 thread"] = seconds(1) / best;
    tq::bench::setMegapixels(state, kW, kH);
}
const bool kCeilings = [] {
    for (const auto& [name, seconds] : {std::pair{"memcpy", &memcpySeconds}, std::pair{"arithmetic", &arithmeticSeconds}})
        benchmark::RegisterBenchmark(name, [seconds = seconds](benchmark::State& s) { BM_Ceiling(s, seconds); })
            ->ArgName("threads")
            ->Arg(1)
            ->Arg(tq::bench::coreCount())
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    return true;
}();

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

std::map<std::string, double>& oneThreadSeconds()
{
    static std::map<std::string, double> m;
    return m;
}

void runCase(benchmark::State& state, const Case& c)
{
    const int threads = static_cast<int>(state.range(0));
    tq::effects::setThreadCount(threads);
    const EffectSurface& src = picture();
    const auto call = tq::effectCall(c.id, c.v, c.c, c.r, kW, kH);
    EffectSurface dst;
    int32_t reserved = 0;
    tq::programRandom().seed(7);
    const auto first = Clock::now();
    if (!call || !tq::runEffectCall(*call, dst, src, &reserved)) {   // untimed: maps the heap's pages
        state.SkipWithError("the call failed");
        return;
    }
    // A short call is timed several times a round, about 30 ms' worth: the
    // fastest of three calls of a millisecond still holds a helper thread's
    // wake-up or a moment of the host's other work.
    const double firstSeconds = std::chrono::duration<double>(Clock::now() - first).count();
    const int calls = std::clamp(static_cast<int>(0.03 / std::max(firstSeconds, 1e-6)), 1, 30);
    double best = 1e9;
    for (auto _ : state) {
        for (int i = 0; i < calls; ++i) {
            const auto a = Clock::now();
            tq::runEffectCall(*call, dst, src, &reserved);
            best = std::min(best, std::chrono::duration<double>(Clock::now() - a).count());
            benchmark::DoNotOptimize(dst.bits.data());
        }
    }
    tq::effects::setThreadCount(0);
    state.counters["best ms"] = best * 1e3;
    state.counters["x memcpy"] = best / oneCopySeconds();
    if (threads == 1) {
        oneThreadSeconds()[c.name] = best;
    } else if (const auto one = oneThreadSeconds().find(c.name); one != oneThreadSeconds().end()) {
        state.counters["x 1 thread"] = one->second / best;
    }
    tq::bench::setMegapixels(state, kW, kH);
}

const bool kRegistered = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    tq::effects::registerEffectsLibrary();
    tq::bench::stateCores();
    for (const Case& c : kCases)
        benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& s) { runCase(s, c); })
            ->ArgName("threads")
            ->Arg(1)
            ->Arg(tq::bench::coreCount())
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    return true;
}();

} // namespace
