#include "dialogs/SizeBoxPair.h"

#include "document/Numeric.h"
#include "document/mAPI.h"

#include <QCheckBox>
#include <QKeyEvent>

#include <cmath>

namespace tq {

SizeBox::SizeBox(QWidget* parent) : QLineEdit(parent) {}

void SizeBox::keyPressEvent(QKeyEvent* e)
{
    // Keys that move the focus or press the dialog's buttons are no
    // characters of the box.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QLineEdit::keyPressEvent(e);
        return;
    default:
        break;
    }
    const QString text = e->text();
    if (text.isEmpty()) {   // arrows, Home, Delete...: no character
        QLineEdit::keyPressEvent(e);
        return;
    }
    const char16_t ch = text.at(0).unicode();
    int16_t code = ch < 128 ? static_cast<int16_t>(ch) : 0;
    mAPI::FilterDigitKey(code);
    if (code == 0) return;
    // A digit that would make the box longer than it may be typed.
    if (code != 8 && QLineEdit::text().length() - selectedText().length() >= kTypedLength) return;
    QLineEdit::keyPressEvent(e);
}

void SizeBox::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    deselect();
    setCursorPosition(static_cast<int>(QLineEdit::text().length()));
}

SizeBox* makeSizeBox(QWidget* parent, const QString& name, const QRect& place)
{
    auto* box = new SizeBox(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

int64_t boxNumber(const QLineEdit* box)
{
    const double v = Val(box->text().toStdString());
    const double r = rndDouble(v);
    // Far beyond any picture side either way; kept inside 64 bits.
    if (!(r > -1e15)) return -1000000000000000LL;
    if (r > 1e15) return 1000000000000000LL;
    return static_cast<int64_t>(r);
}

SizeBoxPair::SizeBoxPair(SizeBox* txtW, SizeBox* txtH, QCheckBox* chkKeepProportions, QObject* parent)
    : QObject(parent), txtW_(txtW), txtH_(txtH), keep_(chkKeepProportions)
{
    connect(txtW_, &QLineEdit::textChanged, this, [this] { txtW_Change(); });
    connect(txtH_, &QLineEdit::textChanged, this, [this] { txtH_Change(); });
}

void SizeBoxPair::showSize(int32_t w, int32_t h)
{
    BaseWidth = w;
    BaseHeight = h;
    txtW_->setText(QString::number(w));
    txtH_->setText(QString::number(h));
}

void SizeBoxPair::writeApart(const std::function<void()>& write)
{
    const bool keep = keep_->isChecked();
    keep_->setChecked(false);
    write();
    keep_->setChecked(keep);
}

void SizeBoxPair::txtW_Change() { boxChanged(txtW_, txtH_, WidthDriving, HeightDriving, BaseWidth, BaseHeight); }

void SizeBoxPair::txtH_Change() { boxChanged(txtH_, txtW_, HeightDriving, WidthDriving, BaseHeight, BaseWidth); }

void SizeBoxPair::boxChanged(SizeBox* box, SizeBox* other, bool& driving, const bool& otherDriving, int32_t base,
                             int32_t otherBase)
{
    if (box->text().isEmpty()) {
        // The "0" is a change of its own, which runs the rules; selected,
        // the next digit typed replaces it.
        box->setText(QStringLiteral("0"));
        box->selectAll();
        return;
    }
    if (keep_->isChecked() && !otherDriving) {
        driving = true;
        int16_t v = 0;
        if (toInt16(Val(box->text().toStdString()) / static_cast<double>(base) * static_cast<double>(otherBase), v))
            other->setText(QString::number(v));
        driving = false;
    }
    if (afterChange) afterChange(box);
}

} // namespace tq
