// The painting tools driven with QTest mouse events on the canvas of the
// real main window, at zoom 1 to 4 with the view scrolled: every stroke
// leaves exactly the pixels the routines give when called directly, and
// ends as one undo step labelled with the tool.
#include "CanvasFixture.h"

#include "document/Numeric.h"
#include "filters/cBitFilter.h"
#include "platform/Random.h"
#include "tools/CanvasTools.h"
#include "tools/DocumentPaint.h"
#include "tools/PaintSource.h"

#include <QEvent>
#include <QPaintEvent>

#include <functional>

namespace tq::testing {
namespace {

using Points = std::vector<PointI>;
using Expect = std::function<void(DocumentPaint&, BitsBuffer&, const Points&)>;

constexpr int kW = 400;
constexpr int kH = 300;
constexpr int32_t kInk = rgbColor(30, 140, 220);

// A 7 x 5 stamp, every pixel different.
BitsBuffer smallStamp()
{
    BitsBuffer s(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            s.at(0, x, y) = static_cast<uint8_t>(30 * x);
            s.at(1, x, y) = static_cast<uint8_t>(50 * y);
            s.at(2, x, y) = static_cast<uint8_t>(200 - 9 * x - 11 * y);
        }
    return s;
}

PaintSource stampSource() { return PaintSource::fromBuffer(StampBits()); }

// Each point of the stroke: the start's step at the press point, then one
// step per move.
template <class F>
void eachStep(const Points& p, F&& f)
{
    for (size_t i = 0; i < p.size(); ++i) f(i == 0 ? p[0] : p[i - 1], p[i]);
}

BitsBuffer engineGradient(const BitsBuffer& picture, bool circular, PointI a, PointI b)
{
    const Settings& s = programSettings();
    const Region whole = Region::rect(0, 0, picture.width(), picture.height());
    cBitFilter e;
    e.setBits(picture);
    e.setBitsRegion(&whole);
    const int32_t c1 = s.GradientTransparent1 ? -1 : s.GradientColor1;
    const int32_t c2 = s.GradientTransparent2 ? -1 : s.GradientColor2;
    return circular ? e.GradientCircular(a.x, a.y, b.x, b.y, c1, c2, s.GradientPressure, s.GradientFrequency)
                    : e.GradientLinear(a.x, a.y, b.x, b.y, c1, c2, s.GradientPressure, s.GradientFrequency);
}

struct PaintCase {
    const char* name;
    const char* tool;
    const char* label;
    std::function<void(Settings&)> options;
    Expect expect;
};

Expect shape(int kind)
{
    return [kind](DocumentPaint& p, BitsBuffer&, const Points& pts) {
        const Settings& s = programSettings();
        const PointI a = pts.front(), b = pts.back();
        const int32_t K = s.ActiveColor, P = s.ShapePressure;
        switch (kind) {
        case 0: p.BitsLine(a.x, a.y, b.x, b.y, K, P); break;
        case 1: eachStep(pts, [&](PointI f, PointI t) { p.BitsLine(f.x, f.y, t.x, t.y, K, P); }); break;
        case 2: {
            const int r = std::abs(b.x - a.x);
            const int sx = (b.x > a.x) - (b.x < a.x), sy = (b.y > a.y) - (b.y < a.y);
            p.BitsRectangle(a.x, a.y, a.x + r * sx, a.y + r * sy, K, P);
            break;
        }
        case 3: p.BitsRectangle(a.x, a.y, b.x, b.y, K, P); break;
        case 4: p.BitsEllipse(a.x, a.y, std::abs(b.x - a.x), std::abs(b.x - a.x), K, P); break;
        case 5: p.BitsEllipse(a.x, a.y, std::abs(b.x - a.x), std::abs(b.y - a.y), K, P); break;
        case 6: p.BitsPolygon(a.x, a.y, b.x, b.y, s.ShapeSides, K, P); break;
        }
    };
}

std::function<void(Settings&)> shapeOptions(int kind)
{
    return [kind](Settings& s) {
        s.ShapeType = static_cast<int16_t>(kind);
        s.ShapePressure = 70;
        s.ShapeSides = 5;
    };
}

std::vector<PaintCase> paintCases()
{
    std::vector<PaintCase> cases = {
        {"pencil", "Pencil", "Pencil", [](Settings& s) { s.BrushSize = 40; s.BrushPressure = 3; },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             eachStep(pts, [&](PointI f, PointI t) { p.BitsLine(f.x, f.y, t.x, t.y, kInk, 100); });
         }},
        {"brush traced", "Brush", "Brush",
         [](Settings& s) { s.BrushMode = 0; s.BrushSize = 9; s.BrushPressure = 60; s.BrushContinuous = true; },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             p.CreateDoneBitsTable();
             eachStep(pts, [&](PointI f, PointI t) { p.BitsBrushLine(f.x, f.y, t.x, t.y, 9, 60, kInk, 0); });
         }},
        {"brush stamp traced", "Brush", "Brush",
         [](Settings& s) {
             s.BrushMode = 6; s.BrushSize = 11; s.BrushPressure = 45; s.BrushContinuous = true;
             StampBits() = smallStamp();
         },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             p.CreateDoneBitsTable();
             eachStep(pts, [&](PointI f, PointI t) { p.BitsMaskedLine(f.x, f.y, t.x, t.y, 11, 45, stampSource()); });
         }},
        {"airbrush", "Airbrush", "AirBrush",
         [](Settings& s) {
             s.AirbrushSize = 15; s.AirbrushPressure = 50; s.AirbrushQuantity = 60; s.AirbrushDefinition = 20;
             programRandom().seed(77);
         },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             programRandom().seed(77);
             for (PointI t : pts) p.BitsAirbrush(t.x, t.y, 15, 50, 60, 20, kInk);
         }},
        {"stamp trail", "Stamp", "Stamp",
         [](Settings& s) {
             s.StampMask = false; s.StampUseMaskColor = true; s.StampMaskColor = rgbColor(200, 0, 0);
             s.StampClearBack = false; s.StampPressure = 80;
             StampBits() = smallStamp();
         },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             // (w - 1) \ 2 + 1 and (h - 1) \ 2 + 1
             for (PointI t : pts) p.BitsPaint(t.x - 4, t.y - 3, stampSource(), rgbColor(200, 0, 0), 80, true);
         }},
        {"stamp following", "Stamp", "Stamp",
         [](Settings& s) {
             s.StampMask = true; s.StampClearBack = true; s.StampPressure = 65;
             StampBits() = smallStamp();
         },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             p.BitsBWMask(pts.back().x - 4, pts.back().y - 3, stampSource(), kInk, 65);
         }},
        {"fill", "Fill", "Fill", [](Settings& s) { s.FillMode = 0; s.FillTolerance = 90; s.FillPressure = 75; },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             p.CreateDoneBitsTable();
             p.BitsFill(pts.back().x, pts.back().y, kInk, 90, 75);
         }},
        {"fill with the stamp", "Fill", "Fill",
         [](Settings& s) {
             s.FillMode = 1; s.FillTolerance = 120; s.FillPressure = 100;
             StampBits() = smallStamp();
         },
         [](DocumentPaint& p, BitsBuffer&, const Points& pts) {
             p.CreateDoneBitsTable();
             p.BitsFillTexture(pts.back().x, pts.back().y, stampSource(), 120, 100);
         }},
        {"gradient linear", "Gradient", "Gradient",
         [](Settings& s) {
             s.GradientMode = 0; s.GradientColor1 = rgbColor(250, 10, 10); s.GradientColor2 = rgbColor(0, 0, 90);
             s.GradientPressure = 70; s.GradientFrequency = 2;
         },
         [](DocumentPaint&, BitsBuffer& want, const Points& pts) {
             want = engineGradient(want, false, pts.front(), pts.back());
         }},
        {"gradient circular", "Gradient", "Gradient",
         [](Settings& s) {
             s.GradientMode = 1; s.GradientTransparent1 = true; s.GradientColor2 = rgbColor(0, 255, 0);
             s.GradientPressure = 55; s.GradientFrequency = 1;
         },
         [](DocumentPaint&, BitsBuffer& want, const Points& pts) {
             want = engineGradient(want, true, pts.front(), pts.back());
         }},
    };
    // The brush's own dabs, Trace off.
    for (int mode = 0; mode <= 5; ++mode)
        cases.push_back({"brush dabs", "Brush", "Brush",
                         [mode](Settings& s) {
                             s.BrushMode = static_cast<int16_t>(mode); s.BrushSize = 13; s.BrushPressure = 40;
                             s.BrushContinuous = false;
                         },
                         [mode](DocumentPaint& p, BitsBuffer&, const Points& pts) {
                             p.CreateDoneBitsTable();
                             for (PointI t : pts) {
                                 switch (mode) {
                                 case 0: p.BitsBrush(t.x, t.y, 13, 40, kInk); break;
                                 case 1: p.BitsSoften(t.x, t.y, 13, 40, false); break;
                                 case 2: p.BitsSoften(t.x, t.y, 13, 40, true); break;
                                 case 3: p.BitsSharpen(t.x, t.y, 13, 40); break;
                                 case 4: p.BitsBrightness(t.x, t.y, 13, 40, true); break;
                                 case 5: p.BitsBrightness(t.x, t.y, 13, 40, false); break;
                                 }
                             }
                         }});
    for (int kind = 0; kind <= 6; ++kind) cases.push_back({"shape", "Shape", "Shape", shapeOptions(kind), shape(kind)});
    return cases;
}

} // namespace

