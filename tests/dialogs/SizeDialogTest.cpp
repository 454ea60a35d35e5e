// The image size dialog on real document windows: the box rules, the quick
// factors, the preview, OK's refusals and its one undo step, the state kept
// between openings, and a change made to its own document only.
#include "DialogFixture.h"

#include "dialogs/PreviewBox.h"
#include "dialogs/fSize.h"
#include "filters/cBitFilter.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <sys/resource.h>

#include <fstream>
#include <string>

namespace tq {
namespace {

using testing::CountingImage;

class SizeDialog : public testing::DialogFixture {
protected:
    fSize* openSize() { return open<fSize>("IMAGESIZE", "Size ..."); }
};

} // namespace

TEST_F(SizeDialog, BoxesKeepThePicturesProportions)
{
    openDocument(512, 384);
    fSize* dlg = openSize();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(text(dlg->txtW), "512");
    EXPECT_EQ(text(dlg->txtH), "384");
    ASSERT_TRUE(dlg->chkKeepProportions->isChecked());

    struct Case {
        const char* width;
        const char* height;
    } cases[] = {{"100", "75"}, {"6", "4"} /* 4.5 to the even 4 */, {"10", "8"} /* 7.5 to 8 */, {"512", "384"}};
    for (const Case& c : cases) {
        type(dlg->txtW, c.width);
        EXPECT_EQ(text(dlg->txtH), c.height) << c.width;
    }
    // The height drives the width the same way, always from the picture's ratio.
    type(dlg->txtH, "75");
    EXPECT_EQ(text(dlg->txtW), "100");

    // An emptied box reads a selected "0", and so does the other.
    type(dlg->txtW, "");
    EXPECT_EQ(text(dlg->txtW), "0");
    EXPECT_EQ(dlg->txtW->selectedText(), "0");
    EXPECT_EQ(text(dlg->txtH), "0");
    QTest::keyClicks(dlg->txtW, "7");   // replaces the selected 0
    EXPECT_EQ(text(dlg->txtW), "7");

    // Unticked, the boxes are independent.
    dlg->chkKeepProportions->setChecked(false);
    type(dlg->txtW, "300");
    EXPECT_EQ(text(dlg->txtH), "5");
}

TEST_F(SizeDialog, BoxesTakeOnlyFourDigits)
{
    openDocument(20, 10);
    fSize* dlg = openSize();
    ASSERT_NE(dlg, nullptr);
    dlg->chkKeepProportions->setChecked(false);
    type(dlg->txtW, "1a2-3.45");   // letters, signs and points never arrive; a fifth digit neither
    EXPECT_EQ(text(dlg->txtW), "1234");
    QTest::keyClick(dlg->txtW, Qt::Key_Backspace);
    EXPECT_EQ(text(dlg->txtW), "123");

    // The caret goes to the end when a box gets the focus.
    dlg->txtH->setText(QStringLiteral("1234"));
    dlg->txtW->setFocus();
    dlg->txtH->setCursorPosition(0);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(dlg->txtH, &in);
    EXPECT_EQ(dlg->txtH->cursorPosition(), 4);
    EXPECT_FALSE(dlg->txtH->hasSelectedText());
}

TEST_F(SizeDialog, QuickFactorsScaleBothBoxes)
{
    struct Case {
        int w, h;
        int item;
        const char* W;
        const char* H;
    } cases[] = {
        {640, 480, 2, "480", "360"},  {640, 480, 3, "320", "240"}, {640, 480, 0, "960", "720"},
        {640, 480, 1, "1280", "960"}, {3, 5, 3, "2", "2"} /* 1.5 -> 2, 2.5 -> 2 */,
    };
    for (bool keep : {true, false})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.w) + " item " + std::to_string(c.item) + (keep ? " kept" : ""));
            CountingImage* doc = openDocument(c.w, c.h);
            fSize* dlg = openSize();
            ASSERT_NE(dlg, nullptr);
            dlg->chkKeepProportions->setChecked(keep);
            choose(dlg->cbPreDef, c.item);
            EXPECT_EQ(text(dlg->txtW), c.W);
            EXPECT_EQ(text(dlg->txtH), c.H);
            EXPECT_EQ(dlg->chkKeepProportions->isChecked(), keep);
            EXPECT_EQ(dlg->cbPreDef->currentIndex(), c.item);   // the item stays shown
            dlg->cmdCancel_Click();
            closeDocument(doc);
        }
}

