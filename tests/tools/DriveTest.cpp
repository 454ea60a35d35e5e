// End to end through tq-drive: a picture file opened as a document, direct
// filter keys run through the main window's dispatcher, the document saved,
// and the saved file compared with the engine's own result.
#include "DriveFixture.h"

#include <filesystem>

#include <sys/stat.h>

namespace tq {

TEST_F(DriveFixture, DirectFilterKeysEndToEnd)
{
    const std::vector<std::vector<std::string>> runs = {
        {"GRAYSCALE", "UNDO", "REDO"},
        {"INVERT"},
        {"FLIPH", "FLIPV"},
        {"SEPIATONE"},
        {"LUMMINUS", "RGB2BRG", "HARDRED"},
        {"HEAVYBLUR", "EDGEENHANCE", "CURTAINWHITY"},
        {"FISHEYE", "OLDPHOTO", "EQUALIZE"},
    };
    for (const auto& keys : runs) {
        SCOPED_TRACE(keys.front());
        QStringList args = {"--open", path("in.png"), "--save", path("out.bmp")};
        for (const std::string& k : keys) args << "--key" << QString::fromStdString(k);
        const DriveRun r = drive(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        expectPicture(path("out.bmp"), expected(keys));
    }
}

TEST_F(DriveFixture, RunsOffscreenWhateverPlatformTheCallerHasSet)
{
    // A desktop session's platform, with no display to reach: the driver
    // must not try to show its windows there.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const DriveRun r = drive({"--open", path("in.png"), "--key", "INVERT", "--save", path("env.bmp")}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    expectPicture(path("env.bmp"), expected({"INVERT"}));
}

TEST_F(DriveFixture, AFailingStepEndsTheRunWithItsMessage)
{
    // A key no command has (the grey filter's key is spelt GRAYSCALE).
    DriveRun r = drive({"--open", path("in.png"), "--key", "GREYSCALE", "--save", path("never.bmp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("GREYSCALE"), std::string::npos) << r.err;
    EXPECT_FALSE(QFile::exists(path("never.bmp")));

    // A file that is no picture.
    QFile bad(path("bad.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    r = drive({"--open", path("bad.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Unexpected error loading image"), std::string::npos) << r.err;

    // A save into a folder that does not exist.
    r = drive({"--open", path("in.png"), "--save", dir.filePath("missing/out.bmp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Unexpected error saving image"), std::string::npos) << r.err;

    // An information box (a refused cut) is reported, answered and the run goes on.
    r = drive({"--open", path("in.png"), "--key", "CUT", "--save", path("cut.bmp")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Minimum cut size: 2 x 2"), std::string::npos) << r.err;

    // A bad command line.
    r = drive({"--key"});
    EXPECT_EQ(r.exitCode, 2);
}

// A save onto a FIFO, or a link to one, used to replace it by a regular
// file and succeed: it is refused with the reason and left as it was.
TEST_F(DriveFixture, ASaveOntoAFifoIsRefusedWithTheReason)
{
    const std::string fifo = path("pipe.bmp").toStdString();
    const std::string link = path("link.png").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(fifo, link);
    for (const std::string& target : {fifo, link}) {
        SCOPED_TRACE(target);
        const DriveRun r = drive({"--open", path("in.png"), "--key", "INVERT", "--save", QString::fromStdString(target)});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(target + " is not a regular file"), std::string::npos) << r.err;
        struct stat st {};
        ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        EXPECT_TRUE(std::filesystem::is_symlink(link));
    }
}

} // namespace tq
