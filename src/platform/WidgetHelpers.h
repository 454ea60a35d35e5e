// Small routines the windows share in handling their widgets: placing a
// widget of a fixed size, widening a caption to its text, bringing a window
// forward, and reading the character a key press types.
#pragma once

#include <cstdint>
#include <optional>

class QKeyEvent;
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
// Makes the window modal for the whole program and brings it forward. The
// call returns at once: no nested event loop runs, so a run without a
// user, which never answers the window, is never held up.
void showProgramModal(QWidget* window);

// The character code a key press types, as key filters take it: 8 for
// Backspace, otherwise the first character of its text (kept within 15
// bits); nothing for a key that types no character (arrows and the like).
std::optional<int16_t> typedCharacter(const QKeyEvent& key);

} // namespace tq
