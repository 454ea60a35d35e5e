#include "platform/DesktopWallpaper.h"

#include "platform/Folders.h"
#include "platform/SettingsStore.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace tq::platform {

namespace {

constexpr const char* kGsettings = "gsettings";
constexpr const char* kGnomeBackground = "org.gnome.desktop.background";

} // namespace

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
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (!desktop || !desktopIsGnome(desktop) || file.empty()) return false;
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(file), ec);
    if (ec) return false;

    std::optional<std::string> options;
    if (const std::string store = storeFile(); !store.empty()) {
        const SettingsStore settings(store);
        options = gnomePictureOptions(settings.getString(kDesktopKey, kWallpaperStyleName),
                                      settings.getString(kDesktopKey, kTileWallpaperName));
    }
    bool pictureSet = false;
    for (const std::vector<std::string>& args : gnomeWallpaperCommands(absolute.string(), options)) {
        const int code = ports().processes->run(kGsettings, args);
        // GNOME before 42 has no picture-uri-dark; the picture is set all
        // the same.
        if (args[2] == "picture-uri") pictureSet = code == 0;
    }
    return pictureSet;
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

std::optional<std::string> gnomePictureOptions(const std::optional<std::string>& wallpaperStyle,
                                               const std::optional<std::string>& tileWallpaper)
{
    if (tileWallpaper == "1") return "wallpaper";
    if (wallpaperStyle == "2") return "stretched";
    if (wallpaperStyle == "0") return "centered";
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
