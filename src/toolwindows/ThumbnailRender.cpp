#include "toolwindows/ThumbnailRender.h"

#include "document/ProgramContext.h"
#include "document/PictureRoutines.h"
#include "document/OpenPicture.h"
#include "document/PictureRouting.h"

#include <algorithm>
#include <cmath>

namespace tq::browser {

namespace {

// A w x h picture all of one colour (red in the low byte), fourth byte 0.
DibRecord filled(int32_t w, int32_t h, int32_t colour)
{
    DibRecord rec;
    rec.width = std::max(1, w);
    rec.height = std::max(1, h);
    rec.header = BitsHeader::forDib(rec.width, rec.height);
    rec.bits.resize(4u * size_t(rec.width) * size_t(rec.height));
    const uint8_t px[4] = {uint8_t((colour >> 16) & 0xFF), uint8_t((colour >> 8) & 0xFF), uint8_t(colour & 0xFF), 0};
    for (size_t i = 0; i < rec.bits.size(); i += 4) std::copy(px, px + 4, rec.bits.begin() + std::ptrdiff_t(i));
    return rec;
}

void putPixel(DibRecord& rec, int32_t x, int32_t y, uint8_t grey)
{
    if (x < 0 || y < 0 || x >= rec.width || y >= rec.height) return;
    uint8_t* p = rec.row(y) + 4 * x;
    p[0] = p[1] = p[2] = grey;
}

} // namespace

bool thumbnailThroughPlatformLoader(const std::string& lowerExt)
{
    return lowerExt == "gif" || lowerExt == "wmf" || lowerExt == "emf" || lowerExt == "dib";
}

bool decodeThumbnailSource(const std::string& path, const std::string& lowerExt, DibRecord& picture)
{
    if (thumbnailThroughPlatformLoader(lowerExt)) {
        // No reader here draws metafiles: a wmf or emf file is not decoded.
        // A cut-short file is refused as when it is opened, not shown with
        // its missing lines made up.
        std::optional<DibRecord> loaded = loadThroughPlatformLoader(path);
        if (!loaded) return false;
        picture = std::move(*loaded);
        ImageWidth() = int16_t(picture.width);
        ImageHeight() = int16_t(picture.height);
        ImageBPP() = lowerExt == "gif" ? 8 : 16;
        return true;
    }
    BitmapHandle bitmap = mBitmap::LoadImageFile(path, lowerExt);
    if (!bitmap || bitmap->dib.width < 1 || bitmap->dib.height < 1) return false;
    // A handle nobody else holds gives its pixels up without a copy.
    if (bitmap.use_count() == 1)
        picture = std::move(const_cast<LoadedBitmap&>(*bitmap).dib);
    else
        picture = bitmap->dib;
    return true;
}

void thumbnailSize(int32_t pictureW, int32_t pictureH, int32_t cellW, int32_t cellH, int32_t& outW, int32_t& outH)
{
    mBitmap::FitSize(pictureW, pictureH, cellW - kThumbMargin, cellH - kThumbMargin, outW, outH);
}

DibRecord reduceToThumbnail(const DibRecord& picture, int32_t cellW, int32_t cellH, int16_t quality,
                            int32_t background, ThumbnailBitmaps& bitmaps)
{
    int32_t w = 1, h = 1;
    thumbnailSize(picture.width, picture.height, cellW, cellH, w, h);
    DibRecord thumb = filled(w, h, background);
    const BitmapSurface box = BitmapSurface::topDown32(thumb.bits.data(), thumb.width, thumb.height);
    if (quality == 0) {
        bitmaps.ThumbAlphaDib.reset();
        auto dib = std::make_unique<cDIBSection>();
        dib->CreateFromPicture(picture);
        bitmaps.ThumbDib = dib->Width() > 0 ? dib->Resample(w, -1) : nullptr;
        if (bitmaps.ThumbDib) bitmaps.ThumbDib->PaintPicture(box, 0, 0, -1, -1, 0, 0, kRopSrcCopy, -1);
    } else {
        bitmaps.ThumbDib.reset();
        auto dib = std::make_unique<cAlphaDibSection>();
        dib->CreateFromPicture(picture);
        dib->SetAlpha(255);
        bitmaps.ThumbAlphaDib.reset();
        if (dib->Width() > 0 && dib->hdc()) bitmaps.ThumbAlphaDib = dib->AlphaResample(w);
        if (bitmaps.ThumbAlphaDib) bitmaps.ThumbAlphaDib->AlphaPaintPicture(box, 0, 0, -1, -1, 0, 0, 255);
    }
    return thumb;
}

DibRecord placeholderThumbnail(int32_t cellW, int32_t cellH, int32_t background)
{
    const int32_t w = std::max(1, cellW - kThumbMargin);
    const int32_t h = std::max(1, cellH - kThumbMargin);
    DibRecord rec = filled(w, h, background);
    constexpr uint8_t kLine = 0x80;
    for (int32_t x = 0; x < w; ++x) {
        putPixel(rec, x, 0, kLine);
        putPixel(rec, x, h - 1, kLine);
    }
    for (int32_t y = 0; y < h; ++y) {
        putPixel(rec, 0, y, kLine);
        putPixel(rec, w - 1, y, kLine);
    }
    // The two diagonals, one pixel a step along the longer side.
    const int32_t steps = std::max(w, h);
    for (int32_t i = 0; i < steps; ++i) {
        const int32_t x = steps > 1 ? int32_t(std::lrint(double(i) * (w - 1) / (steps - 1))) : 0;
        const int32_t y = steps > 1 ? int32_t(std::lrint(double(i) * (h - 1) / (steps - 1))) : 0;
        putPixel(rec, x, y, kLine);
        putPixel(rec, w - 1 - x, y, kLine);
    }
    return rec;
}

} // namespace tq::browser
