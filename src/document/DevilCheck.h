// Header checks in front of DevIL's readers, which take the sizes in a file
// on trust: a damaged DirectDraw surface that claims a height of two
// thousand million rows keeps the reader busy for a minute. Formats without
// a check here go to DevIL as they are; multi-page PCX ("dcx") files never
// go, since DevIL's reader of them works on unread header fields. Alias pix,
// Softimage pic, Quake II wal, Pixar, Half-Life model and Silicon Graphics
// files are walked whole (StructureCheck.h).
#pragma once

#include <string>

namespace tq {

// False when the file's header shows a picture DevIL must not be handed: a
// bad signature, or sides outside 1..kMaxPictureSide. lowerExt is the
// extension in lower case.
bool devilHeaderSound(const std::string& path, const std::string& lowerExt);

} // namespace tq
