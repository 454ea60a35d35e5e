// Printing: the fitted and centred rectangle, the print dialog's preview
// and lists, what "Print" sends (and what it reports when it cannot), and a
// real page written by Qt's PDF printer and read back.
#include "export/fPrint.h"
#include "export/fPrintPlacement.h"

#include "mainwindow/CommandFixture.h"
#include "platform/QtPorts.h"

#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "widgets/UpDownBar.h"

#include <array>

namespace tq {
namespace {

using testing::CountingImage;
using testing::patternByte;

TEST(PrintPlacement, PictureSizesAreHimetricAtTheScreensResolution)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {96, 2540}, {600, 15875}, {400, 10583}, {1, 26},
        {12, 318},   // 317.5: halves go to the even neighbour
        {36, 952},   // 952.5
        {0, 0},
    };
    for (const auto& [pixels, himetric] : cases) EXPECT_EQ(PixelsToHimetric(pixels), himetric) << pixels;
    EXPECT_FLOAT_EQ(TwipsToHimetric(1440), 2540.0f);
    EXPECT_FLOAT_EQ(HimetricToTwips(2540), 1440.0f);
}

TEST(PrintPlacement, FittedAndCentredRectangles)
{
    // Letter paper less quarter-inch margins: 11520 x 15120 twips, that is
    // 20320 x 26670 HIMETRIC.
    struct Case {
        int w, h;                 // picture pixels
        float areaW, areaH;       // twips
        bool center, fit;
        int32_t left, top;
        float width, height;
    } cases[] = {
        // Smaller than the area: kept at its size (600 px are 9000 twips).
        {600, 400, 11520, 15120, true, false, 1260, 4560, 9000.0f, 5999.811f},
        // Fitted into a landscape area, relatively wider: touches the sides.
        {600, 400, 15120, 11520, true, true, 0, 720, 15120.0f, 10079.683f},
        // Relatively taller: touches top and bottom; not centred.
        {400, 600, 11520, 15120, false, true, 0, 0, 10079.683f, 15120.0f},
        // A small picture enlarged; an odd margin sum loses its half twip.
        {60, 40, 11520, 15120, true, true, 0, 3722, 11520.0f, 7675.164f},
        // Its HIMETRIC size is rounded first: 12 px are 318, not 317.5.
        {12, 36, 11520, 15120, true, false, 5670, 7290, 180.28346f, 539.71655f},
        // Too wide for the area without fit: scaled down all the same.
        {2000, 100, 11520, 15120, true, false, 0, 7272, 11520.0f, 576.0327f},
    };
    for (const Case& c : cases) {
        const PagePlacement p =
            PlacePictureOnPage(PixelsToHimetric(c.w), PixelsToHimetric(c.h), c.areaW, c.areaH, c.center, c.fit);
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_TRUE(p.ok);
        EXPECT_EQ(p.left, c.left);
        EXPECT_EQ(p.top, c.top);
        EXPECT_NEAR(p.width, c.width, 0.001);
        EXPECT_NEAR(p.height, c.height, 0.001);
    }
    EXPECT_FALSE(PlacePictureOnPage(2540, 0, 11520, 15120, true, false).ok);
    EXPECT_FALSE(PlacePictureOnPage(2540, 2540, 11520, 0, true, false).ok);
}

