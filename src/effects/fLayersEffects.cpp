#include "effects/fLayersEffects.h"

#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "document/SharedRoutines.h"
#include "document/PictureRoutines.h"
#include "effects/EffectPictureBox.h"
#include "effects/ThumbnailPicture.h"
#include "effectslib/EffectCalls.h"
#include "platform/Ports.h"
#include "widgets/QtControls.h"
#include "platform/SkippedStep.h"
#include "platform/SystemColors.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"
#include "widgets/cpvSlider.h"
#include "widgets/ColourSwatch.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

QColor qColour(int32_t colour)
{
    const int32_t c = translateColor(colour).value_or(0);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A picture box's frame: a sunken border two pixels wide around the area
// its children are placed in, filled with the given colour.
QFrame* pictureFrame(QWidget* parent, int32_t backColour)
{
    auto* f = new QFrame(parent);
    f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f->setLineWidth(2);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, qColour(backColour));
    f->setPalette(pal);
    return f;
}

QLabel* label(QWidget* parent, const char* text, int x, int y, int w, int h, bool wrap = false)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, y, w, h);
    l->setWordWrap(wrap);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

// The nearest whole number, halves to the even neighbour.
int nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

// The desktop's window background, the colour an empty text box shows.
constexpr int32_t kWindowBackground = static_cast<int32_t>(0x80000005u);
// The application workspace, behind the result preview.
constexpr int32_t kAppWorkspace = static_cast<int32_t>(0x8000000Cu);
constexpr int32_t kWhite = 0xFFFFFF;

} // namespace

