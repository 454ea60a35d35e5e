// The library call of every special effect: which zorveliLIB function an
// effect number calls and how the effect's inputs become its arguments.
// The effect dialog's preview and the application to the picture make
// their calls through this one table.
//
// Inputs: id, the effect number; v, the strength; c, the colour to replace;
// r, the replacement colour; W and H, the picture's size (only the flips
// use them). An argument that cannot take its value (a strength that does
// not fit the argument's width) means the call is not made, as does an id
// without an effect.
#pragma once

#include "effectslib/EffectsLibraryApi.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace tq {

// One argument as the library takes it: 32-bit, 16-bit or 8-bit unsigned
// whole number, single or double.
using EffectArg = std::variant<int32_t, int16_t, uint8_t, float, double>;

struct EffectCall {
    ZorveliFn function;
    std::vector<EffectArg> args;
    // Set for the tile effect, which draws its tiles over a background: the
    // destination is made the source's size and cleared to this colour
    // before the call.
    std::optional<int32_t> background;

    bool operator==(const EffectCall&) const = default;
};

// The call of effect id with these inputs; nullopt when no call is made.
std::optional<EffectCall> effectCall(int16_t id, int32_t v, int32_t c, int32_t r, int32_t W, int32_t H);

// Prepares the destination where the call asks for it and calls the bound
// library. False when the library lacks the function, the arguments do not
// fit its parameters, or the function fails; the destination then holds
// what it held before the call (or the prepared background).
bool runEffectCall(const EffectCall& call, EffectSurface& dst, const EffectSurface& src, int32_t* EffectReserved);

// Calls one function of the bound library with arguments of exactly its
// parameter kinds; false when a kind or the count differs, or the function
// is missing or fails.
bool callZorveli(ZorveliFn fn, const std::vector<EffectArg>& args, EffectSurface& dst, const EffectSurface& src,
                 int32_t* EffectReserved);

} // namespace tq
