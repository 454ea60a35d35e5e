// The document window's canvas input: canvas points to picture points, the
// moves that reach the tools, hand scrolling, and what reaches the tools of
// the window (a recording stand-in here) with and without a picture.
#include "document/ImageCanvas.h"
#include "document/ProgramContext.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tq {
namespace {

struct RecordingInput : CanvasInput {
    std::vector<std::string>& log;
    explicit RecordingInput(std::vector<std::string>& l) : log(l) {}
    static std::string pt(int16_t b, int32_t x, int32_t y)
    {
        return std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y);
    }
    void setLastPoint(int32_t X, int32_t Y) override { log.push_back("last " + pt(1, X, Y).substr(2)); }
    void idstMouseDown(int16_t b, int16_t, int32_t x, int32_t y) override { log.push_back("start " + pt(b, x, y)); }
    void idstMouseMove(int16_t b, int16_t, int32_t x, int32_t y) override { log.push_back("step " + pt(b, x, y)); }
    void idstMouseUp(int16_t b, int16_t, int32_t x, int32_t y) override { log.push_back("end " + pt(b, x, y)); }
    void iDst_KeyDown(int16_t k, int16_t) override { log.push_back("key " + std::to_string(k)); }
    void idst_KeyUp(int16_t k, int16_t) override { log.push_back("keyup " + std::to_string(k)); }
};

class RecordingMain : public fMain {
public:
    std::vector<std::string> log;
    std::unique_ptr<CanvasInput> makeCanvasInput(fImage&) override { return std::make_unique<RecordingInput>(log); }
};

class CanvasInputTest : public ::testing::Test {
protected:
    void SetUp() override { main = std::make_unique<RecordingMain>(); }
    // A window whose container is cw x ch, holding a W x H picture at zoom z.
    std::unique_ptr<fImage> window(int cw, int ch, int W, int H, int z)
    {
        auto doc = std::make_unique<fImage>();
        doc->resize(cw, ch + doc->sbInfo->sizeHint().height());
        doc->CreateBlank(W, H);
        doc->setZoomFactor(z);
        doc->show();
        return doc;
    }
    std::vector<std::string>& log() { return main->log; }

    ScopedContext context;
    std::unique_ptr<RecordingMain> main;
};

} // namespace

TEST_F(CanvasInputTest, CanvasPointsBecomePicturePoints)
{
    // (hSB value + X) to the nearest, halves to even, then divided by the
    // zoom truncating toward zero.
    struct Case {
        int z, hV, vV;
        float X, Y;
        int x, y;
    };
    const Case cases[] = {
        {1, 0, 0, 5.5f, 4.5f, 6, 4},      // 5.5 -> 6, 4.5 -> 4
        {2, 0, 0, -1.0f, -2.0f, 0, -1},   // left of the picture: -1 \ 2 = 0, -2 \ 2 = -1
        {2, 0, 0, 7.0f, 8.0f, 3, 4},
        {3, 7, 11, 2.5f, 0.4f, 3, 3},     // 9.5 -> 10 \ 3, 11.4 -> 11 \ 3
        {4, 40, 0, 3.0f, 3.0f, 10, 0},
    };
    for (const Case& c : cases) {
        auto doc = window(60, 60, 100, 100, c.z);
        int32_t vv = c.vV;
        doc->Scroll(c.hV, vv);
        ASSERT_EQ(doc->hSB->Value(), c.hV);
        ASSERT_EQ(doc->vSB->Value(), c.vV);
        const PointI p = doc->PicturePoint(c.X, c.Y);
        EXPECT_EQ(p.x, c.x) << c.z << " " << c.X;
        EXPECT_EQ(p.y, c.y) << c.z << " " << c.Y;
    }
}

