// What the program takes from the desktop, each behind a small interface:
// message boxes, file dialogs (the plain ones and the picture open dialog
// with its preview), the clipboard, the "let pending messages run" pump, the
// printer and its set-up dialog, the web browser, the screen grab (and the
// desktop's "show the desktop"), outside programs, the colour picker,
// timers, the desktop wallpaper, the pointer held inside a window and
// the bell.
// Code above the platform layer reaches them only through ports(), so a test
// can swap in doubles (see TestPorts.h) that answer a message box or a file
// dialog and record what was asked, and a headless run never blocks. The
// interfaces carry no Qt type. The ports belong to the program context (see
// PlatformContext.h): a test that makes a fresh context starts from the
// ports of the one around it.
#pragma once

#include "core/BitsBuffer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
    std::string folder;         // the folder the dialog ended in ("" : the path's)
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

// ---- Printer -----------------------------------------------------------------

// The printer the program keeps for the whole run (the one printer set-up
// works on) and the printers it can be switched to. Lengths are twips
// (1/1440 inch), the printer's own scale.

// The device name of the printer that writes PDF files, listed after the
// installed printers.
inline constexpr const char* kPdfPrinterName = "Print to File (PDF)";

struct PrintableArea {
    float width = 0, height = 0;             // the area the printer can draw on
    float left = 0, top = 0;                 // its place on the sheet
    float paperWidth = 0, paperHeight = 0;   // the whole sheet
};

// The print dialog's quality list, in its order. A printer prints them as
// increasing resolutions among those it supports (resolutionForQuality).
enum class PrintQuality { Draft, Low, Medium, High };

// The resolution, in dots per inch, a printer supporting `supported` prints
// `quality` at: Draft the lowest, High the highest, Low and Medium a third
// and two thirds of the way up the list (sorted, repeats dropped), each
// never lower than the one before. 0 when the printer names none.
int resolutionForQuality(std::vector<int> supported, PrintQuality quality);

// One page: the picture drawn into a rectangle of the printable area.
struct PrintJob {
    DibRecord picture;            // margin-less
    bool landscape = false;
    int copies = 1;               // a PDF file holds one page per copy
    PrintQuality quality = PrintQuality::Medium;
    int32_t left = 0, top = 0;    // from the printable area's top-left corner
    float width = 0, height = 0;
};

class Printer {
public:
    virtual ~Printer() = default;
    // The device names of the installed printers in the print system's
    // order, then kPdfPrinterName.
    virtual std::vector<std::string> deviceNames() = 0;
    // The current printer's device name.
    virtual std::string deviceName() = 0;
    // Makes the printer of that device name current; false (nothing
    // changed) when there is none.
    virtual bool selectDevice(const std::string& name) = 0;
    // The file the PDF printer writes next; empty until one is chosen
    // (through the set-up dialog or setPdfFile). Kept for the run, so the
    // next print can offer it again.
    virtual std::string pdfFile() = 0;
    virtual void setPdfFile(const std::string& path) = 0;
    // The current printer's printable area in an orientation; nullopt when
    // it cannot tell.
    virtual std::optional<PrintableArea> printableArea(bool landscape) = 0;
    // Prints the page as one job on the current printer. False when the job
    // could not be started or finished; a job that cannot start sends
    // nothing. The PDF printer writes its file whole or not at all: a file
    // already there is replaced only by a complete one.
    virtual bool print(const PrintJob& job) = 0;
};

// ---- Web browser ---------------------------------------------------------------

class Browser {
public:
    virtual ~Browser() = default;
    // Opens an address ("https://...") or a local file path in the default
    // browser; false when the desktop refused.
    virtual bool open(const std::string& urlOrPath) = 0;
};

// ---- Screen grab ---------------------------------------------------------------

struct ScreenSize {
    int32_t width = 0;            // pixels
    int32_t height = 0;
    bool operator==(const ScreenSize&) const = default;
};

class ScreenGrab {
public:
    virtual ~ScreenGrab() = default;
    // The whole screen as the user sees it; nullopt when the session gives
    // no way to grab it (e.g. a Wayland session without a portal).
    virtual std::optional<DibRecord> grabScreen() = 0;
    // The screen's size in pixels; 0 x 0 without a screen.
    virtual ScreenSize screenSize() = 0;
    // False when the session gives no way to grab the screen at all, so a
    // capture can say so before it hides anything.
    virtual bool canGrab() = 0;
    // The rectangle (left, top, width, height) of a window as it shows on
    // the screen, in pixels; window 0 is the whole screen (on X11 the root
    // window). nullopt when it cannot be grabbed or a side is below 1.
    virtual std::optional<DibRecord> grabWindow(uint64_t window, int32_t left, int32_t top, int32_t width,
                                                int32_t height) = 0;
    // True when the desktop can clear the screen of every window and bring
    // them back (on X11 a window manager that supports
    // _NET_SHOWING_DESKTOP).
    virtual bool canShowDesktop() = 0;
    // Shows the desktop (show true) or brings the windows back; false when
    // the request could not be made.
    virtual bool showDesktop(bool show) = 0;
};

