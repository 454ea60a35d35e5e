// The optimised save's size estimate on a 4000 x 3000 photograph-like
// picture: one option change = reduce, write the estimate file, measure it
// and read it back as the preview (OptimizeToFile / OptimizeJpegToFile with
// final 0). Targets: under 1 s for the GIF presets, under 0.3 s for JPEG.
// The dialog's own path is timed too: a preset chosen in FWeb (the
// conversion and both optimised previews with their texts), and the whole
// opening (the picture copied in, measured as a Windows bitmap, the saved
// preset converted and shown).
//
// Baselines in the same run: a memcpy of the bordered picture (the unit of
// every whole-picture operation), and the reducer alone (reduce and write,
// no read-back) to show what the preview costs.
//
// Like the program, the benchmark keeps freed picture buffers in the heap.
// Without it every estimate faulted in its 36 to 48 MB buffers page by page
// again, which on this machine cost more than the JPEG coder itself: the
// JPEG estimate took 322 ms that way, 74 ms with the heap kept.
//
// Figures on the shared 8-core development machine under a load of 2
// (Dec 2026), median of three runs, ms per estimate:
//   memcpy of the picture                          2.0
//   reducer alone, GIF-64 reduce and write         194
//   GIF-2   (Fixed Color)                          154
//   GIF-64  (Optimal, no dither)                   273
//   GIF-64  Forward Diagonal (Floyd-Steinberg)     583
//   GIF-256 (Optimal, no dither)                   346
//   GIF-256 Ordered                                628
//   JPEG    Normal quality                          74
//   dialog: GIF-64 chosen                          258
//   dialog: GIF-256 chosen                         348
//   dialog: JPEG Normal chosen                      56
//   dialog: opening, GIF-64                        332
// Reading a GIF back (giflib decoding the LZW codes) is most of the gap
// between the reducer alone and the GIF-64 estimate. The dialog adds
// nothing measurable to the conversion: the file read back becomes the
// preview without a copy, and the "Both" page shows the same image. Under a
// load of 8 to 16 the figures grow by a third to a half.
#include "BenchSupport.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "export/FWeb.h"
#include "export/WebSave.h"
#include "picturefiles/ColorReducer.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"
#include "platform/PictureFiles.h"

#include <QComboBox>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

tq::DibRecord makeBenchPicture() { return tq::bench::photoLikePicture(kW, kH); }

// As the program does at start: freed picture buffers stay in the heap, so
// the next estimate reuses pages already mapped instead of faulting in
// 48 MB of fresh ones.
const bool kHeapKept = [] {
    tq::platform::keepLargeBlocksInHeap();
    return true;
}();

struct Fixture {
    std::string dir;
    tq::DibRecord picture;
    std::string estimate;

    Fixture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tq-bench-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        dir = mkdtemp(buf.data());
        tq::setPictureTempFolder(dir);
        picture = makeBenchPicture();
        estimate = tq::newWebSaveEstimateFile();
    }
    ~Fixture()
    {
        tq::setPictureTempFolder("");
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_MemcpyPicture(benchmark::State& state) { tq::bench::memcpyBorderedPicture(state, kW, kH); }

// One estimate of preset index with the given dither list item.
void estimate(benchmark::State& state, int preset, int ditherItem)
{
    Fixture& f = fixture();
    tq::WebSaveState s;
    const tq::PresetChoice choice = tq::chooseWebSavePreset(s, preset, false);
    tq::chooseWebSaveDither(s, ditherItem);
    for (auto _ : state) {
        const tq::WebSaveResult r =
            choice.jpeg ? tq::OptimizeJpegToFile(s, f.picture, f.estimate, tq::WebSaveJpegItems[size_t(choice.jpegItem)].value, 0)
                        : tq::OptimizeToFile(s, f.picture, tq::WebSaveChecks{}, f.estimate, 0);
        if (!r.shown) state.SkipWithError("the estimate was not written");
        benchmark::DoNotOptimize(r.fileSize);
    }
    tq::bench::setMegapixels(state, kW, kH);
}

void BM_EstimateGif64(benchmark::State& state) { estimate(state, 5, 0); }
void BM_EstimateGif64Diffused(benchmark::State& state) { estimate(state, 5, 4); }
void BM_EstimateGif256(benchmark::State& state) { estimate(state, 7, 0); }
void BM_EstimateGif256Ordered(benchmark::State& state) { estimate(state, 7, 2); }
void BM_EstimateGif2(benchmark::State& state) { estimate(state, 0, 0); }
void BM_EstimateJpegNormal(benchmark::State& state) { estimate(state, 17, 0); }

// The reducer alone: reduce and write the GIF-64 estimate, no read-back.
void BM_ReducerGif64(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        tq::ColorReducer r;
        if (!r.ReduceToFile(f.picture, f.estimate, 1, 0, 6, 0x4000, 0)) state.SkipWithError("not written");
    }
    tq::bench::setMegapixels(state, kW, kH);
}

