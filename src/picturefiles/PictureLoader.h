// The platform's own picture loader: reads a picture file by its content
// into a bitmap (32 bits, blue, green, red, fourth byte 0, rows top-down, no
// margin). It reads what the desktop's image reader reads (BMP and DIB, GIF
// and others); metafiles ("wmf", "emf") have no reader here and fail.
#pragma once

#include "core/BitsBuffer.h"

#include <optional>
#include <string>

namespace tq {

// The picture in the file, or nothing when it cannot be read, is empty or
// has a side above kMaxPictureSide. A transparent pixel keeps its colour.
// depth, when given, receives the bits per pixel of the picture as stored
// (before the conversion to 32 bits).
// A picture that needs more memory than the budget (PictureMemory.h) is
// refused before it is decoded.
std::optional<DibRecord> loadPlatformPicture(const std::string& path, int* depth = nullptr);

// The same picture as a bordered buffer (margin and marker bytes 0), made
// from the decode without a margin-less record in between.
std::optional<BitsBuffer> loadPlatformPixels(const std::string& path, int* depth = nullptr);

// The size the file's header claims, read without decoding; nullopt when
// the reader cannot tell.
struct PictureSize {
    int width = 0;
    int height = 0;
};
std::optional<PictureSize> platformPictureSize(const std::string& path);

} // namespace tq
