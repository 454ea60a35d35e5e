// Faults found by using the program as a new user would: the exit with
// changed documents, the arrangement of document windows, the status panels
// after the commands that change what they show, and the messages that take
// the place of silence. The real program, started as main() starts it.
#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/ImageCanvas.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "mainwindow/fSplash.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"
#include "FileSizeLimit.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPointer>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>

using namespace tq;

namespace {

struct UseSession : RunningProgramFixture {
    platform::FakeMessageBoxes& messages = ports.messageBoxes;

    // Opens a width x height picture of one colour.
    fImage* open(int width, int height, const QString& name)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(qRgb(40, 90, 160));
        return openWithCtrlO(picture, name);
    }
    QMdiSubWindow* frameOf(fImage* doc) { return qobject_cast<QMdiSubWindow*>(doc->parentWidget()); }
};

} // namespace

// ---- Exit with changed documents -----------------------------------------

TEST_F(UseSession, ExitStopsAtTheFirstRefusalWithNothingSavedOrDiscarded)
{
    fImage* a = open(6, 5, QStringLiteral("a.png"));
    fImage* b = open(7, 4, QStringLiteral("b.png"));
    ASSERT_TRUE(a && b);
    for (fImage* doc : {a, b}) {
        w->mdiArea()->setActiveSubWindow(frameOf(doc));
        w->MenuExec("INVERT");
        ASSERT_TRUE(doc->Changed);
        ASSERT_EQ(doc->Undopos(), 2);
    }
    // The other document is the active one: the prompt about the first one
    // brings it forward before it asks.
    QMdiSubWindow* asked = nullptr;
    messages.answers = {platform::MsgResult::Cancel, platform::MsgResult::No};
    QObject::connect(w->mdiArea(), &QMdiArea::subWindowActivated, w, [&](QMdiSubWindow* s) {
        if (messages.shown.empty() && s) asked = s;
    });
    w->close();

    ASSERT_EQ(messages.shown.size(), 1u) << "one refusal ends the whole exit";
    EXPECT_NE(messages.shown[0].text.find("a.png"), std::string::npos);
    EXPECT_EQ(asked, frameOf(a));
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(shell->unloaded());
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 2);
    EXPECT_TRUE(a->Changed);
    EXPECT_TRUE(b->Changed);
    EXPECT_FALSE(b->Unloaded());

    // A second exit answered No twice closes both and ends the run.
    messages.answers = {platform::MsgResult::No, platform::MsgResult::No};
    w->close();
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_TRUE(shell->unloaded());
    w = nullptr;
}

// A program folder that cannot be written (here: a full disk) loses the
// settings at exit; the user is told, with the folder and the reason.
TEST_F(UseSession, SettingsThatCannotBeWrittenAreReported)
{
    {
        ScopedFileSizeLimit full(16);
        w->close();
    }
    EXPECT_TRUE(shell->unloaded());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Talvex Quarlend");
    EXPECT_NE(messages.shown[0].text.find(programDir.path().toStdString()), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find(std::strerror(EFBIG)), std::string::npos);
    w = nullptr;
}

// A settings file that is a FIFO used to be replaced by a regular file at
// exit; it stays what it is, and the user is told why the settings are lost.
TEST_F(UseSession, SettingsFileThatIsNoRegularFileIsNotReplaced)
{
    const std::string file = Module8::SettingsFile(programDir.path().toStdString()).string();
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    w->close();
    EXPECT_TRUE(shell->unloaded());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Undo steps and settings cannot be saved.\r\n\r\n" + file + " is not a regular file");
    EXPECT_EQ(messages.shown[0].icon, platform::MsgIcon::Exclamation);
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    w = nullptr;
}

// ---- Document windows: where they open and how they cascade --------------

