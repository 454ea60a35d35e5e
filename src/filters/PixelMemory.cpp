#include "filters/PixelMemory.h"

#include <cstdlib>   // defines __GLIBC__ on the C library that has mallopt

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tq {

void keepPixelMemory()
{
#if defined(__GLIBC__)
    // Blocks up to 1 GiB come from the heap rather than their own mapping,
    // and the heap's top is not given back below 1 GiB of free space.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

} // namespace tq
