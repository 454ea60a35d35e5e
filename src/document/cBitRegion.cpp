#include "document/cBitRegion.h"

#include "core/BitsBuffer.h"
#include "document/Numeric.h"
#include "platform/PictureFiles.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace tq {

namespace {

// Region data as the selection code builds regions from it: the header must
// be sound and the rectangles must fit, but rectangles that scaling has made
// empty are passed over rather than refused.
bool regionFromScaledData(const std::vector<int32_t>& words, Region& out)
{
    if (words.size() < Region::kDataHeaderWords) return false;
    if (words[0] != Region::kDataHeaderSize || words[1] != Region::kDataTypeRectangles) return false;
    const int64_t n = words[2];
    if (n < 0 || static_cast<uint64_t>(n) > (words.size() - Region::kDataHeaderWords) / 4) return false;
    std::vector<RectI> rects;
    rects.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
        const int32_t* w = words.data() + Region::kDataHeaderWords + 4 * i;
        rects.push_back(RectI{w[0], w[1], w[2], w[3]});
    }
    out = Region::fromRects(std::move(rects));
    return true;
}

RectI ordered(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2)
{
    return RectI{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2)};
}

} // namespace

cBitRegion::cBitRegion()
{
    for (int32_t i = 0; i < kBrushCount; ++i)
        for (int32_t r = 0; r < 8; ++r)
            Brushes_[static_cast<size_t>(i)].rows[static_cast<size_t>(r)] = kOutlineRows[static_cast<size_t>((r + i) % 8)];
}

void cBitRegion::Init(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2)
{
    Clear();
    RegionMain_ = tq::Region::rect(ordered(X1, Y1, X2, Y2));
    hasMain_ = true;
}

void cBitRegion::combineShape(const tq::Region& shape, int32_t Mode, bool Crop)
{
    if (hasRegion_) {
        // An unknown mode changes nothing, as a failed combine would.
        if (Mode >= 1 && Mode <= 5) Region_ = tq::Region::combine(Region_, shape, static_cast<CombineMode>(Mode));
    } else if (Mode != static_cast<int32_t>(CombineMode::Diff)) {
        Region_ = shape;
        hasRegion_ = true;
    }
    if (Crop && hasRegion_ && hasMain_) Region_ = tq::Region::combine(Region_, RegionMain_, CombineMode::And);
    RefreshRegionData();
}

void cBitRegion::CreateRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Mode, bool Crop)
{
    combineShape(tq::Region::rect(ordered(X1, Y1, X2, Y2)), Mode, Crop);
}

void cBitRegion::CreateEllipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Mode, bool Crop)
{
    combineShape(tq::Region::ellipse(X1, Y1, X2, Y2), Mode, Crop);
}

void cBitRegion::CreatePolygon(const std::vector<int32_t>& lPoints, int32_t Mode, bool Crop)
{
    if (lPoints.size() < 3) return;
    std::vector<PointI> points;
    points.reserve(lPoints.size() / 2);
    for (size_t i = 0; i + 1 < lPoints.size(); i += 2) points.push_back(PointI{lPoints[i], lPoints[i + 1]});
    combineShape(tq::Region::polygon(points, FillMode::Winding), Mode, Crop);
}

void cBitRegion::Invert()
{
    const RectI selBox = hasRegion_ ? Region_.boundingBox() : RectI{};
    const RectI mainBox = hasMain_ ? RegionMain_.boundingBox() : RectI{};
    if (selBox.isEmpty()) {
        Region_ = tq::Region::rect(mainBox);
        hasRegion_ = true;
    } else if (hasMain_) {
        Region_ = tq::Region::combine(RegionMain_, Region_, CombineMode::Xor);
    }
    RefreshRegionData();
}

void cBitRegion::Crop()
{
    if (hasRegion_ && hasMain_) Region_ = tq::Region::combine(RegionMain_, Region_, CombineMode::And);
    RefreshRegionData();
}

void cBitRegion::Offset(int32_t dX, int32_t dy)
{
    if (hasRegion_) Region_.offset(dX, dy);
    RefreshRegionData();
}

