#include "document/ImageCanvas.h"
#include "document/cBitRegion.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tq;

namespace {

QRgb colourOf(int x, int y) { return qRgb(40 * x + 10, 60 * y + 20, (x * 7 + y * 13) % 256); }

// A W x H picture whose pixel (x, y) has colourOf(x, y), margin black.
BitsBuffer makePicture(int W, int H)
{
    BitsBuffer b(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const QRgb c = colourOf(x, y);
            b.at(0, x, y) = static_cast<uint8_t>(qBlue(c));
            b.at(1, x, y) = static_cast<uint8_t>(qGreen(c));
            b.at(2, x, y) = static_cast<uint8_t>(qRed(c));
        }
    return b;
}

QRgb rgbAt(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

// A canvas laid out by the view in a container of cw x ch.
struct CanvasFixture {
    BitsBuffer bits;
    ViewLayout view;
    cBitRegion selection;
    ImageCanvas canvas;

    CanvasFixture(int W, int H, int zoom, int cw, int ch) : bits(makePicture(W, H))
    {
        view.setPicture(W, H, true);
        view.setContainer(cw, ch);
        view.repaint = [this] { canvas.UpdateImage(); };
        view.zoomChanged = [this](int32_t z) { selection.setZoomFactor(static_cast<float>(z)); };
        view.setZoomFactor(zoom);
        selection.Init(0, 0, W, H);
        selection.setZoomFactor(static_cast<float>(zoom));
        const CanvasRect& r = view.Canvas();
        canvas.setGeometry(r.left, r.top, r.width, r.height);
        canvas.setSource(&bits, &view, &selection);
    }
    QImage grab() { return canvas.grab().toImage(); }
};

} // namespace

TEST(ImageCanvas, EachPixelBecomesAZoomByZoomBlock)
{
    for (int z : {1, 2, 3, 5}) {
        CanvasFixture f(3, 2, z, 600, 500);
        const QImage img = f.grab();
        ASSERT_EQ(img.width(), 3 * z);
        ASSERT_EQ(img.height(), 2 * z);
        for (int Y = 0; Y < img.height(); ++Y)
            for (int X = 0; X < img.width(); ++X)
                ASSERT_EQ(rgbAt(img, X, Y), colourOf(X / z, Y / z) & 0xFFFFFFu) << "zoom " << z << " at " << X << "," << Y;
    }
}

TEST(ImageCanvas, ScrolledBandsFollowTheViewTransform)
{
    // 40 x 30 at zoom 3 in an 100 x 60 container: both ways scrolled.
    CanvasFixture f(40, 30, 3, 100, 60);
    ASSERT_EQ(f.view.Canvas(), (CanvasRect{0, 0, 100, 60}));
    for (auto [hV, vV] : {std::pair{7, 0}, std::pair{0, 29}, std::pair{19, 30}, std::pair{20, 1}}) {
        f.view.Scroll(hV, vV);
        ASSERT_EQ(f.view.hSB.Value(), hV);
        ASSERT_EQ(f.view.vSB.Value(), vV);
        const QImage img = f.grab();
        for (int Y = 0; Y < 60; Y += 7)
            for (int X = 0; X < 100; X += 3)
                ASSERT_EQ(rgbAt(img, X, Y), colourOf((hV + X) / 3, (vV + Y) / 3) & 0xFFFFFFu)
                    << hV << "," << vV << " at " << X << "," << Y;
    }
}

TEST(ImageCanvas, OutlineOnlyWhileTheTimerRuns)
{
    CanvasFixture f(20, 20, 1, 100, 100);
    f.selection.CreateRect(4, 4, 12, 10, 2, false);
    const QRgb inside = colourOf(4, 4) & 0xFFFFFFu;

    QImage img = f.grab();
    EXPECT_EQ(rgbAt(img, 4, 4), inside) << "no outline while inactive";

    f.canvas.StartTimer();
    EXPECT_TRUE(f.canvas.TimerRunning());
    EXPECT_EQ(f.selection.BrushIndex(), 1) << "StartTimer steps once at once";
    img = f.grab();
    // The frame is painted in black and white only; pixels off it are untouched.
    for (int x = 4; x < 12; ++x) {
        const QRgb c = rgbAt(img, x, 4);
        EXPECT_TRUE(c == 0 || c == 0xFFFFFFu) << x;
    }
    EXPECT_EQ(rgbAt(img, 6, 6), colourOf(6, 6) & 0xFFFFFFu);
    EXPECT_EQ(rgbAt(img, 3, 4), colourOf(3, 4) & 0xFFFFFFu);

    f.canvas.tmrSelection_Timer();
    EXPECT_EQ(f.selection.BrushIndex(), 2);

    f.canvas.StopTimer();
    img = f.grab();
    EXPECT_EQ(rgbAt(img, 4, 4), inside) << "a repaint after the stop has no outline";

    // An empty selection is never outlined and the ticks do nothing.
    f.selection.Init(0, 0, 20, 20);
    f.canvas.StartTimer();
    EXPECT_EQ(f.selection.BrushIndex(), 2);
    EXPECT_EQ(rgbAt(f.grab(), 0, 0), colourOf(0, 0) & 0xFFFFFFu);
}

TEST(ImageCanvas, UpdateRegionDrawsTheOutlineOnceWithoutTheTimer)
{
    CanvasFixture f(20, 20, 1, 100, 100);
    f.selection.CreateRect(4, 4, 12, 10, 2, false);
    f.canvas.UpdateRegion();
    EXPECT_FALSE(f.canvas.TimerRunning());
    EXPECT_EQ(f.selection.BrushIndex(), 0) << "the current pattern, no step";
    // The next paint carries the outline; the one after it no longer does.
    QImage img = f.grab();
    const QRgb c = rgbAt(img, 4, 4);
    EXPECT_TRUE(c == 0 || c == 0xFFFFFFu);
    EXPECT_EQ(rgbAt(f.grab(), 4, 4), colourOf(4, 4) & 0xFFFFFFu);

    f.canvas.SetAutoRedraw(true);
    EXPECT_TRUE(f.canvas.AutoRedraw());
    f.canvas.SetAutoRedraw(false);
    EXPECT_FALSE(f.canvas.AutoRedraw());
}

TEST(ImageCanvas, RubberBandsPlaceAndInvert)
{
    CanvasFixture f(10, 10, 2, 600, 500);
    f.canvas.ShowShape(0, 1, 1, 4, 3, false);
    const auto& r = f.canvas.shpRect();
    EXPECT_TRUE(r.visible);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.width, 6);
    EXPECT_EQ(r.height, 4);
    QImage img = f.grab();
    EXPECT_EQ(rgbAt(img, 2, 2), ~colourOf(1, 1) & 0xFFFFFFu) << "outline inverts";
    EXPECT_EQ(rgbAt(img, 7, 5), ~colourOf(3, 2) & 0xFFFFFFu);
    EXPECT_EQ(rgbAt(img, 4, 4), colourOf(2, 2) & 0xFFFFFFu) << "inside untouched";
    EXPECT_EQ(rgbAt(img, 8, 2), colourOf(4, 1) & 0xFFFFFFu) << "right edge exclusive";
    f.canvas.HideShape(0);
    EXPECT_FALSE(f.canvas.shpRect().visible);
    EXPECT_EQ(rgbAt(f.grab(), 2, 2), colourOf(1, 1) & 0xFFFFFFu);

