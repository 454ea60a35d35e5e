#include "toolwindows/FloatingToolWindow.h"

#include "document/MainHost.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include <algorithm>

namespace tq {

int twipsToPx(int32_t twips) { return rnd(static_cast<double>(twips) / kTwipsPerPixel); }

void FloatingToolWindow::applyRollableSizeLimits(bool rolledUp, const QSize& minimumTwips)
{
    if (rolledUp) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setFixedHeight(rolledUpHeightPx());
    } else {
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setMinimumSize(twipsToPx(minimumTwips.width()), twipsToPx(minimumTwips.height()));
    }
}

QPixmap tabFace(const QString& text, bool open, const QColor& openPen, const QColor& closedPen)
{
    QPixmap p(60, 15);
    p.fill(open ? QColor(Qt::white) : QColor(0xC0, 0xC0, 0xC0));
    QPainter g(&p);
    QFont f = g.font();
    f.setPixelSize(10);
    f.setBold(open);
    g.setFont(f);
    g.setPen(open ? openPen : closedPen);
    g.drawText(p.rect(), Qt::AlignCenter, text);
    return p;
}

namespace {

// The faces of the caption buttons, 19 x 13 pixels each.
constexpr int kFaceWidth = 19;
constexpr int kFaceHeight = 13;

QPixmap blankFace()
{
    QPixmap p(kFaceWidth, kFaceHeight);
    p.fill(QColor(0xD4, 0xD0, 0xC8));
    return p;
}

QPixmap closeFace()
{
    QPixmap p = blankFace();
    QPainter g(&p);
    g.setPen(QPen(Qt::black, 2));
    g.drawLine(6, 3, 12, 9);
    g.drawLine(12, 3, 6, 9);
    return p;
}

// An arrow head pointing up (roll up) or down (unroll).
QPixmap arrowFace(bool up)
{
    QPixmap p = blankFace();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing, false);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    QPainterPath path;
    if (up) {
        path.moveTo(5, 9);
        path.lineTo(14, 9);
        path.lineTo(9.5, 4);
    } else {
        path.moveTo(5, 4);
        path.lineTo(14, 4);
        path.lineTo(9.5, 9);
    }
    path.closeSubpath();
    g.drawPath(path);
    return p;
}

} // namespace

// ---- CaptionButton ------------------------------------------------------------

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) { setFocusPolicy(Qt::NoFocus); }

void ClickableLabel::mousePressEvent(QMouseEvent* e)
{
    if (MouseDown) MouseDown();
    e->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* e)
{
    const bool inside = rect().contains(e->position().toPoint());
    if (MouseUp) MouseUp();
    if (inside && e->button() == Qt::LeftButton && Click) Click();
    e->accept();
}

CaptionButton::CaptionButton(QWidget* parent) : ClickableLabel(parent)
{
    setFixedSize(kWidth, kHeight);
    setAlignment(Qt::AlignCenter);
    setAppearance(0);
}

