// A picture whose every byte, margin and marker bytes included, comes from
// a fixed linear congruential generator: the same bytes for the same seed
// on every run.
#pragma once

#include "core/BitsBuffer.h"

#include <cstdint>

namespace tq::test {

inline BitsBuffer noisePicture(int w, int h, uint32_t seed)
{
    BitsBuffer b(w, h);
    uint32_t v = seed;
    for (size_t i = 0; i < b.byteSize(); ++i) {
        v = v * 1103515245u + 12345u;
        b.data()[i] = static_cast<uint8_t>(v >> 16);
    }
    return b;
}

} // namespace tq::test
