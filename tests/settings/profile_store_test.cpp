#include "settings/profile_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "settings/profile_format.h"
#include "settings/text.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

class ProfileStoreTest : public testing::Test {
  protected:
    TempFolder folder;
    IniFiles files;
    ProfileStore store{files, folder / "config.ini"};

    const std::filesystem::path& config() const { return store.configFilePath(); }
    void loadSection(std::string_view body, int slot = 1) {
        writeFile(config(), "[Config" + std::to_string(slot) + "]\r\n" + std::string(body));
        store.loadProfile(config(), slot, false);
    }
};

constexpr char kDefaultSection[] =
    "[Config1]\r\nK1=1\r\nK2=2\r\nK3=3\r\nK4=5\r\nK5=4\r\nK6=6\r\nDPI_LEVEL=0\r\n"
    "WHEEL_STATUS=0\r\nMACRO_MODE2=1\r\nDPI_SET1=1\r\nDPI_SET_EN1=1\r\nDPI_SET2=2\r\n"
    "DPI_SET_EN2=1\r\nDPI_SET3=4\r\nDPI_SET_EN3=1\r\nDPI_SET4=0\r\nDPI_SET_EN4=1\r\n"
    "LED_STATUS=0\r\nDPI_SPEED=4\r\nWHEEL_SPEED=2\r\nFIRE_TIME=50\r\n";

TEST_F(ProfileStoreTest, ResetShapedSectionHoldsTwentyOneLinesInOrder) {
    store.edit([](ConfigProfile& p) { p = builtInDefaultProfile(1); });
    EXPECT_TRUE(store.saveProfile(config(), 1));
    EXPECT_EQ(readFile(config()), kDefaultSection);
    EXPECT_EQ(files.replacements(), 1u) << "21 keys, one file replace";
}

TEST_F(ProfileStoreTest, RoundTripKeepsEveryFieldAndForeignKeys) {
    loadSection("K1=1\r\nK7=99\r\nK10=3\r\n");
    ConfigProfile edited = builtInDefaultProfile(0);
    edited.buttonFunction = {43, 1, 31, 5, 4, 17};
    edited.dpiLevel = 2;
    edited.ledStatus = 2;
    edited.fireTime = 300;
    store.edit([&](ConfigProfile& p) { p = edited; });
    store.saveProfile(config(), 1);
    const std::string text = readFile(config());
    EXPECT_NE(text.find("K7=99\r\nK10=3\r\n"), std::string::npos) << text;
    store.edit([](ConfigProfile& p) { p = ConfigProfile{}; });
    store.loadProfile(config(), 1, false);
    EXPECT_EQ(store.profile(), edited);
}

TEST_F(ProfileStoreTest, ValuesAreCutToTheirWidthAndFields) {
    loadSection(
        "DPI_SET_EN2=2\r\nFIRE_TIME=12345\r\nK1= 3 \r\nK2=x5\r\nDPI_SET3=3\r\n"
        "DPI_SET_EN1=000000001\r\nDPI_SET_EN3=0000000001\r\nDPI_SPEED=-1\r\n");
    const ConfigProfile p = store.profile();
    EXPECT_EQ(p.dpiSetEnabled[1], 1);
    EXPECT_EQ(p.fireTime, 300) << "1234, then held to 0..300";
    EXPECT_EQ(p.buttonFunction[0], 3);
    EXPECT_EQ(p.buttonFunction[1], 0);
    EXPECT_EQ(p.dpiSet[2], 3);
    EXPECT_EQ(dpiCellIdOf(2, p.dpiSet[2]), 73);
    EXPECT_EQ(p.dpiSetEnabled[0], 1) << "nine characters are read";
    EXPECT_EQ(p.dpiSetEnabled[2], 0) << "the tenth character is cut off";
    EXPECT_EQ(p.dpiSpeed, 9) << "-1 keeps its low 8 bits, 255, then is held to 9";

    store.saveProfile(config(), 1);
    EXPECT_NE(readFile(config()).find("DPI_SET_EN2=1\r\n"), std::string::npos);
}

TEST_F(ProfileStoreTest, OutOfRangeValuesCannotIndexPastATable) {
    loadSection(
        "DPI_LEVEL=7\r\nDPI_SET1=9\r\nLED_STATUS=300\r\nWHEEL_SPEED=12\r\nFIRE_TIME=-5\r\n");
    const ConfigProfile p = store.profile();
    EXPECT_EQ(p.dpiLevel, 3);
    EXPECT_EQ(p.dpiSet[0], 4);
    EXPECT_EQ(dpiCellIdOf(0, p.dpiSet[0]), 64);
    EXPECT_EQ(p.ledStatus, 3) << "300 keeps its low 8 bits, 44, then is held to 3";
    EXPECT_EQ(p.wheelSpeed, 9);
    EXPECT_EQ(p.fireTime, 0);
    EXPECT_EQ(p.dpiSetEnabled[3], 1) << "with no level enabled the active one is";
    EXPECT_EQ(p.dpiSetEnabled[0] + p.dpiSetEnabled[1] + p.dpiSetEnabled[2], 0);
}

// Playback takes every mode but 0 as hold mode; so must the stop on release.
TEST_F(ProfileStoreTest, AStrayMacroModeBecomesHoldMode) {
    for (const auto& [stored, loaded] : {std::pair{"2", 1}, std::pair{"-3", 1}, std::pair{"1", 1},
                                         std::pair{"0", 0}, std::pair{"x", 0}}) {
        loadSection(std::string("MACRO_MODE2=") + stored + "\r\n");
        EXPECT_EQ(store.profile().macroMode2, loaded) << stored;
    }
    loadSection("MACRO_MODE2=2\r\n");
    store.saveProfile(config(), 1);
    EXPECT_NE(readFile(config()).find("MACRO_MODE2=1\r\n"), std::string::npos);
}

