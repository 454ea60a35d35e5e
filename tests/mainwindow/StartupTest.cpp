// Start-up, shutdown, the recent-file menu, the "&Windows" menu, reset and
// help, driven through the real main window on the offscreen platform.
#include "document/SettingsFile.h"
#include "document/Settings.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "filters/Kernels.h"
#include "filters/cBitFilter.h"
#include "core/Region.h"
#include "mainwindow/fMain.h"
#include "mainwindow/fSplash.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"
#include "toolwindows/ToolWindowRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

using namespace tq;
namespace fs = std::filesystem;

namespace {

// A document window as far as these tests need one: its path in "Tag" and a
// close prompt that can refuse.
class FakeDocument : public QWidget {
public:
    explicit FakeDocument(const QString& tag, bool refuse = false) : refuse_(refuse)
    {
        setObjectName(QStringLiteral("fImage"));
        setProperty("Tag", tag);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (refuse_) e->ignore();
        else e->accept();
    }

private:
    bool refuse_;
};

void touch(const fs::path& p)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
}

struct StartupFixture : StartedProgramFixture {
    platform::FakeMessageBoxes& messages = ports.messageBoxes;
    platform::FakeBrowser& browser = ports.browser;
};

} // namespace

TEST_F(StartupFixture, FirstStartOpensMaximisedWithEmptyRecentMenu)
{
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    fMain* w = shell->main();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isMaximized());
    EXPECT_TRUE(messages.shown.empty());

    QAction* empty = shell->menus().RF[0];
    EXPECT_EQ(empty->text(), "Empty");
    EXPECT_TRUE(empty->isVisible());
    EXPECT_FALSE(empty->isEnabled());
    for (int i = 1; i < 9; ++i) EXPECT_FALSE(shell->menus().RF[i]->isVisible()) << i;
    // No settings file is written before the exit.
    EXPECT_FALSE(fs::exists(Module8::SettingsFile(program)));
}

TEST_F(StartupFixture, SecondCopyIsRefusedAndTheFirstRunsOn)
{
    auto first = makeShell();
    ASSERT_TRUE(first->StartApplication());

    platform::FakeMessageBoxes& secondMessages = messages;
    messages.shown.clear();
    StartOptions o;
    o.programFolder = program;
    o.runtimeFolder = runtime;
    mStart second(o);
    fSplash splash;
    splash.show();
    EXPECT_FALSE(second.StartApplication(&splash));
    ASSERT_EQ(secondMessages.shown.size(), 1u);
    EXPECT_EQ(secondMessages.shown[0], (platform::MessageBoxRequest{"Talvex Quarlend is already running!", platform::MsgButtons::OK,
                                                    platform::MsgIcon::Information, "Talvex Quarlend"}));
    EXPECT_EQ(second.main(), nullptr);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(first->main()->isVisible());

    // Once the first copy has ended, a new one may start.
    first->main()->close();
    auto third = makeShell();
    EXPECT_TRUE(third->StartApplication());
}

TEST_F(StartupFixture, SnapshotsLeftByAnEarlierRunGoOnlyWhenNoOtherCopyRuns)
{
    const fs::path temp = program / "Temp";
    fs::create_directories(temp);
    auto touch = [](const fs::path& p) { std::ofstream(p) << "x"; };
    touch(temp / "b000102.dat");
    touch(temp / "notes.txt");

    auto first = makeShell();
    ASSERT_TRUE(first->StartApplication());
    EXPECT_FALSE(fs::exists(temp / "b000102.dat"));
    EXPECT_TRUE(fs::exists(temp / "notes.txt"));

    // A snapshot of the running copy survives the start of a second one.
    touch(temp / "b000100.dat");
    StartOptions o;
    o.programFolder = program;
    o.runtimeFolder = runtime;
    messages.shown.clear();
    mStart second(o);
    EXPECT_FALSE(second.StartApplication());
    EXPECT_TRUE(fs::exists(temp / "b000100.dat"));
    first->main()->close();
}

