// The "Orientation" dialog: turns the active picture a quarter turn
// counter-clockwise ("90º"), mirrors it left to right and top to bottom, or
// both, the turn always first. It previews the result live on a thumbnail
// and applies it to the whole picture on OK. Created once and only hidden
// afterwards: the flip boxes keep their state for the run, while the list is
// back at "0º" at every opening.
#pragma once

#include "dialogs/GeometryDialog.h"
#include "filters/cBitFilter.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;

namespace tq {

class PreviewBox;

class fOrientation : public GeometryDialog {
    Q_OBJECT
public:
    explicit fOrientation(QWidget* parent = nullptr);

    QLabel* lblBack = nullptr;
    PreviewBox* iSrc = nullptr;
    QLabel* lblOrientation = nullptr;
    QComboBox* cbOrientation = nullptr;   // 0: "0º", 1: "90º"
    QLabel* lblFlip = nullptr;
    QCheckBox* chkFlip[2] = {nullptr, nullptr};   // 0: horizontal, 1: vertical

    // The thumbnail's engine, made at the first opening; its Bits hold the
    // thumbnail being previewed.
    std::unique_ptr<cBitFilter> ThumbFilter;
    // The thumbnail unturned, and the last preview drawn.
    BitsBuffer ThumbBits;
    BitsBuffer PreviewBits;
    int32_t PreviewLeft = 0, PreviewTop = 0;
    int32_t ThumbWidth = 0, ThumbHeight = 0;
    int32_t PreviewWidth = 0, PreviewHeight = 0;

    void Form_Activate() override;
    void pvUpdatePreview();
    void cmdOK_Click();

private:
    void placePreview(int32_t w, int32_t h);
};

} // namespace tq
