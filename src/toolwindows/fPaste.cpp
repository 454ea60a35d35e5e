// The history window itself: loading, the two tabs, the size rules, the
// roll-up values, the paste pressure and unloading. The action rows are in
// fPaste_Actions.cpp, the clip slots in fPaste_Clips.cpp.
#include "toolwindows/fPaste.h"

#include "widgets/cpvSlider.h"

#include "document/HistoryModel.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"

#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>

#include <algorithm>

namespace tq {

namespace {

// Tabs: 930 x 255 twips at (0, 300) and (960, 300); a 60 x 15 picture
// inside a one-pixel border.
constexpr int32_t kTabTopTwips = 300;
constexpr int32_t kTabWidthTwips = 930;
constexpr int32_t kTabHeightTwips = 255;
constexpr int32_t kClipsTabLeftTwips = 960;

QPixmap tabFace(const QString& text, bool open)
{
    return tq::tabFace(text, open, QColor(Qt::black), QColor(0x60, 0x60, 0x60));
}

QLabel* makeTab(QWidget* parent, const char* name, int32_t leftTwips)
{
    auto* tab = new QLabel(parent);
    tab->setObjectName(QString::fromUtf8(name));
    tab->setFrameStyle(QFrame::Box | QFrame::Plain);
    tab->setLineWidth(1);
    tab->setAlignment(Qt::AlignCenter);
    tab->setGeometry(twipsToPx(leftTwips), twipsToPx(kTabTopTwips), twipsToPx(kTabWidthTwips),
                     twipsToPx(kTabHeightTwips));
    return tab;
}

FloatingToolWindow::Options historyOptions()
{
    FloatingToolWindow::Options o;
    o.slotName = "fPaste";
    o.stripName = "TL";
    o.title = QStringLiteral("History");
    o.sizable = true;
    o.storesPositionOnDrag = true;
    return o;
}

} // namespace

fPaste::fPaste(QWidget* owner) : FloatingToolWindow(owner, historyOptions()), History_(programHistory())
{
    oActions = tabFace(QStringLiteral("Actions"), true);
    cActions = tabFace(QStringLiteral("Actions"), false);
    oClips = tabFace(QStringLiteral("Clips"), true);
    cClips = tabFace(QStringLiteral("Clips"), false);
    tabActions = makeTab(client(), "tabActions", 0);
    tabClips = makeTab(client(), "tabClips", kClipsTabLeftTwips);
    tabActions->installEventFilter(this);
    tabClips->installEventFilter(this);

    buildActionsPage();
    buildClipsPage();
    buildPressure();

    applySizeLimits();
    resize(twipsToPx(kWidthTwips), std::max(savedHeightPx(), twipsToPx(kMinHeightTwips)));
    layoutFrame();
    Form_Resize();

    // Loading: full height; both scroll ranges; the slider from the setting;
    // slot 0 current; the Actions tab open.
    setRollUpFace(false);
    RolledUp_ = false;
    Update_V();
    updateActionScroll();
    const int16_t pressure = programSettings().SelectionMovePressure;
    if (pressure >= BrSelectionMovePressure->Min() && pressure <= BrSelectionMovePressure->Max()) {
        // The handler runs even when the slider already stands there.
        const bool same = BrSelectionMovePressure->Value() == pressure;
        BrSelectionMovePressure->setValue(pressure);
        if (same) BrSelectionMovePressure_ValueChanged();
    }
    lblSize->setText(QString::number(programSettings().SelectionMovePressure));
    Clips_.setCurrent(0);
    tabActions_Click();

    History_.changed = [this] { showHistory(); };
    showHistory();
}

fPaste::~fPaste()
{
    Form_Unload();
    History_.changed = nullptr;
}

void fPaste::Form_Unload()
{
    if (Unloaded_) return;
    Unloaded_ = true;
    programSettings().SelectionMoveFromClip = false;
    Clips_.ClearCLip(true);
}

// ---- Sizes -----------------------------------------------------------------------

int fPaste::tabsBottomPx() const { return tabActions->y() + tabActions->height(); }

int fPaste::rolledUpHeightPx() const { return twipsToPx(pxToTwips(tabsBottomPx()) + 120); }

void fPaste::applySizeLimits()
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (RolledUp_) {
        setFixedSize(savedWidthPx(), rolledUpHeightPx());
    } else {
        // Only the height may change.
        setFixedWidth(twipsToPx(kWidthTwips));
        setMinimumHeight(twipsToPx(kMinHeightTwips));
    }
}

