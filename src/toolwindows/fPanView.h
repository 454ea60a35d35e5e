// The navigator: a floating tool window showing the whole active picture
// fitted into its area and centred on black, with a red outline over the
// part the document window shows. Dragging the outline scrolls the document.
//
// The document and the main window keep it current through UpdateImage (a
// new picture, a change, another active document), UpdateClipRct (the
// document was repainted, perhaps scrolled) and Clear (the last document
// closed).
//
// The thumbnail is drawn once per UpdateImage into the area's own picture
// from the document's rows; following the document's scrolling only moves
// the outline, a child widget over that picture.
#pragma once

#include "platform/Ports.h"
#include "core/Region.h"
#include "toolwindows/FloatingToolWindow.h"

#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace tq {

// The thumbnail area `pp`: keeps what is drawn on it in a picture of its own
// size, shown on every repaint; dark grey where nothing is drawn.
class NavigatorArea : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb kBackColor = 0xFF404040;

    explicit NavigatorArea(QWidget* parent);

    // The persistent picture (the area's size after clearPicture).
    QImage Picture;
    // Makes the picture the area's size, all background.
    void clearPicture();

    std::function<void(Qt::MouseButton, const QPoint&)> MouseDown;
    std::function<void(const QPoint&)> MouseMove;
    std::function<void()> MouseUp;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// The view outline `ClipRct`: a red border two pixels wide, hollow, letting
// the mouse through to the area beneath.
class OutlineShape : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb kBorderColor = 0xFFFF0000;
    static constexpr int kBorderWidth = 2;
    explicit OutlineShape(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
};

class fPanView : public FloatingToolWindow {
    Q_OBJECT
public:
    // Size floors of the full-height window, in twips.
    static constexpr int32_t kMinWidthTwips = 2325;
    static constexpr int32_t kMinHeightTwips = 2000;
    // pExit stands this far from the window's right edge.
    static constexpr int32_t kButtonGapTwips = 120;

    explicit fPanView(QWidget* owner);
    ~fPanView() override;

    // ---- The public members ------------------------------------------------
    // Runs the whole resize handler: size rules, layout, thumbnail, outline
    // and the storing of place and size.
    void UpdateImage();
    // Background only, outline hidden, ViewRect empty.
    void Clear();
    // ViewRect from the active document's zoom, scroll values and sizes, and
    // the outline moved onto it.
    void UpdateClipRct();

    // ---- Controls and state (read by tests) ----------------------------------
    QWidget* TT() const { return strip(); }
    NavigatorArea* pp = nullptr;
    OutlineShape* ClipRct = nullptr;
    const RectI& ViewRect() const { return ViewRect_; }
    int32_t ThumbnailWidth() const { return ThumbnailWidth_; }
    int32_t ThumbnailHeight() const { return ThumbnailHeight_; }
    bool RolledUp() const { return RolledUp_; }
    bool Dragging() const { return Drag_; }

    // ---- Mouse handlers of the thumbnail area (pp pixels) -------------------
    void pp_MouseDown(Qt::MouseButton button, const QPoint& p);
    void pp_MouseMove(const QPoint& p);
    void pp_MouseUp();

    // Shutdown: the place of a shown navigator into the settings.
    void Form_Unload();

protected:
    void Form_Resize() override;
    void applySizeLimits() override;
    void setRolledUpFlag(bool rolled) override { RolledUp_ = rolled; }
    void hideEvent(QHideEvent* e) override;

private:
    int32_t ox() const;
    int32_t oy() const;
    // The mouse point kept inside the rectangle the drag may move it in,
    // which holds the outline on the thumbnail.
    QPoint confined(const QPoint& p) const;
    // Asks the desktop to hold its pointer inside that rectangle.
    void confinePointer();
    // The drag is over (mouse-up, the window hidden, the last document
    // closed): the flag cleared and the pointer let go.
    void endDrag();
    // Place and size into the settings, while the window is shown.
    void storePlace();
    void storeSize();

    bool RolledUp_ = false;
    bool InResize_ = false;
    RectI ViewRect_{};
    int32_t ThumbnailWidth_ = 0;
    int32_t ThumbnailHeight_ = 0;
    int32_t Zoom_ = 1;
    int32_t PictureW_ = 0, PictureH_ = 0;
    int32_t VisibleW_ = 0, VisibleH_ = 0;
    int32_t HValue_ = 0, VValue_ = 0;
    int32_t HMax_ = 0, VMax_ = 0;
    // Drag: the mouse now and at the previous step, and where it may go.
    bool Drag_ = false;
    QPoint Current_, Previous_;
    QRect Confine_;
    // The port holding the pointer for the drag, if one does.
    platform::PointerConfinement* ConfinedBy_ = nullptr;
};

} // namespace tq
