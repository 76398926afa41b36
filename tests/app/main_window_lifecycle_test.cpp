#include "app/main_window_lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "actions/fakes/recording_services.h"
#include "app/instance_request.h"
#include "app/program.h"
#include "app/script_request.h"
#include "device/device_fakes.h"
#include "device/fake_hid.h"
#include "platform/system_clock.h"
#include "settings/macro_format.h"
#include "support/fake_file_dialogs.h"
#include "support/fake_foreground_watcher.h"
#include "support/fake_one_shot_timer.h"
#include "support/faulty_file_system.h"
#include "support/recording_message_boxes.h"
#include "support/recording_notice_window.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"
#include "ui/profile_file_text.h"
#include "ui/skin_indices.h"
#include "ui/tray.h"
#include "ui/window_titles.h"

namespace v270 {
namespace {

using test::EventLog;
using test::FaultyFileSystem;
using test::readFile;
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

// Logs the plain pauses ("sleep N ms") and takes none of them; the waits of the worker threads
// are the system clock's, which a stop ends.
class LoggingClock final : public platform::Clock {
  public:
    explicit LoggingClock(EventLog& log) : log_(log) {}
    TimePoint now() const override { return system_->now(); }
    void sleepFor(std::chrono::microseconds duration) override {
        log_.add("sleep " + std::to_string(duration.count() / 1000) + " ms");
    }
    void sleepUntil(TimePoint) override {}
    bool waitUntil(TimePoint deadline, std::stop_token stop) override {
        return system_->waitUntil(deadline, std::move(stop));
    }

  private:
    EventLog& log_;
    const std::unique_ptr<platform::Clock> system_ = platform::createSystemClock();
};

// The whole program on fakes of the platform, with its real worker threads.
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

    // The log without repaints, which the banner's blinking adds at any moment.
    std::vector<std::string> events() const {
        std::vector<std::string> events = log.events();
        std::erase(events, "invalidate");
        return events;
    }
    // The lines of the log from the first that starts with `from`.
    std::vector<std::string> eventsFrom(const std::string& from) const {
        const auto all = events();
        auto start = std::find_if(all.begin(), all.end(),
                                  [&](const std::string& e) { return e.rfind(from, 0) == 0; });
        return std::vector<std::string>(start, all.end());
    }
    std::shared_ptr<test::FakeEndpoint> input() {
        return hid.endpoint(test::inputInterface().listing.path);
    }

