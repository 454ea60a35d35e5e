// The history window: a floating tool window with two tabs. "Actions" lists
// the undo steps of the document shown (the rows of the program's history
// model, a marker on the step shown; a click on a row returns the document
// to that step). "Clips" keeps the last cut, copied or imported clips in ten
// slots with thumbnails, pastes one back into the active picture, and holds
// the pressure at which pasted clips are painted.
//
// The rows of the action history live in the program's HistoryModel, which
// the documents drive as they record, undo, redo and close; this window
// draws them whenever the model changes. The clip slots are a ClipHistory of
// the window's own.
#pragma once

#include "toolwindows/ClipHistory.h"
#include "toolwindows/FloatingToolWindow.h"

#include <QImage>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <vector>

class QFrame;
class QLineEdit;
class QScrollBar;
class QToolBar;

namespace tq {

class cpvSlider;

class HistoryModel;

class fPaste : public FloatingToolWindow {
    Q_OBJECT
public:
    // The unrolled window: at least this high, always this wide (twips).
    static constexpr int32_t kMinHeightTwips = 3000;
    static constexpr int32_t kWidthTwips = 3180;
    // Rows of the action list (twips).
    static constexpr int32_t kRowHeightTwips = 350;
    static constexpr int32_t kContainerStartTwips = 2055;
    static constexpr int32_t kContainerSpareTwips = 150;
    // Rows of the clip list (twips).
    static constexpr int32_t kClipRowStepTwips = 480;

    explicit fPaste(QWidget* owner);
    ~fPaste() override;

    bool RolledUp() const { return RolledUp_; }

    // ---- Tabs ---------------------------------------------------------------
    QLabel* tabActions = nullptr;
    QLabel* tabClips = nullptr;
    QPixmap oActions, cActions, oClips, cClips;   // open and closed faces
    void tabActions_Click();
    void tabClips_Click();
    bool ActionsTabOpen() const { return ActionsOpen_; }   // read by tests

    // ---- Actions page -----------------------------------------------------------
    QFrame* pframe = nullptr;
    QWidget* pContainer = nullptr;
    QScrollBar* VV = nullptr;
    QWidget* Pindicator = nullptr;
    // The labels of row i (nullptr past the last row) and the row count.
    QLabel* Lno(int i) const;
    QLabel* Ltext(int i) const;
    int LtextCount() const { return static_cast<int>(Rows_.size()); }
    int32_t pContainerHeightTwips() const { return ContainerTwips_; }
    // The document listed (fPaste.ImageID).
    int32_t ImageID() const;
    // A click on row Index: the active document returns to that step.
    void Ltext_Click(int Index);

    // ---- Clips page -------------------------------------------------------------
    QFrame* cFrame = nullptr;
    QToolBar* tb1 = nullptr;
    QFrame* FPicPaste = nullptr;
    QWidget* picPaste = nullptr;
    QScrollBar* V = nullptr;
    QWidget* tb2 = nullptr;
    struct ClipRow {
        QFrame* pc = nullptr;
        QLabel* pT = nullptr;
        QLabel* BT = nullptr;
        QLabel* BR = nullptr;
        QImage thumbnail;   // what pT shows
    };
    const ClipRow& row(int i) const { return ClipRows_.at(static_cast<size_t>(i)); }
    const ClipHistory& clips() const { return Clips_; }

    // The main window's Cut and Copy: the selection into ClipBits and a slot.
    bool CutBits();
    bool CopyBits();
    // Removes the current slot's clip, or every clip.
    void ClearCLip(bool All);
    // The clip list's scroll range.
    void Update_V();
    // tb1's buttons by index: 1 import from the clipboard, 2 paste the
    // current slot, 4 remove it, 5 remove all (3 is a separator).
    void tb1_ButtonClick(int index);
    // A click on a slot's row makes it current.
    void pc_Click(int i);

    // ---- Paste pressure -------------------------------------------------------------
    cpvSlider* BrSelectionMovePressure = nullptr;
    QLineEdit* BrSelectionMovePressureUDT = nullptr;
    QScrollBar* BrSelectionMovePressureUD = nullptr;
    QLabel* lblSize = nullptr;
    void BrSelectionMovePressure_ValueChanged();
    void BrSelectionMovePressureUD_Change();

    // Shutdown: paste from a clip off, every slot dropped.
    void Form_Unload();

protected:
    void Form_Resize() override;
    void applySizeLimits() override;
    int rolledUpHeightPx() const override;
    void setRolledUpFlag(bool rolled) override { RolledUp_ = rolled; }
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildActionsPage();
    void buildClipsPage();
    void buildPressure();
    // The tab click's unroll (the saved rolled-up flag stays).
    void unroll();
    // Draws the action rows from the history model.
    void showHistory();
    void updateActionScroll();
    void storeClip();
    void DrawClipThumbnail(int c);
    void ImportClipboardClip();
    void PasteSelectedClip();
    void showClipRow(int i);
    int tabsBottomPx() const;

    HistoryModel& History_;
    bool RolledUp_ = false;
    bool ActionsOpen_ = true;
    bool Unloaded_ = false;

    struct ActionRow {
        QLabel* Lno = nullptr;
        QLabel* Ltext = nullptr;
    };
    std::vector<ActionRow> Rows_;
    int32_t ContainerTwips_ = kContainerStartTwips;
    int PressedRow_ = -1;

    ClipHistory Clips_;
    std::array<ClipRow, ClipHistory::kSlots> ClipRows_{};
};

} // namespace tq
