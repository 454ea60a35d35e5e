#include "widgets/WidgetHelpers.h"

#include "platform/Ports.h"

#include <QKeyEvent>
#include <QLineEdit>
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

bool refuseTypedKey(QLineEdit* box, const QKeyEvent& key, int maxTyped,
                    const std::function<void(int16_t& KeyAscii)>& keyPress)
{
    int16_t code = 0;
    if (key.key() == Qt::Key_Backspace) {
        code = 8;
    } else {
        if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        const QString text = key.text();
        if (text.isEmpty()) return false;
        const char16_t ch = text.at(0).unicode();
        // Enter, Escape, Tab, Delete and the other control characters type
        // nothing: they reach the box (and the dialog's buttons) as keys.
        if (ch < 32 || ch == 127) return false;
        code = ch < 128 ? static_cast<int16_t>(ch) : 0;
    }
    if (keyPress) keyPress(code);
    if (code == 0) return true;
    if (code == 8) return false;
    const int limit = maxTyped > 0 ? maxTyped : box->maxLength();
    if (box->text().length() - box->selectedText().length() < limit) return false;
    if (platform::Bell* bell = platform::ports().bell) bell->ring();
    return true;
}

} // namespace tq
