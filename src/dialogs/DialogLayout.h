// What the image dialogs share in their look: layout written in twips and
// placed in pixels, the dialogs' small font, the etched separator line, and
// the frame of the preview area.
#pragma once

#include <QRect>

class QLabel;
class QWidget;

namespace tq {

// A rectangle given in twips, in pixels (15 twips a pixel).
QRect twipsRect(int left, int top, int width, int height);
// A size in twips, in pixels.
int twipsToPixels(int twips);

// Verdana 6.75 pt, as every image dialog uses.
void useDialogFont(QWidget* dialog);

// The etched separator: a line across the widget's width at y in the
// button-shadow colour and one at y + 1 in the button-highlight colour.
void paintSeparator(QWidget* widget, int y);

// The label that frames a preview: a single border around the workspace
// colour.
QLabel* makePreviewFrame(QWidget* parent, const QRect& place);

} // namespace tq
