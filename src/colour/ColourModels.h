// The colour notations the colour picker shows beside one colour value
// (hue/saturation/brightness, CMYK, CIE XYZ and L*a*b*, hexadecimal), the
// small numeric routines it shares with them, and the web-safe snapping
// table. Plain functions of their arguments, no Qt.
//
// A colour value is red + 256 x green + 65536 x blue. Every routine that
// takes one first translates it (translateOleColour), so a system-colour
// reference (top bit set) stands for its current RGB; a value that cannot be
// translated counts as black, the result such a failed step leaves. Colour
// values returned have their top byte 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tq {

// A colour as unrounded hue (degrees, 0 up to 360; -1 marks a hue still to
// be derived from RGB), saturation and brightness (percent, 0..100).
struct HSBRecord {
    double H = 0.0;
    double S = 0.0;
    double B = 0.0;
};

struct XYZRecord {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

struct LabRecord {
    double L = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// Channel value -> nearest of the six web-safe levels 0, 51, ..., 255:
// ((v + 25) \ 51) x 51. Built whole by the constructor.
class WebSafeTable {
public:
    WebSafeTable();
    uint8_t operator[](uint8_t v) const { return entry_[v]; }
    const uint8_t* data() const { return entry_.data(); }

private:
    std::array<uint8_t, 256> entry_{};
};

// HSB -> colour value. S <= 0 gives the grey of B; a hue outside 0 up to 360
// gives black; a channel that would leave 0..255 (S or B above 100) is 0.
// Channel bytes round to the nearest, halves to even (127.5 -> 128).
int32_t pvHSBToRGB(const HSBRecord& hsb);

// Colour value -> HSB, unrounded. Ties for the largest channel resolve in
// the order red, green, blue; a grey has hue 0.
HSBRecord pvRGBToHSB(int32_t colour);

// Colour value -> whole percentages C, M, Y, K packed as bytes, C lowest.
int32_t pvRGBToCMYK(int32_t colour);

// Colour value -> CIE XYZ (white point 0.950456, 1, 1.088754); every channel
// gamma-expanded by the power 1/0.45, with no linear segment near black.
XYZRecord pvRGBToXYZ(int32_t colour);

// x raised to 1/0.45; 0 where that power has no real value (x negative).
double pvGammaExpand(double x);

// XYZ -> L*a*b*: L switches to 903.3 Y below Y = 0.008856; a = 250 (fx - fy),
// b = 100 (fy - fz) with plain cube roots.
LabRecord pvXYZToLab(const XYZRecord& xyz);

// x raised to 1/3; 0 for a negative x.
double pvCubeRoot(double x);

// The value in upper-case hexadecimal, zero-padded, its last n digits
// ("" for n <= 0). A negative value shows its 32-bit two's complement.
std::string pvHexPad(int32_t value, int32_t n);

double pvClamp(double x, double min, double max);
int32_t pvMin(int32_t a, int32_t b);
// H, S and B each exactly equal.
bool pvSameHSB(const HSBRecord& a, const HSBRecord& b);
HSBRecord pvMakeHSB(double H, double S, double B);

} // namespace tq
