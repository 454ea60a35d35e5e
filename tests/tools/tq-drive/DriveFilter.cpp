// tq-drive steps of the filter dialog:
//
//   --filter PAGE [--rows V1,V2,...] [--options I,J,...] [--point X,Y]
//                 [--swatch N=0xRRGGBB]...
//
// PAGE is a page number (0 to 40) or one of the page's command keys. The
// dialog opens on the active document as the page's menu item opens it (the
// page's caption labels the step; page 13, which no key opens, is opened
// directly), then the attached flags act on it in the order given, as a user
// would:
//   --rows    types each value into its row's text box; a value outside the
//             row's range is held to it, as the dialog does.
//   --options the option box (1 ticked, 0 clear); on "RGB banks" the input
//             channel of red, green and blue (0 blue, 1 green, 2 red), then
//             the invert boxes and the kill boxes of red, green and blue (1
//             ticked); on "Behind Glass" the style (0 Slanting, 1 Vertical,
//             2 Horizontal, 3 Squary) and the variant's place in its list;
//             on "Behind Curtain" the curtain (0 to 3).
//   --point   a press of the left button at (X, Y) on the source preview.
//   --swatch  a click on swatch N (0 or 1), answered with the colour.
// Then OK: the document gets the result as one undo step.
#include "Drive.h"

#include "dialogs/FilterPages.h"
#include "dialogs/FilterPreviewBox.h"
#include "dialogs/fFilter.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "widgets/ColourSwatch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>

