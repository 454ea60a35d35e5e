// The wallpaper port of the running program: the desktop settings live in a
// SettingsStore in the user's data folder, and the picture goes to the
// desktop through every setter the session has. On GNOME that is
// gsettings, run through the processes port as a program with its
// arguments, never through a shell. On any X11 session (GNOME's included)
// the picture also becomes the root window's background, laid out in the
// stored style, which desktops without a setter of their own and
// pseudo-transparent terminals show. Where neither is there, setWallpaper
// reports failure.
#pragma once

#include "platform/Ports.h"
#include "platform/X11Desktop.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tq::platform {

class DesktopWallpaper : public Wallpaper {
public:
    // The root window set is the one of the X11 session the program's
    // windows are on (none under Wayland or off screen)...
    DesktopWallpaper() = default;
    // ... or the one of that display (a test's own server; nullopt: none).
    explicit DesktopWallpaper(std::optional<std::string> x11Display)
        : fixedDisplay_(true), x11Display_(std::move(x11Display))
    {
    }

    StoreWrite setString(const std::string& keyPath, const std::string& name, const std::string& value) override;
    bool setWallpaper(const std::string& file) override;

    // The store's file, inside the user's data folder ("" without one).
    static std::string storeFile();
    static constexpr const char* kStoreFileName = "desktop-settings.ini";

private:
    std::optional<std::string> x11Display() const;

    bool fixedDisplay_ = false;
    std::optional<std::string> x11Display_;
};

// The key and value names the desktop's style is read from.
inline constexpr const char* kDesktopKey = "Control Panel\\Desktop\\";
inline constexpr const char* kWallpaperStyleName = "WallpaperStyle";
inline constexpr const char* kTileWallpaperName = "TileWallpaper";

// True when XDG_CURRENT_DESKTOP (a ":"-separated list) names GNOME.
bool desktopIsGnome(std::string_view currentDesktop);

// The layout the stored style values ask for: TileWallpaper "1" tiles;
// otherwise WallpaperStyle "2" stretches and "0" centres. nullopt for
// anything else.
std::optional<WallpaperLayout> storedLayout(const std::optional<std::string>& wallpaperStyle,
                                            const std::optional<std::string>& tileWallpaper);

// GNOME's picture-options for the stored style values ("wallpaper",
// "centered" or "stretched" for the layout above); nullopt where they ask
// for none, which leaves the desktop's own option alone.
std::optional<std::string> gnomePictureOptions(const std::optional<std::string>& wallpaperStyle,
                                               const std::optional<std::string>& tileWallpaper);

// "file://" and the absolute path, every byte but letters, digits,
// "-._~" and "/" percent-encoded.
std::string fileUri(const std::string& absolutePath);

// The text as a GVariant string literal, as gsettings reads its values:
// single-quoted, with "\" and "'" escaped.
std::string gvariantString(std::string_view text);

// The gsettings runs that show the file in the given option (none: the
// option is left alone): picture-options first, so the new style applies
// as the picture changes, then picture-uri and picture-uri-dark.
std::vector<std::vector<std::string>> gnomeWallpaperCommands(const std::string& absolutePath,
                                                            const std::optional<std::string>& pictureOptions);

} // namespace tq::platform