    test::TempFolder folder;
    ProgramPaths paths = ProgramPaths::inFolder(folder.path());
    EventLog log;
    test::RecordingViewPort view{&log};
    test::RecordingMessageBoxes messages;
    test::FakeFileDialogs dialogs;
    test::FakeSystemSettings systemSettings{&log};
    LoggingInput keys{log};
    test::RecordingSystemActions systemActions;
    LoggingClock clock{log};
    test::FakeHidSystem hid{&log};
    test::FakeForegroundWatcher foreground;
    test::FakeOneShotTimer settleTimer;
    test::RecordingNoticeWindow notices;
    test::FaultyFileSystem disk;
    std::unique_ptr<Program> program = std::make_unique<Program>(
        paths, ProgramPlatform{view, messages, dialogs, systemSettings, keys, systemActions, clock,
                               hid, foreground, settleTimer, notices, disk});
    MainWindowLifecycle& lifecycle = program->lifecycle;
};

TEST_F(LifecycleTest, StartUpRunsInItsOrderAndAppliesTheProfile) {
    program->flags.pressPending = 1;
    program->flags.stopRequested = 1;
    ASSERT_TRUE(lifecycle.initialise());
    EXPECT_EQ(program->flags.pressPending, 0);
    EXPECT_EQ(program->flags.stopRequested, 0);
    EXPECT_TRUE(program->reader.running());
    EXPECT_TRUE(program->executor.running());
    const auto all = events();
    // The first frame shows before the search and the apply, and before what it does not need.
    const std::vector<std::string> start(all.begin(), all.begin() + 7);
    EXPECT_EQ(start,
              (std::vector<std::string>{"title VELKO V270 GAMING MOUSE", "shape", "show", "update",
                                        "menus en", "start completed", "sleep 5 ms"}));
    EXPECT_EQ(eventsFrom("sleep").front(), "sleep 5 ms");
    EXPECT_EQ(program->profiles.currentConfig(), 2);
    EXPECT_EQ(program->macros.filePath(), paths.exeFolder / "Macro_EN.dat");
    EXPECT_TRUE(messages.shown().empty());
    // The apply prompts for slot 6, the DPI cycle button of this profile.
    EXPECT_EQ(program->banner.driverWorking, 0);
    EXPECT_EQ(program->banner.startKeyNumber, 6);
    EXPECT_EQ(program->files.read(paths.configFilePath, u"Config6", u"K6", 5), u"6");
}

// A button that plays a macro is labelled with the macro's name on the main page too.
TEST_F(LifecycleTest, EveryPageOfAFrameNamesTheMacros) {
    program->macros.edit([](MacroTable& table) {
        table.macroCount = 2;
        table.macroSlots[0].setName(u"first");
        table.macroSlots[1].setName(u"second");
    });
    for (const Page page : {PAGE_MAIN, PAGE_ADVANCED, PAGE_COLOUR}) {
        program->currentPage = page;
        EXPECT_EQ(program->frame().macroNames, (std::vector<std::u16string>{u"first", u"second"}))
            << "page " << page;
    }
}

TEST_F(LifecycleTest, NoMouseShowsTheMessageOfTheLanguageAndCloses) {
    hid.interfaces.clear();
    writeFile(paths.configFilePath, "[Init]\r\nCurConfig=1\r\nVER_SEL=0\r\n");
    writeFile(paths.exeFolder / "Macro_CN.dat", "[Macros]\r\nmacroNum=0\r\n");
    EXPECT_FALSE(lifecycle.initialise());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0], u"请插入【VELKO V270】USB鼠标");
    EXPECT_TRUE(lifecycle.closed());
    const auto all = events();
    EXPECT_EQ(all.back(), "destroy");
    EXPECT_EQ(std::count(all.begin(), all.end(), "sleep 5 ms"), 0);
    EXPECT_FALSE(program->files.read(paths.configFilePath, u"Config6", u"K1", 5).size());

    program = std::make_unique<Program>(paths, program->platform);
    writeFile(paths.configFilePath, "[Init]\r\nVER_SEL=1\r\n");
    program->lifecycle.initialise();
    EXPECT_EQ(messages.shown().back(), u"Please plug-in【VELKO V270】USB Mouse");
}

TEST_F(LifecycleTest, AMissingLayoutFileEndsTheStartBeforeTheSearch) {
    std::filesystem::remove(paths.skinFolder / "INI_EN" / "skin_color_en.ini");
    EXPECT_FALSE(lifecycle.initialise());
    EXPECT_EQ(messages.shown(), std::vector<std::u16string>{u"找不到配置文件"});
    const auto calls = hid.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "enumerate"), 0);
    const auto all = events();
    EXPECT_EQ(std::count(all.begin(), all.end(), "destroy"), 1);
}

TEST_F(LifecycleTest, ClosePathReleasesAltSendsTheExitReportAndResetsTheSpeed) {
    ASSERT_TRUE(lifecycle.initialise());
    log.clear();
    lifecycle.closePath();
    lifecycle.closePath();
    std::vector<std::string> expected(6, "key 18 0 2");
    expected.insert(expected.end(), {"tray remove", "report 07 20 00 00 00 00 00 00 00", "speed?",
                                     "speed 10", "destroy"});
    EXPECT_EQ(events(), expected);
}

TEST_F(LifecycleTest, ClosePathSkipsTheSpeedWhenItCannotBeRead) {
    ASSERT_TRUE(lifecycle.initialise());
    systemSettings.speedReadable = false;
    log.clear();
    lifecycle.closePath();
    const auto all = events();
    EXPECT_EQ(std::count(all.begin(), all.end(), "speed 10"), 0);
    EXPECT_EQ(all.back(), "destroy");
}

TEST_F(LifecycleTest, TrayHidingShowingAndItsEvents) {
    hideToTray(view, true);
    EXPECT_EQ(events(),
              (std::vector<std::string>{"tray add VELKO V270 GAMING MOUSE", "minimize", "hide"}));
    log.clear();
    lifecycle.onTrayDoubleClick();
    EXPECT_EQ(events(), (std::vector<std::string>{"tray remove", "show", "restore"}));
    log.clear();
    lifecycle.onTrayMenuRequested();
    lifecycle.onShowWindowCommand();
    EXPECT_EQ(events(), (std::vector<std::string>{"tray menu", "show", "restore", "tray remove"}));
}

