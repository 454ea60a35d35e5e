#include "core/Region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tq {

namespace {

using Span = Region::Span;
using Band = Region::Band;

constexpr int64_t kInf = std::numeric_limits<int64_t>::max();

int32_t clamp32(int64_t v)
{
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

// Sorted spans of one row with empty ones dropped and touching or overlapping
// ones joined.
void normaliseSpans(std::vector<Span>& spans)
{
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.x0 < b.x0; });
    size_t n = 0;
    for (const Span& s : spans) {
        if (s.x1 <= s.x0) continue;
        if (n > 0 && s.x0 <= spans[n - 1].x1) {
            spans[n - 1].x1 = std::max(spans[n - 1].x1, s.x1);
        } else {
            spans[n++] = s;
        }
    }
    spans.resize(n);
}

// The spans where op(in a, in b) holds; a or b may be null (no spans).
template <class Op>
void combineSpans(const std::vector<Span>* a, const std::vector<Span>* b, Op op, std::vector<Span>& out)
{
    out.clear();
    const size_t na = a ? a->size() * 2 : 0;
    const size_t nb = b ? b->size() * 2 : 0;
    // Boundary k of a list: even k opens span k/2, odd k closes it.
    auto edge = [](const std::vector<Span>* s, size_t k) -> int64_t {
        const Span& sp = (*s)[k / 2];
        return (k & 1) ? sp.x1 : sp.x0;
    };
    size_t ka = 0, kb = 0;
    bool open = false;
    int32_t start = 0;
    while (ka < na || kb < nb) {
        const int64_t xa = ka < na ? edge(a, ka) : kInf;
        const int64_t xb = kb < nb ? edge(b, kb) : kInf;
        const int64_t x = std::min(xa, xb);
        while (ka < na && edge(a, ka) == x) ++ka;
        while (kb < nb && edge(b, kb) == x) ++kb;
        const bool in = op((ka & 1) != 0, (kb & 1) != 0);
        if (in && !open) {
            open = true;
            start = static_cast<int32_t>(x);
        } else if (!in && open) {
            open = false;
            out.push_back(Span{start, static_cast<int32_t>(x)});
        }
    }
}

template <class Op>
Region combineWith(const std::vector<Band>& a, const std::vector<Band>& b, Op op)
{
    std::vector<Band> out;
    size_t ia = 0, ib = 0;
    int64_t y = std::numeric_limits<int64_t>::min();
    std::vector<Span> spans;
    while (ia < a.size() || ib < b.size()) {
        const Band* A = ia < a.size() ? &a[ia] : nullptr;
        const Band* B = ib < b.size() ? &b[ib] : nullptr;
        const int64_t ay0 = A ? std::max<int64_t>(A->top, y) : kInf;
        const int64_t by0 = B ? std::max<int64_t>(B->top, y) : kInf;
        const int64_t y0 = std::min(ay0, by0);
        const bool inA = A && ay0 == y0;
        const bool inB = B && by0 == y0;
        int64_t y1 = kInf;
        if (A) y1 = std::min<int64_t>(y1, inA ? A->bottom : ay0);
        if (B) y1 = std::min<int64_t>(y1, inB ? B->bottom : by0);
        combineSpans(inA ? &A->spans : nullptr, inB ? &B->spans : nullptr, op, spans);
        if (!spans.empty()) {
            const int32_t top = static_cast<int32_t>(y0), bottom = static_cast<int32_t>(y1);
            if (!out.empty() && out.back().bottom == top && out.back().spans == spans) {
                out.back().bottom = bottom;
            } else {
                out.push_back(Band{top, bottom, spans});
            }
        }
        y = y1;
        if (A && A->bottom <= y) ++ia;
        if (B && B->bottom <= y) ++ib;
    }
    return Region::fromBands(std::move(out));
}

