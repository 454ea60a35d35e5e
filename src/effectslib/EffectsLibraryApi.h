// The effects library zorveliLIB: one function per special effect, all of
// one shape, arguments in this order:
//   1. the destination surface (what the effect draws into);
//   2. the source surface (read only, never changed);
//   3. the effect's own parameters, by value: int32_t, int16_t, uint8_t,
//      float or double; colours are 32-bit values with red in the low byte
//      (a value with 0x80 in the high byte names a system colour, which the
//      library translates); a true flag is -1;
//   4. last, the address of the caller's EffectReserved variable, which the
//      library never needs (it may be null).
// Each returns true when the destination holds the effect applied to the
// whole source, at the source's size, and false when the call failed; a
// failed call leaves the destination as it was.
//
// A surface is a DibRecord: 32-bit pixels, bytes blue, green, red and a
// fourth byte, rows top-down, no margin. The library gives the destination
// the source's size; a destination that already has that size keeps its
// content until the effect draws over it (the tile effect draws only its
// tiles, so a background prepared by the caller shows between them).
//
// The library is bound on first use: the functions are reached through one
// table of pointers, which the implementation (src/effects) fills when it
// has been registered with registerZorveliBinder. A pointer that is null
// stands for a function the library does not have, and a call through it
// fails. A test swaps in a table of its own (ScopedZorveliLib).
#pragma once

#include "core/BitsBuffer.h"

#include <cstdint>
#include <string_view>

namespace tq {

using EffectSurface = DibRecord;

// Every function of the library, once: X(Name, parameters...). The rest of
// the interface (the table of pointers, the names, the recording double and
// the implementation's declarations) is generated from this list, so a
// signature is written in one place only. Parameters the callers fill with
// a constant are declared 32 bits wide.
#define TQ_ZORVELI_FUNCTIONS(X)                                                                                  \
    X(AdvancedBlur, int16_t Radius, int32_t Tolerance, int32_t IgnoreTolerance)                                  \
    X(AmbientLight, int32_t LightColor, int32_t Intensity)                                                        \
    X(BackDropRemoval, int32_t ColorFrom, int32_t ColorTo, int32_t Tolerance)                                     \
    X(BlockWaves, int16_t BlockSize, int16_t Amplitude, int32_t Direction)                                       \
    X(Blur)                                                                                                       \
    X(Brightness, int32_t Amount)                                                                                 \
    X(Canvas, int32_t Weave)                                                                                      \
    X(Caricature)                                                                                                 \
    X(Cilindrical, double Bend)                                                                                   \
    X(CircularWaves, int16_t Amplitude, int16_t WaveLength)                                                      \
    X(CircularWavesEx, int32_t WaveLength, int16_t Amplitude)                                                    \
    X(ColorBalance, int32_t CyanRed, int32_t MagentaGreen, int16_t YellowBlue)                                   \
    X(ColorRandomize, int32_t Amount)                                                                             \
    X(Contrast, float Red, float Green, float Blue)                                                               \
    X(DetectBorders, int32_t Tolerance, int32_t Color, int32_t BorderColor)                                       \
    X(Diffuse)                                                                                                    \
    X(Emboss, float Depth)                                                                                        \
    X(FarBlur, int32_t Radius)                                                                                    \
    X(FindEdges, int16_t Smoothing, int32_t Strength)                                                             \
    X(FishEye)                                                                                                    \
    X(FishEyeEx, double Strength)                                                                                 \
    X(Flip, int32_t Width, int32_t Height, int32_t Horizontal, int32_t Vertical)                                 \
    X(Fog, int32_t Density)                                                                                       \
    X(FourCorners)                                                                                                \
    X(Fragment, int32_t Offset)                                                                                   \
    X(FrostGlass, int32_t Roughness)                                                                              \
    X(Gamma, float Gamma)                                                                                         \
    X(GrayScale, int32_t Brightness)                                                                              \
    X(Hue, int32_t Degrees)                                                                                       \
    X(Invert, int32_t Threshold)                                                                                  \
    X(Make3DEffect, int32_t Depth)                                                                                \
    X(MediumTones, int32_t Amount)                                                                                \
    X(Melt)                                                                                                       \
    X(Metallic, int32_t Levels, int32_t Shift, int32_t Metal)                                                     \
    X(Mosaic, int32_t BlockSize)                                                                                  \
    X(MotionBlur, double Angle, int32_t Length)                                                                   \
    X(Neon, int16_t Glow, int32_t Intensity)                                                                      \
    X(NotePaper, int32_t Balance, int32_t Relief, int32_t Grain, int32_t LightFrom, int32_t InkColor,             \
      int32_t PaperColor)                                                                                         \
    X(OilPaint, int32_t Radius, int32_t Detail)                                                                   \
    X(PolarCoordinates, int32_t Mode)                                                                             \
    X(RadialBlur, int32_t Degrees)                                                                                \
    X(RainDrops, int32_t Size, int32_t Number, int32_t FishEye)                                                   \
    X(RandomicalPoints, int32_t Density, int32_t Color)                                                           \
    X(ReduceColors, int32_t Step)                                                                                 \
    X(ReduceTo8Colors)                                                                                            \
    X(Relief)                                                                                                     \
    X(Rock, int32_t Roughness)                                                                                    \
    X(Roll)                                                                                                       \
    X(Saturation, int32_t Amount)                                                                                 \
    X(Sepia)                                                                                                      \
    X(Sharpening, float Amount)                                                                                   \
    X(Shift, int32_t Amount)                                                                                      \
    X(SmartBlur, int32_t Tolerance)                                                                               \
    X(Solarize, int32_t Mode)                                                                                     \
    X(SoftnerBlur)                                                                                                \
    X(Stamp, int32_t Threshold)                                                                                   \
    X(StretchHistogram, int32_t Channels, double ClipPercent)                                                     \
    X(Swirl, int32_t Amount)                                                                                      \
    X(Tile, int32_t Across, int32_t Down, int32_t Gap)                                                            \
    X(Tone, int32_t Color, int32_t Amount)                                                                        \
    X(Twirl, int32_t Amount)                                                                                      \
    X(TwirlEx, double CentreTurn, double EdgeTurn)                                                                \
    X(UnsharpMask, int32_t Radius, double Amount)                                                                 \
    X(Waves, int32_t Amplitude, int32_t WaveLength, uint8_t Phase, int32_t BothWays)                              \
    X(WebColors)                                                                                                  \
    X(ZoomBlur, int32_t Amount)

// The functions by name, in the order of the list.
enum class ZorveliFn : int {
#define TQ_ZORVELI_ENUM(Name, ...) Name,
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_ENUM)
#undef TQ_ZORVELI_ENUM
};

