#include "effects/library/EngineBridge.h"

#include <cstring>

namespace tq::effects {

BitsBuffer borderedCopy(ConstPixels s)
{
    BitsBuffer b(s.w, s.h);
    const int32_t m = BitsBuffer::kMargin;
    forRows(s.h, 2 * int64_t(s.w), [&](int32_t y) {
        uint32_t* d = reinterpret_cast<uint32_t*>(b.pixel(-m, y));
        const uint32_t* r = s.row(y);
        for (int32_t i = 0; i < m; ++i) d[i] = r[0] & kColourMask;
        for (int32_t x = 0; x < s.w; ++x) d[m + x] = r[x] & kColourMask;
        for (int32_t i = 0; i < m; ++i) d[m + s.w + i] = r[s.w - 1] & kColourMask;
    });
    const size_t rowBytes = static_cast<size_t>(b.stride());
    for (int32_t i = 1; i <= m; ++i) {
        std::memcpy(b.pixel(-m, -i), b.pixel(-m, 0), rowBytes);
        std::memcpy(b.pixel(-m, s.h - 1 + i), b.pixel(-m, s.h - 1), rowBytes);
    }
    return b;
}

void copyFromBits(const BitsBuffer& b, Pixels d)
{
    forRows(d.h, 2 * int64_t(d.w), [&](int32_t y) {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(b.pixel(0, y));
        uint32_t* o = d.row(y);
        for (int32_t x = 0; x < d.w; ++x) o[x] = s[x] & kColourMask;
    });
}

} // namespace tq::effects
