#include "document/Settings.h"

#include "core/ByteOrder.h"

#include <cstring>
#include <type_traits>

namespace tq {

namespace {

// The layout of the record: every field with its offset, in file order. The
// encoder, the decoder and the compile-time layout check below all walk this
// one list, so a field cannot be written at one place and read at another.
template <class Rec, class Visit>
constexpr void forEachSettingsField(Rec& s, Visit&& v)
{
    // General
    v(0, s.MainWidth);
    v(2, s.MainHeight);
    v(4, s.MainMaximized);
    v(6, s.ImageMaximized);
    v(8, s.OpenFolder);
    v(264, s.SaveFolder);
    v(520, s.AskSave);
    v(522, s.InitialZoom);
    v(524, s.RecentFiles);
    v(2572, s.ColorBoxVisible);
    v(2574, s.TexturesBoxVisible);
    v(2576, s.HistoryBoxVisible);
    v(2578, s.PanoramicBoxVisible);
    v(2580, s.BrowserBoxVisible);
    // Colours
    v(2582, s.ColorSpare);
    v(2586, s.ActiveColor);
    v(2590, s.SecondColor);
    v(2594, s.ColorTable);
    v(2658, s.ColorTableFlag);
    // Current tool
    v(2660, s.ToolName);
    // Selection tool
    v(2685, s.SelectMode);
    v(2687, s.SelectShape);
    v(2689, s.SelectPressure);
    v(2691, s.MoveSelection);
    // Brush
    v(2693, s.BrushMode);
    v(2695, s.BrushSize);
    v(2697, s.BrushPressure);
    v(2699, s.BrushContinuous);
    // Airbrush
    v(2701, s.AirbrushSize);
    v(2703, s.AirbrushPressure);
    v(2705, s.AirbrushQuantity);
    v(2707, s.AirbrushDefinition);
    // Fill
    v(2709, s.FillMode);
    v(2711, s.FillTolerance);
    v(2713, s.FillPressure);
    // Shape
    v(2715, s.ShapeType);
    v(2717, s.ShapePressure);
    v(2719, s.ShapeSides);
    // Stamp
    v(2721, s.StampMaskColor);
    v(2725, s.StampUseMaskColor);
    v(2727, s.StampMask);
    v(2729, s.StampClearBack);
    v(2731, s.StampPressure);
    // Gradient
    v(2733, s.GradientMode);
    v(2737, s.GradientColor1);
    v(2741, s.GradientColor2);
    v(2745, s.GradientTransparent1);
    v(2747, s.GradientTransparent2);
    v(2749, s.GradientPressure);
    v(2751, s.GradientFrequency);
    // Moving pasted pixels
    v(2753, s.SelectionMovePressure);
    v(2755, s.SelectionMoveFromClip);
    // History window
    v(2757, s.HistoryBoxLeft);
    v(2759, s.HistoryBoxTop);
    v(2761, s.HistoryBoxHeight);
    v(2763, s.HistoryBoxWidth);
    v(2765, s.HistoryBoxCollapsed);
    // Textures window
    v(2767, s.TexturesBoxLeft);
    v(2769, s.TexturesBoxTop);
    v(2771, s.TexturesBoxCollapsed);
    // Colour tool window
    v(2773, s.ColorBoxLeft);
    v(2775, s.ColorBoxTop);
    v(2777, s.ColorBoxCollapsed);
    // Navigator
    v(2779, s.PanoramicBoxLeft);
    v(2781, s.PanoramicBoxTop);
    v(2783, s.PanoramicBoxHeight);
    v(2785, s.PanoramicBoxWidth);
    v(2787, s.PanoramicBoxCollapsed);
    // Thumbnail browser
    v(2789, s.BrowserBoxLeft);
    v(2791, s.BrowserBoxTop);
    v(2793, s.BrowserBoxHeight);
    v(2795, s.BrowserBoxWidth);
    v(2797, s.BrowserBoxCollapsed);
    v(2799, s.ThumbWidth);
    v(2801, s.ThumbHeight);
    v(2803, s.ThumbQuality);
    v(2805, s.BrowserView);
    v(2807, s.ShowResolution);
    v(2808, s.ShowFileName);
    v(2809, s.ThumbBackColor);
    v(2813, s.BrowserFolder);
    // Optimising save dialog
    v(3069, s.WebSaveWidth);
    v(3073, s.WebSaveHeight);
    v(3077, s.WebSaveFolder);
    v(3333, s.WebSaveTab);
    v(3335, s.WebSavePreset);
    v(3337, s.WebSaveJpegQuality);
}

// Bytes a field takes in the file.
template <class T>
constexpr std::size_t storedSize()
{
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, int16_t> || std::is_same_v<T, Twips16>)
        return 2;
    else if constexpr (std::is_same_v<T, int32_t>)
        return 4;
    else if constexpr (std::is_same_v<T, uint8_t>)
        return 1;
    else
        return T::size;   // FixedText<N>
}
template <class T, std::size_t N>
constexpr std::size_t storedSize(const std::array<T, N>*)
{
    return N * storedSize<T>();
}
template <class T>
constexpr std::size_t fieldSize(const T& field)
{
    if constexpr (requires { std::tuple_size<T>::value; })
        return storedSize(&field);
    else
        return storedSize<T>();
}

// The fields must tile the record exactly: each starts where the one before
// it ends and the last ends at the record's size.
constexpr bool layoutIsContiguous()
{
    Settings s{};
    std::size_t next = 0;
    bool ok = true;
    forEachSettingsField(s, [&](std::size_t offset, const auto& field) {
        ok = ok && offset == next;
        next = offset + fieldSize(field);
    });
    return ok && next == kSettingsRecordSize;
}
static_assert(layoutIsContiguous(), "settings record layout has a gap or overlap");

// The record's signed fields through the shared little-endian helpers.
void putS16(uint8_t* p, int16_t v) { putLE16(p, static_cast<uint16_t>(v)); }
int16_t getS16(const uint8_t* p) { return static_cast<int16_t>(getLE16(p)); }
void putS32(uint8_t* p, int32_t v) { putLE32(p, static_cast<uint32_t>(v)); }
int32_t getS32(const uint8_t* p) { return static_cast<int32_t>(getLE32(p)); }

struct Writer {
    uint8_t* out;
    void operator()(std::size_t at, Twips16 v) const { putS16(out + at, v.raw()); }
    void operator()(std::size_t at, int16_t v) const { putS16(out + at, v); }
    void operator()(std::size_t at, bool v) const { putS16(out + at, v ? -1 : 0); }
    void operator()(std::size_t at, int32_t v) const { putS32(out + at, v); }
    void operator()(std::size_t at, uint8_t v) const { out[at] = v; }
    template <std::size_t N>
    void operator()(std::size_t at, const FixedText<N>& t) const
    {
        std::memcpy(out + at, t.bytes().data(), N);
    }
    template <class T, std::size_t N>
    void operator()(std::size_t at, const std::array<T, N>& a) const
    {
        for (std::size_t i = 0; i < N; ++i) (*this)(at + i * storedSize<T>(), a[i]);
    }
};

struct Reader {
    const uint8_t* in;
    void operator()(std::size_t at, Twips16& v) const { v.setRaw(getS16(in + at)); }
    void operator()(std::size_t at, int16_t& v) const { v = getS16(in + at); }
    void operator()(std::size_t at, bool& v) const { v = getS16(in + at) != 0; }
    void operator()(std::size_t at, int32_t& v) const { v = getS32(in + at); }
    void operator()(std::size_t at, uint8_t& v) const { v = in[at]; }
    template <std::size_t N>
    void operator()(std::size_t at, FixedText<N>& t) const
    {
        std::memcpy(t.bytes().data(), in + at, N);
    }
    template <class T, std::size_t N>
    void operator()(std::size_t at, std::array<T, N>& a) const
    {
        for (std::size_t i = 0; i < N; ++i) (*this)(at + i * storedSize<T>(), a[i]);
    }
};

// "folder" + "/" + name, without doubling a separator the folder ends with.
std::string joinFolder(const std::filesystem::path& folder, std::string_view name)
{
    std::string f = folder.string();
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    if (f == "/") f.clear();
    return f + "/" + std::string(name);
}

// Clamps v into lo..hi; counts a change.
template <class T>
void clampField(T& v, int32_t lo, int32_t hi, int& changed)
{
    const int32_t x = v;
    const int32_t c = x < lo ? lo : (x > hi ? hi : x);
    if (c != x) {
        v = static_cast<T>(c);
        ++changed;
    }
}

} // namespace

