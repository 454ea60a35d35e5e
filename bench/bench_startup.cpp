// Start-up to an idle main window (splash delay aside) and shutdown, beside
// the plain library call of making, showing and closing an empty main window;
// and the same start-up with a 4000 x 4000 bitmap (48 MB) in the Stamps
// folder. The folder is listed by the files' headers and the stamp chosen at
// start-up is decoded only when first needed, so the big stamp should cost
// start-up next to nothing: the two start-ups should read alike. (Decoding
// every stamp to list it, and the first once more to choose it, made the
// second many times the first: 2.5 s against 35 ms on the machine this was
// written on.)
#include "document/Settings.h"
#include "document/ProgramContext.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "platform/Folders.h"
#include "support/TestPorts.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QApplication& app() { return tq::bench::offscreenApp(); }

void BM_PlainMainWindow(benchmark::State& state)
{
    app();
    for (auto _ : state) {
        QMainWindow w;
        w.showMaximized();
        QApplication::processEvents();
        w.close();
    }
}
BENCHMARK(BM_PlainMainWindow)->Unit(benchmark::kMillisecond);

// arg 0: no Stamps folder; 1: a Stamps folder holding one 4000 x 4000 bitmap.
void BM_StartApplicationAndExit(benchmark::State& state)
{
    app();
    QTemporaryDir program, runtime;
    if (state.range(0) == 1) {
        const QDir dir(program.path());
        dir.mkdir(QStringLiteral("Stamps"));
        QImage big(4000, 4000, QImage::Format_RGB888);
        big.fill(QColor(90, 140, 200));
        if (!big.save(dir.filePath(QStringLiteral("Stamps/big.bmp")), "BMP")) {
            state.SkipWithError("cannot write the stamp");
            return;
        }
    }
    tq::platform::TestPorts ports;
    for (auto _ : state) {
        tq::ScopedContext context;
        // The Stamps folder is looked for in the program folder.
        tq::platform::setProgramFolder(program.path().toStdString());
        tq::StartOptions o;
        o.programFolder = program.path().toStdString();
        o.runtimeFolder = runtime.path().toStdString();
        tq::mStart shell(o);
        shell.StartApplication();
        QApplication::processEvents();
        shell.main()->close();
    }
}
BENCHMARK(BM_StartApplicationAndExit)->ArgName("bigStamp")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
