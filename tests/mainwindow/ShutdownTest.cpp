// The main window's end: the shell destroys it at every shutdown. The shell
// filters the window's and its viewport's events; a filter still in place
// while the window is torn down calls into a half-destroyed window. Nothing in a normal build shows that; the sanitizer
// build (`make test-sanitize`, halting on the first report) fails these.
#include "document/ProgramContext.h"
#include "support/TestPorts.h"
#include "mainwindow/fMain.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tq;

namespace {

struct ShutdownFixture : StartedProgramFixture {
    // A started shell whose main window shows one document window.
    std::unique_ptr<mStart> startedWithADocument()
    {
        auto shell = makeShell();
        if (!shell->StartApplication()) return nullptr;
        QMdiSubWindow* sub = shell->main()->mdiArea()->addSubWindow(new QLabel(QStringLiteral("picture")));
        sub->show();
        return shell;
    }
};

} // namespace

TEST_F(ShutdownFixture, ShellDestroyedWithItsWindowStillOpen)
{
    auto shell = startedWithADocument();
    ASSERT_TRUE(shell);
    QPointer<fMain> main = shell->main();
    shell.reset();
    EXPECT_TRUE(main.isNull());
}

TEST_F(ShutdownFixture, ShellDestroyedAfterItsWindowClosed)
{
    auto shell = startedWithADocument();
    ASSERT_TRUE(shell);
    QPointer<fMain> main = shell->main();
    shell->main()->close();
    EXPECT_TRUE(shell->unloaded());
    shell.reset();
    EXPECT_TRUE(main.isNull());
}
