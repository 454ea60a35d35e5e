// Shared picture and document routines: file tests, size fitting and the
// active document.
#pragma once

#include "document/ProgramContext.h"

#include <cstdint>
#include <string>

namespace tq::mBitmap {

// True when something exists at the path (file or folder, given without a
// trailing separator); a pattern with wildcards ("*", "?", "[") is true when
// anything matches it.
bool FileExists(const std::string& path);

// Fits w x h into maxW x maxH keeping the aspect ratio and never enlarging.
// Neither side of the result is ever below 1, and no size (0 or negative
// inputs included) divides by zero: a side below 1 is taken as 1.
void FitSize(int32_t w, int32_t h, int32_t maxW, int32_t maxH, int32_t& outW, int32_t& outH);

// True, with ref set, when the main window's current child window is a
// document window; false, leaving ref as it was, otherwise.
bool GetActiveImage(DocumentRef& ref);

} // namespace tq::mBitmap
