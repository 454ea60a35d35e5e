#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "mainwindow/fMain.h"

#include "support/TestPorts.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>

#include <gtest/gtest.h>

namespace tq {
namespace {

using Keys = std::vector<std::string>;

// The keys as the commands are documented, kept apart from the program's own
// table so a misspelt or missing key there shows up here.
const Keys kStaticFirst = {"NEW", "OPEN", "OPTIONS", "SELECTSOURCE", "ACQUIRETWAIN", "CAPTUREDESKTOP",
                           "CAPTUREFOREGROUND", "CAPTUREBACKGROUND", "CUSTOMCAPTURE"};
const Keys kStaticSecond = {"CLOSE", "SAVE", "SAVEAS", "IMAGESAVEOPTIONS", "PRINTERSETUP", "WTILE",
                            "WCENTER", "WSTRETCH", "TILEHORIZONTALLY", "TILEVERTICALLY", "CASCADE", "RESET"};
const Keys kExecFirst = {"UNDO", "REDO", "CREATENEWCOPY", "COPYIMAGETOCLIPBOARD", "CREATEFROMCLIPBOARD",
                         "IMAGESIZE", "CANVASSIZE", "IMAGEORIENTATION", "IMAGEROTATE"};
const Keys kExecSecond = {
    "PRINT", "SELECTALL", "SELECTNONE", "INVERTSELECTION", "LOADSELECTION", "SAVESELECTION", "IMAGEPROPERTIES",
    "CUT", "COPY", "PASTE", "CROP", "NEWIMAGEFROMCROP", "200", "300", "400", "500", "600", "700", "100", "50",
    "33", "25", "20", "15", "10", "ORIGINAL", "2x", "3x", "4x", "5x", "x2", "x3", "x4", "x5", "N90", "N180",
    "N270", "N45", "A90", "A180", "A270", "A45", "FLIPH", "FLIPV", "INVERT", "GRAYSCALE", "RELIEF", "ERODE",
    "DILATE", "LIGHTSHARPEN", "HEAVYSHARPEN", "CUSTOMSHARPEN", "PAINTING", "EDGEENHANCE", "ENHANCEWHITE",
    "ENHANCEBLACK", "LUMPLUS", "LUMMINUS", "LIGHTCUSTOM", "LIGHTEMBOSS", "HEAVYEMBOSS", "CUSTOMEMBOSS",
    "LIGHTCONTOUR", "HEAVYCONTOUR", "CUSTOMCONTOUR", "LIGHTDIFFUSE", "HEAVYDIFFUSE", "CUSTOMDIFFUSE",
    "LIGHTENGRAVE", "HEAVYENGRAVE", "CUSTOMENGRAVE", "LIGHTSOFTEN", "HEAVYSOFTEN", "CUSTOMSOFTEN", "LIGHTBLUR",
    "HEAVYBLUR", "CUSTOMBLUR", "LIGHTNOISE", "HEAVYNOISE", "CUSTOMNOISE", "LIGHTSATURATION", "HEAVYSATURATION",
    "CUSTOMSATURATION", "WWAVES", "AADDSCANLINES", "BBRIGHTNESS", "FISHEYE", "LENS", "WAVES", "BEND", "FOLD",
    "ROTATE", "STRETCH", "TILE", "TWIRL", "ADDGRID", "LENSFLARE", "ADDNOISE", "ADDSCANLINES",
    "CURTAINHORIZONTAL", "CURTAINVERTICAL", "CURTAINCLASSY", "CURTAINWHITY", "CUSTOMCURTAIN", "HAFTONE",
    "PIXELIZE", "CONTRAST", "BRIGHTNESS", "GAMMA", "THERMIQUE", "XBLACK", "PHOTOCOP", "SLANTING", "HORIZONTAL",
    "VERTICAL", "SQUARY", "CUSTOMGLASS", "SOFTRED", "HARDRED", "SOFTBLUE", "HARDBLUE", "SOFTGREEN", "HARDGREEN",
    "SOFTYELLOW", "HARDYELLOW", "PURPLE", "ORANGE", "CYAN", "MAGENTA", "RETRO", "WETPAPER", "SPOTTED",
    "RGB2BRG", "RGB2GBR", "RGB2RBG", "RGB2BGR", "RGB2GRB", "SEPIATONE", "OLDPHOTO", "SKETCH", "COLORIZE",
    "REPLACE", "REPLACEHUESAT", "REPLACELUMINOUS", "SHIFT", "GREYROTATION", "EQUALIZE", "REDUCTION",
    "HUEROTATION", "HUESTRETCH", "ISOLATE", "RGBBANKS", "RGBLEVELS"};
const Keys kDirectFilters = {
    "FLIPH", "FLIPV", "INVERT", "GRAYSCALE", "RELIEF", "ERODE", "DILATE", "LIGHTSHARPEN", "HEAVYSHARPEN",
    "PAINTING", "EDGEENHANCE", "ENHANCEWHITE", "ENHANCEBLACK", "LUMPLUS", "LUMMINUS", "LIGHTEMBOSS",
    "HEAVYEMBOSS", "LIGHTCONTOUR", "HEAVYCONTOUR", "LIGHTDIFFUSE", "HEAVYDIFFUSE", "LIGHTENGRAVE",
    "HEAVYENGRAVE", "LIGHTSOFTEN", "HEAVYSOFTEN", "LIGHTBLUR", "HEAVYBLUR", "LIGHTNOISE", "HEAVYNOISE",
    "LIGHTSATURATION", "HEAVYSATURATION", "WWAVES", "AADDSCANLINES", "BBRIGHTNESS", "FISHEYE",
    "CURTAINHORIZONTAL", "CURTAINVERTICAL", "CURTAINCLASSY", "CURTAINWHITY", "THERMIQUE", "XBLACK", "PHOTOCOP",
    "SLANTING", "HORIZONTAL", "VERTICAL", "SQUARY", "SOFTRED", "HARDRED", "SOFTBLUE", "HARDBLUE", "SOFTGREEN",
    "HARDGREEN", "SOFTYELLOW", "HARDYELLOW", "PURPLE", "ORANGE", "CYAN", "MAGENTA", "RETRO", "WETPAPER",
    "SPOTTED", "RGB2BRG", "RGB2GBR", "RGB2RBG", "RGB2BGR", "RGB2GRB", "SEPIATONE", "OLDPHOTO", "EQUALIZE"};
const Keys kFilterDialogs = {
    "CUSTOMSHARPEN", "LIGHTCUSTOM", "CUSTOMEMBOSS", "CUSTOMCONTOUR", "CUSTOMDIFFUSE", "CUSTOMENGRAVE",
    "CUSTOMSOFTEN", "CUSTOMBLUR", "CUSTOMNOISE", "CUSTOMSATURATION", "LENS", "WAVES", "BEND", "FOLD", "ROTATE",
    "STRETCH", "TILE", "TWIRL", "ADDGRID", "LENSFLARE", "ADDNOISE", "ADDSCANLINES", "CUSTOMCURTAIN", "HAFTONE",
    "PIXELIZE", "CONTRAST", "BRIGHTNESS", "GAMMA", "CUSTOMGLASS", "SKETCH", "COLORIZE", "REPLACE",
    "REPLACEHUESAT", "REPLACELUMINOUS", "SHIFT", "GREYROTATION", "REDUCTION", "HUEROTATION", "HUESTRETCH",
    "ISOLATE", "RGBBANKS", "RGBLEVELS"};

Keys keysOf(std::span<const CommandEntry> block)
{
    Keys k;
    for (const CommandEntry& e : block) k.push_back(e.key);
    return k;
}

std::string lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string capitalised(std::string s)
{
    s = lower(s);
    if (!s.empty()) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

// A main window that records every command it runs.
class DispatchFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<fMain>();
        main->commandTrace = [this](const std::string& key, const char* handler) {
            ran.push_back(key);
            handlers.push_back(handler);
        };
        main->show();
    }
    void TearDown() override { main.reset(); }
    fImage* openDocument()
    {
        auto* doc = new fImage;
        doc->CreateBlank(3, 2);
        main->addDocument(doc);
        return doc;
    }
    // Runs a key and tells whether a command ran for it.
    bool execRuns(const std::string& key)
    {
        ran.clear();
        main->MenuExec(key);
        return ran == Keys{key};
    }
    bool staticRuns(const std::string& key)
    {
        ran.clear();
        main->MenuStatic(key);
        return ran == Keys{key};
    }

