#include "document/ViewLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace tq;

namespace {

// A view of a W x H picture in a container, with counters for what it asks of
// the window.
struct View {
    ViewLayout v;
    int repaints = 0;
    int layouts = 0;
    std::vector<int32_t> zooms;

    View(int32_t W, int32_t H, int32_t cw, int32_t ch)
    {
        v.setPicture(W, H, true);
        v.setContainer(cw, ch);
        v.repaint = [this] { ++repaints; };
        v.zoomChanged = [this](int32_t z) { zooms.push_back(z); };
        v.requestLayout = [this] {
            ++layouts;
            v.UserControl_Resize();
        };
    }
};

} // namespace

TEST(ZoomTable, EntriesAndClamping)
{
    ZoomTable t;
    for (int i = 1; i <= 15; ++i) EXPECT_EQ(t(i), i);
    struct Case {
        int32_t in, out;
    } cases[] = {{0, 1}, {-5, 1}, {1, 1}, {7, 7}, {15, 15}, {16, 15}, {99, 15}};
    for (auto c : cases) {
        View w(400, 300, 600, 500);
        w.v.setZoomFactor(c.in);
        EXPECT_EQ(w.v.ZoomFactor(), c.out) << c.in;
        EXPECT_EQ(w.zooms.back(), c.out) << "the selection's display factor follows";
    }
}

TEST(ZoomTable, StepsStopAtTheEndsAndNeedAPicture)
{
    View w(400, 300, 600, 500);
    w.v.setZoomFactor(15);
    w.v.ZoomIn();
    EXPECT_EQ(w.v.ZoomFactor(), 15);
    w.v.setZoomFactor(1);
    w.v.ZoomOut();
    EXPECT_EQ(w.v.ZoomFactor(), 1);
    w.v.ZoomIn();
    EXPECT_EQ(w.v.ZoomFactor(), 2);

    ViewLayout empty;
    empty.ZoomIn();
    EXPECT_EQ(empty.ZoomFactor(), 1);
    empty.setZoomFactor(4);   // the factor is stored; the layout does nothing
    EXPECT_EQ(empty.ZoomFactor(), 4);
    empty.ZoomOut();
    EXPECT_EQ(empty.ZoomFactor(), 4);
    EXPECT_EQ(empty.UserControl_Resize(), LayoutOutcome::Skipped);
    EXPECT_FALSE(empty.LaidOut);
}

TEST(ViewLayout, PlacesTheCanvasAndSetsTheRanges)
{
    struct Case {
        int32_t W, H, zoom, cw, ch;
        CanvasRect canvas;
        int32_t hMax, vMax, hV, vV;
    } cases[] = {
        // Fits: centred, nothing to scroll.
        {400, 300, 1, 600, 500, {100, 100, 400, 300}, 0, 0, 0, 0},
        // 800 > 600 and 600 > 500: fills the container, shown from the middle.
        {400, 300, 2, 600, 500, {0, 0, 600, 500}, 200, 100, 100, 50},
        // Only wider than the container.
        {400, 100, 2, 600, 500, {0, 150, 600, 200}, 200, 0, 100, 0},
        // Odd remainders: (601 - 400) / 2 truncates; maxima 5 and 7 centre at 2 and 4.
        {400, 300, 1, 601, 303, {100, 1, 400, 300}, 0, 0, 0, 0},
        {605, 507, 1, 600, 500, {0, 0, 600, 500}, 5, 7, 2, 4},
    };
    for (const Case& c : cases) {
        View w(c.W, c.H, c.cw, c.ch);
        w.v.setZoomFactor(c.zoom);
        SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " zoom " << c.zoom);
        EXPECT_TRUE(w.v.CanvasVisible());
        EXPECT_EQ(w.v.Canvas(), c.canvas);
        EXPECT_EQ(w.v.hSB.Max(), c.hMax);
        EXPECT_EQ(w.v.vSB.Max(), c.vMax);
        EXPECT_EQ(w.v.hSB.Value(), c.hV);
        EXPECT_EQ(w.v.vSB.Value(), c.vV);
        EXPECT_EQ(w.v.hSB.LargeChange(), c.canvas.width);
        EXPECT_EQ(w.v.vSB.LargeChange(), c.canvas.height);
        EXPECT_EQ(w.v.hSB.SmallChange(), c.zoom);
        EXPECT_FALSE(w.v.HoldPaint);
        EXPECT_EQ(w.v.LastHMax, static_cast<float>(c.hMax));
        EXPECT_EQ(w.v.LastVMax, static_cast<float>(c.vMax));
    }
}

