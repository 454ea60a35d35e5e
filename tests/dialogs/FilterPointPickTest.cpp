// Picking a point on the filter dialog's source preview, the blinking
// crosshair, and the colour swatches with the colour picker.
#include "FilterDialogFixture.h"

#include <QMouseEvent>
#include <QTimer>

namespace tq {
namespace {

using testing::FilterDialogFixture;

class FilterPointPick : public FilterDialogFixture {
protected:
    // A 1600 x 1200 picture: a 147 x 110 preview, preview pixel (x, y) from
    // picture pixel (floor(x 1600 / 147), floor(y 1200 / 110)).
    void SetUp() override
    {
        FilterDialogFixture::SetUp();
        openDocument(1600, 1200);
    }
    static void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint at)
    {
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    // The colour of preview pixel (x, y) of the unfiltered copy.
    int32_t previewColour(const fFilter* d, int x, int y) const
    {
        const uint8_t* p = d->PreviewSource.bits.data() + 4 * ((y + 2) * d->PreviewSource.width + (x + 2));
        return rgbColor(p[2], p[1], p[0]);
    }
    bool white(const fFilter* d, int x, int y) const { return d->iSrc->Point(x, y) == 0xFFFFFF; }
};

TEST_F(FilterPointPick, DraggingBeyondThePreviewPicksItsNearestEdgePixel)
{
    fFilter* d = open(16, true);   // Replace
    ASSERT_EQ(d->PreviewWidth, 147);
    ASSERT_EQ(d->PreviewHeight, 110);
    EXPECT_FLOAT_EQ(d->PickX, 0.5f);
    mouse(d->iSrc, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {10, 20});
    EXPECT_FLOAT_EQ(d->PickX, 10.0f / 147);
    EXPECT_FLOAT_EQ(d->PickY, 20.0f / 110);
    EXPECT_EQ(d->Col[0]->BackColor(), previewColour(d, 10, 20));
    const size_t runs = recorded.size();
    mouse(d->iSrc, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {500, -30});
    EXPECT_FLOAT_EQ(d->PickX, 146.0f / 147);
    EXPECT_FLOAT_EQ(d->PickY, 0.0f);
    EXPECT_EQ(d->Col[0]->BackColor(), previewColour(d, 146, 0));
    // Every pick computes the preview again, with the new colour to replace.
    EXPECT_EQ(recorded.size(), runs + 1);
    EXPECT_EQ(lastCall(), "REPLACE(" + std::to_string(previewColour(d, 146, 0)) + ",192,100)");
}

TEST_F(FilterPointPick, OnlyTheLeftButtonDragsButAnyButtonPressPicksOnce)
{
    fFilter* d = open(27, true);   // Lens
    mouse(d->iSrc, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {30, 40});
    EXPECT_FLOAT_EQ(d->PickX, 30.0f / 147);
    const size_t runs = recorded.size();
    mouse(d->iSrc, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {60, 70});
    mouse(d->iSrc, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, {60, 70});
    EXPECT_FLOAT_EQ(d->PickX, 30.0f / 147);
    EXPECT_FLOAT_EQ(d->PickY, 40.0f / 110);
    EXPECT_EQ(recorded.size(), runs);
    // The lens gets the point as fractions of the preview.
    EXPECT_EQ(lastCall(), "LENS(f:" + testing::RecordingFilterEngine::num(30.0f / 147) + ",f:" +
                              testing::RecordingFilterEngine::num(40.0f / 110) + ",f:" +
                              testing::RecordingFilterEngine::num(50.0f / 147) + ",50)");

    // A page that does not pick ignores the mouse.
    d = open(1, true);
    mouse(d->iSrc, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {30, 40});
    EXPECT_FLOAT_EQ(d->PickX, 0.5f);
    EXPECT_FALSE(d->tmrSelect->isActive());
}

TEST_F(FilterPointPick, TheCrosshairBlinksWhiteAndBlackAtThePickPoint)
{
    fFilter* d = open(14, true);   // Isolate
    EXPECT_TRUE(d->tmrSelect->isActive());
    EXPECT_EQ(d->tmrSelect->interval(), 500);
    // Nothing is drawn before the first tick.
    EXPECT_EQ(d->iSrc->drawing(), d->iDst->drawing());
    d->tmrSelect_Timer();
    // The centre of 147 x 110 is (73.5, 55): pixel (74, 55); each arm
    // covers four pixels either side.
    for (int k = -4; k <= 4; ++k) {
        EXPECT_TRUE(white(d, 74 + k, 55)) << k;
        EXPECT_TRUE(white(d, 74, 55 + k)) << k;
    }
    EXPECT_EQ(d->iSrc->Point(79, 55), previewColour(d, 79, 55));
    EXPECT_EQ(d->iSrc->Point(74, 50), previewColour(d, 74, 50));
    EXPECT_EQ(d->iSrc->Point(75, 56), previewColour(d, 75, 56));
    d->tmrSelect_Timer();
    EXPECT_EQ(d->iSrc->Point(74, 55), 0);
    EXPECT_EQ(d->iSrc->Point(70, 55), 0);

    // A 160 x 25 preview has its centre at (80, 12).
    openDocument(640, 100);
    d = open(14, true);
    d->tmrSelect_Timer();
    EXPECT_TRUE(white(d, 80, 12));
    EXPECT_TRUE(white(d, 84, 12));
    EXPECT_TRUE(white(d, 80, 8));
}

TEST_F(FilterPointPick, SwatchesShowAsThePageAsksAndTakeThePickedColours)
{
    struct Case {
        int page;
        bool first, second;
    };
    for (const Case& c : {Case{11, false, true}, Case{14, true, true}, Case{21, true, false}, Case{1, false, false}}) {
        SCOPED_TRACE(c.page);
        fFilter* d = open(c.page, true);
        EXPECT_EQ(d->frColor->isVisibleTo(d), c.first || c.second);
        if (c.first || c.second) {
            EXPECT_EQ(d->Col[0]->isVisibleTo(d), c.first);
            EXPECT_EQ(d->Col[1]->isVisibleTo(d), c.second);
            // The first swatch starts with the colour at the centre (also
            // where it is hidden), the second dark red.
            EXPECT_EQ(d->Col[0]->BackColor(), previewColour(d, 74, 55));
        }
        EXPECT_EQ(d->Col[1]->BackColor(), 0xC0);
    }

    // Replace: the colour accepted for the second swatch is the new colour.
    fFilter* d = open(16, true);
    ports.colourPicker.answers.push_back(0x123456);
    QTest::mouseClick(d->Col[1], Qt::LeftButton);
    ASSERT_EQ(ports.colourPicker.asked, std::vector<int32_t>{0xC0});
    EXPECT_EQ(d->Col[1]->BackColor(), 0x123456);
    const std::string centre = std::to_string(previewColour(d, 74, 55));
    EXPECT_EQ(lastCall(), "REPLACE(" + centre + "," + std::to_string(0x123456) + ",100)");
    // A cancelled picker keeps the swatch and still computes again.
    const size_t runs = recorded.size();
    QTest::mouseClick(d->Col[1], Qt::LeftButton);
    EXPECT_EQ(d->Col[1]->BackColor(), 0x123456);
    EXPECT_EQ(recorded.size(), runs + 1);
    // A press takes the border off until the release.
    mouse(d->Col[0], QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {2, 2});
    EXPECT_TRUE(d->Col[0]->looksPressed());
    ports.colourPicker.answers.push_back(0x00FF00);
    mouse(d->Col[0], QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {2, 2});
    EXPECT_FALSE(d->Col[0]->looksPressed());
    EXPECT_EQ(lastCall(), "REPLACE(" + std::to_string(0x00FF00) + "," + std::to_string(0x123456) + ",100)");
}

TEST_F(FilterPointPick, ThePickPointIsAtTheCentreAgainOnEveryOpening)
{
    fFilter* d = open(36, true);   // Light
    mouse(d->iSrc, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {3, 4});
    d->cmdCancel_Click();
    d = open(36, true);
    EXPECT_FLOAT_EQ(d->PickX, 0.5f);
    EXPECT_FLOAT_EQ(d->PickY, 0.5f);
    EXPECT_EQ(lastCall(), "Light(f:0.5,f:0.5,f:" + testing::RecordingFilterEngine::num(50.0f / 147) + ",250,0)");
}

} // namespace
} // namespace tq
