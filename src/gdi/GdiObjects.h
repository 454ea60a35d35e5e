// The drawing objects a device context holds: pens, brushes, fonts, bitmaps
// and icons, handed around by pointer the way the drawing code hands around
// handles. Every object made by a create function is tracked until
// deleteObject, which refuses what it does not know (a stale or foreign
// pointer), the stock objects and an object still selected into a context,
// so a wrong handle costs a leak, never a crash. liveObjects() counts the
// tracked objects, which is how the tests see ownership mistakes.
//
// Colours here are plain RGB: red + 256 x green + 65536 x blue.
#pragma once

#include "gdi/PatternBrush.h"

#include <QFont>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>

namespace tq::gdi {

enum class ObjectType { Pen, Brush, Font, Bitmap, Icon };

class DeviceContext;

class Object {
public:
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    ObjectType type() const { return type_; }
    bool isStock() const { return stock_; }

protected:
    Object(ObjectType type, bool stock) : type_(type), stock_(stock) {}

private:
    friend class DeviceContext;
    friend bool deleteObject(Object* object);
    ObjectType type_;
    bool stock_;
    int selections_ = 0;   // contexts that hold it selected
};

// Pen styles and widths as the drawing code passes them.
inline constexpr int32_t kPenSolid = 0;
inline constexpr int32_t kPenDash = 1;
inline constexpr int32_t kPenDot = 2;
inline constexpr int32_t kPenDashDot = 3;
inline constexpr int32_t kPenDashDotDot = 4;
inline constexpr int32_t kPenNull = 5;
inline constexpr int32_t kPenInsideFrame = 6;

class Pen : public Object {
public:
    Pen(int32_t penStyle, int32_t penWidth, uint32_t penColour, bool stock = false)
        : Object(ObjectType::Pen, stock), style(penStyle), width(penWidth), colour(penColour) {}
    const int32_t style;
    const int32_t width;   // 0 and 1 both draw one pixel wide
    const uint32_t colour;
};

// Brush styles and hatch kinds.
inline constexpr int32_t kBrushSolid = 0;
inline constexpr int32_t kBrushNull = 1;
inline constexpr int32_t kBrushHatched = 2;
inline constexpr int32_t kBrushPattern = 3;

inline constexpr int32_t kHatchHorizontal = 0;
inline constexpr int32_t kHatchVertical = 1;
inline constexpr int32_t kHatchForwardDiagonal = 2;
inline constexpr int32_t kHatchBackwardDiagonal = 3;
inline constexpr int32_t kHatchCross = 4;
inline constexpr int32_t kHatchDiagonalCross = 5;

class Brush : public Object {
public:
    Brush(int32_t brushStyle, uint32_t brushColour, const Pattern8& brushPattern, bool stock = false)
        : Object(ObjectType::Brush, stock), style(brushStyle), colour(brushColour), pattern(brushPattern) {}
    const int32_t style;
    const uint32_t colour;     // solid and hatched brushes
    // Hatched: 1 bits are the hatch lines (brush colour), 0 bits the gaps
    // (background colour when the context is opaque, else left alone).
    // Pattern: 0 bits take the context's text colour, 1 bits its
    // background colour.
    const Pattern8 pattern;
};

// A logical font: what a font is made from.
struct LogFont {
    int32_t height = 0;      // < 0: character height in pixels; > 0: cell height; 0: default
    int32_t weight = 400;    // 100..900, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = 0;     // kept, plays no part in the choice of glyphs here
    char faceName[32] = {};  // zero-terminated
};

class Font : public Object {
public:
    Font(const LogFont& font, bool stock = false) : Object(ObjectType::Font, stock), logFont(font) {}
    const LogFont logFont;
    // The Qt font it stands for; needs a GUI application.
    QFont qfont() const;
};

// A colour bitmap: 32-bit pixels, opaque.
class Bitmap : public Object {
public:
    explicit Bitmap(QImage pixels, bool stock = false) : Object(ObjectType::Bitmap, stock), image(std::move(pixels)) {}
    QImage image;

private:
    friend class DeviceContext;
    DeviceContext* selectedIn_ = nullptr;   // a bitmap lives in one context at a time
};

// An icon: 32-bit pixels with alpha 0 where it is transparent, 255 elsewhere.
class Icon : public Object {
public:
    explicit Icon(QImage pixels) : Object(ObjectType::Icon, false), image(std::move(pixels)) {}
    const QImage image;
};

Pen* createPen(int32_t style, int32_t width, uint32_t colour);
Brush* createSolidBrush(uint32_t colour);
// style and hatch as above; a pattern style needs createPatternBrush.
Brush* createBrush(int32_t style, uint32_t colour, int32_t hatch);
Brush* createPatternBrush(const Pattern8& pattern);
Font* createFont(const LogFont& logFont);
// A black opaque bitmap; nullptr when a side is below 1 or above the
// program's largest picture side, or memory runs out.
Bitmap* createBitmap(int32_t width, int32_t height);
// A bitmap holding the image's pixels (made opaque 32-bit); nullptr for a
// null image.
Bitmap* createBitmap(QImage image);
// Takes an image whose alpha says where the icon is opaque; nullptr for a
// null image.
Icon* createIcon(const QImage& image);

// Stock objects, never deleted.
Pen* stockBlackPen();
Pen* stockNullPen();
Brush* stockWhiteBrush();
Brush* stockDarkGreyBrush();
Brush* stockNullBrush();
Font* stockSystemFont();
Bitmap* stockBitmap();   // the 1 x 1 bitmap a new memory context starts with

// Deletes a tracked object; false (and nothing done) for nullptr, an unknown
// pointer, a stock object or one selected into a context.
bool deleteObject(Object* object);
bool isLiveObject(const Object* object);
// A live object or a stock one: what may be selected or drawn with. Never
// reads through the pointer unless it is one of those.
bool isUsable(const Object* object);
size_t liveObjects();

} // namespace tq::gdi
