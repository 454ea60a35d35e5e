// Painting routines on a 4000 x 3000 document, beside a memcpy of the same
// bordered picture (48 MB):
// - a brush stroke of 100 dabs of diameter 50 across the picture, with the
//   reset of the per-stroke map that starts every stroke (one memset of a
//   byte per pixel, a small share of the stroke);
// - one brush dab of diameter 50 (1961 pixels, a blend table per channel
//   built first), alone;
// - a flood fill of the whole flat picture (12 megapixels) with the reset of
//   the map that precedes every fill, whole and inside an elliptic
//   selection (read through its row spans). Read it against BM_Memcpy by
//   their MP/s: the fill tests and paints each pixel once, in runs along the
//   rows, and skips the stretches the runs above and below already visited;
// - a 1000-pixel anti-aliased line: 2002 samples, each split over four
//   pixels with a region test and three rounded blends apiece.
#include "document/cBitRegion.h"
#include "core/BitsBuffer.h"
#include "tools/DocumentPaint.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using tq::BitsBuffer;
using tq::cBitRegion;
using tq::DocumentPaint;

constexpr int kW = 4000;
constexpr int kH = 3000;
constexpr int kDab = 50;

BitsBuffer flatPicture()
{
    BitsBuffer b(kW, kH);
    for (int y = 0; y < kH; ++y) {
        uint8_t* p = b.row(y);
        std::memset(p, 200, 4u * kW);
        for (int x = 0; x < kW; ++x) p[4 * x + 3] = 0;
    }
    return b;
}

struct Document {
    BitsBuffer bits = flatPicture();
    cBitRegion selection;
    DocumentPaint paint{bits, selection};
    Document()
    {
        selection.Init(0, 0, kW, kH);
        paint.CreateDoneBitsTable();
    }
};

void BM_Memcpy(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_CreateDoneBitsTable(benchmark::State& state)
{
    Document doc;
    for (auto _ : state) doc.paint.CreateDoneBitsTable();
    tq::bench::setMegapixels(state, kW, kH);
}
BENCHMARK(BM_CreateDoneBitsTable)->Unit(benchmark::kMillisecond);

// 100 dabs from the left edge to the right one, 40 pixels apart.
void BM_BrushStroke100Dabs(benchmark::State& state)
{
    Document doc;
    int colour = 0;
    for (auto _ : state) {
        doc.paint.CreateDoneBitsTable();
        for (int i = 0; i < 100; ++i) doc.paint.BitsBrush(20 + 40 * i, 500 + 20 * i, kDab, 50, colour);
        colour ^= 0xFFFFFF;
    }
}
BENCHMARK(BM_BrushStroke100Dabs)->Unit(benchmark::kMillisecond);

// Each dab lands on fresh pixels (a grid of non-overlapping places); the
// map is reset, untimed, when the grid is used up.
void BM_BrushDab(benchmark::State& state)
{
    Document doc;
    const int cols = kW / kDab, rows = kH / kDab;
    int i = 0;
    for (auto _ : state) {
        if (i == cols * rows) {
            state.PauseTiming();
            doc.paint.CreateDoneBitsTable();
            i = 0;
            state.ResumeTiming();
        }
        doc.paint.BitsBrush(kDab / 2 + kDab * (i % cols), kDab / 2 + kDab * (i / cols), kDab, 50, 0x102030);
        ++i;
    }
}
BENCHMARK(BM_BrushDab)->Unit(benchmark::kMicrosecond);

// Fills the flat picture, each time with the other of two colours, so the
// next fill again covers it all.
void fillFlat(benchmark::State& state, bool elliptic)
{
    Document doc;
    if (elliptic) doc.selection.CreateEllipse(0, 0, kW, kH, 2, true);
    int colour = 0x0000FF;
    for (auto _ : state) {
        doc.paint.CreateDoneBitsTable();
        doc.paint.BitsFill(kW / 2, kH / 2, colour, 0, 100);
        colour = colour == 0x0000FF ? 0xFF0000 : 0x0000FF;
    }
    tq::bench::setMegapixels(state, kW, kH);
}
void BM_FloodFill(benchmark::State& state) { fillFlat(state, false); }
void BM_FloodFillEllipse(benchmark::State& state) { fillFlat(state, true); }
BENCHMARK(BM_FloodFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillEllipse)->Unit(benchmark::kMillisecond);

void BM_Line1000(benchmark::State& state)
{
    Document doc;
    int colour = 0;
    for (auto _ : state) {
        doc.paint.BitsLine(1000, 1000, 2000, 1400, colour, 100);
        colour ^= 0xFFFFFF;
    }
}
BENCHMARK(BM_Line1000)->Unit(benchmark::kMicrosecond);

} // namespace
