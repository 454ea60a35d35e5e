#include "document/OpenPicture.h"
#include "document/PictureBudget.h"
#include "document/ProgramContext.h"

#include "document/PictureRouting.h"
#include "document/FreeImageBridge.h"
#include "document/StructureCheck.h"
#include "picturefiles/PictureLoader.h"
#include "core/PictureMemory.h"

#include <FreeImage.h>

#include <algorithm>
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

// The first bytes of a file, fewer when it is shorter.
std::vector<uint8_t> fileStart(const std::string& path, size_t n)
{
    std::vector<uint8_t> bytes(n);
    std::ifstream f(path, std::ios::binary);
    f.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(n));
    bytes.resize(f ? n : size_t(std::max<std::streamsize>(f.gcount(), 0)));
    return bytes;
}

// The platform reader fills the missing lines of a cut-short Windows
// bitmap or GIF with black or the background and calls it a picture; the
// reader goes by content, so the check does too. A file it passes whose
// headers tell its depth (bitmaps, GIFs, icons and cursors) is left read
// whole in bytes.
bool platformPictureSound(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    const std::vector<uint8_t> mark = fileStart(path, 4);
    if (mark.size() < 4) return true;   // the reader refuses it itself
    bool (*walk)(const std::vector<uint8_t>&) = nullptr;
    if (mark[0] == 'B' && mark[1] == 'M') walk = bmpStructureSound;
    if (std::memcmp(mark.data(), "GIF8", 4) == 0) walk = gifStructureSound;
    const bool icon = mark[0] == 0 && mark[1] == 0 && (mark[2] == 1 || mark[2] == 2) && mark[3] == 0;
    if (!walk && !icon) return true;
    if (!readFileBytes(path, bytes)) return false;
    return !walk || walk(bytes);
}

// Why the picture the file claims to hold cannot be opened here (one too
// large for the memory); empty when nothing stands against it.
std::string platformRefusal(const std::string& path)
{
    const auto claimed = platformPictureSize(path);
    if (claimed && !pictureFitsMemory(claimed->width, claimed->height))
        return pictureTooLargeToOpenText(claimed->width, claimed->height);
    return {};
}

} // namespace

std::optional<DibRecord> loadThroughPlatformLoader(const std::string& path, int* depth, std::string* refusal)
{
    const std::string why = platformRefusal(path);
    if (refusal) *refusal = why;
    std::vector<uint8_t> bytes;
    if (!why.empty() || !platformPictureSound(path, bytes)) return std::nullopt;
    std::optional<DibRecord> picture = loadPlatformPicture(path, depth);
    // The reader widens what it decodes (a 24-bit bitmap or any GIF comes
    // out in 32 bits); the file's own depth is the one to tell.
    if (picture && depth)
        if (const int stored = storedBitsPerPixel(bytes); stored > 0) *depth = stored;
    return picture;
}

OpenedPixels decodePixelsForOpening(const std::string& fileName, const std::string& ext)
{
    std::optional<BitsBuffer> pixels;
    std::string refusal;
    if (opensThroughPlatformLoader(ext)) {
        refusal = platformRefusal(fileName);
        std::vector<uint8_t> bytes;
        if (refusal.empty() && platformPictureSound(fileName, bytes)) pixels = loadPlatformPixels(fileName);
    } else {
        // A decode left by the preview of this very file is taken; any other
        // is dropped, and the file decoded straight into the buffer the
        // document keeps.
        if (PreloadedBitmap() && PreloadedBitmap()->sourcePath == fileName) {
            pixels = mBitmap::bitsFromRecord(PreloadedBitmap()->dib);
        } else {
            mBitmap::LoadedBits loaded = mBitmap::LoadImageBits(fileName, ext);
            pixels = std::move(loaded.pixels);
            if (!pixels) refusal = std::move(loaded.refusal);
        }
        PreloadedBitmap().reset();
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
