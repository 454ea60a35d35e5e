// Colour reduction and palette-picture output: reduces a picture to a
// palette of at most 2^bits colours (1 to 8 bits), to 16-bit 555 colour or
// keeps it at 24 bits, with a chosen palette and dither, optionally flipped
// and colour-inverted, and writes it as a BMP, a GIF or an interlaced GIF.
// Every method returns a status, non-zero for success; a refused argument
// gives 0 and changes nothing on disk.
//
// Two ways to use it, as the optimising save does:
//   - one call, ReduceToFile(source, path, kind, mode, bits, palette, dither,
//     -1, -1, -1, -1), which writes the output kind's file;
//   - or the chain SetConversion, SetSource, SetTransform, Convert, then a
//     writer (SaveBmp, SaveGif, SaveGifInterlaced).
// The four -1s (the whole picture) and the two zeros after the transform
// flags are the only values accepted there.
//
// Output kinds: 0 BMP, 1 GIF, 2 interlaced GIF. GIFs take 1 to 8 bits; BMPs
// are written at 1, 4 or 8 bits with a palette (2 and 3 bits go into a
// 4-bit file, 5 to 7 into an 8-bit one, the palette holding 2^bits
// entries), at 16 bits (5 bits per channel, 555) or at 24 bits.
//
// Colour modes: 0 colour, 2 greyscale (each pixel becomes its grey,
// (299 red + 587 green + 114 blue + 500) / 1000, before the reduction).
//
// Palette flags (ignored at 16 and 24 bits, which keep direct colour):
//   &H1000 "MS Map": the desktop's default palette, as much of it as the
//          depth holds: black and white at 1 bit; black, white, grey and
//          silver at 2; the eight corners of the colour cube at 3; the 16
//          standard colours at 4; the 20 static colours from 5 bits up.
//   &H4000 "Optimal": the picture's own colours when they fit, else a
//          palette fitted to the picture by Wu's quantiser (on a sample of
//          at most 2^20 pixels); for 256 colours on a picture of at most
//          2^18 pixels NeuQuant runs too and the closer palette is kept.
//   &H8000 Or n, a fixed palette of n entries (n in the low nine bits; 0
//          stands for 2^bits) of a kind chosen by the bits &H200, &H400 and
//          &H800:
//          none:  "Fixed Color", a uniform palette of n = 2^k colours:
//                 black and white; black, cyan, magenta and white; then
//                 levels of red x green x blue 2x2x2, 2x4x2, 4x4x2, 4x4x4,
//                 4x8x4, 8x8x4, spread evenly over 0..255.
//          &H200: the display's own palettes, "VGA" (n = 16, the VGA
//                 text colours) and "MS 256" (n = 256, the halftone
//                 palette: the 20 static colours, the 6x6x6 cube and 20
//                 greys between the cube's).
//          &H400: "216 InternetSafe" (n = 216), the 6x6x6 cube of 0, 51,
//                 102, 153, 204, 255.
//          &H800: "Fixed Grey", n evenly spaced greys (&HFF: as many as
//                 the depth holds).
//          A palette of more entries than 2^bits is refused.
//
// Dither flags (one mode at a time). At 24 bits nothing is reduced, so
// every mode leaves the colours as they are; at 16 bits the modes work on
// the 32 levels of each channel.
//      0 "None": each pixel takes the nearest colour.
//      1 "Binary": binary threshold: each channel becomes 0 below 128 and
//        255 from 128 up, then the nearest colour of the output is taken.
//      2 "Ordered": ordered dither with the 8 x 8 Bayer matrix: a pixel
//        between its nearest colour and the next one beyond it takes the
//        second when its share of the way passes the matrix threshold.
//      4 "Haftone": the same with an 8 x 8 clustered-dot (halftone screen)
//        matrix, so the mixed pixels gather into growing dots.
//      8 "Forward Diagonal": Floyd-Steinberg error diffusion (7/16 ahead,
//        3/16 behind below, 5/16 below, 1/16 ahead below), every row
//        scanned left to right.
//     16 "Backward Diagonal": the mirrored kernel, every row scanned right
//        to left.
//     32 "Horizontal": error diffusion whose error flows mainly along the
//        rows: 3/4 to the next pixel of the row, 1/4 to the pixel below.
//     64 "Vertical": error diffusion whose error flows mainly down the
//        columns: 3/4 to the pixel below, 1/4 to the next pixel of the row.
//    256 "Odd": serpentine Floyd-Steinberg, the odd rows (1, 3, ...)
//        scanned right to left.
//    512 "Even": serpentine Floyd-Steinberg, the even rows (0, 2, ...)
//        scanned right to left.
//   1024 "Equal": error diffusion over the Floyd-Steinberg neighbours with
//        equal shares (1/4 each).
//   Diffused error is kept whole: a share that would leave the picture goes
//   to the pixel's neighbours inside it, so only the last pixel's error and
//   what lies more than 64 levels beyond 0..255 are lost.
//
// Transform flags, Or-ed: &H1010000 flip vertical, &H1020000 flip
// horizontal, &H3100000 invert the colours. The picture is inverted before
// it is turned grey.
//
// A file is written through a temporary file in the same folder and only
// replaces the target when every write and the close succeeded.
#pragma once

