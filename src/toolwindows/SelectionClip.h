// Taking the active document's selection into the current clip, for the
// main window's Cut and Copy. The history window keeps what is taken in its
// clip slots; without that window the clip is taken all the same.
#pragma once

namespace tq {

inline constexpr const char* kMinimumCutText = "Minimum cut size: 2 x 2";
inline constexpr const char* kMinimumCopyText = "Minimum copy size: 2 x 2";

// The selection's bounding box of the active document into ClipBits, its
// pixels outside the selection black with 255 in the marker byte; then the
// selected pixels blacked out (all four bytes 0) in the shared engine and in
// the document, which is redrawn. A box narrower or lower than 2 pixels
// (nothing selected included) is refused with "Minimum cut size: 2 x 2",
// leaving the picture and ClipBits as they were. Either way the floating
// pixels that follow come from a clip (SelectionMoveFromClip). True when a
// clip was taken and the document's pixels changed; it takes no undo
// snapshot: the caller ends the change.
bool cutSelectionToClip();
// As cutSelectionToClip without touching the document; "Minimum copy size:
// 2 x 2". True when a clip was taken.
bool copySelectionToClip();

} // namespace tq
