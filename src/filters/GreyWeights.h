// The weighted grey several colour filters share: 0.071 x B + 0.707 x G +
// 0.222 x R in double precision. The table holds each product exactly as the
// formula makes it, so summing table entries in the formula's order gives the
// formula's value to the bit, without three multiplications per pixel.
#pragma once

#include <array>

namespace tq {

struct GreyWeights {
    std::array<double, 256> b, g, r;
};

inline const GreyWeights& greyWeights()
{
    static const GreyWeights w = [] {
        GreyWeights t{};
        for (int i = 0; i < 256; ++i) {
            t.b[i] = 0.071 * i;
            t.g[i] = 0.707 * i;
            t.r[i] = 0.222 * i;
        }
        return t;
    }();
    return w;
}

} // namespace tq
