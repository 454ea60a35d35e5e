// The navigator: the active picture fitted and centred on black, following
// activation, change and closing; the view outline; dragging it scrolls the
// document, up to its ends; size floors, roll-up and the stored place.
#include "ToolWindowFixture.h"

#include "toolwindows/fPanView.h"

#include <QMdiArea>

#include <functional>

using namespace tq;
using namespace tq::testing;

namespace {

class NavigatorTest : public ToolWindowFixture {
protected:
    void SetUp() override
    {
        ToolWindowFixture::SetUp();
        nav = new fPanView(main.get());   // owned by the main window
        nav->show();
        QCoreApplication::processEvents();
    }

    // The document's view at its top-left corner (a new view is centred).
    static void scrollHome(fImage* doc)
    {
        int32_t v = 0;
        doc->Scroll(0, v);
        QCoreApplication::processEvents();
    }
    QRgb at(int x, int y) const { return nav->pp->Picture.pixel(x, y) | 0xFF000000u; }
    int ox() const { return (nav->pp->width() - nav->ThumbnailWidth()) / 2; }
    int oy() const { return (nav->pp->height() - nav->ThumbnailHeight()) / 2; }
    QPoint outlineCentre() const
    {
        const RectI& v = nav->ViewRect();
        return QPoint((v.left + v.right) / 2, (v.top + v.bottom) / 2);
    }

    fPanView* nav = nullptr;
};

} // namespace

TEST_F(NavigatorTest, ShowsALargePictureFittedAndCentredOnBlack)
{
    // 400 x 100: left half red, right half blue.
    CountingImage* doc = openDocument(400, 100);
    BitsBuffer bits(400, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 400; ++x) bits.at(x < 200 ? 2 : 0, x, y) = 255;
    doc->setBits(bits);
    nav->UpdateImage();

    const int ppW = nav->pp->width(), ppH = nav->pp->height();
    ASSERT_GT(ppW, 100);
    // Wider than the area: as wide as the area, the height in proportion.
    EXPECT_EQ(nav->ThumbnailWidth(), ppW);
    EXPECT_NEAR(nav->ThumbnailHeight(), ppW / 4, 1);
    const int top = oy(), bottom = oy() + nav->ThumbnailHeight();
    EXPECT_EQ(at(ppW / 4, top), rgb(255, 0, 0));
    EXPECT_EQ(at(3 * ppW / 4, bottom - 1), rgb(0, 0, 255));
    // Black above and below the picture, across the whole area.
    EXPECT_EQ(at(0, top - 1), rgb(0, 0, 0));
    EXPECT_EQ(at(ppW - 1, bottom), rgb(0, 0, 0));
    EXPECT_EQ(at(0, 0), rgb(0, 0, 0));
    EXPECT_EQ(at(ppW - 1, ppH - 1), rgb(0, 0, 0));
}

TEST_F(NavigatorTest, ASmallPictureIsDrawnAtItsOwnSizeInTheMiddle)
{
    CountingImage* doc = openDocument(40, 30);
    nav->UpdateImage();
    EXPECT_EQ(nav->ThumbnailWidth(), 40);
    EXPECT_EQ(nav->ThumbnailHeight(), 30);
    EXPECT_EQ(ox(), (nav->pp->width() - 40) / 2);
    const BitsBuffer& b = doc->BitsRef();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(at(ox() + x, oy() + y), rgb(b.at(2, x, y), b.at(1, x, y), b.at(0, x, y))) << x << "," << y;
    EXPECT_EQ(at(ox() - 1, oy()), rgb(0, 0, 0));
    EXPECT_EQ(at(ox() + 40, oy() + 29), rgb(0, 0, 0));
}

