#include "device/device_link.h"

#include <gtest/gtest.h>

#include "device/dpi_levels.h"
#include "device_fakes.h"
#include "fake_hid.h"
#include "settings/ini_files.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::EventLog;
using test::readFile;
using Events = std::vector<std::string>;

class DeviceLinkTest : public testing::Test {
  protected:
    test::TempFolder folder;
    IniFiles files;
    ProfileStore store{files, folder / "config.ini"};
    EventLog log;
    test::FakeHidSystem hid{&log};
    test::RecordingViewPort window{&log};
    test::CountingStartPrompt startPrompt{&log};
    test::FakeSystemSettings system{&log};
    BannerState banner;
    DeviceLink link{DeviceLinkServices{hid, store, banner, startPrompt, window, system}};

    void SetUp() override {
        hid.interfaces = {test::ordinaryMouseInterface(), test::inputInterface(),
                          test::featureInterface()};
        ASSERT_EQ(link.FindMouse(), 1);
        store.edit([](ConfigProfile& p) { p = builtInDefaultProfile(0); });
        log.clear();
    }

    void setProfile(const std::function<void(ConfigProfile&)>& change) {
        store.edit([&](ConfigProfile& p) { change(p); });
    }
    // The feature reports sent since the last call, each as hex.
    Events reports() {
        Events sent;
        for (const std::string& event : log.events()) {
            if (event.starts_with("report "))
                sent.push_back(event.substr(7));
        }
        log.clear();
        return sent;
    }
};

TEST_F(DeviceLinkTest, DefaultProfileIsWrittenInOrder) {
    link.ApplySettings();
    EXPECT_EQ(log.events(), (Events{
                                "report 07 10 01 01 00 00 00 00 00",
                                "report 07 10 02 02 00 00 00 00 00",
                                "report 07 10 03 03 00 00 00 00 00",
                                "report 07 10 05 05 00 00 00 00 00",  // slot 4 is button 5
                                "report 07 10 04 04 00 00 00 00 00",  // slot 5 is button 4
                                "report 07 10 06 1F 00 00 00 00 00",  // DPI cycle: host
                                "blink",
                                "report 07 11 00 00 00 00 00 00 00",
                                "report 07 09 00 90 00 00 00 00 00",
                                "invalidate",
                                "speed?",
                                "speed 8",
                                "lines?",
                                "lines 3",
                                "report 07 12 06 00 00 00 00 00 00",
                            }));
    EXPECT_EQ(banner.startKeyNumber.load(), 6);
    EXPECT_EQ(banner.driverWorking.load(), 0);
    EXPECT_EQ(link.dpiStep(5), 2);
}

TEST_F(DeviceLinkTest, OneReplaceOfConfigIniSavesEverythingBeforeAnythingIsSent) {
    store.setCurrentConfig(3);
    setProfile([](ConfigProfile& p) { p.fireTime = 104; });
    std::string atFirstReport;
    hid.endpoint(test::featureInterface().listing.path)->onReport = [&] {
        if (atFirstReport.empty())
            atFirstReport = readFile(folder / "config.ini");
    };
    const uint64_t before = files.replacements();
    link.ApplySettings();
    EXPECT_EQ(files.replacements(), before + 1);
    const size_t init = atFirstReport.find("CurConfig=3");
    const size_t applied = atFirstReport.find("[Config6]");
    const size_t current = atFirstReport.find("[Config3]");
    ASSERT_NE(current, std::string::npos) << atFirstReport;
    EXPECT_LT(init, applied);
    EXPECT_LT(applied, current) << "the last-applied slot first";
    EXPECT_NE(atFirstReport.find("FIRE_TIME=104", current), std::string::npos);
    EXPECT_EQ(reports().back(), "07 12 0D 00 00 00 00 00 00");
}

TEST_F(DeviceLinkTest, SlotsWithoutHardwareCodeAreNotSent) {
    setProfile([](ConfigProfile& p) { p.buttonFunction = {1, 7, 20, -1, 53, 25}; });
    link.ApplySettings();
    const Events sent = reports();
    EXPECT_EQ(sent.at(0), "07 10 01 01 00 00 00 00 00");
    EXPECT_EQ(sent.at(1), "07 10 06 11 00 00 00 00 00") << "slot 6: code 25 is 17";
    EXPECT_EQ(sent.at(2), "07 11 00 00 00 00 00 00 00");
    EXPECT_EQ(banner.driverWorking.load(), 1);
}

