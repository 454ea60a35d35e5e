// The fixture of the end-to-end tests: a 9 x 6 picture in a folder of the
// test's own, tq-drive run on it as a process, and the saved file compared
// with what the engine gives.
#pragma once

#include "filters/cBitFilter.h"
#include "mainwindow/DirectFilters.h"
#include "core/Region.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

namespace tq {

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
        // The driver starts as a shell starts the program, whatever this
        // test ignores: with the file-size signal's default action (which
        // ends the process unless it sets the signal up itself).
        p.setChildProcessModifier([] { ::signal(SIGXFSZ, SIG_DFL); });
        QStringList all = {"--program-folder", dir.filePath("program")};
        all += args;
        p.start(QStringLiteral(TQ_DRIVE_PATH), all);
        EXPECT_TRUE(p.waitForFinished(120000));
        return DriveRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                   QString::fromLocal8Bit(p.readAllStandardError()).toStdString()};
    }

    // A picture's pixels as an engine buffer.
    static BitsBuffer bitsOf(const QImage& img)
    {
        BitsBuffer bits(img.width(), img.height());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                bits.at(0, x, y) = uint8_t(qBlue(c));
                bits.at(1, x, y) = uint8_t(qGreen(c));
                bits.at(2, x, y) = uint8_t(qRed(c));
            }
        return bits;
    }
    BitsBuffer inputBits() const { return bitsOf(input); }

    // The keys applied to the input directly on an engine of our own.
    BitsBuffer expected(const std::vector<std::string>& keys) const
    {
        BitsBuffer bits = inputBits();
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

} // namespace tq
