// Row bands on several threads for the kernels whose every output pixel is
// computed from the source alone: the result is the same whatever the
// number of threads, so the split is free to follow the machine. Kernels
// that draw random numbers or carry state from pixel to pixel never use it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

namespace tq::effects {

// Threads the library's kernels (and the engine members it runs) may share
// their rows among; 0, the start value, stands for every core. Results
// are the same for any number: tests and benchmarks set it.
void setThreadCount(int threads);
int threadCount();

// Calls fn(first, last) for bands of [0, count) that together cover it once,
// on up to eight threads; a small job (count x costPerItem below about a
// hundred thousand) runs on the calling thread. Whatever fn throws (say,
// too little memory for a band's working row) comes back to the caller
// once every band has ended.
template <class Fn> void forBands(int32_t count, int64_t costPerItem, Fn&& fn)
{
    if (count <= 0) return;
    const unsigned hw = static_cast<unsigned>(std::min(8, threadCount()));
    const int64_t work = int64_t(count) * std::max<int64_t>(costPerItem, 1);
    const int32_t threads = static_cast<int32_t>(std::min<int64_t>({int64_t(hw), work / 100000 + 1, int64_t(count)}));
    if (threads <= 1) {
        fn(int32_t(0), count);
        return;
    }
    const auto bandStart = [&](int32_t i) { return static_cast<int32_t>(int64_t(count) * i / threads); };
    std::vector<std::exception_ptr> failures(static_cast<size_t>(threads));
    const auto band = [&](int32_t i, int32_t first, int32_t last) {
        try {
            fn(first, last);
        } catch (...) {
            failures[static_cast<size_t>(i)] = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    int32_t started = 1;
    try {
        pool.reserve(static_cast<size_t>(threads - 1));
        for (; started < threads; ++started)
            pool.emplace_back(band, started, bandStart(started), bandStart(started + 1));
    } catch (...) {
        // No thread to be had: the bands not handed out run here.
    }
    band(0, 0, bandStart(1));
    if (started < threads) band(started, bandStart(started), count);
    for (std::thread& t : pool) t.join();
    for (const std::exception_ptr& e : failures)
        if (e) std::rethrow_exception(e);
}

// fn(y) for every row y of [0, count), in bands as above.
template <class Fn> void forRows(int32_t count, int64_t costPerRow, Fn&& fn)
{
    forBands(count, costPerRow, [&](int32_t first, int32_t last) {
        for (int32_t y = first; y < last; ++y) fn(y);
    });
}

} // namespace tq::effects
