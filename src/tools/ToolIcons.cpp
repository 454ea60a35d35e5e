#include "tools/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tq::tools {
namespace {

const QColor kInk(0x2B, 0x2F, 0x36);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kAccent(0x2F, 0x6F, 0xD0);
const QColor kWood(0xE8, 0xB0, 0x4A);
const QColor kMetal(0xA8, 0xAE, 0xB8);

QPen ink(double w = 1.2) { return QPen(kInk, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void dashedRect(QPainter& p, const QRectF& r)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kPaper, 1.0));
    p.drawRect(r);
    QPen dash(kInk, 1.0, Qt::CustomDashLine);
    dash.setDashPattern({2, 2});
    p.setPen(dash);
    p.drawRect(r);
}

void arrowHead(QPainter& p, QPointF tip, double angle)
{
    const double a = 0.55, len = 4.0;
    QPolygonF head;
    head << tip << tip - QPointF(len * std::cos(angle - a), len * std::sin(angle - a))
         << tip - QPointF(len * std::cos(angle + a), len * std::sin(angle + a));
    p.setBrush(kInk);
    p.setPen(ink(1.0));
    p.drawPolygon(head);
}

void pointer(QPainter& p)
{
    QPolygonF arrow;
    arrow << QPointF(6, 3) << QPointF(6, 19) << QPointF(10, 15) << QPointF(13, 21) << QPointF(15.5, 20)
          << QPointF(12.5, 14) << QPointF(18, 14);
    p.setBrush(kPaper);
    p.setPen(ink(1.3));
    p.drawPolygon(arrow);
}

void moveSelection(QPainter& p)
{
    dashedRect(p, QRectF(2.5, 2.5, 19, 19));
    p.setPen(ink(1.6));
    p.drawLine(QPointF(12, 5.5), QPointF(12, 18.5));
    p.drawLine(QPointF(5.5, 12), QPointF(18.5, 12));
    arrowHead(p, QPointF(12, 4.5), -M_PI / 2);
    arrowHead(p, QPointF(12, 19.5), M_PI / 2);
    arrowHead(p, QPointF(4.5, 12), M_PI);
    arrowHead(p, QPointF(19.5, 12), 0);
}

void selection(QPainter& p)
{
    p.fillRect(QRectF(4, 5, 16, 14), QColor(0xD6, 0xE4, 0xF8));
    dashedRect(p, QRectF(3.5, 4.5, 17, 15));
}

void pencil(QPainter& p)
{
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(ink(1.1));
    p.setBrush(kWood);
    p.drawRect(QRectF(-2.8, -10, 5.6, 13));
    p.setBrush(QColor(0xE9, 0x8F, 0x9A));
    p.drawRect(QRectF(-2.8, -11.5, 5.6, 2));
    QPolygonF tip;
    tip << QPointF(-2.8, 3) << QPointF(2.8, 3) << QPointF(0, 9.5);
    p.setBrush(QColor(0xF4, 0xDC, 0xB4));
    p.drawPolygon(tip);
    p.setBrush(kInk);
    QPolygonF lead;
    lead << QPointF(-1, 7.2) << QPointF(1, 7.2) << QPointF(0, 9.5);
    p.drawPolygon(lead);
}

void brush(QPainter& p)
{
    p.translate(12, 12);
    p.rotate(40);
    p.setPen(ink(1.1));
    p.setBrush(QColor(0x9A, 0x5B, 0x2E));
    p.drawRoundedRect(QRectF(-1.8, -11, 3.6, 10), 1.5, 1.5);
    p.setBrush(kMetal);
    p.drawRect(QRectF(-2.6, -1.5, 5.2, 3.5));
    QPainterPath tuft;
    tuft.moveTo(-2.6, 2);
    tuft.cubicTo(-3.5, 6, -1.5, 9, 0, 11);
    tuft.cubicTo(1.5, 9, 3.5, 6, 2.6, 2);
    tuft.closeSubpath();
    p.setBrush(kAccent);
    p.drawPath(tuft);
}

void airbrush(QPainter& p)
{
    p.setPen(ink(1.1));
    p.setBrush(kMetal);
    p.drawRoundedRect(QRectF(11, 9, 11, 5), 2, 2);
    p.drawRect(QRectF(14, 14, 3.5, 6));
    QPolygonF nozzle;
    nozzle << QPointF(11, 9.5) << QPointF(7.5, 11) << QPointF(7.5, 12) << QPointF(11, 13.5);
    p.drawPolygon(nozzle);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    const QPointF dots[] = {{5, 11.5}, {3, 9},  {3.5, 14}, {1.5, 11.5}, {5.5, 7.5},
                            {5.5, 16}, {2, 6.5}, {2, 17}, {4, 12}};
    for (const QPointF& d : dots) p.drawEllipse(d, 0.9, 0.9);
}