TEST_F(NavigatorTest, FollowsActivationChangesAndClosing)
{
    CountingImage* red = openPlain(50, 40, 0, 0, 255);
    CountingImage* green = openPlain(60, 20, 0, 255, 0);
    nav->UpdateImage();
    EXPECT_EQ(nav->ThumbnailWidth(), 60);
    EXPECT_EQ(at(ox(), oy()), rgb(0, 255, 0));

    activate(red);
    QCoreApplication::processEvents();
    EXPECT_EQ(nav->ThumbnailWidth(), 50);
    EXPECT_EQ(at(ox() + 10, oy() + 10), rgb(255, 0, 0));
    EXPECT_TRUE(nav->ClipRct->isVisibleTo(nav));

    // A change of the picture redraws it through the common end of a change.
    BitsBuffer blue = red->Bits();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) blue.at(0, x, y) = 255, blue.at(2, x, y) = 0;
    main->applyToDocument(red->document(), blue);
    EXPECT_EQ(at(ox() + 10, oy() + 10), rgb(0, 0, 255));

    closeDocument(red);
    QCoreApplication::processEvents();
    EXPECT_EQ(nav->ThumbnailWidth(), 60);   // the other one is active again
    EXPECT_EQ(at(ox() + 1, oy() + 1), rgb(0, 255, 0));

    // The last one closes: background only, no outline, nothing to grab.
    closeDocument(green);
    QCoreApplication::processEvents();
    EXPECT_EQ(nav->ViewRect(), RectI{});
    EXPECT_FALSE(nav->ClipRct->isVisibleTo(nav));
    EXPECT_EQ(at(nav->pp->width() / 2, nav->pp->height() / 2), NavigatorArea::kBackColor);
    QTest::mousePress(nav->pp, Qt::LeftButton, {}, QPoint(0, 0));
    EXPECT_FALSE(nav->Dragging());
    QTest::mouseRelease(nav->pp, Qt::LeftButton, {}, QPoint(0, 0));

    // Resizing without a document shows only the background too.
    nav->resize(nav->width() + 20, nav->height());
    nav->UpdateImage();
    EXPECT_EQ(at(5, 5), NavigatorArea::kBackColor);
}

TEST_F(NavigatorTest, OutlineShowsThePartInView)
{
    CountingImage* doc = openDocument(600, 450);
    sizeDocumentWindow(doc, 220, 180);
    int32_t sW = 0, sH = 0, dW = 0, dH = 0;
    doc->GetDimensions(sW, sH, dW, dH);
    ASSERT_LT(dW, 600);
    scrollHome(doc);
    nav->UpdateImage();
    const double k = double(nav->ThumbnailWidth()) / 600;
    const RectI& v = nav->ViewRect();
    EXPECT_EQ(v.left, ox());
    EXPECT_EQ(v.top, oy());
    EXPECT_NEAR(v.right - v.left, dW * k, 1.0);
    EXPECT_NEAR(v.bottom - v.top, dH * double(nav->ThumbnailHeight()) / 450, 1.0);
    // The shape stands one pixel inside the rectangle.
    EXPECT_EQ(nav->ClipRct->geometry(), QRect(v.left + 1, v.top + 1, v.right - v.left - 1, v.bottom - v.top - 1));

    // Scrolling the document moves the outline (its repaint calls back).
    int32_t vv = 100;
    doc->Scroll(200, vv);
    QCoreApplication::processEvents();
    nav->UpdateClipRct();
    EXPECT_EQ(nav->ViewRect().left, ox() + qRound(200 * k));
}

TEST_F(NavigatorTest, DraggingTheOutlineScrollsTheDocumentToItsEnds)
{
    CountingImage* doc = openDocument(600, 450);
    sizeDocumentWindow(doc, 220, 180);
    doc->setZoomFactor(2);
    QCoreApplication::processEvents();
    scrollHome(doc);
    nav->UpdateImage();
    int32_t hM = 0, vM = 0, hV = -1, vV = -1;
    doc->GetSBM(hM, vM);
    ASSERT_GT(hM, 0);
    ASSERT_GT(vM, 0);

    // The same whether the desktop's pointer is held (X11) or not (Wayland):
    // the point the drag reads is held to the thumbnail in any case.
    for (const bool pointerHeld : {true, false}) {
    SCOPED_TRACE(pointerHeld ? "pointer held" : "pointer free");
    ports.pointerConfinement.confines = pointerHeld;
    scrollHome(doc);
    nav->UpdateImage();

    // A small step scrolls in proportion to the thumbnail's scale.
    QPoint p = outlineCentre();
    QTest::mousePress(nav->pp, Qt::LeftButton, {}, p);
    EXPECT_TRUE(nav->Dragging());
    p += QPoint(10, 5);
    QTest::mouseMove(nav->pp, p);
    doc->GetSBV(hV, vV);
    const double kx = double(nav->ThumbnailWidth()) / 600, ky = double(nav->ThumbnailHeight()) / 450;
    EXPECT_NEAR(hV, 10 / kx * 2, 2 / kx * 2);
    EXPECT_NEAR(vV, 5 / ky * 2, 2 / ky * 2);

    // Far past the right and bottom edges: the outline stops at the
    // thumbnail's edges and the document is at its maximum.
    for (int step = 0; step < 6; ++step) {
        p += QPoint(60, 60);
        QTest::mouseMove(nav->pp, p);
    }
    QTest::mouseRelease(nav->pp, Qt::LeftButton, {}, p);
    EXPECT_FALSE(nav->Dragging());
    doc->GetSBV(hV, vV);
    EXPECT_EQ(hV, hM);
    EXPECT_EQ(vV, vM);
    EXPECT_LE(nav->ViewRect().right, ox() + nav->ThumbnailWidth());
    EXPECT_LE(nav->ViewRect().bottom, oy() + nav->ThumbnailHeight());

    // And back past the left and top edges: both at 0.
    p = outlineCentre();
    QTest::mousePress(nav->pp, Qt::LeftButton, {}, p);
    for (int step = 0; step < 6; ++step) {
        p -= QPoint(60, 60);
        QTest::mouseMove(nav->pp, p);
    }
    QTest::mouseRelease(nav->pp, Qt::LeftButton, {}, p);
    doc->GetSBV(hV, vV);
    EXPECT_EQ(hV, 0);
    EXPECT_EQ(vV, 0);
    EXPECT_EQ(nav->ViewRect().left, ox());
    EXPECT_EQ(nav->ViewRect().top, oy());
    }
}