void CaptionButton::setAppearance(int a)
{
    appearance_ = a;
    if (a == 1) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else {
        setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    setLineWidth(1);
}

void CaptionButton::mousePressEvent(QMouseEvent* e)
{
    setAppearance(1);
    ClickableLabel::mousePressEvent(e);
}

void CaptionButton::mouseReleaseEvent(QMouseEvent* e)
{
    setAppearance(0);
    ClickableLabel::mouseReleaseEvent(e);
}

// ---- FloatingToolWindow ---------------------------------------------------------

FloatingToolWindow::FloatingToolWindow(QWidget* owner, Options options)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint |
                         (options.takesFocus ? Qt::WindowFlags{} : Qt::WindowDoesNotAcceptFocus)),
      Options_(std::move(options))
{
    setObjectName(QString::fromUtf8(Options_.slotName));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    Slot_ = toolWindowByName(Options_.slotName);

    Client_ = new QWidget(this);
    Client_->setObjectName(QStringLiteral("client"));

    Strip_ = new QWidget(Client_);
    Strip_->setObjectName(QString::fromUtf8(Options_.stripName));
    Strip_->setBackgroundRole(QPalette::Dark);   // the workspace colour
    Strip_->setAutoFillBackground(true);
    Strip_->setMouseTracking(true);
    Strip_->installEventFilter(this);

    LMessage = new QLabel(Options_.title, Strip_);
    LMessage->setObjectName(QStringLiteral("LMessage"));
    QFont bold = LMessage->font();
    bold.setBold(true);
    LMessage->setFont(bold);
    QPalette white = LMessage->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    LMessage->setPalette(white);
    LMessage->setAttribute(Qt::WA_TranslucentBackground);
    LMessage->setMouseTracking(true);
    LMessage->installEventFilter(this);

    pMini = arrowFace(true);
    pMaxi = arrowFace(false);
    pExit = new CaptionButton(Strip_);
    pExit->setObjectName(QStringLiteral("pExit"));
    pExit->setPixmap(closeFace());
    pMm = new CaptionButton(Strip_);
    pMm->setObjectName(QStringLiteral("pMm"));
    pMm->setPixmap(pMini);
    pExit->MouseUp = [] { giveFocusToMain(); };
    pMm->MouseUp = [] { giveFocusToMain(); };
    pExit->Click = [this] { pExit_Click(); };
    pMm->Click = [this] { pMm_Click(); };

    layoutFrame();
}

FloatingToolWindow::~FloatingToolWindow() = default;

int FloatingToolWindow::savedWidthPx() const
{
    if (!Slot_ || !Slot_->width) return width();
    return twipsToPx(programSettings().*Slot_->width);
}

int FloatingToolWindow::savedHeightPx() const
{
    if (!Slot_ || !Slot_->height) return height();
    return twipsToPx(programSettings().*Slot_->height);
}

int FloatingToolWindow::rolledUpHeightPx() const
{
    return twipsToPx(pxToTwips(Options_.stripHeight) + 100);
}

QSize FloatingToolWindow::unrolledSizePx() const { return QSize(savedWidthPx(), savedHeightPx()); }

void FloatingToolWindow::storePosition()
{
    if (!Slot_) return;
    Settings& s = programSettings();
    s.*Slot_->left = pxToTwips(x());
    s.*Slot_->top = pxToTwips(y());
}

void FloatingToolWindow::giveFocusToMain()
{
    MainHost* m = mainHost();
    QWidget* w = m ? m->mainWidget() : nullptr;
    if (!w || !w->isVisible()) return;
    if (!w->isActiveWindow()) w->activateWindow();
}

// ---- Roll-up and close ---------------------------------------------------------------

void FloatingToolWindow::pMm_Click()
{
    bool number = false;
    const int tag = pMmTag_.toInt(&number);
    if (!number) return;
    Settings& s = programSettings();
    if (tag == 0) {
        // The flag first: the resize below already sees the new state.
        // The sizes are read before the limits change: a limit that resizes
        // the window runs its resize handler, which may store its size.
        const QSize rolled(Slot_ && Slot_->width ? savedWidthPx() : width(), rolledUpHeightPx());
        setRolledUpFlag(true);
        pMm->setPixmap(pMaxi);
        pMmTag_ = QStringLiteral("1");
        applySizeLimits();
        resize(rolled);
        if (Slot_) s.*Slot_->collapsed = true;
    } else if (tag == 1) {
        const QSize unrolled = unrolledSizePx();
        setRolledUpFlag(false);
        pMm->setPixmap(pMini);
        pMmTag_ = QStringLiteral("0");
        applySizeLimits();
        resize(unrolled);
        if (Slot_) s.*Slot_->collapsed = false;
    }
}

void FloatingToolWindow::setRollUpFace(bool rolled)
{
    pMm->setPixmap(rolled ? pMaxi : pMini);
    pMmTag_ = rolled ? QStringLiteral("1") : QStringLiteral("0");
}