#include "core/BitsBuffer.h"

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
    // ReducePaletteFlags
    static constexpr int32_t kPaletteMsMap = 0x1000;
    static constexpr int32_t kPaletteOptimal = 0x4000;
    static constexpr int32_t kPaletteFixed = 0x8000;
    static constexpr int32_t kPaletteKindSystem = 0x0200;
    static constexpr int32_t kPaletteKindWebSafe = 0x0400;
    static constexpr int32_t kPaletteKindGrey = 0x0800;
    static constexpr int32_t kPaletteCountMask = 0x01FF;
    static constexpr int32_t kPaletteVga = 0x8210;
    static constexpr int32_t kPaletteInternetSafe = 0x84D8;
    static constexpr int32_t kPaletteMs256 = 0x8300;
    static constexpr int32_t kPaletteFixedGrey = 0x88FF;
    // ReduceDitherFlags
    static constexpr int32_t kDitherNone = 0;
    static constexpr int32_t kDitherBinary = 1;
    static constexpr int32_t kDitherOrdered = 2;
    static constexpr int32_t kDitherHalftone = 4;
    static constexpr int32_t kDitherForwardDiagonal = 8;
    static constexpr int32_t kDitherBackwardDiagonal = 16;
    static constexpr int32_t kDitherHorizontal = 32;
    static constexpr int32_t kDitherVertical = 64;
    static constexpr int32_t kDitherOdd = 256;
    static constexpr int32_t kDitherEven = 512;
    static constexpr int32_t kDitherEqual = 1024;
    // ReduceTransformFlags
    static constexpr int32_t kFlipVertical = 0x1010000;
    static constexpr int32_t kFlipHorizontal = 0x1020000;
    static constexpr int32_t kInvert = 0x3100000;

    int32_t ReduceToFile(const DibRecord& source, const std::string& path, int32_t outputKind, int32_t colorMode,
                         int32_t bitsPerPixel, int32_t paletteFlags, int32_t ditherFlags, int32_t left = -1,
                         int32_t top = -1, int32_t width = -1, int32_t height = -1);

    int32_t SetConversion(int32_t outputKind, int32_t colorMode, int32_t bitsPerPixel, int32_t paletteFlags,
                          int32_t ditherFlags);
    // Keeps a copy of the picture (a bitmap: 32 bits, rows top-down).
    int32_t SetSource(const DibRecord& source, int32_t left = -1, int32_t top = -1, int32_t width = -1,
                      int32_t height = -1);
    // The transform applied by the next Convert (and ReduceToFile); 0 for none.
    int32_t SetTransform(int32_t flags, int32_t reserved1 = 0, int32_t reserved2 = 0);
    // Reduces the source with the conversion and transform set.
    int32_t Convert();
    int32_t SaveBmp(const std::string& path);
    int32_t SaveGif(const std::string& path);
    int32_t SaveGifInterlaced(const std::string& path);

    // ---- The result of Convert ----------------------------------------
    struct Rgb {
        uint8_t blue = 0, green = 0, red = 0;
        bool operator==(const Rgb&) const = default;
    };
    bool converted() const { return converted_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // Bits per pixel of the result: 1..8, 16 or 24.
    int32_t bits() const { return bits_; }
    // 1 to 8 bits: one palette index per pixel, rows top-down, and the
    // palette of 2^bits entries (entries past the palette's own count are
    // black and never used).
    const std::vector<uint8_t>& indices() const { return indices_; }
    const std::vector<Rgb>& palette() const { return palette_; }
    // 16 bits: red << 10 | green << 5 | blue per pixel, 5 bits each.
    const std::vector<uint16_t>& pixels555() const { return pixels555_; }
    // 24 bits: blue, green, red and an unused byte per pixel, rows top-down.
    const std::vector<uint8_t>& pixels32() const { return pixels32_; }

private:
    int32_t saveGif(const std::string& path, bool interlaced);
    int32_t convertFrom(const DibRecord& source);

    int32_t outputKind_ = kOutputGif;
    int32_t colorMode_ = kColour;
    int32_t requestedBits_ = 8;
    int32_t paletteFlags_ = kPaletteOptimal;
    int32_t ditherFlags_ = kDitherNone;
    bool conversionSet_ = false;
    int32_t transform_ = 0;

    DibRecord source_;
    bool hasSource_ = false;

    bool converted_ = false;
    int32_t width_ = 0, height_ = 0, bits_ = 0;
    std::vector<uint8_t> indices_;
    std::vector<Rgb> palette_;
    std::vector<uint16_t> pixels555_;
    std::vector<uint8_t> pixels32_;
};

} // namespace tq
