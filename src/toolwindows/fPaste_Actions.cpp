// The Actions page of the history window: the rows of the history model as
// pairs of labels (step number, action name) under one another, the marker
// on the step shown, the scroll bar, and the jump to a step.
#include "toolwindows/fPaste.h"

#include "document/HistoryModel.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"

#include <QFrame>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tq {

namespace {

constexpr int32_t kNumberLeftTwips = 240;
constexpr int32_t kNumberWidthTwips = 255;
constexpr int32_t kTextLeftTwips = 480;
constexpr int32_t kTextWidthTwips = 2055;
constexpr int32_t kMarkerWidthTwips = 240;
constexpr int32_t kScrollLargeChangeTwips = 1800;

// The marker: a dark red disc of 150 x 150 twips at (50, 100) of its box.
class RowMarker : public QWidget {
public:
    explicit RowMarker(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Pindicator")); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(192, 0, 0));
        p.drawEllipse(twipsToPx(50), twipsToPx(100), twipsToPx(150), twipsToPx(150));
    }
};

int rowTopPx(int i) { return twipsToPx(fPaste::kRowHeightTwips * i); }
int rowHeightPx() { return twipsToPx(fPaste::kRowHeightTwips); }

} // namespace

void fPaste::buildActionsPage()
{
    pframe = new QFrame(client());
    pframe->setObjectName(QStringLiteral("pframe"));
    pframe->setFrameStyle(QFrame::Box | QFrame::Plain);
    pContainer = new QWidget(pframe);
    pContainer->setObjectName(QStringLiteral("pContainer"));
    pContainer->setGeometry(1, 1, 10, twipsToPx(kContainerStartTwips));
    Pindicator = new RowMarker(pContainer);
    Pindicator->setGeometry(0, 0, twipsToPx(kMarkerWidthTwips), rowHeightPx());
    Pindicator->hide();
    VV = new QScrollBar(Qt::Vertical, pframe);
    VV->setObjectName(QStringLiteral("VV"));
    VV->setMinimum(0);
    VV->setSingleStep(1);
    VV->setPageStep(kScrollLargeChangeTwips);
    VV->setFocusPolicy(Qt::NoFocus);
    connect(VV, &QScrollBar::valueChanged, this, [this](int v) {
        pContainer->move(pContainer->x(), pframe->contentsRect().top() - twipsToPx(v));
        giveFocusToMain();
    });
}

QLabel* fPaste::Lno(int i) const
{
    return i >= 0 && i < LtextCount() ? Rows_[static_cast<size_t>(i)].Lno : nullptr;
}

QLabel* fPaste::Ltext(int i) const
{
    return i >= 0 && i < LtextCount() ? Rows_[static_cast<size_t>(i)].Ltext : nullptr;
}

int32_t fPaste::ImageID() const { return History_.ImageID; }

void fPaste::showHistory()
{
    const int n = History_.rowCount();
    // Rows beyond the model's go; rows it has more of are made hidden, with
    // the look of row 0, and shown once placed.
    while (LtextCount() > n) {
        ActionRow r = Rows_.back();
        Rows_.pop_back();
        r.Lno->hide();
        r.Ltext->hide();
        r.Lno->deleteLater();
        r.Ltext->deleteLater();
    }
    while (LtextCount() < n) {
        const int i = LtextCount();
        ActionRow r;
        r.Lno = new QLabel(pContainer);
        r.Lno->setObjectName(QStringLiteral("Lno%1").arg(i));
        r.Lno->setAlignment(Qt::AlignCenter);
        r.Lno->setAutoFillBackground(true);
        QPalette numbers = r.Lno->palette();
        numbers.setColor(QPalette::Window, Qt::black);
        numbers.setColor(QPalette::WindowText, Qt::white);
        r.Lno->setPalette(numbers);
        r.Ltext = new QLabel(pContainer);
        r.Ltext->setObjectName(QStringLiteral("Ltext%1").arg(i));
        r.Ltext->setFrameStyle(QFrame::Box | QFrame::Plain);
        r.Ltext->setAutoFillBackground(true);
        r.Ltext->setBackgroundRole(QPalette::Base);
        r.Ltext->setForegroundRole(QPalette::Text);
        QFont f(QStringLiteral("MS Sans Serif"));
        f.setPointSizeF(8.25);
        r.Ltext->setFont(f);
        r.Ltext->setProperty("actionRow", i);
        r.Ltext->installEventFilter(this);
        r.Lno->hide();
        r.Ltext->hide();
        Rows_.push_back(r);
    }

    for (int i = 0; i < n; ++i) {
        const HistoryRow& m = History_.row(i);
        ActionRow& r = Rows_[static_cast<size_t>(i)];
        r.Lno->setGeometry(twipsToPx(kNumberLeftTwips), rowTopPx(i), twipsToPx(kNumberWidthTwips), rowHeightPx());
        r.Ltext->setGeometry(twipsToPx(kTextLeftTwips), rowTopPx(i), twipsToPx(kTextWidthTwips), rowHeightPx());
        r.Lno->setText(QString::fromStdString(m.Lno));
        r.Ltext->setText(QString::fromStdString(m.Ltext));
        r.Ltext->setEnabled(m.enabled);
        r.Lno->setVisible(m.visible);
        r.Ltext->setVisible(m.visible);
    }

    const HistoryIndicator& marker = History_.Pindicator();
    Pindicator->move(0, rowTopPx(marker.row));
    Pindicator->setVisible(marker.visible);
    Pindicator->raise();

    // The container grows with the rows once there are more than two; below
    // that, and when rows go, it keeps its height.
    if (n > 2) ContainerTwips_ = kRowHeightTwips * n + kContainerSpareTwips;
    pContainer->resize(pContainer->width(), twipsToPx(ContainerTwips_));
    updateActionScroll();
}

void fPaste::updateActionScroll()
{
    const int32_t inner = pxToTwips(pframe->contentsRect().height());
    const bool taller = ContainerTwips_ > inner;
    // The range is kept in 32 bits: past some ninety rows the difference no
    // longer fits 16 bits, and the last rows must still be reachable.
    VV->setEnabled(taller);
    VV->setMaximum(std::max<int32_t>(0, ContainerTwips_ - inner));
}

void fPaste::Ltext_Click(int Index)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    // The step's snapshot is loaded; the document's counters and the marker
    // move only when it was (a file that can no longer be read leaves the
    // picture and the list as they were).
    doc->JumpToHistoryStep(Index);
}

} // namespace tq
