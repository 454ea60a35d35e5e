// The thumbnail browser in a started program: loaded by the start-up,
// placed and rolled up as it was left, toggled by its "&Windows" item, and
// opening a thumbnail as a document of the main window.
#include "document/SettingsFile.h"
#include "document/PictureFixtures.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "document/PictureRouting.h"
#include "toolwindows/BrowserFileList.h"
#include "toolwindows/fToolBrowser.h"
#include "mainwindow/fMain.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"
#include "toolwindows/ToolWindows.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tq;
namespace fs = std::filesystem;

namespace {

constexpr int kBrowserSlot = 4;
constexpr int kBrowserItem = 8;

struct BrowserStartupTest : StartedProgramFixture {
    BuiltToolWindows registered;
};

} // namespace

TEST_F(BrowserStartupTest, ComesBackRolledUpWhereItWasLeft)
{
    auto shell = startWith([](Settings& s) {
        s.BrowserBoxLeft = 300 * 15;
        s.BrowserBoxTop = 200 * 15;
        s.BrowserBoxWidth = 500 * 15;
        s.BrowserBoxHeight = 300 * 15;
        s.BrowserBoxCollapsed = true;
    });
    auto* b = qobject_cast<fToolBrowser*>(shell->toolWindow(kBrowserSlot));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->parentWidget(), shell->main());
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->pos(), QPoint(300, 200));
    EXPECT_EQ(b->pMmTag(), "1");
    EXPECT_EQ(b->size(), QSize(500, 24));
    EXPECT_TRUE(shell->menus().item("VIEWS", kBrowserItem)->isChecked());
    b->pMm_Click();
    EXPECT_EQ(b->size(), QSize(500, 300));

    // Its close button unchecks the item; the item shows it again in place.
    b->pExit_Click();
    EXPECT_FALSE(shell->menus().item("VIEWS", kBrowserItem)->isChecked());
    EXPECT_FALSE(programSettings().BrowserBoxVisible);
    b->move(0, 0);
    shell->VIEWS_Click(kBrowserItem);
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->pos(), QPoint(300, 200));
    shell->main()->close();
}

TEST_F(BrowserStartupTest, ADoubleClickedThumbnailBecomesADocument)
{
    const std::string folder = (program / "Images").string();
    fs::create_directories(folder);
    ASSERT_TRUE(mBitmap::SaveImageFile(folder + "/photo.JPG", "jpg", tq::testing::makePicture(40, 30)));
    auto shell = startWith([](Settings& s) { s.BrowserBoxHeight = 400 * 15; });
    auto* b = qobject_cast<fToolBrowser*>(shell->toolWindow(kBrowserSlot));
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->size(), QSize(467, 400));
    ASSERT_EQ(b->lv->ListCount(), 1) << "the default folder, the program's Images";

    b->tb_ButtonClick(8);
    ports.timers.runAll();
    ASSERT_EQ(b->optThumb.size(), 2u);
    EXPECT_EQ(b->optResolution[1]->text(), "40x30x24b");
    QTest::mouseDClick(b->optThumb[1], Qt::LeftButton);
    const auto windows = shell->main()->mdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 1);
    auto* doc = qobject_cast<fImage*>(windows[0]->widget());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Tag, folder + "/photo.JPG");
    EXPECT_EQ(doc->PictureWidth(), 40);
    EXPECT_EQ(programSettings().RecentFiles[0].text(), folder + "/photo.JPG");
    doc->Changed = false;
    shell->main()->close();
    // The exit writes the view and the folder with everything else.
    Settings s;
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(s.BrowserView, 8);
    EXPECT_EQ(s.BrowserFolder.text(), folder);
}
