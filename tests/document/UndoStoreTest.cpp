#include "document/UndoStore.h"
#include "document/HistoryModel.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <iterator>
#include <new>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace tq {

namespace fs = std::filesystem;

namespace {

// A document as the store sees it: a picture, a selection flag and the two
// status panels it writes.
struct FakeDocument : UndoTarget {
    BitsBuffer bits;
    bool hasSelection = true;
    int restores = 0;
    bool lastSizeChanged = false;
    std::string actionsPanel;
    std::string pixelPanel;

    const BitsBuffer& undoBits() const override { return bits; }
    void restoreBits(BitsBuffer& b, bool sizeChanged) override
    {
        if (sizeChanged) hasSelection = false;
        std::swap(bits, b);
        ++restores;
        lastSizeChanged = sizeChanged;
    }
    void setActionsPanel(const std::string& t) override { actionsPanel = t; }
    void setPixelPanel(const std::string& t) override { pixelPanel = t; }
    std::vector<std::pair<fs::path, int>> notWritten;
    std::vector<int> missing;
    void snapshotNotWritten(const fs::path& folder, int error) override { notWritten.emplace_back(folder, error); }
    void snapshotMissing(int step) override { missing.push_back(step); }

    // A picture whose every byte (margin and marker included) tells which
    // state it is.
    void paint(uint8_t tag, int w = 3, int h = 2)
    {
        bits = BitsBuffer(w, h);
        for (size_t i = 0; i < bits.byteSize(); ++i) bits.data()[i] = static_cast<uint8_t>(tag + i);
    }
    bool shows(uint8_t tag) const { return bits.allocated() && bits.data()[0] == tag && bits.data()[5] == uint8_t(tag + 5); }
};

class UndoStoreTest : public ::testing::Test {
protected:
    // Paints state `tag` and records it under `name`.
    bool act(UndoStore& s, uint8_t tag, const std::string& name)
    {
        doc.paint(tag);
        return s.SaveUndoBits(name);
    }
    std::vector<int> stepsOnDisk(int32_t meID) const
    {
        std::vector<int> steps;
        for (int i = 0; i <= UndoStore::kMaxSteps + 1; ++i)
            if (fs::exists(UndoSnapshotFile::path(dir, meID, i))) steps.push_back(i);
        return steps;
    }
    static std::vector<uint8_t> slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void spit(const fs::path& p, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> rowNames() const
    {
        std::vector<std::string> r;
        for (const HistoryRow& row : history.rows()) r.push_back(row.Ltext);
        return r;
    }

    const testing::TempFolder folder{"tq-undo"};
    const fs::path dir = folder.path();
    FakeDocument doc;
    HistoryModel history;
};

TEST(UndoSnapshotFileName, DigitsOfDocumentAndStep)
{
    struct Case {
        int32_t meID;
        int step;
        const char* name;
    };
    const Case cases[] = {
        {3, 7, "b000307.dat"},      {12, 150, "b0012150.dat"}, {3, 10, "b000310.dat"},
        {3, 100, "b0003100.dat"},   {1, 0, "b000100.dat"},     {10000, 0, "b1000000.dat"},
        {10000, 200, "b10000200.dat"},
    };
    for (const Case& c : cases) EXPECT_EQ(UndoSnapshotFile::fileName(c.meID, c.step), c.name) << c.meID << "/" << c.step;
    EXPECT_EQ(UndoSnapshotFile::path("/prog", 3, 7), fs::path("/prog/Temp/b000307.dat"));
}

TEST_F(UndoStoreTest, SnapshotOfThreeByTwoIsHeaderThenBuffer)
{
    doc.paint(7);
    UndoStore s(dir, 3, doc);
    ASSERT_TRUE(s.SaveUndoBits("Original"));
    const fs::path f = dir / "Temp" / "b000300.dat";
    const std::vector<uint8_t> bytes = slurp(f);
    ASSERT_EQ(bytes.size(), 208u);
    const std::vector<uint8_t> header = {
        40, 0, 0, 0,            // biSize
        7, 0, 0, 0,             // biWidth = 3 + 4
        0xFA, 0xFF, 0xFF, 0xFF, // biHeight = -(2 + 4)
        1, 0, 32, 0,            // planes, bits
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    };
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40), header);
    EXPECT_TRUE(std::equal(bytes.begin() + 40, bytes.end(), doc.bits.data()));
    // No temporary is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Temp"), fs::directory_iterator()), 1);

    std::optional<BitsBuffer> back = UndoSnapshotFile::read(f);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == doc.bits);
}

