// One open picture, apart from any window: its pixels in a bordered buffer
// with the header and rectangle that describe them, its selection, the
// snapshot store of its undo steps, whether it changed since it was opened
// or saved, and its name. Commands and tests act on a Document; the document
// window (fImage) shows one and redraws after a change.
//
// The document tells the window that shows it, through DocumentView, when it
// takes a new size, when an undo step put other pixels in, when a snapshot
// is taken or an undo or redo asked for, and what the snapshot store has to
// say; without a view it simply keeps its state.
#pragma once

#include "document/UndoStore.h"
#include "document/cBitRegion.h"
#include "core/BitsBuffer.h"
#include "core/Region.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tq {

// The selection type a document holds.
using DocumentSelection = cBitRegion;

// What a document tells the window showing it. Every member may be left as
// it is.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    // The picture took the size w x h.
    virtual void pictureSized(int32_t w, int32_t h) { (void)w, (void)h; }
    // An undo step became the pixels; with sizeChanged the picture took the
    // step's size and the selection became the whole of it (none).
    virtual void pictureRestored(bool sizeChanged) { (void)sizeChanged; }
    // The snapshot store's notices (see UndoTarget).
    virtual void setActionsPanel(const std::string& text) { (void)text; }
    virtual void setPixelPanel(const std::string& text) { (void)text; }
    virtual void snapshotNotWritten(const std::filesystem::path& folder, int error) { (void)folder, (void)error; }
    virtual void snapshotMissing(int step) { (void)step; }
    // A snapshot of the pixels was asked for, labelled `label` (whether or
    // not its file could be written).
    virtual void snapshotTaken(const std::string& label) { (void)label; }
    // A step back (forward) was asked for, whether or not there was one.
    virtual void undoAsked() {}
    virtual void redoAsked() {}
};

class Document : public UndoTarget {
public:
    explicit Document(int32_t meID = 0) : MeID(meID) {}
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    ~Document() override;

    int32_t MeID = 0;          // the document's number, from the document counter
    std::string Tag;           // the document's name (its file path)
    bool Changed = false;      // changed since it was opened or saved
    bool BMExists = false;     // a picture is present
    DocumentSelection BitsRegion;

    // The window told of changes; nullptr for none.
    void setView(DocumentView* view) { View_ = view; }

    // ---- Pixels -------------------------------------------------------------

    // An all-zero W x H picture; false, with nothing changed, for a side
    // below 1 or above the largest picture side or without the memory.
    // Leaves the selection alone.
    bool CreateBlank(int32_t dstWidth, int32_t dstHeight);
    // The pixels, to read (a caller that keeps them makes its own copy); an
    // unallocated buffer when there is no picture. Valid until the picture
    // next changes.
    const BitsBuffer& Bits() const;
    // The pixels themselves, picture or not.
    const BitsBuffer& BitsRef() const { return Bits_; }
    // The pixels in place, for painting into; never resized through this.
    // They are the document's own block from here on (the engine may have
    // been reading the same one).
    BitsBuffer& paintBits()
    {
        Bits_.unshare();
        return Bits_;
    }
    // Keeps a copy of pixels of the document's own size; false, with the
    // document as it was, when there is no picture or the size differs (a
    // new size comes in through TakeNewPicture). Changes nothing else.
    bool setBits(const BitsBuffer& bits);
    bool setBits(BitsBuffer&& bits);
    // The buffer itself becomes the picture, at its size, with nothing
    // copied, and the selection the whole picture with nothing selected.
    // False, with the document as it was, for an unallocated buffer or a
    // side beyond the largest picture side.
    bool TakeNewPicture(BitsBuffer&& bits);
    // The same with a copy of bits; false too when the copy cannot be made.
    bool TakeNewPicture(const BitsBuffer& bits);
    // Takes a w x h picture in row by row: rowAt(y) gives row y (4 w bytes).
    // Whatever the source's fourth bytes hold, a picture taken in is no
    // lifted clip: its markers are 0. The selection becomes the whole
    // picture. False (document unchanged) for a bad size or without memory.
    bool TakeRows(int32_t w, int32_t h, const std::function<const uint8_t*(int32_t)>& rowAt);
    // The same from a margin-less picture.
    bool TakeRecord(const DibRecord& rec);
    // No picture any more: the buffer is released.
    void ClearPicture();
    // The picture without its margin and with 0 in every marker byte; empty
    // (0 x 0) without a picture.
    DibRecord PictureRecord() const;

    bool PictureExists() const { return BMExists; }
    int32_t PictureWidth() const { return BMExists ? ImageRect_.right : 0; }
    int32_t PictureHeight() const { return BMExists ? ImageRect_.bottom : 0; }
    const RectI& ImageRect() const { return ImageRect_; }
    const BitsHeader& Header() const { return BitsHeader_; }

    // ---- Undo ---------------------------------------------------------------

    // The snapshot store, made with MeID and the program folder on first
    // use (the maker may still set the number before the first snapshot).
    UndoStore& undoStore();
    bool hasUndoStore() const { return Undo_ != nullptr; }
    // Writes the current pixels as snapshot Undopos named `name`.
    bool SaveUndoBits(const std::string& name);
    // Ends a change as one undo step: the snapshot labelled `label`, then
    // the changed mark. The mark is set even when the snapshot fails (it is
    // skipped, not thrown on), so closing still asks about the change.
    void recordStep(const std::string& label);
    // Shows the step before (after) the one shown; true when one was restored.
    bool UndoBits();
    bool RedoBits();
    int32_t Undopos() const { return Undo_ ? Undo_->Undopos() : 0; }
    int32_t UndoMax() const { return Undo_ ? Undo_->UndoMax() : 0; }
    // Waits until the snapshot writer holds none of the pixels (nothing
    // to wait for without a store).
    void settleSnapshots()
    {
        if (Undo_) Undo_->settleFiles();
    }
    // The pixels of the step shown now, put back from its snapshot; false
    // when there is none to read.
    bool reloadShownStep() { return Undo_ && Undo_->reloadShownStep(); }
    // Removes the document's snapshots (nothing before the first one).
    void DeleteUndoFiles()
    {
        if (Undo_) Undo_->DeleteUndoFiles();
    }

    // UndoTarget: the pixels the store keeps, and the restored ones taken
    // back (the view redraws).
    const BitsBuffer& undoBits() const override { return Bits_; }
    void restoreBits(BitsBuffer& bits, bool sizeChanged) override;
    void setActionsPanel(const std::string& text) override;
    void setPixelPanel(const std::string& text) override;
    void snapshotNotWritten(const std::filesystem::path& folder, int error) override;
    void snapshotMissing(int step) override;

private:
    // Takes W x H as the picture's size (header, rectangle, present).
    void adoptSize(int32_t w, int32_t h);
    // There is a picture, and bits are pixels of its size.
    bool fitsPicture(const BitsBuffer& bits) const;

    BitsBuffer Bits_;
    BitsHeader BitsHeader_;
    RectI ImageRect_{};
    std::unique_ptr<UndoStore> Undo_;
    DocumentView* View_ = nullptr;
};

} // namespace tq
