#include "gdi/GdiObjects.h"

#include "core/BitsBuffer.h"
#include "gdi/DrawingRegistry.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

namespace tq::gdi {

namespace {

std::unordered_set<const void*>& registry() { return drawingRegistry().objects; }

template <class T>
T* track(T* object)
{
    registry().insert(object);
    return object;
}

Pattern8 hatchPattern(int32_t hatch)
{
    Pattern8 p;
    for (int y = 0; y < 8; ++y) {
        uint8_t row = 0;
        const bool horizontal = hatch == kHatchHorizontal || hatch == kHatchCross;
        const bool vertical = hatch == kHatchVertical || hatch == kHatchCross;
        const bool forward = hatch == kHatchForwardDiagonal || hatch == kHatchDiagonalCross;
        const bool backward = hatch == kHatchBackwardDiagonal || hatch == kHatchDiagonalCross;
        if (horizontal && y == 0) row = 0xFF;
        if (vertical) row |= 0x80;
        if (forward) row |= static_cast<uint8_t>(0x80 >> y);
        if (backward) row |= static_cast<uint8_t>(0x01 << y);
        p.rows[static_cast<size_t>(y)] = row;
    }
    return p;
}

} // namespace

QFont Font::qfont() const
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (logFont.faceName[0] != '\0') f.setFamilies({QString::fromUtf8(logFont.faceName)});
    f.setWeight(static_cast<QFont::Weight>(std::clamp(logFont.weight <= 0 ? 400 : logFont.weight, 1, 1000)));
    f.setItalic(logFont.italic);
    f.setUnderline(logFont.underline);
    f.setStrikeOut(logFont.strikeOut);
    f.setStyleStrategy(QFont::NoAntialias);
    if (logFont.height < 0) {
        f.setPixelSize(-logFont.height);
    } else if (logFont.height > 0) {
        // A positive height asks for the whole cell; scale the em size so
        // ascent + descent comes out at that height.
        f.setPixelSize(logFont.height);
        const int cell = QFontMetrics(f).height();
        if (cell > 0 && cell != logFont.height)
            f.setPixelSize(std::max(1, logFont.height * logFont.height / cell));
    } else {
        f.setPixelSize(16);
    }
    return f;
}

Pen* createPen(int32_t style, int32_t width, uint32_t colour)
{
    if (style < kPenSolid || style > kPenInsideFrame) style = kPenSolid;
    return track(new Pen(style, std::max(width, 0), colour & 0xFFFFFF));
}

Brush* createSolidBrush(uint32_t colour) { return track(new Brush(kBrushSolid, colour & 0xFFFFFF, Pattern8{})); }

Brush* createBrush(int32_t style, uint32_t colour, int32_t hatch)
{
    switch (style) {
    case kBrushSolid: return createSolidBrush(colour);
    case kBrushNull: return track(new Brush(kBrushNull, 0, Pattern8{}));
    case kBrushHatched:
        if (hatch < kHatchHorizontal || hatch > kHatchDiagonalCross) return nullptr;
        return track(new Brush(kBrushHatched, colour & 0xFFFFFF, hatchPattern(hatch)));
    default: return nullptr;
    }
}

Brush* createPatternBrush(const Pattern8& pattern) { return track(new Brush(kBrushPattern, 0, pattern)); }

Font* createFont(const LogFont& logFont)
{
    LogFont lf = logFont;
    lf.faceName[sizeof lf.faceName - 1] = '\0';
    return track(new Font(lf));
}

Bitmap* createBitmap(int32_t width, int32_t height)
{
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return nullptr;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return nullptr;
    image.fill(0xFF000000u);
    return track(new (std::nothrow) Bitmap(std::move(image)));
}

Bitmap* createBitmap(QImage image)
{
    if (image.isNull()) return nullptr;
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    return track(new (std::nothrow) Bitmap(std::move(image)));
}

Icon* createIcon(const QImage& image)
{
    if (image.isNull()) return nullptr;
    return track(new Icon(image.convertToFormat(QImage::Format_ARGB32)));
}

Pen* stockBlackPen()
{
    static Pen pen(kPenSolid, 0, 0, true);
    return &pen;
}

Pen* stockNullPen()
{
    static Pen pen(kPenNull, 0, 0, true);
    return &pen;
}

Brush* stockWhiteBrush()
{
    static Brush brush(kBrushSolid, 0xFFFFFF, Pattern8{}, true);
    return &brush;
}

Brush* stockDarkGreyBrush()
{
    static Brush brush(kBrushSolid, 0x404040, Pattern8{}, true);
    return &brush;
}

Brush* stockNullBrush()
{
    static Brush brush(kBrushNull, 0, Pattern8{}, true);
    return &brush;
}

Font* stockSystemFont()
{
    static Font font(LogFont{}, true);
    return &font;
}

Bitmap* stockBitmap()
{
    static Bitmap bitmap(
        [] {
            QImage one(1, 1, QImage::Format_RGB32);
            one.fill(0xFF000000u);
            return one;
        }(),
        true);
    return &bitmap;
}

bool deleteObject(Object* object)
{
    if (!object || !registry().count(object) || object->stock_ || object->selections_ > 0) return false;
    registry().erase(object);
    delete object;
    return true;
}

bool isLiveObject(const Object* object) { return object && registry().count(object) > 0; }

bool isUsable(const Object* object)
{
    if (!object) return false;
    if (isLiveObject(object)) return true;
    return object == stockBlackPen() || object == stockNullPen() || object == stockWhiteBrush() ||
           object == stockDarkGreyBrush() || object == stockNullBrush() || object == stockSystemFont() ||
           object == stockBitmap();
}

size_t liveObjects() { return registry().size(); }

} // namespace tq::gdi
