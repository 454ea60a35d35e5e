// Screen capture through the real menus of a started program, with the
// screen grab answered by a double holding a fixed picture, the capture
// timer run by the test and tool windows of the test's own in the registry.
#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "mainwindow/ScreenCapture.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "platform/Folders.h"
#include "core/PictureMemory.h"
#include "support/TestPorts.h"
#include "toolwindows/ToolWindowRegistry.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace tq;
namespace fs = std::filesystem;

namespace {

// A picture in which every pixel differs from its neighbours.
DibRecord screenPicture(int w, int h)
{
    DibRecord d;
    d.header = BitsHeader::forDib(w, h);
    d.width = w;
    d.height = h;
    d.bits.assign(4u * size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) d.row(y)[4 * x + c] = static_cast<uint8_t>(11 + 37 * x + 59 * y + 83 * c);
    return d;
}

::testing::AssertionResult samePixels(const fImage& doc, const DibRecord& screen)
{
    if (doc.PictureWidth() != screen.width || doc.PictureHeight() != screen.height)
        return ::testing::AssertionFailure() << "document " << doc.PictureWidth() << "x" << doc.PictureHeight()
                                             << ", screen " << screen.width << "x" << screen.height;
    const BitsBuffer bits = doc.Bits();
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            for (int c = 0; c < 3; ++c)
                if (bits.at(c, x, y) != screen.row(y)[4 * x + c])
                    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " channel " << c;
    return ::testing::AssertionSuccess();
}

const char* const kToolNames[] = {"fToolColor", "fToolTextures", "fPaste", "fPanView", "fToolBrowser"};

struct CaptureFixture : StartedProgramFixture {
    platform::FakeScreenGrab& grab = ports.screenGrab;
    PlainToolWindows registered{100, 80};
    std::unique_ptr<mStart> shell;
    fMain* w = nullptr;
    DibRecord screen = screenPicture(40, 30);

    // Starts the program as a normal (not maximised) window with the colour
    // and history windows showing and the other three hidden.
    void SetUp() override
    {
        writeSettings([](Settings& s) {
            s.MainMaximized = false;
            s.MainWidth = 9000;
            s.MainHeight = 7500;
            s.TexturesBoxVisible = false;
            s.PanoramicBoxVisible = false;
            s.BrowserBoxVisible = false;
        });
        if (HasFatalFailure()) return;
        platform::setProgramFolder(program.string());
        shell = makeShell();
        ASSERT_TRUE(shell->StartApplication());
        w = shell->main();
        grab.screen = screen;
    }
    void TearDown() override
    {
        if (w)
            for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
                if (auto* doc = qobject_cast<fImage*>(sub->widget())) doc->Changed = false;
        shell.reset();
    }

    QWidget* tool(const char* name) const
    {
        const ToolWindowSlot* slot = toolWindowByName(name);
        return shell->toolWindow(static_cast<int>(slot - toolWindowSlots().data()));
    }
    std::map<std::string, bool> visibility() const
    {
        std::map<std::string, bool> v{{"fMain", w->isVisible()}};
        for (const char* n : kToolNames) v[n] = tool(n)->isVisible();
        return v;
    }
    std::vector<fImage*> documents() const
    {
        std::vector<fImage*> docs;
        for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
            if (auto* d = qobject_cast<fImage*>(sub->widget())) docs.push_back(d);
        return docs;
    }
    // Runs a capture item of the "Ca&pture" menu (0 Desktop, 1 Foreground,
    // 2 Background).
    void clickCapture(int index) { shell->menus().item("CAPTURE", index)->trigger(); }
};

const std::map<std::string, bool> kShownAtStart = {{"fMain", true},          {"fToolColor", true},
                                                   {"fToolTextures", false}, {"fPaste", true},
                                                   {"fPanView", false},      {"fToolBrowser", false}};
const std::map<std::string, bool> kAllHidden = {{"fMain", false},         {"fToolColor", false},
                                                {"fToolTextures", false}, {"fPaste", false},
                                                {"fPanView", false},      {"fToolBrowser", false}};

} // namespace

