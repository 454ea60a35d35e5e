// The program-wide palette, its file format and the nearest-colour search.
//
// PaletteFile, all values little-endian:
//   offset  size    content
//   0       4       Count, signed 32-bit
//   4       2       number of dimensions of the entry array: 1
//   6       4       number of entries n, signed 32-bit (= Count when written here)
//   10      4       lower bound of the entry array: 0
//   14      12 x n  the entries: red, green, blue, each signed 32-bit
// A file holds 14 + 12 x n bytes; bytes after that are not read (a save
// over a longer file leaves its tail in place).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tq {

struct PaletteEntry {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    bool operator==(const PaletteEntry&) const = default;
};

// Count colours in entries[0 .. Count - 1]; the palette dialog keeps the two
// in step when it changes the colour count.
struct PaletteRecord {
    int32_t Count = 0;
    std::vector<PaletteEntry> entries;
    bool operator==(const PaletteRecord&) const = default;
};

// The one palette the palette dialog edits and PaletteApply uses; empty
// until a palette is loaded or the dialog sets a colour count.
PaletteRecord& CurrentPalette();

namespace PaletteFile {
inline constexpr size_t kHeaderSize = 14;
inline constexpr size_t kEntrySize = 12;
inline constexpr int32_t kMaxEntries = 256;

// The record's bytes in the layout above.
std::vector<uint8_t> encode(const PaletteRecord& palette);
// The palette stored in bytes, or nothing unless the header describes one
// dimension with lower bound 0 and 1..256 entries, all 14 + 12 x n bytes are
// present, Count is 1..256 and every entry lies in 0..255. Entries beyond
// those stored are 0; entries beyond Count are dropped.
std::optional<PaletteRecord> decode(const std::vector<uint8_t>& bytes);
} // namespace PaletteFile


} // namespace tq
