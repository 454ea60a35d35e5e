// The pictures of the browser's file types, drawn by the program itself as
// its tool pictures are (the desktop's icon themes need not be there): a
// page with its corner turned down. A picture type's page holds a small
// landscape under a sky of the type's own colour and, from 24 pixels up,
// the extension on a band of that colour; every other file gets the plain
// page with lines of text.
#pragma once

#include <QImage>

#include <string_view>

namespace tq::browser {

// The picture of files with this lower-case extension, side x side pixels
// (the list shows 32 and 16): a picture type's own picture for the 50 icon
// extensions, the generic page for any other.
QImage fileTypePicture(std::string_view extension, int side);

} // namespace tq::browser
