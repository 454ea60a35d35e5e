// The clip side of the clip and action history window, as far as the cut,
// copy and paste commands need it: the current clip and taking a selection
// into it. The window itself (thumbnails, rows, the paste button) is built
// with the tool windows.
#pragma once

#include "platform/BitsBuffer.h"

namespace tq {

namespace fPaste {

inline constexpr const char* kMinimumCutText = "Minimum cut size: 2 x 2";
inline constexpr const char* kMinimumCopyText = "Minimum copy size: 2 x 2";

// The active document's selection box into ClipBits, then the selection
// blacked out in the shared engine and the document, which is redrawn. A box
// narrower or lower than 2 pixels (nothing selected included) is refused
// with "Minimum cut size: 2 x 2". True when the document's pixels changed.
// It takes no undo snapshot: the caller ends the change.
bool CutBits();
// As CutBits without touching the document; "Minimum copy size: 2 x 2".
// True when a clip was taken.
bool CopyBits();

} // namespace fPaste
} // namespace tq
