#include "ui/app_profiles_editor.h"

#include <gtest/gtest.h>

namespace v270 {
namespace {

TEST(AppProfilesEditorTest, TargetsOfAnExecutable) {
    struct Case {
        std::u16string_view path;
        AppMatch match;
        std::u16string_view target;
    };
    const Case cases[] = {
        {u"C:\\Games\\Hunt\\hunt.exe", AppMatch::Name, u"hunt.exe"},
        {u"C:\\Games\\Hunt\\hunt.exe", AppMatch::Path, u"C:\\Games\\Hunt\\hunt.exe"},
        {u"C:\\Games\\Hunt\\hunt.exe", AppMatch::Folder, u"C:\\Games\\Hunt"},
        {u"C:/Games/hunt.exe", AppMatch::Path, u"C:\\Games\\hunt.exe"},
        {u"C:\\hunt.exe", AppMatch::Folder, u"C:\\"},
        {u"\\\\server\\share\\hunt.exe", AppMatch::Folder, u"\\\\server\\share"},
        {u"hunt.exe", AppMatch::Name, u""},
        {u"C:\\Games\\", AppMatch::Name, u""},
        {u"", AppMatch::Folder, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(ruleTargetFor(c.path, c.match), c.target);
    }
}

TEST(AppProfilesEditorTest, AddingKeepsOneRulePerTargetAndTheListBounded) {
    AppProfilesEditor editor({});
    EXPECT_EQ(editor.addApplication(u"C:\\Games\\hunt.exe", AppMatch::Name, 2), 0u);
    EXPECT_EQ(editor.addApplication(u"C:\\Games\\hunt.exe", AppMatch::Folder, 3), 1u);
    // The same target in another case or with other separators is the same rule.
    EXPECT_EQ(editor.addApplication(u"d:/other/HUNT.EXE", AppMatch::Name, 9), 0u);
    EXPECT_EQ(editor.settings().rules[0].profile, 5);
    EXPECT_EQ(editor.addApplication(u"no folder.exe", AppMatch::Name, 1), std::nullopt);

    for (size_t i = editor.settings().rules.size(); i < AppProfileSettings::kMaxRules; ++i)
        ASSERT_TRUE(editor.addApplication(u"C:\\x\\app" + std::u16string(i, u'a') + u".exe",
                                          AppMatch::Name, 1));
    EXPECT_EQ(editor.addApplication(u"C:\\x\\one more.exe", AppMatch::Name, 1), std::nullopt);
    // A twin still takes its new profile when the list is full.
    EXPECT_EQ(editor.addApplication(u"C:\\Games\\hunt.exe", AppMatch::Name, 4), 0u);
    EXPECT_EQ(editor.settings().rules.size(), AppProfileSettings::kMaxRules);
}

TEST(AppProfilesEditorTest, EditsStayInRange) {
    AppProfilesEditor editor({});
    editor.addApplication(u"C:\\a\\a.exe", AppMatch::Name, 1);
    editor.addApplication(u"C:\\b\\b.exe", AppMatch::Name, 1);
    editor.setRuleProfile(1, 0);
    editor.setRuleProfile(7, 3);
    editor.removeRule(9);
    EXPECT_EQ(editor.settings().rules[1].profile, 1);
    editor.removeRule(0);
    ASSERT_EQ(editor.settings().rules.size(), 1u);
    EXPECT_EQ(editor.settings().rules[0].target, u"b.exe");

    editor.setFallback(AppProfileSettings::kStay);
    EXPECT_EQ(editor.settings().fallbackProfile, AppProfileSettings::kStay);
    editor.setFallback(12);
    EXPECT_EQ(editor.settings().fallbackProfile, 5);
}

}  // namespace
}  // namespace v270
