// The frame every library function runs in, and the pixel views its kernels
// work on.
//
// Layout: a picture is w x h pixels of four bytes, blue, green, red and a
// fourth byte, rows top-down without padding: pixel (x, y) is the 32-bit
// word y * w + x, read on this little-endian machine as
//     blue | green << 8 | red << 16 | fourth << 24.
// Every result leaves 0 in the fourth byte.
#pragma once

#include "effects/library/Parallel.h"
#include "filters/PointRows.h"
#include "effectslib/EffectsLibraryApi.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace tq::effects {

inline constexpr uint32_t kColourMask = 0x00FFFFFFu;

struct ConstPixels {
    int32_t w = 0, h = 0;
    const uint32_t* data = nullptr;
    const uint32_t* row(int32_t y) const { return data + static_cast<size_t>(y) * static_cast<size_t>(w); }
    size_t count() const { return static_cast<size_t>(w) * static_cast<size_t>(h); }
};

struct Pixels {
    int32_t w = 0, h = 0;
    uint32_t* data = nullptr;
    uint32_t* row(int32_t y) const { return data + static_cast<size_t>(y) * static_cast<size_t>(w); }
    size_t count() const { return static_cast<size_t>(w) * static_cast<size_t>(h); }
    operator ConstPixels() const { return ConstPixels{w, h, data}; }
};

// A working picture of the kernels' own. A new one is not cleared: every
// kernel writes each pixel of its output.
class Picture {
public:
    Picture() = default;
    Picture(int32_t w, int32_t h)
        : w_(w)
        , h_(h)
        , words_(new uint32_t[static_cast<size_t>(w) * static_cast<size_t>(h)])
    {
    }
    explicit Picture(ConstPixels p)
        : Picture(p.w, p.h)
    {
        if (p.count()) std::memcpy(words_.get(), p.data, 4 * p.count());
    }

    Pixels view() { return Pixels{w_, h_, words_.get()}; }
    ConstPixels view() const { return ConstPixels{w_, h_, words_.get()}; }
    operator ConstPixels() const { return view(); }

private:
    int32_t w_ = 0, h_ = 0;
    std::unique_ptr<uint32_t[]> words_;
};

