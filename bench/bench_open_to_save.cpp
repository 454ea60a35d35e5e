// End to end: open a 4000 x 3000 PNG as a document, run one direct filter
// (INVERT, through the main window's dispatcher), save the document as BMP and
// close it: the path tq-drive takes, with the heap set up as the program sets
// it (keepLargeBlocksInHeap). Beside it, in the same run:
//   - Memcpy:        one memcpy of the bordered 32-bit picture (48 MB);
//   - PlainLibrary:  the same work as a plain library call sequence,
//                    FreeImage_Load, FreeImage_Invert, FreeImage_Save;
//   - Ratio:         both and the memcpy, interleaved, for the ratios of
//                    the medians (the machine's load shifts them alike):
//                    ratio (ours / plain), x_memcpy and plain_x_memcpy.
// The path runs on the calling thread except the filter, which the engine
// shares among its threads: Ratio/threads:1 keeps the engine on one thread
// (every figure of that line is single-threaded, as the library sequence
// always is), Ratio/threads:N gives it every core, as the program does; so
// does OpenFilterSave. The context header and the "cores" counter give the
// machine's core count (other work on it shifts the absolute times).
//
// OpenFilterSaveWriter holds the path with its undo snapshots written in the
// background against the same path writing them inline (see there).
//
// The counters of OpenFilterSave, read by a hook on the C library's
// allocation calls from the start of the open to the end of the save:
//   buffers   blocks of at least a 24-bit picture (36 MB) allocated;
//   peak_x24  the most heap in use above the state before the open, in
//             24-bit pictures, less what the same path takes for a 16 x 16
//             picture (the toolkit's own);
//   peak_MB   the same most, in MB, the toolkit's own included.
//
// OpenStep/png and OpenStep/jpg hold the open step alone against the
// library's own decode of the same 4000 x 3000 file: FreeImage_Load (and
// its FreeImage_Unload) beside decodePixelsForOpening, the file made into
// the bordered buffer a document keeps (header and structure checks, the
// decode, the conversion), interleaved, medians of each:
//   load_ms / open_ms   the two medians;
//   ratio               open_ms / load_ms (the target is 1.3 at most);
//   peak_x24            the most heap the open step holds above the state
//                       before it, in 24-bit pictures (the library's
//                       picture and the document's buffer while the rows
//                       are converted: 1 + 4/3 at least).
// The _cold lines hand the heap's free memory back to the system before
// each call (malloc_trim), so both take their blocks fresh, page fault by
// page fault, as the first open after start does; the plain lines reuse the
// heap's mapped memory, as every later open does.
#include "document/OpenPicture.h"
#include "document/ProgramContext.h"
#include "document/UndoStore.h"
#include "document/fImage.h"
#include "document/FreeImageBridge.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"
#include "support/TestPorts.h"

#include <FreeImage.h>
#include <QApplication>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// ---- The allocation hook ------------------------------------------------------
// Every allocation of the process goes through these (they replace the C
// library's by the usual symbol interposition) and on to the library's own.

