// The blur effects: plain, smart (edge-keeping), heavy, soft, motion, far
// (depth of field), radial (spin), zoom and unsharp mask, and the cylinder
// bend that shares their menu's first entry.
#include "effects/library/Blur.h"
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"
#include "effects/library/PolarBlur.h"
#include "effects/library/Parallel.h"
#include "effects/library/Warp.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq::effects {

namespace {

constexpr double kPiD = 3.141592653589793;

// Passes of a doubling blur whose samples must lie no further apart than
// about a pixel and a half along a path of the given length.
int32_t passesFor(double pathLength)
{
    int32_t k = 0;
    while (k < 12 && std::ldexp(1.0, k) - 1.0 < pathLength / 1.5) ++k;
    return k;
}

} // namespace

// The picture wrapped round a vertical cylinder: Bend from -30 to 30, the
// middle columns widened for a positive Bend (the cylinder bulging towards
// the viewer) and narrowed for a negative one; 0 keeps the picture.
bool zorveliLIB_Cilindrical(EffectSurface& dst, const EffectSurface& src, double Bend, int32_t*)
{
    if (!std::isfinite(Bend)) return false;
    const double b = std::clamp(Bend / 30.0, -1.0, 1.0);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (b == 0.0 || s.w < 2) return copyPixels(s, d);
        const double cx = (s.w - 1) / 2.0;
        std::vector<int32_t> ix(static_cast<size_t>(s.w));
        std::vector<uint32_t> fx(ix.size());
        for (int32_t x = 0; x < s.w; ++x) {
            const double u = std::clamp((x - cx) / cx, -1.0, 1.0);
            const double bent = b > 0 ? std::asin(u) * 2.0 / kPiD : std::sin(u * kPiD / 2.0);
            const double sx = std::clamp(cx + ((1.0 - std::fabs(b)) * u + std::fabs(b) * bent) * cx, 0.0, s.w - 1.0);
            const int32_t X = static_cast<int32_t>(sx * 256.0);
            ix[x] = X >> 8;
            fx[x] = static_cast<uint32_t>(X & 255);
        }
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* row = s.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const int32_t i = ix[x];
                const int32_t j = i + 1 < s.w ? i + 1 : i;
                out[x] = lerpPixel(row[i], row[j], fx[x]) & kColourMask;
            }
        });
    });
}

// Each pixel the mean of its eight neighbours (the engine's blur).
bool zorveliLIB_Blur(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) { return e.Blurs(1); });
    });
}

// Smooths flat areas and noise while edges whose grey steps by more than
// Tolerance stay sharp.
bool zorveliLIB_SmartBlur(EffectSurface& dst, const EffectSurface& src, int32_t Tolerance, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) { toleranceBlur(s, d, 3, std::max(Tolerance, 0)); });
}

// A Gaussian blur of deviation Radius pixels; when IgnoreTolerance is false,
// the edge-keeping blur over Radius pixels with Tolerance instead.
bool zorveliLIB_AdvancedBlur(EffectSurface& dst, const EffectSurface& src, int16_t Radius, int32_t Tolerance,
                             int32_t IgnoreTolerance, int32_t*)
{
    const int32_t r = std::clamp<int32_t>(Radius, 0, 200);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (IgnoreTolerance != 0)
            gaussianBlur(s, d, r);
        else
            toleranceBlur(s, d, r, std::max(Tolerance, 0));
    });
}

// A light blur of each pixel with its four direct neighbours (the engine's
// soften at its softest useful setting: the pixel weighs as much as the
// four together).
bool zorveliLIB_SoftnerBlur(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) { return e.SOFTEN(97); });
    });
}

// Streaks of Length pixels in the direction Angle (degrees, counter-clockwise
// from the right), as a moving camera makes them.
bool zorveliLIB_MotionBlur(EffectSurface& dst, const EffectSurface& src, double Angle, int32_t Length, int32_t*)
{
    if (!std::isfinite(Angle)) return false;
    const double len = std::clamp(Length, 0, kMaxPictureSide);
    const double a = std::fmod(Angle, 360.0) * kPiD / 180.0;
    const double ux = std::cos(a), uy = -std::sin(a);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const int32_t passes = len > 1.0 ? passesFor(len) : 0;
        const double step = passes ? len / (std::ldexp(1.0, passes) - 1.0) : 0.0;
        doublingBlur(s, d, passes, step, true, [&](double t) { return Affine{1, 0, t * ux, 0, 1, t * uy}; });
    });
}

