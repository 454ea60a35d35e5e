#include "document/StructureCheck.h"

#include "core/BitsBuffer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tq {

namespace {

bool sideOk(uint64_t v) { return v >= 1 && v <= uint64_t(kMaxPictureSide); }

} // namespace

bool packBitsRowSound(const std::vector<uint8_t>& b, size_t& pos, size_t end, size_t rowBytes)
{
    size_t out = 0;
    while (out < rowBytes) {
        if (pos >= end) return false;
        const int n = int8_t(b[pos++]);
        if (n >= 0) {
            const size_t len = size_t(n) + 1;
            if (end - pos < len || rowBytes - out < len) return false;
            pos += len;
            out += len;
        } else if (n != -128) {
            const size_t len = size_t(1 - n);
            if (end - pos < 1 || rowBytes - out < len) return false;
            pos += 1;
            out += len;
        }
    }
    return true;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    // In one read: the JPEG and bitmap checks see large files.
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) return false;
    const std::streamoff size = f.tellg();
    if (size < 0) return false;
    f.seekg(0);
    try {
        bytes.resize(size_t(size));
    } catch (...) {
        return false;
    }
    f.read(reinterpret_cast<char*>(bytes.data()), size);
    return f.gcount() == size;
}

bool iffStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "FORM") return false;
    const std::string type(b.begin() + 8, b.begin() + 12);
    const bool chunky = type == "PBM ";
    if (!chunky && type != "ILBM") return false;
    const uint64_t formSize = getBE32(&b[4]);
    if (formSize < 4 || formSize > b.size() - 8) return false;
    const size_t end = size_t(8 + formSize);

    bool haveHeader = false;
    uint32_t w = 0, h = 0, planes = 0, masking = 0, compression = 0;
    size_t pos = 12;
    while (end - pos >= 8) {
        const std::string id(b.begin() + long(pos), b.begin() + long(pos) + 4);
        const uint64_t size = getBE32(&b[pos + 4]);
        pos += 8;
        if (size > end - pos) return false;
        const size_t data = pos;
        if (id == "BMHD") {
            if (size < 20) return false;
            w = getBE16(&b[data]);
            h = getBE16(&b[data + 2]);
            planes = b[data + 8];
            masking = b[data + 9];
            compression = b[data + 10];
            if (!sideOk(w) || !sideOk(h) || compression > 1 || masking > 3) return false;
            if (chunky ? planes != 8 : !((planes >= 1 && planes <= 8) || planes == 24 || planes == 32)) return false;
            haveHeader = true;
        } else if (id == "CMAP") {
            if (size > 768) return false;
        } else if (id == "BODY") {
            if (!haveHeader) return false;
            // Chunky lines hold a byte per pixel; interleaved lines one
            // word-aligned row per plane, and one more for a mask.
            const size_t rowBytes = chunky ? (size_t(w) + 1) & ~size_t(1) : ((size_t(w) + 15) / 16) * 2;
            const size_t rowsPerLine = chunky ? 1 : planes + (masking == 1 ? 1 : 0);
            const size_t bodyEnd = data + size_t(size);
            if (compression == 0) return uint64_t(rowBytes) * rowsPerLine * h <= size;
            size_t p = data;
            for (size_t row = 0; row < size_t(h) * rowsPerLine; ++row)
                if (!packBitsRowSound(b, p, bodyEnd, rowBytes)) return false;
            return true;
        }
        pos += size_t(size) + (size % 2);
        if (pos > end) return false;
    }
    return false;   // no picture body
}

bool cutStructureSound(const std::vector<uint8_t>& b)
{
    // Sides, a reserved word, and the first line's byte count.
    if (b.size() < 8) return false;
    const uint32_t w = getLE16(&b[0]), h = getLE16(&b[2]);
    if (!sideOk(w) || !sideOk(h)) return false;
    // The reader fills lines top-down until it has w * h pixels; a line
    // ends with a 0 followed by the next line's byte count.
    const uint64_t total = uint64_t(w) * h;
    uint64_t done = 0;
    uint32_t x = 0, line = 0;
    size_t pos = 8;
    while (done < total) {
        if (pos >= b.size()) return false;
        uint32_t count = b[pos++];
        if (count == 0) {
            if (++line >= h || b.size() - pos < 2) return false;
            pos += 2;
            x = 0;
            continue;
        }
        const bool run = count & 0x80;
        count &= 0x7F;
        if (x + count > w) return false;
        const size_t need = run ? 1 : count;
        if (b.size() - pos < need) return false;
        pos += need;
        x += count;
        done += count;
    }
    return true;
}

