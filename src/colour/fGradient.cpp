// The picker's contract and interaction: Init, the colour update, picking
// on the field and the slider, typing and stepping with the keyboard timer,
// the options, restore, OK and Cancel. Set-up, layout and painting are in
// fGradient_Paint.cpp.
#include "colour/fGradient.h"

#include "colour/cGradient.h"
#include "document/Numeric.h"
#include "document/SharedRoutines.h"
#include "platform/Ports.h"
#include "widgets/QtControls.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <exception>
#include <string>

namespace tq {

namespace {

const QString kGroupHSB = QStringLiteral("hsb");
const QString kGroupRGB = QStringLiteral("rgb");

// A text as the dialog writes its boxes: one decimal, "0.0" for what rounds
// to nothing.
QString oneDecimal(double v)
{
    QString s = QString::number(v, 'f', 1);
    if (s == QStringLiteral("-0.0")) s = QStringLiteral("0.0");
    return s;
}

// The leading number of a box, clamped and rounded to a byte.
uint8_t channelOf(const QLineEdit* box)
{
    uint8_t b = 0;
    toByte(pvClamp(Val(box->text().toStdString()), 0, 255), b);
    return b;
}

double numberOf(const QLineEdit* box, double max) { return pvClamp(Val(box->text().toStdString()), 0, max); }

} // namespace

fGradient::~fGradient() = default;

// ---- The contract -------------------------------------------------------------------

bool fGradient::Init(int32_t clrColor, int32_t& clrNew)
{
    try {
        if (clrColor == -1)
            clrColor = 0;
        else
            clrColor = cGradient::TranslateColor(clrColor);
        CurrentHSB_.H = -1;
        setSwatch(labOld, clrColor);
        OldColor_ = clrColor;
        setColor(clrColor);
        pvRefresh();
        Accepted_ = false;
        // Where the user left it last time. Without a place of its own the
        // platform centres a dialog again at every show, from frame sizes it
        // may not know yet, so it would not keep its place between calls.
        if (LastPlace_) move(*LastPlace_);
        exec();
        LastPlace_ = pos();
        if (!Accepted_) return false;
        clrNew = Color_;
        return true;
    } catch (const std::exception& e) {
        platform::MsgBox(std::string("Error: ") + e.what(), platform::MsgButtons::OK, platform::MsgIcon::Critical,
                         kCaption);
        return false;
    }
}

// ---- The colour update ----------------------------------------------------------------

void fGradient::setColor(int32_t c)
{
    if (WebSafe_) {
        const WebSafeTable& t = Renderer_.Table;
        c = static_cast<int32_t>((static_cast<uint32_t>(c) & 0xFF000000u) | t[colorRed(c)] |
                                 (uint32_t(t[colorGreen(c)]) << 8) | (uint32_t(t[colorBlue(c)]) << 16));
    }
    if (pvSameHSB(CurrentHSB_, LastHSB_) && c == Color_) return;
    Color_ = c;
    LastHSB_ = CurrentHSB_;
    setSwatch(labNew, c);

    UpdatingTexts_ = true;
    pvSetText(txt[kRed], QString::number(colorRed(c)));
    pvSetText(txt[kGreen], QString::number(colorGreen(c)));
    pvSetText(txt[kBlue], QString::number(colorBlue(c)));
    if (CurrentHSB_.H < 0) CurrentHSB_ = pvRGBToHSB(c);
    pvSetText(txt[kHue], QString::number(rnd(CurrentHSB_.H)));
    pvSetText(txt[kSat], QString::number(rnd(CurrentHSB_.S)));
    pvSetText(txt[kBri], QString::number(rnd(CurrentHSB_.B)));
    const uint32_t cmyk = static_cast<uint32_t>(pvRGBToCMYK(c));
    pvSetText(txtCyan, QString::number(cmyk & 0xFF));
    pvSetText(txtMagenta, QString::number((cmyk >> 8) & 0xFF));
    pvSetText(txtYellow, QString::number((cmyk >> 16) & 0xFF));
    pvSetText(txtBlack, QString::number((cmyk >> 24) & 0xFF));
    const LabRecord lab = pvXYZToLab(pvRGBToXYZ(c));
    pvSetText(txtLabLuminance, oneDecimal(lab.L));
    pvSetText(txtLabA, oneDecimal(lab.a));
    pvSetText(txtLabB, oneDecimal(lab.b));
    pvSetText(txtNewColor, QString::fromStdString(pvHexPad(colorRed(c), 2) + pvHexPad(colorGreen(c), 2) +
                                                  pvHexPad(colorBlue(c), 2)));
    UpdatingTexts_ = false;

    Renderer_.WebSafe = WebSafe_;
    Renderer_.Accelerate = Accelerate_;
    switch (Mode_) {
    case kHue: Renderer_.pvUpdateHue(pvMakeHSB(CurrentHSB_.H, 100, 100), WebSafe_); break;
    case kSat: Renderer_.pvUpdateSaturation(CurrentHSB_, WebSafe_); break;
    case kBri: Renderer_.pvUpdateBrightness(CurrentHSB_, WebSafe_); break;
    case kRed: Renderer_.pvUpdateRed(c, WebSafe_); break;
    case kGreen: Renderer_.pvUpdateGreen(c, WebSafe_); break;
    case kBlue: Renderer_.pvUpdateBlue(c, WebSafe_); break;
    default: break;
    }
}

void fGradient::pvSetText(QLineEdit* box, const QString& text)
{
    box->setText(text);
    // The box the user is typing in keeps its caret.
    if (box != focusWidget()) box->setSelection(0, static_cast<int>(text.length()));
}

void fGradient::pvRefresh()
{
    const int32_t c = Color_;
    Color_ = -1;   // so that the update cannot find nothing changed
    CurrentHSB_.H = -1;
    setColor(c);
    pvInvalidate();
}

void fGradient::pvInvalidate()
{
    AutoRedraw_ = false;
    update();
}

void fGradient::refreshNow()
{
    AutoRedraw_ = false;
    if (isVisible()) repaint();
}

void fGradient::showSelection(QLineEdit* box, bool show)
{
    QPalette p = box->palette();
    const QPalette normal = QApplication::palette(box);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Highlight, show ? normal.color(g, QPalette::Highlight) : normal.color(g, QPalette::Base));
        p.setColor(g, QPalette::HighlightedText,
                   show ? normal.color(g, QPalette::HighlightedText) : normal.color(g, QPalette::Text));
    }
    box->setPalette(p);
}