TEST_F(CanvasFixture, EveryPaintingToolPaintsItsStrokeAsOneStep)
{
    for (int z = 1; z <= 4; ++z) {
        for (const PaintCase& c : paintCases()) {
            SCOPED_TRACE(std::string(c.name) + " (" + c.tool + ") at zoom " + std::to_string(z));
            CountingImage* doc = open(kW, kH, z, true);
            ASSERT_GT(doc->hSB->Max(), 0);
            ASSERT_GT(doc->vSB->Value(), 0);
            chooseTool(c.tool);
            programSettings().ActiveColor = kInk;
            c.options(programSettings());
            const Points pts = {inView(*doc, 6, 7), inView(*doc, 21, 15), inView(*doc, 33, 31), inView(*doc, 14, 38)};
            drag(*doc, pts);

            BitsBuffer want = before;
            cBitRegion whole;
            whole.Init(0, 0, kW, kH);
            DocumentPaint direct(want, whole);
            c.expect(direct, want, pts);
            EXPECT_TRUE(samePixels(doc->Bits(), want));
            EXPECT_EQ(newRows(), 1);
            EXPECT_EQ(lastRow(), c.label);
            EXPECT_EQ(doc->snapshots, 1);
            EXPECT_TRUE(doc->Changed);
            EXPECT_TRUE(engineMirrors(*doc));
            closeDocument(doc);
            StampBits().clear();
        }
    }
}

