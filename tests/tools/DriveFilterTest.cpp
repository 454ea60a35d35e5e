// End to end through tq-drive: the filter dialog opened on a page, its rows,
// options, pick point and swatches set as a user sets them, OK pressed, the
// document saved, and the saved file compared with the page's member called
// directly with the arguments the dialog maps the controls to.
#include "DriveFixture.h"

#include "dialogs/FilterPages.h"
#include "filters/WholePicture.h"

namespace tq {
namespace {

class DriveFilter : public DriveFixture {
protected:
    int32_t inputColour(int x, int y) const
    {
        const QRgb c = input.pixel(x, y);
        return rgbColor(qRed(c), qGreen(c), qBlue(c));
    }
    // The page's member on the whole input, on an engine of our own.
    BitsBuffer expected(int32_t page, const FilterPageArgs& args) const
    {
        const BitsBuffer bits = inputBits();
        FilterResult r = runOnWholePicture(bits, [&](cBitFilter& engine) { return runFilterPage(engine, page, args); });
        return r ? std::move(*r) : bits;
    }
};

TEST_F(DriveFilter, PagesRunThroughTheDialogEndToEnd)
{
    // The 9 x 6 picture is previewed at its own size: the larger side is 9
    // and preview pixels are picture pixels.
    struct Case {
        QStringList step;
        int32_t page;
        FilterPageArgs args;
    };
    FilterPageArgs brightness;
    brightness.P = {250, 0, 0};   // 300 held to the row's maximum
    FilterPageArgs replace;
    replace.P = {40, 0, 0};
    replace.S = {inputColour(3, 2), rgbColor(0x10, 0x20, 0x30)};
    FilterPageArgs lens;
    lens.P = {80, 70, 0};
    lens.X = single(6.0 / 9);
    lens.Y = single(1.0 / 6);
    lens.L = 9;
    FilterPageArgs banks;
    banks.P = {1, 2, 0};
    banks.Inv = {true, false, false};
    banks.Kill = {false, false, true};
    FilterPageArgs glass;
    glass.P = {2, 0, 0};
    glass.GlassStyleName = "squary";
    FilterPageArgs bend;
    bend.P = {-30, 0, 0};
    bend.O = false;
    const std::vector<Case> cases = {
        {{"--filter", "BRIGHTNESS", "--rows", "300"}, 1, brightness},
        {{"--filter", "16", "--rows", "40", "--point", "3,2", "--swatch", "1=0x102030"}, 16, replace},
        {{"--filter", "LENS", "--rows", "80,70", "--point", "6,1"}, 27, lens},
        {{"--filter", "26", "--options", "1,2,0,1,0,0,0,0,1"}, 26, banks},
        {{"--filter", "CUSTOMGLASS", "--options", "3,2"}, 39, glass},
        {{"--filter", "BEND", "--rows", "-30", "--options", "0"}, 29, bend},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step.join(' ').toStdString());
        const DriveRun r = drive(QStringList{"--open", path("in.png")} + c.step + QStringList{"--save", path("out.bmp")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const BitsBuffer want = expected(c.page, c.args);
        EXPECT_NE(want, inputBits()) << "the case changes the picture";
        expectPicture(path("out.bmp"), want);
    }
}

TEST_F(DriveFilter, StepsTheDialogCannotTakeFailWithTheirReason)
{
    struct Case {
        QStringList step;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--filter", "41"}, "no filter page 41"},
        {{"--filter", "INVERT"}, "no filter page INVERT"},
        {{"--filter", "BRIGHTNESS", "--rows", "1,2"}, "Brightness has 1 rows"},
        {{"--filter", "CONTRAST", "--point", "1,1"}, "this page picks no point"},
        {{"--filter", "CUSTOMCONTOUR", "--swatch", "0=0xFFFFFF"}, "swatch 0 is not shown on this page"},
        {{"--filter", "TILE", "--options", "1"}, "Tile has no options"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const DriveRun r = drive(QStringList{"--open", path("in.png")} + c.step + QStringList{"--save", path("no.bmp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(path("no.bmp")));
    }
    // Threshold has no key but opens all the same.
    FilterPageArgs threshold;
    threshold.P = {100, 0, 0};
    const DriveRun r = drive({"--open", path("in.png"), "--filter", "13", "--rows", "100", "--save", path("t.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    expectPicture(path("t.bmp"), expected(13, threshold));
}

} // namespace
} // namespace tq
