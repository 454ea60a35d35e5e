#include "platform/Ports.h"
#include "platform/QtPorts.h"
#include "platform/FileFilters.h"
#include "support/TestPorts.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "ScopedEnv.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>

#include <sys/stat.h>

namespace tq::platform {

TEST(MessageBoxPort, DoubleAnswersInOrderAndRecordsWhatWasShown)
{
    TestPorts tp;
    tp.messageBoxes.answers = {MsgResult::No, MsgResult::Cancel};
    EXPECT_EQ(MsgBox("Save changes?", MsgButtons::YesNoCancel, MsgIcon::Question, "Doc"), MsgResult::No);
    EXPECT_EQ(MsgBox("Again?", MsgButtons::YesNoCancel), MsgResult::Cancel);
    // No answer queued: the first button.
    EXPECT_EQ(MsgBox("Minimum size: 2 x 2"), MsgResult::OK);
    EXPECT_EQ(MsgBox("Go on?", MsgButtons::YesNo), MsgResult::Yes);
    tp.messageBoxes.defaultAnswer = MsgResult::No;
    EXPECT_EQ(MsgBox("Go on?", MsgButtons::YesNo), MsgResult::No);

    ASSERT_EQ(tp.messageBoxes.shown.size(), 5u);
    EXPECT_EQ(tp.messageBoxes.shown[0],
              (MessageBoxRequest{"Save changes?", MsgButtons::YesNoCancel, MsgIcon::Question, "Doc"}));
    EXPECT_EQ(tp.messageBoxes.shown[2].text, "Minimum size: 2 x 2");
    EXPECT_EQ(tp.messageBoxes.shown[2].buttons, MsgButtons::OK);
}

TEST(FileDialogPort, DoubleReturnsPathOrCancel)
{
    TestPorts tp;
    tp.fileDialogs.answerPath("/tmp/x/a.png", 2);
    tp.fileDialogs.answerCancel();
    FileDialogRequest rq;
    rq.title = "Save As";
    rq.filter = "Bitmap|*.bmp|PNG|*.png";
    const auto a = ports().fileDialogs->save(rq);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->path, "/tmp/x/a.png");
    EXPECT_EQ(a->filterIndex, 2);
    EXPECT_FALSE(ports().fileDialogs->open(rq));
    // Nothing queued: cancelled.
    EXPECT_FALSE(ports().fileDialogs->open(rq));
    EXPECT_EQ(tp.fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(tp.fileDialogs.openRequests.size(), 2u);
    EXPECT_EQ(tp.fileDialogs.saveRequests[0].title, "Save As");
}

TEST(Ports, ScopedPortsPutThePreviousPortsBack)
{
    MessageBoxes* before = ports().messageBoxes;
    Clipboard* clipBefore = ports().clipboard;
    {
        FakeMessageBoxes fake;
        ScopedPorts scope(Ports{&fake, nullptr, nullptr, nullptr});
        EXPECT_EQ(ports().messageBoxes, &fake);
        EXPECT_EQ(ports().clipboard, clipBefore);   // a null member keeps the port
    }
    EXPECT_EQ(ports().messageBoxes, before);

    PrinterSetup* printerBefore = ports().printerSetup;
    ASSERT_NE(printerBefore, nullptr);
    {
        TestPorts tp;
        tp.printerSetup.confirm = false;
        EXPECT_FALSE(ports().printerSetup->show());
        EXPECT_EQ(tp.printerSetup.shown, 1);
    }
    EXPECT_EQ(ports().printerSetup, printerBefore);
}

TEST(DoEvents, NestedCallReturnsAtOnce)
{
    TestPorts tp;
    int nestedRuns = -1;
    tp.pump.onRun = [&] {
        EXPECT_TRUE(insideDoEvents());
        DoEvents();   // from inside an event: must not run the pump again
        nestedRuns = tp.pump.runs;
    };
    DoEvents();
    EXPECT_EQ(nestedRuns, 1);
    EXPECT_EQ(tp.pump.runs, 1);
    EXPECT_FALSE(insideDoEvents());
    tp.pump.onRun = [] { throw 1; };
    EXPECT_ANY_THROW(DoEvents());
    EXPECT_FALSE(insideDoEvents());   // the guard is released on the way out
    tp.pump.onRun = nullptr;
    DoEvents();
    EXPECT_EQ(tp.pump.runs, 3);
}

TEST(DoEvents, QtPumpRunsQueuedEvents)
{
    QtMessagePump pump;
    ScopedPorts scope(Ports{.pump = &pump});
    bool ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ran = true; }, Qt::QueuedConnection);
    DoEvents();
    EXPECT_TRUE(ran);
}

TEST(ClipboardPort, DoubleKeepsThePictureWithZeroMarkers)
{
    TestPorts tp;
    EXPECT_FALSE(ports().clipboard->hasBitmap());
    EXPECT_FALSE(ports().clipboard->bitmap());
    DibRecord r;
    r.header = BitsHeader::forDib(1, 1);
    r.width = r.height = 1;
    r.bits = {10, 20, 30, 255};
    EXPECT_TRUE(ports().clipboard->setBitmap(r));
    const auto back = ports().clipboard->bitmap();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bits, (std::vector<uint8_t>{10, 20, 30, 0}));
    EXPECT_FALSE(ports().clipboard->setBitmap(DibRecord{}));
    ports().clipboard->clear();
    EXPECT_FALSE(ports().clipboard->hasBitmap());
}

