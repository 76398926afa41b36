#include "ui/keyboard_focus.h"

#include <gtest/gtest.h>

#include "ui/entry_names.h"
#include "ui/skin_indices.h"

namespace v270 {
namespace {

using Kind = FocusEntry::Kind;

// Every entry and control at a place of its own; main entry 19 (no action) and 58 have none.
SkinTables placedTables() {
    SkinTables tables;
    const auto place = [](auto& table, int32_t top) {
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = SkinItem{static_cast<int32_t>(i % 10) * 50,
                                top + static_cast<int32_t>(i / 10) * 20,
                                40,
                                15,
                                {}};
    };
    place(tables.mainItems, 0);
    place(tables.advancedItems, 300);
    place(tables.colourItems, 500);
    tables.mainItems[main_item::kApply] = {};  // a skin without an Apply entry
    tables.macroListRect = {10, 700, 100, 800};
    tables.stepListRect = {110, 700, 200, 800};
    tables.nameEditRect = {210, 700, 300, 720};
    tables.repeatEditRect = {};
    tables.functionNames[0] = u"Left Click";
    return tables;
}

TEST(KeyboardFocusTest, TabWalksThePageShownInReadingOrderAndWrapsBothWays) {
    const SkinTables tables = placedTables();
    const std::vector<FocusEntry> main = focusOrder(PAGE_MAIN, tables);
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(main.front(), (FocusEntry{Kind::Main, main_item::kMainTab}));
    EXPECT_EQ(main[8],
              (FocusEntry{Kind::Main, main_item::kFirstButtonLabel}));  // after 3 tabs, 5 profiles
    EXPECT_EQ(main.back(), (FocusEntry{Kind::Main, main_item::kClose}));
    EXPECT_EQ(std::count(main.begin(), main.end(), FocusEntry{Kind::Main, main_item::kApply}), 0);

    const std::vector<FocusEntry> advanced = focusOrder(PAGE_ADVANCED, tables);
    EXPECT_EQ(advanced[8],
              (FocusEntry{Kind::Control, static_cast<int32_t>(AdvancedControl::MacroList)}));
    EXPECT_EQ(std::count_if(advanced.begin(), advanced.end(),
                            [](const FocusEntry& e) { return !e.painted(); }),
              3);  // the repeat edit has no place
    const std::vector<FocusEntry> colour = focusOrder(PAGE_COLOUR, tables);
    EXPECT_EQ(colour[8], (FocusEntry{Kind::Colour, 0}));

    KeyboardFocus focus;
    EXPECT_FALSE(focus.markArea(tables));
    EXPECT_EQ(focus.move(PAGE_MAIN, tables, true), main.back());
    EXPECT_EQ(focus.move(PAGE_MAIN, tables, false), main.front());
    EXPECT_EQ(focus.markArea(tables), tables.mainItems[main_item::kMainTab].area());
    focus.hideMark();
    EXPECT_FALSE(focus.markArea(tables));
    // The focus stays where it was; the next Tab goes on from there.
    EXPECT_EQ(focus.move(PAGE_COLOUR, tables, false), colour[1]);
}

TEST(KeyboardFocusTest, EntriesAreNamedInTheInterfaceLanguageWithTheirRoleAndState) {
    const SkinTables tables = placedTables();
    FrameState state;
    state.profile = builtInDefaultProfile(0);  // level 2's value index is 2: 1600
    state.profile.buttonFunction[2] = 42;
    state.macroNames = {u"Copy", u"Macro 2"};
    state.currentConfig = 2;
    const FocusEntry cell{Kind::Main, main_item::kFirstDpiCell + 5 + 2};
    struct Expected {
        int32_t index;
        std::u16string english;
        std::u16string chinese;
        EntryRole role;
        bool selected;
    };
    const Expected expected[] = {
        {main_item::kFirstButtonLabel + 2, u"Button 3: Macro 2", u"按键 3：Macro 2",
         EntryRole::PushButton, false},
        {cell.index, u"DPI level 2: 1600", u"DPI 档位 2：1600", EntryRole::RadioButton, true},
        {main_item::kFirstProfile + 1, u"Profile 2", u"配置 2", EntryRole::RadioButton, true},
        {main_item::kMainTab, u"Buttons and DPI", u"按键与 DPI", EntryRole::PageTab, true},
        {main_item::kRevert, u"Cancel", u"取消", EntryRole::PushButton, false},
    };
    for (const bool english : {true, false}) {
        state.english = english;
        const std::vector<EntryDescription> entries = describeEntries(state, tables, cell);
        for (const Expected& e : expected) {
            const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& d) {
                return d.entry == FocusEntry{Kind::Main, e.index};
            });
            ASSERT_NE(found, entries.end()) << e.index;
            EXPECT_EQ(found->name, english ? e.english : e.chinese);
            EXPECT_EQ(found->role, e.role);
            EXPECT_EQ(found->selected, e.selected) << e.index;
            EXPECT_EQ(found->focused, found->entry == cell);
            EXPECT_EQ(found->area, focusArea(found->entry, tables));
        }
    }
    EXPECT_EQ(defaultActionName(false), u"按下");
}

}  // namespace
}  // namespace v270