TEST_F(UseSession, NewWindowsOpenCascadedAndCascadeKeepsTheirSizes)
{
    fImage* a = open(160, 150, QStringLiteral("a.png"));
    fImage* b = open(220, 130, QStringLiteral("b.png"));
    fImage* c = open(120, 180, QStringLiteral("c.png"));
    ASSERT_TRUE(a && b && c);
    QMdiSubWindow* fa = frameOf(a);
    QMdiSubWindow* fb = frameOf(b);
    QMdiSubWindow* fc = frameOf(c);
    // Each new window below and right of the one before, none hiding the
    // title bar of another.
    EXPECT_EQ(fa->pos(), QPoint(0, 0));
    EXPECT_GT(fb->y(), fa->y());
    EXPECT_GT(fb->x(), fa->x());
    EXPECT_GT(fc->y(), fb->y());

    // The user makes one window larger, then cascades.
    fb->resize(fb->width() + 40, fb->height() + 30);
    const QSize sa = fa->size(), sb = fb->size(), sc = fc->size();
    ASSERT_GT(sa.height(), 100);
    fa->move(300, 200);
    w->MenuStatic("CASCADE");
    EXPECT_EQ(fa->size(), sa);
    EXPECT_EQ(fb->size(), sb);
    EXPECT_EQ(fc->size(), sc);
    EXPECT_EQ(fa->pos(), QPoint(0, 0));
    const int step = fb->y() - fa->y();
    EXPECT_GT(step, 0);
    EXPECT_EQ(fb->pos(), QPoint(step, step));
    EXPECT_EQ(fc->pos(), QPoint(2 * step, 2 * step));
    // The pictures still fill their windows' canvases at 1 : 1.
    EXPECT_TRUE(a->iDst->isVisible());
}

TEST(CascadePosition, StepsDownAndWrapsBeforeLeavingTheArea)
{
    const QSize area(400, 300);
    EXPECT_EQ(cascadePosition(0, QSize(100, 100), area, 20), QPoint(0, 0));
    EXPECT_EQ(cascadePosition(3, QSize(100, 100), area, 20), QPoint(60, 60));
    // 200 pixels of room below: ten steps fit, the eleventh goes back.
    EXPECT_EQ(cascadePosition(10, QSize(100, 100), area, 20), QPoint(200, 200));
    EXPECT_EQ(cascadePosition(11, QSize(100, 100), area, 20), QPoint(0, 0));
    // A window as large as the area stays at the corner.
    EXPECT_EQ(cascadePosition(4, QSize(400, 300), area, 20), QPoint(0, 0));
}

// ---- Status panels after the commands that change what they show ---------

TEST_F(UseSession, StatusPanelsFollowZoomCropUndoRedoAndRevert)
{
    fImage* doc = open(40, 30, QStringLiteral("panels.png"));
    ASSERT_NE(doc, nullptr);
    auto panel = [&](const char* key) { return doc->sbInfo->panelText(QString::fromLatin1(key)).toStdString(); };
    auto actions = [&] { return doc->sbInfo->panelText(2).toStdString(); };
    EXPECT_EQ(panel("Zoom"), "1 : 1");

    // View zoom keys.
    w->MenuExec("300");
    EXPECT_EQ(doc->ZoomFactor(), 3);
    EXPECT_EQ(panel("Zoom"), "3 : 1");
    w->MenuExec("100");
    EXPECT_EQ(panel("Zoom"), "1 : 1");

    // Crop to a 20 x 10 box.
    doc->BitsRegion.CreateRect(5, 5, 25, 15, 2, false);
    w->MenuExec("CROP");
    ASSERT_EQ(doc->PictureWidth(), 20);
    EXPECT_EQ(panel("Size"), "20x10");
    EXPECT_EQ(panel("Pixel"), "20 x 10");
    EXPECT_EQ(actions(), "Total Actions: 2");

    // Undo gives the old size back to every panel that shows it.
    focusMain(w);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(doc->PictureWidth(), 40);
    EXPECT_EQ(panel("Size"), "40x30");
    EXPECT_EQ(panel("Pixel"), "40x30");
    EXPECT_EQ(actions(), "Total Actions: 1");

    // Redo, then revert to the original.
    QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(doc->PictureWidth(), 20);
    EXPECT_EQ(panel("Size"), "20x10");
    EXPECT_EQ(panel("Pixel"), "20x10");
    EXPECT_EQ(actions(), "Total Actions: 2");
    shell->menus().item("mnuRestore", -1)->trigger();
    ASSERT_EQ(doc->PictureWidth(), 40);
    EXPECT_EQ(panel("Size"), "40x30");
    EXPECT_EQ(actions(), "Total Actions: 1");
    EXPECT_EQ(panel("Zoom"), "1 : 1");
}

// ---- Messages instead of silence, dialog manners --------------------------

