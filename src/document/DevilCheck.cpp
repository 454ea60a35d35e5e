#include "document/DevilCheck.h"

#include "document/BitsBuffer.h"
#include "document/StructureCheck.h"

#include <fstream>
#include <vector>

namespace tq {

namespace {

bool sideOk(uint64_t v) { return v >= 1 && v <= uint64_t(kMaxPictureSide); }

// DirectDraw surface: "DDS ", a 124-byte header (height at 12, width at 16,
// depth at 24 counted from the file's start + 4).
bool ddsSound(const uint8_t* h, size_t n)
{
    if (n < 128 || std::string(reinterpret_cast<const char*>(h), 4) != "DDS ") return false;
    const uint8_t* d = h + 4;
    if (getLE32(d) != 124) return false;
    const uint32_t flags = getLE32(d + 4);
    const uint32_t height = getLE32(d + 8);
    const uint32_t width = getLE32(d + 12);
    const uint32_t depth = getLE32(d + 20);
    if (!sideOk(height) || !sideOk(width)) return false;
    if ((flags & 0x800000u) && depth > uint32_t(kMaxPictureSide)) return false;   // volume texture
    return getLE32(d + 72) == 32;   // pixel format record size
}

// Silicon Graphics image: magic 474, storage 0 or 1, 1 or 2 bytes per
// channel, 1 to 3 dimensions, big-endian sizes.
bool sgiSound(const uint8_t* h, size_t n)
{
    if (n < 512) return false;
    auto be16 = [h](size_t i) { return uint32_t(h[i]) << 8 | h[i + 1]; };
    if (be16(0) != 474 || h[2] > 1 || (h[3] != 1 && h[3] != 2)) return false;
    const uint32_t dims = be16(4);
    if (dims < 1 || dims > 3) return false;
    const uint32_t x = be16(6), y = dims >= 2 ? be16(8) : 1, z = dims == 3 ? be16(10) : 1;
    return sideOk(x) && sideOk(y) && z >= 1 && z <= 4;
}

} // namespace

bool devilHeaderSound(const std::string& path, const std::string& lowerExt)
{
    // Readers that need the whole file walked.
    bool (*walk)(const std::vector<uint8_t>&) = nullptr;
    if (lowerExt == "pix") walk = pixStructureSound;
    if (lowerExt == "pic") walk = picStructureSound;
    if (lowerExt == "wal") walk = walStructureSound;
    if (walk) {
        std::vector<uint8_t> bytes;
        return readFileBytes(path, bytes) && walk(bytes);
    }
    const bool dds = lowerExt == "dds";
    const bool sgi = lowerExt == "sgi" || lowerExt == "bw" || lowerExt == "rgb" || lowerExt == "rgba";
    if (!dds && !sgi) return true;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    uint8_t head[512] = {};
    f.read(reinterpret_cast<char*>(head), sizeof head);
    const size_t n = size_t(f.gcount());
    return dds ? ddsSound(head, n) : sgiSound(head, n);
}

} // namespace tq
