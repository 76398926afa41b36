#include "settings/app_profiles.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/text.h"
#include "support/memory_ini_files.h"

namespace v270 {
namespace {

AppProfileRule rule(AppMatch match, std::u16string target, int32_t profile) {
    return {match, std::move(target), profile};
}

TEST(AppProfileMatching, RulesCoverTheApplicationsTheyName) {
    using enum AppMatch;
    const AppProfileRule racerFolder = rule(Folder, u"C:\\Games\\Racer", 3);
    struct Case {
        const char* what;
        std::vector<AppProfileRule> rules;
        std::u16string path;
        std::optional<int32_t> expected;
    };
    const Case cases[] = {
        {"name", {rule(Name, u"game.exe", 2)}, u"D:\\Any\\Where\\game.exe", 2},
        {"name, other case", {rule(Name, u"Game.EXE", 2)}, u"d:\\x\\GAME.exe", 2},
        {"name, not a suffix", {rule(Name, u"game.exe", 2)}, u"C:\\x\\mygame.exe", std::nullopt},
        {"name with a folder is no name",
         {rule(Name, u"x\\game.exe", 2)},
         u"C:\\x\\game.exe",
         std::nullopt},
        {"non-ASCII case", {rule(Name, u"ÉDITEUR.EXE", 4)}, u"C:\\éditeur.exe", 4},
        {"Cyrillic case", {rule(Name, u"ИГРА.exe", 4)}, u"C:\\игра.exe", 4},
        {"path", {rule(Path, u"C:\\Tools\\viewer.exe", 5)}, u"C:\\Tools\\viewer.exe", 5},
        {"path, slashes and case",
         {rule(Path, u"c:/tools//VIEWER.exe", 5)},
         u"C:\\Tools\\viewer.exe",
         5},
        {"path elsewhere",
         {rule(Path, u"C:\\Tools\\viewer.exe", 5)},
         u"D:\\Tools\\viewer.exe",
         std::nullopt},
        {"relative path",
         {rule(Path, u"Tools\\viewer.exe", 5)},
         u"C:\\Tools\\viewer.exe",
         std::nullopt},
        {"network path",
         {rule(Path, u"\\\\server\\share\\a.exe", 1)},
         u"\\\\SERVER\\share\\A.exe",
         1},
        {"folder, at depth", {racerFolder}, u"C:\\Games\\Racer\\bin\\x64\\racer.exe", 3},
        {"folder, trailing separators",
         {rule(Folder, u"c:/games/racer//", 3)},
         u"C:\\Games\\Racer\\racer.exe",
         3},
        {"folder, not a component", {racerFolder}, u"C:\\Games\\Racer2\\racer.exe", std::nullopt},
        {"folder, itself", {racerFolder}, u"C:\\Games\\Racer", std::nullopt},
        {"drive root", {rule(Folder, u"E:\\", 1)}, u"E:\\a\\b.exe", 1},
        {"relative folder", {rule(Folder, u"Games", 3)}, u"C:\\Games\\x.exe", std::nullopt},
        {"empty targets",
         {rule(Folder, u"", 3), rule(Name, u"", 2), rule(Path, u"", 1)},
         u"C:\\Games\\x.exe",
         std::nullopt},
        {"no path", {rule(Name, u"x.exe", 2)}, u"", std::nullopt},
        // A launcher starts the game; the game's own executable comes to the front.
        {"folder covers the launched game",
         {racerFolder},
         u"C:\\Games\\Racer\\Game\\Binaries\\racer-win64-shipping.exe",
         3},
        {"the game's name is not its launcher's",
         {rule(Name, u"racer-win64-shipping.exe", 4)},
         u"C:\\Games\\Racer\\launcher.exe",
         std::nullopt},
        {"path before folder",
         {racerFolder, rule(Path, u"C:\\Games\\Racer\\racer.exe", 5)},
         u"C:\\Games\\Racer\\racer.exe",
         5},
        {"deeper folder before its parent",
         {rule(Folder, u"C:\\Games", 1), racerFolder, rule(Folder, u"C:\\", 2)},
         u"C:\\Games\\Racer\\racer.exe",
         3},
        {"folder before name",
         {rule(Name, u"racer.exe", 2), racerFolder},
         u"C:\\Games\\Racer\\racer.exe",
         3},
        {"the first of equals",
         {rule(Name, u"racer.exe", 2), rule(Name, u"RACER.EXE", 4)},
         u"C:\\racer.exe",
         2},
    };
    for (const Case& c : cases) {
        AppProfileSettings settings;
        settings.rules = c.rules;
        EXPECT_EQ(profileForApplication(settings, c.path), c.expected) << c.what;
    }
}

constexpr char kConfig[] = "config.ini";

class AppProfilesStorage : public testing::Test {
  protected:
    void put(std::string_view text) { files.put(kConfig, std::as_bytes(std::span(text))); }
    std::string text() const {
        const std::vector<std::byte> bytes = files.bytes(kConfig);
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    AppProfileSettings load() const { return loadAppProfiles(files, kConfig); }

    test::MemoryIniFiles files;
};

// Rules that are gone leave the file, and a second line of a key that would show through too.
TEST_F(AppProfilesStorage, TheSectionIsRewrittenAloneAndLoadsAsSaved) {
    put("; settings\r\n[Init]\r\nCurConfig = 3\r\n\r\n[AppProfiles]\r\n; my games\r\n"
        "Enabled=0\r\nRule1=name,2,old.exe\r\nRule9=name,4,gone.exe\r\nRule9=name,5,x.exe\r\n"
        "\r\n[Config1]\r\nK1=1\r\n");
    AppProfileSettings settings;
    settings.enabled = true;
    settings.fallbackProfile = 1;
    settings.rules = {rule(AppMatch::Folder, u"D:\\Games\\Racer, the sequel", 3),
                      rule(AppMatch::Name, u"editor.exe", 2),
                      rule(AppMatch::Path, u"C:\\Tools\\查看器.exe", 5)};
    ASSERT_TRUE(saveAppProfiles(files, kConfig, settings));
    EXPECT_EQ(load(), settings);
    EXPECT_EQ(text(),
              "; settings\r\n[Init]\r\nCurConfig = 3\r\n\r\n[AppProfiles]\r\n; my games\r\n"
              "Enabled=1\r\nRule1=folder,3,D:\\Games\\Racer, the sequel\r\nFallback=1\r\n"
              "Rule2=name,2,editor.exe\r\nRule3=path,5,C:\\Tools\\查看器.exe\r\n\r\n"
              "[Config1]\r\nK1=1\r\n");
}

TEST_F(AppProfilesStorage, AMissingOrDamagedSectionIsOffAndDamagedRulesAreLeftOut) {
    EXPECT_EQ(load(), AppProfileSettings{}) << "no file";
    put("[Init]\r\nCurConfig=1\r\n");
    EXPECT_EQ(load(), AppProfileSettings{}) << "no section";
    put("[AppProfiles]\r\nEnabled=yes\r\nFallback=9\r\n"
        "Rule1=name,2\r\nRule2=game,2,x.exe\r\nRule3=name,6,x.exe\r\nRule4=name,0,x.exe\r\n"
        "Rule5=name,2x,x.exe\r\nRule6=path,3,   \r\nRule7=name,-1,x.exe\r\nRule8\r\n"
        "Rule10= FOLDER , 4 , C:\\Games \r\nRule65=name,1,beyond.exe\r\n");
    AppProfileSettings expected;
    expected.rules = {rule(AppMatch::Folder, u"C:\\Games", 4)};
    EXPECT_EQ(load(), expected);
}

TEST(AppProfilesStorable, KeepsWhatALoadWouldGiveBack) {
    AppProfileSettings settings;
    settings.fallbackProfile = 7;
    settings.rules = {rule(AppMatch::Name, u"  a.exe\r\nRule2=name,1,b.exe", 1),
                      rule(AppMatch::Name, u"c.exe", 0), rule(AppMatch::Name, u" \t", 2),
                      rule(AppMatch::Path, u"C:\\e.exe", AppProfileRule::kPauseHostFunctions)};
    for (int i = 0; i < 70; ++i)
        settings.rules.push_back(rule(AppMatch::Name, u"d.exe", 3));
    const AppProfileSettings kept = storable(settings);
    EXPECT_EQ(kept.fallbackProfile, AppProfileSettings::kStay);
    ASSERT_EQ(kept.rules.size(), AppProfileSettings::kMaxRules);
    EXPECT_EQ(kept.rules[0], rule(AppMatch::Name, u"a.exe", 1));
    EXPECT_EQ(kept.rules[1],
              rule(AppMatch::Path, u"C:\\e.exe", AppProfileRule::kPauseHostFunctions));
    EXPECT_EQ(kept.rules[2], rule(AppMatch::Name, u"d.exe", 3));

    test::MemoryIniFiles files;
    ASSERT_TRUE(saveAppProfiles(files, kConfig, settings));
    EXPECT_EQ(loadAppProfiles(files, kConfig), kept);
}

}  // namespace
}  // namespace v270
