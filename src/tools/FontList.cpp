#include "tools/FontList.h"

#include "platform/Ports.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace tq::mFonts {

std::optional<std::vector<std::string>> screenFontFaces()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return std::nullopt;
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) {
        // Families the platform keeps for itself are no choice for the user.
        if (QFontDatabase::isPrivateFamily(family)) continue;
        names.push_back(family.toStdString());
    }
    return names;
}

bool LoadFontList(TextListBox& Combo, const FontEnumeration& enumerate)
{
    Combo.Clear();
    const std::optional<std::vector<std::string>> names = enumerate ? enumerate() : std::nullopt;
    if (!names) return false;
    if (names->empty()) {
        platform::MsgBox(kNoFontInfo, platform::MsgButtons::OK, platform::MsgIcon::None);
        return false;
    }
    for (const std::string& name : *names)
        if (!name.empty()) Combo.AddItem(name);
    return true;
}

} // namespace tq::mFonts
