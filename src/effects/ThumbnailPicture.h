// The effect dialog's thumbnail: the whole picture shrunk to the preview's
// size, each thumbnail pixel the mean of the block of picture pixels it
// covers, so a thumbnail of a photograph keeps its detail's tone instead of
// the sparkle of dropped pixels. It is only looked at, so a half rounds up.
#pragma once

#include "core/BitsBuffer.h"

namespace tq::effects {

// src resized to w x h (each side at least 1): the block of source pixels
// under each thumbnail pixel averaged (halves up); a side that grows
// repeats pixels. Marker bytes are 0. An empty source gives an all-black
// thumbnail.
DibRecord thumbnailPicture(const DibRecord& src, int w, int h);

} // namespace tq::effects
