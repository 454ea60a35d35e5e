#include "document/Settings.h"
#include "document/Numeric.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tq {

namespace {

// One field of the record: where it must sit, how many bytes it takes, how to
// give it a value whose every stored byte is nonzero, and those bytes.
struct FieldCase {
    const char* name;
    std::size_t offset;
    std::function<void(Settings&)> set;
    std::vector<uint8_t> bytes;
};

const std::vector<uint8_t> k16{0x02, 0x01};               // 0x0102
const std::vector<uint8_t> kTrue{0xFF, 0xFF};             // Boolean true = -1
const std::vector<uint8_t> k32{0x04, 0x03, 0x02, 0x01};   // 0x01020304
std::vector<uint8_t> blanks(std::size_t n) { return std::vector<uint8_t>(n, ' '); }

#define I16(f, off) FieldCase{#f, off, [](Settings& s) { s.f = 0x0102; }, k16}
#define BOOL(f, off) FieldCase{#f, off, [](Settings& s) { s.f = true; }, kTrue}
#define I32(f, off) FieldCase{#f, off, [](Settings& s) { s.f = 0x01020304; }, k32}
#define U8(f, off) FieldCase{#f, off, [](Settings& s) { s.f = 0xAB; }, {0xAB}}
#define TEXT(f, off, n) FieldCase{#f, off, [](Settings& s) { s.f.assign(""); }, blanks(n)}

std::vector<FieldCase> fieldTable()
{
    std::vector<FieldCase> t = {
        I16(MainWidth, 0), I16(MainHeight, 2), BOOL(MainMaximized, 4), BOOL(ImageMaximized, 6),
        TEXT(OpenFolder, 8, 256), TEXT(SaveFolder, 264, 256), BOOL(AskSave, 520), I16(InitialZoom, 522),
    };
    for (int i = 0; i < 8; ++i)
        t.push_back({"RecentFiles", static_cast<std::size_t>(524 + 256 * i),
                     [i](Settings& s) { s.RecentFiles[i].assign(""); }, blanks(256)});
    const std::vector<FieldCase> rest = {
        BOOL(ColorBoxVisible, 2572), BOOL(TexturesBoxVisible, 2574), BOOL(HistoryBoxVisible, 2576),
        BOOL(PanoramicBoxVisible, 2578), BOOL(BrowserBoxVisible, 2580),
        I32(ColorSpare, 2582), I32(ActiveColor, 2586), I32(SecondColor, 2590),
    };
    t.insert(t.end(), rest.begin(), rest.end());
    for (int i = 0; i < 16; ++i)
        t.push_back({"ColorTable", static_cast<std::size_t>(2594 + 4 * i),
                     [i](Settings& s) { s.ColorTable[i] = 0x01020304; }, k32});
    const std::vector<FieldCase> tail = {
        BOOL(ColorTableFlag, 2658), TEXT(ToolName, 2660, 25),
        I16(SelectMode, 2685), I16(SelectShape, 2687), I16(SelectPressure, 2689), BOOL(MoveSelection, 2691),
        I16(BrushMode, 2693), I16(BrushSize, 2695), I16(BrushPressure, 2697), BOOL(BrushContinuous, 2699),
        I16(AirbrushSize, 2701), I16(AirbrushPressure, 2703), I16(AirbrushQuantity, 2705),
        I16(AirbrushDefinition, 2707),
        I16(FillMode, 2709), I16(FillTolerance, 2711), I16(FillPressure, 2713),
        I16(ShapeType, 2715), I16(ShapePressure, 2717), I16(ShapeSides, 2719),
        I32(StampMaskColor, 2721), BOOL(StampUseMaskColor, 2725), BOOL(StampMask, 2727),
        BOOL(StampClearBack, 2729), I16(StampPressure, 2731),
        I32(GradientMode, 2733), I32(GradientColor1, 2737), I32(GradientColor2, 2741),
        BOOL(GradientTransparent1, 2745), BOOL(GradientTransparent2, 2747), I16(GradientPressure, 2749),
        I16(GradientFrequency, 2751),
        I16(SelectionMovePressure, 2753), BOOL(SelectionMoveFromClip, 2755),
        I16(HistoryBoxLeft, 2757), I16(HistoryBoxTop, 2759), I16(HistoryBoxHeight, 2761),
        I16(HistoryBoxWidth, 2763), BOOL(HistoryBoxCollapsed, 2765),
        I16(TexturesBoxLeft, 2767), I16(TexturesBoxTop, 2769), BOOL(TexturesBoxCollapsed, 2771),
        I16(ColorBoxLeft, 2773), I16(ColorBoxTop, 2775), BOOL(ColorBoxCollapsed, 2777),
        I16(PanoramicBoxLeft, 2779), I16(PanoramicBoxTop, 2781), I16(PanoramicBoxHeight, 2783),
        I16(PanoramicBoxWidth, 2785), BOOL(PanoramicBoxCollapsed, 2787),
        I16(BrowserBoxLeft, 2789), I16(BrowserBoxTop, 2791), I16(BrowserBoxHeight, 2793),
        I16(BrowserBoxWidth, 2795), BOOL(BrowserBoxCollapsed, 2797),
        I16(ThumbWidth, 2799), I16(ThumbHeight, 2801), I16(ThumbQuality, 2803), I16(BrowserView, 2805),
        U8(ShowResolution, 2807), U8(ShowFileName, 2808), I32(ThumbBackColor, 2809),
        TEXT(BrowserFolder, 2813, 256),
        I32(WebSaveWidth, 3069), I32(WebSaveHeight, 3073), TEXT(WebSaveFolder, 3077, 256),
        I16(WebSaveTab, 3333), I16(WebSavePreset, 3335), I16(WebSaveJpegQuality, 3337),
    };
    t.insert(t.end(), tail.begin(), tail.end());
    return t;
}

#undef I16
#undef BOOL
#undef I32
#undef U8
#undef TEXT

} // namespace

