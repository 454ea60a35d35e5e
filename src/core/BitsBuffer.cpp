#include "core/BitsBuffer.h"

#include "core/PictureMemory.h"

namespace tq {

void BitsBuffer::reserve(size_t n)
{
    auto fresh = std::make_shared<Bytes>();
    fresh->reserve(n);
    // Untouched until written: the advice decides the page size of the
    // first touch. Memory the heap hands back again is mapped already.
    adviseHugePages(fresh->data(), fresh->capacity());
    fresh->resize(n);
    block_ = std::move(fresh);
    p_ = block_->data();
    n_ = n;
}

void BitsBuffer::allocate(int w, int h, bool zero)
{
    if (w < 0 || h < 0 || w > kMaxPictureSide || h > kMaxPictureSide)
        throw std::length_error("picture size out of range");
    const size_t n = byteSizeFor(w, h);
    reserve(n);
    if (zero) std::memset(p_, 0, n);
    w_ = w;
    h_ = h;
}

void BitsBuffer::copyBytes(const BitsBuffer& o)
{
    const size_t n = o.n_;
    // A block of the same size is overwritten in place, unless another
    // buffer holds it too.
    if (n_ != n || shared() || p_ == o.p_) {
        block_.reset();
        p_ = nullptr;
        n_ = 0;
        if (n) reserve(n);
    }
    if (n) std::memcpy(p_, o.p_, n);
}

void BitsBuffer::clearMargin()
{
    if (!allocated()) return;
    unshare();
    const size_t stride = 4u * static_cast<size_t>(w_ + 4);
    const size_t margin = 4u * kMargin;
    uint8_t* p = p_;
    std::memset(p, 0, stride * kMargin);
    for (int y = 0; y < h_; ++y) {
        uint8_t* r = p + stride * static_cast<size_t>(y + kMargin);
        std::memset(r, 0, margin);
        std::memset(r + stride - margin, 0, margin);
    }
    std::memset(p + stride * static_cast<size_t>(h_ + kMargin), 0, stride * kMargin);
}

void BitsHeader::writeTo(uint8_t* out) const
{
    putLE32(out + 0, static_cast<uint32_t>(biSize));
    putLE32(out + 4, static_cast<uint32_t>(biWidth));
    putLE32(out + 8, static_cast<uint32_t>(biHeight));
    putLE16(out + 12, static_cast<uint16_t>(biPlanes));
    putLE16(out + 14, static_cast<uint16_t>(biBitCount));
    putLE32(out + 16, static_cast<uint32_t>(biCompression));
    putLE32(out + 20, static_cast<uint32_t>(biSizeImage));
    putLE32(out + 24, static_cast<uint32_t>(biXPelsPerMeter));
    putLE32(out + 28, static_cast<uint32_t>(biYPelsPerMeter));
    putLE32(out + 32, static_cast<uint32_t>(biClrUsed));
    putLE32(out + 36, static_cast<uint32_t>(biClrImportant));
}

BitsHeader BitsHeader::readFrom(const uint8_t* in)
{
    BitsHeader h;
    h.biSize = static_cast<int32_t>(getLE32(in + 0));
    h.biWidth = static_cast<int32_t>(getLE32(in + 4));
    h.biHeight = static_cast<int32_t>(getLE32(in + 8));
    h.biPlanes = static_cast<int16_t>(getLE16(in + 12));
    h.biBitCount = static_cast<int16_t>(getLE16(in + 14));
    h.biCompression = static_cast<int32_t>(getLE32(in + 16));
    h.biSizeImage = static_cast<int32_t>(getLE32(in + 20));
    h.biXPelsPerMeter = static_cast<int32_t>(getLE32(in + 24));
    h.biYPelsPerMeter = static_cast<int32_t>(getLE32(in + 28));
    h.biClrUsed = static_cast<int32_t>(getLE32(in + 32));
    h.biClrImportant = static_cast<int32_t>(getLE32(in + 36));
    return h;
}

} // namespace tq
