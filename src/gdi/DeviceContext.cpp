#include "gdi/DeviceContext.h"

#include "gdi/SystemColours.h"
#include "core/BitsBuffer.h"
#include "gdi/DrawingRegistry.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace tq::gdi {

namespace {

std::unordered_set<const void*>& createdContexts() { return drawingRegistry().contexts; }

bool hasGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

inline uint32_t* rowOf(QImage* image, int32_t y) { return reinterpret_cast<uint32_t*>(image->scanLine(y)); }
inline const uint32_t* rowOf(const QImage* image, int32_t y)
{
    return reinterpret_cast<const uint32_t*>(image->constScanLine(y));
}

RectI intersect(const RectI& a, const RectI& b)
{
    RectI r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
    if (r.isEmpty()) return {};
    return r;
}

RectI rectOfSize(int32_t x, int32_t y, int32_t w, int32_t h)
{
    return RectI{x, y, static_cast<int32_t>(std::min<int64_t>(int64_t(x) + w, INT32_MAX)),
                 static_cast<int32_t>(std::min<int64_t>(int64_t(y) + h, INT32_MAX))};
}

bool usesPattern(uint32_t rop)
{
    const uint32_t b = (rop >> 16) & 0xFF;
    return ((b >> 4) & 0x0F) != (b & 0x0F);
}
bool usesSource(uint32_t rop)
{
    const uint32_t b = (rop >> 16) & 0xFF;
    return ((b >> 2) & 0x33) != (b & 0x33);
}

// The pixel a brush puts at device (x, y), or false where it leaves the
// surface alone.
struct BrushSource {
    const Brush* brush = nullptr;
    uint32_t fore = 0, back = 0;
    bool gapsKept = false;   // hatch gaps in transparent mode

    BrushSource(const Brush* b, const DeviceContext& dc, bool forBlit) : brush(b)
    {
        if (!b) return;
        if (b->style == kBrushPattern) {
            fore = pixelOf(dc.textColour);
            back = pixelOf(dc.backColour);
        } else {
            fore = pixelOf(b->colour);
            back = pixelOf(dc.backColour);
            gapsKept = b->style == kBrushHatched && !forBlit && dc.backMode == kTransparent;
        }
    }
    bool none() const { return !brush || brush->style == kBrushNull; }
    bool solid() const { return brush && brush->style == kBrushSolid; }
    bool at(int32_t x, int32_t y, uint32_t& px) const
    {
        switch (brush->style) {
        case kBrushSolid: px = fore; return true;
        case kBrushHatched:
            if (brush->pattern.bit(x, y)) { px = fore; return true; }
            if (gapsKept) return false;
            px = back;
            return true;
        case kBrushPattern: px = brush->pattern.bit(x, y) ? back : fore; return true;
        default: return false;
        }
    }
};

// Dash lengths (on, off, on, off...) of the one-pixel pen styles.
std::span<const int32_t> dashesOf(int32_t style)
{
    static const int32_t dash[] = {18, 6};
    static const int32_t dot[] = {3, 3};
    static const int32_t dashDot[] = {9, 6, 3, 6};
    static const int32_t dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case kPenDash: return dash;
    case kPenDot: return dot;
    case kPenDashDot: return dashDot;
    case kPenDashDotDot: return dashDotDot;
    default: return {};
    }
}

// The pixels whose centres a filled path covers.
Region pathCoverage(const QPainterPath& outline)
{
    const QRect box = outline.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (box.isEmpty() || int64_t(box.width()) * box.height() > int64_t(1) << 28) return {};
    QImage mask(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull()) return {};
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(-box.topLeft());
        p.fillPath(outline, Qt::black);
    }
    std::vector<Region::Band> bands;
    for (int32_t y = 0; y < mask.height(); ++y) {
        const uint32_t* row = rowOf(&mask, y);
        std::vector<Region::Span> spans;
        for (int32_t x = 0; x < mask.width();) {
            if (!row[x]) { ++x; continue; }
            const int32_t x0 = x;
            while (x < mask.width() && row[x]) ++x;
            spans.push_back({box.left() + x0, box.left() + x});
        }
        if (!spans.empty()) bands.push_back({box.top() + y, box.top() + y + 1, std::move(spans)});
    }
    return Region::fromBands(std::move(bands));
}

