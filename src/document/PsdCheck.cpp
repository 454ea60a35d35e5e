#include "document/PsdCheck.h"

#include "document/StructureCheck.h"
#include "core/ByteOrder.h"

#include <fstream>
#include <iterator>

namespace tq {

namespace {

// Big-endian reader that fails instead of reading past the end.
class Reader {
public:
    Reader(const std::vector<uint8_t>& b, size_t begin, size_t end) : b_(b), pos_(begin), end_(end) {}
    bool u8(uint32_t& v)
    {
        if (end_ - pos_ < 1) return false;
        v = b_[pos_++];
        return true;
    }
    bool u16(uint32_t& v)
    {
        if (end_ - pos_ < 2) return false;
        v = getBE16(&b_[pos_]);
        pos_ += 2;
        return true;
    }
    bool u32(uint32_t& v)
    {
        if (end_ - pos_ < 4) return false;
        v = getBE32(&b_[pos_]);
        pos_ += 4;
        return true;
    }
    bool skip(size_t n)
    {
        if (end_ - pos_ < n) return false;
        pos_ += n;
        return true;
    }
    size_t pos() const { return pos_; }
    size_t left() const { return end_ - pos_; }

private:
    const std::vector<uint8_t>& b_;
    size_t pos_;
    size_t end_;
};

bool resourcesSound(const std::vector<uint8_t>& b, size_t begin, size_t end)
{
    Reader r(b, begin, end);
    while (r.left() > 0) {
        uint32_t sig = 0, id = 0, nameLen = 0, size = 0;
        if (!r.u32(sig) || !r.u16(id) || !r.u8(nameLen)) return false;
        if (sig != 0x3842494Du /* 8BIM */) return false;
        // The name is a Pascal string padded to an even length, count byte included.
        if (!r.skip(nameLen + ((nameLen + 1) % 2))) return false;
        if (!r.u32(size) || !r.skip(size + (size % 2))) return false;
    }
    return true;
}

// One PackBits row: exactly rowBytes out of exactly count bytes in (no-op
// runs may follow the row).
bool packBitsRowFills(const std::vector<uint8_t>& b, size_t pos, size_t count, size_t rowBytes)
{
    const size_t end = pos + count;
    if (!packBitsRowSound(b, pos, end, rowBytes)) return false;
    while (pos < end && b[pos] == 0x80) ++pos;
    return pos == end;
}

} // namespace

bool psdStructureSound(const std::vector<uint8_t>& b)
{
    Reader r(b, 0, b.size());
    uint32_t sig = 0, version = 0, channels = 0, height = 0, width = 0, depth = 0, mode = 0;
    if (!r.u32(sig) || sig != 0x38425053u /* 8BPS */) return false;
    if (!r.u16(version) || version != 1) return false;
    if (!r.skip(6) || !r.u16(channels) || !r.u32(height) || !r.u32(width) || !r.u16(depth) || !r.u16(mode)) return false;
    if (channels < 1 || channels > 56) return false;
    if (height < 1 || height > 30000 || width < 1 || width > 30000) return false;
    if (depth != 1 && depth != 8 && depth != 16 && depth != 32) return false;
    if (mode != 0 && mode != 1 && mode != 2 && mode != 3 && mode != 4 && mode != 7 && mode != 8 && mode != 9) return false;
    if (mode == 0 && depth != 1) return false;

    uint32_t len = 0;
    // Colour mode data: an indexed picture carries its 256-entry palette.
    if (!r.u32(len) || !r.skip(len)) return false;
    if (mode == 2 && len != 768) return false;
    // Image resources.
    if (!r.u32(len)) return false;
    const size_t resBegin = r.pos();
    if (!r.skip(len) || !resourcesSound(b, resBegin, resBegin + len)) return false;
    // Layer and mask information.
    if (!r.u32(len) || !r.skip(len)) return false;

    uint32_t compression = 0;
    if (!r.u16(compression)) return false;
    const size_t rowBytes = depth == 1 ? (size_t(width) + 7) / 8 : size_t(width) * (depth / 8);
    const size_t rows = size_t(channels) * height;
    if (compression == 0) return r.left() >= rows * rowBytes;
    if (compression != 1) return false;
    // Run-length rows: a table of byte counts, then the rows one after another.
    const size_t tablePos = r.pos();
    if (!r.skip(rows * 2)) return false;
    size_t pos = r.pos();
    for (size_t i = 0; i < rows; ++i) {
        const size_t count = getBE16(&b[tablePos + 2 * i]);
        if (b.size() - pos < count || !packBitsRowFills(b, pos, count, rowBytes)) return false;
        pos += count;
    }
    return true;
}

bool psdFileStructureSound(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return psdStructureSound(bytes);
}

} // namespace tq