// The exact products of the ellipse and edge tests need 128 bits (a GCC
// extension, hence __extension__ for -Wpedantic).
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// Floor of the square root of v.
uint64_t isqrt(UInt128 v)
{
    uint64_t r = static_cast<uint64_t>(std::sqrt(static_cast<long double>(v)));
    while (r > 0 && static_cast<UInt128>(r) * r > v) --r;
    while (static_cast<UInt128>(r + 1) * (r + 1) <= v) ++r;
    return r;
}

// Ceiling of n / d for d > 0.
int64_t ceilDiv(Int128 n, Int128 d)
{
    Int128 q = n / d;
    if (n % d != 0 && n > 0) ++q;
    return static_cast<int64_t>(q);
}

// True when the rectangles already come band by band (equal tops and bottoms
// grouped, groups sorted and not overlapping, spans of a group sorted and
// apart), as region data written by toData does.
bool isBanded(const std::vector<RectI>& rects)
{
    for (size_t i = 1; i < rects.size(); ++i) {
        const RectI& p = rects[i - 1];
        const RectI& c = rects[i];
        if (c.top == p.top && c.bottom == p.bottom) {
            if (c.left <= p.right) return false;
        } else if (c.top < p.bottom) {
            return false;
        }
    }
    return true;
}

// Which elementary x segments the rectangles crossing the sweep line cover.
// Each node knows whether its whole range is covered and whether any of it
// is, so the covered spans of a band are read in time proportional to their
// number (times the depth), never to the count of rectangles behind them.
class CoverTree {
public:
    explicit CoverTree(std::vector<int32_t> xs) : xs_(std::move(xs))
    {
        const size_t n = xs_.size() > 1 ? xs_.size() - 1 : 1;
        cnt_.assign(4 * n, 0);
        full_.assign(4 * n, 0);
        any_.assign(4 * n, 0);
    }
    void add(int32_t l, int32_t r, int d)
    {
        const size_t li = index(l), ri = index(r);
        if (li < ri) update(1, 0, xs_.size() - 1, li, ri, d);
    }
    bool anyCovered() const { return any_[1] != 0; }
    void spans(std::vector<Region::Span>& out) const { collect(1, 0, xs_.size() - 1, out); }

private:
    size_t index(int32_t x) const
    {
        return static_cast<size_t>(std::lower_bound(xs_.begin(), xs_.end(), x) - xs_.begin());
    }
    void update(size_t node, size_t lo, size_t hi, size_t l, size_t r, int d)
    {
        if (r <= lo || hi <= l) return;
        if (l <= lo && hi <= r) {
            cnt_[node] += d;
        } else {
            const size_t mid = lo + (hi - lo) / 2;
            update(2 * node, lo, mid, l, r, d);
            update(2 * node + 1, mid, hi, l, r, d);
        }
        const bool leaf = hi - lo == 1;
        full_[node] = cnt_[node] > 0 || (!leaf && full_[2 * node] && full_[2 * node + 1]);
        any_[node] = cnt_[node] > 0 || (!leaf && (any_[2 * node] || any_[2 * node + 1]));
    }
    void collect(size_t node, size_t lo, size_t hi, std::vector<Region::Span>& out) const
    {
        if (!any_[node]) return;
        if (full_[node]) {
            if (!out.empty() && out.back().x1 == xs_[lo])
                out.back().x1 = xs_[hi];
            else
                out.push_back(Region::Span{xs_[lo], xs_[hi]});
            return;
        }
        const size_t mid = lo + (hi - lo) / 2;
        collect(2 * node, lo, mid, out);
        collect(2 * node + 1, mid, hi, out);
    }

    std::vector<int32_t> xs_;
    std::vector<int> cnt_;
    std::vector<uint8_t> full_, any_;
};

} // namespace

Region Region::rect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    Region rg;
    if (r > l && b > t) rg.bands_.push_back(Band{t, b, {Span{l, r}}});
    return rg;
}

