// The filter dialog with the real engine: the previews and their sizes, the
// rows kept in step, OK, Cancel and "Real Time" with the undo steps they
// record, the document the dialog works on, and the command keys that open
// it.
#include "FilterDialogFixture.h"

#include "document/ImageCanvas.h"
#include "document/cBitRegion.h"

#include <QProgressBar>
#include <QTest>

namespace tq {
namespace {

using testing::CountingImage;
using testing::FilterDialogFixture;
using testing::patternBits;

// The whole picture through Brightness with a level, on an engine of our own.
BitsBuffer brightened(const BitsBuffer& picture, int32_t level)
{
    FilterPageArgs a;
    a.P = {level, 0, 0};
    return *runOnWholePicture(picture, [&](cBitFilter& engine) { return runFilterPage(engine, 1, a); });
}

// The picture area of a bordered record.
BitsBuffer recordBits(const DibRecord& r)
{
    BitsBuffer b(r.width - 4, r.height - 4);
    EXPECT_EQ(r.bits.size(), b.byteSize());
    std::memcpy(b.data(), r.bits.data(), b.byteSize());
    return b;
}

TEST_F(FilterDialogFixture, ThePreviewIsThePictureFittedInto160By110AndCentred)
{
    struct Case {
        int w, h, pw, ph;
    };
    // Never enlarged; a side that would round to 0 is held at 1.
    for (const Case& c : {Case{1600, 1200, 147, 110}, Case{640, 100, 160, 25}, Case{100, 80, 100, 80},
                          Case{150, 1000, 16, 110}, Case{2000, 2, 160, 1}, Case{2, 2000, 1, 110}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        CountingImage* doc = openDocument(c.w, c.h);
        fFilter* d = open(1);
        EXPECT_EQ(d->PreviewWidth, c.pw);
        EXPECT_EQ(d->PreviewHeight, c.ph);
        for (auto [frame, box] : {std::pair<QWidget*, QWidget*>{d->lblBkSrc, d->iSrc}, {d->lblBkDst, d->iDst}}) {
            EXPECT_EQ(box->size(), QSize(c.pw, c.ph));
            EXPECT_EQ(box->x(), (frame->width() - c.pw) / 2);
            EXPECT_EQ(box->y(), (frame->height() - c.ph) / 2);
        }
        // Without a selection the whole reduced copy is filtered, down to
        // its last pixel.
        d->sbFilter[0]->setValue(50);
        EXPECT_NE(d->iDst->Point(c.pw - 1, c.ph - 1), d->iSrc->Point(c.pw - 1, c.ph - 1));
        closeDialog();

        // A selection is scaled by a factor above 0.
        doc->BitsRegion.CreateRect(0, 0, c.w, c.h, 2, false);
        d = open(1);
        d->sbFilter[0]->setValue(50);
        EXPECT_FLOAT_EQ(d->PreviewRegion->ZoomFactor(), float(c.pw) / float(c.w));
        closeDialog();
        closeDocument(doc);
    }
}

TEST_F(FilterDialogFixture, PreviewsFilterTheReducedCopyAndOnlyTheScaledSelection)
{
    CountingImage* doc = openDocument(320, 160);
    // The left half selected.
    doc->BitsRegion.CreateRect(0, 0, 160, 160, 2, false);
    fFilter* d = open(1);
    const BitsBuffer source = recordBits(d->PreviewSource);
    // The nearest pixel of the picture: preview (x, y) is picture (2x, 2y).
    EXPECT_EQ(source.at(2, 10, 7), testing::patternByte(2, 20, 14));
    d->sbFilter[0]->setValue(60);
    const BitsBuffer result = recordBits(d->PreviewResult);
    const BitsBuffer expected = [&] {
        const Region left = Region::rect(0, 0, 80, 80);
        cBitFilter engine;
        engine.setBits(source);
        engine.setBitsRegion(&left);
        return *engine.BRIGHTNESS(60);
    }();
    EXPECT_EQ(result, expected);
    EXPECT_NE(result.at(2, 10, 7), source.at(2, 10, 7));
    EXPECT_EQ(result.at(2, 100, 7), source.at(2, 100, 7));
    // Every preview starts from the unfiltered copy.
    d->sbFilter[0]->setValue(0);
    EXPECT_EQ(recordBits(d->PreviewResult), source);
    // The picture itself is untouched by previews.
    EXPECT_EQ(doc->Bits(), patternBits(320, 160));
}

TEST_F(FilterDialogFixture, OkFiltersTheWholePictureAsOneUndoStep)
{
    CountingImage* doc = openDocument(40, 30);
    LastActionName() = "Brightness...";
    fFilter* d = open(1);
    d->sbFilter[0]->setValue(40);
    d->cmdOK->click();

    EXPECT_EQ(doc->Bits(), brightened(patternBits(40, 30), 40));
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));
    EXPECT_EQ(fullSizeCalls, 1);
    EXPECT_EQ(programHistory().rows().back().Ltext, "Brightness...");
    EXPECT_FALSE(doc->picPb->isVisible());
    EXPECT_TRUE(d->unloaded());
    EXPECT_FALSE(d->isVisible());
}

TEST_F(FilterDialogFixture, CancelRecordsNothingAndLeavesThePictureAsItWas)
{
    CountingImage* doc = openDocument(40, 30);
    const BitsBuffer before = doc->Bits();
    // Without "Real Time".
    fFilter* d = open(2);
    d->sbFilter[0]->setValue(200);
    d->cmdCancel->click();
    EXPECT_EQ(doc->Bits(), before);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(fullSizeCalls, 0);

    // After "Real Time" changed the picture, Esc puts it back.
    d = open(2);
    d->sbFilter[0]->setValue(200);
    d->cmdPreview->click();
    EXPECT_NE(doc->Bits(), before);
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_TRUE(d->unloaded());
    EXPECT_EQ(doc->Bits(), before);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));
    EXPECT_FALSE(doc->picPb->isVisible());
}

