#include "platform/Ports.h"

#include "platform/QtPorts.h"

namespace tq::platform {
namespace {

Ports makeQtPorts()
{
    static QtMessageBoxes messageBoxes;
    static QtFileDialogs fileDialogs;
    static QtClipboard clipboard;
    static QtMessagePump pump;
    static QtPrinterSetup printerSetup;
    return Ports{&messageBoxes, &fileDialogs, &clipboard, &pump, &printerSetup};
}

bool& doEventsRunning()
{
    static bool running = false;
    return running;
}

} // namespace

Ports& ports()
{
    static Ports current = makeQtPorts();
    return current;
}

ScopedPorts::ScopedPorts(const Ports& replacement) : saved_(ports())
{
    Ports& p = ports();
    if (replacement.messageBoxes) p.messageBoxes = replacement.messageBoxes;
    if (replacement.fileDialogs) p.fileDialogs = replacement.fileDialogs;
    if (replacement.clipboard) p.clipboard = replacement.clipboard;
    if (replacement.pump) p.pump = replacement.pump;
    if (replacement.printerSetup) p.printerSetup = replacement.printerSetup;
}

ScopedPorts::~ScopedPorts() { ports() = saved_; }

MsgResult MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    return ports().messageBoxes->show(MessageBoxRequest{text, buttons, icon, title});
}

void DoEvents()
{
    bool& running = doEventsRunning();
    if (running) return;
    running = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{running};
    ports().pump->processPending();
}

bool insideDoEvents() { return doEventsRunning(); }

} // namespace tq::platform
