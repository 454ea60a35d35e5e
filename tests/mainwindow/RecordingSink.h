// Recording test doubles of the main window's ports: a command sink that
// writes down every call (menu tests).
#pragma once

#include "mainwindow/MenuTable.h"

#include <optional>

#include <string>
#include <vector>

namespace tq::test {

struct RecordingSink : CommandSink {
    bool documentActive = true;
    std::vector<std::string> calls;

    void MenuExec(const std::string& key) override { calls.push_back("Exec " + key); }
    void MenuStatic(const std::string& key) override { calls.push_back("Static " + key); }
    void ApplyLayerEffects(int id) override { calls.push_back("Effect " + std::to_string(id)); }
    bool GetActiveImage() override { return documentActive; }
    void SetLastActionName(const std::string& label) override { calls.push_back("Label " + label); }
    void MenuDirectAction(MenuDirect action, const MenuItemSpec& item) override
    {
        calls.push_back("Direct " + std::to_string(static_cast<int>(action)) + " " + item.array + " " +
                        std::to_string(item.index));
    }
};

} // namespace tq::test