TEST_F(UndoStoreTest, ReadIntoReusesABufferOfTheSameSize)
{
    doc.paint(7);
    const fs::path f = UndoSnapshotFile::path(dir, 1, 0);
    ASSERT_TRUE(UndoSnapshotFile::write(f, doc.bits));

    BitsBuffer same(3, 2);
    const uint8_t* before = same.data();
    ASSERT_TRUE(UndoSnapshotFile::read(f, same));
    EXPECT_EQ(same.data(), before);
    EXPECT_TRUE(same == doc.bits);

    BitsBuffer other(9, 9);
    ASSERT_TRUE(UndoSnapshotFile::read(f, other));
    EXPECT_TRUE(other == doc.bits);

    BitsBuffer kept(3, 2);
    kept.fill(5);
    const BitsBuffer copy = kept;
    EXPECT_FALSE(UndoSnapshotFile::read(dir / "missing.dat", kept));
    EXPECT_TRUE(kept == copy);
    EXPECT_FALSE(UndoSnapshotFile::write(dir / "none.dat", BitsBuffer()));
    EXPECT_FALSE(fs::exists(dir / "none.dat"));
}

TEST_F(UndoStoreTest, CountersFollowActionsUndoRedoAndJumps)
{
    UndoStore s(dir, 1, doc, &history);
    EXPECT_EQ(s.Undopos(), 0);
    EXPECT_EQ(s.UndoMax(), 0);

    struct Step {
        const char* what;
        int pos, max;
        uint8_t shows;
        int marker;
    };
    auto check = [&](const Step& st) {
        SCOPED_TRACE(st.what);
        EXPECT_EQ(s.Undopos(), st.pos);
        EXPECT_EQ(s.UndoMax(), st.max);
        EXPECT_TRUE(doc.shows(st.shows));
        EXPECT_EQ(history.Pindicator().row, st.marker);
    };

    ASSERT_TRUE(act(s, 10, "Original"));
    check({"open", 1, 1, 10, 0});
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 1");
    EXPECT_EQ(history.ImageID, 1);
    ASSERT_TRUE(act(s, 20, "A"));
    check({"action A", 2, 2, 20, 1});
    ASSERT_TRUE(act(s, 30, "B"));
    check({"action B", 3, 3, 30, 2});
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 3");
    EXPECT_EQ(stepsOnDisk(1), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "A", "B"}));

    EXPECT_TRUE(s.UndoBits());
    check({"undo", 2, 3, 20, 1});
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 2");
    EXPECT_EQ(doc.pixelPanel, "3x2");
    EXPECT_TRUE(s.UndoBits());
    check({"undo again", 1, 3, 10, 0});
    EXPECT_TRUE(s.RedoBits());
    check({"redo", 2, 3, 20, 1});
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 2") << "redo counts like undo";

    ASSERT_TRUE(act(s, 40, "N"));
    check({"action N", 3, 3, 40, 2});
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "A", "N"}));
    EXPECT_EQ(s.UndoNames(2), "N");

    EXPECT_TRUE(s.JumpToStep(0));
    check({"click on row 0", 1, 3, 10, 0});
    EXPECT_TRUE(s.RedoBits());
    EXPECT_TRUE(s.RedoBits());
    check({"redo twice after the jump", 3, 3, 40, 2});
    EXPECT_EQ(doc.restores, 6);
}

TEST_F(UndoStoreTest, NewActionAfterTwoUndosDropsTheRedoBranch)
{
    UndoStore s(dir, 2, doc, &history);
    ASSERT_TRUE(act(s, 10, "Original"));
    ASSERT_TRUE(act(s, 20, "A"));
    ASSERT_TRUE(act(s, 30, "B"));
    ASSERT_TRUE(s.UndoBits());
    ASSERT_TRUE(s.UndoBits());
    ASSERT_TRUE(act(s, 50, "N"));

    EXPECT_EQ(s.Undopos(), 2);
    EXPECT_EQ(s.UndoMax(), 2);
    EXPECT_EQ(stepsOnDisk(2), (std::vector<int>{0, 1}));
    std::optional<BitsBuffer> one = UndoSnapshotFile::read(s.snapshotPath(1));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->data()[0], 50) << "snapshot 1 now holds N";
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "N"}));
    EXPECT_EQ(history.row(1).Lno, "1");
    EXPECT_EQ(s.UndoNames(2), "");
    EXPECT_FALSE(s.RedoBits()) << "nothing ahead any more";
    EXPECT_TRUE(doc.shows(50));
}

TEST_F(UndoStoreTest, UndoAtTheStartAndRedoAtTheEndChangeNothing)
{
    UndoStore s(dir, 4, doc, &history);
    ASSERT_TRUE(act(s, 10, "Original"));
    doc.actionsPanel.clear();
    EXPECT_FALSE(s.UndoBits());
    EXPECT_EQ(s.Undopos(), 1);
    EXPECT_EQ(s.UndoMax(), 1);
    EXPECT_EQ(history.Pindicator().row, 0);
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 1");

    ASSERT_TRUE(act(s, 20, "A"));
    EXPECT_FALSE(s.RedoBits());
    EXPECT_EQ(s.Undopos(), 2);
    EXPECT_EQ(s.UndoMax(), 2);
    EXPECT_TRUE(doc.shows(20));
    EXPECT_EQ(doc.restores, 0);
}

