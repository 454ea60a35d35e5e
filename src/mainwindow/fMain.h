// The main window: an MDI area holding the document windows, the tool bar
// and the tool-option bar above it, the one shared filter engine that
// mirrors the active document, the two command dispatchers, and the common
// end of every change (Update) with the engine's progress handler.
#pragma once

#include "document/CommandRegistry.h"
#include "document/MainHost.h"
#include "filters/cBitFilter.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <span>
#include <string>

class QMdiArea;
class QMdiSubWindow;

namespace tq {

namespace tools {
class ToolButtonBar;
class ToolOptionPanel;
}

class Document;
class fImage;
class fLayersEffects;
struct CommandEntry;
template <class Engine>
struct DirectFilterRow;

class fMain : public QMainWindow, public MainHost, public CommandRegistry {
    Q_OBJECT
public:
    explicit fMain(QWidget* parent = nullptr);
    ~fMain() override;

    QMdiArea* mdiArea() const { return mdi_; }
    // Puts a document window into the MDI area, shows it and makes it the
    // current child.
    QMdiSubWindow* addDocument(fImage* doc) override;
    fImage* newDocumentWindow(const std::function<bool(fImage&)>& fill, const std::optional<std::string>& name,
                              const std::string& caption) override;

    // ---- MainHost ---------------------------------------------------------
    QWidget* mainWidget() override { return this; }
    cBitFilter& engine() override { return cFilter; }
    void mirrorDocument(const BitsBuffer& bits, const Region* region) override;
    bool applyToDocument(Document& doc, BitsBuffer result) override;
    // The engine mirrors the active document; should it ever hold a picture
    // of another size, a result computed from it could not become the
    // document's pixels, so it takes the document's again first.
    void keepEngineInStep(const Document& doc);
    fImage* currentDocument() const override;
    void activateDocument(fImage* doc) override;
    void openPictureFile(const std::string& path, const std::string& ext) override;
    int32_t documentAreaWidth() const override;
    int32_t documentAreaHeight() const override;
    bool mainMinimized() const override { return isMinimized(); }

    // The one shared engine, created with the window and kept for the run.
    cBitFilter cFilter;

    // ---- Common end of a change -------------------------------------------
    // On ActiveImage: the window's part (showChange), then with saveundo the
    // document's: the change recorded as an undo step (Document::recordStep).
    void Update(bool OnlyPan, bool saveundo) override;
    // The window's part of the end of a change of doc's picture: empties its
    // progress bar, clears its image_is_zoomed, repaints it unless OnlyPan
    // and redraws the navigator. doc may be nullptr (the navigator only).
    void showChange(fImage* doc, bool OnlyPan);
    // Both parts for a change of `picture`, shown by `window` (or none):
    // showChange, then the change recorded as its undo step.
    void recordChange(fImage* window, Document& picture, bool OnlyPan);
    // The engine's Progress handler: shows the active document's progress
    // box and sets its bar; a negative percentage is ignored.
    void cFilter_Progress(int32_t& percent);

    // Redraws the navigator window (also while it is hidden).
    void fPanView_UpdateImage() override;
    // Places the navigator's view rectangle after a repaint of the active
    // document, while the navigator is shown.
    void fPanView_UpdateClipRct() override;
    // Empties the navigator's thumbnail and view rectangle.
    void fPanView_Clear() override;
    // A picked colour into the colour window's selected box and editor.
    void colourPicked(int32_t colour) override;
    int16_t SelectedColorIndex() const override;

    // ---- Tool bar and tool-option bar (fMain_Tools.cpp, tools/) -----------
    tools::ToolButtonBar* tbTool = nullptr;
    tools::ToolOptionPanel* picStatus = nullptr;
    // The tool bar's click on button Index (Value 1 pressed, 0 released).
    void tbTool_ButtonClick(int16_t Index, const std::string& Key, int Value);
    // Readies the option bar to show one frame.
    void Tool_Frame();
    // Whether the tool bar's hand-scroll button is pressed.
    bool HandScrollButtonPressed() const override;
    // Releases every tool button, presses the hand-scroll one and makes
    // "MouseScroll" the current tool.
    void EnableMouseScrolling() override;
    // Releases every tool button except the one at PreserveTool; -1
    // releases all.
    void DisableTools(int16_t PreserveTool) override;
    // The painting tools of a document window's canvas.
    std::unique_ptr<CanvasInput> makeCanvasInput(fImage& doc) override;

