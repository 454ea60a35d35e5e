// The engine's walks: every way a member visits pixels.
//
// A member states its formula; the walker owns what lies around it: the
// result (a copy of Bits in which only the walked pixels are rewritten), the
// rows and their order, the threads, the selection's runs clipped to the
// walk box and the picture, and the Progress pacing. The formulas' shared
// values are in filters/PixelFormulas.h, the threads, streamed stores and
// vector dispatch in filters/PixelMachinery.h.
//
// Which shape for which member:
//
//   the member ...                                  walk
//   new pixel from the pixel alone, as a word       pointWords
//   each channel through a table of its own         channelTables
//   colour from B + G + R alone                     sumColours
//   channel from its grey and itself                greyChannelTable
//   any other pixel-alone formula                   pointPixels
//   reads neighbours, writes its pixel              selectedPixels (margin)
//   the same, one channel at a time                 selectedChannels
//   works along runs of a row (running sums)        selectedSpans
//   writes all four bytes of a run itself           selectedWholePixels
//   every pixel of the box, selected or not         boxRows
//   the same, reading along lines across rows       boxBlocks
//   every picture row, no region                    wholeRows
//   every step-th row (scan lines)                  stepRows
//   one tile repeated through the box               tileRows (TileSteps)
//   square cells visited whole (mosaics)            cells, cellPixels
//   each pixel takes one source point               mappedRows, mappedPixels
//   a disc about a point (lens, light)              discSpot, discSpans
//   a value gathered over rows (statistics)         reduceRows
//   rewrites whole rows of the result               produceRows
//   rows with no result of their own                forRows, forBands
//   the runs of one row                             clippedRuns, pictureRuns
//
// pointWords, channelTables, greyChannelTable, pointPixels and
// pointWholePixels make each pixel from that pixel alone: while the engine
// allows it (cBitFilter::allowResultInBits) and the member cannot fail
// half-way, they write their result over Bits' own block.
//
// A row, span or pixel function may return bool: false is a failure that ends
// the walk at once, without the progress of that row or the final report;
// the walk then returns std::nullopt (or false).
//
// Rows::Independent declares that a row's result depends on Bits and the
// call's constants alone, never on another row's result or on the order of
// the rows: the walker then shares the rows among the engine's threads in
// bands (cBitFilter::setThreadCount), and the result is the same for any
// number of them. Rows::InOrder keeps the rows top-down on the calling
// thread (random draws, error diffusion, running state). Either way the
// progress rule runs on the calling thread, row after row in increasing
// order, so the clock is read and Progress raised exactly as on one thread.
#pragma once

#include "filters/PixelFormulas.h"
#include "filters/PixelMachinery.h"
#include "filters/cBitFilter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace tq {

namespace walkdetail {

// The result of a walk: a buffer, or std::nullopt after a failure when the
// member's function can fail.
template <bool CanFail>
using Produced = std::conditional_t<CanFail, FilterResult, BitsBuffer>;

} // namespace walkdetail

inline constexpr auto noTick = [](int32_t) {};

// ---- Runs of the selection ------------------------------------------------

// The one span-clip primitive: fn(x0, x1) for each run x0..x1 (inclusive) of
// the region's pixels in row y that lies within the columns lo..hi. False
// when fn failed (the runs after it are not visited).
template <class RunFn>
bool clippedRuns(const Region* rg, int32_t y, int32_t lo, int32_t hi, RunFn&& fn)
{
    if (!rg || lo > hi) return true;
    bool ok = true;
    rg->forEachSpan(y, [&](int32_t a, int32_t b) {
        if (!ok) return;
        const int32_t x0 = a > lo ? a : lo;
        const int32_t x1 = (b - 1) < hi ? (b - 1) : hi;
        if (x0 <= x1) ok = walkdetail::succeeds(fn, x0, x1);
    });
    return ok;
}

// The same runs, also kept inside the picture (a region reaching outside it
// never makes a member read or write outside the buffer).
template <class RunFn>
bool pictureRuns(const cBitFilter& f, int32_t y, int32_t lo, int32_t hi, RunFn&& fn)
{
    if (!f.Bits().allocated() || y < 0 || y >= f.BitsHeight()) return true;
    return clippedRuns(f.BitsRegion(), y, std::max(lo, 0), std::min(hi, f.BitsWidth() - 1), fn);
}

