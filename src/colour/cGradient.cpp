#include "colour/cGradient.h"

#include "gdi/SystemColours.h"
#include "core/BitsBuffer.h"
#include "document/Numeric.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tq {

namespace {

inline uint32_t* rowOf(QImage* image, int32_t y) { return reinterpret_cast<uint32_t*>(image->scanLine(y)); }
inline const uint32_t* rowOf(const QImage& image, int32_t y)
{
    return reinterpret_cast<const uint32_t*>(image.constScanLine(y));
}

uint32_t pixelOfColour(int32_t colour) { return gdi::pixelOf(static_cast<uint32_t>(colour)); }

// The destination pixels (x, y, w, h) that drawing may touch.
RectI targetArea(gdi::DeviceContext* dest, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const RectI area = dest->visibleArea();
    const RectI r{std::max(x, area.left), std::max(y, area.top),
                  static_cast<int32_t>(std::min<int64_t>(int64_t(x) + w, area.right)),
                  static_cast<int32_t>(std::min<int64_t>(int64_t(y) + h, area.bottom))};
    return r.isEmpty() ? RectI{} : r;
}

// Copies block (sx, sy, w, h) of the source onto (x, y), leaving the
// destination alone where the source holds the mask pixel or lies off its
// surface.
void transparentCopy(gdi::DeviceContext* dest, int32_t x, int32_t y, int32_t w, int32_t h, const QImage& source,
                     int32_t sx, int32_t sy, uint32_t maskPixel)
{
    QImage* surface = dest->surface();
    if (!surface || source.isNull() || w <= 0 || h <= 0) return;
    const QImage src = &source == surface ? source.copy() : source;
    const RectI target = targetArea(dest, x, y, w, h);
    for (int32_t dy = target.top; dy < target.bottom; ++dy) {
        const int32_t row = sy + (dy - y);
        if (row < 0 || row >= src.height()) continue;
        const uint32_t* from = rowOf(src, row);
        uint32_t* to = rowOf(surface, dy);
        for (int32_t dx = target.left; dx < target.right; ++dx) {
            const int32_t col = sx + (dx - x);
            if (col < 0 || col >= src.width()) continue;
            const uint32_t px = from[col] & 0xFFFFFF;
            if (px != (maskPixel & 0xFFFFFF)) to[dx] = 0xFF000000u | px;
        }
    }
}

// Copies a face name into the 32-byte field, cut at a character boundary so
// that its terminating zero fits.
void copyFaceName(const std::string& name, char (&field)[32])
{
    size_t n = std::min(name.size(), sizeof field - 1);
    while (n > 0 && n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
    std::memcpy(field, name.data(), n);
    field[n] = '\0';
}

FontObject describeFont(const gdi::TextMetrics& tm, const std::string& face)
{
    FontObject f;
    f.Name = face.substr(0, 79);
    f.Charset = tm.charSet;
    f.Italic = tm.italic;
    f.Underline = tm.underlined;
    f.Strikethrough = tm.struckOut;
    f.Weight = tm.weight;
    if (tm.digitizedAspectY > 0) f.Size = (tm.height - tm.internalLeading) * 72.0 / tm.digitizedAspectY;
    return f;
}

} // namespace

cGradient::~cGradient() { Destroy(); }

// ---- Properties ------------------------------------------------------------

int32_t cGradient::FontHeight() const { return hDC_ ? hDC_->textMetrics().height : 0; }

std::optional<FontObject> cGradient::Font() const
{
    if (!hDC_) return std::nullopt;
    return describeFont(hDC_->textMetrics(), hDC_->textFace());
}

void cGradient::Font(const FontObject& oValue)
{
    if (!hDC_) return;
    gdi::LogFont lf;
    copyFaceName(oValue.Name, lf.faceName);
    lf.charSet = static_cast<uint8_t>(oValue.Charset);
    lf.italic = oValue.Italic;
    lf.strikeOut = oValue.Strikethrough;
    lf.underline = oValue.Underline;
    lf.weight = oValue.Weight;
    lf.height = -rnd(oValue.Size * gdi::kPixelsPerInch / 72.0);
    if (Font_) {
        if (OldFont_) hDC_->select(OldFont_);
        gdi::deleteObject(Font_);
        Font_ = nullptr;
    }
    Font_ = gdi::createFont(lf);
    OldFont_ = hDC_->select(Font_);
}

int32_t cGradient::ForeColor() const { return hDC_ ? static_cast<int32_t>(hDC_->textColour) : 0; }

void cGradient::ForeColor(int32_t NewValue)
{
    if (hDC_ && NewValue != -1) hDC_->textColour = static_cast<uint32_t>(TranslateColor(NewValue));
}

int32_t cGradient::BackColor() const { return hDC_ ? static_cast<int32_t>(hDC_->backColour) : 0; }

void cGradient::BackColor(int32_t NewValue)
{
    if (hDC_ && NewValue != -1) hDC_->backColour = static_cast<uint32_t>(TranslateColor(NewValue));
}

int32_t cGradient::BackStyle() const { return hDC_ ? hDC_->backMode : 0; }

void cGradient::BackStyle(int32_t NewValue)
{
    if (hDC_) hDC_->setBackMode(NewValue);
}

gdi::Brush* cGradient::DotBrush()
{
    if (!hDC_) return nullptr;
    if (!DotBrush_) {
        Pattern8 checker;
        for (size_t y = 0; y < 8; ++y) checker.rows[y] = (y % 2 == 0) ? 0xAA : 0x55;
        DotBrush_ = gdi::createPatternBrush(checker);
        if (!DotBrush_) DotBrush_ = gdi::stockDarkGreyBrush();
    }
    return DotBrush_;
}

gdi::Object* cGradient::selectInstead(gdi::Object* object, gdi::Object*& original)
{
    if (!hDC_) return nullptr;
    if (object) {
        gdi::Object* replaced = hDC_->select(object);
        if (!original) original = replaced;
        return replaced;
    }
    if (!original) return nullptr;
    gdi::Object* replaced = hDC_->select(original);
    original = nullptr;
    return replaced;
}

void cGradient::Brush(gdi::Brush* lValue)
{
    gdi::Object* replaced = selectInstead(lValue, OldBrush_);
    if (replaced && replaced == Brush_ && replaced != DotBrush_) gdi::deleteObject(replaced);
    Brush_ = lValue;
}

void cGradient::Pen(gdi::Pen* lValue)
{
    gdi::Object* replaced = selectInstead(lValue, OldPen_);
    if (replaced && replaced == Pen_) gdi::deleteObject(replaced);
    Pen_ = lValue;
}

QImage cGradient::sourceBlock(int32_t x, int32_t y, int32_t w, int32_t h) const
{
    QImage block(w, h, QImage::Format_RGB32);
    if (block.isNull()) return block;
    const QImage* surface = hDC_ ? hDC_->surface() : nullptr;
    if (!surface || x < 0 || y < 0 || int64_t(x) + w > surface->width() || int64_t(y) + h > surface->height())
        block.fill(0xFF000000u);
    if (!surface) return block;
    const int32_t x0 = std::max(x, 0), x1 = static_cast<int32_t>(std::min<int64_t>(int64_t(x) + w, surface->width()));
    const int32_t y0 = std::max(y, 0), y1 = static_cast<int32_t>(std::min<int64_t>(int64_t(y) + h, surface->height()));
    for (int32_t sy = y0; sy < y1 && x0 < x1; ++sy) {
        const uint32_t* from = rowOf(*surface, sy) + x0;
        uint32_t* to = rowOf(&block, sy - y) + (x0 - x);
        for (int32_t i = 0; i < x1 - x0; ++i) to[i] = 0xFF000000u | from[i];
    }
    return block;
}

Picture cGradient::IMAGE() const
{
    if (!hDC_ || Width_ < 1 || Height_ < 1 || Width_ > kMaxPictureSide || Height_ > kMaxPictureSide) return {};
    return BitmapToPicture(gdi::createBitmap(sourceBlock(0, 0, Width_, Height_)));
}

int32_t cGradient::DrawMode() const { return hDC_ ? hDC_->mixMode() : 0; }

void cGradient::DrawMode(int32_t dwValue)
{
    if (hDC_) hDC_->setMixMode(dwValue);
}

FontObject cGradient::SystemIconFont()
{
    FontObject f;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return f;
    const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.Name = QFontInfo(font).family().toStdString();
    f.Size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / gdi::kPixelsPerInch;
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.Strikethrough = font.strikeOut();
    f.Weight = font.weight();
    return f;
}

// ---- Life ------------------------------------------------------------------

gdi::DeviceContext* cGradient::Init(int32_t PixelWidth, int32_t PixelHeight, gdi::DeviceContext* hParentDC,
                                    gdi::DeviceContext* hMemoryDC)
{
    if (IsCreated()) Destroy();
    Width_ = PixelWidth;
    Height_ = PixelHeight;
    ParentDC_ = hParentDC;
    if (hMemoryDC) {
        hDC_ = hMemoryDC;
    } else {
        // Without its bitmap a new context would only leak: the object then
        // stays not created.
        gdi::Bitmap* bitmap = gdi::createBitmap(PixelWidth, PixelHeight);
        if (!bitmap) return nullptr;
        hDC_ = gdi::DeviceContext::createCompatible(hParentDC);
        Bitmap_ = bitmap;
        OldBitmap_ = hDC_->select(bitmap);
    }
    if (hParentDC) {
        hDC_->backColour = hParentDC->backColour;
        hDC_->textColour = hParentDC->textColour;
        hDC_->setBackMode(hParentDC->backMode);
        // The parent's own character height, so the copy is the same size.
        Font(describeFont(hParentDC->textMetrics(), hParentDC->textFace()));
    }
    return hDC_;
}

void cGradient::Destroy()
{
    if (hDC_) {
        if (OldPen_) hDC_->select(OldPen_);
        if (OldBrush_) hDC_->select(OldBrush_);
        if (OldBitmap_) hDC_->select(OldBitmap_);
        if (OldFont_) hDC_->select(OldFont_);
    }
    OldPen_ = OldBrush_ = OldBitmap_ = OldFont_ = nullptr;
    gdi::deleteObject(Pen_);
    Pen_ = nullptr;
    if (Brush_ != DotBrush_) gdi::deleteObject(Brush_);
    Brush_ = nullptr;
    gdi::deleteObject(DotBrush_);
    DotBrush_ = nullptr;
    gdi::deleteObject(Font_);
    Font_ = nullptr;
    if (Bitmap_) {
        gdi::deleteObject(Bitmap_);
        Bitmap_ = nullptr;
        gdi::DeviceContext::destroy(hDC_);
        hDC_ = nullptr;
    }
}

// ---- Fills, frames, lines ----------------------------------------------------

void cGradient::spanRect(int32_t& LeftX, int32_t& TopY, int32_t& RightX, int32_t& BottomY) const
{
    if (RightX < LeftX) RightX = Width_;
    if (BottomY < TopY) BottomY = Height_;
}

void cGradient::withFillBrush(int32_t clrFill, gdi::Brush* hbrFill, const std::function<void(gdi::Brush*)>& paint)
{
    if (clrFill != -1) {
        gdi::Brush* solid = gdi::createSolidBrush(static_cast<uint32_t>(TranslateColor(clrFill)));
        paint(solid);
        gdi::deleteObject(solid);
    } else if (gdi::isUsable(hbrFill)) {
        paint(hbrFill);
    }
}

void cGradient::Cls(int32_t clrFill, gdi::Brush* hbrFill) { FillRect(0, 0, Width_, Height_, clrFill, hbrFill); }

void cGradient::FillRect(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrFill,
                         gdi::Brush* hbrFill)
{
    if (!hDC_) return;
    spanRect(LeftX, TopY, RightX, BottomY);
    const RectI rect{LeftX, TopY, RightX, BottomY};
    withFillBrush(clrFill, hbrFill, [&](gdi::Brush* brush) { hDC_->fillRect(rect, brush); });
}

void cGradient::DrawEdge(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t edge, int32_t flags)
{
    if (!hDC_) return;
    spanRect(LeftX, TopY, RightX, BottomY);
    hDC_->drawEdge(RectI{LeftX, TopY, RightX, BottomY}, edge, flags);
}

void cGradient::FrameRect(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrFill,
                          gdi::Brush* hbrFill)
{
    if (!hDC_) return;
    const RectI rect{LeftX, TopY, RightX, BottomY};
    withFillBrush(clrFill, hbrFill, [&](gdi::Brush* brush) { hDC_->frameRect(rect, brush); });
}

void cGradient::DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t clrLine, gdi::Pen* hpnLine)
{
    if (!hDC_) return;
    if (clrLine != -1) hpnLine = gdi::createPen(gdi::kPenSolid, 1, static_cast<uint32_t>(TranslateColor(clrLine)));
    Pen(hpnLine);
    if (X1 >= 0) hDC_->moveTo(X1, Y1);
    hDC_->lineTo(X2, Y2);
}

