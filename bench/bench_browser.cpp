// The thumbnail browser over a folder of 500 pictures of 1 megapixel
// (1000 x 1000 JPEG files, about 0.3 MB each): how fast the folder is
// listed, how many thumbnails a second one core makes (decode, fit, reduce,
// at both qualities), and a whole build in the window. The memcpy of one
// decoded picture (4 MB) is the baseline: a thumbnail costs a decode of the
// whole picture plus a few copies of it, so it is read as a multiple of it.
//
// Targets: the list under 100 ms, the 500 thumbnails under 10 s on one core.
//
// Measured on the 8-core build machine (pinned to one core, other builds
// running beside it), Release:
//   memcpy of 4 MB                     0.12 ms
//   listing 500 files                  9.4 ms (into the window's list: 14 ms)
//   one thumbnail, quality 0           8.5 ms  (118 a second; about 70 memcpys)
//   one thumbnail, quality 1          15.7 ms  (66 a second: the area average
//                                              visits every source pixel)
//   500 thumbnails in the window       4.5 s   (111 a second)
// Most of a thumbnail is the JPEG decode of the whole picture; the bilinear
// reduction to the cell reads only the pixels it samples.
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/PictureRouting.h"
#include "toolwindows/BrowserFileList.h"
#include "toolwindows/FolderListing.h"
#include "toolwindows/ThumbnailRender.h"
#include "toolwindows/fToolBrowser.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kSide = 1000;
constexpr int kFiles = 500;

// The folder of 500 pictures, made once and removed at exit.
struct PictureFolder {
    fs::path folder;

    PictureFolder()
    {
        char pattern[] = "/tmp/tq-bench-browser-XXXXXX";
        folder = mkdtemp(pattern);
        const tq::DibRecord picture = tq::bench::photoLikePicture(kSide, kSide);
        const std::string first = (folder / "p000.jpg").string();
        if (!tq::mBitmap::SaveImageFile(first, "jpg", picture)) std::abort();
        // Copies decode exactly as the first does.
        for (int i = 1; i < kFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "p%03d.jpg", i);
            fs::copy_file(first, folder / name);
        }
    }
    ~PictureFolder()
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::string file(int i) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "p%03d.jpg", i);
        return (folder / name).string();
    }
};

PictureFolder& pictures()
{
    static PictureFolder f;
    return f;
}

void prepare()
{
    tq::bench::offscreenApp();
    tq::platform::keepLargeBlocksInHeap();
    static bool once = [] {
        tq::programSettings() = tq::defaultSettings(tq::platform::programFolder());
        return true;
    }();
    (void)once;
    pictures();
}

void BM_MemcpyDecodedPicture(benchmark::State& state)
{
    std::vector<uint8_t> src(4u * kSide * kSide, 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_MemcpyDecodedPicture)->Unit(benchmark::kMillisecond);

void BM_ListFolder(benchmark::State& state)
{
    prepare();
    for (auto _ : state) {
        std::vector<tq::browser::FolderRow> rows = tq::browser::listFolder(pictures().folder.string());
        if (rows.size() != size_t(kFiles)) state.SkipWithError("files missing");
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond);

// One thumbnail of one file at a quality: what each turn of a build does
// before its cell is shown.
void BM_Thumbnail(benchmark::State& state)
{
    prepare();
    const auto quality = static_cast<int16_t>(state.range(0));
    int i = 0;
    for (auto _ : state) {
        tq::DibRecord picture;
        if (!tq::browser::decodeThumbnailSource(pictures().file(i++ % kFiles), "jpg", picture))
            state.SkipWithError("no decode");
        tq::browser::ThumbnailBitmaps bitmaps;
        tq::DibRecord thumb = tq::browser::reduceToThumbnail(picture, 70, 60, quality, 0xFFFFFF, bitmaps);
        benchmark::DoNotOptimize(thumb.bits.data());
    }
    state.counters["thumbnails/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Thumbnail)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The window: the folder listed into its list, then the whole grid built.
struct Window {
    std::unique_ptr<tq::fToolBrowser> browser;
    Window()
    {
        tq::programSettings().BrowserFolder.assign("");
        browser = std::make_unique<tq::fToolBrowser>(nullptr);
        browser->resize(800, 600);
        browser->show();
    }
};

void BM_WindowListsFolder(benchmark::State& state)
{
    prepare();
    Window w;
    for (auto _ : state) {
        w.browser->FolderView(pictures().folder.string());
        QCoreApplication::processEvents();
    }
    if (w.browser->lv->ListCount() != kFiles) state.SkipWithError("files missing");
}
BENCHMARK(BM_WindowListsFolder)->Unit(benchmark::kMillisecond);

void BM_WindowBuildsAllThumbnails(benchmark::State& state)
{
    prepare();
    Window w;
    w.browser->FolderView(pictures().folder.string());
    tq::programSettings().ThumbQuality = 0;
    for (auto _ : state) {
        w.browser->tb_ButtonClick(8);
        w.browser->finishThumbs();
        QCoreApplication::processEvents();
    }
    if (w.browser->optThumb.size() != size_t(kFiles) + 1) state.SkipWithError("cells missing");
    state.counters["thumbnails/s"] =
        benchmark::Counter(double(kFiles) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WindowBuildsAllThumbnails)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