RectI Region::boundingBox() const
{
    if (bands_.empty()) return RectI{};
    RectI box{bands_.front().spans.front().x0, bands_.front().top,
              bands_.front().spans.back().x1, bands_.back().bottom};
    for (const Band& b : bands_) {
        box.left = std::min(box.left, b.spans.front().x0);
        box.right = std::max(box.right, b.spans.back().x1);
    }
    return box;
}

bool Region::contains(int32_t x, int32_t y) const
{
    const Band* b = bandAt(y);
    if (!b) return false;
    auto it = std::upper_bound(b->spans.begin(), b->spans.end(), x,
                               [](int32_t v, const Span& s) { return v < s.x1; });
    return it != b->spans.end() && x >= it->x0;
}

size_t Region::rectCount() const
{
    size_t n = 0;
    for (const Band& b : bands_) n += b.spans.size();
    return n;
}

Region Region::fromBands(std::vector<Band> bands)
{
    Region rg;
    for (Band& b : bands) {
        if (b.bottom <= b.top || b.spans.empty()) continue;
        if (!rg.bands_.empty() && rg.bands_.back().bottom == b.top && rg.bands_.back().spans == b.spans) {
            rg.bands_.back().bottom = b.bottom;
            continue;
        }
        rg.bands_.push_back(std::move(b));
    }
    return rg;
}

void Region::appendBand(int32_t top, int32_t bottom, std::vector<Span>&& spans)
{
    if (bottom <= top || spans.empty()) return;
    if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
        bands_.back().bottom = bottom;
        return;
    }
    bands_.push_back(Band{top, bottom, std::move(spans)});
}

Region Region::ellipse(int32_t l, int32_t t, int32_t r, int32_t b)
{
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    Region rg;
    if (l == r || t == b) return rg;
    // Doubled coordinates relative to the centre keep everything whole:
    // dx = 2x + 1 - (l + r), and (x, y) is inside when
    // dx^2 H^2 + dy^2 W^2 <= W^2 H^2.
    const int64_t W = int64_t(r) - l, H = int64_t(b) - t;
    const UInt128 W2 = static_cast<UInt128>(W) * W;
    const UInt128 H2 = static_cast<UInt128>(H) * H;
    const int64_t sumX = int64_t(l) + r;
    const int64_t sumY = int64_t(t) + b;
    for (int64_t y = t; y < b; ++y) {
        const int64_t dy = 2 * y + 1 - sumY;
        const UInt128 dy2 = static_cast<UInt128>(dy < 0 ? -dy : dy) * (dy < 0 ? -dy : dy);
        const UInt128 rest = W2 * H2 - dy2 * W2;   // dy^2 <= H^2 always holds here
        int64_t m = static_cast<int64_t>(isqrt(rest / H2));
        // dx has the parity of W + 1 for every pixel centre.
        if ((m & 1) != ((W + 1) & 1)) --m;
        std::vector<Span> spans;
        if (m >= 0) spans.push_back(Span{static_cast<int32_t>((sumX - 1 - m) / 2), static_cast<int32_t>((sumX - 1 + m) / 2 + 1)});
        rg.appendBand(static_cast<int32_t>(y), static_cast<int32_t>(y + 1), std::move(spans));
    }
    return rg;
}

