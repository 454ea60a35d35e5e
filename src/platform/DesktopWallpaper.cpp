#include "platform/DesktopWallpaper.h"

#include "platform/Folders.h"
#include "platform/QtImage.h"
#include "platform/QtPorts.h"
#include "platform/SettingsStore.h"

#include <QImage>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace tq::platform {

namespace {

constexpr const char* kGsettings = "gsettings";
constexpr const char* kGnomeBackground = "org.gnome.desktop.background";

bool setThroughGsettings(const std::string& absolutePath, const std::optional<std::string>& options)
{
    bool pictureSet = false;
    for (const std::vector<std::string>& args : gnomeWallpaperCommands(absolutePath, options)) {
        const int code = ports().processes->run(kGsettings, args);
        // GNOME before 42 has no picture-uri-dark; the picture is set all
        // the same.
        if (args[2] == "picture-uri") pictureSet = code == 0;
    }
    return pictureSet;
}

bool setOnRootWindow(const std::string& display, const std::string& file, WallpaperLayout layout)
{
    const QImage picture(QString::fromStdString(file));
    if (picture.isNull()) return false;
    return x11::setRootBackground(display, dibFromImage(picture), layout);
}

// A Wayland session may still run X programs, but their root window is
// never shown.
bool waylandSession()
{
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return (wayland && *wayland) || (type && std::string_view(type) == "wayland");
}

} // namespace

std::optional<std::string> DesktopWallpaper::x11Display() const
{
    if (fixedDisplay_) return x11Display_;
    if (waylandSession()) return std::nullopt;
    return qtX11DisplayName();
}

std::string DesktopWallpaper::storeFile()
{
    const std::string folder = userDataFolder();
    return folder.empty() ? std::string() : joinPath(folder, kStoreFileName);
}

StoreWrite DesktopWallpaper::setString(const std::string& keyPath, const std::string& name, const std::string& value)
{
    const std::string file = storeFile();
    if (file.empty()) return StoreWrite::KeyMissing;
    return SettingsStore(file).setString(keyPath, name, value);
}

bool DesktopWallpaper::setWallpaper(const std::string& file)
{
    if (file.empty()) return false;
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(file), ec);
    if (ec) return false;

    std::optional<std::string> style, tile;
    if (const std::string store = storeFile(); !store.empty()) {
        const SettingsStore settings(store);
        style = settings.getString(kDesktopKey, kWallpaperStyleName);
        tile = settings.getString(kDesktopKey, kTileWallpaperName);
    }
    bool shown = false;
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (desktop && desktopIsGnome(desktop))
        shown = setThroughGsettings(absolute.string(), gnomePictureOptions(style, tile));
    // The root window has no style of its own to keep: without a stored one
    // the picture is centred.
    if (const std::optional<std::string> display = x11Display()) {
        const WallpaperLayout layout = storedLayout(style, tile).value_or(WallpaperLayout::Center);
        shown = setOnRootWindow(*display, absolute.string(), layout) || shown;
    }
    return shown;
}

bool desktopIsGnome(std::string_view currentDesktop)
{
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        std::size_t end = currentDesktop.find(':', start);
        if (end == std::string_view::npos) end = currentDesktop.size();
        if (currentDesktop.substr(start, end - start) == "GNOME") return true;
        start = end + 1;
    }
    return false;
}

std::optional<WallpaperLayout> storedLayout(const std::optional<std::string>& wallpaperStyle,
                                            const std::optional<std::string>& tileWallpaper)
{
    if (tileWallpaper == "1") return WallpaperLayout::Tile;
    if (wallpaperStyle == "2") return WallpaperLayout::Stretch;
    if (wallpaperStyle == "0") return WallpaperLayout::Center;
    return std::nullopt;
}

std::optional<std::string> gnomePictureOptions(const std::optional<std::string>& wallpaperStyle,
                                               const std::optional<std::string>& tileWallpaper)
{
    const std::optional<WallpaperLayout> layout = storedLayout(wallpaperStyle, tileWallpaper);
    if (!layout) return std::nullopt;
    switch (*layout) {
    case WallpaperLayout::Tile: return "wallpaper";
    case WallpaperLayout::Center: return "centered";
    case WallpaperLayout::Stretch: return "stretched";
    }
    return std::nullopt;
}

std::string fileUri(const std::string& absolutePath)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char ch : absolutePath) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            uri += ch;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

std::string gvariantString(std::string_view text)
{
    std::string out = "'";
    for (const char c : text) {
        if (c == '\\' || c == '\'') out += '\\';
        out += c;
    }
    out += '\'';
    return out;
}

std::vector<std::vector<std::string>> gnomeWallpaperCommands(const std::string& absolutePath,
                                                            const std::optional<std::string>& pictureOptions)
{
    std::vector<std::vector<std::string>> runs;
    if (pictureOptions) runs.push_back({"set", kGnomeBackground, "picture-options", gvariantString(*pictureOptions)});
    const std::string uri = gvariantString(fileUri(absolutePath));
    runs.push_back({"set", kGnomeBackground, "picture-uri", uri});
    runs.push_back({"set", kGnomeBackground, "picture-uri-dark", uri});
    return runs;
}

} // namespace tq::platform