extern "C" {
void* __libc_malloc(size_t);
void __libc_free(void*);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace {

std::atomic<bool> g_counting{false};
std::atomic<size_t> g_bigThreshold{SIZE_MAX};
std::atomic<int> g_bigCount{0};
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

inline void noteAllocated(void* p, size_t asked)
{
    if (!p) return;
    const auto n = static_cast<int64_t>(malloc_usable_size(p));
    const int64_t live = g_live.fetch_add(n, std::memory_order_relaxed) + n;
    if (!g_counting.load(std::memory_order_relaxed)) return;
    int64_t peak = g_peak.load(std::memory_order_relaxed);
    while (live > peak && !g_peak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
    if (asked >= g_bigThreshold.load(std::memory_order_relaxed)) g_bigCount.fetch_add(1, std::memory_order_relaxed);
}

inline void noteFreed(void* p)
{
    if (p) g_live.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
}

} // namespace

extern "C" {
void* malloc(size_t n)
{
    void* p = __libc_malloc(n);
    noteAllocated(p, n);
    return p;
}
void free(void* p)
{
    noteFreed(p);
    __libc_free(p);
}
void* calloc(size_t n, size_t m)
{
    void* p = __libc_calloc(n, m);
    noteAllocated(p, n * m);
    return p;
}
void* realloc(void* old, size_t n)
{
    noteFreed(old);
    void* p = __libc_realloc(old, n);
    if (!p && old && n) {
        // The old block stays when the new one cannot be had.
        g_live.fetch_add(static_cast<int64_t>(malloc_usable_size(old)), std::memory_order_relaxed);
        return nullptr;
    }
    noteAllocated(p, n);
    return p;
}
void* memalign(size_t a, size_t n)
{
    void* p = __libc_memalign(a, n);
    noteAllocated(p, n);
    return p;
}
void* aligned_alloc(size_t a, size_t n) { return memalign(a, n); }
int posix_memalign(void** out, size_t a, size_t n)
{
    void* p = memalign(a, n);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
void* valloc(size_t n) { return memalign(size_t(sysconf(_SC_PAGESIZE)), n); }
void* pvalloc(size_t n)
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return memalign(page, (n + page - 1) / page * page);
}
}

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kW = 4000;
constexpr int kH = 3000;
constexpr size_t kPicture24 = size_t(3) * kW * kH;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// What one run of the program's path allocated.
struct Tally {
    int buffers = 0;
    int64_t peakBytes = 0;
};

struct Counting {
    int64_t base = 0;
    explicit Counting(size_t bigThreshold)
    {
        g_bigThreshold = bigThreshold;
        g_bigCount = 0;
        base = g_live.load();
        g_peak = base;
        g_counting = true;
    }
    Tally stop()
    {
        g_counting = false;
        return Tally{g_bigCount.load(), g_peak.load() - base};
    }
};

// The program, started once, and the files it works on.
struct Program {
    QTemporaryDir folder;
    QTemporaryDir runtime;
    std::unique_ptr<tq::platform::TestPorts> ports;
    std::unique_ptr<tq::mStart> shell;
    std::string png, jpg, smallPng, bmp, plainBmp;

    Program()
    {
        tq::platform::keepLargeBlocksInHeap();   // as the program does at start
        tq::bench::offscreenApp();
        tq::programContext();
        ports = std::make_unique<tq::platform::TestPorts>();
        const std::string dir = folder.path().toStdString();
        tq::platform::setProgramFolder(dir + "/program");
        tq::platform::tempFolder();
        png = dir + "/photo.png";
        jpg = dir + "/photo.jpg";
        smallPng = dir + "/small.png";
        bmp = dir + "/saved.bmp";
        plainBmp = dir + "/plain.bmp";
        tq::mFormat::InitFreeImage();
        const tq::DibRecord photo = tq::bench::photoLikePicture(kW, kH);
        writePicture(photo, FIF_PNG, png, 0);
        writePicture(photo, FIF_JPEG, jpg, JPEG_QUALITYSUPERB);
        writePicture(tq::bench::photoLikePicture(16, 16), FIF_PNG, smallPng, 0);

        tq::StartOptions start;
        start.programFolder = dir + "/program";
        start.runtimeFolder = runtime.path().toStdString();
        shell = std::make_unique<tq::mStart>(start);
        if (!shell->StartApplication()) std::abort();
        QApplication::processEvents();
    }

    [[noreturn]] void fail(const std::string& what)
    {
        std::fprintf(stderr, "bench_open_to_save: %s\n", what.c_str());
        for (const auto& box : ports->messageBoxes.shown) std::fprintf(stderr, "  message: %s\n", box.text.c_str());
        std::abort();
    }

    static void writePicture(const tq::DibRecord& pic, FREE_IMAGE_FORMAT fif, const std::string& path, int flags)
    {
        FIBITMAP* dib = FreeImage_Allocate(pic.width, pic.height, 24);
        for (int y = 0; y < pic.height; ++y) {
            uint8_t* d = FreeImage_GetScanLine(dib, pic.height - 1 - y);
            const uint8_t* s = pic.row(y);
            for (int x = 0; x < pic.width; ++x, d += 3, s += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        if (!FreeImage_Save(fif, dib, path.c_str(), flags)) std::abort();
        FreeImage_Unload(dib);
    }

    // Open, INVERT, save: the timed part of the program's path. The document
    // is left open for close().
    // The milliseconds of each part of the last openFilterSave.
    double openMs = 0, filterMs = 0, saveMs = 0;

    tq::fImage* openFilterSave(const std::string& path)
    {
        auto t0 = Clock::now();
        shell->loadBitmap(path, "png");
        QApplication::processEvents();
        tq::fImage* doc = shell->main()->currentDocument();
        if (!doc) fail("no document after opening " + path);
        openMs = msSince(t0);
        t0 = Clock::now();
        tq::LastActionName() = "INVERT";
        shell->main()->MenuExec("INVERT");
        QApplication::processEvents();
        filterMs = msSince(t0);
        t0 = Clock::now();
        if (!doc->save(bmp, "bmp")) fail("not saved");
        saveMs = msSince(t0);
        return doc;
    }

    void close(tq::fImage* doc)
    {
        doc->Changed = false;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(doc->parentWidget())) sub->close();
        QApplication::processEvents();
        // The closed window goes now, not when an event loop next runs.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void plainLibrary()
    {
        FIBITMAP* dib = FreeImage_Load(FIF_PNG, png.c_str(), 0);
        if (!dib || !FreeImage_Invert(dib) || !FreeImage_Save(FIF_BMP, dib, plainBmp.c_str(), 0)) std::abort();
        FreeImage_Unload(dib);
    }
};

Program& program()
{
    static Program p;
    return p;
}

// Page faults of the process so far (first touches of memory).
long minorFaults()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_minflt;
}

const bool kCores = tq::bench::stateCores();

void setCores(benchmark::State& state) { state.counters["cores"] = double(tq::bench::coreCount()); }

void BM_Memcpy(benchmark::State& state)
{
    tq::bench::memcpyBorderedPicture(state, kW, kH);
    setCores(state);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_PlainLibrary(benchmark::State& state)
{
    Program& p = program();
    p.plainLibrary();   // untimed: the heap maps its pages once
    for (auto _ : state) p.plainLibrary();
    tq::bench::setMegapixels(state, kW, kH);
    setCores(state);
}
BENCHMARK(BM_PlainLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenFilterSave(benchmark::State& state)
{
    Program& p = program();
    // The toolkit's own: the same path on a 16 x 16 picture.
    int64_t toolkit = 0;
    {
        Counting c(kPicture24);
        tq::fImage* doc = p.openFilterSave(p.smallPng);
        toolkit = c.stop().peakBytes;
        p.close(doc);
    }
    Tally first;
    {
        Counting c(kPicture24);
        tq::fImage* doc = p.openFilterSave(p.png);
        first = c.stop();
        p.close(doc);
    }
    const long faultsBefore = minorFaults();
    for (auto _ : state) {
        tq::fImage* doc = p.openFilterSave(p.png);
        state.PauseTiming();
        p.close(doc);
        state.ResumeTiming();
    }
    state.counters["faults"] = double(minorFaults() - faultsBefore) / double(state.iterations());
    state.counters["buffers"] = first.buffers;
    state.counters["peak_MB"] = double(first.peakBytes) / (1024.0 * 1024.0);
    state.counters["peak_x24"] = double(first.peakBytes - toolkit) / double(kPicture24);
    tq::bench::setMegapixels(state, kW, kH);
    setCores(state);
}
BENCHMARK(BM_OpenFilterSave)->Unit(benchmark::kMillisecond)->UseRealTime();

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The open step and the library's decode in turn; the ratio of their medians.
void BM_OpenStep(benchmark::State& state, const char* ext, FREE_IMAGE_FORMAT fif, int flags, bool cold)
{
    Program& p = program();
    const std::string& path = std::string(ext) == "png" ? p.png : p.jpg;
    const auto open = [&] {
        tq::OpenedPixels opened = tq::decodePixelsForOpening(path, ext);
        if (!opened.ok) p.fail(std::string("no picture from ") + path);
        benchmark::DoNotOptimize(opened.pixels.data());
    };
    open();   // untimed: the heap maps its pages once
    Tally first;
    {
        Counting c(kPicture24);
        open();
        first = c.stop();
    }
    std::vector<double> load, ours;
    for (auto _ : state) {
        if (cold) malloc_trim(0);
        auto t0 = Clock::now();
        FIBITMAP* dib = FreeImage_Load(fif, path.c_str(), flags);
        if (!dib) p.fail("FreeImage_Load failed on " + path);
        FreeImage_Unload(dib);
        load.push_back(msSince(t0));
        if (cold) malloc_trim(0);
        t0 = Clock::now();
        open();
        ours.push_back(msSince(t0));
    }
    state.counters["load_ms"] = median(load);
    state.counters["open_ms"] = median(ours);
    state.counters["ratio"] = median(load) > 0 ? median(ours) / median(load) : 0.0;
    state.counters["peak_x24"] = double(first.peakBytes) / double(kPicture24);
    setCores(state);
}
BENCHMARK_CAPTURE(BM_OpenStep, png, "png", FIF_PNG, 0, false)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);
BENCHMARK_CAPTURE(BM_OpenStep, jpg, "jpg", FIF_JPEG, JPEG_ACCURATE, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(15);
BENCHMARK_CAPTURE(BM_OpenStep, png_cold, "png", FIF_PNG, 0, true)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);
BENCHMARK_CAPTURE(BM_OpenStep, jpg_cold, "jpg", FIF_JPEG, JPEG_ACCURATE, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(15);

// Both paths in turn, many times over; the ratio of their medians.
void BM_Ratio(benchmark::State& state)
{
    Program& p = program();
    tq::cBitFilter& engine = p.shell->main()->cFilter;
    engine.setThreadCount(int(state.range(0)));
    // The memcpy of the bordered 32-bit picture, timed in the same turns.
    std::vector<uint8_t> from(tq::BitsBuffer::byteSizeFor(kW, kH), 1), to(from.size());
    std::memcpy(to.data(), from.data(), from.size());   // untimed: both mapped
    std::vector<double> ours, plain, open, filter, save, copy;
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        copy.push_back(msSince(t0));
        t0 = Clock::now();
        p.plainLibrary();
        plain.push_back(msSince(t0));
        t0 = Clock::now();
        tq::fImage* doc = p.openFilterSave(p.png);
        ours.push_back(msSince(t0));
        open.push_back(p.openMs);
        filter.push_back(p.filterMs);
        save.push_back(p.saveMs);
        state.PauseTiming();
        p.close(doc);
        state.ResumeTiming();
    }
    state.counters["plain_ms"] = median(plain);
    state.counters["ours_ms"] = median(ours);
    state.counters["open_ms"] = median(open);
    state.counters["filter_ms"] = median(filter);
    state.counters["save_ms"] = median(save);
    state.counters["ratio"] = median(plain) > 0 ? median(ours) / median(plain) : 0.0;
    state.counters["memcpy_ms"] = median(copy);
    state.counters["x_memcpy"] = median(copy) > 0 ? median(ours) / median(copy) : 0.0;
    state.counters["plain_x_memcpy"] = median(copy) > 0 ? median(plain) / median(copy) : 0.0;
    setCores(state);
    engine.setThreadCount(0);   // back to every core, as the program runs it
}
BENCHMARK(BM_Ratio)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(tq::bench::coreCount())
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(9);

// Open-invert-save with the program's snapshot writer (as it runs) and with
// every snapshot written on the path itself (as before the writer), taken in
// turn: "ratio" is the writer's median over the inline one (the target is
// 0.85 or less), beside the memcpy of the picture. "drain_ms" is what the
// writer still had to do after the save returned (it overlaps what the user
// does next); each run's close waits for it, untimed. The INVERT here comes
// straight after the open, so it waits for the open's snapshot before it
// writes over the pixels that snapshot keeps (which spares a second
// picture-sized block): the writer gains on this path only what is written
// after that, the INVERT's own snapshot during the save.
void BM_OpenFilterSaveWriter(benchmark::State& state)
{
    Program& p = program();
    std::shared_ptr<tq::SnapshotWriter> writer = tq::programContext().snapshotWriter;
    if (!writer) p.fail("the program started no snapshot writer");
    std::vector<uint8_t> from(tq::BitsBuffer::byteSizeFor(kW, kH), 1), to(from.size());
    std::memcpy(to.data(), from.data(), from.size());
    std::vector<double> with, inline_, drain, copy;
    std::vector<double> parts[2][3];   // open, filter, save; inline, writer
    const auto run = [&](bool useWriter) {
        tq::programContext().snapshotWriter = useWriter ? writer : nullptr;
        auto t0 = Clock::now();
        tq::fImage* doc = p.openFilterSave(p.png);
        (useWriter ? with : inline_).push_back(msSince(t0));
        parts[useWriter][0].push_back(p.openMs);
        parts[useWriter][1].push_back(p.filterMs);
        parts[useWriter][2].push_back(p.saveMs);
        state.PauseTiming();
        t0 = Clock::now();
        writer->drain();
        if (useWriter) drain.push_back(msSince(t0));
        p.close(doc);
        state.ResumeTiming();
    };
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        copy.push_back(msSince(t0));
        run(true);
        run(false);
    }
    tq::programContext().snapshotWriter = writer;
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    state.counters["writer_ms"] = median(with);
    state.counters["inline_ms"] = median(inline_);
    state.counters["ratio"] = median(inline_) > 0 ? median(with) / median(inline_) : 0.0;
    state.counters["drain_ms"] = median(drain);
    const char* const names[2][3] = {{"inline_open", "inline_filter", "inline_save"},
                                     {"writer_open", "writer_filter", "writer_save"}};
    for (int w = 0; w < 2; ++w)
        for (int k = 0; k < 3; ++k) state.counters[names[w][k]] = median(parts[w][k]);
    state.counters["memcpy_ms"] = median(copy);
    setCores(state);
}
BENCHMARK(BM_OpenFilterSaveWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(9);

} // namespace