class PrintDialog : public testing::CommandFixture {
protected:
    fPrint* openPrint()
    {
        main->MenuExec("PRINT");
        for (fPrint* d : main->findChildren<fPrint*>())
            if (d->isVisible()) return d;
        return nullptr;
    }
    static QImage preview(const fPrint& d) { return d.iSrc->pixmap().toImage(); }
    bool gone(QPointer<fPrint>& d)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return d.isNull();
    }
    // The one page the printer was sent.
    const platform::PrintJob* onlyJob() const
    {
        return ports.printer.printed.size() == 1 ? &ports.printer.printed.front() : nullptr;
    }
    void expectUnableToPrint()
    {
        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
        const platform::MessageBoxRequest& box = ports.messageBoxes.shown.front();
        EXPECT_EQ(box.text, "Unable to print");
        EXPECT_EQ(box.icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(box.title, "Talvex Quarlend");
    }
    // A 30 x 20 document printed through the dialog's OK to the PDF file
    // `pdf` of the real printer: the dialog closes and says it could not.
    // Every print to a file asks for it: the file dialog names this one.
    // Something already there is first confirmed (the first button, Yes).
    void expectPdfRefused(const std::string& pdf)
    {
        const bool there = std::filesystem::exists(std::filesystem::symlink_status(pdf));
        ports.fileDialogs.answerPath(pdf);
        openDocument(30, 20);
        QPointer<fPrint> d = openPrint();
        ASSERT_TRUE(d);
        d->cmdOK->click();
        EXPECT_TRUE(gone(d));
        if (there) {
            ASSERT_FALSE(ports.messageBoxes.shown.empty());
            EXPECT_NE(ports.messageBoxes.shown.front().text.find("already exists"), std::string::npos);
            ports.messageBoxes.shown.erase(ports.messageBoxes.shown.begin());
        }
        expectUnableToPrint();
    }
};

TEST_F(PrintDialog, PreviewsFitInto300AndPickTheOrientation)
{
    struct Case {
        int w, h;
        QSize preview;
        const char* orientation;
    } cases[] = {
        {600, 400, {300, 200}, "Landscape"},
        {400, 600, {200, 300}, "Portrait"},
        {500, 500, {300, 300}, "Landscape"},
        {120, 80, {120, 80}, "Landscape"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        openDocument(c.w, c.h);
        QPointer<fPrint> d = openPrint();
        ASSERT_TRUE(d);
        EXPECT_TRUE(d->isModal());
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Print"));
        EXPECT_EQ(d->iSrc->size(), c.preview);
        EXPECT_EQ(preview(*d).size(), c.preview);
        // Centred in the frame.
        const QRect inner = d->lblBkSrc->contentsRect();
        const QRect at = d->iSrc->geometry();
        EXPECT_LE(std::abs((at.left() - inner.left()) - (inner.right() - at.right())), 1);
        EXPECT_LE(std::abs((at.top() - inner.top()) - (inner.bottom() - at.bottom())), 1);
        EXPECT_EQ(d->cbOrientation->currentText(), QString::fromUtf8(c.orientation));
        EXPECT_EQ(d->cbQuality->currentText(), QStringLiteral("Medium"));
        d->cmdCancel->click();
        EXPECT_TRUE(gone(d));
    }
}

TEST_F(PrintDialog, ASmallPictureIsPreviewedAsItIs)
{
    openDocument(120, 80);
    fPrint* d = openPrint();
    ASSERT_NE(d, nullptr);
    const QImage img = preview(*d);
    ASSERT_EQ(img.size(), QSize(120, 80));
    int differing = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const QRgb p = img.pixel(x, y);
            if (qBlue(p) != patternByte(0, x, y) || qGreen(p) != patternByte(1, x, y) ||
                qRed(p) != patternByte(2, x, y))
                ++differing;
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(PrintDialog, StartsWithThePrintersAndDefaults)
{
    ports.printer.current = "Back Room Inkjet";
    openDocument(40, 30);
    fPrint* d = openPrint();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->cbPrinters->count(), 3);
    EXPECT_EQ(d->cbPrinters->itemText(0), QStringLiteral("Office Laser"));
    EXPECT_EQ(d->cbPrinters->itemText(2), QStringLiteral("Print to File (PDF)"));
    EXPECT_EQ(d->cbPrinters->currentText(), QStringLiteral("Back Room Inkjet"));
    EXPECT_EQ(d->cbQuality->count(), 4);
    EXPECT_EQ(d->cbQuality->itemText(0), QStringLiteral("Draft"));
    EXPECT_EQ(d->Copies(), 1);
    EXPECT_EQ(d->txtCopies->text(), QStringLiteral("1"));
    EXPECT_TRUE(d->chkCenter->isChecked());
    EXPECT_FALSE(d->chkFit->isChecked());
    EXPECT_TRUE(ports.printer.selected.empty()) << "loading chooses no printer";
}

TEST_F(PrintDialog, TheUpperArrowRaisesTheCopiesWithinOneTo99)
{
    openDocument(40, 30);
    fPrint* d = openPrint();
    ASSERT_NE(d, nullptr);
    UpDownBar* bar = d->sbCopies;
    const QPoint up(bar->width() / 2, 2), down(bar->width() / 2, bar->height() - 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, up);
    QTest::mouseClick(bar, Qt::LeftButton, {}, up);
    EXPECT_EQ(d->Copies(), 3);
    EXPECT_EQ(d->txtCopies->text(), QStringLiteral("3"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, down);
    EXPECT_EQ(d->Copies(), 2);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, down);
    EXPECT_EQ(d->Copies(), 1);
    d->setCopies(98);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, up);
    EXPECT_EQ(d->Copies(), 99);
    EXPECT_EQ(d->txtCopies->text(), QStringLiteral("99"));
    EXPECT_TRUE(d->txtCopies->isReadOnly());
    d->cmdOK->click();
    ASSERT_NE(onlyJob(), nullptr);
    EXPECT_EQ(onlyJob()->copies, 99);
}