bool koalaStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() == 10003) return b[0] == 0x00 && b[1] == 0x60;
    return b.size() == 10001;
}

bool pcdLengthSound(uint64_t fileSize) { return fileSize >= 0x30000u + 768u * 512u * 3u / 2u; }

bool pixStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 10) return false;
    const uint32_t w = getBE16(&b[0]), h = getBE16(&b[2]), bpp = getBE16(&b[8]);
    if (!sideOk(w) || !sideOk(h) || bpp != 24) return false;
    // Runs of count, blue, green, red that add up to exactly w * h pixels.
    const uint64_t total = uint64_t(w) * h;
    uint64_t done = 0;
    for (size_t pos = 10; done < total; pos += 4) {
        if (b.size() - pos < 4) return false;
        done += b[pos];
        if (done > total) return false;
    }
    return true;
}

bool picStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 104 || getBE32(&b[0]) != 0x5380F634u || std::string(b.begin() + 88, b.begin() + 92) != "PICT")
        return false;
    const uint32_t w = getBE16(&b[92]), h = getBE16(&b[94]);
    if (!sideOk(w) || !sideOk(h)) return false;
    struct Packet {
        uint32_t type, channels;
    };
    std::vector<Packet> packets;
    uint32_t allChannels = 0;
    size_t pos = 104;
    for (bool chained = true; chained;) {
        if (b.size() - pos < 4 || packets.size() >= 8) return false;
        chained = b[pos] != 0;
        const uint32_t size = b[pos + 1], type = b[pos + 2], mask = b[pos + 3];
        if (size != 8 || type > 2 || mask == 0 || (mask & 0x0F)) return false;
        uint32_t channels = 0;
        for (uint32_t m = mask; m; m &= m - 1) ++channels;
        packets.push_back({type, channels});
        allChannels |= mask;
        pos += 4;
    }
    // The reader keeps a picture without alpha in three bytes a pixel but
    // writes four, past its buffer; and it overruns uncompressed lines.
    if (!(allChannels & 0x10)) return false;
    for (const Packet& p : packets)
        if (p.type == 0) return false;
    // Every scan line of every packet: runs that never pass the line's end.
    for (uint32_t y = 0; y < h; ++y)
        for (const Packet& p : packets) {
            const size_t pixel = p.channels;
            if (p.type == 0) {
                const uint64_t need = uint64_t(w) * pixel;
                if (b.size() - pos < need) return false;
                pos += size_t(need);
                continue;
            }
            for (uint32_t left = w; left > 0;) {
                if (pos >= b.size()) return false;
                uint32_t count = b[pos++];
                size_t values = 1;   // pixels of data after the count
                if (p.type == 1) {
                } else if (count < 128) {
                    values = ++count;
                } else if (count == 128) {
                    if (b.size() - pos < 2) return false;
                    count = getBE16(&b[pos]);
                    pos += 2;
                } else {
                    count -= 127;
                }
                if (count == 0 || count > left || b.size() - pos < values * pixel) return false;
                pos += values * pixel;
                left -= count;
            }
        }
    return true;
}

bool walStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 100) return false;
    const uint32_t w = getLE32(&b[32]), h = getLE32(&b[36]);
    if (!sideOk(w) || !sideOk(h)) return false;
    for (int level = 0; level < 4; ++level) {
        const uint64_t lw = w >> level, lh = h >> level;
        const uint64_t offset = getLE32(&b[40 + 4 * level]);
        if (lw < 1 || lh < 1 || offset < 100 || offset + lw * lh > b.size()) return false;
    }
    return true;
}

