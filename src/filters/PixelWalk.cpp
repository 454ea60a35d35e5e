#include "filters/PixelWalks.h"

#include "filters/PointRows.h"

#include <QThreadPool>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tq {

namespace walkdetail {

// The engine's threads come from a pool of Qt's own (QtCore's QThreadPool,
// the pool QtConcurrent runs on): the program links QtCore already, the
// pool keeps its threads between calls, so a preview's small walk pays no
// thread start, and it needs no compiler switch or further library. The
// pool is the engine's own, so other users of Qt's global pool never hold
// up a walk; the calling thread always works a share of the bands itself,
// so a walk finishes even while the pool is busy.
namespace {

QThreadPool& bandPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;   // kept for the whole run
        p->setMaxThreadCount(std::max(1, hardwareThreads() - 1));
        return p;
    }();
    return *pool;
}

// Rows are shared only when there are at least this many pixels, and a band
// holds at least kMinBandPixels of them: a smaller walk costs less than
// handing it out.
constexpr int64_t kMinSharedPixels = int64_t(1) << 15;
constexpr int64_t kMinBandPixels = int64_t(1) << 12;
// Bands per thread: enough for threads that finish early (a disc's middle
// rows cost more than its ends) to take more.
constexpr int64_t kBandsPerThread = 8;

struct BandJob {
    int32_t first = 0, last = 0, rows = 1, bands = 0;
    const FunctionRef<int32_t(int32_t, int32_t)>* work = nullptr;
    std::atomic<int32_t> next{0};
    std::atomic<int32_t> failedRow{kNoFailure};
    std::mutex m;
    std::condition_variable cv;
    // Guarded by m: which bands are done, each one's first failing row, and
    // how many are done.
    std::vector<char> done;
    std::vector<int32_t> failure;
    int32_t doneCount = 0;

    int32_t bandTop(int32_t b) const { return first + b * rows; }
    int32_t bandBottom(int32_t b) const { return std::min(last, bandTop(b) + rows - 1); }

    // Takes the next band and works it; false when none is left. A band
    // below a row known to have failed is not needed and is skipped.
    bool runOne()
    {
        const int32_t b = next.fetch_add(1);
        if (b >= bands) return false;
        int32_t failed = kNoFailure;
        if (bandTop(b) <= failedRow.load()) failed = (*work)(bandTop(b), bandBottom(b));
        streamFence();   // the band's streamed rows reach the other threads
        if (failed != kNoFailure) {
            int32_t known = failedRow.load();
            while (failed < known && !failedRow.compare_exchange_weak(known, failed)) {
            }
        }
        {
            std::lock_guard<std::mutex> lock(m);
            done[static_cast<size_t>(b)] = 1;
            failure[static_cast<size_t>(b)] = failed;
            ++doneCount;
        }
        cv.notify_all();
        return true;
    }
};

} // namespace

int hardwareThreads()
{
    static const int n = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return n;
}

int32_t bandRows(int threads, int32_t rows, int64_t rowPixels)
{
    if (threads <= 1 || rows < 2) return 0;
    rowPixels = std::max<int64_t>(rowPixels, 1);
    if (int64_t(rows) * rowPixels < kMinSharedPixels) return 0;
    const int64_t perThread = kBandsPerThread * threads;
    int64_t per = (rows + perThread - 1) / perThread;
    per = std::max(per, (kMinBandPixels + rowPixels - 1) / rowPixels);
    return per >= rows ? 0 : static_cast<int32_t>(per);
}

bool runBands(int threads, int32_t first, int32_t last, int32_t rows, FunctionRef<int32_t(int32_t, int32_t)> work,
              FunctionRef<void(int32_t)> tick)
{
    // Helpers that start late only find the bands taken: the job they share
    // outlives this call, the work it points to does not, and it is only
    // reached through a band taken before this call returns.
    auto job = std::make_shared<BandJob>();
    job->first = first;
    job->last = last;
    job->rows = rows;
    job->bands = (last - first + rows) / rows;
    job->work = &work;
    job->done.assign(static_cast<size_t>(job->bands), 0);
    job->failure.assign(static_cast<size_t>(job->bands), kNoFailure);

    const int helpers = std::min(threads - 1, job->bands - 1);
    QThreadPool& pool = bandPool();
    if (pool.maxThreadCount() < helpers) pool.setMaxThreadCount(helpers);
    for (int i = 0; i < helpers; ++i)
        pool.start([job] {
            while (job->runOne()) {
            }
        });

    // Ticks follow the bands in order: a band's rows tick once it and every
    // band before it are done.
    int32_t ticked = 0;
    bool failed = false;
    const auto tickDone = [&] {
        while (!failed && ticked < job->bands) {
            int32_t failure;
            {
                std::lock_guard<std::mutex> lock(job->m);
                if (!job->done[static_cast<size_t>(ticked)]) return;
                failure = job->failure[static_cast<size_t>(ticked)];
            }
            const int32_t end = failure == kNoFailure ? job->bandBottom(ticked) : failure - 1;
            for (int32_t y = job->bandTop(ticked); y <= end; ++y) tick(y);
            failed = failure != kNoFailure;
            ++ticked;
        }
    };
    while (job->runOne()) tickDone();
    for (;;) {
        tickDone();
        std::unique_lock<std::mutex> lock(job->m);
        if (job->doneCount == job->bands) break;
        const int32_t waiting = ticked;
        job->cv.wait(lock, [&] {
            return job->doneCount == job->bands ||
                   (!failed && waiting < job->bands && job->done[static_cast<size_t>(waiting)]);
        });
    }
    tickDone();
    return !failed;
}