// Is a point selected: inside the region and inside the picture. A
// rectangular region, the common case, is tested without a search.
class SelectionTest {
public:
    explicit SelectionTest(const cBitFilter& f) : rg_(f.BitsRegion())
    {
        w_ = f.Bits().allocated() ? f.BitsWidth() : 0;
        h_ = f.Bits().allocated() ? f.BitsHeight() : 0;
        if (rg_ && rg_->bands().size() == 1 && rg_->bands().front().spans.size() == 1) {
            const Region::Band& b = rg_->bands().front();
            l_ = b.spans.front().x0 > 0 ? b.spans.front().x0 : 0;
            r_ = b.spans.front().x1 < w_ ? b.spans.front().x1 : w_;
            t_ = b.top > 0 ? b.top : 0;
            b_ = b.bottom < h_ ? b.bottom : h_;
            rect_ = true;
        }
    }
    bool operator()(int32_t x, int32_t y) const
    {
        if (rect_) return x >= l_ && x < r_ && y >= t_ && y < b_;
        if (!rg_ || x < 0 || y < 0 || x >= w_ || y >= h_) return false;
        return rg_->contains(x, y);
    }

private:
    const Region* rg_;
    int32_t w_ = 0, h_ = 0;
    bool rect_ = false;
    int32_t l_ = 0, r_ = 0, t_ = 0, b_ = 0;
};

// ---- The core: rows ---------------------------------------------------------

enum class Rows { InOrder, Independent };

// band(y0, y1) for runs of rows covering first..last, returning the first of
// its rows that failed or walkdetail::kNoFailure; after row y, tick(y), on
// the calling thread and in increasing order. Rows::Independent shares the
// bands among the engine's threads (rowPixels, the pixels a row costs,
// decides whether that is worth it); Rows::InOrder walks every row on the
// calling thread, top to bottom, one row a band. A failing row ends the walk
// (no tick for it or after it) and forBands returns false.
template <class BandFn, class Tick>
bool forBands(cBitFilter& f, Rows order, int32_t first, int32_t last, int64_t rowPixels, BandFn&& band, Tick&& tick)
{
    if (first > last) return true;
    const int threads = order == Rows::Independent ? f.threadCount() : 1;
    const int32_t rows = walkdetail::bandRows(threads, last - first + 1, rowPixels);
    if (rows == 0) {
        for (int32_t y = first; y <= last; ++y) {
            if (band(y, y) != walkdetail::kNoFailure) return false;
            tick(y);
        }
        return true;
    }
    auto tickRow = [&](int32_t y) { tick(y); };
    return walkdetail::runBands(threads, first, last, rows, band, tickRow);
}

// fn(y) for the rows first..last; after row y, tick(y). A failing row ends
// the walk (no tick for it) and forRows returns false.
template <class RowFn, class Tick>
bool forRows(cBitFilter& f, Rows order, int32_t first, int32_t last, RowFn&& fn, Tick&& tick)
{
    auto band = [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y <= y1; ++y)
            if (!walkdetail::succeeds(fn, y)) return y;
        return walkdetail::kNoFailure;
    };
    return forBands(f, order, first, last, f.BitsWidth(), band, tick);
}

