// The selection and move tools, the floating paste, colour picking and the
// keys, driven with QTest events on the canvas of the real main window.
#include "CanvasFixture.h"

#include "document/Numeric.h"
#include "filters/cBitFilter.h"
#include "platform/Folders.h"
#include "tools/CanvasTools.h"
#include "tools/DocumentPaint.h"
#include "tools/PaintSource.h"

#include <QMdiArea>

namespace tq::testing {
namespace {

// The selection a list of shapes combined from nothing gives, cut to a
// w x h picture.
struct ExpectedSelection {
    cBitRegion r;
    ExpectedSelection(int w, int h) { r.Init(0, 0, w, h); }
};

::testing::AssertionResult sameSelection(const cBitRegion& got, const cBitRegion& want)
{
    const Region* g = got.Region();
    const Region* w = want.Region();
    const bool gEmpty = got.IsEmptyRegion(), wEmpty = want.IsEmptyRegion();
    if (gEmpty && wEmpty) return ::testing::AssertionSuccess();
    if (gEmpty != wEmpty || !g || !w || !(*g == *w))
        return ::testing::AssertionFailure() << "selections differ" << (gEmpty ? " (got none)" : "")
                                             << (wEmpty ? " (want none)" : "");
    return ::testing::AssertionSuccess();
}

// A 100 x 60 clip, every pixel different, a transparent corner.
BitsBuffer clip100x60()
{
    BitsBuffer c(100, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x) {
            c.at(0, x, y) = static_cast<uint8_t>(x * 2);
            c.at(1, x, y) = static_cast<uint8_t>(y * 4);
            c.at(2, x, y) = static_cast<uint8_t>(255 - x - y);
            c.at(3, x, y) = x < 5 && y < 5 ? 255 : 0;
        }
    return c;
}

// The colour window's second box is the selected one.
class SecondBoxMain : public fMain {
public:
    std::vector<int32_t> picked;
    int16_t SelectedColorIndex() const override { return 1; }
    void colourPicked(int32_t colour) override { picked.push_back(colour); }
};

// Tools that say when they go.
class WatchedTools : public tools::CanvasTools {
public:
    WatchedTools(fImage& doc, bool& gone) : tools::CanvasTools(doc), gone_(gone) {}
    ~WatchedTools() override { gone_ = true; }

private:
    bool& gone_;
};

class WatchingMain : public fMain {
public:
    bool toolsGone = false;
    WatchedTools* made = nullptr;
    std::unique_ptr<CanvasInput> makeCanvasInput(fImage& doc) override
    {
        auto t = std::make_unique<WatchedTools>(doc, toolsGone);
        made = t.get();
        return t;
    }
};

} // namespace

// ---- "Select" ------------------------------------------------------------------------

TEST_F(CanvasFixture, SelectionShapesCombineByMode)
{
    struct Case {
        const char* name;
        int16_t shape, mode;
        PointI from, to;
        bool selectAllFirst;
        std::function<void(cBitRegion&)> want;
    };
    const Case cases[] = {
        {"rectangle new", 0, 2, {10, 10}, {20, 30}, true,
         [](cBitRegion& r) { r.CreateRect(10, 10, 20, 30, 2, true); }},
        {"rectangle backwards", 0, 2, {20, 30}, {10, 10}, false,
         [](cBitRegion& r) { r.CreateRect(10, 10, 20, 30, 2, true); }},
        // Both ways the ellipse's box takes both end pixels: (10, 10)-(21, 31).
        {"ellipse", 1, 2, {10, 10}, {20, 30}, false, [](cBitRegion& r) { r.CreateEllipse(10, 10, 21, 31, 2, true); }},
        {"ellipse backwards", 1, 2, {20, 30}, {10, 10}, false,
         [](cBitRegion& r) { r.CreateEllipse(10, 10, 21, 31, 2, true); }},
        {"rectangle past the edge is cut", 0, 2, {50, 40}, {90, 70}, false,
         [](cBitRegion& r) { r.CreateRect(50, 40, 60, 50, 2, true); }},
        {"subtract from everything", 0, 1, {5, 5}, {15, 12}, true,
         [](cBitRegion& r) {
             r.CreateRect(0, 0, 60, 50, 2, false);
             r.CreateRect(5, 5, 15, 12, 4, true);
         }},
        {"subtract from nothing", 0, 1, {5, 5}, {15, 12}, false, [](cBitRegion&) {}},
        {"add to everything", 1, 0, {5, 5}, {15, 12}, true,
         [](cBitRegion& r) { r.CreateRect(0, 0, 60, 50, 2, false); }},
        {"polygon without a vertex", 2, 2, {5, 5}, {30, 30}, false, [](cBitRegion&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingImage* doc = open(60, 50);
        chooseTool("Select");
        programSettings().SelectShape = c.shape;
        programSettings().SelectMode = c.mode;
        if (c.selectAllFirst) doc->BitsRegion.CreateRect(0, 0, 60, 50, 2, false);
        press(*doc, c.from);
        moveTo(*doc, {(c.from.x + c.to.x) / 2, c.to.y});
        moveTo(*doc, c.to);
        release(*doc, c.to);
        ExpectedSelection want(60, 50);
        c.want(want.r);
        EXPECT_TRUE(sameSelection(doc->BitsRegion, want.r));
        // No step for a selection, and the engine walks the new selection.
        EXPECT_EQ(newRows(), 0);
        EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.walkRegion());
        EXPECT_EQ(doc->iDst->TimerRunning(), !doc->BitsRegion.IsEmptyRegion());
        EXPECT_TRUE(samePixels(doc->Bits(), before));
        closeDocument(doc);
    }
}

TEST_F(CanvasFixture, PolygonVerticesComeFromSpaceAndItClosesOnRelease)
{
    CountingImage* doc = open(60, 50, 3, true);
    chooseTool("Select");
    programSettings().SelectShape = 2;
    programSettings().SelectMode = 2;
    const PointI a = inView(*doc, 2, 2), b = inView(*doc, 30, 4), c = inView(*doc, 20, 25);
    // Space before any stroke adds nothing.
    key(*doc, Qt::Key_Space);
    press(*doc, a);
    moveTo(*doc, b);
    key(*doc, Qt::Key_Space);
    moveTo(*doc, c);
    key(*doc, Qt::Key_Space);
    moveTo(*doc, inView(*doc, 4, 20));
    auto* tools = dynamic_cast<tools::CanvasTools*>(doc->canvasInput());
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->Vertices, (std::vector<int32_t>{a.x, a.y, b.x, b.y, c.x, c.y}));
    EXPECT_EQ(doc->iDst->shpLine().size(), 3u);
    release(*doc, inView(*doc, 4, 20));
    ExpectedSelection want(60, 50);
    want.r.CreatePolygon({a.x, a.y, b.x, b.y, c.x, c.y}, 2, true);
    EXPECT_TRUE(sameSelection(doc->BitsRegion, want.r));
    EXPECT_EQ(tools->Vertices, (std::vector<int32_t>{0, 0}));
    EXPECT_FALSE(doc->iDst->shpLine()[0].visible);
}

TEST_F(CanvasFixture, PixelSelectionTakesEveryPixelThePointerReaches)
{
    CountingImage* doc = open(60, 50, 2);
    chooseTool("Select");
    programSettings().SelectShape = 3;
    programSettings().SelectMode = 1;
    doc->BitsRegion.CreateRect(0, 0, 60, 50, 2, false);
    drag(*doc, {{5, 5}, {6, 5}, {9, 8}});
    ExpectedSelection want(60, 50);
    want.r.CreateRect(0, 0, 60, 50, 2, false);
    for (PointI p : {PointI{5, 5}, PointI{6, 5}, PointI{9, 8}}) want.r.CreateRect(p.x, p.y, p.x + 1, p.y + 1, 4, true);
    EXPECT_TRUE(sameSelection(doc->BitsRegion, want.r));
    EXPECT_TRUE(doc->iDst->TimerRunning());
}

// ---- "SelectionMove" ---------------------------------------------------------------------

TEST_F(CanvasFixture, MovingTheOutlineFollowsThePointerAndIsCutAtTheRelease)
{
    CountingImage* doc = open(60, 50);
    doc->BitsRegion.CreateRect(10, 10, 30, 20, 2, false);
    chooseTool("SelectionMove");
    programSettings().MoveSelection = true;
    // Outside the selection: nothing moves.
    drag(*doc, {{40, 40}, {45, 45}});
    ExpectedSelection want(60, 50);
    want.r.CreateRect(10, 10, 30, 20, 2, false);
    EXPECT_TRUE(sameSelection(doc->BitsRegion, want.r));
    // Inside: by exactly the pointer's way, then cut to the picture.
    press(*doc, {12, 12});
    moveTo(*doc, {30, 20});
    moveTo(*doc, {45, 47});
    int32_t x1, y1, x2, y2;
    ASSERT_TRUE(doc->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ(x1, 43);
    EXPECT_EQ(y1, 45);
    EXPECT_EQ(x2, 63);
    EXPECT_EQ(y2, 55);
    release(*doc, {45, 47});
    ASSERT_TRUE(doc->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ(x2, 60);
    EXPECT_EQ(y2, 50);
    EXPECT_EQ(newRows(), 0);
    EXPECT_TRUE(samePixels(doc->Bits(), before));
}

TEST_F(CanvasFixture, MovingTheContentIsAChangeLikeEveryOther)
{
    // A copy of the selected pixels follows the pointer; at the release it is
    // one undo step and the document is changed. The outline stays.
    CountingImage* doc = open(60, 50, 2, true);
    const PointI o = inView(*doc, 0, 0);
    doc->BitsRegion.CreateEllipse(o.x + 4, o.y + 4, o.x + 16, o.y + 12, 2, false);
    chooseTool("SelectionMove");
    programSettings().MoveSelection = false;
    programSettings().SelectPressure = 70;
    const PointI from = {o.x + 10, o.y + 8}, to = {o.x + 25, o.y + 20};
    drag(*doc, {from, {o.x + 20, o.y + 9}, to});

    cBitFilter lifter;
    lifter.setBitsRegion(doc->BitsRegion.Region());
    lifter.BitsCropMasked(before, o.x + 4, o.y + 4, o.x + 16, o.y + 12);
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 60, 50);
    DocumentPaint(want, whole)
        .BitsPaintPreMasked(to.x - (from.x - (o.x + 4)), to.y - (from.y - (o.y + 4)),
                            PaintSource::fromBuffer(lifter.Bits()), 70, false);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    EXPECT_EQ(newRows(), 1);
    EXPECT_EQ(lastRow(), "SelectionMove");
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));
    ExpectedSelection outline(60, 50);
    outline.r.CreateEllipse(o.x + 4, o.y + 4, o.x + 16, o.y + 12, 2, false);
    EXPECT_TRUE(sameSelection(doc->BitsRegion, outline.r));