#if defined(__x86_64__)
// 64 bytes a store where the processor has them.
__attribute__((target("avx512f"))) void streamBytesWide(uint8_t* dst, const uint8_t* src, size_t n)
{
    size_t head = (64 - (reinterpret_cast<uintptr_t>(dst) & 63)) & 63;
    if (head > n) head = n;
    std::memcpy(dst, src, head);
    dst += head;
    src += head;
    n -= head;
    for (; n >= 128; n -= 128, dst += 128, src += 128) {
        const __m512i a = _mm512_loadu_si512(src);
        const __m512i b = _mm512_loadu_si512(src + 64);
        _mm512_stream_si512(reinterpret_cast<__m512i*>(dst), a);
        _mm512_stream_si512(reinterpret_cast<__m512i*>(dst + 64), b);
    }
    for (; n >= 64; n -= 64, dst += 64, src += 64)
        _mm512_stream_si512(reinterpret_cast<__m512i*>(dst), _mm512_loadu_si512(src));
    std::memcpy(dst, src, n);
}

bool streamsWide()
{
    static const bool yes = __builtin_cpu_supports("avx512f");
    return yes;
}
#endif

void streamBytes(uint8_t* dst, const uint8_t* src, size_t n)
{
#if defined(__x86_64__)
    if (streamsWide()) return streamBytesWide(dst, src, n);
#endif
#if defined(__SSE2__)
    size_t head = (16 - (reinterpret_cast<uintptr_t>(dst) & 15)) & 15;
    if (head > n) head = n;
    std::memcpy(dst, src, head);
    dst += head;
    src += head;
    n -= head;
    for (; n >= 64; n -= 64, dst += 64, src += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 48));
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + 16), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + 32), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + 48), d);
    }
    for (; n >= 16; n -= 16, dst += 16, src += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst), _mm_loadu_si128(reinterpret_cast<const __m128i*>(src)));
#endif
    std::memcpy(dst, src, n);
}

void streamFence()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

namespace {
std::atomic<size_t> streamedFrom{size_t(16) << 20};
} // namespace

size_t streamedResultBytes() { return streamedFrom.load(std::memory_order_relaxed); }
void setStreamedResultBytes(size_t bytes) { streamedFrom.store(bytes); }

bool wideWords()
{
#if defined(__x86_64__)
    static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx2");
    return avx512 && wideVectorsAllowed();
#else
    return false;
#endif
}

uint8_t* scratchRow(size_t n)
{
    thread_local std::vector<uint8_t> row;
    if (row.size() < n + 64) row.resize(n + 64);
    // Aligned so the member's stores and the streaming loads stay within
    // cache lines.
    const uintptr_t p = reinterpret_cast<uintptr_t>(row.data());
    return row.data() + ((64 - (p & 63)) & 63);
}

} // namespace walkdetail

namespace {
std::atomic<bool> wideVectors{true};
} // namespace

void allowWideVectors(bool allow) { wideVectors.store(allow); }
bool wideVectorsAllowed() { return wideVectors.load(std::memory_order_relaxed); }

// (Gathering the entries sixteen at a time is slower than this on the
// processors at hand.) Each pixel is read and written as one word, so no
// store can be taken for a change of the bytes still to be read.
FilterResult sumColours(cBitFilter& f, const std::array<uint32_t, kChannelSums>& colours, bool failIfNone)
{
    const uint32_t* entry = colours.data();
    return selectedWholePixels(f, 0, [=](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        for (int32_t i = 0, n = x1 - x0 + 1; i < n; ++i) {
            const uint32_t p = loadPixel(s + 4 * i);
            const uint32_t e = entry[(p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)];
            if (e & kNoColour) {
                if (failIfNone) return false;
                storePixel(d + 4 * i, p);
            } else {
                storePixel(d + 4 * i, (e & kColourBytes) | (p & kMarkerByte));
            }
        }
        return true;
    });
}

BitsBuffer greyChannelTable(cBitFilter& f, const std::vector<uint8_t>& table)
{
    const uint8_t* t = table.data();
    return pointWholePixels(f, [=](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        walkdetail::greyChannelRow(s, d, x1 - x0 + 1, t, kMarkerByte);
    });
}

BitsBuffer channelTables(cBitFilter& f, const ByteTable& tb, const ByteTable& tg, const ByteTable& tr)
{
    return pointWholePixels(f, [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        walkdetail::tableRow(s, d, x1 - x0 + 1, tb, tg, tr, kMarkerByte);
    });
}

} // namespace tq
