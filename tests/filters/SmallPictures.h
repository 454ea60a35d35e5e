// Small pictures and helpers shared by the filter tests.
#pragma once

#include "NoisePicture.h"
#include "filters/cBitFilter.h"
#include "filters/HslConversion.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

namespace tq::test {

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Bgr& p)
{
    return os << "(B" << p.b << ", G" << p.g << ", R" << p.r << ")";
}

// A w x h picture filled row by row from the pixels given (the rest black),
// marker bytes set to a recognisable value.
inline BitsBuffer picture(int w, int h, std::initializer_list<Bgr> pixels = {}, uint8_t marker = 0)
{
    BitsBuffer b(w, h);
    int i = 0;
    for (const Bgr& p : pixels) {
        const int x = i % w, y = i / w;
        b.at(0, x, y) = static_cast<uint8_t>(p.b);
        b.at(1, x, y) = static_cast<uint8_t>(p.g);
        b.at(2, x, y) = static_cast<uint8_t>(p.r);
        ++i;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.at(3, x, y) = marker;
    return b;
}

inline Bgr px(const BitsBuffer& b, int x, int y) { return Bgr{b.at(0, x, y), b.at(1, x, y), b.at(2, x, y)}; }

// An engine holding one picture, selected whole.
struct Engine {
    cBitFilter f;
    Region all;
    explicit Engine(const BitsBuffer& b) : all(Region::rect(0, 0, b.width(), b.height()))
    {
        f.setBits(b);
        f.setBitsRegion(&all);
    }
};

// A 1 x 1 picture through a filter: the resulting pixel.
template <class Fn>
Bgr onePixel(Bgr in, Fn&& fn)
{
    Engine e(picture(1, 1, {in}));
    const BitsBuffer out = fn(e.f);
    return px(out, 0, 0);
}

// Every byte of a picture (6 x 5) set from a simple pattern, margin included.
inline BitsBuffer patterned(int w, int h, uint32_t seed = 1) { return noisePicture(w, h, seed); }

} // namespace tq::test
