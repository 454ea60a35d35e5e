// The "Image size" dialog: rescales the active picture to a width and height
// typed in pixels, smoothly ("&Anti-Alias") or by the nearest source pixel,
// with the proportions kept on request and four quick factors. It shows the
// picture before the change in a fixed preview. Created once and only hidden
// afterwards, so its two check boxes keep their state for the run; the boxes,
// the quick factors and the preview are set afresh at every opening.
#pragma once

#include "dialogs/GeometryDialog.h"

class QCheckBox;
class QLabel;

namespace tq {

class PreviewBox;

class fSize : public SizeBoxDialog {
    Q_OBJECT
public:
    explicit fSize(QWidget* parent = nullptr);

    // The quick factors of cbPreDef, by list index.
    static constexpr double kQuickFactors[] = {1.5, 2.0, 0.75, 0.5};

    QLabel* lblBack = nullptr;
    PreviewBox* iSrc = nullptr;
    QCheckBox* chkInterpolate = nullptr;

    // The set-up of every opening: preview, boxes, no quick factor, focus.
    void Form_Activate() override;
    void cbPreDef_Click();
    void cmdOK_Click();
};

} // namespace tq
