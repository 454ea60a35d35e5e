// Where a picture goes on the printed page: its size in HIMETRIC (1/100 mm)
// as the screen measures it, and the rectangle of the printable area it is
// drawn into, in the printer's twips (1/1440 inch).
#pragma once

#include <cstdint>

namespace tq {

// A length of screen pixels (96 to the inch) in HIMETRIC, to the nearest
// whole unit (halves to even), as a picture reports its size.
int32_t PixelsToHimetric(int32_t pixels);

// Twips to HIMETRIC and back, each giving a single-precision value as the
// printer's length conversion does.
float TwipsToHimetric(double twips);
float HimetricToTwips(double himetric);

struct PagePlacement {
    bool ok = false;        // false: the sizes give no placement
    int32_t left = 0, top = 0;
    float width = 0, height = 0;
};

// The picture (picWidth x picHeight HIMETRIC) on a printable area of
// areaWidth x areaHeight twips. Unless fit is asked for, a picture smaller
// than the area in both directions keeps its size; any other is scaled to
// the area with its aspect kept, touching its sides when relatively wider
// and its top and bottom otherwise. center puts it in the middle (each
// margin rounded to a whole twip, the halving truncated), otherwise at the
// top-left corner. Not ok when a height is 0.
PagePlacement PlacePictureOnPage(int32_t picWidth, int32_t picHeight, float areaWidth, float areaHeight,
                                 bool center, bool fit);

} // namespace tq
