// The new-image dialog: its state at the first opening and afterwards, the
// standard sizes and spin bars, the background choices, and the document OK
// makes.
#include "DialogFixture.h"

#include "dialogs/SizeBoxPair.h"
#include "dialogs/fNew.h"
#include "widgets/ColourSwatch.h"
#include "platform/Folders.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace tq {
namespace {

class NewDialog : public testing::DialogFixture {
protected:
    fNew* openNew() { return open<fNew>("NEW", "New", true); }

    // The document OK made: the active one, when it is not `before`.
    fImage* made(fImage* before = nullptr)
    {
        fImage* doc = activeDocument();
        return doc != before ? doc : nullptr;
    }
    QStringList items(const fNew* dlg) const
    {
        QStringList list;
        for (int i = 0; i < dlg->cbDefault->count(); ++i) list << dlg->cbDefault->itemText(i);
        return list;
    }
};

} // namespace

TEST_F(NewDialog, FirstOpeningAndStandardSizes)
{
    fNew* dlg = openNew();   // no document is needed
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->cbDefault->currentText(), "Custom...");
    EXPECT_EQ(items(dlg), QStringList({"Custom...", "240 x 320", "320 x 240", "480 x 640", "640 x 480", "600 x 800",
                                       "800 x 600", "768 x 1024", "1024 x 768"}));
    EXPECT_EQ(text(dlg->txtW), "100");
    EXPECT_EQ(text(dlg->txtH), "100");
    EXPECT_EQ(dlg->txtWW->value(), 100);
    EXPECT_EQ(dlg->txtHH->value(), 100);
    EXPECT_TRUE(dlg->OP[0]->isChecked());
    EXPECT_FALSE(dlg->chkKeepProportions->isChecked());

    // The ratio at first is 1 : 1.
    dlg->chkKeepProportions->setChecked(true);
    type(dlg->txtW, "250");
    EXPECT_EQ(text(dlg->txtH), "250");

    // A standard size fills both boxes whether or not proportions are kept.
    for (bool keep : {true, false}) {
        dlg->chkKeepProportions->setChecked(keep);
        choose(dlg->cbDefault, 6);
        EXPECT_EQ(text(dlg->txtW), "800");
        EXPECT_EQ(text(dlg->txtH), "600");
    }

    // And becomes the reference of the proportions.
    dlg->chkKeepProportions->setChecked(true);
    choose(dlg->cbDefault, 4);
    struct Case {
        const char* width;
        const char* height;
    } cases[] = {{"320", "240"}, {"2", "2"} /* 1.5 to 2 */, {"6", "4"} /* 4.5 to 4 */};
    for (const Case& c : cases) {
        type(dlg->txtW, c.width);
        EXPECT_EQ(text(dlg->txtH), c.height) << c.width;
    }
    type(dlg->txtW, "");
    EXPECT_EQ(text(dlg->txtW), "0");
    EXPECT_EQ(text(dlg->txtH), "0");
    // Out of the bars' ranges (5 to 1600, 5 to 1260) the bars stay at the
    // last number in range: 6 typed into the width, 240 written into the height.
    EXPECT_EQ(dlg->txtWW->value(), 6);
    EXPECT_EQ(dlg->txtHH->value(), 240);
}

TEST_F(NewDialog, SpinBarsFollowTheBoxesWithinTheirRange)
{
    fNew* dlg = openNew();
    ASSERT_NE(dlg, nullptr);
    type(dlg->txtW, "300");
    EXPECT_EQ(dlg->txtWW->value(), 300);
    dlg->txtW->setText(QStringLiteral("2000"));   // above the bar's 1600
    EXPECT_EQ(text(dlg->txtW), "2000");
    EXPECT_EQ(dlg->txtWW->value(), 300);
    // The lower arrow raises the number, from where the bar stood.
    dlg->txtWW->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text(dlg->txtW), "301");
    dlg->txtHH->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(text(dlg->txtH), "99");
    EXPECT_EQ(dlg->txtHH->maximum(), 1260);
}

