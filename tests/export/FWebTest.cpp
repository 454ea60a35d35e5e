// The optimised save dialog, driven through IMAGESAVEOPTIONS as the menu
// opens it: its load and unload with the settings they keep, the options
// and what each converts, "Save As", the layout, the tabs and the panning
// of the previews, and a conversion asked for while one runs.
#include "export/FWeb.h"

#include "document/PictureFixtures.h"
#include "document/SizeLabel.h"
#include "FileSizeLimit.h"
#include "mainwindow/CommandFixture.h"
#include "picturefiles/GifPicture.h"
#include "widgets/UpDownBar.h"
#include "TextFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <FreeImage.h>

#include <filesystem>

namespace tq {
namespace {

using testing::PictureTempDir;
using testing::readFile;
using testing::writeFile;

class WebSaveDialog : public testing::CommandFixture {
protected:
    void SetUp() override
    {
        testing::CommandFixture::SetUp();
        programSettings() = defaultSettings(programDir.path().toStdString());
    }
    void TearDown() override
    {
        closeDialog();
        testing::CommandFixture::TearDown();
    }

    // A document of w x h with its caption, active.
    fImage* document(int w, int h)
    {
        fImage* doc = openDocument(w, h);
        doc->setWindowTitle(QStringLiteral("holiday.png"));
        return doc;
    }
    FWeb* open()
    {
        main->MenuStatic("IMAGESAVEOPTIONS");
        dialog = nullptr;
        for (FWeb* d : main->findChildren<FWeb*>())
            if (d->isVisible()) dialog = d;
        return dialog;
    }
    void closeDialog()
    {
        if (dialog) dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A list item as the user picks it.
    static void pick(QComboBox* list, int item)
    {
        list->setCurrentIndex(item);
        emit list->activated(item);
    }
    // Types into the quality box as a user would: focus, then keys.
    void type(const QString& keys)
    {
        dialog->TxtJPG->setFocus();
        dialog->TxtJPG->selectAll();
        QTest::keyClicks(dialog->TxtJPG, keys);
    }
    std::string estimateBytes() const { return readBytes(dialog->EstimateFile); }
    static std::string readBytes(const std::string& path)
    {
        const std::vector<uint8_t> b = readFile(path);
        return std::string(b.begin(), b.end());
    }

    PictureTempDir temp;
    QPointer<FWeb> dialog;
};

// The unchanged picture as the document holds it.
DibRecord documentPicture(const fImage& doc)
{
    const BitsBuffer b = doc.Bits();
    DibRecord d;
    d.width = b.width();
    d.height = b.height();
    d.header = BitsHeader::forDib(d.width, d.height);
    d.bits.assign(4u * size_t(d.width) * size_t(d.height), 0);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            for (int c = 0; c < 3; ++c) d.row(y)[4 * x + c] = b.at(c, x, y);
    return d;
}

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A press at `from`, a move to `to` and the release there, in the
// picture's own pixels (its border is one pixel).
void drag(FWebPictureBox* picture, QPoint from, QPoint to)
{
    const QPoint border(1, 1);
    mouse(picture, QEvent::MouseButtonPress, from + border, Qt::LeftButton);
    mouse(picture, QEvent::MouseMove, to + border, Qt::LeftButton);
    mouse(picture, QEvent::MouseButtonRelease, to + border, Qt::LeftButton);
}

TEST_F(WebSaveDialog, FirstOpeningConvertsTheDefaultPresetOnce)
{
    fImage* doc = document(30, 20);
    ASSERT_TRUE(open());
    EXPECT_EQ(dialog->windowTitle(), "Optimized Save Options ");
    EXPECT_TRUE(dialog->isModal() || dialog->windowModality() == Qt::ApplicationModal);
    // The stored 600 x 450 twips snap to the smallest size.
    const int smallest = dialog->smallestWidth();
    EXPECT_EQ(dialog->size(), QSize(smallest, 483));
    EXPECT_EQ(dialog->sT->currentIndex(), 2);
    EXPECT_TRUE(dialog->p3->isVisible());
    EXPECT_FALSE(dialog->p1->isVisible());
    EXPECT_FALSE(dialog->p2->isVisible());

    // The unchanged picture: the document's caption, its size as a 24-bit
    // Windows bitmap (54 + 92 x 20 bytes), the picture on both pages.
    EXPECT_EQ(dialog->FileType1->text(), "holiday.png");
    for (QLabel* l : {dialog->FileTypeO, dialog->oType}) EXPECT_EQ(l->text(), "Native Bitmap");
    for (QLabel* l : {dialog->FileSize1, dialog->oSize}) EXPECT_EQ(l->text().toStdString(), SizeLabel(54 + 92 * 20));
    for (QLabel* l : {dialog->FileDepth1, dialog->oColors}) EXPECT_EQ(l->text(), "24 bit True Color");
    ASSERT_TRUE(dialog->iSrc->image());
    EXPECT_EQ(dialog->iSrc->image()->bits, documentPicture(*doc).bits);
    EXPECT_EQ(dialog->OriginalP->image(), dialog->iSrc->image());

    // "GIF-64 Colors", converted once (one conversion lets events run once).
    EXPECT_EQ(dialog->CboFiles->currentIndex(), kDefaultWebSavePreset);
    EXPECT_EQ(dialog->CboFiles->count(), 24);
    EXPECT_EQ(dialog->panelText(2), "GIF-64 Colors");
    EXPECT_EQ(ports.pump.runs, 1);
    EXPECT_TRUE(dialog->State.Ready);
    EXPECT_EQ(dialog->TxtJPG->text(), "80");
    EXPECT_EQ(dialog->TxtJPGD->value(), 80);
    EXPECT_FALSE(dialog->fgif->isHidden());
    EXPECT_TRUE(dialog->Fjpg->isHidden());
    EXPECT_FALSE(dialog->ChkInterlaced->isHidden());
    EXPECT_EQ(dialog->cboMap->count(), 3);
    EXPECT_EQ(dialog->cboMap->currentIndex(), -1);
    EXPECT_EQ(dialog->cboDither->currentText(), "None");
    EXPECT_EQ(dialog->cboColorMode->currentText(), "Colors");
    EXPECT_EQ(dialog->cboDither->count(), 11);

    // The estimate: a file of the private temporary folder under a name of
    // its own, shown as the optimised pictures with its texts.
    const std::filesystem::path estimate = dialog->EstimateFile;
    EXPECT_EQ(estimate.parent_path(), std::filesystem::path(temp.tempFolder()));
    EXPECT_EQ(estimate.filename().string().rfind("t65s8s98", 0), 0u);
    ASSERT_TRUE(std::filesystem::exists(estimate));
    EXPECT_EQ(dialog->FileType2->text(), "GIF");
    EXPECT_EQ(dialog->Depth2->text(), "64 Colors");
    EXPECT_EQ(dialog->FileSize2->text().toStdString(), webSaveSizeText(std::filesystem::file_size(estimate), " KB"));
    EXPECT_EQ(dialog->FileType4->text(), "GIF");
    EXPECT_EQ(dialog->FileSize4->text(), dialog->FileSize2->text());
    EXPECT_EQ(dialog->Depth4->text(), "64 Colors");
    ASSERT_TRUE(dialog->oSrc->image());
    EXPECT_EQ(dialog->oSrc->image()->bits, loadGifPicture(estimate.string())->bits);
    EXPECT_EQ(dialog->OptimizedP->image(), dialog->oSrc->image());

    // "Exit" stores the settings, removes the estimate and ends the dialog.
    dialog->CmdCancel->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    const Settings& s = programSettings();
    EXPECT_EQ(s.WebSaveWidth, smallest * 15);
    EXPECT_EQ(s.WebSaveHeight, 483 * 15);
    EXPECT_EQ(s.WebSavePreset, 5);
    EXPECT_EQ(s.WebSaveJpegQuality, 80);
    EXPECT_EQ(s.WebSaveTab, 3);
    EXPECT_EQ(temp.tempEntries(), 0u);
}

TEST_F(WebSaveDialog, ReopeningRestoresPresetQualityTabAndSize)
{
    document(30, 20);
    ASSERT_TRUE(open());
    pick(dialog->CboFiles, 20);   // "JPEG - Custom Quality .."
    EXPECT_FALSE(dialog->frameJPG->isHidden());
    type(QStringLiteral("55"));
    EXPECT_EQ(dialog->State.JpegQuality, 55);
    QTest::mouseClick(dialog->sT->tabBar(), Qt::LeftButton, {}, dialog->sT->tabBar()->tabRect(1).center());
    EXPECT_EQ(programSettings().WebSaveTab, 2);
    EXPECT_TRUE(dialog->p2->isVisible());
    EXPECT_FALSE(dialog->p3->isVisible());
    dialog->resize(700, 520);
    // Escape closes it as "Exit" does.
    QTest::keyClick(dialog, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(programSettings().WebSavePreset, 20);
    EXPECT_EQ(programSettings().WebSaveJpegQuality, 55);

    // Converted with 55 without the box being touched.
    ASSERT_TRUE(open());
    EXPECT_EQ(dialog->CboFiles->currentIndex(), 20);
    EXPECT_EQ(dialog->TxtJPG->text(), "55");
    EXPECT_EQ(dialog->State.JpegQuality, 55);
    EXPECT_EQ(dialog->FileType2->text(), "JPG");
    EXPECT_EQ(dialog->Depth2->text(), "24 bit");
    EXPECT_EQ(dialog->FileSize2->text().toStdString(),
              webSaveSizeText(std::filesystem::file_size(dialog->EstimateFile), " Kb"));
    EXPECT_FALSE(dialog->Fjpg->isHidden());
    EXPECT_TRUE(dialog->fgif->isHidden());
    EXPECT_TRUE(dialog->p2->isVisible());
    EXPECT_EQ(dialog->size(), QSize(700, 520));
}

TEST_F(WebSaveDialog, ThePresetsSetTheirMapsAndOptions)
{
    document(30, 20);
    ASSERT_TRUE(open());

    // "GIF-4 Colors": the single map "Fixed Color", none chosen; converted
    // with the fixed palette of 4 colours.
    pick(dialog->CboFiles, 1);
    ASSERT_EQ(dialog->cboMap->count(), 1);
    EXPECT_EQ(dialog->cboMap->itemText(0), "Fixed Color");
    EXPECT_EQ(dialog->cboMap->currentIndex(), -1);
    EXPECT_EQ(dialog->State.PaletteFlags, 0x8004);
    EXPECT_EQ(dialog->Depth2->text(), "4 Colors");

    // "GIF-2 Colors", then "MS Map": &H1000, dither "None" and disabled;
    // "Fixed Color" enables it again and converts with &H8002.
    pick(dialog->CboFiles, 0);
    pick(dialog->cboDither, 4);
    EXPECT_EQ(dialog->State.DitherFlags, 8);
    pick(dialog->cboMap, 0);
    EXPECT_EQ(dialog->State.PaletteFlags, 0x1000);
    EXPECT_EQ(dialog->State.DitherFlags, 0);
    EXPECT_EQ(dialog->cboDither->currentText(), "None");
    EXPECT_FALSE(dialog->cboDither->isEnabled());
    pick(dialog->cboMap, 1);
    EXPECT_TRUE(dialog->cboDither->isEnabled());
    EXPECT_EQ(dialog->State.PaletteFlags, 0x8002);

    // "BMP-16 Colors": its own &H4000 although "MS Map" comes first; no
    // interlacing offered.
    pick(dialog->CboFiles, 9);
    EXPECT_EQ(dialog->cboMap->itemText(0), "MS Map");
    EXPECT_EQ(dialog->State.PaletteFlags, 0x4000);
    EXPECT_EQ(dialog->FileType2->text(), "BMP");
    EXPECT_EQ(dialog->Depth2->text(), "16 Colors");
    EXPECT_TRUE(dialog->ChkInterlaced->isHidden());

    // "InterLaced" is hidden, not cleared: every GIF preset then writes an
    // interlaced GIF.
    pick(dialog->CboFiles, 3);
    dialog->ChkInterlaced->click();
    EXPECT_EQ(dialog->State.OutputKind, 2);
    EXPECT_EQ(dialog->FileType2->text(), "GIF");
    pick(dialog->CboFiles, 12);
    EXPECT_TRUE(dialog->ChkInterlaced->isChecked());
    EXPECT_EQ(dialog->State.OutputKind, 0);
    pick(dialog->CboFiles, 6);
    EXPECT_EQ(dialog->State.OutputKind, 2);
    const std::vector<uint8_t> gif = readFile(dialog->EstimateFile);
    ASSERT_GT(gif.size(), 30u);
    // The image descriptor follows the 13-byte header and the colour table
    // of 2^7 entries; its flags carry the interlace bit.
    EXPECT_EQ(gif[13 + 3 * 128], 0x2C);
    EXPECT_NE(gif[13 + 3 * 128 + 9] & 0x40, 0);

    // A JPEG preset leaves the reduction options; the next GIF preset puts
    // colour mode and dither back, the flips and invert stay.
    pick(dialog->cboDither, 2);
    pick(dialog->cboColorMode, 1);
    dialog->chkFlipH->click();
    pick(dialog->CboFiles, 17);
    EXPECT_TRUE(dialog->fgif->isHidden());
    EXPECT_FALSE(dialog->Fjpg->isHidden());
    EXPECT_TRUE(dialog->frameJPG->isHidden());
    EXPECT_EQ(dialog->State.JpegQuality, 0x200);
    EXPECT_EQ(dialog->FileType2->text(), "JPG");
    EXPECT_EQ(dialog->State.DitherFlags, 2);
    EXPECT_EQ(dialog->State.ColorMode, 2);
    pick(dialog->CboFiles, 4);
    EXPECT_EQ(dialog->cboDither->currentText(), "None");
    EXPECT_EQ(dialog->cboColorMode->currentText(), "Colors");
    EXPECT_EQ(dialog->State.DitherFlags, 0);
    EXPECT_EQ(dialog->State.ColorMode, 0);
    EXPECT_TRUE(dialog->chkFlipH->isChecked());
    pick(dialog->cboDither, 10);
    EXPECT_EQ(dialog->State.DitherFlags, 1024);
}

TEST_F(WebSaveDialog, FlipsAndInvertReachTheFileOnlyWhenTicked)
{
    fImage* doc = document(12, 9);
    const DibRecord pic = documentPicture(*doc);
    ASSERT_TRUE(open());
    pick(dialog->CboFiles, 14);   // "PNG-24 bit", lossless
    EXPECT_EQ(dialog->FileType2->text(), "PNG");
    {
        const DibRecord& o = *dialog->oSrc->image();
        ASSERT_EQ(o.bits.size(), pic.bits.size());
        for (size_t i = 0; i < o.bits.size(); ++i) ASSERT_EQ(o.bits[i], pic.bits[i]) << i;
    }

    // Flip Vertical and Invert (&H3110000); a greyed Flip Horizontal adds
    // nothing.
    dialog->chkFlipV->click();
    dialog->chkInvert->click();
    dialog->chkFlipH->setTristate(true);
    dialog->chkFlipH->setCheckState(Qt::PartiallyChecked);
    dialog->chkFlipH_Click();
    const DibRecord& out = *dialog->oSrc->image();
    ASSERT_EQ(out.width, 12);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(out.row(y)[4 * x + c], 255 - pic.row(8 - y)[4 * x + c]) << x << "," << y;
    EXPECT_EQ(dialog->OptimizedP->image(), dialog->oSrc->image());
}

TEST_F(WebSaveDialog, TheCustomQualityIsKeptBetween1And100AndConvertsEachEdit)
{
    document(30, 20);
    ASSERT_TRUE(open());
    pick(dialog->CboFiles, 20);
    EXPECT_FALSE(dialog->Fjpg->isHidden());
    EXPECT_FALSE(dialog->frameJPG->isHidden());
    EXPECT_EQ(dialog->State.JpegQuality, 80);

    struct Case {
        QString keys;   // typed over the whole text
        const char* text;
        int quality;
    };
    for (const Case& c : {Case{"0", "1", 1}, Case{"250", "100", 100}, Case{"42", "42", 42}, Case{"7x", "7", 7}}) {
        SCOPED_TRACE(c.keys.toStdString());
        std::filesystem::remove(dialog->EstimateFile);
        type(c.keys);
        EXPECT_EQ(dialog->TxtJPG->text(), c.text);
        EXPECT_EQ(dialog->TxtJPGD->value(), c.quality);
        EXPECT_EQ(dialog->State.JpegQuality, c.quality);
        EXPECT_TRUE(std::filesystem::exists(dialog->EstimateFile));   // converted again
    }
    // Deleting the whole text gives 1, selected.
    type(QString());
    QTest::keyClick(dialog->TxtJPG, Qt::Key_Backspace);
    EXPECT_EQ(dialog->TxtJPG->text(), "1");
    EXPECT_EQ(dialog->TxtJPG->selectedText(), "1");
    EXPECT_EQ(dialog->State.JpegQuality, 1);
    // The up-down edits the same value.
    dialog->TxtJPGD->setValue(64);
    EXPECT_EQ(dialog->TxtJPG->text(), "64");
    EXPECT_EQ(dialog->State.JpegQuality, 64);
    EXPECT_EQ(dialog->FileSize2->text().toStdString(),
              webSaveSizeText(std::filesystem::file_size(dialog->EstimateFile), " Kb"));
}

TEST_F(WebSaveDialog, SaveAsOffersThePresetsFormatAndWritesTheNameAsGiven)
{
    document(30, 20);
    ASSERT_TRUE(open());
    struct Case {
        int preset;
        const char* filter;
    };
    for (const Case c : {Case{5, "Graphical Interface Format (*.gif)|*.gif"},
                         Case{9, "Windows Bitmap Format (*.bmp)|*.bmp"},
                         Case{13, "Portable Network Graphics (*.png)|*.png"}, Case{21, "Targa Format (*.tga)|*.tga"},
                         Case{23, "Tagged Image Format (*.tif)|*.tif"}, Case{17, "Independent JPEG (*.jpg)|*.jpg"}}) {
        pick(dialog->CboFiles, c.preset);
        ports.fileDialogs.answerCancel();
        dialog->CmdSave->click();
        ASSERT_FALSE(ports.fileDialogs.saveRequests.empty());
        const platform::FileDialogRequest& r = ports.fileDialogs.saveRequests.back();
        EXPECT_EQ(r.filter, c.filter) << c.preset;
        EXPECT_EQ(r.title, "Save Optimized As");
        EXPECT_TRUE(r.overwritePrompt);
        EXPECT_EQ(r.defaultExt, "");
        EXPECT_EQ(r.initialDir, platform::joinPath(programDir.path().toStdString(), "images/"));
    }
    // Cancelled: nothing was written anywhere but the estimate.
    EXPECT_EQ(temp.entries(), 1u);

    // A name without extension is written as it is; saving again writes it
    // again, and the previews describe the file written.
    pick(dialog->CboFiles, 7);
    const std::string out = temp.path("web");
    const size_t requests = ports.fileDialogs.saveRequests.size();
    for (int i = 0; i < 2; ++i) {
        std::filesystem::remove(out);
        ports.fileDialogs.answerPath(out);
        dialog->CmdSave->click();
        ASSERT_TRUE(std::filesystem::exists(out)) << i;
        EXPECT_EQ(FreeImage_GetFileType(out.c_str(), 0), FIF_GIF);
        EXPECT_EQ(dialog->FileSize2->text().toStdString(), webSaveSizeText(std::filesystem::file_size(out), " KB"));
        EXPECT_EQ(readBytes(out), estimateBytes());
    }
    // The second time the dialog proposes the name chosen the first time;
    // cancelled, it writes nothing.
    EXPECT_EQ(ports.fileDialogs.saveRequests[requests].fileName, "");
    EXPECT_EQ(ports.fileDialogs.saveRequests[requests + 1].fileName, out);
    const auto written = std::filesystem::last_write_time(out);
    ports.fileDialogs.answerCancel();
    dialog->CmdSave->click();
    EXPECT_EQ(std::filesystem::last_write_time(out), written);

    // A JPEG is saved with the quality of the last JPEG conversion shown.
    pick(dialog->CboFiles, 20);
    type(QStringLiteral("33"));
    const std::string jpg = temp.path("web.jpg");
    ports.fileDialogs.answerPath(jpg);
    dialog->CmdSave->click();
    EXPECT_EQ(dialog->State.JpegQuality, 33);
    EXPECT_EQ(readBytes(jpg), estimateBytes());
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST_F(WebSaveDialog, AFailedSaveKeepsTheOldFileAndSaysSo)
{
    document(200, 150);
    ASSERT_TRUE(open());
    const std::string out = temp.path("old.gif");
    writeFile(out, {'o', 'l', 'd'});
    ports.fileDialogs.answerPath(out);
    {
        ScopedFileSizeLimit limit(2000);
        dialog->CmdSave->click();
    }
    EXPECT_EQ(readBytes(out), "old");
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, kWebSaveWriteFailed);
    EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(dialog->panelText(3), kWebSaveWriteFailed);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(WebSaveDialog, AConversionThatCannotBeAppliedKeepsThePreviews)
{
    document(30, 20);
    ASSERT_TRUE(open());
    pick(dialog->CboFiles, 2);   // 8 colours
    const WebPicture before = dialog->oSrc->image();
    const QString size = dialog->FileSize2->text();
    dialog->State.PaletteFlags = 0x8210;   // the 16 VGA colours do not fit
    dialog->chkFlipV->click();
    EXPECT_EQ(dialog->panelText(3), kWebSaveCannotApply);
    EXPECT_EQ(dialog->oSrc->image(), before);
    EXPECT_EQ(dialog->FileSize2->text(), size);
    // The next conversion that writes its file clears the status.
    pick(dialog->CboFiles, 2);
    EXPECT_EQ(dialog->panelText(3), "");
    EXPECT_NE(dialog->oSrc->image(), before);
}

TEST_F(WebSaveDialog, AStoredFolderThatIsGoneGivesTheImagesFolder)
{
    document(10, 10);
    const std::string kept = temp.path("pictures");
    std::filesystem::create_directory(kept);
    programSettings().WebSaveFolder.assign(kept);
    ASSERT_TRUE(open());
    EXPECT_EQ(dialog->Dlg.initialDir, kept);
    closeDialog();
    EXPECT_EQ(programSettings().WebSaveFolder.text(), kept);

    std::filesystem::remove(kept);
    ASSERT_TRUE(open());
    const std::string images = platform::joinPath(programDir.path().toStdString(), "images/");
    EXPECT_EQ(dialog->Dlg.initialDir, images);
    closeDialog();
    EXPECT_EQ(programSettings().WebSaveFolder.text(), images);
}

TEST_F(WebSaveDialog, APictureThatCannotBeMeasuredOpensNoDialog)
{
    document(200, 150);
    {
        ScopedFileSizeLimit limit(1000);
        EXPECT_FALSE(open());
    }
    EXPECT_TRUE(main->findChildren<FWeb*>().isEmpty());
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, kWebSaveWriteFailed);
    EXPECT_EQ(temp.tempEntries(), 0u);
}

TEST_F(WebSaveDialog, TheWindowKeepsItsSmallestSizeAndCentresSmallPictures)
{
    document(30, 20);
    ASSERT_TRUE(open());
    // 8000 twips, or more where the desktop's font needs it (below).
    const int smallest = dialog->smallestWidth();
    EXPECT_GE(smallest, 533);
    dialog->resize(smallest + 67, 200);
    EXPECT_EQ(dialog->size(), QSize(smallest + 67, 483));
    dialog->resize(300, 700);
    EXPECT_EQ(dialog->size(), QSize(smallest, 700));

    // The panel keeps its width on the right; the pages fill the tab strip
    // less 8 pixels on the left, right and below.
    EXPECT_EQ(dialog->sSave->geometry(), QRect(smallest - 209, 0, 209, 700 - 20));
    EXPECT_EQ(dialog->p1->geometry(), QRect(8, 30, smallest - 209 - 16, 680 - 38));
    EXPECT_EQ(dialog->CiSrc->height(), dialog->p1->height() - 68);
    EXPECT_EQ(dialog->frmOriginal->y(), dialog->CiSrc->height());
    const int half = int(std::nearbyint((smallest - 209 - 16) / 2.0 - 8));
    EXPECT_EQ(dialog->CoriginalP->geometry(), QRect(0, 0, half, dialog->CiSrc->height()));
    EXPECT_EQ(dialog->COptimizedP->geometry(), QRect(half + 11, 0, half, dialog->CoSrc->height()));

    // A picture smaller than its clip box is centred and cannot be panned.
    for (auto [picture, clip] : {std::pair{dialog->iSrc, dialog->CiSrc}, std::pair{dialog->OriginalP, dialog->CoriginalP},
                                 std::pair{dialog->OptimizedP, dialog->COptimizedP}}) {
        EXPECT_EQ(picture->pos(), QPoint(int(std::nearbyint((clip->innerWidth() - 30) / 2.0)),
                                         int(std::nearbyint((clip->innerHeight() - 20) / 2.0))));
    }
    const QPoint at = dialog->OriginalP->pos();
    drag(dialog->OriginalP, {10, 10}, {2, 3});
    EXPECT_FALSE(dialog->HHor.Enabled);
    EXPECT_FALSE(dialog->VVor.Enabled);
    EXPECT_EQ(dialog->OriginalP->pos(), at);
    EXPECT_EQ(dialog->OriginalP->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(dialog->Panning, 0);
}

TEST_F(WebSaveDialog, NoTextIsCutAtTheSmallestSize)
{
    TQ_REQUIRE_BUNDLED_FONT();
    testing::TextFitFonts fonts;
    document(30, 20)->setWindowTitle(QStringLiteral("a long name for a holiday picture.png"));
    ASSERT_TRUE(open());
    dialog->resize(1, 1);
    ASSERT_EQ(dialog->width(), dialog->smallestWidth());
    // The document's name is shortened to its room, and whole in the tip.
    EXPECT_EQ(dialog->FileType1->toolTip(), "a long name for a holiday picture.png");
    // Every preset with its options, on every page; the status bar with
    // the longest message it shows.
    for (int preset = 0; preset < dialog->CboFiles->count(); ++preset) {
        pick(dialog->CboFiles, preset);
        for (int tab = 0; tab < 3; ++tab) {
            dialog->sT->setCurrentIndex(tab);
            EXPECT_EQ(testing::describe(testing::cutTexts(dialog)), "") << "preset " << preset << ", tab " << tab;
        }
    }
    dialog->sbPanel[2]->setText(QString::fromLatin1(kWebSaveCannotApply));
    EXPECT_EQ(testing::describe(testing::cutTexts(dialog)), "");
}

TEST_F(WebSaveDialog, LargePicturesPanTogetherOnTheBothPage)
{
    document(800, 600);
    ASSERT_TRUE(open());
    pick(dialog->CboFiles, 14);   // a lossless optimised picture of the same size
    ASSERT_TRUE(dialog->p3->isVisible());

    // Dragged 30 pixels up and to the left: all four offsets become 30.
    mouse(dialog->OriginalP, QEvent::MouseButtonPress, {101, 101}, Qt::LeftButton);
    EXPECT_EQ(dialog->OriginalP->cursor().shape(), Qt::ClosedHandCursor);
    EXPECT_EQ(dialog->Panning, 1);
    EXPECT_EQ(dialog->HHor.Max(), 800 - dialog->CoriginalP->innerWidth());
    mouse(dialog->OriginalP, QEvent::MouseMove, {71, 71}, Qt::LeftButton);
    mouse(dialog->OriginalP, QEvent::MouseButtonRelease, {71, 71}, Qt::LeftButton);
    for (const FWebOffsetBar* bar : {&dialog->HHor, &dialog->VVor, &dialog->HHop, &dialog->VVop})
        EXPECT_EQ(bar->Value(), 30);
    EXPECT_EQ(dialog->OriginalP->pos(), QPoint(-30, -30));
    EXPECT_EQ(dialog->OptimizedP->pos(), QPoint(-30, -30));
    EXPECT_EQ(dialog->H.Value(), 0);

    // From the optimised side, back 10 to the right; past the edge the
    // pictures stay where they were.
    drag(dialog->OptimizedP, {50, 50}, {60, 50});
    EXPECT_EQ(dialog->OriginalP->pos(), QPoint(-20, -30));
    EXPECT_EQ(dialog->OptimizedP->pos(), QPoint(-20, -30));
    drag(dialog->OptimizedP, {50, 50}, {90, 50});
    EXPECT_EQ(dialog->OriginalP->pos(), QPoint(-20, -30));
    EXPECT_EQ(dialog->HHop.Value(), 20);

    // The "Original" page pans its own picture only.
    dialog->sT->setCurrentIndex(0);
    drag(dialog->iSrc, {40, 40}, {0, 20});
    EXPECT_EQ(dialog->iSrc->pos(), QPoint(-40, -20));
    EXPECT_EQ(dialog->HHor.Value(), 20);
}

TEST_F(WebSaveDialog, AConversionAskedForWhileOneRunsIsRefusedThenMadeUp)
{
    document(30, 20);
    ASSERT_TRUE(open());
    const int runs = ports.pump.runs;
    bool nested = false;
    // While the colour mode's conversion lets events run, a JPEG preset is
    // chosen: its conversion is refused there and made up for afterwards.
    ports.pump.onRun = [&] {
        if (nested) return;
        nested = true;
        pick(dialog->CboFiles, 18);
        EXPECT_EQ(dialog->FileType2->text(), "GIF");   // not converted inside
    };
    pick(dialog->cboColorMode, 1);
    ports.pump.onRun = nullptr;
    EXPECT_TRUE(nested);
    EXPECT_EQ(ports.pump.runs, runs + 1);
    EXPECT_EQ(dialog->FileType2->text(), "JPG");
    EXPECT_EQ(dialog->State.JpegQuality, 0x100);
    EXPECT_EQ(FreeImage_GetFileType(dialog->EstimateFile.c_str(), 0), FIF_JPEG);
}

} // namespace
} // namespace tq
