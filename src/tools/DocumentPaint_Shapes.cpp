// Anti-aliased outlines: lines, rectangles, regular polygons and ellipses.
#include "tools/DocumentPaint.h"

#include "document/Numeric.h"
#include "tools/PaintSamples.h"

namespace tq {

void DocumentPaint::splat(float x, float y, const uint8_t colour[3], int32_t p)
{
    const SplatWeights s = splatWeights(x, y);
    // Far outside any picture (and clear of overflow in the neighbours below).
    constexpr int32_t kFar = 1 << 30;
    if (s.ix < -kFar || s.ix > kFar || s.iy < -kFar || s.iy2 > kFar) return;
    const Region* rgn = GetPaintRegion();
    const int32_t xs[4] = {s.ix, s.ix + 1, s.ix, s.ix + 1};
    const int32_t ys[4] = {s.iy, s.iy, s.iy2, s.iy2};
    for (int n = 0; n < 4; ++n) {
        if (!inRegion(rgn, xs[n], ys[n])) continue;
        const double f = single(static_cast<double>(s.w[n]) / 255.0 * p / 255.0);
        uint8_t* px = bits_.pixel(xs[n], ys[n]);
        for (int c = 0; c < 3; ++c) toByte(px[c] - f * (px[c] - colour[c]), px[c]);
    }
}

void DocumentPaint::BitsLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color, int32_t Pressure)
{
    if (!hasPicture()) return;
    const uint8_t colour[3] = {colorBlue(Color), colorGreen(Color), colorRed(Color)};
    const int32_t p = PressureByte(Pressure);
    forEachLineSample(X1, Y1, X2, Y2, [&](float x, float y) { splat(x, y, colour, p); });
}

void DocumentPaint::BitsRectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color, int32_t Pressure)
{
    BitsLine(X1, Y1, X2, Y1, Color, Pressure);
    BitsLine(X2, Y1, X2, Y2, Color, Pressure);
    BitsLine(X2, Y2, X1, Y2, Color, Pressure);
    BitsLine(X1, Y2, X1, Y1, Color, Pressure);
}

void DocumentPaint::BitsPolygon(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Sides, int32_t Color,
                                int32_t Pressure)
{
    if (!hasPicture()) return;
    forEachPolygonEdge(X1, Y1, X2, Y2, Sides, [&](int32_t ax, int32_t ay, int32_t bx, int32_t by) {
        BitsLine(ax, ay, bx, by, Color, Pressure);
    });
}

void DocumentPaint::BitsEllipse(int32_t xC, int32_t yC, int32_t xR, int32_t yR, int32_t Color, int32_t Pressure)
{
    if (!hasPicture()) return;
    const uint8_t colour[3] = {colorBlue(Color), colorGreen(Color), colorRed(Color)};
    const int32_t p = PressureByte(Pressure);
    forEachEllipseSample(xC, yC, xR, yR, [&](float x, float y) { splat(x, y, colour, p); });
}

} // namespace tq
