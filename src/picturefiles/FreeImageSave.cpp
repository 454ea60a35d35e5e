#include "picturefiles/FreeImageSave.h"

#include "platform/PictureFiles.h"

#include <FreeImage.h>

#include <cstdio>

namespace tq {

namespace {

unsigned DLL_CALLCONV writeToStream(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<FILE*>(handle)));
}
unsigned DLL_CALLCONV readFromStream(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<FILE*>(handle)));
}
int DLL_CALLCONV seekStream(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<FILE*>(handle), offset, origin);
}
long DLL_CALLCONV tellStream(fi_handle handle) { return std::ftell(static_cast<FILE*>(handle)); }

} // namespace

bool saveFreeImageToFile(int fif, FIBITMAP* image, const std::string& path, int flags)
{
    if (!image) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    FreeImageIO io{readFromStream, writeToStream, seekStream, tellStream};
    const bool written = FreeImage_SaveToHandle(FREE_IMAGE_FORMAT(fif), image, &io, static_cast<fi_handle>(f), flags) != FALSE;
    const bool flushed = std::fflush(f) == 0 && std::ferror(f) == 0;
    const bool closed = std::fclose(f) == 0;
    return written && flushed && closed;
}

bool saveFreeImageSafely(int fif, FIBITMAP* image, const std::string& path, int flags)
{
    if (!image) return false;
    return replaceFileSafely(path, [&](const std::string& temp) {
        return saveFreeImageToFile(fif, image, temp, flags);
    });
}

} // namespace tq
