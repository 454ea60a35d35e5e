// The Actions tab of the history window: the rows and the marker as the
// documents record, undo, redo, jump, switch and close; a click on a row
// returns the document to that step.
#include "ToolWindowFixture.h"

#include "document/HistoryModel.h"
#include "toolwindows/fPaste.h"

#include <QScrollBar>

#include <filesystem>

using namespace tq;
using namespace tq::testing;

namespace {

class ActionHistoryTest : public HistoryWindowFixture {
protected:
    // The marker stands on row i.
    ::testing::AssertionResult markerOn(int i) const
    {
        if (!history->Pindicator->isVisibleTo(history->pContainer))
            return ::testing::AssertionFailure() << "marker hidden";
        if (history->Pindicator->y() != history->Ltext(i)->y())
            return ::testing::AssertionFailure() << "marker at y " << history->Pindicator->y() << ", row " << i
                                                 << " at " << history->Ltext(i)->y();
        return ::testing::AssertionSuccess();
    }
    std::string text(int i) const { return history->Ltext(i)->text().toStdString(); }
    std::string number(int i) const { return history->Lno(i)->text().toStdString(); }
    bool rowShown(int i) const { return history->Ltext(i)->isVisibleTo(history->pContainer); }
    void clickRow(int i) { QTest::mouseClick(history->Ltext(i), Qt::LeftButton); }
    // The step a document shows: recordStep writes the step's number into
    // pixel (0, 0).
    static int shownValue(const fImage* doc) { return doc->BitsRef().at(0, 0, 0); }

    // A document with `steps` recorded actions "S1", "S2", ...
    CountingImage* documentWithSteps(int steps, int w = 3, int h = 2)
    {
        CountingImage* doc = openDocument(w, h);
        BitsBuffer bits = doc->Bits();
        bits.at(0, 0, 0) = 0;
        doc->setBits(bits);
        for (int i = 1; i <= steps; ++i) {
            std::string name = "S";
            name += std::to_string(i);
            recordStep(doc, name, static_cast<uint8_t>(i % 256));
        }
        return doc;
    }

};

} // namespace

TEST_F(ActionHistoryTest, TheFirstActionListsOriginalAndItselfWithTheMarker)
{
    CountingImage* doc = openDocument(4, 3);
    EXPECT_EQ(history->ImageID(), doc->MeID);
    ASSERT_EQ(history->LtextCount(), 1);
    EXPECT_FALSE(rowShown(0));   // row 0 waits for a first action
    EXPECT_FALSE(history->Pindicator->isVisibleTo(history->pContainer));

    recordStep(doc, "Invert", 1);
    ASSERT_EQ(history->LtextCount(), 2);
    EXPECT_EQ(number(0), "0");
    EXPECT_EQ(text(0), "Original");
    EXPECT_EQ(number(1), "1");
    EXPECT_EQ(text(1), "Invert");
    EXPECT_TRUE(rowShown(0));
    EXPECT_TRUE(rowShown(1));
    EXPECT_TRUE(markerOn(1));
    // Row 1 lies under row 0, 350 twips down.
    EXPECT_EQ(history->Ltext(1)->y(), twipsToPx(350));
    EXPECT_EQ(history->Lno(1)->x(), twipsToPx(240));
    EXPECT_EQ(history->Ltext(1)->x(), twipsToPx(480));
}

TEST_F(ActionHistoryTest, UndoAndRedoMoveTheMarkerAndKeepTheRows)
{
    documentWithSteps(3);
    main->MenuExec("UNDO");
    EXPECT_EQ(history->LtextCount(), 4);
    EXPECT_TRUE(markerOn(2));
    main->MenuExec("REDO");
    EXPECT_TRUE(markerOn(3));
}

TEST_F(ActionHistoryTest, AClickOnARowGoesBackThenRedoOrANewActionFollows)
{
    CountingImage* doc = documentWithSteps(5);
    ASSERT_EQ(doc->Undopos(), 6);

    clickRow(1);
    EXPECT_EQ(doc->Undopos(), 2);
    EXPECT_EQ(doc->UndoMax(), 6);
    EXPECT_EQ(shownValue(doc), 1);
    EXPECT_TRUE(markerOn(1));
    EXPECT_EQ(history->LtextCount(), 6);   // the later steps stay listed

    main->MenuExec("REDO");
    EXPECT_EQ(doc->Undopos(), 3);
    EXPECT_EQ(shownValue(doc), 2);
    EXPECT_TRUE(markerOn(2));

    // Back to row 1, and a new action instead: rows 2 to 5 go, the new one
    // is row 2.
    clickRow(1);
    recordStep(doc, "Emboss", 77);
    ASSERT_EQ(history->LtextCount(), 3);
    EXPECT_EQ(text(1), "S1");
    EXPECT_EQ(text(2), "Emboss");
    EXPECT_EQ(number(2), "2");
    EXPECT_TRUE(markerOn(2));
    EXPECT_EQ(doc->UndoMax(), 3);

    // The newest row reloads the newest snapshot; the marker stays on it.
    recordStep(doc, "Noise", 78);
    clickRow(3);
    EXPECT_EQ(shownValue(doc), 78);
    EXPECT_EQ(doc->Undopos(), 4);
    EXPECT_TRUE(markerOn(3));

    // Row 0 is the picture as it was opened.
    clickRow(0);
    EXPECT_EQ(shownValue(doc), patternByte(0, 0, 0));
    EXPECT_EQ(doc->Undopos(), 1);
    EXPECT_TRUE(markerOn(0));
}

