// The distortions: diffuse, rock, noise, melt, fish eyes, twirls and swirl,
// a raised 3D bevel, four corners, caricature, roll, polar coordinates and
// mosaic. Geometric sizes are measured against the picture (its shorter
// side or its half diagonal), so a thumbnail shows the same shape as the
// whole picture.
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"
#include "effects/library/Parallel.h"
#include "effects/library/Noise.h"
#include "effects/library/Warp.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tq::effects {

namespace {

constexpr double kPiD = 3.141592653589793;

double smoothStep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A turn of angle(r) about the middle for the pixels within rMax of it.
template <class Angle> void turnWarp(ConstPixels s, Pixels d, double rMax, Angle&& angle)
{
    polarWarp(s, d, (s.w - 1) / 2.0, (s.h - 1) / 2.0, rMax, [&](double r) {
        const double a = angle(r);
        return std::pair<double, double>{std::cos(a), std::sin(a)};
    });
}

} // namespace

// Each pixel takes a random pixel up to three pixels away (the engine's
// diffuse).
bool zorveliLIB_Diffuse(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) { return e.DIFFUSE(6, 6); });
    });
}

// The picture on rough stone: a random relief lit from the upper left, its
// depth growing with Roughness (6 is deep); 0 keeps the picture.
bool zorveliLIB_Rock(EffectSurface& dst, const EffectSurface& src, int32_t Roughness, int32_t*)
{
    const double k = std::clamp(Roughness, 0, 20) / 6.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (k == 0.0) return copyPixels(s, d);
        const double side = shortSide(s);
        const NoiseField height = smoothNoise(s.w, s.h, side / 4.0, 8, 0.6);
        // Slopes are per pixel while the relief's features scale with the
        // picture: measure them per hundredth of the shorter side.
        const float slopeScale = static_cast<float>(side / 100.0 * 12.0);
        forRows(s.h, 20 * int64_t(s.w), [&](int32_t y) {
            const float* h0 = height.row(y);
            const float* hu = height.row(y > 0 ? y - 1 : y);
            const float* hd = height.row(y + 1 < s.h ? y + 1 : y);
            const uint32_t* in = s.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const int32_t xl = x > 0 ? x - 1 : x, xr = x + 1 < s.w ? x + 1 : x;
                const float light = std::clamp(-((h0[xr] - h0[xl]) + (hd[x] - hu[x])) * slopeScale, -1.0f, 1.0f);
                const float f = 1.0f + static_cast<float>(k) * (0.45f * light + 0.6f * (h0[x] - 0.5f));
                const int32_t m = static_cast<int32_t>(std::max(f, 0.0f) * 256.0f);
                const uint32_t p = in[x];
                out[x] = packBgr(clamp255(static_cast<int32_t>(((p & 0xFF) * m) >> 8)),
                                 clamp255(static_cast<int32_t>((((p >> 8) & 0xFF) * m) >> 8)),
                                 clamp255(static_cast<int32_t>((((p >> 16) & 0xFF) * m) >> 8)));
            }
        });
    });
}

// Artistic noise: random amounts up to |Amount| added to each channel, or to
// all three alike (grey noise) when Amount is negative (the engine's noise).
bool zorveliLIB_ColorRandomize(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    const int32_t a = std::min(std::abs(std::max(Amount, -255)), 255);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (a == 0) return copyPixels(s, d), true;
        return throughEngine(s, d, [&](cBitFilter& e) { return e.NOISE(a, Amount < 0); });
    });
}

// The picture runs down in drips: each column slides down by a random
// amount that grows towards the bottom.
bool zorveliLIB_Melt(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        Random& random = programRandom();
        // Random drip lengths, spiky (most short, a few long), then widened
        // so a drip covers several columns.
        std::vector<double> raw(static_cast<size_t>(s.w));
        for (double& v : raw) v = std::pow(random.next(), 3.0);
        const int32_t r = std::max(1, static_cast<int32_t>(shortSide(s) / 150.0));
        std::vector<float> drip(raw.size());
        double sum = 0;
        for (int32_t x = -r; x <= r; ++x) sum += raw[std::clamp(x, 0, s.w - 1)];
        for (int32_t x = 0; x < s.w; ++x) {
            drip[x] = static_cast<float>(sum / (2 * r + 1) * s.h * 0.45);
            sum += raw[std::min(x + r + 1, s.w - 1)] - raw[std::max(x - r, 0)];
        }
        const float last = static_cast<float>(std::max(s.h - 1, 1));
        forRows(s.h, 30 * int64_t(s.w), [&](int32_t y) {
            const float t = static_cast<float>(y) / last;
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) out[x] = sampleBilinear(s, static_cast<float>(x), static_cast<float>(y) - drip[x] * t * t);
        });
    });
}

