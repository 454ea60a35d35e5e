// Small files of the formats the program reads but does not write, built
// byte by byte from each format's published layout (or written by a library
// writer where one exists), as starting points for the damaged-file tests.
// Each fixture is a W x H picture with varied colours.
#pragma once

#include "core/BitsBuffer.h"

#include <FreeImage.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tq::testing {

using Bytes = std::vector<uint8_t>;

inline void addBE16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)}); }
inline void addBE32(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}); }
inline void addLE16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void addLE32(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }
inline void addText(Bytes& b, const char* s, size_t n)
{
    const size_t len = std::strlen(s);
    for (size_t i = 0; i < n; ++i) b.push_back(i < len ? uint8_t(s[i]) : 0);
}
inline uint8_t shade(int x, int y, int c) { return uint8_t((x * 37 + y * 71 + c * 90 + 13) & 0xFF); }

inline Bytes savedByFreeImage(FIBITMAP* dib, FREE_IMAGE_FORMAT fif, int flags = 0)
{
    FIMEMORY* mem = FreeImage_OpenMemory();
    Bytes out;
    if (FreeImage_SaveToMemory(fif, dib, mem, flags)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        FreeImage_AcquireMemory(mem, &data, &size);
        out.assign(data, data + size);
    }
    FreeImage_CloseMemory(mem);
    FreeImage_Unload(dib);
    return out;
}

inline FIBITMAP* freeImageRgb(int w, int h)
{
    FIBITMAP* dib = FreeImage_Allocate(w, h, 24);
    for (int y = 0; y < h; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, h - 1 - y);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) line[3 * x + c] = shade(x, y, c);
    }
    return dib;
}

// Wireless bitmap, one bit per pixel.
inline Bytes wbmpFile(int w, int h)
{
    FIBITMAP* dib = FreeImage_Allocate(w, h, 1);
    RGBQUAD* pal = FreeImage_GetPalette(dib);
    pal[0] = RGBQUAD{0, 0, 0, 0};
    pal[1] = RGBQUAD{255, 255, 255, 0};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x + y) % 3 == 0) FreeImage_GetScanLine(dib, y)[x / 8] |= uint8_t(0x80 >> (x % 8));
    return savedByFreeImage(dib, FIF_WBMP);
}

inline Bytes jngFile(int w, int h) { return savedByFreeImage(freeImageRgb(w, h), FIF_JNG); }
inline Bytes pngFile(int w, int h) { return savedByFreeImage(freeImageRgb(w, h), FIF_PNG); }

inline uint32_t crc32Of(const uint8_t* p, size_t n)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c ^ 0xFFFFFFFFu;
}

// A PNG-style chunk: length, type, data, CRC over type and data.
inline void addChunk(Bytes& b, const char* type, const Bytes& data)
{
    addBE32(b, uint32_t(data.size()));
    const size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    addBE32(b, crc32Of(b.data() + start, b.size() - start));
}

// Multiple-image network graphics: a header, one PNG picture, the end.
inline Bytes mngFile(int w, int h)
{
    Bytes b = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes mhdr;
    addBE32(mhdr, uint32_t(w));
    addBE32(mhdr, uint32_t(h));
    addBE32(mhdr, 1);   // ticks per second
    addBE32(mhdr, 0);   // layers
    addBE32(mhdr, 0);   // frames
    addBE32(mhdr, 0);   // play time
    addBE32(mhdr, 1);   // simplicity profile
    addChunk(b, "MHDR", mhdr);
    const Bytes png = pngFile(w, h);
    b.insert(b.end(), png.begin() + 8, png.end());   // the PNG's chunks, IHDR to IEND
    addChunk(b, "MEND", {});
    return b;
}

