// Every filter returns a fresh picture-sized buffer. Left to its defaults the
// C library maps such blocks from the system one by one and unmaps them when
// they are freed, so each new one is faulted in page by page again, which on
// a large picture costs more than the filter itself (on a virtual machine a
// 48 MB block takes 12 000 faults, 0.2 to 1 s). Keeping freed large blocks in
// the heap lets the next buffer reuse memory that is already mapped.
//
// How: no block is given a mapping of its own (M_MMAP_MAX 0), and the heap
// keeps up to 1 GB of free memory at its top (M_TRIM_THRESHOLD). Raising
// M_MMAP_THRESHOLD to 1 GB does the same where the library takes the value
// (glibc 2.36 does), but its documented ceiling is 32 MB on 64-bit systems,
// and a version that holds to it keeps mapping a 4000 x 3000 picture
// afresh; turning the mappings off is taken by every version. Blocks freed
// in the middle of the heap are reused by later ones of the same size,
// which is what a picture editor allocates over and over. Worker threads'
// arenas still map a block larger than their heaps (64 MB) when they must.
// Picture buffers also ask for huge pages (BitsBuffer), which makes the
// first touch of heap memory not yet mapped cheaper.
#pragma once

namespace tq::platform {

void keepLargeBlocksInHeap();

} // namespace tq::platform
