// Row bands on several threads for the kernels whose every output item (a
// row, a column band, a ring) is computed from the source alone: the result
// is the same whatever the number of threads, so the split is free to
// follow the machine. Kernels that draw random numbers or carry state from
// pixel to pixel never use it.
//
// The bands run on the filter engine's pool (filters/PixelMachinery.h), the one
// set of worker threads of the program: the library is the layer above the
// engine, so it shares the engine's band machinery and its rule for when a
// job is worth sharing rather than keeping threads of its own.
#pragma once

#include "filters/PixelMachinery.h"

#include <cstdint>
#include <exception>
#include <mutex>

namespace tq::effects {

// Threads the library's kernels (and the engine members it runs) may share
// their rows among; 0, the start value, stands for every core. Results
// are the same for any number: tests and benchmarks set it.
void setThreadCount(int threads);
int threadCount();

// Calls fn(first, last) for bands of [0, count) that together cover it once,
// on up to threadCount() threads, the calling thread among them. costPerItem
// is an item's cost in eighths of a plain pixel's (8 w for a row of w
// pixels of light work): a small job runs on the calling thread. Whatever
// fn throws (say, too little memory for a band's working row) comes back to
// the caller once every band has ended; the bands after it are skipped.
template <class Fn> void forBands(int32_t count, int64_t costPerItem, Fn&& fn)
{
    if (count <= 0) return;
    const int threads = threadCount();
    const int32_t rows = walkdetail::bandRows(threads, count, (costPerItem + 7) / 8);
    if (rows == 0) {
        fn(int32_t(0), count);
        return;
    }
    std::exception_ptr failure;
    std::mutex guard;
    auto band = [&](int32_t first, int32_t last) {
        try {
            fn(first, last + 1);
            return walkdetail::kNoFailure;
        } catch (...) {
            const std::lock_guard<std::mutex> lock(guard);
            if (!failure) failure = std::current_exception();
            return first;
        }
    };
    auto noProgress = [](int32_t) {};
    walkdetail::runBands(threads, 0, count - 1, rows, band, noProgress);
    if (failure) std::rethrow_exception(failure);
}

// A value gathered over [0, count) in bands as above: part(first, last, v)
// adds the items first..last-1 to v, a band's own value that starts as
// `start`; merge(total, v) joins a band's value into the total (which also
// starts as `start`). The bands are joined in whatever order they end, so
// the merge must not depend on it: whole-number sums, counts, extremes.
template <class Value, class Part, class Merge>
Value reduceBands(int32_t count, int64_t costPerItem, const Value& start, Part&& part, Merge&& merge)
{
    Value total = start;
    std::mutex guard;
    forBands(count, costPerItem, [&](int32_t first, int32_t last) {
        Value v = start;
        part(first, last, v);
        const std::lock_guard<std::mutex> lock(guard);
        merge(total, v);
    });
    return total;
}

// fn(y) for every row y of [0, count), in bands as above.
template <class Fn> void forRows(int32_t count, int64_t costPerRow, Fn&& fn)
{
    forBands(count, costPerRow, [&](int32_t first, int32_t last) {
        for (int32_t y = first; y < last; ++y) fn(y);
    });
}

} // namespace tq::effects
