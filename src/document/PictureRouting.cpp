#include "document/PictureRouting.h"

#include "picturefiles/FreeImageSave.h"
#include "document/ProgramContext.h"

#include "document/PictureBudget.h"
#include "document/DevilCheck.h"
#include "document/FreeImageBridge.h"
#include "document/OpenPicture.h"
#include "document/PsdCheck.h"
#include "document/StructureCheck.h"
#include "picturefiles/ColorReducer.h"
#include "platform/PictureFiles.h"
#include "picturefiles/PictureLoader.h"
#include "core/PictureMemory.h"
#include "core/ByteOrder.h"

#include <FreeImage.h>
#include <fcntl.h>
#include <unistd.h>
#include <IL/il.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace tq {

namespace mBitmap {

namespace {

struct ReadRow {
    const char* extensions;   // space-separated
    ReadRoute route;
};

const ReadRow kReadTable[] = {
    {"psp pic pix pxr xpm raw dcx dds lif wal mdl oil lmp sgi bw rgb rgba act pal", {Reader::DevIL, -1, 0}},
    {"bmp", {Reader::PlatformLoader, FIF_BMP, 0}},
    {"cut", {Reader::FreeImage, FIF_CUT, 0}},
    {"iff", {Reader::FreeImage, FIF_IFF, 0}},
    {"jpg jpeg", {Reader::FreeImage, FIF_JPEG, JPEG_ACCURATE}},
    {"koa", {Reader::FreeImage, FIF_KOALA, 0}},
    {"lbm", {Reader::FreeImage, FIF_LBM, 0}},
    {"mng", {Reader::FreeImage, FIF_MNG, 0}},
    {"pcd", {Reader::FreeImage, FIF_PCD, 0}},
    {"pcx", {Reader::FreeImage, FIF_PCX, 0}},
    {"png", {Reader::FreeImage, FIF_PNG, 0}},
    {"psd pdd", {Reader::FreeImage, FIF_PSD, 0}},
    {"ras", {Reader::FreeImage, FIF_RAS, 0}},
    {"tga vda icb vst targa", {Reader::FreeImage, FIF_TARGA, TARGA_LOAD_RGB888}},
    {"tif tiff", {Reader::FreeImage, FIF_TIFF, 0}},
    {"wbmp", {Reader::FreeImage, FIF_WBMP, 0}},
    {"pbm", {Reader::FreeImage, FIF_PBM, 0}},
    {"pgm", {Reader::FreeImage, FIF_PGM, 0}},
    {"ppm", {Reader::FreeImage, FIF_PPM, 0}},
    {"jng", {Reader::FreeImageByFileType, -1, 0}},
};

struct WriteRow {
    const char* extensions;
    WriteRoute route;
};

const WriteRow kWriteTable[] = {
    {"gif", {Writer::ColorReducer, -1, 0, WriteConversion::None, 0}},
    {"png", {Writer::FreeImage, FIF_PNG, 0, WriteConversion::None, 0}},
    {"jpg jpeg", {Writer::FreeImage, FIF_JPEG, JPEG_QUALITYSUPERB, WriteConversion::None, 0}},
    {"bmp", {Writer::FreeImage, FIF_BMP, 0, WriteConversion::None, 0}},
    {"tif tiff", {Writer::FreeImage, FIF_TIFF, 0, WriteConversion::None, 0}},
    {"pbm", {Writer::FreeImage, FIF_PBM, 0, WriteConversion::To8BitsUnless1, 0}},
    {"pgm", {Writer::FreeImage, FIF_PGM, 0, WriteConversion::To8BitsUnless8, 0}},
    {"ppm", {Writer::FreeImage, FIF_PPM, 0, WriteConversion::To24BitsUnless24, 0}},
    {"tga vda vst icb targa", {Writer::FreeImage, FIF_TARGA, 0, WriteConversion::None, 0}},
    {"psd", {Writer::DevIL, -1, 0, WriteConversion::None, IL_PSD}},
    {"sgi bw rgb rgba", {Writer::DevIL, -1, 0, WriteConversion::None, IL_SGI}},
    {"raw", {Writer::DevIL, -1, 0, WriteConversion::None, IL_RAW}},
    {"pcx", {Writer::DevIL, -1, 0, WriteConversion::None, IL_PCX}},
};

// True when ext is one of the space-separated words of list.
bool listHas(const char* list, const std::string& ext)
{
    if (ext.empty()) return false;
    const char* p = list;
    while (*p) {
        const char* end = std::strchr(p, ' ');
        const size_t n = end ? size_t(end - p) : std::strlen(p);
        if (n == ext.size() && std::memcmp(p, ext.data(), n) == 0) return true;
        if (!end) break;
        p = end + 1;
    }
    return false;
}

// DevIL is started once; it overwrites its output files (the temporary file
// it writes to already exists).
void initDevIL()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ilInit();
        ilEnable(IL_FILE_OVERWRITE);
    });
}

