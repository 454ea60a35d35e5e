#include "filters/UserFilterFile.h"

#include "core/ByteOrder.h"
#include "platform/PictureFiles.h"


namespace tq::UserFilterFile {
namespace {

bool validSide(int32_t n) { return n == 3 || n == 5; }

// Offset of coefficient Mask(row, column): the row runs fastest.
size_t coefficientOffset(int32_t n, int32_t row, int32_t column)
{
    return kHeaderSize + 4 * (static_cast<size_t>(column) * static_cast<size_t>(n) + static_cast<size_t>(row));
}

} // namespace

std::vector<uint8_t> encode(const KernelRecord& kernel)
{
    const int32_t n = kernel.Mask.side();
    if (!validSide(n)) return {};
    std::vector<uint8_t> out(recordSize(n));
    uint8_t* p = out.data();
    putLE16(p, kDimensions);
    for (int d = 0; d < 2; ++d) {
        putLE32(p + 2 + 8 * d, static_cast<uint32_t>(n));
        putLE32(p + 6 + 8 * d, 0);
    }
    for (int32_t column = 0; column < n; ++column)
        for (int32_t row = 0; row < n; ++row)
            putLE32(p + coefficientOffset(n, row, column), static_cast<uint32_t>(kernel.Mask(row, column)));
    uint8_t* tail = p + coefficientOffset(n, 0, n);
    putLE32(tail, static_cast<uint32_t>(kernel.Weight));
    putLE32(tail + 4, static_cast<uint32_t>(kernel.rFactor));
    putLE32(tail + 8, static_cast<uint32_t>(kernel.gFactor));
    putLE32(tail + 12, static_cast<uint32_t>(kernel.bFactor));
    return out;
}

std::optional<KernelRecord> decode(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize) return std::nullopt;
    const uint8_t* p = bytes.data();
    if (getLE16(p) != kDimensions) return std::nullopt;
    const auto n = static_cast<int32_t>(getLE32(p + 2));
    const auto lower1 = static_cast<int32_t>(getLE32(p + 6));
    const auto n2 = static_cast<int32_t>(getLE32(p + 10));
    const auto lower2 = static_cast<int32_t>(getLE32(p + 14));
    // The count is checked before it sizes anything.
    if (!validSide(n) || n2 != n || lower1 != 0 || lower2 != 0) return std::nullopt;
    if (bytes.size() < recordSize(n)) return std::nullopt;

    KernelRecord kernel;
    kernel.Mask = KernelMask(n);
    for (int32_t column = 0; column < n; ++column)
        for (int32_t row = 0; row < n; ++row)
            kernel.Mask(row, column) = static_cast<int32_t>(getLE32(p + coefficientOffset(n, row, column)));
    const uint8_t* tail = p + coefficientOffset(n, 0, n);
    kernel.Weight = static_cast<int32_t>(getLE32(tail));
    kernel.rFactor = static_cast<int32_t>(getLE32(tail + 4));
    kernel.gFactor = static_cast<int32_t>(getLE32(tail + 8));
    kernel.bFactor = static_cast<int32_t>(getLE32(tail + 12));
    return kernel;
}

LoadStatus load(const std::string& path, KernelRecord& kernel)
{
    // A folder, a FIFO or a device is unreadable as a kernel file.
    std::vector<uint8_t> bytes;
    if (!tq::readRegularFile(path, bytes, kLargestRecord)) return LoadStatus::Unreadable;
    std::optional<KernelRecord> read = decode(std::span<const uint8_t>(bytes));
    if (!read) return LoadStatus::NotAKernel;
    kernel = std::move(*read);
    return LoadStatus::Loaded;
}

bool save(const std::string& path, const KernelRecord& kernel)
{
    const std::vector<uint8_t> bytes = encode(kernel);
    if (bytes.empty()) return false;
    return replaceFileWithBytes(path, {std::span<const uint8_t>(bytes)});
}

} // namespace tq::UserFilterFile
