// What every floating tool window shares: a frameless window owned by the
// main window (so it floats above it and never takes its place in the task
// list), a caption strip of its own with a title label, a roll-up button
// `pMm` and a close button `pExit`, moving by the caption strip, closing into
// the "&Windows" menu, rolling up to the strip and back, and handing the
// keyboard focus back to the main window after the user has used it.
//
// What differs from window to window is given by Options and by the window's
// slot in the tool-window registry (the Settings fields of its visible flag,
// place, size and rolled-up flag), and by the virtual members below: the
// rolled-up height, the unrolled size, the size limits and the window's own
// resize handler.
//
// Sizes: the settings keep twips at 15 per pixel; the window works in
// pixels. A sizable window has a thin frame of its own around its client
// area (`client()`); the frame's edges resize the window.
#pragma once

#include "toolwindows/ToolWindowRegistry.h"

#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace tq {

// Twips to whole pixels, to the nearest (halves to even).
int twipsToPx(int32_t twips);
inline int32_t pxToTwips(int px) { return px * kTwipsPerPixel; }

// The 60 x 15 face of a tab: text centred in a 10-pixel font, bold in
// openPen on white while the tab is open, plain in closedPen on light grey
// otherwise.
QPixmap tabFace(const QString& text, bool open, const QColor& openPen, const QColor& closedPen);

// A label that reports a press and a release of any mouse button, and a
// click: a left-button release inside it. Never takes the focus.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent);

    std::function<void()> MouseDown;
    std::function<void()> MouseUp;
    std::function<void()> Click;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// A picture button of the caption strip: 21 x 15 pixels with a single-line
// border, flat at rest and sunken (3-D) while the mouse button is down on it.
class CaptionButton : public ClickableLabel {
    Q_OBJECT
public:
    static constexpr int kWidth = 21;
    static constexpr int kHeight = 15;

    explicit CaptionButton(QWidget* parent);
    // 0 flat, 1 three-dimensional.
    int Appearance() const { return appearance_; }
    void setAppearance(int a);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int appearance_ = 0;
};

class FloatingToolWindow : public QWidget {
    Q_OBJECT
public:
    struct Options {
        const char* slotName = "";        // the window's name in the registry
        const char* stripName = "TL";     // the caption strip's control name
        QString title;                    // LMessage's caption
        int stripHeight = 17;             // pixels
        bool sizable = false;             // a sizing frame of its own
        bool storesPositionOnDrag = true; // a caption drag writes left and top
        bool takesFocus = false;          // the window may become the active one
    };

    FloatingToolWindow(QWidget* owner, Options options);
    ~FloatingToolWindow() override;

    // ---- Controls --------------------------------------------------------
    QWidget* client() const { return Client_; }   // everything inside the frame
    QWidget* strip() const { return Strip_; }     // `TT` or `TL`
    QLabel* LMessage = nullptr;
    CaptionButton* pExit = nullptr;
    CaptionButton* pMm = nullptr;
    // The two faces of the roll-up button: full height, rolled up.
    QPixmap pMini;
    QPixmap pMaxi;
    // The roll-up state as the button's tag: "0" full height, "1" rolled up
    // (read by tests).
    const QString& pMmTag() const { return pMmTag_; }

    // ---- Handlers -----------------------------------------------------------
    // The roll-up toggle; the start-up calls it for a window saved rolled up.
    void pMm_Click();
    // Close: hidden, its "&Windows" item unchecked, its visible flag cleared.
    void pExit_Click();
    // The caption strip (the title label forwards to it).
    void strip_MouseDown(const QPoint& globalPos);
    void strip_MouseMove(const QPoint& globalPos, Qt::MouseButtons buttons);
    void strip_MouseUp(const QPoint& globalPos);

    // ---- State ---------------------------------------------------------------
    const Options& options() const { return Options_; }
    // The window's slot of the registry: its Settings fields.
    const ToolWindowSlot* slot() const { return Slot_; }
    int frameWidth() const { return Options_.sizable ? kSizingFrame : kFixedFrame; }
    // True while a caption drag moves the window (the platform's move, or
    // ours where the platform has none).
    bool captionDragUnderway() const { return SystemMove_ || ManualMove_; }

    // fMain.SetFocus: the keyboard focus goes back to the main window.
    static void giveFocusToMain();

    static constexpr int kSizingFrame = 3;
    static constexpr int kFixedFrame = 1;

protected:
    // The height the window takes when rolled up (outer pixels): by default
    // the strip's height in twips plus 100 twips.
    virtual int rolledUpHeightPx() const;
    // The outer size it gets back when unrolled: by default the saved width
    // and height, where the window keeps them, else its current ones.
    virtual QSize unrolledSizePx() const;
    // The size limits of the current state (rolled up or not); the default
    // allows any size.
    virtual void applySizeLimits() {}
    // The limits of a window sized freely down to minimumTwips while
    // unrolled, and held at the rolled-up height while rolled up.
    void applyRollableSizeLimits(bool rolledUp, const QSize& minimumTwips);
    // A form-level rolled-up flag, for windows whose resize handler reads it.
    virtual void setRolledUpFlag(bool) {}
    // The window's own resize handler, run after the frame and the strip are
    // laid out for a new size.
    virtual void Form_Resize() {}

    // pExit with its left edge at `exitLeft` (client pixels), pMm touching
    // it on the left; both centred on the strip's height.
    void placeCaptionButtons(int exitLeft);
    // Saved width and height (pixels), or the current ones where the window
    // keeps none.
    int savedWidthPx() const;
    int savedHeightPx() const;
    // Left and top into the window's saved position.
    void storePosition();

    // The roll-up button's face and tag for a state, without resizing or
    // touching the saved rolled-up flag (a window's own ways back to full
    // height).
    void setRollUpFace(bool rolled);
    // Places the client area inside the frame and the strip across it.
    void layoutFrame();

    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    Qt::Edges edgesAt(const QPoint& p) const;
    void finishManualMove();

    Options Options_;
    const ToolWindowSlot* Slot_ = nullptr;
    // Where the window belongs: where the program last put it or the user
    // last dragged it. A window manager may put a frameless window that it
    // maps again at 0,0, or report such a place for it, and every later
    // resize would take the window there for real; such moves are undone.
    std::optional<QPoint> Place_;
    // Undoings left for the current showing, so that a window manager that
    // insists on its own place is given it in the end.
    int PlaceRepairsLeft_ = 0;
    QWidget* Client_ = nullptr;
    QWidget* Strip_ = nullptr;
    QString pMmTag_ = QStringLiteral("0");

    // Caption drag: the platform's own move under way, or ours.
    bool SystemMove_ = false;
    bool ManualMove_ = false;
    std::optional<QPoint> PressGlobal_;   // the last press on a caption
    QPoint DragStartGlobal_;
    QPoint DragStartPos_;
    // Frame drag where the platform does not resize for us.
    Qt::Edges ResizeEdges_;
    QPoint ResizeStartGlobal_;
    QRect ResizeStartGeometry_;
};

} // namespace tq
