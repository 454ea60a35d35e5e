// The tool bar tbTool: fifteen buttons of three styles (ToolKeys.h). The
// pressed state of every button is the bar's own data, set by a click and
// by code, never saved. A click on a group button presses it and releases
// the other group buttons; a check button toggles; a push button acts and
// stays released. Each click then raises ButtonClick with the button's
// index, key and value (1 pressed, 0 released).
#pragma once

#include "tools/ToolKeys.h"

#include <QToolBar>

#include <array>
#include <cstdint>

class QToolButton;

namespace tq::tools {

class ToolButtonBar : public QToolBar {
    Q_OBJECT
public:
    explicit ToolButtonBar(QWidget* parent = nullptr);

    int16_t ButtonCount() const { return kToolButtonCount; }
    // Index 1 to 15; false for another index.
    bool ButtonValue(int16_t index) const;
    // Sets the state without a click; another index does nothing.
    void setButtonValue(int16_t index, bool pressed);
    QToolButton* button(int16_t index) const;

    // Releases every button from 1 to the button count except the one at
    // PreserveTool; -1 releases all.
    void DisableTools(int16_t PreserveTool);

signals:
    void ButtonClick(int16_t Index, const QString& Key, int Value);

private:
    void clicked(int16_t index);

    std::array<QToolButton*, kToolButtonCount> buttons_{};
    std::array<bool, kToolButtonCount> pressed_{};
};

} // namespace tq::tools
