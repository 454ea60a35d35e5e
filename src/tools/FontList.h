// The font list of the textures window: the face names of the fonts the
// screen offers, one per typeface, in the order the platform reports them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tq {

// A list control the names go into (the window's font drop-down).
class TextListBox {
public:
    virtual ~TextListBox() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text) = 0;
};

namespace mFonts {

inline constexpr const char* kNoFontInfo = "Failed to get font info";

// The face names of the screen's fonts, one per typeface; nullopt when
// there is no screen to ask (no running application).
std::optional<std::vector<std::string>> screenFontFaces();

using FontEnumeration = std::function<std::optional<std::vector<std::string>>()>;

// Empties Combo and adds every non-empty face name the enumeration gives,
// in its order. False without a screen (silently) or when it gives no font
// at all (with the message "Failed to get font info"); the list stays empty
// then.
bool LoadFontList(TextListBox& Combo, const FontEnumeration& enumerate = screenFontFaces);

} // namespace mFonts
} // namespace tq
