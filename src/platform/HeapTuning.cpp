#include "platform/HeapTuning.h"

#include <malloc.h>

namespace tq::platform {

void keepLargeBlocksInHeap()
{
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

} // namespace tq::platform
