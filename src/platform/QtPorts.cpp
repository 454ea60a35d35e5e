#include "platform/QtPorts.h"

#include "platform/FileFilters.h"
#include "platform/PictureFiles.h"
#include "platform/QtImage.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tq::platform {
namespace {

// Qt's own Xlib connection, null off X11.
x11::Display* qtX11Display()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::optional<FileDialogAnswer> runFileDialog(const FileDialogRequest& rq, bool saving)
{
    QStringList filters;
    for (const std::string& f : dialogNameFilters(rq.filter)) filters << qs(f);
    QFileDialog dlg(nullptr, qs(rq.title), qs(rq.initialDir));
    // Qt's own dialog, so the case-blind patterns behind each description
    // can stay hidden.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::HideNameFilterDetails, true);
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
    const int chosen = static_cast<int>(filters.indexOf(dlg.selectedNameFilter()));
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

// ---- Printer ------------------------------------------------------------------

namespace {

// The printer is made on first use, so a run that never prints never asks
// the print system for its printers, and released when the application is
// about to quit, while the print system is still there.
QPrinter* keptPrinter()
{
    static std::unique_ptr<QPrinter> printer;
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { printer.reset(); });
    }
    return printer.get();
}

// The file the PDF printer writes, kept for the run.
QString& keptPdfFile()
{
    static QString file;
    return file;
}

// Qt's page lengths are points (1/72 inch); the printer's scale is twips.
constexpr double kTwipsPerPoint = 20.0;

} // namespace

bool QtPrinterSetup::show()
{
    QPrinter* printer = keptPrinter();
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
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // A PDF file chosen there is where the PDF printer writes from now on.
    if (accepted && printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        keptPdfFile() = printer->outputFileName();
    return accepted;
}

std::vector<std::string> QtPrinter::deviceNames()
{
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(name.toStdString());
    names.push_back(kPdfPrinterName);
    return names;
}

std::string QtPrinter::deviceName()
{
    QPrinter* printer = keptPrinter();
    if (printer->outputFormat() == QPrinter::PdfFormat) return kPdfPrinterName;
    return printer->printerName().toStdString();
}

bool QtPrinter::selectDevice(const std::string& name)
{
    QPrinter* printer = keptPrinter();
    if (name == kPdfPrinterName) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        return true;
    }
    const QString wanted = qs(name);
    if (!QPrinterInfo::availablePrinterNames().contains(wanted)) return false;
    printer->setOutputFormat(QPrinter::NativeFormat);
    // Pages go to the printer itself, not to a file chosen before.
    printer->setOutputFileName(QString());
    printer->setPrinterName(wanted);
    return printer->outputFormat() == QPrinter::NativeFormat && printer->printerName() == wanted;
}

std::string QtPrinter::pdfFile() { return keptPdfFile().toStdString(); }

void QtPrinter::setPdfFile(const std::string& path) { keptPdfFile() = qs(path); }

std::optional<PrintableArea> QtPrinter::printableArea(bool landscape)
{
    QPrinter* printer = keptPrinter();
    if (!printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait)) return std::nullopt;
    const QPageLayout layout = printer->pageLayout();
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    const QRectF sheet = layout.fullRect(QPageLayout::Point);
    if (paint.width() <= 0 || paint.height() <= 0) return std::nullopt;
    auto twips = [](double points) { return static_cast<float>(points * kTwipsPerPoint); };
    return PrintableArea{twips(paint.width()), twips(paint.height()), twips(paint.left()),
                         twips(paint.top()),   twips(sheet.width()),  twips(sheet.height())};
}

bool QtPrinter::print(const PrintJob& job)
{
    const QImage img = imageFromDib(job.picture);
    if (img.isNull()) return false;
    QPrinter* printer = keptPrinter();
    if (!printer->setPageOrientation(job.landscape ? QPageLayout::Landscape : QPageLayout::Portrait)) return false;
    // The quality list has no codes of its own here: it picks among the
    // resolutions the printer names.
    const QList<int> named = printer->supportedResolutions();
    if (const int dpi = resolutionForQuality({named.begin(), named.end()}, job.quality); dpi > 0)
        printer->setResolution(dpi);
    const int copies = job.copies < 1 ? 1 : job.copies;
    // A printer of the print system makes the copies itself; a PDF file
    // holds them as pages of its own.
    const bool pdf = printer->outputFormat() == QPrinter::PdfFormat;
    printer->setCopyCount(pdf ? 1 : copies);
    const auto pages = [&] {
        QPainter painter;
        // begin() fails before anything reaches the printer or the file.
        if (!painter.begin(printer)) return false;
        // The painter's origin is the printable area's top-left corner.
        const double scale = printer->resolution() / 1440.0;
        const QRectF target(job.left * scale, job.top * scale, job.width * scale, job.height * scale);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        bool ok = true;
        for (int page = 0; page < (pdf ? copies : 1) && ok; ++page) {
            if (page > 0) ok = printer->newPage();
            if (ok) painter.drawImage(target, img);
        }
        return painter.end() && ok;
    };
    if (!pdf) return pages();
    if (keptPdfFile().isEmpty()) return false;
    // Written beside the file it replaces and renamed over it only when
    // complete: a print that fails leaves the earlier file as it was.
    return replaceFileSafely(keptPdfFile().toStdString(), [&](const std::string& temp) {
        printer->setOutputFileName(qs(temp));
        const bool ok = pages();
        // The printer names the file the user chose, not the one written
        // on the way (set-up reads it back); an empty name would turn the
        // printer into the system's default.
        printer->setOutputFileName(keptPdfFile());
        return ok;
    });
}

