// Small documents for the painting-routine tests: a picture, its selection
// and the painter made on both.
#pragma once

#include "NoisePicture.h"
#include "document/Numeric.h"
#include "document/cBitRegion.h"
#include "core/BitsBuffer.h"
#include "tools/DocumentPaint.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace tq::test {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& p)
{
    return os << "(R" << p.r << ", G" << p.g << ", B" << p.b << ")";
}

inline Rgb grey(int v) { return Rgb{v, v, v}; }
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

inline void setPixel(BitsBuffer& b, int x, int y, Rgb c)
{
    b.at(0, x, y) = static_cast<uint8_t>(c.b);
    b.at(1, x, y) = static_cast<uint8_t>(c.g);
    b.at(2, x, y) = static_cast<uint8_t>(c.r);
}

inline Rgb pixelOf(const BitsBuffer& b, int x, int y) { return Rgb{b.at(2, x, y), b.at(1, x, y), b.at(0, x, y)}; }

inline int32_t colorOf(Rgb c) { return rgbColor(c.r, c.g, c.b); }

// A w x h picture of one colour; the margin stays 0.
inline BitsBuffer flatPicture(int w, int h, Rgb c)
{
    BitsBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(b, x, y, c);
    return b;
}

// Every byte (margin and marker bytes included) from a fixed generator.
inline BitsBuffer noisePicture(int w, int h) { return noisePicture(w, h, 7); }

// A margin-less w x h picture as the stamp arrives: 4 bytes a pixel.
struct Stamp {
    int w = 0;
    int h = 0;
    std::vector<uint8_t> bytes;

    Stamp(int w_, int h_, Rgb c, uint8_t marker = 0) : w(w_), h(h_), bytes(4u * w_ * h_)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) set(x, y, c, marker);
    }
    void set(int x, int y, Rgb c, uint8_t marker = 0)
    {
        uint8_t* p = &bytes[4u * (y * w + x)];
        p[0] = static_cast<uint8_t>(c.b);
        p[1] = static_cast<uint8_t>(c.g);
        p[2] = static_cast<uint8_t>(c.r);
        p[3] = marker;
    }
    Rgb at(int x, int y) const
    {
        const uint8_t* p = &bytes[4u * (y * w + x)];
        return Rgb{p[2], p[1], p[0]};
    }
    PaintSource source() const { return PaintSource::fromPixels(bytes, w, h); }
};

// A document: its picture, its selection (nothing selected: the whole
// picture paints) and the painter on both, with a fresh stroke map.
struct Doc {
    BitsBuffer bits;
    cBitRegion selection;
    DocumentPaint paint;

    explicit Doc(BitsBuffer b) : bits(std::move(b)), paint(bits, selection)
    {
        selection.Init(0, 0, bits.width(), bits.height());
        paint.CreateDoneBitsTable();
    }
    Doc(int w, int h, Rgb c) : Doc(flatPicture(w, h, c)) {}

    Rgb at(int x, int y) const { return pixelOf(bits, x, y); }
    // Number of picture pixels that differ from the same pixel of before.
    int changedCount(const BitsBuffer& before) const
    {
        int n = 0;
        for (int y = 0; y < bits.height(); ++y)
            for (int x = 0; x < bits.width(); ++x)
                if (pixelOf(bits, x, y) != pixelOf(before, x, y)) ++n;
        return n;
    }
};

} // namespace tq::test
