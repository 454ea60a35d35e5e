// Selection, cut, copy, paste and crop keys on real document windows, with
// the file dialogs and message boxes answered by the test ports.
#include "CommandFixture.h"
#include "document/ProgramContext.h"

#include "document/StatusPanels.h"

#include <fstream>

namespace tq {
namespace {

using testing::CommandFixture;
using testing::CountingImage;

namespace fs = std::filesystem;

int32_t boxWidth(const cBitRegion& r)
{
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    return r.BoundRect(x1, y1, x2, y2) ? x2 - x1 : 0;
}

} // namespace

// ---- Selection ---------------------------------------------------------------

TEST_F(CommandFixture, SelectAllNoneAndInvert)
{
    CountingImage* doc = openDocument(6, 4);
    doc->BitsRegion.CreateRect(1, 1, 3, 3, 2, false);

    main->MenuExec("SELECTALL");
    EXPECT_EQ(boxWidth(doc->BitsRegion), 6);
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.Region());
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);

    // Inverting everything leaves nothing: the engine walks the whole picture.
    doc->Changed = false;
    main->MenuExec("INVERTSELECTION");
    EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
    main->MenuExec("INVERTSELECTION");
    EXPECT_EQ(boxWidth(doc->BitsRegion), 6);
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.Region());

    main->MenuExec("SELECTNONE");
    EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_FALSE(doc->Changed);

    // A filter after SELECTNONE changes the whole picture.
    main->MenuExec("INVERT");
    EXPECT_EQ(doc->Bits().at(0, 5, 3), 255 - testing::patternByte(0, 5, 3));
}

TEST_F(CommandFixture, SaveAndLoadSelectionThroughTheSelectionsFolder)
{
    const fs::path folder = fs::path(programDir.path().toStdString()) / "Selections";
    CountingImage* big = openDocument(20, 20);
    big->BitsRegion.CreateRect(4, 4, 18, 18, 2, false);

    // A name typed without an extension gets ".qsf", so the load dialog
    // lists the file again.
    const std::string typed = (folder / "box").string();
    const std::string file = typed + ".qsf";
    ports.fileDialogs.answerPath(typed);
    main->MenuExec("SAVESELECTION");
    ASSERT_EQ(ports.fileDialogs.saveRequests.size(), 1u);
    const platform::FileDialogRequest& saved = ports.fileDialogs.saveRequests[0];
    EXPECT_EQ(saved.title, "Save selection");
    EXPECT_EQ(saved.filter, "Selection Files (*.qsf)|*.qsf");
    EXPECT_EQ(fs::path(saved.initialDir), folder);
    EXPECT_TRUE(saved.overwritePrompt);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(typed));

    // Loaded into a smaller picture, only the part inside it stays.
    CountingImage* small = openDocument(10, 8);
    ports.fileDialogs.answerPath(file);
    main->MenuExec("LOADSELECTION");
    ASSERT_EQ(ports.fileDialogs.openRequests.size(), 1u);
    EXPECT_EQ(ports.fileDialogs.openRequests[0].title, "Load selection");
    EXPECT_EQ(ports.fileDialogs.openRequests[0].fileName, file);   // the dialog keeps its last name
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(small->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ((std::vector<int32_t>{x1, y1, x2, y2}), (std::vector<int32_t>{4, 4, 10, 8}));
    EXPECT_EQ(main->cFilter.BitsRegion(), small->BitsRegion.Region());
    EXPECT_EQ(small->snapshots, 0);

    // A selection lying wholly outside leaves nothing selected.
    big->BitsRegion.Init(0, 0, 20, 20);
    big->BitsRegion.CreateRect(12, 12, 16, 16, 2, false);
    activate(big);
    ports.fileDialogs.answerPath(file);
    main->MenuExec("SAVESELECTION");
    activate(small);
    ports.fileDialogs.answerPath(file);
    main->MenuExec("LOADSELECTION");
    EXPECT_TRUE(small->BitsRegion.IsEmptyRegion());
    EXPECT_EQ(main->cFilter.BitsRegion(), small->BitsRegion.RegionMain());

    // Cancel changes nothing; a file that is no selection keeps the old one.
    small->BitsRegion.CreateRect(1, 1, 3, 3, 2, false);
    ports.fileDialogs.answerCancel();
    main->MenuExec("LOADSELECTION");
    EXPECT_EQ(boxWidth(small->BitsRegion), 2);
    const std::string junk = (folder / "junk.qsf").string();
    std::ofstream(junk, std::ios::binary) << "not a selection";
    ports.fileDialogs.answerPath(junk);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    main->MenuExec("LOADSELECTION");
    EXPECT_EQ(boxWidth(small->BitsRegion), 2);
    // Not in silence.
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
    EXPECT_NE(ports.messageBoxes.shown[0].text.find(junk), std::string::npos);
    // A device picked by mistake is refused without being read.
    ports.fileDialogs.answerPath("/dev/zero");
    main->MenuExec("LOADSELECTION");
    EXPECT_EQ(boxWidth(small->BitsRegion), 2);
    EXPECT_EQ(ports.messageBoxes.shown.size(), 2u);
    // A name with an extension of its own keeps it.
    ports.fileDialogs.answerPath((folder / "keep.sel").string());
    main->MenuExec("SAVESELECTION");
    EXPECT_TRUE(fs::exists(folder / "keep.sel"));
}