TEST_F(StartupFixture, StartUpLeavesTheFilesBehindATempLinkAlone)
{
    // The sweep of an earlier run's snapshots used to list the folder the
    // link points to and delete every file named like a snapshot there.
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    const fs::path elsewhere = other.path().toStdString();
    for (const char* name : {"b000100.dat", "b000101.dat.tmp", "notes.txt"}) touch(elsewhere / name);
    fs::create_directory_symlink(elsewhere, program / "Temp");

    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    for (const char* name : {"b000100.dat", "b000101.dat.tmp", "notes.txt"})
        EXPECT_TRUE(fs::exists(elsewhere / name)) << name;
    EXPECT_TRUE(fs::is_symlink(program / "Temp"));
    // Nothing is said yet: the notice comes with the first snapshot.
    EXPECT_TRUE(messages.shown.empty());
    shell->main()->close();
}

TEST_F(StartupFixture, NormalExitWritesSettingsAndNextStartUsesThem)
{
    writeSettings([](Settings& s) {
        s.MainMaximized = false;
        s.MainWidth = 600 * kTwipsPerPixel;
        s.MainHeight = 400 * kTwipsPerPixel;
    });
    {
        auto shell = makeShell();
        ASSERT_TRUE(shell->StartApplication());
        EXPECT_FALSE(shell->main()->isMaximized());
        EXPECT_EQ(shell->main()->size(), QSize(600, 400));
        shell->main()->resize(700, 500);
        // Open documents close with the main window.
        shell->main()->addDocument(new fImage);
        shell->main()->addDocument(new fImage);
        shell->main()->close();
        EXPECT_TRUE(shell->unloaded());
        EXPECT_FALSE(shell->main()->isVisible());
    }
    Settings s;
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(static_cast<int32_t>(s.MainWidth), 700 * kTwipsPerPixel);
    EXPECT_EQ(static_cast<int32_t>(s.MainHeight), 500 * kTwipsPerPixel);
    EXPECT_FALSE(s.MainMaximized);

    // Exiting maximised stores it, and the next start opens maximised.
    {
        auto shell = makeShell();
        ASSERT_TRUE(shell->StartApplication());
        shell->main()->showMaximized();
        shell->main()->close();
    }
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_TRUE(s.MainMaximized);
}

TEST_F(StartupFixture, DamagedSettingsFileIsReportedOnceAndTheDefaultsServe)
{
    for (const std::size_t size : {std::size_t{0}, std::size_t{3338}, std::size_t{3340}}) {
        SCOPED_TRACE(size);
        programSettings() = Settings{};
        messages.shown.clear();
        std::ofstream(Module8::SettingsFile(program), std::ios::binary | std::ios::trunc)
            << std::string(size, '\x07');
        auto shell = makeShell();
        ASSERT_TRUE(shell->StartApplication());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, Module8::kSettingsResetMessage);
        EXPECT_EQ(messages.shown[0].buttons, platform::MsgButtons::OK);
        EXPECT_EQ(programSettings().BrushSize, defaultSettings(program).BrushSize);
        EXPECT_TRUE(shell->main()->isMaximized());
        shell->main()->close();
        // The exit writes a sound record, so the next start says nothing.
        Settings again;
        EXPECT_EQ(Module8::LoadSettings(again, program), Module8::SettingsLoad::Loaded);
    }
}

TEST_F(StartupFixture, MinimisingKeepsTheSizeSavedBefore)
{
    writeSettings([](Settings& s) {
        s.MainMaximized = false;
        s.MainWidth = 640 * kTwipsPerPixel;
        s.MainHeight = 480 * kTwipsPerPixel;
    });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    shell->main()->showMinimized();
    shell->main()->close();
    Settings s;
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(static_cast<int32_t>(s.MainWidth), 640 * kTwipsPerPixel);
    EXPECT_FALSE(s.MainMaximized);
}

TEST_F(StartupFixture, ACancelledDocumentPromptKeepsTheProgramAndWritesNothing)
{
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    shell->main()->mdiArea()->addSubWindow(new FakeDocument("/tmp/a.png", true))->show();
    EXPECT_FALSE(shell->main()->close());
    EXPECT_TRUE(shell->main()->isVisible());
    EXPECT_FALSE(shell->unloaded());
    EXPECT_FALSE(fs::exists(Module8::SettingsFile(program)));
}

