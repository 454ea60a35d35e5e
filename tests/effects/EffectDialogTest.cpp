// The effect dialog as the main window sets it up and shows it: caption,
// slider range and start, options frame and the previews drawn on the way;
// the thumbnail's fit; the text box, up-down and slider in step; picking
// the colour to replace; the replacement and tile colours.
#include "EffectFixture.h"
#include "EffectPictures.h"
#include "TextFit.h"

#include "effects/EffectPictureBox.h"
#include "effects/library/EffectsLibrary.h"
#include "widgets/UpDownBar.h"
#include "support/ZorveliRecorder.h"
#include "widgets/cpvSlider.h"
#include "widgets/ColourSwatch.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace tq;
using namespace tq::testing;

using EffectDialog = EffectFixture;

// The arguments of the last library call.
std::vector<EffectArg> lastArgs(const ZorveliRecorder& rec)
{
    return rec.calls().empty() ? std::vector<EffectArg>{} : rec.calls().back().args;
}

std::string visibleFrames(const fLayersEffects& d)
{
    std::string s;
    if (d.FNone->isVisibleTo(d.Picture3)) s += "FNone ";
    if (d.fColor->isVisibleTo(d.Picture3)) s += "fColor ";
    if (d.fTileEffect->isVisibleTo(d.Picture3)) s += "fTileEffect ";
    return s;
}

TEST_F(EffectDialog, SetUpFollowsTheCatalogueAndPreviewsTheStartValue)
{
    openDocument(9, 7);
    ZorveliRecorder rec;
    struct Case {
        int16_t id;
        const char* caption;
        int32_t min, max, start;
        const char* frames;
        // The strengths of the previews drawn while the dialog is set up:
        // at Min when Min is not 0, at the start when it differs, and once
        // more at the start before it is shown.
        std::vector<int32_t> previews;
    };
    const Case cases[] = {
        {40, "Special Effects - (Swirl)", -255, 255, 0, "FNone ", {-255, 0, 0}},
        {67, "Special Effects - (Random Points)", 2, 102, 2, "fColor ", {2, 2}},
        {29, "Special Effects - (Ambient Light)", 0, 255, 255, "fColor ", {255, 255}},
        {71, "Special Effects - (Tile)", 0, 100, 0, "fTileEffect ", {0}},
        {2, "Special Effects - (Brightness)", -255, 255, 0, "FNone ", {-255, 0, 0}},
        {3, "Special Effects - (Contrast)", 0, 255, 100, "FNone ", {100, 100}},
        {33, "Special Effects - (Rock)", 0, 6, 0, "FNone ", {0}},
        {9, "Special Effects - (Saturation)", -255, 512, 0, "FNone ", {-255, 0, 0}},
        {30, "Special Effects - (Tone)", 0, 255, 0, "FNone ", {0}},
        {25, "Special Effects - (Unsharp Mask)", 0, 10, 0, "FNone ", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        rec.clear();
        const bool shown = runEffect(c.id, [&](fLayersEffects& d) {
            EXPECT_EQ(d.windowTitle().toStdString(), c.caption);
            EXPECT_EQ(d.Effect, c.id);
            EXPECT_EQ(d.HS->Min(), c.min);
            EXPECT_EQ(d.HS->Max(), c.max);
            EXPECT_EQ(d.HS->Value(), c.start);
            EXPECT_EQ(d.HSD->minimum(), c.min);
            EXPECT_EQ(d.HSD->maximum(), c.max);
            EXPECT_EQ(d.HSD->value(), c.start);
            EXPECT_EQ(d.HST->text().toStdString(), std::to_string(c.start));
            EXPECT_EQ(visibleFrames(d), c.frames);
            std::vector<std::vector<EffectArg>> drawn, want;
            for (const ZorveliCallRecord& call : rec.calls()) drawn.push_back(call.args);
            for (int32_t v : c.previews) want.push_back(effectCall(c.id, v, kWindowBackground, kWhite, 0, 0)->args);
            EXPECT_EQ(drawn, want);
        });
        EXPECT_TRUE(shown);
    }
}

TEST_F(EffectDialog, TwoDialogsInARowShareNothing)
{
    openDocument(9, 7);
    ZorveliRecorder rec;
    ports.colourPicker.answers = {0x00FF00};
    EXPECT_TRUE(runEffect(67, [](fLayersEffects& d) {
        d.Text2->setBackColor(0x123456);
        d.pTransparent_Click();
        EXPECT_EQ(d.ReplacementColor, 0x00FF00);
    }));
    EXPECT_TRUE(runEffect(40, [](fLayersEffects& d) {
        EXPECT_EQ(visibleFrames(d), "FNone ");
        EXPECT_EQ(d.HS->Min(), -255);
        EXPECT_EQ(d.HS->Max(), 255);
        EXPECT_EQ(d.Text2->BackColor(), kWindowBackground);
        EXPECT_EQ(d.pTransparent->BackColor(), kWhite);
        EXPECT_EQ(d.ReplacementColor, kWhite);
    }));
}

TEST_F(EffectDialog, CanvasSliderRunsToTheFittedPreviewWidth)
{
    ZorveliRecorder rec;
    struct Case {
        int w, h, max;
    };
    // Small pictures keep their width; others are fitted into 173 x 131.
    for (const Case& c : {Case{150, 100, 150}, Case{40, 300, 17}, Case{1000, 200, 173}}) {
        SCOPED_TRACE(c.w);
        CountingImage* doc = openDocument(c.w, c.h);
        EXPECT_TRUE(runEffect(69, [&](fLayersEffects& d) {
            EXPECT_EQ(d.iSrc->width(), c.max);
            EXPECT_EQ(d.HS->Min(), 0);
            EXPECT_EQ(d.HS->Max(), c.max);
            EXPECT_EQ(d.HSD->maximum(), c.max);
            EXPECT_EQ(d.HS->Value(), 0);
        }));
        closeDocument(doc);
    }
}

TEST_F(EffectDialog, ThumbnailFitsTheFrameAndLiesCentred)
{
    fLayersEffects d;
    ASSERT_EQ(d.FiSrcScaleWidth(), 173);
    ASSERT_EQ(d.FiSrcScaleHeight(), 136);
    struct Case {
        int w, h;          // the picture
        int tw, th;        // the thumbnail
        int left, top;     // its place inside the frame
    };
    const Case cases[] = {
        // Smaller than the frame: its own size, centred, 3 more on the left
        // (69.5 and 58 rounded half to even).
        {40, 20, 40, 20, 70, 58},
        // Wider: the frame's width, the height in proportion (86.5 -> 86).
        {1000, 500, 173, 86, 0, 25},
        // Taller: the frame's height less 5.
        {100, 1000, 13, 131, 83, 2},
        // Exactly the frame's width: no offset at all.
        {173, 50, 173, 50, 0, 43},
    };
    const QPoint inside = d.FiSrc->contentsRect().topLeft();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        d.AdjustThumbPreview(fx::uniformSurface(c.w, c.h, 0x60, 0x50, 0x40));
        EXPECT_EQ(d.iSrc->size(), QSize(c.tw, c.th));
        EXPECT_EQ(d.iDst->size(), QSize(c.tw, c.th));
        EXPECT_EQ(d.iSrc->pos() - inside, QPoint(c.left, c.top));
        EXPECT_EQ(d.iDst->pos() - d.FiDst->contentsRect().topLeft(), QPoint(c.left, c.top));
        ASSERT_EQ(d.iSrc->surface.width, c.tw);
        ASSERT_EQ(d.iSrc->surface.height, c.th);
        EXPECT_EQ(d.iSrc->pixel(c.tw - 1, c.th - 1), 0x605040);
        EXPECT_EQ(d.iDst->surface.bits, d.iSrc->surface.bits);
    }
}

