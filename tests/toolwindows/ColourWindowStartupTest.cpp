// The colour window and the picker in a started program: loaded, placed
// and rolled up by the start-up, toggled by the "&Windows" menu, its colours
// kept in the settings file from one run to the next, and the program's
// picker answering every swatch.
#include "colour/GradientColourPicker.h"
#include "colour/bColorTool.h"
#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "mainwindow/fMain.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "platform/PlatformContext.h"
#include "support/TestPorts.h"
#include "toolwindows/ToolWindows.h"
#include "widgets/ColourSwatch.h"
#include "toolwindows/fToolColor.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tq;
namespace fs = std::filesystem;

namespace {

struct ColourWindowStartupTest : StartedProgramFixture {
    BuiltToolWindows registered;

    static fToolColor* colourWindow(const mStart& shell) { return qobject_cast<fToolColor*>(shell.toolWindow(0)); }

    Settings saved() const
    {
        Settings s;
        EXPECT_EQ(Module8::LoadSettings(s, program), Module8::SettingsLoad::Loaded);
        return s;
    }
};

} // namespace

TEST_F(ColourWindowStartupTest, ShownAtItsPlaceAndToggledByTheWindowsMenu)
{
    auto shell = start();   // a first run: no settings file yet
    fToolColor* w = colourWindow(*shell);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), shell->main());
    EXPECT_TRUE(w->isVisible());
    // 8775 twips from the left; 1125 twips from the top, or lower where the
    // main window's option panel reaches further down.
    const QPoint place(585, programSettings().ColorBoxTop / 15);
    EXPECT_GE(place.y(), 75);
    EXPECT_EQ(w->pos(), place);
    EXPECT_EQ(w->cBox[0]->BackColor(), 0xFFFFFF);
    EXPECT_EQ(w->cBox[1]->BackColor(), 0);
    QAction* item = shell->menus().item("VIEWS", 4);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(item->isChecked());

    // Closed by its button, shown again by the menu with everything kept.
    QTest::mouseClick(w->cBox[1], Qt::LeftButton);
    w->bCol->setcBlueValue(200);
    QTest::mouseClick(w->pExit, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(programSettings().ColorBoxVisible);
    w->move(0, 0);
    shell->VIEWS_Click(4);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->pos(), place);
    EXPECT_EQ(w->SelectedColorIndex(), 1);
    EXPECT_EQ(w->cBox[1]->BackColor(), rgbColor(255, 255, 200));
    EXPECT_EQ(w->tHex->text(), "#FFFFC8");

    shell->VIEWS_Click(4);
    EXPECT_FALSE(w->isVisible());
    shell->main()->close();
    EXPECT_FALSE(saved().ColorBoxVisible);
}

TEST_F(ColourWindowStartupTest, ComesBackRolledUpWhenItWasLeftSo)
{
    auto shell = startWith([](Settings& s) {
        s.ColorBoxCollapsed = true;
        s.ColorBoxLeft = 40 * 15;
        s.ColorBoxTop = 30 * 15;
    });
    fToolColor* w = colourWindow(*shell);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->pos(), QPoint(40, 30));
    EXPECT_EQ(w->pMmTag(), "1");
    EXPECT_EQ(w->height(), 23);
    w->pMm_Click();
    EXPECT_EQ(w->height(), 121);
    shell->main()->close();
    EXPECT_FALSE(saved().ColorBoxCollapsed);
}

TEST_F(ColourWindowStartupTest, BothBoxesKeepTheirColoursFromOneRunToTheNext)
{
    {
        auto shell = start();
        fToolColor* w = colourWindow(*shell);
        ASSERT_NE(w, nullptr);
        w->bCol->setcRedValue(0x11);   // box 0: (0x11, 0xFF, 0xFF)
        QTest::mouseClick(w->cBox[1], Qt::LeftButton);
        shell->main()->colourPicked(0x445566);
        shell->main()->close();
    }
    const Settings s = saved();
    EXPECT_EQ(s.ActiveColor, 0x445566);   // box 1 was selected
    EXPECT_EQ(s.SecondColor, 0x445566);

    // Box 0 comes back with its own colour, selected again.
    auto shell = start();
    fToolColor* w = colourWindow(*shell);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->SelectedColorIndex(), 0);
    EXPECT_EQ(w->cBox[0]->BackColor(), 0xFFFF11);
    EXPECT_EQ(w->cBox[1]->BackColor(), 0x445566);
    EXPECT_EQ(programSettings().ActiveColor, 0xFFFF11);
    EXPECT_EQ(w->tHex->text(), "#11FFFF");
}

TEST_F(ColourWindowStartupTest, ARecordWithoutTheFirstBoxTakesTheActiveColourForIt)
{
    auto shell = startWith([](Settings& s) {
        s.ColorSpare = 0;   // as every record written before kept it
        s.ActiveColor = 0x0000C0;
        s.SecondColor = 0x00C000;
    });
    fToolColor* w = colourWindow(*shell);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->cBox[0]->BackColor(), 0x0000C0);
    EXPECT_EQ(w->cBox[1]->BackColor(), 0x00C000);
    EXPECT_EQ(programSettings().ActiveColor, 0x0000C0);
}

TEST_F(ColourWindowStartupTest, TheProgramsPickerAnswersEverySwatch)
{
    // The desktop's own ports, as the program starts with them.
    platform::ScopedPorts desktop(platform::defaultPlatformContext().ports);
    platform::ColourPicker* plain = platform::ports().colourPicker;
    {
        mStart shell(options());
        EXPECT_NE(dynamic_cast<GradientColourPicker*>(platform::ports().colourPicker), nullptr);
    }
    EXPECT_EQ(platform::ports().colourPicker, plain);

    // A test's double stays in place.
    platform::FakeColourPicker fake;
    platform::ScopedPorts doubles(platform::Ports{.colourPicker = &fake});
    mStart shell(options());
    EXPECT_EQ(platform::ports().colourPicker, &fake);
}
