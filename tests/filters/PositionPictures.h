// Small pictures whose pixels name their own position, so a test can read
// which source pixel a distortion took: blue = x, green = y, red a mix of
// both; the marker byte and the two-pixel border hold values of their own
// that no member may write.
#pragma once

#include "filters/cBitFilter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tq::positionpics {

inline constexpr uint8_t kBorder = 77;
inline constexpr uint8_t kMarker = 9;

// Pixel (x, y): blue x, green y, red (7x + 13y) & 255; border kBorder.
inline BitsBuffer positions(int w, int h)
{
    BitsBuffer b(w, h);
    b.fill(kBorder);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.pixel(x, y);
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>((7 * x + 13 * y) & 255);
            p[3] = kMarker;
        }
    return b;
}

// Every picture pixel (b, g, r); border kBorder.
inline BitsBuffer uniform(int w, int h, uint8_t b, uint8_t g, uint8_t r)
{
    BitsBuffer buf(w, h);
    buf.fill(kBorder);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = buf.pixel(x, y);
            p[0] = b;
            p[1] = g;
            p[2] = r;
            p[3] = kMarker;
        }
    return buf;
}

// The source position a pixel of a positions() picture came from.
inline std::pair<int, int> from(const BitsBuffer& b, int x, int y)
{
    return {b.at(0, x, y), b.at(1, x, y)};
}
inline bool isBlack(const BitsBuffer& b, int x, int y)
{
    return b.at(0, x, y) == 0 && b.at(1, x, y) == 0 && b.at(2, x, y) == 0;
}
inline bool samePixel(const BitsBuffer& a, const BitsBuffer& b, int x, int y)
{
    for (int c = 0; c < 4; ++c)
        if (a.at(c, x, y) != b.at(c, x, y)) return false;
    return true;
}

// A 5 x 5 diamond inscribed in the picture: its bounding box's corners are
// not selected.
inline Region diamond5()
{
    return Region::fromBands({
        {0, 1, {{2, 3}}},
        {1, 2, {{1, 4}}},
        {2, 3, {{0, 5}}},
        {3, 4, {{1, 4}}},
        {4, 5, {{2, 3}}},
    });
}

// The engine on a picture, selecting rg (the whole picture by default), with
// a clock that never lets a per-row report through unless a test says so.
struct Engine {
    ManualClock clock{0, 0};
    cBitFilter f{clock};
    Region rg;
    std::vector<int32_t> reports;

    explicit Engine(const BitsBuffer& b) : rg(Region::rect(0, 0, b.width(), b.height()))
    {
        f.setBits(b);
        f.setBitsRegion(&rg);
        f.onProgress([this](int32_t& p) { reports.push_back(p); });
    }
    Engine(const BitsBuffer& b, Region r) : rg(std::move(r))
    {
        f.setBits(b);
        f.setBitsRegion(&rg);
        f.onProgress([this](int32_t& p) { reports.push_back(p); });
    }
    // Every clock reading lies more than 10 ms after the last one.
    void reportEveryRow()
    {
        clock.set(1000);
        clock.setStepPerRead(11);
    }
};

// Bytes outside the picture and every marker byte are as the input had them.
inline void expectBorderAndMarkersKept(const BitsBuffer& in, const BitsBuffer& out)
{
    ASSERT_TRUE(in.sameShape(out));
    for (int y = -2; y < in.height() + 2; ++y)
        for (int x = -2; x < in.width() + 2; ++x) {
            const bool picture = x >= 0 && y >= 0 && x < in.width() && y < in.height();
            for (int c = picture ? 3 : 0; c < 4; ++c)
                ASSERT_EQ(in.at(c, x, y), out.at(c, x, y)) << "channel " << c << " at " << x << "," << y;
        }
}

} // namespace tq::positionpics
