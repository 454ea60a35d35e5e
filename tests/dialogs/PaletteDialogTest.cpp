// The palette dialog: its state before and after the first palette, the
// grid's hit test, the count and index that follow each other, the colour
// boxes, the palette files (refused loads change nothing, saves leave no
// older tail) and OK as one step "Apply Palette".
#include "DialogFixture.h"
#include "FileBytes.h"

#include "dialogs/fPaletteApply.h"
#include "filters/Palette.h"
#include "filters/cBitFilter.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"
#include "widgets/ColourSwatch.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace tq {
namespace {

namespace fs = std::filesystem;
using testing::CountingImage;
using testing::readFile;
using testing::writeFile;
using platform::MsgIcon;

// n colours, each different: entry i is (10 + i, 200 - i, 3 * i).
PaletteRecord rampPalette(int32_t n)
{
    PaletteRecord p;
    p.Count = n;
    for (int32_t i = 0; i < n; ++i) p.entries.push_back({10 + i, 200 - i, 3 * i});
    return p;
}

int32_t colourOf(const PaletteEntry& e) { return rgbColor(e.red, e.green, e.blue); }

class PaletteDialog : public testing::DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        saved_ = CurrentPalette();
        CurrentPalette() = PaletteRecord{};
        fs::create_directory(palettes());
    }
    void TearDown() override
    {
        DialogFixture::TearDown();
        CurrentPalette() = saved_;
    }

    std::string palettes() const { return programDir.filePath(QStringLiteral("Palettes")).toStdString(); }
    std::string file(const char* name) const { return palettes() + "/" + name; }

    fPaletteApply* openPalette()
    {
        fPaletteApply* d = showPaletteDialog();
        return d && d->isVisible() ? d : nullptr;
    }

    // Loads a palette file through "Load Palette".
    void load(fPaletteApply* d, const PaletteRecord& p, const char* name = "p.pal")
    {
        writeFile(file(name), PaletteFile::encode(p));
        ports.fileDialogs.answerPath(file(name));
        d->cmd[0]->click();
    }

    // A press of a button at (x, y) inside the grid's border.
    static void press(fPaletteApply* d, int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(d->iPal, button, Qt::NoModifier, d->iPal->inside() + QPoint(x, y));
        QTest::mouseRelease(d->iPal, button, Qt::NoModifier, d->iPal->inside() + QPoint(x, y));
    }

    static void move(QWidget* w, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent e(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, held, mods);
        QCoreApplication::sendEvent(w, &e);
    }

    const std::vector<platform::MessageBoxRequest>& shown() const { return ports.messageBoxes.shown; }

private:
    PaletteRecord saved_;
};

} // namespace

TEST_F(PaletteDialog, BeforeAnyPaletteOnlyTheCountAndTheFilesWork)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Apply palette"));
    for (QWidget* w : std::initializer_list<QWidget*>{d->iPal, d->txtRGB[0], d->txtRGB[1], d->txtRGB[2], d->chkColors,
                                                      d->cmdOK, d->lblIndex, d->lblIndexV, d->lblColorsV})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{d->cmd[0], d->cmd[1], d->cmdCancel, d->lblCur, d->sbColorsUDT})
        EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(d->sbColors->Enabled());
    EXPECT_TRUE(d->sbIndex->Enabled());
    EXPECT_FALSE(d->shpSelect->isVisible());
    EXPECT_FALSE(d->tmrSelect->isActive());
    EXPECT_EQ(d->tmrSelect->interval(), 500);
    EXPECT_EQ(text(d->sbColorsUDT), "2");
    EXPECT_EQ(d->sbColorsUD->value(), 2);
    EXPECT_EQ(d->sbColors->Value(), 2);
    EXPECT_EQ(text(d->sbIndexUDT), "0");
    EXPECT_EQ(d->sbIndex->Max(), 255);
    EXPECT_EQ(d->lblColorsV->text(), QStringLiteral("256"));
    EXPECT_EQ(d->lblCur->BackColor(), 0);
    EXPECT_EQ(d->lblCur->toolTip(), QStringLiteral("Double click to apply to palette color"));

    // A count set now makes a palette of black, still not one to apply.
    d->sbColorsUD->setValue(5);
    EXPECT_EQ(CurrentPalette().Count, 5);
    EXPECT_EQ(CurrentPalette().entries.size(), 5u);
    EXPECT_FALSE(d->cmdOK->isEnabled());
}

