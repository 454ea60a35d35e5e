// The colour editor: its colour changes only through its three boxes, each
// change reported once per box write; clamping, the HTML text, bar drags
// (plain and web-safe), swatch selection, ramp picks, the ramp menu, the
// border styles and the design-time properties.
#include "colour/bColorTool.h"

#include "gdi/SystemColours.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "widgets/PropertyBag.h"
#include "support/TestPorts.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tq {

namespace {

class bColorToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&tool, &bColorTool::Change, [this] { changes.push_back(tool.CurrentColor()); });
        tool.show();
        QCoreApplication::processEvents();
    }

    void setColour(int r, int g, int b)
    {
        tool.setcRedValue(r);
        tool.setcGreenValue(g);
        tool.setcBlueValue(b);
        changes.clear();
    }

    // A drag step at surface x over the middle of a bar (0 red, 1 green,
    // 2 blue) with the left button down.
    void dragAt(int bar, int x) { tool.UserControl_MouseMove(Qt::LeftButton, x, tool.BarRect(bar).top + 2); }

    std::set<int> channels() const { return {tool.cRedValue(), tool.cGreenValue(), tool.cBlueValue()}; }

    ScopedContext context;
    platform::TestPorts ports;
    bColorTool tool;
    std::vector<int32_t> changes;
};

} // namespace

TEST_F(bColorToolTest, EachComponentWriteReportsOneChangeWithTheColourSoFar)
{
    tool.setcRedValue(10);
    tool.setcGreenValue(20);
    tool.setcBlueValue(30);
    EXPECT_EQ(changes, (std::vector<int32_t>{10, 10 + 20 * 256, 10 + 20 * 256 + 30 * 65536}));
    EXPECT_EQ(tool.CurrentColor(), 0x1E140A);
    EXPECT_EQ(tool.txtColor[1]->text(), "20");

    // A write that leaves the value as it is is reported as well, so a host
    // that copies the colour on every change always ends with it.
    changes.clear();
    tool.setcGreenValue(20);
    EXPECT_EQ(changes, std::vector<int32_t>{0x1E140A});
}

TEST_F(bColorToolTest, ComponentsAreClampedAndTheHtmlTextFollowsThem)
{
    struct Case {
        int r, g, b;
        int16_t storedRed;
        const char* html;
    };
    const Case cases[] = {
        {255, 0, 10, 255, "#FF000A"},
        {0, 128, 255, 0, "#0080FF"},
        {300, 5, 16, 255, "#FF0510"},
        {-5, 0, 0, 0, "#000000"},
    };
    for (const Case& c : cases) {
        tool.setcRedValue(c.r);
        tool.setcGreenValue(c.g);
        tool.setcBlueValue(c.b);
        EXPECT_EQ(tool.cRedValue(), c.storedRed) << c.r;
        EXPECT_EQ(tool.HTMLColor(), c.html) << c.r;
        EXPECT_EQ(tool.txtColor[0]->text().toInt(), c.storedRed) << c.r;
    }
}

TEST_F(bColorToolTest, TypedBoxesKeepTheirTextInRange)
{
    QLineEdit* red = tool.txtColor[0];
    red->setFocus();
    red->selectAll();
    QTest::keyClicks(red, "3a0-0");   // the letter and the sign never arrive
    EXPECT_EQ(red->text(), "255");
    EXPECT_EQ(tool.cRedValue(), 255);

    red->selectAll();
    QTest::keyClick(red, Qt::Key_Backspace);
    EXPECT_EQ(red->text(), "0");
    EXPECT_EQ(red->selectedText(), "0");   // selected, so the next digit replaces it
    EXPECT_EQ(tool.cRedValue(), 0);

    // Text that is no number (pasted) counts as 0.
    red->setText("x7");
    EXPECT_EQ(tool.cRedValue(), 0);
}

TEST_F(bColorToolTest, ABarDragSetsItsComponentFromThePointer)
{
    setColour(0, 0, 0);
    const int left = tool.BarRect(0).left;   // 70, value 0
    struct Case {
        int bar, x, value, markerLeft;
    };
    const Case cases[] = {
        {0, left, 0, left - 5},
        {0, left + 101, 255, left + 96},
        {1, left + 50, 126, left + 45},    // 50 x 255 / 101 = 126.2
        {2, 500, 255, left + 96},           // beyond the bar: its end
        {2, -20, 0, left - 5},
    };
    for (const Case& c : cases) {
        changes.clear();
        dragAt(c.bar, c.x);
        const int values[3] = {tool.cRedValue(), tool.cGreenValue(), tool.cBlueValue()};
        EXPECT_EQ(values[c.bar], c.value) << c.x;
        EXPECT_EQ(tool.MarkerRect(c.bar).left, c.markerLeft) << c.x;
        EXPECT_EQ(tool.MarkerRect(c.bar).top, tool.BarRect(c.bar).bottom) << c.x;
        EXPECT_EQ(changes.size(), 2u) << c.x;   // the box, then the step itself
    }
    // Without the left button only the markers are drawn again.
    changes.clear();
    tool.UserControl_MouseMove(Qt::NoButton, left + 30, tool.BarRect(0).top);
    tool.UserControl_MouseMove(Qt::RightButton, left + 30, tool.BarRect(0).top);
    EXPECT_TRUE(changes.empty());
}