TEST_F(FilterDialogFixture, RealTimeThenOkFiltersOnceAndShowsNoProgressOnOk)
{
    CountingImage* doc = openDocument(60, 900);   // tall enough for progress reports
    fFilter* d = open(1);
    d->sbFilter[0]->setValue(30);
    d->cmdPreview->click();
    EXPECT_EQ(fullSizeCalls, 1);
    EXPECT_TRUE(d->AlreadyApplied);
    EXPECT_EQ(doc->Bits(), brightened(patternBits(60, 900), 30));
    // "Real Time" records nothing; the progress bar went back to 0.
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(doc->cFilterProgress->value(), 0);
    EXPECT_EQ(d->focusWidget(), static_cast<QWidget*>(d->cmdOK));
    // A second click without a change does nothing more.
    d->cmdPreview->click();
    EXPECT_EQ(fullSizeCalls, 1);

    int reports = 0;
    QObject::connect(doc->cFilterProgress, &QProgressBar::valueChanged, [&](int v) { reports += v > 0; });
    d->cmdOK->click();
    EXPECT_EQ(fullSizeCalls, 1);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);
    EXPECT_EQ(doc->Bits(), brightened(patternBits(60, 900), 30));
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(FilterDialogFixture, AChangeAfterRealTimeFiltersAgainFromThePictureOfBefore)
{
    CountingImage* doc = openDocument(40, 30);
    fFilter* d = open(1);
    d->sbFilter[0]->setValue(100);
    d->cmdPreview->click();
    d->sbFilter[0]->setValue(-50);
    EXPECT_FALSE(d->AlreadyApplied);
    // The picture keeps showing the applied result until OK.
    EXPECT_EQ(doc->Bits(), brightened(patternBits(40, 30), 100));
    d->cmdOK->click();
    EXPECT_EQ(fullSizeCalls, 2);
    EXPECT_EQ(doc->Bits(), brightened(patternBits(40, 30), -50));
    EXPECT_EQ(doc->snapshots, 1);
}