TEST_F(PaletteDialog, AMissingPalettesFolderIsSaidAndNoDialogOpens)
{
    fs::remove_all(palettes());
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    for (int i = 0; i < 2; ++i) {
        d->cmd[i]->click();
        ASSERT_EQ(shown().size(), size_t(i + 1));
        EXPECT_EQ(shown().back(), (platform::MessageBoxRequest{kPalettesMissingText, platform::MsgButtons::OK,
                                                                MsgIcon::Exclamation, ""}));
    }
    EXPECT_TRUE(ports.fileDialogs.openRequests.empty());
    EXPECT_TRUE(ports.fileDialogs.saveRequests.empty());
    EXPECT_FALSE(fs::exists(palettes()));
}

TEST_F(PaletteDialog, LoadDrawsTheGridAndEnablesEditing)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    const PaletteRecord p = rampPalette(20);
    load(d, p);

    ASSERT_EQ(ports.fileDialogs.openRequests.size(), 1u);
    const platform::FileDialogRequest& r = ports.fileDialogs.openRequests[0];
    EXPECT_EQ(r.title, "Load palette");
    EXPECT_EQ(r.filter, "QuentaImager palette (*.pal)|*.pal");
    EXPECT_EQ(r.initialDir, palettes());
    EXPECT_EQ(CurrentPalette(), p);
    EXPECT_EQ(d->sbColors->Value(), 20);
    EXPECT_EQ(text(d->sbColorsUDT), "20");
    EXPECT_EQ(d->sbIndex->Max(), 19);

    // Cell i fills (14c + 1, 14r + 1)..(14c + 12, 14r + 12); the gaps and
    // the cells past the count show the background.
    const int32_t background = d->iPal->GetPixel(0, 0);
    for (int i = 0; i < 22; ++i) {
        const int x = 14 * (i % 16), y = 14 * (i / 16);
        const int32_t want = i < 20 ? colourOf(p.entries[size_t(i)]) : background;
        EXPECT_EQ(d->iPal->GetPixel(x + 1, y + 1), want) << i;
        EXPECT_EQ(d->iPal->GetPixel(x + 12, y + 12), want) << i;
        EXPECT_EQ(d->iPal->GetPixel(x + 13, y + 6), background) << i;
        EXPECT_EQ(d->iPal->GetPixel(x + 6, y), background) << i;
    }

    for (QWidget* w : std::initializer_list<QWidget*>{d->iPal, d->txtRGB[0], d->txtRGB[2], d->chkColors, d->cmdOK,
                                                      d->lblIndex, d->lblIndexV, d->cmd[1]})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(d->editingEnabled());
    EXPECT_TRUE(d->tmrSelect->isActive());
    EXPECT_TRUE(d->shpSelect->isVisible());
    EXPECT_EQ(d->shpSelect->pos(), d->iPal->inside());
    // Cell 0 is picked.
    EXPECT_EQ(d->lblCur->BackColor(), colourOf(p.entries[0]));
    EXPECT_EQ(text(d->txtRGB[0]), "10");
    EXPECT_EQ(text(d->txtRGB[1]), "200");
    EXPECT_EQ(text(d->txtRGB[2]), "0");
    EXPECT_EQ(d->txtRGBUD[1]->value(), 200);
    // The count slider follows "Max. colors", which is not ticked.
    EXPECT_FALSE(d->sbColors->Enabled());
    d->chkColors->click();
    EXPECT_TRUE(d->sbColors->Enabled());
    EXPECT_TRUE(d->lblColorsV->isEnabled());
    d->chkColors->click();
    EXPECT_FALSE(d->sbColors->Enabled());
    EXPECT_FALSE(d->lblColorsV->isEnabled());
}