    // A fresh context: whatever an earlier test left, closing a document
    // never stops at a save prompt. The file commands ask through dialogs,
    // answered here and never shown.
    ScopedContext context;
    platform::TestPorts ports;
    std::unique_ptr<fMain> main;
    Keys ran;
    std::vector<std::string> handlers;
};

} // namespace

TEST(CommandTable, HoldsEveryKeyInComparisonOrder)
{
    const auto& t = fMain::commandTable();
    EXPECT_EQ(keysOf(t.staticFirst), kStaticFirst);
    EXPECT_EQ(keysOf(t.staticSecond), kStaticSecond);
    EXPECT_EQ(keysOf(t.execFirst), kExecFirst);
    EXPECT_EQ(keysOf(t.execSecond), kExecSecond);
    EXPECT_EQ(t.execFirst.size() + t.execSecond.size(), 162u);
    EXPECT_EQ(t.staticFirst.size() + t.staticSecond.size(), 21u);

    // No key stands twice in a dispatcher.
    std::set<std::string> exec, stat;
    for (const auto& k : kExecFirst) exec.insert(k);
    for (const auto& k : kExecSecond) exec.insert(k);
    for (const auto& k : kStaticFirst) stat.insert(k);
    for (const auto& k : kStaticSecond) stat.insert(k);
    EXPECT_EQ(exec.size(), 162u);
    EXPECT_EQ(stat.size(), 21u);
    EXPECT_EQ(kDirectFilters.size(), 69u);
    EXPECT_EQ(kFilterDialogs.size(), 42u);
}

