#include "effects/ThumbnailPicture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tq::effects {

namespace {

// The source columns (rows) under thumbnail column (row) i: from first[i]
// up to, not including, last[i]; never empty.
struct Blocks {
    std::vector<int> first, last;
};

Blocks blockBounds(int source, int target)
{
    Blocks b;
    b.first.resize(static_cast<size_t>(target));
    b.last.resize(static_cast<size_t>(target));
    for (int i = 0; i < target; ++i) {
        const int a = static_cast<int>(static_cast<int64_t>(i) * source / target);
        const int e = static_cast<int>(static_cast<int64_t>(i + 1) * source / target);
        b.first[size_t(i)] = a;
        // Growing: the one pixel this one lies in.
        b.last[size_t(i)] = std::max(e, a + 1);
    }
    return b;
}

} // namespace

DibRecord thumbnailPicture(const DibRecord& src, int w, int h)
{
    w = std::max(w, 1);
    h = std::max(h, 1);
    DibRecord out;
    out.header = BitsHeader::forDib(w, h);
    out.width = w;
    out.height = h;
    out.bits.assign(4u * static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    if (src.width < 1 || src.height < 1 || src.bits.size() < 4u * size_t(src.width) * size_t(src.height)) return out;

    const Blocks cols = blockBounds(src.width, w);
    const Blocks rows = blockBounds(src.height, h);
    // Sums per thumbnail column of one thumbnail row; 64 bits because a
    // block may hold a whole picture side squared.
    std::vector<uint64_t> sum(3u * static_cast<size_t>(w));
    for (int ty = 0; ty < h; ++ty) {
        std::fill(sum.begin(), sum.end(), 0);
        const int y0 = rows.first[size_t(ty)], y1 = rows.last[size_t(ty)];
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = src.row(y);
            uint64_t* acc = sum.data();
            for (int tx = 0; tx < w; ++tx, acc += 3) {
                uint64_t b = 0, g = 0, r = 0;
                for (int x = cols.first[size_t(tx)], x1 = cols.last[size_t(tx)]; x < x1; ++x) {
                    const uint8_t* p = s + 4 * x;
                    b += p[0];
                    g += p[1];
                    r += p[2];
                }
                acc[0] += b;
                acc[1] += g;
                acc[2] += r;
            }
        }
        uint8_t* d = out.row(ty);
        const uint64_t* acc = sum.data();
        for (int tx = 0; tx < w; ++tx, acc += 3, d += 4) {
            const uint64_t n = uint64_t(cols.last[size_t(tx)] - cols.first[size_t(tx)]) * uint64_t(y1 - y0);
            d[0] = static_cast<uint8_t>((acc[0] + n / 2) / n);
            d[1] = static_cast<uint8_t>((acc[1] + n / 2) / n);
            d[2] = static_cast<uint8_t>((acc[2] + n / 2) / n);
        }
    }
    return out;
}

} // namespace tq::effects
