#include "toolwindows/FileTypeIcons.h"

#include "toolwindows/FolderListing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace tq::browser {
namespace {

// Drawn on a 32 x 32 grid and scaled to the side asked for.
constexpr double kGrid = 32.0;

const QColor kInk(0x3A, 0x3F, 0x47);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kFold(0xD8, 0xDC, 0xE2);

bool isIconExtension(std::string_view extension)
{
    const auto all = iconExtensions();
    return std::any_of(all.begin(), all.end(), [&](const char* e) { return extension == e; });
}

// The type's own hue, the same at every run: spread over the colour circle
// by a hash of the extension's letters (FNV-1a).
QColor typeColour(std::string_view extension)
{
    uint32_t h = 2166136261u;
    for (char c : extension) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
    return QColor::fromHsv(static_cast<int>(h % 360u), 150 + static_cast<int>((h >> 9) % 80u), 200);
}

// The page and its turned-down corner.
void page(QPainter& p)
{
    const QPolygonF sheet = {QPointF(5.5, 1.5), QPointF(20.5, 1.5), QPointF(27.5, 8.5), QPointF(27.5, 30.5),
                             QPointF(5.5, 30.5)};
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    QPolygonF corner;
    corner << QPointF(20.5, 1.5) << QPointF(20.5, 8.5) << QPointF(27.5, 8.5);
    p.setBrush(kFold);
    p.drawPolygon(corner);
}

void textLines(QPainter& p)
{
    p.setPen(QPen(QColor(0xA0, 0xA6, 0xB0), 1.5));
    for (double y = 12.5; y < 28; y += 4) p.drawLine(QPointF(9, y), QPointF(24, y));
}

// A landscape under a sky of the type's colour: a sun and two hills.
void landscape(QPainter& p, const QColor& colour, bool band)
{
    const QRectF view(8.5, 10.5, 16, band ? 11 : 16);
    QLinearGradient sky(view.topLeft(), view.bottomLeft());
    sky.setColorAt(0, colour.lighter(150));
    sky.setColorAt(1, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(view);
    p.save();
    p.setClipRect(view);
    p.setBrush(QColor(0xF6, 0xD0, 0x3C));
    p.drawEllipse(QPointF(view.right() - 4, view.top() + 3.5), 2.2, 2.2);
    p.setBrush(QColor(0x3E, 0x8E, 0x41));
    p.drawEllipse(QPointF(view.left() + 4, view.bottom() + 2), 8, 6);
    p.setBrush(QColor(0x2E, 0x6B, 0x31));
    p.drawEllipse(QPointF(view.right() - 2, view.bottom() + 3), 8, 6);
    p.restore();
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(view);
}

// The extension in capitals on a band of the type's colour, as large as
// the band lets it be.
void extensionBand(QPainter& p, std::string_view extension, const QColor& colour)
{
    const QRectF band(3.5, 22.5, 26, 7);
    p.setPen(QPen(colour.darker(140), 0.8));
    p.setBrush(colour.darker(115));
    p.drawRect(band);
    const QString text = QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())).toUpper();
    QFont font;
    font.setBold(true);
    font.setPixelSize(7);
    const double wide = QFontMetricsF(font).horizontalAdvance(text);
    if (wide > band.width() - 1) font.setPixelSize(std::max(4, static_cast<int>(7 * (band.width() - 1) / wide)));
    p.setFont(font);
    p.setPen(kPaper);
    p.drawText(band, Qt::AlignCenter, text);
}

} // namespace

QImage fileTypePicture(std::string_view extension, int side)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(side / kGrid, side / kGrid);
    page(p);
    if (!isIconExtension(extension)) {
        textLines(p);
        return img;
    }
    const QColor colour = typeColour(extension);
    // Below 24 pixels no writing can be read: the colour tells the type.
    const bool band = side >= 24;
    landscape(p, colour, band);
    if (band) extensionBand(p, extension, colour);
    return img;
}

} // namespace tq::browser
