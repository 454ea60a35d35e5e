#include "effects/library/PolarBlur.h"

#include "effects/library/Parallel.h"
#include "effects/library/Warp.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tq::effects {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The angle of (dx, dy) in 0..2 pi, from the right towards the bottom (rows
// run down).
inline float turnOf(float dx, float dy)
{
    const float a = fastAtan2(dy, dx);
    return a < 0.0f ? a + 6.28318548f : a;
}

// Rounded quotients by one 64-bit multiplication.
inline uint32_t divideBy(uint64_t sum, uint64_t inverse)
{
    return static_cast<uint32_t>((sum * inverse + (uint64_t(1) << 31)) >> 32);
}
inline uint64_t inverseOf(uint32_t n) { return ((uint64_t(1) << 32) + n / 2) / n; }

// fn(x, y) for every pixel, in square tiles: the polar grids are read a
// tile at a time, so the stretches of rings or rays a tile needs stay in
// the cache, where row after row would sweep across all of them.
template <class Fn> void forTiles(int32_t w, int32_t h, Fn&& fn)
{
    constexpr int32_t kTile = 64;
    const int32_t tileRows = (h + kTile - 1) / kTile;
    forBands(tileRows, 60 * int64_t(w) * kTile, [&](int32_t a, int32_t b) {
        for (int32_t ty = a; ty < b; ++ty)
            for (int32_t x0 = 0; x0 < w; x0 += kTile)
                for (int32_t y = ty * kTile; y < std::min(h, (ty + 1) * kTile); ++y)
                    for (int32_t x = x0; x < std::min(w, x0 + kTile); ++x) fn(x, y);
    });
}

// The radius past which no pixel lies, plus one ring to blend towards.
int32_t ringsFor(ConstPixels s, double cx, double cy)
{
    const double fx = std::max(cx, s.w - 1 - cx), fy = std::max(cy, s.h - 1 - cy);
    return static_cast<int32_t>(std::ceil(std::sqrt(fx * fx + fy * fy))) + 2;
}

// The picture on rings about the middle: ring i at radius i pixels, its
// samples a pixel apart, the first pointing right.
struct Rings {
    std::vector<size_t> start;   // first sample of each ring, and the end
    std::unique_ptr<uint32_t[]> samples;   // every sample is written before it is read

    int32_t count() const { return static_cast<int32_t>(start.size()) - 1; }
    size_t total() const { return start.back(); }
    int32_t size(int32_t i) const { return static_cast<int32_t>(start[i + 1] - start[i]); }
    uint32_t* ring(int32_t i) { return samples.get() + start[i]; }
    const uint32_t* ring(int32_t i) const { return samples.get() + start[i]; }
};

Rings makeRings(int32_t count)
{
    Rings r;
    r.start.resize(static_cast<size_t>(count) + 1);
    size_t at = 0;
    for (int32_t i = 0; i < count; ++i) {
        r.start[i] = at;
        at += i == 0 ? 1 : static_cast<size_t>(std::max(8.0, std::ceil(kTwoPi * i)));
    }
    r.start[count] = at;
    r.samples.reset(new uint32_t[at]);
    return r;
}

// fn(i) for every ring, the rings dealt out in groups of about equal
// samples (outer rings are longer).
template <class Fn> void forRings(const Rings& r, Fn&& fn)
{
    constexpr int32_t kGroups = 64;
    std::vector<int32_t> first(kGroups + 1, r.count());
    first[0] = 0;
    const size_t total = r.total();
    int32_t g = 1;
    for (int32_t i = 0; i < r.count() && g < kGroups; ++i)
        while (g < kGroups && r.start[i + 1] * kGroups >= total * g) first[g++] = i + 1;
    forBands(kGroups, static_cast<int64_t>(total / kGroups) * 10, [&](int32_t a, int32_t b) {
        for (int32_t k = a; k < b; ++k)
            for (int32_t i = first[k]; i < first[k + 1]; ++i) fn(i);
    });
}