TEST(ViewLayout, ZoomKeepsTheRelativePosition)
{
    View w(400, 300, 600, 500);
    w.v.setZoomFactor(2);
    ASSERT_TRUE(w.v.hSB.setValue(150));
    w.v.setZoomFactor(3);
    EXPECT_EQ(w.v.hSB.Max(), 600);
    EXPECT_EQ(w.v.hSB.Value(), 450);
    // Back down: the value is pulled to the new, lower maximum first, but the
    // position kept is the one before (450 of 600 -> 150 of 200).
    w.v.setZoomFactor(2);
    EXPECT_EQ(w.v.hSB.Value(), 150);
    // Down to a fit and up again: shown from the middle, since the last
    // maximum was 0.
    w.v.setZoomFactor(1);
    EXPECT_EQ(w.v.hSB.Value(), 0);
    w.v.setZoomFactor(2);
    EXPECT_EQ(w.v.hSB.Value(), 100);
}

TEST(ViewLayout, HandPointerOnlyWhenThereIsSomethingToScroll)
{
    View w(400, 300, 600, 500);
    w.v.setMouseScroll(true);
    w.v.UserControl_Resize();
    EXPECT_FALSE(w.v.HandPointer());
    w.v.setZoomFactor(2);
    EXPECT_TRUE(w.v.HandPointer());
    w.v.setMouseScroll(false);
    EXPECT_FALSE(w.v.HandPointer());
    EXPECT_FALSE(w.v.MouseScroll());
}

TEST(ViewLayout, ScrollRefusesOutOfRangeValuesAndRepaintsOnce)
{
    View w(400, 300, 600, 500);
    w.v.setZoomFactor(2);   // maxima 200 and 100
    w.repaints = 0;
    w.v.Scroll(500, 20);
    EXPECT_EQ(w.v.hSB.Value(), 100);   // refused, not clamped
    EXPECT_EQ(w.v.vSB.Value(), 20);
    EXPECT_EQ(w.repaints, 1);
    w.v.Scroll(-1, 101);
    EXPECT_EQ(w.v.hSB.Value(), 100);
    EXPECT_EQ(w.v.vSB.Value(), 20);
    EXPECT_EQ(w.repaints, 2);
    // A change of one value outside Scroll repaints by itself and is remembered.
    w.v.hSB.setValue(7);
    EXPECT_EQ(w.repaints, 3);
    EXPECT_EQ(w.v.LastHValue, 7.0f);
    int32_t hV, VV, hM, vM;
    w.v.GetSBV(hV, VV);
    w.v.GetSBM(hM, vM);
    EXPECT_EQ(hV, 7);
    EXPECT_EQ(VV, 20);
    EXPECT_EQ(hM, 200);
    EXPECT_EQ(vM, 100);
    // The hand drag keeps the values within 0..Max instead.
    w.v.DragBy(-50, 500);
    EXPECT_EQ(w.v.hSB.Value(), 0);
    EXPECT_EQ(w.v.vSB.Value(), 100);
    EXPECT_EQ(w.repaints, 4);
}

