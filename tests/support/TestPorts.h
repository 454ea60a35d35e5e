// Test doubles of the platform ports. A test makes a TestPorts, which swaps
// every port for its double for the test's lifetime, queues the answers the
// "user" gives, runs the code, and checks what was shown.
#pragma once

#include "platform/Ports.h"

#include <deque>
#include <functional>
#include <vector>

namespace tq::platform {

// The answer of a box's first button (OK, Abort, Yes or Retry).
MsgResult firstButton(MsgButtons b);

// Answers each box with the next queued answer, or with the default answer
// (the box's first button when none is set), and records every request;
// onShow runs while the box is "up".
class FakeMessageBoxes : public MessageBoxes {
public:
    MsgResult show(const MessageBoxRequest& request) override;

    std::vector<MessageBoxRequest> shown;
    std::function<void(const MessageBoxRequest&)> onShow;
    std::deque<MsgResult> answers;
    std::optional<MsgResult> defaultAnswer;
};

// Answers each dialog with the next queued answer (nullopt = cancel); with
// no answer queued the dialog is cancelled.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<FileDialogAnswer> open(const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> save(const FileDialogRequest& request) override;

    void answerPath(const std::string& path, int filterIndex = 1) { answers.push_back(FileDialogAnswer{path, filterIndex, {}}); }
    void answerCancel() { answers.push_back(std::nullopt); }

    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::deque<std::optional<FileDialogAnswer>> answers;
};

// A clipboard in memory. Like the real one, a picture put on it enters with
// 0 in its marker bytes when read back. With `accepts` false it refuses
// every new picture and keeps what it held.
class FakeClipboard : public Clipboard {
public:
    bool hasBitmap() override { return picture.has_value(); }
    std::optional<DibRecord> bitmap() override;
    bool setBitmap(const DibRecord& p) override;
    void clear() override { picture.reset(); }

    std::optional<DibRecord> picture;
    int setCount = 0;
    bool accepts = true;
};

// Counts the pump's runs and calls an optional action inside each.
class FakeMessagePump : public MessagePump {
public:
    void processPending() override
    {
        ++runs;
        if (onRun) onRun();
    }
    int runs = 0;
    std::function<void()> onRun;
};

// Counts the printer set-up dialogs and answers each with `confirm`.
class FakePrinterSetup : public PrinterSetup {
public:
    bool show() override
    {
        ++shown;
        return confirm;
    }
    int shown = 0;
    bool confirm = true;
};

// Remembers what it was asked to open; answers with `opens`.
class FakeBrowser : public Browser {
public:
    bool open(const std::string& urlOrPath) override
    {
        opened.push_back(urlOrPath);
        return opens;
    }
    std::vector<std::string> opened;
    bool opens = true;
};

// A printers collection of `installed` printers (then the PDF printer) with
// `current` the current one; `area` is the printable area it reports in
// portrait (none: it cannot tell) and `succeeds` what printing answers.
// Records every page and every printer chosen.
class FakePrinter : public Printer {
public:
    std::vector<std::string> deviceNames() override;
    std::string deviceName() override { return current; }
    bool selectDevice(const std::string& name) override;
    std::string pdfFile() override { return pdf; }
    void setPdfFile(const std::string& path) override { pdf = path; }
    std::optional<PrintableArea> printableArea(bool landscape) override;
    bool print(const PrintJob& job) override
    {
        printed.push_back(job);
        return succeeds;
    }

    std::vector<std::string> installed = {"Office Laser", "Back Room Inkjet"};
    std::string current = "Office Laser";
    std::string pdf;
    // Letter paper with quarter-inch margins, in twips.
    std::optional<PrintableArea> area = PrintableArea{11520, 15120, 360, 360, 12240, 15840};
    bool succeeds = true;
    std::vector<PrintJob> printed;
    std::vector<std::string> selected;
};

