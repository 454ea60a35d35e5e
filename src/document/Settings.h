// The settings record: every option the program keeps between runs, stored
// as one fixed-size little-endian record of 3339 bytes with no header.
//
// Field kinds as stored:
//   16-bit   signed whole number (int16_t, or Twips16 for window places)
//   Boolean  16 bits: -1 true, 0 false (bool in memory; any nonzero reads true)
//   32-bit   signed whole number; a colour is red + 256 x green + 65536 x blue
//   8-bit    unsigned whole number
//   text N   N bytes of UTF-8 (FixedText<N>): an assigned text is padded with
//            blanks or cut on a character boundary; a text never assigned is
//            N zero bytes.
//
// The record's starting state (Settings{}) is all zero; defaultSettings()
// gives the values a first start uses. The layout (offset of every field) is
// written out once, in forEachSettingsField() in Settings.cpp, which both the
// encoder and the decoder walk.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tq {

inline constexpr std::size_t kSettingsRecordSize = 3339;
inline constexpr std::size_t kRecentFileCount = 8;
inline constexpr std::size_t kRecentFileLength = 256;

// Window places and sizes are kept in twips at a fixed 15 twips per pixel.
inline constexpr int32_t kTwipsPerPixel = 15;

// A fixed-length text field. bytes() is exactly what the file holds.
template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t size = N;

    // Stores text padded with blanks to N bytes; a longer text is cut to at
    // most N bytes without splitting a UTF-8 character (the bytes freed by
    // such a cut are blanks too).
    void assign(std::string_view text)
    {
        std::size_t n = std::min(text.size(), N);
        if (n < text.size()) {
            // Back off to the first byte of the character that straddles N.
            while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        }
        std::copy_n(text.begin(), n, bytes_.begin());
        std::fill(bytes_.begin() + n, bytes_.end(), ' ');
    }

    // The text as readers compare it: up to the first zero byte, trailing
    // blanks removed. A never-assigned field gives "".
    std::string text() const
    {
        std::size_t end = 0;
        while (end < N && bytes_[end] != '\0') ++end;
        while (end > 0 && bytes_[end - 1] == ' ') --end;
        return std::string(bytes_.data(), end);
    }

    // Never assigned: all zero bytes.
    bool isUnassigned() const
    {
        return std::all_of(bytes_.begin(), bytes_.end(), [](char c) { return c == '\0'; });
    }
    // Assigned from an empty text: all blanks.
    bool isBlank() const
    {
        return std::all_of(bytes_.begin(), bytes_.end(), [](char c) { return c == ' '; });
    }

    void clear() { bytes_.fill('\0'); }

    const std::array<char, N>& bytes() const { return bytes_; }
    std::array<char, N>& bytes() { return bytes_; }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> bytes_{};
};

// A 16-bit twips field. Window sizes in twips easily pass 32767 (a window
// 2200 pixels wide is 33000 twips), so every assignment saturates into the
// 16-bit range instead of wrapping around to a negative size.
class Twips16 {
public:
    constexpr Twips16() = default;
    constexpr Twips16(int32_t v) : v_(saturate(v)) {}
    constexpr Twips16& operator=(int32_t v)
    {
        v_ = saturate(v);
        return *this;
    }
    constexpr operator int32_t() const { return v_; }
    constexpr int16_t raw() const { return v_; }
    constexpr void setRaw(int16_t v) { v_ = v; }

private:
    static constexpr int16_t saturate(int32_t v)
    {
        return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
    }
    int16_t v_ = 0;
};

using RecentFileEntry = FixedText<kRecentFileLength>;

