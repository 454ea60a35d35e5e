// The filter dialog's preview on a 4000 x 3000 picture, one run per page:
//
// - BM_PreviewRun: what every step of a slider drag costs: the page's member
//   on the reduced copy (147 x 110 here) and the result drawn into the
//   preview box.
// - BM_PreviewReduceRun: the same run with the reduction of the whole
//   picture in front of it, which the dialog does once per opening; the
//   figure a drag could never exceed.
//
// Baselines in the same run: one memcpy of the bordered preview buffer, and
// one of the whole bordered picture (what a preview that copied the picture
// at every step would pay at least). Targets: a point filter's run under
// 15 ms, the slowest page's under 40 ms.
#include "dialogs/FilterPages.h"
#include "dialogs/fFilter.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "platform/HeapTuning.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

tq::BitsBuffer picture() { return tq::bench::patternPicture(kW, kH); }

// The document, made once for the whole program: the dialogs open on it.
tq::fImage& document()
{
    static tq::fImage* doc = [] {
        tq::bench::offscreenApp();
        tq::platform::keepLargeBlocksInHeap();
        auto* d = new tq::fImage;
        d->CreateBlank(kW, kH);
        d->setBits(picture());
        d->BitsRegion.Init(0, 0, kW, kH);
        return d;
    }();
    return *doc;
}

std::unique_ptr<tq::fFilter> openPage(int32_t page)
{
    tq::fImage& doc = document();
    tq::ActiveImage() = &doc;
    auto d = std::make_unique<tq::fFilter>();
    d->fltID = page;
    d->Form_Load();
    return d;
}

void BM_MemcpyPreview(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, 147, 110); }
BENCHMARK(BM_MemcpyPreview)->Unit(benchmark::kMicrosecond);

void BM_MemcpyPicture(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);

void BM_PreviewRun(benchmark::State& state)
{
    const auto page = static_cast<int32_t>(state.range(0));
    auto d = openPage(page);
    state.SetLabel(tq::filterPage(page)->caption);
    for (auto _ : state) d->RunFilter(page);
}
BENCHMARK(BM_PreviewRun)->DenseRange(0, tq::kFilterPageCount - 1)->Unit(benchmark::kMicrosecond);

void BM_PreviewReduceRun(benchmark::State& state)
{
    const auto page = static_cast<int32_t>(state.range(0));
    auto d = openPage(page);
    state.SetLabel(tq::filterPage(page)->caption);
    const tq::BitsBuffer& pixels = document().undoBits();
    for (auto _ : state) {
        d->tFilter->BitsResize(pixels, d->PreviewWidth, d->PreviewHeight);
        tq::cBitFilter::BitsToDib(d->PreviewSource, d->tFilter->Bits(), d->PreviewWidth, d->PreviewHeight);
        d->RunFilter(page);
    }
}
BENCHMARK(BM_PreviewReduceRun)->DenseRange(0, tq::kFilterPageCount - 1)->Unit(benchmark::kMicrosecond);

} // namespace