bool mdlStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 244 || std::memcmp(b.data(), "IDST", 4) != 0) return false;
    const uint64_t count = getLE32(&b[180]), table = getLE32(&b[184]);
    if (count < 1 || table < 244 || table > b.size() || count > (b.size() - table) / 80) return false;
    // Each 80-byte record: name, flags, sides, and where its palette
    // indices start; 256 RGB palette entries follow them.
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* r = &b[size_t(table + 80 * i)];
        const uint32_t w = getLE32(r + 68), h = getLE32(r + 72);
        const uint64_t at = getLE32(r + 76);
        if (!sideOk(w) || !sideOk(h) || at > b.size() || uint64_t(w) * h + 768 > b.size() - at) return false;
    }
    return true;
}

bool pcxStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 128 || b[0] != 10 || b[2] > 1) return false;
    const uint32_t bpp = b[3], planes = b[65], bpl = getLE16(&b[66]);
    const int32_t x0 = int16_t(getLE16(&b[4])), y0 = int16_t(getLE16(&b[6]));
    const int32_t x1 = int16_t(getLE16(&b[8])), y1 = int16_t(getLE16(&b[10]));
    const int64_t w = int64_t(x1) - x0 + 1, h = int64_t(y1) - y0 + 1;
    if (w < 1 || h < 1 || !sideOk(uint64_t(w)) || !sideOk(uint64_t(h))) return false;
    const bool known = (bpp == 1 && (planes == 1 || planes == 4)) || (bpp == 4 && planes == 1)
                       || (bpp == 8 && (planes == 1 || planes == 3 || planes == 4));
    if (!known || uint64_t(bpl) * 8 < uint64_t(w) * bpp) return false;
    // An 8-bit palette picture keeps its palette in the last 769 bytes.
    const size_t end = (bpp == 8 && planes == 1) ? b.size() - std::min<size_t>(b.size(), 769) : b.size();
    if (end < 128) return false;
    // Version 5 puts a 256-colour picture's palette after a 0x0C mark at
    // the very end; a file cut short loses it first.
    if (b[1] == 5 && bpp == 8 && planes == 1 && (b.size() < 128 + 769 || b[b.size() - 769] != 0x0C)) return false;
    const uint64_t line = uint64_t(bpl) * planes;
    size_t pos = 128;
    if (b[2] == 0) return 128 + line * uint64_t(h) <= end;
    // Run-length lines: a run never reaches past the end of its scan line.
    for (int64_t y = 0; y < h; ++y)
        for (uint64_t done = 0; done < line;) {
            if (pos >= end) return false;
            const uint8_t c = b[pos++];
            uint64_t count = 1;
            if (c >= 0xC0) {
                count = c & 0x3F;
                if (pos >= end) return false;
                ++pos;
            }
            if (done + count > line) return false;
            done += count;
        }
    return true;
}

bool pnmLengthSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 3 || b[0] != 'P' || b[1] < '1' || b[1] > '6') return false;
    const char kind = char(b[1]);
    if (kind <= '3') return true;   // text pixels: the reader fails on what is missing
    size_t pos = 2;
    // Header numbers separated by white space and "#" comments.
    auto number = [&](uint64_t& v) {
        while (pos < b.size()) {
            if (b[pos] == '#') {
                while (pos < b.size() && b[pos] != '\n' && b[pos] != '\r') ++pos;
            } else if (b[pos] == ' ' || b[pos] == '\t' || b[pos] == '\n' || b[pos] == '\r') {
                ++pos;
            } else {
                break;
            }
        }
        v = 0;
        size_t digits = 0;
        while (pos < b.size() && b[pos] >= '0' && b[pos] <= '9' && digits < 10) {
            v = v * 10 + uint64_t(b[pos++] - '0');
            ++digits;
        }
        return digits > 0;
    };
    uint64_t w = 0, h = 0, maxval = 1;
    if (!number(w) || !number(h) || !sideOk(w) || !sideOk(h)) return false;
    if (kind != '4' && (!number(maxval) || maxval < 1 || maxval > 65535)) return false;
    ++pos;   // the one white-space byte before the pixels
    const uint64_t sample = maxval > 255 ? 2 : 1;
    const uint64_t need = kind == '4' ? (w + 7) / 8 * h : w * h * sample * (kind == '6' ? 3 : 1);
    return pos <= b.size() && need <= b.size() - pos;
}

