#include "widgets/UpDownBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QWheelEvent>

namespace tq {

UpDownBar::UpDownBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
}

void UpDownBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        button.state |= QStyle::State_Raised;
        if (held_ == (i == 0 ? -1 : 1)) button.state = (button.state & ~QStyle::State_Raised) | QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p,
                               this);
    }
}

void UpDownBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    held_ = e->position().y() < height() / 2 ? -1 : 1;
    const SliderAction action = held_ < 0 ? SliderSingleStepSub : SliderSingleStepAdd;
    update();
    triggerAction(action);
    setRepeatAction(action);
}

void UpDownBar::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    held_ = 0;
    setRepeatAction(SliderNoAction);
    update();
}

void UpDownBar::mouseMoveEvent(QMouseEvent*) {}

void UpDownBar::wheelEvent(QWheelEvent* e) { e->ignore(); }

} // namespace tq