// The dialog as IMAGESAVEOPTIONS opens it on the picture: a document with
// the picture extracted, the dialog loaded once (untimed).
struct DialogFixture {
    tq::ScopedContext context;
    tq::fImage doc;
    std::unique_ptr<tq::FWeb> dialog;

    DialogFixture()
    {
        Fixture& f = fixture();
        tq::platform::setProgramFolder(f.dir);
        tq::programSettings() = tq::defaultSettings(f.dir);
        doc.CreateBlank(kW, kH);
        tq::BitsBuffer bits(kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                for (int c = 0; c < 3; ++c) bits.at(c, x, y) = f.picture.row(y)[4 * x + c];
        doc.setBits(std::move(bits));
        doc.setWindowTitle(QStringLiteral("photo.png"));
        doc.ExtractBitmap();
        tq::ActiveImage() = &doc;
        dialog = load();
    }
    ~DialogFixture()
    {
        dialog.reset();
        tq::platform::setProgramFolder("");
    }
    static std::unique_ptr<tq::FWeb> load()
    {
        auto d = std::make_unique<tq::FWeb>();
        if (!d->Form_Load()) d.reset();
        return d;
    }
};

DialogFixture& dialogFixture()
{
    tq::bench::offscreenApp();
    static DialogFixture f;
    return f;
}

// One option change in the dialog: the preset chosen again, converted into
// the estimate file and shown in both optimised previews with its texts.
void dialogEstimate(benchmark::State& state, int preset)
{
    DialogFixture& f = dialogFixture();
    if (!f.dialog) {
        state.SkipWithError("the dialog did not load");
        return;
    }
    f.dialog->CboFiles->setCurrentIndex(preset);
    f.dialog->CboFiles_Click();   // untimed: the first run maps the heap's pages
    for (auto _ : state) {
        f.dialog->CboFiles_Click();
        if (!f.dialog->panelText(3).isEmpty()) state.SkipWithError("the estimate was not written");
    }
    tq::bench::setMegapixels(state, kW, kH);
}

void BM_DialogEstimateGif64(benchmark::State& state) { dialogEstimate(state, 5); }
void BM_DialogEstimateGif256(benchmark::State& state) { dialogEstimate(state, 7); }
void BM_DialogEstimateJpegNormal(benchmark::State& state) { dialogEstimate(state, 17); }

// The whole opening: the picture copied in, measured as a Windows bitmap,
// the saved preset ("GIF-64 Colors") converted and shown.
void BM_DialogLoad(benchmark::State& state)
{
    dialogFixture();
    for (auto _ : state) {
        std::unique_ptr<tq::FWeb> d = DialogFixture::load();
        if (!d) state.SkipWithError("the dialog did not load");
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    tq::bench::setMegapixels(state, kW, kH);
}

BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReducerGif64)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EstimateGif64)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EstimateGif64Diffused)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EstimateGif256)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EstimateGif256Ordered)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EstimateGif2)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EstimateJpegNormal)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_DialogEstimateGif64)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_DialogEstimateGif256)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_DialogEstimateJpegNormal)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_DialogLoad)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
