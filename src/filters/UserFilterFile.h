// A convolution kernel of the kernel editor as a file (".qif"): one
// KernelRecord laid out field by field, little-endian, with no signature or
// version. For a kernel of n x n coefficients (n = 3 or 5):
//
//   offset       size      content
//   0            2         number of dimensions of the coefficient array: 2
//   2            4         element count of the first dimension: n
//   6            4         its lower bound: 0
//   10           4         element count of the second dimension: n
//   14           4         its lower bound: 0
//   18           4 x n x n Mask(row, column), signed 32-bit, the row index
//                          running fastest: the kernel column by column,
//                          each column top to bottom, columns left to right
//   18 + 4nn     4         Weight
//   22 + 4nn     4         rFactor (added to red)
//   26 + 4nn     4         gFactor
//   30 + 4nn     4         bFactor
//
// So 70 bytes for 3 x 3 and 134 for 5 x 5. Older saves could leave a longer
// file's tail after the record; a reader ignores whatever follows it. The
// values themselves are taken as stored: the editor's boxes hold them to
// their ranges when it shows them.
#pragma once

#include "filters/Kernels.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tq::UserFilterFile {

inline constexpr size_t kHeaderSize = 18;
inline constexpr uint16_t kDimensions = 2;

// The length of the record of an n x n kernel.
constexpr size_t recordSize(int32_t n) { return 34 + 4 * static_cast<size_t>(n) * static_cast<size_t>(n); }
inline constexpr size_t kLargestRecord = recordSize(5);

// The record's bytes; empty when the mask is neither 3 x 3 nor 5 x 5.
std::vector<uint8_t> encode(const KernelRecord& kernel);

// The kernel stored at the start of bytes, or nothing unless the descriptor
// announces two dimensions of 3 or 5 elements each (the same count for
// both) with lower bounds 0 and the whole record is present.
std::optional<KernelRecord> decode(std::span<const uint8_t> bytes);

enum class LoadStatus {
    Loaded,
    Unreadable,   // missing, a folder, or a read error
    NotAKernel,   // read, but no record as laid out above
};

// Reads the kernel of a file into kernel; on any failure kernel is left as
// it was. Reads at most kLargestRecord bytes.
LoadStatus load(const std::string& path, KernelRecord& kernel);

// Writes the kernel as the whole file: the record and nothing after it, to a
// temporary file in the same folder that replaces the old file only once it
// is complete. False (the old file untouched) when the kernel cannot be
// encoded or the write failed.
bool save(const std::string& path, const KernelRecord& kernel);

} // namespace tq::UserFilterFile
