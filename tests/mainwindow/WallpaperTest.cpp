// The wallpaper keys: the active document written as the bitmap in the
// user's data folder, the style values handed to the wallpaper port before
// the picture, and, with the program's own port, what the settings store
// keeps and what GNOME's gsettings is told.
#include "CommandFixture.h"
#include "FileSizeLimit.h"
#include "ScopedEnv.h"
#include "document/FreeImageBridge.h"
#include "platform/DesktopWallpaper.h"
#include "platform/QtPorts.h"
#include "platform/SettingsStore.h"

#include <FreeImage.h>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "XvfbServer.h"

using namespace tq;
using namespace tq::testing;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct WallpaperKeyCase {
    const char* key;
    const char* wallpaperStyle;
    const char* tileWallpaper;
    const char* gnomeOptions;
};
// Tile, Center and Stretch.
constexpr WallpaperKeyCase kKeys[] = {
    {"WTILE", "0", "1", "'wallpaper'"},
    {"WCENTER", "0", "0", "'centered'"},
    {"WSTRETCH", "2", "0", "'stretched'"},
};

class WallpaperFixture : public CommandFixture {
protected:
    QTemporaryDir dataHome;
    ScopedEnv dataEnv{"XDG_DATA_HOME", dataHome.path().toStdString()};
    std::string folder = dataHome.path().toStdString() + "/talvex-quarlend";
    std::string bitmap = folder + "/TalvexQuarlend.bmp";
    platform::FakeWallpaper& wallpaper = ports.wallpaper;