TEST_F(DispatchFixture, EveryKeyRunsWithADocumentAndOnlyAsWritten)
{
    openDocument();
    for (const Keys* block : {&kExecFirst, &kExecSecond}) {
        for (const std::string& key : *block) {
            EXPECT_TRUE(execRuns(key)) << key;
            for (const std::string& v : {lower(key), capitalised(key), key + " ", " " + key}) {
                if (v == key) continue;
                EXPECT_FALSE(execRuns(v)) << "variant '" << v << "'";
            }
            EXPECT_FALSE(staticRuns(key)) << key << " is not a MenuStatic key";
        }
    }
    for (const Keys* block : {&kStaticFirst, &kStaticSecond}) {
        for (const std::string& key : *block) {
            // "CLOSE" really closes the document: the next keys get a new one.
            if (main->mdiArea()->subWindowList().isEmpty()) openDocument();
            EXPECT_TRUE(staticRuns(key)) << key;
            for (const std::string& v : {lower(key), capitalised(key), key + " "})
                EXPECT_FALSE(staticRuns(v)) << "variant '" << v << "'";
            EXPECT_FALSE(execRuns(key)) << key << " is not a MenuExec key";
        }
    }
    for (const char* v : {"print", "PRINT ", "Print", "", "PRINT\n", "UNKNOWN"}) EXPECT_FALSE(execRuns(v)) << v;
}

TEST_F(DispatchFixture, FilterKeysReachTheirHandlers)
{
    openDocument();
    for (const std::string& key : kDirectFilters) {
        handlers.clear();
        main->MenuExec(key);
        ASSERT_EQ(handlers.size(), 1u) << key;
        EXPECT_EQ(handlers[0], "cmdDirectFilter") << key;
    }
    for (const std::string& key : kFilterDialogs) {
        handlers.clear();
        main->MenuExec(key);
        ASSERT_EQ(handlers.size(), 1u) << key;
        EXPECT_EQ(handlers[0], "cmdFilterDialog") << key;
    }
    handlers.clear();
    main->MenuExec("UNDO");
    main->MenuStatic("WTILE");
    main->MenuStatic("SELECTSOURCE");
    EXPECT_EQ(handlers, (std::vector<std::string>{"cmdUndo", "cmdWallpaper", "cmdNothing"}));
}

