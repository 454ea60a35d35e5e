// View zoom, quality zoom and rotation keys on real document windows.
#include "CommandFixture.h"
#include "document/ProgramContext.h"

#include "document/StatusPanels.h"

namespace tq {
namespace {

using testing::CommandFixture;
using testing::CountingImage;

struct SizeCase {
    const char* key;
    int w, h;           // before
    int newW, newH;     // after
};

} // namespace

TEST_F(CommandFixture, QualitySizingKeysGiveTheirSizes)
{
    const SizeCase cases[] = {
        {"x2", 101, 51, 50, 26},    // 50.5 -> 50, 25.5 -> 26 (halves to even)
        {"2x", 101, 51, 202, 102},
        {"10", 100, 45, 11, 5},     // shrinks by 9, not 10
        {"15", 100, 45, 14, 6},     // by 7
        {"50", 5, 3, 2, 2},         // 2.5 -> 2, 1.5 -> 2
        {"33", 9, 7, 3, 2},
        {"25", 10, 10, 2, 2},       // 2.5 -> 2
        {"20", 11, 4, 2, 1},        // 2.2, 0.8
        {"3x", 4, 3, 12, 9},
        {"5x", 2, 3, 10, 15},
        {"x5", 12, 13, 2, 3},       // 2.4, 2.6
        {"ORIGINAL", 7, 5, 7, 5},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.key);
        CountingImage* doc = openDocument(c.w, c.h);
        doc->BitsRegion.CreateRect(0, 0, 2, 2, 2, false);
        doc->setZoomFactor(3);
        main->MenuExec(c.key);
        EXPECT_EQ(doc->PictureWidth(), c.newW);
        EXPECT_EQ(doc->PictureHeight(), c.newH);
        EXPECT_EQ(doc->ZoomFactor(), 1);
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(doc->Changed);
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
        EXPECT_TRUE(engineMirrors(*doc));
        EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Size")), QStringLiteral("%1x%2").arg(c.newW).arg(c.newH));
        EXPECT_TRUE(doc->image_is_zoomed);
        closeDocument(doc);
    }
}

TEST_F(CommandFixture, NearestAndResampledSizingDiffer)
{
    // "2x" resamples, so new pixels lie between old ones; "ORIGINAL" keeps
    // every pixel.
    CountingImage* doc = openDocument(3, 2);
    main->MenuExec("ORIGINAL");
    EXPECT_EQ(doc->Bits(), testing::patternBits(3, 2));
    doc->image_is_zoomed = false;
    main->MenuExec("2x");
    EXPECT_EQ(doc->PictureWidth(), 6);
    EXPECT_EQ(doc->Bits().at(2, 0, 0), testing::patternByte(2, 0, 0));
}

TEST_F(CommandFixture, ASizeBelowOnePixelIsRefusedWithNoStep)
{
    // One pixel wide: half of it rounds to 0 (half to even), a third too.
    CountingImage* doc = openDocument(1, 9);
    for (const char* key : {"x2", "50", "x3", "x5", "10", "15"}) {
        SCOPED_TRACE(key);
        main->MenuExec(key);
        EXPECT_EQ(doc->PictureWidth(), 1);
        EXPECT_EQ(doc->PictureHeight(), 9);
        EXPECT_EQ(doc->Bits(), testing::patternBits(1, 9));
        EXPECT_EQ(doc->snapshots, 0);
        EXPECT_FALSE(doc->Changed);
        EXPECT_FALSE(doc->image_is_zoomed);
        EXPECT_TRUE(engineMirrors(*doc));
    }
    // Beyond the largest side: refused the same way.
    CountingImage* wide = openDocument(9000, 1);
    main->MenuExec("4x");
    EXPECT_EQ(wide->PictureWidth(), 9000);
    EXPECT_EQ(wide->snapshots, 0);
    EXPECT_TRUE(engineMirrors(*wide));
}

TEST_F(CommandFixture, AZoomSeriesStepsBackOnlyOverItsOwnDocumentsZoom)
{
    CountingImage* a = openDocument(8, 6);
    main->MenuExec("2x");
    EXPECT_EQ(a->undos, 0);
    EXPECT_TRUE(a->image_is_zoomed);

    // Another change ends the series: the next zoom starts from it.
    main->MenuExec("INVERT");
    EXPECT_FALSE(a->image_is_zoomed);
    main->MenuExec("x2");
    EXPECT_EQ(a->undos, 0);
    EXPECT_EQ(a->PictureWidth(), 8);

    // A zoom right after a zoom steps back over it first.
    main->MenuExec("x2");
    EXPECT_EQ(a->undos, 1);

    // Switching documents ends the series of both.
    a->image_is_zoomed = true;
    CountingImage* b = openDocument(4, 4);
    EXPECT_FALSE(a->image_is_zoomed);
    main->MenuExec("2x");
    EXPECT_EQ(b->undos, 0);
    activate(a);
    EXPECT_FALSE(b->image_is_zoomed);
    main->MenuExec("2x");
    EXPECT_EQ(a->undos, 1);

    // Undo and redo end it too.
    main->MenuExec("UNDO");
    EXPECT_FALSE(a->image_is_zoomed);
    a->image_is_zoomed = true;
    main->MenuExec("REDO");
    EXPECT_FALSE(a->image_is_zoomed);
    const int undos = a->undos;
    main->MenuExec("2x");
    EXPECT_EQ(a->undos, undos);
}

