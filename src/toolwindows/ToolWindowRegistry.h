// The five floating tool windows as one registry: where each keeps its
// visible flag, rolled-up flag and geometry in Settings, which "&Windows"
// item shows it, and (once the window exists in the program) how to make it
// and roll it up. Start-up, the "&Windows" menu and shutdown go through this
// table only, so a new tool window arrives by registering its factory.
#pragma once

#include "document/Settings.h"

#include <functional>
#include <span>
#include <string>

class QWidget;

namespace tq {

struct ToolWindowSlot {
    const char* name;            // "fToolColor", "fToolTextures", "fPaste", "fPanView", "fToolBrowser"
    int viewsIndex;              // its item in the "&Windows" menu
    bool Settings::*visible;
    bool Settings::*collapsed;
    Twips16 Settings::*left;
    Twips16 Settings::*top;
    Twips16 Settings::*width;    // nullptr: the window keeps its own width
    Twips16 Settings::*height;   // nullptr: the window keeps its own height
    bool startupWidth;           // start-up gives it the saved width
    bool startupHeight;          // start-up gives it the saved height
    bool rolledUpWidth;          // a rolled-up window gets the saved width at start-up too
    // Filled when the window is part of the program; empty until then.
    std::function<QWidget*(QWidget* owner)> create;
    std::function<void(QWidget* window)> pMm_Click;   // rolls it up or down
};

// Start-up's showing order (Color, Textures, History, Panoramic, Browser).
std::span<ToolWindowSlot> toolWindowSlots();
// The order they are loaded in (Color, Textures, History, Browser, Panoramic).
std::span<const int> toolWindowLoadOrder();
// The slot of a "&Windows" item, nullptr for other indexes.
ToolWindowSlot* toolWindowForMenuIndex(int viewsIndex);
ToolWindowSlot* toolWindowByName(const std::string& name);

// Makes a tool window part of the program. False for an unknown name.
bool registerToolWindow(const std::string& name, std::function<QWidget*(QWidget* owner)> create,
                        std::function<void(QWidget* window)> rollUp);

// A tool window's own close button calls this: the window is hidden, its
// visible flag cleared and its "&Windows" item unchecked, as the menu does.
void toolWindowClosedByUser(const std::string& name);
// Installed by the start-up for the run (empty: the call does nothing).
void setToolWindowClosedHandler(std::function<void(const std::string& name)> handler);

} // namespace tq
