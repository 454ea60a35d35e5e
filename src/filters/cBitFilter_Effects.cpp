// Colour effects: fixed channel mixes, old photo, thermal and two-level looks.
// Every formula reads the pixel's bytes from Bits, never a byte already
// written for the same pixel.
#include "filters/GreyWeights.h"
#include "filters/PixelWalks.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace tq {

FilterResult cBitFilter::ClassyColors(int16_t Effect)
{
    auto run = [&](auto&& fn) -> FilterResult { return pointPixels(*this, fn); };
    switch (Effect) {
    case 0: {   // soft blue
        std::array<double, 256> k;
        for (int i = 0; i < 256; ++i) k[i] = std::atan(static_cast<double>(i)) / 1.9;
        return run([&](const uint8_t* s, uint8_t* d) {
            uint8_t g, b;
            if (!toByte((s[2] * 0.99 + s[1] * 0.99) / 2.0, g) || !toByte(s[0] * k[s[1]], b)) return false;
            d[1] = g;
            d[2] = s[1];
            d[0] = b;
            return true;
        });
    }
    case 1:   // soft green
        return run([](const uint8_t* s, uint8_t* d) {
            if (!toByte((s[2] * 0.99 + s[1] * 0.99) / 2.0, d[1])) return false;
            d[2] = s[1];
            return true;
        });
    case 2:   // purple
        return run([](const uint8_t* s, uint8_t* d) {
            if (!toByte((s[2] * 0.99 + s[0] * 0.99) / 2.0, d[2])) return false;
            d[0] = s[2];
            return true;
        });
    case 3:   // soft red
        return run([](const uint8_t* s, uint8_t* d) {
            if (!toByte((s[1] * 0.99 + s[0] * 0.99) / 2.0, d[1])) return false;
            d[0] = s[1];
            return true;
        });
    case 6:   // spotted
        return run([](const uint8_t* s, uint8_t* d) {
            uint8_t b, g, r;
            if (!toByte(s[2] / 2.0 + s[0] / 4.0, b) || !toByte(s[2] / 4.0 + s[1] / 2.0, g) ||
                !toByte(s[1] / 4.0 + s[0] / 2.0, r))
                return false;
            d[0] = b;
            d[1] = g;
            d[2] = r;
            return true;
        });
    case 7:   // retro: |k - c - 1| may reach 256, stored as its low eight bits
        return run([](const uint8_t* s, uint8_t* d) {
            int32_t k;
            if (!toInt32((s[0] * 0.99 * 2.0 + s[2] * 0.99) / 12.0, k)) return false;
            const int32_t b = s[0], g = s[1], r = s[2];
            d[0] = lowByte(std::abs(k - g - 1));
            d[1] = lowByte(std::abs(k - r - 1));
            d[2] = lowByte(std::abs(k - b - 1));
            return true;
        });
    case 8:   // soft yellow
        return run([](const uint8_t* s, uint8_t* d) {
            d[0] = s[1];
            d[1] = s[2];
        });
    case 10:   // orange
        return run([](const uint8_t* s, uint8_t* d) {
            uint8_t b, g;
            if (!toByte(s[1] / 2.0, b) || !toByte(s[2] / 2.0, g)) return false;
            d[0] = b;
            d[1] = g;
            return true;
        });
    case 11:   // wet paper
        return run([](const uint8_t* s, uint8_t* d) {
            d[2] = 170;
            d[1] = s[0];
            d[0] = s[1];
        });
    default:   // numbers without an effect walk and leave the picture as it was
        return run([](const uint8_t*, uint8_t*) {});
    }
}

BitsBuffer cBitFilter::OLDPHOTO()
{
    const GreyWeights& w = greyWeights();
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        const uint8_t v = static_cast<uint8_t>(rnd(w.b[s[0]] + w.g[s[1]] + w.r[s[2]]));
        d[1] = d[2] = v;
    });
}

BitsBuffer cBitFilter::THERMIQUE()
{
    return pointPixels(*this, [](const uint8_t* s, uint8_t* d) {
        const uint8_t b = s[0], g = s[1], r = s[2];
        if (r > g && r > b) {
            d[0] = 0;
            d[1] = 0;
        } else if (g > r && g > b) {
            d[0] = 0;
            d[2] = 0;
        } else if (b > g && b > r) {
            d[1] = 0;
            d[2] = 0;
        }
    });
}

namespace {

// 1 when all three channels are bright (above 127.5), 2 when all are dark,
// 0 when they are mixed.
inline int twoLevel(const uint8_t* s)
{
    const int bright = (s[0] >= 128) + (s[1] >= 128) + (s[2] >= 128);
    return bright == 3 ? 1 : (bright == 0 ? 2 : 0);
}

} // namespace

BitsBuffer cBitFilter::XBLACK()
{
    return pointPixels(*this, [](const uint8_t* s, uint8_t* d) {
        const int k = twoLevel(s);
        if (k != 0) d[0] = d[1] = d[2] = k == 1 ? 0 : 255;
    });
}

BitsBuffer cBitFilter::PHOTOCOP()
{
    return pointPixels(*this, [](const uint8_t* s, uint8_t* d) {
        const int k = twoLevel(s);
        if (k != 0) d[0] = d[1] = d[2] = k == 1 ? 255 : 0;
    });
}

} // namespace tq
