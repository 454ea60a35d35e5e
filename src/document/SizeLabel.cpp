#include "document/SizeLabel.h"

namespace tq {

namespace {

// numerator / denominator to the nearest whole number, halves to even.
std::uint64_t divideToEven(std::uint64_t numerator, std::uint64_t denominator)
{
    std::uint64_t q = numerator / denominator;
    const std::uint64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && (q & 1u))) ++q;
    return q;
}

} // namespace

std::uint64_t KilobytesNearest(std::uint64_t bytes) { return divideToEven(bytes, 1024); }

std::string SizeLabel(std::uint64_t bytes) { return std::to_string(KilobytesNearest(bytes)) + " KB"; }

std::string tenthKilobyteLabel(std::uint64_t bytes, const std::string& decimalPoint)
{
    // Tenths of a kilobyte: the whole kilobytes times ten, and the rest's
    // tenths (rest x 10 / 1024) rounded; the parity of the total is that of
    // the rest's tenths, the whole part being a multiple of ten.
    const std::uint64_t tenths = bytes / 1024 * 10 + divideToEven(bytes % 1024 * 10, 1024);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) text += decimalPoint + std::to_string(tenths % 10);
    return text + " KB";
}

} // namespace tq
