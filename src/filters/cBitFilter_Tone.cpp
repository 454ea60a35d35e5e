// Tone and channel filters: each selected pixel from its own three channels,
// plus three luminance statistics of the whole picture.
#include "filters/cBitFilter.h"
#include "filters/GreyWeights.h"
#include "filters/Module5.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tq {

namespace {

using Table256 = std::array<uint8_t, 256>;

// t(i) = i + offset limited to 0..255. The sum is taken wide so that an
// offset near the 32-bit limits saturates instead of wrapping.
Table256 offsetTable(int32_t offset)
{
    Table256 t{};
    for (int i = 0; i < 256; ++i) {
        const int64_t v = int64_t(i) + offset;
        t[i] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    return t;
}

// T(B + G + R): the mean of the three channels, truncated.
inline int32_t grey3(const uint8_t* p) { return (p[0] + p[1] + p[2]) / 3; }

// Every selected pixel's blue, green and red through their tables.
BitsBuffer lookUp(cBitFilter& f, const Table256& tb, const Table256& tg, const Table256& tr)
{
    BitsBuffer out = f.Bits();
    f.mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        d[0] = tb[s[0]];
        d[1] = tg[s[1]];
        d[2] = tr[s[2]];
    });
    return out;
}

} // namespace

FilterResult cBitFilter::BRIGHTNESS(int32_t Factor)
{
    const Table256 t = offsetTable(Factor);
    return lookUp(*this, t, t, t);
}

BitsBuffer cBitFilter::ShiftRGB(int32_t rFactor, int32_t gFactor, int32_t bFactor)
{
    const Table256 tb = offsetTable(bFactor), tg = offsetTable(gFactor), tr = offsetTable(rFactor);
    return lookUp(*this, tb, tg, tr);
}

FilterResult cBitFilter::Invert()
{
    BitsBuffer out = Bits_;
    mapSelection(out, [](const uint8_t* s, uint8_t* d) {
        d[0] = static_cast<uint8_t>(255 - s[0]);
        d[1] = static_cast<uint8_t>(255 - s[1]);
        d[2] = static_cast<uint8_t>(255 - s[2]);
    });
    return out;
}

BitsBuffer cBitFilter::GreyScale()
{
    const GreyWeights& w = greyWeights();
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        // The grey always lies in 0..255: round it straight to a whole number.
        const uint32_t v = static_cast<uint32_t>(std::rint(w.b[s[0]] + w.g[s[1]] + w.r[s[2]]));
        const uint32_t px = v * 0x010101u | (uint32_t(s[3]) << 24);   // marker kept
        std::memcpy(d, &px, 4);
    });
    return out;
}

BitsBuffer cBitFilter::Threshold(int32_t Factor)
{
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        const uint8_t v = grey3(s) > Factor ? 255 : 0;
        d[0] = d[1] = d[2] = v;
    });
    return out;
}

BitsBuffer cBitFilter::SATURATION(int32_t Factor)
{
    const double k = single(Factor / 100.0);
    // c' depends on c and the pixel's grey g alone: a 256 x 256 table. A
    // value past the 32-bit range is a failing step, so its entry keeps c.
    std::vector<uint8_t> t(256 * 256);
    for (int g = 0; g < 256; ++g)
        for (int c = 0; c < 256; ++c) {
            int32_t v;
            t[g * 256 + c] = toInt32(c + k * (c - g), v) ? static_cast<uint8_t>(clampInt(v, 0, 255))
                                                         : static_cast<uint8_t>(c);
        }
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        const uint8_t* row = t.data() + 256 * grey3(s);
        d[0] = row[s[0]];
        d[1] = row[s[1]];
        d[2] = row[s[2]];
    });
    return out;
}

BitsBuffer cBitFilter::GammaCorrection(int32_t Factor)
{
    const float k = single((static_cast<double>(Factor) + 100.0) / 100.0);
    Table256 t{};
    if (k > 0.0f) {
        const double e = 1.0 / k;
        for (int i = 0; i < 256; ++i) {
            uint8_t v = static_cast<uint8_t>(i);
            toByte(std::pow(i / 255.0, e) * 255.0, v);
            t[i] = v;
        }
    }
    return lookUp(*this, t, t, t);
}

FilterResult cBitFilter::COLORIZE(float Hue, float SATURATION, float Luminosity)
{
    // The result depends on B + G + R alone: one entry per sum, each marked
    // when the conversion gives no whole numbers.
    struct Entry {
        uint8_t b, g, r;
        bool ok;
    };
    // Saturation or luminosity past 0..1 can push a channel out of 0..255:
    // then it is held at the nearest end rather than wrapped. With both
    // fractions in range each channel keeps its low eight bits (only a hue
    // outside -1..5 can leave 0..255 there).
    const bool hold = !(SATURATION >= 0.0f && SATURATION <= 1.0f && Luminosity >= 0.0f && Luminosity <= 1.0f);
    auto store = [hold](int32_t v) { return hold ? static_cast<uint8_t>(clampInt(v, 0, 255)) : lowByte(v); };
    std::array<Entry, 766> t;
    for (int sum = 0; sum <= 765; ++sum) {
        const float l = single(sum / 765.0 * Luminosity);
        int32_t r = 0, g = 0, b = 0;
        const bool ok = Module5::HSLToRGB(Hue, SATURATION, l, r, g, b);
        t[sum] = Entry{store(b), store(g), store(r), ok};
    }
    BitsBuffer out = Bits_;
    const bool ok = mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        const Entry& e = t[s[0] + s[1] + s[2]];
        if (!e.ok) return false;
        d[0] = e.b;
        d[1] = e.g;
        d[2] = e.r;
        return true;
    });
    if (!ok) return std::nullopt;
    return out;
}

