// Undo snapshots of a 4000 x 3000 picture: writing and reading one snapshot
// file beside a plain write()/read() of the same bytes, one undo plus one
// redo through the store, and the same through a document window in the main
// window (engine copy and repaint included). BM_SnapshotRead reads into a
// fresh buffer each time and so also pays for the first touch of 48 MB of
// new memory; undo and redo read as BM_SnapshotReadInto does.
// BM_SnapshotReadRatio gives the fresh read's ratio to a raw read of the
// same file and to memcpy, measured in turn. BM_KeyToPixels holds a key's
// time to new pixels with the background snapshot writer against the same
// key writing its snapshot inline.
#include "document/ProgramContext.h"
#include "document/UndoStore.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <optional>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kW = 4000;
constexpr int kH = 3000;

size_t fileBytes() { return tq::BitsHeader::kSize + tq::BitsBuffer::byteSizeFor(kW, kH); }

// A scratch folder removed when the program ends.
struct Scratch {
    fs::path dir;
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "tq-bench-undo-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        dir = pattern;
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};
Scratch& scratch()
{
    static Scratch s;
    return s;
}

tq::BitsBuffer picture()
{
    tq::BitsBuffer b(kW, kH);
    for (size_t i = 0; i < b.byteSize(); ++i) b.data()[i] = static_cast<uint8_t>(i * 31);
    return b;
}

void setBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fileBytes()));
}

