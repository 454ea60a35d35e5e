// The program's X11 requests against an X server of the test's own (Xvfb):
// the wallpaper read back from the root window and the pixmaps it leaves
// behind, "show the desktop" as a window manager receives it, and the
// pointer held in a rectangle while the program's window still gets its
// events.
#include "platform/X11Desktop.h"

#include <gtest/gtest.h>

#include "XvfbServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <cstring>
#include <optional>

using namespace tq;
namespace x11 = tq::platform::x11;
using platform::WallpaperLayout;

namespace {

// w x h pixels (4 x 3 unless said), each of its own colour:
// 0xRRGGBB = 0x80 << 16 | (40 x + 1) << 8 | (60 y + 1).
DibRecord smallPicture(int w = 4, int h = 3)
{
    std::vector<uint8_t> row(4u * size_t(w));
    return DibRecord::fromRows(w, h, [&](int y) {
        for (int x = 0; x < w; ++x) {
            row[4 * x] = static_cast<uint8_t>(60 * y + 1);
            row[4 * x + 1] = static_cast<uint8_t>(40 * x + 1);
            row[4 * x + 2] = 0x80;
        }
        return row.data();
    });
}

uint32_t colourAt(int x, int y) { return 0x800000u | uint32_t(40 * x + 1) << 8 | uint32_t(60 * y + 1); }

std::optional<unsigned long> pixmapProperty(Display* d, const char* name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> out;
    if (XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, name, False), 0, 1, False, XA_PIXMAP, &type,
                           &format, &count, &after, &data) == Success &&
        type == XA_PIXMAP && count == 1)
        out = *reinterpret_cast<unsigned long*>(data);
    if (data) XFree(data);
    return out;
}

int gErrors = 0;
int countErrors(Display*, XErrorEvent*)
{
    ++gErrors;
    return 0;
}

// True when the pixmap still exists on the server.
bool pixmapExists(Display* d, unsigned long pixmap)
{
    XSync(d, False);
    const int before = gErrors;
    XErrorHandler old = XSetErrorHandler(countErrors);
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    const Status ok = XGetGeometry(d, pixmap, &root, &x, &y, &w, &h, &border, &depth);
    XSync(d, False);
    XSetErrorHandler(old);
    return ok && gErrors == before;
}

} // namespace

// Each layout read back from the root window of a 64 x 48 screen, pixel for
// pixel. The pixmap outlives the connection that made it and is named where
// desktops look for it; the next wallpaper frees it.
TEST(X11Wallpaper, TheRootWindowShowsEachLayoutAndKeepsOnePixmap)
{
    XvfbServer server("64x48x24");
    ASSERT_TRUE(server.started());
    XTestConnection x(server.name());
    ASSERT_NE(x.d, nullptr);

    const struct {
        WallpaperLayout layout;
        const char* name;
        // The expected colour of a screen pixel, by hand.
        uint32_t (*expected)(int x, int y);
    } cases[] = {
        {WallpaperLayout::Tile, "Tile", [](int sx, int sy) { return colourAt(sx % 4, sy % 3); }},
        // (64 - 4) / 2 = 30 across, (48 - 3) \ 2 = 22 down; black around.
        {WallpaperLayout::Center, "Center",
         [](int sx, int sy) {
             return sx >= 30 && sx < 34 && sy >= 22 && sy < 25 ? colourAt(sx - 30, sy - 22) : 0u;
         }},
        // 64 / 4 = 48 / 3 = 16: each pixel becomes a 16 x 16 block.
        {WallpaperLayout::Stretch, "Stretch", [](int sx, int sy) { return colourAt(sx / 16, sy / 16); }},
    };
    std::optional<unsigned long> previous;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(x11::setRootBackground(server.name(), smallPicture(), c.layout));
        int w = 0, h = 0;
        const std::vector<uint32_t> root = x.rootPixels(w, h);
        ASSERT_EQ(root.size(), 64u * 48u);
        int wrong = 0;
        for (int sy = 0; sy < h; ++sy)
            for (int sx = 0; sx < w; ++sx)
                if (root[size_t(sy) * size_t(w) + size_t(sx)] != c.expected(sx, sy) && wrong++ < 3)
                    ADD_FAILURE() << "pixel " << sx << "," << sy << " is " << std::hex
                                  << root[size_t(sy) * size_t(w) + size_t(sx)];
        EXPECT_EQ(wrong, 0);

        const std::optional<unsigned long> xroot = pixmapProperty(x.d, "_XROOTPMAP_ID");
        ASSERT_TRUE(xroot);
        EXPECT_EQ(pixmapProperty(x.d, "ESETROOT_PMAP_ID"), xroot);
        EXPECT_TRUE(pixmapExists(x.d, *xroot)) << "the pixmap went with the connection that made it";
        if (previous) {
            EXPECT_NE(*previous, *xroot);
            EXPECT_FALSE(pixmapExists(x.d, *previous)) << "the previous wallpaper's pixmap is left behind";
        }
        previous = xroot;
    }
}

