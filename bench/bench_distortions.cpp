// Megapixels per second of the texture, tile, distortion, rotation, glass,
// gradient and light members on a 4000 x 3000 picture selected whole, beside
// a plain memcpy of the same bytes. Each member copies the whole buffer for
// its result, so memcpy is the ceiling; the rotations should reach at least
// a fortieth of it.
//
// Every member returns a fresh 48 MB buffer. The program keeps freed
// picture-sized blocks in its heap (keepLargeBlocksInHeap, at start), so a
// new result reuses pages that are already mapped; the benchmark does the
// same. BM_ResultCopy shows the copy every member starts with, and
// BM_FreshResultCopy the same copy into pages never touched before, which on
// some machines costs more than any member's own work.
#include "filters/cBitFilter.h"

#include "platform/HeapTuning.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

void setMegapixels(benchmark::State& state) { tq::bench::setMegapixels(state, kW, kH); }

// One engine holding a varied picture, selected whole.
struct Picture {
    tq::cBitFilter f;
    tq::Region rg = tq::Region::rect(0, 0, kW, kH);
    Picture()
    {
        tq::BitsBuffer b(kW, kH);
        for (int y = 0; y < kH; ++y) {
            uint8_t* p = b.row(y);
            for (int x = 0; x < kW; ++x) {
                p[4 * x] = static_cast<uint8_t>(x * 3 + y);
                p[4 * x + 1] = static_cast<uint8_t>(x ^ y);
                p[4 * x + 2] = static_cast<uint8_t>(y * 5 - x);
            }
        }
        f.setBits(std::move(b));
        f.setBitsRegion(&rg);
    }
};

const bool kWarmHeap = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    return true;
}();

Picture& picture()
{
    static Picture p;
    return p;
}

tq::BitsBuffer grey(int w, int h)
{
    tq::BitsBuffer t(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) t.at(0, x, y) = t.at(1, x, y) = t.at(2, x, y) = static_cast<uint8_t>(96 + (x * y) % 64);
    return t;
}

void BM_Memcpy(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_ResultCopy(benchmark::State& state)
{
    tq::cBitFilter& f = picture().f;
    for (auto _ : state) {
        tq::BitsBuffer out = f.Bits();
        benchmark::DoNotOptimize(out.data());
    }
    setMegapixels(state);
}
BENCHMARK(BM_ResultCopy)->Unit(benchmark::kMillisecond);

// The same copy into pages never touched before.
void BM_FreshResultCopy(benchmark::State& state)
{
    tq::cBitFilter& f = picture().f;
    const size_t n = f.Bits().byteSize();
    for (auto _ : state) {
        std::vector<uint8_t> fresh(n, 0);   // zeroing faults the pages in
        std::memcpy(fresh.data(), f.Bits().data(), n);
        benchmark::DoNotOptimize(fresh.data());
        state.PauseTiming();
        fresh = std::vector<uint8_t>();
        malloc_trim(0);
        state.ResumeTiming();
    }
    setMegapixels(state);
}
BENCHMARK(BM_FreshResultCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

template <class Run>
void runMember(benchmark::State& state, Run&& run)
{
    tq::cBitFilter& f = picture().f;
    {
        auto warm = run(f);   // the first result's pages are fresh
        benchmark::DoNotOptimize(&warm);
    }
    for (auto _ : state) {
        auto out = run(f);
        benchmark::DoNotOptimize(&out);
    }
    setMegapixels(state);
}

#define TQ_MEMBER(name, expr)                                                 \
    void BM_##name(benchmark::State& state)                                   \
    {                                                                         \
        runMember(state, [&](tq::cBitFilter& f) { return expr; });            \
    }                                                                         \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(3)

const tq::BitsBuffer& smallTexture()
{
    static const tq::BitsBuffer t = grey(64, 64);
    return t;
}
const tq::BitsBuffer& overlay()
{
    static const tq::BitsBuffer t = grey(257, 193);
    return t;
}

TQ_MEMBER(Texturize, f.Texturize(smallTexture()));
TQ_MEMBER(TileMask, f.TileMask(overlay(), -30, -20, true, 40, 0x606060));
TQ_MEMBER(TILE, f.TILE(4));
TQ_MEMBER(Grid, f.Grid(10, 10, true, 0x00FF00, 128));
TQ_MEMBER(Scanlines, f.Scanlines(30));
TQ_MEMBER(BEND, f.BEND(50));
TQ_MEMBER(FOLD, f.FOLD(30, 30, true));
TQ_MEMBER(STRETCH, f.STRETCH(10, 10));
TQ_MEMBER(TWIRL, f.TWIRL(20, 45));
TQ_MEMBER(WAVES, f.WAVES(30, 40));
TQ_MEMBER(LENS, f.LENS(0.5f, 0.5f, 0.4f, 100));
TQ_MEMBER(ROTATE, f.ROTATE(33));
TQ_MEMBER(RotateSmooth, f.RotateSmooth(33));
TQ_MEMBER(GLASS_slanting, f.GLASS("slanting", 0));
TQ_MEMBER(GLASS_vertical, f.GLASS("vertical", 2));
TQ_MEMBER(GLASS_horizontal, f.GLASS("horizontal", 0));
TQ_MEMBER(GLASS_squary, f.GLASS("squary", 1));
TQ_MEMBER(GLASS_curtain, f.GLASS("curtain", 2));
TQ_MEMBER(GradientLinear, f.GradientLinear(100, 200, 3000, 2500, 255, 16711680, 80, 3));
TQ_MEMBER(GradientCircular, f.GradientCircular(2000, 1500, 3000, 2500, 255, -1, 80, 1));
TQ_MEMBER(Light, f.Light(0.5f, 0.5f, 0.4f, 120, 30));

} // namespace