// Dr. Halo cut: sides, a reserved word, then run-length lines of grey
// levels, each after its byte count.
inline Bytes cutFile(int w, int h)
{
    Bytes b;
    addLE16(b, uint32_t(w));
    addLE16(b, uint32_t(h));
    addLE16(b, 0);
    for (int y = 0; y < h; ++y) {
        Bytes line;
        line.push_back(uint8_t(w));   // w literal bytes (w < 128)
        for (int x = 0; x < w; ++x) line.push_back(shade(x, y, 0));
        line.push_back(0);            // end of line
        addLE16(b, uint32_t(line.size()));
        b.insert(b.end(), line.begin(), line.end());
    }
    return b;
}

// Amiga interleaved bitmap, 4 planes with a 16-colour map; compressed
// with ByteRun1 when packed is set.
inline Bytes ilbmFile(int w, int h, bool packed)
{
    const int planes = 4;
    const int rowBytes = ((w + 15) / 16) * 2;
    Bytes body;
    for (int y = 0; y < h; ++y)
        for (int p = 0; p < planes; ++p) {
            Bytes row(size_t(rowBytes), 0);
            for (int x = 0; x < w; ++x)
                if ((((x + 3 * y) % 16) >> p) & 1) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            if (packed) body.push_back(uint8_t(rowBytes - 1));   // one literal run
            body.insert(body.end(), row.begin(), row.end());
        }
    Bytes bmhd;
    addBE16(bmhd, uint32_t(w));
    addBE16(bmhd, uint32_t(h));
    addBE16(bmhd, 0);
    addBE16(bmhd, 0);
    bmhd.insert(bmhd.end(), {uint8_t(planes), 0, uint8_t(packed ? 1 : 0), 0});
    addBE16(bmhd, 0);
    bmhd.insert(bmhd.end(), {10, 11});
    addBE16(bmhd, uint32_t(w));
    addBE16(bmhd, uint32_t(h));
    Bytes cmap;
    for (int i = 0; i < 16; ++i) cmap.insert(cmap.end(), {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 8)});
    Bytes form = {'I', 'L', 'B', 'M'};
    auto chunk = [&form](const char* id, const Bytes& data) {
        form.insert(form.end(), id, id + 4);
        addBE32(form, uint32_t(data.size()));
        form.insert(form.end(), data.begin(), data.end());
        if (data.size() % 2) form.push_back(0);
    };
    chunk("BMHD", bmhd);
    chunk("CMAP", cmap);
    chunk("BODY", body);
    Bytes b = {'F', 'O', 'R', 'M'};
    addBE32(b, uint32_t(form.size()));
    b.insert(b.end(), form.begin(), form.end());
    return b;
}

// Koala Painter: load address, 8000 bitmap bytes, 1000 screen and 1000
// colour bytes, the background colour; always 320 x 200.
inline Bytes koalaFile()
{
    Bytes b = {0x00, 0x60};
    for (int i = 0; i < 10001; ++i) b.push_back(uint8_t((i * 29 + i / 7) & 0xFF));
    return b;
}

// Kodak Photo CD: the base picture, 768 x 512 luma and chroma lines from
// offset 0x30000, after a header with the "PCD_IPI" mark at 2048.
inline Bytes pcdFile()
{
    Bytes b(0x30000, 0);
    std::memcpy(b.data() + 2048, "PCD_IPI", 7);
    b.reserve(0x30000 + 768 * 512 * 3 / 2);
    for (int pair = 0; pair < 256; ++pair) {
        for (int k = 0; k < 2; ++k)
            for (int x = 0; x < 768; ++x) b.push_back(uint8_t((x + pair * 2 + k) & 0xFF));
        for (int x = 0; x < 768; ++x) b.push_back(uint8_t(128 + ((x / 8 + pair) & 31)));
    }
    return b;
}

// Sun raster, 24 bits, blue-green-red lines padded to an even length.
inline Bytes rasFile(int w, int h)
{
    Bytes b;
    const int line = (w * 3 + 1) & ~1;
    for (uint32_t v : {0x59A66A95u, uint32_t(w), uint32_t(h), 24u, uint32_t(line * h), 1u, 0u, 0u}) addBE32(b, v);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) b.push_back(shade(x, y, c));
        if (w * 3 < line) b.push_back(0);
    }
    return b;
}

