#include "filters/PixelWalk.h"

#include <atomic>

namespace tq {

namespace {
std::atomic<bool> wideVectors{true};
} // namespace

void allowWideVectors(bool allow) { wideVectors.store(allow); }
bool wideVectorsAllowed() { return wideVectors.load(std::memory_order_relaxed); }

BitsBuffer channelTables(cBitFilter& f, const ByteTable& tb, const ByteTable& tg, const ByteTable& tr)
{
    return pointWords(f, [&](uint32_t p) {
        return uint32_t(tb[p & 0xFF]) | uint32_t(tg[(p >> 8) & 0xFF]) << 8 | uint32_t(tr[(p >> 16) & 0xFF]) << 16;
    });
}

} // namespace tq
