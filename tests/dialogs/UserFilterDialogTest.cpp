// The kernel editor: its first state, the box rules (keys, auto weight,
// offsets held to 0..255), the kernel it builds (3 x 3 unless the outer ring
// holds a value), OK as one step "User's Filter" on the document it was
// opened for, and the kernel files it loads and saves.
#include "DialogFixture.h"
#include "FileBytes.h"

#include "dialogs/fUserFilter.h"
#include "filters/UserFilterFile.h"
#include "filters/cBitFilter.h"
#include "widgets/UpDownBar.h"
#include "widgets/ColourSwatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

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

KernelRecord kernel(int32_t n, std::initializer_list<std::pair<int, int>> ones, int32_t weight, int32_t r = 0,
                    int32_t g = 0, int32_t b = 0)
{
    KernelRecord k;
    k.Mask = KernelMask(n);
    for (auto [row, col] : ones) k.Mask(row, col) = 1;
    k.Weight = weight;
    k.rFactor = r;
    k.gFactor = g;
    k.bFactor = b;
    return k;
}

class KernelEditor : public testing::DialogFixture {
protected:
    fUserFilter* openEditor()
    {
        fUserFilter* d = showUserFilterDialog();
        return d && d->isVisible() ? d : nullptr;
    }

    // Types each cell's value (row by row) into the grid.
    static void typeGrid(fUserFilter* d, const std::array<int, 25>& cells)
    {
        for (int i = 0; i < 25; ++i)
            if (d->txtM[i]->text() != QString::number(cells[i])) type(d->txtM[i], QString::number(cells[i]));
    }

    static bool counts(const fUserFilter* d, int cell)
    {
        return d->txtM[cell]->palette().color(QPalette::Base) == QApplication::palette().color(QPalette::Base);
    }

    // What the engine gives for the kernel on the document's pixels and
    // selection.
    static BitsBuffer filtered(const fImage& doc, const KernelRecord& k, bool keepMargins)
    {
        cBitFilter engine;
        engine.setBits(doc.Bits());
        engine.setBitsRegion(doc.BitsRegion.walkRegion());
        FilterResult r = engine.MaskFilter(k.Mask, k.Weight, k.rFactor, k.gFactor, k.bFactor, keepMargins);
        EXPECT_TRUE(r);
        return r ? *r : BitsBuffer();
    }

    std::string file(const char* name) const { return programDir.filePath(QString::fromLatin1(name)).toStdString(); }
    std::string filtersFolder() const { return file("Filters"); }

    const std::vector<platform::MessageBoxRequest>& shown() const { return ports.messageBoxes.shown; }
};

} // namespace

TEST_F(KernelEditor, FirstOpeningShowsTheIdentityKernel)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("User filter"));
    ASSERT_NE(QApplication::palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(text(d->txtM[i]), i == 12 ? "1" : "0") << i;
        EXPECT_EQ(counts(d, i), i == 12) << i;
    }
    EXPECT_EQ(text(d->txtWeight), "1");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(text(d->txtAdd[i]), "0");
        EXPECT_EQ(d->txtAddUD[i]->value(), 0);
    }
    EXPECT_EQ(d->lblCur->BackColor(), 0);
    EXPECT_EQ(d->cbBased->currentText(), QStringLiteral("<None>"));
    EXPECT_EQ(d->cbBased->count(), 15);
    EXPECT_EQ(d->cbBased->itemText(14), QStringLiteral("Engrave [SE]"));
    EXPECT_EQ(d->cbBased->itemData(14).toInt(), 13);
    EXPECT_TRUE(d->chkAuto->isChecked());
    EXPECT_TRUE(d->chkKeepMargins->isChecked());
    EXPECT_TRUE(d->cmdOK->isDefault());
}

