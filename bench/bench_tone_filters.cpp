// Buffer operations, tone, channel, replacement, hue and colour-effect
// members on a 4000 x 3000 picture, whole and inside an elliptic selection,
// in megapixels per second beside a memcpy of the same buffer.
//
// Every filter copies Bits once for its result, so memcpy is the ceiling.
// The program keeps freed picture buffers in its heap (keepLargeBlocksInHeap), and
// so does this benchmark; without that each result would also pay for
// mapping 48 MB of fresh pages, several times the cost of the filter.
//
// Table-driven point filters (Invert, BRIGHTNESS, SwapBanks, GreyScale,
// SATURATION, COLORIZE, StretchH, ...) run at a fifth to a tenth of memcpy.
// The members more than ten times slower than Invert are so by their
// formula, on this noise picture:
// - RotateL: a sine per pixel of a value that depends on all three channels;
// - ReplaceHS, RotateH: an RGB -> HSL conversion (and back) per pixel, with
//   its divisions and roundings, for a colour that cannot be tabled;
// - Contrast: three quarters of the noise pixels leave 0..255 and run the
//   spill steps several times over, plus a whole-picture pass for the mean;
// - BitsResample: three rounded interpolations per new pixel and three per
//   source column of every row.
// REPLACE, ReplaceL, Shift, ISOLATE, THERMIQUE and ClassyColors need a few
// double-precision products, a division or data-dependent choices per pixel
// and stay within ten times Invert.
#include "platform/HeapTuning.h"
#include "filters/cBitFilter.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using tq::BitsBuffer;
using tq::cBitFilter;
using tq::Region;

constexpr int kW = 4000;
constexpr int kH = 3000;

const BitsBuffer& picture()
{
    static const BitsBuffer b = [] {
        BitsBuffer p(kW, kH);
        uint32_t v = 12345;
        for (size_t i = 0; i < p.byteSize(); ++i) {
            v = v * 1103515245u + 12345u;
            p.data()[i] = static_cast<uint8_t>(v >> 16);
        }
        return p;
    }();
    return b;
}

const Region& wholeRegion()
{
    static const Region r = Region::rect(0, 0, kW, kH);
    return r;
}

// An ellipse inscribed in the picture.
const Region& ellipse()
{
    static const Region r = Region::ellipse(0, 0, kW, kH);
    return r;
}

void setMegapixels(benchmark::State& state) { tq::bench::setMegapixels(state, kW, kH); }

void BM_Memcpy(benchmark::State& state)
{
    const BitsBuffer& src = picture();
    std::vector<uint8_t> dst(src.byteSize());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.byteSize());
        benchmark::DoNotOptimize(dst.data());
    }
    setMegapixels(state);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->Iterations(3);

// A member that leaves Bits alone: its result is kept and dropped.
struct FilterMember {
    const char* name;
    std::function<void(cBitFilter&)> run;
};

template <class T>
void keep(T&& v)
{
    benchmark::DoNotOptimize(&v);
}

const std::vector<FilterMember> kFilters = {
    {"Invert", [](cBitFilter& f) { keep(f.Invert()); }},
    {"BRIGHTNESS", [](cBitFilter& f) { keep(f.BRIGHTNESS(40)); }},
    {"ShiftRGB", [](cBitFilter& f) { keep(f.ShiftRGB(20, -20, 90)); }},
    {"SwapBanks", [](cBitFilter& f) { keep(f.SwapBanks(2)); }},
    {"SwapRGB", [](cBitFilter& f) { keep(f.SwapRGB(0, 1, 2, -1, 0, 0, 0, 0, -1)); }},
    {"KillChannel", [](cBitFilter& f) { keep(f.KillChannel(-1, 0, 0)); }},
    {"SpecialColors", [](cBitFilter& f) { keep(f.SpecialColors(-1, 0, -1)); }},
    {"GreyScale", [](cBitFilter& f) { keep(f.GreyScale()); }},
    {"Threshold", [](cBitFilter& f) { keep(f.Threshold(120)); }},
    {"GammaCorrection", [](cBitFilter& f) { keep(f.GammaCorrection(50)); }},
    {"SATURATION", [](cBitFilter& f) { keep(f.SATURATION(70)); }},
    {"COLORIZE", [](cBitFilter& f) { keep(f.COLORIZE(2.5f, 0.6f, 0.9f)); }},
    {"Reduction", [](cBitFilter& f) { keep(f.Reduction(30)); }},
    {"Contrast", [](cBitFilter& f) { keep(f.Contrast(60)); }},
    {"Equalize", [](cBitFilter& f) { keep(f.Equalize()); }},
    {"GetLMax", [](cBitFilter& f) { keep(f.GetLMax()); }},
    {"GetLMin", [](cBitFilter& f) { keep(f.GetLMin()); }},
    {"GetLMed", [](cBitFilter& f) { keep(f.GetLMed()); }},
    {"REPLACE", [](cBitFilter& f) { keep(f.REPLACE(0x808080, 0xFF00FF, 100)); }},
    {"ReplaceHS", [](cBitFilter& f) { keep(f.ReplaceHS(0x808080, 0xFF00FF, 40, 60, 100)); }},
    {"ReplaceL", [](cBitFilter& f) { keep(f.ReplaceL(0x808080, 0xFF00FF, 40, 100)); }},
    {"Shift", [](cBitFilter& f) { keep(f.Shift(0x808080, -50, 100)); }},
    {"ISOLATE", [](cBitFilter& f) { keep(f.ISOLATE(0x808080, 0x123456, 100)); }},
    {"RotateH", [](cBitFilter& f) { keep(f.RotateH(40, 80)); }},
    {"RotateL", [](cBitFilter& f) { keep(f.RotateL(13, 27)); }},
    {"StretchH", [](cBitFilter& f) { keep(f.StretchH(30, 70, 45)); }},
    {"ClassyColors0", [](cBitFilter& f) { keep(f.ClassyColors(0)); }},
    {"ClassyColors6", [](cBitFilter& f) { keep(f.ClassyColors(6)); }},
    {"ClassyColors7", [](cBitFilter& f) { keep(f.ClassyColors(7)); }},
    {"ClassyColors11", [](cBitFilter& f) { keep(f.ClassyColors(11)); }},
    {"OLDPHOTO", [](cBitFilter& f) { keep(f.OLDPHOTO()); }},
    {"THERMIQUE", [](cBitFilter& f) { keep(f.THERMIQUE()); }},
    {"XBLACK", [](cBitFilter& f) { keep(f.XBLACK()); }},
    {"PHOTOCOP", [](cBitFilter& f) { keep(f.PHOTOCOP()); }},
    {"Flip", [](cBitFilter& f) { keep(f.Flip(true, true)); }},
    {"NewDoc", [](cBitFilter& f) { keep(f.NewDoc(1, 2, 3)); }},
};

