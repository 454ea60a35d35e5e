// End to end through tq-drive: the picture printed through the print dialog
// to PDF files, which are read back for their pages; the file is asked for
// at every print and a file already there is confirmed before it goes.
#include "DriveFixture.h"

#include <QFile>
#include <QRegularExpression>

namespace tq {
namespace {

using DrivePrint = DriveFixture;

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page objects of a PDF file ("/Type /Page", not the "/Pages" tree);
// -1 when the file is no PDF.
int pageCount(const QString& file)
{
    const QByteArray pdf = bytesOf(file);
    if (!pdf.startsWith("%PDF-")) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    int n = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) ++n;
    return n;
}

TEST_F(DrivePrint, APdfHoldsOnePagePerCopy)
{
    const DriveRun r = drive({"--open", path("in.png"), "--print", path("one.pdf"), "--print",
                              path("three.pdf") + ",fit,centre,copies=3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(pageCount(path("one.pdf")), 1);
    EXPECT_EQ(pageCount(path("three.pdf")), 3);
}

TEST_F(DrivePrint, EveryPrintAsksForItsFileAndConfirmsOneThatExists)
{
    // The second print of a run goes where it is told, not where the first
    // went.
    DriveRun r = drive({"--open", path("in.png"), "--print", path("first.pdf"), "--print", path("second.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(pageCount(path("first.pdf")), 1);
    EXPECT_EQ(pageCount(path("second.pdf")), 1);
    EXPECT_EQ(r.err.find("tq-drive: message:"), std::string::npos) << r.err;

    // A file already there: "No" keeps it as it was, to the byte.
    QFile old(path("old.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not to be lost");
    old.close();
    r = drive({"--open", path("in.png"), "--print", path("old.pdf"), "--answer", "no"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("tq-drive: message: Talvex Quarlend: " + path("old.pdf").toStdString() + " already exists."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(bytesOf(path("old.pdf")), QByteArray("not to be lost"));

    // "Yes" replaces it.
    r = drive({"--open", path("in.png"), "--print", path("old.pdf"), "--answer", "yes"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find(" already exists."), std::string::npos) << r.err;
    EXPECT_EQ(pageCount(path("old.pdf")), 1);
}

TEST_F(DrivePrint, BadPrintStepsAreRefused)
{
    const std::pair<QString, const char*> cases[] = {
        {path("x.pdf") + ",copies=0", "the copies are 1 to 99"},
        {path("x.pdf") + ",copies=100", "the copies are 1 to 99"},
        {path("x.pdf") + ",middle", "--print takes OUT.pdf[,fit][,centre][,copies=N]"},
        {",fit", "--print needs the PDF file first"},
    };
    for (const auto& [value, message] : cases) {
        SCOPED_TRACE(value.toStdString());
        const DriveRun r = drive({"--open", path("in.png"), "--print", value});
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(QFile::exists(path("x.pdf")));
}

} // namespace
} // namespace tq