TEST_F(SizeDialog, PreviewIsThePictureFittedAndCentred)
{
    struct Case {
        int w, h;
        int pw, ph;
    } cases[] = {{150, 150, 150, 150}, {40, 30, 40, 30}, {300, 150, 150, 75}, {120, 600, 30, 150}};
    for (const Case& c : cases) {
        CountingImage* doc = openDocument(c.w, c.h);
        fSize* dlg = openSize();
        ASSERT_NE(dlg, nullptr);
        EXPECT_TRUE(dlg->iSrc->isVisible());
        EXPECT_EQ(dlg->iSrc->size(), QSize(c.pw, c.ph)) << c.w << "x" << c.h;
        // Centred in the 150 x 150 square two pixels inside the frame.
        const QRect square(dlg->lblBack->geometry().topLeft() + QPoint(2, 2), QSize(150, 150));
        EXPECT_LE(std::abs(dlg->iSrc->geometry().center().x() - square.center().x()), 1);
        EXPECT_LE(std::abs(dlg->iSrc->geometry().center().y() - square.center().y()), 1);
        // The picture before the change, reduced by the nearest pixel.
        cBitFilter reference;
        reference.BitsResize(doc->Bits(), c.pw, c.ph);
        const QImage shown = dlg->iSrc->picture();
        ASSERT_EQ(shown.size(), QSize(c.pw, c.ph));
        const QRgb corner = shown.pixel(c.pw - 1, c.ph - 1);
        EXPECT_EQ(qBlue(corner), reference.Bits().at(0, c.pw - 1, c.ph - 1));
        EXPECT_EQ(qRed(corner), reference.Bits().at(2, c.pw - 1, c.ph - 1));
        dlg->cmdCancel_Click();
        EXPECT_FALSE(dlg->isVisible());
        closeDocument(doc);
    }
}

TEST_F(SizeDialog, OkRefusesTooSmallOrTooLargeAndIgnoresAnUnchangedSize)
{
    CountingImage* doc = openDocument(100, 80);
    fSize* dlg = openSize();
    ASSERT_NE(dlg, nullptr);

    // Unchanged: no message, no step, still open.
    dlg->cmdOK->click();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(ports.messageBoxes.shown.empty());

    dlg->chkKeepProportions->setChecked(false);
    for (const char* tiny : {"1", "", "0"}) {
        type(dlg->txtW, tiny);
        dlg->cmdOK->click();
        ASSERT_FALSE(ports.messageBoxes.shown.empty()) << tiny;
        EXPECT_EQ(ports.messageBoxes.shown.back().text, "Minimum size: 2 x 2");
        EXPECT_EQ(ports.messageBoxes.shown.back().icon, platform::MsgIcon::Information);
        EXPECT_TRUE(dlg->isVisible());
    }
    // The quick factors can go past the largest side a picture may have.
    type(dlg->txtW, "9999");
    type(dlg->txtH, "50");
    choose(dlg->cbPreDef, 1);
    choose(dlg->cbPreDef, 1);
    ASSERT_EQ(text(dlg->txtW), "39996");
    dlg->cmdOK->click();
    EXPECT_EQ(ports.messageBoxes.shown.back().text, "Maximum size: 32767 x 32767");
    EXPECT_EQ(ports.messageBoxes.shown.back().icon, platform::MsgIcon::Exclamation);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(text(dlg->txtW), "39996");   // the values stay as typed

    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(doc->Bits(), testing::patternBits(100, 80));
}

TEST_F(SizeDialog, OkResizesTheWholePictureAsOneStep)
{
    for (bool smooth : {true, false}) {
        CountingImage* doc = openDocument(640, 480);
        doc->BitsRegion.CreateRect(10, 10, 50, 50, 2, false);
        const BitsBuffer before = doc->Bits();
        fSize* dlg = openSize();
        ASSERT_NE(dlg, nullptr);
        dlg->chkInterpolate->setChecked(smooth);
        const int pumps = ports.pump.runs;
        type(dlg->txtW, "1280");
        ASSERT_EQ(text(dlg->txtH), "960");
        dlg->cmdOK->click();

        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(ports.pump.runs - pumps, 1);
        EXPECT_EQ(doc->PictureWidth(), 1280);
        EXPECT_EQ(doc->PictureHeight(), 960);
        cBitFilter reference;
        if (smooth)
            reference.BitsResample(before, 1280, 960);
        else
            reference.BitsResize(before, 1280, 960);
        EXPECT_EQ(doc->Bits(), reference.Bits());
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_EQ(lastStepName(*doc), "Size ...");
        EXPECT_TRUE(doc->Changed);
        EXPECT_EQ(sizePanel(*doc), QStringLiteral("1280x960"));
        EXPECT_TRUE(engineMirrors(*doc));
        EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
        EXPECT_TRUE(doc->updatesEnabled());
        closeDocument(doc);
    }
}

