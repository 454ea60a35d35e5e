#include "export/fPrint.h"

#include "document/Numeric.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "export/ExportDialogLayout.h"
#include "export/fPrintPlacement.h"
#include "filters/cBitFilter.h"
#include "widgets/UpDownBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <filesystem>


namespace tq {
namespace {

QFont listFont()
{
    QFont f(QStringLiteral("Microsoft Sans Serif"));
    f.setPointSizeF(6.75);
    f.setBold(true);
    return f;
}

// The w x h picture of a record cBitFilter::BitsToDib made (margin
// included), without its margin.
QImage pictureOfRecord(const DibRecord& record, int w, int h)
{
    if (w < 1 || h < 1 || record.width != w + 4 || record.height != h + 4) return {};
    const size_t stride = 4u * size_t(w + 4);
    const uchar* first = record.bits.data() + stride * 2 + 4 * 2;
    return QImage(first, w, h, qsizetype(stride), QImage::Format_RGB32).copy();
}

// The document's picture and the clipboard's are the same pixels.
bool samePicture(const BitsBuffer& bits, const DibRecord& picture)
{
    if (bits.width() != picture.width || bits.height() != picture.height) return false;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* a = bits.row(y);
        const uint8_t* b = picture.row(y);
        for (int x = 0; x < picture.width; ++x, a += 4, b += 4)
            if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) return false;
    }
    return true;
}

void unableToPrintMessage()
{
    platform::MsgBox(fPrint::kUnableToPrint, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                     platform::kProgramName);
}

} // namespace

