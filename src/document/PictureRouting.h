// Picture file routing: which library reads or writes a picture file,
// chosen by the file's extension compared in lower case.
//
// Reading goes to FreeImage for most formats and to DevIL for the formats
// FreeImage lacks; DevIL hands its picture over as a BMP in the program's
// private temporary folder, which FreeImage then reads. Writing goes to
// FreeImage, to DevIL (again through a temporary BMP) or, for GIF, to the
// ColorReducer. The platform's picture loader reads "gif", "wmf", "emf",
// "dib" and "bmp" when a file is opened (see OpenPicture.h); LoadImageFile
// itself gives nothing for the first four, and reads "bmp" through that
// same loader: FreeImage's reader refuses the bitmaps with the longer
// headers (version 4 and 5, OS/2 2.x) that common tools write for a
// picture with alpha, and ignores bit-field masks other than its own.
//
// Every temporary conversion file has a name of its own per call and is
// removed after use, and every write goes through a temporary file in the
// target's folder that replaces the target only when complete.
#pragma once

#include "core/BitsBuffer.h"
#include "document/ProgramContext.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tq {

// A decoded picture: a bitmap (32 bits, blue, green, red, fourth byte 0, rows
// top-down, no margin) and the file it was decoded from.
struct LoadedBitmap {
    std::string sourcePath;
    DibRecord dib;
};
// The program's bitmap handle: null stands for "nothing decoded".
using BitmapHandle = std::shared_ptr<const LoadedBitmap>;

// LoadImageFile sets ImageWidth, ImageHeight and ImageBPP (DocumentState.h)
// on success (ImageBPP: bits per pixel as the library decoded the file,
// before any conversion) and leaves them alone on failure.
// The decode that the open dialog's preview, the recent-file menu and the
// thumbnail browser leave for opening the file is PreloadedBitmap()
// (ProgramContext.h).

namespace mBitmap {

// The fixed names of the two temporary conversion files; each use adds a
// number of its own (see uniquePictureTempName).
inline constexpr const char* kDevilLoadTempName = "4546643";
inline constexpr const char* kDevilSaveTempName = "t65s8s98";

// ---- The routing table --------------------------------------------------
// PlatformLoader: the platform's picture loader, after the same checks as
// when the file is opened (OpenPicture.h), so a file the program opens
// gives the same picture wherever it is read.
enum class Reader { None, DevIL, FreeImage, FreeImageByFileType, PlatformLoader };
struct ReadRoute {
    Reader reader = Reader::None;
    int format = -1;     // FreeImage format code (FIF_*)
    int flags = 0;       // FreeImage load flags
};
enum class Writer { None, ColorReducer, FreeImage, DevIL };
enum class WriteConversion { None, To8BitsUnless1, To8BitsUnless8, To24BitsUnless24 };
struct WriteRoute {
    Writer writer = Writer::None;
    int format = -1;     // FreeImage format code for FreeImage writers
    int flags = 0;       // FreeImage save flags
    WriteConversion conversion = WriteConversion::None;
    uint32_t devilType = 0;   // DevIL image type for DevIL writers
};
// ext without the dot, in any letter case.
ReadRoute readRoute(const std::string& ext);
WriteRoute writeRoute(const std::string& ext);

// ---- Loading and saving -------------------------------------------------
// Decodes the file at path by the reader its extension names. Null when the
// extension has no reader, the library decodes nothing, or the picture has a
// side above kMaxPictureSide. The caller owns the handle.
BitmapHandle LoadImageFile(const std::string& path, const std::string& ext);
// The same decode by a reader the caller names, with the same checks before
// decoding (ext, in any case, picks those of its format); bitsPerPixel
// receives the depth the library decoded the file in. ImageWidth,
// ImageHeight and ImageBPP are left alone.
BitmapHandle DecodeImageFile(const std::string& path, const std::string& ext, const ReadRoute& route,
                             int16_t& bitsPerPixel);
// LoadImageFile's decode as a document holds it: a bordered buffer (margin
// and marker bytes 0) made straight from the library's decode, with the same
// checks and the same ImageWidth, ImageHeight and ImageBPP on success. With
// no pixels, refusal says why when the file was refused before decoding for
// a reason the user should hear (a picture too large for the memory).
struct LoadedBits {
    std::optional<BitsBuffer> pixels;
    std::string refusal;
};
LoadedBits LoadImageBits(const std::string& path, const std::string& ext);
// A valid bitmap's pixels as a bordered buffer (marker bytes 0); nothing for
// an invalid bitmap or when the memory cannot be had.
std::optional<BitsBuffer> bitsFromRecord(const DibRecord& picture);

// What a save hands back: whether the file was written completely and, when
// the picture was refused before writing, why (a target that is not a
// regular file, or formatCannotHold); the refusal is empty for any other
// failure.
struct SaveResult {
    bool written = false;
    std::string refusal;
    explicit operator bool() const { return written; }
};

// Writes picture (a bitmap) to path in the format its extension names: a
// 24-bit picture for every FreeImage and DevIL writer (8 bits for pbm and
// pgm), a 256-colour optimal-palette GIF for "gif". Written when the file
// was written completely; otherwise whatever was at path is as it was. An
// extension that no writer takes writes nothing and fails.
SaveResult SaveImageFile(const std::string& path, const std::string& ext, const DibRecord& picture);
// The same for the picture pixels of a bordered buffer, read in place (the
// margin and the marker bytes are not written); fails for an unallocated or
// empty buffer.
SaveResult SaveImageFile(const std::string& path, const std::string& ext, const BitsBuffer& pixels);
// Why a w x h picture cannot be written in the format ext names (a file the
// program could not open again); empty when it can.
std::string formatCannotHold(const std::string& ext, int64_t w, int64_t h);

// The pixels of picture as w x h 32-bit pixels (blue, green, red, fourth
// byte; channel fastest, then x, then y, rows top-down). A part outside the
// picture, or the whole array when picture is not a valid bitmap, stays 0.
// Empty when w or h is below 1 or above kMaxPictureSide.
std::vector<uint8_t> GetPictureBits(const DibRecord* picture, int32_t w, int32_t h);

// Lower-case copy of an extension (ASCII).
std::string lowerExtension(const std::string& ext);

} // namespace mBitmap
} // namespace tq
