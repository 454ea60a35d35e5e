#include "tools/DocumentPaint.h"

#include "document/Numeric.h"

#include <cstring>

namespace tq {

DocumentPaint::DocumentPaint(BitsBuffer& bits, const cBitRegion& selection) : bits_(bits), selection_(selection) {}

int32_t DocumentPaint::BitsGetPixel(int32_t X, int32_t Y) const
{
    if (!bits_.allocated()) return -1;
    if (X < 0 || Y < 0 || X >= bits_.width() || Y >= bits_.height()) return 0;
    const uint8_t* p = bits_.pixel(X, Y);
    return rgbColor(p[2], p[1], p[0]);
}

const Region* DocumentPaint::GetPaintRegion() const
{
    return selection_.walkRegion();
}

const Region* DocumentPaint::wholePictureRegion() const
{
    return selection_.RegionMain();
}

bool DocumentPaint::inRegion(const Region* rgn, int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= bits_.width() || y >= bits_.height()) return false;
    return rgn == nullptr || rgn->contains(x, y);
}

void DocumentPaint::CreateDoneBitsTable()
{
    const int32_t w = bits_.allocated() ? bits_.width() : 0;
    const int32_t h = bits_.allocated() ? bits_.height() : 0;
    DoneStride_ = static_cast<size_t>(w) + 3;
    // A map of the same size is cleared in place: a stroke on a large
    // picture starts without a fresh allocation.
    const size_t size = DoneStride_ * (static_cast<size_t>(h) + 3);
    if (DoneBits_.size() == size)
        std::memset(DoneBits_.data(), 0, size);
    else
        DoneBits_.assign(size, 0);
    DoneWidth_ = w;
    DoneHeight_ = h;
}

void DocumentPaint::ensureDoneBits()
{
    if (DoneWidth_ != bits_.width() || DoneHeight_ != bits_.height()) CreateDoneBitsTable();
}

bool DocumentPaint::DoneBits(int32_t x, int32_t y) const
{
    if (DoneBits_.empty() || x < 0 || y < 0 || x > DoneWidth_ + 2 || y > DoneHeight_ + 2) return false;
    return DoneBits_[static_cast<size_t>(y) * DoneStride_ + static_cast<size_t>(x)] != 0;
}

} // namespace tq