TEST_F(StartupFixture, ResetSettings)
{
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    QAction* reset = shell->menus().item("RESET", -1);
    ASSERT_NE(reset, nullptr);

    // No settings file: no question, nothing happens.
    reset->trigger();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(shell->main()->isVisible());

    // Answer No: everything stays.
    writeSettings([](Settings&) {});
    messages.defaultAnswer = platform::MsgResult::No;
    reset->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Talvex Quarlend will be closed down to apply the default settings!");
    EXPECT_EQ(messages.shown[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].title, "Talvex Quarlend");
    EXPECT_TRUE(fs::exists(Module8::SettingsFile(program)));
    EXPECT_TRUE(shell->main()->isVisible());

    // Yes, but a document refuses to close: still running, file intact.
    messages.defaultAnswer = platform::MsgResult::Yes;
    auto* doc = new FakeDocument("/tmp/b.png", true);
    QMdiSubWindow* sub = shell->main()->mdiArea()->addSubWindow(doc);
    sub->show();
    reset->trigger();
    EXPECT_TRUE(shell->main()->isVisible());
    EXPECT_TRUE(fs::exists(Module8::SettingsFile(program)));
    // ... and a later plain exit writes the settings as usual.
    delete sub;

    // Yes with nothing in the way: the program ends and leaves no file.
    reset->trigger();
    EXPECT_FALSE(shell->main()->isVisible());
    EXPECT_TRUE(shell->unloaded());
    EXPECT_FALSE(fs::exists(Module8::SettingsFile(program)));
}

// The test's folder lies in TMPDIR, of any length: each caption is its path
// shortened to the menu's width, and the deep path is made just too wide for
// the menu, so that it still fits the bytes the settings keep of a path.
TEST_F(StartupFixture, RecentMenuShowsExistingFilesShortened)
{
    const fs::path one = program / "one.png";
    fs::path deep = program;
    while (characterTextWidth((deep / "two.jpg").string()) <= 400) deep /= "deeper";
    const fs::path longer = deep / "two.jpg";
    if (longer.string().size() > kRecentFileLength) GTEST_SKIP() << "TMPDIR is too long for a recent file's path";
    touch(one);
    touch(longer);
    touch(program / "R&D.png");
    writeSettings([&](Settings& s) {
        s.RecentFiles[3].assign((program / "R&D.png").string());
        s.RecentFiles[0].assign((program / "gone.png").string());   // deleted on disk
        s.RecentFiles[1].assign(one.string());
        s.RecentFiles[2].assign(longer.string());
    });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    const auto& RF = shell->menus().RF;
    // "&" in a path is shown, not taken for a mnemonic.
    const auto caption = [](const fs::path& p) {
        return QString::fromStdString(Module8::CompactPath(characterTextWidth, p.string(), 400)).replace("&", "&&");
    };
    EXPECT_EQ(RF[0]->text(), "Empty");
    EXPECT_FALSE(RF[0]->isEnabled());
    EXPECT_TRUE(RF[1]->isVisible());
    EXPECT_TRUE(RF[1]->isEnabled());
    EXPECT_EQ(RF[1]->text(), caption(one));
    EXPECT_TRUE(RF[2]->isVisible());
    const QString shown = RF[2]->text();
    EXPECT_EQ(shown, caption(longer));
    EXPECT_TRUE(shown.contains("...")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/two.jpg"));
    EXPECT_LE(characterTextWidth(shown.toStdString()), 400);
    EXPECT_EQ(RF[3]->text(), caption(program / "R&D.png"));
    EXPECT_TRUE(RF[3]->text().endsWith("/R&&D.png"));
    for (int i = 4; i < 9; ++i) EXPECT_FALSE(RF[i]->isVisible());
}

TEST_F(StartupFixture, RecentItemOpensItsPathAndOpenDocumentsAreCaseExact)
{
    writeSettings([&](Settings& s) { s.RecentFiles[1].assign("/pics/Photo.JPG"); });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    std::vector<std::pair<std::string, std::string>> loaded;
    shell->handlers.loadBitmap = [&](const std::string& p, const std::string& e) { loaded.push_back({p, e}); };
    shell->RF_Click(1);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0], (std::pair<std::string, std::string>{"/pics/Photo.JPG", "JPG"}));

    auto* doc = new fImage;
    doc->Tag = "/pics/Photo.JPG";
    shell->main()->addDocument(doc);
    EXPECT_TRUE(shell->IsImageOpen("/pics/Photo.JPG"));
    EXPECT_FALSE(shell->IsImageOpen("/pics/Photo.jpg"));
    EXPECT_FALSE(shell->IsImageOpen("/pics/Photo"));
}

