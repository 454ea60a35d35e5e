#include "dialogs/FilterPreviewBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace tq {

void drawRecordInto(QImage& image, const DibRecord& record, int32_t w, int32_t h)
{
    if (w < 1 || h < 1) {
        image = QImage();
        return;
    }
    if (image.width() != w || image.height() != h || image.format() != QImage::Format_RGB32)
        image = QImage(w, h, QImage::Format_RGB32);
    const int32_t margin = BitsBuffer::kMargin;
    // Only what the record holds is copied; the rest stays black.
    const int32_t cw = std::clamp(record.width - 2 * margin, 0, w);
    const int32_t ch = std::clamp(record.height - 2 * margin, 0, h);
    if (cw < w || ch < h) image.fill(Qt::black);
    if (record.bits.size() < 4u * static_cast<size_t>(record.width) * static_cast<size_t>(record.height)) return;
    for (int32_t y = 0; y < ch; ++y) {
        const uint8_t* s = record.row(y + margin) + 4 * margin;
        auto* d = reinterpret_cast<uint32_t*>(image.scanLine(y));
        std::memcpy(d, s, 4u * static_cast<size_t>(cw));
        // Qt's opaque format wants 0xFF in the fourth byte.
        for (int32_t x = 0; x < cw; ++x) d[x] |= 0xFF000000u;
    }
}

FilterPreviewBox::FilterPreviewBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FilterPreviewBox::drawRecord(const DibRecord& record, int32_t w, int32_t h)
{
    drawRecordInto(drawing_, record, w, h);
    update();
}

void FilterPreviewBox::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour)
{
    if (drawing_.isNull()) return;
    const uint32_t argb = 0xFF000000u | (uint32_t(colour & 0xFF) << 16) | (uint32_t(colour) & 0xFF00u) |
                          ((uint32_t(colour) >> 16) & 0xFFu);
    auto put = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= drawing_.width() || y >= drawing_.height()) return;
        reinterpret_cast<uint32_t*>(drawing_.scanLine(y))[x] = argb;
    };
    if (y1 == y2) {
        const int32_t step = x2 >= x1 ? 1 : -1;
        for (int32_t x = x1; x != x2; x += step) put(x, y1);
    } else if (x1 == x2) {
        const int32_t step = y2 >= y1 ? 1 : -1;
        for (int32_t y = y1; y != y2; y += step) put(x1, y);
    }
    update();
}

int32_t FilterPreviewBox::Point(int32_t x, int32_t y) const
{
    if (drawing_.isNull() || x < 0 || y < 0 || x >= drawing_.width() || y >= drawing_.height()) return -1;
    const QRgb c = drawing_.pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}

void FilterPreviewBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!drawing_.isNull()) p.drawImage(0, 0, drawing_);
}

void FilterPreviewBox::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    emit MouseDown(e->button(), e->buttons(), static_cast<float>(e->position().x()),
                   static_cast<float>(e->position().y()));
}

void FilterPreviewBox::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    emit MouseMove(e->buttons(), static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

} // namespace tq
