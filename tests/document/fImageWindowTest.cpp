#include "document/ProgramContext.h"
#include "document/ImageCanvas.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tq {
namespace {

// Fills the picture with a colour per pixel that tells the document apart.
void paint(fImage& doc, uint8_t tag)
{
    BitsBuffer b = doc.Bits();
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            b.at(0, x, y) = tag;
            b.at(1, x, y) = static_cast<uint8_t>(x * 9);
            b.at(2, x, y) = static_cast<uint8_t>(y * 11);
        }
    doc.setBits(b);
}

// A window whose container is exactly cw x ch.
std::unique_ptr<fImage> standalone(int cw, int ch)
{
    auto doc = std::make_unique<fImage>();
    doc->resize(cw, ch + doc->sbInfo->sizeHint().height());
    return doc;
}

class DocumentWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<fMain>();
        main->show();
    }
    void TearDown() override
    {
        main.reset();
    }
    // A new document with its own number, as the makers give it.
    fImage* open(int w, int h, uint8_t tag)
    {
        ++DocumentCount();
        ImageWidth() = static_cast<int16_t>(w);
        ImageHeight() = static_cast<int16_t>(h);
        auto* doc = new fImage;
        doc->CreateBlank(w, h);
        paint(*doc, tag);
        main->addDocument(doc);
        return doc;
    }
    ScopedContext context;
    std::unique_ptr<fMain> main;
};

} // namespace

TEST_F(DocumentWindows, ActivationMirrorsPixelsAndSelectionIntoTheEngine)
{
    fImage* a = open(640, 480, 1);
    EXPECT_EQ(main->cFilter.Bits(), a->Bits());
    EXPECT_EQ(main->cFilter.BitsRegion(), a->BitsRegion.RegionMain()) << "no selection: the whole picture";

    fImage* b = open(30, 20, 2);
    b->BitsRegion.Init(0, 0, 30, 20);
    b->BitsRegion.CreateRect(2, 3, 10, 12, 2, false);
    LastMeID() = -1;   // let B's next activation copy its new selection
    b->Form_Activate();
    EXPECT_EQ(LastMeID(), b->MeID);
    EXPECT_EQ(main->cFilter.Bits(), b->Bits());
    EXPECT_EQ(main->cFilter.BitsRegion(), b->BitsRegion.Region());
    EXPECT_TRUE(b->iDst->TimerRunning());

    // Activating B again right after its own activation copies nothing.
    main->cFilter.setBits(BitsBuffer(2, 2));
    b->Form_Activate();
    EXPECT_EQ(main->cFilter.Bits(), BitsBuffer(2, 2));

    // Switching to A through the main window: A's pixels, B's outline stops.
    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    EXPECT_EQ(main->cFilter.Bits(), a->Bits());
    EXPECT_FALSE(b->iDst->TimerRunning());
    EXPECT_TRUE(a->iDst->TimerRunning());
    EXPECT_TRUE(SaveUndoOnNudge());
    EXPECT_FALSE(PasteFloating());
}

TEST_F(DocumentWindows, StatusPanelsReadAsGiven)
{
    fImage* a = open(640, 480, 1);
    EXPECT_EQ(a->sbInfo->panelText(QStringLiteral("Pixel")), QStringLiteral("640 x 480"));
    EXPECT_EQ(a->sbInfo->panelText(QStringLiteral("Zoom")), QStringLiteral("1 : 1"));
    a->setZoomFactor(3);
    LastMeID() = -1;
    a->Form_Activate();
    EXPECT_EQ(a->sbInfo->panelText(5), QStringLiteral("3 : 1"));

    fImage fresh;
    const char* texts[] = {"Document", "Actions:", "Path :", "Pixel : ", "Zoom :"};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(fresh.sbInfo->panelText(i), QString::fromLatin1(texts[i - 1])) << i;
        EXPECT_EQ(fresh.sbInfo->panel(i)->toolTip(), QString::fromLatin1(texts[i - 1])) << i;
    }
    EXPECT_EQ(StatusPanels::indexOf(QStringLiteral("Format")), 2);
    EXPECT_EQ(StatusPanels::indexOf(QStringLiteral("Size")), 3);
    fresh.sbInfo->setPanelText(QStringLiteral("Name"), QStringLiteral("x"));   // no such panel
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(fresh.sbInfo->panelText(i), QString::fromLatin1(texts[i - 1]));
}

