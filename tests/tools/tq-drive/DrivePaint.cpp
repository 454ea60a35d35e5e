// tq-drive's painting steps: settings by name, the tool, the colours, and
// strokes made of mouse and key events sent to the active document's canvas.
//
//   --set FIELD=VALUE    any Settings field by its name (NAME[i] for an entry
//                        of a list field); numbers may be written 0x...,
//                        Booleans as true/false or -1/0
//   --tool NAME          clicks the tool-bar button of that ToolKey
//   --colour 0xRRGGBB    the active colour; --colour2 the second one
//   --drag X,Y X,Y ...   a left-button stroke through picture points at zoom 1:
//                        the pointer comes to the first point, presses there,
//                        moves to each next point and releases on the last
//   --rdrag X,Y ...      the same with the right button
//   --key-press NAME     Space, Left, Up, Right, Down or Ctrl, pressed and
//                        released on the canvas
//   --seed N             seeds the program's random generator (the airbrush)
#include "Drive.h"

#include "document/ImageCanvas.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "platform/Random.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>

#include <array>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

namespace tq::drive {
namespace {

// ---- Settings fields by name ------------------------------------------------------

std::optional<bool> parseBool(const std::string& v)
{
    if (v == "true" || v == "-1" || v == "1") return true;
    if (v == "false" || v == "0") return false;
    return std::nullopt;
}

template <class T>
bool setWhole(T& field, const std::string& v)
{
    const auto n = parseNumber(v);
    if (!n || *n < std::numeric_limits<T>::min() || *n > std::numeric_limits<T>::max()) return false;
    field = static_cast<T>(*n);
    return true;
}

bool setValue(bool& f, const std::string& v)
{
    const auto b = parseBool(v);
    if (b) f = *b;
    return b.has_value();
}
bool setValue(int16_t& f, const std::string& v) { return setWhole(f, v); }
bool setValue(int32_t& f, const std::string& v) { return setWhole(f, v); }
bool setValue(uint8_t& f, const std::string& v) { return setWhole(f, v); }
bool setValue(Twips16& f, const std::string& v)
{
    int32_t n = 0;
    if (!setWhole(n, v)) return false;
    f = n;
    return true;
}
template <std::size_t N>
bool setValue(FixedText<N>& f, const std::string& v)
{
    f.assign(v);
    return true;
}

// A field, or an entry of a list field.
template <class T>
bool setField(T& f, const std::string& v, std::optional<size_t> index)
{
    if (index) return false;
    return setValue(f, v);
}
template <class T, std::size_t N>
bool setField(std::array<T, N>& f, const std::string& v, std::optional<size_t> index)
{
    if (!index || *index >= N) return false;
    return setValue(f[*index], v);
}

// The bytes a field takes in the settings file.
template <class T>
constexpr size_t storedSize()
{
    if constexpr (std::is_same_v<T, uint8_t>) return 1;
    else if constexpr (std::is_same_v<T, int32_t>) return 4;
    else if constexpr (requires { T::size; }) return T::size;
    else return 2;   // 16-bit numbers, twips and Booleans
}
template <class T>
constexpr size_t fieldBytes(const T*)
{
    return storedSize<T>();
}
template <class T, std::size_t N>
constexpr size_t fieldBytes(const std::array<T, N>*)
{
    return N * storedSize<T>();
}

struct NamedField {
    const char* name;
    bool (*set)(Settings&, const std::string&, std::optional<size_t>);
    size_t bytes;
};

#define TQ_FIELD(f)                                                                                        \
    NamedField                                                                                             \
    {                                                                                                      \
        #f, [](Settings& s, const std::string& v, std::optional<size_t> i) { return setField(s.f, v, i); }, \
            fieldBytes(static_cast<const decltype(Settings::f)*>(nullptr))                                 \
    }

constexpr NamedField kFields[] = {
    TQ_FIELD(MainWidth), TQ_FIELD(MainHeight), TQ_FIELD(MainMaximized), TQ_FIELD(ImageMaximized),
    TQ_FIELD(OpenFolder), TQ_FIELD(SaveFolder), TQ_FIELD(AskSave), TQ_FIELD(InitialZoom), TQ_FIELD(RecentFiles),
    TQ_FIELD(ColorBoxVisible), TQ_FIELD(TexturesBoxVisible), TQ_FIELD(HistoryBoxVisible),
    TQ_FIELD(PanoramicBoxVisible), TQ_FIELD(BrowserBoxVisible), TQ_FIELD(ColorSpare), TQ_FIELD(ActiveColor),
    TQ_FIELD(SecondColor), TQ_FIELD(ColorTable), TQ_FIELD(ColorTableFlag), TQ_FIELD(ToolName),
    TQ_FIELD(SelectMode), TQ_FIELD(SelectShape), TQ_FIELD(SelectPressure), TQ_FIELD(MoveSelection),
    TQ_FIELD(BrushMode), TQ_FIELD(BrushSize), TQ_FIELD(BrushPressure), TQ_FIELD(BrushContinuous),
    TQ_FIELD(AirbrushSize), TQ_FIELD(AirbrushPressure), TQ_FIELD(AirbrushQuantity), TQ_FIELD(AirbrushDefinition),
    TQ_FIELD(FillMode), TQ_FIELD(FillTolerance), TQ_FIELD(FillPressure), TQ_FIELD(ShapeType),
    TQ_FIELD(ShapePressure), TQ_FIELD(ShapeSides), TQ_FIELD(StampMaskColor), TQ_FIELD(StampUseMaskColor),
    TQ_FIELD(StampMask), TQ_FIELD(StampClearBack), TQ_FIELD(StampPressure), TQ_FIELD(GradientMode),
    TQ_FIELD(GradientColor1), TQ_FIELD(GradientColor2), TQ_FIELD(GradientTransparent1),
    TQ_FIELD(GradientTransparent2), TQ_FIELD(GradientPressure), TQ_FIELD(GradientFrequency),
    TQ_FIELD(SelectionMovePressure), TQ_FIELD(SelectionMoveFromClip), TQ_FIELD(HistoryBoxLeft),
    TQ_FIELD(HistoryBoxTop), TQ_FIELD(HistoryBoxHeight), TQ_FIELD(HistoryBoxWidth), TQ_FIELD(HistoryBoxCollapsed),
    TQ_FIELD(TexturesBoxLeft), TQ_FIELD(TexturesBoxTop), TQ_FIELD(TexturesBoxCollapsed), TQ_FIELD(ColorBoxLeft),
    TQ_FIELD(ColorBoxTop), TQ_FIELD(ColorBoxCollapsed), TQ_FIELD(PanoramicBoxLeft), TQ_FIELD(PanoramicBoxTop),
    TQ_FIELD(PanoramicBoxHeight), TQ_FIELD(PanoramicBoxWidth), TQ_FIELD(PanoramicBoxCollapsed),
    TQ_FIELD(BrowserBoxLeft), TQ_FIELD(BrowserBoxTop), TQ_FIELD(BrowserBoxHeight), TQ_FIELD(BrowserBoxWidth),
    TQ_FIELD(BrowserBoxCollapsed), TQ_FIELD(ThumbWidth), TQ_FIELD(ThumbHeight), TQ_FIELD(ThumbQuality),
    TQ_FIELD(BrowserView), TQ_FIELD(ShowResolution), TQ_FIELD(ShowFileName), TQ_FIELD(ThumbBackColor),
    TQ_FIELD(BrowserFolder), TQ_FIELD(WebSaveWidth), TQ_FIELD(WebSaveHeight), TQ_FIELD(WebSaveFolder),
    TQ_FIELD(WebSaveTab), TQ_FIELD(WebSavePreset), TQ_FIELD(WebSaveJpegQuality),
};
#undef TQ_FIELD

// Every field of the record is named: the names cover its whole length.
constexpr size_t namedBytes()
{
    size_t n = 0;
    for (const NamedField& f : kFields) n += f.bytes;
    return n;
}
static_assert(namedBytes() == kSettingsRecordSize, "a settings field has no name in tq-drive");

StepResult runSet(Drive&, const Step& s)
{
    const std::string& arg = s.values[0];
    const size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) return "expected FIELD=VALUE";
    std::string name = arg.substr(0, eq);
    const std::string value = arg.substr(eq + 1);
    std::optional<size_t> index;
    if (const size_t open = name.find('['); open != std::string::npos && name.back() == ']') {
        const auto i = parseNumber(name.substr(open + 1, name.size() - open - 2));
        if (!i || *i < 0) return "bad index in " + name;
        index = static_cast<size_t>(*i);
        name.resize(open);
    }
    for (const NamedField& f : kFields)
        if (name == f.name) return f.set(programSettings(), value, index) ? StepResult{} : "bad value for " + name;
    return "no settings field " + name;
}

// ---- Tool and colours -------------------------------------------------------------

StepResult runTool(Drive& d, const Step& s)
{
    for (const tools::ToolButtonSpec& b : tools::kToolButtons) {
        if (s.values[0] != b.key) continue;
        // A toggle already pressed stays pressed: the tool is chosen.
        if (b.style == tools::ButtonStyle::Check && d.main.tbTool->ButtonValue(b.index)) return {};
        const size_t before = d.ports.messageBoxes.shown.size();
        d.main.tbTool->button(b.index)->click();
        std::string error;
        return d.settle(before, error) ? StepResult{} : error;
    }
    return "no tool " + s.values[0];
}

StepResult runColour(int32_t Settings::*field, const Step& s)
{
    const auto c = parseColour(s.values[0]);
    if (!c) return "expected 0xRRGGBB";
    programSettings().*field = *c;
    return {};
}

StepResult runSeed(Drive&, const Step& s)
{
    const auto n = parseNumber(s.values[0]);
    if (!n || *n < 0 || *n > 0xFFFFFFFFLL) return "expected a whole number";
    programRandom().seed(static_cast<uint32_t>(*n));
    return {};
}

// ---- Strokes and keys on the canvas -------------------------------------------------

// The canvas of the active document, its view at zoom 1.
ImageCanvas* canvasAtZoom1(Drive& d)
{
    fImage* doc = d.activeDocument();
    if (!doc || !doc->PictureExists()) return nullptr;
    if (doc->ZoomFactor() != 1) doc->setZoomFactor(1);
    QCoreApplication::processEvents();
    return doc->iDst;
}

void sendMouse(ImageCanvas& canvas, QEvent::Type type, const QPoint& at, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), QPointF(canvas.mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&canvas, &e);
}