void fGradient::setSwatch(QLabel* swatch, int32_t colour)
{
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, QColor(colorRed(colour), colorGreen(colour), colorBlue(colour)));
    swatch->setPalette(p);
}

// ---- Mode and picking -------------------------------------------------------------------

void fGradient::opt_Click(int index)
{
    if (index < kHue || index > kBlue) return;
    Mode_ = index;
    if (!opt[index]->isChecked()) opt[index]->setChecked(true);
    pvRefresh();
}

void fGradient::processFieldPoint(int x, int y)
{
    const int32_t W = Renderer_.FieldWidth, H = Renderer_.FieldHeight;
    if (W >= 2 && H >= 2) {
        const auto p = [&](double r) { return pvClamp(x * r / (W - 1), 0, r); };
        const auto q = [&](double r) { return pvClamp(y * r / (H - 1), 0, r); };
        const int32_t R = colorRed(Color_), G = colorGreen(Color_), B = colorBlue(Color_);
        switch (Mode_) {
        case kHue:
            CurrentHSB_.S = p(100);
            CurrentHSB_.B = 100 - q(100);
            setColor(pvHSBToRGB(CurrentHSB_));
            break;
        case kSat:
            CurrentHSB_.H = p(359);
            CurrentHSB_.B = 100 - q(100);
            setColor(pvHSBToRGB(CurrentHSB_));
            break;
        case kBri:
            CurrentHSB_.H = p(359);
            CurrentHSB_.S = 100 - q(100);
            setColor(pvHSBToRGB(CurrentHSB_));
            break;
        case kRed:
            CurrentHSB_.H = -1;
            setColor(rgbColor(R, rnd(p(255)), rnd(255 - q(255))));
            break;
        case kGreen:
            CurrentHSB_.H = -1;
            setColor(rgbColor(rnd(p(255)), G, rnd(255 - q(255))));
            break;
        case kBlue:
            CurrentHSB_.H = -1;
            setColor(rgbColor(rnd(p(255)), rnd(255 - q(255)), B));
            break;
        default: break;
        }
    }
    refreshNow();
}

void fGradient::processBarPoint(int y)
{
    const int32_t H = Renderer_.BarHeight;
    if (H >= 2) {
        const auto u = [&](double r) { return pvClamp(y * r / (H - 1), 0, r); };
        const int32_t R = colorRed(Color_), G = colorGreen(Color_), B = colorBlue(Color_);
        switch (Mode_) {
        case kHue:
            CurrentHSB_.H = 359 - u(359);
            setColor(pvHSBToRGB(CurrentHSB_));
            break;
        case kSat:
            CurrentHSB_.S = 100 - u(100);
            setColor(pvHSBToRGB(CurrentHSB_));
            break;
        case kBri:
            CurrentHSB_.B = 100 - u(100);
            setColor(pvHSBToRGB(CurrentHSB_));
            break;
        case kRed:
            CurrentHSB_.H = -1;
            setColor(rgbColor(rnd(255 - u(255)), G, B));
            break;
        case kGreen:
            CurrentHSB_.H = -1;
            setColor(rgbColor(R, rnd(255 - u(255)), B));
            break;
        case kBlue:
            CurrentHSB_.H = -1;
            setColor(rgbColor(R, G, rnd(255 - u(255))));
            break;
        default: break;
        }
    }
    refreshNow();
}

void fGradient::imgRect_MouseDown(int x, int y)
{
    DraggingField_ = true;
    processFieldPoint(x, y);
}

void fGradient::imgRect_MouseMove(int x, int y)
{
    if (DraggingField_) processFieldPoint(x, y);
}

void fGradient::imgRect_MouseUp(int x, int y)
{
    processFieldPoint(x, y);
    DraggingField_ = false;
}

