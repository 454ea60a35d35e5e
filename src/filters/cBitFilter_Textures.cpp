// Textures, tiles and overlays: patterns laid over the working pixels.
#include "filters/PixelMaps.h"
#include "filters/TileSteps.h"
#include "filters/cBitFilter.h"

#include <vector>

namespace tq {

namespace {

// rnd(p * b / 128) with ties to even, clamped to 255: the texture's blue byte
// over 128 is exact in single precision, so whole numbers give the same
// result as the floating product.
inline uint8_t modulate(uint32_t p, uint32_t b)
{
    const uint32_t q = p * b;
    uint32_t r = q >> 7;
    const uint32_t rem = q & 127u;
    if (rem > 64u || (rem == 64u && (r & 1u))) ++r;
    return static_cast<uint8_t>(r > 255u ? 255u : r);
}

} // namespace

FilterResult cBitFilter::Texturize(const BitsBuffer& mskBits)
{
    // A texture of one column or row would step by 0 and never leave its
    // first tile.
    if (!mskBits.allocated() || mskBits.width() < 2 || mskBits.height() < 2) return std::nullopt;

    BitsBuffer out = Bits_;
    SetRegionBounds(0);
    const TileSteps cols = TileSteps::over(walkLeft(), walkRight(), mskBits.width() - 1);
    const TileSteps rows = TileSteps::over(walkTop(), walkBottom(), mskBits.height() - 1);

    // Every product of a channel value and a texture value, looked up
    // rather than rounded per pixel.
    std::vector<uint8_t> product(256 * 256);
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t p = 0; p < 256; ++p) product[b * 256 + p] = modulate(p, b);

    // Texture column of each column of the box: the later tile's stands.
    std::vector<int32_t> texCol(cols.count > 0 ? walkRight() - walkLeft() + 1 : 0);
    for (int32_t o = 0; o < static_cast<int32_t>(texCol.size()); ++o)
        texCol[o] = o - cols.tileIndex(o) * cols.step;

    for (int32_t l = 0; l < rows.count && cols.count > 0; ++l) {
        const int32_t y0 = rows.corner(l);
        int32_t yEnd = l == rows.count - 1 ? y0 + rows.step : y0 + rows.step - 1;
        if (yEnd > walkBottom()) yEnd = walkBottom();
        for (int32_t y = y0; y <= yEnd; ++y) {
            const uint8_t* tex = mskBits.row(y - y0);
            const uint8_t* s = Bits_.row(y);
            uint8_t* d = out.row(y);
            forSelectedRuns(*this, y, walkLeft(), walkRight(), [&](int32_t x0, int32_t x1) {
                for (int32_t x = x0; x <= x1; ++x) {
                    const uint8_t* times = product.data() + 256u * tex[4 * texCol[x - walkLeft()]];
                    d[4 * x] = times[s[4 * x]];
                    d[4 * x + 1] = times[s[4 * x + 1]];
                    d[4 * x + 2] = times[s[4 * x + 2]];
                }
            });
        }
        progressAfterRow(y0);
    }
    raiseProgress(100);
    return out;
}

