// What every process that runs the program sets up before anything else:
// the file-size signal ignored (a write past the limit then fails with
// EFBIG and is reported, instead of ending the process with half-written
// temporary files left behind) and freed picture buffers kept in the heap
// (see HeapTuning.h). The program's main and the test driver both call it,
// so the driver fails where the program fails and nowhere else.
#pragma once

namespace tq::platform {

// Call once, first thing in main, before any thread or window exists.
void setUpProcess();

} // namespace tq::platform