// The design state, in pixels (15 twips each): a 424 x 299 client area;
// the two preview frames on the left, the strength panel on the right with
// the three options frames on top of each other, the buttons below it. The
// short labels are a little wider than designed, where nothing lies beside
// them, so the desktop's wider fonts are not cut.
fLayersEffects::fLayersEffects(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fLayersEffects"));
    setWindowTitle(QStringLiteral("Layer Effects"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(424, 299);
    setModal(true);
    // The places and sizes are those of an 8-point dialog font.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    FiSrc = pictureFrame(this, 0x808080);
    FiSrc->setObjectName(QStringLiteral("FiSrc"));
    FiSrc->setGeometry(8, 8, 177, 140);
    iSrc = new effects::EffectPictureBox(FiSrc);
    iSrc->setObjectName(QStringLiteral("iSrc"));
    iSrc->setGeometry(FiSrc->contentsRect().x(), FiSrc->contentsRect().y(), 169, 129);

    FiDst = pictureFrame(this, kAppWorkspace);
    FiDst->setObjectName(QStringLiteral("FiDst"));
    FiDst->setGeometry(8, 152, 177, 140);
    iDst = new effects::EffectPictureBox(FiDst);
    iDst->setObjectName(QStringLiteral("iDst"));
    iDst->setGeometry(FiDst->contentsRect().x(), FiDst->contentsRect().y(), 169, 129);

    Picture3 = new QWidget(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setGeometry(192, 8, 225, 281);
    Label8 = label(Picture3, "Adjust the slider to a desired value", 16, 24, 205, 17);

    HS = new cpvSlider(Picture3);
    HS->setObjectName(QStringLiteral("HS"));
    HS->setOrientation(cpvSlider::kHorizontal);
    HS->setMax(100);
    HS->setGeometry(16, 40, 152, 16);
    HST = new QLineEdit(QStringLiteral("0"), Picture3);
    HST->setObjectName(QStringLiteral("HST"));
    HST->setGeometry(168, 40, 30, 20);
    HSD = new UpDownBar(Picture3);
    HSD->setObjectName(QStringLiteral("HSD"));
    HSD->setRange(1, 100);
    HSD->setValue(10);
    HSD->setFocusPolicy(Qt::NoFocus);
    HSD->setGeometry(200, 40, 15, 20);

    FNone = new QGroupBox(QStringLiteral("No Options"), Picture3);
    FNone->setObjectName(QStringLiteral("FNone"));
    fColor = new QGroupBox(Picture3);
    fColor->setObjectName(QStringLiteral("fColor"));
    fTileEffect = new QGroupBox(Picture3);
    fTileEffect->setObjectName(QStringLiteral("fTileEffect"));
    for (QGroupBox* f : {FNone, fColor, fTileEffect}) {
        f->setGeometry(8, 64, 209, 161);
        f->hide();
    }

    Label4 = label(fColor, "Select Color", 8, 16, 70, 15);
    Text2 = new ColourSwatch(fColor);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFixedSize(19, 19);
    Text2->move(8, 32);
    Text2->setBackColor(kWindowBackground);
    Label1 = label(fColor, "Replace with", 8, 80, 70, 17);
    widenToText(Label1);
    pTransparent = new ColourSwatch(fColor);
    pTransparent->setObjectName(QStringLiteral("pTransparent"));
    pTransparent->setFixedSize(19, 19);
    pTransparent->move(8, 96);
    pTransparent->setBackColor(kWhite);
    Label2 = label(fColor, "Move the mouse pointer over the upper image and press a particular color to be replaced", 80,
                   16, 121, 73, true);
    Label3 = label(fColor,
                   "Click the color box to select a color for replacing the selected color from the Original image.",
                   80, 88, 121, 65, true);

    Label5 = label(fTileEffect, "Background Color", 16, 24, 94, 15);
    colTile = new ColourSwatch(fTileEffect, true);
    colTile->setObjectName(QStringLiteral("colTile"));
    colTile->setFixedSize(41, 17);
    // Right of its caption, however wide the caption's font makes it.
    colTile->move(std::max(112, widenToText(Label5) + 4), 24);
    colTile->setBackColor(kWhite);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(240, 248, 81, 25);
    cmdCancel->setAutoDefault(false);
    cmdOK = new QPushButton(QStringLiteral("Apply Effect"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(328, 248, 81, 25);
    cmdOK->setAutoDefault(false);

    connect(HS, &cpvSlider::ValueChanged, this, &fLayersEffects::HS_valueChanged);
    connect(HSD, &QScrollBar::valueChanged, this, [this](int) { HSD_Change(); });
    connect(HST, &QLineEdit::textChanged, this, [this](const QString&) { HST_Change(); });
    HST->installEventFilter(this);
    connect(iSrc, &effects::EffectPictureBox::MouseDown, this, &fLayersEffects::iSrc_MouseDown);
    connect(iDst, &effects::EffectPictureBox::MouseDown, this, &fLayersEffects::iDst_MouseDown);
    connect(pTransparent, &ColourSwatch::Click, this, &fLayersEffects::pTransparent_Click);
    connect(colTile, &ColourSwatch::Click, this, &fLayersEffects::colTile_Click);
    connect(cmdOK, &QPushButton::clicked, this, &fLayersEffects::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &fLayersEffects::cmdCancel_Click);

    Form_Load();
}

fLayersEffects::~fLayersEffects() = default;

int32_t fLayersEffects::FiSrcScaleWidth() const { return FiSrc->contentsRect().width(); }
int32_t fLayersEffects::FiSrcScaleHeight() const { return FiSrc->contentsRect().height(); }

void fLayersEffects::Form_Load() { ReplacementColor = pTransparent->BackColor(); }

void fLayersEffects::AdjustThumbPreview(const DibRecord& picSrc)
{
    const int32_t frameW = FiSrcScaleWidth();
    const int32_t frameH = FiSrcScaleHeight();
    int32_t w = 1, h = 1;
    mBitmap::FitSize(picSrc.width, picSrc.height, frameW, frameH - 5, w, h);
    iSrc->resize(w, h);
    iDst->resize(w, h);
    step([&] {
        iSrc->surface = effects::thumbnailPicture(picSrc, w, h);
        iSrc->Refresh();
    });
    // Centred where smaller than the frame, with 3 pixels more on the left.
    const double left = w < frameW ? (frameW - w) / 2.0 + 3 : 0.0;
    const double top = h < frameH ? (frameH - h) / 2.0 : 0.0;
    const QPoint at = FiSrc->contentsRect().topLeft() + QPoint(nearest(left), nearest(top));
    iSrc->move(at);
    step([&] {
        iDst->surface = iSrc->surface;
        iDst->Refresh();
    });
    iDst->move(FiDst->contentsRect().topLeft() + QPoint(nearest(left), nearest(top)));
}

void fLayersEffects::setUpDownValue(int32_t v)
{
    // An up-down refuses a value outside its range, as the slider does.
    if (v < HSD->minimum() || v > HSD->maximum()) throw InvalidPropertyValue("Value");
    HSD->setValue(v);
}

void fLayersEffects::HS_valueChanged()
{
    const int32_t c = Text2->BackColor();
    const int32_t v = HS->Value();
    step([&] { HST->setText(QString::number(v)); });
    step([&] { setUpDownValue(v); });
    step([&] {
        const std::optional<EffectCall> call =
            effectCall(Effect, v, c, ReplacementColor, iSrc->surface.width, iSrc->surface.height);
        if (!call) return;
        // A failed call leaves the preview as it was.
        runEffectCall(*call, iDst->surface, iSrc->surface, &EffectReserved);
        iDst->Refresh();
    });
}

void fLayersEffects::HSD_Change()
{
    step([&] { HS->setValue(HSD->value()); });
}

void fLayersEffects::HST_Change()
{
    LineEditTextBox text(HST);
    mAPI::SyncSliderFromText(*HS, text);
}

void fLayersEffects::HST_KeyPress(int16_t& KeyAscii) { mAPI::FilterDigitKey(KeyAscii); }

bool fLayersEffects::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == HST && e->type() == QEvent::KeyPress) {
        // Typing stops at three characters; the program itself may write
        // more ("-255").
        return refuseTypedKey(HST, *static_cast<QKeyEvent*>(e), 3, [this](int16_t& k) { HST_KeyPress(k); });
    }
    return QDialog::eventFilter(watched, e);
}

void fLayersEffects::pickColour(const effects::EffectPictureBox& box, double X, double Y)
{
    const int32_t colour = box.pixel(nearest(X), nearest(Y));
    // Outside the picture there is no colour to take.
    if (colour >= 0) Text2->setBackColor(colour);
}

void fLayersEffects::iSrc_MouseDown(double X, double Y)
{
    step([&] { pickColour(*iSrc, X, Y); });
    HS_valueChanged();
}

void fLayersEffects::iDst_MouseDown(double X, double Y)
{
    step([&] { pickColour(*iDst, X, Y); });
}

void fLayersEffects::pTransparent_Click()
{
    platform::ColourPicker* picker = platform::ports().colourPicker;
    if (!picker) return;
    const std::optional<int32_t> chosen = picker->pick(pTransparent->BackColor());
    if (!chosen) return;
    pTransparent->setBackColor(*chosen);
    ReplacementColor = pTransparent->BackColor();
    HS_valueChanged();
}

void fLayersEffects::colTile_Click()
{
    platform::ColourPicker* picker = platform::ports().colourPicker;
    if (!picker) return;
    const std::optional<int32_t> chosen = picker->pick(colTile->BackColor());
    if (!chosen) return;
    colTile->setBackColor(*chosen);
    ReplacementColor = colTile->BackColor();
    HS_valueChanged();
}

void fLayersEffects::cmdOK_Click()
{
    hide();
    const int32_t v = HS->Value();
    const int32_t c = Text2->BackColor();
    step([&] {
        if (mBitmap::GetActiveImage(ActiveImage()))
            ActiveImage()->ApplyEffectsToCanvas(Effect, v, c, ReplacementColor, true);
    });
    done(QDialog::Accepted);
}

void fLayersEffects::cmdCancel_Click() { done(QDialog::Rejected); }

} // namespace tq
