// The whole menu bar, item by item: caption, shortcut, what a click sends
// and the label it stores, clicked through the real Qt menus.
#include "RecordingSink.h"
#include "mainwindow/MenuBuilder.h"
#include "mainwindow/MenuTable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace tq;
using tq::test::RecordingSink;

namespace {

// array|index|caption|shortcut|sends|label ("-" no label). Written from the
// menu description, not from the table in the program.
const char* kExpected = R"(FILE|0|New|Ctrl+N|Static NEW|-
FILE|1|Open|Ctrl+O|Static OPEN|-
FILE|2|From Clipboard||Exec CREATEFROMCLIPBOARD|-
FILE|4|Close||Static CLOSE|-
FILE|6|Save|Ctrl+S|Static SAVE|-
FILE|7|Save As||Static SAVEAS|-
FILE|14|Optimize Save...||Static IMAGESAVEOPTIONS|-
PRINTER|1|Printer Set up||Static PRINTERSETUP|-
PRINTER|2|Print|Ctrl+P|Exec PRINT|-
mnuExit|-1|Exit||Direct|-
EDIT|0|Undo|Ctrl+Z|Exec UNDO|-
EDIT|1|Redo|Ctrl+Y|Exec REDO|-
EDIT|3|Cut|Ctrl+X|Exec CUT|-
EDIT|4|Copy|Ctrl+C|Exec COPY|-
EDIT|5|Paste|Ctrl+V|Exec PASTE|-
EDIT|7|Create New Copy||Exec CREATENEWCOPY|-
EDIT|8|Copy Image to Clipboard||Exec COPYIMAGETOCLIPBOARD|-
EDIT|9|Create From Clipboard|Ctrl+H|Exec CREATEFROMCLIPBOARD|-
EDIT|11|Select All|Ctrl+A|Exec SELECTALL|-
EDIT|12|Select None|Del|Exec SELECTNONE|-
EDIT|13|Invert Selection|Shift+Ins|Exec INVERTSELECTION|-
EDIT|15|Load Selection...||Exec LOADSELECTION|-
EDIT|16|Save Selection...||Exec SAVESELECTION|-
EDIT|18|Crop|Ctrl+K|Exec CROP|-
EDIT|19|Create Crop as New Image|Shift+Del|Exec NEWIMAGEFROMCROP|-
EDIT|21|Image Properties               |F2|Exec IMAGEPROPERTIES|-
EDIT|22|Preference...||Static OPTIONS|-
IMAGE|0|Size ...|Ctrl+T|Exec IMAGESIZE|Size ...
IMAGE|1|Canvas ...|Ctrl+B|Exec CANVASSIZE|Canvas ...
IMAGE|2|Orientation ...|Ctrl+D|Exec IMAGEORIENTATION|Orientation ...
IMAGE|3|Rotation ...|Ctrl+J|Exec IMAGEROTATE|Rotation ...
ADJUSTMENT|0|Levels...||Exec REDUCTION|Levels...
ADJUSTMENT|1|Saturation...||Exec CUSTOMSATURATION|Saturation...
ADJUSTMENT|2|Brightness...||Exec BRIGHTNESS|Brightness...
ADJUSTMENT|3|Contrast...||Exec CONTRAST|Contrast...
ADJUSTMENT|4|Gamma...||Exec GAMMA|Gamma...
mnuRestore|-1|Revert to Original  ||Direct|-
ZoomP|0|200 %||Exec 200|-
ZoomP|1|300 %||Exec 300|-
ZoomP|2|400 %||Exec 400|-
ZoomP|3|500 %||Exec 500|-
ZoomP|4|600 %||Exec 600|-
ZoomP|5|700 %||Exec 700|-
AA|0|2x||Exec 2x|2x
AA|1|3x||Exec 3x|3x
AA|2|4x||Exec 4x|4x
AA|3|5x||Exec 5x|5x
AA|5|x/2||Exec x2|x/2
AA|6|x/3||Exec x3|x/3
AA|7|x/4||Exec x4|x/4
AA|8|x/5||Exec x5|x/5
ORIGINAL|-1|Original Size||Exec 100|-
LayerFlip|0|Flip Horizontal||Effect 78|Flip Horizontal
LayerFlip|1|Flip Vertical||Effect 79|Flip Vertical
LayerFlip|2|Flip Horizontal && Vertical||Effect 80|Flip Horizontal && Vertical
mnuUserFilters|-1|User Defined Filters...||Direct|-
LayerAdjustment|6|Shift Effect||Effect 8|Shift Effect
LayerAdjustment|7|Saturation||Effect 9|Saturation
LayerAdjustment|8|Hue Adjustment||Effect 10|Hue Adjustment
LayerAdjustment|9|Color Balance||Effect 11|Color Balance
LayerAdjustment|10|WebColors Mode||Effect 12|WebColors Mode
LayerAdjustment|11|Medium Tones||Effect 13|Medium Tones
LayerAdjustment|12|Stretch Histogram||Effect 14|Stretch Histogram
LayerBlur|1|Simple||Effect 17|Simple
LayerBlur|2|Smart||Effect 18|Smart
LayerBlur|3|Heavy...||Effect 19|Heavy...
LayerBlur|4|Softner...||Effect 20|Softner...
LayerBlur|5|Motion...||Effect 21|Motion...
LayerBlur|6|Far...||Effect 22|Far...
LayerBlur|7|Radial...||Effect 23|Radial...
LayerBlur|8|Zoom..||Effect 24|Zoom..
LayerTones|0|Gray Tones||Effect 27|Gray Tones
LayerTones|1|Sepia Effect||Effect 28|Sepia Effect
LayerTones|2|Ambient Light||Effect 29|Ambient Light
LayerTones|3|Tone Adjustment||Effect 30|Tone Adjustment
LayerWaves|0|Simple...||Effect 48|Simple...
LayerWaves|1|Block...||Effect 49|Block...
LayerWaves|2|Circular...||Effect 50|Circular...
LayerWaves|3|Circular Enhanced...||Effect 51|Circular Enhanced...
LayerBorders|0|Backdrop Removal||Effect 53|Backdrop Removal
LayerBorders|1|Emboss / Engrave||Effect 54|Emboss / Engrave
LayerBorders|2|Neon||Effect 55|Neon
LayerBorders|3|Detect Borders||Effect 56|Detect Borders
LayerBorders|4|Find Edges||Effect 57|Find Edges
LayerBorders|5|Note Paper||Effect 58|Note Paper
LayerEffects|0|Invertion Adjustment||Effect 64|Invertion Adjustment
LayerEffects|1|Monochrome|Ctrl+M|Effect 65|Monochrome
LayerEffects|3|Random Points||Effect 67|Random Points
LayerEffects|4|Solarize||Effect 68|Solarize
LayerEffects|5|Canvas Adjustment||Effect 69|Canvas Adjustment
LayerEffects|6|Relief||Effect 70|Relief
LayerEffects|7|Tile Effect|Ctrl+Q|Effect 71|Tile Effect
LayerEffects|8|Fragment||Effect 72|Fragment
LayerEffects|9|Fog Effect||Effect 73|Fog Effect
LayerEffects|10|Oil Paint||Effect 74|Oil Paint
LayerEffects|11|Frost Glass||Effect 75|Frost Glass
LayerEffects|12|Rain Drop|Ctrl+R|Effect 76|Rain Drop
FILTERS|0|Invert||Exec INVERT|Invert
FILTERS|1|Greyscale||Exec GRAYSCALE|Greyscale
FILTERS|2|Relief||Exec RELIEF|Relief
FILTERS|3|Erode||Exec ERODE|Erode
FILTERS|4|Dilate||Exec DILATE|Dilate
FILTERS|5|Painting|Ctrl+U|Exec PAINTING|Painting
FILTERS|6|Halftone|Ctrl+L|Exec HAFTONE|Halftone
FILTERS|7|Pixelize|Ctrl+E|Exec PIXELIZE|Pixelize
FILTERS|8|X-Black||Exec XBLACK|X-Black
FILTERS|9|Thermique||Exec THERMIQUE|Thermique
FILTERS|10|Photo Cop||Exec PHOTOCOP|Photo Cop
FILTERS|11|Enhance Edge        ||Exec EDGEENHANCE|Enhance Edge        
FILTERS|12|Enhance White||Exec ENHANCEWHITE|Enhance White
FILTERS|13|Enhance Black||Exec ENHANCEBLACK|Enhance Black
FILTERS|15|Blur...||Exec CUSTOMBLUR|Blur...
FILTERS|16|Noise...||Exec CUSTOMNOISE|Noise...
FILTERS|17|Emboss...||Exec CUSTOMEMBOSS|Emboss...
FILTERS|18|Engrave...||Exec CUSTOMENGRAVE|Engrave...
FILTERS|19|Diffuse...||Exec CUSTOMDIFFUSE|Diffuse...
FILTERS|20|Soften...||Exec CUSTOMSOFTEN|Soften...
FILTERS|21|Sharpen...||Exec CUSTOMSHARPEN|Sharpen...
FILTERS|22|Contour...||Exec CUSTOMCONTOUR|Contour...
FILTERS|23|Luminousity...||Exec LIGHTCUSTOM|Luminousity...
FILTERS|24|Bump Mapping...||Direct|Bump Mapping...
LayerDistortion|0|Quick Diffuse||Effect 32|Quick Diffuse
LayerDistortion|1|Rock Effect||Effect 33|Rock Effect
LayerDistortion|2|Artistic Noise||Effect 34|Artistic Noise
LayerDistortion|3|Melt||Effect 35|Melt
LayerDistortion|4|Fish Eye||Effect 36|Fish Eye
LayerDistortion|5|Customized Fish Eye||Effect 37|Customized Fish Eye
LayerDistortion|6|Twirl||Effect 38|Twirl
LayerDistortion|7|TwirlEx||Effect 39|TwirlEx
LayerDistortion|8|Swirl|Ctrl+F|Effect 40|Swirl
LayerDistortion|9|Make 3D||Effect 41|Make 3D
LayerDistortion|10|Four Corners||Effect 42|Four Corners
LayerDistortion|11|Caricature||Effect 43|Caricature
LayerDistortion|12|Roll 360||Effect 44|Roll 360
LayerDistortion|13|Polar Coordinates||Effect 45|Polar Coordinates
LayerDistortion|14|Cylindrical||Effect 46|Cylindrical
LayerDistortion|15|Mosaic||Effect 47|Mosaic
SHAPES|0|Lens...|Shift+F1|Exec LENS|Lens...
SHAPES|1|Waves...|Shift+F2|Exec WAVES|Waves...
SHAPES|2|Bend...|Shift+F3|Exec BEND|Bend...
SHAPES|3|Fold...|Shift+F4|Exec FOLD|Fold...
SHAPES|4|Rotate...|Shift+F5|Exec ROTATE|Rotate...
SHAPES|5|Stretch...|Shift+F6|Exec STRETCH|Stretch...
SHAPES|6|Tile...|Shift+F7|Exec TILE|Tile...
SHAPES|7|Twirl...|Shift+F8|Exec TWIRL|Twirl...
SHAPES|8|Grid...|Shift+F9|Exec ADDGRID|Grid...
SHAPES|9|Flare...|Shift+F11|Exec LENSFLARE|Flare...
SHAPES|10|Scanlines...|Shift+F12|Exec ADDSCANLINES|Scanlines...
SHAPES|11|Glass...||Exec CUSTOMGLASS|Glass...
SHAPES|12|Curtain...||Exec CUSTOMCURTAIN|Curtain...
mnuPalette|-1|Apply Palette...||Direct|-
COLORS|0|Old Photo|Shift+Ctrl+F1|Exec OLDPHOTO|Old Photo
COLORS|1|Equalize|Shift+Ctrl+F2|Exec EQUALIZE|Equalize
COLORS|2|Sepia Tone|Shift+Ctrl+F3|Exec SEPIATONE|Sepia Tone
COLORS|3|Colorize...|Shift+Ctrl+F4|Exec COLORIZE|Colorize...
COLORS|4|Tweak RGB...|Shift+Ctrl+F5|Exec RGBLEVELS|Tweak RGB...
COLORS|5|Hue Stretch...|Shift+Ctrl+F6|Exec HUESTRETCH|Hue Stretch...
COLORS|6|Hue Rotation...|Shift+Ctrl+F7|Exec HUEROTATION|Hue Rotation...
COLORS|7|Grey Rotation...|Shift+Ctrl+F8|Exec GREYROTATION|Grey Rotation...
COLORS|8|Shift...|Shift+Ctrl+F9|Exec SHIFT|Shift...
COLORS|9|Sketch...|Shift+Ctrl+F11|Exec SKETCH|Sketch...
COLORS|10|Isolate...|Shift+Ctrl+F12|Exec ISOLATE|Isolate...
COLORS|11|Reduction...||Exec REDUCTION|Reduction...
REPLACE|0|Replace Colors...||Exec REPLACE|Replace Replace Colors...
REPLACE|1|Replace Hue && Saturation...||Exec REPLACEHUESAT|Replace Replace Hue && Saturation...
REPLACE|2|Replace  Luminous...||Exec REPLACELUMINOUS|Replace Replace  Luminous...
Colorized|0|Artistic Red||Exec SOFTRED|Artistic Red
Colorized|1|Hard Red||Exec HARDRED|Hard Red
Colorized|2|Artistic Green||Exec SOFTGREEN|Artistic Green
Colorized|3|Hard Green||Exec HARDGREEN|Hard Green
Colorized|4|Artistic Blue||Exec SOFTBLUE|Artistic Blue
Colorized|5|Hard Blue||Exec HARDBLUE|Hard Blue
Colorized|6|Artistic Yellow||Exec SOFTYELLOW|Artistic Yellow
Colorized|7|Hard Yellow||Exec HARDYELLOW|Hard Yellow
Colorized|9|Cyan||Exec CYAN|Cyan
Colorized|10|Magenta||Exec MAGENTA|Magenta
Colorized|11|Orange||Exec ORANGE|Orange
Colorized|12|Purple||Exec PURPLE|Purple
Colorized|14|Retro|Ctrl+G|Exec RETRO|Retro
Colorized|15|Spotted|Ctrl+I|Exec SPOTTED|Spotted
Colorized|16|Wetpaper|Ctrl+W|Exec WETPAPER|Wetpaper
SWAP|0|RGB To BRG||Exec RGB2BRG|Swap RGB To BRG
SWAP|1|RGB To GBR||Exec RGB2GBR|Swap RGB To GBR
SWAP|2|RGB To RBG||Exec RGB2RBG|Swap RGB To RBG
SWAP|3|RGB To BGR||Exec RGB2BGR|Swap RGB To BGR
SWAP|4|RGB To GRB||Exec RGB2GRB|Swap RGB To GRB
SWAP|6|RGB Banks||Exec RGBBANKS|Swap RGB Banks
CAPTURE|0|Desktop|F7|Static CAPTUREDESKTOP|-
CAPTURE|1|Foreground|F8|Static CAPTUREFOREGROUND|-
CAPTURE|2|Background|F9|Static CAPTUREBACKGROUND|-
WALLPAPER|0|Tile|F4|Static WTILE|-
WALLPAPER|1|Center|F5|Static WCENTER|-
WALLPAPER|2|Stretch|F6|Static WSTRETCH|-
VIEWS|0|Tile Horizontally||Static TILEHORIZONTALLY|-
VIEWS|1|Tile Vertically||Static TILEVERTICALLY|-
VIEWS|2|Cascade||Static CASCADE|-
VIEWS|4|Color Box||Direct|-
VIEWS|5|Textures Box||Direct|-
VIEWS|6|History Box||Direct|-
VIEWS|7|Panoramic Box||Direct|-
VIEWS|8|Browser Box||Direct|-
RESET|-1|Reset Settings|F11|Direct|-
ABOUT|0|Help|F1|Direct|-
ABOUT|1|Online Materials||Direct|-
ABOUT|3|Support||Direct|-
ABOUT|5|Homepage||Direct|-
ABOUT|6|Talvex Software||Direct|-
ABOUT|8|About Talvex Quarlend||Direct|-
)";

