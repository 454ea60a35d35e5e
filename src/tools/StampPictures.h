// The stamp pictures: the nine built-in stamps the program draws itself
// (24-bit pictures, numbers 2 and 3 of 100 x 100 pixels, the others 48 x 48:
// dark shapes on white, so that a grey mask paints the shape alone), the
// listing of the Stamps folder, and the copy of a stamp picture's pixels
// that the tools read (StampBits).
#pragma once

#include "core/BitsBuffer.h"

#include <QImage>

#include <string>
#include <vector>

namespace tq::tools {

inline constexpr int kBuiltInStampCount = 9;
// The size of the pictures in the "Defined" list.
inline constexpr int kStampListIconSize = 20;

// Built-in stamp n (1 to 9) at full size, opaque 32-bit; null for another n.
QImage builtInStamp(int n);
// The same picture as the list shows it, 20 x 20.
QImage builtInStampIcon(int n);
// Built-in stamp n as the pixel record the tools copy from.
DibRecord builtInStampPicture(int n);

// The stamp files of a folder, by name: those whose extension is "bmp",
// "gif" or "ico" in any letter case and whose first bytes are those of a
// picture of that kind (stampHeaderSound), sorted by name without regard to
// letter case. Nothing is decoded: a picture is decoded when it is chosen,
// and one that does not decode then leaves the list. Empty when the folder
// does not exist.
std::vector<std::string> ListStampFiles(const std::string& folder);
// The cheap check of a stamp file's header, by its extension (lower case,
// without the dot): a bitmap starts with "BM" and an information header
// of a known size, a GIF with "GIF87a" or "GIF89a", an icon with 0, the
// type 1 and at least one image.
bool stampHeaderSound(const std::string& path, const std::string& ext);
// A file's entry in the "User-Defined" list: its name less the last four
// characters (the dot and the extension).
std::string stampEntryCaption(const std::string& fileName);

// The pixels of a picture as w x h stamp pixels in a buffer whose picture
// area is the stamp (its margin is not used); unallocated when w or h is
// below 1. A part outside the picture stays 0.
BitsBuffer StampBitsOf(const DibRecord* picture, int w, int h);

} // namespace tq::tools