Region strokeCoverage(const QPainterPath& path, int32_t width, Qt::PenJoinStyle join)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(join);
    return pathCoverage(stroker.createStroke(path));
}

uint32_t systemPixel(int32_t index)
{
    int32_t rgb = 0;
    systemColour(index, rgb);
    return pixelOf(static_cast<uint32_t>(rgb));
}

} // namespace

uint32_t mix2(int32_t mode, uint32_t p, uint32_t d)
{
    const uint32_t t = static_cast<uint32_t>(mode - 1) & 0xF;
    uint32_t r = 0;
    if (t & 8) r |= p & d;
    if (t & 4) r |= p & ~d;
    if (t & 2) r |= ~p & d;
    if (t & 1) r |= ~p & ~d;
    return r;
}

uint32_t mix3(uint32_t rop, uint32_t p, uint32_t s, uint32_t d)
{
    const uint32_t b = (rop >> 16) & 0xFF;
    uint32_t r = 0;
    for (uint32_t i = 0; i < 8; ++i) {
        if (!((b >> i) & 1)) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

// ---- Life ------------------------------------------------------------------

DeviceContext::DeviceContext() : memory_(true)
{
    pen_ = stockBlackPen();
    brush_ = stockWhiteBrush();
    font_ = stockSystemFont();
    bitmap_ = stockBitmap();
}

DeviceContext::DeviceContext(QImage* surface) : external_(surface)
{
    pen_ = stockBlackPen();
    brush_ = stockWhiteBrush();
    font_ = stockSystemFont();
    if (external_ && !external_->isNull() && external_->format() != QImage::Format_RGB32 &&
        external_->format() != QImage::Format_ARGB32 && external_->format() != QImage::Format_ARGB32_Premultiplied)
        *external_ = external_->convertToFormat(QImage::Format_RGB32);
}

DeviceContext::~DeviceContext()
{
    for (Object* o : {static_cast<Object*>(pen_), static_cast<Object*>(brush_), static_cast<Object*>(font_),
                      static_cast<Object*>(bitmap_)})
        if (o && o->selections_ > 0) --o->selections_;
    if (bitmap_ && bitmap_->selectedIn_ == this) bitmap_->selectedIn_ = nullptr;
}

DeviceContext* DeviceContext::createCompatible(DeviceContext*)
{
    auto* dc = new DeviceContext();
    createdContexts().insert(dc);
    return dc;
}

bool DeviceContext::destroy(DeviceContext* dc)
{
    if (!dc || !createdContexts().count(dc)) return false;
    createdContexts().erase(dc);
    delete dc;
    return true;
}

bool DeviceContext::isLive(const DeviceContext* dc) { return dc && createdContexts().count(dc) > 0; }

QImage* DeviceContext::surface()
{
    if (memory_) return bitmap_ ? &bitmap_->image : nullptr;
    return external_;
}

const QImage* DeviceContext::surface() const { return const_cast<DeviceContext*>(this)->surface(); }

int32_t DeviceContext::width() const
{
    const QImage* s = surface();
    return s ? s->width() : 0;
}

int32_t DeviceContext::height() const
{
    const QImage* s = surface();
    return s ? s->height() : 0;
}

Object* DeviceContext::select(Object* object)
{
    if (!isUsable(object)) return nullptr;
    auto swap = [&](auto*& slot, auto* next) -> Object* {
        Object* previous = slot;
        if (previous == next) return previous;
        if (previous && previous->selections_ > 0) --previous->selections_;
        ++next->selections_;
        slot = next;
        return previous;
    };
    switch (object->type()) {
    case ObjectType::Pen: return swap(pen_, static_cast<Pen*>(object));
    case ObjectType::Brush: return swap(brush_, static_cast<Brush*>(object));
    case ObjectType::Font: return swap(font_, static_cast<Font*>(object));
    case ObjectType::Bitmap: {
        auto* bmp = static_cast<Bitmap*>(object);
        if (!memory_) return nullptr;
        if (!bmp->isStock() && bmp->selectedIn_ && bmp->selectedIn_ != this) return nullptr;
        Bitmap* previous = bitmap_;
        if (previous && previous->selectedIn_ == this) previous->selectedIn_ = nullptr;
        Object* replaced = swap(bitmap_, bmp);
        if (!bmp->isStock()) bmp->selectedIn_ = this;
        return replaced;
    }
    default: return nullptr;
    }
}

bool DeviceContext::setMixMode(int32_t mode)
{
    if (mode < kMixBlack || mode > kMixWhite) return false;
    mixMode_ = mode;
    return true;
}

bool DeviceContext::setBackMode(int32_t mode)
{
    if (mode != kTransparent && mode != kOpaque) return false;
    backMode = mode;
    return true;
}

RectI DeviceContext::visibleArea() const
{
    const QImage* s = surface();
    if (!s || s->isNull()) return {};
    RectI area{0, 0, s->width(), s->height()};
    if (clip_) area = intersect(area, *clip_);
    return area;
}

Region DeviceContext::clipRegion(const Region& region) const
{
    return Region::combine(region, Region::rect(visibleArea()), CombineMode::And);
}

// ---- Pens and brushes ------------------------------------------------------

void DeviceContext::applyPen(const Region& coverage)
{
    QImage* s = surface();
    if (!s || !pen_ || pen_->style == kPenNull) return;
    const uint32_t p = pixelOf(pen_->colour);
    const Region visible = clipRegion(coverage);
    for (const Region::Band& band : visible.bands())
        for (int32_t y = band.top; y < band.bottom; ++y) {
            uint32_t* row = rowOf(s, y);
            for (const Region::Span& span : band.spans)
                for (int32_t x = span.x0; x < span.x1; ++x)
                    row[x] = 0xFF000000u | mix2(mixMode_, p, row[x]);
        }
}

void DeviceContext::fillWithBrush(const Region& area, const Brush* brush, int32_t mix)
{
    QImage* s = surface();
    const BrushSource source(brush, *this, false);
    if (!s || source.none()) return;
    const Region visible = clipRegion(area);
    for (const Region::Band& band : visible.bands())
        for (int32_t y = band.top; y < band.bottom; ++y) {
            uint32_t* row = rowOf(s, y);
            for (const Region::Span& span : band.spans) {
                if (source.solid() && mix == kMixCopyPen) {
                    std::fill(row + span.x0, row + span.x1, source.fore);
                    continue;
                }
                for (int32_t x = span.x0; x < span.x1; ++x) {
                    uint32_t px;
                    if (source.at(x, y, px)) row[x] = 0xFF000000u | mix2(mix, px, row[x]);
                }
            }
        }
}

void DeviceContext::fillSolid(const RectI& rect, uint32_t pixel)
{
    QImage* s = surface();
    const RectI r = intersect(rect, visibleArea());
    if (!s || r.isEmpty()) return;
    for (int32_t y = r.top; y < r.bottom; ++y) std::fill(rowOf(s, y) + r.left, rowOf(s, y) + r.right, pixel);
}

void DeviceContext::penLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    QImage* s = surface();
    if (!s || !pen_ || pen_->style == kPenNull) return;
    const RectI area = visibleArea();
    const uint32_t on = pixelOf(pen_->colour);
    const uint32_t off = pixelOf(backColour);
    const std::span<const int32_t> dashes = dashesOf(pen_->style);
    size_t dashIndex = 0;
    int32_t dashLeft = dashes.empty() ? 0 : dashes[0];
    const int64_t dx = std::abs(int64_t(x1) - x0), dy = -std::abs(int64_t(y1) - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    int64_t x = x0, y = y0;
    while (x != x1 || y != y1) {
        bool draw = true;
        uint32_t colour = on;
        if (!dashes.empty()) {
            if (dashIndex % 2 == 1) {
                draw = backMode == kOpaque;
                colour = off;
            }
            if (--dashLeft == 0) {
                dashIndex = (dashIndex + 1) % dashes.size();
                dashLeft = dashes[dashIndex];
            }
        }
        if (draw && x >= area.left && x < area.right && y >= area.top && y < area.bottom) {
            uint32_t& d = rowOf(s, static_cast<int32_t>(y))[x];
            d = 0xFF000000u | mix2(mixMode_, colour, d);
        }
        const int64_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void DeviceContext::lineTo(int32_t x, int32_t y)
{
    const PointI from = position_;
    position_ = {x, y};
    if (!pen_ || pen_->style == kPenNull) return;
    if (pen_->width <= 1) {
        penLine(from.x, from.y, x, y);
        return;
    }
    QPainterPath path(QPointF(from.x + 0.5, from.y + 0.5));
    path.lineTo(x + 0.5, y + 0.5);
    applyPen(strokeCoverage(path, pen_->width, Qt::RoundJoin));
}

void DeviceContext::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const bool noPen = !pen_ || pen_->style == kPenNull;
    if (noPen) {
        fillWithBrush(Region::rect(left, top, right - 1, bottom - 1), brush_, mixMode_);
        return;
    }
    if (pen_->width <= 1) {
        fillWithBrush(Region::rect(left + 1, top + 1, right - 1, bottom - 1), brush_, mixMode_);
        if (right - left < 1 || bottom - top < 1) return;
        if (right - left == 1 || bottom - top == 1) {
            applyPen(Region::rect(left, top, right, bottom));
            return;
        }
        penLine(left, top, right - 1, top);
        penLine(right - 1, top, right - 1, bottom - 1);
        penLine(right - 1, bottom - 1, left, bottom - 1);
        penLine(left, bottom - 1, left, top);
        return;
    }
    const int32_t w = pen_->width;
    const double inset = pen_->style == kPenInsideFrame ? w / 2.0 : 0.5;
    fillWithBrush(Region::rect(left + 1, top + 1, right - 1, bottom - 1), brush_, mixMode_);
    QPainterPath path;
    path.addRect(QRectF(QPointF(left + inset, top + inset), QPointF(right - inset, bottom - inset)));
    applyPen(strokeCoverage(path, w, Qt::MiterJoin));
}

void DeviceContext::ellipseOutline(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!pen_ || pen_->style == kPenNull) return;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const int32_t w = std::max(pen_->width, 1);
    if (w == 1 || pen_->style == kPenInsideFrame) {
        applyPen(Region::ellipse(left, top, right, bottom).frame(w, w));
        return;
    }
    // A wide pen straddles the ellipse: grow the shape by half the width.
    const int32_t grow = w / 2;
    applyPen(Region::ellipse(left - grow, top - grow, right + (w - grow), bottom + (w - grow)).frame(w, w));
}

void DeviceContext::fillRect(const RectI& rect, const Brush* brush)
{
    fillWithBrush(Region::rect(rect.left, rect.top, rect.right, rect.bottom), brush, kMixCopyPen);
}

void DeviceContext::frameRect(const RectI& rect, const Brush* brush)
{
    if (rect.isEmpty()) return;
    fillWithBrush(Region::rect(rect).frame(1, 1), brush, kMixCopyPen);
}

void DeviceContext::drawEdge(const RectI& rect, int32_t edge, int32_t flags)
{
    RectI r = rect;
    auto sides = [&](uint32_t lt, uint32_t rb) {
        if (r.isEmpty()) return;
        if (flags & kBorderTop) fillSolid({r.left, r.top, r.right, r.top + 1}, lt);
        if (flags & kBorderLeft) fillSolid({r.left, r.top, r.left + 1, r.bottom}, lt);
        if (flags & kBorderBottom) fillSolid({r.left, r.bottom - 1, r.right, r.bottom}, rb);
        if (flags & kBorderRight) fillSolid({r.right - 1, r.top, r.right, r.bottom}, rb);
        if (flags & kBorderLeft) ++r.left;
        if (flags & kBorderTop) ++r.top;
        if (flags & kBorderRight) --r.right;
        if (flags & kBorderBottom) --r.bottom;
    };
    const int32_t outer = edge & (kEdgeRaisedOuter | kEdgeSunkenOuter);
    const int32_t inner = edge & (kEdgeRaisedInner | kEdgeSunkenInner);
    if (flags & kBorderMono) {
        if (outer) sides(systemPixel(kColourWindowFrame), systemPixel(kColourWindowFrame));
        if (inner) sides(systemPixel(kColourWindow), systemPixel(kColourWindow));
    } else if (flags & kBorderFlat) {
        if (outer) sides(systemPixel(kColourButtonShadow), systemPixel(kColourButtonShadow));
        if (inner) sides(systemPixel(kColourButtonFace), systemPixel(kColourButtonFace));
    } else {
        if (outer & kEdgeRaisedOuter) sides(systemPixel(kColourLight3D), systemPixel(kColourDarkShadow3D));
        else if (outer) sides(systemPixel(kColourButtonShadow), systemPixel(kColourButtonHighlight));
        if (inner & kEdgeRaisedInner) sides(systemPixel(kColourButtonHighlight), systemPixel(kColourButtonShadow));
        else if (inner) sides(systemPixel(kColourDarkShadow3D), systemPixel(kColourLight3D));
    }
    if (flags & kBorderMiddle)
        fillSolid(r, systemPixel((flags & kBorderMono) ? kColourWindow : kColourButtonFace));
}

void DeviceContext::setPixel(int32_t x, int32_t y, uint32_t colour)
{
    const RectI area = visibleArea();
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return;
    rowOf(surface(), y)[x] = pixelOf(colour);
}

uint32_t DeviceContext::getPixel(int32_t x, int32_t y) const
{
    const RectI area = visibleArea();
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return kInvalidColour;
    return colourOf(rowOf(surface(), y)[x]);
}

// ---- Text ------------------------------------------------------------------

QFont DeviceContext::currentFont() const { return (font_ ? font_ : stockSystemFont())->qfont(); }

TextMetrics DeviceContext::textMetrics() const
{
    TextMetrics tm;
    if (!hasGui()) return tm;
    const QFont f = currentFont();
    const QFontMetrics fm(f);
    tm.height = fm.height();
    tm.ascent = fm.ascent();
    tm.descent = fm.descent();
    tm.internalLeading = std::max(0, tm.height - QFontInfo(f).pixelSize());
    tm.externalLeading = fm.leading();
    tm.averageCharWidth = fm.averageCharWidth();
    const LogFont& lf = (font_ ? font_ : stockSystemFont())->logFont;
    tm.weight = lf.weight;
    tm.italic = lf.italic;
    tm.underlined = lf.underline;
    tm.struckOut = lf.strikeOut;
    tm.charSet = lf.charSet;
    tm.digitizedAspectY = kPixelsPerInch;
    return tm;
}

std::string DeviceContext::textFace() const
{
    if (!hasGui()) return {};
    return QFontInfo(currentFont()).family().toStdString();
}

PointI DeviceContext::textExtent(const std::string& text) const
{
    if (!hasGui()) return {};
    const QFontMetrics fm(currentFont());
    return {fm.horizontalAdvance(QString::fromUtf8(text)), fm.height()};
}

int32_t DeviceContext::drawText(const std::string& utf8, RectI& rect, uint32_t flags)
{
    QImage* s = surface();
    if (!hasGui() || !s) return 0;
    const QFont f = currentFont();
    const QFontMetrics fm(f);
    QString text = QString::fromUtf8(utf8);
    int qtFlags = 0;
    if (flags & kTextCenter) qtFlags |= Qt::AlignHCenter;
    else if (flags & kTextRight) qtFlags |= Qt::AlignRight;
    else qtFlags |= Qt::AlignLeft;
    if (flags & kTextSingleLine) {
        qtFlags |= Qt::TextSingleLine;
        if (flags & kTextVCenter) qtFlags |= Qt::AlignVCenter;
        else if (flags & kTextBottom) qtFlags |= Qt::AlignBottom;
        else qtFlags |= Qt::AlignTop;
        if (flags & (kTextEndEllipsis | kTextPathEllipsis))
            text = fm.elidedText(text, (flags & kTextEndEllipsis) ? Qt::ElideRight : Qt::ElideMiddle,
                                 std::max(0, rect.width()));
    } else {
        qtFlags |= Qt::AlignTop;
    }
    if (flags & kTextWordBreak) qtFlags |= Qt::TextWordWrap;
    if (flags & kTextExpandTabs) qtFlags |= Qt::TextExpandTabs;
    if (!(flags & kTextNoPrefix)) qtFlags |= Qt::TextShowMnemonic;

    const bool wraps = (flags & kTextWordBreak) && !(flags & kTextSingleLine);
    const QRect measureBox(rect.left, rect.top, wraps ? std::max(1, rect.width()) : 1 << 20, 1 << 20);
    const QRect needed = fm.boundingRect(measureBox, qtFlags & ~(Qt::AlignHCenter | Qt::AlignRight), text);
    if (flags & kTextCalcRect) {
        rect.right = rect.left + needed.width();
        rect.bottom = rect.top + needed.height();
        return needed.height();
    }
    const QRect box(rect.left, rect.top, rect.width(), rect.height());
    QPainter p(s);
    const RectI area = visibleArea();
    QRect clipBox(area.left, area.top, area.width(), area.height());
    if (!(flags & kTextNoClip)) clipBox &= box;
    p.setClipRect(clipBox);
    p.setFont(f);
    if (backMode == kOpaque) {
        const QRect behind = fm.boundingRect(box, qtFlags, text);
        p.fillRect(behind, QColor::fromRgb(pixelOf(backColour)));
    }
    p.setPen(QColor::fromRgb(pixelOf(textColour)));
    p.drawText(box, qtFlags, text);
    return needed.height();
}

bool DeviceContext::extTextOut(int32_t x, int32_t y, uint32_t flags, const RectI* rect, const std::string& utf8)
{
    QImage* s = surface();
    if (!s) return false;
    if (rect && (flags & kTextOutOpaque)) fillSolid(*rect, pixelOf(backColour));
    if (!hasGui() || utf8.empty()) return true;
    const QFont f = currentFont();
    const QFontMetrics fm(f);
    const QString text = QString::fromUtf8(utf8);
    RectI area = visibleArea();
    if (rect && (flags & kTextOutClipped)) area = intersect(area, *rect);
    if (area.isEmpty()) return true;
    QPainter p(s);
    p.setClipRect(QRect(area.left, area.top, area.width(), area.height()));
    p.setFont(f);
    if (backMode == kOpaque)
        p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), QColor::fromRgb(pixelOf(backColour)));
    p.setPen(QColor::fromRgb(pixelOf(textColour)));
    p.drawText(QPoint(x, y + fm.ascent()), text);
    return true;
}

