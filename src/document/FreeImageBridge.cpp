#include "document/FreeImageBridge.h"

#include "core/PictureMemory.h"

#include <FreeImage.h>
#include <tiffio.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TQ_HAVE_SHUFFLE_LINES 1
#endif

namespace tq::mFormat {

namespace {

GlueResult fail(const char* routine, const char* text) { return {std::string("[") + routine + "] " + text}; }

// A failure text that ends in "error code " takes the error number after it.
GlueResult failCode(const char* routine, const char* text, int code)
{
    return {std::string("[") + routine + "] " + text + std::to_string(code)};
}

void messageHandler(FREE_IMAGE_FORMAT fif, const char* message)
{
    FreeImageMessageCallback(static_cast<int>(fif), message);
}

// The innermost watch that collects the libraries' messages now, if any
// (see ReaderMessages for why it is the process's).
ReaderMessages* activeWatch = nullptr;

// The TIFF library's errors and warnings ("module: text"): handed to the
// watches like FreeImage's own, never printed.
void tiffMessage(const char* module, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format ? format : "", args);
    try {
        const std::string said = module && *module ? std::string(module) + ": " + text : std::string(text);
        FreeImageMessageCallback(FIF_UNKNOWN, said.c_str());
    } catch (...) {
    }
}

// Floating-point colour (0 black, 1 full) clamped into 24 bits.
FIBITMAP* floatColourTo24Bits(FIBITMAP* dib)
{
    const unsigned w = FreeImage_GetWidth(dib);
    const unsigned h = FreeImage_GetHeight(dib);
    const unsigned step = FreeImage_GetImageType(dib) == FIT_RGBAF ? 4 : 3;
    FIBITMAP* out = FreeImage_Allocate(int(w), int(h), 24);
    if (!out) return nullptr;
    auto toByte = [](float v) -> uint8_t {
        if (!(v > 0.0f)) return 0;   // negative and NaN
        if (v >= 1.0f) return 255;
        return uint8_t(std::lrint(v * 255.0f));
    };
    for (unsigned y = 0; y < h; ++y) {
        const float* s = reinterpret_cast<const float*>(FreeImage_GetScanLine(dib, int(y)));
        uint8_t* d = FreeImage_GetScanLine(out, int(y));
        for (unsigned x = 0; x < w; ++x, s += step, d += 3) {
            d[0] = toByte(s[2]);   // stored red, green, blue
            d[1] = toByte(s[1]);
            d[2] = toByte(s[0]);
        }
    }
    return out;
}

// A 24- or 32-bit standard image as it is, anything else converted to 32
// bits; *owned tells whether the caller must unload the result.
FIBITMAP* asTrueColour(FIBITMAP* dib, bool* owned)
{
    *owned = false;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (type == FIT_BITMAP && (bpp == 24 || bpp == 32)) return dib;
    FIBITMAP* out = nullptr;
    switch (type) {
    case FIT_BITMAP:
    case FIT_RGB16:
    case FIT_RGBA16:
        out = FreeImage_ConvertTo32Bits(dib);
        break;
    case FIT_RGBF:
    case FIT_RGBAF:
        out = floatColourTo24Bits(dib);
        break;
    default: {
        FIBITMAP* standard = FreeImage_ConvertToStandardType(dib, TRUE);
        if (standard) {
            out = FreeImage_ConvertTo32Bits(standard);
            FreeImage_Unload(standard);
        }
        break;
    }
    }
    *owned = out != nullptr;
    return out;
}

#if defined(TQ_HAVE_SHUFFLE_LINES)
// Four 3-byte pixels into four 4-byte ones per byte shuffle, sixteen bytes
// read for twelve used, so it stops while at least two pixels (six bytes)
// are left; returns the pixels done.
__attribute__((target("ssse3"))) int32_t rgbLineShuffled(const uint8_t* src, uint32_t* d, int32_t count)
{
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int32_t i = 0;
    for (; i + 6 <= count; i += 4, src += 12) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_shuffle_epi8(v, spread));
    }
    return i;
}

bool shuffleAvailable()
{
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}
#endif