void cGradient::Rectangle(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrFill,
                          gdi::Brush* hbrFill, int32_t clrOutline, gdi::Pen* hpnOutline)
{
    if (!hDC_) return;
    spanRect(LeftX, TopY, RightX, BottomY);
    if (clrFill != -1) hbrFill = gdi::createSolidBrush(static_cast<uint32_t>(TranslateColor(clrFill)));
    if (hbrFill) Brush(hbrFill);
    if (clrOutline != -1)
        hpnOutline = gdi::createPen(gdi::kPenSolid, 1, static_cast<uint32_t>(TranslateColor(clrOutline)));
    if (hpnOutline) Pen(hpnOutline);
    hDC_->rectangle(LeftX, TopY, RightX, BottomY);
}

void cGradient::DrawEllipse(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrOutline,
                            gdi::Pen* hpnOutline)
{
    if (!hDC_) return;
    spanRect(LeftX, TopY, RightX, BottomY);
    if (clrOutline != -1)
        hpnOutline = gdi::createPen(gdi::kPenSolid, 1, static_cast<uint32_t>(TranslateColor(clrOutline)));
    if (hpnOutline) Pen(hpnOutline);
    hDC_->ellipseOutline(LeftX, TopY, RightX, BottomY);
}

void cGradient::SetPixel(int32_t LeftX, int32_t TopY, int32_t clrColor)
{
    if (hDC_) hDC_->setPixel(LeftX, TopY, static_cast<uint32_t>(TranslateColor(clrColor)));
}

