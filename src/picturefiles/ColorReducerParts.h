// The pieces of the colour reducer: the transformed source rows, the
// palettes, the nearest-colour search and the dither modes (see
// ColorReducer.h for what each flag means).
#pragma once

#include "picturefiles/ColorReducer.h"

#include <cstdint>
#include <vector>

namespace tq::reduce {

using Rgb = ColorReducer::Rgb;

// The source picture as the reduction sees it: flipped, inverted and turned
// grey as asked, one row at a time (blue, green, red, a byte that is not
// read), without copying the picture.
class RowSource {
public:
    RowSource(const DibRecord& source, int32_t transformFlags, bool greyscale);
    int width() const { return w_; }
    int height() const { return h_; }
    // Row y (top-down) of the reduced picture's source; scratch holds 4 x
    // width bytes and is used when the row has to be made.
    const uint8_t* row(int y, uint8_t* scratch) const;

private:
    const DibRecord& src_;
    int w_ = 0, h_ = 0;
    bool flipV_ = false, flipH_ = false, invert_ = false, grey_ = false;
};

// The palette that the flags name at the given depth (1..8 bits), without
// padding; false when the flags name no palette or a palette of more than
// 2^bits entries.
bool buildPalette(int32_t paletteFlags, int32_t bits, const RowSource& rows, std::vector<Rgb>& palette);
// True when the flags are ones the reducer knows (at any depth).
bool paletteFlagsKnown(int32_t paletteFlags);
// True when the flags name a palette that the depth holds (any known flags
// at 16 and 24 bits, which use none).
bool paletteFits(int32_t paletteFlags, int32_t bits);

// Exact nearest colour (smallest squared distance in red, green and blue,
// the lowest index on a tie) among up to 256 palette entries. The colour
// cube is cut into 32 x 32 x 32 cells; each cell keeps, made on first use,
// the entries that can be nearest to some colour inside it, so a search
// looks at a handful of entries.
class PaletteLookup {
public:
    explicit PaletteLookup(const std::vector<Rgb>& palette);
    int nearest(int red, int green, int blue)
    {
        const uint32_t cell = uint32_t(red >> 3) << 10 | uint32_t(green >> 3) << 5 | uint32_t(blue >> 3);
        uint32_t c = cells_[cell];
        if (c == kUnset) c = fillCell(cell);
        const uint32_t count = c & 0x1FF;
        const uint8_t* cand = pool_.data() + (c >> 9);
        if (count == 1) return cand[0];
        int best = cand[0];
        int bestD = distance(best, red, green, blue);
        for (uint32_t i = 1; i < count; ++i) {
            const int d = distance(cand[i], red, green, blue);
            if (d < bestD || (d == bestD && cand[i] < best)) {
                bestD = d;
                best = cand[i];
            }
        }
        return best;
    }
    const Rgb& colour(int index) const { return pal_[size_t(index)]; }

private:
    static constexpr uint32_t kUnset = 0xFFFFFFFFu;
    int distance(int i, int r, int g, int b) const
    {
        const Rgb& p = pal_[size_t(i)];
        const int dr = r - p.red, dg = g - p.green, db = b - p.blue;
        return dr * dr + dg * dg + db * db;
    }
    uint32_t fillCell(uint32_t cell);

    std::vector<Rgb> pal_;
    std::vector<uint32_t> cells_;   // pool offset << 9 | count
    std::vector<uint8_t> pool_;
};

// Reduces the rows to palette indices (width x height bytes) with the
// dither mode; false for an unknown mode.
bool ditherToPalette(const RowSource& rows, const std::vector<Rgb>& palette, int32_t ditherMode, uint8_t* out);
// Reduces the rows to 5 bits per channel (red << 10 | green << 5 | blue).
bool ditherTo555(const RowSource& rows, int32_t ditherMode, uint16_t* out);
// True for one of the eleven dither modes.
bool ditherModeKnown(int32_t ditherMode);

// The 8-bit value of a 5-bit level: its bits repeated, so 0 and 31 give 0
// and 255.
inline uint8_t expand5(int level) { return uint8_t(level << 3 | level >> 2); }

} // namespace tq::reduce