TEST_F(PaletteDialog, OnlyAPointInsideAFilledCellPicksIt)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    const PaletteRecord p = rampPalette(20);
    load(d, p);
    struct Case {
        int x, y;
        int index;   // -1: nothing happens
        Qt::MouseButton button = Qt::LeftButton;
    } cases[] = {
        {1, 1, 0},      {12, 12, 0},   {13, 5, -1},    {14, 5, -1},   {0, 6, -1},     {6, 0, -1},
        {15, 15, 17},   {29, 1, 2},    {27, 1, -1},    {50, 5, 3},    {57, 15, -1},   // 20: past the count
        {223, 223, -1}, {400, 10, -1}, {-30, 20, -1}, {1, 20, 16, Qt::RightButton}, {45, 1, 3, Qt::MiddleButton},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        d->sbIndex->setValue(5);
        press(d, c.x, c.y, c.button);
        const int want = c.index < 0 ? 5 : c.index;
        EXPECT_EQ(d->sbIndex->Value(), want);
        EXPECT_EQ(text(d->sbIndexUDT), std::to_string(want));
        EXPECT_EQ(d->sbIndexUD->value(), want);
        EXPECT_EQ(text(d->txtRGB[0]), std::to_string(p.entries[size_t(want)].red));
        EXPECT_EQ(d->lblCur->BackColor(), colourOf(p.entries[size_t(want)]));
        EXPECT_EQ(d->shpSelect->pos(), d->iPal->inside() + QPoint(14 * (want % 16), 14 * (want / 16)));
    }
    // A move picks only with the left button held.
    d->sbIndex->setValue(5);
    move(d->iPal, d->iPal->inside() + QPoint(30, 1), Qt::NoButton);
    EXPECT_EQ(d->sbIndex->Value(), 5);
    move(d->iPal, d->iPal->inside() + QPoint(30, 1), Qt::RightButton);
    EXPECT_EQ(d->sbIndex->Value(), 5);
    move(d->iPal, d->iPal->inside() + QPoint(30, 1), Qt::LeftButton);
    EXPECT_EQ(d->sbIndex->Value(), 2);
    // The up-down moves the index, and the index picks its cell.
    d->sbIndexUD->setValue(19);
    EXPECT_EQ(d->sbIndex->Value(), 19);
    EXPECT_EQ(text(d->txtRGB[2]), "57");
}

TEST_F(PaletteDialog, CountAndIndexFollowEachOther)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    const PaletteRecord p = rampPalette(20);
    load(d, p);
    d->sbIndex->setValue(15);

    // Lowering the count below the index moves it to the new last entry.
    type(d->sbColorsUDT, QStringLiteral("9"));
    EXPECT_EQ(d->sbColors->Value(), 9);
    EXPECT_EQ(d->sbColorsUD->value(), 9);
    EXPECT_EQ(d->sbIndex->Value(), 8);
    EXPECT_EQ(d->sbIndex->Max(), 8);
    EXPECT_EQ(text(d->txtRGB[0]), "18");
    EXPECT_EQ(CurrentPalette().Count, 9);
    ASSERT_EQ(CurrentPalette().entries.size(), 9u);
    d->sbColorsUD->setValue(10);
    EXPECT_EQ(d->sbIndex->Value(), 8);

    // Raising it adds black entries at the end and keeps the others.
    d->sbColorsUD->setValue(12);
    ASSERT_EQ(CurrentPalette().entries.size(), 12u);
    EXPECT_EQ(CurrentPalette().entries[8], p.entries[8]);
    EXPECT_EQ(CurrentPalette().entries[9], (PaletteEntry{0, 0, 0}));
    EXPECT_EQ(CurrentPalette().entries[11], (PaletteEntry{0, 0, 0}));
    EXPECT_EQ(d->iPal->GetPixel(14 * 11 + 5, 5), 0);
    EXPECT_EQ(text(d->sbColorsUDT), "12");

    // The count box takes digits only and holds the slider's range.
    type(d->sbColorsUDT, QStringLiteral("3x00"));
    EXPECT_EQ(text(d->sbColorsUDT), "256");
    EXPECT_EQ(d->sbColors->Value(), 256);
    EXPECT_EQ(CurrentPalette().entries.size(), 256u);
    type(d->sbColorsUDT, QStringLiteral("1"));
    EXPECT_EQ(text(d->sbColorsUDT), "2");
    EXPECT_EQ(CurrentPalette().Count, 2);
    EXPECT_TRUE(d->cmdOK->isEnabled());
}

