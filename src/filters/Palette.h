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

namespace Module7 {
// Replaces CurrentPalette with the palette in the file; on any failure
// returns false and leaves CurrentPalette as it was.
bool LoadPalette(const std::string& FileName);
// Writes CurrentPalette at the start of the file, keeping any longer tail
// of an existing file; the file is written whole to a temporary file in the
// same folder and renamed over the old one, so a failed save leaves it
// intact. An empty palette (no colours) is not saved.
bool SavePalette(const std::string& FileName);
} // namespace Module7

namespace Module6 {
// The first entry of CurrentPalette nearest to (r, g, b): an exact match at
// once, otherwise the smallest |dr| + |dg| + |db|. False (outputs
// untouched) when the palette is empty.
bool NearestPaletteColor(int32_t r, int32_t g, int32_t b, int32_t& rOut, int32_t& gOut, int32_t& bOut);
// The same search in a given palette.
bool NearestPaletteColor(const PaletteRecord& palette, int32_t r, int32_t g, int32_t b, int32_t& rOut,
                         int32_t& gOut, int32_t& bOut);
} // namespace Module6

} // namespace tq