bool tgaStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 18) return false;
    const uint32_t idLength = b[0], mapType = b[1], type = b[2];
    const uint64_t mapLength = getLE16(&b[5]), mapEntryBits = b[7];
    const uint32_t w = getLE16(&b[12]), h = getLE16(&b[14]), depth = b[16];
    if (!sideOk(w) || !sideOk(h) || mapType > 1) return false;
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
    const bool rle = type >= 9 && type <= 11;
    if (!rle && (type < 1 || type > 3)) return false;
    const uint64_t pixel = (depth + 7) / 8;
    const uint64_t start = 18 + idLength + (mapType ? mapLength * ((mapEntryBits + 7) / 8) : 0);
    if (start > b.size()) return false;
    const uint64_t total = uint64_t(w) * h;
    if (!rle) return total * pixel <= b.size() - start;
    // Run-length packets: a header byte, then one pixel (run) or count pixels.
    uint64_t done = 0;
    for (size_t pos = size_t(start); done < total;) {
        if (pos >= b.size()) return false;
        const uint8_t head = b[pos++];
        const uint64_t count = (head & 0x7Fu) + 1;
        const uint64_t bytes = (head & 0x80u) ? pixel : count * pixel;
        if (b.size() - pos < bytes || done + count > total) return false;
        pos += size_t(bytes);
        done += count;
    }
    return true;
}

bool rasLengthSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 32 || getBE32(&b[0]) != 0x59A66A95u) return false;
    const uint32_t w = getBE32(&b[4]), h = getBE32(&b[8]), depth = getBE32(&b[12]), type = getBE32(&b[20]);
    const uint64_t mapLength = getBE32(&b[28]);
    if (!sideOk(w) || !sideOk(h)) return false;
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32) return false;
    if (type == 2) return 32 + mapLength <= b.size();   // run-length lines: the reader stops at the end
    // Lines padded to a 16-bit boundary.
    const uint64_t line = (uint64_t(w) * depth + 15) / 16 * 2;
    return 32 + mapLength + line * h <= b.size();
}

bool wbmpLengthSound(const std::vector<uint8_t>& b)
{
    size_t pos = 0;
    // Multi-byte numbers: seven bits a byte, the top bit says "more".
    auto number = [&](uint64_t& v) {
        v = 0;
        for (int i = 0; i < 5; ++i) {
            if (pos >= b.size()) return false;
            const uint8_t c = b[pos++];
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return false;
    };
    uint64_t type = 0, w = 0, h = 0;
    if (!number(type) || type != 0 || pos >= b.size()) return false;
    if (b[pos++] & 0x80) return false;   // extension headers
    if (!number(w) || !number(h) || !sideOk(w) || !sideOk(h)) return false;
    return pos + (w + 7) / 8 * h <= b.size();
}

bool pxrLengthSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 1024) return false;
    const uint32_t h = getLE16(&b[416]), w = getLE16(&b[418]), kind = getLE16(&b[424]);
    const uint64_t channels = kind == 0x08 ? 1 : kind == 0x0E ? 3 : kind == 0x0F ? 4 : 0;
    if (!sideOk(w) || !sideOk(h) || channels == 0) return false;
    return 1024 + uint64_t(w) * h * channels <= b.size();
}