FilterResult cBitFilter::TileMask(const BitsBuffer& mskBits, int32_t xOffset, int32_t yOffset, bool Tiled,
                                  int32_t Transparency, int32_t MaskColor)
{
    BitsBuffer out = Bits_;
    const float d = single(Transparency / 100.0);
    const float e = single(1.0 - d);
    const int32_t wt = mskBits.allocated() ? mskBits.width() : 0;
    const int32_t ht = mskBits.allocated() ? mskBits.height() : 0;
    // Nothing to place: an empty picture would otherwise tile by 0.
    if (!Bits_.allocated() || wt == 0 || ht == 0) {
        raiseProgress(100);
        return out;
    }
    const bool masked = MaskColor != -1;
    const uint8_t mb = colorBlue(MaskColor), mg = colorGreen(MaskColor), mr = colorRed(MaskColor);

    // Columns the copies cover: tiled copies run right from the offset
    // while their corner lies in the picture, so they cover xOffset..MaxX.
    const int64_t xFirst = xOffset;
    const int64_t xLast = Tiled ? (xFirst <= MaxX ? int64_t(MaxX) : xFirst - 1) : xFirst + wt - 1;
    const int32_t lo = static_cast<int32_t>(xFirst < 0 ? 0 : (xFirst > MaxX ? int64_t(MaxX) + 1 : xFirst));
    const int32_t hi = static_cast<int32_t>(xLast > MaxX ? int64_t(MaxX) : xLast);

    // Rows of copies wholly above the picture change nothing, yet each one
    // applies the progress rule. Only when there are more than a million of
    // them (an offset far beyond any picture) does the walk start at the
    // first row that reaches row 0: walking them would stall the program.
    int64_t l = 0;
    if (Tiled && int64_t(yOffset) + ht - 1 < 0) {
        const int64_t firstReaching = (-int64_t(yOffset) - ht + 1 + ht - 1) / ht;
        if (firstReaching > (int64_t(1) << 20)) l = firstReaching;
    }
    const double dd = d, ee = e;
    for (;; ++l) {
        const int64_t y0 = int64_t(yOffset) + l * ht;
        if (Tiled ? y0 > MaxY : l > 0) break;
        const int64_t yA = y0 < 0 ? 0 : y0;
        const int64_t yB = y0 + ht - 1 < MaxY ? y0 + ht - 1 : int64_t(MaxY);
        for (int64_t y = yA; y <= yB && lo <= hi; ++y) {
            const uint8_t* tex = mskBits.row(static_cast<int32_t>(y - y0));
            const uint8_t* s = Bits_.row(static_cast<int32_t>(y));
            uint8_t* o = out.row(static_cast<int32_t>(y));
            bool failed = false;
            forSelectedRuns(*this, static_cast<int32_t>(y), lo, hi, [&](int32_t x0, int32_t x1) {
                int64_t tx = (int64_t(x0) - xFirst) % wt;
                for (int32_t x = x0; x <= x1 && !failed; ++x) {
                    const uint8_t* t = tex + 4 * tx;
                    if (++tx == wt) tx = 0;
                    if (masked && t[0] == mb && t[1] == mg && t[2] == mr) continue;
                    for (int c = 0; c < 3; ++c) {
                        const int32_t v = rndFast(s[4 * x + c] * dd + t[c] * ee);
                        if (v < 0 || v > 255) {
                            failed = true;
                            break;
                        }
                        o[4 * x + c] = static_cast<uint8_t>(v);
                    }
                }
            });
            if (failed) return std::nullopt;
        }
        if (yOffset != MaxY) progressAfterStep(y0 - yOffset, int64_t(MaxY) - yOffset);
        else touchProgressClock();
    }
    raiseProgress(100);
    return out;
}

BitsBuffer cBitFilter::TILE(int32_t Factor)
{
    BitsBuffer out = Bits_;
    // A factor of 0 or below fails its division or comes out below 1: the
    // tile size then stays at its floor of 1.
    int32_t tw = 0, th = 0;
    toInt32(static_cast<double>(MaxX) / Factor, tw);
    toInt32(static_cast<double>(MaxY) / Factor, th);
    if (tw < 1) tw = 1;
    if (th < 1) th = 1;
    const float fx = single(static_cast<double>(MaxX) / tw);
    const float fy = single(static_cast<double>(MaxY) / th);

    SetRegionBounds(0);
    const TileSteps cols = TileSteps::over(walkLeft(), walkRight(), tw);
    const TileSteps rows = TileSteps::over(walkTop(), walkBottom(), th);
    std::vector<int32_t> srcCol(cols.count > 0 ? walkRight() - walkLeft() + 1 : 0);
    for (int32_t o = 0; o < static_cast<int32_t>(srcCol.size()); ++o)
        srcCol[o] = rnd((o - cols.tileIndex(o) * tw) * static_cast<double>(fx));

    for (int32_t l = 0; l < rows.count && cols.count > 0; ++l) {
        const int32_t y0 = rows.corner(l);
        int32_t yEnd = l == rows.count - 1 ? y0 + th : y0 + th - 1;
        if (yEnd > walkBottom()) yEnd = walkBottom();
        for (int32_t y = y0; y <= yEnd; ++y) {
            const uint8_t* s = Bits_.row(rnd((y - y0) * static_cast<double>(fy)));
            uint8_t* d = out.row(y);
            forSelectedRuns(*this, y, walkLeft(), walkRight(), [&](int32_t x0, int32_t x1) {
                for (int32_t x = x0; x <= x1; ++x) {
                    const uint8_t* p = s + 4 * srcCol[x - walkLeft()];
                    d[4 * x] = p[0];
                    d[4 * x + 1] = p[1];
                    d[4 * x + 2] = p[2];
                }
            });
        }
        progressAfterRow(y0);
    }
    raiseProgress(100);
    return out;
}

