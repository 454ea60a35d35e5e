// The splitter control: its clamping setters, the drag of its bar between
// strict limits (and no move without a drag), the panes on both sides of
// the bar, and its stored properties.
#include "widgets/PropertyBag.h"
#include "widgets/Splitter.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tq;

namespace {

// A splitter 1000 x 300 pixels holding two panes, as a running program has it.
struct SplitterTest : ::testing::Test {
    QWidget host;
    Splitter* s = new Splitter(&host);
    QWidget* left = new QWidget(s);
    QWidget* right = new QWidget(s);

    void SetUp() override
    {
        // Shown, so that a new size reaches the control at once.
        host.resize(1000, 300);
        host.show();
        s->resize(1000, 300);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("SplitterPosition"), 30, 50);
        bag.WriteProperty(QStringLiteral("SplitterMax"), 70, 90);
        bag.WriteProperty(QStringLiteral("SplitterMin"), 20, 10);
        s->ReadProperties(bag, true);
        s->setLeftOrTopControl(left);
        s->setRightOrBottomControl(right);
    }

    // The mouse at candidate position k (pixels of the control) during a drag.
    void dragTo(int k) { s->picSplitter_MouseMove(QPoint(k - s->picSplitter->x(), 5)); }
};

} // namespace

TEST_F(SplitterTest, ADragAcceptsOnlyCandidatesStrictlyBetweenTheLimits)
{
    ASSERT_EQ(s->picSplitter->x(), 300);
    QSignalSpy moves(s, &Splitter::SplitMove);
    s->picSplitter_MouseDown();
    EXPECT_TRUE(s->picMover->isVisibleTo(s));
    struct Step {
        int candidate;
        bool accepted;
        int position;
    };
    const Step steps[] = {{200, false, 30}, {201, true, 20}, {700, false, 20}, {699, true, 69}, {450, true, 45}};
    for (const Step& st : steps) {
        const int ghost = s->picMover->x();
        dragTo(st.candidate);
        EXPECT_EQ(s->SplitterPosition(), st.position) << st.candidate;
        EXPECT_EQ(s->picMover->x(), st.accepted ? st.candidate : ghost) << st.candidate;
    }
    EXPECT_EQ(moves.count(), 5) << "every move is reported, accepted or not";
    EXPECT_EQ(s->picSplitter->x(), 300) << "the bar waits for the release";

    QSignalSpy done(s, &Splitter::SplitComplete);
    s->picSplitter_MouseUp();
    EXPECT_EQ(done.count(), 1);
    EXPECT_FALSE(s->picMover->isVisibleTo(s));
    EXPECT_EQ(s->picSplitter->x(), 450);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 450, 300));
    EXPECT_EQ(right->geometry(), QRect(450 + s->barThickness(), 0, 1000 - 450 - s->barThickness(), 300));
}

TEST_F(SplitterTest, HoveringOverTheBarMovesNothing)
{
    dragTo(450);
    EXPECT_EQ(s->SplitterPosition(), 30);
    EXPECT_EQ(s->picMover->x(), 300);
    s->picSplitter_MouseUp();
    EXPECT_EQ(s->picSplitter->x(), 300);

    // The same through real mouse events: a move with no button down, then a
    // drag with the left button.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::mouseMove(s->picSplitter, QPoint(2, 10));
    QTest::mouseMove(s->picSplitter, QPoint(120, 10));
    EXPECT_EQ(s->SplitterPosition(), 30);
    QTest::mousePress(s->picSplitter, Qt::LeftButton, {}, QPoint(2, 10));
    QTest::mouseMove(s->picSplitter, QPoint(100, 10));
    QTest::mouseRelease(s->picSplitter, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(s->SplitterPosition(), 40);
    EXPECT_EQ(left->width(), 400);
}

TEST_F(SplitterTest, SettersClampAsTheyAreSet)
{
    Splitter fresh;
    EXPECT_EQ(fresh.SplitterPosition(), 50);
    EXPECT_EQ(fresh.SplitterMin(), 10);
    EXPECT_EQ(fresh.SplitterMax(), 90);
    EXPECT_EQ(fresh.SplitterWidth(), 70);
    EXPECT_EQ(fresh.barThickness(), 5);
    struct Case {
        void (Splitter::*set)(int32_t);
        int32_t (Splitter::*get)() const;
        int32_t value, expected;
    };
    const Case cases[] = {
        {&Splitter::setSplitterPosition, &Splitter::SplitterPosition, 95, 90},
        {&Splitter::setSplitterPosition, &Splitter::SplitterPosition, 5, 10},
        {&Splitter::setSplitterMax, &Splitter::SplitterMax, 150, 99},
        {&Splitter::setSplitterMax, &Splitter::SplitterMax, -5, 11},   // 1, below the lower limit 10
        {&Splitter::setSplitterMin, &Splitter::SplitterMin, -5, 1},
        {&Splitter::setSplitterMin, &Splitter::SplitterMin, 150, 89},  // 99, above the upper limit 90
    };
    for (const Case& c : cases) {
        Splitter t;
        (t.*c.set)(c.value);
        EXPECT_EQ((t.*c.get)(), c.expected) << c.value;
    }
    Splitter t;
    t.setSplitterMin(40);
    t.setSplitterMax(30);
    EXPECT_EQ(t.SplitterMax(), 41);

    // A lower upper limit leaves the position until it is set again.
    s->setSplitterMax(25);
    EXPECT_EQ(s->SplitterPosition(), 30);
    s->setSplitterPosition(30);
    EXPECT_EQ(s->SplitterPosition(), 25);
}

TEST_F(SplitterTest, PanesFollowTheBarAtTheSamePercentage)
{
    s->resize(600, 200);
    EXPECT_EQ(s->picSplitter->x(), 180);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 180, 200));
    EXPECT_EQ(right->geometry().right() + 1, 600) << "the right pane ends at the control's edge";
    EXPECT_EQ(right->x(), 180 + s->barThickness());

    // A new orientation moves the bar, not the panes, until a refresh.
    const QRect before = left->geometry();
    s->setOrientation(1);
    EXPECT_EQ(s->picSplitter->geometry(), QRect(0, 60, 600, s->barThickness()));
    EXPECT_EQ(left->geometry(), before);
    s->Refresh();
    EXPECT_EQ(left->geometry(), QRect(0, 0, 600, 60));
    EXPECT_EQ(right->geometry(), QRect(0, 60 + s->barThickness(), 600, 200 - 60 - s->barThickness()));
}

TEST(Splitter, StoresOnlyWhatDiffersFromANewControlAndReadsLimitsBeforeThePosition)
{
    Splitter a;
    PropertyBag empty;
    a.WriteProperties(empty);
    EXPECT_EQ(empty.count(), 0);

    // Stored in lower case, with a position the default limits would cut.
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("splitterposition"), 95, 50);
    bag.WriteProperty(QStringLiteral("splittermax"), 97, 90);
    Splitter b;
    b.ReadProperties(bag);
    EXPECT_EQ(b.SplitterPosition(), 95);
    PropertyBag out;
    b.WriteProperties(out);
    EXPECT_EQ(out.count(), 2);
    EXPECT_EQ(out.ReadProperty(QStringLiteral("SplitterMax")).toInt(), 97);

    // Until the stored properties are read (a designer), panes stay put.
    Splitter c;
    c.resize(400, 100);
    QWidget* pane = new QWidget(&c);
    pane->setGeometry(1, 2, 3, 4);
    c.setLeftOrTopControl(pane);
    EXPECT_EQ(pane->geometry(), QRect(1, 2, 3, 4));
}