    // Reversed corners give the same rectangle; kinds 3 and above do nothing.
    f.canvas.ShowShape(1, 4, 3, 1, 1, false);
    EXPECT_EQ(f.canvas.shpEllp().left, 2);
    EXPECT_EQ(f.canvas.shpEllp().width, 6);
    f.canvas.ShowShape(3, 0, 0, 5, 5, false);
    f.canvas.HideShape(3);
    EXPECT_TRUE(f.canvas.shpEllp().visible);

    // Polyline: the last segment moves, NewLine adds one; hiding drops all but
    // element 0.
    f.canvas.ShowShape(2, 0, 0, 2, 0, false);
    ASSERT_EQ(f.canvas.shpLine().size(), 1u);
    f.canvas.ShowShape(2, 0, 0, 3, 0, true);
    ASSERT_EQ(f.canvas.shpLine().size(), 2u);
    EXPECT_EQ(f.canvas.shpLine()[0].x2, 6);
    EXPECT_FALSE(f.canvas.shpLine()[1].visible);
    f.canvas.ShowShape(2, 3, 0, 3, 4, false);
    EXPECT_TRUE(f.canvas.shpLine()[1].visible);
    EXPECT_EQ(f.canvas.shpLine()[1].y2, 8);
    f.canvas.HideShape(2);
    ASSERT_EQ(f.canvas.shpLine().size(), 1u);
    EXPECT_FALSE(f.canvas.shpLine()[0].visible);
}

TEST(ImageCanvas, NothingIsDrawnWithoutAPicture)
{
    CanvasFixture f(4, 4, 1, 100, 100);
    f.canvas.setAttribute(Qt::WA_OpaquePaintEvent, false);
    f.canvas.setAutoFillBackground(true);
    QPalette pal = f.canvas.palette();
    pal.setColor(QPalette::Base, QColor(1, 2, 3));
    f.canvas.setPalette(pal);
    f.view.Clear();
    EXPECT_EQ(rgbAt(f.grab(), 1, 1), qRgb(1, 2, 3) & 0xFFFFFFu);
}

