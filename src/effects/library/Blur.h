// The blur kernels the effects share. Every kernel reads past the picture's
// edges as if the edge pixels went on, so a flat picture stays flat.
#pragma once

#include "effects/library/Pixels.h"

namespace tq::effects {

// Mean of the (2 rx + 1) x (2 ry + 1) box around each pixel, rounded;
// separable, in time independent of the radii. A radius of 0 leaves that
// direction as it is.
void boxBlur(ConstPixels s, Pixels d, int32_t rx, int32_t ry);

// A Gaussian blur of deviation sigma, as three box blurs in a row; sigma
// below 0.5 copies.
void gaussianBlur(ConstPixels s, Pixels d, double sigma);

// An edge-keeping blur: each pixel becomes the mean of the pixels within
// radius along a row and then along a column whose grey lies within
// tolerance of its own, so edges stronger than tolerance stay sharp.
void toleranceBlur(ConstPixels s, Pixels d, int32_t radius, int32_t tolerance);

// d = s + k / 256 x (s - blurred), per channel, rounded and held to a
// byte. blurred may be d itself.
void addDifference(ConstPixels s, Pixels d, ConstPixels blurred, int32_t k);

// The grey of a pixel, (blue + 2 green + red) / 4.
inline uint32_t greyOf(uint32_t p) { return ((p & 0xFF) + ((p >> 7) & 0x1FE) + ((p >> 16) & 0xFF)) >> 2; }

} // namespace tq::effects