// A jump moves the document's step and the marker only when the step's
// snapshot was loaded.
TEST_F(ActionHistoryTest, AJumpToAStepThatCannotBeReadChangesNothing)
{
    CountingImage* doc = documentWithSteps(3);
    std::filesystem::remove(snapshotPath(*doc, 1));
    clickRow(1);
    EXPECT_EQ(doc->Undopos(), 4);
    EXPECT_EQ(shownValue(doc), 3);
    EXPECT_TRUE(markerOn(3));
}

TEST_F(ActionHistoryTest, EachDocumentShowsItsOwnRowsAndClosingEmptiesOnlyTheShownOnes)
{
    CountingImage* a = documentWithSteps(2);
    CountingImage* b = openDocument(5, 5);
    recordStep(b, "Blur", 9);
    EXPECT_EQ(history->ImageID(), b->MeID);
    ASSERT_EQ(history->LtextCount(), 2);
    EXPECT_EQ(text(1), "Blur");

    activate(a);
    QCoreApplication::processEvents();
    EXPECT_EQ(history->ImageID(), a->MeID);
    ASSERT_EQ(history->LtextCount(), 3);
    EXPECT_EQ(text(2), "S2");
    EXPECT_TRUE(markerOn(2));

    main->MenuExec("UNDO");
    activate(b);
    QCoreApplication::processEvents();
    activate(a);
    QCoreApplication::processEvents();
    EXPECT_TRUE(markerOn(1));   // rebuilt at its current step

    // Closing the document that is not listed leaves the list alone...
    closeDocument(b);
    QCoreApplication::processEvents();
    EXPECT_EQ(history->ImageID(), a->MeID);
    EXPECT_EQ(history->LtextCount(), 3);
    // ...closing the listed one empties it, row 0 and the marker included.
    closeDocument(a);
    QCoreApplication::processEvents();
    ASSERT_EQ(history->LtextCount(), 1);
    EXPECT_FALSE(rowShown(0));
    EXPECT_FALSE(history->Pindicator->isVisibleTo(history->pContainer));
}

// Past 200 snapshots a document renumbers its files and keeps the newest as
// step 199; the rows follow the files, so a click still reaches the step its
// row names.
TEST_F(ActionHistoryTest, TwoHundredStepsKeepRowsAndFilesInStep)
{
    CountingImage* doc = documentWithSteps(205, 2, 2);
    EXPECT_EQ(doc->UndoMax(), 200);
    EXPECT_EQ(doc->Undopos(), 200);
    ASSERT_EQ(history->LtextCount(), 200);
    EXPECT_EQ(text(0), "Original");
    EXPECT_EQ(number(1), "1");
    // Six files went (steps 200 to 205 each dropped the oldest): row 0 is
    // the state after S6, row 1 the step S7.
    EXPECT_EQ(text(1), "S7");
    EXPECT_EQ(number(199), "199");
    EXPECT_EQ(text(199), "S205");
    EXPECT_TRUE(markerOn(199));

    clickRow(1);
    EXPECT_EQ(shownValue(doc), 7);
    clickRow(0);
    EXPECT_EQ(shownValue(doc), 6);
    clickRow(199);
    EXPECT_EQ(shownValue(doc), 205 % 256);

    // The scroll bar reaches the last row (its range is past 16 bits of
    // twips).
    QScrollBar* vv = history->VV;
    EXPECT_TRUE(vv->isEnabled());
    vv->setValue(vv->maximum());
    QLabel* last = history->Ltext(199);
    const int bottomInFrame = history->pContainer->y() + last->y() + last->height();
    EXPECT_LE(bottomInFrame, history->pframe->contentsRect().bottom() + 1);
    EXPECT_GT(bottomInFrame, history->pframe->contentsRect().bottom() - last->height());
}

TEST_F(ActionHistoryTest, PressingARowDropsItsBorderUntilRelease)
{
    documentWithSteps(2);
    QLabel* row = history->Ltext(1);
    QTest::mousePress(row, Qt::LeftButton);
    EXPECT_EQ(row->frameShape(), QFrame::NoFrame);
    QTest::mouseRelease(row, Qt::LeftButton);
    EXPECT_EQ(row->frameShape(), QFrame::Box);
}