    // The bitmap as Qt and as FreeImage read it back, each against the
    // document's pixels.
    ::testing::AssertionResult bitmapHolds(const fImage& doc) const
    {
        const BitsBuffer bits = doc.Bits();
        const QImage qt(QString::fromStdString(bitmap), "BMP");
        if (qt.width() != bits.width() || qt.height() != bits.height())
            return ::testing::AssertionFailure() << "Qt reads " << qt.width() << "x" << qt.height();
        mFormat::InitFreeImage();
        FIBITMAP* fi = FreeImage_Load(FIF_BMP, bitmap.c_str(), 0);
        if (!fi) return ::testing::AssertionFailure() << "FreeImage cannot read it";
        struct Unload {
            FIBITMAP* b;
            ~Unload() { FreeImage_Unload(b); }
        } unload{fi};
        if (int(FreeImage_GetWidth(fi)) != bits.width() || int(FreeImage_GetHeight(fi)) != bits.height())
            return ::testing::AssertionFailure() << "FreeImage reads another size";
        for (int y = 0; y < bits.height(); ++y)
            for (int x = 0; x < bits.width(); ++x) {
                const QRgb q = qt.pixel(x, y);
                RGBQUAD f{};
                FreeImage_GetPixelColor(fi, unsigned(x), unsigned(bits.height() - 1 - y), &f);
                const int b = bits.at(0, x, y), g = bits.at(1, x, y), r = bits.at(2, x, y);
                if (qRed(q) != r || qGreen(q) != g || qBlue(q) != b)
                    return ::testing::AssertionFailure() << "Qt pixel " << x << "," << y;
                if (f.rgbRed != r || f.rgbGreen != g || f.rgbBlue != b)
                    return ::testing::AssertionFailure() << "FreeImage pixel " << x << "," << y;
            }
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(WallpaperFixture, EachStyleWritesTheBitmapThenItsValuesThenThePicture)
{
    fImage* doc = openDocument(5, 4, "/pictures/holiday.png");
    doc->Changed = true;
    for (const WallpaperKeyCase& k : kKeys) {
        SCOPED_TRACE(k.key);
        wallpaper.writes.clear();
        wallpaper.wallpapers.clear();
        wallpaper.writesBeforeWallpaper.clear();
        // A different picture each time: the file is written anew.
        main->MenuExec("INVERT");
        main->MenuStatic(k.key);

        EXPECT_TRUE(bitmapHolds(*doc));
        EXPECT_EQ(wallpaper.writes, (std::vector<platform::FakeWallpaper::Write>{
                                        {"Control Panel\\Desktop\\", "WallpaperStyle", k.wallpaperStyle},
                                        {"Control Panel\\Desktop\\", "TileWallpaper", k.tileWallpaper}}));
        EXPECT_EQ(wallpaper.wallpapers, std::vector<std::string>{bitmap});
        EXPECT_EQ(wallpaper.writesBeforeWallpaper, std::vector<std::size_t>{2});
        // The document keeps its name and its change mark.
        EXPECT_EQ(doc->Tag, "/pictures/holiday.png");
        EXPECT_TRUE(doc->Changed);
        EXPECT_TRUE(ports.messageBoxes.shown.empty());
        // One file in the folder, overwritten by each command.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
}

TEST_F(WallpaperFixture, AFailedValueSaysSoAndTheRestGoesOn)
{
    openDocument(3, 2);
    wallpaper.writeResult = platform::StoreWrite::Failed;
    main->MenuStatic("WSTRETCH");
    EXPECT_EQ(wallpaper.writes.size(), 2u);
    ASSERT_EQ(ports.messageBoxes.shown.size(), 2u);
    EXPECT_EQ(ports.messageBoxes.shown[0], (platform::MessageBoxRequest{"Error Setting subkey value.",
                                                                       platform::MsgButtons::OK,
                                                                       platform::MsgIcon::None, "Talvex Quarlend"}));
    EXPECT_EQ(wallpaper.wallpapers, std::vector<std::string>{bitmap});

    // A key that cannot be opened is passed over without a word; the
    // picture still goes to the desktop.
    ports.messageBoxes.shown.clear();
    wallpaper.writeResult = platform::StoreWrite::KeyMissing;
    main->MenuStatic("WTILE");
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_EQ(wallpaper.wallpapers.size(), 2u);

    // A desktop that takes no wallpaper: the user is told.
    wallpaper.sets = false;
    main->MenuStatic("WTILE");
    EXPECT_EQ(wallpaper.wallpapers.size(), 3u);
    EXPECT_EQ(ports.messageBoxes.shown,
              (std::vector<platform::MessageBoxRequest>{{"The desktop wallpaper could not be changed.",
                                                         platform::MsgButtons::OK, platform::MsgIcon::Information,
                                                         "Talvex Quarlend"}}));
}

// A full disk never leaves a cut-short wallpaper: the bitmap before stays
// whole, and the desktop is not handed a picture that is not this one.
TEST_F(WallpaperFixture, AFailedWriteKeepsTheOldWallpaperAndTheDesktopAlone)
{
    fImage* doc = openDocument(64, 48);
    main->MenuStatic("WCENTER");
    const std::string before = readBytes(bitmap);
    ASSERT_GT(before.size(), 9000u);
    wallpaper.writes.clear();
    wallpaper.wallpapers.clear();

    main->MenuExec("INVERT");
    {
        ScopedFileSizeLimit full(4096);
        main->MenuStatic("WSTRETCH");
    }
    EXPECT_EQ(readBytes(bitmap), before);
    EXPECT_TRUE(wallpaper.writes.empty());
    EXPECT_TRUE(wallpaper.wallpapers.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_TRUE(doc->PictureExists());
}

// Without a data folder there is nowhere for the bitmap: nothing is written,
// least of all into the working folder.
TEST_F(WallpaperFixture, NoDataFolderNoWallpaper)
{
    openDocument(3, 2);
    const std::string blocker = dataHome.path().toStdString() + "/a-file";
    std::ofstream(blocker) << "x";
    ScopedEnv blocked("XDG_DATA_HOME", blocker + "/data");
    main->MenuStatic("WTILE");
    EXPECT_FALSE(fs::exists("TalvexQuarlend.bmp"));
    EXPECT_TRUE(wallpaper.writes.empty());
    EXPECT_TRUE(wallpaper.wallpapers.empty());
}

TEST_F(WallpaperFixture, WithoutADocumentTheKeysDoNothing)
{
    for (const WallpaperKeyCase& k : kKeys) main->MenuStatic(k.key);
    EXPECT_FALSE(fs::exists(bitmap));
    EXPECT_TRUE(wallpaper.writes.empty());
    EXPECT_TRUE(wallpaper.wallpapers.empty());
}

// The program's own port: the values land in the settings store, and GNOME
// gets the style, then the picture, through gsettings.
TEST_F(WallpaperFixture, TheProgramsPortKeepsTheValuesAndTellsGnome)
{
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME");
    platform::DesktopWallpaper real;
    platform::ScopedPorts scope(platform::Ports{.wallpaper = &real});
    ASSERT_EQ(bitmap.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/-._"),
              std::string::npos);
    const std::string uri = "'file://" + bitmap + "'";
    const platform::SettingsStore store(folder + "/desktop-settings.ini");

    openDocument(6, 5);
    for (const WallpaperKeyCase& k : kKeys) {
        SCOPED_TRACE(k.key);
        ports.processes.runs.clear();
        main->MenuStatic(k.key);
        EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "WallpaperStyle"), k.wallpaperStyle);
        EXPECT_EQ(store.getString("Control Panel\\Desktop\\", "TileWallpaper"), k.tileWallpaper);
        using Run = platform::FakeProcesses::Run;
        const std::string schema = "org.gnome.desktop.background";
        EXPECT_EQ(ports.processes.runs,
                  (std::vector<Run>{{"gsettings", {"set", schema, "picture-options", k.gnomeOptions}},
                                    {"gsettings", {"set", schema, "picture-uri", uri}},
                                    {"gsettings", {"set", schema, "picture-uri-dark", uri}}}));
    }
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    // The bitmap and the store, nothing else.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

// On an X11 session outside GNOME the picture becomes the root window's
// background in the style chosen, read back from a server of the test's
// own. Two pixels tell the styles apart: (5, 0) is the picture's second
// column tiled, its first stretched, and black centred; (31, 23) is its
// (1, 1) centred and stretched but (3, 2) tiled.
TEST_F(WallpaperFixture, OnX11TheRootWindowShowsThePictureInEachStyle)
{
    XvfbServer server("64x48x24");
    ASSERT_TRUE(server.started());
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", nullptr);
    platform::DesktopWallpaper real(server.name());
    platform::ScopedPorts scope(platform::Ports{.wallpaper = &real});

    // 4 x 3, 0xRRGGBB = 0x80 << 16 | (40 x + 1) << 8 | (60 y + 1).
    fImage* doc = openDocument(4, 3);
    BitsBuffer bits(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            bits.at(0, x, y) = static_cast<uint8_t>(60 * y + 1);
            bits.at(1, x, y) = static_cast<uint8_t>(40 * x + 1);
            bits.at(2, x, y) = 0x80;
        }
    doc->setBits(bits);
    auto colour = [](int x, int y) { return 0x800000u | uint32_t(40 * x + 1) << 8 | uint32_t(60 * y + 1); };
    const struct {
        const char* key;
        uint32_t at5x0, at31x23;
    } cases[] = {
        {"WTILE", colour(1, 0), colour(3, 2)},
        {"WCENTER", 0, colour(1, 1)},
        {"WSTRETCH", colour(0, 0), colour(1, 1)},
    };
    XTestConnection x(server.name());
    ASSERT_NE(x.d, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        main->MenuStatic(c.key);
        int w = 0, h = 0;
        const std::vector<uint32_t> root = x.rootPixels(w, h);
        ASSERT_EQ(root.size(), 64u * 48u);
        EXPECT_EQ(root[5], c.at5x0);
        EXPECT_EQ(root[23 * 64 + 31], c.at31x23);
    }
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_TRUE(ports.processes.runs.empty());
}

// gsettings that hangs: each run is stopped at the time limit, and with no
// other setter the user is told the wallpaper could not be changed.
TEST_F(WallpaperFixture, AHungGsettingsIsStoppedAndTheUserTold)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const std::string pids = bin.filePath(QStringLiteral("pids")).toStdString();
    const std::string script = bin.filePath(QStringLiteral("gsettings")).toStdString();
    std::ofstream(script) << "#!/bin/sh\necho $$ >> '" << pids << "'\nexec sleep 60\n";
    chmod(script.c_str(), 0755);
    const char* path = std::getenv("PATH");
    ScopedEnv onPath("PATH", bin.path().toStdString() + ":" + (path ? path : "/usr/bin:/bin"));
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME");
    platform::QtProcesses processes(200);
    platform::DesktopWallpaper real(std::nullopt);
    platform::ScopedPorts scope(platform::Ports{.processes = &processes, .wallpaper = &real});

    openDocument(3, 2);
    main->MenuStatic("WCENTER");
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "The desktop wallpaper could not be changed.");
    // picture-options, picture-uri and picture-uri-dark, each stopped.
    std::ifstream in(pids);
    const std::vector<pid_t> started{std::istream_iterator<pid_t>(in), std::istream_iterator<pid_t>()};
    EXPECT_EQ(started.size(), 3u);
    for (const pid_t pid : started) EXPECT_NE(kill(pid, 0), 0) << pid << " still runs";
}
