// Recording test doubles of the main window's ports: a command sink that
// writes down every call (menu tests) and an open dialog.
#pragma once

#include "mainwindow/MenuTable.h"
#include "mainwindow/OpenPreviewDialog.h"

#include <optional>

#include <string>
#include <vector>

namespace tq::test {

// The open dialog: writes down every request and gives `answer` (nullopt:
// cancelled).
struct RecordingOpenDialog : OpenDialogPort {
    std::vector<OpenDialogRequest> asked;
    std::optional<OpenDialogAnswer> answer;
    std::optional<OpenDialogAnswer> open(const OpenDialogRequest& r) override
    {
        asked.push_back(r);
        return answer;
    }
};

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
