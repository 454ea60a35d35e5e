// The adjustment effects: brightness, contrast, sharpness, gamma, colour
// reduction, colour shift, saturation, hue, colour balance, web colours,
// medium tones and histogram stretch. Each pixel's new value comes from the
// pixel alone (through tables), except the sharpening.
#include "effects/library/Blur.h"
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tq::effects {

namespace {

using Table = ByteTable;

bool finite(double v) { return std::isfinite(v); }

// Mean of (blue + green + red) / 3 over the picture. The sum is whole
// numbers, so the bands' parts add up to the same total in any order.
double meanGrey(ConstPixels s)
{
    const uint64_t sum = reduceBands(
        s.h, 4 * int64_t(s.w), uint64_t(0),
        [&](int32_t y0, int32_t y1, uint64_t& part) {
            for (int32_t y = y0; y < y1; ++y) {
                const uint32_t* row = s.row(y);
                uint64_t rowSum = 0;   // at most 32767 x 765
                int32_t x = 0;
#if defined(__SSE2__)
                // Four pixels a step: the fourth byte masked off, the other
                // twelve summed whole by the byte-difference sum against 0.
                const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
                __m128i sums = _mm_setzero_si128();
                for (; x + 4 <= s.w; x += 4) {
                    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
                    sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(p, colours), _mm_setzero_si128()));
                }
                rowSum = static_cast<uint64_t>(_mm_cvtsi128_si64(sums)) +
                         static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
#endif
                for (; x < s.w; ++x) {
                    const uint32_t p = row[x];
                    rowSum += (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
                }
                part += rowSum;
            }
        },
        [](uint64_t& total, uint64_t part) { total += part; });
    const size_t n = s.count();
    return n ? static_cast<double>(sum) / (3.0 * static_cast<double>(n)) : 0.0;
}

// i -> (i - pivot) k + pivot, rounded and held in 0..255.
Table contrastTable(double pivot, double k)
{
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[i] = clamp255(static_cast<int32_t>(std::lrint(std::clamp((i - pivot) * k + pivot, -1.0, 256.0))));
    return t;
}

// Each channel to the nearest multiple of step + 1 (the engine's reduction).
bool reduceChannels(EffectSurface& dst, const EffectSurface& src, int32_t step)
{
    return runThroughTables(dst, src, [&](cBitFilter& e) { return e.Reduction(step); });
}

} // namespace

// Every channel moved up by Amount, held in 0..255 (the engine's brightness).
bool zorveliLIB_Brightness(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    return runThroughTables(dst, src, [&](cBitFilter& e) { return e.BRIGHTNESS(Amount); });
}

// Each channel spread away from (or drawn towards) the picture's mean grey by
// its own factor; 1 keeps it, 0 makes it flat.
bool zorveliLIB_Contrast(EffectSurface& dst, const EffectSurface& src, float Red, float Green, float Blue, int32_t*)
{
    if (!finite(Red) || !finite(Green) || !finite(Blue) || !validSurface(src)) return false;
    const double pivot = meanGrey(pixelsOf(src));
    const Table tb = contrastTable(pivot, Blue), tg = contrastTable(pivot, Green), tr = contrastTable(pivot, Red);
    return runRows(dst, src, tableRows(tb, tg, tr));
}

// Adds Amount x 5 times the difference between a pixel and the mean of its
// 3 x 3 neighbourhood: 0 keeps the picture, 0.6 sharpens strongly.
bool zorveliLIB_Sharpening(EffectSurface& dst, const EffectSurface& src, float Amount, int32_t*)
{
    if (!finite(Amount)) return false;
    const int32_t k =
        static_cast<int32_t>(std::lrint(std::clamp(static_cast<double>(Amount) * 5.0, -20.0, 20.0) * 256.0));
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (k == 0) return copyPixels(s, d);
        boxBlur(s, d, 1, 1);
        addDifference(s, d, d, k);
    });
}

// The engine's gamma correction, whose factor is the gamma in hundredths
// less 100: 1.0 keeps the picture, 0 turns it black.
bool zorveliLIB_Gamma(EffectSurface& dst, const EffectSurface& src, float Gamma, int32_t*)
{
    if (!finite(Gamma)) return false;
    const int32_t factor =
        static_cast<int32_t>(std::lrint(std::clamp(static_cast<double>(Gamma), 0.0, 1.0e6) * 100.0)) - 100;
    return runThroughTables(dst, src, [&](cBitFilter& e) { return e.GammaCorrection(factor); });
}

// Each channel to the nearest multiple of Step + 1.
bool zorveliLIB_ReduceColors(EffectSurface& dst, const EffectSurface& src, int32_t Step, int32_t*)
{
    return reduceChannels(dst, src, std::clamp(Step, 0, 255));
}

// Each channel either 0 or 255: the reduction with one step over the range.
bool zorveliLIB_ReduceTo8Colors(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return reduceChannels(dst, src, 254);
}

