#include "dialogs/FilterPages.h"

namespace tq {
namespace {

using Row = FilterRowSpec;
constexpr const char* kCleanBack = "Clean back";

FilterPageSpec page(const char* caption, std::array<const char*, 2> keys, std::initializer_list<Row> rows)
{
    FilterPageSpec p;
    p.caption = caption;
    p.keys = keys;
    for (const Row& r : rows) p.rows[static_cast<size_t>(p.rowCount++)] = r;
    return p;
}
FilterPageSpec withOption(FilterPageSpec p, const char* label, bool ticked)
{
    p.option = label;
    p.optionDefault = ticked;
    return p;
}
FilterPageSpec withPick(FilterPageSpec p, int16_t swatches)
{
    p.pick = true;
    p.swatches = swatches;
    return p;
}
FilterPageSpec withSwatches(FilterPageSpec p, int16_t swatches)
{
    p.swatches = swatches;
    return p;
}
FilterPageSpec centred(FilterPageSpec p)
{
    p.centred = true;
    return p;
}
FilterPageSpec withExtra(FilterPageSpec p, FilterExtra extra)
{
    p.extra = extra;
    return p;
}

std::array<FilterPageSpec, kFilterPageCount> makePages()
{
    return {{
        page("Colorize", {"COLORIZE"}, {{"Hue", 0, 100, 0}, {"Saturation", 0, 100, 50}, {"Luminosity", 0, 100, 100}}),
        page("Brightness", {"BRIGHTNESS", "LIGHTCUSTOM"}, {{"Level", -100, 250, 0}}),
        page("Contrast", {"CONTRAST"}, {{"Level", -100, 250, 0}}),
        page("Saturation", {"CUSTOMSATURATION"}, {{"Level", -100, 250, 0}}),
        centred(page("Gamma correction", {"GAMMA"}, {{"Gamma", 0, 200, 100}})),
        page("Diffuse", {"CUSTOMDIFFUSE"}, {{"Horizontal range", 0, 50, 2}, {"Vertical range", 0, 50, 2}}),
        page("Blur", {"CUSTOMBLUR"}, {{"Level", 0, 2, 0}}),
        page("Halftone", {"HAFTONE"}, {{"Radius", 1, 25, 1}, {"Definition", 0, 100, 50}, {"Intensity", 0, 100, 0}}),
        page("Pixelaze", {"PIXELIZE"}, {{"Pixel size", 1, 25, 2}}),
        page("Emboss", {"CUSTOMEMBOSS"}, {{"Weight", 0, 50, 10}}),
        page("Engrave", {"CUSTOMENGRAVE"}, {{"Weight", 0, 50, 10}}),
        withSwatches(page("Contour", {"CUSTOMCONTOUR"}, {{"Weight", 0, 255, 255}}), kSecondSwatchOnly),
        withSwatches(withOption(page("Sketch", {"SKETCH"}, {{"Weight", 0, 255, 255}}), "B/W", false),
                     kSecondSwatchOnly),
        page("Threshold", {}, {{"Cut value", 0, 255, 128}}),
        withPick(page("Isolate", {"ISOLATE"}, {{"Tolerance", 0, 200, 100}}), kBothSwatches),
        page("Reduction", {"REDUCTION"}, {{"Level", 0, 255, 0}}),
        withPick(page("Replace", {"REPLACE"}, {{"Tolerance", 0, 200, 100}}), kBothSwatches),
        withPick(page("Replace Hue/Saturation", {"REPLACEHUESAT"},
                      {{"Hue Tolerance", 0, 100, 50}, {"Sat. Tolerance", 0, 100, 50}, {"Apply Tolerance", 0, 200, 100}}),
                 kBothSwatches),
        withPick(page("Replace Luminous", {"REPLACELUMINOUS"},
                      {{"Lum. Tolerance", 0, 100, 50}, {"Apply Tolerance", 0, 200, 100}}),
                 kBothSwatches),
        page("Sharpen", {"CUSTOMSHARPEN"}, {{"Level", 0, 100, 0}}),
        page("Soften", {"CUSTOMSOFTEN"}, {{"Level", 0, 100, 0}}),
        withPick(page("Shift", {"SHIFT"}, {{"Shift", -255, 255, 0}, {"Tolerance", 0, 200, 100}}), kFirstSwatchOnly),
        page("Hue rotation", {"HUEROTATION"}, {{"Offset", 0, 100, 0}, {"Saturation", 0, 100, 100}}),
        page("Grey rotation", {"GREYROTATION"}, {{"Offset", 0, 100, 0}, {"Steps", 0, 100, 25}}),
        page("Hue stretch", {"HUESTRETCH"},
             {{"Offset", 0, 100, 0}, {"Saturation", 0, 100, 100}, {"Stretch factor", 0, 100, 0}}),
        page("RGB levels", {"RGBLEVELS"}, {{"Red", -255, 255, 0}, {"Green", -255, 255, 0}, {"Blue", -255, 255, 0}}),
        withExtra(page("RGB banks", {"RGBBANKS"}, {}), FilterExtra::Banks),
        withPick(page("Lens", {"LENS"}, {{"Diameter", 1, 100, 50}, {"Magnify factor", 0, 100, 50}}), kNoSwatches),
        page("Waves", {"WAVES"}, {{"Frequency", 0, 100, 25}, {"Amplitude", 1, 100, 25}, {"Start degree", 0, 360, 0}}),
        withOption(page("Bend", {"BEND"}, {{"Radius factor", -200, 200, 0}}), kCleanBack, true),
        withOption(page("Fold", {"FOLD"}, {{"Horizontal factor", -100, 100, 0}, {"Vertical factor", -100, 100, 0}}),
                   kCleanBack, true),
        withOption(page("Rotate", {"ROTATE"}, {{"Degrees", -180, 180, 0}}), kCleanBack, true),
        withOption(page("Stretch", {"STRETCH"}, {{"Horizontal factor", -100, 100, 0}, {"Vertical factor", -100, 100, 0}}),
                   kCleanBack, true),
        page("Tile", {"TILE"}, {{"Factor", 2, 50, 2}}),
        withOption(page("Twirl", {"TWIRL"}, {{"Level", -100, 100, 0}, {"Offset degrees", -180, 180, 0}}), kCleanBack,
                   true),
        withSwatches(withOption(page("Grid", {"ADDGRID"},
                                     {{"Horizontal step", 1, 250, 25}, {"Vertical step", 1, 250, 25}, {"Opacity", 0, 255, 128}}),
                                "Force margins", true),
                     kSecondSwatchOnly),
        withPick(page("Light", {"LENSFLARE"}, {{"Extension", 1, 100, 50}, {"Intensity", 0, 500, 250}, {"Definition", 0, 100, 0}}),
                 kNoSwatches),
        withOption(page("Noise", {"CUSTOMNOISE", "ADDNOISE"}, {{"Intensity", 0, 100, 25}}), "Equalized", false),
        page("Scanlines", {"ADDSCANLINES"}, {{"Opacity", 0, 255, 128}}),
        withExtra(page("Behind Glass", {"CUSTOMGLASS"}, {}), FilterExtra::Glass),
        withExtra(page("Behind Curtain", {"CUSTOMCURTAIN"}, {}), FilterExtra::Curtain),
    }};
}

} // namespace

const std::array<FilterPageSpec, kFilterPageCount>& filterPages()
{
    static const std::array<FilterPageSpec, kFilterPageCount> pages = makePages();
    return pages;
}

const FilterPageSpec* filterPage(int32_t page)
{
    if (page < 0 || page >= kFilterPageCount) return nullptr;
    return &filterPages()[static_cast<size_t>(page)];
}

int32_t filterPageOfKey(std::string_view key)
{
    const auto& pages = filterPages();
    for (size_t i = 0; i < pages.size(); ++i)
        for (const char* k : pages[i].keys)
            if (k && key == k) return static_cast<int32_t>(i);
    return -1;
}

} // namespace tq
