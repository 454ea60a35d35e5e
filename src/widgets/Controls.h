// The small control interfaces the shared text-box routines work against, so
// that a Qt line edit, a Qt scroll bar used as an up-down, and the program's
// own slider control all plug into the same routines (and a test can use
// plain doubles). No Qt type here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tq {

// Error 380, "invalid property value": a control's property let refuses a
// value outside its range and changes nothing. Callers that go on after a
// failing step catch it there.
class InvalidPropertyValue : public std::invalid_argument {
public:
    static constexpr int kNumber = 380;
    explicit InvalidPropertyValue(const std::string& property)
        : std::invalid_argument("Invalid property value: " + property)
    {
    }
    int number() const { return kNumber; }
};

// A one-line text box.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::string Text() const = 0;          // UTF-8
    // Assigning a text raises the box's own change notification.
    virtual void setText(const std::string& text) = 0;
    virtual int32_t TextLength() const = 0;        // in characters
    virtual void setSelection(int32_t start, int32_t length) = 0;
};

// A slider editing a 32-bit whole number between Min and Max. setValue may
// throw InvalidPropertyValue for a value outside them.
class SliderControl {
public:
    virtual ~SliderControl() = default;
    virtual int32_t Min() const = 0;
    virtual int32_t Max() const = 0;
    virtual int32_t Value() const = 0;
    virtual void setValue(int32_t v) = 0;
};

// An up-down (a small vertical scroll bar) with 16-bit limits and value.
class UpDownControl {
public:
    virtual ~UpDownControl() = default;
    virtual int16_t Min() const = 0;
    virtual int16_t Max() const = 0;
    virtual int16_t Value() const = 0;
    virtual void setValue(int16_t v) = 0;
};

} // namespace tq
