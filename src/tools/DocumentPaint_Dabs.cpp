// Placed pictures, round dabs and dabs along a segment.
#include "tools/DocumentPaint.h"

#include "document/Numeric.h"
#include "platform/Random.h"
#include "tools/PaintSamples.h"

#include <cmath>
#include <cstdlib>

namespace tq {

namespace {

// The opacity P = Pressure / 100 and its complement, each held as a single.
struct Opacity {
    double P;
    double Q;
    explicit Opacity(int32_t Pressure)
    {
        const float p = single(Pressure / 100.0);
        P = p;
        Q = single(1.0 - p);
    }
    // rnd(n x P + old x Q); old when that is no byte.
    uint8_t blend(uint8_t n, uint8_t old) const
    {
        uint8_t out = old;
        toByte(n * P + old * Q, out);
        return out;
    }
};

struct ChannelTable {
    uint8_t t[256];
};

// The blend of every old value with one new value.
ChannelTable blendTable(uint8_t n, const Opacity& o)
{
    ChannelTable tb;
    for (int v = 0; v < 256; ++v) tb.t[v] = o.blend(n, static_cast<uint8_t>(v));
    return tb;
}

// Largest m >= 0 with m^2 <= r^2 - j^2, for |j| <= r: the disc's half width
// on row j.
int64_t discHalfWidth(int64_t r, int64_t j)
{
    const int64_t rest = r * r - j * j;
    int64_t m = static_cast<int64_t>(std::sqrt(static_cast<double>(rest)));
    while (m > 0 && m * m > rest) --m;
    while ((m + 1) * (m + 1) <= rest) ++m;
    return m;
}

int64_t discRadius(int32_t d) { return rnd(d * 0.5); }

} // namespace

template <class PixelFn>
void DocumentPaint::forEachDiscPixel(int32_t X, int32_t Y, int32_t d, PixelFn&& fn)
{
    const int64_t r = discRadius(d);
    const Region* rgn = GetPaintRegion();
    // Rows outside the picture hold nothing to paint.
    const int64_t j0 = std::max<int64_t>(-r, -int64_t{Y});
    const int64_t j1 = std::min<int64_t>(r, int64_t{bits_.height()} - 1 - Y);
    for (int64_t j = j0; j <= j1; ++j) {
        const int32_t y = static_cast<int32_t>(Y + j);
        const int64_t m = discHalfWidth(r, j);
        forEachRegionRun(rgn, y, int64_t{X} - m, int64_t{X} + m + 1, [&](int32_t a, int32_t b) {
            uint8_t* p = bits_.pixel(a, y);
            for (int32_t x = a; x < b; ++x, p += 4) fn(p, x, y);
        });
    }
}

// ---- Placed pictures ---------------------------------------------------------

void DocumentPaint::placePicture(int32_t X, int32_t Y, const PaintSource& src, const Region* rgn, PlaceKind kind,
                                 int32_t MaskColor, int32_t Color, int32_t Pressure)
{
    if (!hasPicture() || src.empty()) return;
    // The overlap of the picture with the placed picture's own pixels, both
    // ends inclusive: a single shared column or row is painted too.
    const int64_t L = std::max<int64_t>(0, X);
    const int64_t R = std::min<int64_t>(bits_.width() - 1, int64_t{X} + src.width - 1);
    const int64_t T = std::max<int64_t>(0, Y);
    const int64_t B = std::min<int64_t>(bits_.height() - 1, int64_t{Y} + src.height - 1);
    if (L > R || T > B) return;

    const Opacity o(Pressure);
    const bool keyed = kind == PlaceKind::KeyColour && MaskColor != -1;
    const uint8_t key[3] = {colorBlue(MaskColor), colorGreen(MaskColor), colorRed(MaskColor)};
    const uint8_t colour[3] = {colorBlue(Color), colorGreen(Color), colorRed(Color)};

    for (int64_t yy = T; yy <= B; ++yy) {
        const int32_t y = static_cast<int32_t>(yy);
        forEachRegionRun(rgn, y, L, R + 1, [&](int32_t a, int32_t b) {
            uint8_t* p = bits_.pixel(a, y);
            const uint8_t* s = src.pixel(a - X, y - Y);
            for (int32_t x = a; x < b; ++x, p += 4, s += 4) {
                switch (kind) {
                case PlaceKind::KeyColour:
                    if (keyed && s[0] == key[0] && s[1] == key[1] && s[2] == key[2]) continue;
                    break;
                case PlaceKind::Marker:
                    if (s[3] == 255) continue;
                    break;
                case PlaceKind::GreyMask: {
                    const int m = s[0];
                    if (m >= 190) continue;
                    const float c = single(o.P * (1.0 - m / 190.0));
                    const float e = single(1.0 - c);
                    for (int ch = 0; ch < 3; ++ch) toByte(colour[ch] * static_cast<double>(c) + p[ch] * static_cast<double>(e), p[ch]);
                    continue;
                }
                }
                p[0] = o.blend(s[0], p[0]);
                p[1] = o.blend(s[1], p[1]);
                p[2] = o.blend(s[2], p[2]);
            }
        });
    }
}

void DocumentPaint::BitsPaint(int32_t X, int32_t Y, const PaintSource& mBits, int32_t MaskColor, int32_t Pressure,
                              bool InRegion)
{
    placePicture(X, Y, mBits, InRegion ? GetPaintRegion() : wholePictureRegion(), PlaceKind::KeyColour, MaskColor, 0,
                 Pressure);
}

void DocumentPaint::BitsPaintPreMasked(int32_t X, int32_t Y, const PaintSource& mBits, int32_t Pressure,
                                       bool InRegion)
{
    placePicture(X, Y, mBits, InRegion ? GetPaintRegion() : wholePictureRegion(), PlaceKind::Marker, -1, 0,
                 Pressure);
}

void DocumentPaint::BitsBWMask(int32_t X, int32_t Y, const PaintSource& mBits, int32_t Color, int32_t Pressure)
{
    placePicture(X, Y, mBits, GetPaintRegion(), PlaceKind::GreyMask, -1, Color, Pressure);
}

// ---- Round dabs ----------------------------------------------------------------

void DocumentPaint::BitsBrush(int32_t X, int32_t Y, int32_t d, int32_t Pressure, int32_t Color)
{
    if (!hasPicture() || d < 1) return;
    ensureDoneBits();
    const Opacity o(Pressure);
    const ChannelTable tb = blendTable(colorBlue(Color), o);
    const ChannelTable tg = blendTable(colorGreen(Color), o);
    const ChannelTable tr = blendTable(colorRed(Color), o);
    forEachDiscPixel(X, Y, d, [&](uint8_t* p, int32_t x, int32_t y) {
        uint8_t& done = doneRow(y)[x];
        if (done) return;
        done = 1;
        p[0] = tb.t[p[0]];
        p[1] = tg.t[p[1]];
        p[2] = tr.t[p[2]];
    });
}

void DocumentPaint::BitsMasked(int32_t X, int32_t Y, const PaintSource& mBits, int32_t d, int32_t Pressure)
{
    if (!hasPicture() || d < 1 || mBits.empty()) return;
    ensureDoneBits();
    const Opacity o(Pressure);
    const int32_t tw = mBits.width;
    const int32_t th = mBits.height;
    forEachDiscPixel(X, Y, d, [&](uint8_t* p, int32_t x, int32_t y) {
        uint8_t& done = doneRow(y)[x];
        if (done) return;
        done = 1;
        const uint8_t* t = mBits.pixel(x % tw, y % th);
        p[0] = o.blend(t[0], p[0]);
        p[1] = o.blend(t[1], p[1]);
        p[2] = o.blend(t[2], p[2]);
    });
}

void DocumentPaint::BitsBrightness(int32_t X, int32_t Y, int32_t d, int32_t Pressure, bool LightenMode)
{
    if (!hasPicture() || d < 1) return;
    ensureDoneBits();
    const float f = single(LightenMode ? 1.0 + Pressure / 100.0 : 1.0 - Pressure / 100.0);
    uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        const double t = rndDouble(static_cast<double>(f) * v);
        if (LightenMode && t > 255.0)
            table[v] = 255;
        else if (t >= 0.0 && t <= 255.0)
            table[v] = static_cast<uint8_t>(t);
        else
            table[v] = static_cast<uint8_t>(v);   // no byte: the channel keeps its value
    }
    forEachDiscPixel(X, Y, d, [&](uint8_t* p, int32_t x, int32_t y) {
        uint8_t& done = doneRow(y)[x];
        if (done) return;
        done = 1;
        p[0] = table[p[0]];
        p[1] = table[p[1]];
        p[2] = table[p[2]];
    });
}

