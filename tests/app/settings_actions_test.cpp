#include "app/settings_actions.h"

#include <gtest/gtest.h>

#include "settings/text.h"
#include "support/fake_file_dialogs.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"
#include "ui/skin_indices.h"
#include "ui/window_titles.h"

namespace v270 {
namespace {

using test::EventLog;
using test::readFile;
using test::writeFile;

// Logs "apply" with the fire time of the working copy at that moment.
class RecordingDevice final : public DeviceCommands {
  public:
    RecordingDevice(EventLog& log, const ProfileStore& profiles) : log_(log), profiles_(profiles) {}
    void ApplySettings() override {
        log_.add("apply fire " + std::to_string(profiles_.profile().fireTime));
    }
    void changeDpiLevel(int32_t) override {}
    void toggleLed() override {}
    int32_t dpiStep(int) const override { return 0; }
    void applyKeepingDriverWorking() override {
        log_.add("apply keeping fire " + std::to_string(profiles_.profile().fireTime));
    }
    bool mouseConnected() const override { return connected; }
    bool connected = true;

  private:
    EventLog& log_;
    const ProfileStore& profiles_;
};

// The close path, logged as the window's end.
class RecordingClose final : public ClosePath {
  public:
    explicit RecordingClose(EventLog& log) : log_(log) {}
    void closePath() override {
        closed = true;
        log_.add("destroy");
    }
    bool closed = false;

  private:
    EventLog& log_;
};

std::string section(int slot, int fire, const char* name = "Config") {
    return "[" + std::string(name) + std::to_string(slot) +
           "]\r\nK1=1\r\nK2=" + std::to_string(10 + slot) +
           "\r\nDPI_SET_EN1=1\r\nFIRE_TIME=" + std::to_string(fire) + "\r\n";
}

class SettingsActionsTest : public testing::Test {
  protected:
    SettingsActionsTest() {
        writeFile(paths.configFilePath,
                  "[Init]\r\nCurConfig=3\r\nVER_SEL=1\r\n" + section(3, 33) +
                      section(2, 202, "CfgReset") + section(3, 203, "CfgReset") +
                      section(4, 204, "CfgReset") + section(5, 205, "CfgReset") +
                      "[CfgReset_EN5]\r\nK1=1\r\nFIRE_TIME=215\r\n");
        for (const bool english : {true, false}) {
            const char* folderName = english ? "INI_EN" : "INI_CN";
            std::filesystem::create_directories(paths.skinFolder / folderName);
            const std::string label = english ? "English" : "Chinese";
            for (const char* file : english ? kEnglishFiles : kChineseFiles) {
                writeFile(paths.skinFolder / folderName / file,
                          "[BUTTONPOS]\r\n0=title,1,2,3,4," + label + ",\r\n");
            }
            writeMacros(paths.defaultMacroPath(english ? 1 : 0), {english ? u"def en" : u"def cn"});
            writeMacros(paths.macroFilePath(english ? 1 : 0),
                        {english ? u"mine en" : u"mine cn", u"second"});
        }
        profiles.readStartupSettings();
    }

    void writeMacros(const std::filesystem::path& file, std::vector<std::u16string> names) {
        MacroStore store(files, messages);
        store.edit([&](MacroTable& table) {
            table.macroCount = static_cast<int16_t>(names.size());
            for (size_t i = 0; i < names.size(); ++i)
                table.macroSlots[i].setName(names[i]);
        });
        store.saveMacros(file);
    }
    std::string read(const char* sectionName, const char* key) const {
        return utf16ToUtf8(
            files.read(paths.configFilePath, asciiToUtf16(sectionName), asciiToUtf16(key), 10));
    }
    std::u16string firstMacroName() const {
        return std::u16string(macros.table().macroSlots[0].nameText());
    }

    static constexpr const char* kEnglishFiles[] = {"skin_main_en.ini", "skin_color_en.ini",
                                                    "skin_advance_en.ini", "LBWarning_en.ini"};
    static constexpr const char* kChineseFiles[] = {"skin_main.ini", "skin_color.ini",
                                                    "skin_advance.ini", "LBWarning.ini"};

