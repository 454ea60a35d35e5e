// Colour reduction and palette-picture output: reduces a picture to a
// palette of at most 2^bits colours and writes it as a GIF or an interlaced
// GIF. Every method returns a status, non-zero for success.
//
// Two ways to use it, as the optimising save does:
//   - one call, ReduceToFile(source, path, kind, mode, bits, palette, dither,
//     -1, -1, -1, -1);
//   - or the chain SetConversion, SetSource, Convert, then the writer of the
//     output kind (SaveGif, SaveGifInterlaced).
//
// What it does today: colour mode kColour, 1 to 8 bits, the optimal palette
// (kPaletteOptimal) without dither, on the whole picture (the four -1s). An
// optimal palette is exact when the picture has no more colours than the
// palette holds; otherwise FreeImage's Wu quantiser picks the colours. Any
// other choice (fixed palettes, the dither modes, greyscale, BMP output,
// transforms) is refused with status 0 and writes nothing: those are the
// places where the component grows.
//
// A file is written through a temporary file in the same folder and only
// replaces the target when it is complete.
#pragma once

#include "platform/BitsBuffer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tq {

class ColorReducer {
public:
    // ReduceOutputKind
    static constexpr int32_t kOutputBmp = 0;
    static constexpr int32_t kOutputGif = 1;
    static constexpr int32_t kOutputGifInterlaced = 2;
    // ReduceColorMode
    static constexpr int32_t kColour = 0;
    static constexpr int32_t kGreyscale = 2;
    // ReducePaletteFlags / ReduceDitherFlags
    static constexpr int32_t kPaletteOptimal = 0x4000;
    static constexpr int32_t kDitherNone = 0;

    int32_t ReduceToFile(const DibRecord& source, const std::string& path, int32_t outputKind, int32_t colorMode,
                         int32_t bitsPerPixel, int32_t paletteFlags, int32_t ditherFlags, int32_t left = -1,
                         int32_t top = -1, int32_t width = -1, int32_t height = -1);

    int32_t SetConversion(int32_t outputKind, int32_t colorMode, int32_t bitsPerPixel, int32_t paletteFlags,
                          int32_t ditherFlags);
    // Keeps a copy of the picture (a bitmap: 32 bits, rows top-down).
    int32_t SetSource(const DibRecord& source, int32_t left = -1, int32_t top = -1, int32_t width = -1,
                      int32_t height = -1);
    // Reduces the source with the conversion set.
    int32_t Convert();
    int32_t SaveGif(const std::string& path);
    int32_t SaveGifInterlaced(const std::string& path);

    // The result of Convert: one palette index per pixel, rows top-down, and
    // the palette (blue, green, red per entry).
    struct Rgb {
        uint8_t blue = 0, green = 0, red = 0;
    };
    const std::vector<uint8_t>& indices() const { return indices_; }
    const std::vector<Rgb>& palette() const { return palette_; }

private:
    int32_t saveGif(const std::string& path, bool interlaced);

    int32_t outputKind_ = kOutputGif;
    int32_t colorMode_ = kColour;
    int32_t bits_ = 8;
    int32_t paletteFlags_ = kPaletteOptimal;
    int32_t ditherFlags_ = kDitherNone;
    bool conversionSet_ = false;

    DibRecord source_;
    bool hasSource_ = false;

    bool converted_ = false;
    int32_t width_ = 0, height_ = 0;
    std::vector<uint8_t> indices_;
    std::vector<Rgb> palette_;
};

} // namespace tq
