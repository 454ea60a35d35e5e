// What the image size, canvas size, orientation and rotation dialogs share:
// each opening takes the active document and sets the dialog up for it
// (Form_Activate); Cancel, Escape and the close box hide the preview with
// the dialog; and OK leaves the screen and makes the change, through a
// GeometryChange, to the document the dialog was opened for, or cancels
// when that document has gone meanwhile.
#pragma once

#include "dialogs/GeometryChange.h"
#include "document/ProgramContext.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tq {

class PreviewBox;
class SizeBox;
class SizeBoxPair;
class fImage;

// The side of the square a dialog's preview is fitted into.
inline constexpr int kPreviewSide = 150;

class GeometryDialog : public QDialog {
    Q_OBJECT
public:
    // The set-up of every opening.
    virtual void Form_Activate() = 0;
    void cmdCancel_Click();

    QPushButton* cmdOK = nullptr;       // the default button
    QPushButton* cmdCancel = nullptr;

protected:
    // separatorY: where the etched line runs across the dialog (0: none).
    GeometryDialog(QWidget* parent, int separatorY);

    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void reject() override;

    // Makes cmdOK and cmdCancel at their places; Cancel is connected.
    void makeOkCancel(const QRect& ok, const QRect& cancel);

    // Repaints, then takes the active document as the one the dialog is
    // for. That document, or nullptr when there is none or it holds no
    // picture (the dialog then shows what it showed before).
    fImage* takeActiveDocument();
    // The document OK works on; nullptr, with the dialog cancelled, when it
    // has been closed or holds no picture any more.
    fImage* documentForOK();
    // Hides the preview and the dialog, then makes the change to doc.
    void finish(fImage& doc, const GeometryChange::Compute& compute);

    // The preview box hidden whenever the dialog closes.
    PreviewBox* closingPreview = nullptr;

private:
    DocumentRef target_;
    int separatorY_;
};

// A geometry dialog whose OK takes a new width and height from a pair of
// size boxes (the image size and canvas size dialogs), with a list of quick
// changes to them.
class SizeBoxDialog : public GeometryDialog {
    Q_OBJECT
public:
    QLabel* lblWidth = nullptr;
    SizeBox* txtW = nullptr;
    QLabel* lblHeight = nullptr;
    SizeBox* txtH = nullptr;
    QCheckBox* chkKeepProportions = nullptr;
    QLabel* lblPreDef = nullptr;
    QComboBox* cbPreDef = nullptr;
    SizeBoxPair* sizes = nullptr;   // BaseWidth, BaseHeight and the box rules

protected:
    using GeometryDialog::GeometryDialog;

    // Makes the "Width" and "Height" labels and their boxes in box, at
    // their places.
    void makeSizeBoxes(QWidget* box, const QRect& widthLabel, const QRect& widthBox, const QRect& heightLabel,
                       const QRect& heightBox);
    // Opening on a w x h picture: the boxes show it and it is the reference
    // size, no quick change is chosen and the width box has the focus.
    void showPictureSize(int32_t w, int32_t h);
    // The first steps of OK: the new size W x H typed into the boxes and
    // the document it is for (documentForOK); the new size becomes the
    // reference. The document, or nullptr when OK stops there: the size is
    // the picture's own (the navigator is redrawn, nothing else happens), it
    // is refused with its message (checkPictureSize), or the document has
    // gone.
    fImage* takeNewSize(int64_t& W, int64_t& H);
};

} // namespace tq