// DevIL keeps a stack of errors; empty it so old errors never pile up.
void drainDevILErrors()
{
    for (int i = 0; i < 64 && ilGetError() != IL_NO_ERROR; ++i) {
    }
}

// The most pixels a byte of compressed data is taken to hold.
constexpr uint64_t kMostPixelsPerByte = 65536;

bool sizeAllowed(long w, long h) { return w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide; }

// DevIL writes through file calls of ours as well: its writers do not look
// at what the file calls return, so only these calls see a short write or a
// failed flush or close. The flag is DevIL's one writer's (UI thread only).
bool devilWriteFailed = false;
ILHANDLE ILAPIENTRY devilOpenWrite(ILconst_string name)
{
    FILE* f = std::fopen(name, "wb");
    if (!f) devilWriteFailed = true;
    return f;
}
void ILAPIENTRY devilCloseWrite(ILHANDLE handle)
{
    FILE* f = static_cast<FILE*>(handle);
    if (!f) return;
    if (std::fflush(f) != 0 || std::ferror(f) != 0) devilWriteFailed = true;
    if (std::fclose(f) != 0) devilWriteFailed = true;
}
ILint ILAPIENTRY devilPutc(ILubyte c, ILHANDLE handle)
{
    const int r = std::fputc(c, static_cast<FILE*>(handle));
    if (r == EOF) devilWriteFailed = true;
    return r;
}
ILint ILAPIENTRY devilSeekWrite(ILHANDLE handle, ILint offset, ILint origin)
{
    return std::fseek(static_cast<FILE*>(handle), offset, origin);
}
ILint ILAPIENTRY devilTellWrite(ILHANDLE handle) { return ILint(std::ftell(static_cast<FILE*>(handle))); }
ILint ILAPIENTRY devilWrite(const void* buffer, ILuint size, ILuint count, ILHANDLE handle)
{
    // The library writes empty blocks (a bitmap with no palette) with a
    // null buffer: nothing to write, and fwrite may not be given null.
    if (size == 0 || count == 0) return 0;
    if (!buffer) {
        devilWriteFailed = true;
        return 0;
    }
    const size_t n = std::fwrite(buffer, size, count, static_cast<FILE*>(handle));
    if (n < count) devilWriteFailed = true;
    return ILint(n);
}

bool saveThroughDevILFiles(uint32_t devilType, const std::string& path)
{
    devilWriteFailed = false;
    ilSetWrite(devilOpenWrite, devilCloseWrite, devilPutc, devilSeekWrite, devilTellWrite, devilWrite);
    const bool written = ilSave(ILenum(devilType), path.c_str()) == IL_TRUE;
    ilResetWrite();
    return written && !devilWriteFailed;
}

// Reads the file through DevIL and hands it to FreeImage as a BMP.
FIBITMAP* loadThroughDevIL(const std::string& path)
{
    initDevIL();
    FIBITMAP* dib = nullptr;
    ILuint name = 0;
    ilGenImages(1, &name);
    ilBindImage(name);
    if (ilLoadImage(path.c_str()) == IL_TRUE
        && sizeAllowed(ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT))
        && pictureFitsMemory(ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT))) {
        const std::string temp = uniquePictureTempName(kDevilLoadTempName);
        if (!temp.empty()) {
            const bool saved = replaceFileSafely(temp, [](const std::string& target) {
                return saveThroughDevILFiles(IL_BMP, target);
            });
            ilBindImage(0);
            ilDeleteImages(1, &name);
            name = 0;
            if (saved) dib = FreeImage_Load(FIF_BMP, temp.c_str(), 0);
            removeFileQuietly(temp);
        }
    }
    if (name) {
        ilBindImage(0);
        ilDeleteImages(1, &name);
    }
    drainDevILErrors();
    return dib;
}

