// The program-wide uniform random generator: singles r with 0 <= r < 1.
// Seeded once from the clock when the main window loads; tests seed it to
// make the noise and diffuse filters repeatable.
#pragma once

#include <cstdint>
#include <random>

namespace tq {

class Random {
public:
    explicit Random(uint32_t seed = 1) : gen_(seed) {}
    void seed(uint32_t s) { gen_.seed(s); }
    // Next value, 0 <= r < 1, with 24 significant bits so it is exact in a float.
    float next() { return static_cast<float>(gen_() >> 8) * (1.0f / 16777216.0f); }

private:
    std::mt19937 gen_;
};

// The one generator the program draws from.
Random& programRandom();

} // namespace tq
