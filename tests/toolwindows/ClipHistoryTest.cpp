// The Clips tab of the history window: Cut and Copy storing into the ten
// slots, the current slot, removing, importing from the clipboard, pasting a
// slot, and the thumbnails.
#include "ToolWindowFixture.h"

#include "toolwindows/fPaste.h"

#include <QToolBar>

using namespace tq;
using namespace tq::testing;

namespace {

class ClipHistoryTest : public HistoryWindowFixture {
protected:
    void SetUp() override
    {
        HistoryWindowFixture::SetUp();
        history->tabClips_Click();
        QCoreApplication::processEvents();
    }

    // Copies a w x h box of the active document.
    void copyBox(fImage* doc, int w, int h)
    {
        doc->BitsRegion.Init(0, 0, doc->PictureWidth(), doc->PictureHeight());
        doc->BitsRegion.CreateRect(1, 1, 1 + w, 1 + h, 2, false);
        main->MenuExec("COPY");
    }
    std::string label(QLabel* l) const { return l->text().toStdString(); }
    std::string caption() const { return history->LMessage->text().toStdString(); }
    void clickRow(int i) { QTest::mouseClick(history->row(i).pc, Qt::LeftButton, {}, QPoint(100, 5)); }
    // Slot i holds a clip of w x h.
    ::testing::AssertionResult holds(int i, int w, int h) const
    {
        const ClipRecord& r = history->clips().record(i);
        if (r.W() == w && r.H() == h && r.bits.width() == w && r.bits.height() == h &&
            r.header == BitsHeader::forDib(w, h))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "slot " << i << " holds " << r.W() << " x " << r.H();
    }

};

} // namespace

TEST_F(ClipHistoryTest, ElevenCopiesFillTheTenSlotsAndTheEleventhReplacesTheLast)
{
    CountingImage* doc = openDocument(30, 30);
    for (int i = 0; i < 10; ++i) {
        copyBox(doc, 2 + i, 3);
        EXPECT_EQ(history->clips().current(), i);
        EXPECT_EQ(label(history->row(i).BT), std::to_string(i + 1));
        EXPECT_EQ(label(history->row(i).BR), std::to_string(2 + i) + " x 3");
        EXPECT_TRUE(holds(i, 2 + i, 3));
    }
    EXPECT_EQ(caption(), "Clip History:  11 x 3");
    copyBox(doc, 20, 4);
    EXPECT_EQ(history->clips().current(), 9);
    EXPECT_TRUE(holds(9, 20, 4));
    EXPECT_TRUE(holds(8, 10, 3));
    EXPECT_EQ(label(history->row(9).BT), "10");
    EXPECT_EQ(label(history->row(9).BR), "20 x 4");
    EXPECT_EQ(caption(), "Clip History:  20 x 4");
    // A copy changes nothing of the picture and records no step.
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_EQ(doc->Bits(), patternBits(30, 30));
}

TEST_F(ClipHistoryTest, TheCurrentSlotChoosesWhereTheNextClipGoes)
{
    CountingImage* doc = openDocument(30, 30);
    for (int i = 0; i < 10; ++i) copyBox(doc, 2 + i, 2);

    // All full: a click on the third row and a copy replace slot 2.
    clickRow(2);
    EXPECT_EQ(history->clips().current(), 2);
    copyBox(doc, 7, 7);
    EXPECT_TRUE(holds(2, 7, 7));
    EXPECT_EQ(history->clips().current(), 2);

    // Slot 3 emptied first: the next copy from slot 2 goes there instead,
    // and slot 3 becomes current.
    clickRow(3);
    history->tb1_ButtonClick(4);
    EXPECT_FALSE(history->clips().record(3).holdsClip());
    EXPECT_EQ(label(history->row(3).BT), "");
    EXPECT_EQ(label(history->row(3).BR), "");
    EXPECT_TRUE(history->row(3).thumbnail.isNull());
    clickRow(2);
    copyBox(doc, 8, 8);
    EXPECT_TRUE(holds(2, 7, 7));
    EXPECT_TRUE(holds(3, 8, 8));
    EXPECT_EQ(history->clips().current(), 3);

    // Removing the current clip and copying again fills the same slot.
    history->tb1_ButtonClick(4);
    copyBox(doc, 5, 9);
    EXPECT_TRUE(holds(3, 5, 9));
    EXPECT_EQ(history->clips().current(), 3);

    // Remove all: every row empty; the caption stays; a paste does nothing.
    history->tb1_ButtonClick(5);
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(history->clips().record(i).holdsClip()) << i;
        EXPECT_EQ(label(history->row(i).BT), "") << i;
    }
    EXPECT_EQ(caption(), "Clip History:  5 x 9");
    ClipBits() = BitsBuffer();
    history->tb1_ButtonClick(2);
    EXPECT_FALSE(PasteFloating());
    EXPECT_FALSE(ClipBits().allocated());
}

