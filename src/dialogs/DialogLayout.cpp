#include "dialogs/DialogLayout.h"

#include "document/Numeric.h"
#include "platform/Ports.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"

#include <QFont>
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

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

QLineEdit* makeNumberBox(QWidget* parent, const QString& name, const QRect& place, const QString& text,
                         Qt::Alignment alignment)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setAlignment(alignment);
    box->setGeometry(place);
    return box;
}

UpDownBar* makeUpDown(QWidget* parent, const QString& name, const QRect& place, int lo, int hi, int value)
{
    auto* bar = new UpDownBar(parent);
    bar->setObjectName(name);
    bar->setRange(lo, hi);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(value);
    placeFixed(bar, place);
    return bar;
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

QPoint previewCorner(const QLabel* frame) { return frame->geometry().topLeft() + QPoint(2, 2); }

QRect centredBox(const QPoint& corner, int side, int w, int h)
{
    return QRect(corner.x() + rnd((side - w) / 2.0), corner.y() + rnd((side - h) / 2.0), w, h);
}

} // namespace tq
