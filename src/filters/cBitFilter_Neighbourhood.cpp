// The fixed neighbourhood filters: each selected pixel is computed from a
// small window of Bits, never from pixels already written. Windows at the picture's edge read the
// buffer's two-pixel border.
#include "filters/PixelWalk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tq {

FilterResult cBitFilter::Blurs(int32_t Factor)
{
    // Reading further than two pixels would leave the buffer's border.
    if (Factor < -2 || Factor > 2) return std::nullopt;
    return selectedChannels(*this, 0, [Factor](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        const ptrdiff_t dx = 4 * Factor;
        const ptrdiff_t dy = st * Factor;
        const int32_t sum = s[-dx] + s[dx] + s[-dy] + s[dy] + s[-dy - dx] + s[-dy + dx] + s[dy - dx] + s[dy + dx];
        *d = static_cast<uint8_t>(sum / 8);
    });
}

FilterResult cBitFilter::SOFTEN(int32_t Factor)
{
    const int64_t centre = 101 - static_cast<int64_t>(Factor);
    const int64_t divisor = 105 - static_cast<int64_t>(Factor);
    if (divisor == 0) return std::nullopt;
    return selectedChannels(*this, 1, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        const int64_t v = (centre * s[0] + s[-4] + s[4] + s[-st] + s[st]) / divisor;
        // Unclamped: a value outside a byte (Factor out of its range) is a
        // failed step and leaves the byte as it was.
        if (v >= 0 && v <= 255) *d = static_cast<uint8_t>(v);
    });
}

FilterResult cBitFilter::SHARPEN(int32_t Factor)
{
    const int64_t centre = 124 - static_cast<int64_t>(Factor);
    const int64_t divisor = 108 - static_cast<int64_t>(Factor);
    if (divisor == 0) return std::nullopt;
    return selectedChannels(*this, 1, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        *d = clampByte((centre * s[0] - 2 * static_cast<int64_t>(sumOfEight(s, st))) / divisor);
    });
}

FilterResult cBitFilter::EDGEENHANCE(int32_t Factor)
{
    const int64_t centre = static_cast<int64_t>(Factor) + 9;
    const int64_t divisor = static_cast<int64_t>(Factor) + 1;
    if (divisor == 0) return std::nullopt;
    return selectedChannels(*this, 0, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        *d = clampByte((centre * s[0] - sumOfEight(s, st)) / divisor);
    });
}

BitsBuffer cBitFilter::RELIEF()
{
    return selectedChannels(*this, 0, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        const int32_t e = 2 * s[-st - 4] + s[-st] + s[-4] - s[4] - s[st] - 2 * s[st + 4];
        *d = clampByte((s[0] + e) / 2 + 50);
    });
}

namespace {

// EMBOSS and Engrave: one grey from the difference between a pixel and its
// lower-right neighbour; the picture's last column copies the pixel to its
// left in the result, the last row the pixel above. That pixel above is the
// grey of its own difference when it is selected, else as Bits holds it, so
// every row is made from Bits alone.
BitsBuffer embossLike(cBitFilter& f, int32_t Factor, int32_t sign)
{
    const float depth = single(static_cast<double>(Factor) / 10.0);
    const int32_t maxX = f.BitsWidth() - 1;
    const int32_t maxY = f.BitsHeight() - 1;
    const ptrdiff_t st = f.Bits().stride();
    const SelectionTest selected(f);
    const auto grey = [&](const uint8_t* s) {
        int32_t total = 0;
        for (int c = 0; c < 3; ++c) {
            const int32_t diff = sign * (s[c] - s[st + 4 + c]);
            total += rnd(std::fabs(static_cast<double>(diff) * static_cast<double>(depth) + 128.0));
        }
        return clampByte(total / 3);
    };
    const auto copy = [](const uint8_t* from, uint8_t* d) {
        d[0] = from[0];
        d[1] = from[1];
        d[2] = from[2];
    };
    return selectedPixels(f, 0, Rows::Independent, [&](const uint8_t* s, uint8_t* d, ptrdiff_t, int32_t x, int32_t y) {
        if (x == maxX) {
            copy(d - 4, d);
        } else if (y == maxY) {
            if (selected(x, y - 1))
                d[0] = d[1] = d[2] = grey(s - st);
            else
                copy(s - st, d);
        } else {
            d[0] = d[1] = d[2] = grey(s);
        }
    });
}

} // namespace

BitsBuffer cBitFilter::EMBOSS(int32_t Factor) { return embossLike(*this, Factor, 1); }

BitsBuffer cBitFilter::Engrave(int32_t Factor) { return embossLike(*this, Factor, -1); }

FilterResult cBitFilter::CONTOUR(int32_t Factor, int32_t BackColor)
{
    const uint8_t backB = colorBlue(BackColor), backG = colorGreen(BackColor), backR = colorRed(BackColor);
    return selectedPixels(*this, 0, Rows::Independent, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st, int32_t, int32_t) {
        uint8_t c[3];
        for (int k = 0; k < 3; ++k) c[k] = clampByte(8 * s[k] - sumOfEight(s + k, st) + 255);
        const int32_t grey = (c[0] + c[1] + c[2]) / 3;
        if (grey < Factor) {
            d[0] = c[0];
            d[1] = c[1];
            d[2] = c[2];
        } else {
            d[0] = backB;
            d[1] = backG;
            d[2] = backR;
        }
    });
}

BitsBuffer cBitFilter::DILATE()
{
    return selectedChannels(*this, 0, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        *d = std::max({s[-st - 4], s[-st], s[-st + 4], s[-4], s[0], s[4], s[st - 4], s[st], s[st + 4]});
    });
}

BitsBuffer cBitFilter::ERODE()
{
    return selectedChannels(*this, 0, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        *d = std::min({s[-st - 4], s[-st], s[-st + 4], s[-4], s[0], s[4], s[st - 4], s[st], s[st + 4]});
    });
}

// The minimum walks with margin 1, the maximum with margin 0.
FilterResult cBitFilter::RankFilterN4(int32_t fltType)
{
    if (fltType == 0)
        return selectedChannels(*this, 1, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
            *d = std::min({s[0], s[-4], s[4], s[-st], s[st]});
        });
    if (fltType == 1)
        return selectedChannels(*this, 0, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
            *d = std::max({s[0], s[-4], s[4], s[-st], s[st]});
        });
    return std::nullopt;
}

FilterResult cBitFilter::RankFilterND(int32_t fltType)
{
    if (fltType == 0)
        return selectedChannels(*this, 1, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
            *d = std::min({s[0], s[-st - 4], s[-st + 4], s[st - 4], s[st + 4]});
        });
    if (fltType == 1)
        return selectedChannels(*this, 0, [](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
            *d = std::max({s[0], s[-st - 4], s[-st + 4], s[st - 4], s[st + 4]});
        });
    return std::nullopt;
}

} // namespace tq