TEST_F(ClipHistoryTest, ACutKeepsTheSelectionsShapeAndIsOneStep)
{
    CountingImage* doc = openDocument(12, 12);
    doc->BitsRegion.CreateEllipse(0, 0, 12, 12, 2, false);
    main->cFilter.setBitsRegion(doc->BitsRegion.walkRegion());
    main->MenuExec("CUT");
    ASSERT_TRUE(holds(0, 12, 12));
    const BitsBuffer& clip = history->clips().record(0).bits;
    // The corner lies outside the ellipse: black, marked as not the clip.
    for (int c = 0; c < 4; ++c) EXPECT_EQ(clip.at(c, 0, 0), c == 3 ? 255 : 0) << c;
    EXPECT_EQ(clip.at(3, 6, 6), 0);
    EXPECT_EQ(clip.at(1, 6, 6), patternByte(1, 6, 6));
    EXPECT_EQ(ClipBits(), clip);
    EXPECT_EQ(doc->BitsRef().at(1, 6, 6), 0);
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);
}

// A refused cut or copy stores nothing and records no step; the floating
// pixels that follow still count as coming from a clip.
TEST_F(ClipHistoryTest, TooSmallASelectionIsRefusedWithoutAStepOrASlot)
{
    CountingImage* doc = openDocument(8, 8);
    const struct {
        const char* key;
        int x2, y2;   // selection from (1, 1); 0: nothing selected
        const char* message;
    } cases[] = {
        {"CUT", 0, 0, "Minimum cut size: 2 x 2"},
        {"CUT", 2, 6, "Minimum cut size: 2 x 2"},
        {"COPY", 6, 2, "Minimum copy size: 2 x 2"},
        {"COPY", 0, 0, "Minimum copy size: 2 x 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        doc->BitsRegion.Init(0, 0, 8, 8);
        if (c.x2) doc->BitsRegion.CreateRect(1, 1, c.x2, c.y2, 2, false);
        programSettings().SelectionMoveFromClip = false;
        ports.messageBoxes.shown.clear();
        main->MenuExec(c.key);
        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
        EXPECT_EQ(ports.messageBoxes.shown[0].text, c.message);
        EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
        EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::Information);
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_EQ(doc->UndoMax(), 1);
        EXPECT_FALSE(history->clips().record(0).holdsClip());
        EXPECT_TRUE(programSettings().SelectionMoveFromClip);
    }
}

