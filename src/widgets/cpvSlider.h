// The program's slider control: one whole number Value between Min and Max,
// edited by dragging a thumb picture along a rail (or with the keyboard
// while it has the focus). Every numeric option of the program goes through
// it, usually beside an up-down and a text box that the shared text-box
// routines keep in step (it implements their SliderControl interface).
//
// - A property let outside its range (Max <= Min, Min >= Max, Value outside
//   Min..Max) throws InvalidPropertyValue (error 380) and changes nothing.
// - Lowering Max below Value keeps Value until the next assignment or drag.
// - During a drag the thumb snaps to the position of the value it gives, so
//   it moves in steps of one value, and the control redraws only when the
//   value changes. A small tip window beside the thumb shows the value; it
//   never takes the focus, and all sliders share it.
// - Events, in their declared order: Click, MinReached, MaxReached,
//   ValueChanged, MouseDown, MouseUp. ValueChanged comes only for a value
//   different from the one last reported; MaxReached / MinReached follow it
//   at the ends.
// - The control keeps what it draws on a surface of its own, renewed on
//   show, resize, a BackColor change and every Value change.
// - Its design-time properties go to and come from a PropertyBag.
#pragma once

#include "widgets/Controls.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <cstdint>

class QLabel;

namespace tq {

class PropertyBag;

class cpvSlider : public QWidget, public SliderControl {
    Q_OBJECT
public:
    static constexpr int32_t kHorizontal = 0;
    static constexpr int32_t kVertical = 1;
    // RailStyle: 0 sunken edge, 1 raised edge, 2 thin sunken, 3 thin raised,
    // 4 no edge; 99 the rail picture.
    static constexpr int32_t kRailPicture = 99;
    // The desktop's button-face colour, as a system colour number.
    static constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);

    // A new instance: Enabled, tip shown, vertical, rail style 0, Min 0,
    // Max 10, Value 0, the thumb parked at the Min end.
    explicit cpvSlider(QWidget* parent = nullptr);
    ~cpvSlider() override;

    // ---- Properties ---------------------------------------------------------
    // While not Enabled a press starts no drag and raises no MouseDown, but a
    // left release inside still raises Click; the look does not change. (It
    // is the control's own flag: the widget itself stays enabled, so that the
    // release still reaches it.)
    bool Enabled() const { return Enabled_; }
    void setEnabled(bool v) { Enabled_ = v; }
    // A colour with red in the low byte, or a system colour (&H800000nn).
    int32_t BackColor() const { return BackColor_; }
    void setBackColor(int32_t c);
    int32_t Max() const override { return Max_; }
    void setMax(int32_t v);
    int32_t Min() const override { return Min_; }
    void setMin(int32_t v);
    int32_t Value() const override { return Value_; }
    void setValue(int32_t v) override;
    int32_t Orientation() const { return Orientation_; }
    void setOrientation(int32_t v);
    int32_t RailStyle() const { return RailStyle_; }
    void setRailStyle(int32_t v);
    // The thumb picture; a new control carries defaultThumb().
    QImage SliderIcon() const { return SliderIcon_; }
    void setSliderIcon(const QImage& picture);
    QImage RailPicture() const { return RailPicture_; }
    void setRailPicture(const QImage& picture);
    bool ShowValueTip() const { return ShowValueTip_; }
    void setShowValueTip(bool v) { ShowValueTip_ = v; }

    // ---- Design-time properties -------------------------------------------
    // Reads every property without any check and places the thumb from
    // Value; raises no event.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The 16 x 16 thumb the control carries by itself.
    static QImage defaultThumb();

    // ---- What the control shows -------------------------------------------
    const QImage& surface() const { return surface_; }
    // The thumb's place on the surface, in pixels (fractions allowed).
    QRectF thumb() const { return QRectF(thumbLeft_, thumbTop_, thumbWidth(), thumbHeight()); }
    struct Rect {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
        bool operator==(const Rect&) const = default;
    };
    // Where the drawn rail goes.
    Rect RailRect() const { return RailRect_; }
    bool Dragging() const { return Dragging_; }
    // The tip window all sliders share (null until one has shown it) and
    // its label.
    static QWidget* frmValueTip();
    static QLabel* lblTip();

signals:
    void Click();
    void MinReached();
    void MaxReached();
    void ValueChanged();
    // Shift: the keyboard state of the press / release (1 Shift, 2 Ctrl,
    // 4 Alt, added).
    void MouseDown(qint16& Shift);
    void MouseUp(qint16& Shift);

protected:
    QSize sizeHint() const override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    float thumbWidth() const { return static_cast<float>(SliderIcon_.width()); }
    float thumbHeight() const { return static_cast<float>(SliderIcon_.height()); }
    bool railPictureInUse() const { return RailStyle_ == kRailPicture && !RailPicture_.isNull(); }
    float travel() const;
    // The thumb's place along the axis for value v.
    void placeThumbFor(int32_t v);
    void parkThumb();
    void UserControl_Resize();
    void sizeToContent();
    void Redraw();
    void moveStep(float x, float y);
    void placeTip();
    static void closeTip();

    bool Enabled_ = true;
    int32_t BackColor_ = kButtonFace;
    int32_t Max_ = 10;
    int32_t Min_ = 0;
    int32_t Value_ = 0;
    int32_t Orientation_ = kVertical;
    int32_t RailStyle_ = 0;
    QImage SliderIcon_;
    QImage RailPicture_;
    bool ShowValueTip_ = true;

    bool Dragging_ = false;
    float GrabOffsetX_ = 0;
    float GrabOffsetY_ = 0;
    Rect RailRect_;
    int32_t ValueRange_ = 10;
    int32_t LastValue_ = 0;

    float thumbLeft_ = 0;
    float thumbTop_ = 0;
    QImage surface_;
    bool resizing_ = false;
    // The axis whose size the control fixed itself (-1 none).
    int fixedAxis_ = -1;
};

} // namespace tq
