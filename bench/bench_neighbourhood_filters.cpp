// Megapixels per second of the palette, convolution, neighbourhood and
// artistic filters on a 4000 x 3000 picture, beside a plain memcpy of the
// same bytes. "x memcpy" is the member's rate over memcpy's rate (memcpy
// timed once at start). Each member runs a few times only, to keep the
// whole program short.
//
// Every member returns a fresh 48 MB buffer. glibc hands blocks that large
// straight to mmap and back on free, so each call would also pay for
// faulting in 12000 new pages, which on a virtual machine costs more than
// the filter itself and is not what is measured here: the benchmark keeps
// freed blocks in the heap, as a long-running editor's heap does anyway.
#include "filters/Kernels.h"
#include "filters/Palette.h"
#include "filters/cBitFilter.h"
#include "platform/Random.h"

#include "platform/HeapTuning.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;
constexpr double kMegapixels = double(kW) * kH / 1e6;

// As the program does at start-up.
const bool kHeapKeepsBigBlocks = [] {
    tq::platform::keepLargeBlocksInHeap();
    return true;
}();

// A picture with smooth areas and noise, so data-dependent members do
// representative work.
const tq::BitsBuffer& picture()
{
    static const tq::BitsBuffer pic = [] {
        tq::BitsBuffer b(kW, kH);
        std::mt19937 gen(42);
        for (int y = 0; y < kH; ++y) {
            uint8_t* p = b.row(y);
            for (int x = 0; x < kW; ++x, p += 4) {
                const uint32_t n = gen();
                p[0] = static_cast<uint8_t>((x / 16 + (n & 15)) & 0xFF);
                p[1] = static_cast<uint8_t>((y / 12 + ((n >> 4) & 15)) & 0xFF);
                p[2] = static_cast<uint8_t>(((x + y) / 28 + ((n >> 8) & 15)) & 0xFF);
            }
        }
        return b;
    }();
    return pic;
}

const tq::Region& wholePicture()
{
    static const tq::Region rg = tq::Region::rect(0, 0, kW, kH);
    return rg;
}

double memcpyMegapixelsPerSecond()
{
    static const double rate = [] {
        std::vector<uint8_t> src(tq::BitsBuffer::byteSizeFor(kW, kH), 1), dst(src.size());
        double best = 1e9;
        for (int i = 0; i < 8; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            std::memcpy(dst.data(), src.data(), src.size());
            benchmark::DoNotOptimize(dst.data());
            const auto t1 = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
        }
        return kMegapixels / best;
    }();
    return rate;
}

void setRates(benchmark::State& state)
{
    state.counters["MP/s"] = benchmark::Counter(kMegapixels * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["x memcpy"] =
        benchmark::Counter(kMegapixels * state.iterations() / memcpyMegapixelsPerSecond(), benchmark::Counter::kIsRate);
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<uint8_t> src(tq::BitsBuffer::byteSizeFor(kW, kH), 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
    setRates(state);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->Iterations(20);

using Member = std::function<void(tq::cBitFilter&)>;

void runMember(benchmark::State& state, const Member& member, bool restoreBits = false)
{
    tq::cBitFilter f;
    f.setBits(picture());
    f.setBitsRegion(&wholePicture());
    tq::programRandom().seed(1);
    for (auto _ : state) {
        member(f);
        if (restoreBits) {
            state.PauseTiming();
            f.setBits(picture());
            state.ResumeTiming();
        }
    }
    setRates(state);
}

#define TQ_MEMBER(name, ...)                                                                                  \
    void BM_##name(benchmark::State& state)                                                                   \
    {                                                                                                         \
        runMember(state, [](tq::cBitFilter& f) { benchmark::DoNotOptimize(__VA_ARGS__); });                   \
    }                                                                                                         \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(3)

tq::KernelRecord presetKernel(int id)
{
    tq::KernelRecord k;
    tq::mBitmap::GetPresetKernel(k, id);
    return k;
}

// 3 x 3 and 5 x 5 convolution through MaskFilter with shipped presets.
void BM_MaskFilter3x3Blur(benchmark::State& state)
{
    const tq::KernelRecord k = presetKernel(0);
    runMember(state, [&](tq::cBitFilter& f) {
        benchmark::DoNotOptimize(f.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, false));
    });
}
BENCHMARK(BM_MaskFilter3x3Blur)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MaskFilter3x3Sharpen(benchmark::State& state)
{
    const tq::KernelRecord k = presetKernel(4);
    runMember(state, [&](tq::cBitFilter& f) {
        benchmark::DoNotOptimize(f.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, false));
    });
}
BENCHMARK(BM_MaskFilter3x3Sharpen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MaskFilter5x5BlurMore(benchmark::State& state)
{
    const tq::KernelRecord k = presetKernel(1);
    runMember(state, [&](tq::cBitFilter& f) {
        benchmark::DoNotOptimize(f.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, true));
    });
}
BENCHMARK(BM_MaskFilter5x5BlurMore)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PaletteApply16(benchmark::State& state)
{
    tq::PaletteRecord pal;
    for (int i = 0; i < 16; ++i) pal.entries.push_back({i * 17, 255 - i * 17, (i * 97) & 0xFF});
    pal.Count = 16;
    tq::CurrentPalette() = pal;
    runMember(state, [](tq::cBitFilter& f) { benchmark::DoNotOptimize(f.PaletteApply()); }, true);
}
BENCHMARK(BM_PaletteApply16)->Unit(benchmark::kMillisecond)->Iterations(2);

TQ_MEMBER(StuckiBW, f.StuckiBW(10));
TQ_MEMBER(Blurs1, f.Blurs(1));
TQ_MEMBER(SOFTEN, f.SOFTEN(50));
TQ_MEMBER(SHARPEN, f.SHARPEN(50));
TQ_MEMBER(EDGEENHANCE, f.EDGEENHANCE(3));
TQ_MEMBER(RELIEF, f.RELIEF());
TQ_MEMBER(EMBOSS, f.EMBOSS(30));
TQ_MEMBER(Engrave, f.Engrave(30));
TQ_MEMBER(CONTOUR, f.CONTOUR(128));
TQ_MEMBER(DILATE, f.DILATE());
TQ_MEMBER(ERODE, f.ERODE());
TQ_MEMBER(RankFilterN4, f.RankFilterN4(0));
TQ_MEMBER(RankFilterND, f.RankFilterND(1));
TQ_MEMBER(PAINTING, f.PAINTING());
TQ_MEMBER(Dissolve, f.Dissolve());
TQ_MEMBER(DIFFUSE, f.DIFFUSE(10, 10));
TQ_MEMBER(NOISE, f.NOISE(40));
TQ_MEMBER(SKETCH, f.SKETCH(128));
TQ_MEMBER(HALFTONE, f.HALFTONE(5, 20, 20));
TQ_MEMBER(PIXELIZE, f.PIXELIZE(8));

} // namespace
