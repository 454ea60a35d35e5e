// The Qt implementations of the platform ports (see Ports.h). Only the
// platform layer includes this file.
#pragma once

#include "platform/Ports.h"
#include "platform/X11Desktop.h"

#include <memory>

namespace tq::platform {

class QtMessageBoxes : public MessageBoxes {
public:
    MsgResult show(const MessageBoxRequest& request) override;
};

class QtFileDialogs : public FileDialogs {
public:
    std::optional<FileDialogAnswer> open(const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> save(const FileDialogRequest& request) override;
};

class QtClipboard : public Clipboard {
public:
    bool hasBitmap() override;
    std::optional<DibRecord> bitmap() override;
    bool setBitmap(const DibRecord& picture) override;
    void clear() override;
};

class QtMessagePump : public MessagePump {
public:
    void processPending() override;
};

// The printer is made on first use, so a run that never prints never asks
// the print system for its printers, and released when the application is
// about to quit, while the print system is still there.
class QtPrinterSetup : public PrinterSetup {
public:
    bool show() override;
};

// Prints through Qt's print support on the printer printer set-up keeps:
// an installed printer of the print system, or Qt's PDF writer.
class QtPrinter : public Printer {
public:
    std::vector<std::string> deviceNames() override;
    std::string deviceName() override;
    bool selectDevice(const std::string& name) override;
    std::string pdfFile() override;
    void setPdfFile(const std::string& path) override;
    std::optional<PrintableArea> printableArea(bool landscape) override;
    bool print(const PrintJob& job) override;
};

// Through the desktop's opener (xdg-open), whose answer says whether some
// program took the page: it fails at once when none handles it. One still
// running after answerMs (the time limit of outside programs) is showing
// the page: a plain X session runs the handler under it. Without an
// opener, through Qt's desktop services.
class QtBrowser : public Browser {
public:
    explicit QtBrowser(int answerMs = kProcessTimeLimitMs) : answerMs_(answerMs) {}
    bool open(const std::string& urlOrPath) override;

private:
    int answerMs_;
};

// The primary screen through QScreen::grabWindow (X11); nothing where the
// session refuses (the grab comes back empty). A Wayland session gives
// applications no grab of the screen. "Show the desktop" is asked of the
// X11 window manager on the connection Qt's windows live on.
class QtScreenGrab : public ScreenGrab {
public:
    std::optional<DibRecord> grabScreen() override;
    ScreenSize screenSize() override;
    bool canGrab() override;
    std::optional<DibRecord> grabWindow(uint64_t window, int32_t left, int32_t top, int32_t width,
                                        int32_t height) override;
    bool canShowDesktop() override;
    bool showDesktop(bool show) override;
};

// Runs programs through QProcess, each for at most timeLimitMs.
class QtProcesses : public Processes {
public:
    explicit QtProcesses(int timeLimitMs = kProcessTimeLimitMs) : timeLimitMs_(timeLimitMs) {}
    int run(const std::string& program, const std::vector<std::string>& args) override;

private:
    int timeLimitMs_;
};

// A pointer grab on Qt's own X11 connection (so the grabbed events still
// reach Qt's windows); nothing on other platforms.
class QtPointerConfinement : public PointerConfinement {
public:
    QtPointerConfinement();
    ~QtPointerConfinement() override;
    bool confine(const PointerConfinementRequest& request) override;
    void release() override;

private:
    std::unique_ptr<x11::PointerGrab> held_;
};

// The name of the X display Qt's windows are on; nullopt when Qt does not
// run on X11 (Wayland, offscreen).
std::optional<std::string> qtX11DisplayName();

// Qt's own colour dialog: the picker until the program's own is installed.
class QtColourPicker : public ColourPicker {
public:
    std::optional<int32_t> pick(int32_t oldColour) override;
};

class QtTimers : public Timers {
public:
    void singleShot(int ms, std::function<void()> action) override;
};

class QtBell : public Bell {
public:
    void ring() override;
};

} // namespace tq::platform
