#include "platform/ColorReducer.h"

#include "document/mFormat.h"
#include "platform/PictureFiles.h"

#include <FreeImage.h>
#include <gif_lib.h>

#include <algorithm>

namespace tq {

int32_t ColorReducer::ReduceToFile(const DibRecord& source, const std::string& path, int32_t outputKind,
                                   int32_t colorMode, int32_t bitsPerPixel, int32_t paletteFlags,
                                   int32_t ditherFlags, int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (!SetConversion(outputKind, colorMode, bitsPerPixel, paletteFlags, ditherFlags)) return 0;
    if (!SetSource(source, left, top, width, height)) return 0;
    if (!Convert()) return 0;
    switch (outputKind) {
    case kOutputGif: return SaveGif(path);
    case kOutputGifInterlaced: return SaveGifInterlaced(path);
    default: return 0;
    }
}

int32_t ColorReducer::SetConversion(int32_t outputKind, int32_t colorMode, int32_t bitsPerPixel,
                                    int32_t paletteFlags, int32_t ditherFlags)
{
    conversionSet_ = false;
    converted_ = false;
    if (outputKind != kOutputGif && outputKind != kOutputGifInterlaced) return 0;
    if (colorMode != kColour) return 0;
    if (bitsPerPixel < 1 || bitsPerPixel > 8) return 0;
    if (paletteFlags != kPaletteOptimal) return 0;
    if (ditherFlags != kDitherNone) return 0;
    outputKind_ = outputKind;
    colorMode_ = colorMode;
    bits_ = bitsPerPixel;
    paletteFlags_ = paletteFlags;
    ditherFlags_ = ditherFlags;
    conversionSet_ = true;
    return 1;
}

int32_t ColorReducer::SetSource(const DibRecord& source, int32_t left, int32_t top, int32_t width, int32_t height)
{
    hasSource_ = false;
    converted_ = false;
    // Only the whole picture is ever asked for.
    if (left != -1 || top != -1 || width != -1 || height != -1) return 0;
    if (!mFormat::IsValidBitmap(&source)) return 0;
    source_ = source;
    hasSource_ = true;
    return 1;
}

int32_t ColorReducer::Convert()
{
    converted_ = false;
    indices_.clear();
    palette_.clear();
    if (!conversionSet_ || !hasSource_) return 0;
    mFormat::InitFreeImage();
    const int32_t w = source_.width;
    const int32_t h = source_.height;
    FIBITMAP* rgb = FreeImage_Allocate(w, h, 24, 0, 0, 0);
    if (!rgb) return 0;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = source_.row(y);
        uint8_t* d = FreeImage_GetScanLine(rgb, h - 1 - y);
        for (int32_t x = 0; x < w; ++x, s += 4, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    const int colours = 1 << bits_;
    // Exact when the picture has few enough colours, else Wu's optimal palette.
    FIBITMAP* reduced = FreeImage_ColorQuantizeEx(rgb, FIQ_LFPQUANT, colours, 0, nullptr);
    if (!reduced) reduced = FreeImage_ColorQuantizeEx(rgb, FIQ_WUQUANT, std::max(colours, 2), 0, nullptr);
    FreeImage_Unload(rgb);
    if (!reduced) return 0;

    bool ok = FreeImage_GetBPP(reduced) == 8 && FreeImage_GetPalette(reduced) != nullptr;
    if (ok) {
        const RGBQUAD* pal = FreeImage_GetPalette(reduced);
        palette_.resize(size_t(colours));
        for (int i = 0; i < colours; ++i) palette_[size_t(i)] = Rgb{pal[i].rgbBlue, pal[i].rgbGreen, pal[i].rgbRed};
        indices_.resize(size_t(w) * size_t(h));
        for (int32_t y = 0; y < h && ok; ++y) {
            const uint8_t* s = FreeImage_GetScanLine(reduced, h - 1 - y);
            uint8_t* d = indices_.data() + size_t(y) * size_t(w);
            for (int32_t x = 0; x < w; ++x) {
                if (s[x] >= colours) {
                    ok = false;
                    break;
                }
                d[x] = s[x];
            }
        }
    }
    FreeImage_Unload(reduced);
    if (!ok) {
        indices_.clear();
        palette_.clear();
        return 0;
    }
    width_ = w;
    height_ = h;
    converted_ = true;
    return 1;
}

int32_t ColorReducer::SaveGif(const std::string& path) { return saveGif(path, false); }

int32_t ColorReducer::SaveGifInterlaced(const std::string& path) { return saveGif(path, true); }

int32_t ColorReducer::saveGif(const std::string& path, bool interlaced)
{
    if (!converted_) return 0;
    const bool ok = replaceFileSafely(path, [&](const std::string& temp) {
        int err = 0;
        GifFileType* gif = EGifOpenFileName(temp.c_str(), false, &err);
        if (!gif) return false;
        std::vector<GifColorType> colours(palette_.size());
        for (size_t i = 0; i < palette_.size(); ++i)
            colours[i] = GifColorType{palette_[i].red, palette_[i].green, palette_[i].blue};
        ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
        bool good = map != nullptr;
        good = good && EGifPutScreenDesc(gif, width_, height_, bits_, 0, map) == GIF_OK;
        good = good && EGifPutImageDesc(gif, 0, 0, width_, height_, interlaced, nullptr) == GIF_OK;
        std::vector<GifPixelType> line(static_cast<size_t>(width_));
        auto putRow = [&](int32_t y) {
            const uint8_t* s = indices_.data() + size_t(y) * size_t(width_);
            std::copy(s, s + width_, line.begin());
            return EGifPutLine(gif, line.data(), width_) == GIF_OK;
        };
        if (interlaced) {
            // The encoder takes the rows in the order of the four passes.
            static const int32_t start[4] = {0, 4, 2, 1};
            static const int32_t step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4 && good; ++pass)
                for (int32_t y = start[pass]; y < height_ && good; y += step[pass]) good = putRow(y);
        } else {
            for (int32_t y = 0; y < height_ && good; ++y) good = putRow(y);
        }
        if (map) GifFreeMapObject(map);
        if (EGifCloseFile(gif, &err) != GIF_OK) good = false;
        return good;
    });
    return ok ? 1 : 0;
}

} // namespace tq
