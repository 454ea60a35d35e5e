// The navigator's redraw of a 4000 x 3000 picture, beside one memcpy of the
// picture's bordered bytes (48 MB): the redraw reads only the pixels the
// thumbnail shows, straight from the document's rows, so it must stay far
// below the copy (target: under 5 ms, as it runs after every change and on
// every activation). The outline's placement, which follows every scroll,
// is measured too, and the reduction alone.
//
// Measured on the 8-core build machine: the memcpy 2.9 ms; the redraw
// 0.038 ms (about 1/75 of the copy: a 206 x 146 thumbnail, 30k pixels, most
// of it the reduction at 0.038 ms); the outline 0.05 us.
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"
#include "toolwindows/Thumbnail.h"
#include "toolwindows/fPanView.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

// A main window with one 4000 x 3000 document and a navigator of the
// default size, made once.
struct Scene {
    std::unique_ptr<tq::fMain> main;
    tq::fImage* doc = nullptr;
    tq::fPanView* nav = nullptr;

    Scene()
    {
        tq::bench::offscreenApp();
        tq::platform::keepLargeBlocksInHeap();
        tq::programSettings() = tq::defaultSettings(tq::platform::programFolder());
        main = std::make_unique<tq::fMain>();
        main->show();
        nav = new tq::fPanView(main.get());
        nav->show();
        doc = new tq::fImage;
        doc->CreateBlank(kW, kH);
        tq::BitsBuffer bits(kW, kH);
        for (int y = 0; y < kH; ++y) {
            uint8_t* r = bits.row(y);
            for (int i = 0; i < 4 * kW; ++i) r[i] = static_cast<uint8_t>(i * 7 + y);
        }
        doc->setBits(std::move(bits));
        doc->BitsRegion.Init(0, 0, kW, kH);
        tq::ImageWidth() = 1000;
        tq::ImageHeight() = 800;
        main->addDocument(doc);
        tq::ActiveImage() = doc;
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

void BM_MemcpyPicture(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);

// The whole redraw: size rules, layout, black, the thumbnail, the outline.
void BM_NavigatorUpdateImage(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.nav->UpdateImage();
        benchmark::DoNotOptimize(s.nav->pp->Picture.constBits());
    }
    state.counters["thumbnail px"] = double(s.nav->ThumbnailWidth()) * s.nav->ThumbnailHeight();
    tq::bench::setMegapixels(state, kW, kH);
}
BENCHMARK(BM_NavigatorUpdateImage)->Unit(benchmark::kMillisecond);

// The outline after a scroll of the document.
void BM_NavigatorUpdateClipRct(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.nav->UpdateClipRct();
        benchmark::DoNotOptimize(s.nav->ViewRect());
    }
}
BENCHMARK(BM_NavigatorUpdateClipRct)->Unit(benchmark::kMicrosecond);

// The reduction alone, into a thumbnail of the default navigator's size.
void BM_ThumbnailReduction(benchmark::State& state)
{
    Scene& s = scene();
    QImage target(206, 160, QImage::Format_RGB32);
    for (auto _ : state) {
        tq::drawThumbnail(target, 0, 0, 206, 206 * kH / kW, s.doc->BitsRef(), kW, kH);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ThumbnailReduction)->Unit(benchmark::kMicrosecond);

} // namespace
