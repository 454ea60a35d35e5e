// The bridge between FreeImage images and the program's own bitmaps.
//
// A "bitmap" here is what a screen-compatible bitmap is to the rest of the
// program: a DibRecord, 32 bits per pixel, blue, green, red and a fourth
// byte that is always 0, rows top-down, no margin. A null pointer plays the
// part of the empty handle. FreeImage images keep their rows bottom-up.
//
// Every conversion, drawing and inspection routine hands back, with its
// result, why it failed: a text that begins with its own name in square
// brackets. It releases what it took on failure. The messages FreeImage
// sends while it works go to the watch in place, if any (ReaderMessages).
#pragma once

#include "core/BitsBuffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FIBITMAP;

namespace tq::mFormat {

// What a routine hands back: success, or the reason it failed (no part of
// the program shows the reason; it is there for whoever looks into a fault).
struct GlueResult {
    std::string error;   // empty on success
    explicit operator bool() const { return error.empty(); }
};
// A side of a bitmap: 0 with the reason on failure.
struct GlueSide {
    int32_t value = 0;
    std::string error;
};

// Starts FreeImage (once per process) and routes its messages to
// FreeImageMessageCallback, and the messages of the TIFF library under it
// (which would otherwise print dozens of lines on standard error for every
// TIFF read or written) to the same quiet record. Safe to call before every
// use.
void InitFreeImage();
// FreeImage's output-message callback: the message goes to every watch in
// place ("" for a null message).
void FreeImageMessageCallback(int format, const char* message);

// The messages FreeImage's readers send while one library call runs: made
// just before the call, read after it. A reader that meets damaged data
// says so here and still hands back a picture with the damaged part made
// up, so this is how such a picture is told from a sound one. The TIFF
// library's own messages come under FIF_UNKNOWN (-1). A watch made while
// another lives sees the messages both see.
//
// The libraries' message handlers are the process's and carry no pointer
// of the caller's, so the watches in place are the process's too: user-
// interface thread only.
class ReaderMessages {
public:
    ReaderMessages();
    ~ReaderMessages();
    ReaderMessages(const ReaderMessages&) = delete;
    ReaderMessages& operator=(const ReaderMessages&) = delete;
    // The texts that the reader of format (a FREE_IMAGE_FORMAT) sent, in order.
    std::vector<std::string> from(int format) const;

private:
    std::vector<std::pair<int, std::string>> said_;
    ReaderMessages* outer_ = nullptr;
    friend void FreeImageMessageCallback(int format, const char* message);
};

// Makes a bitmap from a FreeImage image of any depth (palette, grey, 16, 24,
// 32 bits and the high-precision types). bmp is emptied first; on success it
// holds the new bitmap. A side above kMaxPictureSide is refused.
GlueResult FreeImage_BMP_From_DIB(FIBITMAP* dib, std::optional<DibRecord>& bmp);
// The same conversion straight into a bordered buffer as a document holds
// it (margin 0, marker bytes 0), without a margin-less record in between.
// A buffer of the picture's size that bits already holds alone (made before
// the decode) is written in place; on failure bits is left as it was.
GlueResult FreeImage_Bits_From_DIB(FIBITMAP* dib, BitsBuffer& bits);
// Makes a 32-bit FreeImage image from a bitmap. dib is unloaded and set to
// null first; on success it holds the new image, which the caller unloads.
GlueResult FreeImage_DIB_From_BMP(const DibRecord* bmp, FIBITMAP*& dib);
// Draws the image onto the surface dc with its top-left at (x, y). A width
// or height below 1 stands for the image's own; a smaller one draws the
// image's bottom-left part of that size, as a bottom-up bitmap is drawn from
// its origin. Clipped to the surface.
GlueResult FreeImage_RenderDIB(FIBITMAP* dib, DibRecord* dc, int32_t x, int32_t y, int32_t width, int32_t height);
// Copies the bitmap's top-left width x height part onto dc at (x, y),
// colour-inverted when invert is true. Sizes below 1 stand for the bitmap's own.
GlueResult FreeImage_RenderBitmap(const DibRecord* bmp, DibRecord* dc, int32_t x, int32_t y, int32_t width,
                                  int32_t height, bool invert);
GlueSide FreeImage_GetBitmapWidth(const DibRecord* bmp);
GlueSide FreeImage_GetBitmapHeight(const DibRecord* bmp);
// Every number is -1 first (the bits pointer null); then width, height, type
// (always 0), colour depth (planes x bits per pixel), planes and the first
// byte of the bits.
GlueResult FreeImage_GetBitmapInfo(const DibRecord* bmp, int32_t& width, int32_t& height, int32_t& type,
                                   int16_t& depth, int16_t& planes, const uint8_t*& bits);

// A bitmap whose record is consistent: sides 1..kMaxPictureSide, 32 bits,
// 4 x width x height bytes.
bool IsValidBitmap(const DibRecord* bmp);

} // namespace tq::mFormat
