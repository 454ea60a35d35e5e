// Buffer operations: members that replace or edit Bits as a whole.
#include "filters/PixelWalks.h"
#include "filters/BilinearRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tq {

namespace {

bool validSide(int32_t n) { return n >= 1 && n <= kMaxPictureSide; }

// Callers usually pass the engine's own Bits as the source of a scaling: it
// is moved aside before Bits is replaced, so the source stays readable.
const BitsBuffer& keepSource(const BitsBuffer& src, BitsBuffer& own, BitsBuffer& held)
{
    if (&src != &own) return src;
    held = std::move(own);
    return held;
}

// The rectangle (x1, y1, x2, y2) cut to (0, 0, w, h); an empty result is
// four zeros.
RectI intersectWithPicture(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, int32_t h)
{
    RectI r{std::max(x1, 0), std::max(y1, 0), std::min(x2, w), std::min(y2, h)};
    if (r.isEmpty()) return RectI{};
    return r;
}

} // namespace

void cBitFilter::BitsBlack()
{
    if (!Bits_.allocated()) return;
    Bits_.unshare();   // before the rows are shared among threads
    SetRegionBounds(0);
    const int32_t left = walkLeft(), right = walkRight();
    forRows(*this, Rows::Independent, walkTop(), walkBottom(), [&](int32_t y) {
        clippedRuns(BitsRegion_, y, left, right, [&](int32_t x0, int32_t x1) {
            std::memset(Bits_.pixel(x0, y), 0, 4u * static_cast<size_t>(x1 - x0 + 1));
        });
    }, noTick);
}

bool cBitFilter::BitsCrop(const BitsBuffer& srcBits, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2)
{
    // The rectangle is clipped to this object's size, so a source of any
    // other size could be read past its end.
    if (!srcBits.allocated() || srcBits.width() != MaxX + 1 || srcBits.height() != MaxY + 1) return false;
    const RectI r = intersectWithPicture(X1, Y1, X2, Y2, MaxX + 1, MaxY + 1);
    BitsBuffer out(r.width(), r.height());
    const size_t rowBytes = 4u * static_cast<size_t>(r.width());
    forRows(*this, Rows::Independent, 0, r.height() - 1, [&](int32_t y) {
        std::memcpy(out.row(y), srcBits.pixel(r.left, r.top + y), rowBytes);
    }, noTick);
    setBits(std::move(out));
    raiseProgress(100);
    return true;
}

void cBitFilter::BitsCropMasked(const BitsBuffer& srcBits, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2)
{
    const RectI r = intersectWithPicture(X1, Y1, X2, Y2, srcBits.width(), srcBits.height());
    BitsBuffer out(r.width(), r.height());
    forRows(*this, Rows::Independent, 0, r.height() - 1, [&](int32_t y) {
        uint8_t* d = out.row(y);
        for (int32_t x = 0; x < r.width(); ++x) d[4 * x + 3] = 255;
        clippedRuns(BitsRegion_, r.top + y, r.left, r.right - 1, [&](int32_t x0, int32_t x1) {
            std::memcpy(d + 4 * (x0 - r.left), srcBits.pixel(x0, r.top + y), 4u * static_cast<size_t>(x1 - x0 + 1));
        });
    }, noTick);
    setBits(std::move(out));
    raiseProgress(100);
}

