#include "tools/OptionTriad.h"

#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "document/SharedRoutines.h"
#include "widgets/QtControls.h"
#include "platform/SkippedStep.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"
#include "widgets/cpvSlider.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace tq::tools {
namespace {

constexpr int kSliderWidth = 96;   // 1440 twips
constexpr int kTextWidth = 25;     // 375 twips, before the box's own frame

} // namespace

OptionTriad::OptionTriad(QWidget* frame, const QString& baseName, int16_t Settings::*field, TextRule rule,
                         bool selectAllOnFocus)
    : QObject(frame), field_(field), rule_(rule), selectAllOnFocus_(selectAllOnFocus)
{
    setObjectName(baseName + QStringLiteral("Triad"));

    slider = new cpvSlider(frame);
    slider->setObjectName(baseName);
    slider->setOrientation(cpvSlider::kHorizontal);
    slider->setFixedWidth(kSliderWidth);
    slider->setMax(100);
    slider->setMin(1);
    slider->setValue(1);

    UD = new UpDownBar(frame);
    UD->setObjectName(baseName + QStringLiteral("UD"));
    UD->setRange(1, 100);
    UD->setSingleStep(1);
    UD->setPageStep(1);
    UD->setValue(10);

    UDT = new QLineEdit(frame);
    UDT->setObjectName(baseName + QStringLiteral("UDT"));
    UDT->setMaxLength(3);
    QFont bold = UDT->font();
    bold.setBold(true);
    UDT->setFont(bold);
    UDT->setFixedWidth(kTextWidth + 10);
    UDT->setAlignment(Qt::AlignRight);
    UDT->setText(QStringLiteral("100"));
    UDT->installEventFilter(this);

    connect(slider, &cpvSlider::ValueChanged, this, &OptionTriad::slider_ValueChanged);
    connect(UD, &QScrollBar::valueChanged, this, &OptionTriad::UD_Change);
    connect(UDT, &QLineEdit::textChanged, this, &OptionTriad::UDT_Change);
}

int16_t OptionTriad::field() const { return programSettings().*field_; }

void OptionTriad::writeField(int32_t v)
{
    int16_t f;
    if (toInt16(v, f)) programSettings().*field_ = f;
}

void OptionTriad::setSlider(int32_t v)
{
    step([&] { slider->setValue(v); });
}

void OptionTriad::setText(int32_t v) { UDT->setText(QString::number(v)); }

void OptionTriad::setUpDown(int32_t v)
{
    // The up-down refuses a value outside its range.
    if (v >= UD->minimum() && v <= UD->maximum()) UD->setValue(v);
}

// ---- Handlers ------------------------------------------------------------

void OptionTriad::slider_ValueChanged()
{
    const int32_t v = slider->Value();
    step([&] { writeField(v); });
    step([&] { UDT->setText(QString::number(v)); });
    step([&] {
        ScrollBarUpDown upDown(UD);
        mAPI::ScrollFromSlider(upDown, *slider);
    });
}

void OptionTriad::UD_Change()
{
    step([&] {
        ScrollBarUpDown upDown(UD);
        mAPI::SliderFromScroll(upDown, *slider);
    });
    step([&] { writeField(slider->Value()); });
}

void OptionTriad::UDT_Change()
{
    if (rule_ == TextRule::Digits) {
        LineEditTextBox text(UDT);
        mAPI::SyncSliderFromText(*slider, text);
        return;
    }
    // The brush boxes take any key; what is not a number counts as 0.
    auto number = [&] { return Val(UDT->text().toStdString()); };
    step([&] {
        if (number() > 100) UDT->setText(QStringLiteral("100"));
    });
    step([&] {
        if (number() <= 0) UDT->setText(QStringLiteral("1"));
    });
    step([&] {
        if (UDT->text().isEmpty()) UDT->setText(QStringLiteral("1"));
    });
    step([&] { slider->setValue(rnd(number())); });
    step([&] { writeField(slider->Value()); });
}

void OptionTriad::UDT_KeyPress(int16_t& KeyAscii)
{
    if (rule_ == TextRule::Digits) mAPI::FilterDigitKey(KeyAscii);
}

bool OptionTriad::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != UDT) return QObject::eventFilter(watched, e);
    if (e->type() == QEvent::KeyPress)
        return refuseTypedKey(UDT, *static_cast<QKeyEvent*>(e), 0, [this](int16_t& k) { UDT_KeyPress(k); });
    if (e->type() == QEvent::FocusIn) {
        // The line edit's own handling first: it selects the whole text when
        // tabbed into. Only the box that asks for it keeps that selection.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        static_cast<QObject*>(UDT)->event(e);
        if (selectAllOnFocus_) {
            LineEditTextBox text(UDT);
            mAPI::SelectAllText(text);
        } else if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                   reason == Qt::ShortcutFocusReason) {
            UDT->deselect();
        }
        return true;
    }
    return false;
}

} // namespace tq::tools
