// Faults found by using the program as a new user would: the exit with
// changed documents, the arrangement of document windows, the status panels
// after the commands that change what they show, and the messages that take
// the place of silence. The real program, started as main() starts it.
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "mainwindow/mStart.h"
#include "platform/TestPorts.h"
#include "FileSizeLimit.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace tq;

namespace {

void focusMain(fMain* w)
{
    w->activateWindow();
    QApplication::setActiveWindow(w);
}

struct UseSession : ::testing::Test {
    QTemporaryDir programDir, runtimeDir, pictures;
    ScopedContext context;
    platform::TestPorts ports;
    platform::FakeMessageBoxes& messages = ports.messageBoxes;
    std::unique_ptr<mStart> shell;
    fMain* w = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid() && runtimeDir.isValid() && pictures.isValid());
        StartOptions o;
        o.programFolder = programDir.path().toStdString();
        o.runtimeFolder = runtimeDir.path().toStdString();
        o.measure = characterTextWidth;
        shell = std::make_unique<mStart>(o);
        ASSERT_TRUE(shell->StartApplication());
        w = shell->main();
        ASSERT_NE(w, nullptr);
        focusMain(w);
    }
    void TearDown() override
    {
        if (w) {
            for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
                if (auto* doc = qobject_cast<fImage*>(sub->widget())) doc->Changed = false;
            w->close();
        }
        shell.reset();
    }

    fImage* open(int width, int height, const QString& name)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(qRgb(40, 90, 160));
        const std::string path = pictures.filePath(name).toStdString();
        if (!picture.save(QString::fromStdString(path), "PNG")) return nullptr;
        ports.pictureDialogs.answers.push_back(platform::FileDialogAnswer{path, 1, pictures.path().toStdString()});
        focusMain(w);
        QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);
        const auto subs = w->mdiArea()->subWindowList();
        return subs.isEmpty() ? nullptr : qobject_cast<fImage*>(subs.last()->widget());
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