bool bmpStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return false;
    const uint64_t offBits = getLE32(&b[10]);
    const uint64_t infoSize = getLE32(&b[14]);
    if (infoSize < 12 || b.size() < 14 + infoSize) return false;
    int64_t w = 0, h = 0;
    uint32_t bpp = 0, compression = 0;
    uint64_t colours = 0, entry = 4;
    if (infoSize == 12) {   // OS/2 core header
        w = getLE16(&b[18]);
        h = getLE16(&b[20]);
        bpp = getLE16(&b[24]);
        entry = 3;
    } else if (infoSize >= 40) {
        w = int32_t(getLE32(&b[18]));
        h = int32_t(getLE32(&b[22]));
        bpp = getLE16(&b[28]);
        compression = getLE32(&b[30]);
        colours = getLE32(&b[46]);
    } else {
        return true;   // a short OS/2 header: the reader judges it
    }
    if (h < 0) h = -h;   // top-down lines
    if (w < 1 || !sideOk(uint64_t(w)) || !sideOk(uint64_t(h))) return false;
    if (bpp <= 8 && colours == 0) colours = uint64_t(1) << bpp;
    if (colours > 256) colours = 256;
    // The readers start at the pixel offset, or after the header and its
    // colour table when the offset points inside them.
    const uint64_t masks = infoSize == 40 && (compression == 3 || compression == 6) ? (compression == 3 ? 12 : 16) : 0;
    const uint64_t start = std::max<uint64_t>(offBits, 14 + infoSize + masks + (bpp <= 8 ? colours * entry : 0));
    if (start > b.size()) return false;
    if (compression == 0 || compression == 3 || compression == 6) {
        if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
        const uint64_t stride = (uint64_t(w) * bpp + 31) / 32 * 4;
        return stride * uint64_t(h) <= b.size() - start;
    }
    if (compression != 1 && compression != 2) return true;   // JPEG or PNG inside: the reader judges it
    if ((compression == 1 && bpp != 8) || (compression == 2 && bpp != 4)) return false;
    // Run-length pairs up to the end-of-picture code (or the last line's
    // end): a run, or an escape (0): end of line, end of picture, a jump,
    // or a literal padded to a whole word.
    uint64_t line = 0;
    for (size_t pos = size_t(start);;) {
        if (b.size() - pos < 2) return false;
        const uint8_t count = b[pos], value = b[pos + 1];
        pos += 2;
        if (count != 0) continue;
        if (value == 0) {
            if (++line >= uint64_t(h)) return true;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (b.size() - pos < 2) return false;
            line += b[pos + 1];
            pos += 2;
            if (line >= uint64_t(h)) return true;
        } else {
            size_t bytes = compression == 1 ? value : (size_t(value) + 1) / 2;
            bytes += bytes & 1;
            if (b.size() - pos < bytes) return false;
            pos += bytes;
        }
    }
}

namespace {

// Walks a GIF to the end of its first picture's data (the only picture the
// reader takes). tableBits receives the size in bits of the colour table
// that picture is drawn with (its own, else the global one; 0 for none) as
// soon as its descriptor is read, even when its data then proves cut.
bool walkGif(const std::vector<uint8_t>& b, int& tableBits)
{
    tableBits = 0;
    if (b.size() < 13 || std::memcmp(b.data(), "GIF8", 4) != 0 || (b[4] != '7' && b[4] != '9') || b[5] != 'a')
        return false;
    size_t pos = 13;
    auto skipTable = [&](uint8_t flags) {   // a colour table, when the flags hold one
        const size_t n = (flags & 0x80) ? size_t(3) << ((flags & 7) + 1) : 0;
        if (b.size() - pos < n) return false;
        pos += n;
        return true;
    };
    auto skipSubBlocks = [&] {   // length-prefixed blocks up to an empty one
        for (;;) {
            if (pos >= b.size()) return false;
            const size_t n = b[pos++];
            if (n == 0) return true;
            if (b.size() - pos < n) return false;
            pos += n;
        }
    };
    const uint8_t screenFlags = b[10];
    if (!skipTable(screenFlags)) return false;
    for (;;) {
        if (pos >= b.size()) return false;
        const uint8_t kind = b[pos++];
        if (kind == 0x21) {   // extension: a label, then its blocks
            if (pos >= b.size()) return false;
            ++pos;
            if (!skipSubBlocks()) return false;
        } else if (kind == 0x2C) {   // image: descriptor, colour table, code size, data
            if (b.size() - pos < 9) return false;
            const uint8_t flags = b[pos + 8];
            const uint8_t used = (flags & 0x80) ? flags : screenFlags;
            tableBits = (used & 0x80) ? (used & 7) + 1 : 0;
            pos += 9;
            if (!skipTable(flags) || pos >= b.size()) return false;
            ++pos;
            return skipSubBlocks();
        } else {
            return false;   // the trailer, or anything else, before any picture
        }
    }
}

// Bits per pixel of a PNG's header chunk: its sample depth times the
// samples of its colour type; 0 when it is no PNG.
int pngBitsPerPixel(const uint8_t* p, size_t n)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n < 26 || std::memcmp(p, kSignature, 8) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0) return 0;
    const int depth = p[24];
    switch (p[25]) {
    case 0: case 3: return depth;   // grey, palette
    case 2: return 3 * depth;       // red, green, blue
    case 4: return 2 * depth;       // grey and alpha
    case 6: return 4 * depth;       // red, green, blue and alpha
    default: return 0;
    }
}

} // namespace