struct Expected {
    std::string array;
    int index;
    std::string caption, shortcut, sends, label;
};

std::vector<Expected> expectedItems()
{
    std::vector<Expected> out;
    std::istringstream in(kExpected);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::vector<std::string> f;
        std::size_t start = 0;
        for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
            f.push_back(line.substr(start, bar - start));
        f.push_back(line.substr(start));
        out.push_back({f.at(0), std::stoi(f.at(1)), f.at(2), f.at(3), f.at(4), f.at(5)});
    }
    return out;
}

struct MenuBarFixture : ::testing::Test {
    QMenuBar bar;
    RecordingSink sink;
    MainMenus menus = BuildMainMenus(&bar, sink);
};

} // namespace

TEST_F(MenuBarFixture, TopMenusInOrder)
{
    const QStringList want = {"&File", "E&dit", "A&djust", "Filters &1", "Filters &2", "Dis&tortions",
                              "&Deformations", "&Colors 1", "C&olors 2", "Ca&pture", "Wa&llpaper",
                              "&Windows", "&About"};
    QStringList got;
    for (QAction* a : bar.actions()) got << a->text();
    EXPECT_EQ(got, want);
}

// Every item with a document active: caption, shortcut, the label stored
// and the key or id sent, in that order.
TEST_F(MenuBarFixture, EveryItemSendsItsKeyWithItsLabel)
{
    const auto expected = expectedItems();
    std::set<std::pair<std::string, int>> seen;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.array + " " + std::to_string(e.index));
        seen.insert({e.array, e.index});
        QAction* a = menus.item(e.array, e.index);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text().toStdString(), e.caption);
        EXPECT_TRUE(a->isVisible());
        EXPECT_EQ(a->shortcut(), QKeySequence(shortcutText(e.shortcut.c_str())));
        if (!e.shortcut.empty()) {
            EXPECT_FALSE(a->shortcut().isEmpty());
        }

        sink.calls.clear();
        a->trigger();
        std::vector<std::string> want;
        if (e.label != "-") want.push_back("Label " + e.label);
        if (e.sends == "Direct") {
            ASSERT_EQ(sink.calls.size(), want.size() + 1);
            EXPECT_EQ(sink.calls.back().rfind("Direct ", 0), 0u);
            sink.calls.pop_back();
        } else {
            want.push_back(e.sends);
        }
        EXPECT_EQ(sink.calls, want);
    }
    // Nothing in the bar that the description does not list, separators,
    // submenu headers and never-shown items aside.
    for (const MenuItemSpec& m : menuTable()) {
        if (m.isSeparator() || m.send == MenuSend::Submenu || !m.visible) continue;
        EXPECT_TRUE(seen.count({m.array, m.index})) << m.array << " " << m.index;
    }
}