TEST(SettingsRecord, StartingStateIsAllZeroBytes)
{
    const SettingsBytes bytes = encodeSettings(Settings{});
    for (std::size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

// Each field, set alone, changes exactly its own bytes at its own offset; the
// table's fields tile the whole 3339-byte record.
TEST(SettingsRecord, EveryFieldSitsAtItsOffset)
{
    const std::vector<FieldCase> table = fieldTable();
    std::size_t next = 0;
    for (const FieldCase& c : table) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.offset));
        EXPECT_EQ(c.offset, next);
        next = c.offset + c.bytes.size();

        Settings s{};
        c.set(s);
        const SettingsBytes bytes = encodeSettings(s);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool inside = i >= c.offset && i < c.offset + c.bytes.size();
            ASSERT_EQ(bytes[i], inside ? c.bytes[i - c.offset] : 0) << "byte " << i;
        }
        // The decoder reads the field back from the same place.
        EXPECT_EQ(decodeSettings(bytes), s);
    }
    EXPECT_EQ(next, kSettingsRecordSize);
}

TEST(SettingsRecord, NumbersAreLittleEndianAndSigned)
{
    Settings s{};
    s.InitialZoom = -2;                    // 0xFFFE
    s.ActiveColor = rgbColor(0x11, 0x22, 0x33);
    s.WebSaveJpegQuality = 80;
    s.WebSaveWidth = -600;
    const SettingsBytes b = encodeSettings(s);
    EXPECT_EQ(b[522], 0xFE);
    EXPECT_EQ(b[523], 0xFF);
    EXPECT_EQ(b[2586], 0x11);
    EXPECT_EQ(b[2587], 0x22);
    EXPECT_EQ(b[2588], 0x33);
    EXPECT_EQ(b[2589], 0x00);
    EXPECT_EQ(b[3337], 80);
    EXPECT_EQ(b[3338], 0);
    EXPECT_EQ(decodeSettings(b).WebSaveWidth, -600);
    EXPECT_EQ(decodeSettings(b).InitialZoom, -2);
}

TEST(SettingsRecord, AnyNonzeroBooleanReadsTrueAndWritesMinusOne)
{
    SettingsBytes b{};
    b[520] = 1;   // AskSave holding 1 instead of -1
    Settings s = decodeSettings(b);
    EXPECT_TRUE(s.AskSave);
    EXPECT_FALSE(s.MainMaximized);
    const SettingsBytes again = encodeSettings(s);
    EXPECT_EQ(again[520], 0xFF);
    EXPECT_EQ(again[521], 0xFF);
}

