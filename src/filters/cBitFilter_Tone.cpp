// Tone and channel filters: each selected pixel from its own three channels,
// plus three luminance statistics of the whole picture.
#include "filters/HslConversion.h"
#include "filters/PixelWalks.h"
#include "filters/PointRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tq {

namespace {

// The sum of the grey levels of the whole picture, ticking after each row.
template <class Tick>
int64_t greySum(cBitFilter& f, Tick&& tick)
{
    const BitsBuffer& bits = f.Bits();
    const int32_t maxX = f.BitsWidth() - 1;
    return reduceRows(
        f, 0, bits.allocated() ? f.BitsHeight() - 1 : -1, int64_t(0),
        [&](int32_t y, int64_t& sum) {
            const uint8_t* s = bits.row(y);
            for (int32_t x = 0; x <= maxX; ++x, s += 4) sum += grey3(s);
        },
        [](int64_t& sum, int64_t other) { sum += other; }, tick);
}

} // namespace

FilterResult cBitFilter::BRIGHTNESS(int32_t Factor)
{
    const ByteTable t = offsetTable(Factor);
    return channelTables(*this, t, t, t);
}

BitsBuffer cBitFilter::ShiftRGB(int32_t rFactor, int32_t gFactor, int32_t bFactor)
{
    return channelTables(*this, offsetTable(bFactor), offsetTable(gFactor), offsetTable(rFactor));
}

FilterResult cBitFilter::Invert()
{
    return pointWords(*this, [](uint32_t p) { return p ^ kColourBytes; });
}

BitsBuffer cBitFilter::GreyScale()
{
    return pointWholePixels(*this, [](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        walkdetail::greyRow(s, d, x1 - x0 + 1, kMarkerByte);
    });
}

BitsBuffer cBitFilter::Threshold(int32_t Factor)
{
    return pointWords(*this, [Factor](uint32_t p) {
        const int32_t grey = static_cast<int32_t>((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) / 3;
        return grey > Factor ? kColourBytes : 0u;
    });
}

std::vector<uint8_t> cBitFilter::saturationTable(int32_t Factor)
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
    return t;
}

BitsBuffer cBitFilter::SATURATION(int32_t Factor)
{
    return greyChannelTable(*this, saturationTable(Factor));
}

BitsBuffer cBitFilter::GammaCorrection(int32_t Factor)
{
    const float k = single((static_cast<double>(Factor) + 100.0) / 100.0);
    ByteTable t{};
    if (k > 0.0f) {
        const double e = 1.0 / k;
        for (int i = 0; i < 256; ++i) {
            uint8_t v = static_cast<uint8_t>(i);
            toByte(std::pow(i / 255.0, e) * 255.0, v);
            t[i] = v;
        }
    }
    return channelTables(*this, t, t, t);
}

FilterResult cBitFilter::COLORIZE(float Hue, float SATURATION, float Luminosity)
{
    // The result depends on B + G + R alone: one entry per sum, marked when
    // the conversion gives no whole numbers.
    // Saturation or luminosity past 0..1 can push a channel out of 0..255:
    // then it is held at the nearest end rather than wrapped. With both
    // fractions in range each channel keeps its low eight bits (only a hue
    // outside -1..5 can leave 0..255 there).
    const bool hold = !(SATURATION >= 0.0f && SATURATION <= 1.0f && Luminosity >= 0.0f && Luminosity <= 1.0f);
    auto store = [hold](int32_t v) { return hold ? static_cast<uint8_t>(clampInt(v, 0, 255)) : lowByte(v); };
    const auto colours = sumTable<uint32_t>([&](int sum) {
        const float l = single(sum / 765.0 * Luminosity);
        int32_t r = 0, g = 0, b = 0;
        if (!Module5::HSLToRGB(Hue, SATURATION, l, r, g, b)) return kNoColour;
        return uint32_t(store(b)) | uint32_t(store(g)) << 8 | uint32_t(store(r)) << 16;
    });
    return sumColours(*this, colours, true);
}

FilterResult cBitFilter::Reduction(int32_t Factor)
{
    const int64_t step = int64_t(Factor) + 1;
    if (step == 0) return std::nullopt;   // division by zero
    ByteTable t{};
    for (int i = 0; i < 256; ++i)
        t[i] = clampByte(int64_t(rndDouble(static_cast<double>(i) / static_cast<double>(step))) * step);
    return channelTables(*this, t, t, t);
}

BitsBuffer cBitFilter::Contrast(int32_t Factor)
{
    // Pass 1: the mean grey of the whole picture.
    const int64_t sum = greySum(*this, [this](int32_t y) { progressAfterRow(y); });
    raiseProgress(100);
    const int64_t count = Bits_.allocated() ? int64_t(MaxX + 1) * (MaxY + 1) : 0;
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
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
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
}