int32_t cGradient::GetPixel(int32_t LeftX, int32_t TopY) const
{
    if (!hDC_) return -1;
    return static_cast<int32_t>(hDC_->getPixel(LeftX, TopY));
}

// ---- Blits -------------------------------------------------------------------

bool cGradient::BitBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                       int32_t xSrc, int32_t ySrc, uint32_t dwRop)
{
    gdi::DeviceContext* dest = destination(hdcDest);
    if (!hDC_ || !dest) return false;
    if (nWidth == 0) nWidth = Width_;
    if (nHeight == 0) nHeight = Height_;
    return dest->blit(xDest, yDest, nWidth, nHeight, hDC_->surface(), xSrc, ySrc, dwRop);
}

bool cGradient::StretchBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth,
                           int32_t nHeight, int32_t xSrc, int32_t ySrc, int32_t nSrcWidth, int32_t nSrcHeight,
                           uint32_t dwRop)
{
    gdi::DeviceContext* dest = destination(hdcDest);
    if (!hDC_ || !dest) return false;
    if (nWidth == 0) nWidth = Width_;
    if (nHeight == 0) nHeight = Height_;
    if (nSrcWidth == 0) nSrcWidth = Width_;
    if (nSrcHeight == 0) nSrcHeight = Height_;
    return dest->stretchBlit(xDest, yDest, nWidth, nHeight, hDC_->surface(), xSrc, ySrc, nSrcWidth, nSrcHeight,
                             dwRop);
}

