#include "mainwindow/Wallpaper.h"

#include "mainwindow/ScreenCapture.h"
#include "platform/Ports.h"

namespace tq::mWallpaper {

std::optional<StyleValues> StyleValuesOf(int16_t style)
{
    switch (style) {
    case 0: return StyleValues{"0", "0"};
    case 1: return StyleValues{"0", "1"};
    case 2: return StyleValues{"2", "0"};
    default: return std::nullopt;
    }
}

void ApplyWallpaper(const std::string& file, const std::string& keyPath, int16_t style)
{
    if (const std::optional<StyleValues> values = StyleValuesOf(style)) {
        mCapture::RegSetString(keyPath, "WallpaperStyle", values->WallpaperStyle);
        mCapture::RegSetString(keyPath, "TileWallpaper", values->TileWallpaper);
    }
    SetWallpaper(file);
}

void SetWallpaper(const std::string& file)
{
    using namespace platform;
    if (!ports().wallpaper->setWallpaper(file))
        MsgBox(kWallpaperFailedText, MsgButtons::OK, MsgIcon::Information, kProgramName);
}

} // namespace tq::mWallpaper
