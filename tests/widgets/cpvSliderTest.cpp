// The slider control driven through its properties and real mouse and key
// events on the offscreen platform.
#include "widgets/cpvSlider.h"
#include "widgets/PropertyBag.h"

#include <QApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tq;

namespace {

// Every event of a slider, in the order raised, with the Shift state of
// the mouse events.
struct EventLog {
    std::vector<std::string> events;
    explicit EventLog(cpvSlider& s)
    {
        QObject::connect(&s, &cpvSlider::Click, [this] { events.push_back("Click"); });
        QObject::connect(&s, &cpvSlider::MinReached, [this] { events.push_back("MinReached"); });
        QObject::connect(&s, &cpvSlider::MaxReached, [this] { events.push_back("MaxReached"); });
        QObject::connect(&s, &cpvSlider::ValueChanged, [this, &s] {
            events.push_back("ValueChanged " + std::to_string(s.Value()));
        });
        QObject::connect(&s, &cpvSlider::MouseDown,
                         [this](qint16& shift) { events.push_back("MouseDown " + std::to_string(shift)); });
        QObject::connect(&s, &cpvSlider::MouseUp,
                         [this](qint16& shift) { events.push_back("MouseUp " + std::to_string(shift)); });
    }
    std::vector<std::string> take()
    {
        auto e = std::move(events);
        events.clear();
        return e;
    }
};

using Events = std::vector<std::string>;

// A horizontal slider of 116 pixels with the 16-pixel thumb: a travel of
// 100, so the thumb's Left is ten times the value (0..10).
struct HorizontalSlider : ::testing::Test {
    QWidget host;
    cpvSlider* s = new cpvSlider(&host);
    EventLog log{*s};

    void SetUp() override
    {
        host.resize(300, 100);
        s->setOrientation(cpvSlider::kHorizontal);
        s->setGeometry(10, 40, 116, 16);
        host.show();
        log.take();
    }
    void press(double x, double y = 8, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        QTest::mousePress(s, b, m, QPoint(int(x), int(y)));
    }
    void moveTo(double x, double y = 8) { QTest::mouseMove(s, QPoint(int(x), int(y))); }
    void release(double x, double y = 8, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        QTest::mouseRelease(s, b, m, QPoint(int(x), int(y)));
    }
};

} // namespace

