// What the files of the canvas tools share: the key codes, the pointer
// pictures, the current tool, the stamp as a picture source, and the
// rectangles of picture pixels a painting call may change (with room for
// the anti-aliased edges and the rounding of dab centres), which bound the
// band a drag step repaints.
#pragma once

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "core/Region.h"
#include "platform/SkippedStep.h"
#include "tools/CanvasTools.h"
#include "tools/PaintSource.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace tq::tools {

inline CanvasTool currentTool() { return canvasToolOf(programSettings().ToolName.text()); }

// Key codes.
inline constexpr int16_t kKeyCtrl = 17;
inline constexpr int16_t kKeySpace = 32;
inline constexpr int16_t kKeyLeft = 37;
inline constexpr int16_t kKeyUp = 38;
inline constexpr int16_t kKeyRight = 39;
inline constexpr int16_t kKeyDown = 40;

// The selection shape whose vertices Space adds.
inline constexpr int16_t kShapePolygon = 2;

// The pointer pictures are the tool bar's: the button index of each.
inline constexpr int16_t kPencilPicture = 4;
inline constexpr int16_t kBrushPicture = 5;
inline constexpr int16_t kAirbrushPicture = 6;
inline constexpr int16_t kFillPicture = 7;
inline constexpr int16_t kGradientPicture = 8;
inline constexpr int16_t kStampPicture = 9;
inline constexpr int16_t kPickerPicture = 12;

// The current stamp; empty when none is loaded.
inline PaintSource currentStamp() { return PaintSource::fromBuffer(StampBits()); }

// ---- Rectangles of picture pixels (right and bottom exclusive) --------------------

inline int32_t clampToInt(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

inline RectI rectOf(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return RectI{clampToInt(left), clampToInt(top), clampToInt(right), clampToInt(bottom)};
}

inline RectI intersect(const RectI& a, const RectI& b)
{
    RectI r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return r.isEmpty() ? RectI{} : r;
}

inline RectI unite(const RectI& a, const RectI& b)
{
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return RectI{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}

// A w x h picture placed with its pixel (0, 0) at (x, y).
inline RectI placedRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    return rectOf(x, y, int64_t(x) + w, int64_t(y) + h);
}

// Everything within `reach` pixels of the box of two points.
inline RectI boxAround(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int64_t reach)
{
    return rectOf(int64_t(std::min(x1, x2)) - reach, int64_t(std::min(y1, y2)) - reach,
                  int64_t(std::max(x1, x2)) + reach + 1, int64_t(std::max(y1, y2)) + reach + 1);
}

// An anti-aliased line: each sample is split over the pixels around it.
inline RectI lineRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return boxAround(x1, y1, x2, y2, 2); }

// A disc of diameter d around (x, y).
inline RectI discRect(int32_t x, int32_t y, int32_t d) { return boxAround(x, y, x, y, std::abs(int64_t(d)) / 2 + 2); }

// Dabs of diameter d along a segment: the last centre may pass the end by
// up to a tenth of the diameter.
inline RectI dabLineRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t d)
{
    const int64_t dd = std::abs(int64_t(d));
    return boxAround(x1, y1, x2, y2, dd / 2 + dd / 10 + 3);
}

// An ellipse outline centred on (x, y).
inline RectI ellipseRect(int32_t x, int32_t y, int32_t xR, int32_t yR)
{
    const int64_t rx = std::abs(int64_t(xR)) + 2, ry = std::abs(int64_t(yR)) + 2;
    return rectOf(int64_t(x) - rx, int64_t(y) - ry, int64_t(x) + rx + 1, int64_t(y) + ry + 1);
}

// A regular polygon centred on (x1, y1) with a corner at (x2, y2).
inline RectI polygonRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const double dx = double(x2) - x1, dy = double(y2) - y1;
    const double r = std::ceil(std::sqrt(dx * dx + dy * dy)) + 2;
    const int64_t reach = r > double(INT32_MAX) ? INT32_MAX : static_cast<int64_t>(r);
    return boxAround(x1, y1, x1, y1, reach);
}

} // namespace tq::tools
