#include "colour/FieldRenderer.h"

#include "gdi/GradientFill.h"
#include "colour/cGradient.h"
#include "document/Numeric.h"

#include <cmath>

namespace tq {

namespace {

std::array<uint8_t, 4> bytesOf(int32_t colour)
{
    const uint32_t v = static_cast<uint32_t>(colour);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// A colour value's channels as vertex components (channel x 256).
void setVertexColour(TriVertex& v, int32_t colour)
{
    v.Red = static_cast<uint16_t>(pvToInteger(colorRed(colour) * 256));
    v.Green = static_cast<uint16_t>(pvToInteger(colorGreen(colour) * 256));
    v.Blue = static_cast<uint16_t>(pvToInteger(colorBlue(colour) * 256));
    v.Alpha = 0;
}

// Draws one rectangle gradient from (x0, y0) to (x1, y1).
void gradientStrip(cGradient& surface, TriVertex a, TriVertex b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   uint32_t mode)
{
    a.x = x0;
    a.y = y0;
    b.x = x1;
    b.y = y1;
    const TriVertex vertices[2] = {a, b};
    const GradientRect mesh{0, 1};
    GradientFill(surface.hdc(), vertices, 2, &mesh, 1, mode);
}

} // namespace

int16_t pvToInteger(int32_t x) { return static_cast<int16_t>(x >= 32768 ? x - 65536 : x); }

double pvHimetricToPixels(double x) { return himetricToPixels(x); }

bool pvPictureFits(const Picture& picture, int32_t width, int32_t height)
{
    if (picture.isNothing()) return false;
    const double w = pvHimetricToPixels(picture.Width());
    const double h = pvHimetricToPixels(picture.Height());
    return std::fabs(width - w) < 1.0 && std::fabs(height - h) < 1.0;
}

// ---- Update routines -----------------------------------------------------------

void FieldRenderer::refreshCached(FieldCacheRecord& e, bool webSafe, bool fieldSame,
                                  const std::function<Picture()>& makeField, bool barSame,
                                  const std::function<Picture()>& makeBar)
{
    if (!(pvPictureFits(e.Field, FieldWidth, FieldHeight) && e.WebSafeUsed == webSafe && fieldSame))
        e.Field = makeField();
    if (!(pvPictureFits(e.Bar, kBarWidth, BarHeight) && e.WebSafeUsed == webSafe && barSame)) e.Bar = makeBar();
    e.WebSafeUsed = WebSafe;
    FieldPicture = e.Field;
    BarPicture = e.Bar;
}

void FieldRenderer::pvUpdateHue(const HSBRecord& hsb, bool webSafe)
{
    FieldCacheRecord& e = FieldCache[kFieldHue];
    const bool software = webSafe || !Accelerate;
    refreshCached(
        e, webSafe, pvSameHSB(e.HSB, hsb),
        [&] { return software ? pvCreateRectHue(hsb) : pvCreateRectHueAccel(hsb); }, true,
        [&] { return pvCreateBarHue(); });
    e.HSB = hsb;
}

void FieldRenderer::pvUpdateSaturation(const HSBRecord& hsb, bool webSafe)
{
    FieldCacheRecord& e = FieldCache[kFieldSaturation];
    const bool software = webSafe || !Accelerate;
    refreshCached(
        e, webSafe, e.HSB.S == hsb.S,
        [&] { return software ? pvCreateRectSaturation(hsb.S) : pvCreateRectSaturationAccel(hsb.S); },
        e.HSB.H == hsb.H && e.HSB.B == hsb.B, [&] { return pvCreateBarSaturation(hsb.H, hsb.B); });
    e.HSB = hsb;
}

void FieldRenderer::pvUpdateBrightness(const HSBRecord& hsb, bool webSafe)
{
    FieldCacheRecord& e = FieldCache[kFieldBrightness];
    const bool software = webSafe || !Accelerate;
    refreshCached(
        e, webSafe, e.HSB.B == hsb.B,
        [&] { return software ? pvCreateRectBrightness(hsb.B) : pvCreateRectBrightnessAccel(hsb.B); },
        e.HSB.H == hsb.H && e.HSB.S == hsb.S, [&] { return pvCreateBarBrightness(hsb.H, hsb.S); });
    e.HSB = hsb;
}

void FieldRenderer::updateRGB(FieldMode mode, int32_t colour, bool webSafe)
{
    const int32_t channel = mode - kFieldRed;
    FieldCacheRecord& e = FieldCache[static_cast<size_t>(mode)];
    const std::array<uint8_t, 4> bytes = bytesOf(colour);
    const uint8_t value = bytes[static_cast<size_t>(channel)];
    const bool software = webSafe || !Accelerate;
    refreshCached(
        e, webSafe, e.RGB[static_cast<size_t>(channel)] == value,
        [&] { return software ? pvCreateRectRGB(value, channel) : pvCreateRectRGBAccel(value, channel); }, true,
        [&] { return pvCreateBarRGB(channel); });
    e.RGB = bytes;
}

void FieldRenderer::pvUpdateRed(int32_t colour, bool webSafe) { updateRGB(kFieldRed, colour, webSafe); }
void FieldRenderer::pvUpdateGreen(int32_t colour, bool webSafe) { updateRGB(kFieldGreen, colour, webSafe); }
void FieldRenderer::pvUpdateBlue(int32_t colour, bool webSafe) { updateRGB(kFieldBlue, colour, webSafe); }

// ---- Software renderers --------------------------------------------------------

Picture FieldRenderer::pvCreateRectHue(const HSBRecord& hsb) const
{
    return pvBitsToPicture(hueFieldBits(FieldWidth, FieldHeight, hsb, table()));
}

Picture FieldRenderer::pvCreateRectSaturation(double S) const
{
    return pvBitsToPicture(saturationFieldBits(FieldWidth, FieldHeight, S, table()));
}

Picture FieldRenderer::pvCreateRectBrightness(double B) const
{
    return pvBitsToPicture(brightnessFieldBits(FieldWidth, FieldHeight, B, table()));
}

Picture FieldRenderer::pvCreateRectRGB(int32_t value, int32_t channel) const
{
    return pvBitsToPicture(rgbFieldBits(FieldWidth, FieldHeight, value, channel, table()));
}

Picture FieldRenderer::pvCreateBarHue() const { return pvBarBitsToPicture(hueBarBits(BarHeight, table())); }

Picture FieldRenderer::pvCreateBarSaturation(double H, double B) const
{
    return pvBarBitsToPicture(saturationBarBits(BarHeight, H, B, table()));
}

Picture FieldRenderer::pvCreateBarBrightness(double H, double S) const
{
    return pvBarBitsToPicture(brightnessBarBits(BarHeight, H, S, table()));
}

Picture FieldRenderer::pvCreateBarRGB(int32_t channel) const
{
    return pvBarBitsToPicture(rgbBarBits(BarHeight, channel, table()));
}

namespace {

Picture bitsToPicture(int32_t width, int32_t height, std::span<const uint8_t> bytes)
{
    cGradient surface;
    if (!surface.Init(width, height)) return {};
    surface.hdc()->stretchMode = gdi::kStretchHalftone;
    surface.SetDIBits(0, 0, width, height, bytes, gdi::kSrcCopy);
    return surface.IMAGE();
}

} // namespace

Picture FieldRenderer::pvBitsToPicture(std::span<const uint8_t> bytes) const
{
    return bitsToPicture(FieldWidth, FieldHeight, bytes);
}

Picture FieldRenderer::pvBarBitsToPicture(std::span<const uint8_t> bytes) const
{
    return bitsToPicture(kBarWidth, BarHeight, bytes);
}

// ---- Gradient-fill renderers -----------------------------------------------------

Picture FieldRenderer::pvCreateRectHueAccel(const HSBRecord& hsb) const
{
    cGradient surface;
    if (!surface.Init(FieldWidth, FieldHeight)) return {};
    const double span = FieldHeight > 1 ? FieldHeight - 1 : 1;
    for (int32_t i = 0; i < FieldHeight; ++i) {
        const double b = 100.0 - i * 100.0 / span;
        TriVertex from, to;
        setVertexColour(from, pvHSBToRGB({hsb.H, 0.0, b}));
        setVertexColour(to, pvHSBToRGB({hsb.H, 100.0, b}));
        gradientStrip(surface, from, to, 0, i, FieldWidth, i + 1, kGradientFillRectH);
    }
    return surface.IMAGE();
}

Picture FieldRenderer::pvCreateRectSaturationAccel(double S) const
{
    cGradient surface;
    if (!surface.Init(FieldWidth, FieldHeight)) return {};
    const double span = FieldWidth > 1 ? FieldWidth - 1 : 1;
    for (int32_t i = 0; i < FieldWidth; ++i) {
        const double h = i * 359.0 / span;
        TriVertex from, to;
        setVertexColour(from, pvHSBToRGB({h, S, 100.0}));
        setVertexColour(to, pvHSBToRGB({h, S, 0.0}));
        gradientStrip(surface, from, to, i, 0, i + 1, FieldHeight, kGradientFillRectV);
    }
    return surface.IMAGE();
}

Picture FieldRenderer::pvCreateRectBrightnessAccel(double B) const
{
    cGradient surface;
    if (!surface.Init(FieldWidth, FieldHeight)) return {};
    const double span = FieldWidth > 1 ? FieldWidth - 1 : 1;
    for (int32_t i = 0; i < FieldWidth; ++i) {
        const double h = i * 359.0 / span;
        TriVertex from, to;
        setVertexColour(from, pvHSBToRGB({h, 100.0, B}));
        setVertexColour(to, pvHSBToRGB({h, 0.0, B}));
        gradientStrip(surface, from, to, i, 0, i + 1, FieldHeight, kGradientFillRectV);
    }
    return surface.IMAGE();
}

Picture FieldRenderer::pvCreateRectRGBAccel(int32_t value, int32_t channel) const
{
    cGradient surface;
    if (!surface.Init(FieldWidth, FieldHeight)) return {};
    const int32_t span = FieldHeight > 1 ? FieldHeight - 1 : 1;
    const uint16_t fixed = static_cast<uint16_t>(pvToInteger(clampInt(value, 0, 255) * 255));
    for (int32_t i = 0; i < FieldHeight; ++i) {
        const uint16_t vertical = static_cast<uint16_t>(pvToInteger((FieldHeight - 1 - i) * 65025 / span));
        TriVertex from, to;
        // Fixed channel, vertical channel (blue, or green for blue), and
        // horizontal channel (green, or red for green and blue).
        uint16_t* fromChannel[3] = {&from.Red, &from.Green, &from.Blue};
        uint16_t* toChannel[3] = {&to.Red, &to.Green, &to.Blue};
        const int32_t fixedIndex = clampInt(channel, 0, 2);
        const int32_t verticalIndex = fixedIndex == 2 ? 1 : 2;
        const int32_t horizontalIndex = fixedIndex == 0 ? 1 : 0;
        *fromChannel[fixedIndex] = *toChannel[fixedIndex] = fixed;
        *fromChannel[verticalIndex] = *toChannel[verticalIndex] = vertical;
        *fromChannel[horizontalIndex] = 0;
        *toChannel[horizontalIndex] = 0xFF00;
        gradientStrip(surface, from, to, 0, i, FieldWidth, i + 1, kGradientFillRectH);
    }
    return surface.IMAGE();
}

} // namespace tq
