// Reading and writing the program-wide palette as a palette file.
#pragma once

#include <string>

namespace tq {

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

} // namespace tq