BitsBuffer cBitFilter::Equalize()
{
    // Pass 1 (no progress): histogram of the luminance.
    std::array<double, 256> wb, wg, wr;
    for (int i = 0; i < 256; ++i) {
        wb[i] = 0.113 * i;
        wg[i] = 0.586 * i;
        wr[i] = 0.301 * i;
    }
    using Histogram = std::array<int64_t, 256>;
    const Histogram hist = reduceRows(
        *this, 0, Bits_.allocated() ? MaxY : -1, Histogram{},
        [&](int32_t y, Histogram& h) {
            const uint8_t* s = Bits_.row(y);
            for (int32_t x = 0; x <= MaxX; ++x, s += 4) ++h[rnd(wb[s[0]] + wg[s[1]] + wr[s[2]])];
        },
        [](Histogram& h, const Histogram& other) {
            for (int i = 0; i < 256; ++i) h[i] += other[i];
        },
        noTick);

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
    ByteTable t{};
    for (int v = 0; v < 256; ++v) {
        uint8_t b = static_cast<uint8_t>(v);
        if (v < m) {
            if (m != 1) toByte(v * static_cast<double>(kl), b);
        } else {
            toByte((v - m) * static_cast<double>(ku) + 128.0, b);
        }
        t[v] = b;
    }
    return channelTables(*this, t, t, t);
}

FilterResult cBitFilter::SwapBanks(int32_t Modo)
{
    // Source channel (0 blue, 1 green, 2 red) of new red, green, blue.
    static constexpr int kFrom[6][3] = {{2, 1, 0}, {0, 2, 1}, {1, 0, 2}, {2, 0, 1}, {0, 1, 2}, {1, 2, 0}};
    const int m = (Modo >= 1 && Modo <= 5) ? Modo : 0;
    const uint32_t fr = 8 * kFrom[m][0], fg = 8 * kFrom[m][1], fb = 8 * kFrom[m][2];
    return pointWords(*this, [=](uint32_t p) {
        return ((p >> fb) & 0xFF) | ((p >> fg) & 0xFF) << 8 | ((p >> fr) & 0xFF) << 16;
    });
}

BitsBuffer cBitFilter::SwapRGB(int32_t rBank, int32_t gBank, int32_t bBank, int16_t rInv, int16_t gInv,
                               int16_t bInv, int16_t rKill, int16_t gKill, int16_t bKill)
{
    // Each new channel: the byte of its bank, inverted, then masked by the low
    // byte of the complement of its kill flag. A bank that names no byte of
    // the pixel is a failing step: that channel keeps its own byte.
    struct Out {
        uint32_t shift;   // of the byte taken
        uint32_t flip;    // 255 to invert
        uint32_t mask;
    };
    auto make = [](int32_t bank, int16_t inv, int16_t kill, uint32_t own) {
        if (bank < 0 || bank > 3) return Out{own, 0, 0xFF};
        return Out{8 * static_cast<uint32_t>(bank), inv != 0 ? 0xFFu : 0u, lowByte(~int32_t(kill))};
    };
    const Out ob = make(bBank, bInv, bKill, 0), og = make(gBank, gInv, gKill, 8), orr = make(rBank, rInv, rKill, 16);
    return pointWords(*this, [=](uint32_t p) {
        const auto one = [p](const Out& o) { return (((p >> o.shift) & 0xFF) ^ o.flip) & o.mask; };
        return one(ob) | one(og) << 8 | one(orr) << 16;
    });
}

BitsBuffer cBitFilter::KillChannel(int16_t rChannel, int16_t gChannel, int16_t bChannel)
{
    const uint32_t keep = (bChannel != 0 ? 0u : 0xFFu) | (gChannel != 0 ? 0u : 0xFF00u) | (rChannel != 0 ? 0u : 0xFF0000u);
    return pointWords(*this, [keep](uint32_t p) { return p & keep; });
}

BitsBuffer cBitFilter::SpecialColors(int16_t R, int16_t G, int16_t b)
{
    // A channel flagged -1 is kept, any other is cleared: KillChannel with
    // the flags the other way round.
    return KillChannel(R == -1 ? 0 : 1, G == -1 ? 0 : 1, b == -1 ? 0 : 1);
}

namespace {

// The grey levels of the whole picture (0..MaxX, 0..MaxY) folded by pick,
// from start; no progress.
template <class Pick>
int32_t greyExtreme(cBitFilter& f, int32_t start, Pick pick)
{
    const BitsBuffer& bits = f.Bits();
    const int32_t maxX = f.BitsWidth() - 1;
    return reduceRows(
        f, 0, bits.allocated() ? f.BitsHeight() - 1 : -1, start,
        [&](int32_t y, int32_t& best) {
            const uint8_t* s = bits.row(y);
            for (int32_t x = 0; x <= maxX; ++x, s += 4) best = pick(best, grey3(s));
        },
        [&](int32_t& best, int32_t other) { best = pick(best, other); }, noTick);
}

} // namespace

int32_t cBitFilter::GetLMax()
{
    return greyExtreme(*this, 0, [](int32_t a, int32_t b) { return std::max(a, b); });
}

int32_t cBitFilter::GetLMin()
{
    return greyExtreme(*this, 255, [](int32_t a, int32_t b) { return std::min(a, b); });
}

std::optional<int32_t> cBitFilter::GetLMed()
{
    if (!Bits_.allocated() || MaxX < 0 || MaxY < 0) return std::nullopt;
    const int64_t sum = greySum(*this, noTick);
    return static_cast<int32_t>(sum / (int64_t(MaxX + 1) * (MaxY + 1)));
}

} // namespace tq