TEST_F(StartupFixture, HelpOpensThePageOrSaysItIsMissing)
{
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    QAction* help = shell->menus().item("ABOUT", 0);
    help->trigger();
    EXPECT_TRUE(browser.opened.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (platform::MessageBoxRequest{"Help Files are Missing! Please Re-install Talvex Quarlend Again",
                                              platform::MsgButtons::OK, platform::MsgIcon::Information, "Help Files Missing!"}));

    touch(program / "Help" / "default.htm");
    help->trigger();
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], (program / "Help" / "default.htm").string());

    shell->menus().item("ABOUT", 3)->trigger();
    EXPECT_EQ(browser.opened.back(), std::string(kPublisherSite) + "/quarlend/support/default.htm");
}

TEST_F(StartupFixture, ArrangeKeysTileTheDocumentsAndDoNothingWithoutThem)
{
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    shell->menus().item("VIEWS", 0)->trigger();   // no documents: nothing to do, nothing breaks

    QMdiArea* mdi = shell->main()->mdiArea();
    QMdiSubWindow* a = shell->main()->addDocument(new fImage);
    QMdiSubWindow* b = shell->main()->addDocument(new fImage);
    const QRect area = mdi->viewport()->rect();

    shell->menus().item("VIEWS", 0)->trigger();   // one above the other
    EXPECT_EQ(a->width(), area.width());
    EXPECT_EQ(b->width(), area.width());
    EXPECT_NE(a->y(), b->y());
    EXPECT_EQ(a->height() + b->height(), area.height());

    shell->menus().item("VIEWS", 1)->trigger();   // side by side
    EXPECT_EQ(a->height(), area.height());
    EXPECT_NE(a->x(), b->x());
    EXPECT_EQ(a->width() + b->width(), area.width());
}

// ---- Tool windows through the registry ---------------------------------

TEST_F(StartupFixture, ToolWindowsComeBackAsTheyWereLeft)
{
    PlainToolWindows registered(111, 77);
    writeSettings([](Settings& s) {
        s.TexturesBoxVisible = false;
        s.HistoryBoxCollapsed = true;
        s.PanoramicBoxLeft = 150;
        s.PanoramicBoxTop = 300;
        s.PanoramicBoxWidth = 3000;
        s.PanoramicBoxHeight = 1500;
    });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    // Slots in showing order: Color, Textures, History, Panoramic, Browser.
    EXPECT_TRUE(shell->toolWindow(0)->isVisible());
    EXPECT_FALSE(shell->toolWindow(1)->isVisible());   // loaded, hidden
    EXPECT_FALSE(shell->menus().item("VIEWS", 5)->isChecked());
    EXPECT_TRUE(shell->menus().item("VIEWS", 4)->isChecked());
    EXPECT_EQ(registered.rolled, std::vector<std::string>{"fPaste"});
    EXPECT_EQ(shell->toolWindow(3)->pos(), QPoint(10, 20));
    EXPECT_EQ(shell->toolWindow(3)->size(), QSize(200, 100));
    EXPECT_EQ(shell->toolWindow(0)->size(), QSize(111, 77));   // keeps its own size
}

TEST_F(StartupFixture, WindowsMenuTogglesAToolWindowAndItsFlag)
{
    PlainToolWindows registered(111, 77);
    writeSettings([](Settings& s) {
        s.HistoryBoxLeft = 300;
        s.HistoryBoxTop = 450;
        s.HistoryBoxWidth = 1500;
        s.HistoryBoxHeight = 3000;
    });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    QAction* history = shell->menus().item("VIEWS", 6);
    QWidget* w = shell->toolWindow(2);
    ASSERT_TRUE(history->isChecked());

    history->trigger();   // through the real menu item: hide
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(history->isChecked());
    EXPECT_FALSE(programSettings().HistoryBoxVisible);

    w->move(0, 0);
    history->trigger();   // show again at the saved place and size
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(history->isChecked());
    EXPECT_TRUE(programSettings().HistoryBoxVisible);
    EXPECT_EQ(w->pos(), QPoint(20, 30));
    EXPECT_EQ(w->size(), QSize(100, 200));

    // The window's own close button agrees with the menu, and one click on
    // the item brings it back.
    toolWindowClosedByUser("fPaste");
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(history->isChecked());
    EXPECT_FALSE(programSettings().HistoryBoxVisible);
    history->trigger();
    EXPECT_TRUE(w->isVisible());

    // The flags reach the settings file at the exit.
    history->trigger();
    shell->main()->close();
    Settings s;
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_FALSE(s.HistoryBoxVisible);
    EXPECT_TRUE(s.ColorBoxVisible);
}