// Reads the file's header first where the library can, so that a picture
// too large for the program is refused before its pixels are decoded; the
// reason goes to refusal, for the message. The header's width and height go
// to *headerW and *headerH (left alone when the reader cannot read a header
// alone).
bool headerAllowsLoading(FREE_IMAGE_FORMAT fif, const std::string& path, int flags, long* headerW, long* headerH,
                         std::string& refusal)
{
    if (!FreeImage_FIFSupportsNoPixels(fif)) return true;
    FIBITMAP* header = FreeImage_Load(fif, path.c_str(), flags | FIF_LOAD_NOPIXELS);
    if (!header) return false;
    const long w = long(FreeImage_GetWidth(header));
    const long h = long(FreeImage_GetHeight(header));
    const unsigned bpp = FreeImage_GetBPP(header);
    FreeImage_Unload(header);
    *headerW = w;
    *headerH = h;
    if (!sizeAllowed(w, h)) return false;
    if (!pictureFitsMemory(w, h)) {
        refusal = pictureTooLargeToOpenText(w, h);
        return false;
    }
    // A few hundred bytes can claim a picture of a billion pixels; the
    // decoder then fills it with black for a minute. No compression these
    // readers know packs more than a few thousand pixels into a byte (a
    // two-colour picture one row into a few bits), so a file far shorter
    // than that holds no such picture.
    std::error_code ec;
    const uintmax_t bytes = std::filesystem::file_size(path, ec);
    if (ec) return false;
    const uint64_t pixelsPerByte = bpp == 1 ? std::max<uint64_t>(kMostPixelsPerByte, 8u * uint64_t(w))
                                            : kMostPixelsPerByte;
    return uint64_t(w) * uint64_t(h) <= (uint64_t(bytes) + 1) * pixelsPerByte;
}

// The library's Amiga IFF reader loops for ever on a cut-short file, its
// Dr. Halo reader writes outside its picture on a misplaced line end, its
// PCX reader reads past its buffer on a run across lines, and
// its Koala, Photo CD, Sun raster, wireless bitmap, PNM, Targa, bitmap and
// JPEG readers take a cut-short file for a picture, its TIFF reader decodes
// cut or misplaced JPEG strips as garbage, and its MNG and JNG reader loops
// for ever on some cut-short files.
bool freeImageStructureSound(FREE_IMAGE_FORMAT fif, const std::string& path)
{
    bool (*walk)(const std::vector<uint8_t>&) = nullptr;
    switch (fif) {
    case FIF_IFF: walk = iffStructureSound; break;
    case FIF_CUT: walk = cutStructureSound; break;
    case FIF_KOALA: walk = koalaStructureSound; break;
    case FIF_RAS: walk = rasLengthSound; break;
    case FIF_PCX: walk = pcxStructureSound; break;
    case FIF_PBM: case FIF_PGM: case FIF_PPM: walk = pnmLengthSound; break;
    case FIF_TARGA: walk = tgaStructureSound; break;
    case FIF_WBMP: walk = wbmpLengthSound; break;
    case FIF_BMP: walk = bmpStructureSound; break;
    case FIF_JPEG: walk = jpegStructureSound; break;
    case FIF_MNG: case FIF_JNG: walk = mngStructureSound; break;
    case FIF_TIFF: walk = tiffStructureSound; break;
    case FIF_PCD: {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        return !ec && pcdLengthSound(size);
    }
    default: return true;
    }
    std::vector<uint8_t> bytes;
    return readFileBytes(path, bytes) && walk(bytes);
}

// The TIFF reader hands back a picture even when a strip or tile would not
// decode, the part it could not read made up; what tells is its message.
// The one message it sends about a picture it read whole is the note that
// it dropped extra alpha channels.
bool tiffReadWhole(const mFormat::ReaderMessages& said)
{
    for (const std::string& text : said.from(FIF_TIFF))
        if (text.find("alpha channel(s) ignored") == std::string::npos) return false;
    return true;
}