bool cBitFilter::BitsResample(const BitsBuffer& source, int32_t NewWidth, int32_t NewHeight)
{
    if (!source.allocated() || !validSide(NewWidth) || !validSide(NewHeight)) return false;
    BitsBuffer held;
    const BitsBuffer& srcBits = keepSource(source, Bits_, held);
    const int32_t ws = srcBits.width();
    const int32_t hs = srcBits.height();
    // The steps span (size - 1) source pixels, so the last new column falls
    // short of the last source column and ix + 1 never passes it.
    const float sx = single(static_cast<double>(ws - 1) / NewWidth);
    const float sy = single(static_cast<double>(hs - 1) / NewHeight);

    // Each new pixel blends two vertical blends of its row, each rounded: the
    // vertical blends of a new row are made once, for the source columns
    // lo..hi its pixels read, and every new column then reads its pair of
    // them at offsets[x] with its weight. Columns whose weight has finer bits
    // than a fixed weight (positions below 1, at the left) are done in double
    // precision (`fine`); they come first, as positions only grow.
    std::vector<int32_t> ixs(static_cast<size_t>(NewWidth));
    std::vector<double> dxs(static_cast<size_t>(NewWidth));
    for (int32_t x = 0; x < NewWidth; ++x) {
        const float fx = single(static_cast<double>(x) * sx);
        const double ix = std::floor(static_cast<double>(fx));
        // Never outside the source's margin, whatever the rounding did.
        ixs[x] = std::clamp(static_cast<int32_t>(ix), -1, ws);
        dxs[x] = single(fx - ix);
    }
    const int32_t lo = ixs.front(), hi = ixs.back() + 1;
    // Room for the rows that read whole groups of 16 past the last column.
    std::vector<int32_t> offsets(static_cast<size_t>(NewWidth) + 16, 0), weights(offsets.size(), 0);
    int32_t fine = 0;
    for (int32_t x = 0; x < NewWidth; ++x) {
        offsets[x] = 4 * (ixs[x] - lo);
        weights[x] = bilinear::fixedWeight(dxs[x]);
        if (weights[x] < 0) fine = x + 1;
    }
    const size_t vertBytes = 4u * static_cast<size_t>(hi - lo + 1);

    // Every byte of the new buffer is written below: the margin rows here,
    // each row's margin pixels with the row.
    setBits(BitsBuffer::forOverwrite(NewWidth, NewHeight));   // the new MaxY paces the progress
    const size_t rowBytes = static_cast<size_t>(Bits_.stride());
    for (int32_t y : {-2, -1, NewHeight, NewHeight + 1}) std::memset(Bits_.row(y) - 8, 0, rowBytes);
    forRows(*this, Rows::Independent, 0, MaxY, [&](int32_t y) {
        thread_local std::vector<uint8_t> vert;
        if (vert.size() < vertBytes + 128) vert.resize(vertBytes + 128);   // blendPairs reads past the end
        const float fy = single(static_cast<double>(y) * sy);
        const double iyd = std::floor(static_cast<double>(fy));
        const int32_t iy = static_cast<int32_t>(iyd);
        const double dy = single(fy - iyd);
        const uint8_t* r0 = srcBits.row(iy) + 4 * lo;
        const uint8_t* r1 = srcBits.row(iy + 1) + 4 * lo;
        if (const int32_t m = bilinear::fixedWeight(dy); m >= 0) {
            bilinear::blendBytes(r0, r1, m, vert.data(), vertBytes);
        } else {
            for (size_t i = 0; i < vertBytes; ++i)
                vert[i] = static_cast<uint8_t>(rnd((1.0 - dy) * r0[i] + dy * r1[i]));
        }
        uint8_t* d = Bits_.row(y);
        std::memset(d - 8, 0, 8);
        std::memset(d + 4 * static_cast<size_t>(NewWidth), 0, 8);
        for (int32_t x = 0; x < fine; ++x) {
            const uint8_t* a = vert.data() + offsets[x];
            const double dx = dxs[x];
            for (int c = 0; c < 3; ++c) d[4 * x + c] = clampByte(rnd((1.0 - dx) * a[c] + dx * a[4 + c]));
            d[4 * x + 3] = 0;
        }
        bilinear::blendPairs(vert.data(), offsets.data() + fine, weights.data() + fine, NewWidth - fine, d + 4 * fine);
    }, [&](int32_t y) { progressAfterRow(y); });
    raiseProgress(100);
    return true;
}

