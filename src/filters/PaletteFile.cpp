#include "filters/PaletteFile.h"

#include "filters/Palette.h"
#include "platform/PictureFiles.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace tq {

namespace Module7 {

bool LoadPalette(const std::string& FileName)
{
    std::vector<uint8_t> bytes;
    const size_t largest = PaletteFile::kHeaderSize + PaletteFile::kEntrySize * PaletteFile::kMaxEntries;
    if (!tq::readRegularFile(FileName, bytes, largest)) return false;
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
    if (readRegularFile(FileName, old, SIZE_MAX) && old.size() > bytes.size())
        bytes.insert(bytes.end(), old.begin() + static_cast<ptrdiff_t>(bytes.size()), old.end());
    return replaceFileWithBytes(FileName, {bytes});
}

} // namespace Module7

} // namespace tq
