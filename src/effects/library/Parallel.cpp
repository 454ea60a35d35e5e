#include "effects/library/Parallel.h"

#include <algorithm>
#include <atomic>

namespace tq::effects {

namespace {
std::atomic<int> threadsWanted{0};
} // namespace

void setThreadCount(int threads) { threadsWanted.store(std::max(threads, 0)); }

int threadCount()
{
    const int n = threadsWanted.load(std::memory_order_relaxed);
    return n > 0 ? n : walkdetail::hardwareThreads();
}

} // namespace tq::effects