bool gifStructureSound(const std::vector<uint8_t>& b)
{
    int tableBits = 0;
    return walkGif(b, tableBits);
}

int storedBitsPerPixel(const std::vector<uint8_t>& b)
{
    if (b.size() >= 30 && b[0] == 'B' && b[1] == 'M') {
        // The core header of OS/2 keeps its count at 24, every longer one at 28.
        return getLE32(&b[14]) == 12 ? getLE16(&b[24]) : getLE16(&b[28]);
    }
    if (b.size() >= 6 && std::memcmp(b.data(), "GIF8", 4) == 0) {
        int tableBits = 0;
        walkGif(b, tableBits);
        return tableBits;
    }
    // An icon or cursor directory: the first entry is the picture read. Its
    // image is a PNG or a bitmap header without the file header; the entry's
    // own count is a fallback, often left 0 by the tools that write them.
    if (b.size() >= 22 && getLE16(&b[0]) == 0 && (getLE16(&b[2]) == 1 || getLE16(&b[2]) == 2) && getLE16(&b[4]) >= 1) {
        const uint64_t at = getLE32(&b[18]);
        if (at < b.size()) {
            const uint8_t* image = &b[size_t(at)];
            const size_t left = b.size() - size_t(at);
            if (const int png = pngBitsPerPixel(image, left)) return png;
            if (left >= 16 && getLE32(image) >= 40) return getLE16(image + 14);
        }
        return getLE16(&b[12]);
    }
    return 0;
}

bool jpegStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return false;
    const uint8_t* const data = b.data();
    const size_t n = b.size();
    bool scanned = false;
    size_t pos = 2;
    for (;;) {
        // The next marker: stray bytes before it are skipped as the
        // decoder does, and any number of 0xFF fill bytes.
        const void* ff = pos < n ? std::memchr(data + pos, 0xFF, n - pos) : nullptr;
        if (!ff) return false;
        pos = size_t(static_cast<const uint8_t*>(ff) - data);
        while (pos < n && data[pos] == 0xFF) ++pos;
        if (pos >= n) return false;
        const uint8_t m = data[pos++];
        if (m == 0xD9) return scanned;   // end of image; what follows is not ours
        if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD8)) continue;   // no length
        if (n - pos < 2) return false;
        const size_t len = getBE16(data + pos);
        if (len < 2 || n - pos < len) return false;
        pos += len;
        if (m != 0xDA) continue;
        // A file that ends in an end-of-image marker after the first scan's
        // header is whole (the mark cannot occur inside coded data); only
        // files with bytes after their end are walked to it.
        if (!scanned && n - pos >= 2 && data[n - 2] == 0xFF && data[n - 1] == 0xD9) return true;
        // Start of scan: entropy-coded data runs to a marker that is
        // neither a stuffed 0xFF00 nor a restart.
        scanned = true;
        for (;;) {
            const void* next = pos < n ? std::memchr(data + pos, 0xFF, n - pos) : nullptr;
            if (!next) return false;
            size_t q = size_t(static_cast<const uint8_t*>(next) - data);
            const size_t marker = q;
            while (q < n && data[q] == 0xFF) ++q;
            if (q >= n) return false;
            if (data[q] == 0x00 || (data[q] >= 0xD0 && data[q] <= 0xD7)) {
                pos = q + 1;
                continue;
            }
            pos = marker;
            break;
        }
    }
}

