// The "Apply palette" dialog: the program-wide palette (CurrentPalette) as a
// grid of up to 16 x 16 colour cells, its colour count, the colour of a
// picked cell, loading and saving palette files from the "Palettes" folder,
// and OK, which maps the selection of the document that was active when the
// dialog opened onto the palette (nearest colours with the error spread) as
// one undo step "Apply Palette". Made at its first opening and only hidden
// afterwards; the palette itself lives for the run, so what the count and
// the loads did to it stays, also after Cancel.
#pragma once

#include "document/ProgramContext.h"

#include <QDialog>
#include <QFrame>
#include <QImage>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tq {

class UpDownBar;
class cpvSlider;
class ColourSwatch;

inline constexpr const char* kApplyPaletteStep = "Apply Palette";
inline constexpr const char* kPalettesFolderName = "Palettes";
inline constexpr const char* kPalettesMissingText = "<Palettes> subfolder not found.";
inline constexpr const char* kPaletteFileFilter = "QuentaImager palette (*.pal)|*.pal";
inline constexpr const char* kPaletteNotLoadedText = "This file holds no palette that can be loaded.";
inline constexpr const char* kPaletteNotSavedText = "The palette could not be saved.";
inline constexpr const char* kPaletteEmptyText = "The palette has no colours to save.";

// The marker around the picked cell: a 14 x 14 outline drawn in the gap
// around the cell, in a colour that blinks.
class PaletteMarker : public QWidget {
    Q_OBJECT
public:
    explicit PaletteMarker(QWidget* parent = nullptr);
    int32_t BorderColor() const { return border_; }
    void setBorderColor(int32_t colour);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int32_t border_ = 0;
};

// The grid: 224 x 224 pixels inside a sunken border, drawn into a picture
// the colours are read back from. Cell i (row i / 16, column i % 16) fills
// (14c + 1, 14r + 1) to (14c + 12, 14r + 12); the 2-pixel gaps show the
// workspace colour. Mouse positions it reports are inside the border.
class PaletteGrid : public QFrame {
    Q_OBJECT
public:
    static constexpr int kSide = 224;
    static constexpr int kPitch = 14;
    static constexpr int kCellSide = 12;
    static constexpr int kColumns = 16;
    static constexpr int kMaxCells = 256;

    explicit PaletteGrid(QWidget* parent = nullptr);

    QImage& picture() { return picture_; }
    const QImage& picture() const { return picture_; }
    // The grid's pixel (x, y) as a colour, red in the low byte.
    int32_t GetPixel(int x, int y) const;
    // Where the inside of the border starts.
    QPoint inside() const { return contentsRect().topLeft(); }

signals:
    // Button: 1 left, 2 right, 4 middle (the buttons held for a move).
    void MouseDown(int Button, double X, double Y);
    void MouseMove(int Button, double X, double Y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QImage picture_;
};

class fPaletteApply : public QDialog {
    Q_OBJECT
public:
    explicit fPaletteApply(QWidget* parent = nullptr);

    PaletteGrid* iPal = nullptr;
    PaletteMarker* shpSelect = nullptr;
    ColourSwatch* lblCur = nullptr;
    QLabel* lblRGB[3] = {};           // "R", "G", "B"
    QLineEdit* txtRGB[3] = {};
    UpDownBar* txtRGBUD[3] = {};
    QLabel* lblIndex = nullptr;
    QLabel* lblIndexV = nullptr;
    cpvSlider* sbIndex = nullptr;
    QLineEdit* sbIndexUDT = nullptr;
    UpDownBar* sbIndexUD = nullptr;
    QCheckBox* chkColors = nullptr;
    QLabel* lblColorsV = nullptr;
    cpvSlider* sbColors = nullptr;
    QLineEdit* sbColorsUDT = nullptr;
    UpDownBar* sbColorsUD = nullptr;
    QPushButton* cmd[2] = {};         // "Load Palette", "Save Palette"
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* tmrSelect = nullptr;

    // ---- Handlers -----------------------------------------------------------
    void Form_Activate();
    void iPal_MouseDown(int Button, double X, double Y);
    void iPal_MouseMove(int Button, double X, double Y);
    void sbIndex_ValueChanged();
    void sbIndexUD_Change();
    void sbColors_ValueChanged();
    void sbColorsUDT_KeyPress(int16_t& KeyAscii);
    void sbColorsUDT_Change();
    void sbColorsUD_Change();
    void chkColors_Click();
    void txtRGB_KeyPress(int index, int16_t& KeyAscii);
    void txtRGB_Change(int index);
    void txtRGBUD_Change(int index);
    // Shift: 1 Shift, 2 Ctrl, 4 Alt, added.
    void txtRGB_MouseMove(int index, int Button, int Shift, double Y);
    void lblCur_DblClick();
    void tmrSelect_Timer();
    void cmd_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    // ---- The dialog's own routines -----------------------------------------
    void DrawPaletteGrid();
    // 0 loads a palette file into CurrentPalette, 1 saves CurrentPalette.
    void PaletteFileCommand(int index);
    void EnablePaletteEditing();
    void ColorToRGBBoxes(int32_t colour);
    // The three boxes into the entry picked in sbIndex, then the grid redrawn.
    // The swatch's double-click runs it once a colour is chosen.
    void StoreCurrentColor();

    // True once a palette has been loaded: the grid and its editing work
    // (read by tests).
    bool editingEnabled() const { return editing_; }
    int32_t blinkColour() const { return blink_; }   // read by tests

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // OK applies only a palette that holds colours.
    void updateOk();

    DocumentRef target_;
    bool editing_ = false;
    int32_t blink_ = 0;
    // The last vertical mouse position over the RGB boxes, shared by the three.
    int32_t lastY_ = 0;
};

// Shows the dialog for the active document, application-modal and owned by
// the main window, making it at its first opening; returns at once. The
// dialog, or nullptr without a main window.
fPaletteApply* showPaletteDialog();

} // namespace tq
