#include "filters/Palette.h"

#include "platform/BitsBuffer.h"
#include "platform/PictureFiles.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

namespace tq {

PaletteRecord& CurrentPalette()
{
    static PaletteRecord palette;
    return palette;
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

namespace {

// Reads at most maxBytes bytes of the file.
bool readFile(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes = SIZE_MAX)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    uint8_t buf[4096];
    size_t got;
    while (out.size() < maxBytes &&
           (got = std::fread(buf, 1, std::min(sizeof buf, maxBytes - out.size()), f)) > 0)
        out.insert(out.end(), buf, buf + got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace

namespace Module7 {

bool LoadPalette(const std::string& FileName)
{
    std::vector<uint8_t> bytes;
    const size_t largest = PaletteFile::kHeaderSize + PaletteFile::kEntrySize * PaletteFile::kMaxEntries;
    if (!readFile(FileName, bytes, largest)) return false;
    std::optional<PaletteRecord> rec = PaletteFile::decode(bytes);
    if (!rec) return false;
    CurrentPalette() = std::move(*rec);
    return true;
}

bool SavePalette(const std::string& FileName)
{
    const PaletteRecord& pal = CurrentPalette();
    if (pal.entries.empty()) return false;
    std::vector<uint8_t> bytes = PaletteFile::encode(pal);
    // The file is not emptied first: a longer old file keeps its tail.
    std::vector<uint8_t> old;
    if (readFile(FileName, old) && old.size() > bytes.size())
        bytes.insert(bytes.end(), old.begin() + static_cast<ptrdiff_t>(bytes.size()), old.end());
    return replaceFileWithBytes(FileName, {bytes});
}

} // namespace Module7

namespace Module6 {

bool NearestPaletteColor(const PaletteRecord& palette, int32_t r, int32_t g, int32_t b, int32_t& rOut,
                         int32_t& gOut, int32_t& bOut)
{
    const size_t n = std::min(static_cast<size_t>(palette.Count < 0 ? 0 : palette.Count), palette.entries.size());
    if (n == 0) return false;
    size_t best = 0;
    int32_t bestDistance = 765;
    for (size_t i = 0; i < n; ++i) {
        const PaletteEntry& e = palette.entries[i];
        if (e.red == r && e.green == g && e.blue == b) {
            best = i;
            break;
        }
        const int32_t distance = std::abs(r - e.red) + std::abs(g - e.green) + std::abs(b - e.blue);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    rOut = palette.entries[best].red;
    gOut = palette.entries[best].green;
    bOut = palette.entries[best].blue;
    return true;
}

bool NearestPaletteColor(int32_t r, int32_t g, int32_t b, int32_t& rOut, int32_t& gOut, int32_t& bOut)
{
    return NearestPaletteColor(CurrentPalette(), r, g, b, rOut, gOut, bOut);
}

} // namespace Module6
} // namespace tq
