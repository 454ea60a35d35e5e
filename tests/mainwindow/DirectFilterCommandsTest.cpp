// The 69 direct filter keys: which engine member each calls with which
// arguments (through a recording engine), and what a command does around the
// member with the real engine: the pump first, one undo step, the engine
// mirroring the document, nothing recorded when the member fails.
#include "CallRecorder.h"
#include "CommandFixture.h"

#include "mainwindow/DirectFilters.h"

#include <cstdio>
#include <map>
#include <set>

namespace tq {
namespace {

using testing::CommandFixture;
using testing::CommandFixtureT;
using testing::CountingImage;

// Has every member the table calls, with the engine's parameter types, and
// writes down each call.
struct RecordingEngine : testing::CallRecorder {
    template <class... A>
    BitsBuffer rec(const char* name, A... args)
    {
        record(name, args...);
        return BitsBuffer(1, 1);
    }

    BitsBuffer Flip(bool fH, bool fV) { return rec("Flip", fH, fV); }
    FilterResult Invert() { return rec("Invert"); }
    BitsBuffer GreyScale() { return rec("GreyScale"); }
    BitsBuffer RELIEF() { return rec("RELIEF"); }
    BitsBuffer ERODE() { return rec("ERODE"); }
    BitsBuffer DILATE() { return rec("DILATE"); }
    FilterResult SHARPEN(int32_t f) { return rec("SHARPEN", f); }
    BitsBuffer PAINTING() { return rec("PAINTING"); }
    FilterResult EDGEENHANCE(int32_t f) { return rec("EDGEENHANCE", f); }
    FilterResult RankFilterND(int32_t t) { return rec("RankFilterND", t); }
    FilterResult BRIGHTNESS(int32_t f) { return rec("BRIGHTNESS", f); }
    BitsBuffer EMBOSS(int32_t f) { return rec("EMBOSS", f); }
    FilterResult CONTOUR(int32_t f, int32_t back) { return rec("CONTOUR", f, back); }
    BitsBuffer DIFFUSE(int32_t w, int32_t h) { return rec("DIFFUSE", w, h); }
    BitsBuffer Engrave(int32_t f) { return rec("Engrave", f); }
    FilterResult SOFTEN(int32_t f) { return rec("SOFTEN", f); }
    FilterResult Blurs(int32_t f) { return rec("Blurs", f); }
    BitsBuffer NOISE(int32_t f, bool eq) { return rec("NOISE", f, eq); }
    BitsBuffer SATURATION(int32_t f) { return rec("SATURATION", f); }
    BitsBuffer WAVES(int32_t f, int32_t a, int32_t s) { return rec("WAVES", f, a, s); }
    BitsBuffer Scanlines(int32_t f) { return rec("Scanlines", f); }
    BitsBuffer LENS(float x, float y, float d, int32_t f) { return rec("LENS", x, y, d, f); }
    BitsBuffer GLASS(std::string_view style, int16_t i) { return rec("GLASS", style, i); }
    BitsBuffer THERMIQUE() { return rec("THERMIQUE"); }
    BitsBuffer XBLACK() { return rec("XBLACK"); }
    BitsBuffer PHOTOCOP() { return rec("PHOTOCOP"); }
    FilterResult ClassyColors(int16_t e) { return rec("ClassyColors", e); }
    BitsBuffer SpecialColors(int16_t r, int16_t g, int16_t b) { return rec("SpecialColors", r, g, b); }
    FilterResult SwapBanks(int32_t m) { return rec("SwapBanks", m); }
    FilterResult COLORIZE(float h, float s, float l) { return rec("COLORIZE", h, s, l); }
    BitsBuffer OLDPHOTO() { return rec("OLDPHOTO"); }
    BitsBuffer Equalize() { return rec("Equalize"); }
};

// Every direct key with its member and arguments as the commands are
// documented. Flags taken as 16-bit numbers are true only as -1.
const std::map<std::string, std::string> kExpectedCalls = {
    {"FLIPH", "Flip(true,false)"},
    {"FLIPV", "Flip(false,true)"},
    {"INVERT", "Invert()"},
    {"GRAYSCALE", "GreyScale()"},
    {"RELIEF", "RELIEF()"},
    {"ERODE", "ERODE()"},
    {"DILATE", "DILATE()"},
    {"LIGHTSHARPEN", "SHARPEN(10)"},
    {"HEAVYSHARPEN", "SHARPEN(40)"},
    {"PAINTING", "PAINTING()"},
    {"EDGEENHANCE", "EDGEENHANCE(10)"},
    {"ENHANCEWHITE", "RankFilterND(1)"},
    {"ENHANCEBLACK", "RankFilterND(0)"},
    {"LUMPLUS", "BRIGHTNESS(20)"},
    {"LUMMINUS", "BRIGHTNESS(80)"},
    {"LIGHTEMBOSS", "EMBOSS(10)"},
    {"HEAVYEMBOSS", "EMBOSS(30)"},
    {"LIGHTCONTOUR", "CONTOUR(200,16777215)"},
    {"HEAVYCONTOUR", "CONTOUR(255,16777215)"},
    {"LIGHTDIFFUSE", "DIFFUSE(5,10)"},
    {"HEAVYDIFFUSE", "DIFFUSE(10,30)"},
    {"LIGHTENGRAVE", "Engrave(10)"},
    {"HEAVYENGRAVE", "Engrave(30)"},
    {"LIGHTSOFTEN", "SOFTEN(30)"},
    {"HEAVYSOFTEN", "SOFTEN(80)"},
    {"LIGHTBLUR", "Blurs(1)"},
    {"HEAVYBLUR", "Blurs(2)"},
    {"LIGHTNOISE", "NOISE(20,true)"},
    {"HEAVYNOISE", "NOISE(40,true)"},
    {"LIGHTSATURATION", "SATURATION(10)"},
    {"HEAVYSATURATION", "SATURATION(20)"},
    {"WWAVES", "WAVES(30,40,0)"},
    {"AADDSCANLINES", "Scanlines(30)"},
    {"BBRIGHTNESS", "BRIGHTNESS(40)"},
    {"FISHEYE", "LENS(f:50,f:50,f:60,60)"},
    {"CURTAINHORIZONTAL", "GLASS(\"curtain\",i16:0)"},
    {"CURTAINVERTICAL", "GLASS(\"curtain\",i16:1)"},
    {"CURTAINCLASSY", "GLASS(\"curtain\",i16:2)"},
    {"CURTAINWHITY", "GLASS(\"curtain\",i16:3)"},
    {"THERMIQUE", "THERMIQUE()"},
    {"XBLACK", "XBLACK()"},
    {"PHOTOCOP", "PHOTOCOP()"},
    {"SLANTING", "GLASS(\"slanting\",i16:0)"},
    {"HORIZONTAL", "GLASS(\"horizontal\",i16:0)"},
    {"VERTICAL", "GLASS(\"vertical\",i16:0)"},
    {"SQUARY", "GLASS(\"squary\",i16:0)"},
    {"SOFTRED", "ClassyColors(i16:3)"},
    {"HARDRED", "SpecialColors(i16:-1,i16:0,i16:0)"},
    {"SOFTBLUE", "ClassyColors(i16:0)"},
    {"HARDBLUE", "SpecialColors(i16:0,i16:0,i16:-1)"},
    {"SOFTGREEN", "ClassyColors(i16:1)"},
    {"HARDGREEN", "SpecialColors(i16:0,i16:-1,i16:0)"},
    {"SOFTYELLOW", "ClassyColors(i16:8)"},
    {"HARDYELLOW", "SpecialColors(i16:-1,i16:-1,i16:0)"},
    {"PURPLE", "ClassyColors(i16:2)"},
    {"ORANGE", "ClassyColors(i16:10)"},
    {"CYAN", "SpecialColors(i16:0,i16:-1,i16:-1)"},
    {"MAGENTA", "SpecialColors(i16:-1,i16:0,i16:-1)"},
    {"RETRO", "ClassyColors(i16:7)"},
    {"WETPAPER", "ClassyColors(i16:11)"},
    {"SPOTTED", "ClassyColors(i16:6)"},
    {"RGB2BRG", "SwapBanks(1)"},
    {"RGB2GBR", "SwapBanks(2)"},
    {"RGB2RBG", "SwapBanks(3)"},
    {"RGB2BGR", "SwapBanks(4)"},
    {"RGB2GRB", "SwapBanks(5)"},
    {"SEPIATONE", "COLORIZE(f:0.5,f:0.25,f:1)"},
    {"OLDPHOTO", "OLDPHOTO()"},
    {"EQUALIZE", "Equalize()"},
};

bool skipsThePump(const std::string& key) { return key == "FLIPH" || key == "FLIPV"; }

} // namespace

TEST(DirectFilterTable, EveryKeyCallsItsMemberWithItsArguments)
{
    const auto& table = directFilterTable<RecordingEngine>();
    ASSERT_EQ(kExpectedCalls.size(), 69u);
    std::set<std::string> seen;
    for (const auto& row : table) {
        SCOPED_TRACE(row.key);
        EXPECT_TRUE(seen.insert(row.key).second) << "key twice";
        const auto expected = kExpectedCalls.find(row.key);
        ASSERT_NE(expected, kExpectedCalls.end()) << "not a direct filter key";
        RecordingEngine engine;
        const FilterResult result = row.run(engine);
        EXPECT_TRUE(result.has_value());
        EXPECT_EQ(engine.calls, std::vector<std::string>{expected->second});
        EXPECT_EQ(row.pumpFirst, !skipsThePump(row.key));
    }
    EXPECT_EQ(seen.size(), 69u);

    // The real engine's table holds the same keys in the same order.
    const auto& real = directFilterTable<cBitFilter>();
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_STREQ(real[i].key, table[i].key);
        EXPECT_EQ(real[i].pumpFirst, table[i].pumpFirst);
    }
    // Every key the dispatcher routes to the direct filters has a row, in
    // the dispatcher's order.
    std::vector<std::string> routed;
    for (const CommandEntry& e : fMain::commandTable().execSecond)
        if (std::string(e.command) == "cmdDirectFilter") routed.push_back(e.key);
    std::vector<std::string> rows;
    for (const auto& row : real) rows.push_back(row.key);
    EXPECT_EQ(routed, rows);

