#include "toolwindows/fToolColor.h"

#include "widgets/ColourSwatch.h"

#include "colour/bColorTool.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "platform/Ports.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace tq {

namespace {

constexpr int kBoxSize = 22;
constexpr QPoint kBoxPlaces[2] = {{8, 24}, {30, 46}};   // box 1 at box 0's lower-right corner
constexpr int kEditorLeft = 62;

FloatingToolWindow::Options colourWindowOptions()
{
    FloatingToolWindow::Options o;
    o.slotName = "fToolColor";
    o.stripName = "TL";
    o.title = QStringLiteral("Color Box");
    o.stripHeight = fToolColor::kStripHeight;
    // The editor's boxes are typed into.
    o.takesFocus = true;
    return o;
}

} // namespace

// ---- fToolColor ------------------------------------------------------------------------

fToolColor::fToolColor(QWidget* owner) : FloatingToolWindow(owner, colourWindowOptions())
{
    high = new QFrame(client());
    high->setObjectName(QStringLiteral("high"));
    high->setFrameStyle(QFrame::Box | QFrame::Plain);
    high->setLineWidth(1);
    high->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (int i = 0; i < 2; ++i) {
        cBox[i] = new ColourSwatch(client());
        cBox[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        cBox[i]->setCursor(Qt::ArrowCursor);
        cBox[i]->setObjectName(QStringLiteral("cBox%1").arg(i));
        cBox[i]->setFixedSize(kBoxSize, kBoxSize);
        cBox[i]->move(kBoxPlaces[i]);
        connect(cBox[i], &ColourSwatch::MouseDown, this, [this, i] { cBox_Click(i); });
        connect(cBox[i], &ColourSwatch::DblClick, this, [this, i] { cBox_DblClick(i); });
    }
    high->lower();
    bCol = new bColorTool(client());
    bCol->setObjectName(QStringLiteral("bCol"));
    bCol->move(kEditorLeft, kStripHeight);
    tHex = new QLineEdit(client());
    tHex->setObjectName(QStringLiteral("tHex"));
    tHex->setGeometry(4, 94, 56, 21);
    tHex->installEventFilter(this);
    resize(kWidth, twipsToPx(kOpenHeightTwips));

    // Load: the two colours, box 0 selected, the editor on box 0's colour.
    const Settings& s = programSettings();
    const uint32_t spare = static_cast<uint32_t>(s.ColorSpare);
    const int32_t first =
        (spare & 0xFF000000u) == kBox0Mark ? static_cast<int32_t>(spare & 0xFFFFFFu) : s.ActiveColor;
    cBox[1]->setBackColor(s.SecondColor);
    cBox[0]->setBackColor(first);
    placeSelectionFrame(0);
    high->show();
    SelectedColorIndex_ = 0;
    connect(bCol, &bColorTool::Change, this, [this] { bCol_Change(); });
    setEditorColour(first);
}

fToolColor::~fToolColor() = default;

QSize fToolColor::unrolledSizePx() const { return QSize(width(), twipsToPx(kOpenHeightTwips)); }

void fToolColor::placeSelectionFrame(int i)
{
    const QRect box = cBox[i]->geometry();
    high->setGeometry(box.x() - 1, box.y() - 1, box.width() + 3, box.height() + 3);
}

void fToolColor::setBoxColour(int i, int32_t colour)
{
    cBox[i]->setBackColor(colour);
    if (i == 0)
        programSettings().ColorSpare = static_cast<int32_t>(kBox0Mark | (static_cast<uint32_t>(colour) & 0xFFFFFFu));
}

void fToolColor::setEditorColour(int32_t colour)
{
    bCol->setcRedValue(colour & 0xFF);
    bCol->setcGreenValue((colour & 0xFF00) / 256);
    bCol->setcBlueValue((colour & 0xFF0000) / 65536);
}

// ---- Handlers --------------------------------------------------------------------------

void fToolColor::bCol_Change()
{
    tHex->setText(QString::fromStdString(bCol->HTMLColor()));
    const int32_t c = bCol->CurrentColor();
    setBoxColour(SelectedColorIndex_, c);
    Settings& s = programSettings();
    if (SelectedColorIndex_ == 0) {
        s.ActiveColor = c;
    } else {
        s.SecondColor = c;
        s.ActiveColor = s.SecondColor;
    }
    // The main window's shortcuts work again; but while the user types into
    // one of the editor's boxes the box keeps the keyboard.
    QWidget* focus = QApplication::focusWidget();
    const bool typing = focus && bCol->isAncestorOf(focus) && qobject_cast<QLineEdit*>(focus);
    if (!typing) giveFocusToMain();
}

void fToolColor::cBox_Click(int i)
{
    SelectedColorIndex_ = static_cast<int16_t>(i);
    placeSelectionFrame(i);
    high->show();
    Settings& s = programSettings();
    s.ActiveColor = i == 1 ? s.SecondColor : cBox[0]->BackColor();
    giveFocusToMain();
}

void fToolColor::cBox_DblClick(int i)
{
    platform::ColourPicker* picker = platform::ports().colourPicker;
    if (!picker) return;
    const std::optional<int32_t> chosen = picker->pick(cBox[i]->BackColor());
    if (!chosen) return;
    setBoxColour(i, *chosen);
    Settings& s = programSettings();
    if (i == 1) s.SecondColor = *chosen;
    s.ActiveColor = *chosen;
    // The editor (and with it the HTML text) shows the colour just chosen;
    // its change events write the same colour into the box again.
    if (i == SelectedColorIndex_) setEditorColour(*chosen);
}

void fToolColor::PickColour(int32_t colour)
{
    setBoxColour(SelectedColorIndex_, colour);
    setEditorColour(colour);
}

bool fToolColor::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == tHex && e->type() == QEvent::MouseButtonRelease) giveFocusToMain();
    return FloatingToolWindow::eventFilter(watched, e);
}

} // namespace tq