TEST_F(UndoStoreTest, LeftoverFileOfAnEarlierRunIsNeverRedone)
{
    // A run that ended abnormally left step 2 of document 5 behind.
    UndoStore earlier(dir, 5, doc);
    ASSERT_TRUE(act(earlier, 10, "Original"));
    ASSERT_TRUE(act(earlier, 20, "A"));
    ASSERT_TRUE(act(earlier, 99, "stale"));

    UndoStore s(dir, 5, doc);
    ASSERT_TRUE(act(s, 30, "Original"));
    ASSERT_TRUE(act(s, 40, "B"));
    EXPECT_FALSE(s.RedoBits());
    EXPECT_TRUE(doc.shows(40));
    EXPECT_EQ(s.Undopos(), 2);

    // At start-up the leftovers go; nothing else in the folder does.
    spit(dir / "Temp" / "notes.txt", {1, 2, 3});
    spit(dir / "Temp" / "b12.dat", {1});
    spit(dir / "Temp" / "b000102.dat.tmp", {1});
    EXPECT_EQ(UndoSnapshotFile::removeStale(dir), 4);
    EXPECT_TRUE(stepsOnDisk(5).empty());
    EXPECT_TRUE(fs::exists(dir / "Temp" / "notes.txt"));
    EXPECT_TRUE(fs::exists(dir / "Temp" / "b12.dat"));
    EXPECT_EQ(UndoSnapshotFile::removeStale(dir / "nowhere"), 0);
}

TEST_F(UndoStoreTest, RestoringAnotherSizeResetsTheSelection)
{
    UndoStore s(dir, 6, doc);
    doc.paint(10, 5, 3);
    ASSERT_TRUE(s.SaveUndoBits("Original"));
    doc.paint(20, 5, 3);
    ASSERT_TRUE(s.SaveUndoBits("Invert"));
    doc.paint(30, 2, 4);
    ASSERT_TRUE(s.SaveUndoBits("Crop"));

    doc.hasSelection = true;
    ASSERT_TRUE(s.UndoBits());
    EXPECT_TRUE(doc.lastSizeChanged);
    EXPECT_FALSE(doc.hasSelection);
    EXPECT_EQ(doc.bits.width(), 5);
    EXPECT_EQ(doc.bits.height(), 3);
    EXPECT_EQ(doc.pixelPanel, "5x3");

    doc.hasSelection = true;
    ASSERT_TRUE(s.UndoBits());
    EXPECT_FALSE(doc.lastSizeChanged);
    EXPECT_TRUE(doc.hasSelection);

    ASSERT_TRUE(s.RedoBits());
    ASSERT_TRUE(s.RedoBits());
    EXPECT_TRUE(doc.lastSizeChanged);
    EXPECT_EQ(doc.pixelPanel, "2x4");
}

