// The colour tool window ("Color Box"): the painting tools' two colours in
// two boxes, of which the selected one is the active colour every tool
// paints with, a colour editor (bColorTool) that edits the selected box, and
// the editor's colour as HTML text. A click selects a box, a double-click
// edits it in the colour picker. The colours live in Settings: ActiveColor
// is the selected box's colour, SecondColor box 1's.
//
// Box 0's colour is also kept in Settings.ColorSpare (a reserved field of
// the record, marked in its top byte), so that it survives a run that ended
// with box 1 selected; a record without the mark gives box 0 the active
// colour, as before.
#pragma once

#include "toolwindows/FloatingToolWindow.h"

#include <QFrame>

#include <array>
#include <cstdint>

class QLineEdit;

namespace tq {

class bColorTool;
class ColourSwatch;

class fToolColor : public FloatingToolWindow {
    Q_OBJECT
public:
    // The height when open: 1815 twips.
    static constexpr int32_t kOpenHeightTwips = 1815;
    static constexpr int kStripHeight = 16;
    static constexpr int kWidth = 276;   // pixels
    // The mark in Settings.ColorSpare's top byte saying it holds box 0.
    static constexpr uint32_t kBox0Mark = 0x01000000u;

    explicit fToolColor(QWidget* owner);
    ~fToolColor() override;

    // ---- Controls ----------------------------------------------------------
    QWidget* TL() const { return strip(); }
    std::array<ColourSwatch*, 2> cBox{};
    QFrame* high = nullptr;   // the selection frame
    bColorTool* bCol = nullptr;
    QLineEdit* tHex = nullptr;

    // The selected box, 0 or 1; 0 after load.
    int16_t SelectedColorIndex() const { return SelectedColorIndex_; }
    void setSelectedColorIndex(int16_t i) { SelectedColorIndex_ = i == 1 ? 1 : 0; }

    // ---- Handlers ------------------------------------------------------------
    // The editor's change: its colour into the selected box and Settings.
    void bCol_Change();
    // A click on box i.
    void cBox_Click(int i);
    // A double-click on box i: the colour picker for it.
    void cBox_DblClick(int i);
    // The colour-pick tool's colour: the selected box shows it and the
    // editor takes its components in the order red, green, blue.
    void PickColour(int32_t colour);

protected:
    QSize unrolledSizePx() const override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layoutControls();
    void placeSelectionFrame(int i);
    void setBoxColour(int i, int32_t colour);
    void setEditorColour(int32_t colour);

    int16_t SelectedColorIndex_ = 0;
};

} // namespace tq