TEST_F(CanvasFixture, APencilStrokeLeavesOneMoreSnapshotForTheNextTool)
{
    CountingImage* doc = open(60, 40);
    chooseTool("Pencil");
    programSettings().ActiveColor = kInk;
    press(*doc, {5, 5});
    release(*doc, {5, 5});
    // A click without a move: the line from the point to itself.
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 60, 40);
    DocumentPaint(want, whole).BitsLine(5, 5, 5, 5, kInk, 100);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    EXPECT_EQ(newRows(), 1);
    EXPECT_TRUE(UndoPending());
    chooseTool("Brush");
    EXPECT_EQ(newRows(), 2);
    EXPECT_EQ(lastRow(), "Brush");
    EXPECT_FALSE(UndoPending());
}

TEST_F(CanvasFixture, EveryBrushStrokeStartsAFreshMapAndTheStampNeedsAPicture)
{
    // Two strokes over one place paint it twice; within a stroke once.
    CountingImage* doc = open(60, 40);
    chooseTool("Brush");
    Settings& s = programSettings();
    s.ActiveColor = kInk;
    brushOptions(0, 9, 30, true);
    drag(*doc, {{10, 10}, {11, 10}, {10, 10}});
    drag(*doc, {{10, 10}, {11, 10}});
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 60, 40);
    DocumentPaint p(want, whole);
    p.CreateDoneBitsTable();
    p.BitsBrushLine(10, 10, 10, 10, 9, 30, kInk, 0);
    p.BitsBrushLine(10, 10, 11, 10, 9, 30, kInk, 0);
    p.BitsBrushLine(11, 10, 10, 10, 9, 30, kInk, 0);
    p.CreateDoneBitsTable();
    p.BitsBrushLine(10, 10, 10, 10, 9, 30, kInk, 0);
    p.BitsBrushLine(10, 10, 11, 10, 9, 30, kInk, 0);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    EXPECT_EQ(newRows(), 2);

    // No stamp: the stamp tool and the stamp brush change nothing, and still
    // record their step.
    StampBits().clear();
    const BitsBuffer painted = doc->Bits();
    s.BrushMode = 6;
    drag(*doc, {{20, 20}, {30, 25}});
    chooseTool("Stamp");
    drag(*doc, {{20, 20}, {30, 25}});
    EXPECT_TRUE(samePixels(doc->Bits(), painted));
    EXPECT_EQ(newRows(), 4);
    EXPECT_EQ(lastRow(), "Stamp");
}

TEST_F(CanvasFixture, FillStartsFromTheReleasePointWithTheColourActiveThen)
{
    CountingImage* doc = open(60, 40);
    chooseTool("Fill");
    Settings& s = programSettings();
    s.FillMode = 0;
    s.FillTolerance = 60;
    s.FillPressure = 100;
    s.ActiveColor = rgbColor(1, 2, 3);
    press(*doc, {3, 3});
    moveTo(*doc, {40, 30});
    s.ActiveColor = kInk;
    EXPECT_TRUE(samePixels(doc->Bits(), before)) << "nothing changes before the release";
    release(*doc, {40, 30});
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 60, 40);
    DocumentPaint p(want, whole);
    p.CreateDoneBitsTable();
    p.BitsFill(40, 30, kInk, 60, 100);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
}

