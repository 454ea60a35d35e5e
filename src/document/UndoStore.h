// Whole-picture undo: every finished change of a document is kept as a
// snapshot file of its own, and two counters say which snapshot is shown and
// how many exist.
//
//   Undopos  the number of snapshots up to and including the shown state; the
//            shown state is snapshot Undopos - 1, the next one is written as
//            number Undopos.
//   UndoMax  the number of snapshots on disk (0 .. UndoMax - 1); redo goes
//            forward while Undopos < UndoMax.
//
// After the first snapshot 1 <= Undopos <= UndoMax <= 200. From the 201st
// snapshot on the oldest one is dropped and the rest are renumbered down, so a
// document never has more than 200 files.
//
// Snapshot file (UndoSnapshotFile), all little-endian, nothing else:
//   <program folder>/Temp/b<MeID, at least 4 digits><step, at least 2 digits>.dat
//   offset 0   40 bytes  BitsHeader: biSize 40, biWidth W + 4,
//                        biHeight -(H + 4), biPlanes 1, biBitCount 32, rest 0
//   offset 40  4 (W + 4) (H + 4) bytes: the BitsBuffer, margin included, in
//                        its own array order (see BitsBuffer.h)
// Document 3, step 7 is "b000307.dat"; document 12, step 150 "b0012150.dat".
//
// The store does the bookkeeping; the Document supplies its pixels and takes
// restored ones back through UndoTarget (telling the window that shows it),
// and the rows of the history window are kept in a HistoryModel.
//
// Given a SnapshotWriter, a store leaves its files to the writer's thread: a
// step's counters, names and history rows change at once, and its snapshot,
// the removal of a dropped redo branch and the slide at the cap follow there
// in the order they were asked for. Whatever reads or removes the files
// (undo, redo, a jump, a load, closing) first waits for this store's work.
#pragma once

#include "core/BitsBuffer.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tq {

class HistoryModel;

// Reading and writing one snapshot file.
struct UndoSnapshotFile {
    // "b" + MeID as "0000" + step as "00" + ".dat".
    static std::string fileName(int32_t meID, int step);
    // The folder the snapshots live in: "Temp" under the program folder.
    static std::filesystem::path folder(const std::filesystem::path& programFolder);
    static std::filesystem::path path(const std::filesystem::path& programFolder, int32_t meID, int step);

    // Writes header and buffer to a temporary file beside `file` and renames
    // it over `file` only when complete; creates the folder when missing.
    // False (and `file` untouched, errno telling why) on any failure or for
    // an unallocated buffer. The file is the owner's alone (0600), its
    // temporary name is created exclusively and no link under either name
    // is ever followed.

    static bool write(const std::filesystem::path& file, const BitsBuffer& bits);
    // Makes the snapshot folder private to the user (0700), creating it when
    // missing; false (errno set) when it cannot be made or is not a real
    // folder of the user's own (a link under its name is refused, whatever it
    // points to). Snapshots are read, written, renamed and removed only in
    // such a folder, through a handle of the folder itself.
    static bool ensureFolder(const std::filesystem::path& folder);

    // Reads a snapshot back. The header must say 40 bytes, 1 plane, 32 bits
    // and a bordered size of at least 5 x 5 (a picture of at least 1 x 1, at
    // most kMaxPictureSide a side), and the file must be exactly
    // 40 + 4 (W + 4) (H + 4) bytes long, before any size in it is trusted.
    // nullopt for a missing, truncated or foreign file, or one in a folder
    // that ensureFolder would refuse.
    static std::optional<BitsBuffer> read(const std::filesystem::path& file);
    // The same into `into`, whose bytes are reused when it already has the
    // snapshot's size. False for a bad file: `into` is then untouched, or
    // cleared when the file ended early.
    static bool read(const std::filesystem::path& file, BitsBuffer& into);