    test::TempFolder folder;
    ProgramPaths paths = ProgramPaths::inFolder(folder.path());
    EventLog log;
    IniFiles files;
    ProfileStore profiles{files, paths.configFilePath};
    test::RecordingMessageBoxes messages;
    MacroStore macros{files, messages};
    SkinTables tables;
    SkinLoader skin{files, messages, paths.skinFolder, profiles, tables};
    RecordingDevice device{log, profiles};
    test::FakeFileDialogs dialogs;
    test::RecordingViewPort view{&log};
    RecordingClose close{log};
    AdvancedPage advancedPage{
        AdvancedPageServices{profiles, macros, tables, paths, view, dialogs, messages}};
    SettingsActions actions{SettingsActionServices{paths, profiles, macros, skin, device, close,
                                                   advancedPage, dialogs, view, messages}};

    void showAdvancedPage() {
        advancedPage.enter();
        log.clear();
    }
    void showMainPage() {
        advancedPage.leave();
        log.clear();
    }
};

TEST_F(SettingsActionsTest, ResetGivesEveryProfileItsFactorySettingsAndAppliesTheCurrentOne) {
    profiles.edit([](ConfigProfile& p) { p.macroMode2 = 1; });
    actions.reset();
    EXPECT_EQ(log.events(), (std::vector<std::string>{"apply fire 203"}));
    EXPECT_EQ(profiles.currentConfig(), 3);
    EXPECT_EQ(profiles.profile().buttonFunction[1], 13);
    EXPECT_EQ(read("Config2", "FIRE_TIME"), "202");
    EXPECT_EQ(read("Config4", "FIRE_TIME"), "204");
    EXPECT_EQ(read("Config5", "FIRE_TIME"), "215") << "the English factory profile 5";

    // Profile 1 is written whole, in its order, with the macro mode of the working copy.
    const std::string config = readFile(paths.configFilePath);
    const size_t start = config.find("[Config1]");
    ASSERT_NE(start, std::string::npos);
    const std::string expected =
        "[Config1]\r\nK1=1\r\nK2=2\r\nK3=3\r\nK4=5\r\nK5=4\r\nK6=6\r\nDPI_LEVEL=0\r\n"
        "WHEEL_STATUS=0\r\nMACRO_MODE2=1\r\nDPI_SET1=1\r\nDPI_SET_EN1=1\r\nDPI_SET2=2\r\n"
        "DPI_SET_EN2=1\r\nDPI_SET3=4\r\nDPI_SET_EN3=1\r\nDPI_SET4=0\r\nDPI_SET_EN4=1\r\n"
        "LED_STATUS=0\r\nDPI_SPEED=4\r\nWHEEL_SPEED=2\r\nFIRE_TIME=50\r\n";
    EXPECT_EQ(config.substr(start, expected.size()), expected);

    // The default macros of the language replace the user's, in memory and in the file.
    EXPECT_EQ(firstMacroName(), u"def en");
    macros.loadMacros(paths.macroFilePath(1));
    EXPECT_EQ(firstMacroName(), u"def en");
    EXPECT_EQ(macros.macroCount(), 1);
}

// A macro recorded, assigned and applied is in its file: apply saves the macro edits too.
TEST_F(SettingsActionsTest, ApplySavesMacroEditsNotYetSaved) {
    macros.setFilePath(paths.macroFilePath(1));
    macros.loadMacros(macros.filePath());
    const uint64_t before = files.replacements();
    actions.apply();
    EXPECT_EQ(files.replacements(), before) << "nothing to save";
    macros.edit([](MacroTable& table) { table.macroSlots[0].setName(u"recorded"); });
    actions.apply();
    EXPECT_EQ(log.events(), (std::vector<std::string>{"apply fire 33", "apply fire 33"}));
    MacroStore saved(files, messages);
    saved.loadMacros(paths.macroFilePath(1));
    EXPECT_EQ(saved.table().macroSlots[0].nameText(), u"recorded");
    EXPECT_FALSE(macros.unsavedEdits());
}

// The program waits for the mouse: the profile is applied (saved) all the same, with no start
// prompt for a mouse that is not there, and the user is told that the mouse gets it once plugged
// in.
TEST_F(SettingsActionsTest, AnApplyWithTheMouseAwaySavesAndTellsWhenItArrives) {
    device.connected = false;
    actions.apply();
    profiles.setEnglishUi(0);
    actions.reset();
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"apply keeping fire 33", "apply keeping fire 203"}));
    EXPECT_EQ(messages.shown(),
              (std::vector<std::u16string>{
                  u"The settings are saved. The mouse is not connected: it gets them when it is "
                  u"plugged in.",
                  u"设置已保存。鼠标未连接，插入鼠标后即写入鼠标。"}));
}

