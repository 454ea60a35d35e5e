// The "Rotate" dialog: turns the active picture by a whole number of degrees
// from -180 to 180 (positive: counter-clockwise on screen) onto a canvas
// that grows to hold the whole turned picture, with plain (nearest) or
// interpolated ("&Antialiasing") sampling. The preview turns a thumbnail
// inside its own frame; only OK enlarges the canvas. Created once and only
// hidden afterwards: the angle and the sampling choice stay for the run.
#pragma once

#include "dialogs/GeometryDialog.h"
#include "document/cBitRegion.h"
#include "filters/cBitFilter.h"

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tq {

class PreviewBox;

class fRotate : public GeometryDialog {
    Q_OBJECT
public:
    explicit fRotate(QWidget* parent = nullptr);

    QLabel* lblBack = nullptr;
    PreviewBox* iSrc = nullptr;
    QPushButton* cmd45[2] = {nullptr, nullptr};   // 0: "+ 45º", 1: "- 45º"
    QLabel* lblDegrees = nullptr;
    QLineEdit* txtDegrees = nullptr;              // shows the angle
    QScrollBar* sbDegrees = nullptr;              // holds the angle
    QCheckBox* chkAntialiasing = nullptr;
    QLabel* Label1 = nullptr;

    // The angle in degrees, -180..180. The bar's upper end is 180, so its
    // upper arrow adds a degree; it is the only source of the angle.
    int16_t Angle() const;
    void setAngle(int16_t degrees);

    std::unique_ptr<cBitFilter> ThumbFilter;
    std::unique_ptr<cBitRegion> ThumbRegion;
    BitsBuffer PreviewBits;
    int32_t ThumbWidth = 0, ThumbHeight = 0;

    void Form_Activate() override;
    void sbDegrees_Change();
    void txtDegrees_Change();
    // index 0 adds 45 degrees, 1 takes 45 away; the result is the remainder
    // of a division by 180 (truncated), so it stays within -179..179.
    void cmd45_Click(int index);
    void pvUpdateRotatePreview();
    void CmdOK_Click();
};

} // namespace tq
