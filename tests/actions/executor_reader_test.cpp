// The input reader and the executor on their threads, against the device link over an
// in-process HID: the mouse's reports start the driver, hand presses over and stop macros.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "actions/action_executor.h"
#include "device/device_link.h"
#include "device/input_reader.h"
#include "device_fakes.h"
#include "fake_hid.h"
#include "fakes/recording_input.h"
#include "fakes/recording_services.h"
#include "platform/system_clock.h"
#include "settings/function_codes.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"
#include "wait_until.h"

namespace v270 {
namespace {

using test::waitUntil;

constexpr uint8_t kReportId = 0x06;
constexpr uint8_t kReleased = 0x00;
constexpr uint8_t kKeyA = 0x41;
constexpr uint8_t kKeyB = 0x42;

class ExecutorReaderTest : public testing::Test {
  protected:
    test::TempFolder folder;
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, folder / "config.ini"};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    BannerState banner;
    test::FakeHidSystem hid;
    test::FakeMainWindow window;
    test::FakeSystemSettings systemSettings;
    DeviceLink link{hid, profiles, banner, window, systemSettings};
    std::unique_ptr<platform::Clock> clock = platform::createSystemClock();
    test::RecordingInput input;
    test::RecordingSystemActions system;
    InputReader reader{link.interfaces(), flags, banner, profiles, window, *clock};
    ActionExecutor executor{{flags, profiles, macros, link, window, input, system, *clock}};
    std::jthread readerThread;
    std::jthread executorThread;

    void SetUp() override {
        hid.interfaces = {test::inputInterface(), test::featureInterface()};
        // Slot 4 (the mouse's button 5) types A over and over; slot 5 (its button 4) types B.
        macros.edit([](MacroTable& table) {
            table.macroCount = 2;
            for (const auto& [index, key] : {std::pair{0, kKeyA}, std::pair{1, kKeyB}}) {
                MacroRecord& macro = table.macroSlots[static_cast<size_t>(index)];
                macro.repeatEnabled = 1;
                macro.repeatCount = 65535;
                macro.steps[0] = {key, kStepPress, 1};
                macro.steps[1] = {key, kStepRelease, 1};
                macro.stepCount = 2;
            }
        });
        profiles.edit([](ConfigProfile& p) {
            p = builtInDefaultProfile(0);
            p.buttonFunction = {1, 2, 3, function_code::kFirstMacro, function_code::kFirstMacro + 1,
                                6};
        });
        link.FindMouse();
        link.ApplySettings();
        readerThread =
            std::jthread([this](std::stop_token stop) { reader.InputReaderThread(stop); });
        executorThread = std::jthread([this](std::stop_token stop) { executor.run(stop); });
        mouse({kReportId, kReleased});  // the start signal
        ASSERT_TRUE(waitUntil([&] { return banner.driverWorking.load() == 1; }));
    }

    void mouse(test::Bytes report) { hid.endpoint(test::inputInterface().path)->deliver(report); }
    bool idle() const { return flags.pressPending.load() == 0; }
    // Waits until `more` events beyond the present ones have been sent.
    bool playsOn(size_t more) {
        const size_t from = input.eventCount();
        return waitUntil([&] { return input.eventCount() >= from + more; });
    }
    bool onlyKey(uint8_t key) const {
        for (const test::InputEvent& event : input.events()) {
            if (event.virtualKey != key)
                return false;
        }
        return true;
    }
};

TEST_F(ExecutorReaderTest, SecondPressStopsARepeatingMacro) {
    mouse({kReportId, 0xF5});
    ASSERT_TRUE(playsOn(10));
    EXPECT_TRUE(onlyKey(kKeyA)) << "button 5 is slot 4";
    mouse({kReportId, kReleased});  // the release means nothing in this mode
    ASSERT_TRUE(playsOn(10));
    mouse({kReportId, 0xF5});
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
    EXPECT_EQ(flags.stopRequested.load(), 0);
}

TEST_F(ExecutorReaderTest, ReleaseStopsAHeldMacroAndASecondPressDoesNot) {
    profiles.edit([](ConfigProfile& p) { p.macroMode2 = 1; });
    mouse({kReportId, 0xF4});
    ASSERT_TRUE(playsOn(10));
    EXPECT_TRUE(onlyKey(kKeyB)) << "button 4 is slot 5";
    mouse({kReportId, 0xF4});  // dropped while held
    ASSERT_TRUE(playsOn(10));
    mouse({kReportId, kReleased});
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
}

}  // namespace
}  // namespace v270