TEST_F(EffectDialog, TextBoxUpDownAndSliderStayInStep)
{
    openDocument(9, 7);
    ZorveliRecorder rec;
    runEffect(67, [&](fLayersEffects& d) {
        QLineEdit* t = d.HST;
        t->selectAll();
        // Letters and a minus sign never reach the box; a fourth digit
        // neither.
        QTest::keyClicks(t, "a-");
        EXPECT_EQ(t->text(), "2");
        QTest::keyClick(t, Qt::Key_End);
        QTest::keyClicks(t, "0");
        EXPECT_EQ(d.HS->Value(), 20);
        EXPECT_EQ(d.HSD->value(), 20);
        EXPECT_EQ(lastArgs(rec), effectCall(67, 20, kWindowBackground, kWhite, 0, 0)->args);
        // 200 is above the top: the box shows 102 and the slider takes it.
        QTest::keyClicks(t, "0");
        EXPECT_EQ(t->text(), "102");
        EXPECT_EQ(d.HS->Value(), 102);
        QTest::keyClicks(t, "5");
        EXPECT_EQ(t->text(), "102");
        // Emptied: the minimum, selected whole.
        t->selectAll();
        QTest::keyClick(t, Qt::Key_Backspace);
        EXPECT_EQ(t->text(), "2");
        EXPECT_EQ(t->selectedText(), "2");
        EXPECT_EQ(d.HS->Value(), 2);
        // The up-down's lower arrow raises the value by one, the upper lowers it.
        d.HSD->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_EQ(d.HS->Value(), 3);
        EXPECT_EQ(t->text(), "3");
        d.HSD->triggerAction(QAbstractSlider::SliderSingleStepSub);
        d.HSD->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(d.HS->Value(), 2);   // not below the minimum
    });
    // Negative values are reached with the slider, and shown whole.
    runEffect(40, [&](fLayersEffects& d) {
        d.HS->setValue(-255);
        EXPECT_EQ(d.HST->text(), "-255");
        EXPECT_EQ(d.HSD->value(), -255);
        EXPECT_EQ(d.HS->Value(), -255);
    });
}

