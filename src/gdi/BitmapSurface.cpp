#include "gdi/BitmapSurface.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tq {

namespace {

// The part of a w x h copy from (sx, sy) to (dx, dy) that lies inside both
// surfaces; false when nothing does.
struct Span {
    int32_t dx, dy, sx, sy, w, h;
};

bool clip(const BitmapSurface& dst, const BitmapSurface& src, Span& s)
{
    if (!dst.valid() || !src.valid() || s.w <= 0 || s.h <= 0) return false;
    auto cut = [](int32_t& a, int32_t& b, int32_t& n, int32_t limitA, int32_t limitB) {
        // a and b advance together; keep both inside [0, limit).
        const int32_t lead = std::max({0, -a, -b});
        a += lead;
        b += lead;
        n -= lead;
        n = std::min({n, limitA - a, limitB - b});
    };
    cut(s.dx, s.sx, s.w, dst.width, src.width);
    cut(s.dy, s.sy, s.h, dst.height, src.height);
    return s.w > 0 && s.h > 0;
}

bool overlaps(const BitmapSurface& a, const BitmapSurface& b)
{
    const uint8_t* aLo = std::min(a.row(0), a.row(a.height - 1));
    const uint8_t* aHi = std::max(a.row(0), a.row(a.height - 1)) + std::ptrdiff_t(a.width) * a.bytesPerPixel;
    const uint8_t* bLo = std::min(b.row(0), b.row(b.height - 1));
    const uint8_t* bHi = std::max(b.row(0), b.row(b.height - 1)) + std::ptrdiff_t(b.width) * b.bytesPerPixel;
    return aLo < bHi && bLo < aHi;
}

// When source and destination share memory, the source block is read from
// a copy taken first, as the desktop's copies behave.
struct SourceBlock {
    BitmapSurface surface;
    std::vector<uint8_t> copy;

    SourceBlock(const BitmapSurface& dst, const BitmapSurface& src, Span& s) : surface(src)
    {
        if (!overlaps(dst, src)) return;
        const size_t rowBytes = size_t(s.w) * size_t(src.bytesPerPixel);
        copy.resize(rowBytes * size_t(s.h));
        for (int32_t y = 0; y < s.h; ++y)
            std::memcpy(copy.data() + rowBytes * size_t(y), src.row(s.sy + y) + ptrdiff_t(s.sx) * src.bytesPerPixel,
                        rowBytes);
        surface = BitmapSurface{copy.data(), std::ptrdiff_t(rowBytes), s.w, s.h, src.bytesPerPixel, src.fourthByte};
        s.sx = 0;
        s.sy = 0;
    }
};

// The colour bytes of each pixel of the span through op(source, dest); the
// fourth byte of a 4-byte destination becomes its fourthByte.
template <class Op>
void combine(const BitmapSurface& dst, const BitmapSurface& src, const Span& s, Op op)
{
    const int32_t sb = src.bytesPerPixel;
    const int32_t db = dst.bytesPerPixel;
    for (int32_t y = 0; y < s.h; ++y) {
        const uint8_t* sp = src.row(s.sy + y) + std::ptrdiff_t(s.sx) * sb;
        uint8_t* dp = dst.row(s.dy + y) + std::ptrdiff_t(s.dx) * db;
        for (int32_t x = 0; x < s.w; ++x, sp += sb, dp += db) {
            dp[0] = op(sp[0], dp[0]);
            dp[1] = op(sp[1], dp[1]);
            dp[2] = op(sp[2], dp[2]);
            if (db == 4) dp[3] = dst.fourthByte;
        }
    }
}

// The plain copy, the one the thumbnails and the bitmap classes use on
// whole pictures: rows at a time where the layouts agree.
void copyColours(const BitmapSurface& dst, const BitmapSurface& src, const Span& s)
{
    const int32_t sb = src.bytesPerPixel;
    const int32_t db = dst.bytesPerPixel;
    for (int32_t y = 0; y < s.h; ++y) {
        const uint8_t* sp = src.row(s.sy + y) + std::ptrdiff_t(s.sx) * sb;
        uint8_t* dp = dst.row(s.dy + y) + std::ptrdiff_t(s.dx) * db;
        if (sb == 3 && db == 3) {
            std::memcpy(dp, sp, size_t(s.w) * 3);
        } else if (sb == 4 && db == 3) {
            // Four bytes at a time; the stray fourth byte is overwritten by
            // the next pixel, the last pixel is written by itself.
            int32_t x = 0;
            for (; x + 1 < s.w; ++x, sp += 4, dp += 3) std::memcpy(dp, sp, 4);
            dp[0] = sp[0];
            dp[1] = sp[1];
            dp[2] = sp[2];
        } else {
            const uint8_t fourth = dst.fourthByte;
            for (int32_t x = 0; x < s.w; ++x, sp += sb, dp += 4) {
                dp[0] = sp[0];
                dp[1] = sp[1];
                dp[2] = sp[2];
                dp[3] = fourth;
            }
        }
    }
}

} // namespace