TEST_F(ProfileStoreTest, ResetReadsTheFactorySectionOfTheLanguage) {
    writeFile(config(),
              "[CfgReset5]\r\nK1=25\r\n[CfgReset_EN5]\r\nK1=35\r\n[CfgReset3]\r\nK1=13\r\n");
    store.setEnglishUi(1);
    store.loadProfile(config(), 5, true);
    EXPECT_EQ(store.profile().buttonFunction[0], 35);
    store.loadProfile(config(), 3, true);
    EXPECT_EQ(store.profile().buttonFunction[0], 13);
    store.setEnglishUi(2);  // English on screen, but not exactly 1
    store.loadProfile(config(), 5, true);
    EXPECT_EQ(store.profile().buttonFunction[0], 25);
    store.setEnglishUi(0);
    store.loadProfile(config(), 5, true);
    EXPECT_EQ(store.profile().buttonFunction[0], 25);
}

TEST_F(ProfileStoreTest, StartupReadsSlotLanguageAndProfile) {
    writeFile(config(), "[Init]\r\nCurConfig=3\r\nVER_SEL=1\r\n[Config3]\r\nK1=40\r\n");
    store.readStartupSettings();
    EXPECT_EQ(store.currentConfig(), 3);
    EXPECT_EQ(store.englishUi(), 1);
    EXPECT_EQ(store.profile().buttonFunction[0], 40);
}

TEST_F(ProfileStoreTest, AMissingOrInvalidSlotSelectsProfileOne) {
    writeFile(config(), "[Config1]\r\nK1=2\r\n");
    store.readStartupSettings();
    EXPECT_EQ(store.currentConfig(), 1);
    EXPECT_EQ(store.englishUi(), 0);
    EXPECT_EQ(store.profile().buttonFunction[0], 2);
    store.setCurrentConfig(9);
    EXPECT_EQ(store.currentConfig(), 1);
}

// The next-profile function switches on the executor while the window applies, a DPI step on
// the executor saves its level while the window switches. Slot k keeps k as its pointer speed and
// (k - 1) % 4 as its DPI level; a save that took the slot before a switch and the working copy
// after it would write one profile's values over another's.
TEST_F(ProfileStoreTest, SavesDuringASwitchKeepEveryProfileInItsSlot) {
    const auto level = [](int slot) { return (slot - 1) % kDpiLevelCount; };
    std::string text;
    for (int slot = 1; slot <= kProfileCount; ++slot) {
        text += "[Config" + std::to_string(slot) + "]\r\nDPI_SPEED=" + std::to_string(slot) +
                "\r\nDPI_LEVEL=" + std::to_string(level(slot)) + "\r\n";
    }
    writeFile(config(), text);
    store.switchProfile(1);
    std::atomic<int> saves = 0;
    {
        std::jthread saver([&](std::stop_token stop) {
            for (; !stop.stop_requested(); ++saves) {
                store.saveForApply();
                store.saveCurrentDpiLevel();
            }
        });
        for (int slot = 1; saves.load() < 8; slot = slot % kProfileCount + 1)
            store.switchProfile(slot);
    }

    const IniDocument saved = files.load(config());
    for (int slot = 1; slot <= kProfileCount; ++slot) {
        const std::u16string section = u"Config" + utf8ToUtf16(std::to_string(slot));
        EXPECT_EQ(saved.read(section, u"DPI_SPEED", 5), utf8ToUtf16(std::to_string(slot)));
        EXPECT_EQ(saved.read(section, u"DPI_LEVEL", 5), utf8ToUtf16(std::to_string(level(slot))))
            << "slot " << slot;
    }
    EXPECT_EQ(store.profile().dpiSpeed, store.currentConfig());
}

TEST_F(ProfileStoreTest, LanguageKeepsItsLowEightBits) {
    writeFile(config(), "[Init]\r\nVER_SEL=257\r\n");
    EXPECT_EQ(store.readLanguage(config()), 1);
}

TEST_F(ProfileStoreTest, SaveDpiLevelWritesOnlyThatKey) {
    writeFile(config(), "[Config2]\r\nK1=1\r\nDPI_LEVEL=0\r\nFIRE_TIME=50\r\n");
    store.edit([](ConfigProfile& p) {
        p.dpiLevel = 2;
        p.fireTime = 100;
    });
    store.saveDpiLevel(config(), 2);
    EXPECT_EQ(readFile(config()), "[Config2]\r\nK1=1\r\nDPI_LEVEL=2\r\nFIRE_TIME=50\r\n");
}

TEST_F(ProfileStoreTest, ExportedEditsAreTheEditedCopyNotTheAppliedOne) {
    store.edit([](ConfigProfile& p) {
        p = builtInDefaultProfile(0);
        p.dpiSet[0] = 3;
        p.ledStatus = 2;
    });
    const auto exported = folder / "mine.ini";
    store.saveProfile(exported, 7);
    const std::string text = readFile(exported);
    EXPECT_EQ(text.rfind("[Config7]\r\n", 0), 0u);
    EXPECT_NE(text.find("DPI_SET1=3\r\n"), std::string::npos);
    EXPECT_NE(text.find("LED_STATUS=2\r\n"), std::string::npos);
}

}  // namespace
}  // namespace v270
