// File sizes as the windows label them, in kilobytes of 1024 bytes, on the
// full 64-bit size. Two rules, kept side by side so they are not confused:
// whole kilobytes (the open dialog's preview, the properties, the optimised
// save) and kilobytes to one decimal (the thumbnail browser's size column).
#pragma once

#include <cstdint>
#include <string>

namespace tq {

// The size in bytes over 1024, to the nearest whole number with halves to
// the even neighbour (512 bytes give 0, 1536 and 2560 give 2). Exact on the
// full 64-bit size, so a file of many gigabytes still gets its count.
std::uint64_t KilobytesNearest(std::uint64_t bytes);

// "2 KB": KilobytesNearest followed by " KB".
std::string SizeLabel(std::uint64_t bytes);

// Kilobytes to one decimal, rounded half to even on the tenths, without a
// trailing zero: "1.5 KB" for 1536 bytes, "3 KB" for 3072, "0 KB" for 0.
// decimalPoint: the separator of the user's number format.
std::string tenthKilobyteLabel(std::uint64_t bytes, const std::string& decimalPoint = ".");

} // namespace tq
