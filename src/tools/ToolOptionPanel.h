// The tool-option bar picStatus of the main window: the current tool's
// icon iCurrentTool and the description box PicDescription with the eight
// option frames (SelectionMove, Selection, AirBrush, Brush, Stamp, Fill,
// Shape, Gradient), of which the tool bar shows one at a time.
//
// Every option is written into its Settings field the moment it changes;
// the tools read the fields when they act, the panel keeps no copy. The
// eight start-up procedures copy the fields into the controls once, after
// the settings were read (values out of range never get here: reading the
// settings file clamps them).
//
// The Stamp frame also chooses the current stamp (StampBits): one of the
// nine built-in pictures of the "Defined" list, or a picture of the Stamps
// folder in the "User-Defined" list, whichever was chosen last; and its
// mask colour. The Gradient frame holds the gradient tool's two colours on
// either side of a preview strip. A click on a colour swatch asks the colour
// picker port; a cancelled picker leaves the colour as it was.
#pragma once

#include "core/BitsBuffer.h"

#include <QToolBar>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;

namespace tq {
class ColourSwatch;
}

namespace tq::tools {

class GradientStrip;
class OptionTriad;

class ToolOptionPanel : public QToolBar {
    Q_OBJECT
public:
    explicit ToolOptionPanel(QWidget* parent = nullptr);

    // ---- The bar --------------------------------------------------------------
    QLabel* iCurrentTool = nullptr;
    QWidget* PicDescription = nullptr;
    QFrame* SelectionMove = nullptr;
    QFrame* Selection = nullptr;
    QFrame* AirBrush = nullptr;
    QFrame* Brush = nullptr;
    QFrame* Stamp = nullptr;
    QFrame* Fill = nullptr;
    QFrame* Shape = nullptr;
    QFrame* Gradient = nullptr;
    // The frames in the order the frame switcher walks them.
    std::array<QFrame*, 8> frames() const
    {
        return {SelectionMove, Selection, AirBrush, Brush, Stamp, Fill, Shape, Gradient};
    }
    // The frame with the name, null for none.
    QFrame* frame(const std::string& name) const;

    // Shows picture i of the tool pictures as the current tool.
    void showToolIcon(int16_t index);
    // Prepares the bar for showing exactly one frame: the description box
    // shown, every frame hidden at the one place they share.
    void Tool_Frame();
    static constexpr int kFrameLeft = 10;
    static constexpr int kFrameTop = 2;

    // ---- Triads -----------------------------------------------------------------
    OptionTriad* sbAirbrushSize = nullptr;
    OptionTriad* sbAirbrushPressure = nullptr;
    OptionTriad* sbAirBrushQuantity = nullptr;
    OptionTriad* sbAirbrushDefinition = nullptr;
    OptionTriad* sbBrushSize = nullptr;
    OptionTriad* sbBrushPressure = nullptr;
    OptionTriad* sbFillTolerance = nullptr;
    OptionTriad* sbFillPressure = nullptr;
    OptionTriad* sbSelectionPressure = nullptr;   // hidden
    OptionTriad* cSelectionPressure = nullptr;
    OptionTriad* sbShapeSides = nullptr;
    OptionTriad* sbShapePressure = nullptr;
    OptionTriad* sbStampPressure = nullptr;
    OptionTriad* sbGradPressure = nullptr;
    OptionTriad* sbGradFrequency = nullptr;

    // ---- Lists and check boxes ----------------------------------------------------
    QComboBox* cbBrushMode = nullptr;
    QComboBox* cbFillMode = nullptr;
    QComboBox* cbSelectionMode = nullptr;
    QComboBox* cbSelectionShape = nullptr;
    QComboBox* lstShape = nullptr;
    QComboBox* cbGradMode = nullptr;
    QComboBox* cSelectionMove = nullptr;
    QCheckBox* chkContinuous = nullptr;
    QCheckBox* chkMoveSelection = nullptr;   // hidden
    QCheckBox* chkUseMaskColor = nullptr;
    QCheckBox* chkStampMask = nullptr;
    QCheckBox* chkClearBack = nullptr;
    std::array<QCheckBox*, 2> chkTranspCol{};   // hidden

    // ---- Stamps ---------------------------------------------------------------------
    QComboBox* icStamp = nullptr;    // "Defined": the nine built-in stamps, items 1 to 9
    QComboBox* cbStamps = nullptr;   // "User-Defined": the files of flStamps
    QWidget* iStampBk = nullptr;
    QLabel* iStampD = nullptr;       // the preview of the current stamp
    ColourSwatch* MaskColor = nullptr;
    // The current stamp picture at full size (never shown).
    DibRecord iStamp;
    // The stamp folder and its picture files, as listed at start-up (less
    // those that did not decode when chosen).
    std::string flStampsPath;
    std::vector<std::string> flStamps;

    // Built-in stamp chosen (the selected item of icStamp).
    void icStamp_Click();
    // Stamp file chosen (the selected entry of cbStamps). A file that cannot
    // be decoded leaves both lists and keeps the stamp as it was; the list
    // shows the entry it showed before.
    void cbStamps_Click();
    // The pixels of the current stamp picture.
    BitsBuffer GetStampBits() const;

    // ---- Gradient -------------------------------------------------------------------
    std::array<ColourSwatch*, 2> GradColor{};
    GradientStrip* iGrad = nullptr;
    // Redraws the strip from the two gradient colours of Settings.
    void DrawGradientPreview();

    // ---- Start-up ---------------------------------------------------------------------
    void SelectionMove_Init();
    void Select_Init();
    void Airbrush_Init();
    void Brush_Init();
    void Fill_Init();
    void Shape_Init();
    void Gradient_init();
    void Stamp_Init();

private:
    QFrame* makeFrame(const char* name);
    QComboBox* makeList(QFrame* frame, const char* name, const char* caption, const std::vector<const char*>& items);
    QCheckBox* makeCheck(QFrame* frame, const char* name, const char* caption, const char* toolTip);
    void buildSelectionMove();
    void buildSelection();
    void buildAirBrush();
    void buildBrush();
    void buildFill();
    void buildShape();
    void buildStamp();
    void buildGradient();

    void MaskColor_Click();
    void MaskColor_Change();
    void GradColor_Click(int Index);
    void GradColor_Change(int Index);
    void chkStampMask_Click();
    // The folder listing that starts Stamp_Init.
    void listStampFolder();
    // Makes stamp file i the current stamp; false (and the file leaves the
    // lists) when it does not decode.
    bool chooseStampFile(int i);
    // The start-up choice, made when the stamp is first needed: the first
    // file that decodes.
    void chooseFirstStampFile();

    // The entry of cbStamps chosen last that decoded; -1 for none.
    int lastStampEntry_ = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

} // namespace tq::tools
