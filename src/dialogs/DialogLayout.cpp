#include "dialogs/DialogLayout.h"

#include "platform/Ports.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace tq {

int twipsToPixels(int twips) { return twips / platform::kTwipsPerPixel; }

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void useDialogFont(QWidget* dialog)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(6.75);
    dialog->setFont(font);
}

void paintSeparator(QWidget* widget, int y)
{
    QPainter p(widget);
    const QPalette& pal = widget->palette();
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, y, widget->width() - 1, y);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, y + 1, widget->width() - 1, y + 1);
}

QLabel* makePreviewFrame(QWidget* parent, const QRect& place)
{
    auto* frame = new QLabel(parent);
    frame->setObjectName(QStringLiteral("lblBack"));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    // The workspace colour of the document area behind the preview.
    frame->setBackgroundRole(QPalette::Dark);
    frame->setAutoFillBackground(true);
    frame->setGeometry(place);
    return frame;
}

bool refuseTypedKey(QLineEdit* box, const QKeyEvent& key, int maxTyped,
                    const std::function<void(int16_t& KeyAscii)>& keyPress)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    int16_t code = 0;
    if (key.key() == Qt::Key_Backspace) {
        code = 8;
    } else {
        const QString text = key.text();
        if (text.isEmpty()) return false;
        const char16_t ch = text.at(0).unicode();
        code = ch < 128 ? static_cast<int16_t>(ch) : 0;
    }
    if (keyPress) keyPress(code);
    if (code == 0) return true;
    return code != 8 && box->text().length() - box->selectedText().length() >= maxTyped;
}

} // namespace tq
