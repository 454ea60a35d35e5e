// Builds the main window's menu bar from the menu table and wires every item
// to MenuClick on a CommandSink.
#pragma once

#include "mainwindow/MenuTable.h"

#include <QString>

#include <array>
#include <map>
#include <string>
#include <utility>

class QAction;
class QMenu;
class QMenuBar;

namespace tq {

// Shortcut text as the menus write it ("Shift+Ctrl+F1", "Del") in Qt's form.
QString shortcutText(const char* shortcut);

struct MainMenus {
    std::array<QMenu*, 13> top{};
    std::map<std::pair<std::string, int>, QAction*> items;   // by (array, index)
    std::map<std::string, QMenu*> submenus;                   // by control name ("mnuRecent")
    // The "Recent" submenu's items RF 0..8: captions set at run time,
    // item 0 visible, 1..8 hidden.
    std::array<QAction*, 9> RF{};

    QAction* item(const std::string& array, int index) const
    {
        auto it = items.find({array, index});
        return it == items.end() ? nullptr : it->second;
    }
};

// Fills bar with the thirteen menus. Every click runs MenuClick(item, sink);
// a click on RF i runs sink.MenuDirectAction(RecentFile, item) with the
// item's index i. The sink must outlive the bar.
MainMenus BuildMainMenus(QMenuBar* bar, CommandSink& sink);

} // namespace tq
