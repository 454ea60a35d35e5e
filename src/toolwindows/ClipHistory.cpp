#include "toolwindows/ClipHistory.h"

namespace tq {

void ClipHistory::setCurrent(int slot)
{
    if (slot >= 0 && slot < kSlots) Current_ = slot;
}

int ClipHistory::StoreClip(const BitsBuffer& clip)
{
    int c = Current_;
    if (!isFree(c) && c < kSlots - 1 && isFree(c + 1)) {
        ++c;
        Current_ = c;
    }
    ClipRecord& r = Slots_[static_cast<size_t>(c)];
    r.header = BitsHeader::forDib(clip.width(), clip.height());
    r.bits = clip;
    NumberLabels_[static_cast<size_t>(c)] = std::to_string(c + 1);
    SizeLabels_[static_cast<size_t>(c)] = r.holdsClip() ? std::to_string(r.W()) + " x " + std::to_string(r.H()) : "";
    return c;
}

void ClipHistory::drop(int slot)
{
    ClipRecord& r = Slots_[static_cast<size_t>(slot)];
    r.bits.clear();
    r.header.biWidth = 0;
    r.header.biHeight = 0;
    NumberLabels_[static_cast<size_t>(slot)].clear();
    SizeLabels_[static_cast<size_t>(slot)].clear();
}

void ClipHistory::ClearCLip(bool All)
{
    if (!All) {
        if (record(Current_).holdsClip()) drop(Current_);
        return;
    }
    for (int i = 0; i < kSlots; ++i)
        if (record(i).holdsClip()) drop(i);
}

} // namespace tq
