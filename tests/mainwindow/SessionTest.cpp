// A short session as a person would run it, with QTest events: the splash
// starts the program, the keyboard and the menus reach the commands, and
// closing the main window ends the run with the settings written.
#include "RecordingSink.h"
#include "document/ProgramContext.h"
#include "document/SettingsFile.h"
#include "document/Settings.h"
#include "mainwindow/fMain.h"
#include "mainwindow/fSplash.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tq;
namespace fs = std::filesystem;

namespace {

} // namespace

TEST(Session, SplashStartsTheProgramAndKeysReachTheCommands)
{
    QTemporaryDir programDir, runtimeDir;
    ScopedContext context;
    platform::TestPorts ports;
    platform::FakeFileDialogs& dialog = ports.pictureDialogs;
    StartOptions o;
    o.programFolder = programDir.path().toStdString();
    o.runtimeFolder = runtimeDir.path().toStdString();
    mStart shell(o);
    std::vector<std::string> exec, labels;
    std::vector<int> effects;
    shell.handlers.MenuExec = [&](const std::string& k) { exec.push_back(k); };
    shell.handlers.ApplyLayerEffects = [&](int id) { effects.push_back(id); };
    shell.handlers.GetActiveImage = [] { return true; };
    shell.handlers.SetLastActionName = [&](const std::string& l) { labels.push_back(l); };

    fSplash splash(nullptr, 0);
    splash.onStart = [&] { shell.StartApplication(&splash); };
    splash.Form_Load();
    // The splash's own timer starts the program.
    QTRY_VERIFY_WITH_TIMEOUT(shell.main() != nullptr && shell.main()->isVisible(), 10000);
    EXPECT_FALSE(splash.isVisible());
    fMain* w = shell.main();
    w->activateWindow();
    QApplication::setActiveWindow(w);

    // Keyboard: Ctrl+O shows the open dialog, Ctrl+Z undoes, Ctrl+U paints.
    QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialog.openRequests.size(), 1u);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(exec, (std::vector<std::string>{"UNDO", "PAINTING"}));
    EXPECT_EQ(labels, std::vector<std::string>{"Painting"});

    // Mouse: a double-click on the empty area opens the dialog as well.
    QTest::mouseDClick(w->mdiArea()->viewport(), Qt::LeftButton);
    EXPECT_EQ(dialog.openRequests.size(), 2u);

    // The menus: Filters 1 > Blur > Simple.
    QMenu* blur = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->text() == "Filters &1")
            for (QAction* b : a->menu()->actions())
                if (b->menu() && b->text() == "Blur") blur = b->menu();
    ASSERT_NE(blur, nullptr);
    for (QAction* a : blur->actions())
        if (a->text() == "Simple") a->trigger();
    EXPECT_EQ(effects, std::vector<int>{17});

    // Exit writes the settings file.
    shell.menus().item("mnuExit", -1)->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(fs::exists(Module8::SettingsFile(o.programFolder)));
}
