#include "tools/TextTile.h"

#include "document/Numeric.h"
#include "platform/Ports.h"
#include "platform/QtImage.h"
#include "platform/SystemColors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace tq {

namespace {

constexpr double kTwips = platform::kTwipsPerPixel;

QColor colourOf(int32_t value)
{
    const int32_t c = translateColor(value).value_or(0);
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

// The lines of a text broken at CR LF, CR or LF.
QStringList linesOf(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar(u'\r'), QChar(u'\n'));
    return t.split(QChar(u'\n'));
}

QString qstr(const std::u32string& s)
{
    return QString::fromUcs4(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

TextTile::TextTile() { makeFont(); }

int TextTile::pixelsForPoints(int16_t points) { return std::max(1, rnd(points * 96.0 / 72.0)); }

void TextTile::makeFont()
{
    font_ = QFont(QString::fromStdString(style_.face));
    font_.setPixelSize(pixelsForPoints(style_.size));
    font_.setBold(style_.bold);
    font_.setItalic(style_.italic);
    font_.setUnderline(style_.underline);
    font_.setStrikeOut(style_.strikethru);
    // Whole-pixel advances: a width measured is the width drawn.
    font_.setHintingPreference(QFont::PreferFullHinting);
    font_.setKerning(false);
}

void TextTile::setStyle(const TextStyle& style)
{
    style_ = style;
    makeFont();
}

void TextTile::setFontSize(int16_t points)
{
    style_.size = points;
    makeFont();
}

TextExtent TextTile::measure(const std::string& text) const
{
    const QFontMetrics fm(font_);
    const QStringList lines = linesOf(QString::fromStdString(text));
    int32_t w = 0;
    for (const QString& line : lines) w = std::max<int32_t>(w, fm.horizontalAdvance(line));
    return {w, static_cast<int32_t>(lines.size()) * fm.height()};
}

void TextTile::resize(int32_t w, int32_t h)
{
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) {
        image_ = QImage();
        return;
    }
    // The drawing stays where the new size still holds it.
    QImage sized(w, h, QImage::Format_RGB32);
    sized.fill(colourOf(BackColor_));
    if (!image_.isNull()) {
        QPainter p(&sized);
        p.drawImage(0, 0, image_);
    }
    image_ = std::move(sized);
}

void TextTile::Cls()
{
    if (!image_.isNull()) image_.fill(colourOf(BackColor_));
}

DibRecord TextTile::picture() const { return platform::dibFromImage(image_); }

double TextTile::ScaleWidth() const { return image_.width() * kTwips; }
double TextTile::ScaleHeight() const { return image_.height() * kTwips; }

double TextTile::TextWidth(const std::u32string& text) const
{
    return measure(mText::toUtf8(text)).width * kTwips;
}

double TextTile::TextHeight(const std::u32string& text) const
{
    return measure(mText::toUtf8(text)).height * kTwips;
}

void TextTile::Print(double x, double y, const std::u32string& text)
{
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.setFont(font_);
    p.setPen(colourOf(ForeColor_));
    const QFontMetrics fm(font_);
    p.drawText(QPointF(x / kTwips, y / kTwips + fm.ascent()), qstr(text));
}

TextTileResult RenderTextTexture(TextTile& picCustom, const TextStyle& style, const std::string& text,
                                 int16_t align, int16_t shadow)
{
    // The tile is as large as the text set in the chosen style.
    picCustom.setStyle(style);
    const TextExtent size = picCustom.measure(text);
    picCustom.resize(size.width, size.height);
    if (align < 0 || shadow < 0) return TextTileResult::NotDrawn;
    picCustom.Cls();
    if (!mText::DrawFittedText(picCustom, text, align, TextTile::kMarginTwips, shadow, TextTile::kButtonFace))
        return TextTileResult::NoSizeFits;
    return TextTileResult::Drawn;
}

} // namespace tq