    // The option frames from Settings, once at start-up, in this order.
    void SelectionMove_Init();
    void Select_Init();
    void Airbrush_Init();
    void Brush_Init();
    void Fill_Init();
    void Shape_Init();
    void Gradient_init();
    void Stamp_Init();
    // k for a digit code or Backspace, otherwise 0.
    static int16_t KeyNum(int16_t k);
    // The pixels of the current stamp picture.
    BitsBuffer GetStampBits() const;
    // Built-in stamp chosen in the "Defined" list.
    void icStamp_Click();
    // Redraws the gradient preview strip from the two gradient colours.
    void DrawGradientPreview();

    // ---- Command dispatchers ----------------------------------------------
    // The document commands: run only while a document window is active,
    // except "CREATEFROMCLIPBOARD". Keys match exactly, case-sensitively.
    void MenuExec(const std::string& Key) override;
    // The file, capture, wallpaper and window commands: the first nine run
    // with or without a document, the other twelve only with one.
    void MenuStatic(const std::string& Key) override;

    struct CommandTable {
        std::span<const CommandEntry> execFirst;     // 9 keys, then the document test
        std::span<const CommandEntry> execSecond;    // 153 keys
        std::span<const CommandEntry> staticFirst;   // 9 keys, no document needed
        std::span<const CommandEntry> staticSecond;  // 12 keys
    };
    // The complete key table, in comparison order.
    static const CommandTable& commandTable();

    // Told the key and the command's name of every key a dispatcher
    // matched, before its command runs (used by tests and diagnostics).
    std::function<void(const std::string& key, const char* command)> commandTrace;

    // CommandRegistry: the commands the subsystems provide, by name.
    bool registerCommand(const std::string& command, CommandHandler handler) override;

    // ---- The main window's own commands ------------------------------------
    void cmdOpen(const std::string& key);
    void cmdClose(const std::string& key);
    void cmdSave(const std::string& key);
    void cmdSaveAs(const std::string& key);
    void cmdPrinterSetup(const std::string& key);
    void cmdArrangeWindows(const std::string& key); // TILEHORIZONTALLY, TILEVERTICALLY, CASCADE
    void cmdReset(const std::string& key);

    void cmdUndo(const std::string& key);
    void cmdRedo(const std::string& key);
    void cmdCreateNewCopy(const std::string& key);
    void cmdCopyImageToClipboard(const std::string& key);
    void cmdCreateFromClipboard(const std::string& key);

    void cmdSelection(const std::string& key);      // SELECTALL .. SAVESELECTION
    void cmdClipboard(const std::string& key);      // CUT, COPY, PASTE
    void cmdCrop(const std::string& key);           // CROP, NEWIMAGEFROMCROP
    void cmdViewZoom(const std::string& key);       // "200".."700", "100"
    void cmdQualitySize(const std::string& key);    // "50".."10", ORIGINAL, "2x".."x5"
    void cmdRotation(const std::string& key);       // N90 .. A45
    void cmdDirectFilter(const std::string& key);   // the 69 direct filter keys

    // ==== Screen capture and the desktop wallpaper =======================
    // (defined in fMain_Capture.cpp)