TEST_F(ClipHistoryTest, AClipboardPictureComesInWholeAndUnmarked)
{
    // Nothing on the clipboard: nothing happens.
    history->tb1_ButtonClick(1);
    EXPECT_FALSE(history->clips().record(0).holdsClip());

    DibRecord pic;
    pic.header = BitsHeader::forDib(5, 3);
    pic.width = 5;
    pic.height = 3;
    pic.bits.assign(4 * 5 * 3, 0);
    for (size_t i = 0; i < pic.bits.size(); ++i) pic.bits[i] = static_cast<uint8_t>(i * 3 + 1);
    ports.clipboard.picture = pic;
    programSettings().SelectionMoveFromClip = false;
    history->tb1_ButtonClick(1);
    ASSERT_TRUE(holds(0, 5, 3));
    const BitsBuffer& clip = history->clips().record(0).bits;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(clip.at(0, x, y), pic.row(y)[4 * x]);
            EXPECT_EQ(clip.at(2, x, y), pic.row(y)[4 * x + 2]);
            EXPECT_EQ(clip.at(3, x, y), 0);   // all of it belongs to the clip
        }
    EXPECT_EQ(ClipBits(), clip);
    EXPECT_EQ(caption(), "Clip History:  5 x 3");
    EXPECT_FALSE(programSettings().SelectionMoveFromClip);
}

TEST_F(ClipHistoryTest, PastingASlotMakesItTheClipAndStartsThePaste)
{
    CountingImage* doc = openDocument(20, 20);
    copyBox(doc, 4, 4);
    copyBox(doc, 6, 5);
    const BitsBuffer first = history->clips().record(0).bits;
    clickRow(0);
    programSettings().SelectionMoveFromClip = false;
    // Through the tool bar's own button.
    QAction* paste = history->findChild<QAction*>(QStringLiteral("tb1_2"));
    ASSERT_NE(paste, nullptr);
    EXPECT_EQ(paste->toolTip(), "Paste the Selected Clip to the Current Image");
    paste->trigger();
    EXPECT_EQ(ClipBits(), first);
    EXPECT_TRUE(PasteFloating());
    EXPECT_TRUE(programSettings().SelectionMoveFromClip);
    EXPECT_EQ(programSettings().ToolName.text(), "");
}

TEST_F(ClipHistoryTest, ThumbnailsFitTheBoxOrStandAtTheirOwnSize)
{
    CountingImage* doc = openDocument(200, 50);
    const QSize box = history->row(0).pT->contentsRect().size();
    ASSERT_GT(box.width(), 10);

    // Wider than the box: as wide as the box, the height in proportion.
    copyBox(doc, 150, 30);
    const QImage& big = history->row(0).thumbnail;
    ASSERT_FALSE(big.isNull());
    const int th = qRound(30.0 * box.width() / 150);
    EXPECT_EQ(qAlpha(big.pixel(box.width() - 1, 0)), 255);
    EXPECT_EQ(qAlpha(big.pixel(0, th - 1)), 255);
    EXPECT_EQ(qAlpha(big.pixel(0, th + 1)), 0);

    // A small one: its own pixels at the top-left corner, nothing beside.
    copyBox(doc, 4, 3);
    const QImage& small = history->row(1).thumbnail;
    const BitsBuffer& b = history->clips().record(1).bits;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(small.pixel(x, y), qRgb(b.at(2, x, y), b.at(1, x, y), b.at(0, x, y)));
    EXPECT_EQ(qAlpha(small.pixel(4, 0)), 0);
    EXPECT_EQ(qAlpha(small.pixel(0, 3)), 0);
}

TEST_F(ClipHistoryTest, ARowShowsItsPressAndItsClickMakesItCurrent)
{
    QFrame* pc = history->row(4).pc;
    QTest::mousePress(history->row(4).BR, Qt::LeftButton);
    EXPECT_EQ(pc->frameShadow(), QFrame::Raised);
    QTest::mouseRelease(history->row(4).BR, Qt::LeftButton);
    EXPECT_EQ(pc->frameShadow(), QFrame::Plain);
    EXPECT_EQ(history->clips().current(), 4);
}

TEST_F(ClipHistoryTest, UnloadingDropsTheSlotsAndThePasteFromAClip)
{
    CountingImage* doc = openDocument(20, 20);
    copyBox(doc, 4, 4);
    EXPECT_TRUE(programSettings().SelectionMoveFromClip);
    const BitsBuffer clip = ClipBits();
    delete history;
    EXPECT_FALSE(programSettings().SelectionMoveFromClip);
    EXPECT_EQ(ClipBits(), clip);   // the current clip lives on
}
