// The texture, tile, distortion, rotation, glass, gradient and light members
// on a 4000 x 3000 picture selected whole, on one thread and on every core,
// beside a memcpy of the same buffer (see BenchSupport.h for the figures).
// Each of them works out one source point or one blend per pixel and shares
// its rows among the cores; the heavier the formula (a square root, an
// arctangent, a sine and a cosine per pixel for TWIRL), the closer the
// multi-thread line comes to the number of cores. GLASS takes its terms per
// column and per row from tables, and so runs as fast as STRETCH, except
// "slanting", whose sine follows a counter that changes with every pixel.
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
#include <memory>
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

// A member on its own engine holding the picture, selected whole.
template <class Run>
void add(const char* name, Run run)
{
    tq::bench::registerFilter(name, kW, kH, 3, [run](int threads) {
        auto e = std::make_shared<Picture>();
        e->f.setThreadCount(threads);
        return tq::bench::FilterCall{[e, run] {
                                         auto out = run(e->f);
                                         benchmark::DoNotOptimize(&out);
                                     },
                                     nullptr};
    });
}

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

const bool kRegistered = [] {
    tq::bench::stateCores();
    tq::bench::registerMemcpy(kW, kH);
    add("Texturize", [](tq::cBitFilter& f) { return f.Texturize(smallTexture()); });
    add("TileMask", [](tq::cBitFilter& f) { return f.TileMask(overlay(), -30, -20, true, 40, 0x606060); });
    add("TILE", [](tq::cBitFilter& f) { return f.TILE(4); });
    add("Grid", [](tq::cBitFilter& f) { return f.Grid(10, 10, true, 0x00FF00, 128); });
    add("Scanlines", [](tq::cBitFilter& f) { return f.Scanlines(30); });
    add("BEND", [](tq::cBitFilter& f) { return f.BEND(50); });
    add("FOLD", [](tq::cBitFilter& f) { return f.FOLD(30, 30, true); });
    add("STRETCH", [](tq::cBitFilter& f) { return f.STRETCH(10, 10); });
    add("TWIRL", [](tq::cBitFilter& f) { return f.TWIRL(20, 45); });
    add("WAVES", [](tq::cBitFilter& f) { return f.WAVES(30, 40); });
    add("LENS", [](tq::cBitFilter& f) { return f.LENS(0.5f, 0.5f, 0.4f, 100); });
    add("ROTATE", [](tq::cBitFilter& f) { return f.ROTATE(33); });
    add("RotateSmooth", [](tq::cBitFilter& f) { return f.RotateSmooth(33); });
    add("GLASS_slanting", [](tq::cBitFilter& f) { return f.GLASS("slanting", 0); });
    add("GLASS_vertical", [](tq::cBitFilter& f) { return f.GLASS("vertical", 2); });
    add("GLASS_horizontal", [](tq::cBitFilter& f) { return f.GLASS("horizontal", 0); });
    add("GLASS_squary", [](tq::cBitFilter& f) { return f.GLASS("squary", 1); });
    add("GLASS_curtain", [](tq::cBitFilter& f) { return f.GLASS("curtain", 2); });
    add("GradientLinear", [](tq::cBitFilter& f) { return f.GradientLinear(100, 200, 3000, 2500, 255, 16711680, 80, 3); });
    add("GradientCircular", [](tq::cBitFilter& f) { return f.GradientCircular(2000, 1500, 3000, 2500, 255, -1, 80, 1); });
    add("Light", [](tq::cBitFilter& f) { return f.Light(0.5f, 0.5f, 0.4f, 120, 30); });
    return true;
}();

} // namespace