void fPaste::Form_Resize()
{
    if (RolledUp_) {
        // The strip and the tabs stay in sight; nothing else is placed.
        const QSize rolled(savedWidthPx(), rolledUpHeightPx());
        if (size() != rolled) resize(rolled);
        return;
    }
    const int h = std::max(height(), twipsToPx(kMinHeightTwips));
    const int w = twipsToPx(kWidthTwips);
    if (w != width() || h != height()) {
        resize(w, h);
        layoutFrame();
    }
    placeCaptionButtons(strip()->width() - CaptionButton::kWidth);

    const int cw = client()->width();
    const int t = tabsBottomPx() + 2;
    const int pageH = std::max(0, client()->height() - t);

    // Actions page: the rows' container beside its scroll bar.
    pframe->setGeometry(0, t, cw, pageH);
    const QRect in = pframe->contentsRect();
    const int barW = VV->sizeHint().width();
    pContainer->setGeometry(in.left(), pContainer->y(), std::max(0, in.width() - barW), pContainer->height());
    VV->setGeometry(in.right() + 1 - barW, in.top(), barW, in.height());

    // Clips page: the toolbar upright at the left, the list beside it, the
    // pressure row under the list.
    cFrame->setGeometry(0, t, cw, pageH);
    const QRect cin = cFrame->contentsRect();
    const int tb2H = tb2->height();
    const int tb1W = tb1->width();
    tb1->setGeometry(cin.left(), cin.top(), tb1W, std::max(0, cin.height() - tb2H));
    FPicPaste->setGeometry(cin.left() + tb1W, cin.top(), std::max(0, cin.width() - tb1W),
                           std::max(0, cin.height() - tb2H));
    const QRect lin = FPicPaste->contentsRect();
    const int vW = V->sizeHint().width();
    picPaste->setGeometry(lin.left(), picPaste->y(), std::max(0, lin.width() - vW), picPaste->height());
    V->setGeometry(lin.right() + 1 - vW, lin.top(), vW, lin.height());
    tb2->setGeometry(cin.left(), FPicPaste->y() + FPicPaste->height(), cin.width(), tb2H);

    updateActionScroll();
    Update_V();
    Settings& s = programSettings();
    s.HistoryBoxHeight = pxToTwips(height());
    s.HistoryBoxWidth = pxToTwips(width());
}

// ---- Tabs --------------------------------------------------------------------------

void fPaste::unroll()
{
    const QSize unrolled(savedWidthPx(), savedHeightPx());
    RolledUp_ = false;
    setRollUpFace(false);
    applySizeLimits();
    resize(unrolled);
}

void fPaste::tabActions_Click()
{
    ActionsOpen_ = true;
    tabActions->setPixmap(oActions);
    tabClips->setPixmap(cClips);
    pframe->show();
    cFrame->hide();
    unroll();
    giveFocusToMain();
}

void fPaste::tabClips_Click()
{
    ActionsOpen_ = false;
    tabActions->setPixmap(cActions);
    tabClips->setPixmap(oClips);
    pframe->hide();
    cFrame->show();
    unroll();
    giveFocusToMain();
}

// ---- Paste pressure ---------------------------------------------------------------