// A strong magnifying lens over the middle (the engine's lens).
bool zorveliLIB_FishEye(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) { return e.LENS(0.5f, 0.5f, 0.5f, 75); });
    });
}

// The picture through a fish-eye lens over the ellipse inscribed in it:
// Strength from -255 (pinched, the middle drawn in) to 255 (bulging, the
// middle magnified); 0 keeps the picture, and so do the corners outside
// the ellipse.
bool zorveliLIB_FishEyeEx(EffectSurface& dst, const EffectSurface& src, double Strength, int32_t*)
{
    if (!std::isfinite(Strength)) return false;
    const double k = std::clamp(Strength / 255.0, -1.0, 1.0);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (k == 0.0 || s.w < 2 || s.h < 2) return copyPixels(s, d);
        const double R = (s.w - 1) / 2.0;
        // The source distance as a share of the rim's is rho^e.
        const double e = k > 0 ? 1.0 + 1.5 * k : 1.0 / (1.0 - 1.5 * k);
        polarWarp(
            s, d, R, (s.h - 1) / 2.0, R,
            [&](double r) {
                const double f = r > 0 ? std::pow(r / R, e - 1.0) : (e > 1.0 ? 0.0 : 1.0);
                return std::pair<double, double>{f, 0.0};
            },
            double(s.w - 1) / (s.h - 1));
    });
}

// A twirl whose turn grows towards the rim (the engine's twirl): Amount
// from -100 to 100, 0 keeps the picture.
bool zorveliLIB_Twirl(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (Amount == 0) return copyPixels(s, d), true;
        return throughEngine(s, d, [&](cBitFilter& e) { return e.TWIRL(Amount, 0, false); });
    });
}

// Two twirls in one: the middle turns by CentreTurn and the ring half way to
// the rim by EdgeTurn (both in hundredths of a full turn), the turn fading
// out towards the rim of the disc on the shorter side.
bool zorveliLIB_TwirlEx(EffectSurface& dst, const EffectSurface& src, double CentreTurn, double EdgeTurn, int32_t*)
{
    if (!std::isfinite(CentreTurn) || !std::isfinite(EdgeTurn)) return false;
    const double c = std::clamp(CentreTurn, -1000.0, 1000.0) * 2.0 * kPiD / 100.0;
    const double e = std::clamp(EdgeTurn, -1000.0, 1000.0) * 2.0 * kPiD / 100.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (c == 0.0 && e == 0.0) return copyPixels(s, d);
        const double R = shortSide(s) / 2.0;
        turnWarp(s, d, R, [&](double r) {
            const double rho = R > 0 ? r / R : 1.0;
            return (c + (e - c) * smoothStep(0.0, 0.5, rho)) * (1.0 - smoothStep(0.5, 1.0, rho));
        });
    });
}

// A whirlpool: the middle turns furthest (one and a half turns at 255), the
// turn dying away towards the rim of the disc on the shorter side; the sign
// of Amount gives the direction, 0 keeps the picture.
bool zorveliLIB_Swirl(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    const double turn = std::clamp(Amount, -1000, 1000) / 255.0 * 3.0 * kPiD;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (turn == 0.0) return copyPixels(s, d);
        const double R = shortSide(s) / 2.0;
        turnWarp(s, d, R, [&](double r) {
            const double t = R > 0 ? std::max(0.0, 1.0 - r / R) : 0.0;
            return turn * t * t;
        });
    });
}

// A raised button: a bevel Depth percent of the shorter side wide, lit on
// the top and left faces and shaded on the bottom and right ones.
bool zorveliLIB_Make3DEffect(EffectSurface& dst, const EffectSurface& src, int32_t Depth, int32_t*)
{
    const int32_t depth = std::clamp(Depth, 0, 50);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const int32_t b = depth ? std::max(1, static_cast<int32_t>(std::lrint(shortSide(s) * depth / 100.0))) : 0;
        constexpr uint32_t kLight = 0x00FFFFFFu, kDark = 0;
        constexpr uint32_t kLightMix = 110, kDarkMix = 120;   // of 256
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = s.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const int32_t left = x, top = y, right = s.w - 1 - x, bottom = s.h - 1 - y;
                const int32_t nearest = std::min({left, top, right, bottom});
                uint32_t p = in[x] & kColourMask;
                if (nearest < b) {
                    // The face is the edge nearest the pixel; at a corner
                    // the diagonal divides two faces.
                    const bool lit = std::min(left, top) <= std::min(right, bottom);
                    p = lit ? lerpPixel(p, kLight, kLightMix) : lerpPixel(p, kDark, kDarkMix);
                }
                out[x] = p & kColourMask;
            }
        });
    });
}

