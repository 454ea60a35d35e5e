// The kernel file: its bytes laid out field by field, the descriptor and
// length checks before anything is trusted, and saves that replace the file
// whole (no older tail) without ever destroying it on failure.
#include "filters/UserFilterFile.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "filters/KernelRecords.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tq {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

int32_t le32(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<int32_t>(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                                uint32_t(bytes[at + 3]) << 24);
}

} // namespace

TEST(UserFilterFile, ThreeByThreeIsSeventyBytesColumnByColumn)
{
    // The only non-zero coefficient is Mask(0, 1): the middle of the top row.
    const std::vector<uint8_t> want = {
        0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                            // Mask(0..2, 0)
        1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                            // Mask(0..2, 1)
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                            // Mask(0..2, 2)
        1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                // weight and the three offsets
    };
    const KernelRecord k = kernelRows(3, {0, 1, 0, 0, 0, 0, 0, 0, 0}, 1);
    EXPECT_EQ(UserFilterFile::encode(k), want);
    EXPECT_EQ(want.size(), 70u);
    EXPECT_EQ(UserFilterFile::decode(want), k);
}

TEST(UserFilterFile, FieldsSitWhereTheLayoutPutsThem)
{
    struct Case {
        int32_t n;
        size_t size, weightAt;
    } cases[] = {{3, 70, 54}, {5, 134, 118}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        KernelRecord k = kernelRows(c.n, {}, 999, 10, 20, 30);
        // Every coefficient different, negatives among them.
        for (int32_t row = 0; row < c.n; ++row)
            for (int32_t col = 0; col < c.n; ++col) k.Mask(row, col) = 100 * row + col - 7;
        const std::vector<uint8_t> bytes = UserFilterFile::encode(k);
        ASSERT_EQ(bytes.size(), c.size);
        for (int32_t row = 0; row < c.n; ++row)
            for (int32_t col = 0; col < c.n; ++col)
                EXPECT_EQ(le32(bytes, 18 + 4 * size_t(col * c.n + row)), k.Mask(row, col)) << row << "," << col;
        EXPECT_EQ(le32(bytes, c.weightAt), 999);
        EXPECT_EQ(le32(bytes, c.weightAt + 4), 10);    // red
        EXPECT_EQ(le32(bytes, c.weightAt + 8), 20);    // green
        EXPECT_EQ(le32(bytes, c.weightAt + 12), 30);   // blue
        EXPECT_EQ(UserFilterFile::decode(bytes), k);
    }
    // Only 3 x 3 and 5 x 5 kernels have a file form.
    EXPECT_TRUE(UserFilterFile::encode(kernelRows(4, {}, 1)).empty());
    EXPECT_TRUE(UserFilterFile::encode(KernelRecord{}).empty());
}

TEST(UserFilterFile, DescriptorAndLengthAreCheckedBeforeTheyAreTrusted)
{
    const std::vector<uint8_t> good3 = UserFilterFile::encode(kernelRows(3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 45, 1, 2, 3));
    const std::vector<uint8_t> good5 = UserFilterFile::encode(kernelRows(5, {1}, 1));
    auto with = [](std::vector<uint8_t> b, size_t at, uint32_t v, int width = 4) {
        for (int i = 0; i < width; ++i) b[at + i] = uint8_t(v >> (8 * i));
        return b;
    };
    auto cut = [](std::vector<uint8_t> b, size_t size) {
        b.resize(size);
        return b;
    };
    struct Case {
        const char* why;
        std::vector<uint8_t> bytes;
    } refused[] = {
        {"empty", {}},
        {"header only", cut(good3, 18)},
        {"3 x 3 one byte short", cut(good3, 69)},
        {"5 x 5 one byte short", cut(good5, 133)},
        {"one dimension", with(good3, 0, 1, 2)},
        {"three dimensions", with(good3, 0, 3, 2)},
        {"four elements", with(with(good3, 2, 4), 10, 4)},
        {"no elements", with(with(good3, 2, 0), 10, 0)},
        {"a huge count", with(with(good3, 2, 0x7FFFFFFF), 10, 0x7FFFFFFF)},
        {"a negative count", with(with(good3, 2, 0xFFFFFFFD), 10, 0xFFFFFFFD)},
        {"3 by 5", with(good5, 2, 3)},
        {"first lower bound 1", with(good3, 6, 1)},
        {"second lower bound -1", with(good3, 14, 0xFFFFFFFF)},
        // A 5 x 5 descriptor over a 3 x 3 record: the file ends before it.
        {"announces more than it holds", with(with(good3, 2, 5), 10, 5)},
    };
    for (const Case& c : refused) EXPECT_FALSE(UserFilterFile::decode(c.bytes)) << c.why;

    // Whatever follows the record is not read.
    std::vector<uint8_t> tailed = good3;
    tailed.insert(tailed.end(), 64, 0xEE);
    EXPECT_EQ(UserFilterFile::decode(tailed), UserFilterFile::decode(good3));
    // Stored values are taken as they are: the editor holds them to range.
    const KernelRecord odd = kernelRows(3, {-5000, 0, 70000}, 0, 300, -4, 256);
    EXPECT_EQ(UserFilterFile::decode(UserFilterFile::encode(odd)), odd);
}

