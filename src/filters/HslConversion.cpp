#include "filters/HslConversion.h"
#include "filters/PaletteMatch.h"

#include "document/Numeric.h"

namespace tq::Module5 {

void RGBToHSL(int32_t r, int32_t g, int32_t b, float& h, float& s, float& l)
{
    const float rf = single(r / 255.0);
    const float gf = single(g / 255.0);
    const float bf = single(b / 255.0);
    const float mx = Max3(rf, gf, bf);
    const float mn = Module6::Min3(rf, gf, bf);
    l = single((static_cast<double>(mx) + mn) / 2.0);
    if (mx == mn) {
        s = 0.0f;
        h = 0.0f;
        return;
    }
    const double d = static_cast<double>(mx) - mn;
    if (l <= 0.5f)
        s = single(d / (static_cast<double>(mx) + mn));
    else
        s = single(d / (2.0 - mx - mn));
    if (rf == mx)
        h = single((static_cast<double>(gf) - bf) / d);
    else if (gf == mx)
        h = single((static_cast<double>(bf) - rf) / d + 2.0);
    else
        h = single((static_cast<double>(rf) - gf) / d + 4.0);
}

bool HSLToRGB(float h, float s, float l, int32_t& r, int32_t& g, int32_t& b)
{
    if (s == 0.0f) {
        int32_t v;
        if (!toInt32(static_cast<double>(l) * 255.0, v)) return false;
        r = g = b = v;
        return true;
    }
    const float m1 = l <= 0.5f ? single(static_cast<double>(l) * (1.0 - s))
                               : single(static_cast<double>(l) - static_cast<double>(s) * (1.0 - l));
    const float m2 = single(2.0 * l - m1);
    const double lo = m1;
    const double hi = m2;
    const double dd = hi - lo;
    const double hh = h;
    double R, G, B;
    if (hh < 0.0) {
        R = hi; G = lo; B = lo - hh * dd;
    } else if (hh < 1.0) {
        R = hi; G = lo + hh * dd; B = lo;
    } else if (hh < 2.0) {
        R = lo - (hh - 2.0) * dd; G = hi; B = lo;
    } else if (hh < 3.0) {
        R = lo; G = hi; B = lo + (hh - 2.0) * dd;
    } else if (hh < 4.0) {
        R = lo; G = lo - (hh - 4.0) * dd; B = hi;
    } else {
        R = lo + (hh - 4.0) * dd; G = lo; B = hi;
    }
    int32_t rr, gg, bb;
    if (!toInt32(R * 255.0, rr) || !toInt32(G * 255.0, gg) || !toInt32(B * 255.0, bb)) return false;
    r = rr;
    g = gg;
    b = bb;
    return true;
}

} // namespace tq::Module5
