// The numbered effects through the main window, on a real document: which
// library call each number makes from the dialog's preview and from the
// picture, the numbers that do nothing, what an application does to the
// document (size, selection, one undo step, the engine), Cancel, a failing
// library, and the menus' labels.
#include "EffectFixture.h"

#include "document/ProgramContext.h"
#include "effects/EffectPictureBox.h"
#include "effects/library/EffectsLibrary.h"
#include "mainwindow/MenuTable.h"
#include "mainwindow/Startup.h"
#include "support/ZorveliRecorder.h"
#include "widgets/cpvSlider.h"

#include <QAction>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace tq;
using namespace tq::testing;

using EffectApplication = EffectFixture;

bool samePicture(const DibRecord& a, const DibRecord& b)
{
    return a.width == b.width && a.height == b.height && a.bits == b.bits;
}

TEST_F(EffectApplication, EveryEffectCallsTheLibraryFromPreviewAndPictureAlike)
{
    CountingImage* doc = openDocument(7, 5);
    ZorveliRecorder rec;
    for (const effects::EffectEntry& e : effects::effectCatalogue()) {
        SCOPED_TRACE(e.id);
        rec.clear();
        const int before = doc->snapshots;
        const bool dialogShown = runEffect(e.id, [&](fLayersEffects& d) {
            // The preview on screen: the start value, the colour box's
            // system colour and white, from the thumbnail into the result
            // preview with the dialog's own reference variable.
            ASSERT_FALSE(rec.calls().empty());
            const ZorveliCallRecord& shown = rec.calls().back();
            const auto want = effectCall(e.id, e.start, kWindowBackground, kWhite, 7, 5);
            ASSERT_TRUE(want.has_value());
            EXPECT_EQ(shown.function, want->function);
            EXPECT_EQ(shown.args, want->args);
            EXPECT_EQ(shown.src, &d.iSrc->surface);
            EXPECT_EQ(shown.dst, &d.iDst->surface);
            EXPECT_EQ(shown.reserved, &d.EffectReserved);
            rec.clear();
            d.cmdOK_Click();
        });
        EXPECT_EQ(dialogShown, e.kind == effects::EffectKind::Dialog);

        // The application: one call on the document's extracted picture.
        ASSERT_EQ(rec.calls().size(), 1u);
        const ZorveliCallRecord& applied = rec.calls()[0];
        const bool atOnce = e.kind == effects::EffectKind::AtOnce;
        const auto want = atOnce ? effectCall(e.id, 0, 0, 0, 7, 5)
                                 : effectCall(e.id, e.start, kWindowBackground, kWhite, 7, 5);
        ASSERT_TRUE(want.has_value());
        EXPECT_EQ(applied.function, want->function);
        EXPECT_EQ(applied.args, want->args);
        EXPECT_EQ(applied.src, &doc->tSrc);
        EXPECT_EQ(applied.reserved, &doc->EffectReserved);
        EXPECT_EQ(doc->snapshots, before + 1);
        EXPECT_EQ(shownStepLabel(), e.itemCaption ? e.itemCaption : e.dialogCaption);
    }
}

