// The filter dialog's controls beyond the slider rows: picking a point on the
// source preview with a blinking crosshair, the two colour swatches, the
// channel banks, and the glass and curtain options. Each ends like a slider
// change: the run flags cleared and the preview computed again.
#include "dialogs/fFilter.h"

#include "dialogs/FilterPreviewBox.h"
#include "document/Numeric.h"
#include "widgets/ColourSwatch.h"
#include "platform/Ports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace tq {
namespace {

constexpr int tw(int twips) { return (twips + 7) / 15; }

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

void setBold(QWidget* w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

QLabel* colouredLabel(QWidget* parent, const char* name, const char* text, int left, int32_t colour)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    place(l, left, 120, 480, 195);
    if (colour >= 0) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
        l->setPalette(pal);
    }
    return l;
}

QFont smallFonts()
{
    QFont f(QStringLiteral("Small Fonts"));
    f.setPointSizeF(6.75);
    return f;
}

} // namespace

// ---- Building ---------------------------------------------------------------

void fFilter::buildBanks()
{
    frBanks = new QFrame(this);
    frBanks->setObjectName(QStringLiteral("frBanks"));
    place(frBanks, 3000, 360, 2520, 1740);
    frBanks->hide();
    lblRed = colouredLabel(frBanks, "lblRed", "Red", 240, 0xFF);
    lblGreen = colouredLabel(frBanks, "lblGreen", "Green", 720, 0x808000);
    lblBlue = colouredLabel(frBanks, "lblBlue", "Blue", 1200, 0xC00000);
    lblInvert = colouredLabel(frBanks, "lblInvert", "Invert", 1560, -1);
    lblKill = colouredLabel(frBanks, "lblKill", "Kill", 2040, -1);

    static const char* const kBoxCaptions[3] = {"B", "G", "R"};
    static const int kBoxTops[3] = {840, 480, 120};   // "R" on top
    const std::array<const char*, 3> frameNames = {"frRChannel", "frGChannel", "frBChannel"};
    const std::array<const char*, 3> boxNames = {"optRChannel", "optGChannel", "optBChannel"};
    std::array<QFrame*, 3> frames{};
    std::array<std::array<QCheckBox*, 3>*, 3> columns = {&optRChannel, &optGChannel, &optBChannel};
    for (int k = 0; k < 3; ++k) {
        auto* fr = new QFrame(frBanks);
        fr->setObjectName(QString::fromLatin1(frameNames[k]));
        place(fr, 120 + 480 * k, 360, 480, 1335);
        frames[k] = fr;
        for (int i = 0; i < 3; ++i) {
            auto* box = new QCheckBox(QString::fromLatin1(kBoxCaptions[i]), fr);
            box->setObjectName(QString::fromLatin1(boxNames[k]) + QString::number(i));
            place(box, 0, kBoxTops[i], 480, 285);
            (*columns[k])[i] = box;
            connect(box, &QCheckBox::clicked, this, [this, k, i] { optChannel_Click(k, i); });
        }
        // At design each column takes its own channel.
        (*columns[k])[2 - k]->setChecked(true);
    }
    frRChannel = frames[0];
    frGChannel = frames[1];
    frBChannel = frames[2];
    for (int i = 0; i < 3; ++i) {
        chkInvt[i] = new QCheckBox(frBanks);
        chkInvt[i]->setObjectName(QStringLiteral("chkInvt") + QString::number(i));
        place(chkInvt[i], 1800, 480 + 360 * i, 240, 240);
        connect(chkInvt[i], &QCheckBox::clicked, this, [this, i] { chkInvt_Click(i); });
        chkKill[i] = new QCheckBox(frBanks);
        chkKill[i]->setObjectName(QStringLiteral("chkKill") + QString::number(i));
        place(chkKill[i], 2160, 480 + 360 * i, 240, 240);
        connect(chkKill[i], &QCheckBox::clicked, this, [this, i] { chkKill_Click(i); });
    }
}

