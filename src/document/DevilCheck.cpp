#include "document/DevilCheck.h"

#include "core/BitsBuffer.h"
#include "document/StructureCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tq {

namespace {

bool sideOk(uint64_t v) { return v >= 1 && v <= uint64_t(kMaxPictureSide); }

// Bytes per 4 x 4 block (compressed) or per pixel of a DirectDraw surface's
// pixel format; 0 for a format the check does not know.
uint64_t ddsUnitBytes(const uint8_t* pf, bool* blocks)
{
    const uint32_t flags = getLE32(pf + 4);
    *blocks = false;
    if (flags & 0x4) {   // four-character code
        const std::string cc(reinterpret_cast<const char*>(pf + 8), 4);
        *blocks = true;
        if (cc == "DXT1" || cc == "ATI1") return 8;
        if (cc == "DXT2" || cc == "DXT3" || cc == "DXT4" || cc == "DXT5" || cc == "ATI2" || cc == "RXGB") return 16;
        *blocks = false;
        switch (getLE32(pf + 8)) {   // numbered formats, per pixel
        case 111: return 2;
        case 112: case 114: return 4;
        case 36: case 110: case 113: case 115: return 8;
        case 116: return 16;
        default: return 0;
        }
    }
    const uint32_t bits = getLE32(pf + 12);
    return (bits == 8 || bits == 16 || bits == 24 || bits == 32) ? bits / 8 : 0;
}

// DirectDraw surface: "DDS ", a 124-byte header (height at 12, width at 16,
// depth at 24 counted from the file's start + 4), and pixel data for every
// level and face it announces: DevIL decodes compressed blocks without
// looking at the file's end.
bool ddsSound(const uint8_t* h, size_t n, uint64_t fileSize)
{
    if (n < 128 || std::string(reinterpret_cast<const char*>(h), 4) != "DDS ") return false;
    const uint8_t* d = h + 4;
    if (getLE32(d) != 124) return false;
    const uint32_t flags = getLE32(d + 4);
    const uint32_t height = getLE32(d + 8);
    const uint32_t width = getLE32(d + 12);
    const uint32_t depth = getLE32(d + 20);
    if (!sideOk(height) || !sideOk(width)) return false;
    const bool volume = (flags & 0x800000u) != 0;
    if (volume && depth > uint32_t(kMaxPictureSide)) return false;   // volume texture
    if (getLE32(d + 72) != 32) return false;   // pixel format record size
    bool blocks = false;
    const uint64_t unit = ddsUnitBytes(d + 72, &blocks);
    if (unit == 0) return false;
    const uint32_t caps2 = getLE32(d + 108);
    uint64_t faces = 1;
    if (caps2 & 0x200u) {   // cube map: the faces it holds
        faces = 0;
        for (uint32_t m = caps2 & 0xFC00u; m; m &= m - 1) ++faces;
        if (faces == 0) return false;
    }
    // DevIL reads as many levels as the count says, flag or not, and
    // decodes a compressed picture out of the linear size it announces.
    const uint32_t levels = std::min<uint32_t>(std::max<uint32_t>(getLE32(d + 24), 1), 32);
    if (blocks && getLE32(d + 16) != ((uint64_t(width) + 3) / 4) * ((uint64_t(height) + 3) / 4) * unit) return false;
    uint64_t need = 0;
    for (uint32_t l = 0; l < levels; ++l) {
        const uint64_t lw = std::max<uint64_t>(width >> l, 1), lh = std::max<uint64_t>(height >> l, 1);
        const uint64_t ld = volume ? std::max<uint64_t>(depth >> l, 1) : 1;
        need += (blocks ? ((lw + 3) / 4) * ((lh + 3) / 4) : lw * lh) * unit * ld;
        if (need > fileSize) return false;
    }
    return 128 + need * faces <= fileSize;
}

} // namespace

bool devilHeaderSound(const std::string& path, const std::string& lowerExt)
{
    // DevIL's multi-page PCX reader never reads a page's depth or plane
    // count from the file: it decodes every page with whatever its stack
    // held, so no such file comes out right and any of them may crash it.
    if (lowerExt == "dcx") return false;
    // Readers that need the whole file walked.
    bool (*walk)(const std::vector<uint8_t>&) = nullptr;
    if (lowerExt == "pix") walk = pixStructureSound;
    if (lowerExt == "pic") walk = picStructureSound;
    if (lowerExt == "wal") walk = walStructureSound;
    if (lowerExt == "pxr") walk = pxrLengthSound;
    if (lowerExt == "mdl") walk = mdlStructureSound;
    if (lowerExt == "sgi" || lowerExt == "bw" || lowerExt == "rgb" || lowerExt == "rgba") walk = sgiStructureSound;
    if (walk) {
        std::vector<uint8_t> bytes;
        return readFileBytes(path, bytes) && walk(bytes);
    }
    if (lowerExt != "dds") return true;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    uint8_t head[512] = {};
    f.read(reinterpret_cast<char*>(head), sizeof head);
    const size_t n = size_t(f.gcount());
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return false;
    return ddsSound(head, n, size);
}

} // namespace tq
