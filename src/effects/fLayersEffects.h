// The effect dialog: a thumbnail of the active picture (iSrc) above a live
// preview of the effect on it (iDst), a strength slider HS kept in step
// with its text box HST and up-down HSD, and one of three options frames:
// none ("No Options"), the colour to replace (picked from either preview
// into Text2) with its replacement (pTransparent), or the tile effect's
// background (colTile). "Apply Effect" applies the effect to the whole
// picture; "Cancel", and any other way of closing, applies nothing.
//
// The main window makes the dialog afresh for every dialog effect, fills
// its thumbnail (AdjustThumbPreview), sets it up for the effect
// (modEffects::InitEffectDialog), draws the first preview and shows it
// modally; the dialog is destroyed once it has closed. Its handlers run in
// the program's error mode: a step that fails is skipped.
#pragma once

#include "effectslib/EffectsLibraryApi.h"

#include <QDialog>

#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;
class QWidget;

namespace tq {

class cpvSlider;
class UpDownBar;
class ColourSwatch;
namespace effects {
class EffectPictureBox;
}

class fLayersEffects : public QDialog {
    Q_OBJECT
public:
    // The dialog in its design state, loaded (Form_Load has run), not shown.
    explicit fLayersEffects(QWidget* parent = nullptr);
    ~fLayersEffects() override;

    // ---- State --------------------------------------------------------------
    // The effect shown; written by the set-up before anything reads it.
    int16_t Effect = 0;
    // The replacement colour, also the tile effect's background.
    int32_t ReplacementColor = 0xFFFFFF;
    // The dialog's reference variable of the library calls.
    int32_t EffectReserved = 0;

    // ---- Controls (design places in pixels, see the .cpp) -------------------
    QFrame* FiSrc = nullptr;                 // frame of the source preview
    effects::EffectPictureBox* iSrc = nullptr;   // the thumbnail
    QFrame* FiDst = nullptr;                 // frame of the result preview
    effects::EffectPictureBox* iDst = nullptr;   // the preview of the effect
    QWidget* Picture3 = nullptr;             // panel of the strength and options
    QLabel* Label8 = nullptr;
    cpvSlider* HS = nullptr;
    QLineEdit* HST = nullptr;
    UpDownBar* HSD = nullptr;
    QGroupBox* FNone = nullptr;
    QGroupBox* fColor = nullptr;
    QGroupBox* fTileEffect = nullptr;
    QLabel* Label4 = nullptr;
    ColourSwatch* Text2 = nullptr;    // the colour to replace
    QLabel* Label1 = nullptr;
    ColourSwatch* pTransparent = nullptr;   // the replacement colour
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    ColourSwatch* colTile = nullptr;  // the tile background
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    // The inner size of the source frame in pixels (its ScaleWidth and
    // ScaleHeight).
    int32_t FiSrcScaleWidth() const;
    int32_t FiSrcScaleHeight() const;

    // ---- Members the set-up calls ---------------------------------------------
    // Fits the picture (the document's extracted picture, full size) into
    // the source frame, never enlarging it and keeping its proportions, as
    // the thumbnail of both previews, each placed at the same spot of its
    // frame: centred where smaller than the frame (3 pixels more on the left).
    void AdjustThumbPreview(const DibRecord& picSrc);
    // Shows the slider's value in the text box and the up-down and redraws
    // the preview with it; the slider's ValueChanged handler.
    void HS_valueChanged();

    // ---- Event handlers ---------------------------------------------------------
    void Form_Load();
    void HSD_Change();
    void HST_Change();
    // Only digits and Backspace reach the text box (KeyAscii 0 drops a key).
    void HST_KeyPress(int16_t& KeyAscii);
    // A press on a preview picks the colour under the pointer as the colour
    // to replace; on the source preview it also redraws.
    void iSrc_MouseDown(double X, double Y);
    void iDst_MouseDown(double X, double Y);
    void pTransparent_Click();
    void colTile_Click();
    // "Apply Effect": hides the dialog, applies the effect at the slider's
    // value to the active document (the picture extracted when the dialog
    // was set up) and closes.
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Picks the colour of box's pixel under (X, Y) into Text2.
    void pickColour(const effects::EffectPictureBox& box, double X, double Y);
    // The up-down's value, refused (and nothing raised) outside its range.
    void setUpDownValue(int32_t v);
};

} // namespace tq
