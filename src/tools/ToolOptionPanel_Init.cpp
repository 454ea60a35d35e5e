// The eight start-up procedures: the Settings fields into the controls.
// Each assignment that changes a control runs its handler, which writes the
// same value back into its field; the text box and the up-down get their own
// steps, so they show the field even when the slider already held it (a
// field of 1 against the slider's starting 1). A step a control refuses is
// skipped.
#include "tools/ToolOptionPanel.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "widgets/cpvSlider.h"
#include "widgets/ColourSwatch.h"
#include "tools/OptionTriad.h"
#include "tools/ToolKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

namespace tq::tools {
namespace {

Settings& S() { return programSettings(); }

// A list refuses an index outside its items and keeps its selection.
void setListIndex(QComboBox* list, int32_t index)
{
    if (index >= 0 && index < list->count()) list->setCurrentIndex(index);
}

void setCheck(QCheckBox* box, bool field) { box->setChecked(field); }

// Text and up-down of a triad from one value.
void textAndUpDown(OptionTriad* t, int32_t v)
{
    t->setText(v);
    t->setUpDown(v);
}

} // namespace

void ToolOptionPanel::SelectionMove_Init()
{
    {
        const QSignalBlocker quiet(cSelectionMove);
        cSelectionMove->clear();
        for (const char* item : kSelectionMoveActions) cSelectionMove->addItem(QString::fromUtf8(item));
        // A new list has no selection until one is chosen below.
        cSelectionMove->setCurrentIndex(-1);
    }
    setListIndex(cSelectionMove, S().MoveSelection ? 0 : 1);
    cSelectionPressure->setSlider(S().SelectPressure);
    textAndUpDown(cSelectionPressure, S().SelectPressure);
}

void ToolOptionPanel::Select_Init()
{
    setListIndex(cbSelectionMode, S().SelectMode);
    setListIndex(cbSelectionShape, S().SelectShape);
    sbSelectionPressure->setSlider(S().SelectPressure);
    setCheck(chkMoveSelection, S().MoveSelection);
    textAndUpDown(sbSelectionPressure, sbSelectionPressure->slider->Value());
}

void ToolOptionPanel::Airbrush_Init()
{
    OptionTriad* const triads[] = {sbAirbrushSize, sbAirbrushPressure, sbAirBrushQuantity, sbAirbrushDefinition};
    for (OptionTriad* t : triads) t->setSlider(t->field());
    for (OptionTriad* t : triads) textAndUpDown(t, t->field());
}

void ToolOptionPanel::Brush_Init()
{
    setListIndex(cbBrushMode, S().BrushMode);
    sbBrushSize->setSlider(S().BrushSize);
    sbBrushPressure->setSlider(S().BrushPressure);
    setCheck(chkContinuous, S().BrushContinuous);
    textAndUpDown(sbBrushSize, S().BrushSize);
    textAndUpDown(sbBrushPressure, S().BrushPressure);
}

void ToolOptionPanel::Fill_Init()
{
    setListIndex(cbFillMode, S().FillMode);
    sbFillTolerance->setSlider(S().FillTolerance);
    sbFillPressure->setSlider(S().FillPressure);
    textAndUpDown(sbFillTolerance, S().FillTolerance);
    textAndUpDown(sbFillPressure, S().FillPressure);
}

void ToolOptionPanel::Shape_Init()
{
    setListIndex(lstShape, S().ShapeType);
    sbShapePressure->setSlider(S().ShapePressure);
    sbShapeSides->setSlider(S().ShapeSides);
    textAndUpDown(sbShapePressure, sbShapePressure->slider->Value());
    textAndUpDown(sbShapeSides, sbShapeSides->slider->Value());
}

void ToolOptionPanel::Gradient_init()
{
    setListIndex(cbGradMode, S().GradientMode);
    GradColor[0]->setBackColor(S().GradientColor1);
    GradColor[1]->setBackColor(S().GradientColor2);
    setCheck(chkTranspCol[0], S().GradientTransparent1);
    setCheck(chkTranspCol[1], S().GradientTransparent2);
    sbGradPressure->setSlider(S().GradientPressure);
    sbGradFrequency->setSlider(S().GradientFrequency);
    textAndUpDown(sbGradPressure, S().GradientPressure);
    textAndUpDown(sbGradFrequency, S().GradientFrequency);
    DrawGradientPreview();
}

void ToolOptionPanel::Stamp_Init()
{
    listStampFolder();
    setCheck(chkUseMaskColor, S().StampUseMaskColor);
    MaskColor->setBackColor(S().StampMaskColor);
    setCheck(chkStampMask, S().StampMask);
    setCheck(chkClearBack, S().StampClearBack);
    sbStampPressure->setSlider(S().StampPressure);
    textAndUpDown(sbStampPressure, S().StampPressure);
}

} // namespace tq::tools
