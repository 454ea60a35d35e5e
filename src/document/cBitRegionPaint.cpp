#include "document/cBitRegionPaint.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace tq {

void DrawToDC(const cBitRegion& region, QImage& target, int32_t xOffset, int32_t yOffset, QColor textColour,
              QColor backColour)
{
    const QImage::Format f = target.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return;
    PixelSurface s;
    s.bits = target.bits();
    s.stride = target.bytesPerLine();
    s.width = target.width();
    s.height = target.height();
    const bool pre = f == QImage::Format_ARGB32_Premultiplied;
    region.DrawToDC(s, xOffset, yOffset, pre ? qPremultiply(textColour.rgba()) : textColour.rgba(),
                    pre ? qPremultiply(backColour.rgba()) : backColour.rgba());
}

void DrawToDC(const cBitRegion& region, QPainter& painter, int32_t xOffset, int32_t yOffset, QColor textColour,
              QColor backColour)
{
    const Region outline = region.OutlineRegion(xOffset, yOffset);
    if (outline.isEmpty()) return;
    RectI box = outline.boundingBox();
    if (const QPaintDevice* dev = painter.device()) {
        box.left = std::max(box.left, 0);
        box.top = std::max(box.top, 0);
        box.right = std::min(box.right, dev->width());
        box.bottom = std::min(box.bottom, dev->height());
    }
    if (box.isEmpty()) return;
    QImage layer(box.width(), box.height(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    PixelSurface s;
    s.bits = layer.bits();
    s.stride = layer.bytesPerLine();
    s.width = layer.width();
    s.height = layer.height();
    s.originX = box.left;
    s.originY = box.top;
    paintPattern(s, outline, region.Brush(region.BrushIndex()), qPremultiply(textColour.rgba()),
                 qPremultiply(backColour.rgba()));
    painter.drawImage(box.left, box.top, layer);
}

} // namespace tq
