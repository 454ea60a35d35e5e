#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "platform/Folders.h"

#include "FileSizeLimit.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tq {

namespace fs = std::filesystem;

namespace {

// A private folder per test, standing in for the program folder.
class SettingsFileTest : public ::testing::Test {
protected:
    fs::path file() const { return dir_ / "tqStart.up"; }

    std::vector<uint8_t> readFile() const
    {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void writeFile(const std::vector<uint8_t>& bytes) const
    {
        std::ofstream out(file(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        return names;
    }

    const testing::TempFolder folder_{"tq-settings"};
    const fs::path dir_ = folder_.path();
};

std::string bytesAt(const std::vector<uint8_t>& b, std::size_t at, std::size_t n)
{
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

} // namespace

TEST_F(SettingsFileTest, FileNameIsInTheProgramFolder)
{
    EXPECT_EQ(Module8::SettingsFile("/opt/tq"), fs::path("/opt/tq/tqStart.up"));
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndCreatesNothing)
{
    Settings s{};
    EXPECT_EQ(Module8::LoadSettings(s, dir_), Module8::SettingsLoad::Defaults);
    EXPECT_EQ(s, defaultSettings(dir_));
    EXPECT_TRUE(folderEntries().empty());
}

TEST_F(SettingsFileTest, DefaultsAreWrittenAsOneRecordWithFieldsAtTheirOffsets)
{
    Settings s{};
    Module8::LoadSettings(s, dir_);
    ASSERT_TRUE(Module8::SaveSettings(s, dir_));
    const std::vector<uint8_t> b = readFile();
    ASSERT_EQ(b.size(), 3339u);

    EXPECT_EQ(bytesAt(b, 0, 2), std::string("\x80\x25", 2));   // 9600 twips
    EXPECT_EQ(bytesAt(b, 2, 2), std::string("\x20\x1C", 2));   // 7200 twips
    EXPECT_EQ(bytesAt(b, 4, 2), std::string("\xFF\xFF", 2));   // maximised
    const std::string images = dir_.string() + "/Images/";
    EXPECT_EQ(bytesAt(b, 8, 256), images + std::string(256 - images.size(), ' '));
    EXPECT_EQ(bytesAt(b, 524, 2048), std::string(2048, '\0'));   // recent files never used
    EXPECT_EQ(bytesAt(b, 2586, 4), std::string("\xFF\xFF\xFF\x00", 4));   // ActiveColor white
    EXPECT_EQ(bytesAt(b, 2594 + 4 * 15, 4), std::string("\xFF\xFF\xFF\x00", 4));   // grey ramp end
    EXPECT_EQ(bytesAt(b, 2660, 25), std::string(25, '\0'));   // ToolName never assigned
    EXPECT_EQ(bytesAt(b, 2685, 2), std::string("\x02\x00", 2));   // SelectMode
    EXPECT_EQ(bytesAt(b, 2807, 2), std::string("\x01\x01", 2));   // ShowResolution, ShowFileName
    EXPECT_EQ(bytesAt(b, 3069, 4), std::string("\x58\x02\x00\x00", 4));   // WebSaveWidth 600
    const std::string lower = dir_.string() + "/images/";
    EXPECT_EQ(bytesAt(b, 3077, lower.size()), lower);
    EXPECT_EQ(bytesAt(b, 3333, 6), std::string("\x03\x00\x05\x00\x50\x00", 6));   // tab, preset, quality
}

TEST_F(SettingsFileTest, LoadThenSaveReproducesTheFileByteForByte)
{
    Settings s = defaultSettings(dir_);
    s.MainMaximized = false;
    s.MainWidth = 12000;
    s.ToolName.assign("Brush");
    s.RecentFiles[0].assign("/home/ann/Pictures/gr\xC3\xBCn.png");
    s.RecentFiles[1].assign("");
    s.ActiveColor = 0x123456;
    s.BrushSize = 60;
    s.ThumbBackColor = 0x808080;
    s.OpenFolder.bytes()[200] = '\0';   // stray bytes inside a text survive as they are
    s.WebSaveFolder.bytes()[255] = '\x7F';
    const SettingsBytes original = encodeSettings(s);
    writeFile({original.begin(), original.end()});

    Settings loaded{};
    ASSERT_EQ(Module8::LoadSettings(loaded, dir_), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(loaded, s);
    ASSERT_TRUE(Module8::SaveSettings(loaded, dir_));
    EXPECT_EQ(readFile(), std::vector<uint8_t>(original.begin(), original.end()));
}

// A file of the wrong length or one that cannot be read is never trusted:
// the defaults are given and the reset is reported; the file is left alone.
TEST_F(SettingsFileTest, DamagedFileGivesDefaultsAndReportsTheReset)
{
    const SettingsBytes good = encodeSettings(defaultSettings("/elsewhere"));
    const std::vector<std::vector<uint8_t>> files = {
        {},                                                      // left empty by a crash
        {0x01},
        std::vector<uint8_t>(good.begin(), good.end() - 1),      // one byte short
        [&] { std::vector<uint8_t> v(good.begin(), good.end()); v.push_back(0); return v; }(),
        std::vector<uint8_t>(2 * 3339, 0),
    };
    for (const std::vector<uint8_t>& f : files) {
        writeFile(f);
        Settings s{};
        EXPECT_EQ(Module8::LoadSettings(s, dir_), Module8::SettingsLoad::Reset) << f.size() << " bytes";
        EXPECT_EQ(s, defaultSettings(dir_)) << f.size() << " bytes";
        EXPECT_EQ(readFile(), f);
    }

    fs::remove(file());
    fs::create_directory(file());   // not a file at all
    Settings s{};
    EXPECT_EQ(Module8::LoadSettings(s, dir_), Module8::SettingsLoad::Reset);
    EXPECT_EQ(s, defaultSettings(dir_));
}

TEST_F(SettingsFileTest, LoadClampsOptionsOutOfRange)
{
    Settings s = defaultSettings(dir_);
    s.BrushSize = 0;
    s.GradientFrequency = -7;
    s.AirbrushQuantity = 30000;
    s.ShapeType = 12;
    s.WebSavePreset = 400;
    s.InitialZoom = 99;
    const SettingsBytes bytes = encodeSettings(s);
    writeFile({bytes.begin(), bytes.end()});

    Settings loaded{};
    ASSERT_EQ(Module8::LoadSettings(loaded, dir_), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(loaded.BrushSize, 1);
    EXPECT_EQ(loaded.GradientFrequency, 1);
    EXPECT_EQ(loaded.AirbrushQuantity, 100);
    EXPECT_EQ(loaded.ShapeType, 6);
    EXPECT_EQ(loaded.WebSavePreset, 23);
    EXPECT_EQ(loaded.InitialZoom, 15);
    EXPECT_EQ(loaded.BrushPressure, 25);   // fields in range are untouched
}

TEST_F(SettingsFileTest, SaveReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    writeFile(std::vector<uint8_t>(5000, 0x55));   // longer than a record: replaced, not overwritten in place
    Settings s = defaultSettings(dir_);
    ASSERT_TRUE(Module8::SaveSettings(s, dir_));
    const SettingsBytes expected = encodeSettings(s);
    EXPECT_EQ(readFile(), std::vector<uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"tqStart.up"});
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileAsItWas)
{
    const std::vector<uint8_t> old(3339, 0x42);
    writeFile(old);
    {
        const ScopedFileSizeLimit diskFull(1000);   // the record is 3339 bytes
        EXPECT_FALSE(Module8::SaveSettings(defaultSettings(dir_), dir_));
    }
    EXPECT_EQ(readFile(), old);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"tqStart.up"});

    // A program folder that does not exist fails too, and creates nothing.
    EXPECT_FALSE(Module8::SaveSettings(defaultSettings(dir_), dir_ / "missing"));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(SettingsFileTest, ProgramRecordIsTheOneLoadedAndSaved)
{
    ScopedContext context;
    EXPECT_EQ(Module8::LoadSettings(dir_), Module8::SettingsLoad::Defaults);
    EXPECT_EQ(programSettings(), defaultSettings(dir_));
    Module8::AddRecentFile("/a.png");
    EXPECT_EQ(programSettings().RecentFiles[0].text(), "/a.png");
    ASSERT_TRUE(Module8::SaveSettings(dir_));
    EXPECT_EQ(readFile().size(), 3339u);
}

// A test's fresh context starts as a first start in the program folder of
// the context around it: its open and save folders are whole paths, so a file
// named after them (a new picture from the clipboard) never lands in the
// working folder.
TEST_F(SettingsFileTest, AFreshContextStartsFromTheDefaultsOfItsProgramFolder)
{
    ScopedContext outer;
    platform::setProgramFolder(dir_.string());
    ScopedContext fresh;
    EXPECT_EQ(programSettings(), defaultSettings(dir_));
    EXPECT_EQ(programSettings().OpenFolder.text(), dir_.string() + "/Images/");
}

// ---- Recent files ----

namespace {

std::vector<std::string> recentTexts(const Settings& s)
{
    std::vector<std::string> out;
    for (const RecentFileEntry& e : s.RecentFiles) out.push_back(e.isUnassigned() ? "<never>" : e.text());
    return out;
}

} // namespace

TEST(RecentFiles, NinePathsKeepTheLastEightNewestFirst)
{
    Settings s = defaultSettings("/p");
    for (int i = 1; i <= 9; ++i) Module8::AddRecentFile(s, "/pics/" + std::to_string(i) + ".jpg");
    const std::vector<std::string> want = {"/pics/9.jpg", "/pics/8.jpg", "/pics/7.jpg", "/pics/6.jpg",
                                           "/pics/5.jpg", "/pics/4.jpg", "/pics/3.jpg", "/pics/2.jpg"};
    EXPECT_EQ(recentTexts(s), want);
}

TEST(RecentFiles, RulesForDuplicatesAndBlankEntries)
{
    std::string longPath(300, 'd');
    longPath.insert(0, 1, '/').append("/x.png");
    struct Case {
        const char* what;
        std::vector<std::string> before;   // "" = blank entry, "<never>" = never used
        std::vector<std::string> added;
        std::vector<std::string> after;
    };
    const std::vector<std::string> never(8, "<never>");
    const Case cases[] = {
        {"same path twice stays one entry", never, {"/a.png", "/a.png"},
         {"/a.png", "<never>", "<never>", "<never>", "<never>", "<never>", "<never>", "<never>"}},
        {"a path already listed further down is not moved", never, {"/a.png", "/b.png", "/a.png"},
         {"/b.png", "/a.png", "<never>", "<never>", "<never>", "<never>", "<never>", "<never>"}},
        {"a blank entry takes the next new path and nothing moves",
         {"/0", "/1", "/2", "", "/4", "/5", "/6", "/7"}, {"/new"},
         {"/0", "/1", "/2", "/new", "/4", "/5", "/6", "/7"}},
        {"a path listed below a blank entry is not listed twice",
         {"/0", "/1", "/2", "", "/4", "/5", "/6", "/7"}, {"/5"},
         {"/0", "/1", "/2", "", "/4", "/5", "/6", "/7"}},
        {"a path cut to 256 bytes still matches itself", never, {longPath, longPath},
         {longPath.substr(0, 256), "<never>", "<never>", "<never>", "<never>", "<never>", "<never>", "<never>"}},
        {"trailing blanks do not make a second entry", never, {"/a.png", "/a.png  "},
         {"/a.png", "<never>", "<never>", "<never>", "<never>", "<never>", "<never>", "<never>"}},
        {"an empty path changes nothing", {"/0", "", "", "", "", "", "", ""}, {"", std::string("\0x", 2)},
         {"/0", "", "", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        Settings s{};
        for (std::size_t i = 0; i < 8; ++i)
            if (c.before[i] != "<never>") s.RecentFiles[i].assign(c.before[i]);
        for (const std::string& p : c.added) Module8::AddRecentFile(s, p);
        EXPECT_EQ(recentTexts(s), c.after) << c.what;
    }
}

// ---- Shortening a path to a width ----

TEST(CompactPath, KeepsTheFileNameAndShortensTheFolder)
{
    // One pixel per character makes the expected texts easy to count.
    const TextWidth perChar = [](std::string_view s) {
        int n = 0;
        for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return n;
    };
    struct Case { std::string path; int width; std::string want; };
    const Case cases[] = {
        {"/home/ann/photo.jpg", 19, "/home/ann/photo.jpg"},        // fits exactly
        {"/home/ann/photo.jpg", 100, "/home/ann/photo.jpg"},
        {"/home/ann/pictures/photo.jpg", 27, "/home/ann/pict.../photo.jpg"},
        {"/home/ann/photo.jpg", 18, "/home.../photo.jpg"},
        {"/home/ann/photo.jpg", 14, "/.../photo.jpg"},
        {"/home/ann/photo.jpg", 13, ".../photo.jpg"},              // no folder part fits
        {"/home/ann/photo.jpg", 5, ".../photo.jpg"},               // the name itself is never cut
        {"photograph.jpeg", 10, "photogr..."},                     // a bare name is cut
        {"photograph.jpeg", 2, "..."},
        {"/photograph.jpeg", 10, "/photog..."},
        {"/\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F\xC3\x9F/x.png", 12, "/\xC3\x9F\xC3\x9F.../x.png"},   // characters stay whole
        {std::string("/a/b.png\0/ignored/after/zero", 28), 8, "/a/b.png"},
    };
    for (const Case& c : cases) EXPECT_EQ(Module8::CompactPath(perChar, c.path, c.width), c.want) << c.path << " " << c.width;
}

TEST(CompactPath, FitsTheScreenFontOrCountsCharacters)
{
    const std::string path = "/home/ann/" + std::string(120, 'f') + "/holiday/beach.jpg";
    const TextWidth screen = screenTextWidth();
    ASSERT_GT(screen("MMMM"), screen("M"));
    const std::string shown = Module8::CompactPath(screen, path, 400);
    EXPECT_LE(screen(shown), 400);
    EXPECT_EQ(shown.substr(shown.size() - 13), ".../beach.jpg");

    // Without a measure every character counts the same.
    const std::string counted = Module8::CompactPath({}, path, 400);
    EXPECT_LE(characterTextWidth(counted), 400);
    EXPECT_GT(characterTextWidth(counted), 400 - kAverageCharacterWidth);
    EXPECT_EQ(counted.substr(counted.size() - 13), ".../beach.jpg");
}

} // namespace tq