// Alias pix: big-endian header (sides, offsets, 24 bits), then runs of
// count, blue, green, red.
inline Bytes pixFile(int w, int h)
{
    Bytes b;
    for (uint32_t v : {uint32_t(w), uint32_t(h), 0u, uint32_t(h), 24u}) addBE16(b, v);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int run = (x % 3 == 0 && x + 1 < w) ? 2 : 1;
            b.push_back(uint8_t(run));
            for (int c = 0; c < 3; ++c) b.push_back(shade(x, y, c));
            x += run - 1;
        }
    return b;
}

// Pixar picture: a 1024-byte header with the sides at 416 and the pixel
// kind at 424, then rows of red, green, blue.
inline Bytes pxrFile(int w, int h)
{
    Bytes b(1024, 0);
    b[0] = 0x80;
    b[1] = 0xE8;
    putLE16(b.data() + 416, uint16_t(h));
    putLE16(b.data() + 418, uint16_t(w));
    putLE16(b.data() + 424, 0x0E);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) b.push_back(shade(x, y, c));
    return b;
}

// Softimage picture: a 104-byte big-endian header, one channel packet
// (red, green, blue, alpha, 8 bits, mixed run-length), then per line a run
// of two equal pixels and a literal of the rest.
inline Bytes picFile(int w, int h)
{
    Bytes b;
    addBE32(b, 0x5380F634u);
    addBE32(b, 0x40600000u);   // version 3.5 as a float
    addText(b, "talvex test", 80);
    addText(b, "PICT", 4);
    addBE16(b, uint32_t(w));
    addBE16(b, uint32_t(h));
    addBE32(b, 0x3F800000u);   // aspect ratio 1.0
    addBE16(b, 3);             // full frame
    addBE16(b, 0);
    b.insert(b.end(), {0, 8, 2, 0xF0});
    for (int y = 0; y < h; ++y) {
        b.push_back(127 + 2);
        for (int c = 0; c < 4; ++c) b.push_back(shade(0, y, c));
        b.push_back(uint8_t(w - 2 - 1));
        for (int x = 2; x < w; ++x)
            for (int c = 0; c < 4; ++c) b.push_back(shade(x, y, c));
    }
    return b;
}

// Homeworld texture: "Willy 7" header, palette indices, a 256-entry
// RGBA palette.
inline Bytes lifFile(int w, int h)
{
    Bytes b;
    addText(b, "Willy 7", 8);
    const uint32_t palOffset = 44 + uint32_t(w * h);
    for (uint32_t v : {0x104u, 0x50u, uint32_t(w), uint32_t(h), 0u, 0u, palOffset, 0u, 0u}) addLE32(b, v);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.push_back(shade(x, y, 0));
    for (int i = 0; i < 256; ++i) b.insert(b.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 255});
    return b;
}

// Quake II texture: a 100-byte header and four mipmap levels of palette
// indices (the palette is Quake's own).
inline Bytes walFile(int w, int h)
{
    Bytes b;
    addText(b, "talvex/test", 32);
    addLE32(b, uint32_t(w));
    addLE32(b, uint32_t(h));
    uint32_t offset = 100;
    for (int level = 0; level < 4; ++level) {
        addLE32(b, offset);
        offset += uint32_t((w >> level) * (h >> level));
    }
    addText(b, "", 32);
    addLE32(b, 0);
    addLE32(b, 0);
    addLE32(b, 0);
    for (int level = 0; level < 4; ++level)
        for (int y = 0; y < (h >> level); ++y)
            for (int x = 0; x < (w >> level); ++x) b.push_back(shade(x, y, level));
    return b;
}

