// The size of a file as the program writes it: whole kilobytes.
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

} // namespace tq
