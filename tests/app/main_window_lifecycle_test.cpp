#include "app/main_window_lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/window_titles.h"
#include "device/device_fakes.h"
#include "device/fake_hid.h"
#include "recording_shell_window.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::EventLog;
using test::writeFile;

// Keys and mouse buttons sent, logged as "key VK SCAN FLAGS".
class LoggingInput final : public platform::SyntheticInput {
  public:
    explicit LoggingInput(EventLog& log) : log_(log) {}
    void keyEvent(uint8_t key, uint8_t scan, uint32_t flags) override {
        log_.add("key " + std::to_string(key) + " " + std::to_string(scan) + " " +
                 std::to_string(flags));
    }
    void mouseEvent(uint32_t flags) override { log_.add("mouse " + std::to_string(flags)); }
    uint32_t scanCodeOf(uint8_t) override { return 0; }

  private:
    EventLog& log_;
};

class LoggingClock final : public platform::Clock {
  public:
    explicit LoggingClock(EventLog& log) : log_(log) {}
    TimePoint now() const override { return {}; }
    void sleepFor(std::chrono::microseconds duration) override {
        log_.add("sleep " + std::to_string(duration.count() / 1000) + " ms");
    }
    void sleepUntil(TimePoint) override {}

  private:
    EventLog& log_;
};

class LifecycleTest : public testing::Test {
  protected:
    LifecycleTest() {
        writeFile(paths.configFilePath,
                  "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n[Config2]\r\nK6=6\r\n");
        std::filesystem::create_directories(paths.skinFolder / "INI_EN");
        std::filesystem::create_directories(paths.skinFolder / "INI_CN");
        for (const char* file :
             {"INI_EN/skin_main_en.ini", "INI_EN/skin_color_en.ini", "INI_EN/skin_advance_en.ini",
              "INI_EN/LBWarning_en.ini", "INI_CN/skin_main.ini", "INI_CN/skin_color.ini",
              "INI_CN/skin_advance.ini", "INI_CN/LBWarning.ini"}) {
            writeFile(paths.skinFolder / file, "[BUTTONPOS]\r\n0=label,1,1,5,5,,\r\n");
        }
        writeFile(paths.exeFolder / "Macro_EN.dat", "[Macros]\r\nmacroNum=0\r\n");
        hid.interfaces = {test::ordinaryMouseInterface(), test::inputInterface(),
                          test::featureInterface()};
    }

    // The lines of the log from the first that starts with `from`.
    std::vector<std::string> logFrom(const std::string& from) const {
        auto events = log.events();
        auto start = std::find_if(events.begin(), events.end(),
                                  [&](const std::string& e) { return e.rfind(from, 0) == 0; });
        return std::vector<std::string>(start, events.end());
    }

    test::TempFolder folder;
    ProgramPaths paths = ProgramPaths::inFolder(folder.path());
    EventLog log;
    IniFiles files;
    ProfileStore profiles{files, paths.configFilePath};
    test::RecordingMessageBoxes messages;
    MacroStore macros{files, messages};
    test::RecordingShellWindow window{log};
    SkinTables tables;
    SkinLoader skin{files,    messages, [this] { lifecycle.closePath(); }, paths.skinFolder,
                    profiles, tables};
    test::FakeHidSystem hid{&log};
    BannerState banner;
    HandOverFlags flags;
    test::FakeSystemSettings systemSettings{&log};
    DeviceLink device{hid, profiles, banner, window, systemSettings};
    LoggingInput input{log};
    LoggingClock clock{log};
    MainWindowLifecycle lifecycle{LifecycleServices{paths, profiles, macros, skin, device, flags,
                                                    banner, input, systemSettings, messages, clock,
                                                    window}};
};

TEST_F(LifecycleTest, StartUpRunsInItsOrderAndAppliesTheProfile) {
    flags.pressPending = 1;
    flags.stopRequested = 1;
    ASSERT_TRUE(lifecycle.initialise());
    EXPECT_EQ(flags.pressPending, 0);
    EXPECT_EQ(flags.stopRequested, 0);
    const auto events = log.events();
    const std::vector<std::string> start(events.begin(), events.begin() + 9);
    EXPECT_EQ(start, (std::vector<std::string>{"threads", "about item", "icon",
                                               "title VELKO V270 GAMING MOUSE", "controls", "fonts",
                                               "shape", "macro editing", "menus en"}));
    EXPECT_EQ(logFrom("sleep").front(), "sleep 5 ms");
    EXPECT_EQ(profiles.currentConfig(), 2);
    EXPECT_EQ(lifecycle.macroFilePath(), paths.exeFolder / "Macro_EN.dat");
    EXPECT_TRUE(messages.shown().empty());
    // The apply prompts for slot 6, the DPI cycle button of this profile.
    EXPECT_EQ(banner.driverWorking, 0);
    EXPECT_EQ(banner.startKeyNumber, 6);
    EXPECT_EQ(files.read(paths.configFilePath, u"Config6", u"K6", 5), u"6");
}

