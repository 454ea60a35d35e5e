// Pictures for the effects library's tests: a photo-like landscape of any
// size (sky with clouds and a sun, hills, a lake with reflections, a house,
// a tree, film grain), drawn by formula so every run gets the same bytes,
// and small fixtures whose pixels name their own position.
#pragma once

#include "effectslib/EffectsLibraryApi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tq::fx {

inline EffectSurface blankSurface(int w, int h)
{
    EffectSurface s;
    s.header = BitsHeader::forDib(w, h);
    s.width = w;
    s.height = h;
    s.bits.assign(4u * size_t(w) * size_t(h), 0);
    return s;
}

inline uint8_t* pixelAt(EffectSurface& s, int x, int y) { return s.bits.data() + 4u * (size_t(y) * s.width + x); }
inline const uint8_t* pixelAt(const EffectSurface& s, int x, int y)
{
    return s.bits.data() + 4u * (size_t(y) * s.width + x);
}

// Pixel (x, y): blue x, green y, red (3x + 5y) & 255, fourth byte 0.
inline EffectSurface positions(int w, int h)
{
    EffectSurface s = blankSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = pixelAt(s, x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t((3 * x + 5 * y) & 255);
        }
    return s;
}

inline EffectSurface uniformSurface(int w, int h, uint8_t b, uint8_t g, uint8_t r)
{
    EffectSurface s = blankSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = pixelAt(s, x, y);
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    return s;
}

namespace detail {

inline double hash2(int x, int y)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double(h ^ (h >> 16)) / 4294967296.0;
}

inline double valueNoise(double x, double y)
{
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hash2(ix, iy), b = hash2(ix + 1, iy), c = hash2(ix, iy + 1), d = hash2(ix + 1, iy + 1);
    return a + (b - a) * sx + (c - a) * sy + (a - b - c + d) * sx * sy;
}

inline double clouds(double x, double y)
{
    double v = 0, w = 0.5;
    for (int o = 0; o < 5; ++o, x *= 2, y *= 2, w *= 0.5) v += w * valueNoise(x, y);
    return v;
}

struct Rgb {
    double r, g, b;
};
inline Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

} // namespace detail

// The landscape at w x h; shapes are placed relative to the size.
inline EffectSurface photoLike(int w, int h)
{
    using detail::mix;
    using detail::Rgb;
    EffectSurface s = blankSurface(w, h);
    const double horizon = 0.58;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w, v = (y + 0.5) / h;
            // Sky: deep blue above, pale at the horizon, clouds and a sun.
            const auto skyAt = [&](double uu, double vv) {
                Rgb c = mix({40, 90, 190}, {190, 215, 235}, std::clamp(vv / horizon, 0.0, 1.0));
                const double cl = std::clamp((detail::clouds(uu * 5, vv * 9) - 0.52) * 3.0, 0.0, 1.0);
                c = mix(c, {250, 250, 250}, cl * (1 - vv / horizon * 0.6));
                const double sd = std::hypot((uu - 0.78) * 1.3, vv - 0.2);
                if (sd < 0.07)
                    c = mix(c, {255, 240, 170}, 1.0);
                else
                    c = mix(c, {255, 225, 160}, std::max(0.0, 0.5 - (sd - 0.07) * 3.0));
                return c;
            };
            Rgb c;
            const double far = horizon - 0.16 - 0.05 * std::sin(u * 9.0) - 0.03 * std::sin(u * 23.0 + 1.0);
            const double nearRidge = horizon - 0.07 - 0.06 * std::sin(u * 5.0 + 2.0) - 0.015 * std::sin(u * 31.0);
            if (v < far) {
                c = skyAt(u, v);
            } else if (v < nearRidge) {
                c = mix({95, 115, 150}, {120, 135, 160}, (v - far) / 0.2);   // distant blue hills
            } else if (v < horizon) {
                const double shade = 0.75 + 0.5 * detail::clouds(u * 20, v * 20);
                c = {70 * shade, 120 * shade, 50 * shade};   // green hills
            } else {
                // Lake: the sky mirrored, darker and rippled.
                const double mv = 2 * horizon - v + 0.004 * std::sin(v * 260.0 + u * 20.0);
                Rgb m = mv < far ? skyAt(u, mv) : Rgb{70, 110, 60};
                c = mix(m, {20, 50, 80}, 0.35 + 0.4 * (v - horizon) / (1 - horizon));
            }
            // A house on the near hill: white walls, red roof, dark windows.
            const double hx = 0.22, hy = horizon - 0.02, hw = 0.14, hh = 0.12;
            if (u > hx && u < hx + hw && v > hy - hh && v < hy) {
                c = {225, 215, 195};
                const double wu = (u - hx) / hw, wv = (v - (hy - hh)) / hh;
                if ((wu > 0.15 && wu < 0.35 && wv > 0.25 && wv < 0.6) ||
                    (wu > 0.65 && wu < 0.85 && wv > 0.25 && wv < 0.6))
                    c = {40, 60, 90};
                if (wu > 0.42 && wu < 0.58 && wv > 0.45) c = {110, 60, 30};
            }
            const double roofTop = hy - hh - 0.09 * (1 - std::fabs((u - hx - hw / 2) / (hw / 2 + 0.02)));
            if (u > hx - 0.02 && u < hx + hw + 0.02 && v > roofTop && v <= hy - hh) c = {180, 40, 35};
            // A tree beside it: a trunk and a round crown.
            if (std::fabs(u - 0.45) < 0.008 && v > horizon - 0.12 && v < horizon) c = {90, 60, 35};
            const double crown = std::hypot((u - 0.45) * 1.4, v - (horizon - 0.17));
            if (crown < 0.08) {
                const double leaf = 0.6 + 0.6 * detail::valueNoise(u * 120, v * 120);
                c = {40 * leaf, 100 * leaf, 35 * leaf};
            }
            // Film grain.
            const double grain = (detail::hash2(x * 7 + 3, y * 13 + 1) - 0.5) * 14.0;
            uint8_t* p = pixelAt(s, x, y);
            p[0] = uint8_t(std::clamp(c.b + grain, 0.0, 255.0));
            p[1] = uint8_t(std::clamp(c.g + grain, 0.0, 255.0));
            p[2] = uint8_t(std::clamp(c.r + grain, 0.0, 255.0));
        }
    return s;
}

} // namespace tq::fx