void sampleRings(ConstPixels s, double cx, double cy, Rings& r)
{
    forRings(r, [&](int32_t i) {
        const int32_t n = r.size(i);
        uint32_t* out = r.ring(i);
        // The point turns by one step per sample: a rotation, no sine.
        const double step = kTwoPi / n, c = std::cos(step), sn = std::sin(step);
        double x = i, y = 0.0;
        for (int32_t j = 0; j < n; ++j) {
            out[j] = sampleBilinear(s, static_cast<float>(cx + x), static_cast<float>(cy + y));
            const double nx = x * c - y * sn;
            y = x * sn + y * c;
            x = nx;
        }
    });
}

// Back from the rings: each pixel blended from the two rings about its
// distance, each read at its angle between two samples.
void fromRings(const Rings& r, Pixels d, double cx, double cy)
{
    const float fcx = static_cast<float>(cx), fcy = static_cast<float>(cy);
    const int32_t lastRing = r.count() - 1;
    const auto at = [&](int32_t i, float turn) {
        const int32_t n = r.size(i);
        const float u = turn * static_cast<float>(n) / 6.28318548f;
        int32_t j = static_cast<int32_t>(u);
        const uint32_t f = static_cast<uint32_t>((u - static_cast<float>(j)) * 256.0f);
        if (j >= n) j -= n;
        const int32_t j1 = j + 1 < n ? j + 1 : 0;
        const uint32_t* ring = r.ring(i);
        return lerpPixel(ring[j], ring[j1], std::min(f, 255u));
    };
    forTiles(d.w, d.h, [&](int32_t x, int32_t y) {
        const float dx = static_cast<float>(x) - fcx, dy = static_cast<float>(y) - fcy;
        const float rho = std::sqrt(dx * dx + dy * dy);
        int32_t i = static_cast<int32_t>(rho);
        uint32_t f = static_cast<uint32_t>((rho - static_cast<float>(i)) * 256.0f);
        if (i >= lastRing) {
            i = lastRing - 1;
            f = 256;
        }
        const float turn = turnOf(dx, dy);
        d.row(y)[x] = lerpPixel(at(i, turn), at(i + 1, turn), std::min(f, 256u)) & kColourMask;
    });
}

} // namespace

void spinBlur(ConstPixels s, Pixels d, double cx, double cy, double turn)
{
    Rings rings = makeRings(ringsFor(s, cx, cy));
    sampleRings(s, cx, cy, rings);
    // Each ring's box: the samples within turn / 2 either way, the whole
    // ring at most.
    forRings(rings, [&](int32_t i) {
        const int32_t n = rings.size(i);
        const int32_t h = static_cast<int32_t>(std::min<double>((n - 1) / 2, static_cast<double>(std::lround(turn / 2.0 * n / kTwoPi))));
        if (h <= 0) return;
        uint32_t* ring = rings.ring(i);
        const std::vector<uint32_t> was(ring, ring + n);
        const uint32_t box = 2 * static_cast<uint32_t>(h) + 1;
        const uint64_t inverse = inverseOf(box);
        const auto wrap = [n](int32_t j) { return j < 0 ? j + n : (j >= n ? j - n : j); };
        uint64_t sb = 0, sg = 0, sr = 0;
        for (int32_t k = -h; k <= h; ++k) {
            const uint32_t p = was[wrap(k)];
            sb += p & 0xFF;
            sg += (p >> 8) & 0xFF;
            sr += (p >> 16) & 0xFF;
        }
        for (int32_t j = 0; j < n; ++j) {
            ring[j] = packBgr(divideBy(sb, inverse), divideBy(sg, inverse), divideBy(sr, inverse));
            const uint32_t in = was[wrap(j + h + 1)], gone = was[wrap(j - h)];
            sb += (in & 0xFF);
            sb -= (gone & 0xFF);
            sg += (in >> 8) & 0xFF;
            sg -= (gone >> 8) & 0xFF;
            sr += (in >> 16) & 0xFF;
            sr -= (gone >> 16) & 0xFF;
        }
    });
    fromRings(rings, d, cx, cy);
}