TEST_F(UseSession, HelpAndWebItemsSayWhenNoBrowserStarts)
{
    ports.browser.opens = false;
    std::filesystem::create_directories(programDir.filePath("Help").toStdString());
    { QFile page(programDir.filePath("Help/default.htm")); ASSERT_TRUE(page.open(QIODevice::WriteOnly)); }
    shell->menus().item("ABOUT", 0)->trigger();
    shell->menus().item("ABOUT", 3)->trigger();
    ASSERT_EQ(ports.browser.opened.size(), 2u);
    ASSERT_EQ(messages.shown.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(messages.shown[i].title, "Talvex Quarlend");
        EXPECT_EQ(messages.shown[i].text, std::string(mStart::kNoBrowser) + "\r\n\r\n" + ports.browser.opened[i]);
    }
    // A browser that starts: no message.
    ports.browser.opens = true;
    shell->menus().item("ABOUT", 0)->trigger();
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(UseSession, AboutBoxClosesWithEnterAndEscape)
{
    auto findAbout = [] {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == "fAbout" && t->isVisible()) return t;
        return static_cast<QWidget*>(nullptr);
    };
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        MenuItemSpec about;
        shell->MenuDirectAction(MenuDirect::About, about);
        QPointer<QWidget> box = findAbout();
        ASSERT_TRUE(box);
        QTest::keyClick(box, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull() || !box->isVisible()) << key;
    }
}

TEST_F(UseSession, DocumentWindowsCarryTheProgramsIcon)
{
    fImage* doc = open(8, 8, QStringLiteral("icon.png"));
    ASSERT_NE(doc, nullptr);
    const QIcon icon = frameOf(doc)->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.cacheKey(), programIcon().cacheKey());
    EXPECT_EQ(w->windowIcon().cacheKey(), programIcon().cacheKey());
}

// ---- Pictures a format cannot hold -----------------------------------------

TEST_F(UseSession, SaveRefusesAPictureItsFormatCannotHold)
{
    struct Case {
        int w, h;
        const char* name;
        const char* told;
    };
    const Case cases[] = {
        {1, 6, "thin.pcx", "A PCX file cannot hold a picture 1 pixel wide or high."},
        {7, 1, "flat.pcx", "A PCX file cannot hold a picture 1 pixel wide or high."},
        {30001, 2, "wide.psd", "A Photoshop file cannot hold a picture wider or higher than 30000 pixels."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fImage* doc = open(c.w, c.h, QString::fromLatin1(c.name) + QStringLiteral(".png"));
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(doc->PictureWidth(), c.w);
        const std::string target = pictures.filePath(c.name).toStdString();
        messages.shown.clear();
        ports.fileDialogs.answerPath(target);
        w->MenuStatic("SAVEAS");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.told);
        EXPECT_FALSE(std::filesystem::exists(target));
        EXPECT_NE(doc->Tag, target);
        doc->Changed = false;
        frameOf(doc)->close();
    }
    // One pixel more and the same formats take it.
    fImage* doc = open(2, 6, QStringLiteral("fine.png"));
    ASSERT_NE(doc, nullptr);
    messages.shown.clear();
    ports.fileDialogs.answerPath(pictures.filePath("fine.pcx").toStdString());
    w->MenuStatic("SAVEAS");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(std::filesystem::exists(pictures.filePath("fine.pcx").toStdString()));
}

// "Save as" onto a FIFO, or a link to one, used to put a regular file in its
// place and call the document saved.
TEST_F(UseSession, SaveAsOntoAFifoIsRefusedWithTheReason)
{
    fImage* doc = open(4, 3, QStringLiteral("a.png"));
    ASSERT_NE(doc, nullptr);
    doc->Changed = true;
    const std::string fifo = pictures.filePath("pipe.bmp").toStdString();
    const std::string link = pictures.filePath("link.png").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(fifo, link);
    for (const std::string& target : {fifo, link}) {
        SCOPED_TRACE(target);
        messages.shown.clear();
        ports.fileDialogs.answerPath(target);
        w->MenuStatic("SAVEAS");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0], (platform::MessageBoxRequest{target + " is not a regular file", platform::MsgButtons::OK,
                                                                  platform::MsgIcon::Exclamation, "Talvex Quarlend"}));
        EXPECT_TRUE(doc->Changed);
        EXPECT_NE(doc->Tag, target);
        struct stat st {};
        ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        EXPECT_TRUE(std::filesystem::is_symlink(link));
    }
    doc->Changed = false;
}
