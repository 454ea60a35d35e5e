// The computations behind the image size, canvas size, orientation, rotation
// and new-image dialogs (and the main window's rotation keys): each builds
// the new picture in an engine from a source picture that the caller has
// already taken from the document, and touches no window. The document is
// changed only afterwards, by the caller, when the whole result exists; a
// failure leaves it as it was.
//
// On success the engine's Bits hold the result. The engine's region is
// cleared (nullptr) on every way out: the regions used while computing are
// local, and the caller gives the engine the document's new region.
//
// Before a computation allocates a picture of a new size it holds that
// picture to the memory budget opening uses; the largest one it would make
// that does not fit ends it as OverBudget, with that picture's size, before
// anything is allocated.
#pragma once

#include "core/BitsBuffer.h"

#include <cstdint>
#include <optional>

namespace tq {

class cBitFilter;

struct GeometryOutcome {
    enum Kind {
        Done,
        TooLarge,     // a side of the result (or of the work canvas) above kMaxPictureSide
        NoMemory,     // a buffer could not be had
        OverBudget,   // a picture the computation would make needs more memory than the budget
    };
    Kind kind = NoMemory;
    // OverBudget: the size of the picture that did not fit.
    int64_t width = 0;
    int64_t height = 0;

    constexpr GeometryOutcome(Kind k = NoMemory) : kind(k) {}
    static constexpr GeometryOutcome overBudget(int64_t w, int64_t h)
    {
        GeometryOutcome o(OverBudget);
        o.width = w;
        o.height = h;
        return o;
    }
    friend constexpr bool operator==(const GeometryOutcome& a, const GeometryOutcome& b) { return a.kind == b.kind; }
};

// ---- Sizes ------------------------------------------------------------------

// Where the old picture's left (top) edge goes on a canvas of newSide pixels
// when it is anchored in grid cell 0 (left, top), 1 (centre) or 2 (right,
// bottom): (newSide - oldSide) * cell / 2 to the nearest whole number,
// halves to even. So the centre cell puts the odd pixel of a growth on the
// right and cuts the odd pixel of a shrink on the left.
int64_t anchorOffset(int64_t newSide, int64_t oldSide, int32_t cell);

// A picture of w x h turned by `degrees`: the size of the turned picture's
// bounding box, nearest(w |cos| + h |sin|) by nearest(w |sin| + h |cos|)
// with |cos| and |sin| kept as singles, and the side of the square work
// canvas, nearest(sqrt(w^2 + h^2)), computed in 64 bits so no picture side
// overflows it.
struct TurnedSize {
    int64_t width = 0;
    int64_t height = 0;
    int64_t diagonal = 0;
};
TurnedSize turnedSize(int64_t w, int64_t h, int32_t degrees);

// True for the turns done as flips and quarter turns, which lose no column
// or row: 0 and +-180 degrees, and +-90 degrees with plain sampling.
bool isLosslessTurn(int32_t degrees, bool smooth);

// ---- The computations -----------------------------------------------------

// source rescaled to W x H: bilinear when smooth, else the nearest source pixel.
GeometryOutcome resizePicture(cBitFilter& engine, const BitsBuffer& source, int64_t W, int64_t H, bool smooth);

// A black W x H canvas with the source's blue, green and red copied onto it
// with its top-left pixel at (dx, dy); what falls outside is cut off. Every
// marker byte of the result is 0.
GeometryOutcome placeOnCanvas(cBitFilter& engine, const BitsBuffer& source, int64_t W, int64_t H, int64_t dx,
                              int64_t dy);

// A quarter turn counter-clockwise (quarterTurn), then the mirrors.
GeometryOutcome orientPicture(cBitFilter& engine, const BitsBuffer& source, bool quarterTurn, bool flipH,
                              bool flipV);

// source turned by `degrees` (counter-clockwise on screen for a positive
// angle) onto a canvas that holds the whole turned picture, black where it
// leaves the canvas uncovered. The lossless turns (isLosslessTurn) are done
// as flips and quarter turns; every other angle is placed on the square work
// canvas, turned there with nearest or bilinear sampling about the canvas
// centre and cut back to the turned size.
GeometryOutcome turnPicture(cBitFilter& engine, const BitsBuffer& source, int32_t degrees, bool smooth);

// A new W x H picture: every byte 0, or with `colour` (red in the low byte)
// in blue, green and red of every pixel and 0 in the marker bytes.
GeometryOutcome blankPicture(cBitFilter& engine, int64_t W, int64_t H, std::optional<int32_t> colour);

} // namespace tq