TEST_F(DocumentWindows, FirstActivationTurnsHandScrollingOn)
{
    programSettings().ToolName.assign("Brush");
    fImage* a = open(64, 48, 1);
    EXPECT_TRUE(main->HandScrollButtonPressed());
    EXPECT_EQ(programSettings().ToolName.text(), "MouseScroll");
    EXPECT_TRUE(a->MouseScroll());
}

TEST_F(DocumentWindows, NewWindowsTakeTheirSizeFromThePicture)
{
    // Wide free area: 50 pixels plus 200 twips wide.
    const DocumentWindowSize narrow = documentWindowSize(15000, 9000, 50, 300, 20, 0);
    EXPECT_EQ(narrow.widthTwips, 50 * 15 + 200);
    EXPECT_EQ(narrow.heightTwips, (20 + 300 + 0 + 35) * 15);
    // A picture at least as high as the free area: the free height - 70 twips.
    const DocumentWindowSize tall = documentWindowSize(15000, 9000, 50, 600, 20, 0);
    EXPECT_EQ(tall.heightTwips, 9000 - 70);
    const DocumentWindowSize wide = documentWindowSize(15000, 9000, 1000, 300, 20, 0);
    EXPECT_EQ(wide.widthTwips, 15000);

    // A picture 80 high: both globals become 500.
    fImage* a = open(300, 80, 1);
    EXPECT_EQ(ImageWidth(), 500);
    EXPECT_EQ(ImageHeight(), 500);
    EXPECT_EQ(a->parentWidget()->pos(), QPoint(0, 0));
    // The next one opens cascaded below and right of it.
    fImage* b = open(200, 150, 2);
    const QPoint at = b->parentWidget()->pos();
    EXPECT_GT(at.x(), 0);
    EXPECT_EQ(at.x(), at.y());
    EXPECT_EQ(b->MeID, DocumentCount());
}

TEST_F(DocumentWindows, AddingKeepsTheNumberAndTheSelectionTheMakerGave)
{
    const int32_t number = ++DocumentCount();
    auto* doc = new fImage;
    bool saveundo = false;
    doc->iSrc.move(0, 0, 8, 6);
    doc->SetPicture(saveundo);
    doc->BitsRegion.CreateRect(1, 1, 4, 4, 2, false);
    ++DocumentCount();   // naming the document advances the count
    main->addDocument(doc);
    EXPECT_EQ(doc->MeID, number);
    ASSERT_NE(doc->BitsRegion.RegionMain(), nullptr);
    EXPECT_EQ(doc->BitsRegion.RegionMain()->boundingBox(), (RectI{0, 0, 8, 6}));
    EXPECT_EQ(main->cFilter.BitsRegion(), doc->BitsRegion.Region());
}

TEST_F(DocumentWindows, ActivationWithoutAPictureHandsOverAnEmptyBuffer)
{
    ++DocumentCount();
    auto* doc = new fImage;
    main->addDocument(doc);
    EXPECT_FALSE(main->cFilter.Bits().allocated());
    EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Pixel")), QStringLiteral("0 x 0"));
}

