// A direct filter on a 4000 x 3000 document, end to end through MenuExec
// (pump, member, the engine's and the document's copies, Update with its
// snapshot), beside the member alone and the member plus the snapshot write.
// The end-to-end run should stay within the second plus about 20%.
#include "document/ProgramContext.h"
#include "document/UndoStore.h"
#include "document/fImage.h"
#include "mainwindow/DirectFilters.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QTemporaryDir>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

QApplication& app() { return tq::bench::offscreenApp(); }

tq::BitsBuffer picture() { return tq::bench::patternPicture(kW, kH); }

const char* const kKeys[] = {"INVERT", "GRAYSCALE", "LIGHTBLUR"};

void BM_MemberAlone(benchmark::State& state)
{
    const char* key = kKeys[state.range(0)];
    state.SetLabel(key);
    const auto* row = tq::findDirectFilter<tq::cBitFilter>(key);
    const tq::Region whole = tq::Region::rect(0, 0, kW, kH);
    tq::cBitFilter engine;
    engine.setBits(picture());
    engine.setBitsRegion(&whole);
    for (auto _ : state) benchmark::DoNotOptimize(row->run(engine));
}
BENCHMARK(BM_MemberAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_MemberAndSnapshotWrite(benchmark::State& state)
{
    const char* key = kKeys[state.range(0)];
    state.SetLabel(key);
    const auto* row = tq::findDirectFilter<tq::cBitFilter>(key);
    QTemporaryDir dir;
    const tq::Region whole = tq::Region::rect(0, 0, kW, kH);
    tq::cBitFilter engine;
    engine.setBits(picture());
    engine.setBitsRegion(&whole);
    // Each step is a file of its own, as in a document's history.
    int step = 0;
    for (auto _ : state) {
        tq::FilterResult r = row->run(engine);
        tq::UndoSnapshotFile::write(tq::UndoSnapshotFile::path(dir.path().toStdString(), 1, step++ % 200), *r);
    }
}
BENCHMARK(BM_MemberAndSnapshotWrite)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_MenuExecEndToEnd(benchmark::State& state)
{
    app();
    const char* key = kKeys[state.range(0)];
    state.SetLabel(key);
    QTemporaryDir program;
    tq::platform::setProgramFolder(program.path().toStdString());
    {
        tq::fMain main;
        main.show();
        auto* doc = new tq::fImage;
        doc->CreateBlank(kW, kH);
        doc->setBits(picture());
        doc->BitsRegion.Init(0, 0, kW, kH);
        ++tq::DocumentCount();
        tq::LastMeID() = -1;
        main.addDocument(doc);
        QApplication::processEvents();
        tq::LastActionName() = key;
        for (auto _ : state) {
            main.MenuExec(key);
            // Each run writes the next snapshot; the history cap keeps the
            // folder at 200 files.
        }
        doc->Changed = false;
    }
    tq::ActiveImage() = nullptr;
    tq::platform::setProgramFolder("");
}
BENCHMARK(BM_MenuExecEndToEnd)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
