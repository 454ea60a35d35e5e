// Screen capture into pictures, and the one write into the user's desktop
// settings the wallpaper makes. The screen comes through the screen-grab
// port, the settings through the wallpaper port.
//
// A capture step that fails says so ("There was an internal error! Please
// try again!", title "INTERNAL ERROR!") and the routine goes on; a routine
// whose last step failed returns a null picture.
#pragma once

#include "core/BitsBuffer.h"

#include <QImage>

#include <cstdint>
#include <string>

namespace tq::mCapture {

inline constexpr const char* kInternalErrorText = "There was an internal error! Please try again!";
inline constexpr const char* kInternalErrorTitle = "INTERNAL ERROR!";
inline constexpr const char* kSetValueErrorText = "Error Setting subkey value.";

// The desktop window: on X11 the root window, which the grab names 0.
uint64_t GetDesktopWindow();

// The whole screen, taken through the desktop window.
QImage CaptureScreen();

// The rectangle (left, top, width, height) of the window as it shows on the
// screen; window 0 is the whole screen.
QImage CaptureWindow(uint64_t hWndSrc, int32_t LeftSrc, int32_t TopSrc, int32_t WidthSrc, int32_t HeightSrc);

// The grabbed pixels as a picture. (A grab here always comes in 32 bits, so
// there is no palette to carry.)
QImage CreateBitmapPicture(const DibRecord& bitmap);

// Writes one text value under a key of the user's desktop settings. A key
// that cannot be opened is passed over without a word; a write that fails
// shows "Error Setting subkey value." (OK only, title "Talvex Quarlend").
void RegSetString(const std::string& sKeyName, const std::string& sValueName, const std::string& sValueSetting);

} // namespace tq::mCapture
