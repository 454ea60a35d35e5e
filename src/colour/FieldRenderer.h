// The colour picker's field and slider pictures for its six modes (hue,
// saturation, brightness, red, green, blue: the mode is what the slider
// sets, the field shows the other two), drawn by the software renderers or
// through the gradient fill, and cached per mode so that dragging inside a
// mode re-renders only what its new value changes.
//
// The picker owns one FieldRenderer for the life of its form: it sets the
// sizes from its layout and the two flags from its options, calls the update
// routine of its mode whenever it sets its colour, and paints FieldPicture
// and BarPicture.
#pragma once

#include "colour/ColourModels.h"
#include "colour/FieldPixels.h"
#include "colour/Picture.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace tq {

// Cache slots, also the picker's modes.
enum FieldMode : int32_t {
    kFieldHue = 0,
    kFieldSaturation = 1,
    kFieldBrightness = 2,
    kFieldRed = 3,
    kFieldGreen = 4,
    kFieldBlue = 5,
};

struct FieldCacheRecord {
    Picture Field;
    Picture Bar;
    bool WebSafeUsed = false;          // the web-safe flag when last stored
    std::array<uint8_t, 4> RGB{};      // red, green and blue modes: the colour's bytes
    HSBRecord HSB;                     // hue, saturation and brightness modes
};

// x (0..65535) as the same 16 bits read as a signed value.
int16_t pvToInteger(int32_t x);
// HIMETRIC -> pixels (15 twips per pixel), unrounded.
double pvHimetricToPixels(double x);
// A picture whose size in pixels is within one pixel of width x height.
bool pvPictureFits(const Picture& picture, int32_t width, int32_t height);

class FieldRenderer {
public:
    int32_t FieldWidth = 0;    // W, a multiple of 6
    int32_t FieldHeight = 0;   // H
    int32_t BarHeight = 0;     // equals H
    bool WebSafe = false;      // "Web colors only"
    bool Accelerate = false;   // fields may be drawn with the gradient fill
    const WebSafeTable Table;  // built with the form

    std::array<FieldCacheRecord, 6> FieldCache;
    Picture FieldPicture;
    Picture BarPicture;

    // The update routines: reuse or render the mode's field and slider,
    // store the key, and make them FieldPicture and BarPicture. The hue mode
    // takes the key (H, 100, 100); saturation and brightness the current
    // HSB; red, green and blue the colour value.
    void pvUpdateHue(const HSBRecord& hsb, bool webSafe);
    void pvUpdateSaturation(const HSBRecord& hsb, bool webSafe);
    void pvUpdateBrightness(const HSBRecord& hsb, bool webSafe);
    void pvUpdateRed(int32_t colour, bool webSafe);
    void pvUpdateGreen(int32_t colour, bool webSafe);
    void pvUpdateBlue(int32_t colour, bool webSafe);

    // Software field pictures, W x H.
    Picture pvCreateRectHue(const HSBRecord& hsb) const;
    Picture pvCreateRectSaturation(double S) const;
    Picture pvCreateRectBrightness(double B) const;
    Picture pvCreateRectRGB(int32_t value, int32_t channel) const;
    // The same fields drawn one gradient per row or column.
    Picture pvCreateRectHueAccel(const HSBRecord& hsb) const;
    Picture pvCreateRectSaturationAccel(double S) const;
    Picture pvCreateRectBrightnessAccel(double B) const;
    Picture pvCreateRectRGBAccel(int32_t value, int32_t channel) const;
    // Slider pictures, 16 x BarHeight, always software.
    Picture pvCreateBarHue() const;
    Picture pvCreateBarSaturation(double H, double B) const;
    Picture pvCreateBarBrightness(double H, double S) const;
    Picture pvCreateBarRGB(int32_t channel) const;

    // A W x H (or 16 x BarHeight) bottom-up 24-bit array as a picture;
    // nothing when the surface cannot be made.
    Picture pvBitsToPicture(std::span<const uint8_t> bytes) const;
    Picture pvBarBitsToPicture(std::span<const uint8_t> bytes) const;

private:
    const uint8_t* table() const { return WebSafe ? Table.data() : nullptr; }
    void updateRGB(FieldMode mode, int32_t colour, bool webSafe);
    // Makes a cache entry's field again unless it still fits the field's
    // size, was made with the same web-safe choice and fieldSame holds;
    // likewise its bar. Both then become the pictures shown.
    void refreshCached(FieldCacheRecord& e, bool webSafe, bool fieldSame, const std::function<Picture()>& makeField,
                       bool barSame, const std::function<Picture()>& makeBar);
};

} // namespace tq