TEST_F(bColorToolTest, InWebSafeModeABarDragGivesOnlyTheSixLevels)
{
    tool.mnuRamp_Click(3);
    ASSERT_TRUE(tool.WebSafe());
    const int left = tool.BarRect(1).left;
    const int levels[6] = {0, 51, 102, 153, 204, 255};
    const int positions[6] = {0, 20, 40, 61, 81, 101};
    for (int d = -3; d <= 104; ++d) {
        dragAt(1, left + d);
        const int v = tool.cGreenValue();
        const int k = static_cast<int>(std::find(levels, levels + 6, v) - levels);
        ASSERT_LT(k, 6) << d << " gave " << v;
        // The marker's apex stands on the level's place on the bar.
        EXPECT_EQ(tool.MarkerRect(1).left + 5, left + positions[k]) << d;
    }
}

TEST_F(bColorToolTest, TurningWebSafeModeOnOrOffSnapsTheColour)
{
    setColour(30, 128, 230);
    tool.mnuRamp_Click(3);
    EXPECT_EQ(tool.CurrentColor(), rgbColor(51, 153, 255));
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(tool.mnuRamp[3]->text(), "Show non-Web Safe Ramp");
    EXPECT_TRUE(tool.mnuRamp[3]->isChecked());

    tool.setcRedValue(100);
    tool.mnuRamp_Click(3);   // off again: the colour is snapped as well
    EXPECT_FALSE(tool.WebSafe());
    EXPECT_EQ(tool.CurrentColor(), rgbColor(102, 153, 255));
    EXPECT_EQ(tool.mnuRamp[3]->text(), "Make Ramp Web Safe");
}

TEST_F(bColorToolTest, GreyLevelsOfTheGreyscaleRamp)
{
    struct Case {
        int r, g, b, grey;
    };
    const Case cases[] = {
        {55, 55, 55, 51},      // 16 + 32 + 6 = 54, taken as 51
        {204, 204, 204, 203},  // 61 + 120 + 22
        {255, 255, 255, 255},
        {153, 153, 153, 153},
        {0, 0, 0, 0},
        {255, 0, 0, 76},       // 76.5 goes to the even 76
    };
    for (const Case& c : cases) EXPECT_EQ(bColorTool::greyLevel(c.r, c.g, c.b), c.grey) << c.r;

    // Picked from the ramp itself: the web-safe greyscale's 204 band.
    tool.mnuRamp_Click(3);
    tool.mnuRamp_Click(1);
    ASSERT_EQ(tool.cRampStyle(), 1);
    changes.clear();
    const int column = 4 * 190 / 6 + 5;   // inside the fifth band
    tool.picRamp_Mouse(Qt::LeftButton, QPoint(column, 10), true);
    EXPECT_EQ(tool.CurrentColor(), rgbColor(203, 203, 203));
    EXPECT_EQ(changes.size(), 3u);
}

TEST_F(bColorToolTest, APickFromTheSpectrumTakesThePixelUnderThePointer)
{
    const QPoint at(40, 7);
    const QRgb px = tool.picRamp->Picture.pixel(at);
    tool.picRamp_Mouse(Qt::LeftButton, at, true);
    EXPECT_EQ(tool.CurrentColor(), rgbColor(qRed(px), qGreen(px), qBlue(px)));
    EXPECT_EQ(tool.PickedColor(), tool.CurrentColor());
    EXPECT_EQ(tool.picLeft->BackColor(), tool.CurrentColor());   // the edited swatch

    // The corner of white and black beyond the colours, and black off the ramp.
    tool.picRamp_Mouse(Qt::LeftButton, QPoint(193, 2), false);
    EXPECT_EQ(tool.CurrentColor(), 0xFFFFFF);
    tool.picRamp_Mouse(Qt::LeftButton, QPoint(193, 12), false);
    EXPECT_EQ(tool.CurrentColor(), 0);
    tool.picRamp_Mouse(Qt::LeftButton, QPoint(40, 7), false);
    tool.picRamp_Mouse(Qt::LeftButton, QPoint(-4, 40), false);
    EXPECT_EQ(tool.CurrentColor(), 0);
}

TEST_F(bColorToolTest, SelectingASwatchEditsItsColour)
{
    setColour(1, 2, 3);
    QTest::mouseClick(tool.picRight, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(tool.EditedSwatch(), 1);
    EXPECT_EQ(tool.CurrentColor(), 0xFFFFFF);   // the right swatch's colour
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(tool.picSelRect->geometry(), QRect(21, 21, 26, 26));

    tool.setcBlueValue(0);
    EXPECT_EQ(tool.picRight->BackColor(), 0x00FFFF);
    EXPECT_EQ(tool.picLeft->BackColor(), rgbColor(1, 2, 3));

    QTest::mouseClick(tool.picLeft, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(tool.EditedSwatch(), 0);
    EXPECT_EQ(tool.CurrentColor(), rgbColor(1, 2, 3));
    EXPECT_EQ(tool.picSelRect->geometry(), QRect(9, 9, 26, 26));
}

TEST_F(bColorToolTest, TheRampMenuSwitchesThePictureAndItsTicks)
{
    EXPECT_TRUE(tool.mnuRamp[0]->isChecked());   // the spectrum at first
    tool.mnuRamp[1]->trigger();   // as the user chooses it
    EXPECT_EQ(tool.cRampStyle(), 1);
    EXPECT_FALSE(tool.mnuRamp[0]->isChecked());
    EXPECT_TRUE(tool.mnuRamp[1]->isChecked());
    EXPECT_EQ(tool.picRamp->Picture.pixel(0, 7), qRgb(0, 0, 0));
    EXPECT_EQ(tool.picRamp->Picture.pixel(189, 7), qRgb(255, 255, 255));

    tool.mnuRamp[3]->trigger();
    EXPECT_TRUE(tool.WebSafe());
    EXPECT_TRUE(tool.mnuRamp[3]->isChecked());
    EXPECT_EQ(tool.picRamp->Picture.pixel(40, 7), qRgb(52, 52, 52));   // the web-safe greyscale

    tool.setcRampStyle(0);
    EXPECT_TRUE(tool.mnuRamp[0]->isChecked());
    EXPECT_FALSE(tool.mnuRamp[1]->isChecked());
    for (int x = 0; x < 190; x += 7) {
        const QRgb px = tool.picRamp->Picture.pixel(x, 3);
        for (int v : {qRed(px), qGreen(px), qBlue(px)}) EXPECT_EQ(v % 51, 0) << x;
    }
}

TEST_F(bColorToolTest, TheBorderStyleDecidesTheFrame)
{
    int32_t face = 0;
    ASSERT_TRUE(systemColour(kColourButtonFace, face));
    const QRgb plain = qRgb(colorRed(face), colorGreen(face), colorBlue(face));
    const QRgb corner = tool.surface().pixel(0, 0);
    EXPECT_EQ(corner, plain);
    tool.setBorderStyle(4);   // bump: raised outside
    EXPECT_NE(tool.surface().pixel(0, 0), plain);
    EXPECT_NE(tool.surface().pixel(1, 1), plain);
    tool.setBorderStyle(6);   // no such style: no border
    EXPECT_EQ(tool.surface().pixel(0, 0), plain);
    EXPECT_EQ(tool.BorderStyle(), 6);
}

TEST_F(bColorToolTest, DesignTimePropertiesGoIntoTheStoredValuesOnly)
{
    PropertyBag bag;
    bag.WriteProperty("cRedValue", 12, 0);
    bag.WriteProperty("CGREENVALUE", 34, 0);   // keys in any case
    bag.WriteProperty("cRampStyle", 1, 0);
    bag.WriteProperty("CurrentColor", 0x22100C, 0);
    tool.ReadProperties(bag);
    EXPECT_EQ(tool.cRedValue(), 12);
    EXPECT_EQ(tool.cGreenValue(), 34);
    EXPECT_EQ(tool.CurrentColor(), 0x22100C);
    EXPECT_EQ(tool.cRampStyle(), 1);
    EXPECT_TRUE(tool.mnuRamp[1]->isChecked());
    EXPECT_EQ(tool.txtColor[0]->text(), "0");   // the boxes are left alone
    EXPECT_TRUE(changes.empty());

    PropertyBag out;
    tool.WriteProperties(out);
    EXPECT_EQ(out.ReadProperty("cGreenValue", 0).toInt(), 34);
    EXPECT_EQ(out.ReadProperty("cBlueValue", 0).toInt(), 0);
    EXPECT_FALSE(out.contains("cBlueValue"));   // defaults are not written
}

// The colour window sets the components at load, before the editor is
// first shown; the resize of that first show must not put the markers back
// at the left ends while the boxes read the values.
TEST_F(bColorToolTest, MarkersShowTheValuesSetBeforeTheFirstShow)
{
    struct Case {
        int r, g, b;
    };
    const Case cases[] = {{255, 255, 255}, {0, 128, 255}, {10, 0, 200}};
    for (const Case& c : cases) {
        bColorTool fresh;
        fresh.setcRedValue(c.r);
        fresh.setcGreenValue(c.g);
        fresh.setcBlueValue(c.b);
        fresh.show();
        QCoreApplication::processEvents();
        const int values[3] = {c.r, c.g, c.b};
        for (int bar = 0; bar < 3; ++bar) {
            // The apex (left + 5) stands at the value's column: 255 at 70 + 101.
            const int apex = rnd(values[bar] * 101.0 / 255.0) + 70;
            EXPECT_EQ(fresh.MarkerRect(bar).left + 5, apex) << c.r << " " << c.g << " " << c.b << " bar " << bar;
        }
    }
}

TEST_F(bColorToolTest, KeepsItsOwnSize)
{
    tool.resize(400, 300);
    EXPECT_EQ(tool.size(), QSize(211, 103));
    EXPECT_FLOAT_EQ(tool.ValueScale(), 255.0f / 101.0f);
}

} // namespace tq
