#include "platform/Clock.h"

#include <chrono>

namespace tq {
namespace {
class SteadyClock : public Clock {
public:
    uint32_t timeGetTime() override
    {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};
} // namespace

Clock& systemClock()
{
    static SteadyClock clock;
    return clock;
}

} // namespace tq
