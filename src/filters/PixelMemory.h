// Memory policy for picture buffers.
//
// Every filter returns a fresh copy of the picture; for a 12-megapixel
// picture that is 48 MB. By default the C library hands blocks that large
// straight back to the system when they are freed, so the next filter pays
// for mapping and zeroing every page again, which costs far more than the
// filter itself. keepPixelMemory() makes the heap keep such blocks for
// reuse. The program calls it once at start; it is harmless to call again.
#pragma once

namespace tq {

void keepPixelMemory();

} // namespace tq