TEST_F(FilterDialogFixture, AFullSizeRunReportsProgressToTheDocument)
{
    CountingImage* doc = openDocument(60, 900);
    fFilter* d = open(1);
    d->sbFilter[0]->setValue(30);
    std::vector<int> seen;
    QObject::connect(doc->cFilterProgress, &QProgressBar::valueChanged, [&](int v) { seen.push_back(v); });
    // Preview runs show none.
    d->sbFilter[0]->setValue(31);
    EXPECT_TRUE(seen.empty());
    d->cmdOK->click();
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::find(seen.begin(), seen.end(), 100) != seen.end());
    EXPECT_FALSE(doc->picPb->isVisible());
}

TEST_F(FilterDialogFixture, RowsKeepTheirSliderTextAndUpDownInStep)
{
    openDocument(40, 30);
    fFilter* d = open(2);   // Contrast, -100 to 250
    QLineEdit* text = d->lblFilterV[0];
    // Typing 300 holds the row at its maximum.
    text->setFocus();
    text->selectAll();
    QTest::keyClicks(text, "300");
    EXPECT_EQ(text->text(), "250");
    EXPECT_EQ(d->sbFilter[0]->Value(), 250);
    EXPECT_EQ(d->sbFilterV[0]->value(), 250);
    EXPECT_EQ(d->ParamValue[0], 250);
    // Only digits and Backspace reach the box.
    text->selectAll();
    QTest::keyClicks(text, "-7x");
    EXPECT_EQ(text->text(), "7");
    EXPECT_EQ(d->sbFilter[0]->Value(), 7);
    // An empty box becomes the minimum, selected.
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(text->text(), "-100");
    EXPECT_EQ(text->selectedText(), "-100");
    EXPECT_EQ(d->sbFilter[0]->Value(), -100);
    // The up-down moves the slider, and the slider the other two.
    d->sbFilterV[0]->setValue(12);
    EXPECT_EQ(d->sbFilter[0]->Value(), 12);
    EXPECT_EQ(text->text(), "12");
    d->sbFilter[0]->setValue(-3);
    EXPECT_EQ(d->sbFilterV[0]->value(), -3);
    EXPECT_EQ(text->text(), "-3");
}

TEST_F(FilterDialogFixture, ADragRecomputesThePreviewAtEveryStep)
{
    openDocument(40, 30);
    fFilter* d = open(1);
    std::vector<QImage> previews;
    for (int v = 1; v <= 5; ++v) {
        d->sbFilter[0]->setValue(v * 20);
        previews.push_back(d->iDst->drawing());
    }
    for (size_t i = 1; i < previews.size(); ++i) EXPECT_NE(previews[i], previews[i - 1]) << i;
}

TEST_F(FilterDialogFixture, ReopeningShowsThePageDefaultsAgain)
{
    openDocument(40, 30);
    fFilter* d = open(35);
    d->sbFilter[1]->setValue(7);
    d->chkOption->click();
    d->cmdCancel->click();
    d = open(35);
    EXPECT_EQ(d->sbFilter[1]->Value(), 25);
    EXPECT_TRUE(d->chkOption->isChecked());
    d->cmdCancel->click();
    d = open(39);
    d->oo[2]->click();
    d->cmdCancel->click();
    d = open(39);
    EXPECT_TRUE(d->oo[0]->isChecked());
    EXPECT_EQ(d->GlassStyleName, "slanting");
}

