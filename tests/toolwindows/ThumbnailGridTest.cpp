// The arithmetic of the thumbnail grid: columns, cell places, the panel's
// height, the resolution label and the shortening of names.
#include "toolwindows/ThumbnailGrid.h"

#include <gtest/gtest.h>

using namespace tq;
using namespace tq::browser;

TEST(ThumbnailGrid, TheWorkedExample)
{
    // A pane 400 pixels wide, cells 70 x 60, both labels 17 high, 7 cells.
    const int k = gridColumns(400, 70);
    EXPECT_EQ(k, 4);
    const double pitch = rowPitch(true, true);
    const CellPlace expected[] = {{75, 0}, {150, 0}, {225, 0}, {0, 93}, {75, 93}, {150, 93}};
    for (int i = 1; i <= 6; ++i) {
        const CellPlace p = cellPlace(i, k, 70, 60, pitch);
        EXPECT_EQ(p.x, expected[i - 1].x) << i;
        EXPECT_EQ(p.y, expected[i - 1].y) << i;
    }
    EXPECT_EQ(panelHeight(7, k, 60, 17, 17, pitch), 221);
}

TEST(ThumbnailGrid, RowPitchAndPanelHeightFollowTheLabelsShown)
{
    struct Case {
        bool name, resolution;
        int rowY, height;
    };
    const Case cases[] = {
        {true, true, 93, 221},
        {true, false, 78, 78 + 17 + 60 + 17},
        {false, true, 78, 78 + 17 + 60 + 17},
        {false, false, 78, 78 + 60},   // no label heights at all
    };
    for (const Case& c : cases) {
        const double pitch = rowPitch(c.name, c.resolution);
        EXPECT_EQ(cellPlace(4, 4, 70, 60, pitch).y, c.rowY);
        EXPECT_EQ(panelHeight(7, 4, 60, c.name ? 17 : 0, c.resolution ? 17 : 0, pitch), c.height);
    }
    // A full last row adds no partial row.
    EXPECT_EQ(panelHeight(8, 4, 60, 17, 17, 1.55), 2 * 93 + 34);
}

TEST(ThumbnailGrid, APaneTooNarrowStillShowsOneColumn)
{
    EXPECT_EQ(gridColumns(144, 70), 1);
    EXPECT_EQ(gridColumns(100, 70), 1);   // floor(25 / 70) = 0
    EXPECT_EQ(gridColumns(20, 70), 1);    // negative room
    EXPECT_EQ(gridColumns(400, 0), 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(cellPlace(i, 1, 70, 60, 1.55).x, 0);
    EXPECT_EQ(cellPlace(3, 1, 70, 60, 1.55).y, 279);
    EXPECT_EQ(panelHeight(4, 1, 60, 17, 17, 1.55), 4 * 93 + 34);
    EXPECT_EQ(cellPlace(3, 0, 70, 60, 1.55).y, 279) << "no division by zero";
}

TEST(ThumbnailGrid, Labels)
{
    EXPECT_EQ(resolutionText(640, 480, 24), "640x480x24b");
    EXPECT_EQ(resolutionText(320, 200, 8), "320x200x8b");

    // Five pixels a character: "..." is 15 wide; a 70-pixel button leaves
    // 55 for the name.
    const TextWidth five = [](std::string_view s) {
        int characters = 0;
        for (char c : s) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return 5 * characters;
    };
    struct Case {
        std::string name;
        int button;
        std::string shown;
    };
    const Case cases[] = {
        {"abcdefghijk", 70, "abcdefghijk"},        // exactly 55: whole
        {"abcdefghijkl", 70, "abcdefgh..."},       // 60: cut to 40, then "..."
        {"abc", 70, "abc"},
        {"abcdef", 20, "..."},                      // no room even for "...": stops at the empty name
        {"", 10, "..."},                            // even an empty name is too wide for no room
        {"ééééééééééééé", 70, "éééééééé..."},      // whole characters come off
    };
    for (const Case& c : cases) EXPECT_EQ(shortenName(c.name, c.button, five), c.shown) << c.name;
}
