// Textures, tiles and overlays: patterns laid over the working pixels.
#include "filters/PixelWalks.h"

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

    // Every product of a channel value and a texture value, looked up
    // rather than rounded per pixel.
    std::vector<uint8_t> product(256 * 256);
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t p = 0; p < 256; ++p) product[b * 256 + p] = modulate(p, b);

    // Texture column of each column of the box: the later tile's stands.
    SetRegionBounds(0);
    const int32_t left = walkLeft();
    const TileSteps cols = TileSteps::over(left, walkRight(), mskBits.width() - 1);
    std::vector<int32_t> texCol(cols.count > 0 ? walkRight() - left + 1 : 0);
    for (int32_t o = 0; o < static_cast<int32_t>(texCol.size()); ++o)
        texCol[o] = o - cols.tileIndex(o) * cols.step;

    return tileRows(*this, mskBits.width() - 1, mskBits.height() - 1,
                    [&](int32_t, int32_t ty, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
                        const uint8_t* tex = mskBits.row(ty);
                        for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) {
                            const uint8_t* times = product.data() + 256u * tex[4 * texCol[x - left]];
                            d[0] = times[s[0]];
                            d[1] = times[s[1]];
                            d[2] = times[s[2]];
                        }
                    });
}

FilterResult cBitFilter::TileMask(const BitsBuffer& mskBits, int32_t xOffset, int32_t yOffset, bool Tiled,
                                  int32_t Transparency, int32_t MaskColor)
{
    const float d = single(Transparency / 100.0);
    const float e = single(1.0 - d);
    const int32_t wt = mskBits.allocated() ? mskBits.width() : 0;
    const int32_t ht = mskBits.allocated() ? mskBits.height() : 0;
    // Nothing to place: an empty picture would otherwise tile by 0.
    if (!Bits_.allocated() || wt == 0 || ht == 0) {
        raiseProgress(100);
        return Bits_;
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
    int64_t lFirst = 0;
    if (Tiled && int64_t(yOffset) + ht - 1 < 0) {
        const int64_t firstReaching = (-int64_t(yOffset) - ht + 1 + ht - 1) / ht;
        if (firstReaching > (int64_t(1) << 20)) lFirst = firstReaching;
    }
    // Copy row l covers the rows yOffset + l ht onwards, ht of them; the
    // progress rule follows each copy row once its last picture row is done.
    const auto top = [&](int64_t l) { return int64_t(yOffset) + l * ht; };
    const auto copyTick = [&](int64_t l) {
        if (yOffset != MaxY) progressAfterStep(top(l) - yOffset, int64_t(MaxY) - yOffset);
        else touchProgressClock();
    };
    const int64_t lLast = Tiled ? (top(lFirst) <= MaxY ? lFirst + (int64_t(MaxY) - top(lFirst)) / ht : lFirst - 1) : 0;
    int64_t l = lFirst;
    for (; l <= lLast && top(l) + ht - 1 < 0; ++l) copyTick(l);   // wholly above the picture
    // A single copy below the picture has no rows to walk: it only ticks.
    const bool onPicture = l <= lLast && top(l) <= MaxY;
    const int64_t firstRow = onPicture ? std::max<int64_t>(top(l), 0) : 0;
    const int64_t lastRow = onPicture ? std::min<int64_t>(top(lLast) + ht - 1, MaxY) : -1;
    const double dd = d, ee = e;
    FilterResult out = produceRowsAs<true>(
        *this, Rows::Independent, static_cast<int32_t>(firstRow), static_cast<int32_t>(lastRow),
        [&](int32_t y, const uint8_t* s, uint8_t* o) {
            const int64_t y0 = top(lFirst + (y - top(lFirst)) / ht);
            const uint8_t* tex = mskBits.row(static_cast<int32_t>(y - y0));
            return clippedRuns(BitsRegion_, y, lo, hi, [&](int32_t x0, int32_t x1) {
                int64_t tx = (int64_t(x0) - xFirst) % wt;
                for (int32_t x = x0; x <= x1; ++x) {
                    const uint8_t* t = tex + 4 * tx;
                    if (++tx == wt) tx = 0;
                    if (masked && t[0] == mb && t[1] == mg && t[2] == mr) continue;
                    for (int c = 0; c < 3; ++c) {
                        const int32_t v = rndFast(s[4 * x + c] * dd + t[c] * ee);
                        if (v < 0 || v > 255) return false;
                        o[4 * x + c] = static_cast<uint8_t>(v);
                    }
                }
                return true;
            });
        },
        [&](int32_t y) {
            const int64_t lr = lFirst + (y - top(lFirst)) / ht;
            if (y == std::min<int64_t>(top(lr) + ht - 1, MaxY)) copyTick(lr);
        });
    if (!out) return out;
    if (!onPicture)
        for (; l <= lLast; ++l) copyTick(l);
    raiseProgress(100);
    return out;
}

BitsBuffer cBitFilter::TILE(int32_t Factor)
{
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
    const int32_t left = walkLeft();
    const TileSteps cols = TileSteps::over(left, walkRight(), tw);
    std::vector<int32_t> srcCol(cols.count > 0 ? walkRight() - left + 1 : 0);
    for (int32_t o = 0; o < static_cast<int32_t>(srcCol.size()); ++o)
        srcCol[o] = rnd((o - cols.tileIndex(o) * tw) * static_cast<double>(fx));

    return tileRows(*this, tw, th, [&](int32_t, int32_t ty, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
        const uint8_t* s = Bits_.row(rnd(ty * static_cast<double>(fy)));
        for (int32_t x = x0; x <= x1; ++x, d += 4) {
            const uint8_t* p = s + 4 * srcCol[x - left];
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
    });
}

FilterResult cBitFilter::Grid(int32_t HStep, int32_t VStep, bool ForceMargins, int32_t Color, int32_t Opacity)
{
    // A step of 0 would never reach the next line.
    if (HStep < 1 || VStep < 1) return std::nullopt;

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
    const auto paint = [&](const uint8_t* s, uint8_t* d) {
        for (int c = 0; c < 3; ++c)
            if (blend[c][s[c]] >= 0) d[c] = static_cast<uint8_t>(blend[c][s[c]]);
    };

    // Lines run along every VStep-th row and every HStep-th column of the
    // walk box from its corner, and with ForceMargins along the picture's
    // last row and column too; a line paints the selected pixels it crosses.
    SetRegionBounds(0);
    const int32_t top = walkTop(), left = walkLeft(), right = walkRight();
    const auto lineRow = [&](int32_t y) { return (int64_t(y) - top) % VStep == 0; };
    FilterResult out = produceRows(
        *this, Rows::Independent, top, walkBottom(),
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            const bool across = lineRow(y) || (ForceMargins && y == MaxY);
            clippedRuns(BitsRegion_, y, left, right, [&](int32_t x0, int32_t x1) {
                if (across) {
                    for (int32_t x = x0; x <= x1; ++x) paint(s + 4 * x, d + 4 * x);
                    return;
                }
                // The first line column at or after x0.
                for (int64_t x = left + (int64_t(x0) - left + HStep - 1) / HStep * HStep; x <= x1; x += HStep)
                    paint(s + 4 * x, d + 4 * x);
                if (ForceMargins && MaxX >= x0 && MaxX <= x1) paint(s + 4 * MaxX, d + 4 * MaxX);
            });
        },
        [&](int32_t y) {
            if (lineRow(y)) progressAfterRow(y);
        });
    for (int64_t x = left; x <= right; x += HStep) progressAfterStep(x, MaxX);
    raiseProgress(100);
    return out;
}

BitsBuffer cBitFilter::Scanlines(int32_t Factor)
{
    const ByteTable darker = offsetTable(-int64_t(Factor));
    return stepRows(*this, 2, Rows::Independent, [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) {
            d[0] = darker[s[0]];
            d[1] = darker[s[1]];
            d[2] = darker[s[2]];
        }
    });
}

} // namespace tq
