// The palette, convolution, neighbourhood and artistic members on a
// 4000 x 3000 picture selected whole, on one thread and on every core,
// beside a memcpy of the same buffer (see BenchSupport.h for the figures).
//
// Every member returns a fresh 48 MB buffer. glibc hands blocks that large
// straight to mmap and back on free, so each call would also pay for
// faulting in 12000 new pages, which on a virtual machine costs more than
// the filter itself and is not what is measured here: the benchmark keeps
// freed blocks in the heap, as a long-running editor's heap does anyway.
//
// MaskFilter and the neighbourhood members that are convolutions (Blurs,
// SOFTEN, SHARPEN, EDGEENHANCE, RELIEF, CONTOUR) sum their windows with the
// processor's wide vector instructions where it has them: on one thread a
// 3 x 3 kernel runs at about a quarter of memcpy's speed and a 5 x 5 one at
// about a seventh. The rank members (DILATE, ERODE, RankFilterN4,
// RankFilterND), EMBOSS and Engrave take sixteen pixels a step too and run
// about as fast as a 3 x 3 kernel. On every core these members are held by
// the memory and by the zero fill of the new result buffer (BitsBuffer's,
// on the calling thread) rather than by the cores. PaletteApply, StuckiBW,
// DIFFUSE and NOISE keep the order of their error diffusion or of their
// random draws, which is part of their result, and stay on one thread
// whatever the engine may use; HALFTONE's cells overlap and are laid in
// order too.
#include "filters/Kernels.h"
#include "filters/Palette.h"
#include "filters/cBitFilter.h"
#include "platform/HeapTuning.h"
#include "platform/Random.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

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
                const uint32_t n = static_cast<uint32_t>(gen());
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

using Member = std::function<void(tq::cBitFilter&)>;

// Registers a member on an engine holding the picture selected whole;
// restoreBits puts the picture back before each call (PaletteApply changes
// Bits).
void add(const std::string& name, int iterations, Member member, bool restoreBits = false)
{
    tq::bench::registerFilter(name, kW, kH, iterations, [member, restoreBits](int threads) {
        auto f = std::make_shared<tq::cBitFilter>();
        f->setThreadCount(threads);
        f->setBits(picture());
        f->setBitsRegion(&wholePicture());
        tq::bench::FilterCall call{[f, member] {
                                       tq::programRandom().seed(1);
                                       member(*f);
                                   },
                                   nullptr};
        if (restoreBits) call.setup = [f] { f->setBits(picture()); };
        return call;
    });
}

tq::KernelRecord presetKernel(int id)
{
    tq::KernelRecord k;
    tq::mBitmap::GetPresetKernel(k, id);
    return k;
}

template <class T>
void keep(T&& v)
{
    benchmark::DoNotOptimize(&v);
}

const bool kRegistered = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    tq::bench::stateCores();
    tq::bench::registerMemcpy(kW, kH);
    // 3 x 3 and 5 x 5 convolution through MaskFilter with shipped presets.
    const struct {
        const char* name;
        int id;
        bool keepMargins;
    } kernels[] = {{"MaskFilter3x3Blur", 0, false}, {"MaskFilter3x3Sharpen", 4, false}, {"MaskFilter5x5BlurMore", 1, true}};
    for (const auto& k : kernels) {
        const tq::KernelRecord r = presetKernel(k.id);
        const bool margins = k.keepMargins;
        add(k.name, 5, [r, margins](tq::cBitFilter& f) {
            keep(f.MaskFilter(r.Mask, r.Weight, r.rFactor, r.gFactor, r.bFactor, margins));
        });
    }
    add("PaletteApply16", 2,
        [](tq::cBitFilter& f) {
            tq::PaletteRecord pal;
            for (int i = 0; i < 16; ++i) pal.entries.push_back({i * 17, 255 - i * 17, (i * 97) & 0xFF});
            pal.Count = 16;
            tq::CurrentPalette() = pal;
            keep(f.PaletteApply());
        },
        true);
    add("StuckiBW", 3, [](tq::cBitFilter& f) { keep(f.StuckiBW(10)); });
    add("Blurs1", 3, [](tq::cBitFilter& f) { keep(f.Blurs(1)); });
    add("SOFTEN", 3, [](tq::cBitFilter& f) { keep(f.SOFTEN(50)); });
    add("SHARPEN", 3, [](tq::cBitFilter& f) { keep(f.SHARPEN(50)); });
    add("EDGEENHANCE", 3, [](tq::cBitFilter& f) { keep(f.EDGEENHANCE(3)); });
    add("RELIEF", 3, [](tq::cBitFilter& f) { keep(f.RELIEF()); });
    add("EMBOSS", 3, [](tq::cBitFilter& f) { keep(f.EMBOSS(30)); });
    add("Engrave", 3, [](tq::cBitFilter& f) { keep(f.Engrave(30)); });
    add("CONTOUR", 3, [](tq::cBitFilter& f) { keep(f.CONTOUR(128)); });
    add("DILATE", 3, [](tq::cBitFilter& f) { keep(f.DILATE()); });
    add("ERODE", 3, [](tq::cBitFilter& f) { keep(f.ERODE()); });
    add("RankFilterN4", 3, [](tq::cBitFilter& f) { keep(f.RankFilterN4(0)); });
    add("RankFilterND", 3, [](tq::cBitFilter& f) { keep(f.RankFilterND(1)); });
    add("PAINTING", 3, [](tq::cBitFilter& f) { keep(f.PAINTING()); });
    add("Dissolve", 3, [](tq::cBitFilter& f) { keep(f.Dissolve()); });
    add("DIFFUSE", 3, [](tq::cBitFilter& f) { keep(f.DIFFUSE(10, 10)); });
    add("NOISE", 3, [](tq::cBitFilter& f) { keep(f.NOISE(40)); });
    add("SKETCH", 3, [](tq::cBitFilter& f) { keep(f.SKETCH(128)); });
    add("HALFTONE", 3, [](tq::cBitFilter& f) { keep(f.HALFTONE(5, 20, 20)); });
    add("PIXELIZE", 3, [](tq::cBitFilter& f) { keep(f.PIXELIZE(8)); });
    return true;
}();

} // namespace