TEST(ViewLayout, DimensionsWithAndWithoutAPicture)
{
    View w(400, 300, 600, 500);
    w.v.setZoomFactor(2);
    int32_t sW, sH, dW, dH;
    w.v.GetDimensions(sW, sH, dW, dH);
    EXPECT_EQ(sW, 400);
    EXPECT_EQ(sH, 300);
    EXPECT_EQ(dW, 600);
    EXPECT_EQ(dH, 500);

    ViewLayout none;
    none.GetDimensions(sW, sH, dW, dH);
    EXPECT_EQ(sW, 0);
    EXPECT_EQ(dW, 0);
}

TEST(ViewLayout, LargePicturesScrollWithThirtyTwoBitPositions)
{
    // 3000 x 2000 at zoom 15 is 45000 x 30000 magnified pixels.
    View w(3000, 2000, 800, 600);
    w.v.setZoomFactor(15);
    EXPECT_EQ(w.v.ZoomFactor(), 15);
    EXPECT_EQ(w.v.hSB.Max(), 45000 - 800);
    EXPECT_EQ(w.v.hSB.Value(), 22100);
    EXPECT_TRUE(w.v.hSB.setValue(40000));
    int32_t hV, VV;
    w.v.GetSBV(hV, VV);
    EXPECT_EQ(hV, 40000);
    const PaintGeometry g = paintGeometry(15, hV, w.v.hSB.Max(), VV, w.v.vSB.Max(), 800, 600, 3000, 2000);
    EXPECT_EQ(g.srcX, 40000 / 15 + 2);   // picture column 2666 at the left edge
    EXPECT_EQ(g.dstX, -(40000 % 15));
    EXPECT_EQ(canvasToPicture(0, 15, hV), 2666);
}

TEST(ViewLayout, SizeGuardNeverReentersItself)
{
    // A picture side beyond the largest cannot be shown even at zoom 1: the
    // layout falls back to zoom 1 once and stops, asking for no further layout.
    View w(40000, 10, 600, 500);
    w.v.setZoomFactor(3);
    EXPECT_EQ(w.v.ZoomFactor(), 1);
    EXPECT_EQ(w.layouts, 1);
    EXPECT_EQ(w.v.UserControl_Resize(), LayoutOutcome::Refused);
    EXPECT_FALSE(w.v.LaidOut);

    // A layout asked for while one runs is skipped, not nested.
    ViewLayout big;
    big.setPicture(40000, 10, true);
    big.setContainer(100, 100);
    big.setZoomFactor(5);
    int inner = 0;
    big.zoomChanged = [&](int32_t) { inner += big.UserControl_Resize() == LayoutOutcome::Skipped; };
    big.setZoomFactor(5);   // the guard resets the zoom from inside the layout
    EXPECT_EQ(inner, 1);
}

TEST(ViewLayout, BarsWidthAndTheSmallestContainer)
{
    View w(400, 300, 20, 500);
    w.v.setBarsWidth(5);
    EXPECT_EQ(w.v.BarsWidth(), 13);
    EXPECT_EQ(w.v.UserControl_Resize(), LayoutOutcome::ContainerTooSmall);
    EXPECT_TRUE(w.v.MinimumIsWidth());
    EXPECT_EQ(w.v.MinimumTwips(), 2 * 13 * 15);
    EXPECT_TRUE(w.v.HoldPaint);
    EXPECT_FALSE(w.v.CanvasVisible());
    w.v.setBarsWidth(20);
    EXPECT_EQ(w.v.BarsWidth(), 20);
    w.v.setContainer(600, 30);
    EXPECT_EQ(w.v.UserControl_Resize(), LayoutOutcome::ContainerTooSmall);
    EXPECT_FALSE(w.v.MinimumIsWidth());
    w.v.setContainer(600, 500);
    EXPECT_EQ(w.v.UserControl_Resize(), LayoutOutcome::Done);
}

