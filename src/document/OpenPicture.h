// The plain part of opening a picture file as a new document: which loader
// reads the file, the decode, and the one pass through the FreeImage glue
// that turns any picture into the 24-bit picture a document takes. The
// window code (fMain.loadBitmap) asks this first and makes a document window
// only when it succeeds, so a failed decode never leaves a half-made window.
#pragma once

#include "core/BitsBuffer.h"

#include <optional>
#include <string>

namespace tq {

// Messages of opening a file (text, title).
inline constexpr const char* kFileAlreadyOpenedText = "File Already Opened!";
inline constexpr const char* kFileAlreadyOpenedTitle = "Opened";
inline constexpr const char* kLoadErrorText = "Unexpected error loading image";
inline constexpr const char* kProgramTitle = "Talvex Quarlend";

// True for the extensions the platform's picture loader reads when a file is
// opened: "gif", "wmf", "emf", "dib", "bmp", in any letter case. Every other
// extension goes through mBitmap::LoadImageFile.
bool opensThroughPlatformLoader(const std::string& ext);

// The platform loader's decode of a picture file after the checks opening
// makes (a cut-short Windows bitmap or GIF is refused, and so is a picture
// too large for the memory); depth, when given, receives the bits per pixel
// the file stores its picture in, and refusal, when given, the message for
// a picture too large (empty otherwise). Nothing when refused or
// unreadable.
std::optional<DibRecord> loadThroughPlatformLoader(const std::string& path, int* depth = nullptr,
                                                   std::string* refusal = nullptr);

struct OpenedPicture {
    bool ok = false;
    // The picture without margin: 32 bits, blue, green, red, fourth byte 0,
    // rows top-down, exactly the file's width and height.
    DibRecord picture;
    // kLoadErrorText when ok is false.
    std::string errorText;
};

// The decode a new document takes: its pixels as the document keeps them
// (bordered, margin and marker bytes 0), made straight from the decode.
struct OpenedPixels {
    bool ok = false;
    BitsBuffer pixels;
    // kLoadErrorText, or why the picture was refused, when ok is false.
    std::string errorText;
};

// Decodes fileName for opening as a new document. For a library format the
// decode that PreloadedBitmap() holds is taken (and PreloadedBitmap() emptied)
// only when it was made from this very path; otherwise the file is decoded
// here.
// On success ImageWidth and ImageHeight hold the picture's size; on failure
// (no decode, a metafile, a side above kMaxPictureSide) they are unchanged.
OpenedPixels decodePixelsForOpening(const std::string& fileName, const std::string& ext);
// The same decode as a margin-less picture (the open dialog's preview).
OpenedPicture decodePictureForOpening(const std::string& fileName, const std::string& ext);

} // namespace tq