TEST_F(LifecycleTest, NoMouseShowsTheMessageOfTheLanguageAndCloses) {
    hid.interfaces.clear();
    writeFile(paths.configFilePath, "[Init]\r\nCurConfig=1\r\nVER_SEL=0\r\n");
    writeFile(paths.exeFolder / "Macro_CN.dat", "[Macros]\r\nmacroNum=0\r\n");
    EXPECT_FALSE(lifecycle.initialise());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0], u"请插入【VELKO V270】USB鼠标");
    EXPECT_TRUE(lifecycle.closed());
    const auto events = log.events();
    EXPECT_EQ(events.back(), "destroy");
    EXPECT_EQ(std::count(events.begin(), events.end(), "sleep 5 ms"), 0);
    EXPECT_FALSE(files.read(paths.configFilePath, u"Config6", u"K1", 5).size());

    MainWindowLifecycle english{LifecycleServices{paths, profiles, macros, skin, device, flags,
                                                  banner, input, systemSettings, messages, clock,
                                                  window}};
    profiles.setEnglishUi(1);
    writeFile(paths.configFilePath, "[Init]\r\nVER_SEL=1\r\n");
    english.initialise();
    EXPECT_EQ(messages.shown().back(), u"Please plug-in【VELKO V270】USB Mouse");
}

TEST_F(LifecycleTest, AMissingLayoutFileEndsTheStartBeforeTheSearch) {
    std::filesystem::remove(paths.skinFolder / "INI_EN" / "skin_color_en.ini");
    EXPECT_FALSE(lifecycle.initialise());
    EXPECT_EQ(messages.shown(), std::vector<std::u16string>{u"找不到配置文件"});
    const auto calls = hid.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "enumerate"), 0);
    const auto events = log.events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "destroy"), 1);
}

TEST_F(LifecycleTest, ClosePathReleasesAltSendsTheExitReportAndResetsTheSpeed) {
    ASSERT_TRUE(lifecycle.initialise());
    log.clear();
    lifecycle.closePath();
    lifecycle.closePath();
    std::vector<std::string> expected(6, "key 18 0 2");
    expected.insert(expected.end(), {"tray remove", "report 07 20 00 00 00 00 00 00 00", "speed?",
                                     "speed 10", "destroy"});
    EXPECT_EQ(log.events(), expected);
}

TEST_F(LifecycleTest, ClosePathSkipsTheSpeedWhenItCannotBeRead) {
    ASSERT_TRUE(lifecycle.initialise());
    systemSettings.speedReadable = false;
    log.clear();
    lifecycle.closePath();
    const auto events = log.events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "speed 10"), 0);
    EXPECT_EQ(events.back(), "destroy");
}

TEST_F(LifecycleTest, TrayHidingShowingAndItsCallback) {
    profiles.setEnglishUi(1);
    lifecycle.hideToTray();
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"tray add VELKO V270 GAMING MOUSE", "minimize", "hide"}));
    log.clear();
    EXPECT_EQ(lifecycle.onTrayCallback(99, 0x0203), 1) << "another icon is ignored";
    EXPECT_TRUE(log.events().empty());
    EXPECT_EQ(lifecycle.onTrayCallback(kTrayIconId, 0x0203), 0);
    EXPECT_EQ(log.events(), (std::vector<std::string>{"tray remove", "show", "restore"}));
    log.clear();
    lifecycle.onTrayCallback(kTrayIconId, 0x0205);
    lifecycle.onTrayCallback(kTrayIconId, 0x0200);  // a move does nothing
    lifecycle.showFromTray();
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"tray menu", "show", "restore", "tray remove"}));
}

TEST_F(LifecycleTest, SystemCommandsAboutAndMinimise) {
    EXPECT_TRUE(lifecycle.onSystemCommand(16));
    EXPECT_TRUE(lifecycle.onSystemCommand(0xF020 | 0x2));
    EXPECT_FALSE(lifecycle.onSystemCommand(0xF060));
    EXPECT_EQ(log.events(), (std::vector<std::string>{"about box", "minimize"}));
}

TEST_F(LifecycleTest, RemovingTheMouseEndsWithoutExitReport) {
    ASSERT_TRUE(lifecycle.initialise());
    log.clear();
    lifecycle.onDeviceChange({platform::kDeviceRemoveComplete, platform::kDeviceTypeInterface,
                              u"\\\\?\\HID#VID_18F8&PID_0F99&MI_01&COL02#C"});
    EXPECT_EQ(log.events(), (std::vector<std::string>{"tray remove", "destroy"}));
    lifecycle.closePath();
    EXPECT_EQ(log.events().size(), 2u) << "the window is gone";
}

TEST_F(LifecycleTest, APowerBroadcastResendsTheWholeProfile) {
    ASSERT_TRUE(lifecycle.initialise());
    log.clear();
    lifecycle.onPowerBroadcast();
    const auto events = log.events();
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.rfind("report 07 10", 0) == 0; }),
              6);
}

TEST(PreFilter, SwallowsEscapeEnterAndF10KeysOnly) {
    EXPECT_TRUE(MainWindowLifecycle::swallowedByPreFilter(0x0100, 0x1B));
    EXPECT_TRUE(MainWindowLifecycle::swallowedByPreFilter(0x0100, 0x0D));
    EXPECT_FALSE(MainWindowLifecycle::swallowedByPreFilter(0x0101, 0x0D)) << "the key-up goes on";
    EXPECT_TRUE(MainWindowLifecycle::swallowedByPreFilter(0x0104, 0x79));
    EXPECT_TRUE(MainWindowLifecycle::swallowedByPreFilter(0x0101, 0x79));
    EXPECT_FALSE(MainWindowLifecycle::swallowedByPreFilter(0x0102, 0x79)) << "a typed y";
    EXPECT_FALSE(MainWindowLifecycle::swallowedByPreFilter(0x0111, 0x79));
    EXPECT_FALSE(MainWindowLifecycle::swallowedByPreFilter(0x0100, 0x41));
}

}  // namespace
}  // namespace v270
