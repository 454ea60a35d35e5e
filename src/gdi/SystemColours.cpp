#include "gdi/SystemColours.h"

#include "platform/SystemColors.h"

namespace tq {

bool systemColour(int32_t index, int32_t& rgb)
{
    const std::optional<int32_t> c = systemColor(index);
    if (!c) return false;
    rgb = *c;
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
