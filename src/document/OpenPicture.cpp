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

OpenedPicture decodePictureForOpening(const std::string& fileName, const std::string& ext)
{
    // The source bitmap: the platform loader's picture, or the library decode.
    std::optional<DibRecord> platformPicture;
    BitmapHandle decoded;
    const DibRecord* source = nullptr;
    if (opensThroughPlatformLoader(ext)) {
        if (platformPictureSound(fileName)) platformPicture = loadPlatformPicture(fileName);
        if (platformPicture) source = &*platformPicture;
    } else {
        if (PreloadedBitmap && PreloadedBitmap->sourcePath == fileName) decoded = PreloadedBitmap;
        else decoded = mBitmap::LoadImageFile(fileName, ext);
        PreloadedBitmap.reset();
        if (decoded) source = &decoded->dib;
    }
    if (!mFormat::IsValidBitmap(source)) return failed();

    // Once through the glue: a 24-bit image drawn at its own size.
    mFormat::InitFreeImage();
    FIBITMAP* dib = nullptr;
    if (!mFormat::FreeImage_DIB_From_BMP(source, dib)) return failed();
    FIBITMAP* rgb = FreeImage_ConvertTo24Bits(dib);
    FreeImage_Unload(dib);
    if (!rgb) return failed();

    OpenedPicture result;
    bool drawn = false;
    try {
        DibRecord& pic = result.picture;
        pic.width = int(FreeImage_GetWidth(rgb));
        pic.height = int(FreeImage_GetHeight(rgb));
        pic.header = BitsHeader::forDib(pic.width, pic.height);
        reservePictureBytes(pic.bits, 4u * size_t(pic.width) * size_t(pic.height));
        pic.bits.assign(4u * size_t(pic.width) * size_t(pic.height), 0);
        drawn = mFormat::FreeImage_RenderDIB(rgb, &pic, 0, 0, -1, -1);
    } catch (...) {
        drawn = false;
    }
    FreeImage_Unload(rgb);
    if (!drawn || !mFormat::IsValidBitmap(&result.picture)) return failed();

    ImageWidth() = int16_t(result.picture.width);
    ImageHeight() = int16_t(result.picture.height);
    result.ok = true;
    return result;
}

} // namespace tq