FilterResult cBitFilter::Grid(int32_t HStep, int32_t VStep, bool ForceMargins, int32_t Color, int32_t Opacity)
{
    // A step of 0 would never reach the next line.
    if (HStep < 1 || VStep < 1) return std::nullopt;

    BitsBuffer out = Bits_;
    const float a = single(Opacity / 255.0);
    const float e = single(1.0 - a);
    // Blend of each channel value with the line colour; -1 where byte()
    // fails (an opacity outside 0..255), which leaves the byte as copied.
    const uint8_t part[3] = {colorBlue(Color), colorGreen(Color), colorRed(Color)};
    int16_t blend[3][256];
    for (int c = 0; c < 3; ++c)
        for (int p = 0; p < 256; ++p) {
            uint8_t v;
            blend[c][p] = toByte(static_cast<double>(a) * part[c] + p * static_cast<double>(e), v) ? v : -1;
        }
    auto paint = [&](int32_t x, int32_t y) {
        const uint8_t* s = Bits_.pixel(x, y);
        uint8_t* d = out.pixel(x, y);
        for (int c = 0; c < 3; ++c)
            if (blend[c][s[c]] >= 0) d[c] = static_cast<uint8_t>(blend[c][s[c]]);
    };
    auto paintRow = [&](int32_t y) {
        forSelectedRuns(*this, y, walkLeft(), walkRight(), [&](int32_t x0, int32_t x1) {
            for (int32_t x = x0; x <= x1; ++x) paint(x, y);
        });
    };
    const SelectionTest selected(*this);
    auto paintColumn = [&](int32_t x) {
        for (int32_t y = walkTop(); y <= walkBottom(); ++y)
            if (selected(x, y)) paint(x, y);
    };

    SetRegionBounds(0);
    for (int64_t y = walkTop(); y <= walkBottom(); y += VStep) {
        paintRow(static_cast<int32_t>(y));
        progressAfterRow(static_cast<int32_t>(y));
    }
    if (ForceMargins) paintRow(MaxY);
    for (int64_t x = walkLeft(); x <= walkRight(); x += HStep) {
        paintColumn(static_cast<int32_t>(x));
        progressAfterStep(x, MaxX);
    }
    if (ForceMargins) paintColumn(MaxX);
    raiseProgress(100);
    return out;
}

BitsBuffer cBitFilter::Scanlines(int32_t Factor)
{
    BitsBuffer out = Bits_;
    uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        const int64_t t = int64_t(v) - Factor;
        table[v] = static_cast<uint8_t>(t < 0 ? 0 : (t > 255 ? 255 : t));
    }
    SetRegionBounds(0);
    for (int64_t yy = walkTop(); yy <= walkBottom(); yy += 2) {
        const int32_t y = static_cast<int32_t>(yy);
        uint8_t* d = out.row(y);
        forSelectedRuns(*this, y, walkLeft(), walkRight(), [&](int32_t x0, int32_t x1) {
            for (int32_t x = x0; x <= x1; ++x) {
                d[4 * x] = table[d[4 * x]];
                d[4 * x + 1] = table[d[4 * x + 1]];
                d[4 * x + 2] = table[d[4 * x + 2]];
            }
        });
        progressAfterRow(y);
    }
    raiseProgress(100);
    return out;
}

} // namespace tq
