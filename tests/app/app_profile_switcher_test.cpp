#include "app/app_profile_switcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/fakes/recording_services.h"
#include "settings/text.h"
#include "support/fake_foreground_watcher.h"
#include "support/fake_one_shot_timer.h"
#include "support/memory_ini_files.h"
#include "support/recording_view_port.h"

namespace v270 {
namespace {

constexpr char16_t kGame[] = u"C:\\Games\\Racer\\racer.exe";
constexpr char16_t kEditor[] = u"C:\\Tools\\editor.exe";
constexpr char16_t kBrowser[] = u"C:\\Web\\browser.exe";
constexpr char16_t kOwnProgram[] = u"C:\\V270\\V270.exe";

class AppProfileSwitcherTest : public testing::Test {
  protected:
    AppProfileSwitcherTest() {
        const std::string_view text =
            "[Init]\r\nCurConfig=1\r\n[AppProfiles]\r\nEnabled=1\r\nFallback=0\r\n"
            "Rule1=folder,3,C:\\Games\\Racer\r\nRule2=name,2,editor.exe\r\n";
        files.put(config, std::as_bytes(std::span(text)));
        profiles.readStartupSettings();
        switcher.setAnnouncer([this](int32_t profile) { announced.push_back(profile); });
    }

    // The switches made: the profile each one made current.
    std::vector<int32_t> switches() const { return switched; }

    // Ends the settle time, if one is pending, and notes the switch it made, if any.
    void settle() {
        const size_t before = device.calls().size();
        timer.elapse();
        if (device.calls().size() != before)
            switched.push_back(profiles.currentConfig());
    }

    void setFallback(int32_t profile) {
        AppProfileSettings settings = switcher.settings();
        settings.fallbackProfile = profile;
        switcher.setSettings(settings);
    }

    const std::filesystem::path config = "config.ini";
    test::MemoryIniFiles files;
    ProfileStore profiles{files, config};
    test::RecordingDeviceCommands device;
    test::RecordingViewPort view;
    test::FakeForegroundWatcher watcher;
    test::FakeOneShotTimer timer;
    bool mouseThere = true;
    AppProfileSwitcher switcher{AppProfileSwitcherServices{
        files, config, profiles, device, view, watcher, timer, [this] { return mouseThere; }}};
    std::vector<int32_t> switched;
    std::vector<int32_t> announced;
};

TEST_F(AppProfileSwitcherTest, SwitchesOnceTheForegroundSettlesToTheLastWindowsProfile) {
    switcher.start();
    ASSERT_TRUE(watcher.watching());
    // Alt+Tab past the editor and the browser to the game.
    watcher.bringToFront(kEditor);
    watcher.bringToFront(kBrowser);
    watcher.bringToFront(kGame);
    EXPECT_EQ(timer.lastDelay, AppProfileSwitcher::kSettleTime);
    settle();
    EXPECT_EQ(switches(), std::vector<int32_t>{3});
    EXPECT_EQ(device.calls(), std::vector<std::string>{"apply"}) << "the next-profile road";
    EXPECT_GE(view.invalidations, 1);
    EXPECT_EQ(announced, std::vector<int32_t>{3});

    // Back to the editor, then the game again before the time is up: nothing to switch.
    watcher.bringToFront(kEditor);
    watcher.bringToFront(kGame);
    settle();
    // A window without a rule keeps the profile, and drops a switch still pending.
    watcher.bringToFront(kEditor);
    watcher.bringToFront(kBrowser);
    settle();
    EXPECT_EQ(switches(), std::vector<int32_t>{3});
    EXPECT_EQ(announced, std::vector<int32_t>{3});
    EXPECT_EQ(profiles.currentConfig(), 3);
}

TEST_F(AppProfileSwitcherTest, TheProgramsOwnWindowInFrontSwitchesNothing) {
    switcher.start();
    watcher.bringToFront(kGame);
    watcher.bringToFront(kOwnProgram, true);
    EXPECT_FALSE(timer.pending()) << "the switch to the game's profile is dropped";
    settle();
    setFallback(4);
    watcher.bringToFront(kOwnProgram, true);
    settle();
    EXPECT_EQ(switches(), std::vector<int32_t>{});
    EXPECT_EQ(profiles.currentConfig(), 1);
}

TEST_F(AppProfileSwitcherTest, AWindowWithoutARuleStaysOrReturnsToTheFallback) {
    switcher.start();
    watcher.bringToFront(kGame);
    settle();
    watcher.bringToFront(kBrowser);
    settle();
    setFallback(5);
    watcher.bringToFront(kBrowser);
    settle();
    watcher.bringToFront(u"");  // a process that would not tell its path
    settle();
    EXPECT_EQ(switches(), (std::vector<int32_t>{3, 5}));
}

TEST_F(AppProfileSwitcherTest, NoSwitchWithoutTheMouseOrAfterTheEnd) {
    switcher.start();
    mouseThere = false;
    watcher.bringToFront(kGame);
    settle();
    mouseThere = true;
    watcher.bringToFront(kEditor);
    switcher.stop();
    EXPECT_FALSE(watcher.watching());
    EXPECT_FALSE(timer.pending());
    settle();
    EXPECT_EQ(switches(), std::vector<int32_t>{});
    // The end is for good: new settings are saved, but nobody watches.
    switcher.setSettings(switcher.settings());
    EXPECT_FALSE(watcher.watching());
}

TEST_F(AppProfileSwitcherTest, TheSettingsTurnWatchingOnAndOffAndAreSaved) {
    switcher.start();
    EXPECT_EQ(switcher.settings().rules.size(), 2u);
    AppProfileSettings settings = switcher.settings();
    settings.enabled = false;
    watcher.bringToFront(kEditor);
    EXPECT_TRUE(switcher.setSettings(settings));
    EXPECT_FALSE(watcher.watching());
    EXPECT_FALSE(timer.pending()) << "no switch decided under the old settings";
    EXPECT_EQ(loadAppProfiles(files, config), settings);

    // Turned on while the game is in front: the game gets its profile at once.
    watcher.bringToFront(kGame);
    settings.enabled = true;
    settings.rules.push_back({AppMatch::Path, kBrowser, 4});
    EXPECT_TRUE(switcher.setSettings(settings));
    settle();
    watcher.bringToFront(kBrowser);
    settle();
    EXPECT_EQ(switches(), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(loadAppProfiles(files, config), settings);
}

TEST_F(AppProfileSwitcherTest, OffInTheFileMeansNoWatching) {
    files.put(config, std::as_bytes(std::span(std::string_view("[AppProfiles]\r\nEnabled=0\r\n"))));
    switcher.start();
    EXPECT_FALSE(watcher.watching());
    EXPECT_EQ(watcher.starts, 0);
}

}  // namespace
}  // namespace v270
