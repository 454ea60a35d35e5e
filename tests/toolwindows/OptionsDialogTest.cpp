// The thumbnail options dialog: boxes, up-downs and the preview kept in
// step, the drag handles and their limits, what OK and Cancel store and
// apply, and the "OPTIONS" command that opens it.
#include "document/SettingsFile.h"
#include "document/PictureFixtures.h"
#include "document/PictureRouting.h"
#include "toolwindows/fOptions.h"
#include "toolwindows/fToolBrowser.h"
#include "mainwindow/CommandFixture.h"
#include "widgets/ColourSwatch.h"
#include "widgets/UpDownBar.h"
#include "TextFit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace tq;
using tq::testing::CommandFixture;

namespace {

class OptionsTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        programSettings() = defaultSettings(programDir.path().toStdString());
    }
    std::filesystem::path settingsFile() const { return Module8::SettingsFile(programDir.path().toStdString()); }
    Settings savedSettings() const
    {
        Settings s;
        EXPECT_EQ(Module8::LoadSettings(s, programDir.path().toStdString()), Module8::SettingsLoad::Loaded);
        return s;
    }
};

} // namespace

TEST_F(OptionsTest, AStoredSizeBeyondTheBarsOpensClampedInTheBoxesButNotInThePreview)
{
    programSettings().ThumbWidth = 300;
    programSettings().ThumbHeight = 300;
    fOptions o(main.get());
    EXPECT_EQ(o.windowTitle(), "Thumbnails Options");
    EXPECT_EQ(o.txtThumbnailWidth->text(), "210");
    EXPECT_EQ(o.txtThumbnailHeight->text(), "194");
    EXPECT_EQ(o.WWS->value(), 210);
    EXPECT_EQ(o.HHS->value(), 194);
    EXPECT_EQ(o.picThumb->size(), QSize(300, 300));
    EXPECT_EQ(o.picSize[0]->pos(), QPoint(147, 300));
    EXPECT_EQ(o.picSize[1]->pos(), QPoint(300, 300));
    EXPECT_EQ(o.picSize[2]->pos(), QPoint(300, 147));
    ASSERT_FALSE(std::filesystem::exists(settingsFile()));
    o.cmdOK_Click();
    EXPECT_EQ(programSettings().ThumbWidth, 210);
    EXPECT_EQ(programSettings().ThumbHeight, 194);
    const Settings saved = savedSettings();
    EXPECT_EQ(saved.ThumbWidth, 210);
    EXPECT_EQ(saved.ThumbHeight, 194);
}

TEST_F(OptionsTest, NoCaptionIsCut)
{
    TQ_REQUIRE_BUNDLED_FONT();
    tq::testing::TextFitFonts fonts;
    fOptions o(main.get());
    o.show();
    EXPECT_EQ(tq::testing::describe(tq::testing::cutTexts(&o)), "");
}

TEST_F(OptionsTest, BoxesAndBarsKeepInStep)
{
    fOptions o(main.get());
    o.show();
    EXPECT_EQ(o.txtThumbnailWidth->text(), "70");
    EXPECT_EQ(o.WWS->value(), 70);

    o.txtThumbnailWidth->setText("");
    EXPECT_EQ(o.txtThumbnailWidth->text(), "17");
    EXPECT_EQ(o.txtThumbnailWidth->selectedText(), "17");
    EXPECT_EQ(o.WWS->value(), 17);
    EXPECT_EQ(o.picThumb->width(), 17);

    o.txtThumbnailWidth->setText("999");
    EXPECT_EQ(o.txtThumbnailWidth->text(), "210");
    o.txtThumbnailHeight->setText("999");
    EXPECT_EQ(o.txtThumbnailHeight->text(), "194");
    EXPECT_EQ(o.picThumb->size(), QSize(210, 194));
    // A typed or scrolled change places the handles from the preview area's
    // own place: the bottom one 4 pixels left of where a drag puts it.
    EXPECT_EQ(o.picSize[0]->pos(), QPoint(98, 194));
    EXPECT_EQ(o.picSize[2]->pos(), QPoint(210, 94));

    // The up-down moves the box; the keys reach the box only as digits.
    o.WWS->setValue(100);
    EXPECT_EQ(o.txtThumbnailWidth->text(), "100");
    o.txtThumbnailWidth->setFocus();
    o.txtThumbnailWidth->setCursorPosition(3);
    QTest::keyClick(o.txtThumbnailWidth, Qt::Key_A);
    QTest::keyClick(o.txtThumbnailWidth, Qt::Key_Minus);
    EXPECT_EQ(o.txtThumbnailWidth->text(), "100");
    QTest::keyClick(o.txtThumbnailWidth, Qt::Key_5);
    EXPECT_EQ(o.txtThumbnailWidth->text(), "210") << "1005 is above the bar's range";
    o.txtThumbnailWidth->setCursorPosition(3);
    QTest::keyClick(o.txtThumbnailWidth, Qt::Key_Backspace);
    EXPECT_EQ(o.txtThumbnailWidth->text(), "21");
    EXPECT_EQ(o.WWS->value(), 21);
}

