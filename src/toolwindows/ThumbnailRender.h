// Turning one picture file into one thumbnail of the browser's grid, without
// any window: the decode (two routes), the fitting into the cell and the two
// reductions.
//
// Decoding: "gif", "wmf", "emf" and "dib" go to the platform's picture
// loader, and their depth is recorded as 16 (8 for "gif") whatever the file
// holds; every other extension goes to the program's format router
// (mBitmap::LoadImageFile), which records the decoded depth. Both routes
// refuse pictures beyond the program's memory budget and damaged files
// before decoding. A decoded picture's width, height and depth go into
// ImageWidth, ImageHeight and ImageBPP; a failed decode leaves them alone.
//
// Reducing: the picture is fitted into the cell less 5 pixels (never
// enlarged), then drawn on a box of that size filled with the background:
// quality 0 shrinks a 24-bit copy bilinearly (cDIBSection), any other
// quality averages areas of an opaque 32-bit copy and blends the result
// (cAlphaDibSection), so its partly covered top row shows the background.
#pragma once

#include "core/BitsBuffer.h"
#include "gdi/cAlphaDibSection.h"
#include "gdi/cDIBSection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tq::browser {

inline constexpr int32_t kThumbMargin = 5;   // the thumbnail fits the cell less this

// True for the extensions the platform's loader decodes for a thumbnail.
bool thumbnailThroughPlatformLoader(const std::string& lowerExt);

// The picture of the file at path for its thumbnail; false when it cannot
// be decoded (picture untouched).
bool decodeThumbnailSource(const std::string& path, const std::string& lowerExt, DibRecord& picture);

// The size the picture takes in a cell: FitSize into the cell less 5.
void thumbnailSize(int32_t pictureW, int32_t pictureH, int32_t cellW, int32_t cellH, int32_t& outW, int32_t& outH);

// The bitmap objects a reduction leaves behind (the last one made): the
// one of the quality used holds the reduced copy, the other is emptied.
struct ThumbnailBitmaps {
    std::unique_ptr<cDIBSection> ThumbDib;
    std::unique_ptr<cAlphaDibSection> ThumbAlphaDib;
};

// The thumbnail of picture for a cellW x cellH cell: a top-down 32-bit
// picture of the fitted size on background (red in the low byte).
DibRecord reduceToThumbnail(const DibRecord& picture, int32_t cellW, int32_t cellH, int16_t quality,
                            int32_t background, ThumbnailBitmaps& bitmaps);

// What a file that cannot be decoded shows: a plain frame with a cross, the
// size of the cell less 5, on background.
DibRecord placeholderThumbnail(int32_t cellW, int32_t cellH, int32_t background);

} // namespace tq::browser