// A pixmap named by only one property may belong to a running desktop, and
// one whose setter did not keep it is gone: neither is freed.
TEST(X11Wallpaper, APixmapOfAnotherSetterIsLeftAlone)
{
    XvfbServer server("64x48x24");
    ASSERT_TRUE(server.started());
    XTestConnection x(server.name());
    ASSERT_NE(x.d, nullptr);
    const Pixmap theirs = XCreatePixmap(x.d, x.root(), 8, 8, 24);
    XChangeProperty(x.d, x.root(), XInternAtom(x.d, "_XROOTPMAP_ID", False), XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&theirs), 1);
    XSync(x.d, False);
    ASSERT_TRUE(x11::setRootBackground(server.name(), smallPicture(), WallpaperLayout::Tile));
    EXPECT_TRUE(pixmapExists(x.d, theirs));
    EXPECT_NE(pixmapProperty(x.d, "_XROOTPMAP_ID"), std::optional<unsigned long>(theirs));

    // A setter that named its pixmap in both properties but did not keep
    // it: the pixmap is gone, and the number of its client passes to the
    // next connection, ours. Nothing is killed (least of all ourselves).
    {
        XTestConnection careless(server.name());
        const Pixmap gone = XCreatePixmap(careless.d, careless.root(), 8, 8, 24);
        for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
            XChangeProperty(careless.d, careless.root(), XInternAtom(careless.d, name, False), XA_PIXMAP, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&gone), 1);
        XSync(careless.d, False);
    }
    ASSERT_TRUE(x11::setRootBackground(server.name(), smallPicture(), WallpaperLayout::Stretch));
    const std::optional<unsigned long> now = pixmapProperty(x.d, "_XROOTPMAP_ID");
    ASSERT_TRUE(now);
    EXPECT_TRUE(pixmapExists(x.d, *now));
    EXPECT_TRUE(pixmapExists(x.d, theirs));
}

TEST(X11Wallpaper, AnUnreachableDisplayOrAnEmptyPictureSetsNothing)
{
    EXPECT_FALSE(x11::setRootBackground("unix:65000", smallPicture(), WallpaperLayout::Tile));
    XvfbServer server("64x48x24");
    ASSERT_TRUE(server.started());
    XTestConnection x(server.name());
    ASSERT_NE(x.d, nullptr);
    EXPECT_FALSE(x11::setRootBackground(server.name(), DibRecord{}, WallpaperLayout::Center));
    EXPECT_FALSE(pixmapProperty(x.d, "_XROOTPMAP_ID"));
}

// A picture larger than the screen, centred: its middle shows, cut at the
// screen's edges.
TEST(X11Wallpaper, ALargerPictureCentredLosesItsEdges)
{
    const DibRecord big = smallPicture(6, 5);
    const DibRecord laid = x11::layOutWallpaper(big, 2, 3, WallpaperLayout::Center);
    ASSERT_EQ(laid.width, 2);
    ASSERT_EQ(laid.height, 3);
    // (2 - 6) / 2 = -2 across, (3 - 5) / 2 = -1 down.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(std::memcmp(laid.row(y) + 4 * x, big.row(y + 1) + 4 * (x + 2), 4), 0);
    EXPECT_EQ(x11::layOutWallpaper(big, 0, 3, WallpaperLayout::Tile).width, 0);
}

