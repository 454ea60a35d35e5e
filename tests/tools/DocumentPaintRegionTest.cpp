// Every painting routine against a selection with holes: nothing outside the
// paint region ever changes (the margin and every marker byte included), and
// each routine does paint inside it.
#include "PaintFixtures.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tq::test {
namespace {

constexpr int kW = 40;
constexpr int kH = 30;

struct Routine {
    std::string name;
    std::function<void(DocumentPaint&, const PaintSource& stamp)> run;
};

std::vector<Routine> routines()
{
    const int32_t black = 0, red = rgbColor(255, 0, 0);
    std::vector<Routine> all = {
        {"BitsPaint", [](DocumentPaint& p, const PaintSource& s) { p.BitsPaint(-3, -2, s, -1, 100, true); }},
        {"BitsPaintPreMasked", [](DocumentPaint& p, const PaintSource& s) { p.BitsPaintPreMasked(-3, -2, s, 100, true); }},
        {"BitsBWMask", [=](DocumentPaint& p, const PaintSource& s) { p.BitsBWMask(-3, -2, s, red, 100); }},
        {"BitsBrush", [=](DocumentPaint& p, const PaintSource&) { p.BitsBrush(20, 15, 60, 100, black); }},
        {"BitsBrush corner", [=](DocumentPaint& p, const PaintSource&) { p.BitsBrush(0, 0, 30, 100, black); }},
        {"BitsMasked", [](DocumentPaint& p, const PaintSource& s) { p.BitsMasked(20, 15, s, 60, 100); }},
        {"BitsBrightness lighten", [](DocumentPaint& p, const PaintSource&) { p.BitsBrightness(20, 15, 60, 50, true); }},
        {"BitsBrightness darken", [](DocumentPaint& p, const PaintSource&) { p.BitsBrightness(39, 29, 60, 50, false); }},
        {"BitsSoften", [](DocumentPaint& p, const PaintSource&) { p.BitsSoften(20, 15, 60, 100, false); }},
        {"BitsSoften overlay", [](DocumentPaint& p, const PaintSource&) { p.BitsSoften(20, 15, 60, 100, true); }},
        {"BitsSharpen", [](DocumentPaint& p, const PaintSource&) { p.BitsSharpen(20, 15, 60, 1); }},
        {"BitsAirbrush", [=](DocumentPaint& p, const PaintSource&) { p.BitsAirbrush(20, 15, 60, 100, 70, 50, red); }},
        {"BitsMaskedLine", [](DocumentPaint& p, const PaintSource& s) { p.BitsMaskedLine(-5, 3, 45, 27, 9, 100, s); }},
        {"BitsLine", [=](DocumentPaint& p, const PaintSource&) { p.BitsLine(-5, 3, 45, 27, black, 100); }},
        {"BitsLine steep", [=](DocumentPaint& p, const PaintSource&) { p.BitsLine(11, -4, 17, 35, red, 100); }},
        {"BitsRectangle", [=](DocumentPaint& p, const PaintSource&) { p.BitsRectangle(5, 4, 34, 25, red, 100); }},
        {"BitsRectangle inner", [=](DocumentPaint& p, const PaintSource&) { p.BitsRectangle(9, 8, 21, 20, red, 100); }},
        {"BitsPolygon", [=](DocumentPaint& p, const PaintSource&) { p.BitsPolygon(20, 15, 38, 20, 5, red, 100); }},
        {"BitsEllipse", [=](DocumentPaint& p, const PaintSource&) { p.BitsEllipse(20, 15, 22, 11, red, 100); }},
        {"BitsEllipse small", [=](DocumentPaint& p, const PaintSource&) { p.BitsEllipse(14, 13, 5, 4, red, 100); }},
        {"BitsFill", [=](DocumentPaint& p, const PaintSource&) { p.BitsFill(6, 6, red, 765, 100); }},
        {"BitsFill from a hole", [=](DocumentPaint& p, const PaintSource&) { p.BitsFill(10, 12, red, 765, 100); }},
        {"BitsFillTexture", [](DocumentPaint& p, const PaintSource& s) { p.BitsFillTexture(6, 6, s, 765, 100); }},
    };
    for (int mode = 0; mode <= 5; ++mode)
        all.push_back({"BitsBrushLine mode " + std::to_string(mode), [=](DocumentPaint& p, const PaintSource&) {
                           p.BitsBrushLine(-5, 3, 45, 27, 15, 100, red, mode);
                       }});
    return all;
}

// A frame with two holes: a rectangle and an ellipse cut out of it.
void selectWithHoles(cBitRegion& sel)
{
    sel.CreateRect(4, 3, 36, 27, 2, true);
    sel.CreateRect(10, 9, 19, 17, 4, true);
    sel.CreateEllipse(22, 8, 33, 22, 4, true);
}

TEST(PaintRegion, NothingOutsideTheSelectionEverChanges)
{
    // The stamp is larger than the picture, so the placed pictures cover it.
    const BitsBuffer stampPicture = noisePicture(kW + 6, kH + 4, 3);
    const PaintSource stamp = PaintSource::fromBuffer(stampPicture);
    for (const Routine& r : routines()) {
        programRandom().seed(17);
        Doc doc(noisePicture(kW, kH));
        selectWithHoles(doc.selection);
        const Region& sel = *doc.selection.Region();
        const BitsBuffer before = doc.bits;

        r.run(doc.paint, stamp);

        int changedInside = 0;
        for (int y = -2; y < kH + 2; ++y)
            for (int x = -2; x < kW + 2; ++x) {
                const bool inside = x >= 0 && y >= 0 && x < kW && y < kH && sel.contains(x, y);
                for (int c = 0; c < 4; ++c) {
                    const bool same = doc.bits.at(c, x, y) == before.at(c, x, y);
                    if (!inside || c == 3)
                        ASSERT_TRUE(same) << r.name << ": pixel " << x << "," << y << " channel " << c;
                    else if (!same)
                        ++changedInside;
                }
            }
        EXPECT_GT(changedInside, 0) << r.name << " painted nothing";
    }
}

TEST(PaintRegion, TheMarginNeverChanges)
{
    // Without a selection, and with one that reaches past the picture (a
    // selection file is not cut to the picture when it is loaded).
    const BitsBuffer stampPicture = noisePicture(kW + 6, kH + 4, 3);
    const PaintSource stamp = PaintSource::fromBuffer(stampPicture);
    std::vector<Routine> all = routines();
    all.push_back({"BitsPaint outside the selection",
                   [](DocumentPaint& p, const PaintSource& s) { p.BitsPaint(-3, -2, s, -1, 100, false); }});
    for (const bool oversized : {false, true}) {
        for (const Routine& r : all) {
            SCOPED_TRACE(oversized ? "selection past the picture" : "no selection");
            programRandom().seed(17);
            Doc doc(noisePicture(kW, kH));
            if (oversized) doc.selection.CreateRect(-5, -4, kW + 5, kH + 4, 2, false);
            const BitsBuffer before = doc.bits;
            r.run(doc.paint, stamp);
            for (int y = -2; y < kH + 2; ++y)
                for (int x = -2; x < kW + 2; ++x) {
                    const bool inside = x >= 0 && y >= 0 && x < kW && y < kH;
                    for (int c = 0; c < 4; ++c) {
                        if (!inside || c == 3) {
                            ASSERT_EQ(doc.bits.at(c, x, y), before.at(c, x, y)) << r.name << ": " << x << "," << y;
                        }
                    }
                }
            EXPECT_NE(doc.bits, before) << r.name;
        }
    }
}

TEST(PaintRegion, PlacedPictureWithoutRegionLandsOutsideTheSelection)
{
    Doc doc(noisePicture(kW, kH));
    selectWithHoles(doc.selection);
    const Stamp stamp(kW, kH, Rgb{1, 2, 3});
    doc.paint.BitsPaintPreMasked(0, 0, stamp.source(), 100, false);
    EXPECT_EQ(doc.at(0, 0), (Rgb{1, 2, 3}));     // outside the frame
    EXPECT_EQ(doc.at(12, 12), (Rgb{1, 2, 3}));   // in a hole
}

} // namespace
} // namespace tq::test
