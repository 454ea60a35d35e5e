// --optimised-save PRESET OUT [--jpeg-quality Q]: the optimised save as the
// File menu opens it ("IMAGESAVEOPTIONS"): the preset is picked from the
// list (its number 0 to 23 or its caption), the custom JPEG quality Q (1 to
// 100, only with "JPEG - Custom Quality ..") typed into its box, and OUT
// written through "Save As"; then the dialog is closed with "Exit". The step
// fails when the dialog does not open, when the conversion cannot be
// applied or written (with the dialog's reason), or when OUT is not there.
// A regular file at OUT is removed first; anything else there is kept.
#include "Drive.h"

#include "export/FWeb.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

namespace tq::drive {
namespace {

constexpr int kCustomQualityPreset = 20;

std::optional<int> presetIndex(const std::string& text)
{
    if (const auto n = parseNumber(text)) {
        if (*n >= 0 && *n < static_cast<long long>(WebSavePresets.size())) return static_cast<int>(*n);
        return std::nullopt;
    }
    for (size_t i = 0; i < WebSavePresets.size(); ++i)
        if (text == WebSavePresets[i].caption) return static_cast<int>(i);
    return std::nullopt;
}

// Types the number into the box as keys, over its whole text.
void typeNumber(QLineEdit* box, long long value)
{
    box->setFocus();
    box->selectAll();
    for (const QChar ch : QString::number(value)) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (ch.unicode() - u'0'), Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + (ch.unicode() - u'0'), Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::sendEvent(box, &release);
    }
}

StepResult runOptimisedSave(Drive& d, const Step& s)
{
    const std::optional<int> preset = presetIndex(s.values[0]);
    if (!preset) return "no preset has this number or caption: " + s.values[0] + " (0 to 23)";
    const std::string& out = s.values[1];
    std::optional<long long> quality;
    if (const auto* q = s.attachedValues("--jpeg-quality")) {
        if (q->size() != 1) return "--jpeg-quality takes one value";
        quality = parseNumber(q->front());
        if (!quality || *quality < 1 || *quality > 100) return "the JPEG quality is a whole number from 1 to 100";
        if (*preset != kCustomQualityPreset)
            return std::string("--jpeg-quality goes with \"") + WebSavePresets[kCustomQualityPreset].caption + "\"";
    }

    fImage* doc = d.activeDocument();
    if (!doc) return "no active document";
    const size_t before = d.ports.messageBoxes.shown.size();
    d.main.MenuStatic("IMAGESAVEOPTIONS");
    QCoreApplication::processEvents();
    FWeb* dialog = nullptr;
    for (FWeb* w : d.main.findChildren<FWeb*>())
        if (w->isVisible()) dialog = w;
    if (!dialog) {
        std::string error;
        return d.settle(before, error) ? "the optimised save dialog did not open" : error;
    }

    dialog->CboFiles->setCurrentIndex(*preset);
    emit dialog->CboFiles->activated(*preset);
    if (quality) typeNumber(dialog->TxtJPG, *quality);

    // An old file goes first, so the check below sees the new one; anything
    // else there is left for the dialog to refuse.
    std::error_code ec;
    if (std::filesystem::symlink_status(out, ec).type() == std::filesystem::file_type::regular)
        std::filesystem::remove(out, ec);
    d.ports.fileDialogs.answerPath(out);
    dialog->CmdSave->click();
    const std::string problem = dialog->panelText(3).toStdString();
    dialog->CmdCancel->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    std::string error;
    if (!d.settle(before, error)) return error;
    if (!problem.empty()) return problem;
    if (!std::filesystem::is_regular_file(out, ec)) return "nothing was written at " + out;
    return {};
}

const Register optimisedSaveFlag({"--optimised-save", 2, "PRESET OUT", {"--jpeg-quality"}, runOptimisedSave});

} // namespace
} // namespace tq::drive