// Copies one bottom-up FreeImage line (24 or 32 bits) into a top-down
// 32-bit row, fourth byte 0.
inline void lineToRow(const uint8_t* src, unsigned bpp, uint8_t* dst, int32_t count)
{
    if (count <= 0) return;
    uint32_t* d = reinterpret_cast<uint32_t*>(dst);
    if (bpp == 24) {
        int32_t i = 0;
#if defined(TQ_HAVE_SHUFFLE_LINES)
        if (shuffleAvailable()) {
            i = rgbLineShuffled(src, d, count);
            src += 3 * size_t(i);
        }
#endif
        // Four pixels from three 32-bit words while a whole group is left.
        for (; i + 4 < count; i += 4, src += 12) {
            uint32_t w[3];
            std::memcpy(w, src, 12);
            d[i] = w[0] & 0x00FFFFFFu;
            d[i + 1] = (w[0] >> 24) | ((w[1] & 0xFFFFu) << 8);
            d[i + 2] = (w[1] >> 16) | ((w[2] & 0xFFu) << 16);
            d[i + 3] = w[2] >> 8;
        }
        // Then four bytes read per pixel, the fourth masked off; the last
        // pixel is read bytewise so nothing past the line is touched.
        for (; i + 1 < count; ++i, src += 3) {
            uint32_t v;
            std::memcpy(&v, src, 4);
            d[i] = v & 0x00FFFFFFu;
        }
        d[count - 1] = uint32_t(src[0]) | (uint32_t(src[1]) << 8) | (uint32_t(src[2]) << 16);
    } else {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(src);
        for (int32_t i = 0; i < count; ++i) d[i] = s[i] & 0x00FFFFFFu;
    }
}

bool validSurface(const DibRecord* dc) { return IsValidBitmap(dc); }

} // namespace

void FreeImageMessageCallback(int format, const char* message)
{
    try {
        const std::string said = message ? std::string(message) : std::string();
        for (ReaderMessages* w = activeWatch; w; w = w->outer_) w->said_.emplace_back(format, said);
    } catch (...) {
    }
}

ReaderMessages::ReaderMessages() : outer_(activeWatch) { activeWatch = this; }

ReaderMessages::~ReaderMessages() { activeWatch = outer_; }

std::vector<std::string> ReaderMessages::from(int format) const
{
    std::vector<std::string> texts;
    for (const auto& [f, text] : said_)
        if (f == format) texts.push_back(text);
    return texts;
}

void InitFreeImage()
{
    // FreeImage counts its initialisations; the program starts it once and
    // leaves it running until the process ends.
    static std::once_flag once;
    std::call_once(once, [] { FreeImage_Initialise(FALSE); });
    FreeImage_SetOutputMessage(messageHandler);
    // Set again at every use: another user of the TIFF library in the
    // process may have put its own handlers in.
    TIFFSetErrorHandler(tiffMessage);
    TIFFSetWarningHandler(tiffMessage);
}

bool IsValidBitmap(const DibRecord* bmp)
{
    if (!bmp) return false;
    if (bmp->width < 1 || bmp->height < 1 || bmp->width > kMaxPictureSide || bmp->height > kMaxPictureSide)
        return false;
    return bmp->bits.size() == 4u * static_cast<size_t>(bmp->width) * static_cast<size_t>(bmp->height);
}

namespace {

// The checks and the conversion both bitmap makers share: `make(w, h,
// convertRow)` makes the target and has convertRow(y, d) write row y of the
// picture into d (4 w bytes) for every row. False, with the reason recorded
// under routine R, when there is no picture to take.
template <class Make>
GlueResult convertFromDib(const char* R, FIBITMAP* dib, Make make)
{
    if (!dib) {
        return fail(R, "No DIB specified to convert");
    }
    if (!FreeImage_GetInfoHeader(dib)) {
        return fail(R, "FreeImage_GetInfoHeader failed to get the DIB header");
    }
    if (!FreeImage_GetInfo(dib)) {
        return fail(R, "FreeImage_GetInfo failed to get the DIB info");
    }
    if (!FreeImage_HasPixels(dib) || !FreeImage_GetBits(dib)) {
        return fail(R, "FreeImage_GetBits failed to get the DIB's bits");
    }
    static const char* kCreate = "CreateDIBitmap failed to create the BITMAP from the DIB reporting error code ";
    const unsigned w = FreeImage_GetWidth(dib);
    const unsigned h = FreeImage_GetHeight(dib);
    if (w < 1 || h < 1 || w > unsigned(kMaxPictureSide) || h > unsigned(kMaxPictureSide)) {
        return failCode(R, kCreate, EFBIG);
    }
    bool owned = false;
    FIBITMAP* src = asTrueColour(dib, &owned);
    if (!src) {
        return failCode(R, kCreate, EINVAL);
    }
    const unsigned bpp = FreeImage_GetBPP(src);
    try {
        make(int32_t(w), int32_t(h), [src, bpp, w, h](int32_t y, uint8_t* d) {
            lineToRow(FreeImage_GetScanLine(src, int(h - 1 - unsigned(y))), bpp, d, int32_t(w));
        });
    } catch (const std::bad_alloc&) {
        if (owned) FreeImage_Unload(src);
        return failCode(R, kCreate, ENOMEM);
    } catch (const std::length_error&) {
        if (owned) FreeImage_Unload(src);
        return failCode(R, kCreate, ENOMEM);
    }
    if (owned) FreeImage_Unload(src);
    return {};
}

} // namespace