TEST_F(SizeDialog, ChecksStayWhileBoxesAndQuickFactorsStartAfresh)
{
    CountingImage* doc = openDocument(64, 48);
    fSize* dlg = openSize();
    ASSERT_NE(dlg, nullptr);
    dlg->chkInterpolate->setChecked(false);
    dlg->chkKeepProportions->setChecked(false);
    choose(dlg->cbPreDef, 0);
    dlg->cmdCancel_Click();
    closeDocument(doc);

    doc = openDocument(30, 20);
    ASSERT_EQ(openSize(), dlg);   // the same dialog again
    EXPECT_FALSE(dlg->chkInterpolate->isChecked());
    EXPECT_FALSE(dlg->chkKeepProportions->isChecked());
    EXPECT_EQ(text(dlg->txtW), "30");
    EXPECT_EQ(text(dlg->txtH), "20");
    EXPECT_EQ(dlg->cbPreDef->currentIndex(), -1);
    EXPECT_EQ(dlg->sizes->BaseWidth, 30);
    EXPECT_EQ(doc->snapshots, 0);
}

TEST_F(SizeDialog, TheChangeGoesToItsOwnDocumentWhateverBecomesActive)
{
    CountingImage* other = openDocument(9, 7);
    CountingImage* doc = openDocument(40, 30);
    const BitsBuffer otherPixels = other->Bits();
    fSize* dlg = openSize();
    ASSERT_NE(dlg, nullptr);
    type(dlg->txtW, "20");
    // While the dialog leaves the screen, the other document becomes the
    // active one and its activation puts its pixels into the engine.
    ports.pump.onRun = [&] { activate(other); };
    dlg->cmdOK->click();
    ports.pump.onRun = nullptr;

    EXPECT_EQ(doc->PictureWidth(), 20);
    EXPECT_EQ(doc->PictureHeight(), 15);
    EXPECT_EQ(doc->snapshots, 1);
    cBitFilter reference;
    reference.BitsResample(testing::patternBits(40, 30), 20, 15);
    EXPECT_EQ(doc->Bits(), reference.Bits());
    EXPECT_EQ(other->Bits(), otherPixels);
    EXPECT_EQ(other->snapshots, 0);
    EXPECT_FALSE(other->Changed);
    // The engine mirrors the document that is active now.
    EXPECT_EQ(activeDocument(), other);
    EXPECT_TRUE(engineMirrors(*other));
}

namespace {

// The process's address space, in bytes (from /proc).
size_t addressSpace()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        size_t kb = 0;
        if (key == "VmSize:" && status >> kb) return kb * 1024;
    }
    return 0;
}

} // namespace

TEST_F(SizeDialog, ASizeWithoutMemoryIsReportedAndThePictureKept)
{
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's throwing new stops the process when an allocation
    // fails, instead of throwing, so the refusal cannot be seen there.
    GTEST_SKIP() << "a failed allocation aborts under AddressSanitizer";
#endif
    CountingImage* doc = openDocument(50, 40);
    fSize* dlg = openSize();
    ASSERT_NE(dlg, nullptr);
    dlg->chkKeepProportions->setChecked(false);
    type(dlg->txtW, "9000");
    type(dlg->txtH, "9000");
    choose(dlg->cbPreDef, 1);   // 18000 x 18000: 1.3 GB

    // Only a little more address space than the process has now.
    const size_t now = addressSpace();
    ASSERT_GT(now, 0u);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = now + (size_t(256) << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    dlg->cmdOK->click();
    setrlimit(RLIMIT_AS, &saved);

    ASSERT_FALSE(ports.messageBoxes.shown.empty());
    EXPECT_EQ(ports.messageBoxes.shown.back().text, "Not enough memory for the new picture");
    EXPECT_EQ(ports.messageBoxes.shown.back().icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(doc->PictureWidth(), 50);
    EXPECT_EQ(doc->Bits(), testing::patternBits(50, 40));
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));
    EXPECT_TRUE(doc->updatesEnabled());
}

} // namespace tq