TEST(cpvSlider, NewInstanceHasTheDefaults)
{
    QWidget host;
    host.resize(100, 200);
    cpvSlider s(&host);
    s.resize(16, 120);
    host.show();
    EXPECT_EQ(s.Orientation(), cpvSlider::kVertical);
    EXPECT_EQ(s.Min(), 0);
    EXPECT_EQ(s.Max(), 10);
    EXPECT_EQ(s.Value(), 0);
    EXPECT_TRUE(s.Enabled());
    EXPECT_TRUE(s.ShowValueTip());
    EXPECT_EQ(s.RailStyle(), 0);
    EXPECT_EQ(s.BackColor(), cpvSlider::kButtonFace);
    EXPECT_EQ(s.SliderIcon().size(), QSize(16, 16));
    EXPECT_TRUE(s.RailPicture().isNull());
    // Vertical: Min is at the bottom, where the thumb rests.
    EXPECT_EQ(s.thumb(), QRectF(0, 120 - 16, 16, 16));
    // Its events are numbered in this order.
    const QMetaObject* mo = s.metaObject();
    std::vector<int> order;
    for (const char* sig : {"Click()", "MinReached()", "MaxReached()", "ValueChanged()", "MouseDown(qint16&)",
                            "MouseUp(qint16&)"})
        order.push_back(mo->indexOfSignal(sig));
    for (size_t i = 0; i < order.size(); ++i) ASSERT_GE(order[i], 0) << i;
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST(cpvSlider, OutOfRangeAssignmentsRaise380AndChangeNothing)
{
    struct Case {
        const char* what;
        std::function<void(cpvSlider&)> assign;
    };
    const Case cases[] = {
        {"Max equal to Min", [](cpvSlider& s) { s.setMax(2); }},
        {"Max below Min", [](cpvSlider& s) { s.setMax(-5); }},
        {"Min equal to Max", [](cpvSlider& s) { s.setMin(8); }},
        {"Min above Max", [](cpvSlider& s) { s.setMin(50); }},
        {"Value below Min", [](cpvSlider& s) { s.setValue(1); }},
        {"Value above Max", [](cpvSlider& s) { s.setValue(9); }},
    };
    for (const Case& c : cases) {
        cpvSlider s;
        s.setOrientation(cpvSlider::kHorizontal);
        s.resize(116, 16);
        s.setMax(8);
        s.setMin(2);
        s.setValue(5);
        const QRectF thumb = s.thumb();
        EventLog log(s);
        try {
            c.assign(s);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const InvalidPropertyValue& e) {
            EXPECT_EQ(e.number(), 380) << c.what;
        }
        EXPECT_EQ(s.Min(), 2) << c.what;
        EXPECT_EQ(s.Max(), 8) << c.what;
        EXPECT_EQ(s.Value(), 5) << c.what;
        EXPECT_EQ(s.thumb(), thumb) << c.what;
        EXPECT_TRUE(log.events.empty()) << c.what;
    }
}

TEST_F(HorizontalSlider, ValueAssignmentsRaiseTheirEventsOnlyForANewValue)
{
    s->setValue(10);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 10", "MaxReached"}));
    EXPECT_EQ(s->thumb().left(), 100);
    s->setValue(10);
    EXPECT_TRUE(log.take().empty());
    s->setValue(0);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 0", "MinReached"}));
    s->setValue(3);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 3"}));
    EXPECT_EQ(s->thumb().left(), 30);

    // Min moved onto the current value: no event, the thumb stays.
    s->setMin(3);
    EXPECT_TRUE(log.take().empty());
    EXPECT_EQ(s->thumb().left(), 30);
    // Min moved past it drags Value along.
    s->setMin(5);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 5", "MinReached"}));
    EXPECT_EQ(s->Value(), 5);
}

TEST_F(HorizontalSlider, LoweringMaxKeepsValueUntilTheNextDrag)
{
    s->setValue(9);
    log.take();
    s->setMax(5);
    EXPECT_EQ(s->Value(), 9);
    EXPECT_TRUE(log.take().empty());
    // Travel 100 over a range of 5: the far end is 5.
    press(115);
    EXPECT_EQ(s->Value(), 5);
    release(115);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 5", "MaxReached", "MouseDown 0", "Click", "MouseUp 0"}));
}

TEST_F(HorizontalSlider, DraggedThumbSnapsToTheValueNearestItsPlace)
{
    // A press on the thumb (Left 0) grabs it 8 pixels from its edge.
    press(8, 8, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(log.take(), (Events{"MouseDown 1"}));
    EXPECT_TRUE(s->Dragging());

    struct Step {
        double pointerX;   // thumb Left = pointerX - 8
        int value;
        double snappedLeft;
    };
    const Step steps[] = {
        {33, 2, 20},    // Left 25: 2.5 goes to the even 2
        {83, 8, 80},    // Left 75: 7.5 goes to 8
        {44, 4, 40},    // Left 36: 3.6
        {-30, 0, 0},    // held at the Min end
        {500, 10, 100}, // held at the Max end
    };
    for (const Step& st : steps) {
        moveTo(st.pointerX);
        EXPECT_EQ(s->Value(), st.value) << st.pointerX;
        EXPECT_EQ(s->thumb().left(), st.snappedLeft) << st.pointerX;
    }
    EXPECT_EQ(log.take(), (Events{"ValueChanged 2", "ValueChanged 8", "ValueChanged 4", "ValueChanged 0",
                                  "MinReached", "ValueChanged 10", "MaxReached"}));
    // A move that gives the same value raises nothing.
    moveTo(505);
    EXPECT_TRUE(log.take().empty());
    release(60, 8, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(log.take(), (Events{"Click", "MouseUp 2"}));
    EXPECT_FALSE(s->Dragging());
    // Without a drag, moves do nothing.
    moveTo(8);
    EXPECT_EQ(s->Value(), 10);
}

TEST_F(HorizontalSlider, PressBesideTheThumbJumpsBeforeMouseDown)
{
    // The thumb's centre comes under the pointer: Left 62 - 8 = 54 gives 5.
    press(62);
    EXPECT_EQ(s->Value(), 5);
    EXPECT_EQ(s->thumb().left(), 50);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 5", "MouseDown 0"}));
    release(62);
    EXPECT_EQ(log.take(), (Events{"Click", "MouseUp 0"}));
}

TEST_F(HorizontalSlider, ReleasesThatEndADragWithoutAClick)
{
    // Released outside the control.
    press(8);
    moveTo(400);
    release(400);
    EXPECT_EQ(log.take(), (Events{"MouseDown 0", "ValueChanged 10", "MaxReached", "MouseUp 0"}));
    EXPECT_FALSE(s->Dragging());

    // A right release during a left drag ends it; the left release that
    // follows is a plain click.
    s->setValue(0);
    log.take();
    press(8);
    QTest::mousePress(s, Qt::RightButton, {}, QPoint(8, 8));
    QTest::mouseRelease(s, Qt::RightButton, {}, QPoint(8, 8));
    EXPECT_EQ(log.take(), (Events{"MouseDown 0", "MouseUp 0"}));
    EXPECT_FALSE(s->Dragging());
    moveTo(60);
    EXPECT_EQ(s->Value(), 0);
    release(60);
    EXPECT_EQ(log.take(), (Events{"Click"}));
}

TEST_F(HorizontalSlider, DisabledSliderOnlyClicks)
{
    s->setEnabled(false);
    press(62);
    moveTo(90);
    EXPECT_FALSE(s->Dragging());
    EXPECT_EQ(s->Value(), 0);
    release(90);
    EXPECT_EQ(log.take(), (Events{"Click"}));
    // Assignments still work.
    s->setValue(4);
    EXPECT_EQ(log.take(), (Events{"ValueChanged 4"}));
}

TEST(cpvSlider, VerticalSliderHasMaxAtTheTop)
{
    QWidget host;
    cpvSlider* s = new cpvSlider(&host);
    s->setGeometry(0, 0, 16, 116);
    host.show();
    EXPECT_EQ(s->width(), 16);
    s->setValue(10);
    EXPECT_EQ(s->thumb().top(), 0);
    s->setValue(3);
    EXPECT_EQ(s->thumb().top(), 70);
    // The rail runs down the middle, 2 pixels past the thumb centre's travel.
    EXPECT_EQ(s->RailRect(), (cpvSlider::Rect{6, 6, 10, 110}));

    EventLog log(*s);
    // Grab the thumb at its centre and pull it to Top 25 (value 7.5 -> 8).
    QTest::mousePress(s, Qt::LeftButton, {}, QPoint(8, 78));
    QTest::mouseMove(s, QPoint(8, 33));
    EXPECT_EQ(s->Value(), 8);
    EXPECT_EQ(s->thumb().top(), 20);
    QTest::mouseRelease(s, Qt::LeftButton, {}, QPoint(8, 33));
    EXPECT_EQ(log.take(), (Events{"MouseDown 0", "ValueChanged 8", "Click", "MouseUp 0"}));
}

TEST_F(HorizontalSlider, RailStylesAndTheRailPicture)
{
    EXPECT_EQ(s->RailRect(), (cpvSlider::Rect{6, 6, 110, 10}));
    s->setBackColor(0x00FF00);   // green, so the rail shows against it
    const QRgb back = qRgb(0, 255, 0);
    auto railPixels = [&] {
        // Pixels of the rail's band beyond the thumb (which sits at Left 0).
        int n = 0;
        for (int y = 6; y < 10; ++y)
            for (int x = 20; x < 100; ++x) n += s->surface().pixel(x, y) != back;
        return n;
    };
    s->setRailStyle(0);
    EXPECT_EQ(railPixels(), 4 * 80);   // the sunken edge fills the 4 rows
    s->setRailStyle(2);
    EXPECT_EQ(railPixels(), 2 * 80);   // one border: top and bottom rows
    s->setRailStyle(4);
    EXPECT_EQ(railPixels(), 0);
    s->setRailStyle(7);
    EXPECT_EQ(railPixels(), 0);
    // Style 99 without a picture draws no rail either.
    s->setRailStyle(cpvSlider::kRailPicture);
    EXPECT_EQ(railPixels(), 0);

    // With a rail picture the control takes its size plus 4 along the axis,
    // and a thumb lower than the picture is centred on it.
    QImage rail(60, 24, QImage::Format_RGB32);
    rail.fill(Qt::red);
    s->setRailPicture(rail);
    EXPECT_EQ(s->size(), QSize(64, 24));
    EXPECT_EQ(s->thumb().top(), 4);
    EXPECT_EQ(s->surface().pixel(2, 0), qRgb(255, 0, 0));
    EXPECT_EQ(s->surface().pixel(1, 0), back);
    // Back to a drawn rail: the picture no longer sets the size.
    s->setRailStyle(0);
    s->resize(116, 30);
    EXPECT_EQ(s->size(), QSize(116, 16));
}

TEST_F(HorizontalSlider, ValueTipFollowsTheDragWithoutTakingTheFocus)
{
    QApplication::setActiveWindow(&host);
    s->setFocus();
    ASSERT_TRUE(s->hasFocus());

    press(62);
    QWidget* tip = cpvSlider::frmValueTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(cpvSlider::lblTip()->text(), "5");
    // Centred above the thumb.
    const QPoint screen = s->mapToGlobal(QPoint(0, 0));
    const int lw = cpvSlider::lblTip()->width(), lh = cpvSlider::lblTip()->height();
    EXPECT_EQ(tip->geometry(), QRect(int(std::nearbyint(screen.x() + 50 + (16 - lw - 4) * 0.5)),
                                     screen.y() - lh - 5, lw + 4, lh + 3));
    moveTo(92);
    EXPECT_EQ(cpvSlider::lblTip()->text(), "8");
    // The tip never takes the focus or the active window.
    EXPECT_TRUE(s->hasFocus());
    EXPECT_EQ(QApplication::activeWindow(), &host);
    EXPECT_FALSE(tip->isActiveWindow());
    release(92);
    EXPECT_FALSE(tip->isVisible());

    s->setShowValueTip(false);
    press(30);
    EXPECT_FALSE(tip->isVisible());
    release(30);
}

TEST_F(HorizontalSlider, KeysStepTheValueWhileItHasTheFocus)
{
    s->setValue(5);
    log.take();
    struct Key {
        Qt::Key key;
        int value;
    };
    const Key keys[] = {{Qt::Key_Right, 6}, {Qt::Key_Up, 7}, {Qt::Key_Left, 6}, {Qt::Key_Down, 5},
                        {Qt::Key_End, 10}, {Qt::Key_Right, 10}, {Qt::Key_Home, 0}, {Qt::Key_Down, 0},
                        {Qt::Key_PageUp, 1}};
    for (const Key& k : keys) {
        QTest::keyClick(s, k.key);
        EXPECT_EQ(s->Value(), k.value) << k.key;
        EXPECT_EQ(s->thumb().left(), 10 * k.value) << k.key;
    }
    EXPECT_EQ(log.take(), (Events{"ValueChanged 6", "ValueChanged 7", "ValueChanged 6", "ValueChanged 5",
                                  "ValueChanged 10", "MaxReached", "ValueChanged 0", "MinReached",
                                  "ValueChanged 1"}));
}

TEST(cpvSlider, DesignPropertiesRoundTripThroughTheBag)
{
    // A new control writes nothing: every property has its default.
    cpvSlider fresh;
    PropertyBag empty;
    fresh.WriteProperties(empty);
    EXPECT_EQ(empty.count(), 0);

    QImage icon(12, 20, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    QImage rail(50, 8, QImage::Format_RGB32);
    rail.fill(Qt::darkGray);
    cpvSlider a;
    a.setOrientation(cpvSlider::kHorizontal);
    a.resize(200, 20);
    a.setMax(100);
    a.setMin(1);
    a.setValue(40);
    a.setBackColor(0x123456);
    a.setEnabled(false);
    a.setRailStyle(3);
    a.setShowValueTip(false);
    a.setSliderIcon(icon);
    a.setRailPicture(rail);
    PropertyBag bag;
    a.WriteProperties(bag);
    EXPECT_EQ(bag.count(), 10);

    QWidget host;
    cpvSlider* b = new cpvSlider(&host);
    EventLog log(*b);
    b->ReadProperties(bag);
    b->resize(200, 20);
    host.show();
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(b->Orientation(), cpvSlider::kHorizontal);
    EXPECT_EQ(b->Min(), 1);
    EXPECT_EQ(b->Max(), 100);
    EXPECT_EQ(b->Value(), 40);
    EXPECT_EQ(b->BackColor(), 0x123456);
    EXPECT_FALSE(b->Enabled());
    EXPECT_EQ(b->RailStyle(), 3);
    EXPECT_FALSE(b->ShowValueTip());
    EXPECT_EQ(b->SliderIcon(), icon);
    EXPECT_EQ(b->RailPicture(), rail);
    // The value last reported is the one read: assigning it raises nothing.
    b->setValue(40);
    EXPECT_TRUE(log.events.empty());
    // Travel 188 over a range of 99: Left = 188 * 39 / 99.
    EXPECT_FLOAT_EQ(float(b->thumb().left()), float(188.0 * 39 / 99));
}

TEST(cpvSlider, BagKeysAreMatchedWithoutCaseAndReadUnchecked)
{
    // Stored design data holds the keys in lower case.
    PropertyBag bag;
    bag.WriteProperty("orientation", 0);
    bag.WriteProperty("min", 1);
    bag.WriteProperty("max", 100);
    bag.WriteProperty("VALUE", 250);   // out of range: read as it is
    EXPECT_EQ(bag.ReadProperty("Value").toInt(), 250);
    cpvSlider s;
    s.resize(116, 16);
    s.ReadProperties(bag);
    EXPECT_EQ(s.Orientation(), cpvSlider::kHorizontal);
    EXPECT_EQ(s.Min(), 1);
    EXPECT_EQ(s.Max(), 100);
    EXPECT_EQ(s.Value(), 250);
    // The missing keys took their defaults.
    EXPECT_TRUE(s.Enabled());
    EXPECT_EQ(s.SliderIcon(), cpvSlider::defaultThumb());
}