// A subsystem's command serves every key that names it once registered;
// until then its keys do nothing, and a name no key carries is refused.
TEST_F(DispatchFixture, RegisteredCommandsServeTheirKeys)
{
    openDocument();
    std::vector<std::string> served;
    // As before anything registers it.
    ASSERT_TRUE(main->registerCommand("cmdWallpaper", {}));
    EXPECT_FALSE(main->registerCommand("cmdNoSuchCommand", [&](const std::string& k) { served.push_back(k); }));
    main->MenuStatic("WTILE");
    EXPECT_TRUE(served.empty());
    ASSERT_TRUE(main->registerCommand("cmdWallpaper", [&](const std::string& k) { served.push_back(k); }));
    main->MenuStatic("WTILE");
    main->MenuStatic("WSTRETCH");
    main->MenuExec("WCENTER");   // not a MenuExec key
    EXPECT_EQ(served, (std::vector<std::string>{"WTILE", "WSTRETCH"}));
    ASSERT_TRUE(main->registerCommand("cmdWallpaper", [&](const std::string& k) { served.push_back("again " + k); }));
    main->MenuStatic("WCENTER");
    EXPECT_EQ(served.back(), "again WCENTER");
}

TEST_F(DispatchFixture, WithoutADocumentOnlyTheDocumentFreeKeysRun)
{
    for (const std::string& key : kExecFirst) EXPECT_EQ(execRuns(key), key == "CREATEFROMCLIPBOARD") << key;
    for (const std::string& key : kExecSecond) EXPECT_FALSE(execRuns(key)) << key;
    for (const std::string& key : kStaticFirst) EXPECT_TRUE(staticRuns(key)) << key;
    for (const std::string& key : kStaticSecond) EXPECT_FALSE(staticRuns(key)) << key;
    EXPECT_TRUE(ActiveImage().isNull());
}

TEST_F(DispatchFixture, ActiveImageFollowsTheCurrentDocument)
{
    DocumentRef ref;
    EXPECT_FALSE(mBitmap::GetActiveImage(ref));
    fImage* a = openDocument();
    fImage* b = openDocument();
    main->MenuExec("PRINT");
    EXPECT_EQ(ActiveImage().data(), b);
    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    main->MenuStatic("SAVE");
    EXPECT_EQ(ActiveImage().data(), a);

    // A key that matches nothing still refreshes it.
    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
    main->MenuExec("nothing");
    EXPECT_EQ(ActiveImage().data(), b);

    // A child that is not a document window leaves the reference alone.
    auto* other = new QWidget;
    main->mdiArea()->addSubWindow(other)->show();
    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
    ref = a;
    EXPECT_FALSE(mBitmap::GetActiveImage(ref));
    EXPECT_EQ(ref.data(), a);
}

TEST_F(DispatchFixture, AFailingCommandNeverReachesTheSender)
{
    openDocument();
    main->commandTrace = [](const std::string&, const char*) { throw std::runtime_error("step failed"); };
    EXPECT_NO_THROW(main->MenuExec("INVERT"));
    EXPECT_NO_THROW(main->MenuExec("UNDO"));
    EXPECT_NO_THROW(main->MenuStatic("OPEN"));
    EXPECT_NO_THROW(main->MenuStatic("CLOSE"));
}

TEST(fMainWindow, TitleAndEngine)
{
    fMain w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Talvex Quarlend"));
    EXPECT_EQ(mainHost(), &w);
    ASSERT_NE(w.mdiArea(), nullptr);
}

} // namespace tq

#include <QTest>

namespace tq {

TEST_F(DispatchFixture, ClickingADocumentMakesItTheOneCommandsActOn)
{
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    fImage* a = openDocument();
    fImage* b = openDocument();
    a->parentWidget()->setGeometry(0, 0, 200, 200);
    b->parentWidget()->setGeometry(400, 300, 200, 200);
    main->MenuExec("SELECTALL");
    ASSERT_EQ(ActiveImage().data(), b);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
    main->MenuExec("SELECTALL");
    EXPECT_EQ(ActiveImage().data(), a);
}

} // namespace tq

namespace tq {

TEST_F(DispatchFixture, ActiveImageNeverOutlivesItsWindow)
{
    fImage* a = openDocument();
    main->MenuExec("INVERT");
    ASSERT_EQ(ActiveImage().data(), a);
    a->parentWidget()->close();   // the sub-window deletes itself and the document
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(ActiveImage().isNull());
    ran.clear();
    main->MenuExec("INVERT");
    EXPECT_TRUE(ran.empty());
}

} // namespace tq