TEST_F(PrintDialog, PrintSendsTheFittedPictureAndLeavesItOnTheClipboard)
{
    CountingImage* doc = openDocument(600, 400);
    QPointer<fPrint> d = openPrint();
    ASSERT_TRUE(d);
    d->cmdOK->click();
    EXPECT_TRUE(gone(d));
    const platform::PrintJob* job = onlyJob();
    ASSERT_NE(job, nullptr);
    // The landscape area of the double is 15120 x 11520 twips; the picture
    // fits it and keeps its size, centred.
    EXPECT_TRUE(job->landscape);
    EXPECT_EQ(job->copies, 1);
    EXPECT_EQ(job->left, 3060);
    EXPECT_EQ(job->top, 2760);
    EXPECT_FLOAT_EQ(job->width, 9000.0f);
    EXPECT_NEAR(job->height, 5999.811f, 0.001);
    ASSERT_EQ(job->picture.width, 600);
    ASSERT_EQ(job->picture.height, 400);
    EXPECT_EQ(job->picture.row(399)[4 * 599 + 2], patternByte(2, 599, 399));
    ASSERT_TRUE(ports.clipboard.picture.has_value());
    EXPECT_EQ(ports.clipboard.picture->bits, job->picture.bits);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(doc->snapshots, 0);
}

TEST_F(PrintDialog, TheChoicesReachThePage)
{
    struct Case {
        int orientation;   // the list's index
        bool center, fit;
        bool landscape;
        int32_t left, top;
        float width, height;
    } cases[] = {
        {0, true, false, false, 1260, 4560, 9000.0f, 5999.811f},
        {0, false, true, false, 0, 0, 11520.0f, 7679.7583f},
        {1, true, true, true, 0, 720, 15120.0f, 10079.683f},
    };
    for (const Case& c : cases) {
        ports.printer.printed.clear();
        openDocument(600, 400);
        fPrint* d = openPrint();
        ASSERT_NE(d, nullptr);
        d->cbOrientation->setCurrentIndex(c.orientation);
        d->chkCenter->setChecked(c.center);
        d->chkFit->setChecked(c.fit);
        d->cmdOK->click();
        const platform::PrintJob* job = onlyJob();
        ASSERT_NE(job, nullptr);
        EXPECT_EQ(job->landscape, c.landscape);
        EXPECT_EQ(job->left, c.left);
        EXPECT_EQ(job->top, c.top);
        EXPECT_NEAR(job->width, c.width, 0.001);
        EXPECT_NEAR(job->height, c.height, 0.001);
    }
}

