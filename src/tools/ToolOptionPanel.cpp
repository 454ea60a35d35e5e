// The option bar's controls: each frame is one row, a caption in front of
// each group. The lists and check boxes write their field on every change,
// by the user or by code.
#include "tools/ToolOptionPanel.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "platform/SkippedStep.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"
#include "widgets/ColourSwatch.h"
#include "tools/GradientPreview.h"
#include "tools/OptionTriad.h"
#include "tools/StampPictures.h"
#include "tools/ToolIcons.h"
#include "tools/ToolKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tq::tools {
namespace {

constexpr int kBarHeight = 30;
constexpr int kGroupGap = 12;

QHBoxLayout* rowOf(QFrame* frame) { return static_cast<QHBoxLayout*>(frame->layout()); }

QLabel* caption(QFrame* frame, const char* text)
{
    auto* l = new QLabel(QString::fromUtf8(text), frame);
    rowOf(frame)->addWidget(l);
    return l;
}

void addTriad(QFrame* frame, const char* text, OptionTriad* t, bool first = false)
{
    if (!first) rowOf(frame)->addSpacing(kGroupGap);
    caption(frame, text);
    QHBoxLayout* row = rowOf(frame);
    row->addWidget(t->slider);
    row->addSpacing(2);
    row->addWidget(t->UD);
    row->addWidget(t->UDT);
}

// A list index field takes the index of the item chosen; no selection (-1)
// writes nothing.
template <class Field>
void bindList(QComboBox* list, Field Settings::*field)
{
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [field](int index) {
        if (index >= 0) programSettings().*field = static_cast<Field>(index);
    });
}

void bindCheck(QCheckBox* box, bool Settings::*field)
{
    QObject::connect(box, &QCheckBox::toggled, box, [field](bool checked) { programSettings().*field = checked; });
}

} // namespace

ToolOptionPanel::ToolOptionPanel(QWidget* parent) : QToolBar(QStringLiteral("Tool Options"), parent)
{
    setObjectName(QStringLiteral("picStatus"));
    setMovable(false);
    setFloatable(false);

    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(6);
    iCurrentTool = new QLabel(bar);
    iCurrentTool->setObjectName(QStringLiteral("iCurrentTool"));
    iCurrentTool->setFixedSize(kToolIconSize + 4, kToolIconSize + 4);
    iCurrentTool->setAlignment(Qt::AlignCenter);
    iCurrentTool->setFrameShape(QFrame::StyledPanel);
    iCurrentTool->setFrameShadow(QFrame::Sunken);
    row->addWidget(iCurrentTool);
    PicDescription = new QWidget(bar);
    PicDescription->setObjectName(QStringLiteral("PicDescription"));
    PicDescription->setFixedHeight(kBarHeight);
    PicDescription->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A flat box, so the sliders' button-face surfaces sit on their own colour.
    PicDescription->setBackgroundRole(QPalette::Button);
    PicDescription->setAutoFillBackground(true);
    row->addWidget(PicDescription, 1000);
    // Keeps the icon at the left while the description box is hidden.
    row->addStretch(1);
    addWidget(bar);

    buildSelectionMove();
    buildSelection();
    buildAirBrush();
    buildBrush();
    buildStamp();
    buildFill();
    buildShape();
    buildGradient();
    for (QFrame* f : frames()) {
        f->adjustSize();
        f->move(kFrameLeft, kFrameTop);
        f->hide();
    }
    // No tool chosen yet: the bar shows neither icon nor frame.
    PicDescription->hide();

    // The window's load: the nine built-in stamps, the first one current.
    for (int n = 1; n <= kBuiltInStampCount; ++n) icStamp->addItem(QIcon(QPixmap::fromImage(builtInStampIcon(n))), QString());
    icStamp->setCurrentIndex(0);
    icStamp_Click();
}

QFrame* ToolOptionPanel::frame(const std::string& name) const
{
    for (QFrame* f : frames())
        if (f->objectName().toStdString() == name) return f;
    return nullptr;
}

void ToolOptionPanel::showToolIcon(int16_t index)
{
    iCurrentTool->setPixmap(QPixmap::fromImage(toolPicture(index)));
}

