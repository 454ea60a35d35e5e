// Region speed: point tests on a region of 200 scattered rectangles (beside a
// linear scan of the same rectangles, which a point test must beat), building
// and walking a 4000 x 3000 elliptic selection through the filter engine
// (beside a memcpy of the picture's bytes), and combining two ellipses.
#include "document/cBitRegion.h"
#include "filters/cBitFilter.h"
#include "core/Region.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

std::vector<tq::RectI> scatteredRects(size_t n)
{
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> x(0, kW - 100), y(0, kH - 100), s(5, 100);
    std::vector<tq::RectI> rects;
    for (size_t i = 0; i < n; ++i) {
        const int l = x(rng), t = y(rng);
        rects.push_back(tq::RectI{l, t, l + s(rng), t + s(rng)});
    }
    return rects;
}

std::vector<tq::PointI> probes()
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> x(0, kW - 1), y(0, kH - 1);
    std::vector<tq::PointI> pts(4096);
    for (auto& p : pts) p = tq::PointI{x(rng), y(rng)};
    return pts;
}

void BM_PointTest200Rects(benchmark::State& state)
{
    const tq::Region rg = tq::Region::fromRects(scatteredRects(200));
    const std::vector<tq::PointI> pts = probes();
    state.counters["bands"] = static_cast<double>(rg.bands().size());
    state.counters["rects"] = static_cast<double>(rg.rectCount());
    size_t i = 0, hits = 0;
    for (auto _ : state) {
        const tq::PointI& p = pts[i++ & 4095];
        hits += rg.contains(p.x, p.y);
    }
    benchmark::DoNotOptimize(hits);
    state.counters["tests/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PointTest200Rects);

void BM_PointTestLinearScan200Rects(benchmark::State& state)
{
    const std::vector<tq::RectI> rects = scatteredRects(200);
    const std::vector<tq::PointI> pts = probes();
    size_t i = 0, hits = 0;
    for (auto _ : state) {
        const tq::PointI& p = pts[i++ & 4095];
        bool in = false;
        for (const tq::RectI& r : rects) in |= p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
        hits += in;
    }
    benchmark::DoNotOptimize(hits);
    state.counters["tests/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PointTestLinearScan200Rects);

void setMegapixels(benchmark::State& state) { tq::bench::setMegapixels(state, kW, kH); }

void BM_Memcpy(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_BuildEllipticSelection(benchmark::State& state)
{
    for (auto _ : state) {
        tq::cBitRegion sel;
        sel.Init(0, 0, kW, kH);
        sel.CreateEllipse(0, 0, kW, kH, 2, true);
        benchmark::DoNotOptimize(sel.Region());
    }
}
BENCHMARK(BM_BuildEllipticSelection)->Unit(benchmark::kMillisecond);

// The walk alone: every selected pixel of a 4000 x 3000 ellipse gets its
// blue byte inverted in place.
void BM_WalkEllipticSelection(benchmark::State& state)
{
    tq::cBitRegion sel;
    sel.Init(0, 0, kW, kH);
    sel.CreateEllipse(0, 0, kW, kH, 2, true);
    tq::cBitFilter f;
    f.setBits(tq::BitsBuffer(kW, kH));
    f.setBitsRegion(sel.Region());
    tq::BitsBuffer out = f.Bits();
    for (auto _ : state) {
        f.walkSelection(0, [&](int32_t y, int32_t x0, int32_t x1) {
            uint8_t* d = out.pixel(x0, y);
            for (int32_t x = x0; x <= x1; ++x, d += 4) d[0] = static_cast<uint8_t>(255 - d[0]);
        });
        benchmark::DoNotOptimize(out.data());
    }
    setMegapixels(state);
}
BENCHMARK(BM_WalkEllipticSelection)->Unit(benchmark::kMillisecond);

void BM_CombineEllipses(benchmark::State& state)
{
    const tq::Region a = tq::Region::ellipse(0, 0, kW, kH);
    const tq::Region b = tq::Region::ellipse(1000, 500, 3500, 2900);
    for (auto _ : state) {
        tq::Region c = tq::Region::combine(a, b, tq::CombineMode::Xor);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_CombineEllipses)->Unit(benchmark::kMillisecond);

void BM_OutlineAtZoom3(benchmark::State& state)
{
    tq::cBitRegion sel;
    sel.Init(0, 0, 1000, 800);
    sel.CreateEllipse(0, 0, 1000, 800, 2, true);
    sel.setZoomFactor(3.0f);
    for (auto _ : state) {
        tq::Region o = sel.OutlineRegion(-200, -100);
        benchmark::DoNotOptimize(o);
    }
}
BENCHMARK(BM_OutlineAtZoom3)->Unit(benchmark::kMillisecond);

} // namespace
