#include "toolwindows/ToolWindowRegistry.h"

#include "document/ProgramContext.h"

#include <array>

namespace tq {

namespace {

std::array<ToolWindowSlot, 5>& windowSlots()
{
    using S = Settings;
    static std::array<ToolWindowSlot, 5> s = {{
        {"fToolColor", 4, &S::ColorBoxVisible, &S::ColorBoxCollapsed, &S::ColorBoxLeft, &S::ColorBoxTop,
         nullptr, nullptr, false, false, false, {}, {}},
        {"fToolTextures", 5, &S::TexturesBoxVisible, &S::TexturesBoxCollapsed, &S::TexturesBoxLeft,
         &S::TexturesBoxTop, nullptr, nullptr, false, false, false, {}, {}},
        {"fPaste", 6, &S::HistoryBoxVisible, &S::HistoryBoxCollapsed, &S::HistoryBoxLeft, &S::HistoryBoxTop,
         &S::HistoryBoxWidth, &S::HistoryBoxHeight, false, true, false, {}, {}},
        {"fPanView", 7, &S::PanoramicBoxVisible, &S::PanoramicBoxCollapsed, &S::PanoramicBoxLeft,
         &S::PanoramicBoxTop, &S::PanoramicBoxWidth, &S::PanoramicBoxHeight, true, true, true, {}, {}},
        {"fToolBrowser", 8, &S::BrowserBoxVisible, &S::BrowserBoxCollapsed, &S::BrowserBoxLeft,
         &S::BrowserBoxTop, &S::BrowserBoxWidth, &S::BrowserBoxHeight, true, true, true, {}, {}},
    }};
    return s;
}

constexpr std::array<int, 5> kLoadOrder = {0, 1, 2, 4, 3};

std::function<void(const std::string&)>& closedHandler() { return programContext().ToolWindowClosed; }

} // namespace

std::span<ToolWindowSlot> toolWindowSlots() { return windowSlots(); }
std::span<const int> toolWindowLoadOrder() { return kLoadOrder; }

ToolWindowSlot* toolWindowForMenuIndex(int viewsIndex)
{
    for (ToolWindowSlot& s : windowSlots())
        if (s.viewsIndex == viewsIndex) return &s;
    return nullptr;
}

ToolWindowSlot* toolWindowByName(const std::string& name)
{
    for (ToolWindowSlot& s : windowSlots())
        if (name == s.name) return &s;
    return nullptr;
}

bool registerToolWindow(const std::string& name, std::function<QWidget*(QWidget* owner)> create,
                        std::function<void(QWidget* window)> rollUp)
{
    ToolWindowSlot* s = toolWindowByName(name);
    if (!s) return false;
    s->create = std::move(create);
    s->pMm_Click = std::move(rollUp);
    return true;
}

void toolWindowClosedByUser(const std::string& name)
{
    if (closedHandler()) closedHandler()(name);
}

void setToolWindowClosedHandler(std::function<void(const std::string& name)> handler)
{
    closedHandler() = std::move(handler);
}

} // namespace tq
