// The tile-effect table walked with a recording engine: each of the 33
// effects calls its member with the strength where it takes one, the
// captions stand in alphabetical order, and the strength row shows exactly
// for the effects that take the strength.
#include "tools/TileEffects.h"

#include "CallRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tq {
namespace {

// Has every member the table calls, with the engine's parameter types.
struct RecordingTileEngine : testing::CallRecorder {
    template <class... A>
    BitsBuffer rec(const char* name, A... args)
    {
        record(name, args...);
        return BitsBuffer(2, 2);
    }

    FilterResult Blurs(int32_t f) { return rec("Blurs", f); }
    FilterResult CONTOUR(int32_t f, int32_t back) { return rec("CONTOUR", f, back); }
    BitsBuffer Contrast(int32_t f) { return rec("Contrast", f); }
    BitsBuffer DIFFUSE(int32_t w, int32_t h) { return rec("DIFFUSE", w, h); }
    BitsBuffer DILATE() { return rec("DILATE"); }
    BitsBuffer Dissolve() { return rec("Dissolve"); }
    FilterResult EDGEENHANCE(int32_t f) { return rec("EDGEENHANCE", f); }
    BitsBuffer EMBOSS(int32_t f) { return rec("EMBOSS", f); }
    BitsBuffer Engrave(int32_t f) { return rec("Engrave", f); }
    BitsBuffer Equalize() { return rec("Equalize"); }
    BitsBuffer ERODE() { return rec("ERODE"); }
    BitsBuffer Flip(bool h, bool v) { return rec("Flip", h, v); }
    BitsBuffer FOLD(int32_t w, int32_t h, bool c) { return rec("FOLD", w, h, c); }
    BitsBuffer GammaCorrection(int32_t f) { return rec("GammaCorrection", f); }
    BitsBuffer GreyScale() { return rec("GreyScale"); }
    FilterResult HALFTONE(int32_t r, int32_t d, int32_t i) { return rec("HALFTONE", r, d, i); }
    FilterResult Invert() { return rec("Invert"); }
    BitsBuffer NOISE(int32_t f, bool eq) { return rec("NOISE", f, eq); }
    BitsBuffer OLDPHOTO() { return rec("OLDPHOTO"); }
    BitsBuffer PAINTING() { return rec("PAINTING"); }
    BitsBuffer PHOTOCOP() { return rec("PHOTOCOP"); }
    FilterResult PIXELIZE(int32_t s) { return rec("PIXELIZE", s); }
    BitsBuffer RELIEF() { return rec("RELIEF"); }
    BitsBuffer ROTATE(int32_t d, bool c) { return rec("ROTATE", d, c); }
    BitsBuffer Scanlines(int32_t f) { return rec("Scanlines", f); }
    FilterResult SHARPEN(int32_t f) { return rec("SHARPEN", f); }
    BitsBuffer SKETCH(int32_t f, bool bw, int32_t back) { return rec("SKETCH", f, bw, back); }
    FilterResult SOFTEN(int32_t f) { return rec("SOFTEN", f); }
    BitsBuffer THERMIQUE() { return rec("THERMIQUE"); }
    BitsBuffer TWIRL(int32_t f, int32_t o, bool c) { return rec("TWIRL", f, o, c); }
    BitsBuffer WAVES(int32_t f, int32_t a, int32_t s) { return rec("WAVES", f, a, s); }
    BitsBuffer XBLACK() { return rec("XBLACK"); }
};

TEST(TileEffects, EachEffectCallsItsMemberWithTheStrength)
{
    struct Row {
        const char* caption;
        bool strength;
        const char* call;   // at strength 37
    };
    const std::vector<Row> want = {
        {"Blur", false, "Blurs(2)"},
        {"Contour", true, "CONTOUR(37,16777215)"},
        {"Contrast", true, "Contrast(37)"},
        {"Diffuse", true, "DIFFUSE(37,37)"},
        {"Dilate", false, "DILATE()"},
        {"Dissolve", false, "Dissolve()"},
        {"Edge Enhance", true, "EDGEENHANCE(37)"},
        {"Emboss", true, "EMBOSS(37)"},
        {"Engrave", true, "Engrave(37)"},
        {"Equalize", false, "Equalize()"},
        {"Erode", false, "ERODE()"},
        {"Flip Horizontal", false, "Flip(true,false)"},
        {"Flip Vertical", false, "Flip(false,true)"},
        {"Fold", true, "FOLD(37,37,true)"},
        {"Gamma", true, "GammaCorrection(37)"},
        {"Greyscale", false, "GreyScale()"},
        {"Haftone", true, "HALFTONE(37,1,1)"},
        {"Invert", false, "Invert()"},
        {"Noise", true, "NOISE(37,false)"},
        {"OldPhoto", false, "OLDPHOTO()"},
        {"Painting", false, "PAINTING()"},
        {"Photocop", false, "PHOTOCOP()"},
        {"Pixelize", true, "PIXELIZE(37)"},
        {"Relief", false, "RELIEF()"},
        {"Rotate", true, "ROTATE(133,true)"},   // 37 x 3.6 = 133.2
        {"Scanlines", true, "Scanlines(37)"},
        {"Sharpen", true, "SHARPEN(37)"},
        {"Sketch", true, "SKETCH(37,false,16777215)"},
        {"Soften", true, "SOFTEN(37)"},
        {"Thermique", false, "THERMIQUE()"},
        {"Twirl", true, "TWIRL(37,90,true)"},
        {"Waves", true, "WAVES(37,20,0)"},
        {"XBlack", false, "XBLACK()"},
    };
    const auto& table = tileEffectTable<RecordingTileEngine>();
    ASSERT_EQ(table.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].caption);
        EXPECT_STREQ(table[i].caption, want[i].caption);
        EXPECT_EQ(table[i].takesStrength, want[i].strength);
        RecordingTileEngine e;
        const FilterResult r = runTileEffect(e, static_cast<int32_t>(i + 1), 37);
        EXPECT_TRUE(r.has_value());
        ASSERT_EQ(e.calls.size(), 1u);
        EXPECT_EQ(e.calls[0], want[i].call);
    }
    // The menu is alphabetical, and the strength row shows for eighteen.
    std::vector<std::string> captions;
    for (const auto& row : table) captions.push_back(row.caption);
    EXPECT_TRUE(std::is_sorted(captions.begin(), captions.end()));
    EXPECT_EQ(std::count_if(table.begin(), table.end(), [](const auto& r) { return r.takesStrength; }), 18);
    EXPECT_STREQ(table[kDefaultTileEffect - 1].caption, "Emboss");
    EXPECT_EQ(kDefaultTileStrength, 3);
}

TEST(TileEffects, RotateSpansAFullTurnOverTheStrength)
{
    const std::vector<std::pair<int32_t, const char*>> cases = {
        {1, "ROTATE(4,true)"}, {50, "ROTATE(180,true)"}, {99, "ROTATE(356,true)"}, {100, "ROTATE(360,true)"}};
    for (const auto& [S, call] : cases) {
        RecordingTileEngine e;
        runTileEffect(e, 25, S);
        ASSERT_EQ(e.calls.size(), 1u);
        EXPECT_EQ(e.calls[0], call) << "strength " << S;
    }
}

TEST(TileEffects, NumbersOutsideTheMenuRunNothing)
{
    for (int32_t n : {0, 34, -1}) {
        RecordingTileEngine e;
        EXPECT_FALSE(runTileEffect(e, n, 10).has_value());
        EXPECT_TRUE(e.calls.empty());
    }
}

} // namespace
} // namespace tq
