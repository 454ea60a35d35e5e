// The desktop wallpaper: the style values written into the user's desktop
// settings, then the picture file handed to the desktop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tq::mWallpaper {

// The bitmap every wallpaper command writes, in the user's data folder.
inline constexpr const char* kWallpaperFileName = "TalvexQuarlend.bmp";

// Styles: 0 centre, 1 tile, 2 stretch.
struct StyleValues {
    const char* WallpaperStyle;
    const char* TileWallpaper;
};
// The two values of a style; nullopt for a style not among the three.
std::optional<StyleValues> StyleValuesOf(int16_t style);

// Writes "WallpaperStyle" and "TileWallpaper" of the style under the key
// (each through mCapture::RegSetString), then SetWallpaper. A style not
// among the three writes nothing, and the file is shown in the style the
// settings already hold.
void ApplyWallpaper(const std::string& file, const std::string& keyPath, int16_t style);

// Hands the file to the desktop as its wallpaper; where no setter took it,
// says "The desktop wallpaper could not be changed." (title "Talvex
// Quarlend").
void SetWallpaper(const std::string& file);
inline constexpr const char* kWallpaperFailedText = "The desktop wallpaper could not be changed.";

} // namespace tq::mWallpaper
