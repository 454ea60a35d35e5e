#include "colour/ColourModels.h"

#include "gdi/SystemColours.h"
#include "document/Numeric.h"

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

// The three channel bytes of a colour value after translation; black when
// it cannot be translated.
struct Channels {
    int32_t r = 0, g = 0, b = 0;
};

Channels channelsOf(int32_t colour)
{
    int32_t rgb = 0;
    translateOleColour(colour, rgb);
    return {colorRed(rgb), colorGreen(rgb), colorBlue(rgb)};
}

// x x 255 as a byte, rounded halves to even; 0 when it leaves 0..255.
int32_t channelByte(double x)
{
    uint8_t v = 0;
    toByte(x * 255.0, v);
    return v;
}

} // namespace

WebSafeTable::WebSafeTable()
{
    for (int32_t v = 0; v < 256; ++v) entry_[static_cast<size_t>(v)] = static_cast<uint8_t>((v + 25) / 51 * 51);
}

int32_t pvHSBToRGB(const HSBRecord& hsb)
{
    int32_t r = 0, g = 0, b = 0;
    if (hsb.S > 0.0) {
        const double h = hsb.H / 60.0;
        const double i = std::floor(h);
        const double f = h - i;
        const double v = hsb.B / 100.0;
        const double s = hsb.S / 100.0;
        const double p = (1.0 - s) * v;
        const double q = (1.0 - s * f) * v;
        const double t = (1.0 - (1.0 - f) * s) * v;
        double cr = 0.0, cg = 0.0, cb = 0.0;
        if (i == 0.0) { cr = v; cg = t; cb = p; }
        else if (i == 1.0) { cr = q; cg = v; cb = p; }
        else if (i == 2.0) { cr = p; cg = v; cb = t; }
        else if (i == 3.0) { cr = p; cg = q; cb = v; }
        else if (i == 4.0) { cr = t; cg = p; cb = v; }
        else if (i == 5.0) { cr = v; cg = p; cb = q; }
        r = channelByte(cr);
        g = channelByte(cg);
        b = channelByte(cb);
    } else {
        uint8_t grey = 0;
        toByte(hsb.B * 255.0 / 100.0, grey);
        r = g = b = grey;
    }
    return rgbColor(r, g, b);
}

HSBRecord pvRGBToHSB(int32_t colour)
{
    const Channels c = channelsOf(colour);
    const int32_t mx = std::max(c.r, std::max(c.g, c.b));
    const int32_t mn = std::min(c.r, std::min(c.g, c.b));
    const int32_t d = mx - mn;
    HSBRecord hsb;
    hsb.B = mx * 100.0 / 255.0;
    if (mx > 0) {
        hsb.S = static_cast<double>(d) / mx * 100.0;
    } else {
        hsb.S = 0.0;
        hsb.H = 0.0;
        hsb.B = 0.0;
    }
    if (d > 0) {
        double h;
        if (c.r == mx) h = static_cast<double>(c.g - c.b) / d;
        else if (c.g == mx) h = 2.0 + static_cast<double>(c.b - c.r) / d;
        else h = 4.0 + static_cast<double>(c.r - c.g) / d;
        hsb.H = 60.0 * h;
        if (hsb.H < 0.0) hsb.H += 360.0;
    } else {
        hsb.H = 0.0;
    }
    return hsb;
}

int32_t pvRGBToCMYK(int32_t colour)
{
    const Channels c = channelsOf(colour);
    const int32_t cy = (255 - c.r) * 100 / 255;
    const int32_t mg = (255 - c.g) * 100 / 255;
    const int32_t ye = (255 - c.b) * 100 / 255;
    const int32_t k = pvMin(pvMin(cy, mg), ye);
    return (cy - k) + 256 * (mg - k) + 65536 * (ye - k) + 16777216 * k;
}

double pvGammaExpand(double x)
{
    const double v = std::pow(x, 1.0 / 0.45);
    return std::isnan(v) ? 0.0 : v;
}

XYZRecord pvRGBToXYZ(int32_t colour)
{
    const Channels c = channelsOf(colour);
    const double r = pvGammaExpand(c.r / 255.0);
    const double g = pvGammaExpand(c.g / 255.0);
    const double b = pvGammaExpand(c.b / 255.0);
    XYZRecord xyz;
    xyz.X = 0.412453 * r + 0.35758 * g + 0.180423 * b;
    xyz.Y = 0.212671 * r + 0.71516 * g + 0.072169 * b;
    xyz.Z = 0.019334 * r + 0.119193 * g + 0.950227 * b;
    return xyz;
}

double pvCubeRoot(double x)
{
    if (x < 0.0) return 0.0;
    const double v = std::pow(x, 1.0 / 3.0);
    return std::isnan(v) ? 0.0 : v;
}

LabRecord pvXYZToLab(const XYZRecord& xyz)
{
    const double fx = pvCubeRoot(xyz.X / 0.950456);
    const double fy = pvCubeRoot(xyz.Y / 1.0);
    const double fz = pvCubeRoot(xyz.Z / 1.088754);
    LabRecord lab;
    lab.L = xyz.Y < 0.008856 ? 903.3 * xyz.Y : 116.0 * fy - 16.0;
    lab.a = (fx - fy) * 500.0 / 2.0;
    lab.b = (fy - fz) * 200.0 / 2.0;
    return lab;
}

std::string pvHexPad(int32_t value, int32_t n)
{
    if (n <= 0) return {};
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    uint32_t v = static_cast<uint32_t>(value);
    do {
        hex.insert(hex.begin(), kDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    const size_t want = static_cast<size_t>(n);
    if (hex.size() >= want) return hex.substr(hex.size() - want);
    return std::string(want - hex.size(), '0') + hex;
}

double pvClamp(double x, double min, double max)
{
    if (x < min) return min;
    if (x > max) return max;
    return x;
}

int32_t pvMin(int32_t a, int32_t b) { return a < b ? a : b; }

bool pvSameHSB(const HSBRecord& a, const HSBRecord& b) { return a.H == b.H && a.S == b.S && a.B == b.B; }

HSBRecord pvMakeHSB(double H, double S, double B) { return HSBRecord{H, S, B}; }

} // namespace tq