TEST_F(UndoStoreTest, DamagedSnapshotFailsAndLeavesTheDocument)
{
    UndoStore s(dir, 7, doc);
    ASSERT_TRUE(act(s, 10, "Original"));
    ASSERT_TRUE(act(s, 20, "A"));
    const fs::path f0 = s.snapshotPath(0);
    const std::vector<uint8_t> good = slurp(f0);
    ASSERT_EQ(good.size(), 208u);

    auto with = [&](size_t at, std::vector<uint8_t> field) {
        std::vector<uint8_t> b = good;
        std::copy(field.begin(), field.end(), b.begin() + static_cast<long>(at));
        return b;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    const Case cases[] = {
        {"empty", {}},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 40)},
        {"one byte short", truncated},
        {"one byte long", longer},
        {"biSize 41", with(0, {41, 0, 0, 0})},
        {"24 bits", with(14, {24, 0})},
        {"2 planes", with(12, {2, 0})},
        {"zero width", with(4, {4, 0, 0, 0})},
        {"bottom-up rows", with(8, {6, 0, 0, 0})},
        {"huge width", with(4, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"most negative height", with(8, {0, 0, 0, 0x80})},
        {"side beyond the limit", with(4, {0x04, 0x80, 0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        spit(f0, c.bytes);
        EXPECT_FALSE(UndoSnapshotFile::read(f0));
        EXPECT_FALSE(s.UndoBits());
        EXPECT_EQ(s.Undopos(), 2);
        EXPECT_EQ(s.UndoMax(), 2);
        EXPECT_TRUE(doc.shows(20));
    }
    EXPECT_FALSE(s.LoadUndoBits(dir / "Temp" / "missing.dat"));
    EXPECT_FALSE(s.LoadUndoBits(dir / "Temp")) << "a folder is no snapshot";
    EXPECT_FALSE(s.JumpToStep(0));
    EXPECT_EQ(s.Undopos(), 2) << "a failed jump keeps the counters";
    EXPECT_FALSE(s.JumpToStep(2)) << "no such step";
    EXPECT_EQ(doc.restores, 0);
}

TEST_F(UndoStoreTest, FailedWriteStillRecordsTheStepAndDropsTheRedoBranch)
{
    // Without a place to write, the step is still recorded, without a file.
    spit(dir / "Temp", {0});
    {
        UndoStore s(dir, 8, doc, &history);
        EXPECT_FALSE(act(s, 10, "Original"));
        EXPECT_EQ(s.Undopos(), 1);
        EXPECT_EQ(s.UndoMax(), 1);
        EXPECT_EQ(doc.actionsPanel, "Total Actions: 1");
        ASSERT_EQ(doc.notWritten.size(), 1u);
        EXPECT_EQ(doc.notWritten[0].first, dir / "Temp");
        EXPECT_EQ(doc.notWritten[0].second, ENOTDIR);
    }
    fs::remove(dir / "Temp");
    doc.notWritten.clear();

    UndoStore s(dir, 8, doc, &history);
    ASSERT_TRUE(act(s, 10, "Original"));
    ASSERT_TRUE(act(s, 20, "A"));
    ASSERT_TRUE(act(s, 30, "B"));
    ASSERT_TRUE(s.UndoBits());
    ASSERT_TRUE(s.UndoBits());
    // The temporary of step 1 cannot be made: the rewrite of step 1 fails.
    fs::path blocker = s.snapshotPath(1);
    blocker += ".tmp";
    fs::create_directory(blocker);
    EXPECT_FALSE(act(s, 50, "N"));
    EXPECT_EQ(doc.notWritten.size(), 1u);
    EXPECT_EQ(s.Undopos(), 2);
    EXPECT_EQ(s.UndoMax(), 2);
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 2");
    // Neither the old step 1 (state A) nor step 2 of the dropped branch stays
    // to come back over N.
    EXPECT_EQ(stepsOnDisk(8), (std::vector<int>{0}));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "N"}));
    EXPECT_FALSE(s.RedoBits());
    EXPECT_TRUE(doc.shows(50));
    EXPECT_TRUE(doc.missing.empty()) << "nothing ahead is not a missing step";

    // Undo to the step without a file reports it and changes nothing.
    fs::remove(blocker);
    ASSERT_TRUE(act(s, 60, "M"));
    EXPECT_FALSE(s.UndoBits());
    EXPECT_EQ(doc.missing, std::vector<int>{1});
    EXPECT_EQ(s.Undopos(), 3);
    EXPECT_TRUE(doc.shows(60));
    EXPECT_FALSE(s.JumpToStep(1));
    EXPECT_EQ(doc.missing, (std::vector<int>{1, 1}));
    ASSERT_TRUE(s.JumpToStep(0));
    EXPECT_TRUE(doc.shows(10));
}

TEST_F(UndoStoreTest, TwoHundredStepCapSlidesFilesAndNames)
{
    UndoStore s(dir, 9, doc, &history);
    ASSERT_TRUE(act(s, 0, "Original"));
    for (int k = 1; k <= 199; ++k) ASSERT_TRUE(act(s, static_cast<uint8_t>(k), "step " + std::to_string(k)));
    EXPECT_EQ(s.Undopos(), 200);
    EXPECT_EQ(s.UndoMax(), 200);
    EXPECT_EQ(history.rowCount(), 200);

    // The 201st and 202nd snapshots: the oldest go, the counters stay.
    ASSERT_TRUE(act(s, 200, "step 200"));
    ASSERT_TRUE(act(s, 201, "step 201"));
    EXPECT_EQ(s.Undopos(), 200);
    EXPECT_EQ(s.UndoMax(), 200);
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 200");
    std::vector<int> expected;
    for (int i = 0; i < 200; ++i) expected.push_back(i);
    EXPECT_EQ(stepsOnDisk(9), expected);
    EXPECT_EQ(UndoSnapshotFile::read(s.snapshotPath(199))->data()[0], 201);
    EXPECT_EQ(UndoSnapshotFile::read(s.snapshotPath(0))->data()[0], 2);

    EXPECT_EQ(s.UndoNames(199), "step 201");
    EXPECT_EQ(s.UndoNames(1), "step 3");
    EXPECT_EQ(s.UndoNames(200), "");
    ASSERT_EQ(history.rowCount(), 200);
    EXPECT_EQ(history.row(0).Ltext, "Original");
    EXPECT_EQ(history.row(1).Ltext, "step 3");
    EXPECT_EQ(history.row(199).Ltext, "step 201");
    EXPECT_EQ(history.row(199).Lno, "199");
    EXPECT_EQ(history.Pindicator().row, 199);

    ASSERT_TRUE(s.UndoBits());
    EXPECT_TRUE(doc.shows(200));
    EXPECT_EQ(history.Pindicator().row, 198);
    // An action after the undo at the cap does not slide.
    ASSERT_TRUE(act(s, 77, "N"));
    EXPECT_EQ(s.Undopos(), 200);
    EXPECT_EQ(UndoSnapshotFile::read(s.snapshotPath(0))->data()[0], 2);
    EXPECT_EQ(history.row(199).Ltext, "N");
}