void cGradient::TransBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                         int32_t xSrc, int32_t ySrc, int32_t clrMask)
{
    gdi::DeviceContext* dest = destination(hdcDest);
    if (!hDC_ || !dest || !hDC_->surface()) return;
    if (nWidth == 0) nWidth = Width_;
    if (nHeight == 0) nHeight = Height_;
    transparentCopy(dest, xDest, yDest, nWidth, nHeight, *hDC_->surface(), xSrc, ySrc,
                    pixelOfColour(TranslateColor(clrMask)));
}

void cGradient::DisabledBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth,
                            int32_t nHeight, int32_t xSrc, int32_t ySrc, int32_t clrMask, int32_t clrHighlight,
                            int32_t clrShadow)
{
    gdi::DeviceContext* dest = destination(hdcDest);
    if (!hDC_ || !dest || !dest->surface()) return;
    if (nWidth == 0) nWidth = Width_;
    if (nHeight == 0) nHeight = Height_;
    if (nWidth <= 0 || nHeight <= 0 || int64_t(nWidth) * nHeight > int64_t(kMaxPictureSide) * kMaxPictureSide) return;
    const uint32_t mask = pixelOfColour(TranslateColor(clrMask)) & 0xFFFFFF;
    const uint32_t highlight = pixelOfColour(TranslateColor(clrHighlight));
    const uint32_t shadow = pixelOfColour(TranslateColor(clrShadow));
    // The shape: source pixels other than the mask colour that lie nearer
    // black than white (a tie goes to black).
    const QImage source = sourceBlock(xSrc, ySrc, nWidth, nHeight);
    std::vector<uint8_t> shape(size_t(nWidth) * size_t(nHeight));
    for (int32_t j = 0; j < nHeight; ++j) {
        const uint32_t* row = rowOf(source, j);
        for (int32_t i = 0; i < nWidth; ++i) {
            const uint32_t px = row[i] & 0xFFFFFF;
            const int32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
            const int32_t toBlack = r * r + g * g + b * b;
            const int32_t toWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
            shape[size_t(j) * size_t(nWidth) + size_t(i)] = px != mask && toBlack <= toWhite;
        }
    }
    QImage* surface = dest->surface();
    const RectI target = targetArea(dest, xDest, yDest, nWidth, nHeight);
    for (int32_t dy = target.top; dy < target.bottom; ++dy) {
        uint32_t* to = rowOf(surface, dy);
        const int32_t j = dy - yDest;
        for (int32_t dx = target.left; dx < target.right; ++dx) {
            const int32_t i = dx - xDest;
            if (shape[size_t(j) * size_t(nWidth) + size_t(i)]) to[dx] = shadow;
            else if (i > 0 && j > 0 && shape[size_t(j - 1) * size_t(nWidth) + size_t(i - 1)]) to[dx] = highlight;
        }
    }
}