TEST_F(SettingsActionsTest, ResetInChineseTakesTheOtherFactoryProfileFiveAndMacros) {
    profiles.setEnglishUi(0);
    profiles.setCurrentConfig(5);
    actions.reset();
    EXPECT_EQ(read("Config5", "FIRE_TIME"), "205");
    EXPECT_EQ(log.events(), (std::vector<std::string>{"apply fire 205"}));
    EXPECT_EQ(firstMacroName(), u"def cn");
    MacroStore english(files, messages);
    english.loadMacros(paths.macroFilePath(1));
    EXPECT_EQ(english.table().macroSlots[0].nameText(), u"mine en")
        << "the other language's macro file is not touched";
}

TEST_F(SettingsActionsTest, ResetWithoutDefaultMacrosReportsItAndEmptiesTheMacroFile) {
    std::filesystem::remove(paths.defaultMacroPath(1));
    showAdvancedPage();
    actions.reset();
    EXPECT_EQ(messages.shown(), (std::vector<std::u16string>{u"找不到配置文件"}));
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"refresh macro list", "invalidate", "apply fire 203"}));
    EXPECT_EQ(files.read(paths.macroFilePath(1), u"Macros", u"macroNum", 3), u"0");
}

TEST_F(SettingsActionsTest, AnExportedProfileImportsExactlyWithoutTouchingTheConfigFile) {
    const std::filesystem::path exported = folder / "mine.ini";
    profiles.edit([](ConfigProfile& p) {
        p.fireTime = 123;
        p.buttonFunction[3] = 43;
    });
    const ConfigProfile edited = profiles.profile();
    dialogs.answer = exported;
    actions.exportProfile();
    ASSERT_EQ(dialogs.saved.size(), 1u);
    const platform::FileDialogRequest& save = dialogs.saved[0];
    EXPECT_EQ(save.filter, u"All Files(*.ini)|*.ini||");
    EXPECT_EQ(save.defaultExtension, u"ini");
    EXPECT_EQ(save.initialFolder, paths.exeFolder);
    EXPECT_TRUE(save.overwritePrompt);
    EXPECT_EQ(files.read(exported, u"Config7", u"FIRE_TIME", 5), u"123");

    const std::string configBefore = readFile(paths.configFilePath);
    profiles.loadProfile(paths.configFilePath, 3, false);
    actions.importProfile();
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_TRUE(dialogs.opened[0].readOnly);
    EXPECT_TRUE(dialogs.opened[0].defaultExtension.empty());
    EXPECT_EQ(profiles.profile(), edited);
    EXPECT_EQ(readFile(paths.configFilePath), configBefore);
    EXPECT_EQ(log.events(), (std::vector<std::string>{"invalidate", "invalidate"}));

    // A second export rewrites the keys in place and keeps the file's other lines.
    writeFile(exported, readFile(exported) + "[Notes]\r\nkeep=1\r\n");
    profiles.edit([](ConfigProfile& p) { p.fireTime = 7; });
    actions.exportProfile();
    const std::string twice = readFile(exported);
    EXPECT_EQ(twice.find("FIRE_TIME=123"), std::string::npos);
    EXPECT_NE(twice.find("FIRE_TIME=7"), std::string::npos);
    EXPECT_NE(twice.find("keep=1"), std::string::npos);
    EXPECT_EQ(twice.find("[Config7]"), twice.rfind("[Config7]"));
}