TEST_F(LifecycleTest, SystemCommandsAboutAndMinimise) {
    lifecycle.onAboutRequested();
    lifecycle.onMinimiseRequested();
    EXPECT_EQ(events(), (std::vector<std::string>{"about box", "minimize"}));
}

TEST_F(LifecycleTest, RemovingTheMouseEndsWithoutExitReport) {
    ASSERT_TRUE(lifecycle.initialise());
    log.clear();
    lifecycle.onDeviceNotice(
        {platform::DeviceNotice::Kind::Removal, u"\\\\?\\HID#VID_18F8&PID_0F99&MI_01&COL02#C"});
    EXPECT_EQ(events(), (std::vector<std::string>{"tray remove", "destroy"}));
    lifecycle.closePath();
    EXPECT_EQ(events().size(), 2u) << "the window is gone";
}

// Started at logon before the mouse (--tray), or with "Keep running without the mouse" turned
// on in an earlier run: no message box but the tray icon's tip; a window the user opened stays.
// Every plug gets the profile and its presses work; every unplug closes the handles, releases
// Alt and waits in the tray.
TEST_F(LifecycleTest, WithoutTheMouseTheProgramWaitsForItInTheTray) {
    writeFile(paths.configFilePath,
              "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n[Config2]\r\nK6=6\r\n"
              "DPI_SET1=1\r\nDPI_SET_EN1=1\r\nDPI_SET2=2\r\nDPI_SET_EN2=1\r\n");
    const std::string away = "tray add VELKO V270 GAMING MOUSE - the mouse is not connected";
    const platform::DeviceNotice::Kind kArrival = platform::DeviceNotice::Kind::Arrival;
    const platform::DeviceNotice::Kind kRemoval = platform::DeviceNotice::Kind::Removal;
    for (const bool fromTheMenu : {false, true}) {
        hid.interfaces.clear();
        log.clear();
        program = std::make_unique<Program>(paths, program->platform);
        if (fromTheMenu) {
            ASSERT_TRUE(program->lifecycle.setKeepRunningWithoutMouse(true));
            program = std::make_unique<Program>(paths, program->platform);
        }
        MainWindowLifecycle& waiting = program->lifecycle;
        ASSERT_TRUE(waiting.initialise(CommandLineOptions{std::nullopt, !fromTheMenu, false}));
        EXPECT_TRUE(messages.shown().empty());
        const std::vector<std::string> hidden{away, "minimize", "hide"};
        EXPECT_EQ(eventsFrom("tray add"), fromTheMenu ? std::vector<std::string>{away} : hidden);
        const auto started = events();
        EXPECT_EQ(std::count(started.begin(), started.end(), "show"), fromTheMenu);
        EXPECT_TRUE(waiting.waitingForMouse());
        EXPECT_TRUE(program->frame().banner.mouseAway);
        if (fromTheMenu) {
            // Closed to the tray and shown again while the mouse is away: the icon keeps telling.
            log.clear();
            waiting.hideToTray();
            waiting.onShowWindowCommand();
            EXPECT_EQ(eventsFrom("tray add"),
                      (std::vector<std::string>{away, "minimize", "hide", "show", "restore"}));
        }
        EXPECT_EQ(hid.calls().back(), "register") << "the arrival of a mouse never seen is heard";

        for (int plug = 0; plug < 2; ++plug) {
            hid.interfaces = {test::ordinaryMouseInterface(), test::inputInterface(),
                              test::featureInterface()};
            log.clear();
            waiting.onDeviceNotice({kArrival, test::inputInterface().listing.path});
            EXPECT_FALSE(waiting.waitingForMouse());
            EXPECT_FALSE(program->frame().banner.mouseAway);
            const auto all = events();
            EXPECT_EQ(all.front(), "sleep 5 ms");
            EXPECT_EQ(
                std::count_if(all.begin(), all.end(),
                              [](const std::string& e) { return e.starts_with("report 07 10"); }),
                6)
                << "the profile's buttons";
            // The window shown since the start loses the icon; one hidden keeps it.
            EXPECT_EQ(all.back(), fromTheMenu && plug == 0 ? "tray remove"
                                                           : "tray tip VELKO V270 GAMING MOUSE");
            const int32_t level = program->profiles.profile().dpiLevel;
            input()->deliver({0x06, 0x00});  // the start signal
            input()->deliver({0x06, 0xF6});  // slot 6 pressed: the next DPI level
            ASSERT_TRUE(test::eventually([&] {
                return program->profiles.profile().dpiLevel != level &&
                       program->flags.pressPending == 0;
            }));

            const int closed = hid.closedDevices();
            hid.interfaces.clear();
            log.clear();
            for (const auto& unplugged : {test::inputInterface(), test::featureInterface()})
                waiting.onDeviceNotice({kRemoval, unplugged.listing.path});
            EXPECT_EQ(hid.closedDevices(), closed + 2);
            std::vector<std::string> expected(6, "key 18 0 2");
            expected.insert(expected.end(), {away, "minimize", "hide"});
            EXPECT_EQ(events(), expected);
            EXPECT_FALSE(waiting.closed());
        }
    }
    EXPECT_EQ(view.destructions.load(), 0);
}