GlueResult FreeImage_BMP_From_DIB(FIBITMAP* dib, std::optional<DibRecord>& bmp)
{
    bmp.reset();
    DibRecord rec;
    GlueResult made = convertFromDib("FreeImage_BMP_From_DIB", dib, [&rec](int32_t w, int32_t h, auto convertRow) {
        rec.width = w;
        rec.height = h;
        rec.header = BitsHeader::forDib(w, h);
        reservePictureBytes(rec.bits, 4u * size_t(w) * size_t(h));
        rec.bits.resize(4u * size_t(w) * size_t(h));
        for (int32_t y = 0; y < h; ++y) convertRow(y, rec.row(y));
    });
    if (made) bmp = std::move(rec);
    return made;
}

GlueResult FreeImage_Bits_From_DIB(FIBITMAP* dib, BitsBuffer& bits)
{
    BitsBuffer made;
    // The rows and the margin are written in one pass, with no clearing of
    // the whole block first.
    GlueResult ok = convertFromDib("FreeImage_Bits_From_DIB", dib, [&](int32_t w, int32_t h, auto convertRow) {
        if (bits.allocated() && bits.width() == w && bits.height() == h && !bits.shared())
            made = std::move(bits);
        else
            made = BitsBuffer::forOverwrite(w, h);
        made.writeRows(convertRow);
    });
    if (ok) bits = std::move(made);
    return ok;
}

GlueResult FreeImage_DIB_From_BMP(const DibRecord* bmp, FIBITMAP*& dib)
{
    static const char* R = "FreeImage_DIB_From_BMP";
    if (dib) {
        FreeImage_Unload(dib);
        dib = nullptr;
    }
    if (!bmp) {
        return fail(R, "No bitmap specified to convert");
    }
    if (!IsValidBitmap(bmp)) {
        return failCode(R, "GetObjectAPI failed with error code ", EINVAL);
    }
    const int32_t w = bmp->width;
    const int32_t h = bmp->height;
    FIBITMAP* out = FreeImage_Allocate(w, h, 32, 0, 0, 0);
    if (!out) {
        return fail(R, "FreeImage_Allocate failed to create a DIB to work with");
    }
    if (!FreeImage_GetInfo(out)) {
        FreeImage_Unload(out);
        return fail(R, "FreeImage_GetInfo failed to get the DIB info");
    }
    if (!FreeImage_GetBits(out)) {
        FreeImage_Unload(out);
        return fail(R, "FreeImage_GetBits failed to get the DIB bits");
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(bmp->row(y));
        uint32_t* d = reinterpret_cast<uint32_t*>(FreeImage_GetScanLine(out, h - 1 - y));
        // A screen bitmap read back as 32 bits has 0 in its fourth byte.
        for (int32_t x = 0; x < w; ++x) d[x] = s[x] & 0x00FFFFFFu;
    }
    dib = out;
    return {};
}