void fPaste::buildPressure()
{
    // tb2 holds the box Picture5 with the four controls at their places.
    auto* Picture5 = new QWidget(tb2);
    Picture5->setObjectName(QStringLiteral("Picture5"));
    Picture5->setGeometry(0, 1, twipsToPx(2400), twipsToPx(300));
    QFont small(QStringLiteral("Small Fonts"));
    small.setPixelSize(9);

    lblSize = new QLabel(Picture5);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    lblSize->setFont(small);
    lblSize->setGeometry(twipsToPx(1080), twipsToPx(60), twipsToPx(375), twipsToPx(135));

    BrSelectionMovePressure = new cpvSlider(Picture5);
    BrSelectionMovePressure->setObjectName(QStringLiteral("BrSelectionMovePressure"));
    BrSelectionMovePressure->setOrientation(cpvSlider::kHorizontal);
    BrSelectionMovePressure->setMax(100);
    BrSelectionMovePressure->setMin(1);
    BrSelectionMovePressure->setFocusPolicy(Qt::NoFocus);
    BrSelectionMovePressure->setGeometry(twipsToPx(120), twipsToPx(15), twipsToPx(1680), twipsToPx(240));
    // The label lies under the slider, which hides it.
    BrSelectionMovePressure->setAutoFillBackground(true);

    BrSelectionMovePressureUDT = new QLineEdit(Picture5);
    BrSelectionMovePressureUDT->setObjectName(QStringLiteral("BrSelectionMovePressureUDT"));
    BrSelectionMovePressureUDT->setFont(small);
    BrSelectionMovePressureUDT->setGeometry(twipsToPx(1800), twipsToPx(15), twipsToPx(330), twipsToPx(285));

    BrSelectionMovePressureUD = new QScrollBar(Qt::Vertical, Picture5);
    BrSelectionMovePressureUD->setObjectName(QStringLiteral("BrSelectionMovePressureUD"));
    BrSelectionMovePressureUD->setRange(1, 100);
    BrSelectionMovePressureUD->setFocusPolicy(Qt::NoFocus);
    BrSelectionMovePressureUD->setGeometry(twipsToPx(2100), 0, twipsToPx(195), twipsToPx(285));

    connect(BrSelectionMovePressure, &cpvSlider::ValueChanged, this, [this] { BrSelectionMovePressure_ValueChanged(); });
    connect(BrSelectionMovePressureUD, &QScrollBar::valueChanged, this, [this] { BrSelectionMovePressureUD_Change(); });
}

void fPaste::BrSelectionMovePressure_ValueChanged()
{
    const int v = BrSelectionMovePressure->Value();
    Settings& s = programSettings();
    s.SelectionMovePressure = static_cast<int16_t>(v);
    lblSize->setText(QString::number(s.SelectionMovePressure));
    BrSelectionMovePressureUDT->setText(QString::number(v));
    BrSelectionMovePressureUD->setValue(v);
    giveFocusToMain();
}

void fPaste::BrSelectionMovePressureUD_Change()
{
    const int v = BrSelectionMovePressureUD->value();
    if (v >= BrSelectionMovePressure->Min() && v <= BrSelectionMovePressure->Max()) BrSelectionMovePressure->setValue(v);
    BrSelectionMovePressureUDT->setText(QString::number(v));
    lblSize->setText(QString::number(programSettings().SelectionMovePressure));
}

// ---- Events ------------------------------------------------------------------------------

bool fPaste::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == tabActions || watched == tabClips) {
        if (e->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(e);
            auto* tab = static_cast<QWidget*>(watched);
            if (tab->rect().contains(me->position().toPoint())) {
                if (watched == tabActions)
                    tabActions_Click();
                else
                    tabClips_Click();
            }
            return true;
        }
        if (e->type() == QEvent::MouseButtonPress) return true;
        return false;
    }

    // The action rows' labels: pressed look and the click.
    const QVariant rowIndex = watched->property("actionRow");
    // A label being destroyed is no longer a label by the time its last
    // events arrive.
    auto* label = qobject_cast<QLabel*>(watched);
    if (rowIndex.isValid() && label) {
        if (e->type() == QEvent::MouseButtonPress) {
            label->setFrameStyle(QFrame::NoFrame);
            PressedRow_ = rowIndex.toInt();
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            giveFocusToMain();
            const auto* me = static_cast<QMouseEvent*>(e);
            const int pressed = PressedRow_;
            PressedRow_ = -1;
            if (pressed == rowIndex.toInt() && label->rect().contains(me->position().toPoint()))
                Ltext_Click(pressed);
            return true;
        }
        return false;
    }

    // The clip rows: a press gives the row a raised border, the release
    // flattens it, and a click makes the slot current.
    const QVariant clipIndex = watched->property("clipRow");
    if (clipIndex.isValid()) {
        const int i = clipIndex.toInt();
        QFrame* pc = ClipRows_.at(static_cast<size_t>(i)).pc;
        if (e->type() == QEvent::MouseButtonPress) {
            pc->setFrameStyle(QFrame::Panel | QFrame::Raised);
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            pc->setFrameStyle(QFrame::Box | QFrame::Plain);
            const auto* me = static_cast<QMouseEvent*>(e);
            auto* w = static_cast<QWidget*>(watched);
            if (w->rect().contains(me->position().toPoint())) pc_Click(i);
            return true;
        }
        return false;
    }
    return FloatingToolWindow::eventFilter(watched, e);
}

} // namespace tq
