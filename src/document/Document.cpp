#include "document/Document.h"

#include "document/ProgramContext.h"
#include "platform/Folders.h"
#include "platform/SkippedStep.h"

#include <cstring>
#include <exception>
#include <new>
#include <utility>

namespace tq {

Document::~Document() = default;

bool Document::CreateBlank(int32_t dstWidth, int32_t dstHeight)
{
    if (dstWidth < 1 || dstHeight < 1 || dstWidth > kMaxPictureSide || dstHeight > kMaxPictureSide) return false;
    BitsBuffer fresh;
    try {
        fresh = BitsBuffer(dstWidth, dstHeight);
    } catch (const std::exception&) {
        return false;   // out of memory: the document keeps what it had
    }
    Bits_ = std::move(fresh);
    adoptSize(dstWidth, dstHeight);
    return true;
}

void Document::adoptSize(int32_t w, int32_t h)
{
    BitsHeader_ = BitsHeader::forBuffer(w, h);
    ImageRect_ = RectI{0, 0, w, h};
    BMExists = true;
    if (View_) View_->pictureSized(w, h);
}

const BitsBuffer& Document::Bits() const
{
    static const BitsBuffer none;
    return BMExists ? Bits_ : none;
}

bool Document::fitsPicture(const BitsBuffer& bits) const
{
    return BMExists && bits.allocated() && bits.width() == PictureWidth() && bits.height() == PictureHeight();
}

bool Document::setBits(const BitsBuffer& bits)
{
    if (!fitsPicture(bits)) return false;
    try {
        Bits_ = bits;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool Document::setBits(BitsBuffer&& bits)
{
    if (!fitsPicture(bits)) return false;
    Bits_ = std::move(bits);
    return true;
}

bool Document::TakeNewPicture(BitsBuffer&& bits)
{
    const int32_t w = bits.width();
    const int32_t h = bits.height();
    if (!bits.allocated() || w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return false;
    Bits_ = std::move(bits);
    adoptSize(w, h);
    BitsRegion.Init(0, 0, w, h);
    return true;
}

bool Document::TakeNewPicture(const BitsBuffer& bits)
{
    if (!bits.allocated()) return false;
    BitsBuffer copy;
    try {
        copy = bits;
    } catch (const std::exception&) {
        return false;   // out of memory: the document keeps what it had
    }
    return TakeNewPicture(std::move(copy));
}

bool Document::TakeRows(int32_t w, int32_t h, const std::function<const uint8_t*(int32_t)>& rowAt)
{
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return false;
    BitsBuffer fresh;
    try {
        fresh = BitsBuffer(w, h);
    } catch (const std::exception&) {
        return false;
    }
    // One block move per row; the margin keeps the zeros of the allocation.
    const size_t rowBytes = 4u * static_cast<size_t>(w);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* d = fresh.row(y);
        std::memcpy(d, rowAt(y), rowBytes);
        for (size_t i = 3; i < rowBytes; i += 4) d[i] = 0;
    }
    Bits_ = std::move(fresh);
    adoptSize(w, h);
    BitsRegion.Init(0, 0, w, h);
    return true;
}

bool Document::TakeRecord(const DibRecord& rec)
{
    const int32_t w = rec.width;
    const int32_t h = rec.height;
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide ||
        rec.bits.size() < 4u * static_cast<size_t>(w) * static_cast<size_t>(h))
        return false;
    return TakeRows(w, h, [&rec](int32_t y) { return rec.row(y); });
}

void Document::ClearPicture()
{
    Bits_.clear();
    BMExists = false;
}

DibRecord Document::PictureRecord() const
{
    const int32_t w = PictureWidth();
    const int32_t h = PictureHeight();
    if (w < 1 || h < 1 || Bits_.width() < w || Bits_.height() < h) return DibRecord{};
    // The margin stays behind.
    return DibRecord::fromRows(w, h, [&](int y) { return Bits_.row(y); });
}

// ---- Undo ---------------------------------------------------------------------

UndoStore& Document::undoStore()
{
    if (!Undo_)
        Undo_ = std::make_unique<UndoStore>(platform::programFolder(), MeID, *this, &programHistory(),
                                            programContext().snapshotWriter);
    return *Undo_;
}

bool Document::SaveUndoBits(const std::string& name)
{
    if (View_) View_->snapshotTaken(name);
    return undoStore().SaveUndoBits(name);
}

void Document::recordStep(const std::string& label)
{
    step([&] { SaveUndoBits(label); });
    Changed = true;
}

bool Document::UndoBits()
{
    if (View_) View_->undoAsked();
    return undoStore().UndoBits();
}

bool Document::RedoBits()
{
    if (View_) View_->redoAsked();
    return undoStore().RedoBits();
}

void Document::restoreBits(BitsBuffer& bits, bool sizeChanged)
{
    const int32_t w = bits.width();
    const int32_t h = bits.height();
    // Another size: the selection becomes the whole new picture (none).
    if (sizeChanged) BitsRegion.Init(0, 0, w, h);
    // The old pixels go back to the store, which reads the next snapshot
    // into them.
    std::swap(Bits_, bits);
    if (sizeChanged) adoptSize(w, h);
    if (View_) View_->pictureRestored(sizeChanged);
}

void Document::setActionsPanel(const std::string& text)
{
    if (View_) View_->setActionsPanel(text);
}

void Document::setPixelPanel(const std::string& text)
{
    if (View_) View_->setPixelPanel(text);
}

void Document::snapshotNotWritten(const std::filesystem::path& folder, int error)
{
    if (View_) View_->snapshotNotWritten(folder, error);
}

void Document::snapshotMissing(int step)
{
    if (View_) View_->snapshotMissing(step);
}

} // namespace tq
