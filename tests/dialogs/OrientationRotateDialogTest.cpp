// The orientation and rotate dialogs, and the rotation keys that share the
// rotate dialog's turn: where each old pixel lands, the angle buttons, the
// state kept between openings, and one undo step per OK.
#include "DialogFixture.h"

#include "dialogs/PreviewBox.h"
#include "dialogs/fOrientation.h"
#include "dialogs/fRotate.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>

namespace tq {
namespace {

using testing::CountingImage;
using testing::patternByte;

class TurnDialogs : public testing::DialogFixture {
protected:
    fOrientation* openOrientation() { return open<fOrientation>("IMAGEORIENTATION", "Orientation ..."); }
    fRotate* openRotate() { return open<fRotate>("IMAGEROTATE", "Rotation ..."); }

    // Every old pixel (x, y) of a w x h pattern sits at where(x, y).
    template <class Where>
    static ::testing::AssertionResult movedAs(const BitsBuffer& b, int w, int h, Where where)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QPoint p = where(x, y);
                for (int c = 0; c < 3; ++c)
                    if (b.at(c, p.x(), p.y()) != patternByte(c, x, y))
                        return ::testing::AssertionFailure() << "old (" << x << "," << y << ") is not at (" << p.x()
                                                             << "," << p.y() << ")";
            }
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(TurnDialogs, OrientationQuarterTurnIsCounterClockwise)
{
    const int W = 7, H = 4;
    CountingImage* doc = openDocument(W, H);
    doc->BitsRegion.CreateRect(1, 1, 3, 3, 2, false);
    fOrientation* dlg = openOrientation();
    ASSERT_NE(dlg, nullptr);
    dlg->cbOrientation->setCurrentIndex(1);   // "90º"
    EXPECT_EQ(dlg->iSrc->size(), QSize(H, W));   // the preview turns too
    dlg->cmdOK->click();

    EXPECT_FALSE(dlg->isVisible());
    ASSERT_EQ(doc->PictureWidth(), H);
    ASSERT_EQ(doc->PictureHeight(), W);
    // new (y, W - 1 - x) = old (x, y): the old top-right pixel is the new
    // top-left one, the old top-left the new bottom-left.
    EXPECT_TRUE(movedAs(doc->Bits(), W, H, [&](int x, int y) { return QPoint(y, W - 1 - x); }));
    EXPECT_EQ(sizePanel(*doc), QStringLiteral("4x7"));
    EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());   // the selection did not limit it
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(lastStepName(*doc), "Orientation ...");
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(TurnDialogs, OrientationMirrorsAfterTheTurnAndKeepsTheFlipsForNextTime)
{
    const int W = 5, H = 3;
    struct Case {
        int turn;
        bool flipH, flipV;
        int newW;
        QPoint (*where)(int x, int y);
    } cases[] = {
        {0, true, true, W, [](int x, int y) { return QPoint(5 - 1 - x, 3 - 1 - y); }},   // a half turn
        {1, true, false, H, [](int x, int y) { return QPoint(3 - 1 - y, 5 - 1 - x); }},  // turn, then mirror
        {0, false, false, W, [](int x, int y) { return QPoint(x, y); }},
    };
    for (const Case& c : cases) {
        CountingImage* doc = openDocument(W, H);
        fOrientation* dlg = openOrientation();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->cbOrientation->currentIndex(), 0);   // every opening starts at "0º"
        dlg->cbOrientation->setCurrentIndex(c.turn);
        dlg->chkFlip[0]->setChecked(c.flipH);
        dlg->chkFlip[1]->setChecked(c.flipV);
        dlg->cmdOK->click();
        EXPECT_EQ(doc->PictureWidth(), c.newW);
        EXPECT_TRUE(movedAs(doc->Bits(), W, H, c.where));
        // Even with nothing to do, OK rewrites the picture as a step.
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(doc->Changed);
        closeDocument(doc);

        CountingImage* next = openDocument(3, 3);
        ASSERT_EQ(openOrientation(), dlg);
        EXPECT_EQ(dlg->chkFlip[0]->isChecked(), c.flipH);
        EXPECT_EQ(dlg->chkFlip[1]->isChecked(), c.flipV);
        dlg->cmdCancel_Click();
        EXPECT_EQ(next->snapshots, 0);
        closeDocument(next);
    }
}

TEST_F(TurnDialogs, FortyFiveDegreeButtonsWrapByTheRemainderOf180)
{
    openDocument(20, 10);
    fRotate* dlg = openRotate();
    ASSERT_NE(dlg, nullptr);
    struct Case {
        int16_t from;
        int button;
        int16_t to;
    } cases[] = {{0, 0, 45},    {45, 0, 90},    {90, 0, 135},  {135, 0, 0},   {-90, 0, -45}, {-45, 0, 0},
                 {150, 0, 15},  {180, 0, 45},   {0, 1, -45},   {-90, 1, -135}, {-135, 1, 0},  {-150, 1, -15},
                 {-180, 1, -45}, {30, 1, -15}};
    for (const Case& c : cases) {
        dlg->setAngle(c.from);
        dlg->cmd45[c.button]->click();
        EXPECT_EQ(dlg->Angle(), c.to) << c.from << (c.button == 0 ? " + 45" : " - 45");
        EXPECT_EQ(text(dlg->txtDegrees), std::to_string(c.to));
    }
    // The bar's upper arrow adds a degree, its lower arrow takes one away;
    // the ends are +180 and -180.
    dlg->setAngle(10);
    dlg->sbDegrees->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(dlg->Angle(), 11);
    dlg->sbDegrees->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dlg->sbDegrees->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(dlg->Angle(), 9);
    dlg->sbDegrees->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(dlg->Angle(), 180);
    EXPECT_TRUE(dlg->txtDegrees->isReadOnly());
}

TEST_F(TurnDialogs, RotateGrowsTheCanvasToTheTurnedPicture)
{
    CountingImage* doc = openDocument(100, 100);
    BitsBuffer white(100, 100);
    white.fill(255);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) white.at(3, x, y) = 0;
    doc->setBits(white);
    main->cFilter.setBits(white);
    fRotate* dlg = openRotate();
    ASSERT_NE(dlg, nullptr);
    dlg->setAngle(45);
    // The preview turns inside its own frame.
    EXPECT_EQ(dlg->iSrc->size(), QSize(100, 100));
    EXPECT_EQ(qRed(dlg->iSrc->picture().pixel(0, 0)), 0);
    dlg->cmdOK->click();

