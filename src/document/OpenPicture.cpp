#include "document/OpenPicture.h"
#include "document/PictureBudget.h"
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

OpenedPixels decodePixelsForOpening(const std::string& fileName, const std::string& ext)
{
    std::optional<BitsBuffer> pixels;
    std::string refusal;
    if (opensThroughPlatformLoader(ext)) {
        if (const auto claimed = platformPictureSize(fileName);
            claimed && !pictureFitsMemory(claimed->width, claimed->height)) {
            refusal = pictureTooLargeToOpenText(claimed->width, claimed->height);
        } else if (platformPictureSound(fileName)) {
            pixels = loadPlatformPixels(fileName);
        }
    } else {
        // A decode left by the preview of this very file is taken; any other
        // is dropped, and the file decoded straight into the buffer the
        // document keeps.
        if (PreloadedBitmap && PreloadedBitmap->sourcePath == fileName) {
            pixels = mBitmap::bitsFromRecord(PreloadedBitmap->dib);
        } else {
            pixels = mBitmap::LoadImageBits(fileName, ext);
            if (!pixels) refusal = mBitmap::LastLoadRefusal();
        }
        PreloadedBitmap.reset();
    }
    OpenedPixels result;
    if (!pixels || !pixels->allocated() || pixels->width() < 1 || pixels->height() < 1) {
        result.errorText = refusal.empty() ? kLoadErrorText : refusal;
        return result;
    }
    ImageWidth() = int16_t(pixels->width());
    ImageHeight() = int16_t(pixels->height());
    result.pixels = std::move(*pixels);
    result.ok = true;
    return result;
}

OpenedPicture decodePictureForOpening(const std::string& fileName, const std::string& ext)
{
    OpenedPixels opened = decodePixelsForOpening(fileName, ext);
    OpenedPicture result;
    result.errorText = std::move(opened.errorText);
    if (!opened.ok) return result;
    const BitsBuffer& px = opened.pixels;
    try {
        result.picture = DibRecord::fromRows(px.width(), px.height(), [&px](int y) { return px.row(y); });
    } catch (const std::bad_alloc&) {
        return failed();
    }
    result.ok = true;
    return result;
}

} // namespace tq
