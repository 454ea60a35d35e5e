#include "gdi/SystemColours.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>

namespace tq {

namespace {

QPalette schemePalette()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return QGuiApplication::palette();
    return QPalette(QColor(240, 240, 240));
}

struct SchemeEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Scheme index -> palette entry; index 25 has no element.
constexpr int32_t kSchemeSize = 31;
constexpr SchemeEntry kScheme[kSchemeSize] = {
    {QPalette::Active, QPalette::Button},           // 0 scroll bar
    {QPalette::Active, QPalette::Dark},             // 1 desktop
    {QPalette::Active, QPalette::Highlight},        // 2 active caption
    {QPalette::Inactive, QPalette::Mid},            // 3 inactive caption
    {QPalette::Active, QPalette::Window},           // 4 menu
    {QPalette::Active, QPalette::Base},             // 5 window
    {QPalette::Active, QPalette::Shadow},           // 6 window frame
    {QPalette::Active, QPalette::WindowText},       // 7 menu text
    {QPalette::Active, QPalette::Text},             // 8 window text
    {QPalette::Active, QPalette::HighlightedText},  // 9 caption text
    {QPalette::Active, QPalette::Button},           // 10 active border
    {QPalette::Inactive, QPalette::Button},         // 11 inactive border
    {QPalette::Active, QPalette::Dark},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},        // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},  // 14 highlighted text
    {QPalette::Active, QPalette::Button},           // 15 button face
    {QPalette::Active, QPalette::Dark},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},           // 17 grey text
    {QPalette::Active, QPalette::ButtonText},       // 18 button text
    {QPalette::Inactive, QPalette::WindowText},     // 19 inactive caption text
    {QPalette::Active, QPalette::Light},            // 20 button highlight
    {QPalette::Active, QPalette::Shadow},           // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},      // 23 tool tip text
    {QPalette::Active, QPalette::ToolTipBase},      // 24 tool tip background
    {QPalette::Active, QPalette::NoRole},           // 25 (none)
    {QPalette::Active, QPalette::Link},             // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},        // 27 active caption gradient
    {QPalette::Inactive, QPalette::Mid},            // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},        // 29 menu highlight
    {QPalette::Active, QPalette::Window},           // 30 menu bar
};

} // namespace

bool systemColour(int32_t index, int32_t& rgb)
{
    if (index < 0 || index >= kSchemeSize || kScheme[index].role == QPalette::NoRole) return false;
    const QColor c = schemePalette().color(kScheme[index].group, kScheme[index].role);
    rgb = c.red() + 256 * c.green() + 65536 * c.blue();
    return true;
}

bool translateOleColour(int32_t value, int32_t& rgb)
{
    const uint32_t v = static_cast<uint32_t>(value);
    switch (v >> 24) {
    case 0x00:
    case 0x02:
        rgb = static_cast<int32_t>(v & 0xFFFFFF);
        return true;
    case 0x80:
        if ((v & 0xFF0000) != 0) return false;
        return systemColour(static_cast<int32_t>(v & 0xFFFF), rgb);
    default:
        return false;
    }
}

} // namespace tq