    ASSERT_EQ(doc->PictureWidth(), 141);
    ASSERT_EQ(doc->PictureHeight(), 141);
    const BitsBuffer r = doc->Bits();
    EXPECT_EQ(bgr(r, 0, 0), 0u);
    EXPECT_EQ(bgr(r, 140, 140), 0u);
    EXPECT_EQ(bgr(r, 70, 70), 0xFFFFFFu);
    EXPECT_EQ(sizePanel(*doc), QStringLiteral("141x141"));
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_EQ(lastStepName(*doc), "Rotation ...");
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(TurnDialogs, RotateKeepsItsAngleAndTurnsWithoutLoss)
{
    // An even width and height: a half turn about the middle pixel would be
    // a pixel off and lose a column and a row; done as mirrors it loses none.
    const int W = 100, H = 50;
    struct Case {
        int16_t angle;
        bool smooth;
        int newW;
        QPoint (*where)(int x, int y);
    } cases[] = {
        {0, true, W, [](int x, int y) { return QPoint(x, y); }},
        {180, false, W, [](int x, int y) { return QPoint(100 - 1 - x, 50 - 1 - y); }},
        {-180, true, W, [](int x, int y) { return QPoint(100 - 1 - x, 50 - 1 - y); }},
        {90, false, H, [](int x, int y) { return QPoint(y, 100 - 1 - x); }},
        {-90, false, H, [](int x, int y) { return QPoint(50 - 1 - y, x); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        CountingImage* doc = openDocument(W, H);
        doc->BitsRegion.CreateRect(0, 0, 4, 4, 2, false);
        fRotate* dlg = openRotate();
        ASSERT_NE(dlg, nullptr);
        dlg->setAngle(c.angle);
        dlg->chkAntialiasing->setChecked(c.smooth);
        dlg->cmdOK->click();
        EXPECT_EQ(doc->PictureWidth(), c.newW);
        EXPECT_TRUE(movedAs(doc->Bits(), W, H, c.where));
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(doc->Changed);
        closeDocument(doc);

        // The next opening shows the same angle and sampling.
        CountingImage* next = openDocument(30, 20);
        ASSERT_EQ(openRotate(), dlg);
        EXPECT_EQ(dlg->Angle(), c.angle);
        EXPECT_EQ(text(dlg->txtDegrees), std::to_string(c.angle));
        EXPECT_EQ(dlg->chkAntialiasing->isChecked(), c.smooth);
        EXPECT_EQ(dlg->iSrc->picture().size(), QSize(30, 20));
        dlg->cmdCancel_Click();
        closeDocument(next);
    }
}

TEST_F(TurnDialogs, ATurnTooLargeForAPictureIsReportedAndThePictureKept)
{
    CountingImage* doc = openDocument(32767, 200);   // a diagonal of 32768
    fRotate* dlg = openRotate();
    ASSERT_NE(dlg, nullptr);
    dlg->setAngle(30);
    dlg->chkAntialiasing->setChecked(false);
    dlg->cmdOK->click();
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "Maximum size: 32767 x 32767");
    EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(doc->PictureWidth(), 32767);
    EXPECT_EQ(doc->PictureHeight(), 200);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
    EXPECT_TRUE(engineMirrors(*doc));

    // The rotation keys refuse it without a word.
    main->MenuExec("A45");
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(doc->PictureWidth(), 32767);
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_TRUE(engineMirrors(*doc));
}

TEST_F(TurnDialogs, RotationKeysShareTheLosslessTurns)
{
    struct Case {
        const char* key;
        int newW;
        QPoint (*where)(int x, int y);
    } cases[] = {
        {"N180", 8, [](int x, int y) { return QPoint(8 - 1 - x, 6 - 1 - y); }},
        {"A180", 8, [](int x, int y) { return QPoint(8 - 1 - x, 6 - 1 - y); }},
        {"N90", 6, [](int x, int y) { return QPoint(6 - 1 - y, x); }},          // -90: clockwise
        {"N270", 6, [](int x, int y) { return QPoint(y, 8 - 1 - x); }},         // +90
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        CountingImage* doc = openDocument(8, 6);
        main->MenuExec(c.key);
        EXPECT_EQ(doc->PictureWidth(), c.newW);
        EXPECT_TRUE(movedAs(doc->Bits(), 8, 6, c.where));
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(engineMirrors(*doc));
        closeDocument(doc);
    }
}

TEST_F(TurnDialogs, EachDialogChangesItsOwnDocument)
{
    CountingImage* other = openDocument(6, 6);
    CountingImage* doc = openDocument(8, 5);
    fOrientation* orientation = openOrientation();
    ASSERT_NE(orientation, nullptr);
    orientation->cbOrientation->setCurrentIndex(1);
    ports.pump.onRun = [&] { activate(other); };
    orientation->cmdOK->click();
    EXPECT_EQ(doc->PictureWidth(), 5);
    EXPECT_TRUE(movedAs(doc->Bits(), 8, 5, [](int x, int y) { return QPoint(y, 8 - 1 - x); }));
    EXPECT_EQ(other->Bits(), testing::patternBits(6, 6));
    EXPECT_TRUE(engineMirrors(*other));

    activate(doc);
    fRotate* rotate = openRotate();
    ASSERT_NE(rotate, nullptr);
    rotate->setAngle(180);
    rotate->chkAntialiasing->setChecked(false);
    rotate->CmdOK_Click();
    ports.pump.onRun = nullptr;
    EXPECT_EQ(doc->snapshots, 2);
    EXPECT_EQ(other->snapshots, 0);
    EXPECT_EQ(other->Bits(), testing::patternBits(6, 6));
    // A quarter turn and a half turn: a quarter turn clockwise in all.
    EXPECT_TRUE(movedAs(doc->Bits(), 8, 5, [](int x, int y) { return QPoint(5 - 1 - y, x); }));
    EXPECT_TRUE(engineMirrors(*other));
}

} // namespace tq