    // Removes every snapshot file (and half-written temporary) from the Temp
    // folder. Meant for start-up, when no other copy of the program runs: the
    // files of a run that ended without closing its documents must not come
    // back as the redo steps of a new document with the same number. Returns
    // the count removed. A Temp that is a link or not the user's own folder
    // is neither listed nor emptied.
    static int removeStale(const std::filesystem::path& programFolder);
};

// Writes snapshot files on a thread of its own, so that a step's pixels are
// on screen without waiting for their snapshot: one writer per program, its
// jobs run one at a time in the order they were posted (a step's file is
// complete before a later job renames or removes it).
//
// A job may leave a notice (a failed write to tell the user about). Notices
// run only on the thread that posts the jobs, oldest first: at its next
// wait(), drain() or deliver(). `wake` is called on the writer's thread as a
// notice is left, to have deliver() run soon on the posting thread.
class SnapshotWriter {
public:
    using Notice = std::function<void()>;
    using Job = std::function<Notice()>;

    explicit SnapshotWriter(std::function<void()> wake = {});
    // Runs every job already posted (no half-written file stays behind),
    // then stops; notices not delivered by then are dropped.
    ~SnapshotWriter();
    SnapshotWriter(const SnapshotWriter&) = delete;
    SnapshotWriter& operator=(const SnapshotWriter&) = delete;

    // Queues `job` on behalf of `owner` (the key for wait and forget).
    void post(const void* owner, Job job);
    // Blocks until every job of `owner` has run, then delivers the notices.
    void wait(const void* owner);
    // Blocks until every job has run, then delivers the notices.
    void drain();
    // Runs the notices left so far on the calling thread, oldest first.
    void deliver();
    // Blocks until every job of `owner` has run and drops its notices: the
    // owner is going away.
    void forget(const void* owner);

private:
    bool pending(const void* owner) const;
    void run();

    std::function<void()> wake_;
    mutable std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable done_;
    std::deque<std::pair<const void*, Job>> jobs_;
    std::deque<std::pair<const void*, Notice>> notices_;
    // The owner of the job running now; null when none runs.
    const void* running_ = nullptr;
    bool stopping_ = false;
    std::thread thread_;
};

// What the store needs of the document it keeps snapshots for.
class UndoTarget {
public:
    virtual ~UndoTarget() = default;
    // The document's current pixels (`Bits`).
    virtual const BitsBuffer& undoBits() const = 0;
    // Makes a restored snapshot the document's picture: the shared engine's
    // pixels, the document's `Bits`, a redraw and the navigator. When
    // `sizeChanged` the selection is reset to the whole new picture (none)
    // and the document takes the new size; otherwise the selection stays.
    // The window showing the document also sets SaveUndoOnNudge then.
    // The pixels may be copied out of `bits` or swapped with the document's
    // old ones: whatever is left there the store reuses for its next read,
    // which spares a fresh allocation of a whole picture.
    virtual void restoreBits(BitsBuffer& bits, bool sizeChanged) = 0;
    // Status panel 2: "Total Actions: n".
    virtual void setActionsPanel(const std::string& text) = 0;
    // The "Pixel" status panel: "WxH" after a restore.
    virtual void setPixelPanel(const std::string& text) = 0;
    // A snapshot could not be written in `folder` (`error`: the system's
    // error number); the step was recorded all the same.
    virtual void snapshotNotWritten(const std::filesystem::path& folder, int error) { (void)folder, (void)error; }
    // Undo, redo or a jump reached a step whose snapshot is missing or
    // damaged; nothing was changed.
    virtual void snapshotMissing(int step) { (void)step; }
};

class UndoStore {
public:
    static constexpr int kMaxSteps = 200;

    // Without a writer every file is written before SaveUndoBits returns.
    UndoStore(std::filesystem::path programFolder, int32_t meID, UndoTarget& target,
              HistoryModel* history = nullptr, std::shared_ptr<SnapshotWriter> writer = nullptr);
    // Waits for the writer to finish this store's files; notices it still
    // holds for the target are dropped.
    ~UndoStore();
    UndoStore(const UndoStore&) = delete;
    UndoStore& operator=(const UndoStore&) = delete;

