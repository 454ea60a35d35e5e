// The colour window: its two boxes and Settings.ActiveColor and SecondColor
// kept in step through selection, the editor, the picker and a colour picked
// from a picture; rolling up and back to its heights.
#include "ToolWindowFixture.h"

#include "colour/GradientColourPicker.h"
#include "colour/bColorTool.h"
#include "colour/fGradient.h"
#include "widgets/ColourSwatch.h"
#include "toolwindows/fToolColor.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <optional>

using namespace tq;
using namespace tq::testing;

namespace {

class ColourWindowTest : public ToolWindowFixture {
protected:
    void SetUp() override
    {
        ToolWindowFixture::SetUp();
        box = new fToolColor(main.get());
        box->move(300, 60);
        box->show();
        QCoreApplication::processEvents();
    }

    struct Seen {
        int32_t box0, box1, active, second;
        std::string hex;
        bool operator==(const Seen&) const = default;
    };
    Seen seen() const
    {
        const Settings& s = programSettings();
        return {box->cBox[0]->BackColor(), box->cBox[1]->BackColor(), s.ActiveColor, s.SecondColor,
                box->tHex->text().toStdString()};
    }

    fToolColor* box = nullptr;   // owned by the main window
};

} // namespace

TEST_F(ColourWindowTest, AFirstRunShowsWhiteAndBlackWithTheFirstBoxSelected)
{
    EXPECT_EQ(seen(), (Seen{0xFFFFFF, 0, 0xFFFFFF, 0, "#FFFFFF"}));
    EXPECT_EQ(box->SelectedColorIndex(), 0);
    EXPECT_EQ(box->high->geometry(), box->cBox[0]->geometry().adjusted(-1, -1, 2, 2));
    EXPECT_EQ(box->bCol->CurrentColor(), 0xFFFFFF);
    EXPECT_EQ(box->LMessage->text(), "Color Box");
    EXPECT_EQ(box->TL()->objectName(), "TL");
    EXPECT_EQ(box->parentWidget(), main.get());
}

TEST_F(ColourWindowTest, TheSelectedBoxIsTheActiveColourAndTheEditorEditsIt)
{
    QTest::mouseClick(box->cBox[1], Qt::LeftButton);
    EXPECT_EQ(box->SelectedColorIndex(), 1);
    EXPECT_EQ(box->high->geometry(), box->cBox[1]->geometry().adjusted(-1, -1, 2, 2));
    EXPECT_EQ(programSettings().ActiveColor, 0);
    // Selecting leaves the editor as it was.
    EXPECT_EQ(box->tHex->text(), "#FFFFFF");

    box->bCol->setcGreenValue(0);
    EXPECT_EQ(seen(), (Seen{0xFFFFFF, 0xFF00FF, 0xFF00FF, 0xFF00FF, "#FF00FF"}));

    QTest::mouseClick(box->cBox[0], Qt::LeftButton);
    EXPECT_EQ(programSettings().ActiveColor, 0xFFFFFF);
    box->bCol->setcRedValue(16);
    EXPECT_EQ(seen(), (Seen{0xFF0010, 0xFF00FF, 0xFF0010, 0xFF00FF, "#1000FF"}));
}

TEST_F(ColourWindowTest, APickerEditChangesTheBoxOnlyWhenAccepted)
{
    ports.colourPicker.answers = {std::nullopt, 0x336699};
    QTest::mouseClick(box->cBox[1], Qt::LeftButton);
    const Seen before = seen();
    QTest::mouseDClick(box->cBox[1], Qt::LeftButton);
    EXPECT_EQ(seen(), before);
    EXPECT_EQ(ports.colourPicker.asked, std::vector<int32_t>{0});   // box 1's colour

    QTest::mouseDClick(box->cBox[1], Qt::LeftButton);
    // The editor and its HTML text follow the colour just chosen.
    EXPECT_EQ(seen(), (Seen{0xFFFFFF, 0x336699, 0x336699, 0x336699, "#996633"}));
    EXPECT_EQ(box->bCol->CurrentColor(), 0x336699);
}

TEST_F(ColourWindowTest, APickedColourGoesIntoTheSelectedBoxThroughTheMainWindow)
{
    int changes = 0;
    QObject::connect(box->bCol, &bColorTool::Change, [&] { ++changes; });
    QTest::mouseClick(box->cBox[1], Qt::LeftButton);
    mainHost()->colourPicked(rgbColor(1, 2, 3));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(seen(), (Seen{0xFFFFFF, rgbColor(1, 2, 3), rgbColor(1, 2, 3), rgbColor(1, 2, 3), "#010203"}));

    // The same colour again, while the editor already shows it, still
    // reaches the newly selected box.
    QTest::mouseClick(box->cBox[0], Qt::LeftButton);
    mainHost()->colourPicked(rgbColor(1, 2, 3));
    EXPECT_EQ(seen(), (Seen{rgbColor(1, 2, 3), rgbColor(1, 2, 3), rgbColor(1, 2, 3), rgbColor(1, 2, 3), "#010203"}));
}

TEST_F(ColourWindowTest, RollsUpToItsCaptionAndBackToItsHeight)
{
    Settings& s = programSettings();
    EXPECT_EQ(box->height(), 121);   // 1815 twips
    box->pMm_Click();
    EXPECT_EQ(box->pMmTag(), "1");
    EXPECT_EQ(box->height(), 23);    // the strip's 240 twips and 100 more
    EXPECT_TRUE(s.ColorBoxCollapsed);
    box->resize(box->width(), 60);
    QTest::mouseClick(box->pMm, Qt::LeftButton);
    EXPECT_EQ(box->pMmTag(), "0");
    EXPECT_EQ(box->height(), 121);
    EXPECT_FALSE(s.ColorBoxCollapsed);
}

TEST_F(ColourWindowTest, TheProgramsPickerOpensFromABoxAndItsColourComesBack)
{
    GradientColourPicker picker;
    platform::ScopedPorts real(platform::Ports{.colourPicker = &picker});
    std::optional<int32_t> shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<fGradient*>(QApplication::activeModalWidget());
        if (!dialog) return;
        // Red mode: green across the field, blue up it.
        dialog->opt[fGradient::kRed]->click();
        const int W = dialog->FieldWidth(), H = dialog->FieldHeight();
        QTest::mouseClick(dialog->imgRect, Qt::LeftButton, {}, QPoint(W - 1, H - 1));
        shown = dialog->Color();
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    });
    QTest::mouseDClick(box->cBox[0], Qt::LeftButton);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(*shown, rgbColor(255, 255, 0));   // white's red kept
    EXPECT_EQ(seen(), (Seen{0x00FFFF, 0, 0x00FFFF, 0, "#FFFF00"}));
    EXPECT_FALSE(picker.form().isVisible());
}