FilterResult cBitFilter::Reduction(int32_t Factor)
{
    const int64_t step = int64_t(Factor) + 1;
    if (step == 0) return std::nullopt;   // division by zero
    Table256 t{};
    for (int i = 0; i < 256; ++i) {
        const int64_t v = int64_t(rndDouble(static_cast<double>(i) / static_cast<double>(step))) * step;
        t[i] = static_cast<uint8_t>(v > 255 ? 255 : (v < 0 ? 0 : v));
    }
    return lookUp(*this, t, t, t);
}

BitsBuffer cBitFilter::Contrast(int32_t Factor)
{
    // Pass 1: the mean grey of the whole picture.
    int64_t sum = 0;
    int64_t count = 0;
    walkWhole([&](int32_t y) {
        const uint8_t* s = Bits_.row(y);
        for (int32_t x = 0; x <= MaxX; ++x, s += 4) sum += grey3(s);
        count += MaxX + 1;
    });
    // Without pixels the division fails and the mean keeps its start value.
    const int32_t mean = count > 0 ? static_cast<int32_t>(sum / count) : 0;

    const double k = single((static_cast<double>(Factor) + 100.0) / 100.0);
    std::array<int32_t, 256> t{};
    for (int a = 0; a < 256; ++a) {
        int32_t v;
        if (toInt32((a - mean) * k + mean, v)) t[a] = v;
    }

    // Pass 2: a channel driven past the range hands half its excess, with
    // its sign, to the other two until all three fit. The steps run in a
    // fixed order; each is written as selects rather than branches, since
    // which of them fire is different for nearly every pixel.
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        int64_t b = t[s[0]], g = t[s[1]], r = t[s[2]];
        while (b < 0 || b > 255 || g < 0 || g > 255 || r < 0 || r > 255) {
            const bool allLow = b <= 0 && g <= 0 && r <= 0;
            b = allLow ? 0 : b;
            g = allLow ? 0 : g;
            r = allLow ? 0 : r;
            const bool allHigh = b >= 255 && g >= 255 && r >= 255;
            b = allHigh ? 255 : b;
            g = allHigh ? 255 : g;
            r = allHigh ? 255 : r;
            int64_t e = b < 0 ? b / 2 : 0;
            g += e; r += e; b = b < 0 ? 0 : b;
            e = b > 255 ? (b - 255) / 2 : 0;
            g += e; r += e; b = b > 255 ? 255 : b;
            e = g < 0 ? g / 2 : 0;
            b += e; r += e; g = g < 0 ? 0 : g;
            e = g > 255 ? (g - 255) / 2 : 0;
            b += e; r += e; g = g > 255 ? 255 : g;
            e = r < 0 ? r / 2 : 0;
            g += e; b += e; r = r < 0 ? 0 : r;
            e = r > 255 ? (r - 255) / 2 : 0;
            g += e; b += e; r = r > 255 ? 255 : r;
        }
        d[0] = static_cast<uint8_t>(b);
        d[1] = static_cast<uint8_t>(g);
        d[2] = static_cast<uint8_t>(r);
    });
    return out;
}

BitsBuffer cBitFilter::Equalize()
{
    // Pass 1 (no progress): histogram of the luminance.
    std::array<int64_t, 256> hist{};
    if (Bits_.allocated()) {
        std::array<double, 256> wb, wg, wr;
        for (int i = 0; i < 256; ++i) {
            wb[i] = 0.113 * i;
            wg[i] = 0.586 * i;
            wr[i] = 0.301 * i;
        }
        for (int32_t y = 0; y <= MaxY; ++y) {
            const uint8_t* s = Bits_.row(y);
            for (int32_t x = 0; x <= MaxX; ++x, s += 4) ++hist[rnd(wb[s[0]] + wg[s[1]] + wr[s[2]])];
        }
    }

    // The median level m: the level where the running count passes half
    // the pixels, or the one below it when that level only just passes.
    const int64_t pixels = Bits_.allocated() ? int64_t(MaxX + 1) * (MaxY + 1) : 0;
    const int64_t half = pixels / 2;
    int32_t m = 255;
    int64_t run = 0;
    for (int i = 0; i < 256; ++i) {
        run += hist[i];
        if (run > half) {
            m = (run - half >= hist[i] / 2) ? i - 1 : i;
            break;
        }
    }

    // Levels below m spread over 0..127, m goes to 128, the rest to 128..255.
    // A value that gives no byte keeps its level. With m = 1 the lower scale
    // has no finite value; level 0, the only one below, stays 0.
    const float ku = single(127.0 / (255 - m));
    const float kl = m != 1 ? single(127.0 / (m - 1)) : 0.0f;
    Table256 t{};
    for (int v = 0; v < 256; ++v) {
        uint8_t b = static_cast<uint8_t>(v);
        if (v < m) {
            if (m != 1) toByte(v * static_cast<double>(kl), b);
        } else {
            toByte((v - m) * static_cast<double>(ku) + 128.0, b);
        }
        t[v] = b;
    }
    return lookUp(*this, t, t, t);
}