// ---- Cut, copy, paste --------------------------------------------------------

TEST_F(CommandFixture, CutTakesTheSelectionAsOneChange)
{
    CountingImage* doc = openDocument(6, 5);
    doc->BitsRegion.CreateRect(1, 1, 4, 4, 2, false);
    main->cFilter.setBitsRegion(doc->BitsRegion.walkRegion());
    const int pumps = ports.pump.runs;
    main->MenuExec("CUT");
    EXPECT_EQ(ports.pump.runs - pumps, 1);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    ASSERT_EQ(ClipBits().width(), 3);
    ASSERT_EQ(ClipBits().height(), 3);
    EXPECT_EQ(ClipBits().at(0, 0, 0), testing::patternByte(0, 1, 1));
    EXPECT_EQ(ClipBits().at(3, 2, 2), 0);
    const BitsBuffer after = doc->Bits();
    EXPECT_EQ(after.at(2, 2, 2), 0);                               // blacked out
    EXPECT_EQ(after.at(2, 4, 4), testing::patternByte(2, 4, 4));   // outside: kept
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));
    EXPECT_TRUE(programSettings().SelectionMoveFromClip);
}

TEST_F(CommandFixture, CutOrCopyOfLessThanTwoByTwoIsRefusedWithoutAStep)
{
    CountingImage* doc = openDocument(6, 5);
    const struct {
        const char* key;
        int x2, y2;   // selection from (1, 1); 0: nothing selected
        const char* message;
    } cases[] = {
        {"CUT", 0, 0, "Minimum cut size: 2 x 2"},
        {"CUT", 2, 5, "Minimum cut size: 2 x 2"},
        {"COPY", 5, 2, "Minimum copy size: 2 x 2"},
        {"COPY", 0, 0, "Minimum copy size: 2 x 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        doc->BitsRegion.Init(0, 0, 6, 5);
        if (c.x2) doc->BitsRegion.CreateRect(1, 1, c.x2, c.y2, 2, false);
        ports.messageBoxes.shown.clear();
        main->MenuExec(c.key);
        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
        EXPECT_EQ(ports.messageBoxes.shown[0].text, c.message);
        EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
        EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::Information);
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_FALSE(doc->Changed);
        EXPECT_EQ(doc->Bits(), testing::patternBits(6, 5));
        EXPECT_FALSE(ClipBits().allocated());
    }
}

TEST_F(CommandFixture, CopyOfAnEllipseMarksTheCornersAndLeavesTheDocument)
{
    CountingImage* doc = openDocument(12, 12);
    doc->BitsRegion.CreateEllipse(0, 0, 12, 12, 2, false);
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(doc->BitsRegion.BoundRect(x1, y1, x2, y2));
    main->MenuExec("COPY");
    ASSERT_EQ(ClipBits().width(), x2 - x1);
    ASSERT_EQ(ClipBits().height(), y2 - y1);
    EXPECT_EQ(ClipBits().at(3, 0, 0), 255);   // outside the ellipse: not part of the clip
    EXPECT_EQ(ClipBits().at(1, 0, 0), 0);
    EXPECT_EQ(ClipBits().at(3, 6 - x1, 6 - y1), 0);
    EXPECT_EQ(ClipBits().at(1, 6 - x1, 6 - y1), testing::patternByte(1, 6, 6));
    EXPECT_EQ(doc->Bits(), testing::patternBits(12, 12));
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);

    // CROP of the same selection keeps every pixel of the box, corners too.
    main->MenuExec("CROP");
    ASSERT_EQ(doc->PictureWidth(), x2 - x1);
    EXPECT_EQ(doc->Bits().at(1, 0, 0), testing::patternByte(1, x1, y1));
    EXPECT_EQ(doc->snapshots, 1);
}