TEST_F(KernelEditor, AutoWeightFollowsTheCellsAndPresetsReplaceEverything)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);

    choose(d->cbBased, 5);   // "Sharpen": -1 around 15
    EXPECT_EQ(text(d->txtWeight), "7");
    EXPECT_EQ(text(d->txtM[12]), "15");
    EXPECT_FALSE(counts(d, 0));   // the outer ring of a 3 x 3 preset stays 0
    EXPECT_TRUE(counts(d, 6));
    type(d->txtM[12], QStringLiteral("16"));
    EXPECT_EQ(text(d->txtWeight), "8");

    choose(d->cbBased, 9);   // "Contour": its sum is 0, its offsets 255
    EXPECT_EQ(text(d->txtWeight), "1");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(text(d->txtAdd[i]), "255");

    choose(d->cbBased, 0);   // "<None>": the identity again
    for (int i = 0; i < 25; ++i) EXPECT_EQ(text(d->txtM[i]), i == 12 ? "1" : "0");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(text(d->txtAdd[i]), "0");
    type(d->txtM[0], QStringLiteral("-4"));   // a sum of -3 cannot divide
    EXPECT_EQ(text(d->txtWeight), "1");
    type(d->txtM[1], QStringLiteral("9"));
    EXPECT_EQ(text(d->txtWeight), "6");

    // Unticked, the cells leave a typed weight alone; ticking sums again.
    d->chkAuto->click();
    type(d->txtWeight, QStringLiteral("40"));
    type(d->txtM[2], QStringLiteral("5"));
    EXPECT_EQ(text(d->txtWeight), "40");
    d->chkAuto->click();
    EXPECT_EQ(text(d->txtWeight), "11");
    // A weight below 1 becomes a selected "1", so the next digit replaces it.
    type(d->txtWeight, QStringLiteral("0"));
    EXPECT_EQ(text(d->txtWeight), "1");
    EXPECT_EQ(d->txtWeight->selectedText(), QStringLiteral("1"));
    QTest::keyClicks(d->txtWeight, QStringLiteral("3"));
    EXPECT_EQ(text(d->txtWeight), "3");
}

TEST_F(KernelEditor, BoxesTakeOnlyTheirKeysAndHoldTheirRanges)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    struct Case {
        QLineEdit* box;
        const char* typed;
        const char* shows;
    } cases[] = {
        {d->txtM[3], "1a-2", "1-2"},        // digits and the minus sign only
        {d->txtM[4], "12345", "123"},       // three characters
        {d->txtWeight, "-7x", "7"},         // digits only
        {d->txtWeight, "1234", "123"},
        {d->txtAdd[0], "300", "255"},       // above 255 is held to 255
        {d->txtAdd[1], "-5", "0"},          // negative becomes 0
        {d->txtAdd[2], "00005", "0000"},    // four characters
    };
    for (const Case& c : cases) {
        type(c.box, QString::fromLatin1(c.typed));
        EXPECT_EQ(text(c.box), c.shows) << c.typed;
    }
    EXPECT_EQ(d->txtAdd[0]->selectedText(), QStringLiteral("255"));

    // The swatch and the spin bars follow the boxes; a lone minus sign
    // leaves the swatch as it was.
    type(d->txtAdd[0], QStringLiteral("40"));
    type(d->txtAdd[1], QStringLiteral("50"));
    type(d->txtAdd[2], QStringLiteral("60"));
    EXPECT_EQ(d->lblCur->BackColor(), rgbColor(40, 50, 60));
    EXPECT_EQ(d->txtAddUD[1]->value(), 50);
    type(d->txtAdd[1], QStringLiteral("-"));
    EXPECT_EQ(text(d->txtAdd[1]), "-");
    EXPECT_EQ(d->lblCur->BackColor(), rgbColor(40, 50, 60));
    EXPECT_EQ(d->txtAddUD[1]->value(), 50);
    // A spin bar writes its box.
    d->txtAddUD[2]->setValue(61);
    EXPECT_EQ(text(d->txtAdd[2]), "61");
    d->txtAddUD[1]->setValue(7);
    EXPECT_EQ(d->lblCur->BackColor(), rgbColor(40, 7, 61));
}