void DocumentPaint::BitsSoften(int32_t X, int32_t Y, int32_t d, int32_t Pressure, bool Overlay)
{
    if (!hasPicture() || d < 1) return;
    ensureDoneBits();
    const int32_t w = rnd(10 - Pressure / 10.0);
    const int32_t divisor = w + 4;
    const ptrdiff_t st = bits_.stride();
    forEachDiscPixel(X, Y, d, [&](uint8_t* p, int32_t x, int32_t y) {
        uint8_t& done = doneRow(y)[x];
        if (done && !Overlay) return;
        done = 1;
        if (divisor == 0) return;
        // In place: the left and upper neighbours are already softened.
        for (int c = 0; c < 3; ++c) {
            const int64_t sum = int64_t{w} * p[c] + p[c - 4] + p[c - st] + p[c + st] + p[c + 4];
            const int64_t v = sum / divisor;
            if (v >= 0 && v <= 255) p[c] = static_cast<uint8_t>(v);
        }
    });
}

void DocumentPaint::BitsSharpen(int32_t X, int32_t Y, int32_t d, int32_t Pressure)
{
    if (!hasPicture() || d < 1) return;
    ensureDoneBits();
    const int32_t w = rnd(15 - Pressure / 15.0);
    const int32_t divisor = w - 4;
    const ptrdiff_t st = bits_.stride();
    forEachDiscPixel(X, Y, d, [&](uint8_t* p, int32_t x, int32_t y) {
        uint8_t& done = doneRow(y)[x];
        if (done) return;
        done = 1;
        if (divisor == 0) return;
        uint8_t out[3];
        for (int c = 0; c < 3; ++c) {
            const int64_t v = (int64_t{w} * p[c] - p[c - 4] - p[c - st] - p[c + st] - p[c + 4]) / divisor;
            out[c] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
        p[0] = out[0];
        p[1] = out[1];
        p[2] = out[2];
    });
}

void DocumentPaint::BitsAirbrush(int32_t X, int32_t Y, int32_t d, int32_t Pressure, int32_t Quantity,
                                 int32_t Definition, int32_t Color)
{
    if (!hasPicture() || d < 1) return;
    const int64_t r = discRadius(d);
    const float q = single(Quantity / 100.0);
    const float k = single(1.0 - Definition / 100.0);
    const double P = single(Pressure / 100.0);
    const uint8_t colour[3] = {colorBlue(Color), colorGreen(Color), colorRed(Color)};
    const Region* rgn = GetPaintRegion();
    Random& gen = programRandom();

    const auto paint = [&](uint8_t* p, int64_t i, int64_t j) {
        // The opacity falls linearly from P at the centre; a dab of radius 0
        // is its centre alone, painted at P.
        const double dist = std::sqrt(static_cast<double>(i * i + j * j));
        const double a = r == 0 ? P : (1.0 - static_cast<double>(k) * dist / static_cast<double>(r)) * P;
        for (int c = 0; c < 3; ++c) toByte(colour[c] * a + p[c] * (1.0 - a), p[c]);
    };

    // One number per disc pixel in disc order, also for the pixels that
    // cannot be painted, so that a spray repeats from the same seed whatever
    // the selection.
    for (int64_t j = -r; j <= r; ++j) {
        const int64_t m = discHalfWidth(r, j);
        int64_t x = int64_t{X} - m;
        const int64_t xEnd = int64_t{X} + m + 1;
        const int64_t y = int64_t{Y} + j;
        if (y >= 0 && y < bits_.height()) {
            forEachRegionRun(rgn, static_cast<int32_t>(y), x, xEnd, [&](int32_t a, int32_t b) {
                for (; x < a; ++x) gen.next();
                uint8_t* p = bits_.pixel(a, static_cast<int32_t>(y));
                for (; x < b; ++x, p += 4) {
                    const float u = gen.next();
                    if (u <= q) paint(p, x - X, j);
                }
            });
        }
        for (; x < xEnd; ++x) gen.next();
    }
}

// ---- Dabs along a segment --------------------------------------------------------

void DocumentPaint::brushDab(int32_t X, int32_t Y, int32_t d, int32_t Pressure, int32_t Color, int32_t BrushMode)
{
    switch (BrushMode) {
    case 0: BitsBrush(X, Y, d, Pressure, Color); break;
    case 1: BitsSoften(X, Y, d, Pressure, false); break;
    case 2: BitsSoften(X, Y, d, Pressure, true); break;
    case 3: BitsSharpen(X, Y, d, Pressure); break;
    case 4: BitsBrightness(X, Y, d, Pressure, true); break;
    case 5: BitsBrightness(X, Y, d, Pressure, false); break;
    default: break;
    }
}

void DocumentPaint::BitsBrushLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t d, int32_t Pressure,
                                  int32_t Color, int32_t BrushMode)
{
    if (!hasPicture() || BrushMode < 0 || BrushMode > 5) return;
    forEachDabCentre(X1, Y1, X2, Y2, d,
                     [&](int32_t x, int32_t y) { brushDab(x, y, d, Pressure, Color, BrushMode); });
}

void DocumentPaint::BitsMaskedLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t d, int32_t Pressure,
                                   const PaintSource& mBits)
{
    if (!hasPicture() || mBits.empty()) return;
    forEachDabCentre(X1, Y1, X2, Y2, d, [&](int32_t x, int32_t y) { BitsMasked(x, y, mBits, d, Pressure); });
}

} // namespace tq
