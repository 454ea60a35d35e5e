// What the two bitmap classes (cDIBSection, cAlphaDibSection) share: the
// header they describe their pixels with, the error a save raises when its
// file cannot be made, and the BMP writer behind their SavePicture.
//
// The BMP file: a 14-byte file header ("BM", file size, two reserved
// zeros, pixel offset 58), the 44-byte BitmapInfo as it stands (the 40-byte
// header and one all-zero colour entry), then biSizeImage bytes of pixel
// rows, bottom row first, each with its padding. All little-endian.
#pragma once

#include "core/BitsBuffer.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tq {

// The bitmap information the classes make their pixels from: a 40-byte
// header followed by one colour-table entry (always 0 0 0 0).
struct BitmapInfo {
    static constexpr size_t kSize = 44;
    BitsHeader bmiHeader;
    uint8_t bmiColors[4] = {0, 0, 0, 0};
};

inline constexpr int32_t kBitmapFileHeaderSize = 14;
inline constexpr int32_t kBitmapPixelOffset = 58;   // 14 + 44

// Error 17: the file a bitmap is to be saved to cannot be made. Nothing was
// written.
class DibFileError : public std::runtime_error {
public:
    static constexpr int kNumber = 17;
    DibFileError(std::string source, std::string description)
        : std::runtime_error(description), source_(std::move(source)), description_(std::move(description))
    {
    }
    int number() const { return kNumber; }
    // The program's executable name without extension, then ".cDIBSection".
    const std::string& source() const { return source_; }
    // The system's text for the reason.
    const std::string& description() const { return description_; }

private:
    std::string source_;
    std::string description_;
};

namespace dibsection {

// The system's message for an error code; the writer asks only for codes
// of a failed open, never 0.
std::string ApiErrorText(int code);

// True when a write went wrong: it reported failure, or wrote fewer bytes
// than it was asked to.
bool WriteFailed(bool result, size_t asked, size_t written);

// Writes the header, the info and biSizeImage bytes from pixels (null: no
// pixel memory) to fileName. The file is written beside the old one and
// takes its place only when complete, so a failed write leaves whatever was
// there. Throws DibFileError when the file cannot be made; false when a
// write fails or falls short.
bool WriteBitmapFile(const uint8_t* pixels, const BitmapInfo& info, const std::string& fileName);

} // namespace dibsection
} // namespace tq
