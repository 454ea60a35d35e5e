#include "toolwindows/ToolWindows.h"

#include "toolwindows/fToolBrowser.h"
#include "toolwindows/SelectionClip.h"
#include "toolwindows/ToolWindowRegistry.h"
#include "toolwindows/fPanView.h"
#include "toolwindows/fToolColor.h"
#include "toolwindows/fPaste.h"
#include "toolwindows/fToolTextures.h"

namespace tq {

namespace {

void rollUp(QWidget* window)
{
    if (auto* w = qobject_cast<FloatingToolWindow*>(window)) w->pMm_Click();
}

template <class Window>
Window* ownedWindow(QWidget* main, const char* name)
{
    if (!main) return nullptr;
    return main->findChild<Window*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

} // namespace

void registerBuiltToolWindows()
{
    registerToolWindow("fToolColor", [](QWidget* owner) -> QWidget* { return new fToolColor(owner); }, rollUp);
    registerToolWindow("fPanView", [](QWidget* owner) -> QWidget* { return new fPanView(owner); }, rollUp);
    registerToolWindow("fPaste", [](QWidget* owner) -> QWidget* { return new fPaste(owner); }, rollUp);
    registerToolWindow("fToolTextures", [](QWidget* owner) -> QWidget* { return new fToolTextures(owner); }, rollUp);
    registerToolWindow("fToolBrowser", [](QWidget* owner) -> QWidget* { return new fToolBrowser(owner); }, rollUp);
}

void unregisterBuiltToolWindows()
{
    registerToolWindow("fToolColor", {}, {});
    registerToolWindow("fPanView", {}, {});
    registerToolWindow("fPaste", {}, {});
    registerToolWindow("fToolTextures", {}, {});
    registerToolWindow("fToolBrowser", {}, {});
}

void navigatorUpdateImage(QWidget* main)
{
    if (fPanView* nav = ownedWindow<fPanView>(main, "fPanView")) nav->UpdateImage();
}

void navigatorUpdateClipRct(QWidget* main)
{
    fPanView* nav = ownedWindow<fPanView>(main, "fPanView");
    if (nav && nav->isVisible()) nav->UpdateClipRct();
}

void navigatorClear(QWidget* main)
{
    if (fPanView* nav = ownedWindow<fPanView>(main, "fPanView")) nav->Clear();
}

bool cutToClipHistory(QWidget* main)
{
    if (fPaste* history = ownedWindow<fPaste>(main, "fPaste")) return history->CutBits();
    return cutSelectionToClip();
}

bool copyToClipHistory(QWidget* main)
{
    if (fPaste* history = ownedWindow<fPaste>(main, "fPaste")) return history->CopyBits();
    return copySelectionToClip();
}

void colourWindowPicked(QWidget* main, int32_t colour)
{
    if (fToolColor* window = ownedWindow<fToolColor>(main, "fToolColor")) window->PickColour(colour);
}

int16_t colourWindowSelectedIndex(QWidget* main)
{
    const fToolColor* window = ownedWindow<fToolColor>(main, "fToolColor");
    return window ? window->SelectedColorIndex() : 0;
}

} // namespace tq
