// The program context: everything the run shares, in one object. The
// settings record, the history rows, the state the commands pass between
// them (the active document, the label of the next step, the document
// counters, the current clip...), the main window's host interface, and the
// platform's own part (ports, random generator, clock, folders).
//
// The names the rest of the program knows (programSettings(), LastActionName(),
// ActiveImage() ...) are thin accessors into the context in use. A test makes
// a fresh context with ScopedContext instead of saving and restoring globals.
#pragma once

#include "document/HistoryModel.h"
#include "document/Settings.h"
#include "core/BitsBuffer.h"
#include "platform/PlatformContext.h"
#include "effectslib/EffectsLibraryApi.h"
#include "gdi/DrawingRegistry.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace tq {

class fImage;
class MainHost;
class SnapshotWriter;
class mStart;
struct LoadedBitmap;
struct PaletteRecord;

// A guarded reference to a document window: it turns null when its window
// is destroyed.
using DocumentRef = QPointer<fImage>;

struct ProgramContext {
    platform::PlatformContext platform;
    Settings settings{};
    HistoryModel history;

    // Both only grow for the whole run. DocumentCount is advanced by every
    // call of Module3::UniqueDocName and gives a new document window its
    // MeID; DupNameCount is the number of the last "[n]" suffix given.
    int32_t DocumentCount = 0;
    int32_t DupNameCount = 0;
    // The document window commands act on; refreshed by mBitmap::GetActiveImage.
    DocumentRef ActiveImage;
    // The label of the next undo snapshot and its history row.
    std::string LastActionName;
    // When true the next keyboard nudge of floating pixels records an undo
    // step; a document's activation and every restore of a snapshot set it.
    bool SaveUndoOnNudge = false;
    // The MeID of the document activated last; -1 before the first activation.
    int32_t LastMeID = -1;
    // Pasted pixels float over the active document and are not merged yet.
    bool PasteFloating = false;
    // A pencil stroke asks for one more undo snapshot, taken (labelled with
    // the new tool) at the next choice of a tool while a document is active.
    bool UndoPending = false;
    // The caption-drag flag the floating tool windows share: a press on any
    // window's caption sets it, the next move over any caption acts on it.
    bool TitleDrag = false;
    // The size of the picture about to be shown in a new document window,
    // set by whoever creates the window; the window sizes itself from it.
    int16_t ImageWidth = 0;
    int16_t ImageHeight = 0;
    int16_t ImageBPP = 0;
    // The pixels of the current clip: filled by cut, copy, a clipboard
    // import or a clip of the history, placed by the paste command. Pixels of
    // the box outside the selection carry 255 in their marker byte.
    BitsBuffer ClipBits;
    // The pixels of the current stamp picture, without margin meaning; empty
    // until a stamp is chosen.
    BitsBuffer StampBits;
    // The stamp file chosen at start-up is decoded only when the stamp is
    // first needed (a tool paints with it, its preview is shown), so that a
    // large stamp picture does not hold up start-up. Until then this makes
    // it the current stamp; StampBits() runs it once and drops it, and a
    // later choice of stamp drops it unrun.
    std::function<void()> PendingStamp;

    // The folder the folder chooser handed over: its path after Select, ""
    // after Cancel; read by the textures window right after the chooser.
    std::string PickedFolder;

    // The user has been told that undo snapshots or the settings cannot be
    // written; once a run is enough.
    bool WriteFailureTold = false;
    // The program's one writer of undo snapshots, started once the snapshots
    // of an earlier run are swept away; documents made without it write
    // their snapshots before each step returns.
    std::shared_ptr<SnapshotWriter> snapshotWriter;

    // The main window, reached through its interface; null without one.
    MainHost* host = nullptr;
    // The start-up shell of the run (the last one started that is still
    // alive), so the file commands can rebuild the recent-file menu; null
    // before start-up.
    mStart* shell = nullptr;
    // Told the name of a floating tool window the user closed (the shell
    // clears the window's visible flag); empty before start-up.
    std::function<void(const std::string& name)> ToolWindowClosed;

    // The document windows alive now, in the order they were made.
    std::vector<fImage*> documents;
    // The decode that the open dialog's preview, the recent-file menu and
    // the thumbnail browser leave for opening the file (mBitmap_Files.h).
    std::shared_ptr<const LoadedBitmap> PreloadedBitmap;
    // The one palette the palette dialog edits and PaletteApply uses
    // (filters/Palette.h); made empty at its first use.
    std::shared_ptr<PaletteRecord> palette;
    // The selection file the selection dialogs offer next: the last one
    // loaded or saved.
    std::string SelectionDialogFile;
    // The drawing layer's device contexts and objects alive now, so that a
    // handle already deleted (or never made) is refused instead of used.
    gdi::DrawingRegistry drawing;
    // The effects library as bound now and who binds it (EffectsLibraryApi.h).
    ZorveliBinding zorveli;
};

// The context in use.
ProgramContext& programContext();

// Installs a fresh context for its lifetime and puts the previous one back
// when it ends. The fresh context starts from the defaults (the settings of
// a first start in its program folder), but keeps the folders, the ports and
// the effects library of the context around it, so a test's files stay in
// its own folders and its doubles stay in place.
class ScopedContext {
public:
    ScopedContext();
    ~ScopedContext();
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;

    ProgramContext& operator*() { return *ctx_; }
    ProgramContext* operator->() { return ctx_.get(); }

private:
    std::unique_ptr<ProgramContext> ctx_;
    ProgramContext* savedProgram_;
    platform::PlatformContext* savedPlatform_;
};

// ---- The shared names, as accessors into the context in use ---------------

inline Settings& programSettings() { return programContext().settings; }
inline HistoryModel& programHistory() { return programContext().history; }
inline int32_t& DocumentCount() { return programContext().DocumentCount; }
inline int32_t& DupNameCount() { return programContext().DupNameCount; }
inline DocumentRef& ActiveImage() { return programContext().ActiveImage; }
inline std::string& LastActionName() { return programContext().LastActionName; }
inline bool& SaveUndoOnNudge() { return programContext().SaveUndoOnNudge; }
inline int32_t& LastMeID() { return programContext().LastMeID; }
inline bool& PasteFloating() { return programContext().PasteFloating; }
inline bool& UndoPending() { return programContext().UndoPending; }
inline bool& TitleDrag() { return programContext().TitleDrag; }
inline int16_t& ImageWidth() { return programContext().ImageWidth; }
inline int16_t& ImageHeight() { return programContext().ImageHeight; }
inline int16_t& ImageBPP() { return programContext().ImageBPP; }
inline BitsBuffer& ClipBits() { return programContext().ClipBits; }
// Decodes the stamp chosen at start-up, when it is still waiting.
inline void takePendingStamp()
{
    ProgramContext& c = programContext();
    if (c.PendingStamp) std::exchange(c.PendingStamp, nullptr)();
}
// The current stamp's pixels, the stamp chosen at start-up decoded first.
inline BitsBuffer& StampBits()
{
    takePendingStamp();
    return programContext().StampBits;
}
inline std::string& PickedFolder() { return programContext().PickedFolder; }
inline std::shared_ptr<const LoadedBitmap>& PreloadedBitmap() { return programContext().PreloadedBitmap; }
// The main window; null when there is none (a test of a document alone).
inline MainHost* mainHost() { return programContext().host; }

} // namespace tq
