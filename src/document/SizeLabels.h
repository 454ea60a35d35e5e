// File sizes as the windows label them, in kilobytes of 1024 bytes. Two
// rules, kept side by side so they are not confused:
// - whole kilobytes, rounded half to even ("2 KB" for 1536 bytes, "0 KB"
//   for 512): the open dialog's preview;
// - kilobytes to one decimal, rounded half to even on the tenths, without
//   trailing zeros ("1.5 KB" for 1536 bytes, "3 KB" for 3072, "0 KB" for 0):
//   the thumbnail browser's size column.
// Both work on the full 64-bit size.
#pragma once

#include <cstdint>
#include <string>

namespace tq {

std::string wholeKilobyteLabel(uint64_t bytes);
// decimalPoint: the separator of the user's number format.
std::string tenthKilobyteLabel(uint64_t bytes, const std::string& decimalPoint = ".");

} // namespace tq
