#include "widgets/ColourSwatch.h"

#include "platform/Ports.h"
#include "platform/SystemColors.h"

#include <QMouseEvent>
#include <QPainter>

namespace tq {

ColourSwatch::ColourSwatch(QWidget* parent, bool pressedLook) : QFrame(parent), pressedLook_(pressedLook)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setFixedSize(33, 21);
    setCursor(Qt::PointingHandCursor);
}

void ColourSwatch::setBackColor(int32_t colour)
{
    if (colour == colour_) return;
    colour_ = colour;
    update();
    emit Change();
}

std::optional<int32_t> ColourSwatch::pickColour()
{
    platform::ColourPicker* picker = platform::ports().colourPicker;
    if (!picker) return std::nullopt;
    const std::optional<int32_t> chosen = picker->pick(colour_);
    if (chosen) setBackColor(*chosen);
    return chosen;
}

void ColourSwatch::paintEvent(QPaintEvent* e)
{
    {
        QPainter p(this);
        // A system colour shows as the desktop paints that element.
        const int32_t c = translateColor(colour_).value_or(0);
        p.fillRect(rect(), QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
    QFrame::paintEvent(e);
}

void ColourSwatch::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    if (pressedLook_) setFrameShape(QFrame::NoFrame);
    emit MouseDown();
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (pressedLook_) setFrameShape(QFrame::Box);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit Click();
}

void ColourSwatch::mouseDoubleClickEvent(QMouseEvent* e)
{
    e->accept();
    emit DblClick();
}

} // namespace tq