namespace walkdetail {

// produceRowsAs (below), and with CopyRow false for a row function that
// writes every byte of its row itself (margin included), which spares the
// copy it would overwrite. Pointwise: a row of the result depends on the
// same row of Bits alone, so when the engine allows it
// (resultMayOverwriteBits) and the walk cannot fail half-way, each row is
// made aside and written back over Bits' own block, which becomes the
// result: no second picture-sized block.
template <bool CanFail, bool CopyRow, bool Pointwise, class RowFn, class Tick>
Produced<CanFail> produce(cBitFilter& f, Rows order, int32_t first, int32_t last, RowFn&& fn, Tick&& tick)
{
    const BitsBuffer& src = f.Bits();
    if (!src.allocated()) return src;
    const bool inPlace = Pointwise && !CanFail && f.resultMayOverwriteBits();
    if (inPlace) {
        // The calling thread's row aside is made before any pixel changes.
        scratchRow(static_cast<size_t>(src.stride()));
        f.noteWroteOverBits();
    }
    // Every row of the result, margin rows included, is written below (or
    // the walk fails and the result is dropped): no zero pass first. The
    // pages are first touched by the threads that write their rows, so the
    // faults of a fresh block are shared among them instead of taken in a
    // row on the calling thread.
    BitsBuffer out = inPlace ? src.share() : BitsBuffer::forOverwrite(src.width(), src.height());
    const size_t rowBytes = static_cast<size_t>(src.stride());
    // A large result shared among threads goes past the caches; on one
    // thread plain stores are faster.
    const int threads = order == Rows::Independent ? f.threadCount() : 1;
    const bool shared = bandRows(threads, src.height() + 2 * BitsBuffer::kMargin, src.width()) != 0;
    const bool stream = shared && out.byteSize() >= streamedResultBytes();
    const bool ok = forRows(
        f, order, -BitsBuffer::kMargin, src.height() - 1 + BitsBuffer::kMargin,
        [&](int32_t y) {
            const uint8_t* s = src.row(y) - 4 * BitsBuffer::kMargin;
            uint8_t* d = out.row(y) - 4 * BitsBuffer::kMargin;
            if (y < first || y > last) {
                if (inPlace) return true;
                if (stream) streamBytes(d, s, rowBytes);
                else std::memcpy(d, s, rowBytes);
                return true;
            }
            // In place the row is made aside: the row functions read and
            // write through unaliased pointers.
            uint8_t* line = stream || inPlace ? scratchRow(rowBytes) : d;
            if constexpr (CopyRow) std::memcpy(line, s, rowBytes);
            const bool good = succeeds(fn, y, s + 4 * BitsBuffer::kMargin, line + 4 * BitsBuffer::kMargin);
            if (stream) streamBytes(d, line, rowBytes);
            else if (inPlace) std::memcpy(d, line, rowBytes);
            return good;
        },
        [&](int32_t y) {
            if (y >= first && y <= last) tick(y);
        });
    if (stream) streamFence();   // the bands on other threads fence their own
    if constexpr (CanFail) {
        if (!ok) return std::nullopt;
    }
    (void)ok;
    return out;
}

// The walk for run functions that write whole pixels: fn(y, x0, x1, s, d)
// writes all four bytes of the pixels x0..x1 of row y (s and d at pixel
// x0); the walker copies the rest of the row from Bits instead of copying
// the whole row first. Rows first..last, runs of the selection clipped to
// the columns lo..hi; tick(y) after row y.
template <bool CanFail, bool Pointwise, class SpanFn, class Tick>
Produced<CanFail> wholePixelSpans(cBitFilter& f, int32_t first, int32_t last, int32_t lo, int32_t hi, SpanFn&& fn,
                                  Tick&& tick)
{
    const int32_t width = f.BitsWidth();
    return produce<CanFail, false, Pointwise>(
        f, Rows::Independent, first, last,
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            int32_t from = -BitsBuffer::kMargin;   // first pixel not yet written
            const bool ok = clippedRuns(f.BitsRegion(), y, lo, hi, [&](int32_t x0, int32_t x1) {
                std::memcpy(d + 4 * from, s + 4 * from, 4 * static_cast<size_t>(x0 - from));
                from = x1 + 1;
                return succeeds(fn, y, x0, x1, s + 4 * x0, d + 4 * x0);
            });
            std::memcpy(d + 4 * from, s + 4 * from, 4 * static_cast<size_t>(width + BitsBuffer::kMargin - from));
            return ok;
        },
        tick);
}

} // namespace walkdetail

// The result of a member: a buffer of Bits's shape whose every byte starts as
// Bits's own; fn(y, s, d) rewrites row y for the rows first..last, s and d
// pointing at pixel (0, y) of Bits and of the result (index them 4 * x + c,
// x from -2 to W + 1). fn writes only row y of the result and reads the
// result only there. After row y, tick(y). CanFail: fn's false ends the walk
// and the result is std::nullopt.
//
// The result is made row by row, every row of the buffer (margin rows
// included) once, so the copy is shared among the threads with the work: a
// row of Bits is copied, the member rewrites it, and it goes to the result
// (past the caches when the result is large). Pointwise: see produce.
template <bool CanFail, bool Pointwise = false, class RowFn, class Tick>
walkdetail::Produced<CanFail> produceRowsAs(cBitFilter& f, Rows order, int32_t first, int32_t last, RowFn&& fn,
                                            Tick&& tick)
{
    return walkdetail::produce<CanFail, true, Pointwise>(f, order, first, last, fn, tick);
}

template <class RowFn, class Tick>
auto produceRows(cBitFilter& f, Rows order, int32_t first, int32_t last, RowFn&& fn, Tick&& tick)
{
    return produceRowsAs<walkdetail::returnsBool<RowFn, int32_t, const uint8_t*, uint8_t*>>(f, order, first, last, fn,
                                                                                            tick);
}

// ---- The selection ---------------------------------------------------------

