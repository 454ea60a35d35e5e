// Every page of the filter dialog, opened on a 320 x 160 picture (a 160 x 80
// preview) with a recording engine behind it: its caption, its rows, and the
// member with the arguments it is called with at the page's defaults and
// after one other value in each row; the option, the banks, the glass and
// curtain choices; the pages the command keys open.
#include "FilterDialogFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

#include <map>
#include <set>

namespace tq {
namespace {

using testing::FilterDialogFixture;
using testing::patternByte;

struct RowCase {
    int row;
    int value;
    const char* call;
};

struct PageCase {
    int page;
    const char* caption;
    std::vector<const char*> labels;
    const char* atDefaults;
    std::vector<RowCase> others;
};

// S0 is the colour under the centre of the preview; the second swatch starts
// dark red (192).
const std::vector<PageCase> kPages = {
    {0, "Colorize", {"Hue", "Saturation", "Luminosity"}, "COLORIZE(f:0,f:0.5,f:1)",
     {{0, 83, "COLORIZE(f:4.975,f:0.5,f:1)"}, {1, 20, "COLORIZE(f:0,f:0.2,f:1)"}, {2, 70, "COLORIZE(f:0,f:0.5,f:0.7)"}}},
    {1, "Brightness", {"Level"}, "BRIGHTNESS(0)", {{0, -100, "BRIGHTNESS(-100)"}}},
    {2, "Contrast", {"Level"}, "Contrast(0)", {{0, 250, "Contrast(250)"}}},
    {3, "Saturation", {"Level"}, "SATURATION(0)", {{0, -50, "SATURATION(-50)"}}},
    {4, "Gamma correction", {"Gamma"}, "GammaCorrection(0)", {{0, 30, "GammaCorrection(-70)"}}},
    {5, "Diffuse", {"Horizontal range", "Vertical range"}, "DIFFUSE(2,2)",
     {{0, 10, "DIFFUSE(10,2)"}, {1, 50, "DIFFUSE(2,50)"}}},
    {6, "Blur", {"Level"}, "Blurs(0)", {{0, 2, "Blurs(2)"}}},
    {7, "Halftone", {"Radius", "Definition", "Intensity"}, "HALFTONE(1,50,0)",
     {{0, 25, "HALFTONE(25,50,0)"}, {1, 0, "HALFTONE(1,0,0)"}, {2, 100, "HALFTONE(1,50,100)"}}},
    {8, "Pixelaze", {"Pixel size"}, "PIXELIZE(2)", {{0, 25, "PIXELIZE(25)"}}},
    {9, "Emboss", {"Weight"}, "EMBOSS(10)", {{0, 0, "EMBOSS(0)"}}},
    {10, "Engrave", {"Weight"}, "Engrave(10)", {{0, 50, "Engrave(50)"}}},
    {11, "Contour", {"Weight"}, "CONTOUR(255,192)", {{0, 0, "CONTOUR(0,192)"}}},
    {12, "Sketch", {"Weight"}, "SKETCH(255,false,192)", {{0, 100, "SKETCH(100,false,192)"}}},
    {13, "Threshold", {"Cut value"}, "Threshold(128)", {{0, 0, "Threshold(0)"}}},
    {14, "Isolate", {"Tolerance"}, "ISOLATE({S0},192,100)", {{0, 200, "ISOLATE({S0},192,200)"}}},
    {15, "Reduction", {"Level"}, "Reduction(0)", {{0, 255, "Reduction(255)"}}},
    {16, "Replace", {"Tolerance"}, "REPLACE({S0},192,100)", {{0, 0, "REPLACE({S0},192,0)"}}},
    {17, "Replace Hue/Saturation", {"Hue Tolerance", "Sat. Tolerance", "Apply Tolerance"},
     "ReplaceHS({S0},192,50,50,100)",
     {{0, 0, "ReplaceHS({S0},192,0,50,100)"},
      {1, 100, "ReplaceHS({S0},192,50,100,100)"},
      {2, 200, "ReplaceHS({S0},192,50,50,200)"}}},
    {18, "Replace Luminous", {"Lum. Tolerance", "Apply Tolerance"}, "ReplaceL({S0},192,50,100)",
     {{0, 10, "ReplaceL({S0},192,10,100)"}, {1, 0, "ReplaceL({S0},192,50,0)"}}},
    {19, "Sharpen", {"Level"}, "SHARPEN(0)", {{0, 100, "SHARPEN(100)"}}},
    {20, "Soften", {"Level"}, "SOFTEN(0)", {{0, 55, "SOFTEN(55)"}}},
    {21, "Shift", {"Shift", "Tolerance"}, "Shift({S0},0,100)",
     {{0, -255, "Shift({S0},-255,100)"}, {1, 150, "Shift({S0},0,150)"}}},
    {22, "Hue rotation", {"Offset", "Saturation"}, "RotateH(0,100)", {{0, 60, "RotateH(60,100)"}, {1, 0, "RotateH(0,0)"}}},
    {23, "Grey rotation", {"Offset", "Steps"}, "RotateL(0,25)", {{0, 99, "RotateL(99,25)"}, {1, 100, "RotateL(0,100)"}}},
    {24, "Hue stretch", {"Offset", "Saturation", "Stretch factor"}, "StretchH(0,100,0)",
     {{0, 1, "StretchH(1,100,0)"}, {1, 2, "StretchH(0,2,0)"}, {2, 3, "StretchH(0,100,3)"}}},
    {25, "RGB levels", {"Red", "Green", "Blue"}, "ShiftRGB(0,0,0)",
     {{0, -255, "ShiftRGB(-255,0,0)"}, {1, 255, "ShiftRGB(0,255,0)"}, {2, 17, "ShiftRGB(0,0,17)"}}},
    {26, "RGB banks", {}, "SwapRGB(2,1,0,i16:0,i16:0,i16:0,i16:0,i16:0,i16:0)", {}},
    {27, "Lens", {"Diameter", "Magnify factor"}, "LENS(f:0.5,f:0.5,f:0.3125,50)",
     {{0, 1, "LENS(f:0.5,f:0.5,f:0.00625,50)"}, {1, 0, "LENS(f:0.5,f:0.5,f:0.3125,0)"}}},
    {28, "Waves", {"Frequency", "Amplitude", "Start degree"}, "WAVES(25,25,0)",
     {{0, 0, "WAVES(0,25,0)"}, {1, 1, "WAVES(25,1,0)"}, {2, 360, "WAVES(25,25,360)"}}},
    {29, "Bend", {"Radius factor"}, "BEND(0,true)", {{0, -200, "BEND(-200,true)"}}},
    {30, "Fold", {"Horizontal factor", "Vertical factor"}, "FOLD(0,0,true)",
     {{0, -100, "FOLD(-100,0,true)"}, {1, 100, "FOLD(0,100,true)"}}},
    {31, "Rotate", {"Degrees"}, "ROTATE(0,true)", {{0, 180, "ROTATE(180,true)"}}},
    {32, "Stretch", {"Horizontal factor", "Vertical factor"}, "STRETCH(0,0,true)",
     {{0, 5, "STRETCH(5,0,true)"}, {1, -5, "STRETCH(0,-5,true)"}}},
    {33, "Tile", {"Factor"}, "TILE(2)", {{0, 50, "TILE(50)"}}},
    {34, "Twirl", {"Level", "Offset degrees"}, "TWIRL(0,0,true)",
     {{0, -100, "TWIRL(-100,0,true)"}, {1, -180, "TWIRL(0,-180,true)"}}},
    {35, "Grid", {"Horizontal step", "Vertical step", "Opacity"}, "Grid(25,25,true,192,128)",
     {{0, 1, "Grid(1,25,true,192,128)"}, {1, 250, "Grid(25,250,true,192,128)"}, {2, 0, "Grid(25,25,true,192,0)"}}},
    {36, "Light", {"Extension", "Intensity", "Definition"}, "Light(f:0.5,f:0.5,f:0.3125,250,0)",
     {{0, 100, "Light(f:0.5,f:0.5,f:0.625,250,0)"},
      {1, 500, "Light(f:0.5,f:0.5,f:0.3125,500,0)"},
      {2, 100, "Light(f:0.5,f:0.5,f:0.3125,250,100)"}}},
    {37, "Noise", {"Intensity"}, "NOISE(25,false)", {{0, 0, "NOISE(0,false)"}}},
    {38, "Scanlines", {"Opacity"}, "Scanlines(128)", {{0, 255, "Scanlines(255)"}}},
    {39, "Behind Glass", {}, "GLASS(\"slanting\",i16:0)", {}},
    {40, "Behind Curtain", {}, "GLASS(\"curtain\",i16:0)", {}},
};

class FilterPages : public FilterDialogFixture {
protected:
    void SetUp() override
    {
        FilterDialogFixture::SetUp();
        doc = openDocument(320, 160);
        // The preview is the picture halved: its centre (80, 40) is picture
        // pixel (160, 80).
        centre = rgbColor(patternByte(2, 160, 80), patternByte(1, 160, 80), patternByte(0, 160, 80));
    }
    std::string expected(std::string call) const
    {
        const std::string token = "{S0}";
        for (size_t at = call.find(token); at != std::string::npos; at = call.find(token))
            call.replace(at, token.size(), std::to_string(centre));
        return call;
    }

