// tq-drive steps for the image size, canvas size, orientation, rotate and
// new-image dialogs. Each opens its dialog through its key, as the image
// menu does (with the menu's caption as the step's label), fills it as a
// user would and presses OK. A dialog that stays open after OK (a refused
// size) is cancelled and the step fails with the message it showed.
//
//   --size W,H[,smooth]                 "Anti-Alias" ticked with smooth
//   --canvas W,H,ANCHOR[,0xRRGGBB]      ANCHOR: top-left, top, top-right, left,
//                                       centre, right, bottom-left, bottom,
//                                       bottom-right; the canvas is black, so
//                                       the only colour is 0x000000
//   --orientation TURN,FLIPH,FLIPV      TURN 0 or 90; FLIPH, FLIPV 0 or 1
//   --rotate DEGREES[,smooth][,0xRRGGBB] -180 to 180; uncovered corners are
//                                       black, so the only colour is 0x000000
//   --new W,H,BACKGROUND                white, transparent or 0xRRGGBB
#include "Drive.h"

#include "dialogs/SizeBoxPair.h"
#include "dialogs/fCanvas.h"
#include "dialogs/fNew.h"
#include "dialogs/fOrientation.h"
#include "dialogs/fRotate.h"
#include "dialogs/fSize.h"
#include "widgets/ColourSwatch.h"
#include "document/ProgramContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include <string>