TEST_F(PaletteDialog, ColourBoxesHoldTheirRangeAndFollowTheMouse)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    load(d, rampPalette(4));

    type(d->txtRGB[0], QStringLiteral("300"));
    EXPECT_EQ(text(d->txtRGB[0]), "255");
    EXPECT_EQ(d->txtRGB[0]->selectedText(), QStringLiteral("255"));
    type(d->txtRGB[1], QString());
    EXPECT_EQ(text(d->txtRGB[1]), "0");
    EXPECT_EQ(d->txtRGB[1]->selectedText(), QStringLiteral("0"));
    type(d->txtRGB[2], QStringLiteral("-7a"));   // digits only
    EXPECT_EQ(text(d->txtRGB[2]), "7");
    EXPECT_EQ(d->lblCur->BackColor(), rgbColor(255, 0, 7));
    EXPECT_EQ(d->txtRGBUD[2]->value(), 7);
    d->txtRGBUD[1]->setValue(33);
    EXPECT_EQ(text(d->txtRGB[1]), "33");
    EXPECT_EQ(d->lblCur->BackColor(), rgbColor(255, 33, 7));

    // Dragging: lower on the screen steps down, anything else steps up; Ctrl
    // alone steps by 10. The last height is shared by the three boxes.
    type(d->txtRGB[1], QStringLiteral("100"));
    struct Step {
        int box, y;
        Qt::KeyboardModifiers mods;
        const char* shows;
    } steps[] = {
        {1, 6, Qt::ControlModifier, "90"},
        {1, 6, Qt::NoModifier, "91"},            // not moved vertically: up
        {1, 3, Qt::NoModifier, "92"},
        {1, 9, Qt::ShiftModifier, "91"},
        {1, 2, Qt::ControlModifier | Qt::ShiftModifier, "92"},
        {1, 1, Qt::ControlModifier, "102"},
        {0, 4, Qt::ControlModifier, "245"},      // from the last height of box 1
    };
    for (const Step& s : steps) {
        move(d->txtRGB[s.box], QPoint(5, s.y), Qt::LeftButton, s.mods);
        EXPECT_EQ(text(d->txtRGB[s.box]), s.shows) << s.y;
    }
    move(d->txtRGB[1], QPoint(5, 20), Qt::NoButton);
    EXPECT_EQ(text(d->txtRGB[1]), "102");
    // Clamped at the ends.
    type(d->txtRGB[2], QStringLiteral("250"));
    move(d->txtRGB[2], QPoint(5, 0), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(text(d->txtRGB[2]), "255");
}

TEST_F(PaletteDialog, SwatchDoubleClickPutsTheColourIntoThePickedEntry)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    const PaletteRecord p = rampPalette(8);
    load(d, p);
    d->sbIndex->setValue(3);
    ports.colourPicker.answers.push_back(std::nullopt);
    QTest::mouseDClick(d->lblCur, Qt::LeftButton);
    EXPECT_EQ(CurrentPalette(), p);
    ports.colourPicker.answers.push_back(rgbColor(1, 2, 3));
    QTest::mouseDClick(d->lblCur, Qt::LeftButton);
    EXPECT_EQ(ports.colourPicker.asked.back(), colourOf(p.entries[3]));
    EXPECT_EQ(text(d->txtRGB[0]), "1");
    EXPECT_EQ(text(d->txtRGB[1]), "2");
    EXPECT_EQ(text(d->txtRGB[2]), "3");
    EXPECT_EQ(CurrentPalette().entries[3], (PaletteEntry{1, 2, 3}));
    EXPECT_EQ(CurrentPalette().entries[0], p.entries[0]);
    EXPECT_EQ(d->iPal->GetPixel(14 * 3 + 6, 6), rgbColor(1, 2, 3));

    // The boxes' values go in too, through the same step.
    type(d->txtRGB[0], QStringLiteral("77"));
    d->StoreCurrentColor();
    EXPECT_EQ(CurrentPalette().entries[3], (PaletteEntry{77, 2, 3}));
    EXPECT_EQ(CurrentPalette().entries[0], p.entries[0]);
}

TEST_F(PaletteDialog, TheMarkerBlinksWhiteThenBlack)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    load(d, rampPalette(3));
    for (int32_t want : {0xFFFFFF, 0, 0xFFFFFF}) {
        d->tmrSelect_Timer();
        EXPECT_EQ(d->blinkColour(), want);
        EXPECT_EQ(d->shpSelect->BorderColor(), want);
    }
}

