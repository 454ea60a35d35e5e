// The optimised save's model: the 24 output presets and the option
// vocabularies, the state fields the dialog keeps, what each option change
// does to them, and the two conversions that write a preset's file (the
// size estimate and the real save).
//
// Plain C++ for the dialog FWeb to hold: the dialog owns the controls, shows
// what a function returns (lists to fill, which panel to show, the preview
// and the texts) and passes the picture, the check boxes and the path in.
//
// Conversions:
//   - OptimizeToFile: every preset but JPEG. The colour reducer reduces the
//     picture and writes a GIF (output kinds 1 and 2) straight to the path,
//     or a BMP (kind 0) into the private temporary folder, which FreeImage
//     reads back and writes to the path as BMP, PNG, TGA or TIFF
//     (SaveFormat 0..3) at the depth the reducer gave it.
//   - OptimizeJpegToFile: the picture at 24 bits through FreeImage's JPEG
//     writer with the quality given; the preview is decoded by FreeImage.
// Every writer is checked. A file at the path is replaced only by a
// complete new one, so a failed save leaves the old file as it was; a
// failure is reported in the result's status text. An estimate (final 0)
// first deletes the file at the path; a real save (final 1) never does.
// After writing, the file is read back as the preview, so the preview is
// the file as it really came out (GIFs through giflib, JPEGs through
// FreeImage, BMPs through the platform's loader, the other formats as
// FreeImage reads them).
#pragma once

#include "core/BitsBuffer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tq {

// ---- Vocabularies -----------------------------------------------------------

struct WebSaveItem {
    const char* text;
    int32_t value;
};

// ReducePaletteFlags by palette map name.
inline constexpr std::array<WebSaveItem, 7> WebSaveMaps = {{{"MS Map", 0x1000},
                                                            {"Optimal", 0x4000},
                                                            {"Fixed Color", 0x8000},
                                                            {"VGA", 0x8210},
                                                            {"216 InternetSafe", 0x84D8},
                                                            {"MS 256", 0x8300},
                                                            {"Fixed Grey", 0x88FF}}};
// The dither list (ReduceDitherFlags); no item has 128.
inline constexpr std::array<WebSaveItem, 11> WebSaveDitherItems = {{{"None", 0},
                                                                    {"Binary", 1},
                                                                    {"Ordered", 2},
                                                                    {"Haftone", 4},
                                                                    {"Forward Diagonal", 8},
                                                                    {"Backward Diagonal", 16},
                                                                    {"Horizontal", 32},
                                                                    {"Vertical", 64},
                                                                    {"Odd", 256},
                                                                    {"Even", 512},
                                                                    {"Equal", 1024}}};
// The colour mode list (ReduceColorMode).
inline constexpr std::array<WebSaveItem, 2> WebSaveColorModeItems = {{{"Colors", 0}, {"Greyscale", 2}}};
// The JPEG quality list: FreeImage's quality save flags, then the custom
// quality (its value comes from the quality box).
inline constexpr std::array<WebSaveItem, 6> WebSaveJpegItems = {{{"Bad", 0x800},
                                                                 {"Average", 0x400},
                                                                 {"Normal", 0x200},
                                                                 {"Good", 0x100},
                                                                 {"Superb", 0x80},
                                                                 {"custom...", 0}}};
inline constexpr int kWebSaveCustomJpegItem = 5;

// ReduceTransformFlags of the three check boxes.
inline constexpr int32_t kWebSaveFlipVertical = 0x1010000;
inline constexpr int32_t kWebSaveFlipHorizontal = 0x1020000;
inline constexpr int32_t kWebSaveInvert = 0x3100000;

// ---- The presets -------------------------------------------------------------

struct WebSavePreset {
    const char* caption;
    bool jpeg;                // written by OptimizeJpegToFile
    int32_t bits;             // BitDepth (0 for JPEG)
    int32_t outputKind;       // 0 BMP; -1 GIF, interlaced when "InterLaced" is ticked
    int16_t saveFormat;       // SaveFormat for kind 0; -1 leaves it as it was
    int32_t paletteFlags;     // the initial PaletteFlags
    std::array<const char*, 6> maps;   // the maps offered, in order; null after the last
    bool anyMapIsFirst;       // every item of the map list sets the first map's flags
    bool msMapStopsDither;    // choosing "MS Map" puts dither on "None" and disables it
    const char* depthText;    // DepthText (null for JPEG)
    int jpegItem;             // the JPEG quality item it selects, -1 for the others
};

extern const std::array<WebSavePreset, 24> WebSavePresets;
inline constexpr int kDefaultWebSavePreset = 5;   // "GIF-64 Colors"