TEST_F(DeviceLinkTest, DpiStepsAreDerivedForEverySlot) {
    setProfile([](ConfigProfile& p) { p.buttonFunction = {1, 6, 17, 18, 19, 41}; });
    link.ApplySettings();
    EXPECT_EQ(link.dpiStep(0), 0);
    EXPECT_EQ(link.dpiStep(1), 2);
    EXPECT_EQ(link.dpiStep(2), 1);
    EXPECT_EQ(link.dpiStep(3), -1);
    EXPECT_EQ(link.dpiStep(4), 0);
    EXPECT_EQ(link.dpiStep(5), 0);
    EXPECT_EQ(link.dpiStep(6), 0) << "out of range";
    EXPECT_EQ(link.dpiStep(-1), 0);
}

TEST_F(DeviceLinkTest, FirstHostSlotRaisesThePromptAndOnlyOneBlinkThreadStarts) {
    setProfile([](ConfigProfile& p) { p.buttonFunction = {1, 31, 3, 40, 4, 5}; });
    link.ApplySettings();
    EXPECT_EQ(banner.driverWorking.load(), 0);
    EXPECT_EQ(banner.startKeyNumber.load(), 2);
    EXPECT_EQ(banner.startKeyVisible.load(), 1);
    EXPECT_EQ(banner.applyBlinkStarted.load(), 1);
    link.ApplySettings();
    EXPECT_EQ(startPrompt.raised.load(), 1) << "the prompt is still up";
    EXPECT_EQ(banner.startKeyNumber.load(), 2);
}

// A rule's switch or the command line's comes while the user is in a game: a working driver
// stays working, so the next press plays its function instead of being the start signal. A
// prompt already up asks for the key of the profile now sent. The window's own apply still
// raises it.
TEST_F(DeviceLinkTest, AnApplyFromAfarKeepsAWorkingDriverWorking) {
    setProfile([](ConfigProfile& p) { p.buttonFunction = {1, 2, 31, 5, 4, 6}; });
    link.applyKeepingDriverWorking();
    EXPECT_EQ(banner.driverWorking.load(), 1);
    EXPECT_EQ(startPrompt.raised.load(), 0);
    EXPECT_EQ(reports()[2], "07 10 03 1F 00 00 00 00 00") << "the profile is sent all the same";

    banner.driverWorking = 0;
    link.applyKeepingDriverWorking();
    EXPECT_EQ(banner.driverWorking.load(), 0);
    EXPECT_EQ(banner.startKeyNumber.load(), 3);
    EXPECT_EQ(startPrompt.raised.load(), 1);

    banner.driverWorking = 1;
    link.ApplySettings();
    EXPECT_EQ(banner.driverWorking.load(), 0);
}

TEST_F(DeviceLinkTest, MouseFunctionsOnlyLeaveTheDriverWorking) {
    banner.driverWorking = 0;
    setProfile([](ConfigProfile& p) { p.buttonFunction = {1, 2, 3, 5, 4, 11}; });
    link.ApplySettings();
    EXPECT_EQ(banner.driverWorking.load(), 1);
    EXPECT_EQ(startPrompt.raised.load(), 0);
}

TEST_F(DeviceLinkTest, TheMouseStateFollowsOnlyAcceptedDpiAndLedReports) {
    EXPECT_FALSE(link.mouseState().applied);
    setProfile([](ConfigProfile& p) {
        p.dpiLevel = 1;
        p.dpiSet = {0, 2, 0, 0};
        p.ledStatus = 2;
    });
    link.ApplySettings();
    EXPECT_EQ(reports().at(7), "07 09 01 A2 00 00 00 00 00");
    MouseState mouse = link.mouseState();
    EXPECT_TRUE(mouse.applied);
    EXPECT_EQ(mouse.appliedDpiSet, (std::array<uint8_t, 4>{0, 2, 0, 0}));
    EXPECT_EQ(mouse.appliedLedMode, 2);

    // A profile loaded but not applied, or an apply the mouse refused, changes nothing there.
    setProfile([](ConfigProfile& p) {
        p.dpiSet = {4, 4, 4, 4};
        p.ledStatus = 1;
    });
    EXPECT_EQ(link.mouseState(), mouse);
    hid.endpoint(test::featureInterface().listing.path)->failSends(true);
    link.ApplySettings();
    EXPECT_EQ(link.mouseState(), mouse);
}

TEST_F(DeviceLinkTest, AStoredLevelOutsideTheFourIsHeldToThem) {
    setProfile([](ConfigProfile& p) { p.dpiLevel = 7; });
    link.ApplySettings();
    EXPECT_EQ(reports().at(7), "07 09 03 80 00 00 00 00 00");
    setProfile([](ConfigProfile& p) { p.dpiLevel = -2; });
    link.ApplySettings();
    EXPECT_EQ(reports().at(7), "07 09 00 90 00 00 00 00 00") << "dpiSet[0] is 1";
}

