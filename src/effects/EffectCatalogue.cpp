#include "effects/EffectCatalogue.h"

#include <algorithm>
#include <array>

namespace tq::effects {

namespace {

namespace F = OptionsFrame;

// Row makers, so each line reads like the menu item it describes.
struct Item {
    const char* array;
    int16_t index;
    const char* caption;
    const char* shortcut = "";
    bool visible = true;
};
constexpr Item hidden(const char* array, int16_t index, const char* caption)
{
    return {array, index, caption, "", false};
}
constexpr Item noItem{nullptr, -1, nullptr, "", false};

constexpr EffectEntry atOnce(int16_t id, Item item)
{
    return {id, item.array, item.index, item.caption, item.shortcut, item.visible,
            EffectKind::AtOnce, "", 0, 0, 0, F::None, false};
}
constexpr EffectEntry dialog(int16_t id, Item item, const char* caption, int16_t min, int16_t max, int16_t start,
                             int16_t frame)
{
    return {id, item.array, item.index, item.caption, item.shortcut, item.visible,
            EffectKind::Dialog, caption, min, max, start, frame, false};
}
constexpr EffectEntry previewWide(int16_t id, Item item, const char* caption)
{
    EffectEntry e = dialog(id, item, caption, 0, 0, 0, F::None);
    e.maxIsPreviewWidth = true;
    return e;
}

constexpr const char* Adj = "LayerAdjustment";
constexpr const char* Blur = "LayerBlur";
constexpr const char* Tones = "LayerTones";
constexpr const char* Dist = "LayerDistortion";
constexpr const char* Waves = "LayerWaves";
constexpr const char* Borders = "LayerBorders";
constexpr const char* Fx = "LayerEffects";
constexpr const char* Flip = "LayerFlip";

constexpr std::array kCatalogue = {
    // LayerAdjustment, base 2 (the first six items are never shown).
    dialog(2, hidden(Adj, 0, "Brightness..."), "Special Effects - (Brightness)", -255, 255, 0, F::None),
    dialog(3, hidden(Adj, 1, "Contrast"), "Special Effects - (Contrast)", 0, 255, 100, F::None),
    dialog(4, hidden(Adj, 2, "Sharpening"), "Special Effects - (Sharpen)", 0, 60, 0, F::None),
    dialog(5, hidden(Adj, 3, "Gamma"), "Special Effects - (Gamma)", 0, 255, 25, F::None),
    dialog(6, hidden(Adj, 4, "Reduce Colors"), "Special Effects - (Reduce Colors)", 0, 255, 0, F::None),
    atOnce(7, hidden(Adj, 5, "Reduce to 8 colors")),
    dialog(8, {Adj, 6, "Shift Effect"}, "Special Effects - (Shift)", 0, 255, 0, F::None),
    dialog(9, {Adj, 7, "Saturation"}, "Special Effects - (Saturation)", -255, 512, 0, F::None),
    dialog(10, {Adj, 8, "Hue Adjustment"}, "Special Effects - (Hue Adjustment)", 0, 350, 0, F::None),
    dialog(11, {Adj, 9, "Color Balance"}, "Special Effects - (Color Balance)", -255, 255, 0, F::None),
    atOnce(12, {Adj, 10, "WebColors Mode"}),
    dialog(13, {Adj, 11, "Medium Tones"}, "Special Effects - (Medium Tones)", 0, 255, 0, F::None),
    atOnce(14, {Adj, 12, "Stretch Histogram"}),

    // LayerBlur, base 16.
    atOnce(16, hidden(Blur, 0, "Anti-Alias")),
    atOnce(17, {Blur, 1, "Simple"}),
    atOnce(18, {Blur, 2, "Smart"}),
    dialog(19, {Blur, 3, "Heavy..."}, "Special Effects - (More Blur)", 0, 10, 0, F::None),
    atOnce(20, {Blur, 4, "Softner..."}),
    dialog(21, {Blur, 5, "Motion..."}, "Special Effects - (Motion Blur)", 0, 360, 0, F::None),
    dialog(22, {Blur, 6, "Far..."}, "Special Effects - (Far Blur)", 0, 50, 0, F::None),
    dialog(23, {Blur, 7, "Radial..."}, "Special Effects - (Radial Blur)", 0, 30, 0, F::None),
    dialog(24, {Blur, 8, "Zoom.."}, "Special Effects - (Zoom Blur)", 0, 200, 0, F::None),
    dialog(25, noItem, "Special Effects - (Unsharp Mask)", 0, 10, 0, F::None),

    // LayerTones, base 27.
    dialog(27, {Tones, 0, "Gray Tones"}, "Special Effects - (Gray Scale)", -255, 255, 0, F::None),
    atOnce(28, {Tones, 1, "Sepia Effect"}),
    dialog(29, {Tones, 2, "Ambient Light"}, "Special Effects - (Ambient Light)", 0, 255, 255, F::Color),
    // Its call takes the colour to replace, yet it shows no options frame.
    dialog(30, {Tones, 3, "Tone Adjustment"}, "Special Effects - (Tone)", 0, 255, 0, F::None),

    // LayerDistortion, base 32: the whole "Dis&tortions" menu.
    atOnce(32, {Dist, 0, "Quick Diffuse"}),
    dialog(33, {Dist, 1, "Rock Effect"}, "Special Effects - (Rock)", 0, 6, 0, F::None),
    dialog(34, {Dist, 2, "Artistic Noise"}, "Special Effects - (Noise)", -255, 255, 0, F::None),
    atOnce(35, {Dist, 3, "Melt"}),
    atOnce(36, {Dist, 4, "Fish Eye"}),
    dialog(37, {Dist, 5, "Customized Fish Eye"}, "Special Effects - (FishEye Ex)", -255, 255, 0, F::None),
    dialog(38, {Dist, 6, "Twirl"}, "Special Effects - (Twirl)", -100, 100, 0, F::None),
    dialog(39, {Dist, 7, "TwirlEx"}, "Special Effects - (Twirl Extension)", -100, 100, 0, F::None),
    dialog(40, {Dist, 8, "Swirl", "Ctrl+F"}, "Special Effects - (Swirl)", -255, 255, 0, F::None),
    atOnce(41, {Dist, 9, "Make 3D"}),
    atOnce(42, {Dist, 10, "Four Corners"}),
    atOnce(43, {Dist, 11, "Caricature"}),
    atOnce(44, {Dist, 12, "Roll 360"}),
    atOnce(45, {Dist, 13, "Polar Coordinates"}),
    dialog(46, {Dist, 14, "Cylindrical"}, "Special Effects - (Cylindrical)", -30, 30, 0, F::None),
    dialog(47, {Dist, 15, "Mosaic"}, "Special Effects - (Mosaic)", 0, 255, 0, F::None),

    // LayerWaves, base 48.
    dialog(48, {Waves, 0, "Simple..."}, "Special Effects - (Waves)", 0, 20, 0, F::None),
    dialog(49, {Waves, 1, "Block..."}, "Special Effects - (Block Waves)", 0, 20, 0, F::None),
    dialog(50, {Waves, 2, "Circular..."}, "Special Effects - (Circular Waves)", 0, 20, 0, F::None),
    dialog(51, {Waves, 3, "Circular Enhanced..."}, "Special Effects - (Circular Waves Ex)", 0, 20, 0, F::None),

    // LayerBorders, base 53. "Backdrop Removal" opens the dialog named
    // "Replace Colors"; the hidden "Replace Color" (66) the other way round.
    dialog(53, {Borders, 0, "Backdrop Removal"}, "Special Effects - (Replace Colors)", 0, 255, 0, F::Color),
    dialog(54, {Borders, 1, "Emboss / Engrave"}, "Special Effects - (Emboss / Engrave)", -255, 255, 0, F::None),
    dialog(55, {Borders, 2, "Neon"}, "Special Effects - (Neon)", 0, 5, 0, F::None),
    dialog(56, {Borders, 3, "Detect Borders"}, "Special Effects - (Detect Borders)", 0, 255, 0, F::Color),
    dialog(57, {Borders, 4, "Find Edges"}, "Special Effects - (Find Edges)", 0, 5, 0, F::None),
    dialog(58, {Borders, 5, "Note Paper"}, "Special Effects - (Note Paper)", 0, 255, 0, F::Color),

    // The three metals: no menu item leads to them.
    dialog(60, noItem, "Special Effects - (Metallic)", 0, 255, 0, F::None),
    dialog(61, noItem, "Special Effects - (Gold)", 0, 255, 0, F::None),
    dialog(62, noItem, "Special Effects - (Ice)", 0, 255, 0, F::None),

    // LayerEffects, base 64: the items of "Filters &1" itself.
    dialog(64, {Fx, 0, "Invertion Adjustment"}, "Special Effects - (Invertion)", 0, 255, 0, F::None),
    dialog(65, {Fx, 1, "Monochrome", "Ctrl+M"}, "Special Effects - (Monochrome)", 0, 255, 0, F::None),
    dialog(66, hidden(Fx, 2, "Replace Color"), "Special Effects - (Backdrop Removal)", 0, 255, 0, F::Color),
    dialog(67, {Fx, 3, "Random Points"}, "Special Effects - (Random Points)", 2, 102, 2, F::Color),
    atOnce(68, {Fx, 4, "Solarize"}),
    previewWide(69, {Fx, 5, "Canvas Adjustment"}, "Special Effects - (Canvas)"),
    atOnce(70, {Fx, 6, "Relief"}),
    dialog(71, {Fx, 7, "Tile Effect", "Ctrl+Q"}, "Special Effects - (Tile)", 0, 100, 0, F::TileEffect),
    dialog(72, {Fx, 8, "Fragment"}, "Special Effects - (Fragment)", 0, 50, 0, F::None),
    dialog(73, {Fx, 9, "Fog Effect"}, "Special Effects - (Fog)", 0, 127, 0, F::None),
    dialog(74, {Fx, 10, "Oil Paint"}, "Special Effects - (OilPaint)", 0, 255, 0, F::None),
    atOnce(75, {Fx, 11, "Frost Glass"}),
    atOnce(76, {Fx, 12, "Rain Drop", "Ctrl+R"}),

    // LayerFlip, base 78: the last items of "A&djust". "&&" is the menu's
    // escape for one shown "&"; the stored caption keeps both.
    atOnce(78, {Flip, 0, "Flip Horizontal"}),
    atOnce(79, {Flip, 1, "Flip Vertical"}),
    atOnce(80, {Flip, 2, "Flip Horizontal && Vertical"}),
};

static_assert(kCatalogue.size() == 72);
static_assert(std::is_sorted(kCatalogue.begin(), kCatalogue.end(),
                             [](const EffectEntry& a, const EffectEntry& b) { return a.id < b.id; }));

} // namespace

std::span<const EffectEntry> effectCatalogue() { return kCatalogue; }

const EffectEntry* findEffect(int id)
{
    const auto it = std::lower_bound(kCatalogue.begin(), kCatalogue.end(), id,
                                     [](const EffectEntry& e, int v) { return e.id < v; });
    return it != kCatalogue.end() && it->id == id ? &*it : nullptr;
}

} // namespace tq::effects