// A rule's switch and the command line's come while the user is in a game: the driver keeps
// working, and the very next press plays its function.
TEST_F(LifecycleTest, ASwitchFromTheCommandLineKeepsTheDriverWorking) {
    writeFile(paths.configFilePath,
              "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n[Config2]\r\nK6=6\r\n"
              "[Config4]\r\nK6=6\r\nDPI_SET1=1\r\nDPI_SET_EN1=1\r\nDPI_SET2=2\r\n"
              "DPI_SET_EN2=1\r\n");
    ASSERT_TRUE(lifecycle.initialise());
    input()->deliver({0x06, 0x00});  // the start signal
    ASSERT_TRUE(test::eventually([&] { return program->banner.driverWorking == 1; }));
    ASSERT_TRUE(lifecycle.onInstanceRequest(kInstanceRequestTag, encodeProfileRequest(4)));
    EXPECT_EQ(program->banner.driverWorking, 1);
    input()->deliver({0x06, 0xF6});  // slot 6 pressed: the next DPI level of profile 4
    ASSERT_TRUE(test::eventually([&] { return program->profiles.profile().dpiLevel == 1; }));
}

// Ending the program, by the close path or by the mouse's removal, saves macro edits not saved
// yet, a recording first ended.
TEST_F(LifecycleTest, EveryEndSavesTheMacroEditsAndEndsARecording) {
    for (const bool unplug : {false, true}) {
        program = std::make_unique<Program>(paths, program->platform);
        ASSERT_TRUE(program->lifecycle.initialise());
        program->macros.edit([&](MacroTable& table) {
            table.macroCount = 1;
            table.macroSlots[0].setName(unplug ? u"unplugged" : u"closed");
        });
        program->currentPage = PAGE_ADVANCED;
        program->advancedPage.enter();
        Hovers record;
        record.advanced = advanced_item::kRecord;
        program->advancedPage.press({0, 0}, record);
        ASSERT_TRUE(program->advancedPage.recording());
        if (unplug) {
            program->lifecycle.onDeviceNotice(
                {platform::DeviceNotice::Kind::Removal, test::featureInterface().listing.path});
        } else {
            program->lifecycle.closePath();
        }
        EXPECT_FALSE(program->advancedPage.recording());
        EXPECT_EQ(view.capturesHeld, 0);
        MacroStore saved(program->files, messages);
        saved.loadMacros(paths.exeFolder / "Macro_EN.dat");
        EXPECT_EQ(saved.table().macroSlots[0].nameText(), unplug ? u"unplugged" : u"closed");
    }
}

TEST_F(LifecycleTest, APowerEventResendsTheWholeProfile) {
    ASSERT_TRUE(lifecycle.initialise());
    log.clear();
    lifecycle.onPowerEvent();
    const auto all = events();
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const std::string& e) { return e.rfind("report 07 10", 0) == 0; }),
              6);
}

// A switch a rule asked for just before the close path is not made.
TEST_F(LifecycleTest, NoRuleSwitchesOnceTheProgramCloses) {
    writeFile(paths.configFilePath,
              "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n[AppProfiles]\r\n"
              "Enabled=1\r\nRule1=name,3,game.exe\r\n");
    ASSERT_TRUE(lifecycle.initialise());
    program->appProfiles.start();
    foreground.bringToFront(u"C:\\Games\\game.exe");
    ASSERT_TRUE(settleTimer.pending());
    lifecycle.closePath();
    settleTimer.elapse();
    EXPECT_EQ(program->profiles.currentConfig(), 2);
}