// ---- Text --------------------------------------------------------------------

int32_t cGradient::DrawText(const std::string& Text, int32_t& LeftX, int32_t& TopY, int32_t& RightX,
                            int32_t& BottomY, int32_t dtFlags)
{
    if (!hDC_) return 0;
    RectI rect{LeftX, TopY, RightX, BottomY};
    const int32_t height = hDC_->drawText(Text, rect, static_cast<uint32_t>(dtFlags));
    LeftX = rect.left;
    TopY = rect.top;
    RightX = rect.right;
    BottomY = rect.bottom;
    return height;
}

bool cGradient::ExtTextOut(const std::string& Text, int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY,
                           int32_t xOffset, int32_t yOffset, int32_t etoFlags)
{
    if (!hDC_) return false;
    const RectI rect{LeftX, TopY, RightX, BottomY};
    return hDC_->extTextOut(xOffset, yOffset, static_cast<uint32_t>(etoFlags), &rect, Text);
}

int32_t cGradient::TextWidth(const std::string& sText) const { return hDC_ ? hDC_->textExtent(sText).x : 0; }

int32_t cGradient::TextHeight(const std::string& sText) const { return hDC_ ? hDC_->textExtent(sText).y : 0; }

// ---- Pictures ----------------------------------------------------------------

bool cGradient::readyForPicture(const Picture& oPic, int32_t& nWidth, int32_t& nHeight)
{
    if (oPic.isNothing()) return false;
    const int32_t pictureWidth = rnd(himetricToPixels(oPic.Width()));
    const int32_t pictureHeight = rnd(himetricToPixels(oPic.Height()));
    if (!hDC_) Init(pictureWidth, pictureHeight);
    if (!hDC_) return false;
    if (nWidth == 0) nWidth = pictureWidth;
    if (nHeight == 0) nHeight = pictureHeight;
    return true;
}