inline uint32_t packBgr(uint32_t b, uint32_t g, uint32_t r) { return b | (g << 8) | (r << 16); }
// A colour value 0x00BBGGRR (red low) as a pixel word.
inline uint32_t pixelOfColor(int32_t c)
{
    return packBgr((static_cast<uint32_t>(c) >> 16) & 0xFF, (static_cast<uint32_t>(c) >> 8) & 0xFF,
                   static_cast<uint32_t>(c) & 0xFF);
}
// The pixel's luminance, 0.299 red + 0.587 green + 0.114 blue, in 8.8 fixed
// point weights (77, 150, 29).
inline int32_t lumaOf(uint32_t p)
{
    return static_cast<int32_t>(((p & 0xFF) * 29 + ((p >> 8) & 0xFF) * 150 + ((p >> 16) & 0xFF) * 77 + 128) >> 8);
}
inline uint8_t clamp255(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// The source's pixels, fourth byte cleared.
inline void copyPixels(ConstPixels s, Pixels d)
{
    forRows(s.h, 2 * int64_t(s.w), [&](int32_t y) {
        const uint32_t* in = s.row(y);
        uint32_t* out = d.row(y);
        for (int32_t x = 0; x < s.w; ++x) out[x] = in[x] & kColourMask;
    });
}

// Whether the destination starts from its own content (the tile effect
// draws over a prepared background) or from nothing.
enum class Start { Blank, KeepDestination };

inline bool validSurface(const EffectSurface& s)
{
    return s.width >= 0 && s.height >= 0 && s.width <= kMaxPictureSide && s.height <= kMaxPictureSide &&
        s.bits.size() == 4u * static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
}

// The frame of a library function: checks the source, lets the kernel draw
// into a picture of the source's size and hands that to the destination
// only when the kernel succeeded, so a failed call (a kernel returning
// false, too little memory) leaves the destination as it was. The source
// may be the destination itself.
template <class Kernel> bool runEffect(EffectSurface& dst, const EffectSurface& src, Start start, Kernel&& kernel)
{
    if (!validSurface(src)) return false;
    try {
        const int32_t w = src.width, h = src.height;
        const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
        std::vector<uint8_t> out;
        if (start == Start::KeepDestination && validSurface(dst) && dst.width == w && dst.height == h)
            out = dst.bits;
        else
            out.assign(4 * n, 0);
        if (n > 0) {
            // The byte vectors hold whole 32-bit words: their storage comes
            // from operator new, aligned for any word.
            const ConstPixels s{w, h, reinterpret_cast<const uint32_t*>(src.bits.data())};
            const Pixels d{w, h, reinterpret_cast<uint32_t*>(out.data())};
            if constexpr (std::is_same_v<std::invoke_result_t<Kernel&, ConstPixels, Pixels>, bool>) {
                if (!kernel(s, d)) return false;
            } else {
                kernel(s, d);
            }
        }
        dst.header = BitsHeader::forDib(w, h);
        dst.width = w;
        dst.height = h;
        dst.bits = std::move(out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

template <class Kernel> bool runEffect(EffectSurface& dst, const EffectSurface& src, Kernel&& kernel)
{
    return runEffect(dst, src, Start::Blank, std::forward<Kernel>(kernel));
}

inline ConstPixels pixelsOf(const EffectSurface& s)
{
    return ConstPixels{s.width, s.height, reinterpret_cast<const uint32_t*>(s.bits.data())};
}

// The frame of an effect whose kernel(s, d) writes every pixel of the
// result from the source alone, fourth bytes 0, and cannot fail once it
// has started. A destination that already has the source's size is
// written in place (unless it is the source itself), without a new buffer
// to clear first.
template <class Kernel> bool runWholeResult(EffectSurface& dst, const EffectSurface& src, Kernel&& kernel)
{
    if (!validSurface(src)) return false;
    const int32_t w = src.width, h = src.height;
    const bool inPlace = &dst != &src && validSurface(dst) && dst.width == w && dst.height == h;
    try {
        std::vector<uint8_t> fresh;
        if (!inPlace) fresh.assign(4 * static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        kernel(pixelsOf(src), Pixels{w, h, reinterpret_cast<uint32_t*>(inPlace ? dst.bits.data() : fresh.data())});
        dst.header = BitsHeader::forDib(w, h);
        dst.width = w;
        dst.height = h;
        if (!inPlace) dst.bits = std::move(fresh);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

// The frame of a point effect, whose every result pixel comes from the same
// pixel of the source alone: row(s, d, n) makes the n result pixels at d
// from the n source pixels at s, their fourth bytes 0. The rows are shared
// among threads, in place where runWholeResult allows. As in the engine's
// walks, a large result shared among threads is made in the cache and
// streamed out past it, a piece of a row at a time: a whole row made and
// then streamed leaves the memory idle while it is made and the arithmetic
// idle while it is streamed, so on many cores it took about 40% longer
// than plain stores; pieces this short let the two overlap.
inline constexpr int32_t kStreamedPiecePixels = 1024;
template <class Row> bool runRows(EffectSurface& dst, const EffectSurface& src, Row&& row)
{
    return runWholeResult(dst, src, [&](ConstPixels s, Pixels d) {
        const int32_t w = s.w, h = s.h;
        const size_t rowBytes = 4 * static_cast<size_t>(w);
        const bool stream = walkdetail::bandRows(threadCount(), h, w) != 0 &&
                            rowBytes * static_cast<size_t>(h) >= walkdetail::streamedResultBytes();
        forBands(h, 8 * int64_t(w), [&](int32_t y0, int32_t y1) {
            for (int32_t y = y0; y < y1; ++y) {
                if (!stream) {
                    row(s.row(y), d.row(y), w);
                    continue;
                }
                uint32_t* piece = reinterpret_cast<uint32_t*>(walkdetail::scratchRow(4 * kStreamedPiecePixels));
                for (int32_t x = 0; x < w; x += kStreamedPiecePixels) {
                    const int32_t n = std::min(kStreamedPiecePixels, w - x);
                    row(s.row(y) + x, piece, n);
                    walkdetail::streamBytes(reinterpret_cast<uint8_t*>(d.row(y) + x),
                                            reinterpret_cast<const uint8_t*>(piece), 4 * static_cast<size_t>(n));
                }
            }
            if (stream) walkdetail::streamFence();
        });
    });
}

// Rows through a table per channel: blue, green and red.
inline auto tableRows(const ByteTable& tb, const ByteTable& tg, const ByteTable& tr)
{
    return [&tb, &tg, &tr](const uint32_t* s, uint32_t* d, int32_t n) {
        walkdetail::tableRow(reinterpret_cast<const uint8_t*>(s), reinterpret_cast<uint8_t*>(d), n, tb, tg, tr, 0);
    };
}
inline auto tableRows(const ByteTable& t) { return tableRows(t, t, t); }

// Rows through a word function: fn(p) gives pixel p's new colour in the low
// three bytes, by plain arithmetic the compiler works on wide vectors.
template <class WordFn> auto wordRows(WordFn fn)
{
    return [fn](const uint32_t* s, uint32_t* d, int32_t n) mutable {
        walkdetail::wordRow(reinterpret_cast<const uint8_t*>(s), reinterpret_cast<uint8_t*>(d), n, fn, 0);
    };
}

// The size all relative measures of the distortions are taken from: the
// shorter side, so the thumbnail of the effect dialog shows the same shape
// as the whole picture.
inline double shortSide(ConstPixels p) { return p.w < p.h ? p.w : p.h; }

} // namespace tq::effects