inline constexpr int kZorveliFunctionCount = 0
#define TQ_ZORVELI_COUNT(Name, ...) +1
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_COUNT)
#undef TQ_ZORVELI_COUNT
    ;

// The library's name of a function: "zorveliLIB_" and the effect's name.
std::string_view zorveliFunctionName(ZorveliFn fn);

// The bound library: one pointer per function, null where it has none.
struct ZorveliLib {
#define TQ_ZORVELI_POINTER(Name, ...)                                                                           \
    bool (*Name)(EffectSurface & hDestDC, const EffectSurface& hSrcDC __VA_OPT__(, ) __VA_ARGS__,                \
                 int32_t* EffectReserved) = nullptr;
    TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_POINTER)
#undef TQ_ZORVELI_POINTER
};

// How the implementation fills the table; it is run once, at the first use
// after registration.
using ZorveliBinder = void (*)(ZorveliLib& lib);
void registerZorveliBinder(ZorveliBinder binder);

// What the platform context keeps of the library: the table, whether it
// has been filled since the binder was registered, and the binder.
struct ZorveliBinding {
    ZorveliLib lib;
    bool bound = false;
    ZorveliBinder binder = nullptr;
};

// The binding in use: each program context holds one of its own and makes
// it the one in use while it is installed (null: the run's own); the call
// returns the binding that was.
ZorveliBinding& zorveliBindingInUse();
ZorveliBinding* useZorveliBinding(ZorveliBinding* b);

// The library as bound now. Without a registered implementation every
// pointer is null, so every call fails.
const ZorveliLib& zorveliLIB();

// For tests: the table is replaced for the object's lifetime (first use
// counts as done), and the previous binding comes back afterwards.
class ScopedZorveliLib {
public:
    explicit ScopedZorveliLib(const ZorveliLib& lib);
    ~ScopedZorveliLib();
    ScopedZorveliLib(const ScopedZorveliLib&) = delete;
    ScopedZorveliLib& operator=(const ScopedZorveliLib&) = delete;

private:
    ZorveliLib saved_;
    bool savedBound_;
};

} // namespace tq
