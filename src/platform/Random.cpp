#include "platform/Random.h"

namespace tq {

Random& programRandom()
{
    static Random r;
    return r;
}

} // namespace tq
