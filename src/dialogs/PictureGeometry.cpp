#include "dialogs/PictureGeometry.h"

#include "document/Numeric.h"
#include "filters/cBitFilter.h"
#include "core/PictureMemory.h"
#include "core/Region.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

namespace tq {
namespace {

bool validSide(int64_t n) { return n >= 1 && n <= kMaxPictureSide; }

// The program's own degrees-to-radians factor for the size of a turn.
constexpr double kTurnRadiansPerDegree = 0.0174533;

// The region the engine walks while a result is built, the rectangle (0, 0)
// to (w, h) unless given; the engine never keeps it past the computation.
class WorkRegion {
public:
    WorkRegion(cBitFilter& engine, int32_t w, int32_t h) : WorkRegion(engine, Region::rect(0, 0, w, h)) {}
    WorkRegion(cBitFilter& engine, Region region) : engine_(engine), region_(std::move(region))
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

// The source's blue, green and red copied onto a black canvas with the
// source's top-left pixel at (dx, dy), cut to the canvas; the marker bytes
// stay 0. What the engine's TileMask gives for an untiled, opaque, unmasked
// placement, row by row at the speed of a copy.
void placeRows(BitsBuffer& canvas, const BitsBuffer& source, int64_t dx, int64_t dy)
{
    const int64_t x0 = std::max<int64_t>(0, dx);
    const int64_t x1 = std::min<int64_t>(canvas.width(), dx + source.width());
    const int64_t y0 = std::max<int64_t>(0, dy);
    const int64_t y1 = std::min<int64_t>(canvas.height(), dy + source.height());
    if (x0 >= x1 || y0 >= y1) return;
    const auto n = static_cast<size_t>(x1 - x0);
    for (int64_t y = y0; y < y1; ++y) {
        uint8_t* d = canvas.pixel(static_cast<int>(x0), static_cast<int>(y));
        std::memcpy(d, source.pixel(static_cast<int>(x0 - dx), static_cast<int>(y - dy)), 4 * n);
        for (size_t i = 0; i < n; ++i) d[4 * i + 3] = 0;
    }
}

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
    if (!pictureFitsMemory(W, H)) return GeometryOutcome::overBudget(W, H);
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
    if (!pictureFitsMemory(W, H)) return GeometryOutcome::overBudget(W, H);
    return guarded(engine, [&] {
        const auto w = static_cast<int32_t>(W);
        const auto h = static_cast<int32_t>(H);
        BitsBuffer canvas(w, h);
        placeRows(canvas, source, dx, dy);
        engine.setBits(std::move(canvas));
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
    // The square work canvas is the largest picture of the turn (the turned
    // picture fits inside it).
    if (!pictureFitsMemory(t.diagonal, t.diagonal)) return GeometryOutcome::overBudget(t.diagonal, t.diagonal);
    return guarded(engine, [&] {
        const auto D = static_cast<int32_t>(t.diagonal);
        const auto W = static_cast<int32_t>(t.width);
        const auto H = static_cast<int32_t>(t.height);
        const int32_t left = (D - W) / 2;
        const int32_t top = (D - H) / 2;
        // The picture unchanged on a black square that holds it at any angle.
        {
            BitsBuffer canvas(D, D);
            placeRows(canvas, source, (D - w) / 2, (D - h) / 2);
            engine.setBits(std::move(canvas));
        }
        // Both turn about the canvas pixel ((D - 1) \ 2, (D - 1) \ 2). The
        // plain turn takes only sources inside its region, so it walks the
        // whole canvas; the smooth one samples the picture whatever its
        // region, so it need only fill the part that is kept.
        if (smooth) {
            WorkRegion kept(engine, Region::rect(left, top, left + W, top + H));
            engine.setBits(engine.RotateSmooth(a));
        } else {
            WorkRegion region(engine, D, D);
            engine.setBits(engine.ROTATE(a, true));
        }
        if (!engine.BitsCrop(engine.Bits(), left, top, left + W, top + H)) return GeometryOutcome::NoMemory;
        return GeometryOutcome::Done;
    });
}

GeometryOutcome blankPicture(cBitFilter& engine, int64_t W, int64_t H, std::optional<int32_t> colour)
{
    if (!validSide(W) || !validSide(H)) return GeometryOutcome::TooLarge;
    if (!pictureFitsMemory(W, H)) return GeometryOutcome::overBudget(W, H);
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
