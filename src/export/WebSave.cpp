#include "export/WebSave.h"

#include "document/SizeLabel.h"
#include "document/FreeImageBridge.h"
#include "picturefiles/ColorReducer.h"
#include "platform/Folders.h"
#include "picturefiles/FreeImageSave.h"
#include "picturefiles/GifPicture.h"
#include "platform/PictureFiles.h"
#include "picturefiles/PictureLoader.h"

#include <FreeImage.h>

#include <cmath>
#include <filesystem>

namespace tq {

namespace {

constexpr std::array<const char*, 6> kTwoColourMaps = {"MS Map", "Fixed Color"};
constexpr std::array<const char*, 6> kFixedOnly = {"Fixed Color"};
constexpr std::array<const char*, 6> kFewColourMaps = {"Optimal", "Fixed Color", "Fixed Grey"};
constexpr std::array<const char*, 6> kSixteenColourMaps = {"MS Map", "Optimal", "Fixed Color", "VGA", "Fixed Grey"};
constexpr std::array<const char*, 6> kFullMaps = {"MS Map",           "Optimal", "Fixed Color",
                                                  "216 InternetSafe", "MS 256",  "Fixed Grey"};
constexpr std::array<const char*, 6> kMsMapOnly = {"MS Map"};
constexpr std::array<const char*, 6> kNoMaps = {};

} // namespace

// caption, JPEG, bits, kind, save format, palette, maps, any map is the first,
// MS Map stops dither, depth text, JPEG item
const std::array<WebSavePreset, 24> WebSavePresets = {{
    {"GIF-2 Colors", false, 1, -1, -1, 0x8000, kTwoColourMaps, false, true, "2 Colors", -1},
    {"GIF-4 Colors", false, 2, -1, -1, 0x8000, kFixedOnly, true, false, "4 Colors", -1},
    {"GIF-8 Colors", false, 3, -1, -1, 0x4000, kFewColourMaps, false, false, "8 Colors", -1},
    {"GIF-16 Colors", false, 4, -1, -1, 0x4000, kSixteenColourMaps, false, false, "16 Colors", -1},
    {"GIF-32 Colors", false, 5, -1, -1, 0x4000, kFewColourMaps, false, false, "32 Colors", -1},
    {"GIF-64 Colors", false, 6, -1, -1, 0x4000, kFewColourMaps, false, false, "64 Colors", -1},
    {"GIF-128 Colors", false, 7, -1, -1, 0x4000, kFewColourMaps, false, false, "128 Colors", -1},
    {"GIF-256 Colors", false, 8, -1, -1, 0x4000, kFullMaps, false, false, "256 Colors", -1},
    {"BMP-2 Colors", false, 1, 0, 0, 0x8000, kTwoColourMaps, false, true, "2 Colors", -1},
    {"BMP-16 Colors", false, 4, 0, 0, 0x4000, kSixteenColourMaps, false, false, "16 Colors", -1},
    {"BMP-256 Colors", false, 8, 0, 0, 0x4000, kFullMaps, false, false, "256 Colors", -1},
    {"BMP-16 bit", false, 16, 0, 0, 0x1000, kMsMapOnly, true, true, "16 bit", -1},
    {"BMP-24 bit", false, 24, 0, 0, 0x1000, kMsMapOnly, true, true, "24 bit", -1},
    {"PNG-8 bit", false, 8, 0, 1, 0x4000, kFullMaps, false, false, "8 bit", -1},
    {"PNG-24 bit", false, 24, 0, 1, 0x1000, kMsMapOnly, true, true, "24 bit", -1},
    {"JPEG - Low Quality", true, 0, 0, -1, 0, kNoMaps, false, false, nullptr, 0},
    {"JPEG - Average Quality", true, 0, 0, -1, 0, kNoMaps, false, false, nullptr, 1},
    {"JPEG - Normal Quality", true, 0, 0, -1, 0, kNoMaps, false, false, nullptr, 2},
    {"JPEG - Good Quality", true, 0, 0, -1, 0, kNoMaps, false, false, nullptr, 3},
    {"JPEG - Superb Quality", true, 0, 0, -1, 0, kNoMaps, false, false, nullptr, 4},
    {"JPEG - Custom Quality ..", true, 0, 0, -1, 0, kNoMaps, false, false, nullptr, 5},
    // Reduced to 16 bits per pixel although its caption and depth say 24.
    {"TGA-24 bit (Compressed)", false, 16, 0, 2, 0x1000, kMsMapOnly, true, true, "24 bit", -1},
    {"TGA-24 bit (Uncompressed)", false, 24, 0, 2, 0x1000, kMsMapOnly, true, true, "24 bit", -1},
    {"TIFF-24 bit (Uncompressed)", false, 24, 0, 3, 0x1000, kMsMapOnly, true, true, "24 bit", -1},
}};

int32_t webSaveTransformFlags(const WebSaveChecks& checks)
{
    int32_t flags = 0;
    if (checks.FlipV == 1) flags |= kWebSaveFlipVertical;
    if (checks.FlipH == 1) flags |= kWebSaveFlipHorizontal;
    if (checks.Invert == 1) flags |= kWebSaveInvert;
    return flags;
}

void completeFixedPalette(WebSaveState& state)
{
    if (state.PaletteFlags == 0x8000 && state.BitDepth >= 0 && state.BitDepth < 31)
        state.PaletteFlags |= int32_t(1) << state.BitDepth;
}

// ---- Option changes ----------------------------------------------------------

PresetChoice chooseWebSavePreset(WebSaveState& state, int index, bool interlaced)
{
    PresetChoice choice;
    if (index >= 0 && index < int(WebSavePresets.size())) {
        const WebSavePreset& p = WebSavePresets[size_t(index)];
        if (p.jpeg) {
            // The quality item converts; the colour-reduction fields stay.
            choice.jpeg = true;
            choice.jpegItem = p.jpegItem;
            return choice;
        }
        choice.fillMaps = true;
        for (const char* m : p.maps)
            if (m) choice.maps.emplace_back(m);
        state.BitDepth = p.bits;
        state.PaletteFlags = p.paletteFlags;
        state.DepthText = p.depthText;
        if (p.outputKind == 0) {
            state.OutputKind = 0;
            state.SaveFormat = p.saveFormat;
        } else {
            choice.showInterlaced = true;
            state.OutputKind = interlaced ? ColorReducer::kOutputGifInterlaced : ColorReducer::kOutputGif;
        }
    }
    state.DitherFlags = 0;
    state.ColorMode = 0;
    choice.resetOptions = true;
    return choice;
}

MapChoice chooseWebSaveMap(WebSaveState& state, int presetIndex, int mapItem)
{
    MapChoice choice;
    if (presetIndex >= 0 && presetIndex < int(WebSavePresets.size()) && !WebSavePresets[size_t(presetIndex)].jpeg) {
        const WebSavePreset& p = WebSavePresets[size_t(presetIndex)];
        const int item = p.anyMapIsFirst ? 0 : mapItem;
        const char* name = item >= 0 && item < int(p.maps.size()) ? p.maps[size_t(item)] : nullptr;
        if (name) {
            for (const WebSaveItem& m : WebSaveMaps)
                if (std::string(m.text) == name) state.PaletteFlags = m.value;
            if (p.msMapStopsDither && std::string(name) == "MS Map") {
                choice.ditherDisabled = true;
                state.DitherFlags = 0;
            }
        }
    }
    completeFixedPalette(state);
    return choice;
}

void chooseWebSaveColorMode(WebSaveState& state, int item)
{
    if (item >= 0 && item < int(WebSaveColorModeItems.size()))
        state.ColorMode = WebSaveColorModeItems[size_t(item)].value;
}

void chooseWebSaveDither(WebSaveState& state, int item)
{
    if (item >= 0 && item < int(WebSaveDitherItems.size())) state.DitherFlags = WebSaveDitherItems[size_t(item)].value;
}

void chooseWebSaveInterlaced(WebSaveState& state, bool checked)
{
    state.OutputKind = checked ? ColorReducer::kOutputGifInterlaced : ColorReducer::kOutputGif;
}

// ---- Conversions ------------------------------------------------------------

std::string webSaveSizeText(uint64_t bytes, const char* unit)
{
    return std::to_string(KilobytesNearest(bytes)) + unit;
}

std::string newWebSaveEstimateFile() { return uniquePictureTempName(platform::kTempBitmapName); }

namespace {

bool fileSize(const std::string& path, uint64_t& size)
{
    std::error_code ec;
    const auto n = std::filesystem::file_size(path, ec);
    if (ec) return false;
    size = uint64_t(n);
    return true;
}

// The FreeImage image as the program's bitmap.
std::optional<DibRecord> bitmapOf(FIBITMAP* dib)
{
    std::optional<DibRecord> bmp;
    if (!dib || !mFormat::FreeImage_BMP_From_DIB(dib, bmp)) bmp.reset();
    return bmp;
}

// The picture as a 24-bit FreeImage image (rows bottom-up), in one pass;
// null when it is not a valid bitmap or memory runs out.
FIBITMAP* rgb24Of(const DibRecord& picture)
{
    if (!mFormat::IsValidBitmap(&picture)) return nullptr;
    FIBITMAP* image = FreeImage_Allocate(picture.width, picture.height, 24);
    if (!image) return nullptr;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* s = picture.row(y);
        uint8_t* d = FreeImage_GetScanLine(image, picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x, s += 4, d += 3) {
            d[FI_RGBA_BLUE] = s[0];
            d[FI_RGBA_GREEN] = s[1];
            d[FI_RGBA_RED] = s[2];
        }
    }
    return image;
}

struct Format {
    FREE_IMAGE_FORMAT fif;
    const char* type;
    int saveFlags;
    int loadFlags;   // how the preview reads it back
};
// The TIFF preset says "Uncompressed", and FreeImage's TIFF writer
// compresses with LZW unless told not to.
constexpr Format kSaveFormats[] = {{FIF_BMP, "BMP", 0, 0},
                                   {FIF_PNG, "PNG", 0, 0},
                                   {FIF_TARGA, "TGA", 0, TARGA_LOAD_RGB888},
                                   {FIF_TIFF, "TIF", TIFF_NONE, 0}};

// A file written: its size and the type and size texts, shown; false
// (nothing shown) when its size cannot be read.
bool showWritten(WebSaveResult& result, const std::string& path, const std::string& typeText, const char* unit)
{
    result.written = true;
    uint64_t size = 0;
    if (!fileSize(path, size)) return false;
    result.shown = true;
    result.fileSize = size;
    result.typeText = typeText;
    result.sizeText = webSaveSizeText(size, unit);
    return true;
}

// A target that is not a regular file is refused before any conversion,
// with the reason as the status text; true when it was.
bool refuseTarget(WebSaveResult& result, const std::string& path)
{
    result.statusText = writeTargetRefusal(path);
    result.refused = !result.statusText.empty();
    return result.refused;
}

} // namespace