    int32_t MeID() const { return meID_; }
    int32_t Undopos() const { return undoPos_; }
    int32_t UndoMax() const { return undoMax_; }
    // The name of step k (the action's name when snapshot k was written);
    // empty for a step that does not exist.
    const std::string& UndoNames(int step) const;

    std::filesystem::path snapshotPath(int step) const
    {
        return UndoSnapshotFile::path(programFolder_, meID_, step);
    }
    void setHistory(HistoryModel* history) { history_ = history; }

    // Records the current pixels as snapshot Undopos named `lastActionName`,
    // drops any redo branch, advances the counters (or slides them at the
    // cap), updates the history rows and "Total Actions: n". A failed write
    // records the step all the same, without a snapshot (the target is told
    // why), and returns false. With a writer the snapshot is a share of the
    // pixels handed to it (the document copies them before it paints in
    // place), this returns true, and a failed write is told to the target
    // when the writer's notices are delivered.
    bool SaveUndoBits(const std::string& lastActionName);
    // Shows snapshot Undopos - 2; true when it was restored.
    bool UndoBits();
    // Shows snapshot Undopos while one is ahead; true when it was restored.
    bool RedoBits();
    // Makes the snapshot file `bName` the document's picture. The counters
    // and history are left to the caller. False, with the document as it was,
    // for a missing or invalid file.
    bool LoadUndoBits(const std::filesystem::path& bName);
    // Jumps to step `index` (a click on a history row, or back to the opening
    // state with 0): on success Undopos = index + 1, UndoMax stays so redo
    // goes on from there. A step that does not exist or fails to load changes
    // nothing.
    bool JumpToStep(int index);
    // Puts the pixels of the step shown now back from its snapshot (after
    // they were changed without a step being recorded); false, with nothing
    // changed, when there is no such snapshot or it cannot be read.
    bool reloadShownStep();
    // Makes the history rows show this document's steps, unless they already
    // do.
    void SwapHistoy();
    // Removes every snapshot of this document; the counters return to 0.
    // Snapshots still waiting for the writer are not written.
    void DeleteUndoFiles();
    // Waits for the writer to finish this store's files (and so to let go
    // of the pixels it was given) and tells the target what went wrong with
    // them.
    void settleFiles();

private:
    // The files of recording step `step` (shown state `bits`): its snapshot,
    // the redo branch up to `undoMax` removed, the slide at the cap. False,
    // with `error` set, when the snapshot could not be written.
    static bool recordStepFiles(const std::filesystem::path& folder, int32_t meID, int step, int undoMax,
                                const BitsBuffer& bits, bool write, int& error);
    static void ShiftUndoFiles(const std::filesystem::path& folder, int32_t meID);
    std::string stepName(int step) const { return UndoSnapshotFile::fileName(meID_, step); }
    // Status panel 2: "Total Actions: " and Undopos. Every change of Undopos
    // shows it before the history rows are touched.
    void showActions();
    void rebuildHistory();
    bool historyShowsMe() const;
    bool restore(const std::filesystem::path& file);

    std::filesystem::path programFolder_;
    int32_t meID_;
    UndoTarget& target_;
    HistoryModel* history_;
    int32_t undoPos_ = 0;
    int32_t undoMax_ = 0;
    // Names of steps 0 .. 200: step 200 is named before the files slide down.
    std::array<std::string, kMaxSteps + 1> names_;
    // The buffer snapshots are read into (see UndoTarget::restoreBits).
    BitsBuffer spare_;
    std::shared_ptr<SnapshotWriter> writer_;
    // Set while the document closes: its snapshots not yet written are not
    // wanted any more. Read by the writer's thread.
    std::atomic<bool> closing_{false};
};

} // namespace tq
