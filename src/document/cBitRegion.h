// The selection of one document: the whole-picture region RegionMain, the
// selection Region (none, or a region that may be empty) and RegionScaled
// (the selection in canvas pixels at the display zoom, for the outline), the
// selection's region data, and the eight pattern brushes of the moving
// outline.
//
// When there is no selection or it is empty (IsEmptyRegion), pixel
// operations use RegionMain instead; callers make that choice.
//
// Handles: the getters lend pointers to regions this object owns; nullptr
// stands for "none". The regions live as long as the object, so a pointer
// kept past a change (the filter engine keeps one as its BitsRegion until the
// caller sets it again) reads the current region, or an empty one once the
// region is gone: never freed memory.
//
// Selection file (.qsf): the selection's region data as 32-bit
// little-endian words, nothing before or after them:
//   offset 0   size 32 (the header's size)
//   offset 4   type 1 (rectangles)
//   offset 8   count n of rectangles
//   offset 12  size of the rectangle list in bytes (16 n)
//   offset 16  bounding box left, top, right, bottom
//   offset 32  n rectangles left, top, right, bottom (right, bottom exclusive)
// 32 + 16 n bytes in all.
#pragma once

#include "gdi/PatternBrush.h"
#include "core/Region.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tq {

class cBitRegion {
public:
    // The base pattern of the outline: diagonal stripes four pixels wide.
    static constexpr std::array<uint8_t, 8> kOutlineRows{240, 120, 60, 30, 15, 135, 195, 225};
    static constexpr int32_t kBrushCount = 8;

    cBitRegion();

    // Forgets everything and makes RegionMain the rectangle (X1, Y1)-(X2, Y2),
    // right and bottom exclusive (corners in any order). No selection after.
    void Init(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

    // Combine a shape into the selection by Mode (1 AND, 2 OR, 3 XOR, 4 DIFF,
    // 5 COPY; the selection is the first operand, so COPY keeps it). Without
    // a selection the shape becomes the selection, except with DIFF, which
    // makes nothing. With Crop the result is cut to RegionMain. Corners may
    // come in any order.
    void CreateRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Mode, bool Crop);
    // The ellipse inscribed in (X1, Y1)-(X2, Y2).
    void CreateEllipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Mode, bool Crop);
    // lPoints holds x, y pairs (an odd last word is ignored); filled by the
    // winding rule. Fewer than three words do nothing.
    void CreatePolygon(const std::vector<int32_t>& lPoints, int32_t Mode, bool Crop);

    // No (or an empty) selection selects the whole picture; otherwise the
    // selection becomes RegionMain XOR selection.
    void Invert();
    // The selection cut to RegionMain.
    void Crop();
    // Moves the selection by whole pixels.
    void Offset(int32_t dX, int32_t dy);
    // Drops all three regions and the region data; zoom and brushes stay.
    void Clear();

    // The outline pixels DrawToDC paints: the one-pixel frame of RegionScaled
    // moved by the offsets, in device coordinates. Empty without a selection.
    tq::Region OutlineRegion(int32_t xOffset, int32_t yOffset) const;
    // Paints the outline onto the surface with the current brush: 0 bits in
    // textColour, 1 bits in backColour (black and white by default).
    void DrawToDC(const PixelSurface& dc, int32_t xOffset, int32_t yOffset,
                  uint32_t textColour = 0xFF000000u, uint32_t backColour = 0xFFFFFFFFu) const;
    // Steps to the next of the eight brushes, after the eighth back to the first.
    void RotateBrush();
    int32_t BrushIndex() const { return BrushIndex_; }
    // Brush i shows the base rows rotated by i: its row r is base row (r + i) mod 8.
    const Pattern8& Brush(int32_t i) const { return Brushes_[static_cast<size_t>(i & 7)]; }

    // The selection's bounding box; false (arguments untouched) when it is empty.
    bool BoundRect(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2) const;
    // True without a selection or when the selection holds no pixel.
    bool IsEmptyRegion() const;

    // Makes a selection file the selection. The file must hold a 32-byte
    // header of size 32 and type 1, its n rectangles must fit in the file and
    // each must be well formed; otherwise, or when the file cannot be read,
    // false and the selection is left as it was. The selection is not cut to
    // the picture here. Only a regular file of at most kMaxFileBytes is
    // read, and rectangles that overlap are refused when their union would be
    // too large to hold (see Region::fromData).
    static constexpr size_t kMaxFileBytes = 32 + 16 * tq::Region::kMaxDataRects;
    bool LoadFromFile(const std::filesystem::path& FileName);
    // Writes the region data as a selection file (an empty file when there is
    // no data, as after Init). The file is written beside the target and
    // renamed over it only when complete; false when that fails.
    bool SaveToFile(const std::filesystem::path& FileName) const;
    std::vector<int32_t> GetData() const { return Data_; }
    int32_t GetDataCount() const { return static_cast<int32_t>(Data_.size()); }

    // The display zoom; a negative factor is stored as 0.01, 0 leaves the
    // outline unscaled.
    void setZoomFactor(float Factor);
    float ZoomFactor() const { return ZoomFactor_; }

    // The selection; nullptr when there is none.
    const tq::Region* Region() const { return hasRegion_ ? &Region_ : nullptr; }
    // Copies the given region into the selection; nullptr leaves it unchanged.
    void setRegion(const tq::Region* lRgn);
    const tq::Region* RegionScaled() const { return hasScaled_ ? &RegionScaled_ : nullptr; }
    const tq::Region* RegionMain() const { return hasMain_ ? &RegionMain_ : nullptr; }
    // The handle the filter engine walks: the selection, or the main region
    // when nothing is selected.
    const tq::Region* walkRegion() const { return IsEmptyRegion() ? RegionMain() : Region(); }

private:
    void combineShape(const tq::Region& shape, int32_t Mode, bool Crop);
    void RefreshRegionData();
    void BuildScaledRegion(float factor);

    tq::Region RegionMain_;
    tq::Region Region_;
    tq::Region RegionScaled_;
    bool hasMain_ = false;
    bool hasRegion_ = false;
    bool hasScaled_ = false;
    float ZoomFactor_ = 1.0f;
    std::vector<int32_t> Data_;
    std::vector<int32_t> ScaledData_;
    std::array<Pattern8, kBrushCount> Brushes_{};
    int32_t BrushIndex_ = 0;
};

} // namespace tq
