#include "effects/EffectPictureBox.h"

#include "platform/QtImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace tq::effects {

EffectPictureBox::EffectPictureBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void EffectPictureBox::Refresh()
{
    shown_ = platform::imageFromDib(surface);
    update();
}

int32_t EffectPictureBox::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= surface.width || y >= surface.height ||
        surface.bits.size() < 4u * size_t(surface.width) * size_t(surface.height))
        return -1;
    const uint8_t* p = surface.row(y) + 4 * x;
    return static_cast<int32_t>(p[2] | (p[1] << 8) | (p[0] << 16));
}

void EffectPictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!shown_.isNull()) p.drawImage(0, 0, shown_);
}

void EffectPictureBox::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    emit MouseDown(e->position().x(), e->position().y());
}

} // namespace tq::effects