TEST_F(PaletteDialog, OkMapsTheSelectionAsOneStep)
{
    CountingImage* doc = openDocument(9, 7);
    doc->BitsRegion.CreateRect(2, 1, 7, 6, 5, false);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    PaletteRecord p;
    p.Count = 3;
    p.entries = {{0, 0, 0}, {255, 255, 255}, {200, 60, 20}};
    load(d, p);

    cBitFilter engine;
    engine.setBits(doc->Bits());
    engine.setBitsRegion(doc->BitsRegion.walkRegion());
    FilterResult want = engine.PaletteApply();
    ASSERT_TRUE(want);
    const BitsBuffer before = doc->Bits();
    d->cmdOK->click();

    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(doc->Bits(), *want);
    EXPECT_EQ(doc->Bits().at(0, 0, 0), before.at(0, 0, 0));   // outside the selection
    EXPECT_NE(doc->Bits(), before);
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(lastStepName(*doc), "Apply Palette");
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(PaletteDialog, SaveWritesThePaletteWholeWithNoOlderTail)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    // Nothing to save yet: said so, and no file.
    ports.fileDialogs.answerPath(file("empty.pal"));
    d->cmd[1]->click();
    EXPECT_EQ(shown().back().text, kPaletteEmptyText);
    EXPECT_FALSE(fs::exists(file("empty.pal")));

    load(d, rampPalette(40));
    d->sbColorsUD->setValue(5);
    const std::string path = file("short.pal");
    writeFile(path, std::vector<uint8_t>(1000, 0xAB));
    ports.fileDialogs.answerPath(path);
    d->cmd[1]->click();
    const platform::FileDialogRequest& r = ports.fileDialogs.saveRequests.back();
    EXPECT_EQ(r.title, "Save palette");
    EXPECT_EQ(r.initialDir, palettes());
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(readFile(path), PaletteFile::encode(rampPalette(5)));

    const size_t before = shown().size();
    ports.fileDialogs.answerPath(file("no/such/folder.pal"));
    d->cmd[1]->click();
    ASSERT_EQ(shown().size(), before + 1);
    EXPECT_EQ(shown().back().text, kPaletteNotSavedText);

    // A FIFO, or a link to one, used to be replaced by the palette: it stays,
    // and the message says why.
    const std::string fifo = file("pipe.pal");
    const std::string link = file("link.pal");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, link);
    for (const std::string& target : {fifo, link}) {
        ports.fileDialogs.answerPath(target);
        d->cmd[1]->click();
        EXPECT_EQ(shown().back().text, std::string(kPaletteNotSavedText) + "\r\n\r\n" + target + " is not a regular file");
        EXPECT_EQ(fs::symlink_status(fifo).type(), fs::file_type::fifo);
        EXPECT_TRUE(fs::is_symlink(link));
    }
}

TEST_F(PaletteDialog, RefusedLoadsChangeNothingAndSaySo)
{
    openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    std::vector<uint8_t> twoDims = PaletteFile::encode(rampPalette(4));
    twoDims[4] = 2;
    writeFile(file("dims.pal"), twoDims);
    std::vector<uint8_t> cut = PaletteFile::encode(rampPalette(4));
    cut.resize(cut.size() - 1);
    writeFile(file("cut.pal"), cut);
    writeFile(file("count.pal"), [] {
        PaletteRecord p = rampPalette(4);
        p.Count = 300;
        return PaletteFile::encode(p);
    }());
    fs::create_directory(file("folder.pal"));
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {{"missing.pal", "The file could not be read."},
                 {"folder.pal", "The file could not be read."},
                 {"dims.pal", kPaletteNotLoadedText},
                 {"cut.pal", kPaletteNotLoadedText},
                 {"count.pal", kPaletteNotLoadedText}};
    d->sbColorsUD->setValue(3);   // the palette as the count left it
    const PaletteRecord kept = CurrentPalette();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = shown().size();
        ports.fileDialogs.answerPath(file(c.name));
        d->cmd[0]->click();
        ASSERT_EQ(shown().size(), before + 1);
        EXPECT_EQ(shown().back().text, c.message);
        EXPECT_EQ(shown().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(CurrentPalette(), kept);
        EXPECT_FALSE(d->editingEnabled());
        EXPECT_FALSE(d->cmdOK->isEnabled());
        EXPECT_FALSE(d->iPal->isEnabled());
    }
    ports.fileDialogs.answerCancel();
    d->cmd[0]->click();
    EXPECT_EQ(CurrentPalette(), kept);
}

TEST_F(PaletteDialog, ReopeningShowsTheStateItWasLeftIn)
{
    CountingImage* doc = openDocument(6, 5);
    fPaletteApply* d = openPalette();
    ASSERT_NE(d, nullptr);
    load(d, rampPalette(30));
    d->sbColorsUD->setValue(25);
    d->sbIndex->setValue(21);
    const BitsBuffer before = doc->Bits();
    d->cmdCancel->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(doc->Bits(), before);
    EXPECT_EQ(doc->snapshots, 0);

    ASSERT_EQ(openPalette(), d);
    EXPECT_EQ(CurrentPalette(), rampPalette(25));   // Cancel did not undo the count
    EXPECT_EQ(d->sbIndex->Value(), 21);
    EXPECT_EQ(text(d->txtRGB[0]), "31");
    EXPECT_TRUE(d->cmdOK->isEnabled());
    EXPECT_TRUE(d->tmrSelect->isActive());

    // A palette emptied elsewhere cannot be applied.
    d->cmdCancel->click();
    CurrentPalette() = PaletteRecord{};
    ASSERT_EQ(openPalette(), d);
    EXPECT_FALSE(d->cmdOK->isEnabled());
    d->cmdOK_Click();
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_EQ(doc->Bits(), before);
}

} // namespace tq