    testing::CountingImage* doc = nullptr;
    int32_t centre = 0;
};

TEST_F(FilterPages, EveryPageCallsItsMemberAtItsDefaultsAndAtAnotherValueOfEachRow)
{
    ASSERT_EQ(kPages.size(), size_t(kFilterPageCount));
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(c.caption);
        fFilter* d = open(c.page, true);
        EXPECT_EQ(d->windowTitle().toStdString(), c.caption);
        for (size_t i = 0; i < 3; ++i) {
            const bool used = i < c.labels.size();
            EXPECT_EQ(d->frFilter[i]->isVisibleTo(d), used) << "row " << i;
            if (used) {
                EXPECT_EQ(d->lblFInfo[i]->text().toStdString(), c.labels[i]);
            }
        }
        // The dialog's opening runs the first preview.
        ASSERT_EQ(recorded.size(), 1u);
        EXPECT_EQ(lastCall(), expected(c.atDefaults));
        EXPECT_EQ(recorded.back().width, 160);
        EXPECT_EQ(recorded.back().height, 80);

        for (const RowCase& r : c.others) {
            SCOPED_TRACE("row " + std::to_string(r.row) + " at " + std::to_string(r.value));
            d = open(c.page, true);
            d->sbFilter[r.row]->setValue(r.value);   // one step of a drag
            EXPECT_EQ(lastCall(), expected(r.call));
            // The slider, its text and its up-down show the same number.
            EXPECT_EQ(d->lblFilterV[r.row]->text(), QString::number(r.value));
            EXPECT_EQ(d->sbFilterV[r.row]->value(), r.value);
        }
    }
}

TEST_F(FilterPages, ColorizeFoldsTheTopOfTheHueSliderBelowZero)
{
    fFilter* d = open(0, true);
    const std::vector<std::pair<int, const char*>> hues = {
        {83, "COLORIZE(f:4.975,f:0.5,f:1)"}, {84, "COLORIZE(f:-0.95,f:0.5,f:1)"}, {100, "COLORIZE(f:0,f:0.5,f:1)"}};
    for (const auto& [slider, call] : hues) {
        d->sbFilter[0]->setValue(slider);
        EXPECT_EQ(lastCall(), call) << slider;
    }
    EXPECT_FLOAT_EQ(colorizeHue(0), colorizeHue(100));
}

TEST_F(FilterPages, GammaShowsItsSliderAndPassesItLessOneHundred)
{
    fFilter* d = open(4, true);
    EXPECT_EQ(d->lblFilterV[0]->text(), "100");
    EXPECT_EQ(d->sbFilter[0]->Min(), 0);
    EXPECT_EQ(d->sbFilter[0]->Max(), 200);
    EXPECT_EQ(lastCall(), "GammaCorrection(0)");
    d->sbFilter[0]->setValue(200);
    EXPECT_EQ(lastCall(), "GammaCorrection(100)");
    d->sbFilter[0]->setValue(0);
    EXPECT_EQ(lastCall(), "GammaCorrection(-100)");
}

TEST_F(FilterPages, TheOptionBoxAndItsLabelToggleTheFlag)
{
    const std::vector<std::tuple<int, const char*, bool, const char*>> options = {
        {12, "B/W", false, "SKETCH(255,true,192)"},
        {29, "Clean back", true, "BEND(0,false)"},
        {30, "Clean back", true, "FOLD(0,0,false)"},
        {31, "Clean back", true, "ROTATE(0,false)"},
        {32, "Clean back", true, "STRETCH(0,0,false)"},
        {34, "Clean back", true, "TWIRL(0,0,false)"},
        {35, "Force margins", true, "Grid(25,25,false,192,128)"},
        {37, "Equalized", false, "NOISE(25,true)"},
    };
    for (const auto& [page, label, ticked, toggled] : options) {
        SCOPED_TRACE(label);
        fFilter* d = open(page, true);
        EXPECT_TRUE(d->frOption->isVisibleTo(d));
        EXPECT_EQ(d->lblOption->text().toStdString(), label);
        EXPECT_EQ(d->chkOption->isChecked(), ticked);
        const std::string atDefaults = lastCall();
        d->chkOption->click();
        EXPECT_EQ(lastCall(), toggled);
        // A click on the label toggles the box back.
        QTest::mouseClick(d->lblOption, Qt::LeftButton);
        EXPECT_EQ(d->chkOption->isChecked(), ticked);
        EXPECT_EQ(lastCall(), atDefaults);
    }
    // Pages without an option keep it hidden.
    EXPECT_FALSE(open(1, true)->frOption->isVisibleTo(dialog));
}

TEST_F(FilterPages, BanksChooseOneInputPerOutputChannel)
{
    fFilter* d = open(26, true);
    EXPECT_TRUE(d->frBanks->isVisibleTo(d));
    EXPECT_FALSE(d->frFactors->findChild<QFrame*>("frFilter0")->isVisibleTo(d));
    // At opening each column takes its own channel: the picture is unchanged.
    EXPECT_TRUE(d->optRChannel[2]->isChecked());
    EXPECT_TRUE(d->optGChannel[1]->isChecked());
    EXPECT_TRUE(d->optBChannel[0]->isChecked());
    EXPECT_EQ(d->iDst->drawing(), d->iSrc->drawing()) << "recording engine hands the buffer back";

    // Red from blue: the column is a choice of one.
    d->optRChannel[0]->click();
    EXPECT_TRUE(d->optRChannel[0]->isChecked());
    EXPECT_FALSE(d->optRChannel[2]->isChecked());
    EXPECT_EQ(lastCall(), "SwapRGB(0,1,0,i16:0,i16:0,i16:0,i16:0,i16:0,i16:0)");
    // A click on the ticked box leaves it ticked and computes again.
    const size_t runs = recorded.size();
    d->optRChannel[0]->click();
    EXPECT_TRUE(d->optRChannel[0]->isChecked());
    EXPECT_EQ(recorded.size(), runs + 1);
    // Green from red; blue inverted; green killed (true is -1).
    d->optGChannel[2]->click();
    d->chkInvt[2]->click();
    d->chkKill[1]->click();
    EXPECT_EQ(lastCall(), "SwapRGB(0,2,0,i16:0,i16:0,i16:-1,i16:0,i16:-1,i16:0)");
}

TEST_F(FilterPages, GlassStylesListTheirVariantsAndCurtainsPassTheirNumber)
{
    fFilter* d = open(39, true);
    EXPECT_TRUE(d->FrmGlass->isVisibleTo(d));
    auto items = [&] {
        QStringList l;
        for (int i = 0; i < d->cbo->count(); ++i) l << d->cbo->itemText(i);
        return l.join(',').toStdString();
    };
    EXPECT_EQ(items(), "Light,Tight");
    EXPECT_EQ(lastCall(), "GLASS(\"slanting\",i16:0)");

    d->oo[3]->click();   // "Squary"
    EXPECT_EQ(items(), "Large,Light,Tight");
    EXPECT_EQ(d->cbo->currentText(), "Large");
    EXPECT_TRUE(d->oo[3]->font().bold());
    EXPECT_FALSE(d->oo[0]->font().bold());
    EXPECT_EQ(d->cbo->x(), d->oo[3]->x() + d->oo[3]->width());
    EXPECT_EQ(lastCall(), "GLASS(\"squary\",i16:0)");
    d->cbo->setCurrentIndex(2);
    EXPECT_EQ(lastCall(), "GLASS(\"squary\",i16:2)");
    d->oo[1]->click();
    EXPECT_EQ(lastCall(), "GLASS(\"vertical\",i16:0)");
    d->oo[0]->click();   // "Slanting" again
    EXPECT_EQ(items(), "Light,Tight");
    EXPECT_EQ(lastCall(), "GLASS(\"slanting\",i16:0)");
    d->cbo->setCurrentIndex(1);
    EXPECT_EQ(lastCall(), "GLASS(\"slanting\",i16:1)");

    d = open(40, true);
    EXPECT_TRUE(d->FrmCurtain->isVisibleTo(d));
    EXPECT_FALSE(d->FrmGlass->isVisibleTo(d));
    EXPECT_EQ(lastCall(), "GLASS(\"curtain\",i16:0)");
    d->Curt[3]->click();   // "Whity"
    EXPECT_EQ(lastCall(), "GLASS(\"curtain\",i16:3)");
    EXPECT_TRUE(d->Curt[3]->font().bold());
    d->Curt[1]->click();
    EXPECT_EQ(lastCall(), "GLASS(\"curtain\",i16:1)");
}

TEST_F(FilterPages, AFullSizeRunPassesTheLensTheSameShareOfTheLargerSide)
{
    // 1600 x 800 gives a 160 x 80 preview; the diameter is a share of the
    // preview's larger side in the preview and on the whole picture alike.
    openDocument(1600, 800);
    fFilter* d = open(27, true);
    ASSERT_EQ(d->PreviewWidth, 160);
    ASSERT_EQ(d->PreviewHeight, 80);
    EXPECT_EQ(lastCall(), "LENS(f:0.5,f:0.5,f:0.3125,50)");
    d->cmdPreview_Click();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded.back().call, "LENS(f:0.5,f:0.5,f:0.3125,50)");
    EXPECT_EQ(recorded.back().width, 1600);
    EXPECT_EQ(recorded.back().height, 800);
    d->cmdOK_Click();   // already applied: no second full-size run
    EXPECT_EQ(recorded.size(), 2u);
}

