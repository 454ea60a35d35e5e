#include "mainwindow/MenuTable.h"

#include <array>
#include <vector>

namespace tq {

namespace {

constexpr std::array<const char*, 13> kTops = {
    "&File", "E&dit", "A&djust", "Filters &1", "Filters &2", "Dis&tortions", "&Deformations",
    "&Colors 1", "C&olors 2", "Ca&pture", "Wa&llpaper", "&Windows", "&About",
};

enum Top { File, Edit, Adjust, Filters1, Filters2, Distortions, Deformations, Colors1, Colors2,
           Capture, Wallpaper, Windows, About };

using S = MenuSend;
using L = MenuLabel;
using G = MenuGate;
using D = MenuDirect;

// Row makers, so each table line reads like the menu it describes.
MenuItemSpec sep(int top, const char* parent, const char* array = "", int index = -1)
{
    return {top, parent, array, index, "-", "", S::None, "", 0, L::None, G::None, D::None, true, ""};
}
MenuItemSpec sub(int top, const char* parent, const char* name, const char* caption)
{
    return {top, parent, name, -1, caption, "", S::Submenu, "", 0, L::None, G::None, D::None, true, ""};
}
MenuItemSpec exec(int top, const char* parent, const char* array, int index, const char* caption,
                  const char* shortcut, const char* key, L label = L::None, G gate = G::None)
{
    return {top, parent, array, index, caption, shortcut, S::Exec, key, 0, label, gate, D::None, true, ""};
}
MenuItemSpec stat(int top, const char* parent, const char* array, int index, const char* caption,
                  const char* shortcut, const char* key)
{
    return {top, parent, array, index, caption, shortcut, S::Static, key, 0, L::None, G::None, D::None, true, ""};
}
MenuItemSpec effect(int top, const char* parent, const char* array, int base, int index,
                    const char* caption, const char* shortcut = "", bool visible = true)
{
    return {top, parent, array, index, caption, shortcut, S::Effect, "", base + index, L::Caption,
            G::DocumentAfterLabel, D::None, visible, ""};
}
MenuItemSpec direct(int top, const char* parent, const char* array, int index, const char* caption,
                    const char* shortcut, D action, L label = L::None, G gate = G::None,
                    const char* page = "")
{
    return {top, parent, array, index, caption, shortcut, S::Direct, "", 0, label, gate, action, true, page};
}

std::vector<MenuItemSpec> buildTable()
{
    std::vector<MenuItemSpec> t;
    auto add = [&t](MenuItemSpec m) { t.push_back(m); };
    const char* top = nullptr;

    // ---- &File (no labels) ----
    add(stat(File, top, "FILE", 0, "New", "Ctrl+N", "NEW"));
    add(stat(File, top, "FILE", 1, "Open", "Ctrl+O", "OPEN"));
    add(exec(File, top, "FILE", 2, "From Clipboard", "", "CREATEFROMCLIPBOARD"));
    add(sep(File, top, "FILE", 3));
    add(stat(File, top, "FILE", 4, "Close", "", "CLOSE"));
    add(sep(File, top, "FILE", 5));
    add(stat(File, top, "FILE", 6, "Save", "Ctrl+S", "SAVE"));
    add(stat(File, top, "FILE", 7, "Save As", "", "SAVEAS"));
    add(stat(File, top, "FILE", 14, "Optimize Save...", "", "IMAGESAVEOPTIONS"));
    add(sep(File, top, "FILE", 15));
    add(stat(File, top, "PRINTER", 1, "Printer Set up", "", "PRINTERSETUP"));
    add(exec(File, top, "PRINTER", 2, "Print", "Ctrl+P", "PRINT"));
    add(sep(File, top, "PRINT", 3));
    add(sub(File, top, "mnuRecent", "Recent"));
    add(sep(File, top));
    add(direct(File, top, "mnuExit", -1, "Exit", "", D::Exit));

    // ---- E&dit (array EDIT, no labels) ----
    const char* E = "EDIT";
    add(exec(Edit, top, E, 0, "Undo", "Ctrl+Z", "UNDO"));
    add(exec(Edit, top, E, 1, "Redo", "Ctrl+Y", "REDO"));
    add(sep(Edit, top, E, 2));
    add(exec(Edit, top, E, 3, "Cut", "Ctrl+X", "CUT"));
    add(exec(Edit, top, E, 4, "Copy", "Ctrl+C", "COPY"));
    add(exec(Edit, top, E, 5, "Paste", "Ctrl+V", "PASTE"));
    add(sep(Edit, top, E, 6));
    add(exec(Edit, top, E, 7, "Create New Copy", "", "CREATENEWCOPY"));
    add(exec(Edit, top, E, 8, "Copy Image to Clipboard", "", "COPYIMAGETOCLIPBOARD"));
    add(exec(Edit, top, E, 9, "Create From Clipboard", "Ctrl+H", "CREATEFROMCLIPBOARD"));
    add(sep(Edit, top, E, 10));
    add(exec(Edit, top, E, 11, "Select All", "Ctrl+A", "SELECTALL"));
    add(exec(Edit, top, E, 12, "Select None", "Del", "SELECTNONE"));
    add(exec(Edit, top, E, 13, "Invert Selection", "Shift+Ins", "INVERTSELECTION"));
    add(sep(Edit, top, E, 14));
    add(exec(Edit, top, E, 15, "Load Selection...", "", "LOADSELECTION"));
    add(exec(Edit, top, E, 16, "Save Selection...", "", "SAVESELECTION"));
    add(sep(Edit, top, E, 17));
    add(exec(Edit, top, E, 18, "Crop", "Ctrl+K", "CROP"));
    add(exec(Edit, top, E, 19, "Create Crop as New Image", "Shift+Del", "NEWIMAGEFROMCROP"));
    add(sep(Edit, top, E, 20));
    add(exec(Edit, top, E, 21, "Image Properties               ", "F2", "IMAGEPROPERTIES"));
    add(stat(Edit, top, E, 22, "Preference...", "", "OPTIONS"));

    // ---- A&djust ----
    add(exec(Adjust, top, "IMAGE", 0, "Size ...", "Ctrl+T", "IMAGESIZE", L::Caption));
    add(exec(Adjust, top, "IMAGE", 1, "Canvas ...", "Ctrl+B", "CANVASSIZE", L::Caption));
    add(exec(Adjust, top, "IMAGE", 2, "Orientation ...", "Ctrl+D", "IMAGEORIENTATION", L::Caption));
    add(exec(Adjust, top, "IMAGE", 3, "Rotation ...", "Ctrl+J", "IMAGEROTATE", L::Caption));
    add(sep(Adjust, top, "IMAGE", 4));
    add(exec(Adjust, top, "ADJUSTMENT", 0, "Levels...", "", "REDUCTION", L::Caption));
    add(exec(Adjust, top, "ADJUSTMENT", 1, "Saturation...", "", "CUSTOMSATURATION", L::Caption));
    add(exec(Adjust, top, "ADJUSTMENT", 2, "Brightness...", "", "BRIGHTNESS", L::Caption));
    add(exec(Adjust, top, "ADJUSTMENT", 3, "Contrast...", "", "CONTRAST", L::Caption));
    add(exec(Adjust, top, "ADJUSTMENT", 4, "Gamma...", "", "GAMMA", L::Caption));
    add(sep(Adjust, top));
    add(direct(Adjust, top, "mnuRestore", -1, "Revert to Original  ", "", D::RevertToOriginal));
    add(sep(Adjust, top));
    add(sub(Adjust, top, "mnuZoomP", "Zoom +"));
    {
        static const char* zoomCaptions[] = {"200 %", "300 %", "400 %", "500 %", "600 %", "700 %"};
        static const char* zoomKeys[] = {"200", "300", "400", "500", "600", "700"};
        for (int i = 0; i < 6; ++i) add(exec(Adjust, "Zoom +", "ZoomP", i, zoomCaptions[i], "", zoomKeys[i]));
    }
    add(sub(Adjust, top, "mnuQualitySizing", "Quality Sizing"));
    {
        const char* q = "Quality Sizing";
        add(exec(Adjust, q, "AA", 0, "2x", "", "2x", L::Caption));
        add(exec(Adjust, q, "AA", 1, "3x", "", "3x", L::Caption));
        add(exec(Adjust, q, "AA", 2, "4x", "", "4x", L::Caption));
        add(exec(Adjust, q, "AA", 3, "5x", "", "5x", L::Caption));
        add(sep(Adjust, q, "AA", 4));
        add(exec(Adjust, q, "AA", 5, "x/2", "", "x2", L::Caption));
        add(exec(Adjust, q, "AA", 6, "x/3", "", "x3", L::Caption));
        add(exec(Adjust, q, "AA", 7, "x/4", "", "x4", L::Caption));
        add(exec(Adjust, q, "AA", 8, "x/5", "", "x5", L::Caption));
    }
    add(exec(Adjust, top, "ORIGINAL", -1, "Original Size", "", "100"));
    add(sep(Adjust, top));
    add(effect(Adjust, top, "LayerFlip", 78, 0, "Flip Horizontal"));
    add(effect(Adjust, top, "LayerFlip", 78, 1, "Flip Vertical"));
    add(effect(Adjust, top, "LayerFlip", 78, 2, "Flip Horizontal && Vertical"));

    // ---- Filters &1 (effect arrays, label caption) ----
    add(direct(Filters1, top, "mnuUserFilters", -1, "User Defined Filters...", "", D::UserFilters));
    add(sep(Filters1, top));
    {
        const char* p = "Adjustment";
        add(sub(Filters1, top, "mnuLayerAdjustment", p));
        // Defined but never shown: their ids are not reachable from the menus.
        const char* hidden[] = {"Brightness...", "Contrast", "Sharpening", "Gamma", "Reduce Colors",
                                "Reduce to 8 colors"};
        for (int i = 0; i < 6; ++i) add(effect(Filters1, p, "LayerAdjustment", 2, i, hidden[i], "", false));
        const char* shown[] = {"Shift Effect", "Saturation", "Hue Adjustment", "Color Balance",
                               "WebColors Mode", "Medium Tones", "Stretch Histogram"};
        for (int i = 0; i < 7; ++i) add(effect(Filters1, p, "LayerAdjustment", 2, 6 + i, shown[i]));
    }
    {
        const char* p = "Blur";
        add(sub(Filters1, top, "mnuLayerBlur", p));
        add(effect(Filters1, p, "LayerBlur", 16, 0, "Anti-Alias", "", false));
        const char* c[] = {"Simple", "Smart", "Heavy...", "Softner...", "Motion...", "Far...", "Radial...",
                           "Zoom.."};
        for (int i = 0; i < 8; ++i) add(effect(Filters1, p, "LayerBlur", 16, 1 + i, c[i]));
    }
    {
        const char* p = "Tones";
        add(sub(Filters1, top, "mnuLayerTones", p));
        const char* c[] = {"Gray Tones", "Sepia Effect", "Ambient Light", "Tone Adjustment"};
        for (int i = 0; i < 4; ++i) add(effect(Filters1, p, "LayerTones", 27, i, c[i]));
    }
    {
        const char* p = "Waves";
        add(sub(Filters1, top, "mnuLayerWaves", p));
        const char* c[] = {"Simple...", "Block...", "Circular...", "Circular Enhanced..."};
        for (int i = 0; i < 4; ++i) add(effect(Filters1, p, "LayerWaves", 48, i, c[i]));
    }
    {
        const char* p = "Borders";
        add(sub(Filters1, top, "mnuLayerBorders", p));
        const char* c[] = {"Backdrop Removal", "Emboss / Engrave", "Neon", "Detect Borders", "Find Edges",
                           "Note Paper"};
        for (int i = 0; i < 6; ++i) add(effect(Filters1, p, "LayerBorders", 53, i, c[i]));
    }
    add(sep(Filters1, top));
    {
        const char* A = "LayerEffects";
        add(effect(Filters1, top, A, 64, 0, "Invertion Adjustment"));
        add(effect(Filters1, top, A, 64, 1, "Monochrome", "Ctrl+M"));
        add(effect(Filters1, top, A, 64, 2, "Replace Color", "", false));
        add(effect(Filters1, top, A, 64, 3, "Random Points"));
        add(effect(Filters1, top, A, 64, 4, "Solarize"));
        add(effect(Filters1, top, A, 64, 5, "Canvas Adjustment"));
        add(effect(Filters1, top, A, 64, 6, "Relief"));
        add(effect(Filters1, top, A, 64, 7, "Tile Effect", "Ctrl+Q"));
        add(effect(Filters1, top, A, 64, 8, "Fragment"));
        add(effect(Filters1, top, A, 64, 9, "Fog Effect"));
        add(effect(Filters1, top, A, 64, 10, "Oil Paint"));
        add(effect(Filters1, top, A, 64, 11, "Frost Glass"));
        add(effect(Filters1, top, A, 64, 12, "Rain Drop", "Ctrl+R"));
    }

    // ---- Filters &2 (array FILTERS: document first, then the caption) ----
    {
        struct F { int i; const char* caption; const char* shortcut; const char* key; };
        const F f[] = {
            {0, "Invert", "", "INVERT"},           {1, "Greyscale", "", "GRAYSCALE"},
            {2, "Relief", "", "RELIEF"},           {3, "Erode", "", "ERODE"},
            {4, "Dilate", "", "DILATE"},           {5, "Painting", "Ctrl+U", "PAINTING"},
            {6, "Halftone", "Ctrl+L", "HAFTONE"},  {7, "Pixelize", "Ctrl+E", "PIXELIZE"},
            {8, "X-Black", "", "XBLACK"},          {9, "Thermique", "", "THERMIQUE"},
            {10, "Photo Cop", "", "PHOTOCOP"},     {11, "Enhance Edge        ", "", "EDGEENHANCE"},
            {12, "Enhance White", "", "ENHANCEWHITE"}, {13, "Enhance Black", "", "ENHANCEBLACK"},
            {15, "Blur...", "", "CUSTOMBLUR"},     {16, "Noise...", "", "CUSTOMNOISE"},
            {17, "Emboss...", "", "CUSTOMEMBOSS"}, {18, "Engrave...", "", "CUSTOMENGRAVE"},
            {19, "Diffuse...", "", "CUSTOMDIFFUSE"}, {20, "Soften...", "", "CUSTOMSOFTEN"},
            {21, "Sharpen...", "", "CUSTOMSHARPEN"}, {22, "Contour...", "", "CUSTOMCONTOUR"},
            {23, "Luminousity...", "", "LIGHTCUSTOM"},
        };
        for (const F& x : f) {
            if (x.i == 15) add(sep(Filters2, top, "FILTERS", 14));
            add(exec(Filters2, top, "FILTERS", x.i, x.caption, x.shortcut, x.key, L::Caption, G::DocumentFirst));
        }
        add(direct(Filters2, top, "FILTERS", 24, "Bump Mapping...", "", D::BumpMapping, L::Caption,
                   G::DocumentFirst));
    }

    // ---- Dis&tortions (array LayerDistortion, base 32) ----
    {
        const char* c[] = {"Quick Diffuse", "Rock Effect", "Artistic Noise", "Melt", "Fish Eye",
                           "Customized Fish Eye", "Twirl", "TwirlEx", "Swirl", "Make 3D", "Four Corners",
                           "Caricature", "Roll 360", "Polar Coordinates", "Cylindrical", "Mosaic"};
        for (int i = 0; i < 16; ++i)
            add(effect(Distortions, top, "LayerDistortion", 32, i, c[i], i == 8 ? "Ctrl+F" : ""));
    }

    // ---- &Deformations (array SHAPES, label caption) ----
    {
        struct F { const char* caption; const char* shortcut; const char* key; };
        const F f[] = {
            {"Lens...", "Shift+F1", "LENS"},       {"Waves...", "Shift+F2", "WAVES"},
            {"Bend...", "Shift+F3", "BEND"},       {"Fold...", "Shift+F4", "FOLD"},
            {"Rotate...", "Shift+F5", "ROTATE"},   {"Stretch...", "Shift+F6", "STRETCH"},
            {"Tile...", "Shift+F7", "TILE"},       {"Twirl...", "Shift+F8", "TWIRL"},
            {"Grid...", "Shift+F9", "ADDGRID"},    {"Flare...", "Shift+F11", "LENSFLARE"},
            {"Scanlines...", "Shift+F12", "ADDSCANLINES"}, {"Glass...", "", "CUSTOMGLASS"},
            {"Curtain...", "", "CUSTOMCURTAIN"},
        };
        for (int i = 0; i < 13; ++i)
            add(exec(Deformations, top, "SHAPES", i, f[i].caption, f[i].shortcut, f[i].key, L::Caption));
    }

    // ---- &Colors 1 ----
    add(direct(Colors1, top, "mnuPalette", -1, "Apply Palette...", "", D::ApplyPalette));
    add(sep(Colors1, top));
    {
        struct F { const char* caption; const char* shortcut; const char* key; };
        const F f[] = {
            {"Old Photo", "Shift+Ctrl+F1", "OLDPHOTO"},      {"Equalize", "Shift+Ctrl+F2", "EQUALIZE"},
            {"Sepia Tone", "Shift+Ctrl+F3", "SEPIATONE"},    {"Colorize...", "Shift+Ctrl+F4", "COLORIZE"},
            {"Tweak RGB...", "Shift+Ctrl+F5", "RGBLEVELS"},  {"Hue Stretch...", "Shift+Ctrl+F6", "HUESTRETCH"},
            {"Hue Rotation...", "Shift+Ctrl+F7", "HUEROTATION"},
            {"Grey Rotation...", "Shift+Ctrl+F8", "GREYROTATION"},
            {"Shift...", "Shift+Ctrl+F9", "SHIFT"},          {"Sketch...", "Shift+Ctrl+F11", "SKETCH"},
            {"Isolate...", "Shift+Ctrl+F12", "ISOLATE"},     {"Reduction...", "", "REDUCTION"},
        };
        for (int i = 0; i < 12; ++i)
            add(exec(Colors1, top, "COLORS", i, f[i].caption, f[i].shortcut, f[i].key, L::Caption));
        add(sep(Colors1, top, "COLORS", 13));
        add(exec(Colors1, top, "REPLACE", 0, "Replace Colors...", "", "REPLACE", L::ReplaceCaption));
        add(exec(Colors1, top, "REPLACE", 1, "Replace Hue && Saturation...", "", "REPLACEHUESAT",
                 L::ReplaceCaption));
        add(exec(Colors1, top, "REPLACE", 2, "Replace  Luminous...", "", "REPLACELUMINOUS", L::ReplaceCaption));
    }

    // ---- C&olors 2 ----
    {
        struct F { int i; const char* caption; const char* shortcut; const char* key; };
        const F f[] = {
            {0, "Artistic Red", "", "SOFTRED"},       {1, "Hard Red", "", "HARDRED"},
            {2, "Artistic Green", "", "SOFTGREEN"},   {3, "Hard Green", "", "HARDGREEN"},
            {4, "Artistic Blue", "", "SOFTBLUE"},     {5, "Hard Blue", "", "HARDBLUE"},
            {6, "Artistic Yellow", "", "SOFTYELLOW"}, {7, "Hard Yellow", "", "HARDYELLOW"},
            {9, "Cyan", "", "CYAN"},                  {10, "Magenta", "", "MAGENTA"},
            {11, "Orange", "", "ORANGE"},             {12, "Purple", "", "PURPLE"},
            {14, "Retro", "Ctrl+G", "RETRO"},         {15, "Spotted", "Ctrl+I", "SPOTTED"},
            {16, "Wetpaper", "Ctrl+W", "WETPAPER"},
        };
        for (const F& x : f) {
            if (x.i == 9) add(sep(Colors2, top, "Colorized", 8));
            if (x.i == 14) add(sep(Colors2, top, "Colorized", 13));
            add(exec(Colors2, top, "Colorized", x.i, x.caption, x.shortcut, x.key, L::Caption));
        }
        add(sep(Colors2, top));
        const char* p = "Swap";
        add(sub(Colors2, top, "mnuSwap", p));
        add(exec(Colors2, p, "SWAP", 0, "RGB To BRG", "", "RGB2BRG", L::SwapCaption));
        add(exec(Colors2, p, "SWAP", 1, "RGB To GBR", "", "RGB2GBR", L::SwapCaption));
        add(exec(Colors2, p, "SWAP", 2, "RGB To RBG", "", "RGB2RBG", L::SwapCaption));
        add(exec(Colors2, p, "SWAP", 3, "RGB To BGR", "", "RGB2BGR", L::SwapCaption));
        add(exec(Colors2, p, "SWAP", 4, "RGB To GRB", "", "RGB2GRB", L::SwapCaption));
        add(sep(Colors2, p, "SWAP", 5));
        add(exec(Colors2, p, "SWAP", 6, "RGB Banks", "", "RGBBANKS", L::SwapCaption));
    }

    // ---- Ca&pture, Wa&llpaper (no labels) ----
    add(stat(Capture, top, "CAPTURE", 0, "Desktop", "F7", "CAPTUREDESKTOP"));
    add(stat(Capture, top, "CAPTURE", 1, "Foreground", "F8", "CAPTUREFOREGROUND"));
    add(stat(Capture, top, "CAPTURE", 2, "Background", "F9", "CAPTUREBACKGROUND"));
    add(stat(Wallpaper, top, "WALLPAPER", 0, "Tile", "F4", "WTILE"));
    add(stat(Wallpaper, top, "WALLPAPER", 1, "Center", "F5", "WCENTER"));
    add(stat(Wallpaper, top, "WALLPAPER", 2, "Stretch", "F6", "WSTRETCH"));

    // ---- &Windows ----
    add(stat(Windows, top, "VIEWS", 0, "Tile Horizontally", "", "TILEHORIZONTALLY"));
    add(stat(Windows, top, "VIEWS", 1, "Tile Vertically", "", "TILEVERTICALLY"));
    add(stat(Windows, top, "VIEWS", 2, "Cascade", "", "CASCADE"));
    add(sep(Windows, top, "VIEWS", 3));
    add(direct(Windows, top, "VIEWS", 4, "Color Box", "", D::ToggleToolWindow));
    add(direct(Windows, top, "VIEWS", 5, "Textures Box", "", D::ToggleToolWindow));
    add(direct(Windows, top, "VIEWS", 6, "History Box", "", D::ToggleToolWindow));
    add(direct(Windows, top, "VIEWS", 7, "Panoramic Box", "", D::ToggleToolWindow));
    add(direct(Windows, top, "VIEWS", 8, "Browser Box", "", D::ToggleToolWindow));
    add(sep(Windows, top, "VIEWS", 9));
    add(direct(Windows, top, "RESET", -1, "Reset Settings", "F11", D::ResetSettings));

    // ---- &About (no labels) ----
    add(direct(About, top, "ABOUT", 0, "Help", "F1", D::Help));
    add(direct(About, top, "ABOUT", 1, "Online Materials", "", D::WebPage, L::None, G::None,
               "/quarlend/online/default.htm"));
    add(sep(About, top, "ABOUT", 2));
    add(direct(About, top, "ABOUT", 3, "Support", "", D::WebPage, L::None, G::None,
               "/quarlend/support/default.htm"));
    add(sep(About, top, "ABOUT", 4));
    add(direct(About, top, "ABOUT", 5, "Homepage", "", D::WebPage, L::None, G::None, "/quarlend/default.htm"));
    add(direct(About, top, "ABOUT", 6, kPublisherName, "", D::WebPage, L::None, G::None, "/"));
    add(sep(About, top, "ABOUT", 7));
    add(direct(About, top, "ABOUT", 8, "About Talvex Quarlend", "", D::About));
    return t;
}

} // namespace

std::span<const char* const> kTopMenuCaptions() { return kTops; }

std::span<const MenuItemSpec> menuTable()
{
    static const std::vector<MenuItemSpec> table = buildTable();
    return table;
}

const MenuItemSpec* findMenuItem(const std::string& array, int index)
{
    for (const MenuItemSpec& m : menuTable())
        if (m.array == array && m.index == index) return &m;
    return nullptr;
}

std::string MenuItemLabel(const MenuItemSpec& item)
{
    switch (item.label) {
    case MenuLabel::Caption: return item.caption;
    case MenuLabel::ReplaceCaption: return std::string("Replace ") + item.caption;
    case MenuLabel::SwapCaption: return std::string("Swap ") + item.caption;
    case MenuLabel::None: break;
    }
    return {};
}

void MenuClick(const MenuItemSpec& item, CommandSink& sink)
{
    if (item.send == MenuSend::None || item.send == MenuSend::Submenu || item.isSeparator()) return;
    if (item.gate == MenuGate::DocumentFirst && !sink.GetActiveImage()) return;
    if (item.label != MenuLabel::None) sink.SetLastActionName(MenuItemLabel(item));
    if (item.gate == MenuGate::DocumentAfterLabel && !sink.GetActiveImage()) return;
    switch (item.send) {
    case MenuSend::Exec: sink.MenuExec(item.key); break;
    case MenuSend::Static: sink.MenuStatic(item.key); break;
    case MenuSend::Effect: sink.ApplyLayerEffects(item.effectId); break;
    case MenuSend::Direct: sink.MenuDirectAction(item.direct, item); break;
    default: break;
    }
}

} // namespace tq