TEST_F(SettingsActionsTest, CancelledDialogsChangeNothing) {
    const ConfigProfile before = profiles.profile();
    actions.importProfile();
    actions.exportProfile();
    EXPECT_EQ(profiles.profile(), before);
    EXPECT_TRUE(log.events().empty());
}

TEST_F(SettingsActionsTest, ImportingAFileWithoutTheSectionGivesAnAllZeroWorkingCopy) {
    const std::filesystem::path other = folder / "other.ini";
    writeFile(other, "[Config1]\r\nFIRE_TIME=9\r\n");
    dialogs.answer = other;
    actions.importProfile();
    EXPECT_EQ(profiles.profile().fireTime, 0);
    EXPECT_EQ(profiles.profile().buttonFunction, (std::array<int32_t, kButtonCount>{}));
}

TEST_F(SettingsActionsTest, SwitchingLanguageReloadsSkinMacrosMenusAndTitleButNotTheProfile) {
    const ConfigProfile before = profiles.profile();
    skin.LoadMainSkin();
    ASSERT_EQ(tables.mainItems[0].label, u"English");
    showAdvancedPage();
    actions.switchLanguage(0);
    EXPECT_EQ(profiles.englishUi(), 0);
    EXPECT_EQ(read("Init", "VER_SEL"), "0");
    EXPECT_EQ(tables.mainItems[0].label, u"Chinese");
    EXPECT_EQ(tables.warningItems[0].label, u"Chinese");
    EXPECT_EQ(macros.filePath(), paths.macroFilePath(0));
    EXPECT_EQ(firstMacroName(), u"mine cn");
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"refresh macro list", "invalidate", "invalidate",
                                        "menus cn", "title " + utf16ToUtf8(kChineseTitle)}));
    EXPECT_EQ(profiles.profile(), before);

    // The language in use is switched to all the same: unsaved macro edits are dropped.
    showMainPage();
    macros.edit([](MacroTable& table) { table.macroSlots[0].setName(u"unsaved"); });
    actions.switchLanguage(0);
    EXPECT_EQ(firstMacroName(), u"mine cn");
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"menus cn", "title " + utf16ToUtf8(kChineseTitle)}));

    actions.switchLanguage(1);
    EXPECT_EQ(read("Init", "VER_SEL"), "1");
    EXPECT_EQ(tables.mainItems[0].label, u"English");
    EXPECT_EQ(firstMacroName(), u"mine en");
}

// Both replace the macro table: a recording into it ends first, and the keyboard is let go.
TEST_F(SettingsActionsTest, ResetAndLanguageSwitchEndARecordingFirst) {
    macros.loadMacros(paths.macroFilePath(1));
    for (const bool reset : {true, false}) {
        showAdvancedPage();
        Hovers record;
        record.advanced = advanced_item::kRecord;
        advancedPage.press({0, 0}, record);
        ASSERT_TRUE(advancedPage.recording());
        reset ? actions.reset() : actions.switchLanguage(1);
        EXPECT_FALSE(advancedPage.recording());
        EXPECT_EQ(view.capturesHeld, 0);
        showMainPage();
    }
}

TEST_F(SettingsActionsTest, ALanguageWithoutItsSkinEndsTheProgramOnTheClosePath) {
    std::filesystem::remove_all(paths.skinFolder / "INI_CN");
    actions.switchLanguage(0);
    EXPECT_TRUE(close.closed);
    EXPECT_FALSE(messages.shown().empty());
    const auto events = log.events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "destroy"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "menus cn"), 0);
}

}  // namespace
}  // namespace v270
