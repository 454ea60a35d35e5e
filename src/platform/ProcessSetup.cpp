#include "platform/ProcessSetup.h"

#include "platform/FileSizeSignal.h"
#include "platform/HeapTuning.h"

namespace tq::platform {

void setUpProcess()
{
    keepLargeBlocksInHeap();
    ignoreFileSizeSignal();
}

} // namespace tq::platform
