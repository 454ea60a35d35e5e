// Start-up and shutdown of the program, and the main window's own menu
// handling that needs no document: the recent-file menu, the "&Windows"
// menu with the tool windows, help, About, reset and exit.
//
// The shell makes the main window, builds its menus from the menu table and
// implements the menus' CommandSink: keys go to the main window's two
// dispatchers, labels to LastActionName, the document test to
// mBitmap::GetActiveImage. A handler set in `handlers` takes the place of
// the main window's (tests).
#pragma once

#include "platform/Ports.h"
#include "mainwindow/MenuBuilder.h"
#include "mainwindow/MenuTable.h"
#include "mainwindow/OpenPreviewDialog.h"
#include "platform/TextWidth.h"

#include <QObject>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLockFile;
class QWidget;

namespace tq {

class fMain;
class fSplash;
class GradientColourPicker;
struct Settings;

struct StartOptions {
    std::filesystem::path programFolder;   // holds tqStart.up, Help, ...
    std::filesystem::path runtimeFolder;   // the user's runtime folder: the single-instance lock
    TextWidth measure;                     // empty: the screen's font
};

// Replacements for what the shell otherwise takes from the main window.
struct MainHandlers {
    std::function<void(const std::string&)> MenuExec;
    std::function<void(const std::string&)> MenuStatic;
    std::function<void(int)> ApplyLayerEffects;
    std::function<bool()> GetActiveImage;
    std::function<void(const std::string&)> SetLastActionName;
    // Direct items the main window owns (bump mapping, revert, the two
    // filter dialogs).
    std::function<void(MenuDirect)> Direct;
    // Opens a file as a new document (refusing one already open).
    std::function<void(const std::string& path, const std::string& ext)> loadBitmap;
    // The file path of a document window, nullopt for other windows.
    std::function<std::optional<std::string>(QWidget*)> documentTag;
};

class mStart : public QObject, public CommandSink {
    Q_OBJECT
public:
    explicit mStart(StartOptions options);
    ~mStart() override;

    MainHandlers handlers;

    // The shell of the run (the last one started that is still alive), so
    // the file opener can rebuild the recent-file menu; null before start-up.
    static mStart* running();

    // The start-up routine; splash may be null. False when another copy is
    // running (the message was shown and every window is gone again).
    bool StartApplication(fSplash* splash = nullptr);

    fMain* main() const { return main_.get(); }
    MainMenus& menus() { return menus_; }
    QWidget* toolWindow(int slot) const { return tools_[static_cast<std::size_t>(slot)]; }
    const std::string& openFolder() const { return openFolder_; }
    const std::string& saveFolder() const { return saveFolder_; }
    const std::string& lastActionName() const { return lastActionName_; }

    // ---- Recent files and the "&Windows" menu ---------------------------
    void FillRecent();
    void RF_Click(int index);
    // Opens a picture file as a new document (OpenDocumentFile, or
    // handlers.loadBitmap when set).
    void loadBitmap(const std::string& path, const std::string& ext);
    bool IsImageOpen(const std::string& path) const;
    void VIEWS_Click(int index);
    // A tool window closed by its own button: hidden, flag and item cleared.
    void ToolWindowClosed(const std::string& name);

    // ---- Main window events ---------------------------------------------
    void MDIForm_Resize();
    // Closes the documents (each may refuse); true when all closed.
    bool closeDocuments();
    // Unloads the other windows, writes the settings file (unless a reset
    // is under way, which deletes it instead) and lets the lock go.
    void MDIForm_Unload();
    bool unloaded() const { return unloaded_; }

    // ---- Direct menu items ----------------------------------------------
    void ResetSettings();
    void ShowHelp();
    // "Bump Mapping...": the embossing preset kernel over the shared
    // engine's picture, into the active document as one undo step.
    void BumpMapping();
    // "Revert to Original  ": the active document jumps back to the state it
    // was opened in, as a click on the first history row does; nothing when
    // its history holds only that row.
    void RevertToOriginal();

    // ---- CommandSink ----------------------------------------------------
    void MenuExec(const std::string& key) override;
    void MenuStatic(const std::string& key) override;
    void ApplyLayerEffects(int id) override;
    bool GetActiveImage() override;
    void SetLastActionName(const std::string& label) override;
    void MenuDirectAction(MenuDirect action, const MenuItemSpec& item) override;

    // "OPEN" (the main window's dispatcher comes here): the open dialog with
    // its preview at the kept folder, then loadBitmap.
    void OpenCommand();
    // Arranges the document windows (1 tile horizontally, 2 vertically,
    // 0 cascade); nothing without documents.
    void ArrangeDocuments(int code);

    static constexpr const char* kAlreadyRunning = "Talvex Quarlend is already running!";
    static constexpr const char* kHelpMissing = "Help Files are Missing! Please Re-install Talvex Quarlend Again";
    static constexpr const char* kNoBrowser = "No web browser could be started to show this page:";
    static constexpr const char* kResetQuestion = "Talvex Quarlend will be closed down to apply the default settings!";

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    static platform::MessageBoxes& messages();
    void placeToolWindow(int slot, bool fromMenu);
    void keepDefaultPlacesClearOfBars();
    // Opens a page or address in the web browser; says so when none starts.
    void openInBrowser(const std::string& address);
    void unloadToolWindows();

    StartOptions options_;
    // The program's colour picker, installed as the colour-picker port.
    std::unique_ptr<GradientColourPicker> colourPicker_;
    std::unique_ptr<fMain> main_;
    MainMenus menus_;
    std::array<QWidget*, 5> tools_{};
    std::unique_ptr<QLockFile> lock_;
    std::string openFolder_;
    std::string saveFolder_;
    std::string lastActionName_;
    bool resetting_ = false;
    bool unloaded_ = false;
    // The tool windows shown at their default places at start-up, and the
    // top each was given (twips), while the main window is being placed.
    struct DefaultPlaced {
        std::size_t slot;
        int32_t top;
    };
    std::vector<DefaultPlaced> defaultPlaced_;
    bool defaultsRecorded_ = false;
};

} // namespace tq