void rayBlur(ConstPixels s, Pixels d, double cx, double cy, double share)
{
    share = std::clamp(share, 0.0, 0.999);
    const int32_t length = ringsFor(s, cx, cy);   // samples along each ray
    // Rays about a pixel and a half apart at the rim.
    const int32_t rays = static_cast<int32_t>(std::max(8.0, std::ceil(kTwoPi * length / 1.5)));
    // Every sample is written before it is read.
    std::unique_ptr<uint32_t[]> grid(new uint32_t[static_cast<size_t>(rays) * static_cast<size_t>(length)]);
    std::vector<uint64_t> inverse(static_cast<size_t>(length) + 1, 0);
    for (int32_t n = 1; n <= length; ++n) inverse[n] = inverseOf(static_cast<uint32_t>(n));
    forBands(rays, 12 * int64_t(length), [&](int32_t a, int32_t b) {
        std::vector<uint32_t> sum(3 * (static_cast<size_t>(length) + 1));
        for (int32_t j = a; j < b; ++j) {
            uint32_t* ray = grid.get() + static_cast<size_t>(j) * length;
            const double angle = kTwoPi * j / rays;
            const double ux = std::cos(angle), uy = std::sin(angle);
            // Running sums along the ray, then each sample the mean of the
            // stretch from share of its distance nearer the middle.
            sum[0] = sum[1] = sum[2] = 0;
            for (int32_t i = 0; i < length; ++i) {
                const uint32_t p = sampleBilinear(s, static_cast<float>(cx + i * ux), static_cast<float>(cy + i * uy));
                sum[3 * i + 3] = sum[3 * i] + (p & 0xFF);
                sum[3 * i + 4] = sum[3 * i + 1] + ((p >> 8) & 0xFF);
                sum[3 * i + 5] = sum[3 * i + 2] + ((p >> 16) & 0xFF);
            }
            for (int32_t i = 0; i < length; ++i) {
                const int32_t lo = static_cast<int32_t>(std::ceil(i * (1.0 - share)));
                const uint64_t inv = inverse[i + 1 - lo];
                ray[i] = packBgr(divideBy(sum[3 * i + 3] - sum[3 * lo], inv),
                                 divideBy(sum[3 * i + 4] - sum[3 * lo + 1], inv),
                                 divideBy(sum[3 * i + 5] - sum[3 * lo + 2], inv));
            }
        }
    });
    // Back: each pixel blended from the four grid samples about its angle
    // and distance.
    const float fcx = static_cast<float>(cx), fcy = static_cast<float>(cy);
    const float perTurn = static_cast<float>(rays) / 6.28318548f;
    forTiles(d.w, d.h, [&](int32_t x, int32_t y) {
        const float dx = static_cast<float>(x) - fcx, dy = static_cast<float>(y) - fcy;
        const float rho = std::sqrt(dx * dx + dy * dy);
        const int32_t i = std::min(static_cast<int32_t>(rho), length - 2);
        const uint32_t fi = std::min(static_cast<uint32_t>((rho - static_cast<float>(i)) * 256.0f), 256u);
        const float u = turnOf(dx, dy) * perTurn;
        int32_t j = static_cast<int32_t>(u);
        const uint32_t fj = std::min(static_cast<uint32_t>((u - static_cast<float>(j)) * 256.0f), 255u);
        if (j >= rays) j -= rays;
        const int32_t j1 = j + 1 < rays ? j + 1 : 0;
        const uint32_t* r0 = grid.get() + static_cast<size_t>(j) * length;
        const uint32_t* r1 = grid.get() + static_cast<size_t>(j1) * length;
        d.row(y)[x] = lerpPixel(lerpPixel(r0[i], r0[i + 1], fi), lerpPixel(r1[i], r1[i + 1], fi), fj) & kColourMask;
    });
}

} // namespace tq::effects
