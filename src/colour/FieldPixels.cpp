#include "colour/FieldPixels.h"

#include "document/Numeric.h"

#include <algorithm>
#include <cstring>

namespace tq {

namespace {

// A field of W x H with its row buffer; rows are built in the buffer and
// copied into the picture as a block.
struct FieldArray {
    int32_t w, h, rowBytes;
    std::vector<uint8_t> bits;
    std::vector<uint8_t> row;
    const uint8_t* webSafe;

    FieldArray(int32_t width, int32_t height, int32_t bytesPerRow, const uint8_t* table)
        : w(std::max(width, 0)), h(std::max(height, 0)), rowBytes(bytesPerRow),
          bits(size_t(rowBytes) * size_t(h)), row(size_t(rowBytes)), webSafe(table) {}

    void put(int32_t x, int32_t r, int32_t g, int32_t b)
    {
        uint8_t* p = row.data() + size_t(x) * 3;
        p[0] = static_cast<uint8_t>(b);
        p[1] = static_cast<uint8_t>(g);
        p[2] = static_cast<uint8_t>(r);
    }
    void store(int32_t m)
    {
        if (row.empty()) return;
        uint8_t* dst = bits.data() + size_t(m) * size_t(rowBytes);
        if (!webSafe) {
            std::memcpy(dst, row.data(), row.size());
            return;
        }
        for (size_t i = 0; i < row.size(); ++i) dst[i] = webSafe[row[i]];
    }
};

int32_t atLeastOne(int32_t v) { return v < 1 ? 1 : v; }

// Hue-circle fields share one shape: for each column x of a segment the
// triple (c1, c2, c3) spreads over six mirrored columns.
void putSixfold(FieldArray& f, int32_t seg, int32_t x, int32_t c1, int32_t c2, int32_t c3)
{
    f.put(x, c1, c2, c3);
    f.put(2 * seg - 1 - x, c2, c1, c3);
    f.put(2 * seg + x, c3, c1, c2);
    f.put(4 * seg - 1 - x, c3, c2, c1);
    f.put(4 * seg + x, c2, c3, c1);
    f.put(6 * seg - 1 - x, c1, c3, c2);
}

// (percent x 2040 rounded) \ 100, the percentage on the scale of 2040.
int32_t scale2040(double percent) { return rnd(pvClamp(percent, 0.0, 100.0) * 2040.0) / 100; }

std::vector<uint8_t> barOf(int32_t barHeight, const uint8_t* webSafe, auto colourOfRow)
{
    FieldArray f(kBarWidth, barHeight, kBarRowBytes, webSafe);
    const int32_t span = atLeastOne(f.h - 1);
    for (int32_t m = 0; m < f.h; ++m) {
        const int32_t c = colourOfRow(m, span);
        for (int32_t x = 0; x < kBarWidth; ++x) f.put(x, colorRed(c), colorGreen(c), colorBlue(c));
        f.store(m);
    }
    return std::move(f.bits);
}

} // namespace

std::vector<uint8_t> hueFieldBits(int32_t W, int32_t H, const HSBRecord& hsb, const uint8_t* webSafe)
{
    FieldArray f(W, H, pvRowBytes(3 * std::max(W, 0)), webSafe);
    const int32_t hue = pvHSBToRGB(hsb);
    const int32_t pure[3] = {colorRed(hue), colorGreen(hue), colorBlue(hue)};
    const int64_t wSpan = std::max(f.w - 1, 0);
    const int64_t divisor = std::max<int64_t>(int64_t(f.h - 1) * wSpan, 1);
    for (int32_t m = 0; m < f.h; ++m) {
        // value(e) = (C m (W - 1) + e (255 - C) m) \ divisor with e = W - 1 - x,
        // stepped along e by quotient and remainder: no division per pixel.
        for (int c = 0; c < 3; ++c) {
            const int64_t start = int64_t(pure[c]) * m * wSpan;
            const int64_t step = int64_t(255 - pure[c]) * m;
            int64_t q = start / divisor, r = start % divisor;
            const int64_t stepQ = step / divisor, stepR = step % divisor;
            for (int32_t e = 0; e < f.w; ++e) {
                f.row[size_t(f.w - 1 - e) * 3 + size_t(2 - c)] = static_cast<uint8_t>(q);
                q += stepQ;
                r += stepR;
                if (r >= divisor) {
                    ++q;
                    r -= divisor;
                }
            }
        }
        f.store(m);
    }
    return std::move(f.bits);
}

std::vector<uint8_t> saturationFieldBits(int32_t W, int32_t H, double S, const uint8_t* webSafe)
{
    FieldArray f(W, H, pvRowBytes(3 * std::max(W, 0)), webSafe);
    const int32_t seg = f.w / 6;
    const int32_t sf = scale2040(S);
    std::vector<int32_t> scaled(static_cast<size_t>(seg));   // 522240 - sf (256 - d) per column
    for (int32_t x = 0; x < seg; ++x) scaled[size_t(x)] = 522240 - sf * (256 - x * 256 / seg);
    const int32_t span = atLeastOne(f.h - 1);
    for (int32_t m = 0; m < f.h; ++m) {
        const int32_t v = m * 2040 / span;
        const int32_t c1 = v / 8;
        const int32_t c3 = (2040 - sf) * v / 16320;
        for (int32_t x = 0; x < seg; ++x) putSixfold(f, seg, x, c1, scaled[size_t(x)] * v / 4177920, c3);
        f.store(m);
    }
    return std::move(f.bits);
}

std::vector<uint8_t> brightnessFieldBits(int32_t W, int32_t H, double B, const uint8_t* webSafe)
{
    FieldArray f(W, H, pvRowBytes(3 * std::max(W, 0)), webSafe);
    const int32_t seg = f.w / 6;
    const int32_t bf = scale2040(B);
    const int32_t c1 = bf / 8;
    std::vector<int32_t> d(static_cast<size_t>(seg));
    for (int32_t x = 0; x < seg; ++x) d[size_t(x)] = x * 256 / seg;
    const int32_t span = atLeastOne(f.h - 1);
    for (int32_t m = 0; m < f.h; ++m) {
        const int32_t s = m * 2040 / span;
        const int32_t c3 = bf * (2040 - s) / 16320;
        for (int32_t x = 0; x < seg; ++x)
            putSixfold(f, seg, x, c1, (522240 - s * (256 - d[size_t(x)])) * bf / 4177920, c3);
        f.store(m);
    }
    return std::move(f.bits);
}

std::vector<uint8_t> rgbFieldBits(int32_t W, int32_t H, int32_t value, int32_t channel, const uint8_t* webSafe)
{
    FieldArray f(W, H, pvRowBytes(3 * std::max(W, 0)), webSafe);
    value = clampInt(value, 0, 255);
    std::vector<int32_t> across(static_cast<size_t>(f.w));
    const int32_t wSpan = atLeastOne(f.w - 1);
    for (int32_t x = 0; x < f.w; ++x) across[size_t(x)] = x * 255 / wSpan;
    const int32_t span = atLeastOne(f.h - 1);
    for (int32_t m = 0; m < f.h; ++m) {
        const int32_t u = m * 255 / span;
        for (int32_t x = 0; x < f.w; ++x) {
            const int32_t h = across[size_t(x)];
            switch (channel) {
            case 0: f.put(x, value, h, u); break;
            case 1: f.put(x, h, value, u); break;
            default: f.put(x, h, u, value); break;
            }
        }
        f.store(m);
    }
    return std::move(f.bits);
}

std::vector<uint8_t> hueBarBits(int32_t barHeight, const uint8_t* webSafe)
{
    return barOf(barHeight, webSafe,
                 [](int32_t m, int32_t span) { return pvHSBToRGB({m * 359.0 / span, 100.0, 100.0}); });
}

std::vector<uint8_t> saturationBarBits(int32_t barHeight, double H, double B, const uint8_t* webSafe)
{
    return barOf(barHeight, webSafe,
                 [&](int32_t m, int32_t span) { return pvHSBToRGB({H, m * 100.0 / span, B}); });
}

std::vector<uint8_t> brightnessBarBits(int32_t barHeight, double H, double S, const uint8_t* webSafe)
{
    return barOf(barHeight, webSafe,
                 [&](int32_t m, int32_t span) { return pvHSBToRGB({H, S, m * 100.0 / span}); });
}

std::vector<uint8_t> rgbBarBits(int32_t barHeight, int32_t channel, const uint8_t* webSafe)
{
    return barOf(barHeight, webSafe, [&](int32_t m, int32_t span) {
        const int32_t level = m * 255 / span;
        return channel == 0 ? rgbColor(level, 0, 0) : channel == 1 ? rgbColor(0, level, 0) : rgbColor(0, 0, level);
    });
}

} // namespace tq