TEST_F(PrintDialog, AChosenPrinterStaysCurrentAndCancelPrintsNothing)
{
    openDocument(40, 30);
    QPointer<fPrint> d = openPrint();
    ASSERT_TRUE(d);
    d->cbPrinters->setCurrentIndex(1);
    emit d->cbPrinters->activated(1);
    d->cmdCancel->click();
    EXPECT_TRUE(gone(d));
    EXPECT_EQ(ports.printer.selected, (std::vector<std::string>{"Back Room Inkjet"}));
    EXPECT_EQ(ports.printer.current, "Back Room Inkjet");
    EXPECT_TRUE(ports.printer.printed.empty());
    EXPECT_FALSE(ports.clipboard.picture.has_value());
}

TEST_F(PrintDialog, ASetUpFailureSaysSoAndSendsNoPage)
{
    // The clipboard refuses the picture and still holds an older one, which
    // must not be printed in its place.
    DibRecord older;
    older.width = 3;
    older.height = 2;
    older.header = BitsHeader::forDib(3, 2);
    older.bits.assign(4 * 3 * 2, 0);
    ports.clipboard.picture = older;
    ports.clipboard.accepts = false;
    openDocument(3, 2);
    QPointer<fPrint> d = openPrint();
    ASSERT_TRUE(d);
    d->cmdOK->click();
    EXPECT_TRUE(gone(d));
    EXPECT_TRUE(ports.printer.printed.empty());
    expectUnableToPrint();
}

TEST_F(PrintDialog, AFailedPageIsReported)
{
    openDocument(40, 30);
    ports.printer.succeeds = false;
    openPrint()->cmdOK->click();
    EXPECT_EQ(ports.printer.printed.size(), 1u);
    expectUnableToPrint();

    // A printer that cannot tell its page gets nothing.
    ports.messageBoxes.shown.clear();
    ports.printer.printed.clear();
    ports.printer.area.reset();
    openPrint()->cmdOK->click();
    EXPECT_TRUE(ports.printer.printed.empty());
    expectUnableToPrint();
}

TEST_F(PrintDialog, EveryPrintToAFileAsksForItsFileOfferingTheLastOne)
{
    ports.printer.current = platform::kPdfPrinterName;
    openDocument(40, 30);
    ports.fileDialogs.answerCancel();
    openPrint()->cmdOK->click();
    EXPECT_TRUE(ports.printer.printed.empty());
    EXPECT_TRUE(ports.messageBoxes.shown.empty()) << "the user chose not to";
    const auto& asked = ports.fileDialogs.saveRequests;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].defaultExt, "pdf");
    EXPECT_EQ(asked[0].fileName, "print.pdf");
    // The replace question is the program's own, so it is asked once.
    EXPECT_FALSE(asked[0].overwritePrompt);

    const std::string first = programDir.filePath("first.pdf").toStdString();
    const std::string second = programDir.filePath("second.pdf").toStdString();
    ports.fileDialogs.answerPath(first);
    openPrint()->cmdOK->click();
    ports.fileDialogs.answerPath(second);
    openPrint()->cmdOK->click();
    ASSERT_EQ(asked.size(), 3u) << "every print asks";
    EXPECT_EQ(asked[2].fileName, first);
    EXPECT_EQ(ports.printer.printed.size(), 2u);
    EXPECT_EQ(ports.printer.pdf, second);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST_F(PrintDialog, AFileThatExistsIsConfirmedBeforeItIsReplaced)
{
    ports.printer.current = platform::kPdfPrinterName;
    openDocument(40, 30);
    const std::string taken = programDir.filePath("taken.pdf").toStdString();
    const std::string other = programDir.filePath("other.pdf").toStdString();
    QFile file(QString::fromStdString(taken));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const platform::MessageBoxRequest question{taken + " already exists.\nDo you want to replace it?",
                                               platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                                               "Talvex Quarlend"};
    const auto& asked = ports.fileDialogs.saveRequests;

    // "No" goes back to the dialog at that name; cancelled there, nothing
    // is printed.
    ports.fileDialogs.answerPath(taken);
    ports.messageBoxes.answers = {platform::MsgResult::No};
    openPrint()->cmdOK->click();
    EXPECT_EQ(ports.messageBoxes.shown, std::vector<platform::MessageBoxRequest>{question});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].fileName, taken);
    EXPECT_TRUE(ports.printer.printed.empty());

    // "No", then another name: printed there, without a question.
    ports.messageBoxes.shown.clear();
    ports.fileDialogs.answerPath(taken);
    ports.fileDialogs.answerPath(other);
    ports.messageBoxes.answers = {platform::MsgResult::No};
    openPrint()->cmdOK->click();
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
    ASSERT_EQ(ports.printer.printed.size(), 1u);
    EXPECT_EQ(ports.printer.pdf, other);

    // "Yes" prints over it.
    ports.messageBoxes.shown.clear();
    ports.fileDialogs.answerPath(taken);
    ports.messageBoxes.answers = {platform::MsgResult::Yes};
    openPrint()->cmdOK->click();
    EXPECT_EQ(ports.messageBoxes.shown, std::vector<platform::MessageBoxRequest>{question});
    EXPECT_EQ(ports.printer.printed.size(), 2u);
    EXPECT_EQ(ports.printer.pdf, taken);

    // A printer of the print system asks for no file.
    ports.printer.current = "Office Laser";
    const size_t before = asked.size();
    openPrint()->cmdOK->click();
    EXPECT_EQ(asked.size(), before);
    EXPECT_EQ(ports.printer.printed.size(), 3u);
}