SettingsBytes encodeSettings(const Settings& s)
{
    SettingsBytes bytes{};
    forEachSettingsField(s, Writer{bytes.data()});
    return bytes;
}

Settings decodeSettings(const SettingsBytes& bytes)
{
    Settings s{};
    forEachSettingsField(s, Reader{bytes.data()});
    return s;
}

Settings defaultSettings(const std::filesystem::path& programFolder)
{
    Settings s{};
    const std::string images = joinFolder(programFolder, "Images/");

    s.MainWidth = 640 * kTwipsPerPixel;
    s.MainHeight = 480 * kTwipsPerPixel;
    s.MainMaximized = true;
    s.ImageMaximized = false;
    s.OpenFolder.assign(images);
    s.SaveFolder.assign(images);
    s.AskSave = true;
    s.InitialZoom = 1;
    s.ColorBoxVisible = true;
    s.TexturesBoxVisible = true;
    s.HistoryBoxVisible = true;
    s.PanoramicBoxVisible = true;
    s.BrowserBoxVisible = true;

    s.ColorSpare = 0;
    s.ActiveColor = 0xFFFFFF;
    s.SecondColor = 0;
    for (int i = 0; i < 16; ++i) s.ColorTable[i] = (17 * i) * 0x010101;
    s.ColorTableFlag = true;

    s.SelectMode = 2;
    s.SelectShape = 0;
    s.SelectPressure = 50;
    s.MoveSelection = true;

    s.BrushMode = 0;
    s.BrushSize = 25;
    s.BrushPressure = 25;
    s.BrushContinuous = true;

    s.AirbrushSize = 75;
    s.AirbrushPressure = 25;
    s.AirbrushQuantity = 100;
    s.AirbrushDefinition = 1;

    s.FillMode = 0;
    s.FillTolerance = 25;
    s.FillPressure = 100;

    s.ShapeType = 0;
    s.ShapePressure = 100;
    s.ShapeSides = 3;

    s.StampMaskColor = 0;
    s.StampUseMaskColor = false;
    s.StampMask = true;
    s.StampClearBack = false;
    s.StampPressure = 50;

    s.GradientMode = 0;
    s.GradientColor1 = 0xFFFFFF;
    s.GradientColor2 = 0;
    s.GradientTransparent1 = false;
    s.GradientTransparent2 = false;
    s.GradientPressure = 50;
    s.GradientFrequency = 1;

    s.SelectionMovePressure = 80;
    s.SelectionMoveFromClip = false;

    s.HistoryBoxLeft = 5595;
    s.HistoryBoxTop = 1125;
    s.HistoryBoxHeight = 3000;
    s.HistoryBoxWidth = 3180;
    s.HistoryBoxCollapsed = false;

    s.TexturesBoxLeft = 5595;
    s.TexturesBoxTop = 4125;
    s.TexturesBoxCollapsed = false;

    s.ColorBoxLeft = 8775;
    s.ColorBoxTop = 1125;
    s.ColorBoxCollapsed = false;

    s.PanoramicBoxLeft = 8790;
    s.PanoramicBoxTop = 2940;
    s.PanoramicBoxHeight = 2600;
    s.PanoramicBoxWidth = 3180;
    s.PanoramicBoxCollapsed = false;

    s.BrowserBoxLeft = 5595;
    s.BrowserBoxTop = 6930;
    s.BrowserBoxHeight = 3500;
    s.BrowserBoxWidth = 7000;
    s.BrowserBoxCollapsed = false;
    s.ThumbWidth = 70;
    s.ThumbHeight = 60;
    s.ThumbQuality = 0;
    s.BrowserView = 4;
    s.ShowResolution = 1;
    s.ShowFileName = 1;
    s.ThumbBackColor = 0xFFFFFF;
    s.BrowserFolder.assign(images);

    s.WebSaveWidth = 600;
    s.WebSaveHeight = 450;
    s.WebSaveFolder.assign(joinFolder(programFolder, "images/"));
    s.WebSaveTab = 3;
    s.WebSavePreset = 5;
    s.WebSaveJpegQuality = 80;
    return s;
}

