#include "dialogs/PictureGeometry.h"

#include "document/Numeric.h"
#include "filters/cBitFilter.h"
#include "platform/Region.h"

#include <cmath>
#include <new>
#include <stdexcept>

namespace tq {
namespace {

bool validSide(int64_t n) { return n >= 1 && n <= kMaxPictureSide; }

// The program's own degrees-to-radians factor for the size of a turn.
constexpr double kTurnRadiansPerDegree = 0.0174533;

// The whole-picture region the engine walks while a result is built; the
// engine never keeps it past the computation.
class WorkRegion {
public:
    WorkRegion(cBitFilter& engine, int32_t w, int32_t h) : engine_(engine), region_(Region::rect(0, 0, w, h))
    {
        engine_.setBitsRegion(&region_);
    }
    ~WorkRegion() { engine_.setBitsRegion(nullptr); }
    WorkRegion(const WorkRegion&) = delete;
    WorkRegion& operator=(const WorkRegion&) = delete;

private:
    cBitFilter& engine_;
    Region region_;
};

// Runs a computation; a buffer that cannot be had ends it as NoMemory. The
// engine's region is cleared on every way out.
template <class Compute>
GeometryOutcome guarded(cBitFilter& engine, Compute&& compute)
{
    GeometryOutcome outcome = GeometryOutcome::NoMemory;
    try {
        outcome = compute();
    } catch (const std::bad_alloc&) {
        outcome = GeometryOutcome::NoMemory;
    } catch (const std::length_error&) {
        outcome = GeometryOutcome::NoMemory;
    }
    engine.setBitsRegion(nullptr);
    return outcome;
}

// The angle brought into -180..180.
int32_t normalDegrees(int32_t degrees)
{
    int32_t a = degrees % 360;
    if (a > 180) a -= 360;
    if (a < -180) a += 360;
    return a;
}

// 0 and +-180 degrees, and +-90 degrees with plain sampling: the source's
// own pixels, turned and mirrored, with 0 in every marker byte.
GeometryOutcome turnLosslessly(cBitFilter& engine, const BitsBuffer& source, int32_t a)
{
    const int32_t w = source.width();
    const int32_t h = source.height();
    if (a == 90 || a == -90) {
        // The quarter turn copies blue, green and red and clears the marker.
        engine.setBits(source);
        if (!engine.BitsRotate90(engine.Bits())) return GeometryOutcome::NoMemory;
        // A quarter turn clockwise is one counter-clockwise and a half turn.
        if (a == -90) engine.setBits(engine.Flip(true, true));
        return GeometryOutcome::Done;
    }
    // A same-size nearest resize is an exact copy of blue, green and red
    // with clear markers, which the half turn's mirrors keep.
    if (!engine.BitsResize(source, w, h)) return GeometryOutcome::NoMemory;
    if (a != 0) engine.setBits(engine.Flip(true, true));
    return GeometryOutcome::Done;
}

} // namespace

int64_t anchorOffset(int64_t newSide, int64_t oldSide, int32_t cell)
{
    return static_cast<int64_t>(rndDouble(static_cast<double>(newSide - oldSide) * cell / 2.0));
}

TurnedSize turnedSize(int64_t w, int64_t h, int32_t degrees)
{
    const double radians = degrees * kTurnRadiansPerDegree;
    const double c = single(std::fabs(std::cos(radians)));
    const double s = single(std::fabs(std::sin(radians)));
    TurnedSize t;
    t.width = static_cast<int64_t>(rndDouble(static_cast<double>(w) * c + static_cast<double>(h) * s));
    t.height = static_cast<int64_t>(rndDouble(static_cast<double>(w) * s + static_cast<double>(h) * c));
    t.diagonal = static_cast<int64_t>(rndDouble(std::sqrt(static_cast<double>(w * w + h * h))));
    return t;
}

bool isLosslessTurn(int32_t degrees, bool smooth)
{
    const int32_t a = normalDegrees(degrees);
    return a == 0 || a == 180 || a == -180 || (!smooth && (a == 90 || a == -90));
}

GeometryOutcome resizePicture(cBitFilter& engine, const BitsBuffer& source, int64_t W, int64_t H, bool smooth)
{
    if (!validSide(W) || !validSide(H)) return GeometryOutcome::TooLarge;
    return guarded(engine, [&] {
        const auto w = static_cast<int32_t>(W);
        const auto h = static_cast<int32_t>(H);
        const bool done = smooth ? engine.BitsResample(source, w, h) : engine.BitsResize(source, w, h);
        return done ? GeometryOutcome::Done : GeometryOutcome::NoMemory;
    });
}

GeometryOutcome placeOnCanvas(cBitFilter& engine, const BitsBuffer& source, int64_t W, int64_t H, int64_t dx,
                              int64_t dy)
{
    if (!validSide(W) || !validSide(H)) return GeometryOutcome::TooLarge;
    return guarded(engine, [&] {
        const auto w = static_cast<int32_t>(W);
        const auto h = static_cast<int32_t>(H);
        // Offsets lie within one picture side of the canvas; anything
        // further places nothing either way.
        const auto clampOffset = [](int64_t v) {
            return static_cast<int32_t>(v < -kMaxPictureSide - 1 ? -kMaxPictureSide - 1
                                                                 : (v > kMaxPictureSide + 1 ? kMaxPictureSide + 1 : v));
        };
        WorkRegion region(engine, w, h);
        engine.setBits(BitsBuffer(w, h));
        FilterResult placed = engine.TileMask(source, clampOffset(dx), clampOffset(dy), false, 0, -1);
        if (!placed) return GeometryOutcome::NoMemory;
        engine.setBits(std::move(*placed));
        return GeometryOutcome::Done;
    });
}

GeometryOutcome orientPicture(cBitFilter& engine, const BitsBuffer& source, bool quarterTurn, bool flipH,
                              bool flipV)
{
    return guarded(engine, [&] {
        engine.setBits(source);
        if (quarterTurn && !engine.BitsRotate90(engine.Bits())) return GeometryOutcome::NoMemory;
        if (flipH || flipV) engine.setBits(engine.Flip(flipH, flipV));
        return GeometryOutcome::Done;
    });
}

GeometryOutcome turnPicture(cBitFilter& engine, const BitsBuffer& source, int32_t degrees, bool smooth)
{
    const int32_t a = normalDegrees(degrees);
    if (isLosslessTurn(a, smooth)) return guarded(engine, [&] { return turnLosslessly(engine, source, a); });

    const int64_t w = source.width();
    const int64_t h = source.height();
    const TurnedSize t = turnedSize(w, h, a);
    if (!validSide(t.diagonal) || !validSide(t.width) || !validSide(t.height)) return GeometryOutcome::TooLarge;
    return guarded(engine, [&] {
        const auto D = static_cast<int32_t>(t.diagonal);
        WorkRegion region(engine, D, D);
        // The picture unchanged on a black square that holds it at any angle.
        engine.setBits(BitsBuffer(D, D));
        FilterResult placed =
            engine.TileMask(source, static_cast<int32_t>((D - w) / 2), static_cast<int32_t>((D - h) / 2), false, 0, -1);
        if (!placed) return GeometryOutcome::NoMemory;
        engine.setBits(std::move(*placed));
        // Both turn about the canvas pixel ((D - 1) \ 2, (D - 1) \ 2).
        engine.setBits(smooth ? engine.RotateSmooth(a) : engine.ROTATE(a, true));
        const auto left = static_cast<int32_t>((D - t.width) / 2);
        const auto top = static_cast<int32_t>((D - t.height) / 2);
        if (!engine.BitsCrop(engine.Bits(), left, top, left + static_cast<int32_t>(t.width),
                             top + static_cast<int32_t>(t.height)))
            return GeometryOutcome::NoMemory;
        return GeometryOutcome::Done;
    });
}

GeometryOutcome blankPicture(cBitFilter& engine, int64_t W, int64_t H, std::optional<int32_t> colour)
{
    if (!validSide(W) || !validSide(H)) return GeometryOutcome::TooLarge;
    return guarded(engine, [&] {
        const auto w = static_cast<int32_t>(W);
        const auto h = static_cast<int32_t>(H);
        WorkRegion region(engine, w, h);
        engine.setBits(BitsBuffer(w, h));
        if (!colour) return GeometryOutcome::Done;
        FilterResult filled = engine.NewDoc(colorRed(*colour), colorGreen(*colour), colorBlue(*colour));
        if (!filled) return GeometryOutcome::NoMemory;
        engine.setBits(std::move(*filled));
        return GeometryOutcome::Done;
    });
}

} // namespace tq