// Buffer operations replace Bits: each run starts again from the picture
// (that copy is not timed).
const std::vector<FilterMember> kBufferOps = {
    {"BitsBlack", [](cBitFilter& f) { f.BitsBlack(); }},
    {"BitsCrop", [](cBitFilter& f) { f.BitsCrop(picture(), 0, 0, kW, kH); }},
    {"BitsCropMasked", [](cBitFilter& f) { f.BitsCropMasked(picture(), 0, 0, kW, kH); }},
    {"BitsResample", [](cBitFilter& f) { f.BitsResample(picture(), kW, kH); }},
    {"BitsResize", [](cBitFilter& f) { f.BitsResize(picture(), kW, kH); }},
    {"BitsRotate90", [](cBitFilter& f) { f.BitsRotate90(picture()); }},
    {"BitsTakeFromPicture",
     [](cBitFilter& f) {
         static const tq::DibRecord pic = [] {
             tq::DibRecord d;
             d.width = kW;
             d.height = kH;
             d.header = tq::BitsHeader::forDib(kW, kH);
             d.bits.assign(4u * kW * kH, 77);
             return d;
         }();
         f.BitsTakeFromPicture(pic, kW, kH);
     }},
};

void runFilter(benchmark::State& state, const FilterMember& m, const Region* region)
{
    cBitFilter f;
    f.setBits(picture());
    f.setBitsRegion(region);
    m.run(f);   // untimed: the first result maps the heap's pages
    for (auto _ : state) m.run(f);
    setMegapixels(state);
}

void runBufferOp(benchmark::State& state, const FilterMember& m, const Region* region)
{
    cBitFilter f;
    f.setBitsRegion(region);
    f.setBits(picture());
    m.run(f);   // untimed: the first result maps the heap's pages
    for (auto _ : state) {
        state.PauseTiming();
        f.setBits(picture());
        state.ResumeTiming();
        m.run(f);
        benchmark::DoNotOptimize(f.Bits().data());
    }
    setMegapixels(state);
}

const bool kRegistered = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    for (const FilterMember& m : kFilters) {
        benchmark::RegisterBenchmark((std::string(m.name) + "/whole").c_str(),
                                     [&m](benchmark::State& s) { runFilter(s, m, &wholeRegion()); })
            ->Unit(benchmark::kMillisecond)->Iterations(2);
        benchmark::RegisterBenchmark((std::string(m.name) + "/ellipse").c_str(),
                                     [&m](benchmark::State& s) { runFilter(s, m, &ellipse()); })
            ->Unit(benchmark::kMillisecond)->Iterations(2);
    }
    for (const FilterMember& m : kBufferOps) {
        benchmark::RegisterBenchmark((std::string(m.name) + "/whole").c_str(),
                                     [&m](benchmark::State& s) { runBufferOp(s, m, &wholeRegion()); })
            ->Unit(benchmark::kMillisecond)->Iterations(2);
        benchmark::RegisterBenchmark((std::string(m.name) + "/ellipse").c_str(),
                                     [&m](benchmark::State& s) { runBufferOp(s, m, &ellipse()); })
            ->Unit(benchmark::kMillisecond)->Iterations(2);
    }
    return true;
}();

} // namespace
