#include "filters/Palette.h"

#include "core/BitsBuffer.h"
#include "document/ProgramContext.h"
#include "platform/PictureFiles.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>

namespace tq {

PaletteRecord& CurrentPalette()
{
    std::shared_ptr<PaletteRecord>& palette = programContext().palette;
    if (!palette) palette = std::make_shared<PaletteRecord>();
    return *palette;
}

namespace PaletteFile {

std::vector<uint8_t> encode(const PaletteRecord& palette)
{
    const size_t n = palette.entries.size();
    std::vector<uint8_t> out(kHeaderSize + kEntrySize * n);
    uint8_t* p = out.data();
    putLE32(p, static_cast<uint32_t>(palette.Count));
    putLE16(p + 4, 1);
    putLE32(p + 6, static_cast<uint32_t>(n));
    putLE32(p + 10, 0);
    p += kHeaderSize;
    for (const PaletteEntry& e : palette.entries) {
        putLE32(p, static_cast<uint32_t>(e.red));
        putLE32(p + 4, static_cast<uint32_t>(e.green));
        putLE32(p + 8, static_cast<uint32_t>(e.blue));
        p += kEntrySize;
    }
    return out;
}

std::optional<PaletteRecord> decode(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < kHeaderSize) return std::nullopt;
    const uint8_t* p = bytes.data();
    const int32_t count = static_cast<int32_t>(getLE32(p));
    const uint16_t dims = getLE16(p + 4);
    const int32_t n = static_cast<int32_t>(getLE32(p + 6));
    const int32_t lowerBound = static_cast<int32_t>(getLE32(p + 10));
    if (dims != 1 || lowerBound != 0) return std::nullopt;
    if (n < 1 || n > kMaxEntries || count < 1 || count > kMaxEntries) return std::nullopt;
    if (bytes.size() < kHeaderSize + kEntrySize * static_cast<size_t>(n)) return std::nullopt;
    PaletteRecord rec;
    rec.Count = count;
    rec.entries.resize(static_cast<size_t>(count));
    p += kHeaderSize;
    for (int32_t i = 0; i < n; ++i, p += kEntrySize) {
        PaletteEntry e{static_cast<int32_t>(getLE32(p)), static_cast<int32_t>(getLE32(p + 4)),
                       static_cast<int32_t>(getLE32(p + 8))};
        for (int32_t v : {e.red, e.green, e.blue})
            if (v < 0 || v > 255) return std::nullopt;
        if (i < count) rec.entries[static_cast<size_t>(i)] = e;
    }
    return rec;
}

} // namespace PaletteFile
} // namespace tq