// ---- Blits -----------------------------------------------------------------

bool DeviceContext::blit(int32_t x, int32_t y, int32_t w, int32_t h, const QImage* source, int32_t sx, int32_t sy,
                         uint32_t rop)
{
    QImage* s = surface();
    if (!s || w <= 0 || h <= 0) return false;
    const bool needSource = usesSource(rop);
    if (needSource && (!source || source->isNull())) return false;
    RectI target = intersect(rectOfSize(x, y, w, h), visibleArea());
    if (needSource) {
        // Only the destination pixels whose source lies on the source.
        const int64_t left = int64_t(x) - sx, top = int64_t(y) - sy;
        const RectI onSource{static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(top, INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(left + source->width(), INT32_MIN, INT32_MAX)),
                             static_cast<int32_t>(std::clamp<int64_t>(top + source->height(), INT32_MIN, INT32_MAX))};
        target = intersect(target, onSource);
    }
    if (target.isEmpty()) return true;
    const int32_t offX = sx - x, offY = sy - y;
    QImage copy;
    const QImage* src = source;
    if (needSource && source == s) {
        copy = source->copy(target.left + offX, target.top + offY, target.width(), target.height());
        src = &copy;
    }
    // The source pixel of the target's first column in row dy.
    auto srcRow = [&](int32_t dy) -> const uint32_t* {
        if (src == &copy) return rowOf(src, dy - target.top);
        return rowOf(src, dy + offY) + (target.left + offX);
    };
    const bool sourceOpaque = src && src->format() == QImage::Format_RGB32;
    if (rop == kSrcCopy) {
        for (int32_t dy = target.top; dy < target.bottom; ++dy) {
            uint32_t* d = rowOf(s, dy) + target.left;
            const uint32_t* from = srcRow(dy);
            if (sourceOpaque) std::memcpy(d, from, size_t(target.width()) * 4);
            else
                for (int32_t i = 0; i < target.width(); ++i) d[i] = 0xFF000000u | from[i];
        }
        return true;
    }
    const BrushSource pattern(brush_, *this, true);
    const bool needPattern = usesPattern(rop) && !pattern.none();
    for (int32_t dy = target.top; dy < target.bottom; ++dy) {
        uint32_t* d = rowOf(s, dy);
        const uint32_t* from = needSource ? srcRow(dy) : nullptr;
        for (int32_t dx = target.left; dx < target.right; ++dx) {
            uint32_t p = 0;
            if (needPattern) pattern.at(dx, dy, p);
            d[dx] = 0xFF000000u | mix3(rop, p, from ? from[dx - target.left] : 0, d[dx]);
        }
    }
    return true;
}

