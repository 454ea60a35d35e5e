// Strokes made as a real mouse makes them: the events go to the main
// window's platform window and reach the canvas through Qt's own delivery
// (the press grabs the pointer for the canvas, the release comes wherever
// the pointer is, a second press in time is also a double click), in the
// orders a hand gives them. However they come, a stroke blends its pixels
// once and records one step.
#include "CanvasFixture.h"

#include "document/Numeric.h"
#include "document/StatusPanels.h"
#include "tools/DocumentPaint.h"

#include <QWindow>

namespace tq::testing {
namespace {

constexpr int32_t kInk = rgbColor(200, 40, 90);

class CanvasMouse : public CanvasFixture {
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        doc = open(60, 40);
        chooseTool("Brush");
        programSettings().ActiveColor = kInk;
        brushOptions(0, 7, 30, true);
        window = main->windowHandle();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override
    {
        // QTest keeps the buttons it pressed: none stays down for the next.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
            if (window && (held & b)) QTest::mouseRelease(window, b, {}, QPoint(1, 1));
        CanvasFixture::TearDown();
    }

    // Picture pixel p in the platform window's coordinates.
    QPoint inWindow(PointI p) const { return doc->iDst->mapTo(main.get(), at(*doc, p)); }

    // Each of these goes through the platform window, as the hardware's
    // events do.
    void hover(PointI p) { QTest::mouseMove(window, inWindow(p)); }
    void down(PointI p, Qt::MouseButton b = Qt::LeftButton)
    {
        held.setFlag(b);
        QTest::mousePress(window, b, {}, inWindow(p));
    }
    void drag(PointI p) { QTest::mouseMove(window, inWindow(p)); }
    void upAt(QPoint inWin, Qt::MouseButton b = Qt::LeftButton)
    {
        held.setFlag(b, false);
        QTest::mouseRelease(window, b, {}, inWin);
    }
    void up(PointI p, Qt::MouseButton b = Qt::LeftButton) { upAt(inWindow(p), b); }
    void doubleClick(PointI p) { QTest::mouseDClick(window, Qt::LeftButton, {}, inWindow(p)); }

    // The picture the brush leaves for strokes through these points, each
    // stroke with a fresh map (the press's step, then one per point).
    BitsBuffer strokes(const std::vector<std::vector<PointI>>& each) const
    {
        BitsBuffer want = before;
        cBitRegion whole;
        whole.Init(0, 0, 60, 40);
        DocumentPaint p(want, whole);
        for (const std::vector<PointI>& s : each) {
            p.CreateDoneBitsTable();
            PointI from = s.front();
            for (const PointI& to : s) {
                p.BitsBrushLine(from.x, from.y, to.x, to.y, 7, 30, kInk, 0);
                from = to;
            }
        }
        return want;
    }

    void expectSteps(int n)
    {
        EXPECT_EQ(newRows(), n);
        EXPECT_EQ(doc->snapshots, n);
        for (int i = 0; i < n; ++i) EXPECT_EQ(programHistory().row(rowsBefore + i).Ltext, "Brush");
        EXPECT_EQ(doc->sbInfo->panelText(2).toStdString(), "Total Actions: " + std::to_string(doc->Undopos()));
    }

    CountingImage* doc = nullptr;
    QWindow* window = nullptr;
    Qt::MouseButtons held;
};

TEST_F(CanvasMouse, ADragWithAMoveBeforeItsFirstStepIsOneStep)
{
    hover({9, 9});
    down({10, 10});
    drag({10, 10});   // the hand trembles on the press's pixel
    drag({14, 11});
    drag({20, 15});
    up({20, 15});
    EXPECT_TRUE(samePixels(doc->Bits(), strokes({{{10, 10}, {10, 10}, {14, 11}, {20, 15}}})));
    expectSteps(1);
}

TEST_F(CanvasMouse, AClickIsOneStepAndADoubleClickTwo)
{
    down({10, 10});
    up({10, 10});
    EXPECT_TRUE(samePixels(doc->Bits(), strokes({{{10, 10}}})));
    expectSteps(1);

    // The second press of a double click comes as a double click: a press
    // all the same, so two strokes of one blend each.
    doubleClick({30, 20});
    EXPECT_TRUE(samePixels(doc->Bits(), strokes({{{10, 10}}, {{30, 20}}, {{30, 20}}})));
    expectSteps(3);
}

TEST_F(CanvasMouse, AReleaseWithoutItsPressEndsNoStroke)
{
    // The press went elsewhere (to close a popup, or to another program
    // holding the pointer) and the release comes to the canvas alone. It
    // ends nothing: no brush step, no fill at the release point.
    for (const char* tool : {"Brush", "Fill"}) {
        SCOPED_TRACE(tool);
        chooseTool(tool);
        const int rows = newRows();
        QTest::mouseRelease(doc->iDst, Qt::LeftButton, {}, at(*doc, {20, 20}));
        EXPECT_EQ(newRows(), rows);
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_TRUE(samePixels(doc->Bits(), before));
    }
    // The next stroke is whole.
    down({20, 20});
    up({20, 20});
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(lastRow(), "Fill");
    EXPECT_FALSE(samePixels(doc->Bits(), before));
}

TEST_F(CanvasMouse, AReleaseOutsideTheCanvasEndsTheStrokeOnce)
{
    down({10, 10});
    drag({50, 30});
    // Over the status bar, then outside the document window altogether: the
    // canvas keeps the pointer until the button comes up.
    const QPoint status = doc->sbInfo->mapTo(main.get(), doc->sbInfo->rect().center());
    QTest::mouseMove(window, status);
    upAt(QPoint(main->width() - 2, main->height() - 2));
    EXPECT_EQ(newRows(), 1);
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(lastRow(), "Brush");
    EXPECT_FALSE(samePixels(doc->Bits(), before));
    EXPECT_TRUE(engineMirrors(*doc));

    // The next stroke starts afresh and is a step of its own.
    down({5, 5});
    up({5, 5});
    EXPECT_EQ(newRows(), 2);
}

TEST_F(CanvasMouse, ASecondPressBeforeTheReleaseKeepsOneStep)
{
    // The right button comes and goes in the middle of a left drag.
    down({10, 10});
    drag({15, 10});
    down({15, 10}, Qt::RightButton);
    up({15, 10}, Qt::RightButton);
    drag({20, 12});
    up({20, 12});
    expectSteps(1);

    // A left press whose release was lost (taken by another window): the
    // next press starts the stroke again, and its release records it once.
    down({30, 20});
    drag({35, 20});
    down({40, 25});
    drag({45, 25});
    up({45, 25});
    expectSteps(2);
}

} // namespace
} // namespace tq::testing
