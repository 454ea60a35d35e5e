#include "widgets/QtControls.h"

#include <QAbstractSlider>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace tq {
namespace {
int16_t sat16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }
} // namespace

std::string LineEditTextBox::Text() const { return edit_->text().toStdString(); }
void LineEditTextBox::setText(const std::string& text) { edit_->setText(QString::fromStdString(text)); }
int32_t LineEditTextBox::TextLength() const { return static_cast<int32_t>(edit_->text().length()); }
void LineEditTextBox::setSelection(int32_t start, int32_t length) { edit_->setSelection(start, length); }

int16_t ScrollBarUpDown::Min() const { return sat16(bar_->minimum()); }
int16_t ScrollBarUpDown::Max() const { return sat16(bar_->maximum()); }
int16_t ScrollBarUpDown::Value() const { return sat16(bar_->value()); }
void ScrollBarUpDown::setValue(int16_t v) { bar_->setValue(v); }

int32_t AbstractSliderControl::Min() const { return s_->minimum(); }
int32_t AbstractSliderControl::Max() const { return s_->maximum(); }
int32_t AbstractSliderControl::Value() const { return s_->value(); }
void AbstractSliderControl::setValue(int32_t v) { s_->setValue(v); }

} // namespace tq