void cGradient::PaintPicture(const Picture& oPic, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                             int32_t xSrc, int32_t ySrc, uint32_t dwRop, int32_t clrMask)
{
    if (!readyForPicture(oPic, nWidth, nHeight)) return;
    switch (oPic.type()) {
    case Picture::kBitmap:
        if (clrMask == -1) hDC_->blit(xDest, yDest, nWidth, nHeight, &oPic.image(), xSrc, ySrc, dwRop);
        else
            transparentCopy(hDC_, xDest, yDest, nWidth, nHeight, oPic.image(), xSrc, ySrc,
                            pixelOfColour(TranslateColor(clrMask)));
        break;
    case Picture::kIcon: hDC_->drawIcon(xDest, yDest, oPic.icon(), nWidth, nHeight); break;
    default: break;
    }
}

void cGradient::PaintDisabledPicture(const Picture& oPic, int32_t xDest, int32_t yDest, int32_t nWidth,
                                     int32_t nHeight, int32_t xSrc, int32_t ySrc, int32_t clrMask,
                                     int32_t clrHighlight, int32_t clrShadow)
{
    if (!readyForPicture(oPic, nWidth, nHeight)) return;
    cGradient work;
    if (!work.Init(nWidth, nHeight)) return;
    work.Cls(clrMask);
    work.PaintPicture(oPic, 0, 0, nWidth, nHeight, xSrc, ySrc, gdi::kSrcCopy, -1);
    work.DisabledBlt(hDC_, xDest, yDest, nWidth, nHeight, 0, 0, clrMask, clrHighlight, clrShadow);
}

Picture cGradient::ExtractIcon(int32_t clrMask) const
{
    if (!hDC_) return {};
    // The mask colour is translated like every other colour argument, so a
    // surface cleared with a system colour comes out transparent where
    // nothing else was drawn.
    const uint32_t mask = pixelOfColour(TranslateColor(clrMask)) & 0xFFFFFF;
    QImage image = sourceBlock(0, 0, Width_, Height_).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return {};
    for (int32_t y = 0; y < image.height(); ++y) {
        uint32_t* row = rowOf(&image, y);
        for (int32_t x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) == mask) row[x] = 0;
    }
    return IconToPicture(gdi::createIcon(image));
}

Picture cGradient::BitmapToPicture(gdi::Bitmap* hBmp) { return Picture::owningBitmap(hBmp); }

Picture cGradient::IconToPicture(gdi::Icon* hIcon)
{
    if (!hIcon) return {};
    return Picture::owningIcon(hIcon);
}

// ---- Small helpers -------------------------------------------------------------

int32_t cGradient::TranslateColor(int32_t clrColor)
{
    if (clrColor == -1) return -1;
    int32_t rgb = 0;
    translateOleColour(clrColor, rgb);
    return rgb;
}

void cGradient::NormalizeRect(int32_t& LeftX, int32_t& TopY, int32_t& RightX, int32_t& BottomY)
{
    if (LeftX > RightX) std::swap(LeftX, RightX);
    if (TopY > BottomY) std::swap(TopY, BottomY);
}

void cGradient::SetClipRect(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY)
{
    if (!hDC_) return;
    if (LeftX < 0) {
        hDC_->setClip(std::nullopt);
        return;
    }
    NormalizeRect(LeftX, TopY, RightX, BottomY);
    hDC_->setClip(RectI{LeftX, TopY, RightX, BottomY});
}

void cGradient::SetDIBits(int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                          std::span<const uint8_t> aBits, uint32_t dwRop)
{
    if (hDC_) hDC_->dibBlit(xDest, yDest, nWidth, nHeight, aBits, dwRop);
}

gdi::Brush* cGradient::CreateBrush(int32_t clrFill, int32_t lStyle, int32_t lHatch) const
{
    return gdi::createBrush(lStyle, static_cast<uint32_t>(TranslateColor(clrFill)), lHatch);
}

gdi::Pen* cGradient::CreatePen(int32_t clrOutline, int32_t lStyle, int32_t lWidth) const
{
    return gdi::createPen(lStyle, lWidth, static_cast<uint32_t>(TranslateColor(clrOutline)));
}

} // namespace tq