// Quake lump: sides, then palette indices.
inline Bytes lmpFile(int w, int h)
{
    Bytes b;
    addLE32(b, uint32_t(w));
    addLE32(b, uint32_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.push_back(shade(x, y, 1));
    return b;
}

// Half-Life model holding one texture: the 244-byte model header, one
// 80-byte texture record, its palette indices and 256 RGB palette entries.
inline Bytes mdlFile(int w, int h)
{
    Bytes b;
    addText(b, "IDST", 4);
    addLE32(b, 10);
    addText(b, "talvex", 64);
    const uint32_t texIndex = 244, dataIndex = 244 + 80;
    const uint32_t length = dataIndex + uint32_t(w * h) + 768;
    addLE32(b, length);
    while (b.size() < 180) b.push_back(0);
    addLE32(b, 1);           // textures
    addLE32(b, texIndex);
    addLE32(b, dataIndex);   // texture data
    while (b.size() < 244) b.push_back(0);
    addText(b, "skin.bmp", 64);
    addLE32(b, 0);
    addLE32(b, uint32_t(w));
    addLE32(b, uint32_t(h));
    addLE32(b, dataIndex);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.push_back(shade(x, y, 2));
    for (int i = 0; i < 256; ++i) b.insert(b.end(), {uint8_t(i), uint8_t(i / 3), uint8_t(255 - i)});
    return b;
}

// Multi-page PCX: the mark, a table of page offsets ending in 0, the pages.
inline Bytes dcxFile(const Bytes& pcx)
{
    Bytes b;
    addLE32(b, 0x3ADE68B1u);
    addLE32(b, 12);
    addLE32(b, 0);
    b.insert(b.end(), pcx.begin(), pcx.end());
    return b;
}

// X pixmap with four colours.
inline Bytes xpmFile(int w, int h)
{
    std::string s = "/* XPM */\nstatic char *t[] = {\n\"" + std::to_string(w) + " " + std::to_string(h) + " 4 1\",\n";
    s += "\"a c #102030\",\n\"b c #A0B0C0\",\n\"c c #FF0000\",\n\"d c None\",\n";
    for (int y = 0; y < h; ++y) {
        s += "\"";
        for (int x = 0; x < w; ++x) s += char('a' + (x + y) % 4);
        s += y + 1 < h ? "\",\n" : "\"\n";
    }
    s += "};\n";
    return Bytes(s.begin(), s.end());
}

// Paint Shop Pro: the file mark and version, then a general image
// attributes block (version 3 block layout).
inline Bytes pspFile(int w, int h)
{
    Bytes b;
    const char mark[] = "Paint Shop Pro Image File\n\x1a";
    b.insert(b.end(), mark, mark + sizeof mark);   // terminating 0 included
    while (b.size() < 32) b.push_back(0);
    addLE16(b, 3);
    addLE16(b, 0);
    Bytes attr;
    addLE32(attr, 46);   // chunk size
    addLE32(attr, uint32_t(w));
    addLE32(attr, uint32_t(h));
    for (int i = 0; i < 8; ++i) attr.push_back(0);   // resolution (double)
    attr.push_back(0);       // resolution unit
    addLE16(attr, 0);        // compression none
    addLE16(attr, 24);       // bit depth
    addLE16(attr, 1);        // planes
    addLE32(attr, 1u << 24); // colours
    attr.push_back(0);       // greyscale
    addLE32(attr, uint32_t(w * h * 3));
    addLE32(attr, 0);        // active layer
    addLE16(attr, 0);        // layers
    b.insert(b.end(), {'~', 'B', 'K', 0});
    addLE16(b, 0);
    addLE32(b, uint32_t(attr.size()));
    addLE32(b, uint32_t(attr.size()));
    b.insert(b.end(), attr.begin(), attr.end());
    return b;
}

} // namespace tq::testing

