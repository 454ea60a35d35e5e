// The effect dialog's preview run for a 4000 x 3000 picture: once the
// thumbnail is made (AdjustThumbPreview, measured on its own), every move
// of the slider redraws the preview (HS_valueChanged: the text box and
// up-down, the library call on the thumbnail, the result shown). Each
// dialog effect is measured at the top of its slider, where the blurs and
// warps reach furthest; the budget is 30 ms a run, so the slider follows a
// drag. Times are per run, in milliseconds of wall-clock time (the blurs
// and warps work on several threads).
//
// The baseline is a memcpy of the thumbnail's bytes (173 x 130 pixels): a
// preview run is one library pass over a picture that small plus the copy
// into the shown image, so most effects cost a few hundred of those copies
// and stay far inside the budget; the spin, zoom and motion blurs and oil
// paint, whose work per pixel is largest, come closest.
#include "effects/EffectCatalogue.h"
#include "effects/EffectPictureBox.h"
#include "effects/fLayersEffects.h"
#include "effects/library/EffectsLibrary.h"
#include "effects/EffectDialogSetup.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

const tq::DibRecord& picture()
{
    static const tq::DibRecord p = tq::bench::photoLikePicture(kW, kH);
    return p;
}

void BM_ThumbnailMemcpy(benchmark::State& state)
{
    tq::bench::offscreenApp();
    tq::fLayersEffects d;
    d.AdjustThumbPreview(picture());
    const std::vector<uint8_t> src = d.iSrc->surface.bits;
    std::vector<uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetLabel(std::to_string(d.iSrc->width()) + " x " + std::to_string(d.iSrc->height()));
}
BENCHMARK(BM_ThumbnailMemcpy);

void BM_AdjustThumbPreview(benchmark::State& state)
{
    tq::bench::offscreenApp();
    tq::fLayersEffects d;
    for (auto _ : state) d.AdjustThumbPreview(picture());
}
BENCHMARK(BM_AdjustThumbPreview)->Unit(benchmark::kMillisecond);

void BM_PreviewRun(benchmark::State& state, const tq::effects::EffectEntry* e)
{
    tq::bench::offscreenApp();
    tq::effects::registerEffectsLibrary();
    tq::fLayersEffects d;
    d.AdjustThumbPreview(picture());
    const int16_t max = e->maxIsPreviewWidth ? static_cast<int16_t>(d.iSrc->width()) : e->Max;
    tq::modEffects::InitEffectDialog(d, e->id, *d.HS, e->Min, max, e->start, *d.HSD, e->frame);
    d.HS->setValue(max);
    for (auto _ : state) d.HS_valueChanged();
}

const bool registered = [] {
    for (const tq::effects::EffectEntry& e : tq::effects::effectCatalogue()) {
        if (e.kind != tq::effects::EffectKind::Dialog) continue;
        const std::string name = "BM_PreviewRun/" + std::to_string(e.id) + " " + e.dialogCaption;
        benchmark::RegisterBenchmark(name.c_str(), BM_PreviewRun, &e)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
