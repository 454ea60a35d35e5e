// The desktop settings store and the wallpaper port of the running program:
// what the store keeps and refuses, and the gsettings runs GNOME is given,
// recorded by the processes double.
#include "FileSizeLimit.h"
#include "ScopedEnv.h"
#include "platform/DesktopWallpaper.h"
#include "platform/SettingsStore.h"
#include "support/TestPorts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tq::platform;
namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct StoreFixture : ::testing::Test {
    QTemporaryDir dir;
    std::string file = dir.path().toStdString() + "/store.ini";
    SettingsStore store{file};
};

} // namespace

TEST_F(StoreFixture, KeepsValuesPerKeyAndFindsThemWhateverTheirCase)
{
    EXPECT_EQ(store.setString("Control Panel\\Desktop\\", "WallpaperStyle", "2"), StoreWrite::Written);
    EXPECT_EQ(store.setString("Control Panel\\Desktop\\", "TileWallpaper", "0"), StoreWrite::Written);
    EXPECT_EQ(store.setString("Other\\Key", "WallpaperStyle", "7"), StoreWrite::Written);
    // The same value again, named in another case and without the key's
    // trailing "\": replaced, not added.
    EXPECT_EQ(store.setString("control panel\\DESKTOP", "wallpaperstyle", "0"), StoreWrite::Written);

    EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "WallpaperStyle"), "0");
    EXPECT_EQ(store.getString("CONTROL PANEL\\desktop", "tilewallpaper"), "0");
    EXPECT_EQ(store.getString("Other\\Key\\", "WallpaperStyle"), "7");
    EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "Missing"), std::nullopt);
    EXPECT_EQ(store.getString("No\\Such\\Key", "WallpaperStyle"), std::nullopt);
    EXPECT_EQ(readFile(file), "[Control Panel\\Desktop]\nWallpaperStyle=0\nTileWallpaper=0\n\n"
                              "[Other\\Key]\nWallpaperStyle=7\n");
    // Nothing but the store itself is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path().toStdString()), fs::directory_iterator()), 1);
}

TEST_F(StoreFixture, RefusesWhatItCannotKeepAndLeavesTheFileAsItWas)
{
    ASSERT_EQ(store.setString("Control Panel\\Desktop\\", "WallpaperStyle", "2"), StoreWrite::Written);
    const std::string before = readFile(file);
    const struct {
        std::string key, name, value;
        StoreWrite result;
    } cases[] = {
        {"", "WallpaperStyle", "1", StoreWrite::KeyMissing},
        {"\\", "WallpaperStyle", "1", StoreWrite::KeyMissing},
        {"Bad]Key", "WallpaperStyle", "1", StoreWrite::KeyMissing},
        {"Bad\nKey", "WallpaperStyle", "1", StoreWrite::KeyMissing},
        {"Control Panel\\Desktop\\", "", "1", StoreWrite::Failed},
        {"Control Panel\\Desktop\\", "A=B", "1", StoreWrite::Failed},
        {"Control Panel\\Desktop\\", "Wallpaper\nStyle", "1", StoreWrite::Failed},
        {"Control Panel\\Desktop\\", "WallpaperStyle", "1\n[Injected]", StoreWrite::Failed},
        {"Control Panel\\Desktop\\", "WallpaperStyle", "1\r", StoreWrite::Failed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store.setString(c.key, c.name, c.value), c.result) << c.key << " " << c.name << " " << c.value;
        EXPECT_EQ(readFile(file), before);
    }

    // A store whose folder is gone has no key to open.
    SettingsStore nowhere(dir.path().toStdString() + "/missing/store.ini");
    EXPECT_EQ(nowhere.setString("Control Panel\\Desktop\\", "WallpaperStyle", "1"), StoreWrite::KeyMissing);
    EXPECT_FALSE(fs::exists(dir.path().toStdString() + "/missing"));
}

TEST_F(StoreFixture, ReadsAroundDamageAndDistrustsAnOversizedFile)
{
    // Lines that are neither a section nor a value are passed over; the
    // values around them stay.
    writeFile(file, "garbage before any key\n=no name\n[Control Panel\\Desktop]\r\nTileWallpaper=1\r\n"
                    "no equals sign\nWallpaperStyle=0");
    EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "TileWallpaper"), "1");
    EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "WallpaperStyle"), "0");
    EXPECT_EQ(store.setString("Control Panel\\Desktop\\", "WallpaperStyle", "2"), StoreWrite::Written);
    EXPECT_EQ(readFile(file), "[Control Panel\\Desktop]\nTileWallpaper=1\nWallpaperStyle=2\n");

    const std::string huge = "[Control Panel\\Desktop]\nTileWallpaper=1\n" + std::string(SettingsStore::kMaxBytes, '#');
    writeFile(file, huge);
    EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "TileWallpaper"), std::nullopt);
    EXPECT_EQ(store.setString("Control Panel\\Desktop\\", "TileWallpaper", "0"), StoreWrite::Failed);
    EXPECT_EQ(readFile(file), huge);
}

TEST_F(StoreFixture, AFullDiskLeavesTheStoreWhole)
{
    ASSERT_EQ(store.setString("Control Panel\\Desktop\\", "WallpaperStyle", "2"), StoreWrite::Written);
    const std::string before = readFile(file);
    {
        ScopedFileSizeLimit full(8);
        EXPECT_EQ(store.setString("Control Panel\\Desktop\\", "TileWallpaper", "1"), StoreWrite::Failed);
    }
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path().toStdString()), fs::directory_iterator()), 1);
}

