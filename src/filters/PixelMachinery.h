// What runs the engine's walks, apart from any walk's shape: functions that
// may fail, the threads that share a walk's rows in bands, the stores that
// bypass the caches for large results, and the choice between plain rows
// and rows built for the processor's wide vector instructions. The walks
// (filters/PixelWalks.h) are written on top of it; a member never calls it
// directly.
#pragma once

#include "filters/PixelFormulas.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace tq {

// Rows written for the processor's wide vector instructions compute the same
// bytes as the plain rows they stand for; tests switch them off to check the
// plain rows too. Allowed unless switched off.
void allowWideVectors(bool allow);
bool wideVectorsAllowed();

namespace walkdetail {

// ---- Failures, bands of rows on threads, streamed stores -------------------

template <class Fn, class... Args>
inline constexpr bool returnsBool = std::is_same_v<std::invoke_result_t<Fn&, Args...>, bool>;

// Calls fn; a function returning nothing never fails.
template <class Fn, class... Args>
inline bool succeeds(Fn& fn, Args&&... args)
{
    if constexpr (returnsBool<Fn, Args...>) {
        return fn(std::forward<Args>(args)...);
    } else {
        fn(std::forward<Args>(args)...);
        return true;
    }
}

// A borrowed reference to a callable, valid while the callable lives.
template <class Signature>
class FunctionRef;
template <class R, class... A>
class FunctionRef<R(A...)> {
public:
    template <class F>
    FunctionRef(F& f)
        : object_(static_cast<void*>(&f)), call_([](void* o, A... a) -> R { return (*static_cast<F*>(o))(a...); })
    {
    }
    R operator()(A... a) const { return call_(object_, a...); }

private:
    void* object_;
    R (*call_)(void*, A...);
};

inline constexpr int32_t kNoFailure = INT32_MAX;

// The cores of the machine.
int hardwareThreads();

// Rows per band when `threads` threads share `rows` rows of about rowPixels
// pixels each; 0 when the rows are too few or too small to be worth sharing,
// and the calling thread walks them in order.
int32_t bandRows(int threads, int32_t rows, int64_t rowPixels);

// Runs work(y0, y1) for bands of bandRows rows covering first..last on up to
// `threads` threads, the calling thread among them; work returns the first
// of its rows that failed, or kNoFailure. On the calling thread, in
// increasing order, tick(y) for every row y once it and every row before it
// are done, up to the first row that failed. False when a row failed.
bool runBands(int threads, int32_t first, int32_t last, int32_t bandRows, FunctionRef<int32_t(int32_t, int32_t)> work,
              FunctionRef<void(int32_t)> tick);

// Copies n bytes to dst past the caches (the result of a whole picture is
// far larger than they are and is not read again soon). Such stores reach
// other threads only after streamFence() on the thread that made them:
// every band ends with one, and so does a walk on the calling thread.
void streamBytes(uint8_t* dst, const uint8_t* src, size_t n);
void streamFence();
// Results from this size on (16 MB unless changed) are streamed when their
// rows are shared among threads; tests lower it to cover the streamed rows
// on small pictures.
size_t streamedResultBytes();
void setStreamedResultBytes(size_t bytes);
// A row of at least n bytes of the calling thread's own, for a result row
// under construction.
uint8_t* scratchRow(size_t n);

// ---- Whole-pixel rows, plain or on the wide vector instructions ------------

// n pixels through a word function, the marker byte carried through (the
// fourth byte of p where keep has bits, else 0); the loop is written for
// the compiler to vectorise.
template <class WordFn>
inline __attribute__((always_inline)) void wordRun(const uint8_t* __restrict s, uint8_t* __restrict d, int32_t n,
                                                   WordFn& fn, uint32_t keep = kMarkerByte)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = loadPixel(s + 4 * i);
        storePixel(d + 4 * i, (fn(p) & kColourBytes) | (p & keep));
    }
}
#if defined(__x86_64__)
#define TQ_WORDS_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,avx2,prefer-vector-width=512")))
template <class WordFn>
TQ_WORDS_TARGET void wordRunWide(const uint8_t* s, uint8_t* d, int32_t n, WordFn& fn, uint32_t keep = kMarkerByte)
{
    wordRun(s, d, n, fn, keep);
}
#endif
// Does the processor have the 512-bit vector instructions wordRunWide uses
// (and are wide rows allowed)?
bool wideWords();

// n pixels from d on replaced by fn(pixel), in place.
template <class WordFn>
inline __attribute__((always_inline)) void wordsInPlaceRun(uint8_t* d, int32_t n, WordFn& fn)
{
    for (int32_t i = 0; i < n; ++i) storePixel(d + 4 * i, fn(loadPixel(d + 4 * i)));
}
#if defined(__x86_64__)
template <class WordFn>
TQ_WORDS_TARGET void wordsInPlaceWide(uint8_t* d, int32_t n, WordFn& fn)
{
    wordsInPlaceRun(d, n, fn);
}
#endif
template <class WordFn>
void wordsInPlace(uint8_t* d, int32_t n, WordFn&& fn)
{
#if defined(__x86_64__)
    if (wideWords()) return wordsInPlaceWide(d, n, fn);
#endif
    wordsInPlaceRun(d, n, fn);
}

} // namespace walkdetail

} // namespace tq