// The window manager's side: "show the desktop" is offered only where the
// root's _NET_SUPPORTED lists it, and asked for with a client message to
// the root window that the window manager (here the test) receives.
TEST(X11ShowDesktop, AskedOfTheWindowManagerOnlyWhereItOffersIt)
{
    XvfbServer server("64x48x24");
    ASSERT_TRUE(server.started());
    XTestConnection wm(server.name()), program(server.name());
    ASSERT_NE(wm.d, nullptr);
    ASSERT_NE(program.d, nullptr);

    // No window manager at all.
    EXPECT_FALSE(x11::showingDesktopSupported(program.d));

    const Atom supported = XInternAtom(wm.d, "_NET_SUPPORTED", False);
    const Atom showing = XInternAtom(wm.d, "_NET_SHOWING_DESKTOP", False);
    const Atom other[] = {XInternAtom(wm.d, "_NET_WM_NAME", False), XInternAtom(wm.d, "_NET_ACTIVE_WINDOW", False)};
    auto offer = [&](std::vector<Atom> atoms) {
        XChangeProperty(wm.d, wm.root(), supported, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
        XSync(wm.d, False);
    };
    offer({other[0], other[1]});
    EXPECT_FALSE(x11::showingDesktopSupported(program.d));
    offer({other[0], showing, other[1]});
    EXPECT_TRUE(x11::showingDesktopSupported(program.d));

    // The window manager takes the root's substructure requests.
    XSelectInput(wm.d, wm.root(), SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(wm.d, False);
    for (const bool show : {true, false}) {
        SCOPED_TRACE(show);
        ASSERT_TRUE(x11::requestShowingDesktop(program.d, show));
        XSync(program.d, False);
        XSync(wm.d, False);
        ASSERT_GT(XPending(wm.d), 0);
        XEvent ev{};
        XNextEvent(wm.d, &ev);
        ASSERT_EQ(ev.type, ClientMessage);
        EXPECT_EQ(ev.xclient.window, wm.root());
        EXPECT_EQ(ev.xclient.message_type, showing);
        EXPECT_EQ(ev.xclient.format, 32);
        EXPECT_EQ(ev.xclient.data.l[0], show ? 1 : 0);
    }
    EXPECT_FALSE(x11::showingDesktopSupported(nullptr));
    EXPECT_FALSE(x11::requestShowingDesktop(nullptr, true));
}

namespace {

// The program's side of a drag: a window at (20, 10), 100 x 80, on a
// connection that takes its pointer events through XInput 2, as Qt does,
// and a left-button press inside it, which gives that connection an
// implicit XInput 2 grab of the pointer.
struct PointerFixture : ::testing::Test {
    XvfbServer server{"200x150x24"};
    std::optional<XTestConnection> program, user;
    Window window = 0;

    void SetUp() override
    {
        ASSERT_TRUE(server.started());
        program.emplace(server.name());
        user.emplace(server.name());
        ASSERT_NE(program->d, nullptr);
        int op = 0, ev = 0, err = 0, major = 2, minor = 2;
        ASSERT_TRUE(XQueryExtension(program->d, "XInputExtension", &op, &ev, &err));
        ASSERT_EQ(XIQueryVersion(program->d, &major, &minor), Success);
        window = XCreateSimpleWindow(program->d, program->root(), 20, 10, 100, 80, 0, 0, 0);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_ButtonPress);
        XISetMask(bits, XI_ButtonRelease);
        XISetMask(bits, XI_Motion);
        XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
        XISelectEvents(program->d, window, &mask, 1);
        XMapWindow(program->d, window);
        XSync(program->d, False);
        user->warpPointer(50, 40);
        XTestFakeButtonEvent(user->d, 1, True, CurrentTime);
        XSync(user->d, False);
        XSync(program->d, False);
    }
    void TearDown() override
    {
        if (user && user->d) {
            XTestFakeButtonEvent(user->d, 1, False, CurrentTime);
            XSync(user->d, False);
        }
    }
    // Children of the program's window (the grab's own window, while held).
    unsigned children() const
    {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned n = 0;
        XQueryTree(program->d, window, &root, &parent, &list, &n);
        if (list) XFree(list);
        return n;
    }
};

} // namespace

TEST_F(PointerFixture, ThePointerStaysInTheRectangleUntilReleased)
{
    x11::PointerGrab grab(program->d);
    // The rectangle (10, 5) 30 x 20 of the window: screen (30, 15) to (59, 34).
    ASSERT_TRUE(grab.confine(window, 10, 5, 30, 20));
    EXPECT_TRUE(grab.holding());
    EXPECT_EQ(children(), 1u);
    EXPECT_EQ(user->warpPointer(0, 0), std::make_pair(30, 15));
    EXPECT_EQ(user->warpPointer(199, 149), std::make_pair(59, 34));
    EXPECT_EQ(user->warpPointer(45, 20), std::make_pair(45, 20));

    // The program's window still gets the pointer's moves (as a plain
    // grab reports them), in its own coordinates.
    while (XPending(program->d)) {
        XEvent skip;
        XNextEvent(program->d, &skip);
    }
    XTestFakeMotionEvent(user->d, 0, 150, 100, CurrentTime);
    XSync(user->d, False);
    XSync(program->d, False);
    bool moved = false;
    while (XPending(program->d)) {
        XEvent ev;
        XNextEvent(program->d, &ev);
        if (ev.type == MotionNotify) {
            moved = true;
            EXPECT_EQ(ev.xmotion.window, window);
            EXPECT_EQ(ev.xmotion.x, 59 - 20);
            EXPECT_EQ(ev.xmotion.y, 34 - 10);
        }
    }
    EXPECT_TRUE(moved);

    grab.release();
    EXPECT_FALSE(grab.holding());
    EXPECT_EQ(children(), 0u);
    EXPECT_EQ(user->warpPointer(0, 0), std::make_pair(0, 0));
    grab.release();   // nothing held: nothing happens
}

TEST_F(PointerFixture, NothingIsHeldWhereAnotherProgramHoldsThePointerOrTheRectangleIsEmpty)
{
    x11::PointerGrab grab(program->d);
    EXPECT_FALSE(grab.confine(window, 10, 5, 0, 20));
    EXPECT_FALSE(grab.confine(0, 10, 5, 30, 20));

    // The press ends, and another client grabs the pointer.
    XTestFakeButtonEvent(user->d, 1, False, CurrentTime);
    XSync(user->d, False);
    ASSERT_EQ(XGrabPointer(user->d, user->root(), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                           CurrentTime),
              GrabSuccess);
    XSync(user->d, False);
    EXPECT_FALSE(grab.confine(window, 10, 5, 30, 20));
    EXPECT_FALSE(grab.holding());
    EXPECT_EQ(children(), 0u);
    XUngrabPointer(user->d, CurrentTime);
    XSync(user->d, False);
    EXPECT_EQ(user->warpPointer(0, 0), std::make_pair(0, 0));
}
