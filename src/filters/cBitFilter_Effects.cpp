// Colour effects: fixed channel mixes, old photo, thermal and two-level looks.
// Every formula reads the pixel's bytes from Bits, never a byte already
// written for the same pixel.
#include "filters/cBitFilter.h"
#include "filters/GreyWeights.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace tq {

FilterResult cBitFilter::ClassyColors(int16_t Effect)
{
    BitsBuffer out = Bits_;
    auto run = [&](auto&& fn) { return mapSelection(out, fn); };
    bool ok = true;
    switch (Effect) {
    case 0: {   // soft blue
        std::array<double, 256> k;
        for (int i = 0; i < 256; ++i) k[i] = std::atan(static_cast<double>(i)) / 1.9;
        ok = run([&](const uint8_t* s, uint8_t* d) {
            uint8_t g, b;
            if (!toByte((s[2] * 0.99 + s[1] * 0.99) / 2.0, g) || !toByte(s[0] * k[s[1]], b)) return false;
            d[1] = g;
            d[2] = s[1];
            d[0] = b;
            return true;
        });
        break;
    }
    case 1:   // soft green
        ok = run([](const uint8_t* s, uint8_t* d) {
            if (!toByte((s[2] * 0.99 + s[1] * 0.99) / 2.0, d[1])) return false;
            d[2] = s[1];
            return true;
        });
        break;
    case 2:   // purple
        ok = run([](const uint8_t* s, uint8_t* d) {
            if (!toByte((s[2] * 0.99 + s[0] * 0.99) / 2.0, d[2])) return false;
            d[0] = s[2];
            return true;
        });
        break;
    case 3:   // soft red
        ok = run([](const uint8_t* s, uint8_t* d) {
            if (!toByte((s[1] * 0.99 + s[0] * 0.99) / 2.0, d[1])) return false;
            d[0] = s[1];
            return true;
        });
        break;
    case 6:   // spotted
        ok = run([](const uint8_t* s, uint8_t* d) {
            uint8_t b, g, r;
            if (!toByte(s[2] / 2.0 + s[0] / 4.0, b) || !toByte(s[2] / 4.0 + s[1] / 2.0, g) ||
                !toByte(s[1] / 4.0 + s[0] / 2.0, r))
                return false;
            d[0] = b;
            d[1] = g;
            d[2] = r;
            return true;
        });
        break;
    case 7:   // retro: |k - c - 1| may reach 256, stored as its low eight bits
        ok = run([](const uint8_t* s, uint8_t* d) {
            int32_t k;
            if (!toInt32((s[0] * 0.99 * 2.0 + s[2] * 0.99) / 12.0, k)) return false;
            const int32_t b = s[0], g = s[1], r = s[2];
            d[0] = lowByte(std::abs(k - g - 1));
            d[1] = lowByte(std::abs(k - r - 1));
            d[2] = lowByte(std::abs(k - b - 1));
            return true;
        });
        break;
    case 8:   // soft yellow
        ok = run([](const uint8_t* s, uint8_t* d) {
            d[0] = s[1];
            d[1] = s[2];
        });
        break;
    case 10:   // orange
        ok = run([](const uint8_t* s, uint8_t* d) {
            uint8_t b, g;
            if (!toByte(s[1] / 2.0, b) || !toByte(s[2] / 2.0, g)) return false;
            d[0] = b;
            d[1] = g;
            return true;
        });
        break;
    case 11:   // wet paper
        ok = run([](const uint8_t* s, uint8_t* d) {
            d[2] = 170;
            d[1] = s[0];
            d[0] = s[1];
        });
        break;
    default:   // numbers without an effect walk and leave the picture as it was
        ok = run([](const uint8_t*, uint8_t*) {});
        break;
    }
    if (!ok) return std::nullopt;
    return out;
}

BitsBuffer cBitFilter::OLDPHOTO()
{
    const GreyWeights& w = greyWeights();
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        const uint8_t v = static_cast<uint8_t>(rnd(w.b[s[0]] + w.g[s[1]] + w.r[s[2]]));
        d[1] = d[2] = v;
    });
    return out;
}

BitsBuffer cBitFilter::THERMIQUE()
{
    BitsBuffer out = Bits_;
    mapSelection(out, [](const uint8_t* s, uint8_t* d) {
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
    return out;
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
    BitsBuffer out = Bits_;
    mapSelection(out, [](const uint8_t* s, uint8_t* d) {
        const int k = twoLevel(s);
        if (k != 0) d[0] = d[1] = d[2] = k == 1 ? 0 : 255;
    });
    return out;
}

BitsBuffer cBitFilter::PHOTOCOP()
{
    BitsBuffer out = Bits_;
    mapSelection(out, [](const uint8_t* s, uint8_t* d) {
        const int k = twoLevel(s);
        if (k != 0) d[0] = d[1] = d[2] = k == 1 ? 255 : 0;
    });
    return out;
}

} // namespace tq
