#include "document/OpenPicture.h"
#include "document/ProgramContext.h"

#include "document/mBitmap_Files.h"
#include "document/mFormat.h"
#include "document/StructureCheck.h"
#include "platform/PictureLoader.h"
#include "platform/PictureMemory.h"

#include <FreeImage.h>

#include <cstring>
#include <fstream>
#include <optional>

namespace tq {

bool opensThroughPlatformLoader(const std::string& ext)
{
    const std::string e = mBitmap::lowerExtension(ext);
    return e == "gif" || e == "wmf" || e == "emf" || e == "dib" || e == "bmp";
}

namespace {

OpenedPicture failed()
{
    OpenedPicture r;
    r.errorText = kLoadErrorText;
    return r;
}

// The platform reader fills the missing lines of a cut-short Windows
// bitmap or GIF with black or the background and calls it a picture; the
// reader goes by content, so the check does too.
bool platformPictureSound(const std::string& path)
{
    char mark[4] = {};
    {
        std::ifstream f(path, std::ios::binary);
        if (!f.read(mark, 4)) return true;   // the reader refuses it itself
    }
    bool (*walk)(const std::vector<uint8_t>&) = nullptr;
    if (mark[0] == 'B' && mark[1] == 'M') walk = bmpStructureSound;
    if (std::memcmp(mark, "GIF8", 4) == 0) walk = gifStructureSound;
    if (!walk) return true;
    std::vector<uint8_t> bytes;
    return readFileBytes(path, bytes) && walk(bytes);
}

} // namespace

std::optional<DibRecord> loadThroughPlatformLoader(const std::string& path, int* depth)
{
    if (!platformPictureSound(path)) return std::nullopt;
    return loadPlatformPicture(path, depth);
}

OpenedPicture decodePictureForOpening(const std::string& fileName, const std::string& ext)
{
    // The source bitmap: the platform loader's picture, or the library decode.
    std::optional<DibRecord> platformPicture;
    BitmapHandle decoded;
    DibRecord* source = nullptr;
    std::string refusal;
    if (opensThroughPlatformLoader(ext)) {
        if (const auto claimed = platformPictureSize(fileName);
            claimed && !pictureFitsMemory(claimed->width, claimed->height)) {
            refusal = mBitmap::pictureTooLargeText(claimed->width, claimed->height);
        } else {
            platformPicture = loadThroughPlatformLoader(fileName);
        }
        if (platformPicture) source = &*platformPicture;
    } else {
        if (PreloadedBitmap && PreloadedBitmap->sourcePath == fileName) decoded = PreloadedBitmap;
        else decoded = mBitmap::LoadImageFile(fileName, ext);
        if (!decoded) refusal = mBitmap::LastLoadRefusal();
        PreloadedBitmap.reset();
        // The decode is this call's alone now: its pixels are taken over
        // rather than copied. The record was made mutable by the loader; it
        // is handed out as const only to keep sharers from changing it.
        if (decoded) source = &const_cast<LoadedBitmap&>(*decoded).dib;
    }
    if (!mFormat::IsValidBitmap(source)) {
        OpenedPicture r = failed();
        if (!refusal.empty()) r.errorText = refusal;
        return r;
    }

    // A document takes a 24-bit picture: colour as stored, 0 in the fourth
    // byte. Both loaders already give 32 bits a pixel, rows top-down, so
    // that is the source with its fourth byte cleared, which is what a trip
    // through the glue (to 24 bits and drawn back) would give, without its
    // two more copies of the whole picture.
    OpenedPicture result;
    if (platformPicture || (decoded && decoded.use_count() == 1)) {
        result.picture = std::move(*source);
    } else {
        try {
            result.picture = *source;
        } catch (...) {
            return failed();
        }
    }
    decoded.reset();
    platformPicture.reset();
    DibRecord& pic = result.picture;
    pic.header = BitsHeader::forDib(pic.width, pic.height);
    uint8_t* p = pic.bits.data();
    const size_t n = pic.bits.size();
    for (size_t i = 3; i < n; i += 4) p[i] = 0;
    if (!mFormat::IsValidBitmap(&pic)) return failed();

    ImageWidth() = int16_t(pic.width);
    ImageHeight() = int16_t(pic.height);
    result.ok = true;
    return result;
}

} // namespace tq
