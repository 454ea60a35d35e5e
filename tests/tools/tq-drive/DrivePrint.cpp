// --print OUT.pdf[,fit][,centre][,copies=N]: the active document printed to
// a PDF file through the print dialog the File menu opens ("PRINT"): the
// PDF writer is chosen in its printer list, "Fit to page" and "Center image"
// are checked when named and unchecked otherwise, the copies (1 to 99,
// default 1) set, and "Print" pressed, with OUT as the answer to the file
// dialog it asks with. A file already at OUT is the program's to confirm,
// through a message box answered as --answer says. The step fails when the
// dialog does not open, on a warning or an error box, or when nothing is at
// OUT afterwards. The printers of the print system are never used.
#include "Drive.h"

#include "export/fPrint.h"
#include "platform/QtPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>

#include <filesystem>

namespace tq::drive {
namespace {

struct PrintOptions {
    std::string out;
    bool fit = false;
    bool centre = false;
    int copies = 1;
};

std::optional<PrintOptions> parsePrint(const std::string& value, std::string& error)
{
    const std::vector<std::string> parts = splitComma(value);
    PrintOptions o;
    o.out = parts.front();
    if (o.out.empty()) {
        error = "--print needs the PDF file first";
        return std::nullopt;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (p == "fit") {
            o.fit = true;
        } else if (p == "centre") {
            o.centre = true;
        } else if (p.rfind("copies=", 0) == 0) {
            const auto n = parseNumber(p.substr(7));
            if (!n || *n < 1 || *n > 99) {
                error = "the copies are 1 to 99";
                return std::nullopt;
            }
            o.copies = static_cast<int>(*n);
        } else {
            error = "--print takes OUT.pdf[,fit][,centre][,copies=N], not " + p;
            return std::nullopt;
        }
    }
    return o;
}

StepResult runPrint(Drive& d, const Step& s)
{
    std::string error;
    const std::optional<PrintOptions> o = parsePrint(s.values[0], error);
    if (!o) return error;
    if (!d.activeDocument()) return "no active document";

    // Qt's own printer, whose PDF writer makes a real file; the one the
    // driver starts with only records pages.
    platform::QtPrinter printer;
    platform::ScopedPorts realPrinter(platform::Ports{.printer = &printer});
    const size_t before = d.ports.messageBoxes.shown.size();
    fPrint* dialog = d.openDialog<fPrint>([&] { d.main.MenuExec("PRINT"); });
    if (!dialog) return d.settle(before, error) ? "the print dialog did not open" : error;

    const int pdf = dialog->cbPrinters->findText(QString::fromUtf8(platform::kPdfPrinterName));
    if (pdf < 0) {
        dialog->cmdCancel->click();
        return "the printer list has no PDF writer";
    }
    dialog->cbPrinters->setCurrentIndex(pdf);
    emit dialog->cbPrinters->activated(pdf);
    dialog->chkFit->setChecked(o->fit);
    dialog->chkCenter->setChecked(o->centre);
    dialog->setCopies(o->copies);

    d.ports.fileDialogs.answerPath(o->out);
    dialog->cmdOK->click();
    // An answer the print did not ask for must not answer a later dialog.
    d.ports.fileDialogs.answers.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    if (!d.settle(before, error)) return error;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(o->out, ec)) return "nothing was written at " + o->out;
    return {};
}

const Register printFlag({"--print", 1, "OUT.pdf[,fit][,centre][,copies=N]", {}, runPrint});

} // namespace
} // namespace tq::drive
