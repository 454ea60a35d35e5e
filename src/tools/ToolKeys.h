// The tools' vocabulary: the fifteen buttons of the tool bar with their
// keys (the ToolKey kept in Settings.ToolName), tool tips, styles and option
// frames, and the captions of the option lists, whose list index is what
// the settings keep.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tq::tools {

enum class ButtonStyle {
    Group,   // one of buttons 1 to 11: pressing one releases the others
    Check,   // a toggle
    Push,    // acts at once, never stays pressed
};

struct ToolButtonSpec {
    int16_t index;            // 1 to 15
    const char* key;
    const char* toolTip;      // "" for none
    ButtonStyle style;
    const char* frame;        // the option frame shown, nullptr for none
};

inline constexpr std::array<ToolButtonSpec, 15> kToolButtons{{
    {1, "Pointer", "Pointer", ButtonStyle::Group, nullptr},
    {2, "SelectionMove", "Move Selection", ButtonStyle::Group, "SelectionMove"},
    {3, "Select", "Selection", ButtonStyle::Group, "Selection"},
    {4, "Pencil", "Pencil", ButtonStyle::Group, nullptr},
    {5, "Brush", "Brush", ButtonStyle::Group, "Brush"},
    {6, "Airbrush", "Air Brush", ButtonStyle::Group, "AirBrush"},
    {7, "Fill", "Fill", ButtonStyle::Group, "Fill"},
    {8, "Gradient", "Gradient", ButtonStyle::Group, "Gradient"},
    {9, "Stamp", "Stamp", ButtonStyle::Group, "Stamp"},
    {10, "Shape", "Shape", ButtonStyle::Group, "Shape"},
    {11, "Layers", "", ButtonStyle::Group, nullptr},
    {12, "GetColor", "Color Picker", ButtonStyle::Check, nullptr},
    {13, "ZoomIn", "Zoom In", ButtonStyle::Push, nullptr},
    {14, "ZoomOut", "Zoom Out", ButtonStyle::Push, nullptr},
    {15, "MouseScroll", "Scroll", ButtonStyle::Check, nullptr},
}};

inline constexpr int16_t kToolButtonCount = 15;
// Buttons 1 to 11 choose a tool and show its option frame.
inline constexpr int16_t kLastGroupButton = 11;
inline constexpr int16_t kGetColorButton = 12;
inline constexpr int16_t kZoomInButton = 13;
inline constexpr int16_t kZoomOutButton = 14;
// The hand-scroll state is this button's own: pressed only while the tool
// is "MouseScroll".
inline constexpr int16_t kHandScrollButton = 15;

inline const ToolButtonSpec* toolButton(int16_t index)
{
    return index >= 1 && index <= kToolButtonCount ? &kToolButtons[static_cast<size_t>(index - 1)] : nullptr;
}

// ---- Option lists, captions in list-index order ------------------------------

inline constexpr std::array<const char*, 3> kSelectionModes{"Add", "Subtract", "New"};
inline constexpr std::array<const char*, 4> kSelectionShapes{"Rectangle", "Ellipse", "Polygon/Free hand", "Pixel"};
inline constexpr std::array<const char*, 7> kBrushModes{"Current color", "Soften", "Soften (Overlay)", "Sharpen",
                                                        "Lighten",       "Darken", "Current stamp (Tiled)"};
inline constexpr std::array<const char*, 2> kFillModes{"Current color", "Current stamp"};
inline constexpr std::array<const char*, 7> kShapeKinds{"Line",   "Free hand", "Square", "Rectangle",
                                                        "Circle", "Ellipse",   "Polygon"};
inline constexpr std::array<const char*, 2> kGradModes{"Linear", "Circular"};
inline constexpr std::array<const char*, 2> kSelectionMoveActions{"Move Selection Only", "Move Content Only"};

// k for a digit code (48 to 57) or Backspace (8), otherwise 0.
constexpr int16_t KeyNum(int16_t k) { return (k >= 48 && k <= 57) || k == 8 ? k : 0; }

} // namespace tq::tools