TEST_F(UndoStoreTest, DeleteUndoFilesTakesOnlyItsOwnDocument)
{
    FakeDocument other;
    UndoStore a(dir, 1000, doc);
    UndoStore b(dir, 10001, other);   // its files begin "b1000" too
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(act(a, static_cast<uint8_t>(k), "x"));
        other.paint(static_cast<uint8_t>(k + 50));
        ASSERT_TRUE(b.SaveUndoBits("y"));
    }
    a.DeleteUndoFiles();
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(fs::exists(UndoSnapshotFile::path(dir, 1000, i)));
    EXPECT_EQ(a.Undopos(), 0);
    EXPECT_EQ(a.UndoMax(), 0);
    EXPECT_EQ(stepsOnDisk(10001), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(b.UndoBits());
}

TEST_F(UndoStoreTest, HistoryFollowsTheDocumentShown)
{
    FakeDocument other;
    UndoStore a(dir, 1, doc, &history);
    UndoStore b(dir, 2, other, &history);
    ASSERT_TRUE(act(a, 10, "Original"));
    ASSERT_TRUE(act(a, 20, "A1"));
    ASSERT_TRUE(act(a, 30, "A2"));
    ASSERT_TRUE(a.UndoBits());

    other.paint(50);
    ASSERT_TRUE(b.SaveUndoBits("Original"));
    EXPECT_EQ(history.ImageID, 2);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original"}));
    other.paint(60);
    ASSERT_TRUE(b.SaveUndoBits("B1"));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "B1"}));

    // Undo in a document that is not shown leaves the shown rows alone.
    ASSERT_TRUE(a.UndoBits());
    EXPECT_EQ(history.Pindicator().row, 1);

    a.SwapHistoy();
    EXPECT_EQ(history.ImageID, 1);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "A1", "A2"}));
    EXPECT_EQ(history.Pindicator().row, 0);
    EXPECT_TRUE(history.Pindicator().visible);

    // Closing the other document leaves these rows; closing this one clears them.
    EXPECT_FALSE(history.documentClosed(2));
    EXPECT_EQ(history.rowCount(), 3);
    EXPECT_TRUE(history.documentClosed(1));
    EXPECT_EQ(history.rowCount(), 1);
    b.SwapHistoy();
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "B1"}));
}

// The count in the status bar belongs to the step: a history window that
// fails while it draws its rows (out of memory making a row) must not leave
// the count of a recorded, undone or jumped-to step behind.
TEST_F(UndoStoreTest, TheCountIsShownWhateverTheHistoryWindowDoes)
{
    UndoStore s(dir, 1, doc, &history);
    ASSERT_TRUE(act(s, 10, "Original"));
    history.changed = [] { throw std::bad_alloc(); };
    const auto expectCount = [&](const char* what, int n) {
        EXPECT_EQ(doc.actionsPanel, "Total Actions: " + std::to_string(n)) << what;
        EXPECT_EQ(s.Undopos(), n) << what;
    };
    EXPECT_THROW(act(s, 20, "A"), std::bad_alloc);
    expectCount("action", 2);
    EXPECT_THROW(act(s, 30, "B"), std::bad_alloc);
    expectCount("second action", 3);
    EXPECT_THROW(s.UndoBits(), std::bad_alloc);
    expectCount("undo", 2);
    EXPECT_THROW(s.RedoBits(), std::bad_alloc);
    expectCount("redo", 3);
    EXPECT_THROW(s.JumpToStep(0), std::bad_alloc);
    expectCount("jump", 1);
}

} // namespace
} // namespace tq

