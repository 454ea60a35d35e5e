// A font described the way forms and drawing code pass fonts around: face
// name, size in points, the style flags, character set and weight (which
// decides boldness).
#pragma once

#include <cstdint>
#include <string>

namespace tq {

struct FontObject {
    std::string Name;
    double Size = 0.0;     // points
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    int32_t Charset = 0;
    int32_t Weight = 400;

    bool Bold() const { return Weight >= 700; }
    bool operator==(const FontObject&) const = default;
};

} // namespace tq