void cBitRegion::Clear()
{
    // The regions are emptied, not destroyed, so a handle lent out earlier
    // reads an empty region.
    RegionMain_ = tq::Region();
    Region_ = tq::Region();
    RegionScaled_ = tq::Region();
    hasMain_ = hasRegion_ = hasScaled_ = false;
    Data_.clear();
    ScaledData_.clear();
}

tq::Region cBitRegion::OutlineRegion(int32_t xOffset, int32_t yOffset) const
{
    if (!hasScaled_) return tq::Region();
    return RegionScaled_.offsetted(xOffset, yOffset).frame(1, 1);
}

void cBitRegion::DrawToDC(const PixelSurface& dc, int32_t xOffset, int32_t yOffset, uint32_t textColour,
                          uint32_t backColour) const
{
    if (!hasScaled_) return;
    paintPattern(dc, OutlineRegion(xOffset, yOffset), Brush(BrushIndex_), textColour, backColour);
}

void cBitRegion::RotateBrush()
{
    BrushIndex_ = BrushIndex_ + 1;
    if (BrushIndex_ >= kBrushCount) BrushIndex_ = 0;
}

bool cBitRegion::BoundRect(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2) const
{
    const RectI box = hasRegion_ ? Region_.boundingBox() : RectI{};
    if (box.isEmpty()) return false;
    X1 = box.left;
    Y1 = box.top;
    X2 = box.right;
    Y2 = box.bottom;
    return true;
}

bool cBitRegion::IsEmptyRegion() const
{
    return !hasRegion_ || Region_.isEmpty();
}

bool cBitRegion::LoadFromFile(const std::filesystem::path& FileName)
{
    // Only a plain file of at most the most a selection may have: a device
    // or a huge file picked by mistake is refused before it is read.
    std::vector<uint8_t> bytes;
    if (!tq::readRegularFile(FileName.string(), bytes, kMaxFileBytes, true)) return false;
    std::vector<int32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<int32_t>(getLE32(bytes.data() + 4 * i));
    std::optional<tq::Region> loaded = tq::Region::fromData(words);
    if (!loaded) return false;
    Data_ = std::move(words);
    Region_ = std::move(*loaded);
    hasRegion_ = true;
    BuildScaledRegion(ZoomFactor_);
    return true;
}

bool cBitRegion::SaveToFile(const std::filesystem::path& FileName) const
{
    std::vector<uint8_t> bytes(Data_.size() * 4);
    for (size_t i = 0; i < Data_.size(); ++i) putLE32(bytes.data() + 4 * i, static_cast<uint32_t>(Data_[i]));
    return replaceFileWithBytes(FileName.string(), {bytes});
}

void cBitRegion::setZoomFactor(float Factor)
{
    ZoomFactor_ = Factor < 0.0f ? 0.01f : Factor;
    BuildScaledRegion(ZoomFactor_);
}

void cBitRegion::setRegion(const tq::Region* lRgn)
{
    if (!lRgn) return;
    tq::Region copy = *lRgn;
    Data_ = copy.toData();
    Region_ = std::move(copy);
    hasRegion_ = true;
    BuildScaledRegion(ZoomFactor_);
}

void cBitRegion::RefreshRegionData()
{
    if (!hasRegion_) return;
    Data_ = Region_.toData();
    BuildScaledRegion(ZoomFactor_);
}

void cBitRegion::BuildScaledRegion(float factor)
{
    if (!hasRegion_) return;
    ScaledData_ = Data_;
    if (factor > 0.0f) {
        // Scaling the rectangles keeps picture pixel (x, y) on the canvas
        // square (x z, y z)-((x + 1) z, (y + 1) z), so the outline runs along
        // the borders of the enlarged pixels. The header's first four words
        // are counts, not coordinates.
        for (size_t i = 4; i < ScaledData_.size(); ++i)
            ScaledData_[i] = rnd(static_cast<double>(factor) * static_cast<double>(ScaledData_[i]));
    }
    tq::Region scaled;
    hasScaled_ = regionFromScaledData(ScaledData_, scaled);
    RegionScaled_ = hasScaled_ ? std::move(scaled) : tq::Region();
}

} // namespace tq