class UserFilterFiles : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QTemporaryDir dir;
};

TEST_F(UserFilterFiles, SaveReplacesTheWholeFileAndLoadReadsItBack)
{
    const std::string file = path("k.qif");
    const KernelRecord five = kernelRows(5, {1, 0, 0, 0, 2}, 3, 4, 5, 6);
    const KernelRecord three = kernelRows(3, {0, -1, 0, -1, 5, -1, 0, -1, 0}, 1, 7, 8, 9);
    ASSERT_TRUE(UserFilterFile::save(file, five));
    EXPECT_EQ(fs::file_size(file), 134u);
    // A 3 x 3 kernel over the 134-byte file leaves no tail behind.
    ASSERT_TRUE(UserFilterFile::save(file, three));
    EXPECT_EQ(readFile(file), UserFilterFile::encode(three));
    KernelRecord loaded;
    EXPECT_EQ(UserFilterFile::load(file, loaded), UserFilterFile::LoadStatus::Loaded);
    EXPECT_EQ(loaded, three);
    // An older file with a tail still loads.
    std::vector<uint8_t> tailed = UserFilterFile::encode(three);
    tailed.resize(134, 0x55);
    writeFile(file, tailed);
    loaded = KernelRecord{};
    EXPECT_EQ(UserFilterFile::load(file, loaded), UserFilterFile::LoadStatus::Loaded);
    EXPECT_EQ(loaded, three);
}

TEST_F(UserFilterFiles, RefusedLoadsLeaveTheKernelAsItWas)
{
    const KernelRecord before = kernelRows(3, {1, 2, 3}, 6, 1, 1, 1);
    std::vector<uint8_t> cutShort = UserFilterFile::encode(before);
    cutShort.resize(40);
    writeFile(path("short.qif"), cutShort);
    writeFile(path("text.qif"), std::vector<uint8_t>(200, 'x'));
    fs::create_directory(path("folder.qif"));
    struct Case {
        const char* name;
        UserFilterFile::LoadStatus status;
    } cases[] = {
        {"missing.qif", UserFilterFile::LoadStatus::Unreadable},
        {"folder.qif", UserFilterFile::LoadStatus::Unreadable},
        {"short.qif", UserFilterFile::LoadStatus::NotAKernel},
        {"text.qif", UserFilterFile::LoadStatus::NotAKernel},
    };
    for (const Case& c : cases) {
        KernelRecord k = before;
        EXPECT_EQ(UserFilterFile::load(path(c.name), k), c.status) << c.name;
        EXPECT_EQ(k, before) << c.name;
    }
}

TEST_F(UserFilterFiles, AFailedSaveKeepsTheOldFile)
{
    const std::string file = path("keep.qif");
    const KernelRecord old = kernelRows(5, {9}, 9);
    ASSERT_TRUE(UserFilterFile::save(file, old));
    {
        ScopedFileSizeLimit full(16);   // the disk fills up during the write
        EXPECT_FALSE(UserFilterFile::save(file, kernelRows(3, {1}, 1)));
    }
    EXPECT_EQ(readFile(file), UserFilterFile::encode(old));
    EXPECT_FALSE(UserFilterFile::save(path("no/such/folder.qif"), old));
    // A kernel with no file form writes nothing.
    EXPECT_FALSE(UserFilterFile::save(path("none.qif"), kernelRows(4, {1}, 1)));
    EXPECT_FALSE(fs::exists(path("none.qif")));
    // Nothing is left behind in the folder but the file itself.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path().toStdString())) entries += e.path().filename() != "keep.qif";
    EXPECT_EQ(entries, 0);
}

} // namespace tq
