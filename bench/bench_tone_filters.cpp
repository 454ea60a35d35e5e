// Buffer operations, tone, channel, replacement, hue and colour-effect
// members on a 4000 x 3000 picture, whole and inside an elliptic selection,
// on one thread and on every core, beside a memcpy of the same buffer (see
// BenchSupport.h for the figures).
//
// The program keeps freed picture buffers in its heap (keepLargeBlocksInHeap),
// and so does this benchmark; without that each result would also pay for
// mapping 48 MB of fresh pages, several times the cost of the filter.
//
// The point filters on whole pixels (Invert, SwapBanks, SwapRGB, KillChannel,
// SpecialColors, Threshold) and the channel-table members (BRIGHTNESS,
// ShiftRGB, GammaCorrection, Reduction) make each result row from a row of
// Bits in the caches and stream it out, so the pass costs about one memcpy.
// Every result is also a new buffer that BitsBuffer fills with zeros first,
// on the calling thread, which on this machine costs roughly another half
// to whole memcpy: on one thread these members run at about half of
// memcpy's speed, and on every core that fill, not the cores, holds them.
// The members far slower than Invert are so by their formula, on this noise
// picture:
// - RotateL: a sine per pixel of a value that depends on all three channels;
// - ReplaceHS, RotateH: an RGB -> HSL conversion (and back) per pixel, with
//   its divisions and roundings, for a colour that cannot be tabled;
// - Contrast: three quarters of the noise pixels leave 0..255 and run the
//   spill steps several times over, plus a whole-picture pass for the mean;
// - BitsResample: three rounded interpolations per new pixel and four per
//   source column of every row (in whole numbers, sixteen lanes at a time;
//   bench_resample has it beside libvips).
// These share their rows among the cores.
#include "platform/HeapTuning.h"
#include "filters/cBitFilter.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
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

// A member run on an engine holding the picture, with the region given.
tq::bench::FilterCall filterCall(const FilterMember& m, const Region* region, int threads)
{
    auto f = std::make_shared<cBitFilter>();
    f->setThreadCount(threads);
    f->setBits(picture());
    f->setBitsRegion(region);
    return {[f, &m] { m.run(*f); }, nullptr};
}

// Buffer operations replace Bits: each call starts again from the picture
// (that copy is not timed).
tq::bench::FilterCall bufferOpCall(const FilterMember& m, const Region* region, int threads)
{
    auto f = std::make_shared<cBitFilter>();
    f->setThreadCount(threads);
    f->setBitsRegion(region);
    return {[f, &m] {
                m.run(*f);
                benchmark::DoNotOptimize(f->Bits().data());
            },
            [f] { f->setBits(picture()); }};
}

const bool kRegistered = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    tq::bench::stateCores();
    tq::bench::registerMemcpy(kW, kH);
    for (const FilterMember& m : kFilters) {
        tq::bench::registerFilter(std::string(m.name) + "/whole", kW, kH, 2,
                                  [&m](int threads) { return filterCall(m, &wholeRegion(), threads); });
        tq::bench::registerFilter(std::string(m.name) + "/ellipse", kW, kH, 2,
                                  [&m](int threads) { return filterCall(m, &ellipse(), threads); });
    }
    for (const FilterMember& m : kBufferOps) {
        tq::bench::registerFilter(std::string(m.name) + "/whole", kW, kH, 2,
                                  [&m](int threads) { return bufferOpCall(m, &wholeRegion(), threads); });
        tq::bench::registerFilter(std::string(m.name) + "/ellipse", kW, kH, 2,
                                  [&m](int threads) { return bufferOpCall(m, &ellipse(), threads); });
    }
    return true;
}();

} // namespace
