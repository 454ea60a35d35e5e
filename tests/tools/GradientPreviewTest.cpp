// The gradient preview strip and the two gradient colour swatches.
#include "OptionPanelFixture.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "support/TestPorts.h"
#include "widgets/ColourSwatch.h"
#include "tools/GradientPreview.h"
#include "tools/ToolOptionPanel.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

namespace tq::tools {
namespace {

struct GradientFrame : OptionPanelFixture {
    void SetUp() override
    {
        OptionPanelFixture::SetUp();
        panel->show();
        panel->Tool_Frame();
        panel->Gradient->show();
        panel->Gradient_init();
    }
    // Column x of the strip as the box shows it, red in the low byte.
    int32_t column(int x, int y = 5) const
    {
        const QRgb p = panel->iGrad->picture().pixel(x, y);
        return qRed(p) + 256 * qGreen(p) + 65536 * qBlue(p);
    }
};

int32_t grey(int v) { return v * 0x010101; }

} // namespace

TEST(GradientPreview, ColumnsBlendFromTheFirstColourToTheSecond)
{
    struct Case {
        int32_t c1, c2, W;
        std::vector<std::pair<int, int32_t>> columns;   // (x, colour)
    };
    const Case cases[] = {
        // t = 0.5 gives 127.5, which goes to the even 128; 255 / 80 = 3.19.
        {0xFFFFFF, 0, 80, {{0, grey(255)}, {40, grey(128)}, {79, grey(3)}}},
        // Each channel on its own: red falls, blue rises.
        {0x0000FF, 0xFF0000, 4, {{0, 0x0000FF}, {1, 0x4000BF}, {2, 0x800080}, {3, 0xBF0040}}},
        // Both colours equal: one flat colour.
        {0x336699, 0x336699, 7, {{0, 0x336699}, {3, 0x336699}, {6, 0x336699}}},
        // One column: the first colour.
        {0x123456, 0, 1, {{0, 0x123456}}},
    };
    for (const Case& c : cases) {
        const std::vector<int32_t> cols = gradientPreviewColumns(c.c1, c.c2, c.W);
        ASSERT_EQ(cols.size(), size_t(c.W));
        for (auto [x, colour] : c.columns) EXPECT_EQ(cols[size_t(x)], colour) << std::hex << c.c1 << " x " << x;
    }
    EXPECT_TRUE(gradientPreviewColumns(0, 0xFFFFFF, 0).empty());
}

TEST_F(GradientFrame, StripShowsTheDefaultColoursAcrossEightyPixels)
{
    ASSERT_EQ(panel->iGrad->innerWidth(), 80);
    EXPECT_EQ(panel->GradColor[0]->BackColor(), 0xFFFFFF);
    EXPECT_EQ(panel->GradColor[1]->BackColor(), 0);
    EXPECT_EQ(column(0), grey(255));
    EXPECT_EQ(column(40), grey(128));
    EXPECT_EQ(column(79), grey(3));
    EXPECT_EQ(column(40, 0), column(40, panel->iGrad->picture().height() - 1));

    // The mode, the pressure and the frequency leave the strip alone.
    const QImage before = panel->iGrad->picture();
    panel->cbGradMode->setCurrentIndex(1);
    EXPECT_EQ(programSettings().GradientMode, 1);
    EXPECT_EQ(panel->iGrad->picture(), before);
}

TEST_F(GradientFrame, SwatchClickAcceptedOrCancelled)
{
    ports.colourPicker.answers = {16711680, std::nullopt};
    QTest::mouseClick(panel->GradColor[1], Qt::LeftButton);
    EXPECT_EQ(ports.colourPicker.asked, (std::vector<int32_t>{0}));
    EXPECT_EQ(programSettings().GradientColor2, 16711680);
    EXPECT_EQ(panel->GradColor[1]->BackColor(), 16711680);
    EXPECT_EQ(column(0), 0xFFFFFF);
    EXPECT_EQ(column(40), 0xFF8080);   // halfway from white to blue

    QTest::mouseClick(panel->GradColor[0], Qt::LeftButton);   // cancelled
    EXPECT_EQ(programSettings().GradientColor1, 0xFFFFFF);
    EXPECT_EQ(programSettings().GradientColor2, 16711680);
    EXPECT_EQ(column(40), 0xFF8080);
}

TEST_F(GradientFrame, SwatchLooksPressedUntilTheReleaseWhereverItIs)
{
    ColourSwatch* swatch = panel->GradColor[0];
    QTest::mousePress(swatch, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(swatch->looksPressed());
    // Moved off before the release: the border comes back, no picker.
    QTest::mouseRelease(swatch, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_FALSE(swatch->looksPressed());
    EXPECT_TRUE(ports.colourPicker.asked.empty());
    // Another button looks pressed too, but only the left one clicks.
    QTest::mousePress(swatch, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(swatch->looksPressed());
    QTest::mouseRelease(swatch, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(swatch->looksPressed());
    EXPECT_TRUE(ports.colourPicker.asked.empty());
}

TEST_F(GradientFrame, SwatchChangedByCodeWritesItsFieldAndRedraws)
{
    panel->GradColor[0]->setBackColor(0x0000FF);
    EXPECT_EQ(programSettings().GradientColor1, 0x0000FF);
    EXPECT_EQ(column(0), 0x0000FF);
    EXPECT_EQ(column(40), 0x000080);
}

} // namespace tq::tools