// The selection walk (walk box shrunk by margin) for run functions that
// write whole pixels: fn(y, x0, x1, s, d) writes all four bytes of the
// pixels x0..x1, the marker byte its own. Progress per row, then 100.
// Pointwise: fn reads no byte of s but those of the pixels it writes.
template <bool Pointwise = false, class SpanFn>
auto selectedWholePixels(cBitFilter& f, int32_t margin, SpanFn&& fn)
{
    constexpr bool canFail = walkdetail::returnsBool<SpanFn, int32_t, int32_t, int32_t, const uint8_t*, uint8_t*>;
    f.SetRegionBounds(margin);
    auto out = walkdetail::wholePixelSpans<canFail, Pointwise>(f, f.walkTop(), f.walkBottom(), f.walkLeft(),
                                                               f.walkRight(), fn,
                                                               [&](int32_t y) { f.progressAfterRow(y); });
    if constexpr (canFail) {
        if (!out) return out;
    }
    f.raiseProgress(100);
    return out;
}

// The point-filter form of selectedWholePixels (margin 0): fn(y, x0, x1, s,
// d) makes each pixel from that pixel of s alone, so the result may be
// written over Bits (cBitFilter::allowResultInBits).
template <class SpanFn>
auto pointWholePixels(cBitFilter& f, SpanFn&& fn)
{
    return selectedWholePixels<true>(f, 0, std::forward<SpanFn>(fn));
}

// fn(y, x0, x1, s, d) for each run x0..x1 of selected pixels in the walk box
// shrunk by margin, s and d pointing at pixel (x0, y) of Bits and of the
// result. Progress per row, then 100. Pointwise: fn reads no byte of s but
// those of the pixels it writes.
template <bool Pointwise = false, class SpanFn>
auto selectedSpans(cBitFilter& f, int32_t margin, Rows order, SpanFn&& fn)
{
    constexpr bool canFail = walkdetail::returnsBool<SpanFn, int32_t, int32_t, int32_t, const uint8_t*, uint8_t*>;
    f.SetRegionBounds(margin);
    const int32_t left = f.walkLeft(), right = f.walkRight();
    auto out = produceRowsAs<canFail, Pointwise>(
        f, order, f.walkTop(), f.walkBottom(),
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            return clippedRuns(f.BitsRegion(), y, left, right, [&](int32_t x0, int32_t x1) {
                return walkdetail::succeeds(fn, y, x0, x1, s + 4 * x0, d + 4 * x0);
            });
        },
        [&](int32_t y) { f.progressAfterRow(y); });
    if constexpr (canFail) {
        if (!out) return out;
    }
    f.raiseProgress(100);
    return out;
}

// fn(s, d, stride, x, y) for every selected pixel of the walk box shrunk by
// margin: neighbours are s[+-4], s[+-stride], ...
template <class PixelFn>
auto selectedPixels(cBitFilter& f, int32_t margin, Rows order, PixelFn&& fn)
{
    constexpr bool canFail =
        walkdetail::returnsBool<PixelFn, const uint8_t*, uint8_t*, ptrdiff_t, int32_t, int32_t>;
    const ptrdiff_t stride = f.Bits().stride();
    return selectedSpans(f, margin, order,
                         [&](int32_t y, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
                             if constexpr (canFail) {
                                 for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4)
                                     if (!fn(s, d, stride, x, y)) return false;
                                 return true;
                             } else {
                                 for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) fn(s, d, stride, x, y);
                             }
                         });
}

// fn(s, d, stride) once for each of blue, green and red of every selected
// pixel, s and d pointing at that channel. The marker byte is never handed
// out.
template <class ChannelFn>
BitsBuffer selectedChannels(cBitFilter& f, int32_t margin, ChannelFn&& fn)
{
    const ptrdiff_t stride = f.Bits().stride();
    return selectedSpans(f, margin, Rows::Independent,
                         [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
                             for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) {
                                 fn(s, d, stride);
                                 fn(s + 1, d + 1, stride);
                                 fn(s + 2, d + 2, stride);
                             }
                         });
}

// The point-filter walk (margin 0): fn(s, d) for every selected pixel, s its
// four bytes in Bits, d the same pixel of the result; it reads no other
// pixel, so the result may be written over Bits (allowResultInBits).
template <class PixelFn>
auto pointPixels(cBitFilter& f, PixelFn&& fn)
{
    constexpr bool canFail = walkdetail::returnsBool<PixelFn, const uint8_t*, uint8_t*>;
    return selectedSpans<true>(f, 0, Rows::Independent,
                         [&](int32_t, int32_t x0, int32_t x1, const uint8_t* __restrict s, uint8_t* __restrict d) {
                             if constexpr (canFail) {
                                 for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4)
                                     if (!fn(s, d)) return false;
                                 return true;
                             } else {
                                 for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) fn(s, d);
                             }
                         });
}
// A point filter on whole pixels: every selected pixel p becomes fn(p) with
// its marker byte carried through from p.
template <class WordFn>
BitsBuffer pointWords(cBitFilter& f, WordFn&& fn)
{
    const bool wide = walkdetail::wideWords();
    return pointWholePixels(f, [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
#if defined(__x86_64__)
        if (wide) return walkdetail::wordRunWide(s, d, x1 - x0 + 1, fn);
#endif
        (void)wide;
        walkdetail::wordRun(s, d, x1 - x0 + 1, fn);
    });
}