TEST_F(EffectApplication, NumbersWithoutAnEffectDoNothing)
{
    CountingImage* doc = openDocument(6, 4);
    doc->BitsRegion.CreateRect(1, 1, 3, 3, 5, true);
    const BitsBuffer before = doc->Bits();
    ZorveliRecorder rec;
    for (int16_t id : std::initializer_list<int16_t>{15, 26, 31, 52, 59, 63, 77, 1, 81, 0, -1, -78, 32767}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(runEffect(id));
        EXPECT_TRUE(rec.calls().empty());
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_EQ(doc->Bits(), before);
        EXPECT_FALSE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_FALSE(doc->Changed);
    }
    // Applying one directly does nothing either.
    EXPECT_FALSE(doc->ApplyEffectsToCanvas(52, 10, 0, 0, false));
    EXPECT_TRUE(rec.calls().empty());
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST_F(EffectApplication, FlipsMirrorTheWholePictureExactlyAsOneStep)
{
    effects::registerEffectsLibrary();
    struct Case {
        int16_t id;
        bool h, v;
    };
    for (const Case& c : {Case{78, true, false}, Case{79, false, true}, Case{80, true, true}}) {
        SCOPED_TRACE(c.id);
        CountingImage* doc = openDocument(5, 3);
        // A selection: the effect ignores it and leaves the whole picture selected.
        doc->BitsRegion.CreateRect(1, 0, 3, 2, 5, true);
        ASSERT_FALSE(doc->BitsRegion.IsEmptyRegion());
        const BitsBuffer original = doc->Bits();

        EXPECT_FALSE(runEffect(c.id));
        ASSERT_EQ(doc->PictureWidth(), 5);
        ASSERT_EQ(doc->PictureHeight(), 3);
        const BitsBuffer now = doc->Bits();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                for (int ch = 0; ch < 4; ++ch)
                    ASSERT_EQ(now.at(ch, x, y), original.at(ch, c.h ? 4 - x : x, c.v ? 2 - y : y))
                        << x << "," << y << " channel " << ch;
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        ASSERT_NE(doc->BitsRegion.walkRegion(), nullptr);
        const RectI walked = doc->BitsRegion.walkRegion()->boundingBox();
        EXPECT_EQ((std::array{walked.left, walked.top, walked.right, walked.bottom}), (std::array{0, 0, 5, 3}));
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(doc->Changed);
        EXPECT_TRUE(engineMirrors(*doc));
        EXPECT_TRUE(doc->tSrc.bits.empty());   // the extracted picture is released
        // Undo brings the picture back.
        ASSERT_TRUE(doc->UndoBits());
        EXPECT_EQ(doc->Bits(), original);
        closeDocument(doc);
    }
}

TEST_F(EffectApplication, ApplyEffectProcessesThePictureExtractedWhenTheDialogOpened)
{
    effects::registerEffectsLibrary();
    CountingImage* doc = openDocument(12, 9);
    const DibRecord opened = pictureOf(*doc);
    const BitsBuffer replaced(12, 9);   // black
    EXPECT_TRUE(runEffect(64, [&](fLayersEffects& d) {
        d.HS->setValue(90);
        // Whatever the document holds by now, the extracted picture is used.
        doc->setBits(replaced);
        d.cmdOK_Click();
    }));
    const auto want = libraryResult(64, 90, kWindowBackground, kWhite, opened);
    ASSERT_TRUE(want.has_value());
    EXPECT_TRUE(samePicture(pictureOf(*doc), *want));
    EXPECT_FALSE(samePicture(*want, opened));
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(shownStepLabel(), "Invertion Adjustment");
}

TEST_F(EffectApplication, CancelAndClosingLeaveTheDocumentAndHistoryAlone)
{
    effects::registerEffectsLibrary();
    CountingImage* doc = openDocument(8, 6);
    const BitsBuffer before = doc->Bits();
    const DibRecord extracted = pictureOf(*doc);
    const size_t rows = programHistory().rows().size();
    const std::vector<std::function<void(fLayersEffects&)>> closings = {
        [](fLayersEffects& d) {
            d.HS->setValue(40);
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        },
        [](fLayersEffects& d) {
            d.HS->setValue(40);
            QTest::keyClick(&d, Qt::Key_Escape);
        },
        [](fLayersEffects& d) { d.close(); },
    };
    for (const auto& close : closings) {
        EXPECT_TRUE(runEffect(65, close));
        EXPECT_EQ(doc->Bits(), before);
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_FALSE(doc->Changed);
        EXPECT_EQ(programHistory().rows().size(), rows);
        // The picture extracted for the dialog stays until the next effect.
        EXPECT_TRUE(samePicture(doc->tSrc, extracted));
    }
}

TEST_F(EffectApplication, AFailingEffectChangesNothingAndSaysSo)
{
    CountingImage* doc = openDocument(6, 5);
    doc->BitsRegion.CreateRect(1, 1, 4, 4, 5, true);
    const BitsBuffer before = doc->Bits();
    const size_t rows = programHistory().rows().size();
    const auto expectUnchanged = [&](size_t messages) {
        EXPECT_EQ(doc->Bits(), before);
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_FALSE(doc->Changed);
        EXPECT_FALSE(doc->BitsRegion.IsEmptyRegion());   // the selection too
        EXPECT_EQ(programHistory().rows().size(), rows);
        EXPECT_TRUE(engineMirrors(*doc));
        ASSERT_EQ(ports.messageBoxes.shown.size(), messages);
        EXPECT_EQ(ports.messageBoxes.shown.back().text, fImage::kEffectFailed);
        EXPECT_EQ(ports.messageBoxes.shown.back().icon, platform::MsgIcon::Exclamation);
    };
    {
        // The library's function fails: at once, and from the dialog.
        ZorveliRecorder rec;
        rec.setResult(false);
        runEffect(17);
        expectUnchanged(1);
        runEffect(73, [](fLayersEffects& d) { d.cmdOK_Click(); });
        expectUnchanged(2);
    }
    {
        // The library lacks the function.
        ScopedZorveliLib none{ZorveliLib{}};
        runEffect(79);
        expectUnchanged(3);
    }
    {
        // The library "succeeds" with a picture of another size.
        ZorveliLib shrinking = ZorveliRecorder::table();
        shrinking.Sepia = [](EffectSurface& dst, const EffectSurface&, int32_t*) {
            dst = EffectSurface{};
            return true;
        };
        ScopedZorveliLib scope(shrinking);
        runEffect(28);
        expectUnchanged(4);
    }
}

// The effect menus of a running program: the item's caption labels the
// step, shortcuts reach the dialog, and nothing happens without a document.
TEST(EffectMenus, ItemsRunTheirEffectsLabelledWithTheirCaptions)
{
    QTemporaryDir programDir, runtimeDir;
    ScopedContext context;
    platform::TestPorts ports;
    platform::setProgramFolder(programDir.path().toStdString());
    StartOptions o;
    o.programFolder = programDir.path().toStdString();
    o.runtimeFolder = runtimeDir.path().toStdString();
    mStart shell(o);
    ASSERT_TRUE(shell.StartApplication());
    fMain* w = shell.main();

    // No document: the label changes, nothing else happens.
    QAction* flipBoth = shell.menus().item("LayerFlip", 2);
    ASSERT_NE(flipBoth, nullptr);
    flipBoth->trigger();
    EXPECT_EQ(LastActionName(), "Flip Horizontal && Vertical");
    EXPECT_TRUE(ports.messageBoxes.shown.empty());

    auto* doc = new fImage;
    doc->CreateBlank(4, 3);
    doc->setBits(patternBits(4, 3));
    doc->BitsRegion.Init(0, 0, 4, 3);
    w->addDocument(doc);
    ActiveImage() = doc;
    doc->SaveUndoBits();
    const BitsBuffer original = doc->Bits();

    flipBoth->trigger();
    ASSERT_EQ(doc->Undopos(), 2);
    EXPECT_EQ(programHistory().rows().back().Ltext, "Flip Horizontal && Vertical");
    EXPECT_EQ(doc->Bits().at(2, 0, 0), original.at(2, 3, 2));

    // Ctrl+F: the swirl's dialog; cancelled, it records nothing.
    w->activateWindow();
    QApplication::setActiveWindow(w);
    std::string caption;
    int32_t min = 0, max = 0;
    {
        WhenDialogShows watch([&](fLayersEffects& d) {
            caption = d.windowTitle().toStdString();
            min = d.HS->Min();
            max = d.HS->Max();
        });
        QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(watch.shown, 1);
    }
    EXPECT_EQ(caption, "Special Effects - (Swirl)");
    EXPECT_EQ(min, -255);
    EXPECT_EQ(max, 255);
    EXPECT_EQ(LastActionName(), "Swirl");
    EXPECT_EQ(doc->Undopos(), 2);

    doc->Changed = false;
    w->close();
}

// A document window with no main window behind it (as a tool run alone has
// it) still ends an applied effect as one step of its own document, marked
// changed.
TEST(EffectWithoutMainWindow, AnAppliedEffectIsOneStepOfTheDocument)
{
    QTemporaryDir programDir;
    ScopedContext context;
    platform::TestPorts ports;
    platform::setProgramFolder(programDir.path().toStdString());
    effects::registerEffectsLibrary();
    ASSERT_EQ(mainHost(), nullptr);

    CountingImage doc;
    doc.CreateBlank(5, 3);
    ASSERT_TRUE(doc.setBits(patternBits(5, 3)));
    LastActionName() = "Flip Horizontal";
    ASSERT_TRUE(doc.ApplyEffectsToCanvas(78, 0, 0, 0, false));
    EXPECT_EQ(doc.Bits().at(1, 0, 0), patternByte(1, 4, 0));
    EXPECT_EQ(doc.snapshots, 1);
    EXPECT_EQ(doc.label, "Flip Horizontal");
    EXPECT_EQ(doc.Undopos(), 1);
    EXPECT_TRUE(doc.Changed);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    doc.Changed = false;
}

} // namespace
