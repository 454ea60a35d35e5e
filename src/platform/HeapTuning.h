// Every filter returns a fresh picture-sized buffer. Left to its defaults the
// C library hands such blocks back to the system when they are freed, so each
// new one is faulted in page by page again, which on a large picture costs
// more than the filter itself. Keeping freed large blocks in the heap lets
// the next buffer reuse memory that is already mapped.
#pragma once

namespace tq::platform {

void keepLargeBlocksInHeap();

} // namespace tq::platform