    EXPECT_EQ(findDirectFilter<cBitFilter>("SEPIATONE"), &real[66]);
    EXPECT_EQ(findDirectFilter<cBitFilter>("sepiatone"), nullptr);
    EXPECT_EQ(findDirectFilter<cBitFilter>("LENS"), nullptr);   // a dialog key
}

TEST_F(CommandFixture, EveryDirectKeyRecordsOneStepAndTheEngineMirrorsTheDocument)
{
    // A partial selection: the members' own rule decides which pixels change.
    CountingImage* doc = openDocument(9, 7);
    doc->BitsRegion.CreateRect(1, 1, 8, 6, 2, false);
    main->cFilter.setBitsRegion(doc->BitsRegion.walkRegion());

    for (const auto& row : directFilterTable<cBitFilter>()) {
        SCOPED_TRACE(row.key);
        const BitsBuffer before = doc->Bits();
        const int pumps = ports.pump.runs;
        bool unchangedWhenPumped = false;
        ports.pump.onRun = [&] { unchangedWhenPumped = doc->Bits() == before; };
        doc->snapshots = 0;
        doc->Changed = false;

        main->MenuExec(row.key);

        EXPECT_EQ(ports.pump.runs - pumps, skipsThePump(row.key) ? 0 : 1);
        if (!skipsThePump(row.key)) { EXPECT_TRUE(unchangedWhenPumped) << "the pump runs before the filter"; }
        EXPECT_EQ(doc->snapshots, 1);
        EXPECT_TRUE(doc->Changed);
        EXPECT_TRUE(engineMirrors(*doc));
        EXPECT_EQ(doc->PictureWidth(), 9);
        EXPECT_EQ(doc->PictureHeight(), 7);
    }
    ports.pump.onRun = nullptr;
}

