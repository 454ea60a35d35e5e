// Grey pictures whose marker bytes hold 7, and the checks the neighbourhood,
// convolution, palette and artistic tests share.
#pragma once

#include "filters/cBitFilter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <vector>

namespace tq::greypics {

// A w x h picture whose blue, green and red all hold rows[y][x]; the
// marker byte of every pixel is 7 so a member that touches it is caught.
inline BitsBuffer greyPicture(const std::vector<std::vector<int>>& rows)
{
    const int h = static_cast<int>(rows.size());
    const int w = static_cast<int>(rows[0].size());
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.pixel(x, y);
            p[0] = p[1] = p[2] = static_cast<uint8_t>(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
            p[3] = 7;
        }
    return b;
}

inline BitsBuffer flatPicture(int w, int h, int v)
{
    return greyPicture(std::vector<std::vector<int>>(static_cast<size_t>(h), std::vector<int>(static_cast<size_t>(w), v)));
}

// Random bytes in every channel of the picture (marker included); the
// margin stays 0 as in a buffer made by the program.
inline BitsBuffer randomPicture(int w, int h, std::mt19937& gen)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) b.at(c, x, y) = static_cast<uint8_t>(gen() & 0xFF);
    return b;
}

// An engine holding b with the whole picture selected (the region must
// outlive the engine's use of it).
struct Engine {
    cBitFilter f;
    Region region;
    explicit Engine(const BitsBuffer& b) : Engine(b, Region::rect(0, 0, b.width(), b.height())) {}
    Engine(const BitsBuffer& b, Region rg) : region(std::move(rg))
    {
        f.setBits(b);
        f.setBitsRegion(&region);
    }
};

inline int grey(const BitsBuffer& b, int x, int y) { return b.at(0, x, y); }

// Every pixel outside the picture's region (and every marker byte) equal.
inline void expectUntouchedOutside(const BitsBuffer& before, const BitsBuffer& after, const Region& rg)
{
    ASSERT_TRUE(before.sameShape(after));
    for (int y = -2; y < before.height() + 2; ++y)
        for (int x = -2; x < before.width() + 2; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < before.width() && y < before.height() && rg.contains(x, y);
            for (int c = 0; c < 4; ++c)
                if (!inside || c == 3) {
                    ASSERT_EQ(before.at(c, x, y), after.at(c, x, y)) << "c" << c << " at " << x << "," << y;
                }
        }
}

} // namespace tq::greypics