TEST(ImageCanvas, MouseAndKeysReachTheWindowInThePlatformsNumbers)
{
    // The canvas only reports; the window (fImage) scrolls and paints.
    CanvasFixture f(100, 100, 2, 100, 100);
    std::vector<std::string> got;
    const auto mouse = [&](const char* what) {
        return [&got, what](int16_t b, int16_t s, float x, float y) {
            got.push_back(std::string(what) + " " + std::to_string(b) + " " + std::to_string(s) + " " +
                          std::to_string(int(x)) + "," + std::to_string(int(y)));
        };
    };
    f.canvas.onMouseDown = mouse("down");
    f.canvas.onMouseMove = mouse("move");
    f.canvas.onMouseUp = mouse("up");
    f.canvas.onKeyDown = [&](int16_t k, int16_t s) { got.push_back("key " + std::to_string(k) + " " + std::to_string(s)); };
    f.canvas.onKeyUp = [&](int16_t k, int16_t s) { got.push_back("keyup " + std::to_string(k) + " " + std::to_string(s)); };

    QTest::mousePress(&f.canvas, Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 50));
    QTest::mouseMove(&f.canvas, QPoint(40, 70));
    QTest::mouseRelease(&f.canvas, Qt::LeftButton, {}, QPoint(-3, 99));
    QTest::mousePress(&f.canvas, Qt::RightButton, Qt::ControlModifier, QPoint(1, 2));
    QTest::mouseRelease(&f.canvas, Qt::RightButton, Qt::AltModifier, QPoint(1, 2));
    QTest::keyPress(&f.canvas, Qt::Key_Space);
    QTest::keyPress(&f.canvas, Qt::Key_Left);
    QTest::keyPress(&f.canvas, Qt::Key_Down);
    QTest::keyRelease(&f.canvas, Qt::Key_Control);
    const std::vector<std::string> want = {
        "down 1 1 50,50", "move 1 0 40,70", "up 1 0 -3,99", "down 2 2 1,2", "up 2 4 1,2",
        "key 32 0",       "key 37 0",       "key 40 0",     "keyup 17 2",
    };
    EXPECT_EQ(got, want);
    // The view is the window's to move: the canvas alone scrolls nothing.
    EXPECT_EQ(f.view.hSB.Value(), 50);
    EXPECT_EQ(f.view.vSB.Value(), 50);
}

TEST(ImageCanvas, PointerNumbersAndThePicturePointer)
{
    CanvasFixture f(10, 10, 1, 100, 100);
    const struct {
        int16_t pointer;
        Qt::CursorShape shape;
    } cases[] = {{0, Qt::ArrowCursor},       {2, Qt::CrossCursor},   {11, Qt::WaitCursor},
                 {13, Qt::BusyCursor},       {15, Qt::SizeAllCursor}, {99, Qt::PointingHandCursor}};
    f.canvas.setMouseIcon(QCursor(Qt::PointingHandCursor));
    for (const auto& c : cases) {
        f.canvas.setMousePointer(c.pointer);
        EXPECT_EQ(f.canvas.MousePointer(), c.pointer);
        EXPECT_EQ(f.canvas.cursor().shape(), c.shape) << c.pointer;
    }
    // A new picture while 99 is shown shows at once; otherwise it waits.
    f.canvas.setMouseIcon(QCursor(Qt::ClosedHandCursor));
    EXPECT_EQ(f.canvas.cursor().shape(), Qt::ClosedHandCursor);
    f.canvas.setMousePointer(2);
    f.canvas.setMouseIcon(QCursor(Qt::OpenHandCursor));
    EXPECT_EQ(f.canvas.cursor().shape(), Qt::CrossCursor);
}

TEST(ImageCanvas, ABandRepaintDrawsJustThePixelsItCovers)
{
    // Zoom 3, scrolled: the band of picture pixels (10..12, 20..21) is drawn
    // where the whole repaint draws it, and nothing else of the canvas is
    // touched.
    CanvasFixture f(60, 60, 3, 90, 90);
    f.view.Scroll(7, 11);
    QImage whole(f.canvas.size(), QImage::Format_RGB32);
    {
        QPainter p(&whole);
        drawVisibleBand(p, f.bits, 3, f.view.hSB.Value(), f.view.hSB.Max(), f.view.vSB.Value(), f.view.vSB.Max(),
                        f.canvas.width(), f.canvas.height());
    }
    QImage band(f.canvas.size(), QImage::Format_RGB32);
    band.fill(Qt::magenta);
    const QRect exposed(10 * 3 - 7, 20 * 3 - 11, 3 * 3, 2 * 3);
    {
        QPainter p(&band);
        drawVisibleBand(p, f.bits, 3, f.view.hSB.Value(), f.view.hSB.Max(), f.view.vSB.Value(), f.view.vSB.Max(),
                        f.canvas.width(), f.canvas.height(), exposed);
    }
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x) {
            if (exposed.contains(x, y)) {
                ASSERT_EQ(rgbAt(band, x, y), rgbAt(whole, x, y)) << x << "," << y;
            } else if (rgbAt(band, x, y) != (qRgb(255, 0, 255) & 0xFFFFFFu)) {
                // Only whole picture pixels around the band may be drawn.
                ASSERT_TRUE(exposed.adjusted(-2, -2, 2, 2).contains(x, y)) << x << "," << y;
            }
        }
}