TEST(ClipboardPort, QtClipboardRoundTripsAPicture)
{
    QtClipboard clip;
    DibRecord r;
    r.header = BitsHeader::forDib(3, 2);
    r.width = 3;
    r.height = 2;
    for (int i = 0; i < 24; ++i) r.bits.push_back(static_cast<uint8_t>(i * 10 + 1));
    ASSERT_TRUE(clip.setBitmap(r));
    ASSERT_TRUE(clip.hasBitmap());
    const auto back = clip.bitmap();
    ASSERT_TRUE(back);
    ASSERT_EQ(back->width, 3);
    ASSERT_EQ(back->height, 2);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(back->bits[i], i % 4 == 3 ? 0 : r.bits[i]) << "byte " << i;
    EXPECT_EQ(back->header, BitsHeader::forDib(3, 2));
    clip.clear();
}

TEST(FileDialogPort, FilterPairsBecomeCaseBlindNameFilters)
{
    const struct {
        const char* pairs;
        std::vector<std::string> filters;
    } cases[] = {
        {"", {}},
        {"Bitmap|*.bmp", {"Bitmap (*.[bB][mM][pP])"}},
        {"Bitmap (*.bmp)|*.bmp|All files|*.*", {"Bitmap (*.bmp) (*.[bB][mM][pP])", "All files (*.*)"}},
        {"JPEG|*.jpg; *.jpeg", {"JPEG (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])"}},
        {"Selection Files (*.qsf)|*.qsf", {"Selection Files (*.qsf) (*.[qQ][sS][fF])"}},
    };
    for (const auto& c : cases) EXPECT_EQ(dialogNameFilters(c.pairs), c.filters) << c.pairs;
}

// The patterns a dialog gets list a file whatever the case of its name: the
// selection dialogs' filter must show "SEL.QSF" as well as "sel.qsf".
TEST(FileDialogPort, NameFiltersMatchEveryCase)
{
    const std::string filter = dialogNameFilters("Selection Files (*.qsf)|*.qsf").front();
    const QString patterns = QString::fromStdString(filter.substr(filter.rfind('(') + 1, filter.size() - filter.rfind('(') - 2));
    for (const char* name : {"sel.qsf", "SEL.QSF", "Sel.Qsf"})
        EXPECT_TRUE(QDir::match(patterns, QString::fromLatin1(name))) << name;
    EXPECT_FALSE(QDir::match(patterns, QStringLiteral("sel.qsfx")));
}

namespace {

// A program of the test's own, "name" in the folder, made executable.
void writeScript(const QTemporaryDir& dir, const char* name, const std::string& body)
{
    const std::string path = dir.filePath(QString::fromUtf8(name)).toStdString();
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
}

} // namespace

// The outside-programs port runs a program found on PATH with its
// arguments and gives its exit code; one that is still running at the time
// limit is stopped and counts as failed.
TEST(ProcessesPort, ExitCodesAndAProgramThatHangsIsStoppedAtTheLimit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string pids = dir.filePath(QStringLiteral("pids")).toStdString();
    writeScript(dir, "tq-exits", "exit \"$1\"");
    writeScript(dir, "tq-hangs", "echo $$ >> '" + pids + "'\nexec sleep 60");
    const char* path = std::getenv("PATH");
    ScopedEnv onPath("PATH", dir.path().toStdString() + ":" + (path ? path : "/usr/bin:/bin"));

    QtProcesses processes(300);
    const struct {
        const char* program;
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {"tq-exits", {"0"}, 0},
        {"tq-exits", {"3"}, 3},
        {"tq-no-such-program", {}, -1},
        {"tq-hangs", {}, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(processes.run(c.program, c.args), c.code) << c.program;

    // The hung program is gone, not left sleeping.
    std::ifstream in(pids);
    pid_t pid = 0;
    ASSERT_TRUE(in >> pid);
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    EXPECT_EQ(QtProcesses().run("tq-exits", {"0"}), 0);
    EXPECT_EQ(kProcessTimeLimitMs, 5000);
}

TEST(Ports, TwipsPerPixelAreFixed)
{
    EXPECT_EQ(TwipsPerPixelX(), 15);
    EXPECT_EQ(TwipsPerPixelY(), 15);
}

} // namespace tq::platform

namespace tq::platform {

// The desktop's opener is a script of the test's own on PATH: one that says
// no program handles the page, one that hands it over and ends, one that
// keeps running with the page shown. Each writes the address it was given.
TEST(BrowserPort, SaysWhenTheDesktopCannotOpenThePage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto opener = [&](const char* body) {
        writeScript(dir, "xdg-open", "printf '%s' \"$1\" > '" + dir.filePath("asked").toStdString() + "'\n" + body);
    };
    const auto asked = [&] {
        QFile f(dir.filePath("asked"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    };
    ScopedEnv path("PATH", dir.path().toStdString());
    QtBrowser browser(300);
    const std::string page = "/opt/quarlend/Help/default.htm";

    const struct {
        const char* body;
        bool opened;
    } cases[] = {
        {"exit 3", false},       // no program handles it
        {"exit 0", true},        // handed over to a running browser
        {"/bin/sleep 1", true},  // the browser runs under the opener
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        opener(c.body);
        EXPECT_EQ(browser.open(page), c.opened);
        EXPECT_TRUE(QTest::qWaitFor([&] { return asked() == page; }, 2000));
        QFile::remove(dir.filePath("asked"));
    }
    // An address goes over as it is.
    opener("exit 0");
    const std::string address = "https://example.invalid/x?a=1&b=2";
    EXPECT_TRUE(browser.open(address));
    EXPECT_EQ(asked(), address);

    // No opener and nothing else to start.
    QFile::remove(dir.filePath("xdg-open"));
    EXPECT_FALSE(browser.open(page));
}

} // namespace tq::platform
