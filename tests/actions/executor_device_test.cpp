// The executor against the real device link over an in-process HID: what a DPI, LED or
// next-profile press sends to the mouse.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "actions/action_executor.h"
#include "device/device_link.h"
#include "device_fakes.h"
#include "fake_hid.h"
#include "fakes/fake_clock.h"
#include "fakes/recording_input.h"
#include "fakes/recording_services.h"
#include "settings/function_codes.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using testing::ElementsAre;

constexpr uint8_t kDpiUpPress = 0xF2;        // slot 2
constexpr uint8_t kDpiDownPress = 0xF3;      // slot 3
constexpr uint8_t kLedPress = 0xF5;          // slot 4, the mouse's button 5
constexpr uint8_t kNextProfilePress = 0xF4;  // slot 5, the mouse's button 4
constexpr uint8_t kDpiCyclePress = 0xF6;     // slot 6

class ExecutorDeviceTest : public testing::Test {
  protected:
    test::TempFolder folder;
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, folder / "config.ini"};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    BannerState banner;
    test::FakeHidSystem hid;
    test::RecordingViewPort window;
    test::CountingStartPrompt startPrompt;
    test::FakeSystemSettings systemSettings;
    DeviceLink link{DeviceLinkServices{hid, profiles, banner, startPrompt, window, systemSettings}};
    test::FakeClock clock;
    test::RecordingInput input;
    test::RecordingSystemActions system;
    ActionExecutor executor{{flags, profiles, macros, link, window, input, system, clock}};

    void SetUp() override {
        hid.interfaces = {test::inputInterface(), test::featureInterface()};
        profiles.edit([](ConfigProfile& p) {
            p = builtInDefaultProfile(0);  // DPI codes 1, 2, 4, 0; LED mode 0
            p.buttonFunction = {1,
                                function_code::kDpiUp,
                                function_code::kDpiDown,
                                function_code::kLedToggle,
                                function_code::kNextProfile,
                                function_code::kDpiCycle};
        });
        link.FindMouse();
        link.ApplySettings();
    }

    void setLevels(int32_t level, std::array<uint8_t, 4> enabled) {
        profiles.edit([&](ConfigProfile& p) {
            p.dpiLevel = level;
            p.dpiSetEnabled = enabled;
        });
    }

    // The DPI and LED report a press sends, as "07 09 level byte3".
    std::string reportOf(uint8_t press) {
        const size_t before = sent().size();
        flags.pressedKeyCode = press;
        flags.pressPending = 1;
        executor.runPass();
        const std::vector<test::Bytes> reports = sent();
        if (reports.size() != before + 1)
            return "reports sent: " + std::to_string(reports.size() - before);
        return test::hex(std::span(reports.back()).first(4));
    }
    std::vector<test::Bytes> sent() {
        return hid.endpoint(test::featureInterface().listing.path)->featureReports();
    }
    std::u16string savedLevel() {
        return files.read(profiles.configFilePath(), u"Config1", u"DPI_LEVEL", 5);
    }
};

TEST_F(ExecutorDeviceTest, UpAndDownStopAtTheEndsAndStillSendAndSave) {
    setLevels(3, {1, 1, 1, 1});
    EXPECT_EQ(reportOf(kDpiUpPress), "07 09 03 80");
    EXPECT_EQ(savedLevel(), u"3");
    setLevels(0, {1, 1, 1, 1});
    EXPECT_EQ(reportOf(kDpiDownPress), "07 09 00 90");
    setLevels(2, {1, 0, 1, 1});
    EXPECT_EQ(reportOf(kDpiDownPress), "07 09 00 90") << "level 1 is off";
    setLevels(0, {1, 0, 0, 0});
    EXPECT_EQ(reportOf(kDpiUpPress), "07 09 00 90") << "nothing enabled above";
    EXPECT_EQ(profiles.profile().dpiLevel, 0);
    EXPECT_EQ(savedLevel(), u"0");
}

TEST_F(ExecutorDeviceTest, CycleWrapsAndFindsTheCurrentLevelLast) {
    setLevels(2, {1, 0, 1, 0});
    EXPECT_EQ(reportOf(kDpiCyclePress), "07 09 00 90");
    EXPECT_EQ(reportOf(kDpiCyclePress), "07 09 02 C0");
    setLevels(1, {0, 1, 0, 0});
    EXPECT_EQ(reportOf(kDpiCyclePress), "07 09 01 A0") << "only the current level";
}

TEST_F(ExecutorDeviceTest, CycleWithNoLevelEnabledEndsAndKeepsTheLevel) {
    setLevels(1, {0, 0, 0, 0});
    EXPECT_EQ(reportOf(kDpiCyclePress), "07 09 01 A0");
    EXPECT_EQ(reportOf(kDpiUpPress), "07 09 01 A0");
    EXPECT_EQ(reportOf(kDpiDownPress), "07 09 01 A0");
}

TEST_F(ExecutorDeviceTest, LedToggleGoesToModeThreeAndBack) {
    setLevels(1, {1, 1, 1, 1});
    EXPECT_EQ(reportOf(kLedPress), "07 09 01 A3");
    EXPECT_EQ(reportOf(kLedPress), "07 09 01 A0");
}

TEST_F(ExecutorDeviceTest, NextProfileAppliesTheNextSlotToTheMouse) {
    test::writeFile(profiles.configFilePath(),
                    "[Config2]\r\nK1=1\r\nK2=2\r\nK3=3\r\nK4=5\r\nK5=40\r\nK6=4\r\nDPI_LEVEL=2\r\n"
                    "DPI_SET1=0\r\nDPI_SET2=0\r\nDPI_SET3=3\r\nDPI_SET4=0\r\nDPI_SET_EN3=1\r\n"
                    "FIRE_TIME=100\r\n");
    const size_t before = sent().size();
    flags.pressedKeyCode = kNextProfilePress;
    flags.pressPending = 1;
    executor.runPass();
    EXPECT_EQ(profiles.currentConfig(), 2);
    std::vector<std::string> reports;
    for (size_t i = before; i < sent().size(); ++i)
        reports.push_back(test::hex(std::span(sent()[i]).first(4)));
    EXPECT_THAT(reports, ElementsAre("07 10 01 01", "07 10 02 02", "07 10 03 03", "07 10 05 05",
                                     "07 10 04 1F", "07 10 06 04", "07 11 00 00", "07 09 02 B0",
                                     "07 12 0C 00"));
    EXPECT_EQ(files.read(profiles.configFilePath(), u"Init", u"CurConfig", 5), u"2");
    EXPECT_EQ(link.dpiStep(5), 0) << "slot 6 of profile 2 is no DPI button";
}

}  // namespace
}  // namespace v270
