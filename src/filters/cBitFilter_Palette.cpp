// Error-diffusion filters: mapping the selection to the program's palette,
// and a black-and-white dither with the Stucki weights.
#include "filters/PaletteMatch.h"
#include "filters/Palette.h"
#include "filters/PixelWalks.h"

#include <cstdlib>
#include <vector>

namespace tq {

namespace {

// The nearest palette colour of a pixel depends on its colour alone, so a
// small direct-mapped memo spares most of the searches on real pictures.
class NearestMemo {
public:
    explicit NearestMemo(const PaletteRecord& palette) : palette_(palette), keys_(kSlots, 0), values_(kSlots) {}
    void lookup(int32_t r, int32_t g, int32_t b, int32_t& ro, int32_t& go, int32_t& bo)
    {
        const uint32_t colour = static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
        const uint32_t slot = (colour * 2654435761u) >> (32 - kBits);
        if (keys_[slot] != colour + 1) {
            Module6::NearestPaletteColor(palette_, r, g, b, ro, go, bo);
            keys_[slot] = colour + 1;
            values_[slot] = {ro, go, bo};
            return;
        }
        ro = values_[slot].red;
        go = values_[slot].green;
        bo = values_[slot].blue;
    }

private:
    static constexpr uint32_t kBits = 16;
    static constexpr uint32_t kSlots = 1u << kBits;
    const PaletteRecord& palette_;
    std::vector<uint32_t> keys_;
    std::vector<PaletteEntry> values_;
};

// Adds e to a byte, limited to 0..255.
inline void addClamped(uint8_t& v, int32_t e) { v = clampByte(v + e); }

} // namespace

FilterResult cBitFilter::PaletteApply()
{
    const PaletteRecord& palette = CurrentPalette();
    int32_t r0, g0, b0;
    if (!Module6::NearestPaletteColor(palette, 0, 0, 0, r0, g0, b0)) return std::nullopt;

    // The error is diffused into a working copy of Bits, which replaces Bits
    // only once the whole walk has finished.
    BitsBuffer work = Bits_;
    NearestMemo memo(palette);
    const ptrdiff_t stride = work.stride();
    BitsBuffer out = selectedSpans(*this, 0, Rows::InOrder, [&](int32_t y, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
        uint8_t* w = work.pixel(x0, y);
        for (int32_t x = x0; x <= x1; ++x, w += 4, d += 4) {
            const int32_t B = w[0], G = w[1], R = w[2];
            int32_t r, g, b;
            memo.lookup(R, G, B, r, g, b);
            d[0] = static_cast<uint8_t>(b);
            d[1] = static_cast<uint8_t>(g);
            d[2] = static_cast<uint8_t>(r);
            const int32_t eB = B - b, eG = G - g, eR = R - r;
            if (std::abs(eB) + std::abs(eG) + std::abs(eR) <= 3) continue;
            if (x < MaxX) {
                addClamped(w[4], eB * 7 / 16);
                addClamped(w[5], eG * 7 / 16);
                addClamped(w[6], eR * 7 / 16);
            }
            if (y < MaxY && x != 0 && x != MaxX) {
                addClamped(w[stride], eB * 4 / 16);
                addClamped(w[stride + 1], eG * 4 / 16);
                addClamped(w[stride + 2], eR * 4 / 16);
            }
        }
    });
    Bits_ = std::move(work);
    return out;
}

BitsBuffer cBitFilter::StuckiBW(int32_t PalWeight)
{
    // Each weight's share of an error.
    int32_t share[13][511];
    for (int32_t w : {1, 2, 4, 8})
        for (int32_t e = -255; e <= 255; ++e) share[w][e + 255] = e * w / 42;

    // Pass 1: the mean grey of the whole picture.
    const int64_t total = reduceRows(
        *this, 0, Bits_.allocated() ? MaxY : -1, int64_t(0),
        [&](int32_t y, int64_t& sum) {
            const uint8_t* s = Bits_.row(y);
            for (int32_t x = 0; x <= MaxX; ++x, s += 4) sum += grey3(s);
        },
        [](int64_t& sum, int64_t other) { sum += other; }, [this](int32_t y) { progressAfterRow(y); });
    raiseProgress(100);
    const int64_t pixels = static_cast<int64_t>(MaxX + 1) * (MaxY + 1);
    int32_t mean = 0;
    if (Bits_.allocated() && pixels > 0) mean = static_cast<int32_t>(total / pixels);

    // Pass 2: the error store holds the current row, the next and the one
    // after; it moves up one row after every row of the walk.
    const size_t cols = static_cast<size_t>(MaxX + 1);
    std::vector<int32_t> store[3] = {std::vector<int32_t>(cols, 0), std::vector<int32_t>(cols, 0),
                                     std::vector<int32_t>(cols, 0)};
    SetRegionBounds(0);
    int32_t row = walkTop();
    const auto moveUp = [&] {
        std::swap(store[0], store[1]);
        std::swap(store[1], store[2]);
        std::fill(store[2].begin(), store[2].end(), 0);
    };
    return selectedSpans(*this, 0, Rows::InOrder, [&](int32_t y, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        for (; row < y; ++row) moveUp();
        int32_t* cur = store[0].data();
        int32_t* next = store[1].data();
        int32_t* after = store[2].data();
        for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) {
            int32_t g = grey3(s);
            // With PalWeight 0 the feedback's division fails and is skipped:
            // the pixel is thresholded at the mean without error.
            if (PalWeight != 0) g += static_cast<int32_t>(static_cast<int64_t>(cur[x]) * 10 / PalWeight);
            g = clampByte(g);
            const int32_t o = g < mean ? 0 : 255;
            d[0] = d[1] = d[2] = static_cast<uint8_t>(o);
            const int32_t* sh1 = share[1] + (g - o) + 255;
            const int32_t* sh2 = share[2] + (g - o) + 255;
            const int32_t* sh4 = share[4] + (g - o) + 255;
            const int32_t* sh8 = share[8] + (g - o) + 255;
            if (x < MaxX - 1) cur[x + 1] += *sh8;
            if (x < MaxX - 2) cur[x + 2] += *sh4;
            if (y < MaxY - 1) {
                if (x > 1) next[x - 2] += *sh2;
                if (x > 0) next[x - 1] += *sh4;
                next[x] += *sh8;
                if (x < MaxX - 1) next[x + 1] += *sh4;
                if (x < MaxX - 2) next[x + 2] += *sh2;
            }
            if (y < MaxY - 2) {
                if (x > 1) after[x - 2] += *sh1;
                if (x > 0) after[x - 1] += *sh2;
                after[x] += *sh4;
                if (x < MaxX - 1) after[x + 1] += *sh2;
                if (x < MaxX - 2) after[x + 2] += *sh1;
            }
        }
    });
}

} // namespace tq
