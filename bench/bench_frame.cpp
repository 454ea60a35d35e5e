// Copy-in, copy-out and a walk of a 4000 x 3000 picture through the engine,
// beside a plain memcpy of the same bytes. All of them run on one thread:
// walkSelection, the walk open to callers, keeps its rows in order on the
// calling thread.
#include "filters/cBitFilter.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

void setMegapixels(benchmark::State& state) { tq::bench::setMegapixels(state, kW, kH); }

const bool kCores = tq::bench::stateCores();

void BM_Memcpy(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_CopyIn(benchmark::State& state)
{
    tq::BitsBuffer b(kW, kH);
    tq::cBitFilter f;
    for (auto _ : state) {
        f.setBits(b);
        benchmark::DoNotOptimize(f.Bits().data());
    }
    setMegapixels(state);
}
BENCHMARK(BM_CopyIn)->Unit(benchmark::kMillisecond);

void BM_CopyOut(benchmark::State& state)
{
    tq::cBitFilter f;
    f.setBits(tq::BitsBuffer(kW, kH));
    tq::BitsBuffer out(kW, kH);
    for (auto _ : state) {
        out = f.Bits();
        benchmark::DoNotOptimize(out.data());
    }
    setMegapixels(state);
}
BENCHMARK(BM_CopyOut)->Unit(benchmark::kMillisecond);

void BM_WalkSelection(benchmark::State& state)
{
    tq::cBitFilter f;
    f.setBits(tq::BitsBuffer(kW, kH));
    const tq::Region rg = tq::Region::rect(0, 0, kW, kH);
    f.setBitsRegion(&rg);
    for (auto _ : state) {
        tq::BitsBuffer out = f.Bits();
        f.walkSelection(0, [&](int32_t y, int32_t x0, int32_t x1) {
            uint8_t* d = out.pixel(x0, y);
            for (int32_t x = x0; x <= x1; ++x, d += 4) d[0] = static_cast<uint8_t>(255 - d[0]);
        });
        benchmark::DoNotOptimize(out.data());
    }
    setMegapixels(state);
}
BENCHMARK(BM_WalkSelection)->Unit(benchmark::kMillisecond);

} // namespace
