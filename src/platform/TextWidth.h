// Measuring text for captions that must fit a width in pixels (the recent-file
// menu, the close prompt). Core code takes a TextWidth; the screen's font
// plugs in through screenTextWidth(), a test passes its own.
#pragma once

#include <functional>
#include <string_view>

namespace tq {

// Width in pixels of a UTF-8 text.
using TextWidth = std::function<int(std::string_view utf8)>;

// The width a text takes in the application's font on the screen. Needs a
// running QGuiApplication; without one it falls back to characterTextWidth.
TextWidth screenTextWidth();

// A plain estimate for when no font is at hand: every character (not byte)
// counts kAverageCharacterWidth pixels.
inline constexpr int kAverageCharacterWidth = 7;
int characterTextWidth(std::string_view utf8);

} // namespace tq