FilterResult cBitFilter::SwapBanks(int32_t Modo)
{
    // Source channel (0 blue, 1 green, 2 red) of new red, green, blue.
    static constexpr int kFrom[6][3] = {{2, 1, 0}, {0, 2, 1}, {1, 0, 2}, {2, 0, 1}, {0, 1, 2}, {1, 2, 0}};
    BitsBuffer out = Bits_;
    const int m = (Modo >= 1 && Modo <= 5) ? Modo : 0;
    const int fr = kFrom[m][0], fg = kFrom[m][1], fb = kFrom[m][2];
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        const uint8_t r = s[fr], g = s[fg], b = s[fb];
        d[0] = b;
        d[1] = g;
        d[2] = r;
    });
    return out;
}

BitsBuffer cBitFilter::SwapRGB(int32_t rBank, int32_t gBank, int32_t bBank, int16_t rInv, int16_t gInv,
                               int16_t bInv, int16_t rKill, int16_t gKill, int16_t bKill)
{
    struct Out {
        int32_t bank;
        bool valid;
        bool inv;
        uint8_t mask;   // low byte of the complement of the kill flag
    };
    auto make = [](int32_t bank, int16_t inv, int16_t kill) {
        return Out{bank, bank >= 0 && bank <= 3, inv != 0, lowByte(~int32_t(kill))};
    };
    const Out ob = make(bBank, bInv, bKill), og = make(gBank, gInv, gKill), orr = make(rBank, rInv, rKill);
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        // A bank that names no channel is a failing step: that channel keeps
        // its value.
        auto one = [s](const Out& o, uint8_t& dst) {
            if (!o.valid) return;
            const uint8_t v = s[o.bank];
            dst = static_cast<uint8_t>((o.inv ? 255 - v : v) & o.mask);
        };
        one(ob, d[0]);
        one(og, d[1]);
        one(orr, d[2]);
    });
    return out;
}

BitsBuffer cBitFilter::KillChannel(int16_t rChannel, int16_t gChannel, int16_t bChannel)
{
    const uint8_t mb = bChannel != 0 ? 0 : 255, mg = gChannel != 0 ? 0 : 255, mr = rChannel != 0 ? 0 : 255;
    BitsBuffer out = Bits_;
    mapSelection(out, [&](const uint8_t* s, uint8_t* d) {
        d[0] = s[0] & mb;
        d[1] = s[1] & mg;
        d[2] = s[2] & mr;
    });
    return out;
}

BitsBuffer cBitFilter::SpecialColors(int16_t R, int16_t G, int16_t b)
{
    // A channel flagged -1 is kept, any other is cleared: KillChannel with
    // the flags the other way round.
    return KillChannel(R == -1 ? 0 : 1, G == -1 ? 0 : 1, b == -1 ? 0 : 1);
}

namespace {

// Hands the grey level of every pixel of the picture (0..MaxX, 0..MaxY) to f.
template <class F>
void forEachGrey(const BitsBuffer& bits, int32_t MaxX, int32_t MaxY, F&& f)
{
    for (int32_t y = 0; y <= MaxY; ++y) {
        const uint8_t* s = bits.row(y);
        for (int32_t x = 0; x <= MaxX; ++x, s += 4) f(grey3(s));
    }
}

} // namespace

int32_t cBitFilter::GetLMax()
{
    int32_t best = 0;
    if (Bits_.allocated()) forEachGrey(Bits_, MaxX, MaxY, [&](int32_t g) { best = std::max(best, g); });
    return best;
}

int32_t cBitFilter::GetLMin()
{
    int32_t best = 255;
    if (Bits_.allocated()) forEachGrey(Bits_, MaxX, MaxY, [&](int32_t g) { best = std::min(best, g); });
    return best;
}

std::optional<int32_t> cBitFilter::GetLMed()
{
    if (!Bits_.allocated() || MaxX < 0 || MaxY < 0) return std::nullopt;
    int64_t sum = 0;
    forEachGrey(Bits_, MaxX, MaxY, [&](int32_t g) { sum += g; });
    return static_cast<int32_t>(sum / (int64_t(MaxX + 1) * (MaxY + 1)));
}

} // namespace tq