TEST_F(CaptureFixture, EachCaptureItemMakesANewDocumentAndBringsTheWindowsBack)
{
    const struct {
        int item;
        const char* name;
        bool waits;   // hides the windows and waits for the timer
    } items[] = {{0, "Desktop", true}, {1, "Foreground", false}, {2, "Background", true}};

    int expectedDocuments = 0;
    for (const auto& it : items) {
        SCOPED_TRACE(it.name);
        w->showNormal();
        ASSERT_EQ(visibility(), kShownAtStart);
        ASSERT_FALSE(w->isMaximized());
        grab.windowGrabs.clear();
        std::map<std::string, bool> whileGrabbing;
        grab.onGrab = [&] { whileGrabbing = visibility(); };

        clickCapture(it.item);
        if (it.waits) {
            // Out of sight, the flags untouched, the grab half a second away.
            EXPECT_EQ(visibility(), kAllHidden);
            EXPECT_TRUE(w->isMinimized());
            EXPECT_TRUE(programSettings().ColorBoxVisible && programSettings().HistoryBoxVisible);
            EXPECT_EQ(grab.windowGrabs.size(), 0u);
            ASSERT_EQ(ports.timers.pending.size(), 1u);
            EXPECT_EQ(ports.timers.pending.front().first, 500);
            EXPECT_TRUE(w->timerCaptureEnabled());
            ports.timers.runAll();
            EXPECT_FALSE(w->timerCaptureEnabled());
            EXPECT_EQ(whileGrabbing, kAllHidden);
        } else {
            EXPECT_TRUE(ports.timers.pending.empty());
            EXPECT_EQ(whileGrabbing, kShownAtStart);
        }
        // The whole screen through window 0.
        EXPECT_EQ(grab.windowGrabs,
                  (std::vector<platform::FakeScreenGrab::WindowGrab>{{0, 0, 0, screen.width, screen.height}}));

        const std::vector<fImage*> docs = documents();
        ASSERT_EQ(static_cast<int>(docs.size()), ++expectedDocuments);
        fImage* doc = docs.back();
        EXPECT_TRUE(samePixels(*doc, screen));
        EXPECT_EQ(doc->Undopos(), 1);
        EXPECT_EQ(doc->UndoMax(), 1);
        EXPECT_FALSE(doc->Changed);
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(ActiveImage().data(), doc);
        EXPECT_EQ(w->currentDocument(), doc);
        EXPECT_TRUE(w->cFilter.Bits() == doc->Bits());
        EXPECT_TRUE(doc->isVisible());

        // The first capture is "New.bmp" in the program folder; the ones
        // made while it is open get "[n]".
        const std::string name = (program / "New.bmp").string();
        const QString suffix = expectedDocuments == 1 ? QString() : QStringLiteral("[%1]").arg(expectedDocuments - 1);
        EXPECT_EQ(QString::fromStdString(doc->Tag), QString::fromStdString(name) + suffix);
        EXPECT_EQ(doc->windowTitle(), QStringLiteral("New.bmp") + suffix);

        // The same windows as before, the main window maximised.
        EXPECT_EQ(visibility(), kShownAtStart);
        EXPECT_TRUE(w->isMaximized());
        EXPECT_TRUE(programSettings().MainMaximized);
        EXPECT_TRUE(ports.messageBoxes.shown.empty());
    }
}

// Where the window manager can show the desktop, "Desktop" has it clear the
// other programs' windows too, grabs, and has them back before ours come
// back; the other two captures never ask.
TEST_F(CaptureFixture, TheDesktopCaptureHasTheDesktopShownAroundTheGrab)
{
    using Request = platform::FakeScreenGrab::DesktopRequest;
    grab.sessionShowsDesktop = true;
    std::vector<Request> whileGrabbing;
    grab.onGrab = [&] { whileGrabbing = grab.desktopRequests; };

    clickCapture(0);
    EXPECT_EQ(visibility(), kAllHidden);
    EXPECT_EQ(grab.desktopRequests, (std::vector<Request>{{true, 0}}));
    ASSERT_EQ(ports.timers.pending.size(), 1u);
    ports.timers.runAll();
    EXPECT_EQ(whileGrabbing, (std::vector<Request>{{true, 0}}));
    EXPECT_EQ(grab.desktopRequests, (std::vector<Request>{{true, 0}, {false, 1}}));
    ASSERT_EQ(documents().size(), 1u);
    EXPECT_TRUE(samePixels(*documents().back(), screen));
    EXPECT_EQ(visibility(), kShownAtStart);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());

    for (int item : {1, 2}) {
        clickCapture(item);
        ports.timers.runAll();
    }
    EXPECT_EQ(grab.desktopRequests.size(), 2u);
    EXPECT_EQ(documents().size(), 3u);
}

// The program closed between the desktop capture and its grab still gives
// the other programs' windows back.
TEST_F(CaptureFixture, AMainWindowClosedBeforeTheGrabBringsTheDesktopBack)
{
    using Request = platform::FakeScreenGrab::DesktopRequest;
    grab.sessionShowsDesktop = true;
    clickCapture(0);
    w->close();
    shell.reset();
    w = nullptr;
    ports.timers.runAll();
    EXPECT_EQ(grab.grabs, 0);
    EXPECT_EQ(grab.desktopRequests, (std::vector<Request>{{true, 0}, {false, 0}}));
}

TEST_F(CaptureFixture, NewDocumentsOpenMaximisedAndZoomedAsTheSettingsSay)
{
    programSettings().ImageMaximized = true;
    programSettings().InitialZoom = 3;
    clickCapture(1);
    ASSERT_EQ(documents().size(), 1u);
    fImage* doc = documents().front();
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(doc->parentWidget())->isMaximized());
    EXPECT_EQ(doc->ZoomFactor(), 3);
}

TEST_F(CaptureFixture, ASecondRequestBeforeTheTickCapturesOnce)
{
    clickCapture(2);
    clickCapture(0);
    EXPECT_EQ(ports.timers.pending.size(), 1u);
    ports.timers.runAll();
    EXPECT_EQ(grab.grabs, 1);
    EXPECT_EQ(documents().size(), 1u);
    // The timer is free again.
    clickCapture(2);
    EXPECT_EQ(ports.timers.pending.size(), 1u);
}