TEST_F(FilterPages, APageOutsideTheTableShowsNothingAndFiltersNothing)
{
    for (int32_t page : {-1, 41, 1000}) {
        SCOPED_TRACE(page);
        fFilter* d = open(page, true);
        EXPECT_EQ(d->windowTitle(), "Filter");
        for (QFrame* row : d->frFilter) EXPECT_FALSE(row->isVisibleTo(d));
        for (QWidget* w : {static_cast<QWidget*>(d->frOption), static_cast<QWidget*>(d->frColor),
                           static_cast<QWidget*>(d->frBanks), static_cast<QWidget*>(d->FrmGlass),
                           static_cast<QWidget*>(d->FrmCurtain)})
            EXPECT_FALSE(w->isVisibleTo(d)) << w->objectName().toStdString();
        EXPECT_TRUE(recorded.empty());
        EXPECT_FALSE(d->iDst->drawing().isNull());
        EXPECT_EQ(d->iDst->drawing(), d->iSrc->drawing());
    }
}

TEST(FilterPageTable, KeysOpenTheirPagesAndEveryDialogKeyHasOne)
{
    // The main window routes these keys to the filter dialog.
    std::vector<std::string> routed;
    for (const CommandEntry& e : fMain::commandTable().execSecond)
        if (std::string(e.command) == "cmdFilterDialog") routed.push_back(e.key);
    EXPECT_EQ(routed.size(), 42u);
    std::set<int32_t> pages;
    for (const std::string& key : routed) {
        const int32_t page = filterPageOfKey(key);
        EXPECT_GE(page, 0) << key;
        pages.insert(page);
    }
    EXPECT_EQ(filterPageOfKey("LIGHTCUSTOM"), 1);
    EXPECT_EQ(filterPageOfKey("BRIGHTNESS"), 1);
    EXPECT_EQ(filterPageOfKey("CUSTOMNOISE"), 37);
    EXPECT_EQ(filterPageOfKey("ADDNOISE"), 37);
    EXPECT_EQ(filterPageOfKey("brightness"), -1);
    EXPECT_EQ(filterPageOfKey("INVERT"), -1);
    // Every page but Threshold has a key.
    EXPECT_EQ(pages.size(), 40u);
    EXPECT_EQ(pages.count(13), 0u);
    // Every key of the table is one the main window routes here.
    for (const FilterPageSpec& p : filterPages())
        for (const char* k : p.keys)
            if (k) {
                EXPECT_NE(std::find(routed.begin(), routed.end(), k), routed.end()) << k;
            }
}

} // namespace
} // namespace tq