// Depth of field: the middle stays sharp and the picture blurs towards its
// corners, where the blur reaches a deviation of Radius / 2 pixels.
bool zorveliLIB_FarBlur(EffectSurface& dst, const EffectSurface& src, int32_t Radius, int32_t*)
{
    const int32_t r = std::clamp(Radius, 0, 2000);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (r == 0) return copyPixels(s, d);
        Picture blurred(s.w, s.h);
        gaussianBlur(s, blurred.view(), r / 2.0);
        // The blend weight by squared distance from the middle, in 1024ths
        // of the squared half diagonal: none within a fifth of the way out,
        // all of the blur at the corners, smoothly between.
        constexpr int kSteps = 1024;
        std::vector<uint32_t> weight(kSteps + 1);
        for (int i = 0; i <= kSteps; ++i) {
            const double t = std::clamp((std::sqrt(double(i) / kSteps) - 0.2) / 0.8, 0.0, 1.0);
            weight[i] = static_cast<uint32_t>(std::lrint(t * t * (3.0 - 2.0 * t) * 256.0));
        }
        const double cx = (s.w - 1) / 2.0, cy = (s.h - 1) / 2.0;
        const double scale = kSteps / std::max(cx * cx + cy * cy, 1.0);
        const ConstPixels b = blurred;
        forRows(s.h, 10 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = s.row(y);
            const uint32_t* bl = b.row(y);
            uint32_t* out = d.row(y);
            const double dy2 = (y - cy) * (y - cy);
            for (int32_t x = 0; x < s.w; ++x) {
                const double q = ((x - cx) * (x - cx) + dy2) * scale;
                const uint32_t f = weight[std::min(static_cast<int>(q), kSteps)];
                out[x] = lerpPixel(in[x], bl[x], f) & kColourMask;
            }
        });
    });
}

// A spin about the middle: each pixel the mean of the arc of Degrees through
// it, half each way.
bool zorveliLIB_RadialBlur(EffectSurface& dst, const EffectSurface& src, int32_t Degrees, int32_t*)
{
    const double turn = std::min(std::abs(static_cast<double>(Degrees)), 360.0) * kPiD / 180.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (turn == 0.0) return copyPixels(s, d);
        spinBlur(s, d, (s.w - 1) / 2.0, (s.h - 1) / 2.0, turn);
    });
}

// Streaks out from the middle, as a zoom by up to 1 + Amount / 400 during
// the exposure leaves them: each pixel the mean of the points on the ray
// from the middle between it and the point at 1 / (1 + Amount / 400) of
// its distance.
bool zorveliLIB_ZoomBlur(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    const double z = std::clamp(Amount, 0, 400) / 400.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (z == 0.0) return copyPixels(s, d);
        rayBlur(s, d, (s.w - 1) / 2.0, (s.h - 1) / 2.0, z / (1.0 + z));
    });
}

// Sharpening by the difference from a Gaussian blur of deviation Radius:
// Amount in quarters, 0 keeps the picture, 10 adds two and a half times
// the difference.
bool zorveliLIB_UnsharpMask(EffectSurface& dst, const EffectSurface& src, int32_t Radius, double Amount, int32_t*)
{
    if (!std::isfinite(Amount)) return false;
    const double amount = std::clamp(Amount, -400.0, 400.0) / 4.0;
    const int32_t r = std::clamp(Radius, 0, 200);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (amount == 0.0 || r == 0) return copyPixels(s, d);
        Picture blurred(s.w, s.h);
        gaussianBlur(s, blurred.view(), r);
        addDifference(s, d, blurred, static_cast<int32_t>(std::lrint(amount * 256.0)));
    });
}

} // namespace tq::effects
