// The numeric conventions every pixel routine shares.
//
// - rnd(v): nearest whole number, an exact half going to the even neighbour
//   (2.5 -> 2, 3.5 -> 4). Never std::round, which sends halves away from 0.
// - toByte(v, out): rnd(v) stored into a byte; a value that rounds outside
//   0..255 is a failure reported to the caller, never undefined behaviour.
// - single(v): the value as it is after being stored in a 32-bit float.
// - idiv(a, b): whole-number division truncating toward zero.
// - Val(text): the leading number of a text ("42abc" -> 42, "abc" -> 0).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace tq {

// Nearest whole number, ties to even; the current rounding mode is the
// default (to nearest), which nothing in the program changes. std::rint
// gives the same value as std::nearbyint in that mode and the compiler
// expands it inline, where nearbyint is a library call: pixel loops round
// millions of times.
inline double rndDouble(double v) { return std::rint(v); }

// rnd(v) as a 32-bit signed value. Values outside the 32-bit range saturate;
// callers that must treat that as a failure use toInt32().
inline int32_t rnd(double v)
{
    const double r = std::rint(v);
    if (!(r >= -2147483648.0)) return std::numeric_limits<int32_t>::min();
    if (r > 2147483647.0) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

// rnd(v) into a 32-bit signed value; false (out untouched) when it does not fit
// or v is not a number.
inline bool toInt32(double v, int32_t& out)
{
    const double r = std::rint(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
    out = static_cast<int32_t>(r);
    return true;
}

// rnd(v) into a 16-bit signed value; false when it does not fit.
inline bool toInt16(double v, int16_t& out)
{
    const double r = std::rint(v);
    if (!(r >= -32768.0 && r <= 32767.0)) return false;
    out = static_cast<int16_t>(r);
    return true;
}

// byte(v): false (out untouched) when rnd(v) lies outside 0..255.
inline bool toByte(double v, uint8_t& out)
{
    const double r = std::rint(v);
    if (!(r >= 0.0 && r <= 255.0)) return false;
    out = static_cast<uint8_t>(r);
    return true;
}

// A whole number stored into a byte without byte(): its low eight bits.
inline uint8_t lowByte(int32_t v) { return static_cast<uint8_t>(v & 0xFF); }

// A value kept in single precision.
inline float single(double v) { return static_cast<float>(v); }

// a \ b: truncates toward zero (C++'s own integer division does).
constexpr int32_t idiv(int32_t a, int32_t b) { return a / b; }

// Clamp helper for whole numbers.
constexpr int32_t clampInt(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// Colours passed as one number: red in the low byte, then green, then blue.
constexpr uint8_t colorRed(int32_t c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t colorGreen(int32_t c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t colorBlue(int32_t c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr int32_t rgbColor(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Degrees to radians and the program's value of pi, as the pixel routines use
// them: pi is 3.141592 held in single precision.
inline constexpr double kDegToRad = 0.017453288659453392;
inline constexpr float kPi = 3.141592f;

// The leading number of a text, read the way text boxes read numbers:
// leading blanks skipped, an optional sign, digits, an optional fraction and
// exponent; anything after that is ignored; no leading number gives 0.
double Val(std::string_view text);

} // namespace tq
