// What the image dialogs share in their look: layout written in twips and
// placed in pixels, the dialogs' small font, the etched separator line, and
// the frame of the preview area.
#pragma once

#include <QRect>

#include <cstdint>

class QLabel;
class QLineEdit;
class QWidget;
class QString;

namespace tq {

class UpDownBar;

// A rectangle given in twips, in pixels (15 twips a pixel).
QRect twipsRect(int left, int top, int width, int height);
// A size in twips, in pixels.
int twipsToPixels(int twips);

// Verdana 6.75 pt, as every image dialog uses.
void useDialogFont(QWidget* dialog);

// The etched separator: a line across the widget's width at y in the
// button-shadow colour and one at y + 1 in the button-highlight colour.
void paintSeparator(QWidget* widget, int y);

// A label showing text at place.
QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& place);

// A number box named name at place, holding text, aligned as given.
QLineEdit* makeNumberBox(QWidget* parent, const QString& name, const QRect& place, const QString& text,
                         Qt::Alignment alignment);
// An up-down named name at place, from lo to hi by ones, at value.
UpDownBar* makeUpDown(QWidget* parent, const QString& name, const QRect& place, int lo, int hi, int value);

// The label that frames a preview: a single border around the workspace
// colour.
QLabel* makePreviewFrame(QWidget* parent, const QRect& place);
// The top-left pixel inside such a frame's border.
QPoint previewCorner(const QLabel* frame);
// A w x h box centred in the side x side square whose top-left is corner
// (halves of the spare room rounded to the nearest, halves to even).
QRect centredBox(const QPoint& corner, int side, int w, int h);

} // namespace tq
