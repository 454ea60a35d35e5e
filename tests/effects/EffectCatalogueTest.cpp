// The effect catalogue against the two tables it must agree with: the main
// window's effect menus (every item leads to its entry, with the same
// caption, shortcut and visibility) and the effect-call table (every entry
// makes a call at any strength its slider allows); and the numbers without
// an entry.
#include "effects/EffectCatalogue.h"

#include "mainwindow/MenuTable.h"
#include "effectslib/EffectCalls.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace tq;
using effects::EffectKind;

TEST(EffectCatalogue, EveryNumberFromTwoToEightyHasAnEntryBut7Gaps)
{
    int atOnce = 0, dialog = 0;
    std::vector<int> missing;
    for (int id = -2; id <= 83; ++id) {
        const effects::EffectEntry* e = effects::findEffect(id);
        if (!e) {
            missing.push_back(id);
            continue;
        }
        EXPECT_EQ(e->id, id);
        (e->kind == EffectKind::AtOnce ? atOnce : dialog)++;
    }
    EXPECT_EQ(missing, (std::vector<int>{-2, -1, 0, 1, 15, 26, 31, 52, 59, 63, 77, 81, 82, 83}));
    EXPECT_EQ(atOnce, 23);
    EXPECT_EQ(dialog, 49);
    EXPECT_EQ(effects::effectCatalogue().size(), 72u);
}

TEST(EffectCatalogue, MenusLeadToTheirEntries)
{
    // Every effect item of the menu bar: its id's entry names the same item.
    std::map<int, const MenuItemSpec*> items;
    for (const MenuItemSpec& m : menuTable())
        if (m.send == MenuSend::Effect) {
            SCOPED_TRACE(m.caption);
            EXPECT_TRUE(items.emplace(m.effectId, &m).second) << "two items for " << m.effectId;
            const effects::EffectEntry* e = effects::findEffect(m.effectId);
            ASSERT_NE(e, nullptr);
            ASSERT_NE(e->menuArray, nullptr);
            EXPECT_EQ(std::string(e->menuArray), m.array);
            EXPECT_EQ(e->menuIndex, m.index);
            EXPECT_EQ(std::string(e->itemCaption), m.caption);
            EXPECT_EQ(std::string(e->shortcut), m.shortcut);
            EXPECT_EQ(e->itemVisible, m.visible);
        }
    // And every entry with an item is on the menus; 25 and 60..62 have none.
    std::vector<int> withoutItem;
    for (const effects::EffectEntry& e : effects::effectCatalogue()) {
        if (!e.menuArray) {
            withoutItem.push_back(e.id);
            EXPECT_EQ(e.kind, EffectKind::Dialog);
            continue;
        }
        EXPECT_TRUE(items.count(e.id)) << e.id;
    }
    EXPECT_EQ(withoutItem, (std::vector<int>{25, 60, 61, 62}));
}

TEST(EffectCatalogue, EveryEntryMakesALibraryCallOverItsWholeRange)
{
    for (const effects::EffectEntry& e : effects::effectCatalogue()) {
        SCOPED_TRACE(e.id);
        if (e.kind == EffectKind::AtOnce) {
            EXPECT_TRUE(effectCall(e.id, 0, 0, 0, 10, 10).has_value());
            continue;
        }
        EXPECT_NE(std::string(e.dialogCaption).find("Special Effects - ("), std::string::npos);
        EXPECT_GE(e.frame, 0);
        EXPECT_LE(e.frame, 2);
        // The canvas's top is the preview's width, at most the frame's 173.
        const int32_t max = e.maxIsPreviewWidth ? 173 : e.Max;
        // The dialog's controls take the range in the order the set-up
        // assigns it, and the start lies inside.
        EXPECT_LT(e.Min, max);
        EXPECT_GE(e.start, e.Min);
        EXPECT_LE(e.start, max);
        for (int32_t v : {int32_t(e.Min), int32_t(e.start), max})
            EXPECT_TRUE(effectCall(e.id, v, 0x80000005, 0xFFFFFF, 0, 0).has_value()) << v;
    }
}

} // namespace