void ToolOptionPanel::Tool_Frame()
{
    step([&] { PicDescription->show(); });
    for (QFrame* f : frames())
        step([&] {
            f->move(kFrameLeft, kFrameTop);
            f->hide();
            f->setFrameShape(QFrame::NoFrame);
        });
}

// ---- Building the frames ---------------------------------------------------------

QFrame* ToolOptionPanel::makeFrame(const char* name)
{
    auto* f = new QFrame(PicDescription);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::NoFrame);
    auto* row = new QHBoxLayout(f);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->setSizeConstraint(QLayout::SetFixedSize);
    return f;
}

QComboBox* ToolOptionPanel::makeList(QFrame* frame, const char* name, const char* text,
                                     const std::vector<const char*>& items)
{
    if (rowOf(frame)->count() > 0) rowOf(frame)->addSpacing(kGroupGap);
    caption(frame, text);
    auto* list = new QComboBox(frame);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setFocusPolicy(Qt::StrongFocus);
    {
        // Filled without a selection: nothing is written until the start-up
        // procedures or the user choose.
        const QSignalBlocker quiet(list);
        for (const char* item : items) list->addItem(QString::fromUtf8(item));
        list->setCurrentIndex(-1);
    }
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    rowOf(frame)->addWidget(list);
    return list;
}

QCheckBox* ToolOptionPanel::makeCheck(QFrame* frame, const char* name, const char* text, const char* toolTip)
{
    if (rowOf(frame)->count() > 0) rowOf(frame)->addSpacing(kGroupGap);
    auto* box = new QCheckBox(QString::fromUtf8(text), frame);
    box->setObjectName(QString::fromLatin1(name));
    if (toolTip) box->setToolTip(QString::fromUtf8(toolTip));
    rowOf(frame)->addWidget(box);
    return box;
}

void ToolOptionPanel::buildSelectionMove()
{
    SelectionMove = makeFrame("SelectionMove");
    cSelectionMove = makeList(SelectionMove, "cSelectionMove", "Action", {});
    cSelectionPressure = new OptionTriad(SelectionMove, QStringLiteral("cSelectionPressure"), &Settings::SelectPressure,
                                         OptionTriad::TextRule::Digits);
    addTriad(SelectionMove, "Opaque Intensity", cSelectionPressure);
    connect(cSelectionMove, &QComboBox::currentIndexChanged, this, [](int index) {
        if (index >= 0) programSettings().MoveSelection = index == 0;
    });
}

void ToolOptionPanel::buildSelection()
{
    Selection = makeFrame("Selection");
    cbSelectionMode = makeList(Selection, "cbSelectionMode", "Mode", {std::begin(kSelectionModes), std::end(kSelectionModes)});
    cbSelectionShape =
        makeList(Selection, "cbSelectionShape", "Shape", {std::begin(kSelectionShapes), std::end(kSelectionShapes)});
    bindList(cbSelectionMode, &Settings::SelectMode);
    bindList(cbSelectionShape, &Settings::SelectShape);

    // Filled and handled like the others, but never shown.
    sbSelectionPressure = new OptionTriad(Selection, QStringLiteral("sbSelectionPressure"), &Settings::SelectPressure,
                                          OptionTriad::TextRule::Digits);
    auto* label = new QLabel(QStringLiteral("Pressure"), Selection);
    chkMoveSelection = new QCheckBox(QStringLiteral("&Move selection"), Selection);
    chkMoveSelection->setObjectName(QStringLiteral("chkMoveSelection"));
    chkMoveSelection->setToolTip(QStringLiteral("Move region / move pixels"));
    bindCheck(chkMoveSelection, &Settings::MoveSelection);
    for (QWidget* w : std::initializer_list<QWidget*>{label, sbSelectionPressure->slider, sbSelectionPressure->UD,
                                                      sbSelectionPressure->UDT, chkMoveSelection})
        w->hide();
}