// The library's decode; room, when given, receives a buffer of the size the
// header tells (bytes not written) before the decode starts.
FIBITMAP* loadThroughFreeImage(FREE_IMAGE_FORMAT fif, const std::string& path, int flags, BitsBuffer* room,
                               std::string& refusal)
{
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif)) return nullptr;
    // The library's Photoshop reader overruns its buffers on damaged files.
    if (fif == FIF_PSD && !psdFileStructureSound(path)) return nullptr;
    if (!freeImageStructureSound(fif, path)) return nullptr;
    long w = 0, h = 0;
    if (!headerAllowsLoading(fif, path, flags, &w, &h, refusal)) return nullptr;
    // The document's buffer is taken before the library's picture, so that
    // the library's block lies above it, at the heap's top: freed when the
    // rows are converted, it goes back to the top, and the next picture-sized
    // buffer (a filter's result) reuses its pages, already mapped, instead of
    // fresh ones.
    if (room && w > 0 && h > 0) {
        try {
            *room = BitsBuffer::forOverwrite(int(w), int(h));
        } catch (const std::exception&) {
            room->clear();
        }
    }
    const mFormat::ReaderMessages said;
    FIBITMAP* dib = FreeImage_Load(fif, path.c_str(), flags);
    if (dib && fif == FIF_TIFF && !tiffReadWhole(said)) {
        FreeImage_Unload(dib);
        return nullptr;
    }
    return dib;
}

// The FreeImage image through DevIL to path, in DevIL's image type.
bool SaveThroughDevIL(FIBITMAP* dib, const std::string& path, uint32_t devilType)
{
    const std::string temp = uniquePictureTempName(kDevilSaveTempName);
    if (temp.empty()) return false;
    bool ok = false;
    // A cut-short temporary file would hand DevIL a damaged picture.
    if (saveFreeImageSafely(FIF_BMP, dib, temp, 0)) {
        initDevIL();
        ILuint name = 0;
        ilGenImages(1, &name);
        ilBindImage(name);
        if (ilLoad(IL_BMP, temp.c_str()) == IL_TRUE) {
            ok = replaceFileSafely(path, [&](const std::string& target) {
                return saveThroughDevILFiles(devilType, target);
            });
        }
        ilBindImage(0);
        ilDeleteImages(1, &name);
        drainDevILErrors();
    }
    removeFileQuietly(temp);
    return ok;
}

// w pixels of 4 bytes (blue, green, red, unused) as 3 bytes each: four
// pixels (two 64-bit words) become one 64-bit and one 32-bit word.
void packRgb24(const uint8_t* s, uint8_t* d, int32_t w)
{
    static_assert(std::endian::native == std::endian::little, "the words are read and written little-endian");
    int32_t x = 0;
    for (; x + 4 <= w; x += 4, s += 16, d += 12) {
        uint64_t a, b;
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + 8, 8);
        const uint64_t low = (a & 0xFFFFFFu) | ((a >> 8) & 0xFFFFFF000000ull) | (b << 48);
        const uint32_t high = uint32_t((b >> 16) & 0xFFu) | uint32_t(((b >> 32) & 0xFFFFFFu) << 8);
        std::memcpy(d, &low, 8);
        std::memcpy(d + 8, &high, 4);
    }
    for (; x < w; ++x, s += 4, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}

// The picture as the 24-bit FreeImage image every writer receives, in a
// block of the program's own that FreeImage only borrows. rowAt(y) gives
// row y of the w x h picture, 4 bytes a pixel (the fourth is not read into
// the image); an invalid picture gives no image.
class Rgb24Image {
public:
    template <class RowAt>
    Rgb24Image(int32_t w, int32_t h, RowAt rowAt)
    {
        const size_t pitch = (size_t(w) * 3 + 3) & ~size_t(3);
        block_ = std::make_unique<PictureBlock>(pitch * size_t(h));
        if (!block_->data()) return;
        for (int32_t y = 0; y < h; ++y) {
            // FreeImage keeps its lines bottom-up.
            uint8_t* line = block_->data() + pitch * size_t(h - 1 - y);
            packRgb24(rowAt(y), line, w);
            for (size_t pad = size_t(w) * 3; pad < pitch; ++pad) line[pad] = 0;
        }
        dib_ = FreeImage_ConvertFromRawBitsEx(FALSE, block_->data(), FIT_BITMAP, w, h, int(pitch), 24,
                                              FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);
    }
    ~Rgb24Image()
    {
        if (dib_) FreeImage_Unload(dib_);
    }
    Rgb24Image(const Rgb24Image&) = delete;
    Rgb24Image& operator=(const Rgb24Image&) = delete;
    FIBITMAP* dib() const { return dib_; }

private:
    std::unique_ptr<PictureBlock> block_;
    FIBITMAP* dib_ = nullptr;
};