// A 16-bit twips field saturates instead of wrapping to a negative size.
TEST(SettingsRecord, TwipsFieldsSaturateAt16Bits)
{
    struct Case { int32_t assigned; int32_t kept; };
    const Case cases[] = {
        {9600, 9600}, {32767, 32767}, {32768, 32767}, {2200 * kTwipsPerPixel, 32767},
        {1 << 20, 32767}, {-32768, -32768}, {-40000, -32768}, {-1, -1},
    };
    for (const Case& c : cases) {
        Settings s{};
        s.MainWidth = c.assigned;
        s.BrowserBoxHeight = c.assigned;
        EXPECT_EQ(static_cast<int32_t>(s.MainWidth), c.kept) << c.assigned;
        const Settings back = decodeSettings(encodeSettings(s));
        EXPECT_EQ(static_cast<int32_t>(back.MainWidth), c.kept) << c.assigned;
        EXPECT_EQ(static_cast<int32_t>(back.BrowserBoxHeight), c.kept) << c.assigned;
    }
}

// Text is padded with blanks, or cut without splitting a UTF-8 character.
TEST(SettingsRecord, TextFieldsArePaddedOrCutOnACharacterBoundary)
{
    struct Case { std::string assigned; std::string stored; };
    const std::string a24(24, 'a');
    const Case cases[] = {
        {"Brush", "Brush" + std::string(20, ' ')},
        {"", std::string(25, ' ')},
        {std::string(25, 'x'), std::string(25, 'x')},
        {std::string(30, 'x'), std::string(25, 'x')},
        {a24 + "b", a24 + "b"},
        {a24 + "\xC3\xA9", a24 + " "},                          // 2-byte character across the end
        {std::string(23, 'a') + "\xE2\x82\xAC", std::string(23, 'a') + "  "},   // 3-byte euro sign
        {std::string(22, 'a') + "\xE2\x82\xAC", std::string(22, 'a') + "\xE2\x82\xAC"},   // fits exactly
        {"\xF0\x9F\x99\x82" + std::string(22, 'a'), "\xF0\x9F\x99\x82" + std::string(21, 'a')},
    };
    for (const Case& c : cases) {
        FixedText<25> t;
        t.assign(c.assigned);
        EXPECT_EQ(std::string(t.bytes().data(), 25), c.stored) << c.assigned;
    }

    FixedText<256> folder;
    folder.assign(std::string(300, 'p'));
    EXPECT_EQ(folder.text(), std::string(256, 'p'));
    folder.assign("/pictures/");
    EXPECT_EQ(folder.text(), "/pictures/");
    EXPECT_EQ(folder.bytes()[255], ' ');
}

TEST(SettingsRecord, TextReadsWithoutTrailingBlanksOrZeroBytes)
{
    FixedText<25> t;
    EXPECT_TRUE(t.isUnassigned());
    EXPECT_FALSE(t.isBlank());
    EXPECT_EQ(t.text(), "");
    t.assign("");
    EXPECT_TRUE(t.isBlank());
    EXPECT_FALSE(t.isUnassigned());
    t.assign("Pencil  ");
    EXPECT_EQ(t.text(), "Pencil");
    t.clear();
    EXPECT_TRUE(t.isUnassigned());
}