TEST_F(CommandFixture, DirectFiltersChainAndTheirArgumentsShow)
{
    // Each command filters the result of the one before.
    CountingImage* doc = openDocument(4, 3);
    main->MenuExec("INVERT");
    main->MenuExec("INVERT");
    EXPECT_EQ(doc->Bits(), testing::patternBits(4, 3));
    main->MenuExec("FLIPH");
    EXPECT_EQ(doc->Bits().at(0, 0, 0), testing::patternByte(0, 3, 0));

    // LUMMINUS brightens by 80, more than BBRIGHTNESS (40) and LUMPLUS (20).
    auto brightnessAfter = [&](const char* key) {
        BitsBuffer grey(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                for (int c = 0; c < 3; ++c) grey.at(c, x, y) = 100;
        doc->setBits(grey);
        main->cFilter.setBits(grey);
        main->MenuExec(key);
        return int(doc->Bits().at(2, 1, 1));
    };
    const int plus = brightnessAfter("LUMPLUS");
    const int mid = brightnessAfter("BBRIGHTNESS");
    const int minus = brightnessAfter("LUMMINUS");
    EXPECT_GT(plus, 100);
    EXPECT_GT(mid, plus);
    EXPECT_GT(minus, mid);
}

namespace {

// A main window whose direct filter member fails, or throws, on demand.
class FailingMain : public fMain {
public:
    enum class Mode { Fail, Throw } mode = Mode::Fail;
    int runs = 0;

protected:
    FilterResult runDirectFilter(const DirectFilterRow<cBitFilter>& row) override
    {
        ++runs;
        // The member really ran on the engine and may have used it.
        (void)fMain::runDirectFilter(row);
        if (mode == Mode::Throw) throw std::bad_alloc();
        return std::nullopt;
    }
};

using FailingFixture = CommandFixtureT<FailingMain>;

} // namespace

TEST_F(FailingFixture, AFailingMemberRecordsNothingAndLeavesTheDocumentAsItWas)
{
    CountingImage* doc = openDocument(5, 4);
    for (auto mode : {FailingMain::Mode::Fail, FailingMain::Mode::Throw}) {
        main->mode = mode;
        for (const char* key : {"INVERT", "FLIPV", "SEPIATONE"}) {
            SCOPED_TRACE(key);
            main->MenuExec(key);
            EXPECT_EQ(doc->snapshots, 0);
            EXPECT_FALSE(doc->Changed);
            EXPECT_EQ(doc->Bits(), testing::patternBits(5, 4));
            EXPECT_TRUE(engineMirrors(*doc));
        }
    }
    EXPECT_EQ(main->runs, 6);
}

// A point filter writes over the document's pixels; when the command then
// fails and the shown step's snapshot is gone, what the pixels hold is
// recorded as a step rather than left unrecorded.
TEST_F(FailingFixture, PixelsWrittenOverWithNoSnapshotToReloadAreRecorded)
{
    CountingImage* doc = openDocument(5, 4);
    std::filesystem::remove(snapshotPath(*doc, 0));
    main->MenuExec("INVERT");
    EXPECT_EQ(doc->snapshots, 1);
    EXPECT_TRUE(doc->Changed);
    EXPECT_EQ(doc->Bits().at(0, 4, 3), 255 - testing::patternByte(0, 4, 3));
    EXPECT_TRUE(engineMirrors(*doc));
}

} // namespace tq

namespace tq {

TEST_F(CommandFixture, AnEngineOutOfStepNeverGivesTheDocumentAnotherSize)
{
    CountingImage* doc = openDocument(5, 4);
    for (const char* key : {"INVERT", "CUT", "ORIGINAL"}) {
        SCOPED_TRACE(key);
        if (std::string(key) == "CUT") doc->BitsRegion.CreateRect(0, 0, 3, 3, 2, false);
        main->cFilter.setBits(BitsBuffer(9, 9));   // holds another picture
        main->MenuExec(key);
        EXPECT_EQ(doc->Bits().width(), 5);
        EXPECT_EQ(doc->Bits().height(), 4);
        EXPECT_TRUE(engineMirrors(*doc));
    }
    EXPECT_EQ(doc->Bits().at(0, 4, 3), 255 - testing::patternByte(0, 4, 3));
    EXPECT_EQ(doc->Bits().at(0, 1, 1), 0);   // cut
}

} // namespace tq