TEST_F(NewDialog, BackgroundsAndTheNewDocument)
{
    programSettings().OpenFolder.assign(programDir.path().toStdString());
    struct Case {
        int option;
        std::optional<int32_t> picked;
        uint32_t bgr;   // 0xBBGGRR of every pixel
    } cases[] = {
        {0, std::nullopt, 0xFFFFFF},
        {1, std::nullopt, 0x000000},
        {2, rgbColor(10, 20, 30), 0x1E140A},
    };
    fImage* previous = nullptr;
    for (const Case& c : cases) {
        fNew* dlg = openNew();
        ASSERT_NE(dlg, nullptr);
        type(dlg->txtW, "7");
        type(dlg->txtH, "5");
        if (c.picked) {
            ports.colourPicker.answers.push_back(c.picked);
            dlg->CP_Click();
        }
        dlg->OP[c.option]->setChecked(true);
        const int pumps = ports.pump.runs;
        dlg->cmdOK->click();
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(ports.pump.runs - pumps, 1);

        fImage* doc = made(previous);
        ASSERT_NE(doc, nullptr) << c.option;
        previous = doc;
        ASSERT_EQ(doc->PictureWidth(), 7);
        ASSERT_EQ(doc->PictureHeight(), 5);
        const BitsBuffer b = doc->Bits();
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                ASSERT_EQ(bgr(b, x, y), c.bgr) << x << "," << y;
                ASSERT_EQ(b.at(3, x, y), 0);
            }
        EXPECT_EQ(doc->windowTitle(), "New Image Document");
        EXPECT_EQ(doc->Undopos(), 1);   // its first step, and only one
        EXPECT_FALSE(doc->Changed);
        EXPECT_EQ(lastStepName(*doc), "New");
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_TRUE(engineMirrors(*doc));
        EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
        EXPECT_EQ(ActiveImage().data(), doc);
    }
    // Named after "New.bmp" in the open folder, made unique while the
    // others are open.
    const std::string name = platform::joinPath(programDir.path().toStdString(), "New.bmp");
    std::vector<std::string> tags;
    for (const fImage* d : fImage::loadedDocuments()) tags.push_back(d->Tag);
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0], name);
    EXPECT_NE(tags[1], name);
    EXPECT_EQ(tags[1].rfind(name + "[", 0), 0u) << tags[1];
}

// A size typed after a click in a box used to go after the old one: Ctrl+A
// was swallowed by the digit filter and the digits past four were dropped
// without a sign, so 800 and 600 over 100 and 100 made a 1008 x 1006 picture.
TEST_F(NewDialog, CtrlASelectsABoxAndADigitPastItsLengthRings)
{
    fNew* dlg = openNew();
    ASSERT_NE(dlg, nullptr);
    const struct {
        SizeBox* box;
        const char* typed;
    } boxes[] = {{dlg->txtW, "800"}, {dlg->txtH, "600"}};
    for (const auto& b : boxes) {
        QTest::mouseClick(b.box, Qt::LeftButton);   // the caret, nothing selected
        ASSERT_FALSE(b.box->hasSelectedText());
        QTest::keyClick(b.box, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(b.box->selectedText(), b.box->text());
        QTest::keyClicks(b.box, QString::fromLatin1(b.typed));
        EXPECT_EQ(text(b.box), b.typed);
    }
    EXPECT_EQ(ports.bell.rings, 0);

    // Typed without selecting, 800 after 100 stops at four digits, and each
    // digit the box cannot take rings the bell.
    dlg->txtW->setText(QStringLiteral("100"));
    dlg->txtW->end(false);
    QTest::keyClicks(dlg->txtW, QStringLiteral("800"));
    EXPECT_EQ(text(dlg->txtW), "1008");
    EXPECT_EQ(ports.bell.rings, 2);

    QTest::keyClick(dlg->txtW, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dlg->txtW, QStringLiteral("800"));
    dlg->cmdOK->click();
    fImage* doc = made();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->PictureWidth(), 800);
    EXPECT_EQ(doc->PictureHeight(), 600);
}