namespace tq::testing {

// DirectDraw surface: "DDS ", the 124-byte header, then either 32-bit
// blue-green-red-alpha pixels or DXT1 blocks (sides a multiple of 4).
inline Bytes ddsFile(int w, int h, bool dxt1)
{
    Bytes b = {'D', 'D', 'S', ' '};
    addLE32(b, 124);
    addLE32(b, dxt1 ? 0x81007u : 0x100Fu);
    addLE32(b, uint32_t(h));
    addLE32(b, uint32_t(w));
    addLE32(b, dxt1 ? uint32_t((w / 4) * (h / 4) * 8) : uint32_t(w * 4));
    addLE32(b, 0);
    addLE32(b, 0);
    for (int i = 0; i < 11; ++i) addLE32(b, 0);
    addLE32(b, 32);
    if (dxt1) {
        addLE32(b, 0x4);   // four-character code
        addText(b, "DXT1", 4);
        for (int i = 0; i < 5; ++i) addLE32(b, 0);
    } else {
        addLE32(b, 0x41);   // RGB with alpha
        addLE32(b, 0);
        for (uint32_t v : {32u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) addLE32(b, v);
    }
    addLE32(b, 0x1000);
    for (int i = 0; i < 4; ++i) addLE32(b, 0);
    if (dxt1) {
        for (int i = 0; i < (w / 4) * (h / 4); ++i) {
            addLE16(b, uint32_t(0xF800 + i * 37));
            addLE16(b, uint32_t(0x001F + i * 91));
            addLE32(b, 0xE4E4E4E4u - uint32_t(i));
        }
    } else {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) b.insert(b.end(), {shade(x, y, 0), shade(x, y, 1), shade(x, y, 2), 255});
    }
    return b;
}

// Where the values of a TIFF tag lie in a little-endian file's first
// directory, one offset per value (none when the tag is missing).
inline std::vector<size_t> tiffValueOffsets(const Bytes& b, uint16_t wanted)
{
    auto get16 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8); };
    auto get32 = [&](size_t at) { return get16(at) | get16(at + 2) << 16; };
    const size_t ifd = get32(4);
    std::vector<size_t> at;
    for (uint32_t i = 0; i < get16(ifd); ++i) {
        const size_t e = ifd + 2 + 12 * i;
        if (get16(e) != wanted) continue;
        const uint32_t size = get16(e + 2) == 3 ? 2 : 4, n = get32(e + 4);
        const size_t base = size * n > 4 ? get32(e + 8) : e + 8;
        for (uint32_t k = 0; k < n; ++k) at.push_back(base + k * size);
    }
    return at;
}

