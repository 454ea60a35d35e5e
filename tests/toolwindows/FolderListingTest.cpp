// The browser's folder listing without a window: which files are listed, in
// which order, and the text of each column.
#include "document/PictureFixtures.h"
#include "document/SizeLabel.h"
#include "toolwindows/FolderListing.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace tq;
using namespace tq::browser;
using tq::testing::PictureTempDir;

namespace {

void writeBytes(const std::string& path, size_t n)
{
    std::ofstream f(path, std::ios::binary);
    f << std::string(n, 'x');
}

std::vector<std::string> names(const std::vector<FolderRow>& rows)
{
    std::vector<std::string> v;
    for (const FolderRow& r : rows) v.push_back(r.name);
    return v;
}

} // namespace

TEST(FolderListing, ExtensionLists)
{
    EXPECT_EQ(listedExtensions().size(), 43u);
    EXPECT_EQ(iconExtensions().size(), 50u);
    for (const char* e : listedExtensions())
        EXPECT_NE(std::find_if(iconExtensions().begin(), iconExtensions().end(),
                               [&](const char* i) { return std::string_view(i) == e; }),
                  iconExtensions().end())
            << e << " has an icon";
    // cur, dds, mdl, pnm, raw, rlf and wal have icons but are not listed.
    for (const char* e : {"cur", "dds", "mdl", "pnm", "raw", "rlf", "wal", "ico", ""})
        EXPECT_FALSE(isListedExtension(e)) << e;
    EXPECT_TRUE(isListedExtension("rgba"));
    EXPECT_FALSE(isListedExtension("JPG")) << "the caller lowers the case";
}

TEST(FolderListing, AttributeCodes)
{
    const std::pair<int32_t, const char*> table[] = {
        {0, "F,N"},        {1, "F,R"},         {2, "F,H"},     {4, "F,S"},      {32, "F,N,A"},
        {33, "F,A,R"},     {34, "F,A,H"},      {35, "F,A,R,H"}, {36, "F,A,S"},  {37, "F,A,R,S"},
        {38, "F,A,H,S"},   {39, "F,A,R,H,S"},  {2080, "System"}, {3, "System"}, {8, "System"},
    };
    for (auto [value, code] : table) EXPECT_EQ(attributeCode(value), code) << value;

    EXPECT_EQ(fileAttributes(S_IFREG | 0644, "a.jpg"), 0);
    EXPECT_EQ(fileAttributes(S_IFREG | 0444, "a.jpg"), kAttrReadOnly);
    EXPECT_EQ(fileAttributes(S_IFREG | 0644, ".a.jpg"), kAttrHidden);
}

