#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace tq {

namespace {

constexpr int kLastSystemColor = 30;

// The classic desktop's colours of the 31 elements, 0x00BBGGRR.
constexpr std::array<int32_t, kLastSystemColor + 1> kClassic = {
    0xC8C8C8,   //  0 scroll bar
    0xA56E3A,   //  1 desktop
    0x6A240A,   //  2 active caption
    0x808080,   //  3 inactive caption
    0xC8D0D4,   //  4 menu
    0xFFFFFF,   //  5 window background
    0x000000,   //  6 window frame
    0x000000,   //  7 menu text
    0x000000,   //  8 window text
    0xFFFFFF,   //  9 caption text
    0xC8D0D4,   // 10 active border
    0xC8D0D4,   // 11 inactive border
    0x808080,   // 12 application workspace
    0x6A240A,   // 13 highlight
    0xFFFFFF,   // 14 highlighted text
    0xC8D0D4,   // 15 button face
    0x808080,   // 16 button shadow
    0x808080,   // 17 grey text
    0x000000,   // 18 button text
    0xC8D0D4,   // 19 inactive caption text
    0xFFFFFF,   // 20 button highlight
    0x404040,   // 21 dark shadow
    0xC8D0D4,   // 22 light
    0x000000,   // 23 tooltip text
    0xE1FFFF,   // 24 tooltip background
    0xB5B5B5,   // 25 (unnamed)
    0x800000,   // 26 hot-tracked item
    0xF0CAA6,   // 27 active caption gradient
    0xC0C0C0,   // 28 inactive caption gradient
    0x6A240A,   // 29 menu highlight
    0xC8D0D4,   // 30 menu bar
};

int32_t fromQColor(const QColor& c) { return c.red() + 256 * c.green() + 65536 * c.blue(); }

// The palette role the desktop paints an element with, where Qt has one.
std::optional<int32_t> fromPalette(int index)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return std::nullopt;
    const QPalette p = QGuiApplication::palette();
    switch (index) {
    case 0:
    case 4:
    case 10:
    case 11:
    case 15:
    case 22:
    case 30: return fromQColor(p.color(QPalette::Button));
    case 2:
    case 13:
    case 29: return fromQColor(p.color(QPalette::Highlight));
    case 5: return fromQColor(p.color(QPalette::Base));
    case 7:
    case 8: return fromQColor(p.color(QPalette::Text));
    case 9:
    case 14: return fromQColor(p.color(QPalette::HighlightedText));
    case 12:
    case 16: return fromQColor(p.color(QPalette::Dark));
    case 17: return fromQColor(p.color(QPalette::Disabled, QPalette::Text));
    case 18: return fromQColor(p.color(QPalette::ButtonText));
    case 20: return fromQColor(p.color(QPalette::Light));
    case 21: return fromQColor(p.color(QPalette::Shadow));
    case 23: return fromQColor(p.color(QPalette::ToolTipText));
    case 24: return fromQColor(p.color(QPalette::ToolTipBase));
    default: return std::nullopt;
    }
}

} // namespace

std::optional<int32_t> translateColor(int32_t color)
{
    if (!isSystemColor(color)) return color & 0xFFFFFF;
    const uint32_t index = static_cast<uint32_t>(color) & 0xFFFFFFu;
    if (index > kLastSystemColor) return std::nullopt;
    if (const auto c = fromPalette(static_cast<int>(index))) return c;
    return kClassic[index];
}

} // namespace tq