int clampSettings(Settings& s)
{
    int changed = 0;
    // Numeric tool options: their sliders run from 1 to 100 and refuse any
    // other value; 0 would also divide by zero in the tools.
    for (int16_t* v : {&s.SelectPressure, &s.BrushSize, &s.BrushPressure, &s.AirbrushSize,
                       &s.AirbrushPressure, &s.AirbrushQuantity, &s.AirbrushDefinition,
                       &s.FillTolerance, &s.FillPressure, &s.ShapePressure, &s.ShapeSides,
                       &s.StampPressure, &s.GradientPressure, &s.GradientFrequency,
                       &s.SelectionMovePressure})
        clampField(*v, 1, 100, changed);

    // Indices into the tools' lists and the dialogs' choices.
    clampField(s.SelectMode, 0, 2, changed);
    clampField(s.SelectShape, 0, 3, changed);
    clampField(s.BrushMode, 0, 6, changed);
    clampField(s.FillMode, 0, 1, changed);
    clampField(s.ShapeType, 0, 6, changed);
    clampField(s.GradientMode, 0, 1, changed);
    clampField(s.ThumbQuality, 0, 1, changed);
    clampField(s.BrowserView, 4, 8, changed);
    clampField(s.WebSaveTab, 1, 3, changed);
    clampField(s.WebSavePreset, 0, 23, changed);   // the 24 output presets
    clampField(s.WebSaveJpegQuality, 1, 100, changed);

    // A document's zoom runs from 1 to 15; 1 means "leave the zoom alone".
    clampField(s.InitialZoom, 1, 15, changed);
    // The thumbnail cell size as the options dialog's scroll bars bound it.
    clampField(s.ThumbWidth, 17, 210, changed);
    clampField(s.ThumbHeight, 17, 194, changed);
    return changed;
}

} // namespace tq