// A 24-bit BMP of the w x h picture whose rows rowAt gives (4 bytes a
// pixel, the fourth not written), made in the file `file` (existing, empty)
// a band of rows at a time: the bytes FreeImage's writer gives a 24-bit
// image without flags (72 dots per inch, no compression, rows bottom-up,
// padding 0), without a 24-bit copy of the whole picture first.
template <class RowAt>
bool writeRgb24Bmp(const std::string& file, int32_t w, int32_t h, RowAt rowAt)
{
    constexpr size_t kHeadBytes = 14 + BitsHeader::kSize;
    const size_t pitch = (size_t(w) * 3 + 3) & ~size_t(3);
    const uint64_t fileBytes = kHeadBytes + uint64_t(pitch) * uint64_t(h);
    if (fileBytes > UINT32_MAX) return false;
    uint8_t head[kHeadBytes] = {};
    head[0] = 'B';
    head[1] = 'M';
    putLE32(head + 2, uint32_t(fileBytes));
    putLE32(head + 10, uint32_t(kHeadBytes));
    BitsHeader info;
    info.biSize = int32_t(BitsHeader::kSize);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biXPelsPerMeter = 2835;   // 72 dots per inch
    info.biYPelsPerMeter = 2835;
    info.writeTo(head + 14);

    // About 1 MB of rows per write.
    const int32_t bandRows = int32_t(std::clamp<size_t>((size_t(1) << 20) / pitch, 1, size_t(h)));
    std::vector<uint8_t> band(size_t(bandRows) * pitch, 0);
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    // The file's blocks are taken before it is written: a disk too full for
    // it fails here, and the rename over an old file does not have to
    // allocate them all at once (which costs more than the writing itself).
    // A file system without the call is written as it is.
    bool ok = true;
    if (::fallocate(fd, 0, 0, off_t(fileBytes)) != 0 && errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
        ok = false;
    ok = ok && writeAll(fd, head, kHeadBytes);
    for (int32_t done = 0; ok && done < h;) {
        const int32_t n = std::min(bandRows, h - done);
        for (int32_t i = 0; i < n; ++i) {
            // The file's lines run bottom-up.
            packRgb24(rowAt(h - 1 - (done + i)), band.data() + pitch * size_t(i), w);
        }
        ok = writeAll(fd, band.data(), pitch * size_t(n));
        done += n;
    }
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!ok) errno = error;
    return ok && closed;
}

// The platform loader's decode, after the checks opening makes.
BitmapHandle loadThroughPlatform(const std::string& path, int16_t& bitsPerPixel, std::string& refusal)
{
    int depth = 0;
    std::optional<DibRecord> pic = loadThroughPlatformLoader(path, &depth, &refusal);
    if (!pic) return nullptr;
    bitsPerPixel = int16_t(depth);
    auto loaded = std::make_shared<LoadedBitmap>();
    loaded->sourcePath = path;
    loaded->dib = std::move(*pic);
    return loaded;
}

} // namespace

