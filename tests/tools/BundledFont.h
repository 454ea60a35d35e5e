// The font the text tests measure with: DejaVu Sans from the Debian package
// fonts-dejavu-core (installed by scripts/install-deps), registered with
// the application so that the metrics do not depend on which fonts the
// machine has installed otherwise. Tests skip where the file is missing.
#pragma once

#include <QFile>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace tq::testing {

inline constexpr const char* kBundledFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The family name of the registered font; "" when the file is missing.
inline QString bundledFontFamily()
{
    static const QString family = [] {
        const QString file = QString::fromLatin1(kBundledFontFile);
        if (!QFile::exists(file)) return QString();
        const int id = QFontDatabase::addApplicationFont(file);
        if (id < 0) return QString();
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.front();
    }();
    return family;
}

} // namespace tq::testing

#define TQ_REQUIRE_BUNDLED_FONT()                                                                  \
    do {                                                                                           \
        if (::tq::testing::bundledFontFamily().isEmpty())                                          \
            GTEST_SKIP() << "the bundled font " << ::tq::testing::kBundledFontFile << " is missing"; \
    } while (0)