Region Region::polygon(const std::vector<PointI>& points, FillMode mode)
{
    struct Edge {
        int64_t xa, ya, xb, yb;   // ya < yb
        int dir;
    };
    std::vector<Edge> edges;
    const size_t n = points.size();
    Region rg;
    if (n < 3) return rg;
    for (size_t i = 0; i < n; ++i) {
        const PointI& p = points[i];
        const PointI& q = points[(i + 1) % n];
        if (p.y == q.y) continue;
        if (p.y < q.y) edges.push_back(Edge{p.x, p.y, q.x, q.y, 1});
        else edges.push_back(Edge{q.x, q.y, p.x, p.y, -1});
    }
    if (edges.empty()) return rg;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.ya < b.ya; });
    int64_t yEnd = edges.front().yb;
    for (const Edge& e : edges) yEnd = std::max(yEnd, e.yb);

    std::vector<const Edge*> active;
    std::vector<std::pair<int64_t, int>> cross;
    std::vector<Span> spans;
    size_t next = 0;
    for (int64_t y = edges.front().ya; y < yEnd; ++y) {
        while (next < edges.size() && edges[next].ya <= y) active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->yb <= y; }),
                     active.end());
        // Each edge crosses the row's centre line y + 0.5 at x_c; the first
        // pixel whose centre lies at or right of it is ceil(x_c - 0.5).
        cross.clear();
        for (const Edge* e : active) {
            const Int128 dyE = e->yb - e->ya;
            const Int128 num = (2 * static_cast<Int128>(e->xa) - 1) * dyE
                                 + static_cast<Int128>(2 * y + 1 - 2 * e->ya) * (e->xb - e->xa);
            cross.emplace_back(ceilDiv(num, 2 * dyE), e->dir);
        }
        std::sort(cross.begin(), cross.end());
        spans.clear();
        if (mode == FillMode::Alternate) {
            for (size_t i = 0; i + 1 < cross.size(); i += 2)
                spans.push_back(Span{clamp32(cross[i].first), clamp32(cross[i + 1].first)});
        } else {
            int winding = 0;
            int64_t start = 0;
            for (const auto& c : cross) {
                const int before = winding;
                winding += c.second;
                if (before == 0 && winding != 0) start = c.first;
                else if (before != 0 && winding == 0) spans.push_back(Span{clamp32(start), clamp32(c.first)});
            }
        }
        normaliseSpans(spans);
        rg.appendBand(static_cast<int32_t>(y), static_cast<int32_t>(y + 1), std::vector<Span>(spans));
    }
    return rg;
}

Region Region::fromRects(std::vector<RectI> rects)
{
    rects.erase(std::remove_if(rects.begin(), rects.end(), [](const RectI& r) { return r.isEmpty(); }),
                rects.end());
    if (rects.empty()) return Region();
    if (isBanded(rects)) {
        Region rg;
        size_t i = 0;
        while (i < rects.size()) {
            std::vector<Span> spans;
            size_t j = i;
            for (; j < rects.size() && rects[j].top == rects[i].top && rects[j].bottom == rects[i].bottom; ++j)
                spans.push_back(Span{rects[j].left, rects[j].right});
            rg.appendBand(rects[i].top, rects[i].bottom, std::move(spans));
            i = j;
        }
        return rg;
    }
    return *unionOfRects(rects, SIZE_MAX);
}

std::optional<Region> Region::unionOfRects(const std::vector<RectI>& rects, size_t maxSpans)
{
    // A sweep from top to bottom: the rectangles' tops and bottoms are the
    // only rows where the covered spans can change, and between two of them
    // the tree gives the band's spans. O(n log n) plus the size of the result.
    struct Edge {
        int32_t y, l, r;
        int d;
    };
    std::vector<Edge> edges;
    std::vector<int32_t> xs;
    edges.reserve(2 * rects.size());
    xs.reserve(2 * rects.size());
    for (const RectI& r : rects) {
        if (r.isEmpty()) continue;
        edges.push_back({r.top, r.left, r.right, +1});
        edges.push_back({r.bottom, r.left, r.right, -1});
        xs.push_back(r.left);
        xs.push_back(r.right);
    }
    if (edges.empty()) return Region();
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y < b.y; });
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

    CoverTree tree(std::move(xs));
    Region rg;
    size_t total = 0;
    size_t i = 0;
    std::vector<Span> spans;
    while (i < edges.size()) {
        const int32_t y = edges[i].y;
        for (; i < edges.size() && edges[i].y == y; ++i) tree.add(edges[i].l, edges[i].r, edges[i].d);
        if (i == edges.size() || !tree.anyCovered()) continue;
        spans.clear();
        tree.spans(spans);
        total += spans.size();
        if (total > maxSpans) return std::nullopt;
        rg.appendBand(y, edges[i].y, std::vector<Span>(spans));
    }
    return rg;
}