void FloatingToolWindow::pExit_Click()
{
    hide();
    if (!Slot_) return;
    programSettings().*Slot_->visible = false;
    // The main window unchecks the "&Windows" item (and hides the window,
    // which it already is).
    toolWindowClosedByUser(Slot_->name);
}

// ---- Caption drag -----------------------------------------------------------------------

void FloatingToolWindow::strip_MouseDown(const QPoint& globalPos)
{
    // A press ends whatever move of the platform's was still being followed.
    SystemMove_ = false;
    TitleDrag() = true;
    PressGlobal_ = globalPos;
}

void FloatingToolWindow::strip_MouseMove(const QPoint& globalPos, Qt::MouseButtons buttons)
{
    if (ManualMove_) {
        move(DragStartPos_ + (globalPos - DragStartGlobal_));
        return;
    }
    if (SystemMove_ && buttons == Qt::NoButton) SystemMove_ = false;
    // A move with the button still down after a press on a caption: the
    // window goes with the mouse. A press that was released without moving
    // leaves nothing to drag.
    if (TitleDrag() && buttons != Qt::NoButton) {
        setCursor(Qt::SizeAllCursor);
        QWindow* handle = windowHandle();
        if (handle && handle->startSystemMove()) {
            // The platform moves the window until the button is released;
            // the moves are recorded as they arrive (moveEvent).
            SystemMove_ = true;
            setCursor(Qt::ArrowCursor);
        } else {
            // No move of the platform's (no window manager): the window
            // follows the mouse itself until the release.
            // The window keeps its place under the mouse from the press on.
            ManualMove_ = true;
            DragStartGlobal_ = PressGlobal_.value_or(globalPos);
            PressGlobal_.reset();
            DragStartPos_ = pos();
            TitleDrag() = false;
            return;
        }
    }
    TitleDrag() = false;
    giveFocusToMain();
}

void FloatingToolWindow::strip_MouseUp(const QPoint& globalPos)
{
    PressGlobal_.reset();
    if (!ManualMove_) return;
    move(DragStartPos_ + (globalPos - DragStartGlobal_));
    finishManualMove();
}

void FloatingToolWindow::finishManualMove()
{
    ManualMove_ = false;
    setCursor(Qt::ArrowCursor);
    if (Options_.storesPositionOnDrag) storePosition();
    giveFocusToMain();
}

namespace {
// How often a showing undoes a move of the window system's own.
constexpr int kPlaceRepairs = 3;
} // namespace

void FloatingToolWindow::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    if (SystemMove_ && Options_.storesPositionOnDrag) storePosition();
    // The program's own moves and the user's caption drags say where the
    // window belongs; any other move comes from the window system alone.
    if (!e->spontaneous() || captionDragUnderway() || !Place_) {
        Place_ = pos();
        return;
    }
    if (pos() == *Place_) return;
    if (PlaceRepairsLeft_ <= 0) {
        Place_ = pos();
        return;
    }
    --PlaceRepairsLeft_;
    // Put back once the window system is done with this event.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (Place_ && !captionDragUnderway() && pos() != *Place_) move(*Place_);
        },
        Qt::QueuedConnection);
}

void FloatingToolWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    PlaceRepairsLeft_ = kPlaceRepairs;
    // A place the window system gave the hidden window is not kept.
    if (Place_ && pos() != *Place_) move(*Place_);
}

bool FloatingToolWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != Strip_ && watched != LMessage) return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        strip_MouseDown(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
        return true;
    case QEvent::MouseMove: {
        const auto* me = static_cast<QMouseEvent*>(e);
        strip_MouseMove(me->globalPosition().toPoint(), me->buttons());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(e);
        strip_MouseUp(me->globalPosition().toPoint());
        return true;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, e);
}

// ---- Frame and layout -----------------------------------------------------------------