// The notice follows a press of the mouse's DPI button, never the window's own apply, and shows
// nothing while its setting is off.
TEST_F(LifecycleTest, AButtonsDpiChangeShowsTheNoticeAndTheApplyDoesNot) {
    // A save that fails under a game is told by the notice, never by a message box, even while
    // the notice is off.
    struct Case {
        bool enabled;
        bool saveFails;
        std::vector<std::u16string> shown;
    };
    for (const auto& [enabled, saveFails, expected] :
         {Case{true, false, {u"Profile 2 · 1600 DPI"}}, Case{false, false, {}},
          Case{false, true, {u"config.ini not saved: Sharing violation."}}}) {
        writeFile(paths.configFilePath,
                  std::string("[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n[Config2]\r\nK6=6\r\n"
                              "DPI_SET1=1\r\nDPI_SET_EN1=1\r\nDPI_SET2=2\r\nDPI_SET_EN2=1\r\n") +
                      (enabled ? "" : "[Notice]\r\nEnabled=0\r\n"));
        program = std::make_unique<Program>(paths, program->platform);
        ASSERT_TRUE(program->lifecycle.initialise());
        EXPECT_EQ(program->notice.enabled(), enabled);
        const auto before = static_cast<std::ptrdiff_t>(notices.shown().size());
        program->settings.apply();
        disk.failReplaces(paths.configFilePath, saveFails ? FaultyFileSystem::kAlways : 0);
        input()->deliver({0x06, 0x00});  // the start signal
        input()->deliver({0x06, 0xF6});  // slot 6 pressed: the next DPI level
        ASSERT_TRUE(test::eventually([&] {
            return program->profiles.profile().dpiLevel == 1 && program->flags.pressPending == 0;
        }));
        const std::vector<std::u16string> shown = notices.shown();
        EXPECT_EQ(std::vector(shown.begin() + before, shown.end()), expected);
        EXPECT_TRUE(messages.shown().empty());
    }
}

// A config.ini that a scanner holds at the start is waited for. One that stays unreadable is
// told once, the program runs with the factory settings, and nothing taken from that failed read
// is ever written over the file.
TEST_F(LifecycleTest, AConfigThatCannotBeReadIsWaitedForThenToldAndKept) {
    for (const int failures : {2, FaultyFileSystem::kAlways}) {
        program = std::make_unique<Program>(paths, program->platform);
        const std::string stored = readFile(paths.configFilePath);
        disk.failReads(paths.configFilePath, failures);
        ASSERT_TRUE(program->lifecycle.initialise());
        program->settings.apply();
        program->settings.apply();
        if (failures == 2) {
            EXPECT_EQ(program->profiles.currentConfig(), 2);
            EXPECT_EQ(program->profiles.profile().buttonFunction[5], 6);
            EXPECT_TRUE(messages.shown().empty());
            continue;
        }
        EXPECT_EQ(readFile(paths.configFilePath), stored);
        EXPECT_EQ(program->profiles.profile(), builtInDefaultProfile(0));
        ASSERT_EQ(messages.shown().size(), 1u);
        // The language was not read: the message is in both.
        const std::u16string file = pathToUtf16(paths.configFilePath);
        EXPECT_EQ(messages.shown()[0],
                  u"Could not read \"" + file +
                      u"\": Sharing violation.\nThe file is kept as it is: the program does not "
                      u"write it until it has read it.\n\n无法读取“" +
                      file +
                      u"”：Sharing violation.\n该文件保持原样：程序在读取它之前不会写入它。");

        // The rules are read again before they are edited, and saved once that succeeds.
        program->appProfiles.start();
        EXPECT_FALSE(program->appProfiles.setSettings(program->appProfiles.settings()));
        disk.failReads(paths.configFilePath, 0);
        program->appProfiles.readAgainWhenUnread();
        EXPECT_TRUE(program->appProfiles.setSettings(program->appProfiles.settings()));
    }
}

// Saves that fail are told once each, naming the file and the system's reason; macro edits that
// could not be saved wait for the next save.
TEST_F(LifecycleTest, FailedSavesAreToldOnceAndTheEditsAreKept) {
    ASSERT_TRUE(lifecycle.initialise());
    program->macros.edit([](MacroTable& table) {
        table.macroCount = 1;
        table.macroSlots[0].setName(u"kept");
    });
    const auto macroFile = paths.exeFolder / "Macro_EN.dat";
    disk.failReplaces(macroFile, FaultyFileSystem::kAlways, FaultyFileSystem::Outcome::Failed);
    program->settings.apply();
    program->settings.apply();
    EXPECT_TRUE(program->macros.unsavedEdits());
    dialogs.answer = folder / "no such folder" / "export.ini";
    program->settings.exportProfile();
    const std::vector<std::u16string> shown = messages.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0],
              u"Could not save \"" + pathToUtf16(macroFile) + u"\": There is not enough space.");
    EXPECT_EQ(shown[1].rfind(u"Could not save \"" + pathToUtf16(*dialogs.answer) + u"\": ", 0), 0u);

    disk.failReplaces(macroFile, 0);
    lifecycle.closePath();
    MacroStore saved(program->files, messages);
    saved.loadMacros(macroFile);
    EXPECT_EQ(saved.table().macroSlots[0].nameText(), u"kept");
}

