// What every floating tool window shares: owned by the main window and
// floating above it without taking the focus, moved by its caption strip,
// closed into the "&Windows" menu, the pressed look of its two buttons, and
// the focus handed back to the main window.
#include "ToolWindowFixture.h"

#include "toolwindows/fPanView.h"
#include "toolwindows/fPaste.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

#include <string>
#include <vector>

using namespace tq;
using namespace tq::testing;

namespace {

class FloatingToolWindowTest : public ToolWindowFixture {
protected:
    void SetUp() override
    {
        ToolWindowFixture::SetUp();
        history = new fPaste(main.get());
        nav = new fPanView(main.get());
        history->move(100, 80);
        nav->move(400, 80);
        history->show();
        nav->show();
        setToolWindowClosedHandler([this](const std::string& name) { closed.push_back(name); });
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        setToolWindowClosedHandler({});
        ToolWindowFixture::TearDown();
    }

    // The mouse passes over a widget with no button down. (QTest moves the
    // desktop's cursor for that, which the offscreen platform does not turn
    // into a move over the widget.)
    static void hover(QWidget* over, const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(over->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(over, &move);
    }

    // Press on a caption, drag by `by` in steps, release.
    static void dragCaption(QWidget* on, const QPoint& by)
    {
        const QPoint start(30, 8);
        QTest::mousePress(on, Qt::LeftButton, {}, start);
        // Each move is given where the mouse is on the desktop: the window
        // moves under it.
        const QPoint global = on->mapToGlobal(start);
        for (int i = 1; i <= 4; ++i) {
            const QPoint to = global + by * i / 4;
            QTest::mouseMove(on, on->mapFromGlobal(to));
        }
        QTest::mouseRelease(on, Qt::LeftButton, {}, on->mapFromGlobal(global + by));
    }

    // The window system's events, and what the windows do about them.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    fPaste* history = nullptr;
    fPanView* nav = nullptr;
    std::vector<std::string> closed;
};

} // namespace

TEST_F(FloatingToolWindowTest, FloatsAboveTheMainWindowWithoutACaptionOrTheFocus)
{
    for (FloatingToolWindow* w : {static_cast<FloatingToolWindow*>(history), static_cast<FloatingToolWindow*>(nav)}) {
        EXPECT_TRUE(w->isWindow());
        EXPECT_EQ(w->parentWidget(), main.get());   // owned: kept above it
        EXPECT_EQ(w->windowType(), Qt::Tool);
        EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
    }
    EXPECT_EQ(nav->TT()->objectName(), "TT");
    EXPECT_EQ(history->strip()->objectName(), "TL");
    EXPECT_EQ(nav->LMessage->text(), "Panoramic View");
    EXPECT_EQ(history->LMessage->text(), "History");
    // pExit at the right end of the strip, pMm touching it on its left.
    EXPECT_EQ(history->pExit->geometry().right(), history->strip()->width() - 1);
    EXPECT_EQ(history->pMm->geometry().right() + 1, history->pExit->x());
    EXPECT_EQ(history->pExit->size(), QSize(21, 15));
    // The navigator's buttons stand 120 twips from the window's right edge.
    EXPECT_EQ(nav->pExit->x(), nav->width() - 21 - 8);
}

TEST_F(FloatingToolWindowTest, ACaptionDragMovesTheWindowAndStoresItsPlace)
{
    Settings& s = programSettings();
    dragCaption(history->LMessage, QPoint(40, 25));
    EXPECT_EQ(history->pos(), QPoint(140, 105));
    EXPECT_EQ(int32_t(s.HistoryBoxLeft), 140 * 15);
    EXPECT_EQ(int32_t(s.HistoryBoxTop), 105 * 15);
    EXPECT_FALSE(TitleDrag());
    EXPECT_FALSE(history->captionDragUnderway());

    // The navigator moves too, but its place is stored by its redraw.
    const int32_t left = s.PanoramicBoxLeft;
    dragCaption(nav->TT(), QPoint(-30, 10));
    EXPECT_EQ(nav->pos(), QPoint(370, 90));
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), left);
    nav->UpdateImage();
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), 370 * 15);
}

TEST_F(FloatingToolWindowTest, AClickOnACaptionWithoutMovingLeavesTheWindowWhereItIs)
{
    QTest::mouseClick(history->strip(), Qt::LeftButton, {}, QPoint(30, 8));
    EXPECT_TRUE(TitleDrag());   // set by the press, kept by the release
    // The next move over any caption, with no button down, only clears it.
    hover(nav->TT(), QPoint(20, 5));
    EXPECT_FALSE(TitleDrag());
    EXPECT_EQ(history->pos(), QPoint(100, 80));
    EXPECT_EQ(nav->pos(), QPoint(400, 80));
}

TEST_F(FloatingToolWindowTest, PassingOverACaptionGivesTheMainWindowTheFocus)
{
    QWidget other;
    other.show();
    other.activateWindow();
    // (QTest's QTRY macros report to QtTest, not to this test: waited here.)
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }, 2000));
    hover(history->LMessage, QPoint(10, 5));   // the label passes it on
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main.get(); }, 2000));
}