void fFilter::buildGlass()
{
    FrmGlass = new QGroupBox(QStringLiteral("Select an option:"), this);
    FrmGlass->setObjectName(QStringLiteral("FrmGlass"));
    place(FrmGlass, 3000, 360, 2535, 1815);
    FrmGlass->hide();
    static const char* const kCaptions[4] = {"Slanting", "Vertical", "Horizontal", "Squary"};
    for (int i = 0; i < 4; ++i) {
        auto* o = new QRadioButton(QString::fromLatin1(kCaptions[i]), FrmGlass);
        o->setObjectName(QStringLiteral("oo") + QString::number(i));
        o->setFont(smallFonts());
        place(o, 0, 200 + 400 * i, 1335, 285);
        oo[i] = o;
        connect(o, &QRadioButton::clicked, this, [this, i] { oo_Click(i); });
    }
    oo[0]->setChecked(true);
    setBold(oo[0], true);
    cbo = new QComboBox(FrmGlass);
    cbo->setObjectName(QStringLiteral("cbo"));
    cbo->setFont(smallFonts());
    place(cbo, 1320, 120, 1215, 315);
    connect(cbo, &QComboBox::currentIndexChanged, this, [this](int index) {
        // Emptying the list selects nothing, which is no choice.
        if (index >= 0) cbo_Click();
    });
}

void fFilter::buildCurtain()
{
    FrmCurtain = new QGroupBox(QStringLiteral("Curtain Effects"), this);
    FrmCurtain->setObjectName(QStringLiteral("FrmCurtain"));
    place(FrmCurtain, 3000, 360, 2535, 1815);
    FrmCurtain->hide();
    static const char* const kCaptions[4] = {"Horizontal", "Vertical", "Classy", "Whity"};
    for (int i = 0; i < 4; ++i) {
        auto* o = new QRadioButton(QString::fromLatin1(kCaptions[i]), FrmCurtain);
        o->setObjectName(QStringLiteral("Curt") + QString::number(i));
        place(o, 360, 240 + 360 * i, 1500, 285);
        Curt[i] = o;
        connect(o, &QRadioButton::clicked, this, [this, i] { Curt_Click(i); });
    }
    Curt[0]->setChecked(true);
    setBold(Curt[0], true);
}

// ---- Page set-up of the banks, glass and curtain pages -------------------------

void fFilter::setupBanks()
{
    frBanks->show();
    // Red from red, green from green, blue from blue, as the boxes show.
    ParamValue = {2, 1, 0};
}

void fFilter::setupGlass()
{
    FrmGlass->show();
    ParamValue[0] = 0;
    GlassStyleName = "slanting";
    cbo->clear();
    cbo->addItems({QStringLiteral("Light"), QStringLiteral("Tight")});
    cbo->setCurrentIndex(0);
}

void fFilter::setupCurtain()
{
    FrmCurtain->show();
    ParamValue[0] = 0;
    GlassStyleName = "curtain";
}

// ---- Point picking ---------------------------------------------------------------

void fFilter::EnablePointPick()
{
    PickEnabled = true;
    PickX = 0.5f;
    PickY = 0.5f;
    // The crosshair first shows at the first tick and blinks until unloading.
    tmrSelect->start();
}

void fFilter::tmrSelect_Timer()
{
    CrosshairColor = CrosshairColor == 0xFFFFFF ? 0 : 0xFFFFFF;
    DrawCrosshair();
}

void fFilter::DrawCrosshair()
{
    const int32_t px = rnd(static_cast<double>(PickX) * PreviewWidth);
    const int32_t py = rnd(static_cast<double>(PickY) * PreviewHeight);
    // The unfiltered copy erases the crosshair drawn before.
    iSrc->drawRecord(PreviewSource, PreviewWidth, PreviewHeight);
    // Each arm covers four pixels either side of the point.
    iSrc->drawLine(px - 4, py, px + 5, py, CrosshairColor);
    iSrc->drawLine(px, py - 4, px, py + 5, CrosshairColor);
    iSrc->update();
}

void fFilter::iSrc_MouseDown(Qt::MouseButton, float x, float y)
{
    // A press of any button picks as a move with the left button held.
    iSrc_MouseMove(Qt::LeftButton, x, y);
}

void fFilter::iSrc_MouseMove(Qt::MouseButtons buttons, float x, float y)
{
    if (!PickEnabled || buttons != Qt::LeftButton) return;
    pick(x, y);
}