TEST_F(CanvasFixture, GradientAndShapePreviewsWhileDragging)
{
    CountingImage* doc = open(120, 90);
    chooseTool("Gradient");
    programSettings().GradientMode = 1;
    press(*doc, {50, 50});
    moveTo(*doc, {53, 54});
    // A circle outline around the press through the pointer (r = 5), over
    // the canvas; no pixel changes.
    const ImageCanvas::ShapeOutline& circle = doc->iDst->shpEllp();
    EXPECT_TRUE(circle.visible);
    EXPECT_EQ(circle.left, 45 - doc->hSB->Value());
    EXPECT_EQ(circle.top, 45 - doc->vSB->Value());
    EXPECT_EQ(circle.width, 11);
    EXPECT_EQ(circle.height, 11);
    EXPECT_TRUE(samePixels(doc->Bits(), before));
    release(*doc, {53, 54});
    EXPECT_FALSE(doc->iDst->shpEllp().visible);

    // A line shape shows only the current line while dragging.
    chooseTool("Shape");
    Settings& s = programSettings();
    s.ShapeType = 0;
    s.ShapePressure = 100;
    s.ActiveColor = kInk;
    const BitsBuffer start = doc->Bits();
    press(*doc, {10, 10});
    moveTo(*doc, {60, 20});
    moveTo(*doc, {30, 70});
    BitsBuffer want = start;
    cBitRegion whole;
    whole.Init(0, 0, 120, 90);
    DocumentPaint(want, whole).BitsLine(10, 10, 30, 70, kInk, 100);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    release(*doc, {30, 70});
    EXPECT_TRUE(samePixels(doc->Bits(), want));
}

TEST_F(CanvasFixture, ADragStepRepaintsOnlyTheBandItChanged)
{
    // A 50-pixel brush on a picture far larger than the view: every paint
    // after a step covers the dab's band, never the whole canvas.
    CountingImage* doc = open(kW, kH, 1, true);
    chooseTool("Brush");
    brushOptions(0, 50, 50, true);
    struct PaintSpy : QObject {
        std::vector<QRect> rects;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
            return false;
        }
    } spy;
    doc->iDst->installEventFilter(&spy);
    const PointI a = inView(*doc, 60, 60);
    press(*doc, a);
    QCoreApplication::processEvents();
    for (int i = 1; i <= 5; ++i) {
        spy.rects.clear();
        moveTo(*doc, {a.x + i, a.y});
        QCoreApplication::processEvents();
        ASSERT_FALSE(spy.rects.empty()) << "step " << i << " repainted nothing";
        for (const QRect& r : spy.rects) {
            EXPECT_LE(r.width(), 50 + 2 * 12) << i;
            EXPECT_LE(r.height(), 50 + 2 * 12) << i;
            EXPECT_TRUE(r.intersects(QRect(at(*doc, {a.x + i, a.y}), QSize(1, 1)))) << i;
        }
    }
    release(*doc, {a.x + 5, a.y});
    doc->iDst->removeEventFilter(&spy);
}

TEST_F(CanvasFixture, AStrokeThatLeavesThePictureNeverWritesOutsideIt)
{
    // Pressed near a corner and dragged far past every edge: the buffer's
    // margin and marker bytes stay as they were, for every tool.
    const char* tools[] = {"Pencil", "Brush", "Airbrush", "Stamp", "Fill", "Gradient", "Shape", "Select", "SelectionMove"};
    for (const char* tool : tools) {
        SCOPED_TRACE(tool);
        CountingImage* doc = open(50, 40);
        chooseTool(tool);
        Settings& s = programSettings();
        s.BrushSize = 30;
        s.AirbrushSize = 40;
        s.ShapeType = 5;
        s.StampClearBack = false;
        StampBits() = smallStamp();
        doc->BitsRegion.CreateRect(0, 0, 20, 20, 2, false);
        press(*doc, {1, 1});
        moveTo(*doc, {-30, -25});
        moveTo(*doc, {200, -10});
        moveTo(*doc, {120, 90});
        // The handlers take canvas points far outside the canvas as well.
        doc->idst_MouseMove(1, 0, -4000.0f, 3000.0f);
        release(*doc, {-60, 70});
        const BitsBuffer got = doc->Bits();
        for (int y = -2; y < 42; ++y)
            for (int x = -2; x < 52; ++x) {
                const bool margin = x < 0 || y < 0 || x >= 50 || y >= 40;
                for (int c = margin ? 0 : 3; c < 4; ++c) ASSERT_EQ(got.at(c, x, y), 0) << x << "," << y << " " << c;
            }
        closeDocument(doc);
        StampBits().clear();
    }
}

} // namespace tq::testing