TEST_F(DeviceLinkTest, WindowsSettingsFollowTheTables) {
    setProfile([](ConfigProfile& p) {
        p.dpiSpeed = 9;
        p.wheelSpeed = 0;
    });
    link.ApplySettings();
    EXPECT_EQ(system.speed, 18);
    EXPECT_EQ(system.lines, 1u);
    EXPECT_EQ(pointerSpeedOf(0), 1);
    EXPECT_EQ(pointerSpeedOf(4), 8);
    EXPECT_EQ(pointerSpeedOf(200), 18);
}

TEST_F(DeviceLinkTest, AFailedReadSkipsOnlyItsSetting) {
    system.speedReadable = false;
    link.ApplySettings();
    const Events events = log.events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "speed 8"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "lines 3"), 1);
    system.speedReadable = true;
    system.linesReadable = false;
    log.clear();
    link.ApplySettings();
    const Events second = log.events();
    EXPECT_EQ(std::count(second.begin(), second.end(), "speed 8"), 1);
    EXPECT_EQ(std::count(second.begin(), second.end(), "lines 3"), 0);
}

TEST_F(DeviceLinkTest, RefusedReportsDoNotStopTheSequence) {
    hid.endpoint(test::featureInterface().listing.path)->failSends(true);
    link.ApplySettings();
    EXPECT_EQ(reports().size(), 9u);
    EXPECT_EQ(system.speed, 8);
    EXPECT_NE(readFile(folder / "config.ini").find("[Config1]"), std::string::npos);
}

TEST_F(DeviceLinkTest, ExitReportGoesOnlyToAnOpenInterface) {
    link.sendExitReport();
    EXPECT_EQ(reports(), (Events{"07 20 00 00 00 00 00 00 00"}));

    auto broken = test::featureInterface();
    broken.openFails = true;
    hid.interfaces = {broken};
    link.FindMouse();
    link.sendExitReport();
    EXPECT_TRUE(reports().empty());
}

TEST_F(DeviceLinkTest, WithoutAMouseTheApplyStillSavesAndSetsWindows) {
    test::FakeHidSystem empty;
    DeviceLink absent{DeviceLinkServices{empty, store, banner, startPrompt, window, system}};
    absent.ApplySettings();
    absent.sendExitReport();
    EXPECT_TRUE(reports().empty());
    EXPECT_EQ(system.speed, 8);
    EXPECT_NE(readFile(folder / "config.ini").find("[Config1]"), std::string::npos);
}

TEST_F(DeviceLinkTest, AnApplyAskedForDuringAnApplyRunsRightAfterIt) {
    // The pointer speed change waits for every window, the UI thread's too; an apply asked for
    // from there must not wait for the running one.
    int nested = 0;
    system.onSetPointerSpeed = [&] {
        if (nested++ == 0) {
            link.ApplySettings();
            log.add("asked");
        }
    };
    link.ApplySettings();
    const Events events = log.events();
    const auto asked = std::find(events.begin(), events.end(), "asked");
    ASSERT_NE(asked, events.end());
    EXPECT_EQ(*(asked + 1), "lines?") << "the first apply went on at once";
    EXPECT_EQ(std::count(events.begin(), events.end(), "report 07 12 06 00 00 00 00 00 00"), 2);
    EXPECT_EQ(std::count(events.begin(), events.end(), "report 07 10 01 01 00 00 00 00 00"), 2);
    EXPECT_EQ(events.back(), "report 07 12 06 00 00 00 00 00 00");
    EXPECT_EQ(std::count(events.begin(), asked, "report 07 12 06 00 00 00 00 00 00"), 0)
        << "the second apply began only after the first had ended";
    system.onSetPointerSpeed = nullptr;
    log.clear();
    link.ApplySettings();
    EXPECT_EQ(reports().size(), 9u) << "and the next apply runs once";
}

class DpiStepTest : public DeviceLinkTest {
  protected:
    void SetUp() override {
        DeviceLinkTest::SetUp();
        store.setCurrentConfig(2);
        applied(0);
    }
    // The mouse holds DPI codes 1, 2, 3, 4 and `ledMode`; the working copy is edited since.
    void applied(uint8_t ledMode) {
        setProfile([&](ConfigProfile& p) {
            p.dpiSet = {1, 2, 3, 4};
            p.ledStatus = ledMode;
        });
        link.ApplySettings();
        setProfile([](ConfigProfile& p) {
            p.dpiSet = {0, 0, 0, 0};  // edited, not applied: must not reach the mouse
            p.ledStatus = 0;
        });
        log.clear();
        window.invalidations = 0;
    }
    Events stepFrom(int32_t level, int32_t step) {
        setProfile([&](ConfigProfile& p) { p.dpiLevel = level; });
        link.changeDpiLevel(step);
        return reports();
    }
};

