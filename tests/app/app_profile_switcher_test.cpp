#include "app/app_profile_switcher.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "actions/fakes/recording_services.h"
#include "support/fake_foreground_watcher.h"
#include "support/fake_one_shot_timer.h"
#include "support/memory_ini_files.h"
#include "support/recording_view_port.h"

namespace v270 {
namespace {

const std::map<std::string, std::u16string> kApplications = {
    {"game", u"C:\\Games\\Racer\\racer.exe"},  // folder rule, profile 3
    {"editor", u"C:\\Tools\\editor.exe"},      // name rule, profile 2
    {"browser", u"C:\\Web\\browser.exe"},      // no rule
    {"nameless", u""},                         // a process that would not tell its path
    {"shooter", u"D:\\Shooter\\shooter.exe"},  // name rule, host functions paused
};

class AppProfileSwitcherTest : public testing::Test {
  protected:
    explicit AppProfileSwitcherTest(std::string_view enabled = "1") {
        const std::string text =
            "[Init]\r\nCurConfig=1\r\n[AppProfiles]\r\nEnabled=" + std::string(enabled) +
            "\r\nRule1=folder,3,C:\\Games\\Racer\r\nRule2=name,2,editor.exe\r\n"
            "Rule3=name,pause,shooter.exe\r\n";
        files.put(config, std::as_bytes(std::span(text)));
        profiles.readStartupSettings();
        switcher.setAnnouncer([this](int32_t profile) { announced.push_back(profile); });
        switcher.start();
    }

    // Runs the steps, separated by spaces: an application to the front, "own" (the program's own
    // window in front), "settle" (the end of the settle time), "unplug" (the mouse gone), "stop"
    // (the program's end). Returns the profile of each switch made.
    std::vector<int32_t> run(const std::string& steps) {
        std::vector<int32_t> switches;
        std::istringstream words(steps);
        for (std::string step; words >> step;) {
            const size_t applies = device.calls().size();
            if (step == "own") {
                watcher.bringToFront(u"C:\\V270\\V270.exe", true);
            } else if (step == "settle") {
                timer.elapse();
            } else if (step == "unplug") {
                mouseThere = false;
            } else if (step == "stop") {
                switcher.stop();
            } else {
                watcher.bringToFront(kApplications.at(step));
            }
            if (device.calls().size() != applies)
                switches.push_back(profiles.currentConfig());
        }
        return switches;
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
        files, config, profiles, device, view, watcher, timer, [this] { return mouseThere; },
        [this](bool paused) { pauses.push_back(paused); }}};
    std::vector<int32_t> announced;
    std::vector<bool> pauses;
};

TEST_F(AppProfileSwitcherTest, SwitchesOnceTheForegroundSettlesAndNeverUnderTheUsersHands) {
    constexpr int32_t kStay = AppProfileSettings::kStay;
    struct Case {
        const char* what;
        int32_t fallback;
        const char* steps;
        std::vector<int32_t> switches;
    };
    const Case cases[] = {
        {"Alt+Tab through several: once, to the last", kStay, "editor browser game settle", {3}},
        {"back and forth", kStay, "game settle editor settle game settle", {3, 2, 3}},
        {"back before the time is up", kStay, "game settle editor game settle", {3}},
        {"no rule stays, dropping a pending switch",
         kStay,
         "game browser settle nameless settle",
         {}},
        {"own window in front drops a pending switch", 4, "game own settle", {}},
        {"no rule returns to the fallback",
         5,
         "browser settle game settle nameless settle",
         {5, 3, 5}},
        {"no mouse", kStay, "unplug game settle", {}},
        {"the program's end", 5, "game stop settle editor settle", {}},
    };
    for (const Case& c : cases) {
        switcher.setSettings({true, c.fallback, switcher.settings().rules});
        profiles.switchProfile(1);
        timer.cancel();  // what watching anew found in front
        mouseThere = true;
        announced.clear();
        const size_t appliesBefore = device.calls().size();
        EXPECT_EQ(run(c.steps), c.switches) << c.what;
        EXPECT_EQ(announced, c.switches) << c.what;
        std::vector<std::string> applies = device.calls();
        applies.erase(applies.begin(),
                      applies.begin() + static_cast<std::ptrdiff_t>(appliesBefore));
        EXPECT_EQ(applies, std::vector<std::string>(c.switches.size(), "apply from afar"))
            << c.what << ": the driver keeps working";
    }
    EXPECT_EQ(timer.lastDelay, AppProfileSwitcher::kSettleTime);
}

// A rule that pauses the host functions: at once, told once, no profile switch; whatever comes
// to the front next, the program's own window included, resumes them, as does the program's end.
TEST_F(AppProfileSwitcherTest, APauseRuleHoldsTheHostFunctionsWhileItsApplicationIsInFront) {
    int told = 0;
    switcher.setPauseAnnouncer([&] { ++told; });
    EXPECT_EQ(run("game settle shooter settle shooter"), std::vector<int32_t>{3});
    EXPECT_EQ(pauses, std::vector<bool>{true});
    EXPECT_TRUE(switcher.hostFunctionsPaused());
    EXPECT_EQ(run("own shooter browser settle shooter stop"), std::vector<int32_t>{});
    EXPECT_EQ(pauses, (std::vector<bool>{true, false, true, false, true, false}));
    EXPECT_EQ(told, 3);
    EXPECT_EQ(
        switcher.settings().rules.back(),
        (AppProfileRule{AppMatch::Name, u"shooter.exe", AppProfileRule::kPauseHostFunctions}));
}

TEST_F(AppProfileSwitcherTest, TheSettingsTurnWatchingOnAndOffAndAreSaved) {
    AppProfileSettings settings = switcher.settings();
    ASSERT_EQ(settings.rules.size(), 3u);
    settings.enabled = false;
    run("editor");
    EXPECT_TRUE(switcher.setSettings(settings));
    EXPECT_FALSE(watcher.watching());
    EXPECT_FALSE(timer.pending()) << "no switch decided under the old settings";
    EXPECT_EQ(loadAppProfiles(files, config), settings);

    // Turned on while the game is in front: the game gets its profile without another change.
    settings.enabled = true;
    settings.rules.push_back({AppMatch::Path, u"C:\\Web\\browser.exe", 4});
    run("game");
    EXPECT_TRUE(switcher.setSettings(settings));
    EXPECT_EQ(run("settle browser settle"), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(loadAppProfiles(files, config), settings);
}

class AppProfileSwitcherOffTest : public AppProfileSwitcherTest {
  protected:
    AppProfileSwitcherOffTest() : AppProfileSwitcherTest("0") {}
};

TEST_F(AppProfileSwitcherOffTest, OffInTheFileMeansNoWatching) {
    EXPECT_FALSE(watcher.watching());
    EXPECT_EQ(watcher.starts, 0);
}

}  // namespace
}  // namespace v270