namespace tq {
namespace {

struct PlantedLinks : ::testing::Test {
    const testing::TempFolder folder{"tq-links"};
    const fs::path dir = folder.path();
    FakeDocument doc;
    static std::string contents(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

mode_t modeOf(const fs::path& p)
{
    struct stat st {};
    ::lstat(p.c_str(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST_F(PlantedLinks, SnapshotsAreWrittenPrivatelyAndNeverThroughALink)
{
    const fs::path victim = dir / "victim.txt";
    { std::ofstream(victim) << "keep me"; }
    UndoStore s(dir, 5, doc);
    // Links planted under the names of the temporary and of the step itself.
    fs::create_directories(dir / "Temp");
    fs::permissions(dir / "Temp", fs::perms::all);
    fs::path tmp = s.snapshotPath(0);
    tmp += ".tmp";
    fs::create_symlink(victim, tmp);
    fs::create_symlink(victim, s.snapshotPath(1));

    doc.paint(10);
    ASSERT_TRUE(s.SaveUndoBits("Original"));
    doc.paint(20);
    ASSERT_TRUE(s.SaveUndoBits("A"));
    EXPECT_EQ(contents(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(s.snapshotPath(0)));
    EXPECT_FALSE(fs::is_symlink(s.snapshotPath(1)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp)));
    EXPECT_EQ(modeOf(dir / "Temp"), 0700u) << "the folder holds the user's pictures";
    EXPECT_EQ(modeOf(s.snapshotPath(0)), 0600u);
    EXPECT_EQ(modeOf(s.snapshotPath(1)), 0600u);
    ASSERT_TRUE(s.UndoBits());
    EXPECT_TRUE(doc.shows(10));

    // A link in place of the folder is refused rather than followed.
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directory(elsewhere);
    UndoStore other(dir / "p2", 6, doc);
    fs::create_directory(dir / "p2");
    fs::create_directory_symlink(elsewhere, dir / "p2" / "Temp");
    EXPECT_FALSE(other.SaveUndoBits("Original"));
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST_F(PlantedLinks, StartUpCleanUpRemovesLinksWithoutFollowingThem)
{
    const fs::path victim = dir / "victim.dat";
    { std::ofstream(victim) << "keep me"; }
    const fs::path temp = dir / "Temp";
    fs::create_directories(temp);
    fs::create_symlink(victim, temp / "b000100.dat");
    fs::create_symlink(dir / "nowhere", temp / "b000101.dat.tmp");
    { std::ofstream(temp / "b000102.dat") << "old"; }
    EXPECT_EQ(UndoSnapshotFile::removeStale(dir), 3);
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_EQ(contents(victim), "keep me");
}

// A Temp that is a link to another folder, or a folder of someone else's,
// is not a snapshot folder: nothing in it is listed, read, renamed or
// removed. The sweep at start-up used to empty the folder behind a link of
// every file named like a snapshot, and a document's steps removed and
// renamed the files of their own names there.
TEST_F(PlantedLinks, AnUnusableTempFolderIsNeverListedReadOrEmptied)
{
    struct Case {
        const char* what;
        bool needsRoot;
        // Makes `program`/Temp unusable; returns the folder whose files must stay.
        std::function<fs::path(const fs::path& program)> make;
    };
    const Case cases[] = {
        {"a link to another folder", false,
         [&](const fs::path& program) {
             const fs::path elsewhere = program.parent_path() / (program.filename().string() + "-elsewhere");
             fs::create_directories(elsewhere);
             fs::create_directory_symlink(elsewhere, program / "Temp");
             return elsewhere;
         }},
        {"a folder of another user", true,
         [&](const fs::path& program) {
             const fs::path temp = program / "Temp";
             fs::create_directories(temp);
             return temp;
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && ::geteuid() != 0) continue;   // only root can give a folder away
        const fs::path program = dir / ("p" + std::to_string(++n));
        fs::create_directories(program);
        const fs::path kept = c.make(program);
        // Files named like document 6's steps, a valid snapshot among them,
        // and another document's file.
        FakeDocument planted;
        planted.paint(77);
        ASSERT_TRUE(UndoSnapshotFile::write(kept / "b000601.dat", planted.bits));
        for (const char* name : {"b000600.dat", "b000602.dat", "b000602.dat.tmp", "b000700.dat", "notes.txt"})
            std::ofstream(kept / name) << "keep " << name;
        std::map<std::string, std::string> before;
        for (const auto& e : fs::directory_iterator(kept)) before[e.path().filename().string()] = contents(e.path());
        auto untouched = [&] {
            std::map<std::string, std::string> now;
            for (const auto& e : fs::directory_iterator(kept)) now[e.path().filename().string()] = contents(e.path());
            EXPECT_EQ(now, before);
        };
        if (c.needsRoot) {
            ASSERT_EQ(::chown(kept.c_str(), 65534, 65534), 0);
        }

        EXPECT_EQ(UndoSnapshotFile::removeStale(program), 0);
        untouched();

        // Every step counts, none is written, and the user is told why.
        FakeDocument d;
        UndoStore s(program, 6, d);
        d.paint(10);
        EXPECT_FALSE(s.SaveUndoBits("Original"));
        d.paint(20);
        EXPECT_FALSE(s.SaveUndoBits("A"));
        d.paint(30);
        EXPECT_FALSE(s.SaveUndoBits("B"));
        ASSERT_EQ(d.notWritten.size(), 3u);
        EXPECT_EQ(d.notWritten[0].first, program / "Temp");
        EXPECT_EQ(d.notWritten[0].second, c.needsRoot ? EPERM : ELOOP);
        EXPECT_EQ(s.Undopos(), 3);
        untouched();
        // Undo does not take the picture found under step 1's name.
        EXPECT_FALSE(s.UndoBits());
        EXPECT_FALSE(s.JumpToStep(1));
        EXPECT_TRUE(d.shows(30));
        // Past the cap the steps slide down without renaming anything there.
        while (s.Undopos() < UndoStore::kMaxSteps) s.SaveUndoBits("more");
        s.SaveUndoBits("one too many");
        untouched();
        s.DeleteUndoFiles();
        untouched();
        std::error_code ec;
        fs::remove_all(program, ec);
        fs::remove_all(kept, ec);
    }
}

} // namespace tq

#include "platform/FileSizeSignal.h"

#include <csignal>
#include <sys/resource.h>

namespace tq {

// Under a file-size limit the first large snapshot used to end the program
// by signal, leaving its temporary file: the write must fail instead.
TEST_F(PlantedLinks, SnapshotPastTheFileSizeLimitFailsInsteadOfKillingTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path file = UndoSnapshotFile::path(dir, 3, 1);
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_DFL);
            platform::ignoreFileSizeSignal();
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 4096;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            BitsBuffer big(200, 200);
            const bool written = UndoSnapshotFile::write(file, big);
            const int error = errno;
            fs::path tmp = file;
            tmp += ".tmp";
            std::error_code ec;
            const bool leftovers = fs::exists(fs::symlink_status(tmp, ec)) || fs::exists(fs::symlink_status(file, ec));
            // The child ran the fixture again and made a folder of its own;
            // exit() leaves the rest of its run's folders to go at the end.
            fs::remove_all(dir, ec);
            std::exit(!written && error == EFBIG && !leftovers ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace tq

namespace tq {
namespace {

// The store with the program's background writer: steps return before their
// files are written, and whatever reads the files waits for them.
class UndoStoreWriterTest : public UndoStoreTest {
protected:
    std::vector<std::string> filesInTemp() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir / "Temp", ec)) names.push_back(e.path().filename().string());
        return names;
    }
    // A picture large enough that its write is still going on when the
    // step returns.
    void paintLarge(uint8_t tag) { doc.paint(tag, 1500, 1000); }

    std::atomic<int> wakes{0};
    std::shared_ptr<SnapshotWriter> writer = std::make_shared<SnapshotWriter>([this] { ++wakes; });
};

TEST_F(UndoStoreWriterTest, UndoRightAfterAStepRestoresTheBytesOfEachStep)
{
    UndoStore s(dir, 1, doc, &history, writer);
    for (const uint8_t tag : {uint8_t{10}, uint8_t{20}, uint8_t{30}}) {
        paintLarge(tag);
        ASSERT_TRUE(s.SaveUndoBits("step"));
    }
    // Painting in place makes the block the document's own first: the
    // snapshot keeps the bytes of the step.
    doc.bits.unshare();
    doc.bits.data()[0] = 99;
    doc.bits.data()[5] = 104;
    EXPECT_EQ(s.Undopos(), 3) << "the counters do not wait for the files";

    ASSERT_TRUE(s.UndoBits());
    EXPECT_TRUE(doc.shows(20));
    ASSERT_TRUE(s.UndoBits());
    EXPECT_TRUE(doc.shows(10));
    ASSERT_TRUE(s.RedoBits());
    ASSERT_TRUE(s.RedoBits());
    EXPECT_TRUE(doc.shows(30)) << "the step's bytes, not those painted after it";

    // A new step after two undos: the dropped branch goes after the rewrite.
    ASSERT_TRUE(s.UndoBits());
    ASSERT_TRUE(s.UndoBits());
    paintLarge(50);
    ASSERT_TRUE(s.SaveUndoBits("N"));
    ASSERT_TRUE(s.JumpToStep(0));
    EXPECT_TRUE(doc.shows(10));
    ASSERT_TRUE(s.RedoBits());
    EXPECT_TRUE(doc.shows(50));
    EXPECT_FALSE(s.RedoBits());
    EXPECT_EQ(stepsOnDisk(1), (std::vector<int>{0, 1}));
    EXPECT_TRUE(doc.missing.empty());
    EXPECT_TRUE(doc.notWritten.empty());
}

TEST_F(UndoStoreWriterTest, AFailedWriteIsToldOnTheCallersThreadAndTheStepCounts)
{
    spit(dir / "Temp", {0});   // no folder can be made there
    UndoStore s(dir, 8, doc, &history, writer);
    EXPECT_TRUE(act(s, 10, "Original")) << "the write is only queued";
    EXPECT_EQ(s.Undopos(), 1);
    EXPECT_EQ(doc.actionsPanel, "Total Actions: 1");
    ASSERT_TRUE(act(s, 20, "A"));
    EXPECT_EQ(s.Undopos(), 2);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Original", "A"}));

    // The writer asks to be heard as each failure is known; the target is
    // told only when its notices are delivered here.
    for (int i = 0; i < 2000 && wakes < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(wakes, 2);
    EXPECT_TRUE(doc.notWritten.empty());
    writer->deliver();
    ASSERT_EQ(doc.notWritten.size(), 2u);
    EXPECT_EQ(doc.notWritten[0], std::make_pair(dir / "Temp", ENOTDIR));

    // An undo waits for the steps before it and tells their failures first.
    ASSERT_TRUE(act(s, 30, "B"));
    EXPECT_FALSE(s.UndoBits());
    EXPECT_EQ(doc.notWritten.size(), 3u);
    EXPECT_EQ(doc.missing, std::vector<int>{1});
    EXPECT_EQ(s.Undopos(), 3);
}

TEST_F(UndoStoreWriterTest, ClosingWithWritesPendingLeavesNoFile)
{
    UndoStore s(dir, 4, doc, &history, writer);
    for (uint8_t tag = 1; tag <= 6; ++tag) {
        paintLarge(tag);
        ASSERT_TRUE(s.SaveUndoBits("step"));
    }
    ASSERT_TRUE(s.UndoBits());
    ASSERT_TRUE(s.UndoBits());
    for (uint8_t tag = 7; tag <= 9; ++tag) {
        paintLarge(tag);
        ASSERT_TRUE(s.SaveUndoBits("after undo"));   // each drops a branch
    }
    s.DeleteUndoFiles();
    EXPECT_EQ(filesInTemp(), std::vector<std::string>{});
    writer->drain();
    EXPECT_EQ(filesInTemp(), std::vector<std::string>{}) << "nothing written after the close";
    EXPECT_TRUE(doc.notWritten.empty());
}

TEST_F(UndoStoreWriterTest, TheCapSlidesFilesInOrderWithWritesPending)
{
    UndoStore s(dir, 9, doc, &history, writer);
    for (int k = 0; k <= 201; ++k) ASSERT_TRUE(act(s, static_cast<uint8_t>(k), "step " + std::to_string(k)));
    EXPECT_EQ(s.Undopos(), 200);
    writer->drain();
    std::vector<int> expected;
    for (int i = 0; i < 200; ++i) expected.push_back(i);
    EXPECT_EQ(stepsOnDisk(9), expected);
    EXPECT_EQ(UndoSnapshotFile::read(s.snapshotPath(199))->data()[0], 201);
    EXPECT_EQ(UndoSnapshotFile::read(s.snapshotPath(0))->data()[0], 2);
    EXPECT_EQ(history.row(199).Ltext, "step 201");

    // Steps past the cap while earlier slides are still queued.
    ASSERT_TRUE(act(s, 210, "x"));
    ASSERT_TRUE(act(s, 211, "y"));
    ASSERT_TRUE(s.UndoBits());
    EXPECT_TRUE(doc.shows(210));
    ASSERT_TRUE(s.JumpToStep(0));
    EXPECT_TRUE(doc.shows(4));
}

TEST(SnapshotWriter, JobsRunInOrderAndAGoneOwnersNoticesAreDropped)
{
    std::vector<int> ran;
    std::vector<std::string> told;
    int a = 0, b = 0;
    {
        SnapshotWriter w;
        for (int i = 0; i < 50; ++i)
            w.post(i % 2 ? &a : &b, [&ran, &told, i]() -> SnapshotWriter::Notice {
                ran.push_back(i);
                if (i >= 46) return [&told, i] { told.push_back(std::to_string(i)); };
                return {};
            });
        w.forget(&b);   // 46 and 48 are b's
        w.wait(&a);
        EXPECT_EQ(told, (std::vector<std::string>{"47", "49"}));
        w.post(&a, [&ran]() -> SnapshotWriter::Notice {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ran.push_back(50);
            return {};
        });
    }
    // Its end ran the job still queued.
    ASSERT_EQ(ran.size(), 51u);
    for (int i = 0; i <= 50; ++i) EXPECT_EQ(ran[static_cast<size_t>(i)], i);
}

} // namespace
} // namespace tq
