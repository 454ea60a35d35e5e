// The main window's menu bar as data: every menu, item, caption, shortcut and
// what a click on the item does. The Qt menus are built from this table
// (MenuBuilder.h) and every click goes through MenuClick below, so the whole
// bar can be checked without a window.
#pragma once

#include <span>
#include <string>

namespace tq {

// What a click sends.
enum class MenuSend {
    None,      // separators, submenu headers
    Exec,      // key to fMain.MenuExec (document commands)
    Static,    // key to fMain.MenuStatic (file, window, capture, wallpaper)
    Effect,    // id to fMain.ApplyLayerEffects
    Direct,    // the handler acts itself (see MenuDirect)
    Submenu,   // opens the submenu named by the item's caption
};

// The label a click stores in LastActionName before it sends.
enum class MenuLabel {
    None,            // left as it was
    Caption,         // the item's caption
    ReplaceCaption,  // "Replace " + caption
    SwapCaption,     // "Swap " + caption
};

// Whether the handler asks for an active document, and when.
enum class MenuGate {
    None,             // label and send whatever the state
    DocumentFirst,    // no document: nothing at all, not even the label
    DocumentAfterLabel, // label first; no document: send nothing
};

// Items whose handler acts itself.
enum class MenuDirect {
    None,
    Exit,             // "Exit": close the main window
    RevertToOriginal, // "Revert to Original  "
    UserFilters,      // "User Defined Filters..."
    ApplyPalette,     // "Apply Palette..."
    BumpMapping,      // "Bump Mapping..."
    ResetSettings,    // "Reset Settings"
    ToggleToolWindow, // "&Windows" items 4..8 (the item's index tells which)
    Help,             // "Help": the local help pages
    WebPage,          // the publisher's pages (webPage holds the path)
    About,            // "About Talvex Quarlend"
    RecentFile,       // an item of the "Recent" submenu (built at run time)
};

struct MenuItemSpec {
    int topMenu;              // index into kTopMenus
    const char* parent;       // caption of the submenu holding it, nullptr for the top menu
    const char* array;        // control array or single control name
    int index;                // index in its array, -1 for a single control
    const char* caption;      // "-" for a separator
    const char* shortcut;     // as written in the menu ("Shift+Ctrl+F1"), "" for none
    MenuSend send;
    const char* key;          // Exec / Static key, "" otherwise
    int effectId;             // Effect id, 0 otherwise
    MenuLabel label;
    MenuGate gate;
    MenuDirect direct;
    bool visible;             // false: defined hidden and disabled, never shown
    const char* webPage;      // page path of a WebPage item, "" otherwise

    bool isSeparator() const { return std::string(caption) == "-"; }
};

// The thirteen top-level menus, left to right.
std::span<const char* const> kTopMenuCaptions();

// Every item of the bar in menu order (submenu headers come just before
// their own items).
std::span<const MenuItemSpec> menuTable();

// The item of an array by its index; nullptr when the array has no such item.
const MenuItemSpec* findMenuItem(const std::string& array, int index);

// The label rule applied to one item.
std::string MenuItemLabel(const MenuItemSpec& item);

// What the menus call out to: the start-up's shell, which passes keys on to
// the main window's dispatchers.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void MenuExec(const std::string& key) = 0;
    virtual void MenuStatic(const std::string& key) = 0;
    virtual void ApplyLayerEffects(int id) = 0;
    // True when a document is active (refreshes the active document).
    virtual bool GetActiveImage() = 0;
    // Names the undo step of the change that follows.
    virtual void SetLastActionName(const std::string& label) = 0;
    // The items that act themselves; index is the item's array index.
    virtual void MenuDirectAction(MenuDirect action, const MenuItemSpec& item) = 0;
};

// One click on an item: stores the label, applies the document gate and
// sends the key, id or direct action. Separators and submenu headers do
// nothing.
void MenuClick(const MenuItemSpec& item, CommandSink& sink);

// The publisher's web site; the page paths are appended to it.
inline constexpr const char* kPublisherSite = "https://www.talvex.example";
inline constexpr const char* kPublisherName = "Talvex Software";

} // namespace tq
