#include "core/PictureMemory.h"

#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace tq {

namespace {

constexpr size_t kHuge = size_t(2) << 20;

void adviseHuge(void* p, size_t n)
{
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t start = (uintptr_t(p) + page - 1) & ~(page - 1);
    const uintptr_t end = uintptr_t(p) + n;
    if (end > start + kHuge) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

} // namespace

void adviseHugePages(void* p, size_t n)
{
    if (p && n >= 2 * kHuge) adviseHuge(p, n);
}

void reservePictureBytes(std::vector<uint8_t>& v, size_t n)
{
    v.reserve(n);
    // Large blocks come straight from the system, untouched until resized.
    if (n >= 2 * kHuge && v.capacity() >= n) adviseHuge(v.data(), v.capacity());
}

PictureBlock::PictureBlock(size_t n)
{
    if (n >= 2 * kHuge) {
        const size_t rounded = (n + kHuge - 1) / kHuge * kHuge;
        data_ = static_cast<uint8_t*>(std::aligned_alloc(kHuge, rounded));
        if (data_) adviseHuge(data_, rounded);
    } else {
        data_ = static_cast<uint8_t*>(std::malloc(n ? n : 1));
    }
    if (data_) size_ = n;
}

PictureBlock::~PictureBlock() { std::free(data_); }

namespace {
// Until a platform context is installed the budget is kept here.
uint64_t noContextBudget = 0;
uint64_t* budgetSlot = &noContextBudget;
} // namespace

void usePictureMemoryBudgetOf(uint64_t* slot)
{
    if (budgetSlot == &noContextBudget && slot && *slot == 0) *slot = noContextBudget;
    budgetSlot = slot ? slot : &noContextBudget;
}

uint64_t pictureMemoryBudget()
{
    if (const uint64_t set = *budgetSlot) return set;
    static const uint64_t machine = [] {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGE_SIZE);
        if (pages <= 0 || pageSize <= 0) return uint64_t(1) << 30;
        return uint64_t(pages) * uint64_t(pageSize) / 8;
    }();
    return machine;
}

void setPictureMemoryBudget(uint64_t bytes) { *budgetSlot = bytes; }

} // namespace tq