bool bitBlt(const BitmapSurface& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const BitmapSurface& src,
            int32_t sx, int32_t sy, uint32_t rop)
{
    switch (rop) {
    case kRopSrcCopy: case kRopSrcPaint: case kRopSrcAnd: case kRopSrcInvert: case kRopSrcErase:
    case kRopNotSrcCopy: case kRopNotSrcErase: case kRopMergePaint: case kRopDstInvert: case kRopBlackness:
    case kRopWhiteness:
        break;
    default:
        return false;
    }
    Span s{dx, dy, sx, sy, w, h};
    if (!clip(dst, src, s)) return true;
    SourceBlock block(dst, src, s);
    const BitmapSurface& from = block.surface;
    using B = uint8_t;
    switch (rop) {
    case kRopSrcCopy: copyColours(dst, from, s); break;
    case kRopSrcPaint: combine(dst, from, s, [](B a, B d) { return B(a | d); }); break;
    case kRopSrcAnd: combine(dst, from, s, [](B a, B d) { return B(a & d); }); break;
    case kRopSrcInvert: combine(dst, from, s, [](B a, B d) { return B(a ^ d); }); break;
    case kRopSrcErase: combine(dst, from, s, [](B a, B d) { return B(a & ~d); }); break;
    case kRopNotSrcCopy: combine(dst, from, s, [](B a, B) { return B(~a); }); break;
    case kRopNotSrcErase: combine(dst, from, s, [](B a, B d) { return B(~(a | d)); }); break;
    case kRopMergePaint: combine(dst, from, s, [](B a, B d) { return B(~a | d); }); break;
    case kRopDstInvert: combine(dst, from, s, [](B, B d) { return B(~d); }); break;
    case kRopBlackness: combine(dst, from, s, [](B, B) { return B(0); }); break;
    case kRopWhiteness: combine(dst, from, s, [](B, B) { return B(255); }); break;
    default: break;
    }
    return true;
}

void transparentBlt(const BitmapSurface& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const BitmapSurface& src,
                    int32_t sx, int32_t sy, int32_t transparent)
{
    Span s{dx, dy, sx, sy, w, h};
    if (!clip(dst, src, s)) return;
    SourceBlock block(dst, src, s);
    const BitmapSurface& from = block.surface;
    const uint8_t tr = uint8_t(transparent & 0xFF);
    const uint8_t tg = uint8_t((transparent >> 8) & 0xFF);
    const uint8_t tb = uint8_t((transparent >> 16) & 0xFF);
    const int32_t sb = from.bytesPerPixel;
    const int32_t db = dst.bytesPerPixel;
    for (int32_t y = 0; y < s.h; ++y) {
        const uint8_t* sp = from.row(s.sy + y) + std::ptrdiff_t(s.sx) * sb;
        uint8_t* dp = dst.row(s.dy + y) + std::ptrdiff_t(s.dx) * db;
        for (int32_t x = 0; x < s.w; ++x, sp += sb, dp += db) {
            if (sp[0] == tb && sp[1] == tg && sp[2] == tr) continue;
            dp[0] = sp[0];
            dp[1] = sp[1];
            dp[2] = sp[2];
            if (db == 4) dp[3] = dst.fourthByte;
        }
    }
}

void alphaBlend(const BitmapSurface& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const BitmapSurface& src,
                int32_t sx, int32_t sy, uint8_t constantAlpha, bool sourceAlpha)
{
    Span s{dx, dy, sx, sy, w, h};
    if (!clip(dst, src, s)) return;
    SourceBlock block(dst, src, s);
    const BitmapSurface& from = block.surface;
    const int32_t sb = from.bytesPerPixel;
    const int32_t db = dst.bytesPerPixel;
    const uint32_t ca = constantAlpha;
    // v * n / 255 to the nearest, for v and n in 0..255.
    auto scale = [](uint32_t v, uint32_t n) { return (v * n + 127) / 255; };
    for (int32_t y = 0; y < s.h; ++y) {
        const uint8_t* sp = from.row(s.sy + y) + std::ptrdiff_t(s.sx) * sb;
        uint8_t* dp = dst.row(s.dy + y) + std::ptrdiff_t(s.dx) * db;
        for (int32_t x = 0; x < s.w; ++x, sp += sb, dp += db) {
            const uint32_t own = sourceAlpha && sb == 4 ? sp[3] : 255u;
            // The source's colours stand premultiplied by its own opacity;
            // an opaque 3-byte source is premultiplied trivially.
            const uint32_t a = scale(own, ca);
            const uint32_t keep = 255 - a;
            for (int c = 0; c < 3; ++c) {
                const uint32_t v = scale(sp[c], ca) + scale(dp[c], keep);
                dp[c] = uint8_t(std::min<uint32_t>(v, 255));
            }
            if (db == 4) dp[3] = dst.fourthByte == 255 ? 255 : uint8_t(std::min<uint32_t>(a + scale(dp[3], keep), 255));
        }
    }
}

} // namespace tq
