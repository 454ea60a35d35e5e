// What the rest of the program calls of the floating tool windows built in
// this folder: registering them with the registry (the program does it once
// before its start-up), and the main window's ways into the navigator and
// the history window, which it finds among its own children by name. A main
// window without them (a test of the main window alone) gets the plain
// behaviour: no navigator to redraw, cut and copy straight into ClipBits.
#pragma once

#include <cstdint>

class QWidget;

namespace tq {

// Fills the registry's slots of the colour window ("fToolColor"), the
// navigator ("fPanView"), the history window ("fPaste"), the textures window
// ("fToolTextures") and the thumbnail browser ("fToolBrowser") with their
// factories and roll-up handlers.
void registerBuiltToolWindows();
// Empties those slots again.
void unregisterBuiltToolWindows();

// The navigator owned by `main`: UpdateImage always (also while it is
// hidden), UpdateClipRct only while it is shown, Clear.
void navigatorUpdateImage(QWidget* main);
void navigatorUpdateClipRct(QWidget* main);
void navigatorClear(QWidget* main);

// Cut and Copy of the active document's selection: through the history
// window owned by `main`, which keeps the clip in a slot, or into ClipBits
// alone without one. True when a clip was taken (for the cut: the
// document's pixels changed).
bool cutToClipHistory(QWidget* main);
bool copyToClipHistory(QWidget* main);

// A colour picked from a picture, into the colour window owned by `main`:
// its selected box and its editor (and so into Settings); nothing without
// that window.
void colourWindowPicked(QWidget* main, int32_t colour);
// The colour window's selected box (0 or 1); 0 without a colour window.
int16_t colourWindowSelectedIndex(QWidget* main);

} // namespace tq
