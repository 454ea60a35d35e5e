#include "platform/Region.h"

namespace tq {

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

} // namespace tq