// Every selected pixel's blue, green and red through their tables.
BitsBuffer channelTables(cBitFilter& f, const ByteTable& tb, const ByteTable& tg, const ByteTable& tr);

// Point filters whose new colour depends on B + G + R alone: every selected
// pixel takes colours[B + G + R] (blue, green and red in its low three
// bytes). An entry marked kNoColour stands for a step that gives no colour:
// the pixel keeps its own, or with failIfNone the walk fails.
inline constexpr uint32_t kNoColour = 0x01000000u;
FilterResult sumColours(cBitFilter& f, const std::array<uint32_t, kChannelSums>& colours, bool failIfNone);

// Point filters whose channel value c becomes table[g * 256 + c], g the
// pixel's grey T(B + G + R): a table of 65536 bytes.
BitsBuffer greyChannelTable(cBitFilter& f, const std::vector<uint8_t>& table);

// ---- Boxes, whole pictures, steps -----------------------------------------

// fn(y, x0, x1, s, d) once per row of the walk box (shrunk by margin) with
// the box's columns: every pixel of the box counts, selected or not.
// Progress per row; no final report (callers decide).
template <class RowFn>
auto boxRows(cBitFilter& f, int32_t margin, Rows order, RowFn&& fn)
{
    f.SetRegionBounds(margin);
    const int32_t left = f.walkLeft(), right = f.walkRight();
    constexpr bool canFail = walkdetail::returnsBool<RowFn, int32_t, int32_t, int32_t, const uint8_t*, uint8_t*>;
    return produceRowsAs<canFail>(
        f, order, f.walkTop(), f.walkBottom(),
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            return left > right || walkdetail::succeeds(fn, y, left, right, s + 4 * left, d + 4 * left);
        },
        [&](int32_t y) { f.progressAfterRow(y); });
}

// The rows of boxRows (margin 0) in blocks of up to blockRows rows, for a
// member whose rows read Bits along lines that cross many rows (a turn): fn
// (y0, y1, x0, x1, out) rewrites rows y0..y1, columns x0..x1 (the box's) of
// out, which already holds Bits's bytes there, and may go through the
// block column group by column group, so that its reads stay within a few
// rows of Bits at a time. Blocks are shared among the threads as rows are
// (Rows::Independent); every byte outside the box is Bits's own. After a
// block, the progress rule for each of its rows in order; no final report.
template <class BlockFn>
BitsBuffer boxBlocks(cBitFilter& f, int32_t blockRows, BlockFn&& fn)
{
    f.SetRegionBounds(0);
    const BitsBuffer& src = f.Bits();
    if (!src.allocated()) return src;
    const int32_t top = f.walkTop(), bottom = f.walkBottom(), left = f.walkLeft(), right = f.walkRight();
    // Blocks cover every row of the buffer, margin rows included; each copies
    // its rows before fn rewrites them.
    const int32_t first = -BitsBuffer::kMargin, rows = src.height() + 2 * BitsBuffer::kMargin;
    const int32_t blocks = (rows + blockRows - 1) / blockRows;
    const size_t rowBytes = static_cast<size_t>(src.stride());
    BitsBuffer out = BitsBuffer::forOverwrite(src.width(), src.height());
    const auto rowsOf = [&](int32_t b) {
        const int32_t y0 = first + b * blockRows;
        return std::pair{y0, std::min(y0 + blockRows, first + rows) - 1};
    };
    forBands(
        f, Rows::Independent, 0, blocks - 1, int64_t(blockRows) * src.width(),
        [&](int32_t b0, int32_t b1) {
            for (int32_t b = b0; b <= b1; ++b) {
                const auto [y0, y1] = rowsOf(b);
                std::memcpy(out.row(y0) - 4 * BitsBuffer::kMargin, src.row(y0) - 4 * BitsBuffer::kMargin,
                            rowBytes * static_cast<size_t>(y1 - y0 + 1));
                const int32_t ya = std::max(y0, top), yb = std::min(y1, bottom);
                if (ya <= yb && left <= right) fn(ya, yb, left, right, out);
            }
            return walkdetail::kNoFailure;
        },
        [&](int32_t b) {
            const auto [y0, y1] = rowsOf(b);
            for (int32_t y = std::max(y0, top); y <= std::min(y1, bottom); ++y) f.progressAfterRow(y);
        });
    return out;
}

