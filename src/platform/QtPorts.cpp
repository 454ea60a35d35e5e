#include "platform/QtPorts.h"

#include "platform/QtImage.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <vector>

namespace tq::platform {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::string> splitBar(const std::string& s)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t p = s.find('|', start);
        if (p == std::string::npos) {
            out.push_back(s.substr(start));
            return out;
        }
        out.push_back(s.substr(start, p - start));
        start = p + 1;
    }
}

std::optional<FileDialogAnswer> runFileDialog(const FileDialogRequest& rq, bool saving)
{
    const QStringList filters = QString::fromStdString(qtNameFilters(rq.filter)).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    QFileDialog dlg(nullptr, qs(rq.title), qs(rq.initialDir));
    dlg.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int idx = rq.filterIndex - 1;
        if (idx >= 0 && idx < filters.size()) dlg.selectNameFilter(filters[idx]);
    }
    if (!rq.fileName.empty()) dlg.selectFile(qs(rq.fileName));
    if (!rq.defaultExt.empty()) dlg.setDefaultSuffix(qs(rq.defaultExt));
    if (saving && !rq.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    FileDialogAnswer a;
    a.path = files.first().toStdString();
    const int chosen = filters.indexOf(dlg.selectedNameFilter());
    a.filterIndex = chosen >= 0 ? chosen + 1 : rq.filterIndex;
    return a;
}

} // namespace

MsgResult QtMessageBoxes::show(const MessageBoxRequest& rq)
{
    QMessageBox box;
    box.setWindowTitle(rq.title.empty() ? QString::fromUtf8(kProgramName) : qs(rq.title));
    box.setText(qs(rq.text));
    switch (rq.icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    QMessageBox::StandardButtons buttons;
    switch (rq.buttons) {
    case MsgButtons::OK: buttons = QMessageBox::Ok; break;
    case MsgButtons::OKCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MsgButtons::AbortRetryIgnore: buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore; break;
    case MsgButtons::YesNoCancel: buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case MsgButtons::YesNo: buttons = QMessageBox::Yes | QMessageBox::No; break;
    case MsgButtons::RetryCancel: buttons = QMessageBox::Retry | QMessageBox::Cancel; break;
    }
    box.setStandardButtons(buttons);
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Ok: return MsgResult::OK;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Abort: return MsgResult::Abort;
    case QMessageBox::Retry: return MsgResult::Retry;
    case QMessageBox::Ignore: return MsgResult::Ignore;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: break;
    }
    // Closed without a button.
    switch (rq.buttons) {
    case MsgButtons::OK: return MsgResult::OK;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::AbortRetryIgnore: return MsgResult::Abort;
    default: return MsgResult::Cancel;
    }
}

std::optional<FileDialogAnswer> QtFileDialogs::open(const FileDialogRequest& rq) { return runFileDialog(rq, false); }
std::optional<FileDialogAnswer> QtFileDialogs::save(const FileDialogRequest& rq) { return runFileDialog(rq, true); }

bool QtClipboard::hasBitmap()
{
    const QMimeData* md = QGuiApplication::clipboard()->mimeData();
    return md && md->hasImage();
}

std::optional<DibRecord> QtClipboard::bitmap()
{
    if (!hasBitmap()) return std::nullopt;
    const QImage img = QGuiApplication::clipboard()->image();
    if (img.isNull()) return std::nullopt;
    return dibFromImage(img);
}

bool QtClipboard::setBitmap(const DibRecord& picture)
{
    const QImage img = imageFromDib(picture);
    if (img.isNull()) return false;
    QGuiApplication::clipboard()->setImage(img);
    return true;
}

void QtClipboard::clear() { QGuiApplication::clipboard()->clear(); }

void QtMessagePump::processPending()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::string qtNameFilters(const std::string& pairs)
{
    if (pairs.empty()) return {};
    const std::vector<std::string> parts = splitBar(pairs);
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string& desc = parts[i];
        std::string pats = parts[i + 1];
        for (char& c : pats)
            if (c == ';') c = ' ';
        const std::string tail = "(" + pats + ")";
        std::string entry = desc;
        const bool hasTail = desc.size() >= tail.size() && desc.compare(desc.size() - tail.size(), tail.size(), tail) == 0;
        if (!hasTail) entry += (desc.empty() ? "" : " ") + tail;
        if (!out.empty()) out += ";;";
        out += entry;
    }
    return out;
}

// ---- Printer set-up --------------------------------------------------------

struct QtPrinterSetup::Kept {
    std::unique_ptr<QPrinter> printer;
};

QtPrinterSetup::QtPrinterSetup() : kept_(std::make_unique<Kept>()) {}
QtPrinterSetup::~QtPrinterSetup() = default;

bool QtPrinterSetup::show()
{
    if (!kept_->printer) {
        kept_->printer = std::make_unique<QPrinter>();
        Kept* kept = kept_.get();
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [kept] { kept->printer.reset(); });
    }
    QPrinter* printer = kept_->printer.get();
    QWidget* owner = QApplication::activeWindow();
    // Qt's page set-up works only on a printer of the print system; with
    // none installed the print dialog is the set-up there is (a printer or
    // a file to choose).
    if (printer->outputFormat() == QPrinter::NativeFormat) {
        QPageSetupDialog dialog(printer, owner);
        return dialog.exec() == QDialog::Accepted;
    }
    QPrintDialog dialog(printer, owner);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tq::platform
