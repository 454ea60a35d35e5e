#include "filters/cBitFilter.h"

#include <cmath>

namespace tq {

void cBitFilter::syncSize()
{
    if (Bits_.allocated()) {
        MaxX = Bits_.width() - 1;
        MaxY = Bits_.height() - 1;
    } else {
        MaxX = 0;
        MaxY = 0;
    }
    bounds_ = RectI{0, 0, MaxX + 1, MaxY + 1};
}

void cBitFilter::setBits(const BitsBuffer& b)
{
    Bits_ = b;
    syncSize();
}

void cBitFilter::shareBits(const BitsBuffer& b)
{
    Bits_ = b.share();
    syncSize();
}

void cBitFilter::setBits(BitsBuffer&& b)
{
    Bits_ = std::move(b);
    syncSize();
}

int cBitFilter::threadCount() const { return threads_ > 0 ? threads_ : walkdetail::hardwareThreads(); }

void cBitFilter::SetRegionBounds(int32_t margin)
{
    const RectI box = BitsRegion_ ? BitsRegion_->boundingBox() : RectI{};
    wLeft_ = box.left + margin;
    wRight_ = box.right - margin - 1;
    wTop_ = box.top + margin;
    wBottom_ = box.bottom - margin - 1;
    if (!Bits_.allocated() || !BitsRegion_) {
        wLeft_ = 0;
        wRight_ = -1;
        wTop_ = 0;
        wBottom_ = -1;
        return;
    }
    // A region reaching outside the picture must never make a member write
    // outside the buffer.
    if (wLeft_ < 0) wLeft_ = 0;
    if (wTop_ < 0) wTop_ = 0;
    if (wRight_ > MaxX) wRight_ = MaxX;
    if (wBottom_ > MaxY) wBottom_ = MaxY;
}

void cBitFilter::BitsToDib(DibRecord& record, const BitsBuffer& source, int32_t width, int32_t height)
{
    record.header.biSize = 40;
    record.header.biWidth = width + 4;
    record.header.biHeight = -(height + 4);
    record.header.biPlanes = 1;
    record.header.biBitCount = 32;
    record.width = width + 4;
    record.height = height + 4;
    record.bits.assign(source.data(), source.data() + source.byteSize());
}

float cBitFilter::GetAngle(int32_t x, int32_t y)
{
    if (x != 0) {
        double a = std::atan(static_cast<double>(y) / static_cast<double>(x));
        if (x < 0) a += static_cast<double>(kPi);
        return single(a);
    }
    return y > 0 ? single(static_cast<double>(kPi) / 2.0) : single(-static_cast<double>(kPi) / 2.0);
}

} // namespace tq
