// Smooth random fields for the effects that lay a texture over the picture
// (fog, rock, paper). Every value is drawn from the program-wide generator,
// so a seeded generator gives the same texture again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tq::effects {

struct NoiseField {
    int32_t w = 0, h = 0;
    std::vector<float> values;   // w * h, rows top-down
    const float* row(int32_t y) const { return values.data() + static_cast<size_t>(y) * static_cast<size_t>(w); }
};

// w x h values in 0..1: octaves of value noise (random values on a square
// lattice, blended smoothly between lattice points), the first with cells
// of cell pixels, each next with cells half as large and persistence times
// the weight of the one before.
NoiseField smoothNoise(int32_t w, int32_t h, double cell, int32_t octaves, double persistence);

} // namespace tq::effects