void fGradient::imgRect_DblClick() { cmdOK_Click(); }

void fGradient::imgBar_MouseDown(int y)
{
    DraggingBar_ = true;
    processBarPoint(y);
}

void fGradient::imgBar_MouseMove(int y)
{
    if (DraggingBar_) processBarPoint(y);
}

void fGradient::imgBar_MouseUp(int y)
{
    processBarPoint(y);
    DraggingBar_ = false;
}

// ---- Typing and stepping ----------------------------------------------------------------------

void fGradient::txt_Change(int index)
{
    // The up-down follows the text; its own change handler is for the
    // user's clicks only, not for this.
    const bool syncing = SyncingUpDown_;
    SyncingUpDown_ = true;
    try {
        LineEditTextBox text(txt[index]);
        ScrollBarUpDown upDown(upd[index]);
        mAPI::SyncScrollFromText2(text, upDown);
    } catch (...) {
    }
    SyncingUpDown_ = syncing;
    if (!UpdatingTexts_) pvStartKeyboardTimer(index < kRed ? kGroupHSB : kGroupRGB);
}

void fGradient::upd_Change(int index)
{
    if (SyncingUpDown_) return;
    txt[index]->setText(QString::number(upd[index]->value()));
    tmrKeyboard_Timer();
}

void fGradient::pvStartKeyboardTimer(const QString& tag)
{
    if (!Tag_.isEmpty() && Tag_ != tag) {
        // The other group is still pending: apply it first, keeping what
        // the user is typing into the box in use.
        auto* active = qobject_cast<QLineEdit*>(focusWidget());
        const QString remembered = active ? active->text() : QString();
        tmrKeyboard_Timer();
        if (active) active->setText(remembered);
    }
    Tag_ = tag;
    tmrKeyboard->start(kKeyboardInterval);
}

void fGradient::tmrKeyboard_Timer()
{
    if (Tag_ == kGroupRGB) {
        const uint32_t top = static_cast<uint32_t>(Color_) & 0xFF000000u;
        const uint32_t rgb = channelOf(txt[kRed]) | (uint32_t(channelOf(txt[kGreen])) << 8) |
                             (uint32_t(channelOf(txt[kBlue])) << 16);
        CurrentHSB_.H = -1;
        setColor(static_cast<int32_t>(top | rgb));
        pvRefresh();
    } else if (Tag_ == kGroupHSB) {
        CurrentHSB_ = pvMakeHSB(numberOf(txt[kHue], 359), numberOf(txt[kSat], 100), numberOf(txt[kBri], 100));
        setColor(pvHSBToRGB(CurrentHSB_));
        pvInvalidate();
    }
    tmrKeyboard->stop();
    Tag_.clear();
}

// ---- Restore, options, OK and Cancel -----------------------------------------------------------

void fGradient::labOld_Click()
{
    setColor(OldColor_);
    pvRefresh();
}

void fGradient::chkWebSafe_Click()
{
    WebSafe_ = chkWebSafe->isChecked();
    chkAccel->setEnabled(!WebSafe_);
    pvRefresh();
}

void fGradient::chkAccel_Click()
{
    // Every mode draws its field again, by the method now chosen.
    for (FieldCacheRecord& e : Renderer_.FieldCache) e.Field = Picture();
    Accelerate_ = chkAccel->isChecked() && FillAvailable_;
    pvRefresh();
}

void fGradient::cmdOK_Click()
{
    // The colour accepted is the one the boxes show: a group typed less
    // than the timer's interval ago is applied first.
    if (!Tag_.isEmpty()) tmrKeyboard_Timer();
    Accepted_ = true;
    accept();
    platform::DoEvents();
}

void fGradient::cmdCancel_Click()
{
    reject();
    platform::DoEvents();
}

// ---- Events -------------------------------------------------------------------------------------

bool fGradient::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == imgRect || watched == imgBar) {
        const bool field = watched == imgRect;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
            if (e->type() == QEvent::MouseButtonPress)
                field ? imgRect_MouseDown(p.x(), p.y()) : imgBar_MouseDown(p.y());
            else if (e->type() == QEvent::MouseMove)
                field ? imgRect_MouseMove(p.x(), p.y()) : imgBar_MouseMove(p.y());
            else
                field ? imgRect_MouseUp(p.x(), p.y()) : imgBar_MouseUp(p.y());
            return true;
        }
        case QEvent::MouseButtonDblClick:
            if (field) imgRect_DblClick();
            return true;
        default: break;
        }
        return QDialog::eventFilter(watched, e);
    }
    if (watched == labOld && e->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton && labOld->rect().contains(me->position().toPoint())) labOld_Click();
        return true;
    }
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
        // A box shows its selection only while it has the focus.
        if (auto* box = qobject_cast<QLineEdit*>(watched)) showSelection(box, e->type() == QEvent::FocusIn);
    }
    if (e->type() == QEvent::KeyPress) {
        // Only digits and Backspace reach the six boxes.
        for (QLineEdit* box : txt)
            if (watched == box && refuseTypedKey(box, *static_cast<QKeyEvent*>(e), 0, mAPI::FilterDigitKey))
                return true;
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace tq
