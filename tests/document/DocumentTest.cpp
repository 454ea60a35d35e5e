#include "document/Document.h"
#include "document/ProgramContext.h"
#include "platform/Folders.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tq {
namespace {

// What a window showing the document would be told.
struct RecordingView : DocumentView {
    std::vector<std::string> calls;
    void pictureSized(int32_t w, int32_t h) override
    {
        calls.push_back("sized " + std::to_string(w) + "x" + std::to_string(h));
    }
    void pictureRestored(bool sizeChanged) override { calls.push_back(sizeChanged ? "restored, new size" : "restored"); }
    void setActionsPanel(const std::string& text) override { calls.push_back(text); }
    void snapshotTaken(const std::string& label) override { calls.push_back("snapshot " + label); }
};

// A document with no window at all, its snapshots in a folder of the test's own.
class DocumentAlone : public ::testing::Test {
protected:
    void SetUp() override { platform::setProgramFolder(folder.path().string()); }

    testing::TempFolder folder{"tq-document"};
    ScopedContext context;
    Document doc{7};
};

TEST_F(DocumentAlone, UndoAndRedoRoundTripWithoutAWindow)
{
    ASSERT_TRUE(doc.CreateBlank(3, 2));
    doc.BitsRegion.Init(0, 0, 3, 2);
    ASSERT_TRUE(doc.SaveUndoBits("Original"));
    doc.paintBits().at(1, 2, 1) = 200;
    ASSERT_TRUE(doc.SaveUndoBits("Pencil"));
    { const Region r = Region::rect(0, 0, 2, 2); doc.BitsRegion.setRegion(&r); }

    ASSERT_TRUE(doc.UndoBits());
    EXPECT_EQ(doc.Bits(), BitsBuffer(3, 2));
    EXPECT_EQ(doc.Undopos(), 1);
    EXPECT_EQ(doc.UndoMax(), 2);
    // A step of the same size leaves the selection as it was.
    EXPECT_FALSE(doc.BitsRegion.IsEmptyRegion());

    ASSERT_TRUE(doc.RedoBits());
    EXPECT_EQ(doc.Bits().at(1, 2, 1), 200);
    EXPECT_EQ(doc.Undopos(), 2);
}

TEST_F(DocumentAlone, AStepBackOverANewSizeTakesTheSizeBackAndTellsTheView)
{
    RecordingView view;
    doc.setView(&view);
    ASSERT_TRUE(doc.CreateBlank(3, 2));
    ASSERT_TRUE(doc.SaveUndoBits("Original"));
    BitsBuffer larger(5, 4);
    larger.fill(9);
    ASSERT_TRUE(doc.TakeNewPicture(std::move(larger)));
    { const Region r = Region::rect(1, 1, 3, 3); doc.BitsRegion.setRegion(&r); }
    ASSERT_TRUE(doc.SaveUndoBits("Canvas Size"));
    view.calls.clear();

    ASSERT_TRUE(doc.UndoBits());
    EXPECT_EQ(doc.PictureWidth(), 3);
    EXPECT_EQ(doc.PictureHeight(), 2);
    EXPECT_EQ(doc.ImageRect(), (RectI{0, 0, 3, 2}));
    EXPECT_EQ(doc.Header(), BitsHeader::forBuffer(3, 2));
    EXPECT_EQ(doc.Bits(), BitsBuffer(3, 2));
    // The selection is the whole picture again, nothing selected.
    EXPECT_TRUE(doc.BitsRegion.IsEmptyRegion());
    EXPECT_EQ(doc.BitsRegion.RegionMain()->boundingBox(), (RectI{0, 0, 3, 2}));
    // The view has the new size before it redraws.
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"sized 3x2", "restored, new size", "Total Actions: 1"}));
}

TEST_F(DocumentAlone, ARecordedStepIsASnapshotAndTheChangedMark)
{
    RecordingView view;
    doc.setView(&view);
    ASSERT_TRUE(doc.CreateBlank(3, 2));
    view.calls.clear();
    doc.recordStep("Original");
    EXPECT_TRUE(doc.Changed);
    doc.Changed = false;
    doc.paintBits().at(2, 1, 1) = 77;
    doc.recordStep("Pencil");
    EXPECT_TRUE(doc.Changed);
    EXPECT_EQ(doc.Undopos(), 2);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"snapshot Original", "Total Actions: 1", "snapshot Pencil",
                                                    "Total Actions: 2"}));
    // The snapshot holds the pixels as they were when the step was recorded.
    doc.paintBits().at(2, 1, 1) = 1;
    ASSERT_TRUE(doc.UndoBits());
    EXPECT_EQ(doc.Bits(), BitsBuffer(3, 2));
    ASSERT_TRUE(doc.RedoBits());
    EXPECT_EQ(doc.Bits().at(2, 1, 1), 77);
}

TEST_F(DocumentAlone, ANewPictureTakenAsACopyLeavesTheSourceAlone)
{
    ASSERT_TRUE(doc.CreateBlank(2, 2));
    { const Region r = Region::rect(0, 0, 1, 1); doc.BitsRegion.setRegion(&r); }
    BitsBuffer source(3, 5);
    source.fill(4);
    ASSERT_TRUE(doc.TakeNewPicture(static_cast<const BitsBuffer&>(source)));
    EXPECT_EQ(doc.Bits(), source);
    EXPECT_EQ(doc.ImageRect(), (RectI{0, 0, 3, 5}));
    EXPECT_TRUE(doc.BitsRegion.IsEmptyRegion());
    doc.paintBits().at(0, 0, 0) = 9;
    EXPECT_EQ(source.at(0, 0, 0), 4);
}

TEST_F(DocumentAlone, APictureItCannotTakeLeavesItAsItWas)
{
    ASSERT_TRUE(doc.CreateBlank(4, 3));
    doc.paintBits().at(0, 0, 0) = 5;
    const BitsBuffer before = doc.Bits();
    EXPECT_FALSE(doc.CreateBlank(0, 3));
    EXPECT_FALSE(doc.CreateBlank(4, kMaxPictureSide + 1));
    EXPECT_FALSE(doc.TakeNewPicture(BitsBuffer()));
    const BitsBuffer none;
    EXPECT_FALSE(doc.TakeNewPicture(none));
    EXPECT_FALSE(doc.setBits(BitsBuffer(3, 4)));
    EXPECT_FALSE(doc.TakeRecord(DibRecord{}));
    EXPECT_EQ(doc.Bits(), before);
    EXPECT_EQ(doc.ImageRect(), (RectI{0, 0, 4, 3}));
}

} // namespace
} // namespace tq