GlueResult FreeImage_RenderDIB(FIBITMAP* dib, DibRecord* dc, int32_t x, int32_t y, int32_t width, int32_t height)
{
    static const char* R = "FreeImage_RenderDIB";
    if (!dib) {
        return fail(R, "No DIB specified to render");
    }
    if (!validSurface(dc)) {
        return fail(R, "DC specified was invalid");
    }
    const int32_t iw = int32_t(FreeImage_GetWidth(dib));
    if (iw < 1) {
        return fail(R, "Could not get the bitmap's width");
    }
    const int32_t ih = int32_t(FreeImage_GetHeight(dib));
    if (ih < 1) {
        return fail(R, "Could not get the bitmap's height");
    }
    if (!FreeImage_HasPixels(dib) || !FreeImage_GetBits(dib)) {
        return fail(R, "Could not get the DIB's bits");
    }
    if (!FreeImage_GetInfo(dib)) {
        return fail(R, "Could not get the DIB's information");
    }
    if (width < 1) width = iw;
    if (height < 1) height = ih;
    bool owned = false;
    FIBITMAP* src = asTrueColour(dib, &owned);
    if (!src) {
        return failCode(R, "SetDIBitsToDevice failed to render the DIB to the specified DC with error code ", EINVAL);
    }
    const unsigned bpp = FreeImage_GetBPP(src);
    const int32_t cols = std::min(width, iw);
    for (int32_t j = 0; j < height; ++j) {
        // Destination row y + j shows line height - 1 - j counted from the bottom.
        const int32_t line = height - 1 - j;
        const int64_t dy = int64_t(y) + j;
        if (line >= ih || dy < 0 || dy >= dc->height) continue;
        const int64_t x0 = std::max<int64_t>(x, 0);
        const int64_t x1 = std::min<int64_t>(int64_t(x) + cols, dc->width);
        if (x1 <= x0) continue;
        const uint8_t* s = FreeImage_GetScanLine(src, line) + (x0 - x) * (bpp / 8);
        lineToRow(s, bpp, dc->row(int32_t(dy)) + 4 * x0, int32_t(x1 - x0));
    }
    if (owned) FreeImage_Unload(src);
    return {};
}

GlueResult FreeImage_RenderBitmap(const DibRecord* bmp, DibRecord* dc, int32_t x, int32_t y, int32_t width,
                                  int32_t height, bool invert)
{
    static const char* R = "FreeImage_RenderBitmap";
    if (!bmp) {
        return fail(R, "No bitmap specified to render");
    }
    if (!IsValidBitmap(bmp)) {
        return fail(R, "Handle specified is not a valid BITMAP");
    }
    if (!validSurface(dc)) {
        return fail(R, "DC specified is not valid");
    }
    if (width < 1) width = bmp->width;
    if (height < 1) height = bmp->height;
    const int32_t cols = std::min(width, bmp->width);
    const int32_t rows = std::min(height, bmp->height);
    const uint32_t mask = invert ? 0x00FFFFFFu : 0u;
    for (int32_t j = 0; j < rows; ++j) {
        const int64_t dy = int64_t(y) + j;
        if (dy < 0 || dy >= dc->height) continue;
        const int64_t x0 = std::max<int64_t>(x, 0);
        const int64_t x1 = std::min<int64_t>(int64_t(x) + cols, dc->width);
        const uint32_t* s = reinterpret_cast<const uint32_t*>(bmp->row(j));
        uint32_t* d = reinterpret_cast<uint32_t*>(dc->row(int32_t(dy)));
        for (int64_t dx = x0; dx < x1; ++dx) d[dx] = (s[dx - x] ^ mask) & 0x00FFFFFFu;
    }
    return {};
}

namespace {

GlueSide bitmapSide(const DibRecord* bmp, const char* routine, bool wantWidth)
{
    if (!bmp) return {0, fail(routine, "No bitmap specified to get the info for").error};
    if (!IsValidBitmap(bmp)) return {0, fail(routine, "Handle specified is not a valid BITMAP").error};
    return {wantWidth ? bmp->width : bmp->height, {}};
}

} // namespace

GlueSide FreeImage_GetBitmapWidth(const DibRecord* bmp)
{
    return bitmapSide(bmp, "FreeImage_GetBitmapWidth", true);
}

GlueSide FreeImage_GetBitmapHeight(const DibRecord* bmp)
{
    return bitmapSide(bmp, "FreeImage_GetBitmapHeight", false);
}

GlueResult FreeImage_GetBitmapInfo(const DibRecord* bmp, int32_t& width, int32_t& height, int32_t& type,
                                   int16_t& depth, int16_t& planes, const uint8_t*& bits)
{
    static const char* R = "FreeImage_GetBitmapInfo";
    width = height = type = -1;
    depth = planes = -1;
    bits = nullptr;
    if (!bmp) {
        return fail(R, "No bitmap specified to get the info for");
    }
    if (!IsValidBitmap(bmp)) {
        return fail(R, "Handle specified is not a valid bitmap");
    }
    width = bmp->width;
    height = bmp->height;
    type = 0;
    planes = 1;
    depth = 32;
    bits = bmp->bits.data();
    return {};
}

} // namespace tq::mFormat