WebSaveResult OptimizeToFile(WebSaveState& state, const DibRecord& picture, const WebSaveChecks& checks,
                             const std::string& path, int16_t final)
{
    WebSaveResult result;
    if (refuseTarget(result, path)) return result;
    mFormat::InitFreeImage();
    ColorReducer reducer;
    if (final == 0) removeFileQuietly(path);
    completeFixedPalette(state);
    const int32_t transform = webSaveTransformFlags(checks);

    const bool bmp = state.OutputKind == ColorReducer::kOutputBmp;
    if (bmp && (state.SaveFormat < 0 || state.SaveFormat > 3)) {
        result.statusText = kWebSaveCannotApply;
        return result;
    }
    // A BMP is re-saved in its format by FreeImage: it goes to the private
    // temporary folder first, so the target only ever receives the finished file.
    const std::string target = bmp ? uniquePictureTempName(platform::kTempBitmapName) : path;

    int32_t status = 0;
    if (transform == 0) {
        status = reducer.ReduceToFile(picture, target, state.OutputKind, state.ColorMode, state.BitDepth,
                                      state.PaletteFlags, state.DitherFlags, -1, -1, -1, -1);
    } else {
        status = reducer.SetConversion(state.OutputKind, state.ColorMode, state.BitDepth, state.PaletteFlags,
                                       state.DitherFlags);
        if (status) status = reducer.SetSource(picture, -1, -1, -1, -1);
        if (status) status = reducer.SetTransform(transform, 0, 0);
        if (status) status = reducer.Convert();
        if (status) {
            switch (state.OutputKind) {
            case ColorReducer::kOutputBmp: status = reducer.SaveBmp(target); break;
            case ColorReducer::kOutputGif: status = reducer.SaveGif(target); break;
            case ColorReducer::kOutputGifInterlaced: status = reducer.SaveGifInterlaced(target); break;
            default: status = 0; break;
            }
        }
    }
    // A conversion that was made but not written is a failed write.
    const char* failure = reducer.converted() ? kWebSaveWriteFailed : kWebSaveCannotApply;

    const Format& format = kSaveFormats[bmp ? size_t(state.SaveFormat) : 0];
    if (bmp) {
        FIBITMAP* image = status ? FreeImage_Load(FIF_BMP, target.c_str(), 0) : nullptr;
        removeFileQuietly(target);
        if (!image) {
            result.statusText = failure;
            return result;
        }
        // Written at the depth the reducer gave it; nothing is converted.
        const bool saved = saveFreeImageSafely(format.fif, image, path, format.saveFlags);
        FreeImage_Unload(image);
        if (!saved) {
            result.statusText = kWebSaveWriteFailed;
            return result;
        }
    } else if (!status) {
        result.statusText = failure;
        return result;
    }
    if (!showWritten(result, path, bmp ? format.type : "GIF", " KB")) return result;
    result.depthText = state.DepthText;
    if (!bmp) {
        result.preview = loadGifPicture(path);
    } else if (state.SaveFormat == 0) {
        result.preview = loadPlatformPicture(path);
    } else {
        FIBITMAP* back = FreeImage_Load(format.fif, path.c_str(), format.loadFlags);
        result.preview = bitmapOf(back);
        if (back) FreeImage_Unload(back);
        result.previewDrawnOver = true;
    }
    return result;
}

WebSaveResult OptimizeJpegToFile(WebSaveState& state, const DibRecord& picture, const std::string& path,
                                 int32_t quality, int16_t final)
{
    WebSaveResult result;
    if (refuseTarget(result, path)) return result;
    if (final == 0) removeFileQuietly(path);
    mFormat::InitFreeImage();
    FIBITMAP* image = rgb24Of(picture);
    if (!image) {
        result.statusText = kWebSaveCannotApply;
        return result;
    }
    state.JpegQuality = quality;
    const bool saved = saveFreeImageSafely(FIF_JPEG, image, path, quality);
    FreeImage_Unload(image);
    if (!saved) {
        result.statusText = kWebSaveWriteFailed;
        return result;
    }
    if (!showWritten(result, path, "JPG", " Kb")) return result;
    result.depthText = "24 bit";
    // FreeImage decodes the JPEG for the preview faster than the platform's loader.
    FIBITMAP* back = FreeImage_Load(FIF_JPEG, path.c_str(), 0);
    result.preview = bitmapOf(back);
    if (back) FreeImage_Unload(back);
    return result;
}

} // namespace tq