TEST(SettingsRecord, DefaultsAreTheFirstStartValues)
{
    const Settings s = defaultSettings("/opt/tq");
    EXPECT_EQ(static_cast<int32_t>(s.MainWidth), 640 * 15);
    EXPECT_EQ(static_cast<int32_t>(s.MainHeight), 480 * 15);
    EXPECT_TRUE(s.MainMaximized);
    EXPECT_FALSE(s.ImageMaximized);
    EXPECT_TRUE(s.AskSave);
    EXPECT_EQ(s.OpenFolder.text(), "/opt/tq/Images/");
    EXPECT_EQ(s.SaveFolder.text(), "/opt/tq/Images/");
    EXPECT_EQ(s.BrowserFolder.text(), "/opt/tq/Images/");
    EXPECT_EQ(s.WebSaveFolder.text(), "/opt/tq/images/");
    for (const RecentFileEntry& e : s.RecentFiles) EXPECT_TRUE(e.isUnassigned());
    EXPECT_TRUE(s.ToolName.isUnassigned());
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s.ColorTable[i], rgbColor(17 * i, 17 * i, 17 * i)) << i;
    EXPECT_EQ(s.ActiveColor, 0xFFFFFF);
    EXPECT_EQ(s.SelectMode, 2);
    EXPECT_EQ(s.AirbrushQuantity, 100);
    EXPECT_EQ(s.SelectionMovePressure, 80);
    EXPECT_EQ(static_cast<int32_t>(s.BrowserBoxTop), 6930);
    EXPECT_EQ(s.ShowResolution, 1);
    EXPECT_EQ(s.WebSavePreset, 5);
    EXPECT_EQ(s.WebSaveJpegQuality, 80);
    // A trailing separator on the folder is not doubled.
    EXPECT_EQ(defaultSettings("/opt/tq/").OpenFolder.text(), "/opt/tq/Images/");
    // The defaults are already within every range the loader enforces.
    Settings copy = s;
    EXPECT_EQ(clampSettings(copy), 0);
}

// Options a damaged file can hold out of range come back into range.
TEST(SettingsRecord, ClampBringsOptionsIntoTheirRanges)
{
    struct Case { const char* name; std::function<void(Settings&, int)> set; std::function<int(const Settings&)> get;
                  int stored; int kept; };
#define FIELD(f) #f, [](Settings& s, int v) { s.f = static_cast<decltype(s.f)>(v); }, \
                 [](const Settings& s) { return static_cast<int>(s.f); }
    const Case cases[] = {
        {FIELD(BrushSize), 0, 1},           {FIELD(BrushSize), 101, 100},     {FIELD(BrushSize), 100, 100},
        {FIELD(BrushPressure), -5, 1},      {FIELD(AirbrushDefinition), 0, 1}, {FIELD(AirbrushQuantity), 32767, 100},
        {FIELD(FillTolerance), 0, 1},       {FIELD(GradientFrequency), 0, 1}, {FIELD(ShapeSides), 0, 1},
        {FIELD(ShapeSides), 3, 3},          {FIELD(StampPressure), 1000, 100}, {FIELD(SelectPressure), 0, 1},
        {FIELD(SelectionMovePressure), -1, 1}, {FIELD(ShapePressure), 0, 1},  {FIELD(GradientPressure), 0, 1},
        {FIELD(SelectMode), 3, 2},          {FIELD(SelectMode), -1, 0},       {FIELD(SelectShape), 9, 3},
        {FIELD(BrushMode), 7, 6},           {FIELD(FillMode), 2, 1},          {FIELD(ShapeType), 7, 6},
        {FIELD(GradientMode), 5, 1},        {FIELD(ThumbQuality), 2, 1},      {FIELD(BrowserView), 0, 4},
        {FIELD(BrowserView), 9, 8},         {FIELD(WebSaveTab), 0, 1},        {FIELD(WebSaveTab), 4, 3},
        {FIELD(WebSavePreset), 24, 23},     {FIELD(WebSavePreset), -1, 0},    {FIELD(WebSaveJpegQuality), 0, 1},
        {FIELD(WebSaveJpegQuality), 101, 100}, {FIELD(InitialZoom), 0, 1},   {FIELD(InitialZoom), 16, 15},
        {FIELD(InitialZoom), 3, 3},         {FIELD(ThumbWidth), 0, 17},       {FIELD(ThumbWidth), 500, 210},
        {FIELD(ThumbHeight), 0, 17},        {FIELD(ThumbHeight), 195, 194},
    };
#undef FIELD
    for (const Case& c : cases) {
        Settings s = defaultSettings("/p");
        c.set(s, c.stored);
        const int changed = clampSettings(s);
        EXPECT_EQ(c.get(s), c.kept) << c.name << " stored " << c.stored;
        EXPECT_EQ(changed, c.stored == c.kept ? 0 : 1) << c.name << " stored " << c.stored;
    }
}

} // namespace tq