bool sgiStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 512 || getBE16(&b[0]) != 474) return false;
    const uint32_t storage = b[2], bpc = b[3], dims = getBE16(&b[4]);
    if (storage > 1 || (bpc != 1 && bpc != 2) || dims < 1 || dims > 3) return false;
    const uint32_t x = getBE16(&b[6]), y = dims >= 2 ? getBE16(&b[8]) : 1, z = dims == 3 ? getBE16(&b[10]) : 1;
    if (!sideOk(x) || !sideOk(y) || z < 1 || z > 4) return false;
    if (storage == 0) return 512 + uint64_t(x) * y * z * bpc <= b.size();
    // Run-length: a start and a length for every row of every channel,
    // then rows of runs (count in the low 7 bits; the top bit marks a
    // literal of count values, else one value repeated), ended by a zero
    // count or by the row's length.
    const uint64_t rows = uint64_t(y) * z;
    if (512 + rows * 8 > b.size()) return false;
    for (uint64_t r = 0; r < rows; ++r) {
        const uint64_t start = getBE32(&b[size_t(512 + 4 * r)]);
        const uint64_t length = getBE32(&b[size_t(512 + 4 * (rows + r))]);
        if (start < 512 || start > b.size() || length > b.size() - start) return false;
        const size_t end = size_t(start + length);
        uint64_t out = 0;
        for (size_t pos = size_t(start); end - pos >= bpc;) {
            const uint32_t v = bpc == 1 ? b[pos] : getBE16(&b[pos]);
            pos += bpc;
            const uint32_t count = v & 0x7F;
            if (count == 0) break;
            const size_t values = (v & 0x80) ? size_t(count) * bpc : bpc;
            if (out + count > x || end - pos < values) return false;
            pos += values;
            out += count;
        }
        if (out != x) return false;
    }
    return true;
}

} // namespace tq

namespace tq {

bool mngStructureSound(const std::vector<uint8_t>& b)
{
    static const uint8_t kMng[8] = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const uint8_t kJng[8] = {0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() < 8) return false;
    const bool mng = std::memcmp(b.data(), kMng, 8) == 0;
    const bool jng = std::memcmp(b.data(), kJng, 8) == 0;
    if (!mng && !jng) return false;
    const char* header = mng ? "MHDR" : "JHDR";
    size_t pos = 8;
    bool first = true;
    // Length, type, data, then a four-byte check value.
    while (pos + 12 <= b.size()) {
        const uint64_t length = getBE32(&b[pos]);
        const uint8_t* type = &b[pos + 4];
        if (length > 0x7FFFFFFF || length > b.size() - pos - 12) return false;   // data and check inside
        if (first && std::memcmp(type, header, 4) != 0) return false;
        first = false;
        // The end of the first picture, or of the stream: what follows may
        // be missing.
        if (std::memcmp(type, "IEND", 4) == 0 || (mng && std::memcmp(type, "MEND", 4) == 0)) return true;
        pos += 12 + size_t(length);
    }
    return false;   // no closing chunk inside the file
}

} // namespace tq

