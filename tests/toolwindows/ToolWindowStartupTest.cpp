// The navigator and the history window in a started program: loaded by the
// start-up, shown where they were left (rolled up where they were rolled
// up), kept current by the main window, toggled by the "&Windows" menu, and
// their places written to the settings file at the exit.
#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "mainwindow/OpenDocument.h"
#include "mainwindow/fMain.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"
#include "toolwindows/ToolWindows.h"
#include "toolwindows/fPanView.h"
#include "toolwindows/fPaste.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolOptionPanel.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

using namespace tq;
namespace fs = std::filesystem;

namespace {

struct ToolWindowStartupTest : StartedProgramFixture {
    BuiltToolWindows registered;
};

} // namespace

TEST_F(ToolWindowStartupTest, TheWindowsComeBackWhereAndAsTheyWereLeft)
{
    auto shell = startWith([](Settings& s) {
        s.PanoramicBoxLeft = 600 * 15;
        s.PanoramicBoxTop = 50 * 15;
        s.PanoramicBoxWidth = 240 * 15;
        s.PanoramicBoxHeight = 190 * 15;
        s.PanoramicBoxCollapsed = true;
        s.HistoryBoxLeft = 30 * 15;
        s.HistoryBoxTop = 40 * 15;
        s.HistoryBoxHeight = 320 * 15;
        s.HistoryBoxWidth = 500 * 15;   // the window keeps its own width
    });
    auto* nav = qobject_cast<fPanView*>(shell->toolWindow(3));
    auto* history = qobject_cast<fPaste*>(shell->toolWindow(2));
    ASSERT_NE(nav, nullptr);
    ASSERT_NE(history, nullptr);
    fMain* main = shell->main();
    EXPECT_EQ(nav->parentWidget(), main);
    EXPECT_EQ(history->parentWidget(), main);

    EXPECT_TRUE(nav->isVisible());
    EXPECT_EQ(nav->pos(), QPoint(600, 50));
    EXPECT_EQ(nav->pMmTag(), "1");
    EXPECT_EQ(nav->pMm->pixmap().toImage(), nav->pMaxi.toImage());
    EXPECT_EQ(nav->size(), QSize(240, 24));
    EXPECT_TRUE(shell->menus().item("VIEWS", 7)->isChecked());

    EXPECT_TRUE(history->isVisible());
    EXPECT_EQ(history->pos(), QPoint(30, 40));
    EXPECT_EQ(history->size(), QSize(212, 320));
    EXPECT_EQ(history->pMmTag(), "0");
    EXPECT_TRUE(shell->menus().item("VIEWS", 6)->isChecked());

    // Unrolled, the navigator takes its saved size back and shows the
    // document the main window opens.
    nav->pMm_Click();
    EXPECT_EQ(nav->size(), QSize(240, 190));
    ImageWidth() = 64;
    ImageHeight() = 48;
    fImage* doc = CreateDocumentWindow(*main, NewDocument{[](fImage& d) {
                                           d.CreateBlank(64, 48);
                                           d.BitsRegion.Init(0, 0, 64, 48);
                                           return true;
                                       },
                                                          std::nullopt, "Untitled"});
    ASSERT_NE(doc, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(nav->ThumbnailWidth(), 64);
    EXPECT_TRUE(nav->ClipRct->isVisibleTo(nav));
    EXPECT_EQ(history->ImageID(), doc->MeID);

    // The menu hides the navigator and shows it again at its saved place.
    shell->VIEWS_Click(7);
    EXPECT_FALSE(nav->isVisible());
    nav->move(0, 0);
    shell->VIEWS_Click(7);
    EXPECT_TRUE(nav->isVisible());
    EXPECT_EQ(nav->pos(), QPoint(600, 50));

    // A caption drag of the history window reaches the settings file.
    const QPoint grab(40, 8);
    const QPoint global = history->strip()->mapToGlobal(grab);
    QTest::mousePress(history->strip(), Qt::LeftButton, {}, grab);
    QTest::mouseMove(history->strip(), history->strip()->mapFromGlobal(global + QPoint(15, 25)));
    QTest::mouseRelease(history->strip(), Qt::LeftButton, {}, history->strip()->mapFromGlobal(global + QPoint(15, 25)));
    EXPECT_EQ(history->pos(), QPoint(45, 65));
    doc->Changed = false;
    main->close();
    Settings s;
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(int32_t(s.HistoryBoxLeft), 45 * 15);
    EXPECT_EQ(int32_t(s.HistoryBoxTop), 65 * 15);
    EXPECT_EQ(int32_t(s.HistoryBoxHeight), 320 * 15);
    EXPECT_FALSE(s.PanoramicBoxCollapsed);
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), 600 * 15);
    EXPECT_TRUE(s.PanoramicBoxVisible);
    EXPECT_FALSE(s.SelectionMoveFromClip);
}

