// The canvas size dialog: the anchor grid under the mouse, the quick
// amounts, and OK placing the old pixels on the new canvas as one step.
#include "DialogFixture.h"

#include "dialogs/PreviewBox.h"
#include "dialogs/fCanvas.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace tq {
namespace {

using testing::CountingImage;
using testing::patternByte;

class CanvasDialog : public testing::DialogFixture {
protected:
    fCanvas* openCanvas() { return open<fCanvas>("CANVASSIZE", "Canvas ..."); }

    // A click in the middle of grid cell (column, row).
    static void clickCell(fCanvas* dlg, int column, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        const int tw = dlg->ThumbWidth, th = dlg->ThumbHeight;
        QTest::mouseClick(dlg->iCnv, button, Qt::NoModifier, QPoint(column * tw + tw / 2, row * th + th / 2));
    }

    // Old pixel (sx, sy) of the pattern sits at (x, y).
    static bool holdsOld(const BitsBuffer& b, int x, int y, int sx, int sy)
    {
        for (int c = 0; c < 3; ++c)
            if (b.at(c, x, y) != patternByte(c, sx, sy)) return false;
        return b.at(3, x, y) == 0;
    }
    static bool black(const BitsBuffer& b, int x, int y) { return bgr(b, x, y) == 0 && b.at(3, x, y) == 0; }
};

} // namespace

TEST_F(CanvasDialog, GridAndThumbnailFollowThePicture)
{
    struct Case {
        int w, h;
        int tw, th;
    } cases[] = {{120, 60, 60, 30}, {40, 50, 40, 50}, {600, 600, 60, 60}};
    for (const Case& c : cases) {
        CountingImage* doc = openDocument(c.w, c.h);
        fCanvas* dlg = openCanvas();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->ThumbWidth, c.tw);
        EXPECT_EQ(dlg->ThumbHeight, c.th);
        EXPECT_EQ(dlg->iCnv->size(), QSize(3 * c.tw, 3 * c.th));
        // In the centre cell, whatever was chosen at an earlier opening.
        EXPECT_EQ(dlg->iImg->geometry(), QRect(c.tw, c.th, c.tw, c.th));
        EXPECT_TRUE(dlg->iImg->isVisible());
        EXPECT_EQ(dlg->iImg->picture().size(), QSize(c.tw, c.th));
        // The grid is centred in the 180 x 180 square inside the frame.
        const QRect square(dlg->lblBack->geometry().topLeft() + QPoint(2, 2), QSize(180, 180));
        EXPECT_LE(std::abs(dlg->iCnv->geometry().center().x() - square.center().x()), 1);
        EXPECT_LE(std::abs(dlg->iCnv->geometry().center().y() - square.center().y()), 1);
        clickCell(dlg, 0, 2);
        dlg->cmdCancel_Click();
        EXPECT_FALSE(dlg->isVisible());
        closeDocument(doc);
    }
}

TEST_F(CanvasDialog, TheMouseMovesTheAnchorFromCellToCell)
{
    openDocument(90, 60);   // cells of 60 x 40
    fCanvas* dlg = openCanvas();
    ASSERT_NE(dlg, nullptr);
    clickCell(dlg, 2, 0, Qt::RightButton);   // any button
    EXPECT_EQ(dlg->iCnv->anchorColumn(), 2);
    EXPECT_EQ(dlg->iCnv->anchorRow(), 0);
    EXPECT_EQ(dlg->iImg->pos(), QPoint(120, 0));

    // Dragging with the left button alone carries it along.
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 100), QPointF(10, 100), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(dlg->iCnv, &move);
    EXPECT_EQ(dlg->iImg->pos(), QPoint(0, 80));
    QMouseEvent rightDrag(QEvent::MouseMove, QPointF(130, 50), QPointF(130, 50), Qt::NoButton, Qt::RightButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(dlg->iCnv, &rightDrag);
    EXPECT_EQ(dlg->iImg->pos(), QPoint(0, 80));
    // A point off the grid moves nothing.
    dlg->iCnv->pointAt(180, 10);
    EXPECT_EQ(dlg->iImg->pos(), QPoint(0, 80));
}

TEST_F(CanvasDialog, AnchorsPlaceTheOldPixels)
{
    struct Case {
        int column, row;
        const char* W;
        const char* H;
        int dx, dy;   // where old (0, 0) lands
    } cases[] = {
        {1, 1, "103", "100", 2, 0},  {1, 1, "101", "100", 0, 0},  {1, 1, "97", "100", -2, 0},
        {2, 2, "60", "70", -40, -30}, {0, 0, "120", "130", 0, 0}, {1, 1, "110", "90", 5, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.W) + "x" + c.H);
        CountingImage* doc = openDocument(100, 100);
        doc->BitsRegion.CreateRect(3, 3, 9, 9, 2, false);
        fCanvas* dlg = openCanvas();
        ASSERT_NE(dlg, nullptr);
        dlg->chkKeepProportions->setChecked(false);
        clickCell(dlg, c.column, c.row);
        type(dlg->txtW, c.W);
        type(dlg->txtH, c.H);
        dlg->cmdOK->click();

        EXPECT_FALSE(dlg->isVisible());
        const int W = std::stoi(c.W), H = std::stoi(c.H);
        ASSERT_EQ(doc->PictureWidth(), W);
        ASSERT_EQ(doc->PictureHeight(), H);
        const BitsBuffer r = doc->Bits();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int sx = x - c.dx, sy = y - c.dy;
                if (sx >= 0 && sx < 100 && sy >= 0 && sy < 100)
                    ASSERT_TRUE(holdsOld(r, x, y, sx, sy)) << x << "," << y;
                else
                    ASSERT_TRUE(black(r, x, y)) << x << "," << y;
            }
        EXPECT_TRUE(doc->BitsRegion.IsEmptyRegion());
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_EQ(lastStepName(*doc), "Canvas ...");
        EXPECT_EQ(sizePanel(*doc), QStringLiteral("%1x%2").arg(W).arg(H));
        EXPECT_TRUE(engineMirrors(*doc));
        closeDocument(doc);
    }
}

TEST_F(CanvasDialog, QuickAmountsAndRefusals)
{
    CountingImage* doc = openDocument(5, 5);
    fCanvas* dlg = openCanvas();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->chkKeepProportions->isChecked());
    choose(dlg->cbPreDef, 1);   // "2 +"
    EXPECT_EQ(text(dlg->txtW), "9");
    EXPECT_EQ(text(dlg->txtH), "9");
    EXPECT_TRUE(dlg->chkKeepProportions->isChecked());
    type(dlg->txtW, "5");
    choose(dlg->cbPreDef, 5);   // "3 -"
    EXPECT_EQ(text(dlg->txtW), "-1");
    EXPECT_EQ(text(dlg->txtH), "-1");
    dlg->cmdOK->click();
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown.back().text, "Minimum size: 2 x 2");
    EXPECT_TRUE(dlg->isVisible());

    // Back to the picture's own size: nothing happens at all.
    type(dlg->txtW, "5");
    type(dlg->txtH, "5");
    dlg->cmdOK->click();
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_FALSE(doc->Changed);
}

} // namespace tq