// The step list first selects the last step of the macro that is current at the start.
TEST_F(LifecycleTest, TheStepListFirstSelectsTheLastStepOfTheCurrentMacro) {
    MacroStore stored(program->files, messages);
    stored.edit([](MacroTable& table) {
        table.macroCount = 1;
        table.macroSlots[0].stepCount = 3;
    });
    stored.saveMacros(paths.exeFolder / "Macro_EN.dat");
    ASSERT_TRUE(lifecycle.initialise());
    program->advancedPage.enter();
    EXPECT_EQ(view.controls.selectedStep, 4);
}

// Every way the program ends, with its worker threads busy: the reader blocked on the mouse,
// the banner blinking and, on the close path, a macro waiting out a long step. The program is
// then destroyed; its threads must all be joined by then (AddressSanitizer and Wine both see
// anything that runs on after).
enum class EndPath { Close, Unplug, NoMouse, MissingSkin };

class ProgramEndTest : public LifecycleTest, public testing::WithParamInterface<EndPath> {};

TEST_P(ProgramEndTest, NothingRunsOnFreedState) {
    const EndPath path = GetParam();
    // Slot 6 plays macro 0: A down, then the longest delay there is.
    writeFile(paths.configFilePath, "[Init]\r\nCurConfig=1\r\nVER_SEL=1\r\n[Config1]\r\nK6=41\r\n");
    MacroStore macro(program->files, messages);
    macro.edit([](MacroTable& table) {
        table.macroCount = 1;
        table.macroSlots[0].steps[0] = {0x41, kStepPress, 65535};
        table.macroSlots[0].steps[1] = {0x41, kStepRelease, 1};
        table.macroSlots[0].stepCount = 2;
    });
    macro.saveMacros(paths.exeFolder / "Macro_EN.dat");
    if (path == EndPath::NoMouse)
        hid.interfaces.clear();
    if (path == EndPath::MissingSkin)
        std::filesystem::remove(paths.skinFolder / "INI_EN" / "LBWarning_en.ini");

    const bool started = lifecycle.initialise();
    EXPECT_EQ(started, path == EndPath::Close || path == EndPath::Unplug);
    // A start that ends before its first frame has started no worker.
    EXPECT_EQ(program->reader.running(), path != EndPath::MissingSkin);
    EXPECT_EQ(program->executor.running(), path != EndPath::MissingSkin);
    if (path == EndPath::Close) {
        input()->deliver({0x06, 0x00});  // the start signal
        input()->deliver({0x06, 0xF6});  // slot 6 pressed: the macro starts
        ASSERT_TRUE(test::eventually([&] {
            const auto all = log.events();
            return std::find(all.begin(), all.end(), "key 65 0 0") != all.end();
        }));
        lifecycle.closePath();
    } else if (path == EndPath::Unplug) {
        ASSERT_TRUE(input()->waitForReads(1));
        lifecycle.onDeviceNotice(
            {platform::DeviceNotice::Kind::Removal, test::featureInterface().listing.path});
    }
    EXPECT_EQ(view.destructions.load(), 1);
    program.reset();

    const auto all = log.events();
    const auto pressed = std::count(all.begin(), all.end(), "key 65 0 0");
    EXPECT_EQ(std::count(all.begin(), all.end(), "key 65 0 2"), pressed)
        << "a macro cut short leaves no key down";
}

std::string endPathName(const testing::TestParamInfo<EndPath>& end) {
    static constexpr const char* kNames[] = {"Close", "Unplug", "NoMouse", "MissingSkin"};
    return kNames[static_cast<int>(end.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryEnd, ProgramEndTest,
                         testing::Values(EndPath::Close, EndPath::Unplug, EndPath::NoMouse,
                                         EndPath::MissingSkin),
                         endPathName);

}  // namespace
}  // namespace v270

