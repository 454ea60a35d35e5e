// End to end through tq-drive: a picture file opened as a document, direct
// filter keys run through the main window's dispatcher, the document saved,
// and the saved file compared with the engine's own result.
#include "filters/cBitFilter.h"
#include "mainwindow/DirectFilters.h"
#include "platform/Region.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace tq {
namespace {

struct DriveRun {
    int exitCode = -1;
    std::string err;
};

class DriveFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // A 9 x 6 picture, every pixel different.
        QImage img(9, 6, QImage::Format_RGB32);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x) img.setPixel(x, y, qRgb(20 + 25 * x, 40 + 30 * y, 200 - 11 * x - 7 * y));
        ASSERT_TRUE(img.save(path("in.png"), "PNG"));
        input = img;
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    DriveRun drive(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess p;
        p.setProcessEnvironment(env);
        QStringList all = {"--program-folder", dir.filePath("program")};
        all += args;
        p.start(QStringLiteral(TQ_DRIVE_PATH), all);
        EXPECT_TRUE(p.waitForFinished(120000));
        return DriveRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                   QString::fromLocal8Bit(p.readAllStandardError()).toStdString()};
    }

    // The keys applied to the input directly on an engine of our own.
    BitsBuffer expected(const std::vector<std::string>& keys) const
    {
        BitsBuffer bits(input.width(), input.height());
        for (int y = 0; y < input.height(); ++y)
            for (int x = 0; x < input.width(); ++x) {
                const QRgb c = input.pixel(x, y);
                bits.at(0, x, y) = uint8_t(qBlue(c));
                bits.at(1, x, y) = uint8_t(qGreen(c));
                bits.at(2, x, y) = uint8_t(qRed(c));
            }
        const Region whole = Region::rect(0, 0, input.width(), input.height());
        cBitFilter engine;
        engine.setBits(bits);
        engine.setBitsRegion(&whole);
        for (const std::string& key : keys) {
            const auto* row = findDirectFilter<cBitFilter>(key);
            if (!row) continue;
            FilterResult r = row->run(engine);
            if (r) engine.setBits(std::move(*r));
        }
        return engine.Bits();
    }

    static void expectPicture(const QString& file, const BitsBuffer& want)
    {
        QImage got(file);
        ASSERT_FALSE(got.isNull()) << file.toStdString();
        ASSERT_EQ(got.width(), want.width());
        ASSERT_EQ(got.height(), want.height());
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x) {
                const QRgb c = got.pixel(x, y);
                ASSERT_EQ(qBlue(c), want.at(0, x, y)) << x << "," << y;
                ASSERT_EQ(qGreen(c), want.at(1, x, y)) << x << "," << y;
                ASSERT_EQ(qRed(c), want.at(2, x, y)) << x << "," << y;
            }
    }

    QTemporaryDir dir;
    QImage input;
};

} // namespace

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

} // namespace tq
