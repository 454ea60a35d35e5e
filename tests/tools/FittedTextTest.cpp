// Fitting a text into a picture: the layout's breaks at spaces, hyphens and
// line breaks, the size search and its limits, alignment, justification and
// the shadow pass. The logic is checked on a picture whose characters all
// have one width (so the expected breaks can be counted by hand); sizes and
// breaks in a real font use the bundled DejaVu Sans, registered by the test.
#include "tools/FittedText.h"
#include "tools/FontList.h"
#include "tools/TextTile.h"

#include "BundledFont.h"
#include "platform/Ports.h"
#include "support/TestPorts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tq {
namespace {

using mText::LayoutLines;
using mText::toChars;

// Every character 10 x size twips wide, a line 20 x size twips high.
class GridPicture : public TextPicture {
public:
    struct Printed {
        double x, y;
        std::string text;
        int32_t colour;
    };
    GridPicture(double w, double h) : w_(w), h_(h) {}
    double ScaleWidth() const override { return w_; }
    double ScaleHeight() const override { return h_; }
    void setFontSize(int16_t s) override { size_ = s; }
    int16_t FontSize() const override { return size_; }
    double TextWidth(const std::u32string& t) const override
    {
        size_t widest = 0, run = 0;
        for (char32_t c : t) {
            if (c == U'\r' || c == U'\n') {
                run = 0;
                continue;
            }
            widest = std::max(widest, ++run);
        }
        return 10.0 * size_ * static_cast<double>(widest);
    }
    double TextHeight(const std::u32string&) const override { return 20.0 * size_; }
    int32_t ForeColor() const override { return colour_; }
    void setForeColor(int32_t c) override { colour_ = c; }
    void Print(double x, double y, const std::u32string& t) override
    {
        printed.push_back({x, y, mText::toUtf8(t), colour_});
    }
    std::vector<Printed> printed;

private:
    double w_, h_;
    int16_t size_ = 10;
    int32_t colour_ = 0x000000;
};

std::vector<std::pair<std::string, int32_t>> linesOf(const std::vector<FittedLine>& lines)
{
    std::vector<std::pair<std::string, int32_t>> out;
    for (const FittedLine& l : lines) out.emplace_back(mText::toUtf8(l.Text), l.EndKind);
    return out;
}

TEST(FittedText, CountOccurrencesCountsOverlappingOnes)
{
    const std::vector<std::tuple<std::string, std::string, int16_t>> cases = {
        {"aaa", "aa", 2}, {"aaaa", "aa", 3}, {"abab", "ab", 2}, {"a\r\nb\r\n", "\r\n", 2},
        {"a\nb\r", "\r\n", 0}, {"", "a", 0}, {"abc", "", 0}, {"ab", "abc", 0},
    };
    for (const auto& [source, find, count] : cases)
        EXPECT_EQ(mText::CountOccurrences(source, find), count) << source << " / " << find;
}

TEST(FittedText, TheShadowStepGrowsEveryFifteenPoints)
{
    const std::vector<std::pair<int16_t, int32_t>> cases = {{6, 1},  {14, 1}, {15, 2}, {29, 2}, {30, 3},
                                                            {44, 3}, {45, 4}, {59, 4}, {60, 5}, {72, 5}};
    for (const auto& [size, step] : cases) EXPECT_EQ(mText::ShadowStep(size), step) << size;
}

TEST(FittedText, LinesBreakAtSpacesHyphensAndLineBreaks)
{
    // Five characters to the line at size 10.
    struct Case {
        const char* text;
        std::vector<std::pair<std::string, int32_t>> lines;
    };
    const std::vector<Case> cases = {
        // A hyphen that fits stays and allows the break after it; the space
        // stays on its line until the line is drawn trimmed.
        {"ab-cd ef", {{"ab-cd", 1}, {"ef", 3}}},
        // A hyphen that does not fit goes with its word.
        {"xy ab-", {{"xy", 1}, {"ab-", 3}}},
        // A word longer than the line is broken between two characters,
        // without a hyphen; the character that did not fit starts the next.
        {"abcdefghijkl", {{"abcde", 0}, {"fghij", 0}, {"kl", 3}}},
        // The last character forces the break: its word still has a line.
        {"abcdef", {{"abcde", 0}, {"f", 3}}},
        // Hard breaks, in all three spellings; a text ending with one has an
        // empty last line.
        {"ab\r\ncd\ref\ngh\r\n", {{"ab", 3}, {"cd", 3}, {"ef", 3}, {"gh", 3}, {"", 0}}},
        {"a  b", {{"a  b", 3}}},
    };
    GridPicture pic(5000, 5000);
    pic.setFontSize(10);
    for (const Case& c : cases) EXPECT_EQ(linesOf(LayoutLines(pic, toChars(c.text), 500)), c.lines) << c.text;
}

TEST(FittedText, NoRoomOrNoFittingSizeDrawsNothing)
{
    platform::TestPorts ports;
    struct Case {
        double w, h;
        const char* text;
        float margin;
    };
    const std::vector<Case> cases = {
        {100, 5000, "a", 60},   // twice the margin is wider than the picture
        {5000, 100, "a", 60},   // ... or higher
        {120, 5000, "a", 60},   // no width left
        // (Drawn: the estimate allows 70 points, the layout's one line of
        // 20 x size twips comes down to 10.)
        {5000, 200, "a", 0},
        // Eight lines that only lone LFs separate: the estimate counts one
        // line, the layout needs eight; the size goes down past 6 and stops.
        {100000, 700, "a\nb\nc\nd\ne\nf\ng\nh", 0},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        GridPicture pic(cases[i].w, cases[i].h);
        const bool drawn = mText::DrawFittedText(pic, cases[i].text, 0, cases[i].margin, 4, 0);
        if (i == 3) {
            EXPECT_TRUE(drawn);
            EXPECT_EQ(pic.FontSize(), 10);   // 10 x 20 = 200 does not exceed 200
            continue;
        }
        EXPECT_FALSE(drawn) << i;
        EXPECT_TRUE(pic.printed.empty()) << i;
    }
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST(FittedText, LinesAreAlignedWithinTheMargin)
{
    // Room 2000 x 400 inside a margin of 60: "ab cd" (5 characters) comes
    // out at size 20, 1000 wide.
    for (int16_t align : std::initializer_list<int16_t>{0, 1, 2}) {
        GridPicture pic(2120, 520);
        ASSERT_TRUE(mText::DrawFittedText(pic, "ab cd", align, 60, 4, 0));
        ASSERT_EQ(pic.FontSize(), 20);
        ASSERT_EQ(pic.printed.size(), 1u);
        const double want = align == 0 ? 60 : align == 1 ? 60 + 500 : 60 + 1000;
        EXPECT_DOUBLE_EQ(pic.printed[0].x, want) << align;
        EXPECT_DOUBLE_EQ(pic.printed[0].y, 60);
        EXPECT_EQ(pic.printed[0].text, "ab cd");
    }
}

TEST(FittedText, FullJustifySpreadsAllButParagraphEnds)
{
    // Size 6: 60 twips a character, ten to the line of 600; three lines of
    // 120 in a room of 380.
    GridPicture pic(600, 380);
    ASSERT_TRUE(mText::DrawFittedText(pic, "aa bb cc dddd e\r\nff gg", 3, 0, 4, 0));
    ASSERT_EQ(pic.FontSize(), 6) << "the case is made for size 6";
    // Line 1 "aa bb cc" (ends after a space) is spread over its two
    // spaces: each opens by (600 - 480) / 2 = 60.
    std::vector<GridPicture::Printed> first;
    for (const auto& p : pic.printed)
        if (p.y == 0) first.push_back(p);
    ASSERT_EQ(first.size(), 8u);
    EXPECT_DOUBLE_EQ(first[0].x, 0);
    EXPECT_DOUBLE_EQ(first[3].x, 3 * 60 + 60);   // "b" after the first space and its gap
    EXPECT_DOUBLE_EQ(first.back().x + 60, 600);  // the line ends at the right edge
    // Line 2 "dddd e" ends a paragraph: printed whole at the left.
    bool paragraphEnd = false;
    for (const auto& p : pic.printed) paragraphEnd |= p.y == 120 && p.text == "dddd e" && p.x == 0;
    EXPECT_TRUE(paragraphEnd);
}

TEST(FittedText, AOneCharacterJustifiedLineStandsAtTheLeft)
{
    // "x" ends after its space, then the long word moves to the next line:
    // the first line is one character with no gap to spread into.
    GridPicture pic(600, 500);
    ASSERT_TRUE(mText::DrawFittedText(pic, "x yyyyyyyyy", 3, 0, 4, 0));
    ASSERT_FALSE(pic.printed.empty());
    EXPECT_EQ(pic.printed[0].text, "x");
    EXPECT_DOUBLE_EQ(pic.printed[0].x, 0);
    for (const auto& p : pic.printed) EXPECT_TRUE(std::isfinite(p.x));
}

TEST(FittedText, TheShadowIsDrawnFirstOffsetInItsDirection)
{
    struct Case {
        int16_t shadow;
        int dx, dy;   // in steps
    };
    for (const Case c : {Case{0, -1, -1}, Case{8, 1, 1}, Case{1, 0, -1}, Case{5, 1, 0}}) {
        GridPicture pic(3000, 3000);
        pic.setForeColor(0x112233);
        ASSERT_TRUE(mText::DrawFittedText(pic, "ab", 0, 100, c.shadow, 0x445566));
        const double k = mText::ShadowStep(pic.FontSize()) * 15.0;
        ASSERT_EQ(pic.printed.size(), 2u);
        EXPECT_EQ(pic.printed[0].colour, 0x445566);
        EXPECT_DOUBLE_EQ(pic.printed[0].x, 100 + c.dx * k);
        EXPECT_DOUBLE_EQ(pic.printed[0].y, 100 + c.dy * k);
        EXPECT_EQ(pic.printed[1].colour, 0x112233);
        EXPECT_DOUBLE_EQ(pic.printed[1].x, 100);
        EXPECT_EQ(pic.ForeColor(), 0x112233);
    }
    GridPicture plain(3000, 3000);
    ASSERT_TRUE(mText::DrawFittedText(plain, "ab", 0, 100, 4, 0x445566));
    EXPECT_EQ(plain.printed.size(), 1u);
}

// ---- In the bundled font ------------------------------------------------------------

TextStyle bundled(int16_t size)
{
    TextStyle s;
    s.face = testing::bundledFontFamily().toStdString();
    s.size = size;
    return s;
}

TEST(FittedTextInAFont, SizesStopAt72)
{
    TQ_REQUIRE_BUNDLED_FONT();
    TextTile tile;
    tile.setStyle(bundled(11));
    tile.resize(1600, 1200);
    ASSERT_TRUE(mText::DrawFittedText(tile, "Hi", 0, 60, 4, 0));
    EXPECT_EQ(tile.FontSize(), 72);
}

TEST(FittedTextInAFont, AnOverLongWordBreaksWithoutAHyphen)
{
    TQ_REQUIRE_BUNDLED_FONT();
    const std::string word = "Supercalifragilisticexpialidocious";
    TextTile tile;
    tile.setStyle(bundled(12));
    const double availW = 90 * 15;
    const std::vector<FittedLine> lines = LayoutLines(tile, toChars(word), availW);
    ASSERT_GT(lines.size(), 2u);
    std::u32string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::u32string& t = lines[i].Text;
        EXPECT_EQ(t.find(U'-'), std::u32string::npos);
        EXPECT_LE(tile.TextWidth(t), availW);
        // Each line is as long as it can be: its next character did not fit.
        if (i + 1 < lines.size()) {
            auto withNext = t;
            withNext += lines[i + 1].Text.substr(0, 1);
            EXPECT_GT(tile.TextWidth(withNext), availW);
        }
        joined += t;
    }
    EXPECT_EQ(mText::toUtf8(joined), word);
    EXPECT_EQ(lines.back().EndKind, 3);
}

TEST(FittedTextInAFont, TheTextTileIsSizedToTheTextAndFitsIt)
{
    TQ_REQUIRE_BUNDLED_FONT();
    platform::TestPorts ports;
    TextTile tile;
    // The default text ends with a line break: two lines high.
    const std::string text = "Type your text here!!!!!\r\n";
    TextTile measuring;
    measuring.setStyle(bundled(11));
    const TextExtent extent = measuring.measure(text);
    ASSERT_EQ(RenderTextTexture(tile, bundled(11), text, 0, 4), TextTileResult::Drawn);
    EXPECT_EQ(tile.width(), extent.width);
    EXPECT_EQ(tile.height(), extent.height);
    EXPECT_LT(tile.FontSize(), 11);
    // Something was drawn on the button face.
    const DibRecord p = tile.picture();
    bool inked = false;
    for (size_t i = 0; i + 3 < p.bits.size(); i += 4) inked |= p.bits[i] != p.bits[0];
    EXPECT_TRUE(inked);

    // A chosen size above 72 draws at most 72 in a tile made for it.
    TextTile large;
    ASSERT_EQ(RenderTextTexture(large, bundled(120), "Big\r\n", 0, 4), TextTileResult::Drawn);
    EXPECT_LE(large.FontSize(), 72);

    // One line at the smallest sizes leaves no room for a line at size 6
    // once the margins are taken: nothing fits, the tile is blank.
    TextTile small;
    ASSERT_EQ(RenderTextTexture(small, bundled(7), "abc", 0, 4), TextTileResult::NoSizeFits);
    const DibRecord blank = small.picture();
    ASSERT_FALSE(blank.bits.empty());
    for (size_t i = 0; i + 3 < blank.bits.size(); i += 4) ASSERT_EQ(blank.bits[i], blank.bits[0]);

    // Without an alignment the tile takes its size and nothing more.
    TextTile unaligned;
    EXPECT_EQ(RenderTextTexture(unaligned, bundled(11), "abc", -1, 4), TextTileResult::NotDrawn);
    EXPECT_EQ(unaligned.width(), unaligned.measure("abc").width);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

// ---- The font list ----------------------------------------------------------------------

struct RecordingList : TextListBox {
    std::vector<std::string> items{"stale"};
    void Clear() override { items.clear(); }
    void AddItem(const std::string& t) override { items.push_back(t); }
};

TEST(FontList, ListsTheScreensFacesAndSaysWhenThereAreNone)
{
    TQ_REQUIRE_BUNDLED_FONT();
    platform::TestPorts ports;
    RecordingList list;
    ASSERT_TRUE(mFonts::LoadFontList(list));
    EXPECT_NE(std::find(list.items.begin(), list.items.end(), testing::bundledFontFamily().toStdString()),
              list.items.end());
    EXPECT_EQ(std::find(list.items.begin(), list.items.end(), "stale"), list.items.end());

    // Empty names are left out; the order is the enumeration's.
    RecordingList given;
    ASSERT_TRUE(mFonts::LoadFontList(given, [] {
        return std::optional<std::vector<std::string>>({"Zeta", "", "Alpha"});
    }));
    EXPECT_EQ(given.items, (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_TRUE(ports.messageBoxes.shown.empty());

    // No screen: false, silently. No font at all: the message.
    RecordingList noScreen;
    EXPECT_FALSE(mFonts::LoadFontList(noScreen, [] { return std::optional<std::vector<std::string>>(); }));
    EXPECT_TRUE(noScreen.items.empty());
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    RecordingList none;
    EXPECT_FALSE(mFonts::LoadFontList(none, [] { return std::make_optional(std::vector<std::string>{}); }));
    EXPECT_TRUE(none.items.empty());
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "Failed to get font info");
}

} // namespace
} // namespace tq