// The four corners brought together in the middle: the picture rolled by
// half its width and half its height.
bool zorveliLIB_FourCorners(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const int32_t hx = s.w / 2, hy = s.h / 2;
        forRows(s.h, 4 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = s.row((y + hy) % s.h);
            uint32_t* out = d.row(y);
            // The row in two runs, either side of the wrap.
            const int32_t wrap = s.w - hx;
            for (int32_t x = 0; x < wrap; ++x) out[x] = in[x + hx] & kColourMask;
            for (int32_t x = wrap; x < s.w; ++x) out[x] = in[x - wrap] & kColourMask;
        });
    });
}

// A caricature: the upper middle (where a face usually is) blown up, the
// rest drawn in around it.
bool zorveliLIB_Caricature(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const double cx = (s.w - 1) / 2.0, cy = (s.h - 1) * 0.42;
        const double ax = std::max(s.w * 0.42, 1.0), ay = std::max(s.h * 0.48, 1.0);
        warp(s, d, [&](int32_t x, int32_t y, float& sx, float& sy) {
            const double u = (x - cx) / ax, v = (y - cy) / ay;
            const double rho = std::sqrt(u * u + v * v);
            // Inside the ellipse a point comes from nearer the middle: from
            // under a third of its distance at the middle, from its own
            // place at the rim.
            const double f = rho < 1.0 ? 1.0 - 0.7 * (1.0 - rho) * (1.0 - rho) : 1.0;
            sx = static_cast<float>(cx + u * f * ax);
            sy = static_cast<float>(cy + v * f * ay);
        });
    });
}

// The picture rolled round once from top to bottom: each row moved to the
// right by its share of the height in widths, wrapping at the edge.
bool zorveliLIB_Roll(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        forRows(s.h, 4 * int64_t(s.w), [&](int32_t y) {
            const int32_t shift = static_cast<int32_t>(static_cast<int64_t>(y) * s.w / s.h);
            const uint32_t* in = s.row(y);
            uint32_t* out = d.row(y);
            // The row in two runs, either side of the wrap.
            for (int32_t x = 0; x < shift; ++x) out[x] = in[x - shift + s.w] & kColourMask;
            for (int32_t x = shift; x < s.w; ++x) out[x] = in[x - shift] & kColourMask;
        });
    });
}

// Mode 0: the picture bent into a disc, its top row at the middle and its
// bottom row round the rim (rectangular to polar); mode 1 the other way,
// the disc on the shorter side unrolled into rows. Other modes fail.
bool zorveliLIB_PolarCoordinates(EffectSurface& dst, const EffectSurface& src, int32_t Mode, int32_t*)
{
    if (Mode != 0 && Mode != 1) return false;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const float cx = static_cast<float>(s.w - 1) / 2.0f, cy = static_cast<float>(s.h - 1) / 2.0f;
        const float R = std::max(static_cast<float>(shortSide(s)) / 2.0f, 1.0f);
        const float maxX = static_cast<float>(s.w - 1), maxY = static_cast<float>(s.h - 1);
        if (Mode == 0) {
            warp(s, d, [&](int32_t x, int32_t y, float& sx, float& sy) {
                const float dx = static_cast<float>(x) - cx, dy = static_cast<float>(y) - cy;
                // The angle from straight up, clockwise, as a share of a turn.
                const float turn = fastAtan2(dx, -dy) / 6.2831853f + 0.5f;
                sx = turn * maxX;
                sy = std::sqrt(dx * dx + dy * dy) / R * maxY;
            });
        } else {
            std::vector<float> cs(static_cast<size_t>(s.w)), sn(cs.size());
            for (int32_t x = 0; x < s.w; ++x) {
                const double a = (s.w > 1 ? double(x) / (s.w - 1) : 0.0) * 2.0 * kPiD - kPiD;
                cs[x] = static_cast<float>(std::cos(a));
                sn[x] = static_cast<float>(std::sin(a));
            }
            warp(s, d, [&](int32_t x, int32_t y, float& sx, float& sy) {
                const float r = (s.h > 1 ? static_cast<float>(y) / maxY : 0.0f) * R;
                sx = cx + r * sn[x];
                sy = cy - r * cs[x];
            });
        }
    });
}

// Square blocks of BlockSize pixels, each the mean colour of its pixels
// (the engine's pixelize); a size of 1 or less keeps the picture.
bool zorveliLIB_Mosaic(EffectSurface& dst, const EffectSurface& src, int32_t BlockSize, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (BlockSize <= 1) return copyPixels(s, d), true;
        const int32_t size = std::min(BlockSize, kMaxPictureSide);
        return throughEngine(s, d, [&](cBitFilter& e) { return e.PIXELIZE(size); });
    });
}

} // namespace tq::effects
