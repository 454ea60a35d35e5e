// Opening a picture file as a new document window: the window part of the
// opener (fMain.loadBitmap), on top of decodePictureForOpening. The file is
// decoded before any window is made, so a failed load leaves no half-made
// document behind.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tq {

class fImage;
class fMain;

// What a new document window is made from.
struct NewDocument {
    // Gives the new window its picture and selection; false: it has none,
    // and no window is left behind.
    std::function<bool(fImage&)> fill;
    // The name the document's Tag is made from (Module3::UniqueDocName);
    // nullopt for a document without a file name, which still advances the
    // document counter so the next window gets another number.
    std::optional<std::string> name;
    // The caption of a document without a name; a named one shows the
    // name's file title.
    std::string caption;
};

// The one way a document window comes to be: made (taking the next document
// number), filled, named, captioned and added to the main window, where it
// is shown and becomes the active child. Returns the window, or nullptr.
fImage* CreateDocumentWindow(fMain& main, const NewDocument& plan);

// True when a document window already holds the file (exact, case-sensitive
// Tag comparison).
bool IsDocumentOpen(const std::string& FileName);

// Refuses a file already open ("File Already Opened!", title "Opened"),
// reports a failed decode ("Unexpected error loading image") and otherwise
// makes the document: its picture and whole-picture selection, its name
// and caption, the first undo snapshot, the status bar's file name, the
// recent-file entry, maximised or zoomed as the settings say. Returns the
// new document, or nullptr.
fImage* OpenDocumentFile(fMain& main, const std::string& FileName, const std::string& ext);

} // namespace tq
