// A real capture on an X display: the program's screen grab (Qt's) against
// an independent grab of the root window made straight through libxcb at the
// same moment. Skips itself without an X display; run it from the build
// folder with
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24"
//   ./tests/test_mainwindow --gtest_filter='CaptureUnderX11.*'
// (one command line).
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/QtPorts.h"
#include "support/TestPorts.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <vector>

#if __has_include(<xcb/xcb.h>)
#include <dlfcn.h>
#include <xcb/xcb.h>
#define TQ_TEST_HAS_XCB 1
#endif

using namespace tq;

namespace {

struct RootGrab {
    int width = 0, height = 0;
    std::vector<uint8_t> bgrx;   // 4 bytes a pixel, rows top-down
};

#ifdef TQ_TEST_HAS_XCB
// libxcb is taken from the process (the xcb platform plugin loaded it), so
// the test program needs no link of its own to it.
struct Xcb {
    void* lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    template <class F>
    F* get(const char* name) const
    {
        return lib ? reinterpret_cast<F*>(dlsym(lib, name)) : nullptr;
    }
    ~Xcb()
    {
        if (lib) dlclose(lib);
    }
};

// The root window of the default screen as a 24-bit, 32-bits-a-pixel,
// least-significant-byte-first image; nullopt for any other layout.
std::optional<RootGrab> grabRootThroughXcb()
{
    Xcb x;
    auto connect = x.get<decltype(xcb_connect)>("xcb_connect");
    auto hasError = x.get<decltype(xcb_connection_has_error)>("xcb_connection_has_error");
    auto disconnect = x.get<decltype(xcb_disconnect)>("xcb_disconnect");
    auto setupOf = x.get<decltype(xcb_get_setup)>("xcb_get_setup");
    auto roots = x.get<decltype(xcb_setup_roots_iterator)>("xcb_setup_roots_iterator");
    auto next = x.get<decltype(xcb_screen_next)>("xcb_screen_next");
    auto getImage = x.get<decltype(xcb_get_image)>("xcb_get_image");
    auto getImageReply = x.get<decltype(xcb_get_image_reply)>("xcb_get_image_reply");
    auto imageData = x.get<decltype(xcb_get_image_data)>("xcb_get_image_data");
    auto imageLength = x.get<decltype(xcb_get_image_data_length)>("xcb_get_image_data_length");
    if (!connect || !hasError || !disconnect || !setupOf || !roots || !next || !getImage || !getImageReply ||
        !imageData || !imageLength)
        return std::nullopt;

    int screenNumber = 0;
    xcb_connection_t* c = connect(nullptr, &screenNumber);
    std::optional<RootGrab> out;
    if (c && !hasError(c)) {
        const xcb_setup_t* setup = setupOf(c);
        xcb_screen_iterator_t it = roots(setup);
        for (int i = 0; i < screenNumber && it.rem; ++i) next(&it);
        const xcb_screen_t* s = it.data;
        xcb_get_image_reply_t* reply =
            getImageReply(c, getImage(c, XCB_IMAGE_FORMAT_Z_PIXMAP, s->root, 0, 0, s->width_in_pixels,
                                      s->height_in_pixels, ~0u),
                          nullptr);
        if (reply) {
            const int w = s->width_in_pixels, h = s->height_in_pixels;
            const int length = imageLength(reply);
            if (reply->depth == 24 && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST &&
                length == 4 * w * h) {
                const uint8_t* d = imageData(reply);
                out = RootGrab{w, h, std::vector<uint8_t>(d, d + length)};
            }
            std::free(reply);
        }
    }
    if (c) disconnect(c);
    return out;
}
#else
std::optional<RootGrab> grabRootThroughXcb() { return std::nullopt; }
#endif

// The program's own (Qt) grab; every window grab is followed at once, before
// anything else can run, by the independent one.
class GrabBesideQt : public platform::ScreenGrab {
public:
    std::optional<DibRecord> grabScreen() override { return qt.grabScreen(); }
    platform::ScreenSize screenSize() override { return qt.screenSize(); }
    bool canGrab() override { return qt.canGrab(); }
    bool canShowDesktop() override { return false; }
    bool showDesktop(bool) override { return false; }
    std::optional<DibRecord> grabWindow(uint64_t window, int32_t left, int32_t top, int32_t width,
                                        int32_t height) override
    {
        std::optional<DibRecord> grabbed = qt.grabWindow(window, left, top, width, height);
        independent = grabRootThroughXcb();
        return grabbed;
    }

    platform::QtScreenGrab qt;
    std::optional<RootGrab> independent;
};

} // namespace

TEST(CaptureUnderX11, ACaptureHoldsTheScreenPixelForPixel)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display (QT_QPA_PLATFORM=xcb under xvfb-run)";
    if (!grabRootThroughXcb()) GTEST_SKIP() << "no 24-bit root window to read through libxcb";

    QTemporaryDir programDir;
    ScopedContext context;
    platform::setProgramFolder(programDir.path().toStdString());
    platform::TestPorts ports;
    GrabBesideQt grab;
    platform::ScopedPorts scope(platform::Ports{.screenGrab = &grab});

    fMain main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    // Something to see on the screen besides the empty window: a picture
    // with a different colour in every pixel.
    auto* shown = new fImage;
    shown->CreateBlank(300, 200);
    BitsBuffer pattern(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            pattern.at(0, x, y) = static_cast<uint8_t>(x);
            pattern.at(1, x, y) = static_cast<uint8_t>(y);
            pattern.at(2, x, y) = static_cast<uint8_t>(x + y);
        }
    shown->setBits(pattern);
    main.addDocument(shown);
    const QPointer<fImage> shownDoc(shown);
    QTest::qWait(200);

    // The foreground capture with the main window on the screen, then the
    // background one with it out of sight.
    for (const char* key : {"CAPTUREFOREGROUND", "CAPTUREBACKGROUND"}) {
        SCOPED_TRACE(key);
        grab.independent.reset();
        main.MenuStatic(key);
        ports.timers.runAll();
        ASSERT_TRUE(grab.independent) << "no grab was made";
        const RootGrab& root = *grab.independent;
        EXPECT_EQ(grab.screenSize(), (platform::ScreenSize{root.width, root.height}));

        fImage* doc = main.currentDocument();
        ASSERT_NE(doc, shownDoc.data());
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(doc->PictureWidth(), root.width);
        ASSERT_EQ(doc->PictureHeight(), root.height);
        const BitsBuffer bits = doc->Bits();
        int differing = 0;
        for (int y = 0; y < root.height; ++y)
            for (int x = 0; x < root.width; ++x) {
                const uint8_t* p = root.bgrx.data() + 4 * (size_t(y) * size_t(root.width) + size_t(x));
                if (bits.at(0, x, y) != p[0] || bits.at(1, x, y) != p[1] || bits.at(2, x, y) != p[2]) ++differing;
            }
        EXPECT_EQ(differing, 0);
        if (key == std::string("CAPTUREFOREGROUND")) {
            // The program's own window with its picture is in the capture.
            std::set<uint32_t> colours;
            for (int y = 0; y < root.height; y += 3)
                for (int x = 0; x < root.width; x += 3)
                    colours.insert(bits.at(0, x, y) | bits.at(1, x, y) << 8 | bits.at(2, x, y) << 16);
            EXPECT_GT(colours.size(), 1000u);
        }
        EXPECT_TRUE(main.isVisible());
        EXPECT_TRUE(main.isMaximized());
        doc->Changed = false;
        main.mdiArea()->closeAllSubWindows();
    }
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}
