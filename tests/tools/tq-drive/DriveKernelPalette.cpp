// tq-drive steps for the kernel editor and the palette dialog. Each opens its
// dialog through its menu item, as the user does, loads the file through the
// dialog's own load button (its file dialog answered with FILE) and presses
// OK. A load the dialog refuses fails the step with the message it showed.
//
//   --user-filter FILE.qif        the kernel as the file holds it; a 3 x 3
//                                 kernel goes into the inner cells of the
//                                 grid, whose outer ring keeps what earlier
//                                 steps of the run left there (zeros at first),
//                                 and "Keep margins" stays ticked
//   --palette FILE [--dither N]   the palette applied with each pixel's error
//                                 spread to its neighbours, which the dialog
//                                 always does: N can only be 1. The program
//                                 folder must hold a "Palettes" folder, which
//                                 the dialog asks for.
#include "Drive.h"

#include "dialogs/fPaletteApply.h"
#include "dialogs/fUserFilter.h"
#include "mainwindow/MenuTable.h"

#include <QCoreApplication>
#include <QPushButton>

namespace tq::drive {
namespace {

// The dialog a menu item showed, or nullptr.
template <class Dialog>
Dialog* openFromMenu(Drive& d, const char* item)
{
    const MenuItemSpec* spec = findMenuItem(item, -1);
    if (!spec) return nullptr;
    MenuClick(*spec, d.shell);
    QCoreApplication::processEvents();
    auto* dialog = d.main.findChild<Dialog*>();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

// Loads the file through the dialog's load button, then presses OK.
StepResult loadAndApply(Drive& d, QDialog* dialog, QPushButton* load, QPushButton* ok, QPushButton* cancel,
                        const std::string& file)
{
    const auto& shown = d.ports.messageBoxes.shown;
    const size_t before = shown.size();
    d.ports.fileDialogs.answers.clear();
    d.ports.fileDialogs.answerPath(file);
    load->click();
    // A dialog that was never asked leaves its answer queued.
    const bool asked = d.ports.fileDialogs.answers.empty();
    d.ports.fileDialogs.answers.clear();
    if (shown.size() > before || !asked) {
        cancel->click();
        return shown.size() > before ? shown.back().text : "the file dialog did not open";
    }
    if (!ok->isEnabled()) {
        cancel->click();
        return "OK stayed disabled after the load";
    }
    ok->click();
    if (dialog->isVisible()) {
        const std::string why = shown.size() > before ? shown.back().text : "the dialog stayed open";
        cancel->click();
        return why;
    }
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

StepResult runUserFilter(Drive& d, const Step& s)
{
    auto* dlg = openFromMenu<fUserFilter>(d, "mnuUserFilters");
    if (!dlg) return "the kernel editor did not open";
    return loadAndApply(d, dlg, dlg->cmd[0], dlg->cmdOK, dlg->cmdCancel, s.values[0]);
}

StepResult runPalette(Drive& d, const Step& s)
{
    if (const auto* dither = s.attachedValues("--dither")) {
        const auto n = dither->size() == 1 ? parseNumber((*dither)[0]) : std::nullopt;
        if (!n) return "--dither takes one whole number";
        if (*n != 1) return "the palette dialog always spreads the error: only --dither 1 can be asked for";
    }
    auto* dlg = openFromMenu<fPaletteApply>(d, "mnuPalette");
    if (!dlg) return "the palette dialog did not open";
    return loadAndApply(d, dlg, dlg->cmd[0], dlg->cmdOK, dlg->cmdCancel, s.values[0]);
}

const Register userFilterFlag({"--user-filter", 1, "FILE.qif", {}, runUserFilter});
const Register paletteFlag({"--palette", 1, "FILE", {"--dither"}, runPalette});

} // namespace
} // namespace tq::drive
