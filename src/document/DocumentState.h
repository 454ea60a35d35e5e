// The program-wide document state that the shared routines and the commands
// read and write.
#pragma once

#include <QPointer>

#include <cstdint>
#include <string>

namespace tq {

class fImage;

// Both only grow for the whole run. DocumentCount is advanced by every call
// of Module3::UniqueDocName and gives a new document window its MeID;
// DupNameCount is the number of the last "[n]" suffix given.
extern int32_t DocumentCount;
extern int32_t DupNameCount;

// The document window commands act on; refreshed by mBitmap::GetActiveImage.
// A guarded reference: it turns null when its window is destroyed.
using DocumentRef = QPointer<fImage>;
extern DocumentRef ActiveImage;

// The label of the next undo snapshot and its history row.
extern std::string LastActionName;

// When true the next keyboard nudge of floating pixels records an undo step;
// a document's activation and every restore of a snapshot set it.
extern bool SaveUndoOnNudge;

// The MeID of the document activated last; -1 before the first activation.
extern int32_t LastMeID;
// Pasted pixels float over the active document and are not merged yet.
extern bool PasteFloating;
// The size of the picture about to be shown in a new document window, set by
// whoever creates the window; the window sizes itself from it.
extern int16_t ImageWidth;
extern int16_t ImageHeight;
extern int16_t ImageBPP;

} // namespace tq