TEST(FolderListing, SizeLabels)
{
    struct Case {
        uint64_t bytes;
        const char* tenths;
        const char* whole;
    };
    const Case cases[] = {
        {0, "0 KB", "0 KB"},
        {1536, "1.5 KB", "2 KB"},
        {512, "0.5 KB", "0 KB"},
        {3072, "3 KB", "3 KB"},
        {12800, "12.5 KB", "12 KB"},
        // 51 bytes are 0.498 tenths of a kilobyte, 52 bytes 0.508.
        {51, "0 KB", "0 KB"},
        {52, "0.1 KB", "0 KB"},
        // 256 bytes are 2.5 tenths exactly, 768 bytes 7.5: to the even tenth.
        {256, "0.2 KB", "0 KB"},
        {768, "0.8 KB", "1 KB"},
        {1024 + 256, "1.2 KB", "1 KB"},
        {2560, "2.5 KB", "2 KB"},
        {uint64_t(1) << 40, "1073741824 KB", "1073741824 KB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tenthKilobyteLabel(c.bytes), c.tenths) << c.bytes;
        EXPECT_EQ(SizeLabel(c.bytes), c.whole) << c.bytes;
    }
    EXPECT_EQ(tenthKilobyteLabel(1536, ","), "1,5 KB");
    EXPECT_EQ(extensionOf("/a.b/photo.JPG"), "JPG");
    EXPECT_EQ(extensionOf("/a.b/noext"), "");
    EXPECT_EQ(extensionOf("archive.tar.gz"), "gz");
}

TEST(FolderListing, ListsThePictureFilesOfAFolderInNameOrder)
{
    PictureTempDir dir;
    const std::string folder = dir.path("pics");
    std::filesystem::create_directory(folder);
    writeBytes(folder + "/photo.JPG", 1536);
    writeBytes(folder + "/b.png", 0);
    writeBytes(folder + "/A.tif", 10);
    writeBytes(folder + "/noext", 10);
    writeBytes(folder + "/icon.ico", 10);
    writeBytes(folder + "/cursor.cur", 10);
    writeBytes(folder + "/.hidden.jpg", 10);
    std::filesystem::create_directory(folder + "/folder.jpg");
    ASSERT_EQ(::mkfifo((folder + "/pipe.jpg").c_str(), 0600), 0);
    writeBytes(folder + "/locked.bmp", 5);
    ::chmod((folder + "/locked.bmp").c_str(), 0444);

    const std::vector<FolderRow> rows = listFolder(folder);
    EXPECT_EQ(names(rows), (std::vector<std::string>{"A.tif", "b.png", "locked.bmp", "photo.JPG"}));
    const FolderRow& photo = rows[3];
    EXPECT_EQ(photo.path, folder + "/photo.JPG");
    EXPECT_EQ(photo.location, folder);
    EXPECT_EQ(photo.sizeText, "1.5 KB");
    EXPECT_EQ(photo.iconKey, "jpg");
    EXPECT_EQ(photo.attributes, "F,N");
    EXPECT_FALSE(photo.system);
    EXPECT_EQ(photo.created.size(), 10u);
    EXPECT_EQ(photo.accessed.size(), 19u);
    EXPECT_EQ(rows[1].sizeText, "0 KB");
    EXPECT_EQ(rows[2].attributes, "F,R");
    ::chmod((folder + "/locked.bmp").c_str(), 0644);

    // A folder that cannot be read lists nothing.
    EXPECT_TRUE(listFolder(dir.path("missing")).empty());
    EXPECT_EQ(columnHeaders().size(), 7u);
    EXPECT_STREQ(columnHeaders()[2], "Size (KB)");
}

// The date columns write the day in digits in the locale's order, whatever
// its short date looks like: a named month would be cut by the column.
TEST(FolderListing, DatesAreWrittenInDigitsInTheLocalesOrder)
{
    const QLocale saved;
    const int64_t moment = QDateTime(QDate(2026, 12, 11), QTime(0, 29, 5)).toSecsSinceEpoch();
    struct Case {
        QLocale locale;
        const char* day;
        const char* withTime;
    };
    const Case cases[] = {
        {QLocale::c(), "11/12/2026", "11/12/2026 00:29:05"},   // "d MMM yyyy"
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "11/12/2026", "11/12/2026 00:29:05"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/11/2026", "12/11/2026 00:29:05"},
        {QLocale(QLocale::German, QLocale::Germany), "11.12.2026", "11.12.2026 00:29:05"},
        {QLocale(QLocale::Swedish, QLocale::Sweden), "2026-12-11", "2026-12-11 00:29:05"},
    };
    for (const Case& c : cases) {
        QLocale::setDefault(c.locale);
        EXPECT_EQ(numericDate(moment, false), c.day) << c.locale.name().toStdString();
        EXPECT_EQ(numericDate(moment, true), c.withTime) << c.locale.name().toStdString();
    }
    QLocale::setDefault(saved);

    // A listed file's last access, as set.
    PictureTempDir dir;
    const std::string folder = dir.path("seen");
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/seen.png";
    writeBytes(file, 1);
    const timespec times[2] = {{static_cast<time_t>(moment), 0}, {UTIME_OMIT, UTIME_OMIT}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    const std::vector<FolderRow> rows = listFolder(folder);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].accessed, numericDate(moment, true));
}
