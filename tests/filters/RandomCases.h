// What the tests that hold members against their plainly written formulas
// share: seeded random rounds, random pictures with random borders,
// selections of every shape, and the first byte where two results differ.
#pragma once

#include "core/BitsBuffer.h"
#include "core/Region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace tq::randomcases {

// One round of a random test: a generator of its own, seeded from the test's
// base seed and the round's number; every failure inside the round names the
// seed. With TQ_FILTER_SEED set, only the round of that seed runs (wanted()
// is false for the others), so a failing round can be replayed alone.
class SeededRound {
public:
    SeededRound(uint32_t base, int round)
        : seed(base * 100003u + static_cast<uint32_t>(round)),
          gen(seed),
          trace_(__FILE__, __LINE__,
                 "random round with seed " + std::to_string(seed) + " (TQ_FILTER_SEED=" + std::to_string(seed) +
                     " replays it alone)")
    {
    }
    bool wanted() const
    {
        const char* only = std::getenv("TQ_FILTER_SEED");
        return !only || !*only || std::strtoul(only, nullptr, 10) == seed;
    }
    const uint32_t seed;
    std::mt19937 gen;

private:
    testing::ScopedTrace trace_;
};

inline BitsBuffer noisePicture(int w, int h, std::mt19937& g)
{
    BitsBuffer b(w, h);
    for (int y = -2; y < h + 2; ++y)
        for (int x = -2; x < w + 2; ++x)
            for (int c = 0; c < 4; ++c) b.at(c, x, y) = static_cast<uint8_t>(g() & 0xFF);
    return b;
}

// The whole picture, a rectangle, an ellipse reaching past the edges, or two
// overlapping rectangles.
inline Region anySelection(int w, int h, std::mt19937& g)
{
    const int kind = w < 4 || h < 4 ? static_cast<int>(g() % 2) : static_cast<int>(g() % 4);
    switch (kind) {
    case 0: return Region::rect(0, 0, w, h);
    case 1: {
        const int l = static_cast<int>(g() % w), t = static_cast<int>(g() % h);
        return Region::rect(l, t, l + 1 + static_cast<int>(g() % (w - l)), t + 1 + static_cast<int>(g() % (h - t)));
    }
    case 2:
        return Region::ellipse(static_cast<int>(g() % (w / 2)), static_cast<int>(g() % (h / 2)),
                               w - static_cast<int>(g() % (w / 3)), h - static_cast<int>(g() % (h / 3)));
    default: return Region::fromRects({RectI{1, 1, w / 2, h / 2}, RectI{w / 3, h / 3, w - 1, h - 1}});
    }
}

// The first byte where two buffers differ, or "" when they are equal.
inline std::string firstDifference(const BitsBuffer& want, const BitsBuffer& got)
{
    if (!want.sameShape(got)) return "shapes differ";
    for (int y = -2; y < want.height() + 2; ++y)
        for (int x = -2; x < want.width() + 2; ++x)
            for (int c = 0; c < 4; ++c)
                if (want.at(c, x, y) != got.at(c, x, y))
                    return "channel " + std::to_string(c) + " at " + std::to_string(x) + "," + std::to_string(y) +
                           ": want " + std::to_string(want.at(c, x, y)) + ", got " + std::to_string(got.at(c, x, y));
    return "";
}

} // namespace tq::randomcases