TEST_F(KernelEditor, SwatchPickerFillsTheOffsets)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    ports.colourPicker.answers.push_back(std::nullopt);   // cancelled: nothing changes
    ports.colourPicker.answers.push_back(rgbColor(10, 20, 30));
    QTest::mouseClick(d->lblCur, Qt::LeftButton);
    EXPECT_EQ(text(d->txtAdd[0]), "0");
    QTest::mouseClick(d->lblCur, Qt::LeftButton);
    EXPECT_EQ(ports.colourPicker.asked, (std::vector<int32_t>{0, 0}));
    const char* want[3] = {"10", "20", "30"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(text(d->txtAdd[i]), want[i]);
        EXPECT_EQ(d->txtAddUD[i]->value(), 10 * (i + 1));
    }
    EXPECT_EQ(d->lblCur->BackColor(), rgbColor(10, 20, 30));
}

TEST_F(KernelEditor, GridsThatAreNoKernelAreRefusedWithTheMessage)
{
    struct Case {
        const char* why;
        std::function<void(fUserFilter*)> edit;
    } cases[] = {
        {"every cell 0", [](fUserFilter* d) { type(d->txtM[12], QStringLiteral("0")); }},
        {"a cell emptied", [](fUserFilter* d) { type(d->txtM[3], QString()); }},
        {"a lone minus sign", [](fUserFilter* d) { type(d->txtM[24], QStringLiteral("-")); }},
        {"an offset with a lone minus sign", [](fUserFilter* d) { type(d->txtAdd[2], QStringLiteral("-")); }},
    };
    CountingImage* doc = openDocument(6, 5);
    const BitsBuffer before = doc->Bits();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fUserFilter* d = openEditor();
        ASSERT_NE(d, nullptr);
        choose(d->cbBased, 0);
        c.edit(d);
        const size_t shownBefore = shown().size();
        d->cmdOK->click();
        ASSERT_EQ(shown().size(), shownBefore + 1);
        EXPECT_EQ(shown().back(), (platform::MessageBoxRequest{kInvalidMaskText, platform::MsgButtons::OK,
                                                                MsgIcon::Information, ""}));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_EQ(doc->Bits(), before);
    }
}