// Hands out `screen` (none: the grab fails), or a rectangle of it, and
// counts grabs; onGrab runs inside each grab, while the screen is "read".
// sessionAllowsGrab false stands for a session that gives no way to grab;
// sessionShowsDesktop true for one whose desktop can be shown, and every
// such request is recorded (true: show the desktop, false: bring the
// windows back) with the number of grabs made before it.
class FakeScreenGrab : public ScreenGrab {
public:
    struct WindowGrab {
        uint64_t window;
        int32_t left, top, width, height;
        bool operator==(const WindowGrab&) const = default;
    };
    std::optional<DibRecord> grabScreen() override
    {
        ++grabs;
        if (onGrab) onGrab();
        return screen;
    }
    ScreenSize screenSize() override { return screen ? ScreenSize{screen->width, screen->height} : ScreenSize{}; }
    bool canGrab() override { return sessionAllowsGrab; }
    // The rectangle of `screen` (black where it lies outside); every window
    // shows as the screen does.
    std::optional<DibRecord> grabWindow(uint64_t window, int32_t left, int32_t top, int32_t width,
                                        int32_t height) override;
    bool canShowDesktop() override { return sessionShowsDesktop; }
    bool showDesktop(bool show) override
    {
        desktopRequests.push_back({show, static_cast<std::size_t>(grabs)});
        return sessionShowsDesktop;
    }

    struct DesktopRequest {
        bool show;
        std::size_t grabsBefore;
        bool operator==(const DesktopRequest&) const = default;
    };
    std::optional<DibRecord> screen;
    bool sessionAllowsGrab = true;
    bool sessionShowsDesktop = false;
    std::vector<DesktopRequest> desktopRequests;
    int grabs = 0;
    std::vector<WindowGrab> windowGrabs;
    std::function<void()> onGrab;
};

// Records each program run and answers with `exitCode`.
class FakeProcesses : public Processes {
public:
    struct Run {
        std::string program;
        std::vector<std::string> args;
        bool operator==(const Run&) const = default;
    };
    int run(const std::string& program, const std::vector<std::string>& args) override
    {
        runs.push_back({program, args});
        return exitCode;
    }
    std::vector<Run> runs;
    int exitCode = 0;
};

// Answers each pick with the next queued answer (nullopt = cancel); with
// none queued the picker is cancelled. Records the old colours asked with.
class FakeColourPicker : public ColourPicker {
public:
    std::optional<int32_t> pick(int32_t oldColour) override
    {
        asked.push_back(oldColour);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<int32_t> asked;
    std::deque<std::optional<int32_t>> answers;
};

// Keeps the actions until the test runs them.
class FakeTimers : public Timers {
public:
    void singleShot(int ms, std::function<void()> action) override { pending.push_back({ms, std::move(action)}); }
    // Runs every pending action (and those they add), in order.
    void runAll()
    {
        while (!pending.empty()) {
            auto p = std::move(pending.front());
            pending.pop_front();
            p.second();
        }
    }
    std::deque<std::pair<int, std::function<void()>>> pending;
};

// Records every value written and every wallpaper handed over, and answers
// with `writeResult` and `sets`. writesBeforeWallpaper holds, for each
// wallpaper, how many writes came before it.
class FakeWallpaper : public Wallpaper {
public:
    struct Write {
        std::string keyPath, name, value;
        bool operator==(const Write&) const = default;
    };
    StoreWrite setString(const std::string& keyPath, const std::string& name, const std::string& value) override;
    bool setWallpaper(const std::string& file) override;

    std::vector<Write> writes;
    std::vector<std::string> wallpapers;
    std::vector<std::size_t> writesBeforeWallpaper;
    StoreWrite writeResult = StoreWrite::Written;
    bool sets = true;
};

// Records every confinement asked for and every release, and answers with
// `confines`; `held` is the rectangle the pointer is held in now.
class FakePointerConfinement : public PointerConfinement {
public:
    bool confine(const PointerConfinementRequest& request) override
    {
        requests.push_back(request);
        if (confines) held = request;
        else held.reset();
        return confines;
    }
    void release() override
    {
        ++releases;
        held.reset();
    }
    std::vector<PointerConfinementRequest> requests;
    std::optional<PointerConfinementRequest> held;
    int releases = 0;
    bool confines = true;
};

// Counts the rings.
class FakeBell : public Bell {
public:
    void ring() override { ++rings; }
    int rings = 0;
};

// Every double, swapped in for the lifetime of the object.
class TestPorts {
public:
    TestPorts();

    FakeMessageBoxes messageBoxes;
    FakeFileDialogs fileDialogs;
    FakeFileDialogs pictureDialogs;
    FakeClipboard clipboard;
    FakeMessagePump pump;
    FakePrinterSetup printerSetup;
    FakePrinter printer;
    FakeBrowser browser;
    FakeScreenGrab screenGrab;
    FakeProcesses processes;
    FakeColourPicker colourPicker;
    FakeTimers timers;
    FakeWallpaper wallpaper;
    FakePointerConfinement pointerConfinement;
    FakeBell bell;

private:
    ScopedPorts scope_;
};

} // namespace tq::platform
