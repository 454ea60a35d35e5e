// A region of picture pixels: the one class that decides selection and paint
// membership.
//
// Stored as y-bands: each band covers rows [top, bottom) and holds a sorted
// list of disjoint horizontal spans [x0, x1). Rectangles exclude their right
// and bottom edges. Bands are sorted, do not overlap and hold at least one
// span each, so a point test is a binary search and a walk over the region
// visits spans row by row without testing single pixels. Every region this
// class makes is canonical: spans of a band never touch, and two bands that
// touch vertically never hold the same spans (they are merged), so two
// regions holding the same pixels compare equal.
//
// Pixel coverage of the shapes, decided once here:
// - Rectangle (l, t, r, b): the pixels l <= x < r, t <= y < b.
// - Ellipse inscribed in (l, t, r, b): pixel (x, y) belongs to it when its
//   centre (x + 0.5, y + 0.5) lies inside or on the ellipse whose centre is
//   the rectangle's centre and whose semi-axes are half its width and half
//   its height. The test is done in exact integer arithmetic, so the shape is
//   symmetric left/right and top/bottom; a 1 x 1 ellipse is one pixel, a
//   4 x 4 ellipse is the square without its four corner pixels. Corners given
//   in any order are put in order first; a zero width or height is empty.
// - Polygon: pixel (x, y) belongs to it when its centre lies inside by the
//   fill rule (alternate: an odd number of edge crossings to its left;
//   winding: a non-zero sum of edge directions to its left). A centre lying
//   exactly on an edge counts as inside when the edge is on its left side
//   and outside when on its right side, so a polygon that traces a rectangle
//   covers exactly the pixels that rect() covers and two polygons sharing an
//   edge never share a pixel. A polygon of fewer than three points (or with
//   no area) is empty.
//
// Combine modes follow the numbering the selection code uses: 1 AND, 2 OR,
// 3 XOR, 4 DIFF (first minus second), 5 COPY (the first operand). They are
// computed band by band on the span lists, never pixel by pixel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
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

struct PointI {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const PointI&) const = default;
};

enum class FillMode : int32_t { Alternate = 1, Winding = 2 };

enum class CombineMode : int32_t { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

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
    // The ellipse inscribed in the rectangle (see the coverage rule above).
    static Region ellipse(int32_t l, int32_t t, int32_t r, int32_t b);
    // The closed polygon through the points (see the coverage rule above).
    static Region polygon(const std::vector<PointI>& points, FillMode mode);
    // The union of the rectangles; empty rectangles add nothing.
    static Region fromRects(std::vector<RectI> rects);
    // The union of any rectangles in O(n log n) plus the size of the result;
    // nullopt when it would hold more than maxSpans spans.
    static std::optional<Region> unionOfRects(const std::vector<RectI>& rects, size_t maxSpans);

    bool isEmpty() const { return bands_.empty(); }
    // Smallest rectangle holding every pixel; four zeros when empty.
    RectI boundingBox() const;
    // O(log bands + log spans of the band).
    bool contains(int32_t x, int32_t y) const;
    // Number of rectangles in the region's data (one per span of each band).
    size_t rectCount() const;

    // Calls f(x0, x1) for every span of row y, left to right; x1 is exclusive.
    template <class F>
    void forEachSpan(int32_t y, F&& f) const
    {
        const Band* b = bandAt(y);
        if (!b) return;
        for (const Span& s : b->spans) f(s.x0, s.x1);
    }
    // Calls f(RectI) for every rectangle, band by band, left to right.
    template <class F>
    void forEachRect(F&& f) const
    {
        for (const Band& b : bands_)
            for (const Span& s : b.spans) f(RectI{s.x0, b.top, s.x1, b.bottom});
    }

    const std::vector<Band>& bands() const { return bands_; }
    // Builds a region from bands; merges vertically adjacent equal bands and
    // drops empty ones. Bands must be sorted and must not overlap.
    static Region fromBands(std::vector<Band> bands);

    // a combined with b by the mode; COPY gives a.
    static Region combine(const Region& a, const Region& b, CombineMode mode);
    // Moves every pixel by (dx, dy). Coordinates saturate at the 32-bit
    // limits instead of wrapping; pixels pushed past them are lost.
    void offset(int32_t dx, int32_t dy);
    Region offsetted(int32_t dx, int32_t dy) const
    {
        Region r = *this;
        r.offset(dx, dy);
        return r;
    }
    // The pixels of the region that lie within w columns or h rows of a pixel
    // outside it: the outline a frame w pixels wide and h pixels high paints,
    // drawn inside the region's edge. Empty when w or h is below 1.
    Region frame(int32_t w, int32_t h) const;

    // ---- Region data ------------------------------------------------------
    // The region as 32-bit words: a 32-byte header (size 32, type 1, count n,
    // size of the rectangle list 16 n, bounding box left, top, right, bottom)
    // followed by the n rectangles (left, top, right, bottom), band by band.
    static constexpr int32_t kDataHeaderSize = 32;
    static constexpr int32_t kDataTypeRectangles = 1;
    static constexpr size_t kDataHeaderWords = 8;
    std::vector<int32_t> toData() const;
    // Reads region data strictly: the header must say size 32 and type 1, the
    // n rectangles must fit in the words given (further words are ignored),
    // and every rectangle must be well formed (left < right, top < bottom).
    // The bounding box and list size fields are not trusted. nullopt when any
    // check fails.
    // At most kMaxDataRects rectangles are taken, and rectangles that
    // overlap are refused when their union would need more than
    // kMaxDataSpans spans.
    static constexpr size_t kMaxDataRects = size_t(1) << 20;
    static constexpr size_t kMaxDataSpans = size_t(1) << 22;
    static std::optional<Region> fromData(const int32_t* words, size_t count);
    static std::optional<Region> fromData(const std::vector<int32_t>& words)
    {
        return fromData(words.data(), words.size());
    }

    bool operator==(const Region&) const = default;

protected:
    const Band* bandAt(int32_t y) const
    {
        auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                                   [](int32_t v, const Band& b) { return v < b.bottom; });
        if (it == bands_.end() || y < it->top) return nullptr;
        return &*it;
    }
    // Appends a band below the last one, merging it with the last when they
    // touch and hold the same spans; empty bands are dropped.
    void appendBand(int32_t top, int32_t bottom, std::vector<Span>&& spans);

    std::vector<Band> bands_;
};

} // namespace tq
