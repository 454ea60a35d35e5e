// The millisecond clock that paces progress reports. Code reads it through
// this port so a test can step time by hand.
#pragma once

#include <cstdint>

namespace tq {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps around like a 32-bit counter.
    virtual uint32_t timeGetTime() = 0;
};

// The real clock (a monotonic counter).
Clock& systemClock();

// A clock a test moves by hand; every reading can also advance it.
class ManualClock : public Clock {
public:
    explicit ManualClock(uint32_t start = 0, uint32_t stepPerRead = 0) : now_(start), step_(stepPerRead) {}
    uint32_t timeGetTime() override
    {
        const uint32_t t = now_;
        now_ += step_;
        return t;
    }
    void set(uint32_t t) { now_ = t; }
    void advance(uint32_t ms) { now_ += ms; }
    void setStepPerRead(uint32_t ms) { step_ = ms; }

private:
    uint32_t now_;
    uint32_t step_;
};

} // namespace tq
