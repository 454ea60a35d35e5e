#include "platform/Random.h"

#include "platform/PlatformContext.h"

namespace tq {

Random& programRandom() { return platform::platformContext().random; }

} // namespace tq
