// Repainting the canvas: the visible band of a 4000 x 3000 picture drawn
// straight from its bordered buffer, beside a plain memcpy of the bytes the
// canvas covers.
#include "document/ImageCanvas.h"
#include "platform/HeapTuning.h"

#include <QImage>
#include <QPainter>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

tq::BitsBuffer& picture()
{
    static tq::BitsBuffer b = [] {
        tq::platform::keepLargeBlocksInHeap();
        tq::BitsBuffer p(kW, kH);
        for (int y = 0; y < kH; ++y) {
            uint8_t* r = p.row(y);
            for (int i = 0; i < 4 * kW; ++i) r[i] = static_cast<uint8_t>(i * 7 + y);
        }
        return p;
    }();
    return b;
}

using tq::bench::setMegapixels;

// The bytes of a cw x ch canvas copied once: the floor for any repaint.
void BM_MemcpyCanvas(benchmark::State& state)
{
    const int cw = static_cast<int>(state.range(0)), ch = static_cast<int>(state.range(1));
    std::vector<uint8_t> src(4u * cw * ch, 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
    setMegapixels(state, cw, ch);
}
BENCHMARK(BM_MemcpyCanvas)->Args({kW, kH})->Args({1600, 1000})->Unit(benchmark::kMillisecond);

// Zoom 1, the whole picture on a canvas of its size.
void BM_RepaintWholeZoom1(benchmark::State& state)
{
    const tq::BitsBuffer& b = picture();
    QImage canvas(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&canvas);
        tq::drawVisibleBand(p, b, 1, 0, 0, 0, 0, kW, kH);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
    setMegapixels(state, kW, kH);
}
BENCHMARK(BM_RepaintWholeZoom1)->Unit(benchmark::kMillisecond);

// A 1600 x 1000 canvas scrolled into the middle, at zoom 1 and zoom 4.
void BM_RepaintScrolled(benchmark::State& state)
{
    const int z = static_cast<int>(state.range(0));
    const int cw = 1600, ch = 1000;
    const tq::BitsBuffer& b = picture();
    const int hM = kW * z - cw, vM = kH * z - ch;
    QImage canvas(cw, ch, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&canvas);
        tq::drawVisibleBand(p, b, z, hM / 2 + 1, hM, vM / 2 + 1, vM, cw, ch);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
    setMegapixels(state, cw, ch);
}
BENCHMARK(BM_RepaintScrolled)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