TEST_F(MenuBarFixture, NoShortcutIsUsedTwice)
{
    std::set<QString> used;
    for (const auto& [key, a] : menus.items) {
        if (a->shortcut().isEmpty()) continue;
        EXPECT_TRUE(used.insert(a->shortcut().toString()).second) << a->shortcut().toString().toStdString();
    }
}

// Without a document: filter items store nothing and send nothing; effect
// items store their caption only; command arrays store and send.
TEST_F(MenuBarFixture, NoDocumentGates)
{
    sink.documentActive = false;
    struct Case { const char* array; int index; std::vector<std::string> calls; };
    const Case cases[] = {
        {"FILTERS", 0, {}},
        {"FILTERS", 24, {}},
        {"LayerBlur", 1, {"Label Simple"}},
        {"LayerFlip", 2, {"Label Flip Horizontal && Vertical"}},
        {"LayerDistortion", 8, {"Label Swirl"}},
        {"SHAPES", 0, {"Label Lens...", "Exec LENS"}},
        {"AA", 5, {"Label x/2", "Exec x2"}},
        {"EDIT", 0, {"Exec UNDO"}},
        {"FILE", 1, {"Static OPEN"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.array) + " " + std::to_string(c.index));
        sink.calls.clear();
        menus.item(c.array, c.index)->trigger();
        EXPECT_EQ(sink.calls, c.calls);
    }
}