bool cBitFilter::BitsResize(const BitsBuffer& source, int32_t NewWidth, int32_t NewHeight)
{
    if (!source.allocated() || !validSide(NewWidth) || !validSide(NewHeight)) return false;
    BitsBuffer held;
    const BitsBuffer& srcBits = keepSource(source, Bits_, held);
    const float sx = single(static_cast<double>(srcBits.width()) / NewWidth);
    const float sy = single(static_cast<double>(srcBits.height()) / NewHeight);
    std::vector<int32_t> srcX(static_cast<size_t>(NewWidth));
    for (int32_t x = 0; x < NewWidth; ++x)
        srcX[x] = static_cast<int32_t>(std::floor(static_cast<double>(x) * sx));

    setBits(BitsBuffer(NewWidth, NewHeight));
    forRows(*this, Rows::Independent, 0, MaxY, [&](int32_t y) {
        const uint8_t* s = srcBits.row(static_cast<int32_t>(std::floor(static_cast<double>(y) * sy)));
        uint8_t* d = Bits_.row(y);
        for (int32_t x = 0; x < NewWidth; ++x, d += 4) {
            const uint8_t* p = s + 4 * srcX[x];
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
    }, [&](int32_t y) { progressAfterRow(y); });
    raiseProgress(100);
    return true;
}

bool cBitFilter::BitsRotate90(const BitsBuffer& srcBits)
{
    // Sizes come from this object, pixels from srcBits: they must agree.
    if (!srcBits.allocated() || srcBits.width() != MaxX + 1 || srcBits.height() != MaxY + 1) return false;
    const int32_t oldMaxX = MaxX;
    const int32_t oldMaxY = MaxY;
    BitsBuffer out(oldMaxY + 1, oldMaxX + 1);
    const int32_t outStride = out.stride();
    // Source row y becomes the new column y, from the bottom up: (x, y) goes
    // to (y, oldMaxX - x).
    forRows(*this, Rows::Independent, 0, oldMaxY, [&](int32_t y) {
        const uint8_t* s = srcBits.row(y);
        uint8_t* d = out.pixel(y, oldMaxX);
        for (int32_t x = 0; x <= oldMaxX; ++x, s += 4, d -= outStride) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }, [&](int32_t y) { progressAfterRow(y); });
    setBits(std::move(out));
    raiseProgress(100);
    return true;
}

bool cBitFilter::BitsTakeFromPicture(const DibRecord& srcPicture, int32_t srcWidth, int32_t srcHeight)
{
    if (srcWidth < 0 || srcHeight < 0 || srcWidth > kMaxPictureSide || srcHeight > kMaxPictureSide) return false;
    BitsBuffer out(srcWidth, srcHeight);
    // Only the part the picture really holds is read; the rest stays black.
    const int32_t w = std::min(srcWidth, srcPicture.width);
    int32_t h = std::min(srcHeight, srcPicture.height);
    if (w > 0 && h > 0) {
        const size_t need = 4u * static_cast<size_t>(srcPicture.width) * static_cast<size_t>(h);
        if (srcPicture.bits.size() < need)
            h = static_cast<int32_t>(srcPicture.bits.size() / (4u * static_cast<size_t>(srcPicture.width)));
        forRows(*this, Rows::Independent, 0, h - 1, [&](int32_t y) {
            uint8_t* d = out.row(y);
            std::memcpy(d, srcPicture.row(y), 4u * static_cast<size_t>(w));
            // A picture enters the document with a clear marker byte.
            for (int32_t x = 0; x < w; ++x) d[4 * x + 3] = 0;
        }, noTick);
    }
    setBits(std::move(out));
    return true;
}

BitsBuffer cBitFilter::Flip(bool fH, bool fV)
{
    return wholeRows(*this, Rows::Independent, [&](int32_t y, const uint8_t*, uint8_t* d) {
        const uint8_t* s = Bits_.row(fV ? MaxY - y : y);
        if (fH) {
            s += 4 * MaxX;
            for (int32_t x = 0; x <= MaxX; ++x, s -= 4, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        } else {
            for (int32_t x = 0; x <= MaxX; ++x, s += 4, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
    });
}

FilterResult cBitFilter::NewDoc(int32_t R, int32_t G, int32_t b)
{
    const uint8_t cb = lowByte(b), cg = lowByte(G), cr = lowByte(R);
    // The whole bounding box, holes of the selection included.
    SetRegionBounds(0);
    const int32_t left = walkLeft(), right = walkRight();
    return produceRows(*this, Rows::Independent, walkTop(), walkBottom(), [&](int32_t, const uint8_t*, uint8_t* d) {
        for (int32_t x = left; x <= right; ++x) {
            d[4 * x] = cb;
            d[4 * x + 1] = cg;
            d[4 * x + 2] = cr;
        }
    }, [&](int32_t) { touchProgressClock(); });
}

} // namespace tq
