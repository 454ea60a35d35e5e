// Rectangle gradient fills drawn by the program itself: each rectangle of
// the mesh runs linearly from the colour of its upper-left vertex to the
// colour of its lower-right vertex, across (horizontal mode) or down
// (vertical mode). Vertex colours are 16-bit per channel; a pixel takes the
// high byte of its interpolated value, so &HFF00 is full intensity.
#pragma once

#include <cstdint>

namespace tq {

namespace gdi {
class DeviceContext;
}

struct TriVertex {
    int32_t x = 0;
    int32_t y = 0;
    uint16_t Red = 0;
    uint16_t Green = 0;
    uint16_t Blue = 0;
    uint16_t Alpha = 0;   // not used by rectangle fills
};

struct GradientRect {
    uint32_t UpperLeft = 0;    // vertex indices
    uint32_t LowerRight = 0;
};

inline constexpr uint32_t kGradientFillRectH = 0;
inline constexpr uint32_t kGradientFillRectV = 1;

// Fills every rectangle of the mesh (its right and bottom edges excluded),
// clipped to the context's surface and clip rectangle. False (nothing drawn)
// without a context, vertices or rectangles, for an unknown mode or a vertex
// index outside the array.
bool GradientFill(gdi::DeviceContext* dc, const TriVertex* vertices, uint32_t vertexCount,
                  const GradientRect* mesh, uint32_t meshCount, uint32_t mode);

} // namespace tq