TEST_F(MenuBarFixture, HiddenItemsAndSeparatorsSendNothing)
{
    // Defined but never shown: their ids cannot be reached.
    for (auto [array, index] : {std::pair{"LayerAdjustment", 0}, {"LayerAdjustment", 5}, {"LayerBlur", 0},
                                {"LayerEffects", 2}}) {
        QAction* a = menus.item(array, index);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->isVisible());
        EXPECT_FALSE(a->isEnabled());
    }
    EXPECT_EQ(menus.item("FILE", 8), nullptr);   // gaps have no item
    EXPECT_EQ(menus.item("COLORS", 12), nullptr);
    for (const MenuItemSpec& m : menuTable()) {
        if (!m.isSeparator()) continue;
        sink.calls.clear();
        MenuClick(m, sink);
        EXPECT_TRUE(sink.calls.empty());
    }
}

TEST_F(MenuBarFixture, RecentSubmenuHasNineItemsOnlyTheFirstShown)
{
    for (int i = 0; i < 9; ++i) {
        ASSERT_NE(menus.RF[i], nullptr);
        EXPECT_EQ(menus.RF[i]->isVisible(), i == 0);
    }
    sink.calls.clear();
    menus.RF[3]->trigger();
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0], "Direct " + std::to_string(static_cast<int>(MenuDirect::RecentFile)) + " RF 3");
}