bool DeviceContext::stretchBlit(int32_t x, int32_t y, int32_t w, int32_t h, const QImage* source, int32_t sx,
                                int32_t sy, int32_t sw, int32_t sh, uint32_t rop)
{
    if (w > 0 && h > 0 && w == sw && h == sh) return blit(x, y, w, h, source, sx, sy, rop);
    if (!surface() || w == 0 || h == 0 || sw == 0 || sh == 0) return false;
    if (!usesSource(rop)) return blit(std::min(x, x + w), std::min(y, y + h), std::abs(w), std::abs(h), nullptr, 0, 0, rop);
    if (!source || source->isNull()) return false;
    const int64_t area = int64_t(std::abs(w)) * std::abs(h);
    if (area > int64_t(kMaxPictureSide) * kMaxPictureSide) return false;
    QImage part = source->copy(std::min(sx, sx + sw), std::min(sy, sy + sh), std::abs(sw), std::abs(sh))
                      .convertToFormat(QImage::Format_RGB32);
    const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
    if (flipX || flipY) part = part.mirrored(flipX, flipY);
    const Qt::TransformationMode mode =
        stretchMode == kStretchHalftone ? Qt::SmoothTransformation : Qt::FastTransformation;
    const QImage scaled = part.scaled(std::abs(w), std::abs(h), Qt::IgnoreAspectRatio, mode)
                              .convertToFormat(QImage::Format_RGB32);
    return blit(std::min(x, x + w), std::min(y, y + h), std::abs(w), std::abs(h), &scaled, 0, 0, rop);
}