TEST_F(CommandFixture, ConsecutiveZoomsReplaceEachOther)
{
    CountingImage* doc = openDocument(60, 30);
    main->MenuExec("x2");
    main->MenuExec("x3");
    EXPECT_EQ(doc->PictureWidth(), 20);   // a third of the picture before "x2"
    EXPECT_EQ(doc->PictureHeight(), 10);
    main->MenuExec("ORIGINAL");
    EXPECT_EQ(doc->Bits(), testing::patternBits(60, 30));
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(CommandFixture, ViewZoomKeysOnlySetTheDisplayZoom)
{
    CountingImage* doc = openDocument(5, 5);
    const struct {
        const char* key;
        int zoom;
    } cases[] = {{"200", 2}, {"300", 3}, {"400", 4}, {"500", 5}, {"600", 6}, {"700", 7}, {"100", 1}};
    for (const auto& c : cases) {
        main->MenuExec(c.key);
        EXPECT_EQ(doc->ZoomFactor(), c.zoom) << c.key;
    }
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(doc->Bits(), testing::patternBits(5, 5));
}

TEST_F(CommandFixture, RotationKeysGiveTheTurnedSize)
{
    const SizeCase cases[] = {
        {"N45", 100, 100, 141, 141}, {"A45", 200, 100, 212, 212}, {"N270", 640, 480, 480, 640},
        {"A270", 640, 480, 480, 640}, {"N90", 7, 3, 3, 7},        {"A90", 7, 3, 3, 7},
        {"N180", 7, 3, 7, 3},        {"A180", 5, 4, 5, 4},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.key);
        CountingImage* doc = openDocument(c.w, c.h);
        doc->BitsRegion.CreateRect(0, 0, 2, 2, 2, false);
        const int pumps = ports.pump.runs;
        main->MenuExec(c.key);
        EXPECT_EQ(ports.pump.runs - pumps, 1);
        EXPECT_EQ(doc->PictureWidth(), c.newW);
        EXPECT_EQ(doc->PictureHeight(), c.newH);
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(doc->Changed);
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.RegionMain());
        EXPECT_TRUE(engineMirrors(*doc));
        closeDocument(doc);
    }
}

TEST_F(CommandFixture, AnEighthTurnLeavesBlackCornersAndKeepsTheMiddle)
{
    CountingImage* square = openDocument(100, 100);
    BitsBuffer white(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            for (int c = 0; c < 3; ++c) white.at(c, x, y) = 255;
    square->setBits(white);
    main->cFilter.setBits(white);
    main->MenuExec("A45");
    ASSERT_EQ(square->PictureWidth(), 141);
    const BitsBuffer turned = square->Bits();
    EXPECT_EQ(turned.at(0, 0, 0), 0);
    EXPECT_EQ(turned.at(1, 140, 140), 0);
    EXPECT_EQ(turned.at(2, 70, 70), 255);
}

TEST_F(CommandFixture, AHistoryJumpEndsTheZoomSeriesSoTheNextZoomKeepsTheEarlierEdit)
{
    CountingImage* doc = openDocument(8, 6);
    main->MenuExec("INVERT");
    const BitsBuffer inverted = doc->Bits();
    main->MenuExec("2x");
    ASSERT_TRUE(doc->image_is_zoomed);
    ASSERT_EQ(doc->Undopos(), 3);

    // Back to the inverted step, as a click on its history row does.
    ASSERT_TRUE(doc->JumpToHistoryStep(1));
    EXPECT_FALSE(doc->image_is_zoomed);
    EXPECT_EQ(doc->Undopos(), 2);
    EXPECT_EQ(doc->UndoMax(), 3);
    EXPECT_EQ(doc->Bits(), inverted);
    EXPECT_TRUE(engineMirrors(*doc));
    EXPECT_TRUE(SaveUndoOnNudge());

    // A zoom now starts from the shown (inverted) picture: had the flag
    // survived, it would step back over the invert and lose it.
    const int undos = doc->undos;
    main->MenuExec("3x");
    EXPECT_EQ(doc->undos, undos);
    EXPECT_EQ(doc->PictureWidth(), 24);
    EXPECT_EQ(doc->Undopos(), 3);
    main->MenuExec("UNDO");
    EXPECT_EQ(doc->Bits(), inverted);

    // A step that does not exist changes nothing but still ends a series.
    doc->image_is_zoomed = true;
    EXPECT_FALSE(doc->JumpToHistoryStep(7));
    EXPECT_FALSE(doc->image_is_zoomed);
    EXPECT_EQ(doc->Bits(), inverted);
    EXPECT_EQ(doc->Undopos(), 2);
}

} // namespace tq