// ---- Outside programs ------------------------------------------------------------

// How long an outside program may run before it counts as failed.
inline constexpr int kProcessTimeLimitMs = 5000;

class Processes {
public:
    virtual ~Processes() = default;
    // Runs a program with its arguments (never through a shell) and waits
    // for it, at most kProcessTimeLimitMs: its exit code, or -1 when it could
    // not be started, crashed or was still running at the limit (it is then
    // stopped).
    virtual int run(const std::string& program, const std::vector<std::string>& args) = 0;
};

// ---- Desktop wallpaper ------------------------------------------------------------

// The user's desktop settings, kept in a small store of the program's own in
// place of a registry (key paths such as "Control Panel\Desktop\", each
// holding named text values), and the desktop's own wallpaper setter.
enum class StoreWrite {
    Written,
    KeyMissing,   // the key could not be opened: nothing was written
    Failed,       // the write did not complete: the store is as it was
};

class Wallpaper {
public:
    virtual ~Wallpaper() = default;
    // Writes one text value under a key of the store.
    virtual StoreWrite setString(const std::string& keyPath, const std::string& name, const std::string& value) = 0;
    // Shows the picture file as the desktop's wallpaper, in the style the
    // store's desktop key holds (the desktop's own style where it holds
    // none); false where no setter is known or every one refused.
    virtual bool setWallpaper(const std::string& file) = 0;
};

// ---- Pointer confinement -------------------------------------------------------------

// A rectangle of one of the program's windows, in that window's own pixels
// (device pixels), that the desktop's pointer may not leave.
struct PointerConfinementRequest {
    uint64_t window = 0;          // the window's native id
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PointerConfinementRequest&) const = default;
};

class PointerConfinement {
public:
    virtual ~PointerConfinement() = default;
    // Holds the pointer inside the rectangle until release; false (nothing
    // held) where the session cannot (no X11, e.g. Wayland) or another
    // program holds the pointer. A confinement already held is replaced.
    virtual bool confine(const PointerConfinementRequest& request) = 0;
    // Lets the pointer go; nothing when none is held.
    virtual void release() = 0;
};

// ---- Colour picker -----------------------------------------------------------------

// The program's one modal colour picker: the old colour in (red in the low
// byte; -1 for none), the new colour out; nullopt when the user cancelled.
class ColourPicker {
public:
    virtual ~ColourPicker() = default;
    virtual std::optional<int32_t> pick(int32_t oldColour) = 0;
};

// ---- Timers ------------------------------------------------------------------------------

class Timers {
public:
    virtual ~Timers() = default;
    // Runs action once, ms milliseconds from now, on the user-interface thread.
    virtual void singleShot(int ms, std::function<void()> action) = 0;
};

// ---- The bell ---------------------------------------------------------------------

// The desktop's warning sound: a key a box refuses is not lost without a sign.
class Bell {
public:
    virtual ~Bell() = default;
    virtual void ring() = 0;
};

// ---- The registry ----------------------------------------------------------

struct Ports {
    MessageBoxes* messageBoxes = nullptr;
    FileDialogs* fileDialogs = nullptr;
    // The picture open dialog with its preview panel (File > Open).
    FileDialogs* pictureDialogs = nullptr;
    Clipboard* clipboard = nullptr;
    MessagePump* pump = nullptr;
    PrinterSetup* printerSetup = nullptr;
    Printer* printer = nullptr;
    Browser* browser = nullptr;
    ScreenGrab* screenGrab = nullptr;
    Processes* processes = nullptr;
    ColourPicker* colourPicker = nullptr;
    Timers* timers = nullptr;
    Wallpaper* wallpaper = nullptr;
    PointerConfinement* pointerConfinement = nullptr;
    Bell* bell = nullptr;
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

// Installs the implementation of a port that lives above the platform layer
// (the picture open dialog, the colour picker): used unless a test has
// swapped the port. Null goes back to the platform's plain default.
void setDefaultPictureDialogs(FileDialogs* dialogs);
void setDefaultColourPicker(ColourPicker* picker);

// Shorthands for code above the layer.
Browser& browser();
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
