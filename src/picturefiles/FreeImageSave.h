// Writing a FreeImage image to a file with every error seen, and without
// ever destroying the file it replaces.
//
// FreeImage's own file writer ignores a failed flush or close, so a full
// disk or a size limit would pass for success with a truncated file. Here
// it writes through a stream whose every error is seen, into a temporary
// file in the target's folder that replaces the target only when complete
// (replaceFileSafely).
#pragma once

#include <string>

struct FIBITMAP;

namespace tq {

// FreeImage's saver of format fif into the file at path (made or
// truncated), every write, the flush and the close checked; false when any
// failed. The caller decides what the file is (usually a temporary one).
bool saveFreeImageToFile(int fif, FIBITMAP* image, const std::string& path, int flags);

// FreeImage's saver of format fif (a FREE_IMAGE_FORMAT) with its flags;
// true when the file at path is the complete new one, false with whatever
// was at path left as it was.
bool saveFreeImageSafely(int fif, FIBITMAP* image, const std::string& path, int flags);

} // namespace tq