void ToolOptionPanel::buildAirBrush()
{
    AirBrush = makeFrame("AirBrush");
    using R = OptionTriad::TextRule;
    sbAirbrushSize = new OptionTriad(AirBrush, QStringLiteral("sbAirbrushSize"), &Settings::AirbrushSize, R::Digits);
    sbAirbrushPressure = new OptionTriad(AirBrush, QStringLiteral("sbAirbrushPressure"), &Settings::AirbrushPressure,
                                         R::Digits, true);
    sbAirBrushQuantity =
        new OptionTriad(AirBrush, QStringLiteral("sbAirBrushQuantity"), &Settings::AirbrushQuantity, R::Digits);
    sbAirbrushDefinition =
        new OptionTriad(AirBrush, QStringLiteral("sbAirbrushDefinition"), &Settings::AirbrushDefinition, R::Digits);
    addTriad(AirBrush, "Size", sbAirbrushSize, true);
    addTriad(AirBrush, "Pressure", sbAirbrushPressure);
    addTriad(AirBrush, "Quantity", sbAirBrushQuantity);
    addTriad(AirBrush, "Definition", sbAirbrushDefinition);
}

void ToolOptionPanel::buildBrush()
{
    Brush = makeFrame("Brush");
    cbBrushMode = makeList(Brush, "cbBrushMode", "Mode", {std::begin(kBrushModes), std::end(kBrushModes)});
    bindList(cbBrushMode, &Settings::BrushMode);
    using R = OptionTriad::TextRule;
    sbBrushSize = new OptionTriad(Brush, QStringLiteral("sbBrushSize"), &Settings::BrushSize, R::Brush);
    sbBrushPressure = new OptionTriad(Brush, QStringLiteral("sbBrushPressure"), &Settings::BrushPressure, R::Brush);
    addTriad(Brush, "Size", sbBrushSize);
    addTriad(Brush, "Intensity", sbBrushPressure);
    chkContinuous = makeCheck(Brush, "chkContinuous", "Trace", nullptr);
    bindCheck(chkContinuous, &Settings::BrushContinuous);
}

void ToolOptionPanel::buildFill()
{
    Fill = makeFrame("Fill");
    cbFillMode = makeList(Fill, "cbFillMode", "Mode", {std::begin(kFillModes), std::end(kFillModes)});
    bindList(cbFillMode, &Settings::FillMode);
    using R = OptionTriad::TextRule;
    sbFillTolerance = new OptionTriad(Fill, QStringLiteral("sbFillTolerance"), &Settings::FillTolerance, R::Digits);
    sbFillPressure = new OptionTriad(Fill, QStringLiteral("sbFillPressure"), &Settings::FillPressure, R::Digits);
    addTriad(Fill, "Tolerance", sbFillTolerance);
    addTriad(Fill, "Pressure", sbFillPressure);
}

void ToolOptionPanel::buildShape()
{
    Shape = makeFrame("Shape");
    lstShape = makeList(Shape, "lstShape", "Shape", {std::begin(kShapeKinds), std::end(kShapeKinds)});
    bindList(lstShape, &Settings::ShapeType);
    using R = OptionTriad::TextRule;
    sbShapeSides = new OptionTriad(Shape, QStringLiteral("sbShapeSides"), &Settings::ShapeSides, R::Digits);
    sbShapePressure = new OptionTriad(Shape, QStringLiteral("sbShapePressure"), &Settings::ShapePressure, R::Digits);
    addTriad(Shape, "Pologon sides", sbShapeSides);
    addTriad(Shape, "Pressure", sbShapePressure);
}