namespace v270 {
namespace {

TEST_F(LifecycleTest, AStartWithACommandLineAppliesItsProfileAndHidesToTheTray) {
    ASSERT_TRUE(lifecycle.initialise(CommandLineOptions{4, true, false, false}));
    EXPECT_EQ(program->profiles.currentConfig(), 4);
    EXPECT_EQ(program->files.read(paths.configFilePath, u"Init", u"CurConfig", 5), u"4")
        << "the first apply sent profile 4";
    const auto all = events();
    EXPECT_EQ(std::vector<std::string>(all.end() - 3, all.end()),
              (std::vector<std::string>{"tray add VELKO V270 GAMING MOUSE", "minimize", "hide"}));
    EXPECT_EQ(std::count(all.begin(), all.end(), "show"), 0) << "nothing shows before the tray";
}

// The bytes of a request come from any process: only an exact profile request is taken.
TEST_F(LifecycleTest, ARunningCopyTakesOnlyExactProfileRequests) {
    std::vector<int32_t> announced;
    lifecycle.setProfileAnnouncer([&](int32_t profile) { announced.push_back(profile); });
    ASSERT_TRUE(lifecycle.initialise());
    const std::vector<uint8_t> good = encodeProfileRequest(4);
    const auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    struct Case {
        const char* what;
        uint64_t tag;
        std::vector<uint8_t> bytes;
    };
    const Case refused[] = {
        {"another tag", kInstanceRequestTag + 1, good},
        {"no bytes", kInstanceRequestTag, {}},
        {"cut short", kInstanceRequestTag, {good.begin(), good.end() - 1}},
        {"a byte more", kInstanceRequestTag,
         [&] {
             auto b = good;
             b.push_back(4);
             return b;
         }()},
        {"another magic", kInstanceRequestTag, with(0, 'X')},
        {"another format", kInstanceRequestTag, with(4, 2)},
        {"profile 0", kInstanceRequestTag, with(5, 0)},
        {"profile 6", kInstanceRequestTag, with(5, 6)},
        {"profile 255", kInstanceRequestTag, with(5, 255)},
    };
    log.clear();
    for (const Case& c : refused)
        EXPECT_FALSE(lifecycle.onInstanceRequest(c.tag, c.bytes)) << c.what;
    EXPECT_EQ(program->profiles.currentConfig(), 2);
    EXPECT_TRUE(events().empty()) << "nothing applied";

    EXPECT_TRUE(lifecycle.onInstanceRequest(kInstanceRequestTag, good));
    EXPECT_EQ(program->profiles.currentConfig(), 4);
    EXPECT_EQ(program->files.read(paths.configFilePath, u"Init", u"CurConfig", 5), u"4");
    EXPECT_EQ(announced, std::vector<int32_t>{4});

    lifecycle.closePath();
    EXPECT_FALSE(lifecycle.onInstanceRequest(kInstanceRequestTag, encodeProfileRequest(3)))
        << "the window is gone";
    EXPECT_EQ(announced.size(), 1u);
}

// Profile 2 plays macro "Fire" on button 2; profile 4 holds other settings.
class SharedProfileTest : public LifecycleTest {
  protected:
    void startWithSharedProfile() {
        MacroRecord fire;
        fire.setName(u"Fire");
        fire.stepCount = 1;
        fire.steps[0] = {'F', kStepPress, 30};
        writeFile(paths.exeFolder / "Macro_EN.dat",
                  "[Macros]\r\nmacroNum=1\r\n0=" + utf16ToUtf8(serializeMacro(fire)) + "\r\n");
        writeFile(
            paths.configFilePath,
            "[Init]\r\nCurConfig=2\r\nVER_SEL=1\r\n[Config2]\r\nK1=1\r\nK2=41\r\nDPI_LEVEL=1\r\n"
            "DPI_SET2=2\r\nDPI_SET_EN2=1\r\nLED_STATUS=2\r\n[Config4]\r\nK1=1\r\n");
        ASSERT_TRUE(lifecycle.initialise());
    }
};

// A script's requests, answered by the running copy: its status, and a profile exported and
// imported with its macro; bad requests and refused files change nothing.
TEST_F(SharedProfileTest, ScriptRequestsAreAnsweredByTheRunningCopy) {
    startWithSharedProfile();
    const auto ask = [&](const ScriptRequest& request) {
        const auto answer =
            program->scripts.answer(kInstanceRequestTag, encodeScriptRequest(request));
        EXPECT_TRUE(answer.has_value());
        return decodeScriptReply(kScriptReplyTag, answer.value_or(std::vector<uint8_t>{})).value();
    };

    const ScriptReply status = ask(StatusRequest{});
    ASSERT_EQ(status.outcome, ScriptOutcome::Done);
    EXPECT_EQ(statusJson(decodeDriverStatus(status.payload).value()),
              R"({"mouseConnected":true,"driverWorking":false,"profile":2,"dpiLevel":2,)"
              R"("dpi":1600,"ledMode":2,"version":")" V270_TEST_VERSION R"("})");

    const ScriptReply exported = ask(ExportRequest{2});
    ASSERT_EQ(exported.outcome, ScriptOutcome::Done);
    const auto file = std::as_bytes(std::span(exported.payload));
    const std::string config = readFile(paths.configFilePath);
    const std::string macros = readFile(paths.exeFolder / "Macro_EN.dat");
    for (const auto& [request, outcome] : std::vector<std::pair<ScriptRequest, ScriptOutcome>>{
             {ImportRequest{4, false, {file.begin(), file.end()}}, ScriptOutcome::ReplacesSettings},
             {ImportRequest{4, true, {file.begin(), file.end() - 30}}, ScriptOutcome::Damaged},
             {ImportRequest{4, true, {}}, ScriptOutcome::NotAProfileFile}}) {
        EXPECT_EQ(ask(request).outcome, outcome);
    }
    const std::vector<uint8_t> export2 = encodeScriptRequest(ExportRequest{2});
    for (const std::vector<uint8_t>& bad :
         {std::vector<uint8_t>{}, std::vector<uint8_t>(export2.begin(), export2.end() - 1)}) {
        EXPECT_FALSE(program->scripts.answer(kInstanceRequestTag, bad));
    }
    EXPECT_FALSE(program->scripts.answer(kScriptReplyTag, export2));
    EXPECT_EQ(readFile(paths.configFilePath), config) << "nothing written";
    EXPECT_EQ(readFile(paths.exeFolder / "Macro_EN.dat"), macros);

    EXPECT_EQ(ask(ImportRequest{4, true, {file.begin(), file.end()}}).outcome, ScriptOutcome::Done);
    EXPECT_EQ(program->profiles.storedProfile(4), program->profiles.storedProfile(2));
    EXPECT_EQ(program->macros.macroCount(), 1) << "the same macro is played, not copied";
    EXPECT_EQ(ask(ExportRequest{4}).payload, exported.payload);
}

}  // namespace
}  // namespace v270