// For the drag the desktop's pointer is held in the rectangle that keeps
// the outline on the thumbnail (in the window's own pixels), and let go
// however the drag ends.
TEST_F(NavigatorTest, ThePointerIsHeldOnTheThumbnailWhileTheOutlineIsDragged)
{
    platform::FakePointerConfinement& confinement = ports.pointerConfinement;
    CountingImage* doc = openDocument(600, 450);
    sizeDocumentWindow(doc, 220, 180);
    scrollHome(doc);
    nav->UpdateImage();
    const RectI v = nav->ViewRect();
    const QPoint p = outlineCentre() + QPoint(3, 2);
    // From the press, the outline's left edge may go from the thumbnail's
    // left edge to where its right edge meets the thumbnail's right edge.
    const QPoint ppAt = nav->pp->mapTo(nav, QPoint(0, 0));
    const platform::PointerConfinementRequest expected{
        static_cast<uint64_t>(nav->winId()), ppAt.x() + ox() + p.x() - v.left, ppAt.y() + oy() + p.y() - v.top,
        nav->ThumbnailWidth() - (v.right - v.left) + 1, nav->ThumbnailHeight() - (v.bottom - v.top) + 1};

    QTest::mousePress(nav->pp, Qt::LeftButton, {}, p);
    EXPECT_EQ(confinement.requests, std::vector<platform::PointerConfinementRequest>{expected});
    EXPECT_EQ(confinement.held, expected);
    QTest::mouseMove(nav->pp, p + QPoint(5, 5));
    EXPECT_EQ(confinement.held, expected);
    QTest::mouseRelease(nav->pp, Qt::LeftButton, {}, p + QPoint(5, 5));
    EXPECT_FALSE(confinement.held);
    EXPECT_EQ(confinement.releases, 1);

    // A press outside the outline or with the right button holds nothing.
    QTest::mousePress(nav->pp, Qt::RightButton, {}, outlineCentre());
    QTest::mouseRelease(nav->pp, Qt::RightButton, {}, outlineCentre());
    QTest::mousePress(nav->pp, Qt::LeftButton, {}, QPoint(nav->ViewRect().right + 2, nav->ViewRect().bottom + 2));
    EXPECT_EQ(confinement.requests.size(), 1u);
    QTest::mouseRelease(nav->pp, Qt::LeftButton, {}, QPoint(0, 0));

    // The drag ends without a mouse-up: the navigator is hidden, or the
    // last document closes.
    const struct {
        const char* how;
        std::function<void()> end;
    } endings[] = {
        {"hidden", [&] { nav->hide(); }},
        {"last document closed", [&] { closeDocument(doc); }},
    };
    for (const auto& e : endings) {
        SCOPED_TRACE(e.how);
        nav->show();
        nav->UpdateImage();
        const int releases = confinement.releases;
        QTest::mousePress(nav->pp, Qt::LeftButton, {}, outlineCentre());
        ASSERT_TRUE(confinement.held);
        e.end();
        QCoreApplication::processEvents();
        EXPECT_FALSE(nav->Dragging());
        EXPECT_FALSE(confinement.held);
        EXPECT_EQ(confinement.releases, releases + 1);
    }
}