bool DeviceContext::dibBlit(int32_t x, int32_t y, int32_t width, int32_t height, std::span<const uint8_t> bits,
                            uint32_t rop)
{
    QImage* s = surface();
    if (!s || width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
    if (bits.size() < rowBytes * size_t(height)) return false;
    auto convertRow = [&](uint32_t* d, int32_t sourceRow, int32_t firstX, int32_t count) {
        const uint8_t* b = bits.data() + size_t(sourceRow) * rowBytes + size_t(firstX) * 3;
        for (int32_t i = 0; i < count; ++i, b += 3)
            d[i] = 0xFF000000u | uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16);
    };
    if (rop == kSrcCopy) {
        const RectI target = intersect(rectOfSize(x, y, width, height), visibleArea());
        for (int32_t dy = target.top; dy < target.bottom; ++dy)
            convertRow(rowOf(s, dy) + target.left, height - 1 - (dy - y), target.left - x, target.width());
        return true;
    }
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull()) return false;
    for (int32_t row = 0; row < height; ++row) convertRow(rowOf(&picture, row), height - 1 - row, 0, width);
    return blit(x, y, width, height, &picture, 0, 0, rop);
}

bool DeviceContext::drawIcon(int32_t x, int32_t y, const Icon* icon, int32_t w, int32_t h)
{
    QImage* s = surface();
    if (!s || !isLiveObject(icon)) return false;
    if (w <= 0) w = icon->image.width();
    if (h <= 0) h = icon->image.height();
    if (int64_t(w) * h > int64_t(kMaxPictureSide) * kMaxPictureSide) return false;
    const QImage pixels = (w == icon->image.width() && h == icon->image.height())
                              ? icon->image
                              : icon->image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                    .convertToFormat(QImage::Format_ARGB32);
    const RectI target = intersect(rectOfSize(x, y, w, h), visibleArea());
    for (int32_t dy = target.top; dy < target.bottom; ++dy) {
        uint32_t* d = rowOf(s, dy);
        const uint32_t* from = rowOf(&pixels, dy - y);
        for (int32_t dx = target.left; dx < target.right; ++dx)
            if (from[dx - x] >> 24) d[dx] = 0xFF000000u | from[dx - x];
    }
    return true;
}

} // namespace tq::gdi