TEST_F(CommandFixture, PasteLetsTheClipFloatWithNoToolAndNoStep)
{
    CountingImage* doc = openDocument(6, 5);
    main->EnableMouseScrolling();
    doc->setMouseScroll(true);
    main->MenuExec("PASTE");
    EXPECT_TRUE(PasteFloating());
    EXPECT_TRUE(programSettings().SelectionMoveFromClip);
    EXPECT_EQ(programSettings().ToolName.text(), "");
    EXPECT_FALSE(main->HandScrollButtonPressed());
    EXPECT_FALSE(doc->MouseScroll());
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
}

// ---- Crop ---------------------------------------------------------------------

TEST_F(CommandFixture, CropNeedsABoxLargerThanTwoInOneDirection)
{
    const struct {
        int x1, y1, x2, y2;
        bool crops;
    } cases[] = {
        {3, 4, 5, 54, true},    // 2 x 50: the height passes
        {3, 4, 8, 6, true},     // 5 x 2
        {3, 4, 5, 6, false},    // 2 x 2
        {0, 0, 0, 0, false},    // nothing selected
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y2);
        CountingImage* doc = openDocument(10, 60);
        if (c.x2) doc->BitsRegion.CreateRect(c.x1, c.y1, c.x2, c.y2, 2, false);
        main->MenuExec("CROP");
        if (c.crops) {
            const int w = c.x2 - c.x1, h = c.y2 - c.y1;
            ASSERT_EQ(doc->PictureWidth(), w);
            ASSERT_EQ(doc->PictureHeight(), h);
            EXPECT_EQ(doc->Bits().at(1, 0, 0), testing::patternByte(1, c.x1, c.y1));
            EXPECT_EQ(doc->Bits().at(2, w - 1, h - 1), testing::patternByte(2, c.x2 - 1, c.y2 - 1));
            EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Size")), QStringLiteral("%1x%2").arg(w).arg(h));
            EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
            EXPECT_EQ(doc->snapshots, 1);
            EXPECT_TRUE(doc->Changed);
        } else {
            EXPECT_EQ(doc->Bits(), testing::patternBits(10, 60));
            EXPECT_EQ(doc->snapshots, 0);
            EXPECT_FALSE(doc->Changed);
        }
        EXPECT_TRUE(engineMirrors(*doc));
        closeDocument(doc);
    }
}

TEST_F(CommandFixture, NewImageFromCropTwiceGivesTwoNewDocuments)
{
    CountingImage* source = openDocument(10, 8, "/pictures/source.png");
    source->sbInfo->setPanelText(QStringLiteral("Size"), QStringLiteral("source"));
    source->BitsRegion.CreateRect(2, 1, 7, 5, 2, false);
    main->cFilter.setBitsRegion(source->BitsRegion.walkRegion());

    main->MenuExec("NEWIMAGEFROMCROP");
    fImage* first = activeDocument();
    ASSERT_NE(first, source);
    activate(source);
    main->MenuExec("NEWIMAGEFROMCROP");
    fImage* second = activeDocument();
    ASSERT_NE(second, source);
    ASSERT_NE(second, first);
    EXPECT_EQ(documentCount(), 3);

    for (fImage* d : {first, second}) {
        EXPECT_EQ(d->windowTitle(), "New Image Document");
        EXPECT_EQ(d->Tag, "");
        EXPECT_EQ(d->PictureWidth(), 5);
        EXPECT_EQ(d->PictureHeight(), 4);
        EXPECT_EQ(d->Bits().at(0, 0, 0), testing::patternByte(0, 2, 1));
        EXPECT_TRUE(d->Changed);
        EXPECT_TRUE(d->BitsRegion.IsEmptyRegion());
        EXPECT_NE(d->MeID, source->MeID);
        EXPECT_TRUE(fs::exists(snapshotPath(*d, 0)));
    }
    EXPECT_NE(first->MeID, second->MeID);
    EXPECT_EQ(ActiveImage().data(), second);
    EXPECT_TRUE(engineMirrors(*second));

    // The source keeps its pixels, selection, history and changed mark.
    EXPECT_EQ(source->Bits(), testing::patternBits(10, 8));
    EXPECT_EQ(boxWidth(source->BitsRegion), 5);
    EXPECT_EQ(source->snapshots, 0);
    EXPECT_FALSE(source->Changed);
    EXPECT_EQ(source->sbInfo->panelText(QStringLiteral("Size")), QStringLiteral("source"));
}

} // namespace tq