TEST_F(EffectDialog, PickingTheColourToReplaceFromEitherPreview)
{
    CountingImage* doc = openDocument(9, 7);
    ZorveliRecorder rec;
    // The result preview of the recording library stays the thumbnail, so
    // both previews show the pattern at the picture's own size.
    const auto colourAt = [&](int x, int y) {
        return int32_t(patternByte(2, x, y) | patternByte(1, x, y) << 8 | patternByte(0, x, y) << 16);
    };
    runEffect(56, [&](fLayersEffects& d) {
        const size_t before = rec.calls().size();
        QTest::mouseClick(d.iSrc, Qt::RightButton, {}, QPoint(3, 2));
        EXPECT_EQ(d.Text2->BackColor(), colourAt(3, 2));
        ASSERT_EQ(rec.calls().size(), before + 1);
        EXPECT_EQ(lastArgs(rec), effectCall(56, 0, colourAt(3, 2), kWhite, 0, 0)->args);
        // The result preview: the colour only, no redraw.
        QTest::mouseClick(d.iDst, Qt::LeftButton, {}, QPoint(5, 6));
        EXPECT_EQ(d.Text2->BackColor(), colourAt(5, 6));
        EXPECT_EQ(rec.calls().size(), before + 1);
        // "Apply Effect" passes the colour picked last.
        rec.clear();
        d.cmdOK_Click();
        ASSERT_EQ(rec.calls().size(), 1u);
        EXPECT_EQ(rec.calls()[0].args, effectCall(56, 0, colourAt(5, 6), kWhite, 0, 0)->args);
    });
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(pictureOf(*doc).bits, std::vector<uint8_t>(4 * 9 * 7, 0));   // the recorder draws nothing
}

TEST_F(EffectDialog, ReplacementAndTileColoursComeFromThePicker)
{
    openDocument(9, 7);
    ZorveliRecorder rec;
    ports.colourPicker.answers = {0x00FF00, std::nullopt};
    runEffect(53, [&](fLayersEffects& d) {
        QTest::mouseClick(d.pTransparent, Qt::LeftButton);
        EXPECT_EQ(d.ReplacementColor, 0x00FF00);
        EXPECT_EQ(d.pTransparent->BackColor(), 0x00FF00);
        EXPECT_EQ(lastArgs(rec), effectCall(53, 0, kWindowBackground, 0x00FF00, 0, 0)->args);
        // A cancelled second choice keeps the first and draws nothing.
        const size_t before = rec.calls().size();
        QTest::mouseClick(d.pTransparent, Qt::LeftButton);
        EXPECT_EQ(d.ReplacementColor, 0x00FF00);
        EXPECT_EQ(rec.calls().size(), before);
    });
    EXPECT_EQ(ports.colourPicker.asked, (std::vector<int32_t>{kWhite, 0x00FF00}));

    // The tile's background: the picker starts from the box's white, and
    // the result preview is cleared to the colour before the tiles are drawn.
    ports.colourPicker.answers = {0x0000FF};
    runEffect(71, [&](fLayersEffects& d) {
        QTest::mouseClick(d.colTile, Qt::LeftButton);
        EXPECT_EQ(d.ReplacementColor, 0x0000FF);
        const EffectSurface& shown = d.iDst->surface;
        ASSERT_EQ(shown.width, 9);
        for (size_t i = 0; i < shown.bits.size(); i += 4)
            ASSERT_EQ((std::array{shown.bits[i], shown.bits[i + 1], shown.bits[i + 2]}),
                      (std::array<uint8_t, 3>{0, 0, 255}));
        EXPECT_EQ(lastArgs(rec), effectCall(71, 0, kWindowBackground, 0x0000FF, 0, 0)->args);
    });
    EXPECT_EQ(ports.colourPicker.asked.back(), kWhite);
}

TEST_F(EffectDialog, EachOptionsFrameShowsItsCaptionsWhole)
{
    TQ_REQUIRE_BUNDLED_FONT();
    TextFitFonts fonts;
    openDocument(9, 7);
    // No options, the colour options, the tile option.
    for (int16_t id : std::initializer_list<int16_t>{40, 67, 71}) {
        const bool shown = runEffect(id, [&](fLayersEffects& d) { EXPECT_EQ(describe(cutTexts(&d)), "") << id; });
        EXPECT_TRUE(shown);
    }
}

TEST_F(EffectDialog, PreviewShowsTheLibrarysResultOnTheThumbnail)
{
    effects::registerEffectsLibrary();
    openDocument(60, 40);
    runEffect(64, [&](fLayersEffects& d) {
        d.HS->setValue(128);
        const auto want = libraryResult(64, 128, kWindowBackground, kWhite, d.iSrc->surface);
        ASSERT_TRUE(want.has_value());
        EXPECT_EQ(d.iDst->surface.bits, want->bits);
        EXPECT_NE(d.iDst->surface.bits, d.iSrc->surface.bits);
        EXPECT_EQ(d.iDst->shown().size(), QSize(60, 40));
    });
}

} // namespace
