#include "platform/QtPorts.h"

#include "platform/FileFilters.h"
#include "platform/QtImage.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QUrl>
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
    return dialog.exec() == QDialog::Accepted;
}

std::optional<PageSize> QtPrinter::pageSize(bool landscape)
{
    QPrinter* printer = keptPrinter();
    printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRectF mm = printer->pageLayout().paintRect(QPageLayout::Millimeter);
    if (mm.width() <= 0 || mm.height() <= 0) return std::nullopt;
    return PageSize{static_cast<int32_t>(mm.width() * 100.0), static_cast<int32_t>(mm.height() * 100.0)};
}

bool QtPrinter::print(const PrintRequest& rq)
{
    const QImage img = imageFromDib(rq.picture);
    if (img.isNull()) return false;
    QPrinter* printer = keptPrinter();
    const QPrinter::OutputFormat format = printer->outputFormat();
    const QString fileName = printer->outputFileName();
    if (!rq.pdfFile.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(qs(rq.pdfFile));
    }
    printer->setPageOrientation(rq.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setCopyCount(rq.copies < 1 ? 1 : rq.copies);
    bool ok = false;
    {
        QPainter painter;
        if (painter.begin(printer)) {
            // The request's places are 1/100 mm on the printable area.
            const QRectF paint = printer->pageLayout().paintRectPixels(printer->resolution());
            const QRectF mm = printer->pageLayout().paintRect(QPageLayout::Millimeter);
            const double sx = mm.width() > 0 ? paint.width() / (mm.width() * 100.0) : 1.0;
            const double sy = mm.height() > 0 ? paint.height() / (mm.height() * 100.0) : 1.0;
            const QRectF target(rq.left * sx, rq.top * sy, rq.width * sx, rq.height * sy);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, rq.quality > 0);
            painter.drawImage(target, img);
            ok = painter.end();
        }
    }
    if (!rq.pdfFile.empty()) {
        printer->setOutputFormat(format);
        printer->setOutputFileName(fileName);
    }
    return ok;
}

// ---- Browser, screen, processes, colour, timers -------------------------

bool QtBrowser::open(const std::string& urlOrPath)
{
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

int QtProcesses::run(const std::string& program, const std::vector<std::string>& args)
{
    QStringList list;
    for (const std::string& a : args) list << qs(a);
    QProcess p;
    p.start(qs(program), list);
    if (!p.waitForStarted()) return -1;
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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

} // namespace tq::platform