struct Settings {
    // General
    Twips16 MainWidth;
    Twips16 MainHeight;
    bool MainMaximized = false;
    bool ImageMaximized = false;
    FixedText<256> OpenFolder;
    FixedText<256> SaveFolder;
    bool AskSave = false;
    int16_t InitialZoom = 0;
    std::array<RecentFileEntry, kRecentFileCount> RecentFiles{};
    bool ColorBoxVisible = false;
    bool TexturesBoxVisible = false;
    bool HistoryBoxVisible = false;
    bool PanoramicBoxVisible = false;
    bool BrowserBoxVisible = false;
    // Colours
    int32_t ColorSpare = 0;
    int32_t ActiveColor = 0;
    int32_t SecondColor = 0;
    std::array<int32_t, 16> ColorTable{};
    bool ColorTableFlag = false;
    // Current tool
    FixedText<25> ToolName;
    // Selection tool
    int16_t SelectMode = 0;
    int16_t SelectShape = 0;
    int16_t SelectPressure = 0;
    bool MoveSelection = false;
    // Brush
    int16_t BrushMode = 0;
    int16_t BrushSize = 0;
    int16_t BrushPressure = 0;
    bool BrushContinuous = false;
    // Airbrush
    int16_t AirbrushSize = 0;
    int16_t AirbrushPressure = 0;
    int16_t AirbrushQuantity = 0;
    int16_t AirbrushDefinition = 0;
    // Fill
    int16_t FillMode = 0;
    int16_t FillTolerance = 0;
    int16_t FillPressure = 0;
    // Shape
    int16_t ShapeType = 0;
    int16_t ShapePressure = 0;
    int16_t ShapeSides = 0;
    // Stamp
    int32_t StampMaskColor = 0;
    bool StampUseMaskColor = false;
    bool StampMask = false;
    bool StampClearBack = false;
    int16_t StampPressure = 0;
    // Gradient
    int32_t GradientMode = 0;
    int32_t GradientColor1 = 0;
    int32_t GradientColor2 = 0;
    bool GradientTransparent1 = false;
    bool GradientTransparent2 = false;
    int16_t GradientPressure = 0;
    int16_t GradientFrequency = 0;
    // Moving pasted pixels
    int16_t SelectionMovePressure = 0;
    bool SelectionMoveFromClip = false;
    // History window
    Twips16 HistoryBoxLeft;
    Twips16 HistoryBoxTop;
    Twips16 HistoryBoxHeight;
    Twips16 HistoryBoxWidth;
    bool HistoryBoxCollapsed = false;
    // Textures window
    Twips16 TexturesBoxLeft;
    Twips16 TexturesBoxTop;
    bool TexturesBoxCollapsed = false;
    // Colour tool window
    Twips16 ColorBoxLeft;
    Twips16 ColorBoxTop;
    bool ColorBoxCollapsed = false;
    // Navigator
    Twips16 PanoramicBoxLeft;
    Twips16 PanoramicBoxTop;
    Twips16 PanoramicBoxHeight;
    Twips16 PanoramicBoxWidth;
    bool PanoramicBoxCollapsed = false;
    // Thumbnail browser
    Twips16 BrowserBoxLeft;
    Twips16 BrowserBoxTop;
    Twips16 BrowserBoxHeight;
    Twips16 BrowserBoxWidth;
    bool BrowserBoxCollapsed = false;
    int16_t ThumbWidth = 0;
    int16_t ThumbHeight = 0;
    int16_t ThumbQuality = 0;
    int16_t BrowserView = 0;
    uint8_t ShowResolution = 0;
    uint8_t ShowFileName = 0;
    int32_t ThumbBackColor = 0;
    FixedText<256> BrowserFolder;
    // Optimising save dialog
    int32_t WebSaveWidth = 0;
    int32_t WebSaveHeight = 0;
    FixedText<256> WebSaveFolder;
    int16_t WebSaveTab = 0;
    int16_t WebSavePreset = 0;
    int16_t WebSaveJpegQuality = 0;

    friend bool operator==(const Settings&, const Settings&) = default;
};

using SettingsBytes = std::array<uint8_t, kSettingsRecordSize>;

// The record as the file holds it.
SettingsBytes encodeSettings(const Settings& s);
// The record from the file's bytes, taken as they are (no range checks; see
// clampSettings).
Settings decodeSettings(const SettingsBytes& bytes);

// The values of a first start. The folders are the program folder's
// "Images/" (and "images/" for the optimising save dialog, as it always was);
// RecentFiles and ToolName keep the starting state, all zero.
Settings defaultSettings(const std::filesystem::path& programFolder);

// Brings every option that a damaged or edited file could put out of range
// back into it: the numeric tool options into 1..100, list indices into their
// lists, zoom and thumbnail sizes into what their controls accept. Returns
// the number of fields changed.
int clampSettings(Settings& s);

} // namespace tq
