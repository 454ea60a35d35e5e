#include "toolwindows/TexturePictures.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace tq {

namespace {

constexpr double kTau = 6.283185307179586;

// A repeatable value in [0, 1) for a lattice point.
double hash(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise with a lattice every `cell` pixels.
double noise(double x, double y, double cell, uint32_t seed)
{
    const double fx = x / cell, fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = smooth(fx - ix), ty = smooth(fy - iy);
    const double a = hash(ix, iy, seed), b = hash(ix + 1, iy, seed);
    const double c = hash(ix, iy + 1, seed), d = hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Several octaves of noise, from `cell` down, in [0, 1].
double fbm(double x, double y, double cell, uint32_t seed, int octaves = 4)
{
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise(x, y, cell, seed + static_cast<uint32_t>(o) * 101u);
        norm += amp;
        amp *= 0.5;
        cell = std::max(1.0, cell / 2);
    }
    return sum / norm;
}

// Distance to the nearest of a jittered grid of points, in [0, 1].
double cells(double x, double y, double cell, uint32_t seed)
{
    const int ix = static_cast<int>(std::floor(x / cell)), iy = static_cast<int>(std::floor(y / cell));
    double best = 1e9;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const double px = (ix + i + hash(ix + i, iy + j, seed)) * cell;
            const double py = (iy + j + hash(ix + i, iy + j, seed + 7)) * cell;
            best = std::min(best, std::hypot(px - x, py - y));
        }
    return std::min(1.0, best / cell);
}

enum Kind {
    Bricks, Wood, Sand, Weave, Marble, Checks, Stripes, Dots, Ripples, Cells, Hatch, Clouds, Flagstones, Rings,
    Herringbone, Canvas, Bubbles, Plaid, Scales, Diamonds, Cork, Leather, GridLines, Brushed, Water, Granite,
    Knit, Strata, Bark, Rust
};

struct Recipe {
    Kind kind;
    int w, h;
    QRgb dark, light;
    double size;      // the pattern's scale in pixels
    uint32_t seed;
};

// The intensity (0 dark .. 1 light) of a recipe at a pixel.
double intensity(const Recipe& r, int x, int y)
{
    const double s = r.size;
    const uint32_t seed = r.seed;
    switch (r.kind) {
    case Bricks: {
        const double bh = s, bw = 2 * s;
        const int row = static_cast<int>(y / bh);
        const double xo = x + (row % 2 ? bw / 2 : 0);
        const double u = std::fmod(xo, bw), v = std::fmod(double(y), bh);
        if (u < 2 || v < 2) return 0.15 + 0.1 * hash(x, y, seed);
        return 0.55 + 0.35 * fbm(x, y, 6, seed + static_cast<uint32_t>(row));
    }
    case Wood: {
        const double d = x + 8 * fbm(x, y, 24, seed);
        return 0.5 + 0.5 * std::sin(d / s * kTau + 3 * fbm(x, y * 0.2, 16, seed + 3));
    }
    case Sand: return 0.35 + 0.65 * hash(x, y, seed) * fbm(x, y, s, seed);
    case Weave: {
        const int cx = static_cast<int>(x / s), cy = static_cast<int>(y / s);
        const double u = std::fmod(double(x), s) / s, v = std::fmod(double(y), s) / s;
        const bool over = (cx + cy) % 2 == 0;
        const double t = over ? std::sin(v * kTau / 2) : std::sin(u * kTau / 2);
        return 0.2 + 0.8 * t;
    }
    case Marble: {
        const double t = std::sin((x + y) / s + 6 * fbm(x, y, 32, seed));
        return 0.5 + 0.5 * std::pow(std::abs(t), 0.4) * (t < 0 ? -1 : 1);
    }
    case Checks: return ((static_cast<int>(x / s) + static_cast<int>(y / s)) % 2) ? 0.85 : 0.2;
    case Stripes: return 0.5 + 0.5 * std::sin((x + y) / s * kTau);
    case Dots: {
        const double u = std::fmod(double(x), s) - s / 2, v = std::fmod(double(y), s) - s / 2;
        return std::hypot(u, v) < s / 3 ? 0.15 : 0.85;
    }
    case Ripples: return 0.5 + 0.5 * std::sin(std::hypot(x - r.w / 2.0, y - r.h / 2.0) / s * kTau);
    case Cells: return cells(x, y, s, seed);
    case Hatch: {
        const bool a = (x + y) % static_cast<int>(s) < 2, b = (x - y + 1000) % static_cast<int>(s) < 2;
        return a || b ? 0.1 : 0.9;
    }
    case Clouds: return fbm(x, y, s, seed, 5);
    case Flagstones: {
        const double c = cells(x, y, s, seed);
        return c > 0.85 ? 0.1 : 0.45 + 0.4 * fbm(x, y, 5, seed + 9);
    }
    case Rings: return 0.5 + 0.5 * std::cos(std::hypot(x % 40 - 20.0, y % 40 - 20.0) / s * kTau);
    case Herringbone: {
        const int band = static_cast<int>(y / s);
        const int d = band % 2 ? x + y : x - y + 1000;
        return (d / static_cast<int>(s)) % 2 ? 0.75 : 0.3;
    }
    case Canvas: {
        const double t = 0.5 + 0.25 * std::sin(x * kTau / s) + 0.25 * std::sin(y * kTau / s);
        return 0.3 + 0.5 * t + 0.2 * hash(x, y, seed);
    }
    case Bubbles: {
        const double c = cells(x, y, s, seed);
        return c < 0.35 ? 0.9 - c : 0.3 + 0.2 * hash(x / 4, y / 4, seed);
    }
    case Plaid: {
        const double a = std::fmod(double(x), s) < s / 3 ? 0.35 : 0;
        const double b = std::fmod(double(y), s) < s / 3 ? 0.35 : 0;
        return 0.25 + a + b;
    }
    case Scales: {
        const int row = static_cast<int>(y / s);
        const double u = std::fmod(x + (row % 2 ? s / 2 : 0), s) - s / 2, v = std::fmod(double(y), s);
        return std::min(1.0, std::hypot(u, v) / s);
    }
    case Diamonds: {
        const double u = std::abs(std::fmod(double(x), s) - s / 2), v = std::abs(std::fmod(double(y), s) - s / 2);
        return (u + v) < s / 2 ? 0.8 : 0.25;
    }
    case Cork: return hash(x, y, seed) < 0.12 ? 0.1 : 0.5 + 0.4 * fbm(x, y, s, seed);
    case Leather: return 0.3 + 0.5 * cells(x, y, s, seed) + 0.2 * hash(x, y, seed);
    case GridLines: return (x % static_cast<int>(s) == 0 || y % static_cast<int>(s) == 0) ? 0.1 : 0.8;
    case Brushed: return 0.4 + 0.5 * fbm(x * 0.05, y * 3.0, s, seed);
    case Water: return 0.5 + 0.5 * std::sin(y / s * kTau + 5 * fbm(x, y, 20, seed));
    case Granite: {
        const double h = hash(x, y, seed);
        return h < 0.2 ? 0.1 : h > 0.9 ? 0.95 : 0.45 + 0.3 * fbm(x, y, s, seed);
    }
    case Knit: {
        const double u = std::fmod(double(x), s) / s, v = std::fmod(double(y), s) / s;
        return 0.3 + 0.6 * std::abs(std::sin((v + (u < 0.5 ? u : 1 - u)) * kTau / 2));
    }
    case Strata: return 0.5 + 0.5 * std::sin(y / s + 4 * fbm(x, y, 30, seed));
    case Bark: return 0.2 + 0.7 * std::pow(fbm(x * 4.0, y * 0.25, s, seed), 2);
    case Rust: return 0.3 + 0.6 * fbm(x, y, s, seed, 5) * (0.6 + 0.4 * hash(x, y, seed));
    }
    return 0.5;
}

QRgb blend(QRgb a, QRgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto mix = [t](int p, int q) { return static_cast<int>(std::lround(p + (q - p) * t)); };
    return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

// Sizes of the first 28 pictures: 106 to 130 wide, 95 to 116 high.
int sideW(int i) { return 106 + (i * 7) % 25; }
int sideH(int i) { return 95 + (i * 5) % 22; }

Recipe recipe(int i)
{
    static const std::array<Recipe, kDefinedTextureCount> r = {{
        {Bricks, 0, 0, qRgb(90, 40, 30), qRgb(190, 90, 60), 12, 1},
        {Wood, 0, 0, qRgb(100, 60, 25), qRgb(200, 150, 90), 14, 2},
        {Sand, 0, 0, qRgb(150, 120, 70), qRgb(240, 215, 160), 5, 3},
        {Weave, 0, 0, qRgb(40, 60, 110), qRgb(170, 190, 230), 10, 4},
        {Marble, 0, 0, qRgb(80, 80, 90), qRgb(240, 240, 235), 9, 5},
        {Checks, 0, 0, qRgb(20, 20, 20), qRgb(235, 235, 235), 13, 6},
        {Stripes, 0, 0, qRgb(30, 90, 40), qRgb(170, 220, 150), 16, 7},
        {Dots, 0, 0, qRgb(150, 20, 30), qRgb(245, 230, 220), 14, 8},
        {Ripples, 0, 0, qRgb(20, 70, 120), qRgb(150, 210, 240), 12, 9},
        {Cells, 0, 0, qRgb(40, 30, 60), qRgb(210, 190, 240), 22, 10},
        {Hatch, 0, 0, qRgb(10, 10, 10), qRgb(230, 225, 210), 9, 11},
        {Clouds, 0, 0, qRgb(60, 110, 190), qRgb(250, 250, 255), 40, 12},
        {Flagstones, 0, 0, qRgb(60, 60, 55), qRgb(190, 180, 160), 28, 13},
        {Rings, 0, 0, qRgb(120, 60, 0), qRgb(250, 200, 80), 10, 14},
        {Herringbone, 0, 0, qRgb(110, 70, 40), qRgb(220, 170, 110), 10, 15},
        {Canvas, 0, 0, qRgb(150, 140, 110), qRgb(235, 228, 205), 4, 16},
        {Bubbles, 0, 0, qRgb(20, 80, 90), qRgb(200, 245, 250), 20, 17},
        {Plaid, 0, 0, qRgb(120, 20, 20), qRgb(240, 200, 120), 24, 18},
        {Scales, 0, 0, qRgb(20, 70, 50), qRgb(150, 220, 170), 14, 19},
        {Diamonds, 0, 0, qRgb(60, 20, 90), qRgb(230, 200, 250), 18, 20},
        {Cork, 0, 0, qRgb(110, 70, 35), qRgb(210, 165, 110), 6, 21},
        {Leather, 0, 0, qRgb(60, 35, 20), qRgb(150, 95, 60), 9, 22},
        {GridLines, 0, 0, qRgb(30, 30, 80), qRgb(225, 230, 245), 12, 23},
        {Brushed, 0, 0, qRgb(110, 110, 115), qRgb(220, 220, 225), 16, 24},
        {Water, 0, 0, qRgb(10, 60, 100), qRgb(120, 190, 230), 11, 25},
        {Granite, 0, 0, qRgb(40, 40, 40), qRgb(200, 190, 185), 8, 26},
        {Knit, 0, 0, qRgb(140, 30, 60), qRgb(245, 160, 180), 10, 27},
        {Strata, 0, 0, qRgb(120, 80, 50), qRgb(230, 190, 140), 5, 28},
        {Marble, 120, 120, qRgb(30, 50, 40), qRgb(200, 230, 210), 14, 29},
        {Wood, 120, 120, qRgb(70, 35, 15), qRgb(180, 110, 60), 20, 30},
        {Clouds, 120, 120, qRgb(120, 120, 130), qRgb(250, 250, 250), 30, 31},
        {Granite, 120, 120, qRgb(90, 30, 30), qRgb(220, 180, 170), 6, 32},
        {Canvas, 120, 120, qRgb(60, 80, 60), qRgb(200, 215, 190), 6, 33},
        {Bark, 120, 120, qRgb(40, 28, 18), qRgb(150, 120, 90), 12, 34},
        {Rust, 120, 120, qRgb(80, 30, 10), qRgb(210, 120, 50), 18, 35},
    }};
    Recipe out = r[static_cast<size_t>(i)];
    if (out.w == 0) {
        out.w = sideW(i);
        out.h = sideH(i);
    }
    return out;
}

QImage draw(int i)
{
    const Recipe r = recipe(i);
    QImage img(r.w, r.h, QImage::Format_RGB32);
    for (int y = 0; y < r.h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < r.w; ++x) line[x] = blend(r.dark, r.light, intensity(r, x, y));
    }
    return img;
}

} // namespace

const QImage& definedTexturePicture(int n)
{
    static std::array<QImage, kDefinedTextureCount> pictures;
    static const QImage none;
    if (n < 0 || n >= kDefinedTextureCount) return none;
    QImage& p = pictures[static_cast<size_t>(n)];
    if (p.isNull()) p = draw(n);
    return p;
}

} // namespace tq