TEST_F(FloatingToolWindowTest, TheCloseButtonHidesTheWindowAndClearsItsFlag)
{
    Settings& s = programSettings();
    ASSERT_TRUE(s.HistoryBoxVisible);
    QTest::mousePress(history->pExit, Qt::LeftButton);
    EXPECT_EQ(history->pExit->Appearance(), 1);
    QTest::mouseRelease(history->pExit, Qt::LeftButton);
    EXPECT_EQ(history->pExit->Appearance(), 0);
    EXPECT_FALSE(history->isVisible());
    EXPECT_FALSE(s.HistoryBoxVisible);
    EXPECT_EQ(closed, std::vector<std::string>{"fPaste"});

    QTest::mouseClick(nav->pExit, Qt::LeftButton);
    EXPECT_FALSE(nav->isVisible());
    EXPECT_FALSE(s.PanoramicBoxVisible);
    EXPECT_EQ(closed.back(), "fPanView");
}

TEST_F(FloatingToolWindowTest, TheRollUpButtonShowsTheFaceOfTheOtherState)
{
    QTest::mousePress(nav->pMm, Qt::LeftButton);
    EXPECT_EQ(nav->pMm->Appearance(), 1);
    QTest::mouseRelease(nav->pMm, Qt::LeftButton);
    EXPECT_EQ(nav->pMm->Appearance(), 0);
    EXPECT_EQ(nav->pMmTag(), "1");
    EXPECT_EQ(nav->pMm->pixmap().toImage(), nav->pMaxi.toImage());
    QTest::mouseClick(nav->pMm, Qt::LeftButton);
    EXPECT_EQ(nav->pMmTag(), "0");
    EXPECT_EQ(nav->pMm->pixmap().toImage(), nav->pMini.toImage());
}

TEST_F(FloatingToolWindowTest, TheFrameResizesASizableWindow)
{
    const QSize before = nav->size();
    // Where the platform has no resize of its own the frame does it.
    const QPoint corner(nav->width() - 1, nav->height() - 1);
    QTest::mousePress(nav, Qt::LeftButton, {}, corner);
    QTest::mouseMove(nav, corner + QPoint(30, 20));
    QTest::mouseRelease(nav, Qt::LeftButton, {}, corner + QPoint(30, 20));
    EXPECT_EQ(nav->size(), before + QSize(30, 20));
    EXPECT_EQ(int32_t(programSettings().PanoramicBoxWidth), (before.width() + 30) * 15);
}

// A window manager may map a frameless window it had withdrawn at 0,0, or
// report that place for it while it stays where it was; the window's next
// resize (a roll-up) would then take it there for real. Here the platform
// window is moved behind the widget's back, as the window manager does.
TEST_F(FloatingToolWindowTest, AWindowTheWindowSystemMovesOnItsOwnKeepsItsPlace)
{
    for (FloatingToolWindow* w : {static_cast<FloatingToolWindow*>(history), static_cast<FloatingToolWindow*>(nav)}) {
        SCOPED_TRACE(w->objectName().toStdString());
        const QPoint place = w->pos();
        const auto rollUpAndDown = [&] {
            w->pMm_Click();
            settle();
            EXPECT_EQ(w->pos(), place);
            w->pMm_Click();
            settle();
            EXPECT_EQ(w->pos(), place);
        };
        // While shown.
        w->windowHandle()->setPosition(0, 0);
        settle();
        EXPECT_EQ(w->pos(), place);
        EXPECT_EQ(w->windowHandle()->position(), place);
        rollUpAndDown();
        // While hidden, before it is shown again (a capture hides and shows
        // the tool windows).
        w->hide();
        settle();
        w->windowHandle()->setPosition(0, 0);
        settle();
        w->show();
        settle();
        EXPECT_EQ(w->pos(), place);
        rollUpAndDown();
        // The caption strip still moves it, and that is its new place.
        dragCaption(w->strip(), QPoint(20, 10));
        EXPECT_EQ(w->pos(), place + QPoint(20, 10));
        w->windowHandle()->setPosition(0, 0);
        settle();
        EXPECT_EQ(w->pos(), place + QPoint(20, 10));
    }
}

TEST_F(FloatingToolWindowTest, AWindowManagerThatInsistsOnAPlaceGetsIt)
{
    // Each showing puts the window back a few times, then lets the window
    // system have its way rather than fight it.
    const QPoint place = history->pos();
    int moves = 0;
    while (history->pos() == place && moves < 10) {
        history->windowHandle()->setPosition(5, 7);
        settle();
        ++moves;
    }
    EXPECT_EQ(history->pos(), QPoint(5, 7));
    EXPECT_GT(moves, 1);
    // A new showing starts over.
    history->hide();
    history->move(place);
    history->show();
    settle();
    history->windowHandle()->setPosition(5, 7);
    settle();
    EXPECT_EQ(history->pos(), place);
}