void fFilter::pick(float x, float y)
{
    if (PreviewWidth < 1 || PreviewHeight < 1) return;
    // Beyond the edge of the preview the nearest edge pixel is picked.
    x = std::clamp(x, 0.0f, static_cast<float>(PreviewWidth - 1));
    y = std::clamp(y, 0.0f, static_cast<float>(PreviewHeight - 1));
    PickX = single(static_cast<double>(x) / PreviewWidth);
    PickY = single(static_cast<double>(y) / PreviewHeight);
    // The first swatch takes the colour under the point, also where the page
    // hides it.
    const int32_t px = rnd(x) + BitsBuffer::kMargin;
    const int32_t py = rnd(y) + BitsBuffer::kMargin;
    const size_t at = 4u * (static_cast<size_t>(py) * static_cast<size_t>(PreviewSource.width) + static_cast<size_t>(px));
    if (px < PreviewSource.width && py < PreviewSource.height && at + 2 < PreviewSource.bits.size()) {
        const uint8_t* p = PreviewSource.bits.data() + at;
        Col[0]->setBackColor(rgbColor(p[2], p[1], p[0]));
    }
    const QPointer<fFilter> self(this);
    platform::DoEvents();
    if (!self || unloaded_) return;
    DrawCrosshair();
    clearRunFlags();
    RunFilter(fltID);
}

// ---- Colour swatches -----------------------------------------------------------------

void fFilter::ShowColorSwatches(int16_t hide)
{
    const int32_t colour =
        iSrc->Point(rnd(static_cast<double>(PickX) * PreviewWidth), rnd(static_cast<double>(PickY) * PreviewHeight));
    // No picture drawn: the swatch keeps its colour.
    if (colour >= 0) Col[0]->setBackColor(colour);
    if (hide >= 0 && hide <= 1) Col[static_cast<size_t>(hide)]->hide();
    frColor->show();
}

void fFilter::Col_Click(int32_t index)
{
    ColourSwatch* swatch = Col[static_cast<size_t>(index)];
    if (platform::ColourPicker* picker = platform::ports().colourPicker) {
        std::optional<int32_t> chosen;
        try {
            chosen = picker->pick(swatch->BackColor());
        } catch (...) {
        }
        // A cancelled picker leaves the swatch as it was.
        if (chosen) swatch->setBackColor(*chosen);
    }
    if (unloaded_) return;
    clearRunFlags();
    RunFilter(fltID);
}

// ---- Channel banks -----------------------------------------------------------------------

void fFilter::optChannel_Click(int32_t channel, int32_t box)
{
    if (channel < 0 || channel > 2 || box < 0 || box > 2) return;
    const auto k = static_cast<size_t>(channel);
    // A click made by this handling's own changes is not handled again.
    if (BankBusy[k]) return;
    BankBusy[k] = true;
    const std::array<std::array<QCheckBox*, 3>*, 3> columns = {&optRChannel, &optGChannel, &optBChannel};
    // The column is a choice of one: a click on the ticked box leaves it
    // ticked.
    for (size_t j = 0; j < 3; ++j) (*columns[k])[j]->setChecked(j == static_cast<size_t>(box));
    BankBusy[k] = false;
    ParamValue[k] = box;
    clearRunFlags();
    RunFilter(fltID);
}

void fFilter::chkInvt_Click(int32_t)
{
    clearRunFlags();
    RunFilter(fltID);
}

void fFilter::chkKill_Click(int32_t)
{
    clearRunFlags();
    RunFilter(fltID);
}

// ---- Glass and curtain ---------------------------------------------------------------------

void fFilter::oo_Click(int32_t index)
{
    if (index < 0 || index > 3) return;
    const auto i = static_cast<size_t>(index);
    // The variants: "Light" is the first of two for "Slanting" but the
    // second of three for the others.
    cbo->clear();
    if (index == 0)
        cbo->addItems({QStringLiteral("Light"), QStringLiteral("Tight")});
    else
        cbo->addItems({QStringLiteral("Large"), QStringLiteral("Light"), QStringLiteral("Tight")});
    cbo->setCurrentIndex(0);
    for (QRadioButton* o : oo) setBold(o, false);
    setBold(oo[i], true);
    cbo->move(oo[i]->x() + oo[i]->width(), oo[i]->y());
    cbo->show();
    clearRunFlags();
    GlassStyleName = oo[i]->text().toLower().toStdString();
    RunFilter(fltID);
}

void fFilter::cbo_Click()
{
    AlreadyApplied = false;
    ParamValue[0] = cbo->currentIndex();
    RunFilter(fltID);
}

void fFilter::Curt_Click(int32_t index)
{
    if (index < 0 || index > 3) return;
    for (QRadioButton* o : Curt) setBold(o, false);
    setBold(Curt[static_cast<size_t>(index)], true);
    GlassStyleName = "curtain";
    ParamValue[0] = index;
    clearRunFlags();
    RunFilter(fltID);
}

} // namespace tq
