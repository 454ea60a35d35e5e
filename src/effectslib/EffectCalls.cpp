#include "effectslib/EffectCalls.h"

#include "platform/SystemColors.h"

#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>

namespace tq {

namespace {

// The argument kinds of the table. Each conversion is the one the effect's
// entry names; a value that does not fit its kind leaves nullopt, and then
// no call is made.
EffectArg I32(int32_t v) { return v; }
EffectArg K(int32_t v) { return v; }
EffectArg F32(double v) { return static_cast<float>(v); }
EffectArg F64(double v) { return v; }

std::optional<EffectArg> I16(int64_t v)
{
    if (v < INT16_MIN || v > INT16_MAX) return std::nullopt;
    return EffectArg{static_cast<int16_t>(v)};
}

std::optional<EffectArg> U8(int64_t v)
{
    if (v < 0 || v > 255) return std::nullopt;
    return EffectArg{static_cast<uint8_t>(v)};
}

// A 32-bit product or a rounded quotient that leaves the 32-bit range.
std::optional<EffectArg> I32Wide(int64_t v)
{
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return EffectArg{static_cast<int32_t>(v)};
}

// Nearest whole number of a quotient, halves to the even neighbour.
int64_t roundedQuotient(int32_t v, double d) { return static_cast<int64_t>(std::nearbyint(v / d)); }

std::optional<EffectCall> make(ZorveliFn fn, std::initializer_list<std::optional<EffectArg>> args)
{
    EffectCall call{fn, {}, std::nullopt};
    for (const auto& a : args) {
        if (!a) return std::nullopt;
        call.args.push_back(*a);
    }
    return call;
}

} // namespace

std::optional<EffectCall> effectCall(int16_t id, int32_t v, int32_t c, int32_t r, int32_t W, int32_t H)
{
    using F = ZorveliFn;
    switch (id) {
    case 2: return make(F::Brightness, {I32(v)});
    case 3: return make(F::Contrast, {F32(v / 100.0), F32(v / 100.0), F32(v / 100.0)});
    case 4: return make(F::Sharpening, {F32(v / 100.0)});
    case 5: return make(F::Gamma, {F32(v / 25.0)});
    case 6: return make(F::ReduceColors, {I32(v)});
    case 7: return make(F::ReduceTo8Colors, {});
    case 8: return make(F::Shift, {I32(v)});
    case 9: return make(F::Saturation, {I32(v)});
    case 10: return make(F::Hue, {I32(v)});
    case 11: return make(F::ColorBalance, {K(0), K(0), I16(v)});
    case 12: return make(F::WebColors, {});
    case 13: return make(F::MediumTones, {I32(v)});
    case 14: return make(F::StretchHistogram, {K(7), F64(1.0)});
    case 16: return make(F::Cilindrical, {F64(v)});
    case 17: return make(F::Blur, {});
    case 18: return make(F::SmartBlur, {K(20)});
    case 19: return make(F::AdvancedBlur, {I16(v), K(25), K(-1)});
    case 20: return make(F::SoftnerBlur, {});
    case 21: return make(F::MotionBlur, {F64(v), K(15)});
    case 22: return make(F::FarBlur, {I32(v)});
    case 23: return make(F::RadialBlur, {I32(v)});
    case 24: return make(F::ZoomBlur, {I32(v)});
    case 25: return make(F::UnsharpMask, {K(2), F64(v)});
    case 27: return make(F::GrayScale, {I32(v)});
    case 28: return make(F::Sepia, {});
    case 29: return make(F::AmbientLight, {I32(c), I32(v)});
    case 30: return make(F::Tone, {I32(c), I32(v)});
    case 32: return make(F::Diffuse, {});
    case 33: return make(F::Rock, {I32(v)});
    case 34: return make(F::ColorRandomize, {I32(v)});
    case 35: return make(F::Melt, {});
    case 36: return make(F::FishEye, {});
    case 37: return make(F::FishEyeEx, {F64(v)});
    case 38: return make(F::Twirl, {I32(v)});
    case 39: return make(F::TwirlEx, {F64(-static_cast<double>(v)), F64(v)});
    case 40: return make(F::Swirl, {I32(v)});
    case 41: return make(F::Make3DEffect, {K(6)});
    case 42: return make(F::FourCorners, {});
    case 43: return make(F::Caricature, {});
    case 44: return make(F::Roll, {});
    case 45: return make(F::PolarCoordinates, {K(0)});
    case 46: return make(F::Cilindrical, {F64(v)});
    case 47: return make(F::Mosaic, {I32(v)});
    case 48: return make(F::Waves, {I32(v), I32(v), U8(v), K(-1)});
    case 49: return make(F::BlockWaves, {I16(v), I16(roundedQuotient(v, 2.0)), K(1)});
    case 50: return make(F::CircularWaves, {I16(v), I16(v)});
    case 51: return make(F::CircularWavesEx, {I32Wide(4 * static_cast<int64_t>(v)), I16(v)});
    case 53: return make(F::BackDropRemoval, {I32(c), I32(r), I32(v)});
    case 54: return make(F::Emboss, {F32(v / 100.0)});
    case 55: return make(F::Neon, {I16(v), K(2)});
    case 56: return make(F::DetectBorders, {I32(v), I32(c), I32(r)});
    case 57: return make(F::FindEdges, {I16(v), K(2)});
    case 58: return make(F::NotePaper, {I32(v), K(2), K(20), K(1), I32(c), I32(r)});
    case 60: return make(F::Metallic, {K(4), I32(v), K(1)});
    case 61: return make(F::Metallic, {K(4), I32(v), K(2)});
    case 62: return make(F::Metallic, {K(4), I32(v), K(3)});
    case 64: return make(F::Invert, {I32(v)});
    case 65: return make(F::Stamp, {I32(v)});
    case 66: return make(F::BackDropRemoval, {I32(c), I32(r), I32(v)});
    case 67: return make(F::RandomicalPoints, {I32(v), I32(c)});
    case 68: return make(F::Solarize, {K(0)});
    case 69: return make(F::Canvas, {I32(v)});
    case 70: return make(F::Relief, {});
    case 71: {
        auto call = make(F::Tile, {I32(v), I32(v), K(6)});
        if (call) call->background = r;
        return call;
    }
    case 72: return make(F::Fragment, {I32(v)});
    case 73: return make(F::Fog, {I32(v)});
    case 74: return make(F::OilPaint, {I32Wide(roundedQuotient(v, 50.0)), I32(v)});
    case 75: return make(F::FrostGlass, {K(3)});
    case 76: return make(F::RainDrops, {K(40), K(50), K(40)});
    case 78: return make(F::Flip, {I32(W), I32(H), K(1), K(0)});
    case 79: return make(F::Flip, {I32(W), I32(H), K(0), K(1)});
    case 80: return make(F::Flip, {I32(W), I32(H), K(1), K(1)});
    default: return std::nullopt;
    }
}

namespace {

// Calls fn with args when each holds exactly the kind of its parameter.
// P... are the function's parameters after the two surfaces: the effect's
// own, then the EffectReserved address.
template <class... P, size_t... I>
bool invokeTyped(bool (*fn)(EffectSurface&, const EffectSurface&, P...), std::index_sequence<I...>,
                 const std::vector<EffectArg>& args, EffectSurface& dst, const EffectSurface& src,
                 int32_t* EffectReserved)
{
    using Params = std::tuple<P...>;
    if (!fn || args.size() != sizeof...(I)) return false;
    if (!(std::holds_alternative<std::tuple_element_t<I, Params>>(args[I]) && ...)) return false;
    return fn(dst, src, std::get<std::tuple_element_t<I, Params>>(args[I])..., EffectReserved);
}

template <class... P>
bool invoke(bool (*fn)(EffectSurface&, const EffectSurface&, P...), const std::vector<EffectArg>& args,
            EffectSurface& dst, const EffectSurface& src, int32_t* EffectReserved)
{
    return invokeTyped(fn, std::make_index_sequence<sizeof...(P) - 1>{}, args, dst, src, EffectReserved);
}

// A source-sized picture of one colour (0x00BBGGRR), marker bytes 0.
void clearTo(EffectSurface& dst, const EffectSurface& src, int32_t color)
{
    const uint32_t px = static_cast<uint32_t>((color >> 16) & 0xFF) | (static_cast<uint32_t>(color) & 0xFF00u) |
        ((static_cast<uint32_t>(color) & 0xFFu) << 16);
    dst.header = BitsHeader::forDib(src.width, src.height);
    dst.width = src.width;
    dst.height = src.height;
    dst.bits.resize(4u * static_cast<size_t>(src.width) * static_cast<size_t>(src.height));
    for (size_t i = 0; i < dst.bits.size(); i += 4) std::memcpy(dst.bits.data() + i, &px, 4);
}

} // namespace

bool callZorveli(ZorveliFn fn, const std::vector<EffectArg>& args, EffectSurface& dst, const EffectSurface& src,
                 int32_t* EffectReserved)
{
    const ZorveliLib& lib = zorveliLIB();
    switch (fn) {
#define TQ_ZORVELI_CASE(Name, ...)                                                                                     \
    case ZorveliFn::Name: return invoke(lib.Name, args, dst, src, EffectReserved);
        TQ_ZORVELI_FUNCTIONS(TQ_ZORVELI_CASE)
#undef TQ_ZORVELI_CASE
    }
    return false;
}

bool runEffectCall(const EffectCall& call, EffectSurface& dst, const EffectSurface& src, int32_t* EffectReserved)
{
    if (call.background && &dst != &src) {
        // The background is a step of its own: a colour that names no
        // system colour leaves the destination as it was, and the call
        // still draws.
        if (const auto color = translateColor(*call.background)) clearTo(dst, src, *color);
    }
    return callZorveli(call.function, call.args, dst, src, EffectReserved);
}

} // namespace tq
