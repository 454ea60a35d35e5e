#include "picturefiles/GifPicture.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <new>

namespace tq {

std::optional<DibRecord> loadGifPicture(const std::string& path)
{
    int err = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &err);
    if (!gif) return std::nullopt;
    std::optional<DibRecord> result;
    const int w = gif->SWidth, h = gif->SHeight;
    if (w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide && DGifSlurp(gif) == GIF_OK
        && gif->ImageCount >= 1) {
        const SavedImage& image = gif->SavedImages[0];
        const GifImageDesc& desc = image.ImageDesc;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        // Every index maps to a colour; those past the map to black.
        std::array<uint32_t, 256> colours{};
        if (map)
            for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
                colours[size_t(i)] = uint32_t(map->Colors[i].Blue) | uint32_t(map->Colors[i].Green) << 8
                                     | uint32_t(map->Colors[i].Red) << 16;
        try {
            DibRecord d;
            d.width = w;
            d.height = h;
            d.header = BitsHeader::forDib(w, h);
            d.bits.assign(4u * size_t(w) * size_t(h), 0);
            // The part of the picture that lies on the screen.
            const int left = std::max(0, desc.Left), top = std::max(0, desc.Top);
            const int right = std::min(w, desc.Left + desc.Width), bottom = std::min(h, desc.Top + desc.Height);
            if (image.RasterBits && desc.Width > 0)
                for (int y = top; y < bottom; ++y) {
                    const GifByteType* s = image.RasterBits + size_t(y - desc.Top) * size_t(desc.Width);
                    uint32_t* o = reinterpret_cast<uint32_t*>(d.row(y));
                    for (int x = left; x < right; ++x) o[x] = colours[s[x - desc.Left]];
                }
            result = std::move(d);
        } catch (const std::bad_alloc&) {
            result.reset();
        }
    }
    DGifCloseFile(gif, &err);
    return result;
}

} // namespace tq