TEST_F(StartupFixture, UnbuiltToolWindowsKeepTheirSettingsAsRead)
{
    writeSettings([](Settings& s) {
        s.BrowserBoxVisible = false;
        s.ColorBoxCollapsed = true;
        s.PanoramicBoxLeft = 1234;
    });
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    EXPECT_FALSE(shell->menus().item("VIEWS", 4)->isEnabled());
    shell->VIEWS_Click(4);
    shell->main()->close();
    Settings s;
    ASSERT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
    EXPECT_FALSE(s.BrowserBoxVisible);
    EXPECT_TRUE(s.ColorBoxVisible);
    EXPECT_TRUE(s.ColorBoxCollapsed);
    EXPECT_EQ(static_cast<int32_t>(s.PanoramicBoxLeft), 1234);
}

TEST(Splash, TimerRunsTheStartOnceAndAClickClosesIt)
{
    fSplash splash;
    int started = 0;
    splash.onStart = [&] { ++started; };
    splash.Form_Load();
    EXPECT_TRUE(splash.tSplash.isActive());
    EXPECT_EQ(splash.tSplash.interval(), 500);
    splash.tSplash_Timer();
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(splash.tSplash.isActive());

    fSplash other;
    int otherStarted = 0;
    other.onStart = [&] { ++otherStarted; };
    other.Form_Load();
    other.Form_Click();   // closed before its timer: nothing starts
    EXPECT_FALSE(other.isVisible());
    EXPECT_FALSE(other.tSplash.isActive());
    EXPECT_EQ(otherStarted, 0);
}

TEST_F(StartupFixture, BumpMappingConvolvesTheEnginePictureIntoTheDocument)
{
    auto shell = makeShell();
    ASSERT_TRUE(shell->StartApplication());
    fMain* w = shell->main();
    auto* doc = new fImage;
    doc->CreateBlank(4, 3);
    BitsBuffer pixels = doc->Bits();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) pixels.at(c, x, y) = static_cast<uint8_t>((x * x * 37 + y * 53 + c * 11) % 256);
    doc->setBits(pixels);
    w->addDocument(doc);
    // The engine holds the document's picture and its (whole-picture) region,
    // as the commands leave it.
    const Region whole = Region::rect(0, 0, 4, 3);
    w->cFilter.setBits(pixels);
    w->cFilter.setBitsRegion(&whole);

    // What the embossing kernel gives on its own.
    cBitFilter reference;
    reference.setBits(pixels);
    reference.setBitsRegion(&whole);
    KernelRecord k;
    ASSERT_TRUE(mBitmap::GetPresetKernel(k, 7));
    const FilterResult want = reference.MaskFilter(k.Mask, k.Weight, 0, 0, 0, true);
    ASSERT_TRUE(want.has_value());
    bool differs = false;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) differs |= want->at(0, x, y) != pixels.at(0, x, y);
    ASSERT_TRUE(differs);   // the fixture is one the kernel changes

    LastActionName() = "before";
    shell->menus().item("FILTERS", 24)->trigger();
    EXPECT_EQ(LastActionName(), "Bump Mapping...");
    const BitsBuffer got = doc->Bits();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(got.at(c, x, y), want->at(c, x, y)) << x << "," << y << "," << c;
    EXPECT_TRUE(doc->Changed);

    // An engine holding a picture of another size never gives the document
    // its size: the document's own pixels are taken first.
    BitsBuffer large(9, 9);
    large.fill(200);
    w->cFilter.setBits(large);
    shell->menus().item("FILTERS", 24)->trigger();
    EXPECT_EQ(doc->Bits().width(), 4);
    EXPECT_EQ(doc->Bits().height(), 3);
    EXPECT_EQ(doc->PictureWidth(), 4);

    // No document: nothing, not even the label.
    doc->Changed = false;
    w->mdiArea()->closeAllSubWindows();
    LastActionName() = "kept";
    shell->menus().item("FILTERS", 24)->trigger();
    EXPECT_EQ(LastActionName(), "kept");
}
