#include "platform/WidgetHelpers.h"

#include <QKeyEvent>
#include <QRect>
#include <QWidget>

namespace tq {

void placeFixed(QWidget* widget, const QRect& place)
{
    widget->setFixedSize(place.size());
    widget->move(place.topLeft());
}

int widenToText(QWidget* caption)
{
    const int needed = caption->sizeHint().width();
    if (needed > caption->width()) caption->resize(needed, caption->height());
    return caption->x() + caption->width();
}

void bringForward(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void showProgramModal(QWidget* window)
{
    window->setWindowModality(Qt::ApplicationModal);
    bringForward(window);
}

std::optional<int16_t> typedCharacter(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Backspace) return int16_t{8};
    if (key.text().isEmpty()) return std::nullopt;
    return static_cast<int16_t>(key.text().at(0).unicode() & 0x7FFF);
}

} // namespace tq