// "CUSTOMCAPTURE" names a kind the capture does not know: nothing happens,
// and no hidden, empty document window is left behind.
TEST_F(CaptureFixture, AnUnknownKindMakesNoWindow)
{
    const std::size_t loaded = fImage::loadedDocuments().size();
    const int32_t counter = DocumentCount();
    w->MenuStatic("CUSTOMCAPTURE");
    w->capturePicture(5);
    w->capturePicture(-1);
    EXPECT_EQ(fImage::loadedDocuments().size(), loaded);
    EXPECT_EQ(DocumentCount(), counter);
    EXPECT_EQ(grab.grabs, 0);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_TRUE(ports.timers.pending.empty());
}

TEST_F(CaptureFixture, ASessionWithoutAGrabSaysSoAndChangesNothing)
{
    grab.sessionAllowsGrab = false;
    const std::size_t loaded = fImage::loadedDocuments().size();
    for (int item : {0, 1, 2}) {
        ports.messageBoxes.shown.clear();
        clickCapture(item);
        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u) << item;
        EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
        EXPECT_EQ(ports.messageBoxes.shown[0].text,
                  "This desktop session does not let programs capture the screen.");
        EXPECT_EQ(visibility(), kShownAtStart) << item;
        EXPECT_FALSE(w->isMaximized());
        EXPECT_TRUE(ports.timers.pending.empty());
    }
    EXPECT_EQ(grab.grabs, 0);
    EXPECT_EQ(fImage::loadedDocuments().size(), loaded);
}

// A grab that fails when it is made: the internal-error box, no document,
// and the windows come back all the same.
TEST_F(CaptureFixture, AFailedGrabMakesNoDocumentButBringsTheWindowsBack)
{
    grab.screen.reset();
    for (int item : {2, 1}) {
        ports.messageBoxes.shown.clear();
        clickCapture(item);
        ports.timers.runAll();
        ASSERT_EQ(ports.messageBoxes.shown.size(), 1u) << item;
        EXPECT_EQ(ports.messageBoxes.shown[0],
                  (platform::MessageBoxRequest{"There was an internal error! Please try again!",
                                               platform::MsgButtons::OK, platform::MsgIcon::Information,
                                               "INTERNAL ERROR!"}));
        EXPECT_TRUE(documents().empty());
        EXPECT_EQ(visibility(), kShownAtStart) << item;
        EXPECT_TRUE(w->isMaximized());
        EXPECT_FALSE(w->timerCaptureEnabled());
    }
}

// A grab larger than the memory budget allows for one picture makes no
// document; the user is told its size once the windows are back.
TEST_F(CaptureFixture, AGrabBeyondTheMemoryBudgetMakesNoDocumentAndSaysWhy)
{
    setPictureMemoryBudget(4u * 40u * 30u - 1);   // one byte short of the 40 x 30 screen
    std::map<std::string, bool> whenTold;
    ports.messageBoxes.onShow = [&](const platform::MessageBoxRequest&) { whenTold = visibility(); };
    clickCapture(1);
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text.rfind("The new picture would be too large: 40 x 30 pixels", 0), 0u)
        << ports.messageBoxes.shown[0].text;
    EXPECT_EQ(whenTold, kShownAtStart);
    EXPECT_TRUE(documents().empty());
    EXPECT_EQ(visibility(), kShownAtStart);

    setPictureMemoryBudget(4u * 40u * 30u);
    clickCapture(1);
    EXPECT_EQ(documents().size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
}

// The timer's action may come after the main window is gone (the program
// closed within the half second): it then does nothing.
TEST_F(CaptureFixture, ATickAfterTheMainWindowIsGoneDoesNothing)
{
    clickCapture(2);
    ASSERT_EQ(ports.timers.pending.size(), 1u);
    w->close();
    shell.reset();
    w = nullptr;
    ports.timers.runAll();
    EXPECT_EQ(grab.grabs, 0);
}

TEST(CaptureRoutines, CaptureWindowTakesTheRectangleAsked)
{
    ScopedContext context;
    platform::TestPorts ports;
    ports.screenGrab.screen = screenPicture(10, 8);
    const QImage part = mCapture::CaptureWindow(0, 3, 2, 4, 5);
    ASSERT_EQ(part.size(), QSize(4, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint8_t* p = ports.screenGrab.screen->row(y + 2) + 4 * (x + 3);
            EXPECT_EQ(part.pixel(x, y), qRgb(p[2], p[1], p[0])) << x << "," << y;
        }
    const QImage whole = mCapture::CaptureScreen();
    EXPECT_EQ(whole.size(), QSize(10, 8));
    EXPECT_EQ(ports.screenGrab.windowGrabs.back(), (platform::FakeScreenGrab::WindowGrab{0, 0, 0, 10, 8}));
    EXPECT_TRUE(ports.messageBoxes.shown.empty());

    // A side below 1 grabs nothing and says so once.
    EXPECT_TRUE(mCapture::CaptureWindow(0, 0, 0, 0, 8).isNull());
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
}