fPrint::fPrint(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fPrint"));
    setWindowTitle(QStringLiteral("Print"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont formFont(QStringLiteral("Verdana"));
    formFont.setPointSizeF(6.75);
    setFont(formFont);
    setFixedSize(exportTwipsToPixels(8385), exportTwipsToPixels(4935));

    lblBkSrc = new QFrame(this);
    lblBkSrc->setObjectName(QStringLiteral("lblBkSrc"));
    lblBkSrc->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblBkSrc->setLineWidth(2);
    lblBkSrc->setBackgroundRole(QPalette::Dark);   // the workspace colour
    lblBkSrc->setAutoFillBackground(true);
    lblBkSrc->setGeometry(exportTwipsRect(120, 120, 4695, 4695));
    iSrc = new QLabel(lblBkSrc);
    iSrc->setObjectName(QStringLiteral("iSrc"));
    iSrc->setGeometry(exportTwipsRect(0, 0, 4500, 4500));

    const QFont bold = listFont();
    lblSelect = new QLabel(QStringLiteral("Printers"), this);
    lblSelect->setGeometry(exportTwipsRect(4920, 120, 630, 210));
    cbPrinters = new QComboBox(this);
    cbPrinters->setObjectName(QStringLiteral("cbPrinters"));
    cbPrinters->setFont(bold);
    cbPrinters->setGeometry(exportTwipsRect(4920, 360, 3330, 300));
    lblQuality = new QLabel(QStringLiteral("Quality"), this);
    lblQuality->setGeometry(exportTwipsRect(4920, 720, 705, 285));
    cbQuality = new QComboBox(this);
    cbQuality->setObjectName(QStringLiteral("cbQuality"));
    cbQuality->setFont(bold);
    cbQuality->addItems({QStringLiteral("Draft"), QStringLiteral("Low"), QStringLiteral("Medium"), QStringLiteral("High")});
    cbQuality->setGeometry(exportTwipsRect(4920, 960, 1560, 300));
    lblOrientation = new QLabel(QStringLiteral("Orientation"), this);
    lblOrientation->setGeometry(exportTwipsRect(6840, 720, 915, 210));
    cbOrientation = new QComboBox(this);
    cbOrientation->setObjectName(QStringLiteral("cbOrientation"));
    cbOrientation->setFont(bold);
    cbOrientation->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    cbOrientation->setGeometry(exportTwipsRect(6840, 960, 1410, 300));

    lblCopies = new QLabel(QStringLiteral("Copies"), this);
    lblCopies->setGeometry(exportTwipsRect(4920, 1440, 585, 210));
    txtCopies = new QLineEdit(QStringLiteral("1"), this);
    txtCopies->setObjectName(QStringLiteral("txtCopies"));
    txtCopies->setFont(bold);
    // Only the scroll bar sets the copies: a number typed here would be
    // shown but never printed.
    txtCopies->setReadOnly(true);
    txtCopies->setBackgroundRole(QPalette::Button);
    {
        QPalette pal = txtCopies->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        txtCopies->setPalette(pal);
    }
    txtCopies->setGeometry(exportTwipsRect(4920, 1680, 390, 300));
    sbCopies = new UpDownBar(this);
    sbCopies->setObjectName(QStringLiteral("sbCopies"));
    // The bar's value is minus the number of copies, so that its upper arrow
    // (which lowers a scroll bar's value) raises the copies: 99 at the top,
    // 1 at the bottom.
    sbCopies->setRange(-99, -1);
    sbCopies->setSingleStep(1);
    sbCopies->setPageStep(1);
    sbCopies->setValue(-1);
    sbCopies->setFocusPolicy(Qt::StrongFocus);
    const QRect bar = exportTwipsRect(5280, 1680, 210, 300);
    sbCopies->setFixedSize(bar.size());
    sbCopies->move(bar.topLeft());
    sbCopies->installEventFilter(this);

    lblAdjust = new QLabel(QStringLiteral("Adjustment"), this);
    lblAdjust->setGeometry(exportTwipsRect(6840, 1440, 990, 240));
    chkCenter = new QCheckBox(QStringLiteral("&Center image"), this);
    chkCenter->setFont(bold);
    chkCenter->setChecked(true);
    chkCenter->setGeometry(exportTwipsRect(6840, 1680, 1335, 240));
    chkFit = new QCheckBox(QStringLiteral("&Fit to page"), this);
    chkFit->setFont(bold);
    chkFit->setGeometry(exportTwipsRect(6840, 1920, 1170, 240));

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setGeometry(exportTwipsRect(5880, 4200, 1020, 345));
    cmdOK = new QPushButton(QStringLiteral("Print"), this);
    cmdOK->setGeometry(exportTwipsRect(7080, 4200, 1020, 345));
    cmdOK->setDefault(true);

    connect(cbPrinters, &QComboBox::activated, this, [this] { cbPrinters_Click(); });
    connect(sbCopies, &QScrollBar::valueChanged, this, [this] { sbCopies_Change(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

int fPrint::Copies() const { return -sbCopies->value(); }

void fPrint::setCopies(int copies) { sbCopies->setValue(-copies); }

void fPrint::Form_Load()
{
    target_ = ActiveImage();
    const fImage* doc = target_.data();
    if (doc && doc->PictureExists()) {
        const int32_t W = doc->PictureWidth();
        const int32_t H = doc->PictureHeight();
        int32_t w = 0, h = 0;
        mBitmap::FitSize(W, H, kPreviewSide, kPreviewSide, w, h);
        DibRecord record;
        {
            cBitFilter filter;
            bool made = true;
            if (w == W && h == H)
                filter.setBits(doc->Bits());
            else
                made = filter.BitsResample(doc->Bits(), w, h);
            if (made) cBitFilter::BitsToDib(record, filter.Bits(), w, h);
        }
        const QImage preview = pictureOfRecord(record, w, h);
        if (!preview.isNull()) {
            iSrc->setPixmap(QPixmap::fromImage(preview));
            const QRect inner = lblBkSrc->contentsRect();
            iSrc->setGeometry(inner.left() + rnd((inner.width() - w) / 2.0), inner.top() + rnd((inner.height() - h) / 2.0),
                              w, h);
        }
    }

    cbPrinters->clear();
    if (platform::Printer* printer = platform::ports().printer) {
        for (const std::string& name : printer->deviceNames()) cbPrinters->addItem(QString::fromStdString(name));
        const int current = cbPrinters->findText(QString::fromStdString(printer->deviceName()));
        if (current >= 0) cbPrinters->setCurrentIndex(current);
    }
    cbQuality->setCurrentIndex(2);
    if (doc && doc->PictureExists()) cbOrientation->setCurrentIndex(doc->PictureWidth() >= doc->PictureHeight() ? 1 : 0);
}

void fPrint::cbPrinters_Click()
{
    if (platform::Printer* printer = platform::ports().printer) printer->selectDevice(cbPrinters->currentText().toStdString());
}

void fPrint::sbCopies_Change() { txtCopies->setText(QString::number(Copies())); }

bool fPrint::eventFilter(QObject* watched, QEvent* event)
{
    // The copies box looks active while its scroll bar has the focus.
    if (watched == sbCopies && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        QPalette pal = txtCopies->palette();
        const QPalette plain = palette();
        pal.setColor(QPalette::Base, event->type() == QEvent::FocusIn ? plain.color(QPalette::Base)
                                                                      : plain.color(QPalette::Button));
        txtCopies->setPalette(pal);
    }
    return QDialog::eventFilter(watched, event);
}

bool fPrint::takePictureFromClipboard(fImage& doc)
{
    iOut.reset();
    platform::Clipboard* clipboard = platform::ports().clipboard;
    if (!clipboard || !doc.PictureExists()) return false;
    doc.BitsCopyToClipboard();
    std::optional<DibRecord> picture = clipboard->bitmap();
    // A copy that did not reach the clipboard leaves what was there before,
    // which is not to be printed in the document's place.
    if (!picture || !samePicture(doc.BitsRef(), *picture)) return false;
    iOut = std::move(picture);
    return true;
}

bool fPrint::pdfFileChosen(platform::Printer& printer)
{
    if (printer.deviceName() != platform::kPdfPrinterName) return true;
    // Every print to a file asks for its file, offering the last one; a
    // name already taken is confirmed here, whatever the dialog did.
    platform::FileDialogRequest request;
    request.title = platform::kPdfPrinterName;
    request.filter = "PDF (*.pdf)|*.pdf";
    request.fileName = printer.pdfFile().empty() ? std::string(kDefaultPdfName) : printer.pdfFile();
    request.defaultExt = "pdf";
    request.overwritePrompt = false;
    for (;;) {
        const auto answer = platform::ports().fileDialogs->save(request);
        if (!answer || answer->path.empty()) return false;
        std::error_code ec;
        const bool taken = std::filesystem::symlink_status(answer->path, ec).type() != std::filesystem::file_type::not_found;
        if (taken && platform::MsgBox(answer->path + kReplaceQuestion, platform::MsgButtons::YesNo,
                                      platform::MsgIcon::Question, platform::kProgramName) != platform::MsgResult::Yes) {
            // Back to the dialog, at the name the user gave up.
            request.fileName = answer->path;
            continue;
        }
        printer.setPdfFile(answer->path);
        return true;
    }
}

void fPrint::cmdOK_Click()
{
    fImage* doc = target_.data();
    platform::Printer* printer = platform::ports().printer;
    const bool ready = doc && printer && takePictureFromClipboard(*doc);
    const int copies = Copies();
    if (!ready) {
        // Nothing was sent: say so rather than close as if it printed.
        unableToPrintMessage();
        close();
        return;
    }
    if (!pdfFileChosen(*printer)) {
        close();
        return;
    }
    const auto quality = static_cast<platform::PrintQuality>(std::clamp(cbQuality->currentIndex(), 0, 3));
    const bool ok = PrintPictureToFitPage(*printer, *iOut, cbOrientation->currentIndex() + 1, chkCenter->isChecked(),
                                          chkFit->isChecked(), copies, quality);
    if (!ok) unableToPrintMessage();
    close();
}

void fPrint::cmdCancel_Click() { close(); }

bool fPrint::PrintPictureToFitPage(platform::Printer& Prn, const DibRecord& pic, int iOrientation, bool iCenter,
                                   bool iFit, int copies, platform::PrintQuality quality)
{
    const bool landscape = iOrientation == 2;
    const std::optional<platform::PrintableArea> area = Prn.printableArea(landscape);
    if (!area) return false;
    const PagePlacement place = PlacePictureOnPage(PixelsToHimetric(pic.width), PixelsToHimetric(pic.height),
                                                   area->width, area->height, iCenter, iFit);
    if (!place.ok) return false;
    platform::PrintJob job;
    job.picture = pic;
    job.landscape = landscape;
    job.copies = copies;
    job.quality = quality;
    job.left = place.left;
    job.top = place.top;
    job.width = place.width;
    job.height = place.height;
    return Prn.print(job);
}

} // namespace tq
