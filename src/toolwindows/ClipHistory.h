// The ten clip slots of the history window: each a record of a header and
// its own copy of a clip's pixels, with the slot's number label (its number
// + 1 while it holds a clip, empty while it is free) and size label, and the
// current slot that a click on a row chooses and storing may move on.
//
// Plain data: the window draws the rows from it.
#pragma once

#include "core/BitsBuffer.h"

#include <array>
#include <cstdint>
#include <string>

namespace tq {

// One slot: the header (40, W, -H, 1 plane, 32 bits) and the pixels. A slot
// holds a clip when W and H are both non-zero.
struct ClipRecord {
    BitsHeader header;
    BitsBuffer bits;

    int32_t W() const { return header.biWidth; }
    int32_t H() const { return -header.biHeight; }
    bool holdsClip() const { return W() != 0 && H() != 0; }
};

class ClipHistory {
public:
    static constexpr int kSlots = 10;

    const ClipRecord& record(int slot) const { return Slots_.at(static_cast<size_t>(slot)); }
    // The number label `BT` and size label `BR` of a slot.
    const std::string& BT(int slot) const { return NumberLabels_.at(static_cast<size_t>(slot)); }
    const std::string& BR(int slot) const { return SizeLabels_.at(static_cast<size_t>(slot)); }
    // For storing, a slot is free when its number label is empty.
    bool isFree(int slot) const { return BT(slot).empty(); }

    // The current slot, 0 to 9; a value outside is ignored.
    int current() const { return Current_; }
    void setCurrent(int slot);

    // Stores a copy of `clip` (W x H from its size): into the current slot
    // when it is free; else into the next one when it exists and is free,
    // which becomes current; else over the current slot's clip. The slot's
    // number label shows its number + 1 and its size label "W x H". Returns
    // the slot used.
    int StoreClip(const BitsBuffer& clip);
    // Removes the clip of the current slot (All false) or of every slot: the
    // pixels go, W and H become 0 and both labels empty. The current slot
    // stays where it is.
    void ClearCLip(bool All);

private:
    void drop(int slot);

    std::array<ClipRecord, kSlots> Slots_{};
    std::array<std::string, kSlots> NumberLabels_{};
    std::array<std::string, kSlots> SizeLabels_{};
    int Current_ = 0;
};

} // namespace tq