void BM_RawWrite(benchmark::State& state)
{
    const std::vector<uint8_t> bytes(fileBytes(), 7);
    const fs::path f = scratch().dir / "raw.dat";
    for (auto _ : state) {
        // A fresh file each time, as a snapshot is: truncating a large file
        // first would make the baseline slower than the thing it measures.
        ::unlink(f.c_str());
        const int fd = ::open(f.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) std::abort();
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t k = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (k <= 0) std::abort();
            done += static_cast<size_t>(k);
        }
        ::close(fd);
    }
    setBytes(state);
}
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SnapshotWrite(benchmark::State& state)
{
    const tq::BitsBuffer b = picture();
    const fs::path f = tq::UndoSnapshotFile::path(scratch().dir, 1, 0);
    for (auto _ : state)
        if (!tq::UndoSnapshotFile::write(f, b)) std::abort();
    setBytes(state);
}
BENCHMARK(BM_SnapshotWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawRead(benchmark::State& state)
{
    const fs::path f = scratch().dir / "raw-read.dat";
    {
        const std::vector<uint8_t> bytes(fileBytes(), 7);
        const int fd = ::open(f.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
        ::close(fd);
    }
    std::vector<uint8_t> into(fileBytes());
    for (auto _ : state) {
        const int fd = ::open(f.c_str(), O_RDONLY);
        size_t done = 0;
        while (done < into.size()) {
            const ssize_t k = ::read(fd, into.data() + done, into.size() - done);
            if (k <= 0) std::abort();
            done += static_cast<size_t>(k);
        }
        ::close(fd);
        benchmark::DoNotOptimize(into.data());
    }
    setBytes(state);
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SnapshotRead(benchmark::State& state)
{
    const fs::path f = tq::UndoSnapshotFile::path(scratch().dir, 2, 0);
    if (!tq::UndoSnapshotFile::write(f, picture())) std::abort();
    for (auto _ : state) {
        std::optional<tq::BitsBuffer> b = tq::UndoSnapshotFile::read(f);
        if (!b) std::abort();
        benchmark::DoNotOptimize(b->data());
    }
    setBytes(state);
}
BENCHMARK(BM_SnapshotRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// As undo and redo read: into a buffer of the same size, as the raw read does.
void BM_SnapshotReadInto(benchmark::State& state)
{
    const fs::path f = tq::UndoSnapshotFile::path(scratch().dir, 2, 1);
    if (!tq::UndoSnapshotFile::write(f, picture())) std::abort();
    tq::BitsBuffer into(kW, kH);
    for (auto _ : state) {
        if (!tq::UndoSnapshotFile::read(f, into)) std::abort();
        benchmark::DoNotOptimize(into.data());
    }
    setBytes(state);
}
BENCHMARK(BM_SnapshotReadInto)->Unit(benchmark::kMillisecond)->UseRealTime();

struct Document : tq::UndoTarget {
    tq::BitsBuffer bits;
    const tq::BitsBuffer& undoBits() const override { return bits; }
    void restoreBits(tq::BitsBuffer& b, bool) override { std::swap(bits, b); }
    void setActionsPanel(const std::string&) override {}
    void setPixelPanel(const std::string&) override {}
};

// One undo and one redo of a 4000 x 3000 picture per iteration.
void BM_UndoThenRedo(benchmark::State& state)
{
    Document doc;
    tq::UndoStore store(scratch().dir, 3, doc);
    doc.bits = picture();
    store.SaveUndoBits("Original");
    doc.bits.data()[100] ^= 1;
    store.SaveUndoBits("Change");
    for (auto _ : state) {
        if (!store.UndoBits() || !store.RedoBits()) std::abort();
    }
    store.DeleteUndoFiles();
}
BENCHMARK(BM_UndoThenRedo)->Unit(benchmark::kMillisecond)->UseRealTime();

QApplication& app() { return tq::bench::offscreenApp(); }

// One undo and one redo of a 4000 x 3000 document window per iteration.
void BM_WindowUndoThenRedo(benchmark::State& state)
{
    app();
    tq::platform::setProgramFolder(scratch().dir.string());
    tq::fMain main;
    main.show();
    auto* doc = new tq::fImage;
    doc->CreateBlank(kW, kH);
    doc->setBits(picture());
    main.addDocument(doc);
    tq::ActiveImage() = doc;
    tq::LastActionName() = "Original";
    doc->SaveUndoBits();
    tq::BitsBuffer changed = doc->Bits();
    changed.data()[100] ^= 1;
    doc->setBits(changed);
    tq::LastActionName() = "Change";
    doc->SaveUndoBits();
    for (auto _ : state) {
        if (!doc->UndoBits() || !doc->RedoBits()) std::abort();
    }
    tq::ActiveImage() = nullptr;
}
BENCHMARK(BM_WindowUndoThenRedo)->Unit(benchmark::kMillisecond)->UseRealTime();

// A snapshot read into a fresh buffer beside a raw read() of the same file
// into a buffer already mapped and a memcpy of the same bytes, taken in turn
// (the machine's load shifts all three alike); the ratios are of the
// medians. Argument 0: the C library's heap as it starts; 1: as the
// program sets it (keepLargeBlocksInHeap), which stays set for the rest of
// the run, so this comes last. Single-threaded; "cores" is the machine's.
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

void BM_SnapshotReadRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const auto msSince = [](Clock::time_point t0) {
        return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    };
    if (state.range(0) == 1) tq::platform::keepLargeBlocksInHeap();
    const fs::path f = tq::UndoSnapshotFile::path(scratch().dir, 3, 0);
    if (!tq::UndoSnapshotFile::write(f, picture())) std::abort();
    std::vector<uint8_t> raw(fileBytes(), 1), copy(fileBytes(), 2);
    std::vector<double> rawMs, snapshotMs, copyMs;
    for (auto _ : state) {
        auto t0 = Clock::now();
        const int fd = ::open(f.c_str(), O_RDONLY);
        size_t done = 0;
        while (done < raw.size()) {
            const ssize_t k = ::read(fd, raw.data() + done, raw.size() - done);
            if (k <= 0) std::abort();
            done += static_cast<size_t>(k);
        }
        ::close(fd);
        benchmark::DoNotOptimize(raw.data());
        rawMs.push_back(msSince(t0));

        t0 = Clock::now();
        {
            std::optional<tq::BitsBuffer> b = tq::UndoSnapshotFile::read(f);
            if (!b) std::abort();
            benchmark::DoNotOptimize(b->data());
        }
        snapshotMs.push_back(msSince(t0));

        t0 = Clock::now();
        std::memcpy(copy.data(), raw.data(), raw.size());
        benchmark::DoNotOptimize(copy.data());
        copyMs.push_back(msSince(t0));
    }
    state.counters["raw_ms"] = median(rawMs);
    state.counters["snapshot_ms"] = median(snapshotMs);
    state.counters["memcpy_ms"] = median(copyMs);
    state.counters["ratio"] = median(snapshotMs) / median(rawMs);
    state.counters["x_memcpy"] = median(snapshotMs) / median(copyMs);
    state.counters["raw_x_memcpy"] = median(rawMs) / median(copyMs);
    state.counters["cores"] = double(std::thread::hardware_concurrency());
}
BENCHMARK(BM_SnapshotReadRatio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

// From a key to the document's new pixels on screen: INVERT through the main
// window's dispatcher on a 4000 x 3000 document, then the paint. One
// document records its steps through a background writer, the other writes
// each snapshot before the key returns (as before the writer); they take
// turns, each first every other time. "ratio" is the writer's median over the inline one, beside the
// memcpy of the picture; the writer finishes between keys, untimed, as it
// does while the user looks at the result.
void BM_KeyToPixels(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const auto msSince = [](Clock::time_point t0) {
        return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    };
    app();
    tq::platform::setProgramFolder(scratch().dir.string());
    auto writer = std::make_shared<tq::SnapshotWriter>();
    std::vector<double> with, inline_, copy;
    std::vector<uint8_t> from(tq::BitsBuffer::byteSizeFor(kW, kH), 1), to(from.size());
    std::memcpy(to.data(), from.data(), from.size());
    {
        tq::fMain main;
        main.show();
        struct Doc {
            tq::fImage* doc;
            QMdiSubWindow* sub;
        };
        const auto open = [&](bool useWriter) {
            tq::programContext().snapshotWriter = useWriter ? writer : nullptr;
            auto* doc = new tq::fImage;
            doc->MeID = ++tq::DocumentCount();
            doc->CreateBlank(kW, kH);
            doc->setBits(picture());
            doc->BitsRegion.Init(0, 0, kW, kH);
            QMdiSubWindow* sub = main.addDocument(doc);
            tq::LastActionName() = "Original";
            doc->SaveUndoBits();
            return Doc{doc, sub};
        };
        const Doc withWriter = open(true);
        const Doc inlineDoc = open(false);
        tq::programContext().snapshotWriter = nullptr;
        QApplication::processEvents();
        const auto key = [&](const Doc& d, std::vector<double>& into) {
            main.mdiArea()->setActiveSubWindow(d.sub);
            QApplication::processEvents();
            writer->drain();
            tq::LastActionName() = "INVERT";
            const auto t0 = Clock::now();
            main.MenuExec("INVERT");
            QApplication::processEvents();
            into.push_back(msSince(t0));
        };
        for (auto _ : state) {
            auto t0 = Clock::now();
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::DoNotOptimize(to.data());
            copy.push_back(msSince(t0));
            // Each goes first in turn: neither inherits the other's state.
            if (copy.size() % 2) {
                key(withWriter, with);
                key(inlineDoc, inline_);
            } else {
                key(inlineDoc, inline_);
                key(withWriter, with);
            }
        }
        writer->drain();
        withWriter.doc->Changed = inlineDoc.doc->Changed = false;
    }
    tq::ActiveImage() = nullptr;
    state.counters["writer_ms"] = median(with);
    state.counters["inline_ms"] = median(inline_);
    state.counters["ratio"] = median(inline_) > 0 ? median(with) / median(inline_) : 0.0;
    state.counters["memcpy_ms"] = median(copy);
    state.counters["cores"] = double(std::thread::hardware_concurrency());
}
BENCHMARK(BM_KeyToPixels)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(31);

} // namespace