void fill(QPainter& p)
{
    p.save();
    p.translate(11, 13);
    p.rotate(-30);
    p.setPen(ink(1.2));
    p.setBrush(kMetal);
    QPainterPath bucket;
    bucket.moveTo(-6, -5);
    bucket.lineTo(6, -5);
    bucket.lineTo(5, 7);
    bucket.quadTo(0, 9, -5, 7);
    bucket.closeSubpath();
    p.drawPath(bucket);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(0, -5), 6, 2);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-5, -12, 10, 10), 0, 180 * 16);
    p.restore();
    QPainterPath drop;
    drop.moveTo(19.5, 12);
    drop.cubicTo(22, 16, 22, 19, 19.5, 19.5);
    drop.cubicTo(17, 19, 17, 16, 19.5, 12);
    p.setPen(ink(1.0));
    p.setBrush(kAccent);
    p.drawPath(drop);
}

void gradient(QPainter& p)
{
    QLinearGradient g(3, 0, 21, 0);
    g.setColorAt(0, kPaper);
    g.setColorAt(1, kInk);
    p.setBrush(g);
    p.setPen(ink(1.2));
    p.drawRect(QRectF(3.5, 5.5, 17, 13));
}

void stamp(QPainter& p)
{
    p.setPen(ink(1.2));
    p.setBrush(QColor(0x9A, 0x5B, 0x2E));
    p.drawEllipse(QPointF(12, 5.5), 3.5, 3);
    p.drawRect(QRectF(10.5, 8, 3, 5));
    p.setBrush(kMetal);
    p.drawRoundedRect(QRectF(4.5, 13, 15, 4), 1.2, 1.2);
    p.setBrush(QColor(0xC8, 0x3A, 0x3A));
    p.drawRect(QRectF(5.5, 17, 13, 2));
    p.setPen(QPen(QColor(0xC8, 0x3A, 0x3A), 1.4));
    p.drawLine(QPointF(5, 21.5), QPointF(19, 21.5));
}

void shape(QPainter& p)
{
    p.setPen(ink(1.3));
    p.setBrush(QColor(0xD6, 0xE4, 0xF8));
    p.drawRect(QRectF(3.5, 3.5, 11, 11));
    p.setBrush(QColor(0x2F, 0x6F, 0xD0, 200));
    p.drawEllipse(QRectF(9.5, 9.5, 11, 11));
}

void layers(QPainter& p)
{
    auto sheet = [&](double y, const QColor& c) {
        QPolygonF d;
        d << QPointF(12, y) << QPointF(21, y + 4.5) << QPointF(12, y + 9) << QPointF(3, y + 4.5);
        p.setBrush(c);
        p.drawPolygon(d);
    };
    p.setPen(ink(1.1));
    sheet(11, QColor(0xA8, 0xAE, 0xB8));
    sheet(7.5, QColor(0xD6, 0xE4, 0xF8));
    sheet(4, kAccent);
}

void colourPicker(QPainter& p)
{
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(ink(1.1));
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(-3, -11, 6, 6), 2, 2);
    p.setBrush(kMetal);
    p.drawRect(QRectF(-3.5, -5.5, 7, 2));
    p.setBrush(QColor(0xE8, 0xF0, 0xFC));
    QPolygonF tube;
    tube << QPointF(-2, -3.5) << QPointF(2, -3.5) << QPointF(2, 6) << QPointF(0, 10) << QPointF(-2, 6);
    p.drawPolygon(tube);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    QPolygonF ink;
    ink << QPointF(-1.3, 2) << QPointF(1.3, 2) << QPointF(1.3, 5.8) << QPointF(0, 8.8) << QPointF(-1.3, 5.8);
    p.drawPolygon(ink);
}

void magnifier(QPainter& p, bool plus)
{
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(20.5, 20.5));
    p.setPen(ink(1.6));
    p.setBrush(QColor(0xE8, 0xF0, 0xFC));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.setPen(ink(1.8));
    p.drawLine(QPointF(7, 10), QPointF(13, 10));
    if (plus) p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void hand(QPainter& p)
{
    p.setPen(ink(1.1));
    p.setBrush(QColor(0xF6, 0xDC, 0xC2));
    const double tops[] = {6.5, 4, 4.5, 7};
    for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(6 + 3.3 * i, tops[i], 3.2, 12), 1.6, 1.6);
    QPainterPath thumb;
    thumb.moveTo(6.5, 15);
    thumb.cubicTo(4, 12, 2, 12, 2.5, 14);
    thumb.cubicTo(3.5, 16, 5, 19, 7, 20);
    p.drawPath(thumb);
    p.drawRoundedRect(QRectF(6, 11.5, 13, 9.5), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(6.6, 11.5, 11.8, 3));
}

} // namespace

QImage toolPicture(int16_t index)
{
    if (index < 1 || index > 15) return {};
    QImage img(kToolIconSize, kToolIconSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 1: pointer(p); break;
    case 2: moveSelection(p); break;
    case 3: selection(p); break;
    case 4: pencil(p); break;
    case 5: brush(p); break;
    case 6: airbrush(p); break;
    case 7: fill(p); break;
    case 8: gradient(p); break;
    case 9: stamp(p); break;
    case 10: shape(p); break;
    case 11: layers(p); break;
    case 12: colourPicker(p); break;
    case 13: magnifier(p, true); break;
    case 14: magnifier(p, false); break;
    case 15: hand(p); break;
    }
    return img;
}

} // namespace tq::tools
