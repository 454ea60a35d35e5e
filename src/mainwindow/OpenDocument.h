// Opening a picture file as a new document window: the window part of the
// opener (fMain.loadBitmap), on top of decodePictureForOpening. The file is
// decoded before any window is made, so a failed load leaves no half-made
// document behind.
#pragma once

#include <string>

namespace tq {

class fImage;
class fMain;

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
