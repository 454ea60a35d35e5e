// What the benchmark programs share: the megapixel rate counter, the
// baseline every whole-picture operation is read against (one memcpy of the
// bytes of a bordered picture), and the registration of filter members on
// one thread and on every core.
#pragma once

#include "core/BitsBuffer.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace tq::bench {

inline void setMegapixels(benchmark::State& state, int w, int h)
{
    state.counters["MP/s"] =
        benchmark::Counter(double(w) * h / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Copies the 4 (w + 4) (h + 4) bytes of a bordered w x h picture per iteration.
inline void memcpyBorderedPicture(benchmark::State& state, int w, int h)
{
    std::vector<uint8_t> src(BitsBuffer::byteSizeFor(w, h), 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
    }
    setMegapixels(state, w, h);
}

// A photograph-like w x h picture: smooth gradients with a fine texture.
inline DibRecord photoLikePicture(int w, int h)
{
    DibRecord d;
    d.width = w;
    d.height = h;
    d.header = BitsHeader::forDib(w, h);
    d.bits.resize(4u * static_cast<size_t>(w) * static_cast<size_t>(h));
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = d.row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 29);
            p[0] = uint8_t((x / 16 + noise) & 0xFF);
            p[1] = uint8_t((y / 12 + noise) & 0xFF);
            p[2] = uint8_t(((x + y) / 28 + noise) & 0xFF);
            p[3] = 0;
        }
    }
    return d;
}

// A w x h engine picture of fast-changing colours: blue x * 7 + y, green
// x + y * 3, red x ^ y (each kept to a byte).
inline BitsBuffer patternPicture(int w, int h)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(x + y * 3);
            p[2] = uint8_t(x ^ y);
        }
    }
    return b;
}

// The one application object of a benchmark that makes windows, on the
// offscreen platform unless another was asked for.
inline QApplication& offscreenApp()
{
    static int argc = 1;
    static char name[] = "benchmark";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *a;
}

// ---- Filter members on one thread and on every core ------------------------
//
// A filter member copies the whole picture at least once for its result, so
// one memcpy of the same bordered picture on one thread is the yardstick:
// "x memcpy" is the member's rate over memcpy's, both timed in this run
// (memcpy as the best of several copies, taken when first needed). Every
// member runs twice: "threads:1" is its single-thread figure; "threads:N",
// N the machine's cores, its multi-thread figure, with "x 1 thread" its speed
// over the single-thread line just above it. All times are wall-clock, and
// the counters ("best ms" and the rates) come from the fastest call: the
// machine is shared, and a call slowed by another program measures that
// program. (The Time column is Google Benchmark's mean.)

inline int coreCount() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

// States the cores in the benchmark's context header.
inline bool stateCores()
{
    benchmark::AddCustomContext("cores", std::to_string(coreCount()) + " (threads:1 lines are single-threaded, threads:" +
                                             std::to_string(coreCount()) +
                                             " lines use every core; lines without threads: run on one)");
    return true;
}

// Seconds for one memcpy of a bordered w x h picture: the best of ten.
inline double memcpySeconds(int w, int h)
{
    static std::map<std::pair<int, int>, double> known;
    auto it = known.find({w, h});
    if (it != known.end()) return it->second;
    std::vector<uint8_t> src(BitsBuffer::byteSizeFor(w, h), 1), dst(src.size(), 2);
    double best = 1e9;
    for (int i = 0; i < 10; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    known[{w, h}] = best;
    return best;
}

// A member as a benchmark sees it: prepare(threads) sets up an engine with
// that many threads and returns one call of the member; setup, when given,
// runs untimed before each call (to restore what a buffer operation
// replaces).
struct FilterCall {
    std::function<void()> call;
    std::function<void()> setup;
};

inline std::map<std::string, double>& oneThreadSeconds()
{
    static std::map<std::string, double> m;
    return m;
}

// Registers name/threads:1 and name/threads:N for a w x h picture.
inline void registerFilter(const std::string& name, int w, int h, int iterations,
                           std::function<FilterCall(int threads)> prepare)
{
    auto body = [=](benchmark::State& state) {
        const int threads = static_cast<int>(state.range(0));
        FilterCall f = prepare(threads);
        if (f.setup) f.setup();
        f.call();   // untimed: the first result maps the heap's pages
        double per = 1e9;
        for (auto _ : state) {
            if (f.setup) {
                state.PauseTiming();
                f.setup();
                state.ResumeTiming();
            }
            const auto t0 = std::chrono::steady_clock::now();
            f.call();
            per = std::min(per, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        state.counters["best ms"] = per * 1e3;
        state.counters["MP/s"] = double(w) * h / 1e6 / per;
        state.counters["x memcpy"] = memcpySeconds(w, h) / per;
        if (threads == 1) {
            oneThreadSeconds()[name] = per;
        } else {
            const auto one = oneThreadSeconds().find(name);
            if (one != oneThreadSeconds().end()) state.counters["x 1 thread"] = one->second / per;
        }
    };
    benchmark::RegisterBenchmark(name.c_str(), body)
        ->ArgName("threads")
        ->Arg(1)
        ->Arg(coreCount())
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
}

// memcpy of the bordered picture: on one thread (the yardstick, "x memcpy"
// 1) and split among every core (the ceiling of the multi-thread lines).
inline void registerMemcpy(int w, int h)
{
    auto body = [=](benchmark::State& state) {
        const int threads = static_cast<int>(state.range(0));
        std::vector<uint8_t> src(BitsBuffer::byteSizeFor(w, h), 1), dst(src.size(), 2);
        double per = 1e9;
        for (auto _ : state) {
            const auto t0 = std::chrono::steady_clock::now();
            if (threads == 1) {
                std::memcpy(dst.data(), src.data(), src.size());
            } else {
                std::vector<std::thread> team;
                for (int t = 0; t < threads; ++t)
                    team.emplace_back([&, t] {
                        const size_t lo = src.size() * t / threads, hi = src.size() * (t + 1) / threads;
                        std::memcpy(dst.data() + lo, src.data() + lo, hi - lo);
                    });
                for (std::thread& t : team) t.join();
            }
            benchmark::DoNotOptimize(dst.data());
            per = std::min(per, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        state.counters["best ms"] = per * 1e3;
        state.counters["MP/s"] = double(w) * h / 1e6 / per;
        state.counters["x memcpy"] = memcpySeconds(w, h) / per;
    };
    benchmark::RegisterBenchmark("memcpy", body)
        ->ArgName("threads")
        ->Arg(1)
        ->Arg(coreCount())
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
}

} // namespace tq::bench