    // "CAPTUREDESKTOP", "CAPTUREBACKGROUND": the main window and the tool
    // windows flagged visible go out of sight, then the capture timer runs.
    // The desktop capture also asks the desktop to show itself (every other
    // program's window out of the way) and, once the screen is grabbed, to
    // bring them back; where the desktop cannot, it is the background
    // capture. "CAPTUREFOREGROUND": the screen as it is, at once.
    // Where the session gives no way to grab the screen, each says so and
    // changes nothing.
    void cmdCaptureDesktop(const std::string& key);
    void cmdCaptureForeground(const std::string& key);
    void cmdCaptureBackground(const std::string& key);
    void cmdCustomCapture(const std::string& key);   // a kind that captures nothing
    // "WTILE", "WCENTER", "WSTRETCH": the active document as the bitmap
    // "TalvexQuarlend.bmp" in the user's data folder, then that file as the
    // desktop's wallpaper in style 1, 0 or 2. The document keeps its name
    // and changed mark.
    void cmdWallpaper(const std::string& key);
    // Grabs the screen (wnd 0: through the desktop window; 1: the whole
    // screen as shown) into a new document "New.bmp" in the program folder
    // ("New.bmp[n]" while one of that name is open) with one history step
    // and no change mark; then the main window comes back maximised with
    // the tool windows flagged visible. Another wnd captures nothing and
    // makes no window; a failed grab makes no document.
    void capturePicture(int16_t wnd);
    // The capture timer: one shot, kTimerCaptureInterval ms after it is
    // enabled; enabling it while it runs changes nothing. Its tick captures
    // through the desktop window and switches it off.
    void enableTimerCapture();
    void timerCapture_Timer();
    bool timerCaptureEnabled() const { return timerCaptureEnabled_; }   // read by tests
    static constexpr int kTimerCaptureInterval = 500;

    // ==== Quality zoom and rotation ========================================
    // (defined in fMain_Commands.cpp)

    // The active document's picture resized by a whole factor: Factor times
    // larger with ZoomIn, else divided by Factor and rounded half to even;
    // resampled with Alias, nearest pixels without. A zoom that follows a
    // zoom of the same document first undoes that one, so a run of zooms
    // keeps one step. A size below 1 or above the largest side is refused
    // with no step. Nothing without an active document.
    void ZoomImage(int16_t Factor, bool ZoomIn, bool Alias);
    // The active document turned by Angle degrees (smooth: interpolated)
    // onto a canvas just holding the turned picture, black where the turned
    // picture leaves the canvas uncovered; half turns, and quarter turns
    // without smoothing, lose no pixel. One undo step.
    void RotateImage(int16_t Angle, bool smooth);

    // ==== Special effects ====================================================
    // (defined in fMain_Effects.cpp)

    // Effect ID on ActiveImage (refreshed by the caller): applied at once,
    // or through the effect dialog, set up for the effect and shown
    // modally; returns once the dialog has closed. An ID without an effect
    // does nothing.
    void ApplyLayerEffects(int16_t ID);

protected:
    // Runs a direct filter's member on the shared engine (a seam for tests
    // that need a member to fail).
    virtual FilterResult runDirectFilter(const DirectFilterRow<cBitFilter>& row);

private:
    // Runs the command of the first entry whose key equals Key; true when
    // one matched.
    bool dispatch(std::span<const CommandEntry> block, const std::string& Key);

    // Tells the document windows of a change of the active document.
    void documentActivated(QMdiSubWindow* sub);

    // Registers the main window's own commands and those of every subsystem.
    void registerCommands();
    // Puts ActiveImage's current picture into the effect dialog's previews.
    void ShowEffectThumbnail();

    std::map<std::string, CommandHandler, std::less<>> commands_;
    QMdiArea* mdi_ = nullptr;
    // Out of sight for a capture: the main window and the flagged tool
    // windows hidden, the main window minimised.
    void hideForCapture();
    // Brings the other programs' windows back if a desktop capture cleared
    // them.
    void endShowingDesktop();

    bool timerCaptureEnabled_ = false;
    bool desktopShown_ = false;
    QPointer<fImage> activeDocument_;
    // The effect dialog while ApplyLayerEffects sets it up and shows it.
    fLayersEffects* layersEffects_ = nullptr;
};

// One row of the key table: a key and the name of the command serving it.
struct CommandEntry {
    const char* key;
    const char* command;
};

} // namespace tq
