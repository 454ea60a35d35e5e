// A write past the process's file-size limit raises SIGXFSZ, whose default
// action ends the process at once: every unsaved document would go with it,
// and the half-written temporary file would stay. With the signal ignored the
// write fails with EFBIG instead, and the program reports it as it reports a
// full disk.
#pragma once

namespace tq::platform {

void ignoreFileSizeSignal();

} // namespace tq::platform
