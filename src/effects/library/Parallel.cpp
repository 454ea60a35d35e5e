#include "effects/library/Parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace tq::effects {

namespace {
std::atomic<int> threadsWanted{0};
} // namespace

void setThreadCount(int threads) { threadsWanted.store(std::max(threads, 0)); }

int threadCount()
{
    const int n = threadsWanted.load(std::memory_order_relaxed);
    return n > 0 ? n : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

} // namespace tq::effects
