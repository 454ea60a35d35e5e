// The OK of each geometry dialog on a 4000 x 3000 document: the real dialog,
// opened through its key, filled and confirmed, from the copy of the
// document's pixels to the new picture in the document and the engine. The
// undo snapshot is left out (the document's SaveUndoBits writes nothing
// here): its file write is bench_undo's, and would hide the work measured.
//
// Each OK is timed by hand around the click, and reported as a multiple of
// one memcpy of the result's bytes timed in the same run ("x memcpy"): the
// smooth resize should stay within 10 of them, the smooth rotation within 40.
// BM_Compute gives the computation alone, without the dialog's copies.
//
// The program keeps freed picture-sized blocks in its heap
// (keepLargeBlocksInHeap, at start), so new buffers reuse mapped pages; the
// benchmark does the same.
#include "dialogs/PictureGeometry.h"
#include "dialogs/fCanvas.h"
#include "dialogs/fNew.h"
#include "dialogs/fOrientation.h"
#include "dialogs/fRotate.h"
#include "dialogs/fSize.h"
#include "dialogs/SizeBoxPair.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "filters/cBitFilter.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kW = 4000;
constexpr int kH = 3000;

const bool kWarmHeap = [] {
    tq::platform::keepLargeBlocksInHeap();   // as the program does at start
    return true;
}();

const tq::BitsBuffer& picture()
{
    static const tq::BitsBuffer b = tq::bench::patternPicture(kW, kH);
    return b;
}

