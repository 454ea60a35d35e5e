// The blurs that follow circles and rays about the picture's middle, worked
// on the picture resampled in polar form: a turn about the middle or a
// zoom from it becomes a plain box blur along one direction there, whose
// cost does not grow with its length.
#pragma once

#include "effects/library/Pixels.h"

namespace tq::effects {

// Each pixel the mean of the arc through it about (cx, cy) spanning turn
// radians, half each way.
void spinBlur(ConstPixels s, Pixels d, double cx, double cy, double turn);

// Each pixel the mean of the points on the ray from (cx, cy) through it,
// from the pixel in to the point share of the way nearer the middle
// (share 0 to below 1).
void rayBlur(ConstPixels s, Pixels d, double cx, double cy, double share);

} // namespace tq::effects