// fn(y, s, d) for every row of the picture, y 0..MaxY, with no region test.
// Progress per row, then 100.
template <class RowFn>
BitsBuffer wholeRows(cBitFilter& f, Rows order, RowFn&& fn)
{
    BitsBuffer out = produceRows(f, order, 0, f.BitsHeight() - 1, fn, [&](int32_t y) { f.progressAfterRow(y); });
    f.raiseProgress(100);
    return out;
}

// fn(y, x0, x1, s, d) for the selected runs of every step-th row of the walk
// box, from its top. Progress after each of those rows, then 100.
template <class SpanFn>
BitsBuffer stepRows(cBitFilter& f, int32_t step, Rows order, SpanFn&& fn)
{
    f.SetRegionBounds(0);
    const int32_t top = f.walkTop(), left = f.walkLeft(), right = f.walkRight();
    const auto walked = [&](int32_t y) { return (int64_t(y) - top) % step == 0; };
    BitsBuffer out = produceRows(
        f, order, top, f.walkBottom(),
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            if (!walked(y)) return;
            clippedRuns(f.BitsRegion(), y, left, right,
                        [&](int32_t x0, int32_t x1) { fn(y, x0, x1, s + 4 * x0, d + 4 * x0); });
        },
        [&](int32_t y) {
            if (walked(y)) f.progressAfterRow(y);
        });
    f.raiseProgress(100);
    return out;
}

// ---- Tiles and cells --------------------------------------------------------

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

// Tiles of width tileW and height tileH laid through the walk box (margin 0):
// fn(y, ty, x0, x1, s, d) for each selected run of each row, ty the row's
// offset inside its tile. Progress after the last row of each row of tiles,
// with the tile row's top; then 100. The columns' tiles come from
// columns(), a TileSteps the member reads offsets from.
template <class SpanFn>
BitsBuffer tileRows(cBitFilter& f, int32_t tileW, int32_t tileH, SpanFn&& fn)
{
    f.SetRegionBounds(0);
    const int32_t top = f.walkTop(), bottom = f.walkBottom(), left = f.walkLeft(), right = f.walkRight();
    const TileSteps cols = TileSteps::over(left, right, tileW);
    const TileSteps rows = TileSteps::over(top, bottom, tileH);
    const bool any = cols.count > 0 && rows.count > 0;
    // The last row a tile row writes: the next one's corner less one, or the
    // box's bottom for the last.
    const auto lastRowOf = [&](int32_t l) {
        const int64_t end = l == rows.count - 1 ? int64_t(rows.corner(l)) + rows.step : int64_t(rows.corner(l)) + rows.step - 1;
        return static_cast<int32_t>(std::min<int64_t>(end, bottom));
    };
    BitsBuffer out = produceRows(
        f, Rows::Independent, top, any ? bottom : top - 1,
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            const int32_t ty = y - rows.corner(rows.tileIndex(y - top));
            clippedRuns(f.BitsRegion(), y, left, right,
                        [&](int32_t x0, int32_t x1) { fn(y, ty, x0, x1, s + 4 * x0, d + 4 * x0); });
        },
        [&](int32_t y) {
            const int32_t l = rows.tileIndex(y - top);
            if (y == lastRowOf(l)) f.progressAfterRow(rows.corner(l));
        });
    f.raiseProgress(100);
    return out;
}

// Square cells of side `side` stepping `step` apart through the walk box as
// tiles do (none starts on the box's last column or row), visited in order,
// row of cells by row of cells: fn(x0, y0) for each cell's corner; it may
// fail. Progress after each row of cells with its top; then 100 unless a
// cell failed.
template <class CellFn>
bool cells(cBitFilter& f, int32_t step, CellFn&& fn)
{
    f.SetRegionBounds(0);
    const TileSteps cols = TileSteps::over(f.walkLeft(), f.walkRight(), step);
    const TileSteps rows = TileSteps::over(f.walkTop(), f.walkBottom(), step);
    for (int32_t row = 0; row < rows.count; ++row) {
        const int32_t y0 = rows.corner(row);
        for (int32_t col = 0; col < cols.count; ++col)
            if (!walkdetail::succeeds(fn, cols.corner(col), y0)) return false;
        f.progressAfterRow(y0);
    }
    f.raiseProgress(100);
    return true;
}