// Seconds of one memcpy of a bordered w x h picture, the best of five.
double memcpySeconds(int w, int h)
{
    std::vector<uint8_t> src(tq::BitsBuffer::byteSizeFor(w, h), 1), dst(src.size(), 2);
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = Clock::now();
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

// A document whose steps are counted but not written to disk.
class BenchImage : public tq::fImage {
public:
    void SaveUndoBits() override {}
};

// A main window with one 4000 x 3000 document, set back to the picture
// before every OK.
struct Session {
    QTemporaryDir program;
    std::unique_ptr<tq::fMain> main;
    BenchImage* doc = nullptr;

    Session()
    {
        tq::bench::offscreenApp();
        tq::platform::setProgramFolder(program.path().toStdString());
        main = std::make_unique<tq::fMain>();
        main->show();
        doc = new BenchImage;
        doc->CreateBlank(kW, kH);
        doc->setBits(picture());
        doc->BitsRegion.Init(0, 0, kW, kH);
        ++tq::DocumentCount();
        tq::LastMeID() = -1;
        main->addDocument(doc);
        QApplication::processEvents();
    }
    ~Session()
    {
        for (tq::fImage* d : tq::fImage::loadedDocuments()) d->Changed = false;
        main.reset();
        tq::ActiveImage() = nullptr;
        tq::platform::setProgramFolder("");
    }
    void reset()
    {
        if (doc->PictureWidth() != kW || doc->PictureHeight() != kH) doc->TakeNewPicture(picture());
        main->activateDocument(doc);
        tq::ActiveImage() = doc;
        main->mirrorDocument(doc->Bits(), doc->BitsRegion.walkRegion());
    }
    template <class Dialog>
    Dialog* open(const char* key, bool statik = false)
    {
        tq::LastActionName() = key;
        if (statik)
            main->MenuStatic(key);
        else
            main->MenuExec(key);
        return main->findChild<Dialog*>();
    }
};

// Times `ok` per iteration (after `prepare`), and reports it beside one
// memcpy of the outW x outH result.
void timeOk(benchmark::State& state, int outW, int outH, const std::function<void()>& prepare,
            const std::function<void()>& ok)
{
    const double copy = memcpySeconds(outW, outH);
    // One OK first, untimed: the heap then holds blocks of the sizes it needs.
    prepare();
    ok();
    double total = 0;
    for (auto _ : state) {
        prepare();
        const auto t0 = Clock::now();
        ok();
        const double t = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(t);
        total += t;
    }
    state.counters["x memcpy"] = total / double(state.iterations()) / copy;
    state.counters["memcpy ms"] = copy * 1e3;
    tq::bench::setMegapixels(state, outW, outH);
}

void BM_SizeOk(benchmark::State& state)
{
    const bool smooth = state.range(0) != 0;
    state.SetLabel(smooth ? "smooth 6000x4500" : "nearest 6000x4500");
    Session s;
    tq::fSize* dlg = nullptr;
    timeOk(
        state, 6000, 4500,
        [&] {
            s.reset();
            dlg = s.open<tq::fSize>("IMAGESIZE");
            dlg->chkInterpolate->setChecked(smooth);
            dlg->cbPreDef->setCurrentIndex(0);   // "1.5 *"
            dlg->cbPreDef_Click();
        },
        [&] { dlg->cmdOK->click(); });
}
BENCHMARK(BM_SizeOk)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_RotateOk(benchmark::State& state)
{
    const int degrees = static_cast<int>(state.range(0));
    const bool smooth = state.range(1) != 0;
    const tq::TurnedSize t = tq::turnedSize(kW, kH, degrees);
    state.SetLabel(std::to_string(degrees) + (smooth ? " smooth" : " plain"));
    Session s;
    tq::fRotate* dlg = nullptr;
    timeOk(
        state, int(t.width), int(t.height),
        [&] {
            s.reset();
            dlg = s.open<tq::fRotate>("IMAGEROTATE");
            dlg->setAngle(static_cast<int16_t>(degrees));
            dlg->chkAntialiasing->setChecked(smooth);
        },
        [&] { dlg->cmdOK->click(); });
}
BENCHMARK(BM_RotateOk)
    ->Args({30, 1})
    ->Args({30, 0})
    ->Args({90, 0})
    ->Args({180, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

void BM_CanvasOk(benchmark::State& state)
{
    state.SetLabel("centre 4100x3100");
    Session s;
    tq::fCanvas* dlg = nullptr;
    timeOk(
        state, 4100, 3100,
        [&] {
            s.reset();
            dlg = s.open<tq::fCanvas>("CANVASSIZE");
            dlg->chkKeepProportions->setChecked(false);
            dlg->txtW->setText(QStringLiteral("4100"));
            dlg->txtH->setText(QStringLiteral("3100"));
        },
        [&] { dlg->cmdOK->click(); });
}
BENCHMARK(BM_CanvasOk)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_OrientationOk(benchmark::State& state)
{
    state.SetLabel("90 and flipped");
    Session s;
    tq::fOrientation* dlg = nullptr;
    timeOk(
        state, kH, kW,
        [&] {
            s.reset();
            dlg = s.open<tq::fOrientation>("IMAGEORIENTATION");
            dlg->cbOrientation->setCurrentIndex(1);
            dlg->chkFlip[0]->setChecked(true);
        },
        [&] { dlg->cmdOK->click(); });
}
BENCHMARK(BM_OrientationOk)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_NewOk(benchmark::State& state)
{
    state.SetLabel("white 4000x3000");
    Session s;
    tq::fNew* dlg = nullptr;
    timeOk(
        state, kW, kH,
        [&] {
            // The documents made before are closed first.
            for (tq::fImage* d : std::vector<tq::fImage*>(tq::fImage::loadedDocuments()))
                if (d != s.doc && d->parentWidget()) {
                    d->Changed = false;
                    d->parentWidget()->close();
                }
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            s.reset();
            dlg = s.open<tq::fNew>("NEW", true);
            dlg->txtW->setText(QString::number(kW));
            dlg->txtH->setText(QString::number(kH));
            dlg->OP[0]->setChecked(true);
        },
        [&] { dlg->cmdOK->click(); });
}
BENCHMARK(BM_NewOk)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

// The computations alone, in an engine of their own, beside the same memcpy.
void BM_Compute(benchmark::State& state)
{
    struct Row {
        const char* label;
        int outW, outH;
        std::function<tq::GeometryOutcome(tq::cBitFilter&, const tq::BitsBuffer&)> run;
    };
    static const Row rows[] = {
        {"resize smooth 6000x4500", 6000, 4500,
         [](tq::cBitFilter& e, const tq::BitsBuffer& s) { return tq::resizePicture(e, s, 6000, 4500, true); }},
        {"rotate smooth 30", 4964, 4598,
         [](tq::cBitFilter& e, const tq::BitsBuffer& s) { return tq::turnPicture(e, s, 30, true); }},
    };
    const Row& row = rows[state.range(0)];
    state.SetLabel(row.label);
    const double copy = memcpySeconds(row.outW, row.outH);
    tq::cBitFilter engine;
    row.run(engine, picture());   // untimed, as in timeOk
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        row.run(engine, picture());
        const double t = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(t);
        total += t;
    }
    state.counters["x memcpy"] = total / double(state.iterations()) / copy;
    tq::bench::setMegapixels(state, row.outW, row.outH);
}
BENCHMARK(BM_Compute)->DenseRange(0, 1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace
