// The colour picker: its contract (Init), picking on the field and the
// slider in the six modes, typing and stepping with the keyboard timer,
// web-safe colours, the restore of the old colour, the layout rule and the
// marker it paints.
#include "colour/fGradient.h"

#include "gdi/SystemColours.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "support/TestPorts.h"
#include "widgets/UpDownBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace tq {

namespace {

int32_t swatchColour(const QLabel* swatch)
{
    const QColor c = swatch->palette().color(QPalette::Window);
    return rgbColor(c.red(), c.green(), c.blue());
}

bool webSafe(int32_t c)
{
    for (int v : {colorRed(c), colorGreen(c), colorBlue(c)})
        if (v % 51 != 0) return false;
    return (static_cast<uint32_t>(c) >> 24) == 0;
}

class fGradientTest : public ::testing::Test {
protected:
    // Init with what the user does inside the dialog while it is shown;
    // `user` ends by closing it one way or another.
    bool runInit(int32_t old, int32_t& out, const std::function<void(fGradient&)>& user)
    {
        QTimer::singleShot(0, &picker, [this, user] { user(picker); });
        // Never left waiting should the user's steps fail to close it.
        QTimer::singleShot(10000, &picker, [this] { picker.reject(); });
        return picker.Init(old, out);
    }

    // The dialog shown as a window, for its handlers without the modal loop.
    void show(int32_t colour, int mode = fGradient::kHue)
    {
        picker.show();
        QCoreApplication::processEvents();
        picker.opt_Click(mode);
        picker.setColor(colour);
        picker.pvRefresh();
    }

    static void type(QLineEdit* box, const char* text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    // A click of the left button at a point, (0, 0) included (QTest takes
    // a null point for the widget's centre).
    static void clickAt(QWidget* on, const QPoint& at)
    {
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, QPointF(at), QPointF(on->mapToGlobal(at)), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(on, &e);
        }
    }

    static void hover(QWidget* over, const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(over->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(over, &move);
    }

    ScopedContext context;
    platform::TestPorts ports;
    fGradient picker;
};

} // namespace

TEST_F(fGradientTest, NoColourShowsBlackAndOnlyOKGivesAColour)
{
    // The three ways of leaving without OK: the button, Escape, the close box.
    const std::function<void(fGradient&)> leave[] = {
        [](fGradient& p) { QTest::mouseClick(p.cmdCancel, Qt::LeftButton); },
        [](fGradient& p) { QTest::keyClick(&p, Qt::Key_Escape); },
        [](fGradient& p) { p.close(); },
    };
    for (const auto& how : leave) {
        int32_t c = 0x123456;
        int32_t shown = -2, old = -2;
        QString hex;
        const bool ok = runInit(-1, c, [&](fGradient& p) {
            shown = swatchColour(p.labNew);
            old = swatchColour(p.labOld);
            hex = p.txtNewColor->text();
            QTest::mouseClick(p.imgRect, Qt::LeftButton, {}, QPoint(3, 3));   // a pick, then no OK
            how(p);
        });
        EXPECT_FALSE(ok);
        EXPECT_EQ(c, 0x123456);
        EXPECT_EQ(shown, 0);
        EXPECT_EQ(old, 0);
        EXPECT_EQ(hex, "000000");
        EXPECT_FALSE(picker.isVisible());
    }
}

// The picker used to come up in one of two places by turns, wherever the
// user had left it.
TEST_F(fGradientTest, OpensWhereItWasLastClosed)
{
    int32_t c = 0;
    QPoint closedAt;
    runInit(0, c, [&](fGradient& p) {
        // Moved by the user: the window system moves it, not the program.
        p.windowHandle()->setPosition(p.windowHandle()->position() + QPoint(37, 23));
        QCoreApplication::processEvents();
        closedAt = p.pos();
        p.cmdCancel_Click();
    });
    for (int call = 0; call < 3; ++call) {
        const QPoint expected = closedAt;
        QPoint openedAt;
        runInit(0, c, [&](fGradient& p) {
            openedAt = p.pos();
            if (call == 1) {
                p.windowHandle()->setPosition(p.windowHandle()->position() + QPoint(-11, 5));
                QCoreApplication::processEvents();
                closedAt = p.pos();
            }
            p.cmdOK_Click();
        });
        EXPECT_EQ(openedAt, expected) << call;
    }
}

TEST_F(fGradientTest, OKReturnsThePickedColourAndASystemColourComesInAsRGB)
{
    int32_t face = 0;
    ASSERT_TRUE(systemColour(kColourButtonFace, face));
    int32_t c = -5;
    int32_t shown = -2;
    EXPECT_TRUE(runInit(static_cast<int32_t>(0x8000000F), c, [&](fGradient& p) {
        shown = p.Color();
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);
    }));
    EXPECT_EQ(shown, face);
    EXPECT_EQ(c, face);

    // Hue mode: the field's top-left corner is white, its bottom black.
    EXPECT_TRUE(runInit(0x0000FF, c, [](fGradient& p) {
        p.opt[fGradient::kHue]->click();
        clickAt(p.imgRect, QPoint(0, 0));
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);
    }));
    EXPECT_EQ(c, 0xFFFFFF);
    // A double-click on the field is OK (its first click picks).
    EXPECT_TRUE(runInit(0x0000FF, c, [](fGradient& p) {
        const QPoint at(20, p.FieldHeight() - 1);
        QTest::mouseClick(p.imgRect, Qt::LeftButton, {}, at);
        QTest::mouseDClick(p.imgRect, Qt::LeftButton, {}, at);
    }));
    EXPECT_EQ(c, 0);
}

TEST_F(fGradientTest, OKAppliesWhatWasTypedJustBefore)
{
    int32_t c = 0;
    EXPECT_TRUE(runInit(rgbColor(10, 20, 30), c, [](fGradient& p) {
        type(p.txt[fGradient::kRed], "200");
        EXPECT_EQ(p.tmrKeyboardTag(), "rgb");
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);   // well before the timer
    }));
    EXPECT_EQ(c, rgbColor(200, 20, 30));
}

TEST_F(fGradientTest, TypedValuesAreKeptInRangeAndAppliedByTheTimer)
{
    show(rgbColor(200, 100, 50));
    QLineEdit* hue = picker.txt[fGradient::kHue];
    type(hue, "4x00");
    EXPECT_EQ(hue->text(), "359");
    EXPECT_EQ(picker.upd[fGradient::kHue]->value(), 359);
    EXPECT_EQ(picker.tmrKeyboardTag(), "hsb");
    EXPECT_TRUE(picker.tmrKeyboard->isActive());
    EXPECT_EQ(picker.tmrKeyboard->interval(), 500);
    EXPECT_EQ(picker.Color(), rgbColor(200, 100, 50));   // not yet

    picker.tmrKeyboard_Timer();
    EXPECT_EQ(picker.CurrentHSB().H, 359);
    EXPECT_EQ(picker.Color(), pvHSBToRGB(pvMakeHSB(359, picker.CurrentHSB().S, picker.CurrentHSB().B)));
    EXPECT_EQ(picker.tmrKeyboardTag(), "");
    EXPECT_FALSE(picker.tmrKeyboard->isActive());

    hue->selectAll();
    QTest::keyClick(hue, Qt::Key_Backspace);
    EXPECT_EQ(hue->text(), "0");
    EXPECT_EQ(hue->selectedText(), "0");
}

TEST_F(fGradientTest, TypingIntoTheOtherGroupFirstAppliesThePendingOne)
{
    show(rgbColor(200, 100, 50));
    type(picker.txt[fGradient::kRed], "9");
    ASSERT_EQ(picker.tmrKeyboardTag(), "rgb");
    type(picker.txt[fGradient::kHue], "3");
    EXPECT_EQ(colorRed(picker.Color()), 9);
    EXPECT_EQ(colorGreen(picker.Color()), 100);
    EXPECT_EQ(picker.txt[fGradient::kHue]->text(), "3");   // what is being typed stays
    EXPECT_EQ(picker.tmrKeyboardTag(), "hsb");
    picker.tmrKeyboard_Timer();
    EXPECT_EQ(picker.CurrentHSB().H, 3);
}

TEST_F(fGradientTest, AnUpDownAppliesItsStepAtOnce)
{
    show(rgbColor(200, 100, 50));
    UpDownBar* red = picker.upd[fGradient::kRed];
    // The lower arrow raises the value, as on every vertical scroll bar.
    QTest::mouseClick(red, Qt::LeftButton, {}, QPoint(6, red->height() - 3));
    EXPECT_EQ(picker.txt[fGradient::kRed]->text(), "201");
    EXPECT_EQ(picker.Color(), rgbColor(201, 100, 50));
    EXPECT_EQ(picker.tmrKeyboardTag(), "");
    QTest::mouseClick(red, Qt::LeftButton, {}, QPoint(6, 3));
    QTest::mouseClick(red, Qt::LeftButton, {}, QPoint(6, 3));
    EXPECT_EQ(picker.Color(), rgbColor(199, 100, 50));
}

TEST_F(fGradientTest, PickedHueKeepsItsFractionAndShowsRoundedHalfToEven)
{
    // A slider of 719 pixels: each pixel half a degree.
    picker.setFixedSize(fGradient::kDesignWidth, 761);
    show(0x0000FF);
    ASSERT_EQ(picker.BarHeight(), 719);
    struct Case {
        int y;
        double hue;
        const char* shown;
    };
    const Case cases[] = {{633, 42.5, "42"}, {631, 43.5, "44"}, {0, 359, "359"}, {718, 0, "0"}, {900, 0, "0"}};
    for (const Case& c : cases) {
        QTest::mouseClick(picker.imgBar, Qt::LeftButton, {}, QPoint(10, c.y));
        EXPECT_EQ(picker.CurrentHSB().H, c.hue) << c.y;
        EXPECT_EQ(picker.txt[fGradient::kHue]->text(), c.shown) << c.y;
    }
}

TEST_F(fGradientTest, FieldPicksFollowTheModeAndStopAtTheEdges)
{
    show(rgbColor(10, 20, 30), fGradient::kRed);
    const int W = picker.FieldWidth(), H = picker.FieldHeight();
    // Red mode: green across, blue upwards, red kept.
    QTest::mouseClick(picker.imgRect, Qt::LeftButton, {}, QPoint(W - 1, 0));
    EXPECT_EQ(picker.Color(), rgbColor(10, 255, 255));
    QTest::mousePress(picker.imgRect, Qt::LeftButton, {}, QPoint(W / 2, H / 2));
    QTest::mouseMove(picker.imgRect, QPoint(-40, H + 40));   // dragged beyond the corner
    EXPECT_EQ(picker.Color(), rgbColor(10, 0, 0));
    QTest::mouseRelease(picker.imgRect, Qt::LeftButton, {}, QPoint(-40, H + 40));

    // Hovering without a press changes nothing.
    hover(picker.imgRect, QPoint(W / 2, H / 2));
    hover(picker.imgBar, QPoint(5, 5));
    EXPECT_EQ(picker.Color(), rgbColor(10, 0, 0));

    // Blue mode's slider sets blue.
    picker.opt[fGradient::kBlue]->click();
    QTest::mouseClick(picker.imgBar, Qt::LeftButton, {}, QPoint(5, 0));
    EXPECT_EQ(picker.Color(), rgbColor(10, 0, 255));
}

TEST_F(fGradientTest, AGreyLosesAPickedHueWhenTheModeChanges)
{
    show(rgbColor(90, 90, 90));
    QTest::mouseClick(picker.imgBar, Qt::LeftButton, {}, QPoint(5, picker.BarHeight() / 2));
    EXPECT_NE(picker.txt[fGradient::kHue]->text(), "0");
    EXPECT_EQ(picker.Color(), rgbColor(90, 90, 90));
    picker.opt[fGradient::kSat]->click();
    EXPECT_EQ(picker.txt[fGradient::kHue]->text(), "0");
}

TEST_F(fGradientTest, WebSafeColoursOnly)
{
    int32_t c = 0;
    const int32_t old = rgbColor(30, 140, 220);
    EXPECT_TRUE(runInit(old, c, [&](fGradient& p) {
        p.chkWebSafe->click();
        EXPECT_TRUE(p.WebSafe());
        EXPECT_FALSE(p.chkAccel->isEnabled());
        EXPECT_TRUE(webSafe(p.Color()));
        EXPECT_EQ(swatchColour(p.labOld), old);   // the old colour as it was
        for (int mode = fGradient::kHue; mode <= fGradient::kBlue; ++mode) {
            p.opt[mode]->click();
            for (const QPoint at : {QPoint(17, 30), QPoint(101, 7), QPoint(200, 188)}) {
                QTest::mouseClick(p.imgRect, Qt::LeftButton, {}, at);
                EXPECT_TRUE(webSafe(p.Color())) << mode << " " << p.Color();
                EXPECT_TRUE(webSafe(swatchColour(p.labNew)));
                QTest::mouseClick(p.imgBar, Qt::LeftButton, {}, QPoint(5, at.y()));
                EXPECT_TRUE(webSafe(p.Color())) << mode << " " << p.Color();
            }
        }
        type(p.txt[fGradient::kGreen], "77");
        p.tmrKeyboard_Timer();
        EXPECT_EQ(colorGreen(p.Color()), 102);
        // The old colour, snapped.
        QTest::mouseClick(p.labOld, Qt::LeftButton);
        EXPECT_EQ(p.Color(), rgbColor(51, 153, 204));
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);
    }));
    EXPECT_EQ(c, rgbColor(51, 153, 204));
    picker.chkWebSafe->click();   // the option lasts until it is turned off
    EXPECT_TRUE(picker.chkAccel->isEnabled());
}

TEST_F(fGradientTest, TheOldColourComesBack)
{
    int32_t c = 0;
    EXPECT_TRUE(runInit(rgbColor(1, 2, 3), c, [](fGradient& p) {
        QTest::mouseClick(p.imgRect, Qt::LeftButton, {}, QPoint(50, 50));
        EXPECT_NE(p.Color(), rgbColor(1, 2, 3));
        QTest::mouseClick(p.labOld, Qt::LeftButton);
        EXPECT_EQ(p.txtNewColor->text(), "010203");
        QTest::mouseClick(p.cmdOK, Qt::LeftButton);
    }));
    EXPECT_EQ(c, rgbColor(1, 2, 3));
}

TEST_F(fGradientTest, TheFieldWidthIsAMultipleOfSixAndTheFieldSquareAtTheDesignSize)
{
    struct Case {
        int w, h, fieldWidth, fieldHeight;
        bool additional;
    };
    picker.show();
    const Case cases[] = {
        {498, 288, 246, 246, true},
        {600, 390, 348, 348, true},
        {505, 288, 252, 246, true},
        {503, 300, 246, 258, true},
        {498, 200, 246, 158, false},
        {498, 288, 246, 246, true},   // and back
    };
    for (const Case& c : cases) {
        picker.setFixedSize(c.w, c.h);
        EXPECT_EQ(picker.FieldWidth(), c.fieldWidth) << c.w << "x" << c.h;
        EXPECT_EQ(picker.FieldWidth() % 6, 0);
        EXPECT_EQ(picker.FieldHeight(), c.fieldHeight) << c.w << "x" << c.h;
        EXPECT_EQ(picker.BarHeight(), picker.FieldHeight());
        EXPECT_EQ(picker.imgRect->geometry(), QRect(12, 12, c.fieldWidth, c.fieldHeight));
        EXPECT_EQ(picker.imgBar->geometry(), QRect(c.fieldWidth + 22, 12, 26, c.fieldHeight));
        EXPECT_EQ(picker.renderer().FieldPicture.pixelWidth(), c.fieldWidth);
        EXPECT_EQ(picker.picAdditional->isVisibleTo(&picker), c.additional) << c.h;
        EXPECT_EQ(picker.fraNumeric->height(), c.additional ? 186 : picker.picAdditional->y()) << c.h;
    }
}

TEST_F(fGradientTest, TheMarkerSitsWhereAClickGivesTheColour)
{
    show(rgbColor(200, 100, 50));
    const int FL = picker.imgRect->x(), FT = picker.imgRect->y();
    const int W = picker.FieldWidth(), H = picker.FieldHeight();
    for (int mode : {fGradient::kHue, fGradient::kSat, fGradient::kBri}) {
        picker.opt[mode]->click();
        for (const QPoint at : {QPoint(0, 0), QPoint(W - 1, H - 1), QPoint(37, 201), QPoint(150, 9)}) {
            clickAt(picker.imgRect, at);
            EXPECT_EQ(picker.markerCentre(), QPoint(FL, FT) + at) << mode;
        }
    }
    picker.opt[fGradient::kRed]->click();
    picker.setColor(rgbColor(9, 0, 255));
    EXPECT_EQ(picker.markerCentre(), QPoint(FL, FT));
    picker.setColor(rgbColor(9, 255, 0));
    EXPECT_EQ(picker.markerCentre(), QPoint(FL + W - 1, FT + H - 1));
    // The arrow's middle row on the slider's value.
    EXPECT_EQ(picker.arrowTop() + 3, picker.imgBar->y() + (255 - 9) * (H - 1) / 255);
}

TEST_F(fGradientTest, TheRingsStandOutOnGreys127And128)
{
    show(0, fGradient::kRed);
    struct Case {
        int grey;
        QRgb inner, middle, outer;
    };
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    const Case cases[] = {{127, black, white, black}, {128, white, black, white}};
    for (const Case& c : cases) {
        picker.setColor(c.grey * 0x010101);
        picker.pvRefresh();
        const QPoint m = picker.markerCentre();
        const QImage& image = picker.persistentImage();
        EXPECT_EQ(image.pixel(m.x(), m.y() - 3), c.inner) << c.grey;
        EXPECT_EQ(image.pixel(m.x(), m.y() - 4), c.middle) << c.grey;
        EXPECT_EQ(image.pixel(m.x(), m.y() - 5), c.outer) << c.grey;
    }
}

TEST_F(fGradientTest, TheArrowIsTwoInwardTriangles)
{
    const QImage& icon = picker.ArrowIcon().image();
    ASSERT_EQ(icon.size(), QSize(29, 7));
    const auto opaque = [&](int x, int y) { return qAlpha(icon.pixel(x, y)) != 0; };
    for (int y = 0; y < 7; ++y) {
        EXPECT_TRUE(opaque(0, y));
        EXPECT_TRUE(opaque(28, y));
        EXPECT_FALSE(opaque(14, y));
        EXPECT_EQ(opaque(3, y), y == 3);
        EXPECT_EQ(opaque(25, y), y == 3);
    }
    EXPECT_FALSE(opaque(4, 3));
}

} // namespace tq
