// The "Canvas size" dialog: gives the active picture a new width and height
// without rescaling it. The old picture keeps its pixels and is placed on a
// black canvas of the new size at the anchor chosen on a 3 x 3 grid; growing
// adds black on the sides away from the anchor, shrinking cuts those sides.
// Created once and only hidden afterwards: "Proportions" keeps its state for
// the run, while the boxes, the quick amounts, the thumbnail and the anchor
// (back in the centre) are set afresh at every opening.
#pragma once

#include "dialogs/GeometryDialog.h"

#include <QWidget>

class QGroupBox;
class QLabel;

namespace tq {

class PreviewBox;

// The anchor grid: nine cells of the thumbnail's size, outlined in dark
// grey on light grey, with the thumbnail in the anchor cell. A press of any
// mouse button on a cell, or a drag over it with the left button alone,
// moves the thumbnail there.
class AnchorGrid : public QWidget {
    Q_OBJECT
public:
    explicit AnchorGrid(QWidget* parent = nullptr);

    // Cells of w x h; the grid is sized 3 w x 3 h.
    void setCellSize(int w, int h);
    int cellWidth() const { return cellW_; }
    int cellHeight() const { return cellH_; }
    // The thumbnail box (iImg), placed in the anchor cell.
    PreviewBox* thumbnail() const { return iImg_; }
    // The anchor's column and row, 0 to 2 (left, centre, right; top,
    // middle, bottom).
    int anchorColumn() const;
    int anchorRow() const;
    void setAnchor(int column, int row);

    // Moves the thumbnail to the cell under (X, Y), when that lies on the grid.
    void pointAt(int X, int Y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    PreviewBox* iImg_;
    int cellW_ = 0;
    int cellH_ = 0;
};

class fCanvas : public SizeBoxDialog {
    Q_OBJECT
public:
    explicit fCanvas(QWidget* parent = nullptr);

    // The quick amounts of cbPreDef, by list index: added to each box.
    static constexpr int kQuickAmounts[] = {2, 4, 6, -2, -4, -6};

    QLabel* lblBack = nullptr;
    AnchorGrid* iCnv = nullptr;
    PreviewBox* iImg = nullptr;
    QGroupBox* Frame1 = nullptr;

    // The picture fitted into 60 x 60: the thumbnail and each grid cell.
    int32_t ThumbWidth = 0;
    int32_t ThumbHeight = 0;

    void Form_Activate() override;
    void cbPreDef_Click();
    void cmdOK_Click();
};

} // namespace tq