// fn(x, y) for the selected pixels of the square side x side at (x0, y0)
// that lie in the picture, row by row; fn may fail.
template <class PixelFn>
bool cellPixels(const cBitFilter& f, int32_t x0, int32_t y0, int32_t side, PixelFn&& fn)
{
    for (int32_t y = y0; y < y0 + side; ++y) {
        const bool ok = pictureRuns(f, y, x0, x0 + side - 1, [&](int32_t a, int32_t b) {
            for (int32_t x = a; x <= b; ++x)
                if (!walkdetail::succeeds(fn, x, y)) return false;
            return true;
        });
        if (!ok) return false;
    }
    return true;
}

// ---- Mapped pixels ----------------------------------------------------------

// Every pixel of the walk box (margin 0) is a destination taking one source
// pixel: rowMap(y, x0, x1, sx, sy) fills sx[i], sy[i] with the source point of
// destination (x0 + i, y). A selected source gives its bytes 0..2; any other
// leaves the destination black with cleanBack, else as it was. Progress per
// row, then 100.
template <class RowMap>
BitsBuffer mappedRows(cBitFilter& f, bool cleanBack, RowMap&& rowMap);

// The same with the source point given pixel by pixel: map(x, y, sx, sy).
template <class Map>
BitsBuffer mappedPixels(cBitFilter& f, bool cleanBack, Map&& map)
{
    return mappedRows(f, cleanBack, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
        for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) map(x, y, *sx, *sy);
    });
}

// ---- Discs ------------------------------------------------------------------

// The centre and radius of a disc placed relative to the picture (LENS,
// Light): the centre at xRel, yRel of the last column and row, the radius
// dRel of the larger of the two.
struct DiscSpot {
    int64_t cx, cy, R;
};
inline DiscSpot discSpot(const cBitFilter& f, float xRel, float yRel, float dRel)
{
    const int32_t MaxX = f.BitsWidth() - 1, MaxY = f.BitsHeight() - 1;
    return {rnd(static_cast<double>(xRel) * MaxX), rnd(static_cast<double>(yRel) * MaxY),
            rnd(static_cast<double>(dRel) * (MaxX > MaxY ? MaxX : MaxY))};
}

// The rows of a disc of radius R about (cx, cy), by runs: fn(y, Y, x0, x1, s,
// d) for each run of selected picture pixels of row y = cy + Y whose X = x -
// cx has X * X + Y * Y < inside (the squared radius the member tests
// against). After every row Y from -R to R, in the picture or not, the
// progress rule with (Y + R) * 100 \ (2R), and Progress(100) at the end. A
// radius far beyond any picture (more than a million rows) skips the clock
// readings of the rows off the picture, which change nothing: walking them
// would stall the program.
template <class SpanFn>
auto discSpans(cBitFilter& f, const DiscSpot& disc, int64_t inside, SpanFn&& fn)
{
    constexpr bool canFail =
        walkdetail::returnsBool<SpanFn, int32_t, int64_t, int32_t, int32_t, const uint8_t*, uint8_t*>;
    const auto [cx, cy, R] = disc;
    constexpr int64_t kMaxDiscRadius = int64_t(1) << 20;
    const int64_t lastRow = f.BitsHeight() - 1, lastCol = f.BitsWidth() - 1;
    int64_t from = -R, to = R;
    if (R > kMaxDiscRadius) {
        from = std::max(from, -cy);
        to = std::min(to, lastRow - cy);
    }
    const auto tick = [&](int64_t Y) { f.progressAfterStep(Y + R, 2 * R); };
    // Picture rows the disc's walk crosses; the rows before and after them
    // only pace the progress.
    const int64_t yA = std::max<int64_t>(cy + from, 0), yB = std::min<int64_t>(cy + to, lastRow);
    const bool crosses = f.Bits().allocated() && yA <= yB;
    for (int64_t Y = from; Y <= (crosses ? yA - cy - 1 : to); ++Y) tick(Y);
    auto out = produceRowsAs<canFail>(
        f, Rows::Independent, static_cast<int32_t>(crosses ? yA : 0), static_cast<int32_t>(crosses ? yB : -1),
        [&](int32_t y, const uint8_t* s, uint8_t* d) {
            const int64_t Y = y - cy;
            const int64_t room = inside - Y * Y;   // X * X must stay below it
            if (room <= 0) return true;
            // The largest X with X * X < room.
            int64_t h = static_cast<int64_t>(std::sqrt(static_cast<double>(room - 1)));
            while (h * h > room - 1) --h;
            while ((h + 1) * (h + 1) <= room - 1) ++h;
            const int64_t lo = std::max<int64_t>(cx - h, 0), hi = std::min<int64_t>(cx + h, lastCol);
            if (lo > hi) return true;
            return pictureRuns(f, y, static_cast<int32_t>(lo), static_cast<int32_t>(hi), [&](int32_t x0, int32_t x1) {
                return walkdetail::succeeds(fn, y, Y, x0, x1, s + 4 * x0, d + 4 * x0);
            });
        },
        [&](int32_t y) { tick(y - cy); });
    if constexpr (canFail) {
        if (!out) return out;
    }
    if (crosses)
        for (int64_t Y = yB - cy + 1; Y <= to; ++Y) tick(Y);
    f.raiseProgress(100);
    return out;
}