TEST(fImageView, LayoutPlacesTheCanvasAndTheGrabShowsTheBlocks)
{
    auto doc = standalone(600, 500);
    doc->CreateBlank(400, 300);
    paint(*doc, 7);
    EXPECT_EQ(doc->PImage->size(), QSize(600, 500));
    EXPECT_EQ(doc->iDst->geometry(), QRect(100, 100, 400, 300));
    EXPECT_EQ(doc->sbInfo->panelText(QStringLiteral("Pixel")), QStringLiteral("400 x 300"));

    doc->setZoomFactor(2);
    EXPECT_EQ(doc->iDst->geometry(), QRect(0, 0, 600, 500));
    int32_t hV, VV, hM, vM, sW, sH, dW, dH;
    doc->GetSBM(hM, vM);
    doc->GetSBV(hV, VV);
    doc->GetDimensions(sW, sH, dW, dH);
    EXPECT_EQ(hM, 200);
    EXPECT_EQ(vM, 100);
    EXPECT_EQ(hV, 100);
    EXPECT_EQ(VV, 50);
    EXPECT_EQ(sW, 400);
    EXPECT_EQ(dH, 500);
    EXPECT_FLOAT_EQ(doc->BitsRegion.ZoomFactor(), 2.0f);

    // Zoom 3 scrolled to 7: each picture pixel is a 3 x 3 block.
    doc->setZoomFactor(3);
    VV = 0;
    doc->Scroll(7, VV);
    const QImage img = doc->iDst->grab().toImage();
    const BitsBuffer bits = doc->Bits();
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 60; ++X) {
            const int x = (7 + X) / 3, y = Y / 3;
            const QRgb want = qRgb(bits.at(2, x, y), bits.at(1, x, y), bits.at(0, x, y));
            ASSERT_EQ(img.pixel(X, Y) & 0xFFFFFFu, want & 0xFFFFFFu) << X << "," << Y;
        }
}

TEST(fImageView, PicturesBeyondTheLargestSideAreRefused)
{
    fImage doc;
    doc.CreateBlank(40000, 10);
    EXPECT_FALSE(doc.BMExists);
    doc.CreateBlank(10, 32768);
    EXPECT_FALSE(doc.BMExists);
    doc.PPicture(QImage(32768, 1, QImage::Format_RGB32));
    EXPECT_FALSE(doc.BMExists);
    doc.PPicture(QImage(32767, 1, QImage::Format_RGB32));
    EXPECT_TRUE(doc.BMExists);
    doc.setZoomFactor(15);   // 32767 x 15 still lays out, in 32-bit positions
    EXPECT_EQ(doc.ZoomFactor(), 15);
}

TEST(fImageView, ClearDropsThePictureAndHoldsPainting)
{
    auto doc = standalone(300, 200);
    doc->CreateBlank(50, 40);
    doc->setZoomFactor(10);
    doc->Clear();
    EXPECT_FALSE(doc->BMExists);
    EXPECT_EQ(doc->PictureWidth(), 0);
    EXPECT_TRUE(doc->iDst->isHidden());
    EXPECT_TRUE(doc->HoldPaint());
    int32_t hM, vM;
    doc->GetSBM(hM, vM);
    EXPECT_EQ(hM, 0);
    EXPECT_EQ(vM, 0);
    EXPECT_EQ(doc->ZoomFactor(), 10) << "the zoom stays";
}

TEST(fImageView, ProgressBarBorderAndClick)
{
    fImage doc;
    doc.picPb->show();
    QTest::mousePress(doc.cFilterProgress, Qt::LeftButton);
    EXPECT_EQ(doc.cFilterProgressBorderStyle(), 1);
    const bool text = doc.cFilterProgress->isTextVisible();
    QTest::mouseRelease(doc.cFilterProgress, Qt::LeftButton);
    EXPECT_EQ(doc.cFilterProgressBorderStyle(), 0);
    EXPECT_NE(doc.cFilterProgress->isTextVisible(), text) << "a click switches the display setting";
}

TEST_F(DocumentWindows, ResizePlacesTheProgressBoxOverTheFirstPanelUnlessMinimised)
{
    fImage* doc = open(200, 150, 1);
    QWidget* frame = doc->parentWidget();
    frame->resize(500, 400);
    QApplication::processEvents();
    EXPECT_EQ(doc->picPb->x(), 1);
    EXPECT_EQ(doc->picPb->y(), doc->height() - doc->picPb->height() - 3);
    EXPECT_TRUE(doc->picPb->geometry().intersects(doc->sbInfo->geometry()));

    // A minimised main window leaves the box where it was.
    doc->picPb->move(40, 40);
    main->showMinimized();
    doc->Form_Resize();
    EXPECT_EQ(doc->picPb->pos(), QPoint(40, 40));
    main->showNormal();
    doc->Form_Resize();
    EXPECT_EQ(doc->picPb->x(), 1);
}

} // namespace tq
