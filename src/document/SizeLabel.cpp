#include "document/SizeLabel.h"

namespace tq {

std::uint64_t KilobytesNearest(std::uint64_t bytes)
{
    std::uint64_t kb = bytes / 1024;
    const std::uint64_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && (kb & 1u))) ++kb;
    return kb;
}

std::string SizeLabel(std::uint64_t bytes) { return std::to_string(KilobytesNearest(bytes)) + " KB"; }

} // namespace tq