Region Region::combine(const Region& a, const Region& b, CombineMode mode)
{
    switch (mode) {
    case CombineMode::And:
        return combineWith(a.bands_, b.bands_, [](bool x, bool y) { return x && y; });
    case CombineMode::Or:
        return combineWith(a.bands_, b.bands_, [](bool x, bool y) { return x || y; });
    case CombineMode::Xor:
        return combineWith(a.bands_, b.bands_, [](bool x, bool y) { return x != y; });
    case CombineMode::Diff:
        return combineWith(a.bands_, b.bands_, [](bool x, bool y) { return x && !y; });
    case CombineMode::Copy:
        return a;
    }
    return a;
}

void Region::offset(int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0) return;
    std::vector<Band> moved;
    moved.reserve(bands_.size());
    for (Band& b : bands_) {
        Band m{clamp32(int64_t(b.top) + dy), clamp32(int64_t(b.bottom) + dy), {}};
        if (m.bottom <= m.top) continue;
        for (const Span& s : b.spans) {
            const Span t{clamp32(int64_t(s.x0) + dx), clamp32(int64_t(s.x1) + dx)};
            if (t.x1 > t.x0) m.spans.push_back(t);
        }
        moved.push_back(std::move(m));
    }
    *this = fromBands(std::move(moved));
}

Region Region::frame(int32_t w, int32_t h) const
{
    if (w < 1 || h < 1 || bands_.empty()) return Region();
    // The inner part keeps the pixels whose neighbours w columns left and
    // right and h rows up and down are all in the region.
    Region inner = combine(*this, offsetted(w, 0), CombineMode::And);
    inner = combine(inner, offsetted(-w, 0), CombineMode::And);
    inner = combine(inner, offsetted(0, h), CombineMode::And);
    inner = combine(inner, offsetted(0, -h), CombineMode::And);
    return combine(*this, inner, CombineMode::Diff);
}

std::vector<int32_t> Region::toData() const
{
    const size_t n = rectCount();
    std::vector<int32_t> words;
    words.reserve(kDataHeaderWords + 4 * n);
    const RectI box = boundingBox();
    words.insert(words.end(), {kDataHeaderSize, kDataTypeRectangles, static_cast<int32_t>(n),
                               static_cast<int32_t>(16 * n), box.left, box.top, box.right, box.bottom});
    forEachRect([&](const RectI& r) { words.insert(words.end(), {r.left, r.top, r.right, r.bottom}); });
    return words;
}

std::optional<Region> Region::fromData(const int32_t* words, size_t count)
{
    if (count < kDataHeaderWords) return std::nullopt;
    if (words[0] != kDataHeaderSize || words[1] != kDataTypeRectangles) return std::nullopt;
    const int64_t n = words[2];
    if (n < 0 || static_cast<uint64_t>(n) > (count - kDataHeaderWords) / 4) return std::nullopt;
    if (static_cast<uint64_t>(n) > kMaxDataRects) return std::nullopt;
    std::vector<RectI> rects;
    rects.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
        const int32_t* w = words + kDataHeaderWords + 4 * i;
        const RectI r{w[0], w[1], w[2], w[3]};
        if (r.left >= r.right || r.top >= r.bottom) return std::nullopt;
        rects.push_back(r);
    }
    if (isBanded(rects)) return fromRects(std::move(rects));
    // Rectangles that cross each other can describe a region far larger
    // than their list; past the cap the data is refused, not built.
    return unionOfRects(rects, kMaxDataSpans);
}

} // namespace tq
