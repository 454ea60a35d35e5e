// One numeric tool option, 1 to 100: a slider, an up-down and a text box
// kept in step by their change handlers alone (no guard flag: a handler
// assigns the other controls, their handlers run nested inside the
// assignment, and the nesting ends after one pass because the slider and
// the up-down report only new values). Every change is written at once into
// the option's Settings field.
//
// The text box takes at most three characters in bold. With the digit rule
// it lets only digits and Backspace through and keeps its text in 1..100
// through the shared text-to-slider routine (an empty text becomes a
// selected "1"). With the brush rule it takes any key: above 100 the text
// becomes "100", 0 or below (or no number) "1", and the field follows the
// slider.
#pragma once

#include "document/Settings.h"

#include <QObject>
#include <QString>

#include <cstdint>

class QLabel;
class QLineEdit;
class QWidget;

namespace tq {
class cpvSlider;
class UpDownBar;
}

namespace tq::tools {

class OptionTriad : public QObject {
    Q_OBJECT
public:
    enum class TextRule { Digits, Brush };

    // Made inside frame with the controls named baseName, baseName + "UD" and
    // baseName + "UDT", in their starting state: slider 1, up-down 10, text
    // "100".
    OptionTriad(QWidget* frame, const QString& baseName, int16_t Settings::*field, TextRule rule,
                bool selectAllOnFocus = false);

    cpvSlider* slider = nullptr;
    UpDownBar* UD = nullptr;
    QLineEdit* UDT = nullptr;

    // The start-up steps: each assignment that changes a control runs its
    // handler, which writes the same value back into the field. A value the
    // control refuses is skipped.
    void setSlider(int32_t v);
    void setText(int32_t v);
    void setUpDown(int32_t v);
    int16_t field() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void slider_ValueChanged();
    void UD_Change();
    void UDT_Change();
    void UDT_KeyPress(int16_t& KeyAscii);
    void writeField(int32_t v);

    int16_t Settings::*field_;
    TextRule rule_;
    bool selectAllOnFocus_;
};

} // namespace tq::tools
