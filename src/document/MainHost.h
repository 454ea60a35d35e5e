// What the windows of the program need of the main window, as an interface
// the main window implements. Document windows, tools, dialogs and tool
// windows reach the main window only through this (mainHost() in
// ProgramContext.h), never through its class, so no lower folder depends on
// the main window's and a test can give a window a host of its own.
#pragma once

#include "document/CanvasInput.h"
#include "core/BitsBuffer.h"
#include "core/Region.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <memory>
#include <string>

class QMdiSubWindow;
class QWidget;

namespace tq {

class cBitFilter;
class Document;
class fImage;

class MainHost {
public:
    virtual ~MainHost() = default;

    // The main window as a widget: the owner of dialogs and tool windows.
    virtual QWidget* mainWidget() = 0;
    // The one shared filter engine, mirroring the active document (its type
    // is known above the document layer).
    virtual cBitFilter& engine() = 0;
    // The mirror as the document layer sets it: pixels and walk region. The
    // engine holds the document's pixel block itself, nothing copied.
    virtual void mirrorDocument(const BitsBuffer& bits, const Region* region) = 0;

    // The common end of a change of the active document: progress bar to 0,
    // repaint unless OnlyPan, navigator, and with saveundo the document's
    // own step: a snapshot and the changed mark (Document::recordStep).
    virtual void Update(bool OnlyPan, bool saveundo) = 0;
    // An engine result becomes doc's pixels and the change ends as one
    // undo step labelled LastActionName (the window showing doc becomes the
    // active document and redraws). False, with nothing changed, when the
    // result has another size than the picture or the document has none.
    virtual bool applyToDocument(Document& doc, BitsBuffer result) = 0;
    // The two command dispatchers.
    virtual void MenuExec(const std::string& key) = 0;
    virtual void MenuStatic(const std::string& key) = 0;

    // Document windows: the current one (nullptr when none), making one the
    // current one, adding a new one, and the room the documents have.
    virtual fImage* currentDocument() const = 0;
    virtual void activateDocument(fImage* doc) = 0;
    virtual QMdiSubWindow* addDocument(fImage* doc) = 0;
    // Makes a new document window: fill gives it its picture and selection
    // (false: no window is made), it is named Module3::UniqueDocName(name)
    // when a name is given, captioned `caption` when that is not empty (else
    // with its name's file title), added, shown and made the current child.
    // nullptr when no window was made.
    virtual fImage* newDocumentWindow(const std::function<bool(fImage&)>& fill,
                                      const std::optional<std::string>& name, const std::string& caption) = 0;
    // Opens a picture file as a new document window, as the main window's
    // own opener does (fMain.loadBitmap): a file already open is refused
    // with its message, a failed decode reported. ext is the path's
    // extension as written.
    virtual void openPictureFile(const std::string& /*path*/, const std::string& /*ext*/) {}
    virtual int32_t documentAreaWidth() const = 0;    // pixels
    virtual int32_t documentAreaHeight() const = 0;   // pixels
    virtual bool mainMinimized() const = 0;

    // The navigator.
    virtual void fPanView_UpdateImage() = 0;
    virtual void fPanView_UpdateClipRct() = 0;
    virtual void fPanView_Clear() = 0;

    // The tool bar.
    virtual bool HandScrollButtonPressed() const = 0;
    virtual void EnableMouseScrolling() = 0;
    virtual void DisableTools(int16_t PreserveTool) = 0;

    // The painting tools of a document window, made the first time its
    // canvas needs them; nullptr leaves the canvas without tools.
    virtual std::unique_ptr<CanvasInput> makeCanvasInput(fImage& /*doc*/) { return nullptr; }

    // The colour window: the box a picked colour goes into (0 the first, 1
    // the second), and a colour taken from a picture (the "GetColor" tool),
    // after the settings have taken it, for the window to show in its
    // selected box and its editor. Nothing without a colour window.
    virtual int16_t SelectedColorIndex() const { return 0; }
    virtual void colourPicked(int32_t /*colour*/) {}
};

} // namespace tq
