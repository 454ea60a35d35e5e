#include "filters/PaletteFile.h"

#include "filters/Palette.h"
#include "platform/PictureFiles.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace tq {

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
    // Refused before the old file is read for its tail: reading a FIFO
    // would wait for a writer that never comes.
    if (!writeTargetRefusal(FileName).empty()) return false;
    std::vector<uint8_t> bytes = PaletteFile::encode(pal);
    // The file is not emptied first: a longer old file keeps its tail.
    std::vector<uint8_t> old;
    if (readFile(FileName, old) && old.size() > bytes.size())
        bytes.insert(bytes.end(), old.begin() + static_cast<ptrdiff_t>(bytes.size()), old.end());
    return replaceFileWithBytes(FileName, {bytes});
}

} // namespace Module7

} // namespace tq
