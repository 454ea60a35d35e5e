// A region of picture pixels: the one class that decides selection and paint
// membership.
//
// Stored as y-bands: each band covers rows [top, bottom) and holds a sorted
// list of disjoint horizontal spans [x0, x1). Rectangles exclude their right
// and bottom edges. Bands are sorted, do not overlap and hold at least one
// span each, so a point test is a binary search and a walk over the region
// visits spans row by row without testing single pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tq {

struct RectI {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;    // exclusive
    int32_t bottom = 0;   // exclusive

    bool isEmpty() const { return right <= left || bottom <= top; }
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const RectI&) const = default;
};

class Region {
public:
    struct Span {
        int32_t x0;   // first pixel
        int32_t x1;   // one past the last pixel
        bool operator==(const Span&) const = default;
    };
    struct Band {
        int32_t top;
        int32_t bottom;   // exclusive
        std::vector<Span> spans;
        bool operator==(const Band&) const = default;
    };

    Region() = default;
    // The pixels l <= x < r, t <= y < b; empty when r <= l or b <= t.
    static Region rect(int32_t l, int32_t t, int32_t r, int32_t b);
    static Region rect(const RectI& rc) { return rect(rc.left, rc.top, rc.right, rc.bottom); }

    bool isEmpty() const { return bands_.empty(); }
    // Smallest rectangle holding every pixel; four zeros when empty.
    RectI boundingBox() const;
    bool contains(int32_t x, int32_t y) const;

    // Calls f(x0, x1) for every span of row y, left to right; x1 is exclusive.
    template <class F>
    void forEachSpan(int32_t y, F&& f) const
    {
        const Band* b = bandAt(y);
        if (!b) return;
        for (const Span& s : b->spans) f(s.x0, s.x1);
    }

    const std::vector<Band>& bands() const { return bands_; }
    // Builds a region from bands; merges vertically adjacent equal bands and
    // drops empty ones. Bands must be sorted and must not overlap.
    static Region fromBands(std::vector<Band> bands);

    bool operator==(const Region&) const = default;

protected:
    const Band* bandAt(int32_t y) const
    {
        auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                                   [](int32_t v, const Band& b) { return v < b.bottom; });
        if (it == bands_.end() || y < it->top) return nullptr;
        return &*it;
    }

    std::vector<Band> bands_;
};

} // namespace tq