TEST_F(FilterDialogFixture, TheDialogStaysWithTheDocumentItOpenedOn)
{
    CountingImage* a = openDocument(40, 30);
    CountingImage* b = openDocument(50, 20);
    activate(a);
    ASSERT_TRUE(engineMirrors(*a));
    fFilter* d = open(1);
    d->sbFilter[0]->setValue(70);
    d->cmdPreview->click();
    // Another document becomes active while the dialog is open (its pump
    // runs while OK is under way).
    ports.pump.onRun = [&] { activate(b); };
    d->sbFilter[0]->setValue(40);
    d->cmdOK->click();
    ports.pump.onRun = nullptr;

    EXPECT_EQ(a->Bits(), brightened(patternBits(40, 30), 40));
    EXPECT_EQ(a->snapshots, 1);
    EXPECT_TRUE(a->Changed);
    EXPECT_EQ(b->Bits(), patternBits(50, 20));
    EXPECT_EQ(b->snapshots, 0);
    EXPECT_FALSE(b->Changed);
    // The shared engine mirrors the document that is active now.
    EXPECT_EQ(activeDocument(), b);
    EXPECT_TRUE(engineMirrors(*b));
    EXPECT_EQ(ActiveImage().data(), b);

    // Cancel puts back the picture of its own document, not the engine's.
    activate(a);
    const BitsBuffer aBefore = a->Bits();
    d = open(1);
    d->sbFilter[0]->setValue(-80);
    d->cmdPreview->click();
    activate(b);
    d->cmdCancel->click();
    EXPECT_EQ(a->Bits(), aBefore);
    EXPECT_EQ(b->Bits(), patternBits(50, 20));
    EXPECT_EQ(a->snapshots, 1);
}

TEST_F(FilterDialogFixture, TheOutlineStopsWhileOpenAndMovesAfterwardsOnlyWithASelection)
{
    CountingImage* doc = openDocument(40, 30);
    doc->BitsRegion.CreateRect(2, 2, 20, 20, 2, false);
    doc->StartTimer();
    fFilter* d = open(1);
    EXPECT_FALSE(doc->iDst->TimerRunning());
    EXPECT_TRUE(doc->iDst->AutoRedraw());
    d->cmdOK->click();
    EXPECT_TRUE(doc->iDst->TimerRunning());
    EXPECT_FALSE(doc->iDst->AutoRedraw());

    doc->BitsRegion.Init(0, 0, 40, 30);
    doc->StopTimer();
    d = open(1);
    d->cmdCancel->click();
    EXPECT_FALSE(doc->iDst->TimerRunning());
    EXPECT_FALSE(doc->iDst->AutoRedraw());
}

TEST_F(FilterDialogFixture, CommandKeysOpenTheDialogAtTheirPage)
{
    // Without a document nothing opens.
    main->MenuExec("BRIGHTNESS");
    EXPECT_TRUE(main->findChildren<fFilter*>().isEmpty());

    CountingImage* doc = openDocument(40, 30);
    const BitsBuffer before = doc->Bits();
    const int historyRows = programHistory().rowCount();
    for (const FilterPageSpec& page : filterPages()) {
        for (const char* key : page.keys) {
            if (!key) continue;
            SCOPED_TRACE(key);
            LastActionName() = key;
            main->MenuExec(key);
            auto open = main->findChildren<fFilter*>();
            ASSERT_EQ(open.size(), 1);
            fFilter* d = open.front();
            EXPECT_EQ(d->windowTitle().toStdString(), page.caption);
            EXPECT_EQ(d->fltID, filterPageOfKey(key));
            EXPECT_TRUE(d->isVisible());
            EXPECT_TRUE(d->isModal());
            EXPECT_EQ(d->document(), doc);
            d->cmdCancel->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    EXPECT_EQ(doc->Bits(), before);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_EQ(programHistory().rowCount(), historyRows);

    // OK through a key records the step with the menu's text.
    LastActionName() = "Contrast...";
    main->MenuExec("CONTRAST");
    fFilter* d = main->findChild<fFilter*>();
    ASSERT_NE(d, nullptr);
    d->sbFilter[0]->setValue(20);
    QTest::keyClick(d->cmdOK, Qt::Key_Return);
    EXPECT_TRUE(d->unloaded());
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(programHistory().rows().back().Ltext, "Contrast...");
}

} // namespace
} // namespace tq
