// Adapters that let Qt widgets stand behind the control interfaces of
// Controls.h. An adapter does not own its widget.
#pragma once

#include "widgets/Controls.h"

class QLineEdit;
class QScrollBar;
class QAbstractSlider;

namespace tq {

class LineEditTextBox : public TextBox {
public:
    explicit LineEditTextBox(QLineEdit* edit) : edit_(edit) {}
    std::string Text() const override;
    void setText(const std::string& text) override;
    int32_t TextLength() const override;
    void setSelection(int32_t start, int32_t length) override;

private:
    QLineEdit* edit_;
};

// A Qt scroll bar used as an up-down. Its limits and value are read as
// 16-bit numbers (Qt keeps ints; values beyond 16 bits saturate).
class ScrollBarUpDown : public UpDownControl {
public:
    explicit ScrollBarUpDown(QScrollBar* bar) : bar_(bar) {}
    int16_t Min() const override;
    int16_t Max() const override;
    int16_t Value() const override;
    void setValue(int16_t v) override;

private:
    QScrollBar* bar_;
};

// Any Qt slider (QSlider, QScrollBar) used as a 32-bit slider.
class AbstractSliderControl : public SliderControl {
public:
    explicit AbstractSliderControl(QAbstractSlider* s) : s_(s) {}
    int32_t Min() const override;
    int32_t Max() const override;
    int32_t Value() const override;
    void setValue(int32_t v) override;

private:
    QAbstractSlider* s_;
};

} // namespace tq
