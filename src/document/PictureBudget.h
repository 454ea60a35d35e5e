// Every picture the program holds is held to one memory budget (see
// core/PictureMemory.h) before its pixels are allocated: the pictures it
// opens and the pictures of a new size it makes (turned, resized, on a
// larger canvas, new, zoomed in, taken from the clipboard or the screen).
// A picture refused for it is named to the user with its size and the
// memory it would need.
#pragma once

#include <cstdint>
#include <string>

namespace tq {

// "This picture is too large to open: 300 x 200 pixels need ..."
std::string pictureTooLargeToOpenText(int64_t w, int64_t h);
// "The new picture would be too large: 300 x 200 pixels need ..."
std::string pictureTooLargeToMakeText(int64_t w, int64_t h);

// Tells the user that a w x h picture cannot be made for its memory.
void tellPictureTooLarge(int64_t w, int64_t h);

// The check every maker of a picture of a new size runs before it
// allocates: true when a w x h picture fits the budget; otherwise the user
// is told why, with the picture's size, and the result is false.
bool mayMakePicture(int64_t w, int64_t h);

} // namespace tq
