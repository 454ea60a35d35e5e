#include "document/HistoryModel.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

std::vector<std::string> names(const HistoryModel& m)
{
    std::vector<std::string> r;
    for (const HistoryRow& row : m.rows()) r.push_back(row.Ltext + "/" + row.Lno);
    return r;
}

TEST(HistoryModel, StartsWithAHiddenOriginalRow)
{
    HistoryModel m;
    EXPECT_EQ(m.ImageID, 0);
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.row(0).Ltext, "Original");
    EXPECT_EQ(m.row(0).Lno, "0");
    EXPECT_FALSE(m.row(0).visible);
    EXPECT_FALSE(m.Pindicator().visible);
}

TEST(HistoryModel, LoadHistoryAddsOrRenamesContiguousRows)
{
    HistoryModel m;
    int notes = 0;
    m.changed = [&] { ++notes; };

    EXPECT_FALSE(m.loadHistory(0, "x")) << "row 0 keeps its caption";
    EXPECT_FALSE(m.loadHistory(2, "gap"));
    EXPECT_EQ(m.rowCount(), 1);

    EXPECT_TRUE(m.loadHistory(1, "Invert"));
    EXPECT_TRUE(m.row(0).visible) << "the first action row shows row 0";
    EXPECT_TRUE(m.loadHistory(2, "Blur"));
    EXPECT_EQ(names(m), (std::vector<std::string>{"Original/0", "Invert/1", "Blur/2"}));
    EXPECT_EQ(m.Pindicator().row, 2);
    EXPECT_TRUE(m.Pindicator().visible);

    EXPECT_TRUE(m.loadHistory(1, "Sharpen"));
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.row(1).Ltext, "Sharpen");
    EXPECT_EQ(m.Pindicator().row, 1);
    EXPECT_EQ(notes, 3);

    m.unloadRowsFrom(2);
    EXPECT_EQ(names(m), (std::vector<std::string>{"Original/0", "Sharpen/1"}));
    m.unloadRowsFrom(0);
    EXPECT_EQ(m.rowCount(), 1) << "row 0 is never unloaded";
    EXPECT_EQ(m.Pindicator().row, 0);
    m.placeIndicator(5);
    EXPECT_EQ(m.Pindicator().row, 0);
}

TEST(HistoryModel, ShowStepsRebuildsAndCloseClearsOnlyTheShownDocument)
{
    HistoryModel m;
    m.showSteps(4, {"A", "B", "C"}, 2);
    EXPECT_EQ(m.ImageID, 4);
    EXPECT_EQ(names(m), (std::vector<std::string>{"Original/0", "A/1", "B/2", "C/3"}));
    EXPECT_EQ(m.Pindicator().row, 2);
    EXPECT_TRUE(m.Pindicator().visible);
    EXPECT_TRUE(m.row(0).visible);

    m.showSteps(5, {}, 0);
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_FALSE(m.Pindicator().visible);

    m.showSteps(4, {"A"}, 1);
    EXPECT_FALSE(m.documentClosed(5));
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_TRUE(m.documentClosed(4));
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_FALSE(m.row(0).visible);
    EXPECT_FALSE(m.Pindicator().visible);
    EXPECT_EQ(m.ImageID, 4) << "the next document activated rebuilds the rows";
}

} // namespace
} // namespace tq