TEST_F(NewDialog, TheColourBoxChoosesCustomEvenWhenThePickerIsCancelled)
{
    fNew* dlg = openNew();
    ASSERT_NE(dlg, nullptr);
    const int32_t start = dlg->CPColour();
    QTest::mouseClick(dlg->CP, Qt::LeftButton);   // the picker is cancelled
    EXPECT_TRUE(dlg->OP[2]->isChecked());
    EXPECT_EQ(dlg->CPColour(), start);
    ASSERT_EQ(ports.colourPicker.asked.size(), 1u);
    EXPECT_EQ(ports.colourPicker.asked[0], start);

    // Custom without a colour ever picked fills with the box's colour.
    dlg->cmdOK->click();
    fImage* doc = made();
    ASSERT_NE(doc, nullptr);
    const BitsBuffer b = doc->Bits();
    EXPECT_EQ(b.at(2, 50, 50), colorRed(start));
    EXPECT_EQ(b.at(1, 50, 50), colorGreen(start));
    EXPECT_EQ(b.at(0, 50, 50), colorBlue(start));
}

TEST_F(NewDialog, RefusalsAndWhatStaysForTheNextOpening)
{
    fNew* dlg = openNew();
    ASSERT_NE(dlg, nullptr);
    for (const char* tiny : {"1", ""}) {
        type(dlg->txtW, tiny);
        dlg->cmdOK->click();
        ASSERT_FALSE(ports.messageBoxes.shown.empty());
        EXPECT_EQ(ports.messageBoxes.shown.back().text, "Minimum size: 2 x 2");
        EXPECT_EQ(ports.messageBoxes.shown.back().icon, platform::MsgIcon::Information);
        EXPECT_TRUE(dlg->isVisible());
    }
    dlg->txtW->setText(QStringLiteral("abc"));   // only pasting brings letters
    dlg->cmdOK->click();
    EXPECT_EQ(ports.messageBoxes.shown.size(), 3u);
    EXPECT_EQ(documentCount(), 0);

    // 2 x 2 is made; 640 x 480 adds no item; 100 x 100 is appended once.
    const QStringList standard = items(dlg);
    type(dlg->txtW, "2");
    type(dlg->txtH, "2");
    dlg->cmdOK->click();
    EXPECT_EQ(documentCount(), 1);
    EXPECT_EQ(items(dlg), standard + QStringList{"2 x 2"});
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(openNew(), dlg);
        choose(dlg->cbDefault, 4);
        dlg->cmdOK->click();
        ASSERT_EQ(openNew(), dlg);
        type(dlg->txtW, "100");
        type(dlg->txtH, "100");
        dlg->cmdOK->click();
    }
    EXPECT_EQ(items(dlg), standard + QStringList({"2 x 2", "100 x 100"}));

    // The boxes and the reference stay: after 300 x 200, width 600 gives 400.
    ASSERT_EQ(openNew(), dlg);
    dlg->OP[1]->setChecked(true);
    type(dlg->txtW, "300");
    type(dlg->txtH, "200");
    dlg->cmdOK->click();
    ASSERT_EQ(openNew(), dlg);
    EXPECT_EQ(text(dlg->txtW), "300");
    EXPECT_EQ(text(dlg->txtH), "200");
    EXPECT_TRUE(dlg->OP[1]->isChecked());
    dlg->chkKeepProportions->setChecked(true);
    type(dlg->txtW, "600");
    EXPECT_EQ(text(dlg->txtH), "400");
    dlg->cmdCancel_Click();
    EXPECT_FALSE(dlg->isVisible());
}

} // namespace tq
