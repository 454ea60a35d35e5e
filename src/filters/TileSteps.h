// Stepping tiles through a walk box.
//
// The first tile sits at the box's corner; a further tile is laid only while
// its corner lies strictly before the box's last column (row). So a single
// tile as wide as the box (TILE(1) on the whole picture) stays single and
// maps the last column onto the picture's last, instead of a second tile
// starting on that last column.
//
// Tiles that share an edge overlap by one pixel or more; the later tile's
// values stand there. tileIndex() names the tile whose value stands at an
// offset from the box's corner.
#pragma once

#include <cstdint>

namespace tq {

struct TileSteps {
    int32_t first = 0;   // corner of the first tile (the box's left or top)
    int32_t step = 1;    // distance between corners, 1 or more
    int32_t count = 0;   // tiles laid; 0 for an empty box

    // Tiles for the inclusive range first..last with corners step apart.
    static TileSteps over(int32_t first, int32_t last, int32_t step)
    {
        TileSteps t;
        t.first = first;
        t.step = step;
        if (last < first || step < 1) return t;
        const int64_t span = int64_t(last) - first;
        t.count = static_cast<int32_t>(1 + (span > 0 ? (span - 1) / step : 0));
        return t;
    }
    int32_t corner(int32_t k) const { return static_cast<int32_t>(first + int64_t(k) * step); }
    // The last tile covering offset o (o = position - first, o >= 0).
    int32_t tileIndex(int32_t o) const
    {
        const int32_t k = o / step;
        return k < count - 1 ? k : count - 1;
    }
};

} // namespace tq