TEST_F(DpiStepTest, EdgesStillSendTheReport) {
    EXPECT_EQ(stepFrom(3, 1), (Events{"07 09 03 C0 00 00 00 00 00"}));
    EXPECT_EQ(stepFrom(0, -1), (Events{"07 09 00 90 00 00 00 00 00"}));
    EXPECT_EQ(stepFrom(1, 1), (Events{"07 09 02 B0 00 00 00 00 00"}));
    EXPECT_EQ(store.profile().dpiLevel, 2);
    EXPECT_EQ(window.invalidations.load(), 3);
}

TEST_F(DpiStepTest, TheLevelIsSavedUnderTheCurrentSlot) {
    stepFrom(3, 1);
    const std::string config = readFile(folder / "config.ini");
    EXPECT_NE(config.find("[Config2]"), std::string::npos) << config;
    EXPECT_NE(config.find("DPI_LEVEL=3"), std::string::npos) << config;
}

TEST_F(DpiStepTest, StepsSkipDisabledLevels) {
    const std::array<uint8_t, 4> zeroAndTwo = {1, 0, 1, 0};
    EXPECT_EQ(nextDpiLevel(2, 2, zeroAndTwo), 0);
    EXPECT_EQ(nextDpiLevel(0, 2, zeroAndTwo), 2);
    EXPECT_EQ(nextDpiLevel(2, -1, zeroAndTwo), 0);
    EXPECT_EQ(nextDpiLevel(0, 1, zeroAndTwo), 2);
    EXPECT_EQ(nextDpiLevel(2, 1, zeroAndTwo), 2) << "none above";
    const std::array<uint8_t, 4> onlyOne = {0, 1, 0, 0};
    EXPECT_EQ(nextDpiLevel(1, 2, onlyOne), 1);
    EXPECT_EQ(nextDpiLevel(0, 2, std::array<uint8_t, 4>{}), 0) << "none enabled ends";
    EXPECT_EQ(nextDpiLevel(3, 2, std::array<uint8_t, 4>{1, 1, 1, 1}), 0) << "wraps";
    EXPECT_EQ(nextDpiLevel(9, 0, zeroAndTwo), 3) << "held to 0..3";
}

TEST_F(DpiStepTest, CyclingWithOnlyTheCurrentLevelSendsItAgain) {
    setProfile([](ConfigProfile& p) { p.dpiSetEnabled = {0, 1, 0, 0}; });
    EXPECT_EQ(stepFrom(1, 2), (Events{"07 09 01 A0 00 00 00 00 00"}));
}

TEST_F(DpiStepTest, LedOnOffSwitchesToModeThreeAndBack) {
    applied(1);
    setProfile([](ConfigProfile& p) { p.dpiLevel = 1; });
    link.toggleLed();
    EXPECT_EQ(reports(), (Events{"07 09 01 A3 00 00 00 00 00"}));
    EXPECT_EQ(link.mouseState().effectiveLedMode, 3);
    EXPECT_EQ(stepFrom(1, 1), (Events{"07 09 02 B3 00 00 00 00 00"})) << "DPI keeps mode 3";
    link.toggleLed();
    EXPECT_EQ(reports(), (Events{"07 09 02 B1 00 00 00 00 00"}));
    EXPECT_EQ(stepFrom(2, -1), (Events{"07 09 01 A1 00 00 00 00 00"}));
    const std::string config = readFile(folder / "config.ini");
    EXPECT_NE(config.find("[Config2]"), std::string::npos);
    EXPECT_EQ(config.find("LED_STATUS=0"), std::string::npos)
        << "nothing is saved by the LED function";
}

TEST_F(DpiStepTest, ARefusedLedSwitchIsTriedAgainByTheNextPress) {
    hid.endpoint(test::featureInterface().listing.path)->failSends(true);
    link.toggleLed();
    EXPECT_EQ(link.mouseState().effectiveLedMode, 0);
    hid.endpoint(test::featureInterface().listing.path)->failSends(false);
    link.toggleLed();
    EXPECT_EQ(reports().back(), "07 09 00 93 00 00 00 00 00");
    EXPECT_EQ(link.mouseState().effectiveLedMode, 3);
}

}  // namespace
}  // namespace v270