namespace tq::drive {
namespace {

// The dialog the key showed, or nullptr.
template <class Dialog>
Dialog* openDialog(Drive& d, const std::string& key, const std::string& caption, bool statik = false)
{
    LastActionName() = caption;
    if (statik)
        d.main.MenuStatic(key);
    else
        d.main.MenuExec(key);
    QCoreApplication::processEvents();
    auto* dialog = d.main.findChild<Dialog*>();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

// Types a number into a box: the digits as keys, as far as the box takes
// typing; a longer number is pasted whole.
void enter(QLineEdit* box, long long value)
{
    const QString text = QString::number(value);
    box->setFocus();
    box->selectAll();
    if (text.length() > SizeBox::kTypedLength || value < 0) {
        box->insert(text);
        return;
    }
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (ch.unicode() - u'0'), Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + (ch.unicode() - u'0'), Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::sendEvent(box, &release);
    }
}

void click(QWidget* widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// Presses OK; a dialog that stays open refused the values.
StepResult pressOk(Drive& d, QDialog* dialog, QPushButton* ok, QPushButton* cancel, size_t shownBefore)
{
    ok->click();
    const auto& shown = d.ports.messageBoxes.shown;
    if (dialog->isVisible()) {
        const std::string why = shown.size() > shownBefore ? shown.back().text : "the dialog stayed open";
        cancel->click();
        return why;
    }
    std::string error;
    return d.settle(shownBefore, error) ? StepResult{} : error;
}

std::optional<long long> side(const std::string& s)
{
    const auto v = parseNumber(s);
    if (!v || *v < -99999999 || *v > 99999999) return std::nullopt;
    return v;
}

// The optional colour of --canvas and --rotate: what the dialogs leave
// uncovered is always black.
StepResult blackOnly(const std::string& s)
{
    const auto c = parseColour(s);
    if (!c) return "not a colour: " + s;
    if (*c != 0) return "the dialog leaves the uncovered area black: only 0x000000 can be asked for";
    return {};
}

StepResult runSize(Drive& d, const Step& s)
{
    const auto v = splitComma(s.values[0]);
    if (v.size() < 2 || v.size() > 3 || (v.size() == 3 && v[2] != "smooth")) return "expected W,H[,smooth]";
    const auto W = side(v[0]), H = side(v[1]);
    if (!W || !H) return "expected whole numbers W,H";
    const size_t before = d.ports.messageBoxes.shown.size();
    auto* dlg = openDialog<fSize>(d, "IMAGESIZE", "Size ...");
    if (!dlg) return "the image size dialog did not open";
    dlg->chkKeepProportions->setChecked(false);
    dlg->chkInterpolate->setChecked(v.size() == 3);
    enter(dlg->txtW, *W);
    enter(dlg->txtH, *H);
    return pressOk(d, dlg, dlg->cmdOK, dlg->cmdCancel, before);
}

StepResult runCanvas(Drive& d, const Step& s)
{
    static const char* const kAnchors[] = {"top-left", "top",         "top-right", "left",        "centre",
                                           "right",    "bottom-left", "bottom",    "bottom-right"};
    const auto v = splitComma(s.values[0]);
    if (v.size() < 3 || v.size() > 4) return "expected W,H,ANCHOR[,0xRRGGBB]";
    const auto W = side(v[0]), H = side(v[1]);
    if (!W || !H) return "expected whole numbers W,H";
    int anchor = -1;
    for (int i = 0; i < 9; ++i)
        if (v[2] == kAnchors[i] || (i == 4 && v[2] == "center")) anchor = i;
    if (anchor < 0) return "unknown anchor: " + v[2];
    if (v.size() == 4)
        if (StepResult r = blackOnly(v[3]); !r.empty()) return r;
    const size_t before = d.ports.messageBoxes.shown.size();
    auto* dlg = openDialog<fCanvas>(d, "CANVASSIZE", "Canvas ...");
    if (!dlg) return "the canvas size dialog did not open";
    dlg->chkKeepProportions->setChecked(false);
    // A click in the middle of the anchor's cell.
    const int tw = dlg->iCnv->cellWidth(), th = dlg->iCnv->cellHeight();
    click(dlg->iCnv, QPoint(anchor % 3 * tw + tw / 2, anchor / 3 * th + th / 2));
    enter(dlg->txtW, *W);
    enter(dlg->txtH, *H);
    return pressOk(d, dlg, dlg->cmdOK, dlg->cmdCancel, before);
}

StepResult runOrientation(Drive& d, const Step& s)
{
    const auto v = splitComma(s.values[0]);
    if (v.size() != 3 || (v[0] != "0" && v[0] != "90") || (v[1] != "0" && v[1] != "1") || (v[2] != "0" && v[2] != "1"))
        return "expected TURN,FLIPH,FLIPV: 0 or 90, then 0 or 1 twice";
    const size_t before = d.ports.messageBoxes.shown.size();
    auto* dlg = openDialog<fOrientation>(d, "IMAGEORIENTATION", "Orientation ...");
    if (!dlg) return "the orientation dialog did not open";
    dlg->cbOrientation->setCurrentIndex(v[0] == "90" ? 1 : 0);
    if (dlg->chkFlip[0]->isChecked() != (v[1] == "1")) dlg->chkFlip[0]->click();
    if (dlg->chkFlip[1]->isChecked() != (v[2] == "1")) dlg->chkFlip[1]->click();
    return pressOk(d, dlg, dlg->cmdOK, dlg->cmdCancel, before);
}

StepResult runRotate(Drive& d, const Step& s)
{
    const auto v = splitComma(s.values[0]);
    if (v.empty() || v.size() > 3) return "expected DEGREES[,smooth][,0xRRGGBB]";
    const auto degrees = parseNumber(v[0]);
    if (!degrees || *degrees < -180 || *degrees > 180) return "expected DEGREES from -180 to 180";
    bool smooth = false;
    for (size_t i = 1; i < v.size(); ++i) {
        if (v[i] == "smooth" && i == 1) {
            smooth = true;
            continue;
        }
        if (StepResult r = blackOnly(v[i]); !r.empty()) return r;
    }
    const size_t before = d.ports.messageBoxes.shown.size();
    auto* dlg = openDialog<fRotate>(d, "IMAGEROTATE", "Rotation ...");
    if (!dlg) return "the rotate dialog did not open";
    dlg->setAngle(static_cast<int16_t>(*degrees));
    if (dlg->chkAntialiasing->isChecked() != smooth) dlg->chkAntialiasing->click();
    return pressOk(d, dlg, dlg->cmdOK, dlg->cmdCancel, before);
}

StepResult runNew(Drive& d, const Step& s)
{
    const auto v = splitComma(s.values[0]);
    if (v.size() != 3) return "expected W,H,BACKGROUND";
    const auto W = side(v[0]), H = side(v[1]);
    if (!W || !H) return "expected whole numbers W,H";
    std::optional<int32_t> custom;
    if (v[2] != "white" && v[2] != "transparent") {
        custom = parseColour(v[2]);
        if (!custom) return "BACKGROUND is white, transparent or 0xRRGGBB";
    }
    const size_t before = d.ports.messageBoxes.shown.size();
    auto* dlg = openDialog<fNew>(d, "NEW", "New", true);
    if (!dlg) return "the new-image dialog did not open";
    dlg->chkKeepProportions->setChecked(false);
    dlg->cbDefault->setCurrentIndex(0);
    enter(dlg->txtW, *W);
    enter(dlg->txtH, *H);
    if (custom) {
        // The colour box opens the picker, which is answered with the colour.
        d.ports.colourPicker.answers.push_back(*custom);
        click(dlg->CP, QPoint(2, 2));
    } else {
        dlg->OP[v[2] == "white" ? 0 : 1]->click();
    }
    return pressOk(d, dlg, dlg->cmdOK, dlg->cmdCancel, before);
}

const Register sizeFlag({"--size", 1, "W,H[,smooth]", {}, runSize});
const Register canvasFlag({"--canvas", 1, "W,H,ANCHOR[,0xRRGGBB]", {}, runCanvas});
const Register orientationFlag({"--orientation", 1, "TURN,FLIPH,FLIPV", {}, runOrientation});
const Register rotateFlag({"--rotate", 1, "DEGREES[,smooth][,0xRRGGBB]", {}, runRotate});
const Register newFlag({"--new", 1, "W,H,BACKGROUND", {}, runNew});

} // namespace
} // namespace tq::drive
