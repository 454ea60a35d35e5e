// Structural checks in front of library readers that trust the counts and
// sizes in a file: on a damaged file FreeImage's Amiga IFF reader loops for
// ever, its Dr. Halo reader writes above its picture, and DevIL's Alias,
// Softimage and Quake II readers overrun or free their buffers twice. Each
// check walks the file the way its reader will and accepts only what adds
// up, so a damaged file gets the routing's normal refusal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tq {

// One PackBits (ByteRun1) row starting at pos: exactly rowBytes out, every
// byte read inside [pos, end). Moves pos past the row.
bool packBitsRowSound(const std::vector<uint8_t>& b, std::size_t& pos, std::size_t end, std::size_t rowBytes);

// The whole file (false when it cannot be read).
bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

// Amiga interleaved bitmap or chunky "PBM " picture ("iff", "lbm").
bool iffStructureSound(const std::vector<uint8_t>& bytes);
// Dr. Halo cut picture.
bool cutStructureSound(const std::vector<uint8_t>& bytes);
// Koala Painter picture: exactly its fixed length, with or without the
// two-byte load address.
bool koalaStructureSound(const std::vector<uint8_t>& bytes);
// Kodak Photo CD: long enough to hold the base picture the reader takes.
bool pcdLengthSound(uint64_t fileSize);
// Alias pix: header, and runs that fill the picture exactly.
bool pixStructureSound(const std::vector<uint8_t>& bytes);
// Softimage picture: header, channel packets and every scan line's runs;
// only run-length pictures with an alpha channel, the only kind DevIL's
// reader decodes inside its buffer.
bool picStructureSound(const std::vector<uint8_t>& bytes);
// Quake II texture: header and four mipmap levels inside the file.
bool walStructureSound(const std::vector<uint8_t>& bytes);
// Half-Life model: the texture table, and every texture's indices and
// palette, inside the file (DevIL reads the records the count asks for).
bool mdlStructureSound(const std::vector<uint8_t>& bytes);

// ZSoft PCX: header, and run-length scan lines that each decode inside
// their own line and the file (the reader reads past its buffer otherwise);
// a 256-colour picture of version 5 ends in its palette mark and palette.
bool pcxStructureSound(const std::vector<uint8_t>& bytes);

// Uncompressed formats whose readers take a cut-short file for a picture
// (and fill the missing part with whatever the buffer held): the header's
// sides and depth, and every byte of pixels they call for.
bool rasLengthSound(const std::vector<uint8_t>& bytes);    // Sun raster
bool wbmpLengthSound(const std::vector<uint8_t>& bytes);   // wireless bitmap
bool pxrLengthSound(const std::vector<uint8_t>& bytes);    // Pixar picture
bool pnmLengthSound(const std::vector<uint8_t>& bytes);    // binary pbm, pgm, ppm
// Targa: header, colour map and pixels, run-length packets walked to
// exactly w x h pixels.
bool tgaStructureSound(const std::vector<uint8_t>& bytes);

// Windows bitmap ("BM"): every line of an uncompressed picture, or
// run-length codes that reach the end of the picture inside the file.
bool bmpStructureSound(const std::vector<uint8_t>& bytes);
// GIF: blocks walked to the end of the first picture's data (the only
// picture the reader takes); extensions before it must be whole too.
bool gifStructureSound(const std::vector<uint8_t>& bytes);
// The bits per pixel a Windows bitmap, a GIF or an icon or cursor file
// keeps its (first) picture in, read from its headers: the bitmap's bit
// count, the size in bits of the GIF picture's colour table, the first
// icon's own bitmap or PNG depth. 0 for other files, or when the headers
// say nothing.
int storedBitsPerPixel(const std::vector<uint8_t>& bytes);
// JPEG: marker segments walked from the start of image to an end-of-image
// marker after a scan (bytes after it are allowed).
bool jpegStructureSound(const std::vector<uint8_t>& bytes);
// Silicon Graphics image: header, and every pixel byte (plain) or the
// offset and length tables and every row's runs, each row exactly the
// picture's width (run-length).
bool sgiStructureSound(const std::vector<uint8_t>& bytes);

// TIFF (classic layout, first directory, the one the reader takes): a
// strip or tile for every part of the picture, every one inside the file,
// each uncompressed one holding all its rows (the reader reads a short one
// on past its end), and each JPEG-compressed one a whole JPEG stream (cut
// or misplaced ones decode as garbage).
bool tiffStructureSound(const std::vector<uint8_t>& bytes);

// MNG or JNG: the signature, the header chunk first, and chunks walked,
// each with its data and check value inside the file, to the end of the
// first picture ("IEND") or of the stream ("MEND"); what follows may be
// missing. The reader loops for ever on a file that ends before those (even
// one of just its signature, or one ending in a chunk without data whose
// check value is zero).
bool mngStructureSound(const std::vector<uint8_t>& bytes);

} // namespace tq