namespace tq {

bool tiffStructureSound(const std::vector<uint8_t>& b)
{
    if (b.size() < 8) return false;
    const bool little = b[0] == 'I' && b[1] == 'I';
    if (!little && !(b[0] == 'M' && b[1] == 'M')) return false;
    const auto u16 = [&](size_t at) { return little ? uint32_t(getLE16(&b[at])) : uint32_t(getBE16(&b[at])); };
    const auto u32 = [&](size_t at) {
        return little ? uint32_t(getLE16(&b[at])) | uint32_t(getLE16(&b[at + 2])) << 16
                      : uint32_t(getBE16(&b[at])) << 16 | uint32_t(getBE16(&b[at + 2]));
    };
    // Only the classic layout is walked; the reader checks the rest itself.
    if (u16(2) != 42) return true;
    const size_t ifd = u32(4);
    if (ifd < 8 || ifd > b.size() - 2) return false;
    const size_t count = u16(ifd);
    if (count > (b.size() - ifd - 2) / 12) return false;

    // A SHORT or LONG entry: its type, count, and where its values start
    // (in the entry when they fit its four bytes).
    struct Entry {
        uint32_t type = 0, n = 0, value = 0;
        size_t at = 0;
    };
    // Value k of an entry, checked inside the file; false for another type.
    const auto valueAt = [&](const Entry& en, size_t k, uint64_t& v) {
        const size_t size = en.type == 3 ? 2 : en.type == 4 ? 4 : 0;
        if (size == 0 || k >= en.n) return false;
        size_t at = en.at;
        if (uint64_t(en.n) * size > 4) {
            at = en.value;
            if (at > b.size() || uint64_t(en.n) * size > b.size() - at) return false;
        }
        at += k * size;
        v = size == 2 ? u16(at) : u32(at);
        return true;
    };
    Entry offsets, counts, bitsPerSample;
    uint64_t width = 0, height = 0, samples = 1, rowsPerStrip = UINT32_MAX, planar = 1, tileWidth = 0, tileLength = 0;
    uint32_t compression = 1;
    for (size_t i = 0; i < count; ++i) {
        const size_t e = ifd + 2 + 12 * i;
        const uint32_t tag = u16(e), type = u16(e + 2), n = u32(e + 4);
        const Entry entry{type, n, u32(e + 8), e + 8};
        uint64_t first = 0;
        const bool scalar = valueAt(entry, 0, first);
        switch (tag) {
        case 256: width = scalar ? first : 0; break;
        case 257: height = scalar ? first : 0; break;
        case 258: bitsPerSample = entry; break;
        case 259: compression = scalar ? uint32_t(first) : 0; break;
        case 277: samples = scalar ? first : 0; break;
        case 278: rowsPerStrip = scalar ? first : 0; break;
        case 284: planar = scalar ? first : 0; break;
        case 322: tileWidth = scalar ? first : 0; break;
        case 323: tileLength = scalar ? first : 0; break;
        case 273: case 324: offsets = entry; break;
        case 279: case 325: counts = entry; break;
        default: break;
        }
    }
    if (offsets.n == 0) return true;   // no pixel data to check: the reader decides
    if (offsets.n != counts.n) return false;

    // What an uncompressed strip or tile must hold: its rows of whole
    // bytes. The reader takes a shorter count for a mistake and reads on
    // past it, into whatever follows (or the end of the file).
    uint64_t bits = 0;
    if (uint64_t one = 0; valueAt(bitsPerSample, 0, one)) bits = one;
    else if (bitsPerSample.n == 0) bits = 1;
    const bool separate = planar == 2;
    const uint64_t pixelBits = separate ? bits : bits * samples;
    const bool tiled = tileWidth > 0 || tileLength > 0;
    const bool measurable = compression == 1 && width >= 1 && height >= 1 && width <= uint64_t(kMaxPictureSide) &&
                            height <= uint64_t(kMaxPictureSide) && bits >= 1 && bits <= 64 && samples >= 1 &&
                            samples <= 16 && (!tiled || (tileWidth >= 1 && tileLength >= 1));
    const uint64_t planes = separate ? samples : 1;
    const uint64_t stripRows = std::max<uint64_t>(1, std::min(rowsPerStrip, height));
    const uint64_t stripsPerPlane = tiled ? 0 : (height + stripRows - 1) / stripRows;
    if (measurable) {
        // Every part of the picture needs its strip or tile.
        const uint64_t parts = tiled ? (width + tileWidth - 1) / tileWidth * ((height + tileLength - 1) / tileLength)
                                     : stripsPerPlane;
        if (uint64_t(offsets.n) < parts * planes) return false;
    }
    const auto neededBytes = [&](size_t k) -> uint64_t {
        if (!measurable) return 0;
        if (tiled) return (tileWidth * pixelBits + 7) / 8 * tileLength;
        const uint64_t first = (k % stripsPerPlane) * stripRows;
        if (first >= height) return 0;
        return (width * pixelBits + 7) / 8 * std::min(stripRows, height - first);
    };

    for (size_t k = 0; k < offsets.n; ++k) {
        uint64_t off = 0, len = 0;
        if (!valueAt(offsets, k, off) || !valueAt(counts, k, len)) return false;
        // Every strip (or tile) lies inside the file.
        if (off > b.size() || len > b.size() - off) return false;
        if (len < neededBytes(k)) return false;
        // A JPEG-compressed strip is a whole stream of its own: one cut short
        // or read from the wrong place decodes as garbage, not as the picture.
        if (compression == 7) {
            const std::vector<uint8_t> strip(b.begin() + long(off), b.begin() + long(off + len));
            if (!jpegStructureSound(strip)) return false;
        }
    }
    return true;
}

} // namespace tq