    // A press outside the selection lifts nothing and records nothing.
    const BitsBuffer moved = doc->Bits();
    drag(*doc, {{o.x + 30, o.y + 30}, {o.x + 35, o.y + 33}});
    EXPECT_TRUE(samePixels(doc->Bits(), moved));
    EXPECT_EQ(newRows(), 1);
}

TEST_F(CanvasFixture, CtrlReleaseCutsAMovedSelectionBeforeTheClipboardCommands)
{
    CountingImage* doc = open(60, 50);
    chooseTool("SelectionMove");
    doc->BitsRegion.CreateRect(40, 40, 58, 48, 2, false);
    doc->BitsRegion.Offset(5, 5);   // past the edge, as a drag leaves it
    key(*doc, Qt::Key_Control);
    int32_t x1, y1, x2, y2;
    ASSERT_TRUE(doc->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ(x2, 60);
    EXPECT_EQ(y2, 50);

    // Before COPY the dispatcher releases Ctrl on the canvas.
    doc->BitsRegion.CreateRect(55, 45, 70, 60, 2, false);
    main->MenuExec("COPY");
    ASSERT_TRUE(doc->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ(x2, 60);
    EXPECT_EQ(y2, 50);

    // Another tool: the release changes nothing.
    chooseTool("Pointer");
    doc->BitsRegion.CreateRect(55, 45, 70, 60, 2, false);
    key(*doc, Qt::Key_Control);
    ASSERT_TRUE(doc->BitsRegion.BoundRect(x1, y1, x2, y2));
    EXPECT_EQ(x2, 70);
}

// ---- The floating paste ------------------------------------------------------------------

TEST_F(CanvasFixture, AFloatingClipFollowsThePointerCentredOnIt)
{
    CountingImage* doc = open(300, 200, 1, true);
    ClipBits() = clip100x60();
    programSettings().SelectionMovePressure = 100;
    main->MenuExec("PASTE");
    ASSERT_TRUE(PasteFloating());
    const PointI p = inView(*doc, 80, 50);
    hover(*doc, {p.x - 3, p.y});
    hover(*doc, p);
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 300, 200);
    DocumentPaint(want, whole).BitsPaintPreMasked(p.x - 50, p.y - 30, PaintSource::fromBuffer(ClipBits()), 100, false);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    EXPECT_EQ(newRows(), 0);

    // A right click drops it: the picture exactly as before the paste.
    press(*doc, p, Qt::RightButton);
    release(*doc, p, Qt::RightButton);
    EXPECT_FALSE(PasteFloating());
    EXPECT_TRUE(samePixels(doc->Bits(), before));
    EXPECT_EQ(newRows(), 0);
    hover(*doc, {p.x + 4, p.y + 4});
    EXPECT_TRUE(samePixels(doc->Bits(), before)) << "nothing follows the pointer any more";

    // Pasted again, a left click places it as one step.
    main->MenuExec("PASTE");
    const PointI q = inView(*doc, 70, 40);
    hover(*doc, q);
    press(*doc, q);
    release(*doc, q);
    BitsBuffer placed = before;
    DocumentPaint(placed, whole).BitsPaintPreMasked(q.x - 50, q.y - 30, PaintSource::fromBuffer(ClipBits()), 100, false);
    EXPECT_FALSE(PasteFloating());
    EXPECT_TRUE(samePixels(doc->Bits(), placed));
    EXPECT_EQ(newRows(), 1);
    EXPECT_TRUE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(CanvasFixture, SpaceStampsCopiesOfTheFloatingClipAndArrowsNudgeIt)
{
    CountingImage* doc = open(300, 200, 3, true);
    ClipBits() = clip100x60();
    programSettings().SelectionMovePressure = 60;
    main->MenuExec("PASTE");
    SaveUndoOnNudge() = true;
    const PointI p = inView(*doc, 30, 25);
    hover(*doc, p);
    key(*doc, Qt::Key_Space);
    for (int i = 0; i < 7; ++i) key(*doc, Qt::Key_Right);
    key(*doc, Qt::Key_Space);
    for (int i = 0; i < 4; ++i) key(*doc, Qt::Key_Down);
    key(*doc, Qt::Key_Up);
    key(*doc, Qt::Key_Space);
    // Three copies in the picture and one history row.
    press(*doc, p, Qt::RightButton);
    release(*doc, p, Qt::RightButton);
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 300, 200);
    DocumentPaint paint(want, whole);
    for (PointI c : {p, PointI{p.x + 7, p.y}, PointI{p.x + 7, p.y + 3}})
        paint.BitsPaintPreMasked(c.x - 50, c.y - 30, PaintSource::fromBuffer(ClipBits()), 60, false);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    EXPECT_EQ(newRows(), 1);
    EXPECT_FALSE(SaveUndoOnNudge());
}

TEST_F(CanvasFixture, SpaceWithTheMoveToolStampsTheDraggedContent)
{
    CountingImage* doc = open(60, 50);
    doc->BitsRegion.CreateRect(5, 5, 15, 12, 2, false);
    chooseTool("SelectionMove");
    programSettings().MoveSelection = false;
    programSettings().SelectPressure = 100;
    press(*doc, {8, 8});
    moveTo(*doc, {20, 8});
    key(*doc, Qt::Key_Space);
    moveTo(*doc, {40, 30});
    release(*doc, {40, 30});
    cBitFilter lifter;
    lifter.setBitsRegion(doc->BitsRegion.Region());
    lifter.BitsCropMasked(before, 5, 5, 15, 12);
    BitsBuffer want = before;
    cBitRegion whole;
    whole.Init(0, 0, 60, 50);
    DocumentPaint paint(want, whole);
    paint.BitsPaintPreMasked(17, 5, PaintSource::fromBuffer(lifter.Bits()), 100, false);
    paint.BitsPaintPreMasked(37, 27, PaintSource::fromBuffer(lifter.Bits()), 100, false);
    EXPECT_TRUE(samePixels(doc->Bits(), want));
    // The stamp (the nudge flag was set by the tool choice) and the move.
    EXPECT_EQ(newRows(), 2);

    // While the tool is "Select", Space never stamps a floating clip.
    const BitsBuffer kept = doc->Bits();
    ClipBits() = clip100x60();
    main->MenuExec("PASTE");
    programSettings().ToolName.assign("Select");
    SaveUndoOnNudge() = true;
    hover(*doc, {30, 30});
    key(*doc, Qt::Key_Space);
    press(*doc, {30, 30}, Qt::RightButton);
    release(*doc, {30, 30}, Qt::RightButton);
    EXPECT_TRUE(samePixels(doc->Bits(), kept));
    EXPECT_EQ(newRows(), 2);
    EXPECT_TRUE(SaveUndoOnNudge());
}

TEST_F(CanvasFixture, SpaceWithTheMoveToolAndNoStrokeRecordsTheFirstStampOnly)
{
    CountingImage* doc = open(60, 50);
    chooseTool("SelectionMove");
    ASSERT_TRUE(SaveUndoOnNudge());
    key(*doc, Qt::Key_Space);
    key(*doc, Qt::Key_Space);
    EXPECT_EQ(newRows(), 1);
    EXPECT_TRUE(samePixels(doc->Bits(), before));
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(CanvasFixture, AFloatingClipOnlyFollowsThePointerInTheActiveWindow)
{
    CountingImage* first = open(120, 90);
    CountingImage* second = open(120, 90);
    ASSERT_EQ(activeDocument(), second);
    ClipBits() = clip100x60();
    main->MenuExec("PASTE");
    hover(*first, {60, 40});
    EXPECT_TRUE(samePixels(first->Bits(), patternBits(120, 90)));
    hover(*second, {60, 40});
    EXPECT_FALSE(samePixels(second->Bits(), patternBits(120, 90)));
}

// ---- "GetColor" ---------------------------------------------------------------------------

TEST_F(CanvasFixture, GetColorTakesTheColourShownUnderThePointer)
{
    CountingImage* doc = open(60, 50, 2);
    chooseTool("GetColor");
    ASSERT_EQ(programSettings().ToolName.text(), "GetColor");
    const auto colourAt = [&](int x, int y) {
        return rgbColor(patternByte(2, x, y), patternByte(1, x, y), patternByte(0, x, y));
    };
    press(*doc, {3, 4});
    EXPECT_EQ(programSettings().ActiveColor, colourAt(3, 4));
    moveTo(*doc, {10, 20});
    moveTo(*doc, {11, 21});
    release(*doc, {11, 21});
    EXPECT_EQ(programSettings().ActiveColor, colourAt(11, 21));
    EXPECT_EQ(newRows(), 0);
    EXPECT_FALSE(doc->Changed);
}

using SecondBoxFixture = CanvasFixtureT<SecondBoxMain>;

TEST_F(SecondBoxFixture, GetColorWithTheSecondBoxSelectedChangesTheSecondColour)
{
    CountingImage* doc = open(60, 50);
    chooseTool("GetColor");
    programSettings().SecondColor = 0;
    drag(*doc, {{7, 9}});
    const int32_t c = rgbColor(patternByte(2, 7, 9), patternByte(1, 7, 9), patternByte(0, 7, 9));
    EXPECT_EQ(programSettings().SecondColor, c);
    EXPECT_EQ(programSettings().ActiveColor, c);
    EXPECT_EQ(main->picked, std::vector<int32_t>{c});
}

// ---- Without a picture, and when the window goes ------------------------------------------

TEST_F(CanvasFixture, AToolWithoutAPictureDoesNothingAndSaysNothing)
{
    auto* empty = new CountingImage;
    main->addDocument(empty);
    ActiveImage() = empty;
    ASSERT_FALSE(empty->PictureExists());
    const int rows = programHistory().rowCount();
    for (const char* tool : {"Pencil", "Brush", "Fill", "Gradient", "Shape", "GetColor", "Select", "SelectionMove"}) {
        chooseTool(tool);
        empty->iDst_MouseDown(1, 0, 3, 3);
        empty->idst_MouseMove(1, 0, 9, 9);
        empty->iDst_MouseUp(1, 0, 9, 9);
        empty->iDst_KeyDown(32, 0);
        empty->iDst_KeyDown(39, 0);
        empty->idst_KeyUp(17, 0);
    }
    main->MenuExec("PASTE");
    empty->idst_MouseMove(0, 0, 4, 4);
    empty->iDst_MouseUp(1, 0, 4, 4);
    EXPECT_EQ(empty->snapshots, 0);
    EXPECT_EQ(programHistory().rowCount(), rows);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_FALSE(empty->Changed);
    EXPECT_EQ(programSettings().ActiveColor, defaultSettings(programDir.path().toStdString()).ActiveColor);
}

using WatchingFixture = CanvasFixtureT<WatchingMain>;

TEST_F(WatchingFixture, TheToolsAndTheLiftedContentGoWhenTheWindowUnloads)
{
    CountingImage* doc = open(60, 50);
    doc->BitsRegion.CreateRect(5, 5, 25, 25, 2, false);
    chooseTool("SelectionMove");
    programSettings().MoveSelection = false;
    press(*doc, {10, 10});
    moveTo(*doc, {12, 14});
    ASSERT_NE(main->made, nullptr);
    EXPECT_EQ(main->made->MoveBits.width(), 20);
    release(*doc, {12, 14});
    EXPECT_FALSE(main->toolsGone);
    int16_t cancel = 0;
    doc->Changed = false;
    doc->Form_Unload(cancel);
    EXPECT_TRUE(main->toolsGone);
    EXPECT_EQ(doc->canvasInput(), nullptr) << "an unloaded window makes no new tools";
}

} // namespace tq::testing