StepResult runDrag(Drive& d, const Step& s, Qt::MouseButton button)
{
    std::vector<QPoint> points;
    for (const std::string& v : s.values) {
        const std::vector<std::string> xy = splitComma(v);
        const auto x = xy.size() == 2 ? parseNumber(xy[0]) : std::nullopt;
        const auto y = xy.size() == 2 ? parseNumber(xy[1]) : std::nullopt;
        if (!x || !y || *x < -100000 || *x > 100000 || *y < -100000 || *y > 100000) return "expected X,Y: " + v;
        points.emplace_back(int(*x), int(*y));
    }
    if (points.empty()) return "expected X,Y ...";
    ImageCanvas* canvas = canvasAtZoom1(d);
    if (!canvas) return "no picture to paint on";
    fImage* doc = d.activeDocument();
    const size_t before = d.ports.messageBoxes.shown.size();
    // Picture point to canvas point at zoom 1.
    const auto at = [&](QPoint p) { return QPoint(p.x() - doc->hSB->Value(), p.y() - doc->vSB->Value()); };
    sendMouse(*canvas, QEvent::MouseMove, at(points.front()), Qt::NoButton, Qt::NoButton);
    sendMouse(*canvas, QEvent::MouseButtonPress, at(points.front()), button, button);
    for (size_t i = 1; i < points.size(); ++i) sendMouse(*canvas, QEvent::MouseMove, at(points[i]), Qt::NoButton, button);
    sendMouse(*canvas, QEvent::MouseButtonRelease, at(points.back()), button, Qt::NoButton);
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

StepResult runKeyPress(Drive& d, const Step& s)
{
    static const std::pair<const char*, Qt::Key> kKeys[] = {{"Space", Qt::Key_Space}, {"Left", Qt::Key_Left},
                                                            {"Up", Qt::Key_Up},       {"Right", Qt::Key_Right},
                                                            {"Down", Qt::Key_Down},   {"Ctrl", Qt::Key_Control}};
    std::optional<Qt::Key> key;
    for (const auto& [name, k] : kKeys)
        if (s.values[0] == name) key = k;
    if (!key) return "no key " + s.values[0];
    fImage* doc = d.activeDocument();
    if (!doc) return "no document";
    const size_t before = d.ports.messageBoxes.shown.size();
    QKeyEvent press(QEvent::KeyPress, *key, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->iDst, &press);
    QKeyEvent release(QEvent::KeyRelease, *key, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->iDst, &release);
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

const Register setFlag({"--set", 1, "FIELD=VALUE", {}, runSet});
const Register toolFlag({"--tool", 1, "NAME", {}, runTool});
const Register colourFlag({"--colour", 1, "0xRRGGBB", {},
                           [](Drive&, const Step& s) { return runColour(&Settings::ActiveColor, s); }});
const Register colour2Flag({"--colour2", 1, "0xRRGGBB", {},
                            [](Drive&, const Step& s) { return runColour(&Settings::SecondColor, s); }});
const Register dragFlag({"--drag", -1, "X,Y [X,Y]...", {},
                         [](Drive& d, const Step& s) { return runDrag(d, s, Qt::LeftButton); }});
const Register rdragFlag({"--rdrag", -1, "X,Y [X,Y]...", {},
                          [](Drive& d, const Step& s) { return runDrag(d, s, Qt::RightButton); }});
const Register keyPressFlag({"--key-press", 1, "Space|Left|Up|Right|Down|Ctrl", {}, runKeyPress});
const Register seedFlag({"--seed", 1, "N", {}, runSeed});

} // namespace
} // namespace tq::drive