void ToolOptionPanel::buildStamp()
{
    Stamp = makeFrame("Stamp");
    Stamp->installEventFilter(this);
    chkUseMaskColor = makeCheck(Stamp, "chkUseMaskColor", "Mask color", "Use mask color");
    // Checked when the window is made; the start-up sets it from the field.
    chkUseMaskColor->setChecked(true);
    bindCheck(chkUseMaskColor, &Settings::StampUseMaskColor);
    MaskColor = new ColourSwatch(Stamp);
    MaskColor->setObjectName(QStringLiteral("MaskColor"));
    MaskColor->setToolTip(QStringLiteral("Mask color"));
    rowOf(Stamp)->addWidget(MaskColor);
    connect(MaskColor, &ColourSwatch::Click, this, &ToolOptionPanel::MaskColor_Click);
    connect(MaskColor, &ColourSwatch::Change, this, &ToolOptionPanel::MaskColor_Change);

    chkStampMask = makeCheck(Stamp, "chkStampMask", "&Stamp mask", "Current color stamp");
    connect(chkStampMask, &QCheckBox::toggled, this, &ToolOptionPanel::chkStampMask_Click);
    chkClearBack = makeCheck(Stamp, "chkClearBack", "&Clear back", "Clear stamp track");
    bindCheck(chkClearBack, &Settings::StampClearBack);

    sbStampPressure =
        new OptionTriad(Stamp, QStringLiteral("sbStampPressure"), &Settings::StampPressure, OptionTriad::TextRule::Digits);
    addTriad(Stamp, "Pressure", sbStampPressure);

    icStamp = makeList(Stamp, "icStamp", "Defined", {});
    icStamp->setIconSize(QSize(kStampListIconSize, kStampListIconSize));
    icStamp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(icStamp, &QComboBox::activated, this, &ToolOptionPanel::icStamp_Click);

    // The preview box: the current stamp stretched over 23 x 23 pixels.
    iStampBk = new QWidget(Stamp);
    iStampBk->setObjectName(QStringLiteral("iStampBk"));
    iStampBk->setFixedSize(27, 25);
    iStampD = new QLabel(iStampBk);
    iStampD->setObjectName(QStringLiteral("iStampD"));
    iStampD->setGeometry(0, 0, 23, 23);
    iStampD->setScaledContents(true);
    rowOf(Stamp)->addSpacing(4);
    rowOf(Stamp)->addWidget(iStampBk);

    cbStamps = makeList(Stamp, "cbStamps", "User-Defined", {});
    cbStamps->setMinimumWidth(100);
    connect(cbStamps, &QComboBox::activated, this, &ToolOptionPanel::cbStamps_Click);
}

void ToolOptionPanel::buildGradient()
{
    Gradient = makeFrame("Gradient");
    cbGradMode = makeList(Gradient, "cbGradMode", "Mode", {std::begin(kGradModes), std::end(kGradModes)});
    bindList(cbGradMode, &Settings::GradientMode);
    using R = OptionTriad::TextRule;
    sbGradPressure = new OptionTriad(Gradient, QStringLiteral("sbGradPressure"), &Settings::GradientPressure, R::Digits);
    sbGradFrequency =
        new OptionTriad(Gradient, QStringLiteral("sbGradFrequency"), &Settings::GradientFrequency, R::Digits);
    addTriad(Gradient, "Pressure", sbGradPressure);
    addTriad(Gradient, "Frequency", sbGradFrequency);

    rowOf(Gradient)->addSpacing(kGroupGap);
    for (int i = 0; i < 2; ++i) {
        GradColor[static_cast<size_t>(i)] = new ColourSwatch(Gradient, true);
        GradColor[static_cast<size_t>(i)]->setObjectName(QStringLiteral("GradColor%1").arg(i));
        connect(GradColor[static_cast<size_t>(i)], &ColourSwatch::Click, this, [this, i] { GradColor_Click(i); });
        connect(GradColor[static_cast<size_t>(i)], &ColourSwatch::Change, this, [this, i] { GradColor_Change(i); });
        auto* box = new QCheckBox(Gradient);
        box->setObjectName(QStringLiteral("chkTranspCol%1").arg(i));
        box->setToolTip(QStringLiteral("Transparent"));
        box->hide();
        chkTranspCol[static_cast<size_t>(i)] = box;
    }
    bindCheck(chkTranspCol[0], &Settings::GradientTransparent1);
    bindCheck(chkTranspCol[1], &Settings::GradientTransparent2);
    iGrad = new GradientStrip(Gradient);
    iGrad->setObjectName(QStringLiteral("iGrad"));
    iGrad->setFixedSize(82, 21);   // 80 pixels inside the border
    rowOf(Gradient)->addWidget(GradColor[0]);
    rowOf(Gradient)->addWidget(iGrad);
    rowOf(Gradient)->addWidget(GradColor[1]);
}

void ToolOptionPanel::chkStampMask_Click()
{
    programSettings().StampMask = chkStampMask->isChecked();
    // "Mask color" can be changed only while "Stamp mask" is unchecked.
    chkUseMaskColor->setEnabled(!chkStampMask->isChecked());
}

} // namespace tq::tools
