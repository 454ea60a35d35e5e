// A container that divides its area into two panes with a bar between them
// that the user drags: panes left and right of a vertical bar (Orientation
// 0) or above and below a horizontal one (1). The bar's place is a
// percentage of the control's width (height), kept within SplitterMin and
// SplitterMax. The two pane widgets are children of the control; it moves
// them to both sides of the bar.
//
// Lengths are pixels of the control, except SplitterWidth, the bar's
// thickness, which is kept in twips like the other stored sizes of the
// program (the default 70 twips is a bar 5 pixels thick).
//
// Dragging: a press on the bar shows the ghost bar `picMover` (mid-grey)
// over it and raises SplitBegin; moves while the button is held move the
// ghost to every candidate strictly between the two limits and raise
// SplitMove; the release puts the bar where the ghost is, moves the panes
// and raises SplitComplete. Moving the mouse over the bar without a press
// moves nothing.
//
// Setting a property marks it changed (PropertyChanged) so that a host that
// keeps design data can store it; the stored form is a PropertyBag.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace tq {

class PropertyBag;

class Splitter : public QWidget {
    Q_OBJECT
public:
    // The desktop's button-face colour, as a system colour number.
    static constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
    static constexpr int32_t kMoverColor = 0x808080;

    // A new instance: orientation 0, position 50, limits 10 and 90, the
    // button-face colour, a bar of 70 twips; panes are not moved until the
    // stored properties have been read (ReadProperties).
    explicit Splitter(QWidget* parent = nullptr);

    // ---- Properties ----------------------------------------------------------
    QWidget* ContainerHwnd() const { return parentWidget(); }
    QWidget* hwnd() { return this; }
    bool Enabled() const;
    void setEnabled(bool v);
    QWidget* LeftOrTopControl() const { return LeftOrTop_; }
    void setLeftOrTopControl(QWidget* w);
    QWidget* RightOrBottomControl() const { return RightOrBottom_; }
    void setRightOrBottomControl(QWidget* w);
    int32_t Orientation() const { return Orientation_; }
    // Moves the bar to the position and the ghost onto it; the panes stay
    // until the next refresh.
    void setOrientation(int32_t v);
    int32_t SplitterWidth() const { return SplitterWidth_; }   // twips
    void setSplitterWidth(int32_t v);
    int32_t SplitterPosition() const { return SplitterPosition_; }
    // Limited to SplitterMin..SplitterMax.
    void setSplitterPosition(int32_t v);
    int32_t SplitterMax() const { return SplitterMax_; }
    // Below 0 becomes 1, above 100 becomes 99, then below SplitterMin
    // becomes SplitterMin + 1. The position is not limited again.
    void setSplitterMax(int32_t v);
    int32_t SplitterMin() const { return SplitterMin_; }
    // Above 100 becomes 99, below 0 becomes 1, then above SplitterMax
    // becomes SplitterMax - 1.
    void setSplitterMin(int32_t v);
    int32_t SplitterColor() const { return SplitterColor_; }
    void setSplitterColor(int32_t c);

    // The bar onto the ghost bar's place, then (in a running program) the
    // panes on both sides of it.
    void Refresh();
    // What a change of the control's size runs: Resize, the ghost bar to
    // the position, Refresh. A host that sizes the control while it is
    // hidden (when the size event waits for the showing) calls it itself.
    void UserControl_Resize();

    // The stored properties: the running-program flag first, then the
    // properties through their setters, the limits before the position.
    void ReadProperties(const PropertyBag& bag, bool userMode = true);
    void WriteProperties(PropertyBag& bag) const;

    // The bar's thickness in pixels.
    int barThickness() const;

    // ---- Inner parts -------------------------------------------------------------
    QWidget* picSplitter = nullptr;   // the bar
    QWidget* picMover = nullptr;      // the ghost bar shown during a drag

    // ---- Handlers of the bar (pixels of the bar) -----------------------------
    void picSplitter_MouseDown();
    void picSplitter_MouseMove(const QPoint& p);
    void picSplitter_MouseUp();

signals:
    void Resize();
    void SplitComplete();
    void SplitMove();
    void SplitBegin();
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The bar's rectangle for the current position.
    QRect positionRect() const;
    // The ghost bar at the current position.
    void PlaceMover();
    void applyBarLook();

    QWidget* LeftOrTop_ = nullptr;
    QWidget* RightOrBottom_ = nullptr;
    int32_t Orientation_ = 0;
    int32_t SplitterPosition_ = 50;
    int32_t SplitterMax_ = 90;
    int32_t SplitterMin_ = 10;
    int32_t SplitterColor_ = kButtonFace;
    int32_t SplitterWidth_ = 70;
    bool UserMode_ = false;
    bool Dragging_ = false;
};

} // namespace tq
