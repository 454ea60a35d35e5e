#include "platform/Ports.h"

#include "core/PictureMemory.h"

#include "platform/DesktopWallpaper.h"
#include "platform/PlatformContext.h"
#include "platform/QtPorts.h"

#include <algorithm>

namespace tq::platform {
namespace {

FileDialogs*& defaultPictureDialogs()
{
    static FileDialogs* d = nullptr;
    return d;
}

ColourPicker*& defaultColourPicker()
{
    static ColourPicker* p = nullptr;
    return p;
}

// The platform's own implementations, made once for the run.
const Ports& plainQtPorts()
{
    static QtMessageBoxes messageBoxes;
    static QtFileDialogs fileDialogs;
    static QtClipboard clipboard;
    static QtMessagePump pump;
    static QtPrinterSetup printerSetup;
    static QtPrinter printer;
    static QtBrowser browser;
    static QtScreenGrab screenGrab;
    static QtProcesses processes;
    static QtColourPicker colourPicker;
    static QtTimers timers;
    static QtBell bell;
    static DesktopWallpaper wallpaper;
    static QtPointerConfinement pointerConfinement;
    static const Ports p{&messageBoxes, &fileDialogs, &fileDialogs,  &clipboard, &pump,
                         &printerSetup, &printer,     &browser,      &screenGrab, &processes,
                         &colourPicker, &timers,      &wallpaper,    &pointerConfinement, &bell};
    return p;
}

Ports makeQtPorts()
{
    Ports p = plainQtPorts();
    if (defaultPictureDialogs()) p.pictureDialogs = defaultPictureDialogs();
    if (defaultColourPicker()) p.colourPicker = defaultColourPicker();
    return p;
}

} // namespace

PlatformContext defaultPlatformContext()
{
    PlatformContext c;
    c.ports = makeQtPorts();
    return c;
}

namespace {
PlatformContext*& currentPlatformContext()
{
    static PlatformContext base = defaultPlatformContext();
    static PlatformContext* current = [] {
        usePictureMemoryBudgetOf(&base.pictureMemoryBudget);
        return &base;
    }();
    return current;
}
} // namespace

PlatformContext& platformContext() { return *currentPlatformContext(); }

PlatformContext* installPlatformContext(PlatformContext* ctx)
{
    PlatformContext* old = currentPlatformContext();
    currentPlatformContext() = ctx;
    usePictureMemoryBudgetOf(ctx ? &ctx->pictureMemoryBudget : nullptr);
    return old;
}

Ports& ports() { return platformContext().ports; }

ScopedPorts::ScopedPorts(const Ports& replacement) : saved_(ports())
{
    Ports& p = ports();
    auto take = [](auto*& slot, auto* with) {
        if (with) slot = with;
    };
    take(p.messageBoxes, replacement.messageBoxes);
    take(p.fileDialogs, replacement.fileDialogs);
    take(p.pictureDialogs, replacement.pictureDialogs);
    take(p.clipboard, replacement.clipboard);
    take(p.pump, replacement.pump);
    take(p.printerSetup, replacement.printerSetup);
    take(p.printer, replacement.printer);
    take(p.browser, replacement.browser);
    take(p.screenGrab, replacement.screenGrab);
    take(p.processes, replacement.processes);
    take(p.colourPicker, replacement.colourPicker);
    take(p.timers, replacement.timers);
    take(p.wallpaper, replacement.wallpaper);
    take(p.pointerConfinement, replacement.pointerConfinement);
    take(p.bell, replacement.bell);
}

ScopedPorts::~ScopedPorts() { ports() = saved_; }

void setDefaultPictureDialogs(FileDialogs* dialogs)
{
    FileDialogs*& d = defaultPictureDialogs();
    FileDialogs*& slot = ports().pictureDialogs;
    // A test's double stays in place; only the default is replaced.
    if (slot == (d ? d : plainQtPorts().pictureDialogs)) slot = dialogs ? dialogs : plainQtPorts().pictureDialogs;
    d = dialogs;
}

void setDefaultColourPicker(ColourPicker* picker)
{
    ColourPicker*& d = defaultColourPicker();
    ColourPicker*& slot = ports().colourPicker;
    if (slot == (d ? d : plainQtPorts().colourPicker)) slot = picker ? picker : plainQtPorts().colourPicker;
    d = picker;
}

int resolutionForQuality(std::vector<int> supported, PrintQuality quality)
{
    std::erase_if(supported, [](int dpi) { return dpi <= 0; });
    std::sort(supported.begin(), supported.end());
    supported.erase(std::unique(supported.begin(), supported.end()), supported.end());
    if (supported.empty()) return 0;
    // Step q of 0..3 lands on q thirds of the list, nearest entry.
    const size_t last = supported.size() - 1;
    const size_t q = static_cast<size_t>(quality);
    return supported[(q * last * 2 + 3) / 6];
}

Browser& browser() { return *ports().browser; }

MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    return ports().messageBoxes->show(MessageBoxRequest{text, buttons, icon, title});
}

void DoEvents()
{
    bool& running = platformContext().insideDoEvents;
    if (running) return;
    running = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{running};
    ports().pump->processPending();
}

bool insideDoEvents() { return platformContext().insideDoEvents; }

} // namespace tq::platform