TEST(ViewLayout, ClearHoldsPaintUntilTheNextLayout)
{
    View w(400, 300, 600, 500);
    w.v.setZoomFactor(2);
    w.repaints = 0;
    w.v.Clear();
    EXPECT_EQ(w.v.hSB.Max(), 0);
    EXPECT_EQ(w.v.vSB.Max(), 0);
    EXPECT_TRUE(w.v.HoldPaint);
    EXPECT_FALSE(w.v.CanvasVisible());
    EXPECT_EQ(w.repaints, 0);   // the values pulled to 0 did not repaint
    EXPECT_EQ(w.v.UserControl_Resize(), LayoutOutcome::Skipped);
    EXPECT_TRUE(w.v.HoldPaint);
}

TEST(PaintGeometry, VisibleBandTable)
{
    struct Case {
        const char* name;
        int32_t z, hV, hM, vV, vM, cW, cH, W, H;
        PaintGeometry g;
        int32_t topRow;   // buffer row of the band's top
    } cases[] = {
        {"zoom 3 scrolled 7", 3, 7, 10, 0, 0, 100, 60, 40, 20, {-1, 0, 105, 60, 4, 2, 35, 20}, 2},
        {"zoom 1 no scrolling", 1, 0, 0, 0, 0, 400, 300, 400, 300, {0, 0, 400, 300, 2, 2, 400, 300}, 2},
        // Rows 15 to 90 of a 100-row picture; one more pixel of scroll moves them up.
        {"zoom 2 rows", 2, 0, 0, 30, 50, 80, 150, 40, 100, {0, 0, 80, 152, 2, 11, 40, 76}, 17},
        {"zoom 2 rows odd", 2, 0, 0, 31, 50, 80, 150, 40, 100, {0, -1, 80, 152, 2, 11, 40, 76}, 17},
    };
    for (const Case& c : cases) {
        const PaintGeometry g = paintGeometry(c.z, c.hV, c.hM, c.vV, c.vM, c.cW, c.cH, c.W, c.H);
        EXPECT_EQ(g, c.g) << c.name;
        EXPECT_EQ(sourceTopRow(g, c.H), c.topRow) << c.name;
    }
}

TEST(PaintGeometry, BandStaysInsideTheBorderedBuffer)
{
    // Every scroll position of every zoom: the band lies within the buffer and
    // covers the canvas.
    const int32_t W = 37, H = 23;
    for (int32_t z = 1; z <= 15; ++z) {
        const int32_t cW = 50, cH = 41;
        const int32_t hM = std::max(0, W * z - cW), vM = std::max(0, H * z - cH);
        for (int32_t hV = 0; hV <= hM; hV += 3)
            for (int32_t vV = 0; vV <= vM; vV += 5) {
                const PaintGeometry g = paintGeometry(z, hV, hM, vV, vM, hM ? cW : W * z, vM ? cH : H * z, W, H);
                const int32_t top = sourceTopRow(g, H);
                ASSERT_GE(g.srcX, 0);
                ASSERT_LE(g.srcX + g.srcW, W + 4) << z << " " << hV;
                ASSERT_GE(top, 0);
                ASSERT_LE(top + g.srcH, H + 4) << z << " " << vV;
                if (vM) {
                    ASSERT_EQ(top - 2, vV / z);
                }
                ASSERT_GE(g.dstX + g.dstW, hM ? cW : W * z);
                ASSERT_GE(g.dstY + g.dstH, vM ? cH : H * z);
            }
    }
}

TEST(ViewTransform, PictureAndCanvasCoordinates)
{
    // Rectangle (1, 1)-(4, 3) at zoom 2 unscrolled: (2, 2) size 6 x 4.
    EXPECT_EQ(pictureToCanvas(1, 2, 0), 2);
    EXPECT_EQ(pictureToCanvas(4, 2, 0) - pictureToCanvas(1, 2, 0), 6);
    EXPECT_EQ(pictureToCanvas(3, 2, 0) - pictureToCanvas(1, 2, 0), 4);
    EXPECT_EQ(pictureToCanvas(10, 3, 7), 23);
    EXPECT_EQ(pictureToCanvas(2000000000, 15, 0), 2147483647);   // saturates
    EXPECT_EQ(canvasToPicture(5, 3, 7), 4);
}