TEST_F(NavigatorTest, APressOutsideTheOutlineOrWithTheRightButtonDragsNothing)
{
    CountingImage* doc = openDocument(600, 450);
    sizeDocumentWindow(doc, 220, 180);
    nav->UpdateImage();
    const RectI v = nav->ViewRect();
    int32_t h0 = -1, v0 = -1;
    doc->GetSBV(h0, v0);
    const struct {
        Qt::MouseButton button;
        QPoint at;
    } cases[] = {
        {Qt::RightButton, outlineCentre()},
        {Qt::LeftButton, QPoint(v.right + 3, v.bottom + 3)},
        {Qt::LeftButton, QPoint(v.right, v.top)},   // right edge is outside
    };
    for (const auto& c : cases) {
        QTest::mousePress(nav->pp, c.button, {}, c.at);
        EXPECT_FALSE(nav->Dragging());
        QTest::mouseMove(nav->pp, c.at + QPoint(30, 30));
        QTest::mouseRelease(nav->pp, c.button, {}, c.at + QPoint(30, 30));
        int32_t hV = -1, vV = -1;
        doc->GetSBV(hV, vV);
        EXPECT_EQ(hV, h0);
        EXPECT_EQ(vV, v0);
        EXPECT_EQ(nav->ViewRect(), v);
    }
}

TEST_F(NavigatorTest, SizeFloorsRollUpAndTheStoredPlace)
{
    Settings& s = programSettings();
    nav->move(40, 60);
    nav->resize(100, 50);
    nav->UpdateImage();
    EXPECT_EQ(nav->size(), QSize(155, 133));   // 2325 x 2000 twips
    EXPECT_EQ(int32_t(s.PanoramicBoxWidth), 155 * 15);
    EXPECT_EQ(int32_t(s.PanoramicBoxHeight), 133 * 15);
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), 40 * 15);
    EXPECT_EQ(int32_t(s.PanoramicBoxTop), 60 * 15);

    nav->resize(250, 200);
    nav->UpdateImage();
    nav->pMm_Click();
    EXPECT_EQ(nav->pMmTag(), "1");
    EXPECT_TRUE(nav->RolledUp());
    EXPECT_TRUE(s.PanoramicBoxCollapsed);
    EXPECT_EQ(nav->height(), 24);   // 17 pixels of strip in twips + 100 twips
    EXPECT_EQ(nav->width(), 250);
    nav->UpdateImage();   // a redraw keeps it rolled up
    EXPECT_EQ(nav->height(), 24);
    EXPECT_EQ(int32_t(s.PanoramicBoxHeight), 200 * 15);

    nav->pMm_Click();
    EXPECT_EQ(nav->pMmTag(), "0");
    EXPECT_FALSE(s.PanoramicBoxCollapsed);
    EXPECT_EQ(nav->size(), QSize(250, 200));

    // The unload stores the place of a shown navigator, not of a hidden one.
    nav->move(70, 80);
    nav->Form_Unload();
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), 70 * 15);
    s.PanoramicBoxVisible = false;
    nav->move(90, 90);
    nav->Form_Unload();
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), 70 * 15);
}

// A hidden navigator is still redrawn when a document becomes active; its
// saved place and size wait for its next showing.
TEST_F(NavigatorTest, AHiddenNavigatorKeepsItsSavedPlace)
{
    Settings& s = programSettings();
    nav->hide();
    nav->move(0, 0);
    const Settings before = s;
    openDocument(30, 20);
    EXPECT_EQ(nav->ThumbnailWidth(), 30);   // drawn all the same
    EXPECT_EQ(int32_t(s.PanoramicBoxLeft), int32_t(before.PanoramicBoxLeft));
    EXPECT_EQ(int32_t(s.PanoramicBoxTop), int32_t(before.PanoramicBoxTop));
    EXPECT_EQ(int32_t(s.PanoramicBoxWidth), int32_t(before.PanoramicBoxWidth));
    EXPECT_EQ(int32_t(s.PanoramicBoxHeight), int32_t(before.PanoramicBoxHeight));
}