void FloatingToolWindow::placeCaptionButtons(int exitLeft)
{
    const int top = std::max(0, (Strip_->height() - CaptionButton::kHeight) / 2);
    pExit->move(exitLeft, top);
    pMm->move(exitLeft - CaptionButton::kWidth, top);
}

void FloatingToolWindow::layoutFrame()
{
    const int f = frameWidth();
    Client_->setGeometry(f, f, std::max(0, width() - 2 * f), std::max(0, height() - 2 * f));
    Strip_->setGeometry(0, 0, Client_->width(), Options_.stripHeight);
    LMessage->setGeometry(4, 0, std::max(0, Client_->width() - 4), Options_.stripHeight);
    placeCaptionButtons(Strip_->width() - CaptionButton::kWidth - 1);
}

void FloatingToolWindow::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutFrame();
    Form_Resize();
}

void FloatingToolWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Shadow));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (Options_.sizable) {
        p.setPen(palette().color(QPalette::Light));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

Qt::Edges FloatingToolWindow::edgesAt(const QPoint& p) const
{
    Qt::Edges edges;
    if (!Options_.sizable) return edges;
    const int f = frameWidth() + 1;
    if (p.x() < f) edges |= Qt::LeftEdge;
    if (p.x() >= width() - f) edges |= Qt::RightEdge;
    if (p.y() < f) edges |= Qt::TopEdge;
    if (p.y() >= height() - f) edges |= Qt::BottomEdge;
    return edges;
}

void FloatingToolWindow::mousePressEvent(QMouseEvent* e)
{
    const Qt::Edges edges = e->button() == Qt::LeftButton ? edgesAt(e->position().toPoint()) : Qt::Edges{};
    if (!edges) {
        QWidget::mousePressEvent(e);
        return;
    }
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemResize(edges)) return;
    ResizeEdges_ = edges;
    ResizeStartGlobal_ = e->globalPosition().toPoint();
    ResizeStartGeometry_ = geometry();
}

void FloatingToolWindow::mouseMoveEvent(QMouseEvent* e)
{
    if (!ResizeEdges_) {
        const Qt::Edges edges = edgesAt(e->position().toPoint());
        if ((edges & (Qt::LeftEdge | Qt::RightEdge)) && (edges & (Qt::TopEdge | Qt::BottomEdge)))
            setCursor((edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
                          ? Qt::SizeFDiagCursor
                          : Qt::SizeBDiagCursor);
        else if (edges & (Qt::LeftEdge | Qt::RightEdge))
            setCursor(Qt::SizeHorCursor);
        else if (edges)
            setCursor(Qt::SizeVerCursor);
        else
            unsetCursor();
        QWidget::mouseMoveEvent(e);
        return;
    }
    const QPoint d = e->globalPosition().toPoint() - ResizeStartGlobal_;
    QRect g = ResizeStartGeometry_;
    const auto within = [](int v, int lo, int hi) { return std::clamp(v, lo, std::max(lo, hi)); };
    if (ResizeEdges_ & Qt::RightEdge) g.setWidth(within(g.width() + d.x(), minimumWidth(), maximumWidth()));
    if (ResizeEdges_ & Qt::BottomEdge) g.setHeight(within(g.height() + d.y(), minimumHeight(), maximumHeight()));
    if (ResizeEdges_ & Qt::LeftEdge) {
        const int w = within(g.width() - d.x(), minimumWidth(), maximumWidth());
        g.setLeft(ResizeStartGeometry_.right() + 1 - w);
    }
    if (ResizeEdges_ & Qt::TopEdge) {
        const int h = within(g.height() - d.y(), minimumHeight(), maximumHeight());
        g.setTop(ResizeStartGeometry_.bottom() + 1 - h);
    }
    setGeometry(g);
}

void FloatingToolWindow::mouseReleaseEvent(QMouseEvent* e)
{
    if (ResizeEdges_) {
        ResizeEdges_ = {};
        giveFocusToMain();
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

} // namespace tq