// The values of a SHORT or LONG TIFF tag of a little-endian file's first
// directory.
// True when the tag's values are SHORTs (else LONGs).
inline bool tiffValuesAreShort(const Bytes& b, uint16_t wanted)
{
    const size_t ifd = size_t(b[4] | b[5] << 8 | b[6] << 16 | uint32_t(b[7]) << 24);
    for (uint32_t i = 0; i < uint32_t(b[ifd] | b[ifd + 1] << 8); ++i) {
        const size_t e = ifd + 2 + 12 * i;
        if (uint32_t(b[e] | b[e + 1] << 8) == wanted) return b[e + 2] == 3;
    }
    return false;
}
inline std::vector<uint32_t> tiffValues(const Bytes& b, uint16_t wanted)
{
    const bool shorts = tiffValuesAreShort(b, wanted);
    std::vector<uint32_t> values;
    for (size_t at : tiffValueOffsets(b, wanted))
        values.push_back(shorts ? uint32_t(b[at] | b[at + 1] << 8)
                                : uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24));
    return values;
}
// Replaces value k of the tag (a SHORT keeps the low 16 bits of value).
inline void setTiffValue(Bytes& b, uint16_t wanted, size_t k, uint32_t value)
{
    const int size = tiffValuesAreShort(b, wanted) ? 2 : 4;
    const size_t at = tiffValueOffsets(b, wanted).at(k);
    for (int i = 0; i < size; ++i) b[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// A w x h LZW TIFF whose first strip's bytes are cut to half (its count
// says so too): the library decodes it as far as it can and makes up the
// rest of the picture.
inline Bytes tiffWithCutStrip(int w, int h)
{
    Bytes b = savedByFreeImage(freeImageRgb(w, h), FIF_TIFF, TIFF_LZW);
    setTiffValue(b, 279, 0, tiffValues(b, 279).at(0) / 2);
    return b;
}

// The colour (blue, green, red, alpha) of pixel (x, y) of the bit-field
// bitmaps below.
inline std::array<uint8_t, 4> fieldColour(int x, int y)
{
    return {uint8_t(200 - 10 * x), uint8_t(20 + 40 * y), uint8_t(10 + 30 * x), uint8_t(255 - 50 * y)};
}

// A w x h Windows bitmap of 16 or 32 bits a pixel whose channels lie where
// bit-field masks (red, green, blue, alpha) say, rows bottom-up. With an
// information header of 40 bytes the three colour masks follow it; the
// longer headers (108: version 4, 124: version 5) hold all four, with the
// sRGB colour space. The channels of fieldColour are cut to their masks'
// widths.
inline Bytes bitfieldBmpFile(int w, int h, int bits, uint32_t headerSize, std::array<uint32_t, 4> masks)
{
    const uint32_t stride = (uint32_t(w) * uint32_t(bits) + 31) / 32 * 4;
    const uint32_t offBits = 14 + headerSize + (headerSize == 40 ? 12 : 0);
    Bytes b = {'B', 'M'};
    addLE32(b, offBits + stride * uint32_t(h));
    addLE32(b, 0);
    addLE32(b, offBits);
    for (uint32_t v : {headerSize, uint32_t(w), uint32_t(h)}) addLE32(b, v);
    addLE16(b, 1);
    addLE16(b, uint32_t(bits));
    for (uint32_t v : {3u, stride * uint32_t(h), 2835u, 2835u, 0u, 0u}) addLE32(b, v);   // 3: bit fields
    for (int i = 0; i < (headerSize == 40 ? 3 : 4); ++i) addLE32(b, masks[size_t(i)]);
    if (headerSize >= 108) {
        addLE32(b, 0x73524742);                      // 'sRGB'
        b.resize(14 + headerSize, 0);                // end points, gamma, and the version 5 fields
    }
    // A channel's 8 bits put into its mask: the top bits of the value at the mask's place.
    auto place = [](uint8_t v, uint32_t mask) -> uint32_t {
        if (!mask) return 0;
        int shift = 0, width = 0;
        while (!(mask >> shift & 1)) ++shift;
        while (shift + width < 32 && (mask >> (shift + width) & 1)) ++width;
        return width >= 8 ? uint32_t(v) << (shift + width - 8) : uint32_t(v >> (8 - width)) << shift;
    };
    for (int y = h - 1; y >= 0; --y) {
        Bytes line;
        for (int x = 0; x < w; ++x) {
            const auto c = fieldColour(x, y);
            const uint32_t v = place(c[2], masks[0]) | place(c[1], masks[1]) | place(c[0], masks[2]) | place(c[3], masks[3]);
            if (bits == 16)
                addLE16(line, v);
            else
                addLE32(line, v);
        }
        line.resize(stride, 0);
        b.insert(b.end(), line.begin(), line.end());
    }
    return b;
}

inline Bytes psdByFreeImage(int w, int h) { return savedByFreeImage(freeImageRgb(w, h), FIF_PSD); }

inline Bytes progressiveJpegFile(int w, int h)
{
    return savedByFreeImage(freeImageRgb(w, h), FIF_JPEG, JPEG_PROGRESSIVE | JPEG_QUALITYSUPERB);
}

// The grey level (and palette index) of the 8-bit fixtures below.
inline uint8_t greyIndex(int x, int y) { return uint8_t((x * 23 + y * 41 + 7) & 0xFF); }

// Windows bitmap, 8 bits, run-length coded, a grey palette: each line
// (bottom-up) a run of its first two pixels, a literal of the rest padded
// to a word, and an end of line; then the end-of-picture code. w >= 5.
// With four bits, the same codes carry greyIndex & 15 over a 16-grey
// palette (entry i is grey i * 17).
inline Bytes bmpRleFile(int w, int h, int bits)
{
    const bool four = bits == 4;
    auto index = [four](int x, int y) { return uint8_t(four ? greyIndex(x, y) & 15 : greyIndex(x, y)); };
    Bytes data;
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t first = index(0, y);
        data.insert(data.end(), {2, uint8_t(four ? first << 4 | first : first)});
        data.insert(data.end(), {0, uint8_t(w - 2)});
        size_t literal = 0;
        for (int x = 2; x < w; ++x) {
            if (!four) {
                data.push_back(index(x, y));
                ++literal;
            } else if (x % 2 == 0) {
                data.push_back(uint8_t(index(x, y) << 4 | (x + 1 < w ? index(x + 1, y) : 0)));
                ++literal;
            }
        }
        if (literal % 2) data.push_back(0);
        data.insert(data.end(), {0, 0});
    }
    data.insert(data.end(), {0, 1});
    const uint32_t colours = four ? 16 : 256;
    const uint32_t offBits = 14 + 40 + 4 * colours;
    Bytes b = {'B', 'M'};
    addLE32(b, offBits + uint32_t(data.size()));
    addLE32(b, 0);
    addLE32(b, offBits);
    for (uint32_t v : {40u, uint32_t(w), uint32_t(h)}) addLE32(b, v);
    addLE16(b, 1);
    addLE16(b, uint32_t(bits));
    for (uint32_t v : {four ? 2u : 1u, uint32_t(data.size()), 2835u, 2835u, colours, 0u}) addLE32(b, v);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t g = uint8_t(four ? i * 17 : i);
        b.insert(b.end(), {g, g, g, 0});
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}
inline Bytes bmpRle8File(int w, int h) { return bmpRleFile(w, h, 8); }

// Silicon Graphics image, 3 channels of 8 bits, run-length: the table of
// row starts and lengths (rows bottom-up, channel after channel), then per
// row a run of its first two values, a literal of the rest and a zero.
// w >= 3.
inline Bytes sgiRleFile(int w, int h)
{
    Bytes b;
    addBE16(b, 474);
    b.insert(b.end(), {1, 1});   // run-length, one byte a value
    for (uint32_t v : {3u, uint32_t(w), uint32_t(h), 3u}) addBE16(b, v);
    addBE32(b, 0);
    addBE32(b, 255);
    b.resize(512, 0);
    const uint32_t rows = uint32_t(h) * 3;
    Bytes data;
    std::vector<uint32_t> starts, lengths;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < h; ++row) {
            const int y = h - 1 - row;
            starts.push_back(512 + rows * 8 + uint32_t(data.size()));
            const size_t before = data.size();
            data.insert(data.end(), {2, shade(0, y, c)});
            data.push_back(uint8_t(0x80 | (w - 2)));
            for (int x = 2; x < w; ++x) data.push_back(shade(x, y, c));
            data.push_back(0);
            lengths.push_back(uint32_t(data.size() - before));
        }
    for (uint32_t v : starts) addBE32(b, v);
    for (uint32_t v : lengths) addBE32(b, v);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// ZSoft PCX version 5, 8 bits in one plane: run-length lines (a run of the
// first two pixels, then each byte alone or, when it looks like a count,
// as a run of one), then 0x0C and a 256-entry grey palette.
inline Bytes pcx8File(int w, int h)
{
    const int bpl = (w + 1) & ~1;
    Bytes b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    putLE16(b.data() + 8, uint16_t(w - 1));
    putLE16(b.data() + 10, uint16_t(h - 1));
    putLE16(b.data() + 12, 72);
    putLE16(b.data() + 14, 72);
    b[65] = 1;
    putLE16(b.data() + 66, uint16_t(bpl));
    putLE16(b.data() + 68, 1);
    for (int y = 0; y < h; ++y) {
        b.insert(b.end(), {0xC2, greyIndex(0, y)});
        for (int x = 2; x < bpl; ++x) {
            const uint8_t v = x < w ? greyIndex(x, y) : 0;
            if (v >= 0xC0) b.push_back(0xC1);
            b.push_back(v);
        }
    }
    b.push_back(0x0C);
    for (int i = 0; i < 256; ++i) b.insert(b.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    return b;
}

} // namespace tq::testing
