// bColorTool: a fixed-size control that edits one RGB colour. Three
// horizontal bars (red, green, blue) with a triangle marker under each and a
// numeric box 0..255 beside it, two overlapping swatches of which one is
// being edited, and a ramp (an RGB spectrum or a greyscale) to pick a colour
// from with the mouse. A right click on the ramp opens a menu that switches
// the ramp and turns a web-safe mode on and off.
//
// The colour changes only through the three boxes: component lets, bar
// drags, swatch selections and ramp picks all write box texts, and the
// box's change handling derives Red, Green, Blue and CurrentColor from them
// and raises Change. Every write of a box runs that handling, also when the
// text stays the same, so three component writes always report three
// changes (the first two with the intermediate colours).
//
// The control keeps what it draws (bars, markers, border) on a surface of
// its own, 211 x 103 pixels (3165 x 1545 twips), whatever size it is given.
#pragma once

#include "core/Region.h"

#include <QFrame>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace tq {

class PropertyBag;

// A swatch of the editor: its colour filled, with the two-part sunken frame
// drawn on it.
class EditorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit EditorSwatch(QWidget* parent, int32_t colour);
    int32_t BackColor() const { return colour_; }
    void setBackColor(int32_t colour);

signals:
    void MouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    int32_t colour_;
};

// The ramp box: a sunken border of two pixels around a 198 x 15 picture.
class RampBox : public QFrame {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;
    explicit RampBox(QWidget* parent);
    // What the box shows, in its client's pixels.
    QImage Picture;

signals:
    // Client coordinates; buttons held (a press adds its own button).
    void MouseAt(Qt::MouseButtons buttons, const QPoint& p, bool press);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
};

class bColorTool : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 3165;
    static constexpr int kHeightTwips = 1545;
    static constexpr int kWidth = 211;    // pixels
    static constexpr int kHeight = 103;
    static constexpr int kRampWidth = 198;
    static constexpr int kRampHeight = 15;

    explicit bColorTool(QWidget* parent = nullptr);
    ~bColorTool() override;

    // ---- Properties --------------------------------------------------------
    // Lets clamp to 0..255 and write the box, which recomputes the colour
    // and raises Change.
    int16_t cRedValue() const { return Red_; }
    void setcRedValue(int32_t v);
    int16_t cGreenValue() const { return Green_; }
    void setcGreenValue(int32_t v);
    int16_t cBlueValue() const { return Blue_; }
    void setcBlueValue(int32_t v);
    // 1 sunken, 2 raised, 3 etched, 4 bump, 5 thin sunken; anything else no
    // border. Stored unchecked.
    int16_t BorderStyle() const { return BorderStyle_; }
    void setBorderStyle(int32_t v);
    // Red + 256 x green + 65536 x blue, as the last box change computed it.
    int32_t CurrentColor() const { return CurrentColor_; }
    // "#RRGGBB" in upper-case hexadecimal.
    std::string HTMLColor() const;
    // 0 RGB spectrum, 1 greyscale. The let runs the ramp menu's action of
    // that index.
    int16_t cRampStyle() const { return RampStyle_; }
    void setcRampStyle(int32_t v);

    // Design-time properties: read into the stored values without touching
    // the boxes or swatches; written with default 0 each.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // ---- Controls ----------------------------------------------------------
    EditorSwatch* picLeft = nullptr;
    EditorSwatch* picRight = nullptr;
    QWidget* picSelRect = nullptr;
    QWidget* picRGB = nullptr;
    std::array<QLabel*, 3> lblColor{};
    std::array<QLineEdit*, 3> txtColor{};
    RampBox* picRamp = nullptr;
    std::array<QImage, 4> imgRamp;
    QMenu* mnuPopup = nullptr;
    std::array<QAction*, 4> mnuRamp{};

    // ---- State (read by hosts and tests) --------------------------------------
    bool WebSafe() const { return WebSafe_; }
    int EditedSwatch() const { return EditedSwatch_; }
    int32_t PickedColor() const { return PickedColor_; }
    float ValueScale() const { return ValueScale_; }
    int UpdateMode() const { return UpdateMode_; }
    const RectI& BarRect(int bar) const { return BarRect_[static_cast<size_t>(bar)]; }
    const RectI& MarkerRect(int bar) const { return MarkerRect_[static_cast<size_t>(bar)]; }
    const QImage& surface() const { return Surface_; }

    // ---- Handlers (the events they stand for call them) ---------------------
    // A press or move on the surface outside the child elements (x, y in
    // surface pixels).
    void UserControl_MouseMove(Qt::MouseButtons buttons, int x, int y);
    // A press of any button on the left (0) or right (1) swatch.
    void picSwatch_MouseDown(int which);
    // A press or move over the ramp at client point p.
    void picRamp_Mouse(Qt::MouseButtons buttons, const QPoint& p, bool press);
    // A choice of the ramp menu (0 spectrum, 1 greyscale, 3 web-safe toggle).
    void mnuRamp_Click(int Index);
    // The change handling of box i.
    void txtColor_Change(int i);

    // The web-safe level of a channel (0..25 -> 0, ..., 230..255 -> 255;
    // anything outside 0..255 -> 0).
    static int32_t webSafeLevel(int32_t v);
    // The greyscale ramp's value of a pixel colour.
    static int32_t greyLevel(int32_t r, int32_t g, int32_t b);

signals:
    void Change();
    // A design-time property changed (for the host's persistence).
    void PropertyChanged(const QString& name);

protected:
    QSize sizeHint() const override { return QSize(kWidth, kHeight); }
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void UserControl_Resize();
    void Redraw();
    void PlaceMarkers();
    void RedrawMarkers();
    void drawMarkers();
    void UpdateSwatch();
    // Writes a box's text and runs its change handling.
    void writeBox(int i, int32_t value);
    void setComponent(int i, int32_t v, const char* property);
    int32_t boxValue(int i) const;
    // Shows ramp picture k with the white corner box on it.
    void showRamp(int k);
    void paintRampCorner();
    void updateRampMenu();

    int16_t Red_ = 0;
    int16_t Green_ = 0;
    int16_t Blue_ = 0;
    int32_t CurrentColor_ = 0;
    int16_t BorderStyle_ = 0;
    int16_t RampStyle_ = 0;
    bool WebSafe_ = false;
    int EditedSwatch_ = 0;
    int32_t PickedColor_ = 0;
    float ValueScale_ = 1.0f;
    int UpdateMode_ = 0;
    RectI FrameRect_{};
    std::array<RectI, 3> BarRect_{};
    std::array<RectI, 3> MarkerRect_{};
    QImage Surface_;
};

} // namespace tq
