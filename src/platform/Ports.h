// What the program takes from the desktop, each behind a small interface:
// message boxes, file dialogs, the clipboard, the "let pending messages
// run" pump and the printer set-up dialog. Code above the platform layer reaches them only through
// ports(), so a test can swap in doubles (see TestPorts.h) that answer a
// message box or a file dialog and record what was asked, and a headless run
// never blocks. The interfaces carry no Qt type.
#pragma once

#include "platform/BitsBuffer.h"

#include <optional>
#include <string>

namespace tq::platform {

// ---- Message boxes ---------------------------------------------------------

enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageBoxRequest {
    std::string text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    std::string title;   // empty: the program's own name
    bool operator==(const MessageBoxRequest&) const = default;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button chosen. Closing the box
    // without a button counts as Cancel where there is one, else as the
    // box's only or first button.
    virtual MsgResult show(const MessageBoxRequest& request) = 0;
};

// ---- File dialogs ----------------------------------------------------------

struct FileDialogRequest {
    std::string title;
    // Pairs "description|pattern[;pattern]" joined by "|", e.g.
    // "Bitmap (*.bmp)|*.bmp|All files|*.*".
    std::string filter;
    int filterIndex = 1;        // 1-based, as the filter pairs are counted
    std::string initialDir;
    std::string fileName;       // proposed name (save) or start selection (open)
    std::string defaultExt;     // added to a typed name without extension (save)
    bool overwritePrompt = true;   // save only: ask before replacing a file
    bool operator==(const FileDialogRequest&) const = default;
};

struct FileDialogAnswer {
    std::string path;
    int filterIndex = 1;        // the filter pair chosen, 1-based
    bool operator==(const FileDialogAnswer&) const = default;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // nullopt when the user cancels.
    virtual std::optional<FileDialogAnswer> open(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogAnswer> save(const FileDialogRequest& request) = 0;
};

// ---- Clipboard -------------------------------------------------------------

// Pictures cross the clipboard as margin-less 32-bit records (blue, green,
// red, marker); a picture read from it has 0 in every marker byte.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool hasBitmap() = 0;
    // nullopt when the clipboard holds no picture.
    virtual std::optional<DibRecord> bitmap() = 0;
    // Replaces the clipboard's contents with the picture; false on failure.
    virtual bool setBitmap(const DibRecord& picture) = 0;
    virtual void clear() = 0;
};

// ---- Pending messages ------------------------------------------------------

class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Runs the events already queued once, leaving user input (keys, mouse)
    // queued.
    virtual void processPending() = 0;
};

// ---- Printer set-up --------------------------------------------------------

// The desktop's printer set-up dialog for the printer the program keeps for
// the whole run, so what the user chooses there stays for later printing.
class PrinterSetup {
public:
    virtual ~PrinterSetup() = default;
    // Shows the dialog modally; true when the user confirmed it, false when
    // it was cancelled.
    virtual bool show() = 0;
};

// ---- The registry ----------------------------------------------------------

struct Ports {
    MessageBoxes* messageBoxes = nullptr;
    FileDialogs* fileDialogs = nullptr;
    Clipboard* clipboard = nullptr;
    MessagePump* pump = nullptr;
    PrinterSetup* printerSetup = nullptr;
};

// The ports in use: the Qt implementations unless a test has swapped some.
Ports& ports();

// Replaces the ports for its lifetime (null members keep the current port)
// and puts the previous ones back when it ends.
class ScopedPorts {
public:
    explicit ScopedPorts(const Ports& replacement);
    ~ScopedPorts();
    ScopedPorts(const ScopedPorts&) = delete;
    ScopedPorts& operator=(const ScopedPorts&) = delete;

private:
    Ports saved_;
};

// Shorthands for code above the layer.
MsgResult MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, const std::string& title = {});

// Lets the pending messages run once (user input excluded). A call made
// while an earlier call is still running (from inside an event it ran)
// returns at once, so event handlers cannot nest through it without bound.
void DoEvents();
// True while DoEvents is running.
bool insideDoEvents();

// The screen's twips per pixel, fixed at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
constexpr int TwipsPerPixelX() { return kTwipsPerPixel; }
constexpr int TwipsPerPixelY() { return kTwipsPerPixel; }

// The program's name, used as the title of its own messages.
inline constexpr const char* kProgramName = "Talvex Quarlend";

} // namespace tq::platform