// A first start puts the tool windows at their default places, except that
// none lies over the main window's tool bar or option panel (nor over
// another tool window); those it had to move keep their new places.
TEST_F(ToolWindowStartupTest, AFirstStartKeepsTheBarsInSight)
{
    auto shell = start();
    fMain* main = shell->main();
    const auto twipsToPixels = [](int32_t twips) { return twips / 15; };
    const QWidget* bars[] = {main->tbTool, main->picStatus};
    const Settings defaults = defaultSettings(program);
    const Settings& s = programSettings();
    std::vector<QRect> placed;
    int moved = 0;
    for (std::size_t i = 0; i < toolWindowSlots().size(); ++i) {
        const ToolWindowSlot& slot = toolWindowSlots()[i];
        QWidget* w = shell->toolWindow(static_cast<int>(i));
        ASSERT_NE(w, nullptr);
        SCOPED_TRACE(slot.name);
        ASSERT_TRUE(w->isVisible());
        const QRect r = w->frameGeometry();
        for (const QWidget* bar : bars) EXPECT_FALSE(r.intersects(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())));
        for (const QRect& other : placed) EXPECT_FALSE(r.intersects(other));
        placed.push_back(r);
        // Only ever lower, in its own column, and remembered.
        EXPECT_EQ(w->x(), twipsToPixels(defaults.*slot.left));
        EXPECT_GE(w->y(), twipsToPixels(defaults.*slot.top));
        EXPECT_EQ(twipsToPixels(s.*slot.top), w->y());
        if (w->y() != twipsToPixels(defaults.*slot.top)) ++moved;
    }
    EXPECT_GT(moved, 0) << "the bars reach below the default places here";

    // Shown again from the "&Windows" menu, a moved window comes back below
    // the bars.
    QAction* history = shell->menus().item("VIEWS", 6);
    history->trigger();
    history->trigger();
    QWidget* w = shell->toolWindow(2);
    EXPECT_EQ(w->y(), twipsToPixels(s.HistoryBoxTop));
    EXPECT_FALSE(w->frameGeometry().intersects(
        QRect(main->picStatus->mapToGlobal(QPoint(0, 0)), main->picStatus->size())));
}

// A window manager frames and places the main window after it is shown; the
// tool windows at their default places follow the bars down until the main
// window is first active.
TEST_F(ToolWindowStartupTest, TheBarsAreKeptInSightOnceTheMainWindowIsPlaced)
{
    writeSettings([](Settings& s) { s.MainMaximized = false; });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    fMain* main = shell->main();
    const int top = main->y();
    main->windowHandle()->setPosition(main->x(), top + 40);
    QCoreApplication::processEvents();
    ASSERT_GT(main->y(), top + 30);   // (the platform may count its frame in)
    const QRect panel(main->picStatus->mapToGlobal(QPoint(0, 0)), main->picStatus->size());
    for (int i : {0, 2}) {   // the Color Box and the history window
        QWidget* w = shell->toolWindow(i);
        EXPECT_FALSE(w->frameGeometry().intersects(panel)) << w->objectName().toStdString();
        EXPECT_EQ(w->y(), panel.bottom() + 1);
    }
}