TEST_F(PrintDialog, TheQualityGoesWithThePage)
{
    openDocument(40, 30);
    for (int i = 0; i < 4; ++i) {
        fPrint* d = openPrint();
        ASSERT_NE(d, nullptr);
        d->cbQuality->setCurrentIndex(i);
        d->cmdOK->click();
    }
    ASSERT_EQ(ports.printer.printed.size(), 4u);
    using Q = platform::PrintQuality;
    const Q want[] = {Q::Draft, Q::Low, Q::Medium, Q::High};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ports.printer.printed[size_t(i)].quality, want[i]) << i;
}

TEST(PrintQuality, DraftToHighClimbTheResolutionsThePrinterNames)
{
    struct Case {
        std::vector<int> supported;
        std::array<int, 4> draftLowMediumHigh;
    } cases[] = {
        {{}, {0, 0, 0, 0}},                                   // it names none: left alone
        {{72}, {72, 72, 72, 72}},                             // Qt's PDF writer
        {{300, 600}, {300, 300, 600, 600}},
        {{150, 300, 600, 1200}, {150, 300, 600, 1200}},
        {{1200, 72, 600, 600, 300, 0, -5}, {72, 300, 600, 1200}},   // unsorted, repeated, nonsense
        {{75, 150, 300, 600, 1200}, {75, 150, 600, 1200}},
    };
    using Q = platform::PrintQuality;
    for (const Case& c : cases) {
        const Q qualities[] = {Q::Draft, Q::Low, Q::Medium, Q::High};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(platform::resolutionForQuality(c.supported, qualities[i]), c.draftLowMediumHigh[size_t(i)])
                << c.supported.size() << " resolutions, quality " << i;
    }
}

// ---- A real page, through Qt's PDF printer ----------------------------------------

struct PdfPage {
    QSizeF points;   // the page's size
    QImage image;    // rendered at 144 dots per inch
};

// The page read back with poppler's tools; nothing when they are missing.
std::optional<PdfPage> readPdf(const QString& pdf, const QString& folder)
{
    const QString info = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString render = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (info.isEmpty() || render.isEmpty()) return std::nullopt;
    PdfPage page;
    QProcess p;
    p.start(info, {pdf});
    if (!p.waitForFinished(30000)) return std::nullopt;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(out);
    if (m.hasMatch()) page.points = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    const QString base = folder + QStringLiteral("/page");
    p.start(render, {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-singlefile"),
                     QStringLiteral("-png"), pdf, base});
    if (!p.waitForFinished(60000)) return std::nullopt;
    page.image.load(base + QStringLiteral(".png"));
    return page;
}

// The smallest rectangle holding every pixel that is not white.
QRect inkBox(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) < 200 || qGreen(p) < 200 || qBlue(p) < 200) box |= QRect(x, y, 1, 1);
        }
    return box;
}

