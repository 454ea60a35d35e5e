// No caption of the image dialogs is cut: every page of the filter dialog
// (its hint below the buttons included) and the other image dialogs, as
// they are shown, measured with the bundled font (TextFit.h).
#include "DialogFixture.h"
#include "FilterDialogFixture.h"
#include "TextFit.h"

#include "dialogs/fCanvas.h"
#include "dialogs/fNew.h"
#include "dialogs/fOrientation.h"
#include "dialogs/fPaletteApply.h"
#include "dialogs/fRotate.h"
#include "dialogs/fSize.h"
#include "dialogs/fUserFilter.h"

#include <memory>

namespace tq {
namespace {

using testing::cutTexts;
using testing::describe;
using testing::DialogFixture;
using testing::FilterDialogFixture;
using testing::TextFitFonts;

TEST_F(FilterDialogFixture, EveryPageShowsItsCaptionsWhole)
{
    TQ_REQUIRE_BUNDLED_FONT();
    TextFitFonts fonts;
    openDocument(40, 30);
    for (int32_t page = 0; page <= 40; ++page) {
        fFilter* d = open(page);
        EXPECT_EQ(describe(cutTexts(d)), "") << "page " << page;
    }
}

template <class Dialog>
std::string cutOf(QWidget* owner)
{
    auto d = std::make_unique<Dialog>(owner);
    d->show();
    return describe(cutTexts(d.get()));
}

TEST_F(DialogFixture, TheImageDialogsShowTheirCaptionsWhole)
{
    TQ_REQUIRE_BUNDLED_FONT();
    TextFitFonts fonts;
    openDocument(40, 30);
    EXPECT_EQ(cutOf<fSize>(main.get()), "");
    EXPECT_EQ(cutOf<fCanvas>(main.get()), "");
    EXPECT_EQ(cutOf<fNew>(main.get()), "");
    EXPECT_EQ(cutOf<fOrientation>(main.get()), "");
    EXPECT_EQ(cutOf<fRotate>(main.get()), "");
    EXPECT_EQ(cutOf<fPaletteApply>(main.get()), "");
    EXPECT_EQ(cutOf<fUserFilter>(main.get()), "");
}

} // namespace
} // namespace tq
