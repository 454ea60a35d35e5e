#include "platform/BitsBuffer.h"

namespace tq {

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