TEST_F(PrintDialog, APdfPageHoldsThePictureWhereItWasPlaced)
{
    platform::QtPrinter printer;
    platform::ScopedPorts realPrinter(platform::Ports{.printer = &printer});
    const std::string before = printer.pdfFile();
    ASSERT_TRUE(printer.selectDevice(platform::kPdfPrinterName));

    struct Case {
        int w, h, orientation;
        bool center, fit;
    } cases[] = {
        {600, 400, 1, true, false},   // its own size, centred on a landscape page
        {400, 600, 0, false, true},   // fitted to a portrait page at its top-left corner
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const QString pdf = programDir.filePath(QStringLiteral("page%1.pdf").arg(++n));
        ports.fileDialogs.answerPath(pdf.toStdString());
        CountingImage* doc = openDocument(c.w, c.h);
        BitsBuffer navy(c.w, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) navy.at(0, x, y) = 128;   // dark blue: far from the paper's white
        ASSERT_TRUE(doc->setBits(navy));
        fPrint* d = openPrint();
        ASSERT_NE(d, nullptr);
        d->cbOrientation->setCurrentIndex(c.orientation);
        d->chkCenter->setChecked(c.center);
        d->chkFit->setChecked(c.fit);
        d->cmdOK->click();
        EXPECT_TRUE(ports.messageBoxes.shown.empty());

        const std::optional<platform::PrintableArea> area = printer.printableArea(c.orientation == 1);
        ASSERT_TRUE(area);
        const PagePlacement place = PlacePictureOnPage(PixelsToHimetric(c.w), PixelsToHimetric(c.h), area->width,
                                                       area->height, c.center, c.fit);
        const std::optional<PdfPage> page = readPdf(pdf, programDir.path());
        if (!page) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) are not installed";
        // The sheet, in points (20 twips each), turned as asked.
        EXPECT_NEAR(page->points.width(), area->paperWidth / 20.0, 0.5);
        EXPECT_NEAR(page->points.height(), area->paperHeight / 20.0, 0.5);
        EXPECT_EQ(page->points.width() > page->points.height(), c.orientation == 1);
        // The picture, at 144 dots per inch (10 twips a dot).
        ASSERT_FALSE(page->image.isNull());
        const QRect ink = inkBox(page->image);
        const double left = (area->left + static_cast<float>(place.left)) / 10.0,
                     top = (area->top + static_cast<float>(place.top)) / 10.0;
        EXPECT_NEAR(ink.left(), left, 1.5);
        EXPECT_NEAR(ink.top(), top, 1.5);
        EXPECT_NEAR(ink.right() + 1, left + place.width / 10.0, 1.5);
        EXPECT_NEAR(ink.bottom() + 1, top + place.height / 10.0, 1.5);
        ports.messageBoxes.shown.clear();
    }

    // A file that cannot be made: nothing is written, and the user hears it.
    const QString nowhere = programDir.filePath(QStringLiteral("no-such-folder/page.pdf"));
    expectPdfRefused(nowhere.toStdString());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    printer.setPdfFile(before);
}

// A FIFO as the PDF file used to take the PDF's bytes, or to hold the print
// until someone read them: it is refused and stays a FIFO. The test holds it
// open itself, so a regression cannot hang here.
TEST_F(PrintDialog, APdfFileThatIsAFifoIsRefused)
{
    platform::QtPrinter printer;
    platform::ScopedPorts realPrinter(platform::Ports{.printer = &printer});
    const std::string before = printer.pdfFile();
    ASSERT_TRUE(printer.selectDevice(platform::kPdfPrinterName));
    const std::string fifo = programDir.filePath(QStringLiteral("pipe.pdf")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int held = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(held, 0);
    expectPdfRefused(fifo);
    char byte = 0;
    EXPECT_EQ(::read(held, &byte, 1), -1) << "nothing was written into it";
    ::close(held);
    EXPECT_EQ(std::filesystem::symlink_status(fifo).type(), std::filesystem::file_type::fifo);
    printer.setPdfFile(before);
}

} // namespace
} // namespace tq