// ---- Browser, screen, processes, colour, timers -------------------------

namespace {

// Collects a program left running, once it ends, so it leaves no zombie.
void reapWhenDone(pid_t pid)
{
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, pid] {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != 0) poll->deleteLater();
    });
    poll->start(1000);
}

// Runs program with one argument. False when it cannot start or ends with
// an error within waitMs; true when it ends well or is still running then.
// The program's windows are repainted meanwhile.
bool runsWithoutRefusal(const std::string& program, const std::string& argument, int waitMs)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended < 0) return true;
        if (clock.elapsed() >= waitMs) {
            reapWhenDone(pid);
            return true;
        }
        DoEvents();
        QThread::msleep(10);
    }
}

} // namespace

bool QtBrowser::open(const std::string& urlOrPath)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) return runsWithoutRefusal(opener.toStdString(), urlOrPath, answerMs_);
    const QString s = qs(urlOrPath);
    const QUrl url = s.contains(QLatin1String("://")) ? QUrl(s) : QUrl::fromLocalFile(s);
    return QDesktopServices::openUrl(url);
}

std::optional<DibRecord> QtScreenGrab::grabScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    const QImage img = screen->grabWindow(0).toImage();
    if (img.isNull() || img.width() < 1 || img.height() < 1) return std::nullopt;
    return dibFromImage(img);
}

ScreenSize QtScreenGrab::screenSize()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

bool QtScreenGrab::canGrab()
{
    return QGuiApplication::primaryScreen() != nullptr &&
           !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::optional<DibRecord> QtScreenGrab::grabWindow(uint64_t window, int32_t left, int32_t top, int32_t width,
                                                  int32_t height)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || width < 1 || height < 1) return std::nullopt;
    const QImage img = screen->grabWindow(static_cast<WId>(window), left, top, width, height).toImage();
    if (img.isNull() || img.width() < 1 || img.height() < 1) return std::nullopt;
    return dibFromImage(img);
}

bool QtScreenGrab::canShowDesktop() { return x11::showingDesktopSupported(qtX11Display()); }

bool QtScreenGrab::showDesktop(bool show) { return x11::requestShowingDesktop(qtX11Display(), show); }

int QtProcesses::run(const std::string& program, const std::vector<std::string>& args)
{
    QStringList list;
    for (const std::string& a : args) list << qs(a);
    QProcess p;
    p.start(qs(program), list);
    if (!p.waitForStarted()) return -1;
    // A program that hangs would hold the window still: past the limit it
    // is stopped and counts as failed.
    if (!p.waitForFinished(timeLimitMs_)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QtPointerConfinement::QtPointerConfinement() = default;

QtPointerConfinement::~QtPointerConfinement()
{
    // At the end of the run Qt's connection may be closed already: a grab
    // still held then is not let go through it (it ended with the
    // connection).
    (void)held_.release();
}

bool QtPointerConfinement::confine(const PointerConfinementRequest& rq)
{
    release();
    x11::Display* display = qtX11Display();
    if (!display) return false;
    held_ = std::make_unique<x11::PointerGrab>(display);
    if (held_->confine(rq.window, rq.left, rq.top, rq.width, rq.height)) return true;
    held_.reset();
    return false;
}

void QtPointerConfinement::release() { held_.reset(); }

std::optional<std::string> qtX11DisplayName()
{
    x11::Display* display = qtX11Display();
    if (!display) return std::nullopt;
    return x11::displayName(display);
}

std::optional<int32_t> QtColourPicker::pick(int32_t oldColour)
{
    const QColor start = oldColour < 0 ? QColor(Qt::black)
                                       : QColor(oldColour & 0xFF, (oldColour >> 8) & 0xFF, (oldColour >> 16) & 0xFF);
    const QColor c = QColorDialog::getColor(start, QApplication::activeWindow());
    if (!c.isValid()) return std::nullopt;
    return static_cast<int32_t>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

void QtTimers::singleShot(int ms, std::function<void()> action) { QTimer::singleShot(ms, std::move(action)); }

void QtBell::ring() { QApplication::beep(); }

} // namespace tq::platform
