// A colour swatch, shared by the tool options and the dialogs: a small
// bordered box filled with its colour (red in the low byte, or a system
// colour). A click asks for a new colour (its host decides how); a change of
// the colour raises Change. With the pressed look the swatch loses its border
// from a press of any button to the release, wherever the pointer is then.
#pragma once

#include <QFrame>

#include <cstdint>
#include <optional>

namespace tq {

class ColourSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget* parent = nullptr, bool pressedLook = false);

    int32_t BackColor() const { return colour_; }
    // Raises Change when the colour is a new one.
    void setBackColor(int32_t colour);
    // Asks the program's colour picker for a colour, starting from the
    // swatch's; a chosen one becomes the swatch's colour. The colour
    // chosen, or nothing when there is no picker or it was cancelled.
    std::optional<int32_t> pickColour();
    bool looksPressed() const { return frameShape() == QFrame::NoFrame; }   // read by tests

signals:
    void MouseDown();   // a press of any button
    void Click();       // a left release over the swatch
    void DblClick();
    void Change();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    int32_t colour_ = 0;
    bool pressedLook_;
};

} // namespace tq