// Every channel value moved up by Amount, wrapping past white round to
// black: the colours cycle.
bool zorveliLIB_Shift(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    Table t{};
    const int32_t a = ((Amount % 256) + 256) % 256;
    for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>((i + a) & 0xFF);
    return runRows(dst, src, tableRows(t));
}

// The engine's saturation with Amount in 255ths: -255 greys the picture, 0
// keeps it, 512 triples each channel's distance from the pixel's grey.
bool zorveliLIB_Saturation(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    const int32_t factor = static_cast<int32_t>(std::lrint(static_cast<double>(Amount) * 100.0 / 255.0));
    const std::vector<uint8_t> t = cBitFilter::saturationTable(factor);
    return runRows(dst, src, [&t](const uint32_t* s, uint32_t* d, int32_t n) {
        walkdetail::greyChannelRow(reinterpret_cast<const uint8_t*>(s), reinterpret_cast<uint8_t*>(d), n, t.data(), 0);
    });
}

// The hue of every pixel turned by Degrees (the engine's hue rotation, which
// counts the turn in hundredths).
bool zorveliLIB_Hue(EffectSurface& dst, const EffectSurface& src, int32_t Degrees, int32_t*)
{
    const int32_t deg = ((Degrees % 360) + 360) % 360;
    const int32_t hundredths = static_cast<int32_t>(std::lrint(deg / 3.6));
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (hundredths % 100 == 0) return copyPixels(s, d), true;
        return throughEngine(s, d, [&](cBitFilter& e) { return e.RotateH(hundredths, 100); });
    });
}

// Red, green and blue moved by their own amounts (towards cyan, magenta and
// yellow when negative): the engine's channel shift.
bool zorveliLIB_ColorBalance(EffectSurface& dst, const EffectSurface& src, int32_t CyanRed, int32_t MagentaGreen,
                             int16_t YellowBlue, int32_t*)
{
    return runThroughTables(dst, src, [&](cBitFilter& e) { return e.ShiftRGB(CyanRed, MagentaGreen, YellowBlue); });
}

// The 216 colours of the web palette: each channel to the nearest multiple
// of 51, the engine's reduction with step 51.
bool zorveliLIB_WebColors(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return reduceChannels(dst, src, 50);
}

// Lifts the middle tones (lowers them for a negative Amount) along a sine
// bump that leaves black and white in place and keeps the order of tones.
bool zorveliLIB_MediumTones(EffectSurface& dst, const EffectSurface& src, int32_t Amount, int32_t*)
{
    const double a = std::clamp(Amount, -255, 255) / 4.0;
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[i] = clamp255(static_cast<int32_t>(std::lrint(i + a * std::sin(3.141592653589793 * i / 255.0))));
    return runRows(dst, src, tableRows(t));
}

// Stretches each channel named in Channels (1 red, 2 green, 4 blue) over the
// whole range, letting ClipPercent of the pixels go, half at each end.
bool zorveliLIB_StretchHistogram(EffectSurface& dst, const EffectSurface& src, int32_t Channels, double ClipPercent,
                                 int32_t*)
{
    if (!finite(ClipPercent) || !validSurface(src)) return false;
    const double clip = std::clamp(ClipPercent, 0.0, 100.0) / 100.0 / 2.0;
    // Counts are whole numbers: the bands' histograms add up to the same
    // totals in any order.
    using Histograms = std::array<std::array<uint64_t, 256>, 3>;
    const ConstPixels s = pixelsOf(src);
    const Histograms hist = reduceBands(
        s.h, 24 * int64_t(s.w), Histograms{},
        [&](int32_t y0, int32_t y1, Histograms& part) {
            for (int32_t y = y0; y < y1; ++y)
                for (const uint32_t* p = s.row(y); p != s.row(y) + s.w; ++p) {
                    ++part[0][*p & 0xFF];
                    ++part[1][(*p >> 8) & 0xFF];
                    ++part[2][(*p >> 16) & 0xFF];
                }
        },
        [](Histograms& total, const Histograms& part) {
            for (int c = 0; c < 3; ++c)
                for (int i = 0; i < 256; ++i) total[c][i] += part[c][i];
        });
    const double cut = clip * static_cast<double>(s.count());
    std::array<Table, 3> t{};
    const int32_t flag[3] = {4, 2, 1};   // blue, green, red
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 256; ++i) t[c][i] = static_cast<uint8_t>(i);
        if (!(Channels & flag[c])) continue;
        int lo = 0, hi = 255;
        for (double run = 0; lo < 255 && (run += static_cast<double>(hist[c][lo])) <= cut;) ++lo;
        for (double run = 0; hi > 0 && (run += static_cast<double>(hist[c][hi])) <= cut;) --hi;
        if (hi <= lo) continue;
        for (int i = 0; i < 256; ++i)
            t[c][i] = clamp255(static_cast<int32_t>(std::lrint((i - lo) * 255.0 / (hi - lo))));
    }
    return runRows(dst, src, tableRows(t[0], t[1], t[2]));
}

} // namespace tq::effects