TEST_F(OptionsTest, DraggingTheHandles)
{
    fOptions o(main.get());
    o.show();
    ASSERT_EQ(o.picSize[1]->pos(), QPoint(70, 60));

    // The corner below 17 either way: the boxes and bars stop at 17 and the
    // preview snaps back to it...
    o.picSize_MouseDown(1, QPoint(3, 3));
    o.picSize_MouseMove(1, QPoint(3 - 60, 3 - 50), Qt::LeftButton);
    EXPECT_EQ(o.txtThumbnailWidth->text(), "17");
    EXPECT_EQ(o.txtThumbnailHeight->text(), "17");
    EXPECT_EQ(o.WWS->value(), 17);
    EXPECT_EQ(o.picThumb->size(), QSize(17, 17));
    // ...then, with the bars already at 17, follows the drag below it.
    o.picSize_MouseMove(1, QPoint(3 - 5, 3 - 5), Qt::LeftButton);
    EXPECT_EQ(o.picThumb->size(), QSize(12, 12));
    EXPECT_EQ(o.txtThumbnailWidth->text(), "17");

    // Past the preview area: 210 x 194.
    o.picSize_MouseMove(1, QPoint(3 + 500, 3 + 500), Qt::LeftButton);
    EXPECT_EQ(o.picThumb->size(), QSize(210, 194));
    EXPECT_EQ(o.txtThumbnailHeight->text(), "194");

    // The bottom handle changes only the height, the right one only the width.
    o.picSize_MouseDown(0, QPoint(3, 3));
    o.picSize_MouseMove(0, QPoint(60, 3 - 40), Qt::LeftButton);
    EXPECT_EQ(o.picThumb->size(), QSize(210, 154));
    o.picSize_MouseDown(2, QPoint(3, 3));
    o.picSize_MouseMove(2, QPoint(3 - 100, 80), Qt::LeftButton);
    EXPECT_EQ(o.picThumb->size(), QSize(110, 154));
    // The bar moved with the box, so the handles are placed as for a typed
    // size: (110 - 8) / 2 - 3.
    EXPECT_EQ(o.picSize[0]->pos(), QPoint(48, 154));
    // Another button, or none, moves nothing.
    o.picSize_MouseMove(2, QPoint(3 - 50, 3), Qt::RightButton);
    o.picSize_MouseMove(2, QPoint(3 - 50, 3), Qt::LeftButton | Qt::RightButton);
    o.picSize_MouseMove(2, QPoint(3 - 50, 3), Qt::NoButton);
    EXPECT_EQ(o.picThumb->width(), 110);

    // Through the mouse itself.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&o));
    QTest::mousePress(o.picSize[2], Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseMove(o.picSize[2], QPoint(13, 3));
    QTest::mouseRelease(o.picSize[2], Qt::LeftButton, {}, QPoint(13, 3));
    EXPECT_EQ(o.txtThumbnailWidth->text(), "120");

    o.cmdOK_Click();
    EXPECT_EQ(programSettings().ThumbWidth, 120);
    EXPECT_EQ(programSettings().ThumbHeight, 154);
}

TEST_F(OptionsTest, QualityStaysChosenThroughCancelButColourAndSizeDoNot)
{
    programSettings().ThumbQuality = 0;
    programSettings().ShowFileName = 0;
    {
        fOptions o(main.get());
        EXPECT_TRUE(o.optThumbnailQuality[0]->isChecked());
        EXPECT_FALSE(o.chkThumbnailShowFilename->isChecked());
        EXPECT_TRUE(o.chkThumbnailShowResolution->isChecked());
        o.show();
        QTest::mouseClick(o.optThumbnailQuality[1], Qt::LeftButton);
        EXPECT_EQ(programSettings().ThumbQuality, 1);
        ports.colourPicker.answers.push_back(0x00FF00);
        o.pThumbnailWorkspaceBackground_Click();
        EXPECT_EQ(o.pThumbnailWorkspaceBackground->BackColor(), 0x00FF00);
        o.txtThumbnailWidth->setText("50");
        o.cmdCancel_Click();
    }
    EXPECT_EQ(programSettings().ThumbQuality, 1);
    EXPECT_EQ(programSettings().ThumbBackColor, 0xFFFFFF);
    EXPECT_EQ(programSettings().ThumbWidth, 70);
    EXPECT_FALSE(std::filesystem::exists(settingsFile())) << "Cancel writes nothing";
    ASSERT_EQ(ports.colourPicker.asked.size(), 1u);
    EXPECT_EQ(ports.colourPicker.asked[0], 0xFFFFFF);

    // A stored quality outside 0 and 1 shows the designed "Resample" and
    // is left as it is.
    programSettings().ThumbQuality = 7;
    fOptions o(main.get());
    EXPECT_TRUE(o.optThumbnailQuality[1]->isChecked());
    EXPECT_EQ(programSettings().ThumbQuality, 7);
    // A cancelled pick changes nothing.
    o.pThumbnailWorkspaceBackground_Click();
    EXPECT_EQ(o.pThumbnailWorkspaceBackground->BackColor(), 0xFFFFFF);
    // Esc does not cancel.
    o.show();
    QTest::keyClick(&o, Qt::Key_Escape);
    EXPECT_TRUE(o.isVisible());
}

TEST_F(OptionsTest, OkAppliesToTheBrowserAndWritesTheSettingsFile)
{
    const std::string folder = programDir.path().toStdString() + "/pics";
    std::filesystem::create_directories(folder);
    for (const char* name : {"/a.png", "/b.png"})
        ASSERT_TRUE(mBitmap::SaveImageFile(folder + name, "png", tq::testing::makePicture(20, 10)));
    programSettings().BrowserFolder.assign(folder);
    auto* browser = new fToolBrowser(main.get());
    browser->setObjectName(QStringLiteral("fToolBrowser"));
    browser->show();

    // In a list view only the panel's colour changes.
    {
        fOptions o(main.get());
        ports.colourPicker.answers.push_back(0x102030);
        o.pThumbnailWorkspaceBackground_Click();
        o.txtThumbnailWidth->setText("100");
        o.cmdOK_Click();
    }
    EXPECT_EQ(browser->picSlide->palette().color(QPalette::Window), QColor(0x30, 0x20, 0x10));
    EXPECT_EQ(browser->optThumb[0]->width(), 70) << "no cell is touched";
    EXPECT_EQ(savedSettings().ThumbWidth, 100);
    EXPECT_EQ(savedSettings().ThumbBackColor, 0x102030);

    // In the thumbnail view every cell takes the new size and the grid is
    // laid out again; the pictures are not made again.
    browser->tb_ButtonClick(8);
    ports.timers.runAll();
    ASSERT_EQ(browser->optThumb.size(), 3u);
    const QSize iconBefore = browser->optThumb[1]->iconSize();
    {
        fOptions o(main.get());
        o.txtThumbnailWidth->setText("120");
        o.txtThumbnailHeight->setText("90");
        o.chkThumbnailShowResolution->setChecked(false);
        o.cmdOK_Click();
    }
    for (QToolButton* cell : browser->optThumb) EXPECT_EQ(cell->size(), QSize(120, 90));
    EXPECT_EQ(browser->optThumb[1]->iconSize(), iconBefore);
    // Names shown, sizes hidden: rows 1.3 cells apart.
    const int k = std::max(1, (browser->picFrame->width() - 75) / 120);
    EXPECT_EQ(browser->optThumb[1]->pos(), QPoint(1 % k == 0 ? 0 : 128, 1 / k * 117));
    EXPECT_EQ(browser->optThumb[2]->pos(), QPoint(2 % k == 0 ? 0 : int(std::nearbyint((2 % k) * 1.07 * 120)), 2 / k * 117));
    EXPECT_FALSE(browser->optResolution[1]->isVisibleTo(browser));
    EXPECT_EQ(savedSettings().ShowResolution, 0);
}

TEST_F(OptionsTest, TheOptionsCommandOpensTheDialogModally)
{
    main->MenuStatic("OPTIONS");
    fOptions* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* o = qobject_cast<fOptions*>(w); o && o->isVisible()) dialog = o;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog->parentWidget(), main.get());
    QPointer<fOptions> guard(dialog);
    dialog->cmdCancel_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull()) << "the dialog unloads itself";
}