namespace tq::drive {
namespace {

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPointF at)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void clickAt(QWidget* w, QPointF at)
{
    sendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    sendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
}

// The values of a flag as whole numbers; nullopt when one is not.
std::optional<std::vector<long long>> numbers(const std::vector<std::string>& values)
{
    std::vector<long long> out;
    for (const std::string& v : values)
        for (const std::string& part : splitComma(v)) {
            const auto n = parseNumber(part);
            if (!n) return std::nullopt;
            out.push_back(*n);
        }
    return out;
}

// Ticks or clears a box with a click, as a user changes it.
void setBox(QCheckBox* box, bool ticked)
{
    if (box->isChecked() != ticked) box->click();
}

StepResult setRows(fFilter& dlg, const FilterPageSpec& spec, const std::vector<std::string>& values)
{
    const auto v = numbers(values);
    if (!v) return "--rows takes whole numbers";
    if (static_cast<int32_t>(v->size()) > spec.rowCount)
        return std::string(spec.caption) + " has " + std::to_string(spec.rowCount) + " rows";
    for (size_t i = 0; i < v->size(); ++i) {
        QLineEdit* text = dlg.lblFilterV[i];
        text->setFocus();
        text->selectAll();
        text->setText(QString::number((*v)[i]));
    }
    return {};
}

StepResult setOptions(fFilter& dlg, const FilterPageSpec& spec, const std::vector<std::string>& values)
{
    const auto v = numbers(values);
    if (!v || v->empty()) return "--options takes whole numbers";
    const auto& n = *v;
    auto inRange = [&](long long lo, long long hi) {
        return std::all_of(n.begin(), n.end(), [&](long long x) { return x >= lo && x <= hi; });
    };
    switch (spec.extra) {
    case FilterExtra::Banks: {
        if (n.size() > 9 || !inRange(0, 2)) return "RGB banks takes up to 9 options: 3 channels 0..2, then 0 or 1";
        const std::array<std::array<QCheckBox*, 3>*, 3> columns = {&dlg.optRChannel, &dlg.optGChannel,
                                                                   &dlg.optBChannel};
        for (size_t i = 0; i < n.size(); ++i) {
            if (i < 3)
                (*columns[i])[static_cast<size_t>(n[i])]->click();
            else if (n[i] > 1)
                return "the invert and kill options are 0 or 1";
            else
                setBox(i < 6 ? dlg.chkInvt[i - 3] : dlg.chkKill[i - 6], n[i] == 1);
        }
        return {};
    }
    case FilterExtra::Glass: {
        if (n.size() > 2 || n[0] < 0 || n[0] > 3) return "Behind Glass takes a style 0..3 and a variant";
        dlg.oo[static_cast<size_t>(n[0])]->click();
        if (n.size() == 2) {
            if (n[1] < 0 || n[1] >= dlg.cbo->count()) return "no such variant of this style";
            dlg.cbo->setCurrentIndex(static_cast<int>(n[1]));
        }
        return {};
    }
    case FilterExtra::Curtain:
        if (n.size() != 1 || !inRange(0, 3)) return "Behind Curtain takes one curtain 0..3";
        dlg.Curt[static_cast<size_t>(n[0])]->click();
        return {};
    case FilterExtra::None:
        break;
    }
    if (!spec.option) return std::string(spec.caption) + " has no options";
    if (n.size() != 1 || !inRange(0, 1)) return "the option is 0 or 1";
    setBox(dlg.chkOption, n[0] == 1);
    return {};
}

StepResult pickPoint(fFilter& dlg, const std::vector<std::string>& values)
{
    const auto v = numbers(values);
    if (!v || v->size() != 2) return "--point takes X,Y";
    if (!dlg.PickEnabled) return "this page picks no point";
    sendMouse(dlg.iSrc, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton,
              QPointF(double((*v)[0]), double((*v)[1])));
    sendMouse(dlg.iSrc, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton,
              QPointF(double((*v)[0]), double((*v)[1])));
    return {};
}

StepResult chooseSwatches(Drive& d, fFilter& dlg, const std::vector<std::string>& values)
{
    for (const std::string& value : values) {
        const size_t eq = value.find('=');
        const auto index = eq == std::string::npos ? std::nullopt : parseNumber(value.substr(0, eq));
        const auto colour = eq == std::string::npos ? std::nullopt : parseColour(value.substr(eq + 1));
        if (!index || !colour || *index < 0 || *index > 1) return "--swatch takes N=0xRRGGBB with N 0 or 1";
        ColourSwatch* swatch = dlg.Col[static_cast<size_t>(*index)];
        if (!swatch->isVisibleTo(&dlg)) return "swatch " + std::to_string(*index) + " is not shown on this page";
        d.ports.colourPicker.answers.push_back(*colour);
        clickAt(swatch, QPointF(2, 2));
    }
    return {};
}

fFilter* openDialog(Drive& d)
{
    for (fFilter* f : d.main.findChildren<fFilter*>())
        if (!f->unloaded() && f->isVisible()) return f;
    return nullptr;
}

StepResult runFilter(Drive& d, const Step& s)
{
    const std::string& name = s.values[0];
    const auto number = parseNumber(name);
    const int32_t page = number ? (*number >= 0 && *number < kFilterPageCount ? int32_t(*number) : -1)
                                : filterPageOfKey(name);
    const FilterPageSpec* spec = filterPage(page);
    if (!spec) return "no filter page " + name;
    if (!d.activeDocument()) return "no active document";

    const size_t before = d.ports.messageBoxes.shown.size();
    LastActionName() = spec->caption;
    // The key given, or the page's first; a page without a key opens as its
    // key would open it.
    const char* key = number ? spec->keys[0] : name.c_str();
    if (key)
        d.main.MenuExec(key);
    else if (mBitmap::GetActiveImage(ActiveImage()))
        openFilterDialog(page);
    fFilter* dlg = openDialog(d);
    if (!dlg) return "the filter dialog did not open";

    for (const auto& [flag, values] : s.attached) {
        StepResult r;
        if (flag == "--rows")
            r = setRows(*dlg, *spec, values);
        else if (flag == "--options")
            r = setOptions(*dlg, *spec, values);
        else if (flag == "--point")
            r = pickPoint(*dlg, values);
        else if (flag == "--swatch")
            r = chooseSwatches(d, *dlg, values);
        if (!r.empty()) {
            dlg->cmdCancel->click();
            return r;
        }
    }
    dlg->cmdOK->click();
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

const Register filterFlag({"--filter", 1, "PAGE", {"--rows", "--options", "--point", "--swatch"}, runFilter});

} // namespace
} // namespace tq::drive