TEST_F(KernelEditor, OkFiltersTheDocumentAsTheEngineDoes)
{
    struct Case {
        const char* why;
        std::array<int, 25> cells;
        bool keepMargins;
        KernelRecord want;   // the kernel the grid stands for
    } cases[] = {
        {"identity", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true,
         kernel(3, {{1, 1}}, 1)},
        // Cell (1, 2) weights the pixel above: Mask(0, 1) of the inner 3 x 3.
        {"the pixel above", {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false,
         kernel(3, {{0, 1}}, 1)},
        // One value in the outer ring makes the whole grid the kernel.
        {"outer ring", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true,
         kernel(5, {{0, 4}, {2, 2}}, 2)},
        {"outer ring, margins reached", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         false, kernel(5, {{2, 0}, {4, 4}}, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        CountingImage* doc = openDocument(9, 7);
        const BitsBuffer want = filtered(*doc, c.want, c.keepMargins);
        fUserFilter* d = openEditor();
        ASSERT_NE(d, nullptr);
        typeGrid(d, c.cells);
        d->chkKeepMargins->setChecked(c.keepMargins);
        KernelRecord built;
        ASSERT_TRUE(d->GridToMask(built));
        EXPECT_EQ(built, c.want);
        d->cmdOK->click();
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(doc->Bits(), want);
        EXPECT_EQ(doc->snapshots, 1);   // also when nothing changed
        EXPECT_EQ(lastStepName(*doc), "User's Filter");
        EXPECT_TRUE(doc->Changed);
        EXPECT_TRUE(engineMirrors(*doc));
        closeDocument(doc);
    }
}

TEST_F(KernelEditor, KeptMarginsAndOffsetsOnTheSelection)
{
    // Red + 10 on every computed pixel shows which pixels the kernel reached.
    struct Case {
        const char* why;
        bool fiveByFive;   // adds (x - 2, y - 2) and takes away (x + 2, y + 2)
        int margin;        // rows and columns kept on each side
    } cases[] = {{"3 x 3", false, 1}, {"5 x 5", true, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        CountingImage* doc = openDocument(8, 7);
        const BitsBuffer before = doc->Bits();
        fUserFilter* d = openEditor();
        ASSERT_NE(d, nullptr);
        choose(d->cbBased, 0);
        d->chkKeepMargins->setChecked(true);
        if (c.fiveByFive) {
            type(d->txtM[0], QStringLiteral("1"));
            type(d->txtM[24], QStringLiteral("-1"));
        }
        type(d->txtAdd[0], QStringLiteral("10"));
        d->cmdOK->click();
        const BitsBuffer& after = doc->Bits();
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 8; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    const bool inside = x >= c.margin && x < 8 - c.margin && y >= c.margin && y < 7 - c.margin;
                    int want = before.at(ch, x, y);
                    if (inside) {
                        if (c.fiveByFive) want += before.at(ch, x - 2, y - 2) - before.at(ch, x + 2, y + 2);
                        want = std::clamp(want + (ch == 2 ? 10 : 0), 0, 255);
                    }
                    EXPECT_EQ(after.at(ch, x, y), want) << x << "," << y << " channel " << ch;
                }
        closeDocument(doc);
    }

    // With a selection only the selected pixels change.
    CountingImage* doc = openDocument(9, 7);
    doc->BitsRegion.CreateRect(2, 1, 6, 5, 5, false);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    choose(d->cbBased, 1);   // "Blur"
    ports.colourPicker.answers.push_back(rgbColor(10, 20, 30));
    QTest::mouseClick(d->lblCur, Qt::LeftButton);
    const BitsBuffer want = filtered(*doc, [] {
        KernelRecord k;
        mBitmap::GetPresetKernel(k, 0);
        k.rFactor = 10;
        k.gFactor = 20;
        k.bFactor = 30;
        return k;
    }(), true);
    const BitsBuffer before = doc->Bits();
    d->cmdOK->click();
    EXPECT_EQ(doc->Bits(), want);
    EXPECT_EQ(doc->Bits().at(2, 0, 0), before.at(2, 0, 0));
    EXPECT_NE(doc->Bits().at(2, 3, 2), before.at(2, 3, 2));
}

TEST_F(KernelEditor, CancelKeepsTheEditsAndOkGoesToTheDocumentItWasOpenedFor)
{
    CountingImage* first = openDocument(6, 5);
    const BitsBuffer firstBefore = first->Bits();
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    choose(d->cbBased, 5);
    type(d->txtM[6], QStringLiteral("-2"));
    d->chkKeepMargins->setChecked(false);
    d->cmdCancel->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(first->Bits(), firstBefore);
    EXPECT_EQ(first->snapshots, 0);

    ASSERT_EQ(openEditor(), d);   // the same form, as it was left
    EXPECT_EQ(text(d->txtM[6]), "-2");
    EXPECT_EQ(text(d->txtWeight), "6");
    EXPECT_EQ(d->cbBased->currentIndex(), 5);
    EXPECT_FALSE(d->chkKeepMargins->isChecked());

    // Another document becomes the active one while the dialog is open.
    CountingImage* second = openDocument(4, 4);
    const BitsBuffer secondBefore = second->Bits();
    d->cmdOK->click();
    EXPECT_EQ(first->snapshots, 1);
    EXPECT_NE(first->Bits(), firstBefore);
    EXPECT_EQ(second->snapshots, 0);
    EXPECT_EQ(second->Bits(), secondBefore);
}

TEST_F(KernelEditor, OwnedByTheMainWindowAndApplicationModal)
{
    // Without a main window there is nothing to own the dialog.
    {
        ScopedContext bare;
        EXPECT_EQ(showUserFilterDialog(), nullptr);
    }
    openDocument(5, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->parentWidget(), main.get());
    EXPECT_EQ(d->windowModality(), Qt::ApplicationModal);
}

// ---- Files ----------------------------------------------------------------------

TEST_F(KernelEditor, SaveWritesTheKernelTheGridShows)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(fs::exists(filtersFolder()));
    // Only cell (1, 2) holds a value: Mask(0, 1) of a 3 x 3 kernel, at byte 30.
    type(d->txtM[7], QStringLiteral("1"));
    type(d->txtM[12], QStringLiteral("0"));
    const std::string path = file("k.qif");
    ports.fileDialogs.answerPath(path);
    d->cmd[1]->click();

    ASSERT_EQ(ports.fileDialogs.saveRequests.size(), 1u);
    const platform::FileDialogRequest& r = ports.fileDialogs.saveRequests[0];
    EXPECT_EQ(r.title, "Save filter");
    EXPECT_EQ(r.filter, "QuentaImager filter (*.qif)|*.qif");
    EXPECT_EQ(r.initialDir, filtersFolder());   // made when first needed
    EXPECT_TRUE(fs::is_directory(filtersFolder()));
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(r.defaultExt, "");
    EXPECT_EQ(r.fileName, "");
    std::vector<uint8_t> want(70, 0);
    want[0] = 2;
    want[2] = 3;
    want[10] = 3;
    want[30] = 1;   // the coefficient
    want[54] = 1;   // the weight
    EXPECT_EQ(readFile(path), want);

    // The outer ring makes it 5 x 5, then 3 x 3 again over the 134 bytes
    // leaves 70; the dialog offers the name chosen last.
    type(d->txtM[20], QStringLiteral("2"));
    type(d->txtAdd[1], QStringLiteral("20"));
    ports.fileDialogs.answerPath(path);
    d->cmd[1]->click();
    EXPECT_EQ(ports.fileDialogs.saveRequests.back().fileName, path);
    std::vector<uint8_t> five = readFile(path);
    ASSERT_EQ(five.size(), 134u);
    EXPECT_EQ(five[18 + 4 * 4], 2);   // Mask(4, 0): the first column's last
    EXPECT_EQ(five[118], 3);
    EXPECT_EQ(five[126], 20);
    type(d->txtM[20], QStringLiteral("0"));
    ports.fileDialogs.answerPath(path);
    d->cmd[1]->click();
    EXPECT_EQ(fs::file_size(path), 70u);

    // Cancelled, or a grid of zeros: no file.
    const std::string other = file("zero.qif");
    ports.fileDialogs.answerCancel();
    d->cmd[1]->click();
    type(d->txtM[7], QStringLiteral("0"));
    ports.fileDialogs.answerPath(other);
    d->cmd[1]->click();
    EXPECT_EQ(shown().back().text, kInvalidMaskText);
    EXPECT_FALSE(fs::exists(other));

    // A file that cannot be written is said so.
    type(d->txtM[7], QStringLiteral("1"));
    const size_t before = shown().size();
    ports.fileDialogs.answerPath(file("missing/k.qif"));
    d->cmd[1]->click();
    ASSERT_EQ(shown().size(), before + 1);
    EXPECT_EQ(shown().back().text, kFilterNotSavedText);

    // A FIFO used to be replaced by the kernel file: it stays, and the
    // message says why.
    const std::string fifo = file("pipe.qif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ports.fileDialogs.answerPath(fifo);
    d->cmd[1]->click();
    EXPECT_EQ(shown().back().text, std::string(kFilterNotSavedText) + "\r\n\r\n" + fifo + " is not a regular file");
    EXPECT_EQ(fs::symlink_status(fifo).type(), fs::file_type::fifo);
}

TEST_F(KernelEditor, LoadShowsTheFileAndKeepsTheOuterRingOfA3x3)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    choose(d->cbBased, 2);   // "Blur more": 5 x 5 of ones
    KernelRecord three = kernel(3, {{0, 1}, {2, 2}}, 5, 10, 20, 30);
    three.Mask(1, 0) = -3;
    const std::string path = file("three.qif");
    ASSERT_TRUE(UserFilterFile::save(path, three));
    ports.fileDialogs.answerPath(path);
    d->cmd[0]->click();

    ASSERT_EQ(ports.fileDialogs.openRequests.size(), 1u);
    EXPECT_EQ(ports.fileDialogs.openRequests[0].title, "Load filter");
    EXPECT_EQ(ports.fileDialogs.openRequests[0].initialDir, filtersFolder());
    const std::array<const char*, 25> want = {"1", "1",  "1", "1", "1",   //
                                              "1", "0",  "1", "0", "1",   //
                                              "1", "-3", "0", "0", "1",   //
                                              "1", "0",  "0", "1", "1",   //
                                              "1", "1",  "1", "1", "1"};
    for (int i = 0; i < 25; ++i) EXPECT_EQ(text(d->txtM[i]), want[i]) << i;
    // The stored weight stands although "Auto" is ticked, until a cell changes.
    EXPECT_EQ(text(d->txtWeight), "5");
    EXPECT_EQ(text(d->txtAdd[0]), "10");
    EXPECT_EQ(text(d->txtAdd[1]), "20");
    EXPECT_EQ(text(d->txtAdd[2]), "30");
    EXPECT_EQ(d->cbBased->currentIndex(), 2);
    KernelRecord built;
    ASSERT_TRUE(d->GridToMask(built));
    EXPECT_EQ(built.Mask.side(), 5);   // the kept ring makes OK apply 5 x 5
    type(d->txtM[12], QStringLiteral("2"));
    EXPECT_EQ(text(d->txtWeight), "17");   // the ring's 16, then 1 - 3 + 2 + 1

    // Stored values the boxes hold to their ranges.
    KernelRecord odd = kernel(5, {{2, 2}}, 0, 300, 0, 0);
    const std::string oddPath = file("odd.qif");
    ASSERT_TRUE(UserFilterFile::save(oddPath, odd));
    ports.fileDialogs.answerPath(oddPath);
    d->cmd[0]->click();
    EXPECT_EQ(text(d->txtWeight), "1");
    EXPECT_EQ(text(d->txtAdd[0]), "255");
    EXPECT_EQ(ports.fileDialogs.openRequests.back().fileName, path);
}

TEST_F(KernelEditor, RefusedLoadsChangeNothingAndSaySo)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    choose(d->cbBased, 5);   // "Sharpen", weight 7
    type(d->txtAdd[2], QStringLiteral("9"));
    std::vector<uint8_t> wrong = UserFilterFile::encode(kernel(3, {{1, 1}}, 1));
    wrong[2] = 4;   // four elements in the first dimension
    wrong[10] = 4;
    writeFile(file("wrong.qif"), wrong);
    std::vector<uint8_t> cut = UserFilterFile::encode(kernel(5, {{1, 1}}, 1));
    cut.resize(100);
    writeFile(file("cut.qif"), cut);
    struct Case {
        std::string path;
        const char* message;
    } cases[] = {
        {file("missing.qif"), "The file could not be read."},
        {file("wrong.qif"), kFilterNotLoadedText},
        {file("cut.qif"), kFilterNotLoadedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const size_t before = shown().size();
        ports.fileDialogs.answerPath(c.path);
        d->cmd[0]->click();
        ASSERT_EQ(shown().size(), before + 1);
        EXPECT_EQ(shown().back().text, c.message);
        EXPECT_EQ(shown().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(text(d->txtM[12]), "15");
        EXPECT_EQ(text(d->txtWeight), "7");
        EXPECT_EQ(text(d->txtAdd[2]), "9");
    }
    // A cancelled dialog does nothing at all.
    const size_t before = shown().size();
    ports.fileDialogs.answerCancel();
    d->cmd[0]->click();
    EXPECT_EQ(shown().size(), before);
}

TEST_F(KernelEditor, FileDialogsOpenInTheProgramFolderWhenFiltersCannotBeMade)
{
    openDocument(6, 5);
    fUserFilter* d = openEditor();
    ASSERT_NE(d, nullptr);
    writeFile(filtersFolder(), {1, 2, 3});   // a file where the folder would go
    ports.fileDialogs.answerCancel();
    d->cmd[0]->click();
    ports.fileDialogs.answerCancel();
    d->cmd[1]->click();
    EXPECT_EQ(ports.fileDialogs.openRequests.at(0).initialDir, programDir.path().toStdString());
    EXPECT_EQ(ports.fileDialogs.saveRequests.at(0).initialDir, programDir.path().toStdString());
    EXPECT_TRUE(shown().empty());
}

} // namespace tq
