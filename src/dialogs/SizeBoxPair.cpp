#include "dialogs/SizeBoxPair.h"

#include "document/Numeric.h"
#include "document/SharedRoutines.h"
#include "widgets/WidgetHelpers.h"

#include <QCheckBox>
#include <QKeyEvent>

#include <cmath>

namespace tq {

SizeBox::SizeBox(QWidget* parent) : QLineEdit(parent) {}

void SizeBox::keyPressEvent(QKeyEvent* e)
{
    if (refuseTypedKey(this, *e, kTypedLength, mAPI::FilterDigitKey)) return;
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