std::string lowerExtension(const std::string& ext)
{
    std::string s = ext;
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

ReadRoute readRoute(const std::string& ext)
{
    const std::string e = lowerExtension(ext);
    for (const ReadRow& row : kReadTable)
        if (listHas(row.extensions, e)) return row.route;
    return {};
}

WriteRoute writeRoute(const std::string& ext)
{
    const std::string e = lowerExtension(ext);
    for (const WriteRow& row : kWriteTable)
        if (listHas(row.extensions, e)) return row.route;
    return {};
}

BitmapHandle LoadImageFile(const std::string& path, const std::string& ext)
{
    int16_t bpp = 0;
    BitmapHandle result = DecodeImageFile(path, ext, readRoute(ext), bpp);
    if (result) {
        ImageWidth() = int16_t(result->dib.width);
        ImageHeight() = int16_t(result->dib.height);
        ImageBPP() = bpp;
    }
    return result;
}

namespace {

// The library's decode of the file by its route (the caller unloads it), or
// for XPM the platform reader's picture in `record`; null for no decode.
// refusal receives why the file was refused before decoding, when the user
// should hear it. room, when given, may receive a buffer of the picture's
// size before the decode (see loadThroughFreeImage).
FIBITMAP* decodeThroughLibraries(const std::string& path, const std::string& ext, const ReadRoute& route,
                                 int16_t& bitsPerPixel, BitmapHandle& record, std::string& refusal,
                                 BitsBuffer* room = nullptr)
{
    mFormat::InitFreeImage();
    switch (route.reader) {
    case Reader::None:
        return nullptr;
    case Reader::PlatformLoader:
        record = loadThroughPlatform(path, bitsPerPixel, refusal);
        return nullptr;
    case Reader::DevIL:
        // DevIL's XPM reader crashes on every file; the platform's reader
        // takes that one format instead.
        if (lowerExtension(ext) == "xpm") {
            record = loadThroughPlatform(path, bitsPerPixel, refusal);
            return nullptr;
        }
        if (!devilHeaderSound(path, lowerExtension(ext))) return nullptr;
        return loadThroughDevIL(path);
    case Reader::FreeImage:
        return loadThroughFreeImage(FREE_IMAGE_FORMAT(route.format), path, route.flags, room, refusal);
    case Reader::FreeImageByFileType:
        return loadThroughFreeImage(FreeImage_GetFileType(path.c_str(), 16), path, route.flags, room, refusal);
    }
    return nullptr;
}

} // namespace

BitmapHandle DecodeImageFile(const std::string& path, const std::string& ext, const ReadRoute& route,
                             int16_t& bitsPerPixel)
{
    BitmapHandle result;
    std::string refusal;
    FIBITMAP* dib = decodeThroughLibraries(path, ext, route, bitsPerPixel, result, refusal);
    if (!dib) return result;

    std::optional<DibRecord> bmp;
    if (mFormat::FreeImage_BMP_From_DIB(dib, bmp)) {
        bitsPerPixel = int16_t(FreeImage_GetBPP(dib));
        auto loaded = std::make_shared<LoadedBitmap>();
        loaded->sourcePath = path;
        loaded->dib = std::move(*bmp);
        result = std::move(loaded);
    }
    FreeImage_Unload(dib);
    return result;
}

LoadedBits LoadImageBits(const std::string& path, const std::string& ext)
{
    int16_t bpp = 0;
    BitmapHandle record;
    LoadedBits result;
    std::optional<BitsBuffer>& pixels = result.pixels;
    BitsBuffer bits;
    if (FIBITMAP* dib = decodeThroughLibraries(path, ext, readRoute(ext), bpp, record, result.refusal, &bits)) {
        if (mFormat::FreeImage_Bits_From_DIB(dib, bits)) {
            bpp = int16_t(FreeImage_GetBPP(dib));
            pixels = std::move(bits);
        }
        FreeImage_Unload(dib);
    } else if (record) {
        pixels = bitsFromRecord(record->dib);
    }
    if (pixels) {
        ImageWidth() = int16_t(pixels->width());
        ImageHeight() = int16_t(pixels->height());
        ImageBPP() = bpp;
    }
    return result;
}

std::optional<BitsBuffer> bitsFromRecord(const DibRecord& picture)
{
    if (!mFormat::IsValidBitmap(&picture)) return std::nullopt;
    try {
        BitsBuffer bits = BitsBuffer::forOverwrite(picture.width, picture.height);
        const size_t rowBytes = 4u * size_t(picture.width);
        bits.writeRows([&](int32_t y, uint8_t* d) {
            std::memcpy(d, picture.row(y), rowBytes);
            for (size_t i = 3; i < rowBytes; i += 4) d[i] = 0;
        });
        return bits;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string formatCannotHold(const std::string& ext, int64_t w, int64_t h)
{
    const std::string e = lowerExtension(ext);
    // The PCX reader takes a side of 1 pixel for a damaged file, and a
    // Photoshop file holds at most 30000 pixels a side: written anyway,
    // such a file could not be opened again.
    if (e == "pcx" && (w == 1 || h == 1)) return "A PCX file cannot hold a picture 1 pixel wide or high.";
    if (e == "psd" && (w > 30000 || h > 30000))
        return "A Photoshop file cannot hold a picture wider or higher than 30000 pixels.";
    return {};
}

namespace {

// Writes the w x h picture whose rows rowAt gives (see Rgb24Image);
// record() makes the margin-less picture the GIF writer takes. An invalid
// picture reaches the GIF writer, which refuses it itself, and no other.
template <class RowAt, class Record>
bool saveRows(const std::string& path, const std::string& ext, bool valid, int32_t w, int32_t h, RowAt rowAt,
              Record record)
{
    mFormat::InitFreeImage();
    const WriteRoute route = writeRoute(ext);
    if (route.writer == Writer::None) return false;
    if (route.writer == Writer::ColorReducer) {
        ColorReducer reducer;
        return reducer.ReduceToFile(record(), path, ColorReducer::kOutputGif, ColorReducer::kColour, 8,
                                    ColorReducer::kPaletteOptimal, ColorReducer::kDitherNone, -1, -1, -1, -1)
            != 0;
    }

    if (!valid) return false;
    if (route.writer == Writer::FreeImage && route.format == FIF_BMP && route.flags == 0 &&
        route.conversion == WriteConversion::None) {
        return replaceFileSafely(path, [&](const std::string& temp) {
            try {
                return writeRgb24Bmp(temp, w, h, rowAt);
            } catch (const std::bad_alloc&) {
                return false;
            }
        });
    }
    // Every other writer receives 24 bits.
    const Rgb24Image rgb(w, h, rowAt);
    FIBITMAP* dib = rgb.dib();
    if (!dib) return false;
    // The row's own conversion on top of the 24 bits.
    const unsigned bpp = FreeImage_GetBPP(dib);
    bool convert = false;
    switch (route.conversion) {
    case WriteConversion::None: break;
    case WriteConversion::To8BitsUnless1: convert = bpp != 1; break;
    case WriteConversion::To8BitsUnless8: convert = bpp != 8; break;
    case WriteConversion::To24BitsUnless24: convert = bpp != 24; break;
    }
    FIBITMAP* converted = nullptr;
    if (convert)
        converted = route.conversion == WriteConversion::To24BitsUnless24 ? FreeImage_ConvertTo24Bits(dib)
                                                                          : FreeImage_ConvertTo8Bits(dib);
    bool ok = false;
    if (!convert || converted) {
        FIBITMAP* image = converted ? converted : dib;
        if (route.writer == Writer::FreeImage) {
            ok = replaceFileSafely(path, [&](const std::string& temp) {
                return saveFreeImageToFile(route.format, image, temp, route.flags);
            });
        } else {
            ok = SaveThroughDevIL(image, path, route.devilType);
        }
    }
    if (converted) FreeImage_Unload(converted);
    return ok;
}

} // namespace

namespace {

// Why a w x h picture is refused before anything is written: named before
// any work, since the writers would refuse such a target anyway, without
// saying why.
std::string saveRefusal(const std::string& path, const std::string& ext, int64_t w, int64_t h)
{
    std::string refusal = writeTargetRefusal(path);
    if (refusal.empty()) refusal = formatCannotHold(ext, w, h);
    return refusal;
}

} // namespace

SaveResult SaveImageFile(const std::string& path, const std::string& ext, const DibRecord& picture)
{
    SaveResult result;
    result.refusal = saveRefusal(path, ext, picture.width, picture.height);
    if (!result.refusal.empty()) return result;
    result.written = saveRows(path, ext, mFormat::IsValidBitmap(&picture), picture.width, picture.height,
                              [&picture](int32_t y) { return picture.row(y); },
                              [&picture]() -> const DibRecord& { return picture; });
    return result;
}

SaveResult SaveImageFile(const std::string& path, const std::string& ext, const BitsBuffer& pixels)
{
    const int32_t w = pixels.width();
    const int32_t h = pixels.height();
    SaveResult result;
    if (!pixels.allocated() || w < 1 || h < 1) return result;
    result.refusal = saveRefusal(path, ext, w, h);
    if (!result.refusal.empty()) return result;
    // Only the GIF writer takes a margin-less copy; the others read the rows
    // in place.
    DibRecord copy;
    result.written = saveRows(path, ext, true, w, h, [&pixels](int32_t y) { return pixels.row(y); },
                              [&]() -> const DibRecord& {
                                  copy = DibRecord::fromRows(w, h, [&pixels](int y) { return pixels.row(y); });
                                  return copy;
                              });
    return result;
}

std::vector<uint8_t> GetPictureBits(const DibRecord* picture, int32_t w, int32_t h)
{
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return {};
    std::vector<uint8_t> bits(4u * size_t(w) * size_t(h), 0);
    if (!mFormat::IsValidBitmap(picture)) return bits;
    const int32_t cols = std::min(w, picture->width);
    const int32_t rows = std::min(h, picture->height);
    for (int32_t y = 0; y < rows; ++y)
        std::memcpy(bits.data() + 4u * size_t(w) * size_t(y), picture->row(y), 4u * size_t(cols));
    return bits;
}

} // namespace mBitmap
} // namespace tq