TEST_F(CanvasInputTest, OnlyMovesOntoAnotherPicturePixelReachTheTools)
{
    auto doc = window(200, 200, 40, 40, 4);
    // The move point starts at (0, 0): the first move there is no step.
    doc->idst_MouseMove(0, 0, 1, 2);
    // Within one picture pixel at zoom 4: one step, then none.
    doc->idst_MouseMove(0, 0, 8, 8);
    doc->idst_MouseMove(0, 0, 11, 9);
    doc->idst_MouseMove(1, 0, 12, 9);
    // Both buttons: the step comes with both bits; the tools decide.
    doc->idst_MouseMove(3, 0, 16, 9);
    const std::vector<std::string> want = {"step 0 2,2", "step 1 3,2", "step 3 4,2"};
    EXPECT_EQ(log(), want);

    // A key's step is taken at its point only when the point moved.
    log().clear();
    doc->KeyboardStep(0, 4, 2);
    doc->KeyboardStep(0, 5, 2);
    EXPECT_EQ(log(), std::vector<std::string>{"step 0 5,2"});
}

TEST_F(CanvasInputTest, PressAndReleaseHandTheirPhasesOn)
{
    auto doc = window(200, 200, 40, 40, 2);
    QTest::mousePress(doc->iDst, Qt::LeftButton, {}, QPoint(9, 4));
    QTest::mouseRelease(doc->iDst, Qt::LeftButton, {}, QPoint(30, 31));
    QTest::mousePress(doc->iDst, Qt::RightButton, {}, QPoint(9, 4));
    QTest::mouseRelease(doc->iDst, Qt::RightButton, {}, QPoint(9, 4));
    QTest::keyPress(doc->iDst, Qt::Key_Space);
    QTest::keyRelease(doc->iDst, Qt::Key_Control);
    const std::vector<std::string> want = {"last 4,2", "start 1 4,2", "end 1 15,15", "start 2 4,2",
                                           "end 2 4,2", "key 32",     "keyup 17"};
    EXPECT_EQ(log(), want);
    // Only the left button holds the hand.
    EXPECT_FALSE(doc->HandGrab());
}

TEST_F(CanvasInputTest, WithoutAPictureNothingReachesTheTools)
{
    auto doc = std::make_unique<fImage>();
    doc->iDst_MouseDown(1, 0, 3, 3);
    doc->idst_MouseMove(1, 0, 8, 8);
    doc->iDst_MouseUp(1, 0, 8, 8);
    doc->iDst_KeyDown(32, 0);
    doc->idst_KeyUp(17, 0);
    EXPECT_TRUE(log().empty());
    EXPECT_FALSE(doc->HandGrab());
}

TEST_F(CanvasInputTest, HandScrollingFollowsThePointerWithinTheBars)
{
    auto doc = window(100, 100, 100, 100, 2);   // maxima 100, values 50
    ASSERT_EQ(doc->hSB->Max(), 100);
    ASSERT_EQ(doc->hSB->Value(), 50);
    doc->setMouseScroll(true);
    EXPECT_EQ(doc->iDst->MousePointer(), kPointerCustom);
    EXPECT_EQ(doc->iDst->cursor().shape(), Qt::OpenHandCursor);

    QTest::mousePress(doc->iDst, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(doc->iDst->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(doc->iDst, QPoint(40, 70));
    EXPECT_EQ(doc->hSB->Value(), 60);
    EXPECT_EQ(doc->vSB->Value(), 30);
    // The step runs at the point under the pointer with the new values.
    EXPECT_EQ(log().back(), "step 1 50,50");
    QTest::mouseMove(doc->iDst, QPoint(0, 99));   // kept within 0..Max
    EXPECT_EQ(doc->hSB->Value(), 100);
    EXPECT_EQ(doc->vSB->Value(), 1);
    QTest::mouseRelease(doc->iDst, Qt::LeftButton, {}, QPoint(0, 99));
    EXPECT_EQ(doc->iDst->cursor().shape(), Qt::OpenHandCursor);
    // Released: moves scroll nothing.
    QTest::mouseMove(doc->iDst, QPoint(60, 60));
    EXPECT_EQ(doc->hSB->Value(), 100);

    // A picture that fits: nothing scrolls, but the step still runs.
    auto small = window(100, 100, 20, 20, 1);
    small->setMouseScroll(true);
    log().clear();
    QTest::mousePress(small->iDst, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(small->iDst, QPoint(9, 12), 0);
    EXPECT_EQ(small->hSB->Value(), 0);
    EXPECT_EQ(small->vSB->Value(), 0);
    EXPECT_EQ(log().back(), "step 1 9,12");
    QTest::mouseRelease(small->iDst, Qt::LeftButton, {}, QPoint(9, 12));
}

} // namespace tq
