// The file and window commands of the main window's static dispatcher.
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "mainwindow/FileCommands.h"
#include "mainwindow/OpenDocument.h"
#include "mainwindow/SaveCommands.h"
#include "mainwindow/WindowCommands.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "platform/Folders.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace tq {

namespace {

// A document window as SAVE and SAVEAS see it: the name and the changed
// mark are its document's, the caption and the writing the window's.
class DocumentSaveTarget : public SaveableDocument {
public:
    explicit DocumentSaveTarget(fImage& doc) : doc_(doc) {}
    std::string Tag() const override { return doc_.document().Tag; }
    void setTag(const std::string& tag) override { doc_.document().Tag = tag; }
    void setCaption(const std::string& caption) override { doc_.setWindowTitle(QString::fromStdString(caption)); }
    void setChanged(bool changed) override { doc_.document().Changed = changed; }
    mBitmap::SaveResult save(const std::string& path, const std::string& ext) override
    {
        return doc_.save(path, ext);
    }

private:
    fImage& doc_;
};

SaveContext saveContext()
{
    return SaveContext{programSettings(), platform::programFolder(), {}};
}

} // namespace

// "OPEN": the open dialog with its preview, then the chosen file as a new
// document. The start-up shell keeps the dialog and its folder.
void fMain::cmdOpen(const std::string&)
{
    if (mStart* shell = mStart::running()) shell->OpenCommand();
}

// A picture file from another window (the thumbnail browser) as a new
// document, through the start-up shell's opener when there is one.
void fMain::openPictureFile(const std::string& path, const std::string& ext)
{
    if (mStart* shell = mStart::running())
        shell->loadBitmap(path, ext);
    else
        OpenDocumentFile(*this, path, ext);
}

// "RESET": the main window's resize handling stores its size and state.
void fMain::cmdReset(const std::string&)
{
    if (mStart* shell = mStart::running()) shell->MDIForm_Resize();
}

// "SAVE": the active document to its own file, or through SAVEAS.
void fMain::cmdSave(const std::string&)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    DocumentSaveTarget target(*doc);
    SaveContext ctx = saveContext();
    SaveCommand(target, ctx);
}

// "SAVEAS": the active document under a name the user chooses.
void fMain::cmdSaveAs(const std::string&)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    DocumentSaveTarget target(*doc);
    SaveContext ctx = saveContext();
    SaveAsCommand(target, ctx);
}

// "CLOSE": the active document window closes; its own closing may ask to
// save it and may refuse.
void fMain::cmdClose(const std::string&)
{
    if (QMdiSubWindow* sub = mdi_->activeSubWindow()) sub->close();
}

// "TILEHORIZONTALLY", "TILEVERTICALLY", "CASCADE".
void fMain::cmdArrangeWindows(const std::string& key)
{
    ArrangeDocuments(mdi_, ArrangeCode(key));
}

} // namespace tq
