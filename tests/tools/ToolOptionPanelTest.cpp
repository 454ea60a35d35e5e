// The tool-option bar: triads kept in step, lists and check boxes written
// into Settings, the start-up procedures, and a changed option surviving a
// restart of the program. Driven with QTest through the real widgets.
#include "OptionPanelFixture.h"

#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "platform/Folders.h"
#include "support/TestPorts.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"
#include "tools/OptionTriad.h"
#include "tools/ToolOptionPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace tq::tools {
namespace {

struct OptionPanel : OptionPanelFixture {
    void SetUp() override
    {
        OptionPanelFixture::SetUp();
        panel->resize(1200, 40);
        panel->show();
    }
    void showFrame(QFrame* f)
    {
        panel->Tool_Frame();
        f->show();
    }
    // Selects the whole text and types keys over it (Backspace as '\b').
    void typeOver(QLineEdit* edit, const std::string& keys)
    {
        edit->selectAll();
        for (char k : keys) {
            if (k == '\b')
                QTest::keyClick(edit, Qt::Key_Backspace);
            else
                QTest::keyClicks(edit, QString(QChar(k)));
        }
    }
    void initAll()
    {
        panel->SelectionMove_Init();
        panel->Select_Init();
        panel->Airbrush_Init();
        panel->Brush_Init();
        panel->Fill_Init();
        panel->Shape_Init();
        panel->Gradient_init();
        panel->Stamp_Init();
    }
};

// Text, slider, up-down and field of a triad agree on v.
::testing::AssertionResult inStep(const OptionTriad* t, int v)
{
    const int text = t->UDT->text().toInt();
    if (text == v && t->slider->Value() == v && t->UD->value() == v && t->field() == v)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "text \"" << t->UDT->text().toStdString() << "\", slider "
                                         << t->slider->Value() << ", up-down " << t->UD->value() << ", field "
                                         << t->field() << ", expected " << v;
}

} // namespace

TEST_F(OptionPanel, TypedTextKeepsTheTriadInStep)
{
    initAll();
    struct Case {
        const char* what;
        OptionTriad* ToolOptionPanel::*triad;
        std::string keys;
        const char* text;
        int value;
        bool selected;   // the text ends selected
    };
    const Case cases[] = {
        {"digits, above 100", &ToolOptionPanel::sbFillTolerance, "450", "100", 100, false},
        {"digits, 0", &ToolOptionPanel::sbFillTolerance, "0", "1", 1, false},
        {"digits, emptied", &ToolOptionPanel::sbFillTolerance, "\b", "1", 1, true},
        {"digits, letter discarded", &ToolOptionPanel::sbFillTolerance, "4a5", "45", 45, false},
        {"digits, other triad", &ToolOptionPanel::sbGradFrequency, "7x", "7", 7, false},
        {"brush, above 100", &ToolOptionPanel::sbBrushSize, "250", "100", 100, false},
        {"brush, 0", &ToolOptionPanel::sbBrushPressure, "0", "1", 1, false},
        {"brush, emptied", &ToolOptionPanel::sbBrushSize, "\b", "1", 1, false},
    };
    for (const Case& c : cases) {
        OptionTriad* t = (*panel).*c.triad;
        showFrame(static_cast<QFrame*>(t->UDT->parentWidget()));
        typeOver(t->UDT, c.keys);
        EXPECT_EQ(t->UDT->text().toStdString(), c.text) << c.what;
        EXPECT_TRUE(inStep(t, c.value)) << c.what;
        EXPECT_EQ(t->UDT->hasSelectedText(), c.selected) << c.what;
        if (c.selected) {
            EXPECT_EQ(t->UDT->selectedText(), c.text) << c.what;
        }
    }
    // The brush boxes take any key: a letter shows, the number before it
    // counts.
    typeOver(panel->sbBrushSize->UDT, "4a");
    EXPECT_EQ(panel->sbBrushSize->UDT->text(), "4a");
    EXPECT_EQ(panel->sbBrushSize->slider->Value(), 4);
    EXPECT_EQ(programSettings().BrushSize, 4);
}

