#include "platform/TextWidth.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

namespace tq {

int characterTextWidth(std::string_view utf8)
{
    int characters = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    return characters * kAverageCharacterWidth;
}

TextWidth screenTextWidth()
{
    if (QGuiApplication::instance() == nullptr) return characterTextWidth;
    const QFontMetrics metrics(QGuiApplication::font());
    return [metrics](std::string_view utf8) {
        return metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    };
}

} // namespace tq