namespace v270 {
namespace {

// Export profile 2 and import it into profile 4 through the dialogs: the import asks first,
// and a refused file or a "no" writes nothing.
TEST_F(SharedProfileTest, ProfileFilesThroughTheDialogsAskBeforeWriting) {
    startWithSharedProfile();
    const std::filesystem::path file = folder.path() / "shared.v270profile";
    dialogs.answer = file;
    program->profileFiles.exportProfile();
    ASSERT_TRUE(std::filesystem::exists(file));
    ASSERT_TRUE(program->profiles.switchProfile(4));
    const std::string config = readFile(paths.configFilePath);

    messages.answer = false;
    program->profileFiles.importProfile();
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::u16string question = messages.shown().back();
    EXPECT_TRUE(question.starts_with(u"Import \"shared.v270profile\" into profile 4?"));
    EXPECT_NE(question.find(u"Fire (already here)"), std::u16string::npos);
    EXPECT_EQ(readFile(paths.configFilePath), config);

    const std::string good = readFile(file);
    writeFile(file, good.substr(0, good.size() / 2));
    program->profileFiles.importProfile();
    EXPECT_EQ(messages.shown().back(),
              profileFileProblemText({ProfileFileFault::Damaged, u"Macros/0"}, true));
    EXPECT_EQ(readFile(paths.configFilePath), config);

    writeFile(file, good);
    messages.answer = true;
    program->profileFiles.importProfile();
    EXPECT_EQ(program->profiles.storedProfile(4), program->profiles.storedProfile(2));
    EXPECT_EQ(program->profiles.profile(), program->profiles.storedProfile(2)) << "and applied";
    EXPECT_EQ(dialogs.opened.back().filter, u"V270 profile (*.v270profile)|*.v270profile||");
}

}  // namespace
}  // namespace v270
