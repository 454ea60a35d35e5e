// The "User filter" dialog: a convolution kernel typed into a 5 x 5 grid
// (or taken from the preset list, or loaded from a ".qif" file), a weight
// that divides the weighted sum (kept equal to the sum of the cells while
// "&Auto" is ticked), three offsets added to red, green and blue, and the
// choice of keeping the picture's margins. OK applies the kernel to the
// document that was active when the dialog opened, as one undo step
// "User's Filter". The kernel is 3 x 3 when the grid's outer ring is all
// zero. Made at its first opening and only hidden afterwards, so everything
// in it stays for the run.
#pragma once

#include "document/ProgramContext.h"
#include "filters/Kernels.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tq {

class UpDownBar;
class ColourSwatch;

inline constexpr const char* kInvalidMaskText = "Invalid/blank mask. Verify coeficients.";
inline constexpr const char* kUserFilterStep = "User's Filter";
inline constexpr const char* kFiltersFolderName = "Filters";
inline constexpr const char* kFilterFileFilter = "QuentaImager filter (*.qif)|*.qif";
inline constexpr const char* kFilterNotLoadedText = "This file holds no filter that can be loaded.";
inline constexpr const char* kFilterNotSavedText = "The filter could not be saved.";
inline constexpr const char* kFileNotReadText = "The file could not be read.";

class fUserFilter : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCells = 25;
    static constexpr int kCentreCell = 12;

    explicit fUserFilter(QWidget* parent = nullptr);

    // Cell i lies in row i / 5, column i % 5; it weights the source pixel
    // (x + column - 2, y + row - 2).
    QLineEdit* txtM[kCells] = {};
    ColourSwatch* lblCur = nullptr;
    QLabel* lblAddFactors = nullptr;
    QLabel* lblRed = nullptr;
    QLabel* lblGreen = nullptr;
    QLabel* lblBlue = nullptr;
    QLineEdit* txtAdd[3] = {};        // red, green, blue offsets
    UpDownBar* txtAddUD[3] = {};      // their spin bars, 0..255
    QLabel* lblWeight = nullptr;
    QLineEdit* txtWeight = nullptr;
    QCheckBox* chkAuto = nullptr;
    QComboBox* cbBased = nullptr;     // the presets; item data = preset id (-1: none)
    QCheckBox* chkKeepMargins = nullptr;
    QPushButton* cmd[2] = {};         // "Load Filter", "Save Filter"
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    // ---- Handlers -----------------------------------------------------------
    void Form_Activate();
    void cbBased_Click();
    void txtM_KeyPress(int index, int16_t& KeyAscii);
    void txtM_Change(int index);
    void txtWeight_KeyPress(int16_t& KeyAscii);
    void txtWeight_Change();
    void chkAuto_Click();
    void txtAdd_KeyPress(int index, int16_t& KeyAscii);
    void txtAdd_Change(int index);
    void txtAddUD_Change(int index);
    void lblCur_Click();
    void cmd_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    // ---- The dialog's own routines -----------------------------------------
    // The kernel the dialog shows; false, after the message, when a cell,
    // the weight or an offset holds no number or every cell is 0.
    bool GridToMask(KernelRecord& record);
    // Shows a 3 x 3 kernel in the inner cells (the outer ring keeps what it
    // holds) or a 5 x 5 kernel in all of them, then the weight and offsets.
    void MaskToGrid(const KernelRecord& record);
    // The identity kernel, weight 1, offsets 0.
    void ClearMask();
    // The weight becomes the sum of the cells (at least 1).
    void AutoWeight();
    // Red, green and blue of a colour into the three offset boxes.
    void ColorToOffsets(int32_t colour);
    // 0 loads a kernel file into the dialog, 1 saves the dialog's kernel.
    void FilterFileCommand(int index);

    // The folder the file dialogs open in: "Filters" under the program
    // folder, made when missing; the program folder when it cannot be made.
    static std::string filtersFolder();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    DocumentRef target_;
    // The file chosen last in the file dialogs, offered again.
    std::string lastFile_;
};

// Shows the dialog for the active document, application-modal and owned by
// the main window, making it at its first opening. The call returns at
// once: the dialog's OK does the work. The dialog, or nullptr without a
// main window.
fUserFilter* showUserFilterDialog();

} // namespace tq
