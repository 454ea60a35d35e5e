// One drag step of a 50-pixel brush (Trace on, pressure 50) through the real
// window: a mouse move sent to the canvas of a document in the main window,
// then the events run until the canvas has repainted. Pictures of 1, 12 and
// 48 megapixels, shown at zoom 1 in a 1200 x 800 document window.
//
// The stroke runs along rows of the visible canvas, one picture pixel per
// step, the rows 60 pixels apart so that each step lays fresh paint; when
// the rows are used up the per-stroke map is reset, untimed, as a new
// stroke's press resets it.
//
// How to read it: BM_BrushDragStep should stay the same for every picture
// size (a step paints one dab and repaints only the band it changed), while
// BM_MemcpyPicture, the copy of the bordered picture, grows with the size.
// BM_WholeCanvasRepaint is what one step would cost if it repainted the whole
// visible canvas instead of its band; "paints" counts the canvas repaints per
// step (1: the band is drawn within the step).
//
// Measured on the offscreen platform (8 cores shared, medians of three):
// a step takes 0.14, 0.15 and 0.15 ms at 1, 12 and 48 megapixels, while the
// picture's memcpy takes 0.09, 2.3 and 11.3 ms; the whole 1192 x 751 canvas
// repaints in 0.13 ms at zoom 1.
#include "document/ImageCanvas.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"
#include "tools/CanvasTools.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

namespace {

using namespace tq;

constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 800;
constexpr int kEdge = 40;      // canvas pixels kept clear of the canvas's edges
constexpr int kRowStep = 60;   // one brush diameter and some

struct Session {
    fMain* main = nullptr;
    std::map<int64_t, fImage*> docs;
};

Session& session()
{
    static Session s = [] {
        bench::offscreenApp();
        platform::keepLargeBlocksInHeap();
        static QTemporaryDir folder;
        platform::setProgramFolder(folder.path().toStdString());
        programSettings() = defaultSettings(folder.path().toStdString());
        Session made;
        made.main = new fMain;   // kept for the run, like the program's own
        made.main->resize(kWindowWidth + 200, kWindowHeight + 200);
        made.main->show();
        return made;
    }();
    return s;
}

// The w x h document, made on first use, as the active document with the
// brush chosen.
fImage* document(int w, int h)
{
    Session& s = session();
    fImage*& doc = s.docs[int64_t(w) << 32 | h];
    if (!doc) {
        const DibRecord photo = bench::photoLikePicture(w, h);
        BitsBuffer bits(w, h);
        for (int y = 0; y < h; ++y) std::memcpy(bits.row(y), photo.row(y), 4u * static_cast<size_t>(w));
        doc = new fImage;
        doc->TakeNewPicture(bits);
        ++DocumentCount();
        s.main->addDocument(doc);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(doc->parentWidget())) sub->resize(kWindowWidth, kWindowHeight);
    }
    s.main->activateDocument(doc);
    ActiveImage() = doc;
    Settings& st = programSettings();
    st.ToolName.assign("Brush");
    st.BrushMode = 0;
    st.BrushSize = 50;
    st.BrushPressure = 50;
    st.BrushContinuous = true;
    st.ActiveColor = 0x3060C0;
    QCoreApplication::processEvents();
    return doc;
}

struct PaintCounter : QObject {
    int64_t paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void send(ImageCanvas& canvas, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), QPointF(canvas.mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&canvas, &e);
}

void BM_BrushDragStep(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    fImage* doc = document(w, h);
    ImageCanvas& canvas = *doc->iDst;
    const int right = canvas.width() - kEdge, bottom = canvas.height() - kEdge;
    if (right <= kEdge || bottom <= kEdge) {
        state.SkipWithError("canvas too small");
        return;
    }
    PaintCounter counter;
    canvas.installEventFilter(&counter);
    QPoint at(kEdge, kEdge);
    send(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    auto* tools = dynamic_cast<tools::CanvasTools*>(doc->canvasInput());
    int dir = 1;
    counter.paints = 0;
    for (auto _ : state) {
        at.rx() += dir;
        if (at.x() > right || at.x() < kEdge) {
            dir = -dir;
            at.rx() += dir;
            at.ry() += kRowStep;
            if (at.y() > bottom) {
                state.PauseTiming();
                if (tools) tools->paint().CreateDoneBitsTable();
                at.ry() = kEdge;
                state.ResumeTiming();
            }
        }
        send(canvas, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    canvas.removeEventFilter(&counter);
    // The stroke is left open: its release would write a snapshot of the
    // whole picture, which is no part of a step.
    state.counters["paints"] = benchmark::Counter(double(counter.paints), benchmark::Counter::kAvgIterations);
    state.SetLabel(std::to_string(w) + " x " + std::to_string(h));
}
BENCHMARK(BM_BrushDragStep)
    ->Args({1000, 1000})
    ->Args({4000, 3000})
    ->Args({8000, 6000})
    ->Unit(benchmark::kMillisecond);

void BM_WholeCanvasRepaint(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    fImage* doc = document(w, h);
    for (auto _ : state) {
        doc->UpdateImage();
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(doc->iDst->width()) + " x " + std::to_string(doc->iDst->height()) + " canvas");
}
BENCHMARK(BM_WholeCanvasRepaint)->Args({4000, 3000})->Unit(benchmark::kMillisecond);

void BM_MemcpyPicture(benchmark::State& state)
{
    bench::memcpyBorderedPicture(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}
BENCHMARK(BM_MemcpyPicture)
    ->Args({1000, 1000})
    ->Args({4000, 3000})
    ->Args({8000, 6000})
    ->Unit(benchmark::kMillisecond);

} // namespace
