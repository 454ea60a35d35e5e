// The history window as a window: its size rules, rolling up, the tabs,
// the scroll ranges and the paste pressure.
#include "ToolWindowFixture.h"

#include "widgets/cpvSlider.h"
#include "toolwindows/fPaste.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>

using namespace tq;
using namespace tq::testing;

namespace {

class HistoryWindowTest : public HistoryWindowFixture {};

constexpr int kWidth = 212;      // 3180 twips
constexpr int kMinHeight = 200;  // 3000 twips
constexpr int kRolledUp = 45;    // tabs' bottom (37 pixels) in twips + 120

} // namespace

TEST_F(HistoryWindowTest, OnlyTheHeightChangesAndNeverBelowTheFloor)
{
    Settings& s = programSettings();
    const struct {
        QSize asked, got;
    } cases[] = {
        {{300, 260}, {kWidth, 260}},
        {{150, 100}, {kWidth, kMinHeight}},
        {{kWidth, 420}, {kWidth, 420}},
    };
    for (const auto& c : cases) {
        history->resize(c.asked);
        QCoreApplication::processEvents();
        EXPECT_EQ(history->size(), c.got);
        // Every resize of the unrolled window is stored.
        EXPECT_EQ(int32_t(s.HistoryBoxHeight), c.got.height() * 15);
        EXPECT_EQ(int32_t(s.HistoryBoxWidth), c.got.width() * 15);
    }
    // The pages fill the window under the tabs.
    EXPECT_EQ(history->pframe->y(), 39);
    EXPECT_EQ(history->pframe->height(), history->client()->height() - 39);
    EXPECT_EQ(history->VV->geometry().right(), history->pframe->contentsRect().right());
}

TEST_F(HistoryWindowTest, RollsUpToItsTabsAndATabClickUnrollsIt)
{
    Settings& s = programSettings();
    history->resize(kWidth, 300);
    history->pMm_Click();
    EXPECT_EQ(history->pMmTag(), "1");
    EXPECT_TRUE(history->RolledUp());
    EXPECT_TRUE(s.HistoryBoxCollapsed);
    EXPECT_EQ(history->height(), kRolledUp);
    EXPECT_EQ(int32_t(s.HistoryBoxHeight), 300 * 15);   // not stored rolled up

    history->resize(kWidth, 400);   // a rolled-up window stays rolled up
    EXPECT_EQ(history->height(), kRolledUp);

    // A tab unrolls it, but the saved flag stays for the next start.
    history->tabClips_Click();
    EXPECT_FALSE(history->RolledUp());
    EXPECT_EQ(history->pMmTag(), "0");
    EXPECT_EQ(history->size(), QSize(kWidth, 300));
    EXPECT_TRUE(s.HistoryBoxCollapsed);

    // Twice the button: back to the saved size, flag cleared.
    history->pMm_Click();
    history->pMm_Click();
    EXPECT_EQ(history->size(), QSize(kWidth, 300));
    EXPECT_FALSE(s.HistoryBoxCollapsed);
}

TEST_F(HistoryWindowTest, TabsShowOnePageAtATime)
{
    EXPECT_TRUE(history->ActionsTabOpen());
    EXPECT_TRUE(history->pframe->isVisible());
    EXPECT_FALSE(history->cFrame->isVisible());
    QTest::mouseClick(history->tabClips, Qt::LeftButton);
    EXPECT_FALSE(history->pframe->isVisible());
    EXPECT_TRUE(history->cFrame->isVisible());
    EXPECT_EQ(history->tabClips->pixmap().toImage(), history->oClips.toImage());
    EXPECT_EQ(history->tabActions->pixmap().toImage(), history->cActions.toImage());
    QTest::mouseClick(history->tabActions, Qt::LeftButton);
    EXPECT_TRUE(history->pframe->isVisible());
    EXPECT_EQ(history->tabActions->pixmap().toImage(), history->oActions.toImage());
}

TEST_F(HistoryWindowTest, TheClipListScrollsOnlyWhenItIsTallerThanItsFrame)
{
    history->tabClips_Click();
    history->resize(kWidth, kMinHeight);
    QCoreApplication::processEvents();
    const int inner = history->FPicPaste->contentsRect().height();
    ASSERT_LT(inner, history->picPaste->height());
    EXPECT_TRUE(history->V->isEnabled());
    EXPECT_EQ(history->V->maximum(), (history->picPaste->height() - inner) * 15);
    history->V->setValue(history->V->maximum());
    EXPECT_EQ(history->picPaste->y() + history->picPaste->height(), history->FPicPaste->contentsRect().bottom() + 1);

    history->resize(kWidth, 600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(history->V->isEnabled());
}

TEST_F(HistoryWindowTest, ThePressureSliderUpDownAndTextShowOneSetting)
{
    Settings& s = programSettings();
    // Loaded from the setting (80 on a first start).
    EXPECT_EQ(history->BrSelectionMovePressure->Value(), 80);
    EXPECT_EQ(history->BrSelectionMovePressureUDT->text(), "80");
    EXPECT_EQ(history->lblSize->text(), "80");

    history->BrSelectionMovePressure->setValue(25);
    EXPECT_EQ(s.SelectionMovePressure, 25);
    EXPECT_EQ(history->BrSelectionMovePressureUDT->text(), "25");
    EXPECT_EQ(history->lblSize->text(), "25");
    EXPECT_EQ(history->BrSelectionMovePressureUD->value(), 25);

    history->BrSelectionMovePressureUD->setValue(60);
    EXPECT_EQ(history->BrSelectionMovePressure->Value(), 60);
    EXPECT_EQ(s.SelectionMovePressure, 60);
    EXPECT_EQ(history->BrSelectionMovePressureUDT->text(), "60");
    EXPECT_EQ(history->lblSize->text(), "60");

    // Typing changes nothing.
    history->BrSelectionMovePressureUDT->clear();
    QTest::keyClicks(history->BrSelectionMovePressureUDT, "40");
    EXPECT_EQ(s.SelectionMovePressure, 60);
    EXPECT_EQ(history->BrSelectionMovePressure->Value(), 60);
}

TEST_F(HistoryWindowTest, ASettingOutsideTheSlidersRangeIsNotTaken)
{
    programSettings().SelectionMovePressure = 0;
    fPaste other(main.get());
    EXPECT_EQ(programSettings().SelectionMovePressure, 0);
    EXPECT_EQ(other.lblSize->text(), "0");
}
