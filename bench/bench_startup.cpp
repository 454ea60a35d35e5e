// Start-up to an idle main window (splash delay aside) and shutdown, beside
// the plain library call of making, showing and closing an empty main window.
#include "document/Settings.h"
#include "document/ProgramContext.h"
#include "mainwindow/fMain.h"
#include "mainwindow/mStart.h"
#include "platform/TestPorts.h"

#include <QApplication>
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

void BM_StartApplicationAndExit(benchmark::State& state)
{
    app();
    QTemporaryDir program, runtime;
    tq::platform::TestPorts ports;
    for (auto _ : state) {
        tq::ScopedContext context;
        tq::StartOptions o;
        o.programFolder = program.path().toStdString();
        o.runtimeFolder = runtime.path().toStdString();
        tq::mStart shell(o);
        shell.StartApplication();
        QApplication::processEvents();
        shell.main()->close();
    }
}
BENCHMARK(BM_StartApplicationAndExit)->Unit(benchmark::kMillisecond);

} // namespace
