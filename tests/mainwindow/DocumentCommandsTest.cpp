// UNDO, REDO, CREATENEWCOPY, COPYIMAGETOCLIPBOARD and CREATEFROMCLIPBOARD.
// The undo and clipboard members of the document window are checked where
// they are really at work; until then those parts are skipped.
#include "CommandFixture.h"
#include "document/ProgramContext.h"

#include "document/StatusPanels.h"

#include <cstring>

namespace tq {
namespace {

using testing::CommandFixture;
using testing::CountingImage;

DibRecord dibOf(const BitsBuffer& bits)
{
    DibRecord d;
    d.width = bits.width();
    d.height = bits.height();
    d.header.biSize = 40;
    d.header.biWidth = d.width;
    d.header.biHeight = -d.height;
    d.header.biPlanes = 1;
    d.header.biBitCount = 32;
    d.bits.resize(4u * size_t(d.width) * size_t(d.height));
    for (int y = 0; y < d.height; ++y) std::memcpy(d.row(y), bits.pixel(0, y), 4u * size_t(d.width));
    return d;
}

} // namespace

TEST_F(CommandFixture, UndoAndRedoStepThroughTheHistory)
{
    CountingImage* doc = openDocument(5, 4);
    main->MenuExec("UNDO");
    main->MenuExec("REDO");
    EXPECT_EQ(doc->undos, 1);
    EXPECT_EQ(doc->redos, 1);

    main->MenuExec("INVERT");
    const BitsBuffer inverted = doc->Bits();
    main->MenuExec("UNDO");
    EXPECT_EQ(doc->Bits(), testing::patternBits(5, 4));
    EXPECT_TRUE(engineMirrors(*doc));
    EXPECT_TRUE(SaveUndoOnNudge());
    main->MenuExec("REDO");
    EXPECT_EQ(doc->Bits(), inverted);
    EXPECT_TRUE(engineMirrors(*doc));

    // A crop undone gives the picture its size back.
    doc->BitsRegion.CreateRect(1, 1, 4, 4, 2, false);
    main->MenuExec("CROP");
    EXPECT_EQ(doc->PictureWidth(), 3);
    main->MenuExec("UNDO");
    EXPECT_EQ(doc->PictureWidth(), 5);
    EXPECT_EQ(doc->Bits(), inverted);
}

TEST_F(CommandFixture, CreateNewCopyCopiesPixelsAndSelectionAndLeavesTheClipboard)
{
    CountingImage* source = openDocument(7, 5, "/pictures/photo.png");
    source->BitsRegion.CreateRect(1, 2, 4, 5, 2, false);
    const DibRecord userClip = dibOf(testing::patternBits(2, 2));
    ports.clipboard.picture = userClip;
    const int sets = ports.clipboard.setCount;

    main->MenuExec("CREATENEWCOPY");
    fImage* copy = activeDocument();
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, source);
    EXPECT_EQ(ActiveImage().data(), copy);
    EXPECT_EQ(copy->Bits(), source->Bits());
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(copy->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ((std::vector<int32_t>{x1, y1, x2, y2}), (std::vector<int32_t>{1, 2, 4, 5}));
    EXPECT_EQ(main->cFilter.BitsRegion(), copy->BitsRegion.Region());
    EXPECT_TRUE(engineMirrors(*copy));
    EXPECT_EQ(copy->Tag.rfind("/pictures/photo.png[", 0), 0u) << copy->Tag;
    EXPECT_EQ(copy->windowTitle().toStdString().rfind("photo.png[", 0), 0u);
    EXPECT_NE(copy->MeID, source->MeID);

    // The user's clipboard is as it was.
    ASSERT_TRUE(ports.clipboard.picture.has_value());
    EXPECT_EQ(ports.clipboard.picture->bits, userClip.bits);
    EXPECT_EQ(ports.clipboard.setCount, sets);

    // The source is unchanged.
    EXPECT_EQ(source->Bits(), testing::patternBits(7, 5));
    EXPECT_EQ(source->snapshots, 0);
    EXPECT_FALSE(source->Changed);
    EXPECT_TRUE(std::filesystem::exists(snapshotPath(*copy, 0)));
}

TEST_F(CommandFixture, CreateFromClipboardNamesTheDocumentInTheOpenFolder)
{
    programSettings().OpenFolder.assign("/home/user/pictures");
    BitsBuffer pic = testing::patternBits(4, 3);
    pic.at(3, 1, 1) = 255;   // a marker byte on the clipboard never enters the document
    ports.clipboard.picture = dibOf(pic);

    // No document is needed.
    main->MenuExec("CREATEFROMCLIPBOARD");
    ASSERT_EQ(documentCount(), 1);
    fImage* first = activeDocument();
    EXPECT_EQ(first->Tag, "/home/user/pictures/New.bmp");
    EXPECT_EQ(first->windowTitle(), "New.bmp");
    EXPECT_EQ(first->Bits(), testing::patternBits(4, 3));
    EXPECT_TRUE(first->BitsRegion.IsEmptyRegion());
    EXPECT_EQ(ActiveImage().data(), first);
    EXPECT_TRUE(engineMirrors(*first));

    // A second one while the first is open gets a numbered name.
    main->MenuExec("CREATEFROMCLIPBOARD");
    ASSERT_EQ(documentCount(), 2);
    fImage* second = activeDocument();
    EXPECT_EQ(second->Tag.rfind("/home/user/pictures/New.bmp[", 0), 0u) << second->Tag;
    EXPECT_NE(second->MeID, first->MeID);

    // A folder kept with a trailing separator joins without doubling it.
    programSettings().OpenFolder.assign("/home/user/other/");
    main->MenuExec("CREATEFROMCLIPBOARD");
    EXPECT_EQ(activeDocument()->Tag, "/home/user/other/New.bmp");

    // Nothing on the clipboard (or text only): nothing happens.
    ports.clipboard.picture.reset();
    main->MenuExec("CREATEFROMCLIPBOARD");
    EXPECT_EQ(documentCount(), 3);
}

// A document a command makes starts with its first step, on itself; the
// document it came from records nothing. Only the crop's new document counts
// as changed, for it ends as a change of the active document.
TEST_F(CommandFixture, ANewDocumentRecordsItsFirstStepOnItself)
{
    ports.clipboard.picture = dibOf(testing::patternBits(4, 3));
    const struct {
        const char* key;
        bool changed;
    } cases[] = {{"CREATENEWCOPY", false}, {"CREATEFROMCLIPBOARD", false}, {"NEWIMAGEFROMCROP", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        CountingImage* source = openDocument(7, 5);
        source->BitsRegion.CreateRect(1, 1, 5, 4, 2, false);
        const int steps = source->Undopos();
        LastActionName() = c.key;
        main->MenuExec(c.key);
        fImage* made = activeDocument();
        ASSERT_NE(made, nullptr);
        ASSERT_NE(made, source);
        EXPECT_EQ(ActiveImage().data(), made);
        EXPECT_EQ(made->Undopos(), 1);
        EXPECT_EQ(made->Changed, c.changed);
        EXPECT_EQ(source->snapshots, 0);
        EXPECT_EQ(source->Undopos(), steps);
        EXPECT_FALSE(source->Changed);
        closeDocument(made);
        closeDocument(source);
    }
}

TEST_F(CommandFixture, CopyImageToClipboardPutsTheWholePictureThere)
{
    CountingImage* doc = openDocument(4, 3);
    doc->BitsRegion.CreateRect(0, 0, 2, 2, 2, false);
    main->MenuExec("COPYIMAGETOCLIPBOARD");
    ASSERT_TRUE(ports.clipboard.picture.has_value());
    EXPECT_EQ(ports.clipboard.picture->width, 4);
    EXPECT_EQ(ports.clipboard.picture->height, 3);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
}

} // namespace tq