// ---- The dialog's state ------------------------------------------------------

struct WebSaveState {
    bool Ready = false;          // False while the dialog is being set up
    int32_t OutputKind = 0;      // ReduceOutputKind: 0 BMP, 1 GIF, 2 interlaced GIF
    int32_t ColorMode = 0;       // ReduceColorMode: 0 colour, 2 greyscale
    int32_t BitDepth = 0;        // 1..8, 16 or 24
    int32_t PaletteFlags = 0;    // ReducePaletteFlags
    int32_t DitherFlags = 0;     // ReduceDitherFlags
    int16_t SaveFormat = 0;      // 0 BMP, 1 PNG, 2 TGA, 3 TIFF (kind 0)
    std::string DepthText;
    int32_t JpegQuality = 0;     // the quality of the last JPEG conversion
};

// The check boxes the conversion reads: 0 clear, 1 ticked, 2 greyed. Only a
// ticked box counts.
struct WebSaveChecks {
    int FlipV = 0;
    int FlipH = 0;
    int Invert = 0;
};
int32_t webSaveTransformFlags(const WebSaveChecks& checks);

// A value of exactly &H8000 ("Fixed Color") completed with 2 ^ BitDepth.
void completeFixedPalette(WebSaveState& state);

// ---- Option changes ------------------------------------------------------------

// What the dialog does after a preset is chosen.
struct PresetChoice {
    bool jpeg = false;               // show the JPEG options, hide the colour-reduction ones
    bool showInterlaced = false;     // show "InterLaced" (hidden otherwise, never cleared)
    bool fillMaps = false;           // maps holds the new map list, none of it selected
    std::vector<std::string> maps;
    int jpegItem = -1;               // the JPEG quality item to select (which converts)
    // Enable the map, colour mode and dither lists and the flips frame, put
    // dither on "None" and colour mode on "Colors", and run OptimizeToFile.
    bool resetOptions = false;
};
// The preset of list index index; interlaced is the state of "InterLaced".
PresetChoice chooseWebSavePreset(WebSaveState& state, int index, bool interlaced);

struct MapChoice {
    bool ditherDisabled = false;     // dither list on "None" and disabled; else enabled
};
// Item mapItem of the map list under preset presetIndex; the dialog then
// runs OptimizeToFile.
MapChoice chooseWebSaveMap(WebSaveState& state, int presetIndex, int mapItem);
// Items of the colour mode and dither lists (an unknown item changes
// nothing); each is followed by OptimizeToFile.
void chooseWebSaveColorMode(WebSaveState& state, int item);
void chooseWebSaveDither(WebSaveState& state, int item);
// "InterLaced" ticked or not; followed by OptimizeToFile.
void chooseWebSaveInterlaced(WebSaveState& state, bool checked);

// ---- Conversions -------------------------------------------------------------------

struct WebSaveResult {
    bool written = false;            // the file at the path is the new one
    // For the status bar's third panel; empty when there is nothing to say.
    std::string statusText;
    // The texts and preview were made: the file was written and measured.
    bool shown = false;
    std::string typeText, sizeText, depthText;
    uint64_t fileSize = 0;
    // The file as read back; nothing when it could not be read (the
    // optimised previews then keep what they showed).
    std::optional<DibRecord> preview;
    // PNG, TGA and TIFF previews are drawn at (0, 0) on the optimised
    // preview in their own size; the others replace its picture.
    bool previewDrawnOver = false;
    // The path exists and is not a regular file: nothing was written and
    // statusText says so.
    bool refused = false;
};

inline constexpr const char* kWebSaveCannotApply = "The current format cannot be applied to the image!";
inline constexpr const char* kWebSaveWriteFailed = "Unexpected error saving image";

// final: 0 for the size estimate, 1 for the real save.
WebSaveResult OptimizeToFile(WebSaveState& state, const DibRecord& picture, const WebSaveChecks& checks,
                             const std::string& path, int16_t final);
// quality: a FreeImage JPEG quality flag, 1..100, or 0 (FreeImage's own).
WebSaveResult OptimizeJpegToFile(WebSaveState& state, const DibRecord& picture, const std::string& path,
                                 int32_t quality, int16_t final);

// The size in kilobytes rounded half to even (512 bytes give 0, 1536 and
// 2560 give 2), followed by unit (" KB" or " Kb"); any size fits.
std::string webSaveSizeText(uint64_t bytes, const char* unit);

// A name for the dialog's estimate file in the program's private temporary
// folder, unique in this run; "" when there is no such folder.
std::string newWebSaveEstimateFile();

} // namespace tq
