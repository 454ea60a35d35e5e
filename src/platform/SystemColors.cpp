#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace tq {

namespace {

constexpr int kLastSystemColor = 30;

// Each element of the desktop's colour scheme: the palette entry the
// desktop paints it with, and the classic colour (0x00BBGGRR) that stands in
// when there is no GUI application to ask (benchmarks, plain tools).
// Element 25 has no colour.
struct SchemeEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    int32_t classic;
};

constexpr std::array<SchemeEntry, kLastSystemColor + 1> kScheme = {{
    {QPalette::Active, QPalette::Button, 0xC8C8C8},            //  0 scroll bar
    {QPalette::Active, QPalette::Dark, 0xA56E3A},              //  1 desktop
    {QPalette::Active, QPalette::Highlight, 0x6A240A},         //  2 active caption
    {QPalette::Inactive, QPalette::Mid, 0x808080},             //  3 inactive caption
    {QPalette::Active, QPalette::Window, 0xC8D0D4},            //  4 menu
    {QPalette::Active, QPalette::Base, 0xFFFFFF},              //  5 window background
    {QPalette::Active, QPalette::Shadow, 0x000000},            //  6 window frame
    {QPalette::Active, QPalette::WindowText, 0x000000},        //  7 menu text
    {QPalette::Active, QPalette::Text, 0x000000},              //  8 window text
    {QPalette::Active, QPalette::HighlightedText, 0xFFFFFF},   //  9 caption text
    {QPalette::Active, QPalette::Button, 0xC8D0D4},            // 10 active border
    {QPalette::Inactive, QPalette::Button, 0xC8D0D4},          // 11 inactive border
    {QPalette::Active, QPalette::Dark, 0x808080},              // 12 application workspace
    {QPalette::Active, QPalette::Highlight, 0x6A240A},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText, 0xFFFFFF},   // 14 highlighted text
    {QPalette::Active, QPalette::Button, 0xC8D0D4},            // 15 button face
    {QPalette::Active, QPalette::Dark, 0x808080},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text, 0x808080},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText, 0x000000},        // 18 button text
    {QPalette::Inactive, QPalette::WindowText, 0xC8D0D4},      // 19 inactive caption text
    {QPalette::Active, QPalette::Light, 0xFFFFFF},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow, 0x404040},            // 21 dark shadow
    {QPalette::Active, QPalette::Midlight, 0xC8D0D4},          // 22 light
    {QPalette::Active, QPalette::ToolTipText, 0x000000},       // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase, 0xE1FFFF},       // 24 tooltip background
    {QPalette::Active, QPalette::NoRole, 0},                   // 25 (none)
    {QPalette::Active, QPalette::Link, 0x800000},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight, 0xF0CAA6},         // 27 active caption gradient
    {QPalette::Inactive, QPalette::Mid, 0xC0C0C0},             // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight, 0x6A240A},         // 29 menu highlight
    {QPalette::Active, QPalette::Window, 0xC8D0D4},            // 30 menu bar
}};

int32_t fromQColor(const QColor& c) { return c.red() + 256 * c.green() + 65536 * c.blue(); }

} // namespace

std::optional<int32_t> systemColor(int32_t index)
{
    if (index < 0 || index > kLastSystemColor) return std::nullopt;
    const SchemeEntry& e = kScheme[static_cast<size_t>(index)];
    if (e.role == QPalette::NoRole) return std::nullopt;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return e.classic;
    return fromQColor(QGuiApplication::palette().color(e.group, e.role));
}

std::optional<int32_t> translateColor(int32_t color)
{
    if (!isSystemColor(color)) return color & 0xFFFFFF;
    const uint32_t index = static_cast<uint32_t>(color) & 0xFFFFFFu;
    if (index > kLastSystemColor) return std::nullopt;
    return systemColor(static_cast<int32_t>(index));
}

} // namespace tq