TEST(GnomeWallpaper, UriQuotingAndDesktopNames)
{
    EXPECT_EQ(fileUri("/home/ann/.local/share/talvex-quarlend/TalvexQuarlend.bmp"),
              "file:///home/ann/.local/share/talvex-quarlend/TalvexQuarlend.bmp");
    // Blanks, quotes, backslashes, "%", "#", "?" and every byte past ASCII
    // are escaped, so the URI names the file exactly and holds nothing the
    // value's quoting must deal with.
    EXPECT_EQ(fileUri("/tmp/it's a \"pic\"\\%#?.bmp"), "file:///tmp/it%27s%20a%20%22pic%22%5C%25%23%3F.bmp");
    EXPECT_EQ(fileUri("/home/j\xC3\xB6rg/b.bmp"), "file:///home/j%C3%B6rg/b.bmp");
    EXPECT_EQ(gvariantString("centered"), "'centered'");
    EXPECT_EQ(gvariantString("a'b\\c"), "'a\\'b\\\\c'");

    const struct {
        const char* desktop;
        bool gnome;
    } desktops[] = {{"GNOME", true},     {"ubuntu:GNOME", true}, {"GNOME-Classic:GNOME", true},
                    {"KDE", false},      {"", false},            {"X-Cinnamon", false},
                    {"GNOME-Flashback", false}, {"gnome", false}};
    for (const auto& d : desktops) EXPECT_EQ(desktopIsGnome(d.desktop), d.gnome) << d.desktop;

    const struct {
        std::optional<std::string> style, tile, options;
    } styles[] = {
        {"0", "1", "wallpaper"}, {"0", "0", "centered"}, {"2", "0", "stretched"},
        {"2", "1", "wallpaper"}, {std::nullopt, std::nullopt, std::nullopt}, {"6", "0", std::nullopt},
    };
    for (const auto& s : styles)
        EXPECT_EQ(gnomePictureOptions(s.style, s.tile), s.options) << s.style.value_or("-") << s.tile.value_or("-");
}

// The port as the program runs it: the store in the user's data folder and,
// on GNOME, gsettings with the style the store holds.
struct PortFixture : ::testing::Test {
    QTemporaryDir data;
    ScopedEnv dataHome{"XDG_DATA_HOME", data.path().toStdString()};
    TestPorts ports;
    DesktopWallpaper wallpaper;
    std::string folder = data.path().toStdString() + "/talvex-quarlend";
    std::string picture = folder + "/TalvexQuarlend.bmp";
    std::string uri = "'file://" + picture + "'";

    using Run = FakeProcesses::Run;
    static Run set(const char* key, const std::string& value)
    {
        return {"gsettings", {"set", "org.gnome.desktop.background", key, value}};
    }
};

TEST_F(PortFixture, GnomeIsGivenTheStoredStyleThenThePicture)
{
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    ASSERT_EQ(data.path().toStdString().find_first_not_of(
                  "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/-._"),
              std::string::npos);

    // Nothing stored yet: the desktop keeps its own option.
    EXPECT_TRUE(wallpaper.setWallpaper(picture));
    EXPECT_EQ(ports.processes.runs, (std::vector<Run>{set("picture-uri", uri), set("picture-uri-dark", uri)}));

    EXPECT_EQ(wallpaper.setString(kDesktopKey, kWallpaperStyleName, "0"), StoreWrite::Written);
    EXPECT_EQ(wallpaper.setString(kDesktopKey, kTileWallpaperName, "1"), StoreWrite::Written);
    EXPECT_EQ(SettingsStore(folder + "/" + DesktopWallpaper::kStoreFileName).getString(kDesktopKey, "TileWallpaper"),
              "1");
    ports.processes.runs.clear();
    EXPECT_TRUE(wallpaper.setWallpaper(picture));
    EXPECT_EQ(ports.processes.runs, (std::vector<Run>{set("picture-options", "'wallpaper'"), set("picture-uri", uri),
                                                      set("picture-uri-dark", uri)}));

    // A relative name is made absolute first.
    ports.processes.runs.clear();
    wallpaper.setWallpaper("rel.bmp");
    EXPECT_EQ(ports.processes.runs.back().args[3], gvariantString(fileUri(fs::absolute("rel.bmp").string())));

    // gsettings missing or refusing the picture: failure; only the dark
    // variant refused (GNOME before 42): the picture is set.
    ports.processes.exitCode = -1;
    EXPECT_FALSE(wallpaper.setWallpaper(picture));
    struct DarkRefused : FakeProcesses {
        int run(const std::string& program, const std::vector<std::string>& args) override
        {
            FakeProcesses::run(program, args);
            return args[2] == "picture-uri-dark" ? 1 : 0;
        }
    } darkRefused;
    ScopedPorts scope(Ports{.processes = &darkRefused});
    EXPECT_TRUE(wallpaper.setWallpaper(picture));
}

TEST_F(PortFixture, OtherDesktopsRunNothingAndReportFailure)
{
    for (const char* desktop : {"KDE", "XFCE", "", static_cast<const char*>(nullptr)}) {
        ScopedEnv env("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_FALSE(wallpaper.setWallpaper(picture)) << (desktop ? desktop : "(unset)");
    }
    EXPECT_TRUE(ports.processes.runs.empty());
    // The store is still kept.
    EXPECT_EQ(wallpaper.setString(kDesktopKey, kWallpaperStyleName, "2"), StoreWrite::Written);
}
