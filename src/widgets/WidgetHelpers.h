// Small routines the windows share in handling their widgets: placing a
// widget of a fixed size, widening a caption to its text, bringing a window
// forward, and the key rule of the text boxes that filter what is typed
// into them.
#pragma once

#include <cstdint>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QRect;
class QWidget;

namespace tq {

// Fixes the widget's size to place's and moves it to place's corner (for
// widgets that keep a fixed size of their own, where a plain geometry
// would be held to that size).
void placeFixed(QWidget* widget, const QRect& place);

// Widens a caption (a label or a check box placed by hand) to the width its
// text takes in the font it is shown in, where the desktop's font is wider
// than the one the place was designed for; never narrows it. Returns the
// x just right of the caption, where what lies beside it may start.
int widenToText(QWidget* caption);

// Shows the window, raises it and makes it the active one.
void bringForward(QWidget* window);

// The key rule of a text box with a key filter, for a key press about to
// reach it; true when the key is refused.
// - Keys that type no character pass untouched: arrows, Delete, Tab,
//   Enter, Escape, and every key held with Ctrl, so that the box's own
//   shortcuts (Ctrl+A selects all, Ctrl+C, Ctrl+V...) work in every box.
// - A character goes through keyPress as its code (Backspace 8, anything
//   above 127 as 0), which may turn it into 0 to refuse it quietly.
// - A character other than Backspace is also refused when the box already
//   holds maxTyped characters besides its selection (maxTyped 0: the box's
//   own length limit). The bell rings then, so that a digit the box cannot
//   take is never dropped without a sign. The program itself may still
//   write longer texts into the box.
bool refuseTypedKey(QLineEdit* box, const QKeyEvent& key, int maxTyped,
                    const std::function<void(int16_t& KeyAscii)>& keyPress);

} // namespace tq