// ---- Values gathered over rows ----------------------------------------------

// part(y, value) adds row y to value for the rows first..last, ticking after
// each; merge(value, other) joins the values of two runs of rows. The rows'
// contributions must not depend on their order (whole-number sums, counts,
// extremes), and the starting value must change nothing when merged (0 for
// a sum, the start of an extreme): each band starts from it.
template <class Value, class RowPart, class Merge, class Tick>
Value reduceRows(cBitFilter& f, int32_t first, int32_t last, Value value, RowPart&& part, Merge&& merge, Tick&& tick)
{
    if (first > last) return value;
    // Each band gathers into a value of its own; the values are joined in
    // the order of the bands.
    const int32_t rows = walkdetail::bandRows(f.threadCount(), last - first + 1, f.BitsWidth());
    const int32_t bands = rows == 0 ? 1 : (last - first + rows) / rows;
    std::vector<Value> parts(static_cast<size_t>(bands), value);
    forBands(
        f, Rows::Independent, first, last, f.BitsWidth(),
        [&](int32_t y0, int32_t y1) {
            Value& v = rows == 0 ? value : parts[static_cast<size_t>((y0 - first) / rows)];
            for (int32_t y = y0; y <= y1; ++y) part(y, v);
            return walkdetail::kNoFailure;
        },
        tick);
    if (rows != 0)
        for (const Value& p : parts) merge(value, p);
    return value;
}

// ---- Definitions ------------------------------------------------------------

template <class RowMap>
BitsBuffer mappedRows(cBitFilter& f, bool cleanBack, RowMap&& rowMap)
{
    const BitsBuffer& src = f.Bits();
    const SelectionTest selected(f);
    BitsBuffer out = boxRows(f, 0, Rows::Independent,
                             [&](int32_t y, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
                                 const int32_t n = x1 - x0 + 1;
                                 thread_local std::vector<int32_t> sxy;
                                 if (sxy.size() < 2 * static_cast<size_t>(n)) sxy.resize(2 * static_cast<size_t>(n));
                                 int32_t* sx = sxy.data();
                                 int32_t* sy = sx + n;
                                 rowMap(y, x0, x1, sx, sy);
                                 for (int32_t i = 0; i < n; ++i, d += 4) {
                                     if (selected(sx[i], sy[i])) {
                                         const uint32_t p = loadPixel(src.pixel(sx[i], sy[i]));
                                         storePixel(d, (p & kColourBytes) | (loadPixel(d) & kMarkerByte));
                                     } else if (cleanBack) {
                                         storePixel(d, loadPixel(d) & kMarkerByte);
                                     }
                                 }
                             });
    f.raiseProgress(100);
    return out;
}

template <class RowFn>
bool cBitFilter::walkSelection(int32_t margin, RowFn&& fn)
{
    SetRegionBounds(margin);
    const int32_t left = wLeft_, right = wRight_;
    const bool ok = forRows(
        *this, Rows::InOrder, wTop_, wBottom_,
        [&](int32_t y) { return clippedRuns(BitsRegion_, y, left, right, [&](int32_t x0, int32_t x1) {
                             return walkdetail::succeeds(fn, y, x0, x1);
                         }); },
        [&](int32_t y) { progressAfterRow(y); });
    if (!ok) return false;
    raiseProgress(100);
    return true;
}

template <class RowFn>
void cBitFilter::walkWhole(RowFn&& fn)
{
    if (Bits_.allocated())
        forRows(*this, Rows::InOrder, 0, MaxY, fn, [&](int32_t y) { progressAfterRow(y); });
    raiseProgress(100);
}

} // namespace tq