TEST_F(OptionPanel, CtrlASelectsTheTextAndADigitPastThreeRings)
{
    initAll();
    for (OptionTriad* t : {panel->sbFillTolerance, panel->sbBrushSize}) {
        showFrame(static_cast<QFrame*>(t->UDT->parentWidget()));
        const int rings = ports.bell.rings;
        t->UDT->setFocus();
        t->UDT->end(false);
        QTest::keyClick(t->UDT, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(t->UDT->selectedText(), t->UDT->text());
        QTest::keyClicks(t->UDT, QStringLiteral("42"));
        EXPECT_TRUE(inStep(t, 42));
        EXPECT_EQ(ports.bell.rings, rings);
        QTest::keyClicks(t->UDT, QStringLiteral("5"));   // 425 is brought to 100
        EXPECT_TRUE(inStep(t, 100));
        // A fourth character is refused with the bell, never cut silently.
        QTest::keyClicks(t->UDT, QStringLiteral("7"));
        EXPECT_TRUE(inStep(t, 100));
        EXPECT_EQ(ports.bell.rings, rings + 1);
    }
}

TEST_F(OptionPanel, SliderAndArrowsKeepTheTriadInStep)
{
    initAll();
    OptionTriad* t = panel->sbFillPressure;
    showFrame(panel->Fill);
    typeOver(t->UDT, "40");
    ASSERT_TRUE(inStep(t, 40));

    // Upper arrow: one less; lower arrow: one more.
    QTest::mouseClick(t->UD, Qt::LeftButton, {}, QPoint(6, 3));
    EXPECT_TRUE(inStep(t, 39));
    QTest::mouseClick(t->UD, Qt::LeftButton, {}, QPoint(6, 16));
    QTest::mouseClick(t->UD, Qt::LeftButton, {}, QPoint(6, 16));
    EXPECT_TRUE(inStep(t, 41));

    // A drag: the slider is 96 pixels wide, a travel of 80 for 1..100, so
    // the thumb at Left 16 gives 1 + 16 / 80 * 99 = 20.8, that is 21.
    const QRectF thumb = t->slider->thumb();
    const QPoint grab(int(thumb.left()) + 8, 8);
    QTest::mousePress(t->slider, Qt::LeftButton, {}, grab);
    QTest::mouseMove(t->slider, QPoint(16 + 8, 8));
    QTest::mouseRelease(t->slider, Qt::LeftButton, {}, QPoint(16 + 8, 8));
    EXPECT_TRUE(inStep(t, 21));
}

TEST_F(OptionPanel, OnlyTheAirbrushPressureBoxSelectsItsTextOnFocus)
{
    initAll();
    showFrame(panel->AirBrush);
    QApplication::setActiveWindow(panel.get());
    QLineEdit* pressure = panel->sbAirbrushPressure->UDT;
    // Tabbing in is what makes a line edit select its text of its own.
    for (Qt::FocusReason reason : {Qt::TabFocusReason, Qt::BacktabFocusReason, Qt::MouseFocusReason,
                                   Qt::OtherFocusReason}) {
        for (OptionTriad* other : {panel->sbAirbrushSize, panel->sbAirBrushQuantity, panel->sbAirbrushDefinition}) {
            QLineEdit* box = other->UDT;
            pressure->deselect();
            box->deselect();
            box->clearFocus();
            pressure->setFocus(reason);
            EXPECT_EQ(pressure->selectedText(), pressure->text()) << reason;
            box->setFocus(reason);
            EXPECT_FALSE(box->hasSelectedText()) << reason << " " << box->objectName().toStdString();
            EXPECT_TRUE(box->hasFocus());
        }
    }
    // The same for the boxes of the other frames.
    showFrame(panel->Fill);
    for (OptionTriad* t : {panel->sbFillTolerance, panel->sbFillPressure}) {
        t->UDT->setFocus(Qt::TabFocusReason);
        EXPECT_FALSE(t->UDT->hasSelectedText()) << t->UDT->objectName().toStdString();
    }
}

TEST_F(OptionPanel, StartUpShowsTheFieldsInEveryControl)
{
    Settings& s = programSettings();
    s.BrushSize = 40;
    s.BrushPressure = 70;
    s.AirbrushDefinition = 1;   // the slider already holds 1: text and up-down still show it
    s.BrushMode = 4;
    s.BrushContinuous = false;
    s.SelectMode = 0;
    s.ShapeType = 6;
    s.MoveSelection = false;
    s.StampMask = true;
    s.GradientMode = 1;
    const Settings before = s;
    initAll();
    EXPECT_TRUE(inStep(panel->sbBrushSize, 40));
    EXPECT_TRUE(inStep(panel->sbBrushPressure, 70));
    EXPECT_TRUE(inStep(panel->sbAirbrushDefinition, 1));
    EXPECT_TRUE(inStep(panel->sbAirbrushSize, 75));
    EXPECT_TRUE(inStep(panel->sbGradFrequency, 1));
    EXPECT_TRUE(inStep(panel->cSelectionPressure, 50));
    EXPECT_EQ(panel->cbBrushMode->currentText(), "Lighten");
    EXPECT_FALSE(panel->chkContinuous->isChecked());
    EXPECT_EQ(panel->cbSelectionMode->currentText(), "Add");
    EXPECT_EQ(panel->lstShape->currentText(), "Polygon");
    EXPECT_EQ(panel->cSelectionMove->currentText(), "Move Content Only");
    EXPECT_EQ(panel->cbGradMode->currentText(), "Circular");
    // "Stamp mask" checked at start-up: "Mask color" cannot be changed.
    EXPECT_TRUE(panel->chkStampMask->isChecked());
    EXPECT_FALSE(panel->chkUseMaskColor->isEnabled());
    EXPECT_FALSE(panel->chkUseMaskColor->isChecked());
    // Filling the controls wrote back exactly what was read.
    EXPECT_TRUE(programSettings() == before);
}

TEST_F(OptionPanel, ListsAndChecksWriteTheirFields)
{
    initAll();
    Settings& s = programSettings();
    ASSERT_EQ(panel->cSelectionMove->currentText(), "Move Selection Only");
    panel->cSelectionMove->setCurrentIndex(1);
    EXPECT_FALSE(s.MoveSelection);
    panel->cbGradMode->setCurrentIndex(1);
    EXPECT_EQ(s.GradientMode, 1);
    panel->cbFillMode->setCurrentIndex(1);
    EXPECT_EQ(s.FillMode, 1);
    // A list keeps its selection for an index it does not hold.
    s.ShapeType = 9;
    panel->Shape_Init();
    EXPECT_EQ(panel->lstShape->currentIndex(), 0);

    showFrame(panel->Brush);
    QTest::mouseClick(panel->chkContinuous, Qt::LeftButton);
    EXPECT_FALSE(s.BrushContinuous);

    // "Stamp mask" switches "Mask color" off and on without touching its field.
    showFrame(panel->Stamp);
    s.StampUseMaskColor = false;
    QTest::mouseClick(panel->chkStampMask, Qt::LeftButton);
    EXPECT_FALSE(s.StampMask);
    EXPECT_TRUE(panel->chkUseMaskColor->isEnabled());
    QTest::mouseClick(panel->chkStampMask, Qt::LeftButton);
    EXPECT_TRUE(s.StampMask);
    EXPECT_FALSE(panel->chkUseMaskColor->isEnabled());
    EXPECT_FALSE(s.StampUseMaskColor);

    // The two triads of one field: the hidden one keeps its start-up value.
    showFrame(panel->SelectionMove);
    typeOver(panel->cSelectionPressure->UDT, "65");
    EXPECT_EQ(s.SelectPressure, 65);
    EXPECT_EQ(panel->sbSelectionPressure->slider->Value(), 50);
    EXPECT_EQ(panel->sbSelectionPressure->UDT->text(), "50");
}

TEST(OptionPanelRestart, AnOptionTypedInSurvivesARestart)
{
    QTemporaryDir programDir, runtimeDir;
    const std::filesystem::path program = programDir.path().toStdString();
    ScopedContext context;
    platform::TestPorts ports;
    platform::setProgramFolder(program.string());
    StartOptions o;
    o.programFolder = program;
    o.runtimeFolder = runtimeDir.path().toStdString();
    o.measure = characterTextWidth;
    {
        mStart shell(o);
        ASSERT_TRUE(shell.StartApplication());
        ToolOptionPanel& bar = *shell.main()->picStatus;
        EXPECT_TRUE(inStep(bar.sbFillTolerance, 25));   // the default
        bar.Tool_Frame();
        bar.Fill->show();
        bar.sbFillTolerance->UDT->selectAll();
        QTest::keyClicks(bar.sbFillTolerance->UDT, "60");
        EXPECT_EQ(programSettings().FillTolerance, 60);
        shell.main()->close();
        ASSERT_TRUE(shell.unloaded());
    }
    Settings onDisk;
    ASSERT_EQ(Module8::LoadSettings(onDisk, program), Module8::SettingsLoad::Loaded);
    EXPECT_EQ(onDisk.FillTolerance, 60);

    ScopedContext nextRun;
    {
        mStart shell(o);
        ASSERT_TRUE(shell.StartApplication());
        EXPECT_TRUE(inStep(shell.main()->picStatus->sbFillTolerance, 60));
        shell.main()->close();
    }
}

} // namespace tq::tools
