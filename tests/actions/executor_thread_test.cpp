#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "actions/action_executor.h"
#include "device/input_reader.h"
#include "device_fakes.h"
#include "fakes/recording_input.h"
#include "fakes/recording_services.h"
#include "platform/system_clock.h"
#include "settings/function_codes.h"
#include "support/recording_message_boxes.h"
#include "support/recording_view_port.h"
#include "support/temp_folder.h"
#include "wait_until.h"

namespace v270 {
namespace {

using test::waitUntil;

// The executor on its own thread with the system's clock, while the test thread plays the
// reader and the user-interface thread.
class ExecutorThreadTest : public testing::Test {
  protected:
    test::TempFolder folder;
    IniFiles files;
    test::RecordingMessageBoxes messages;
    ProfileStore profiles{files, folder / "config.ini"};
    MacroStore macros{files, messages};
    HandOverFlags flags;
    test::RecordingDeviceCommands device;
    test::RecordingViewPort window;
    std::unique_ptr<platform::Clock> clock = platform::createSystemClock();
    test::RecordingInput input;
    test::RecordingSystemActions system;
    ActionExecutor executor{{flags, profiles, macros, device, window, input, system, *clock}};

    void SetUp() override {
        macros.edit([](MacroTable& table) {
            table.macroCount = 1;
            MacroRecord& macro = table.macroSlots[0];
            macro.steps[0] = {0x41, kStepPress, 1};
            macro.steps[1] = {0x10, kStepPress, 1};
            macro.steps[2] = {0x41, kStepRelease, 1};
            macro.stepCount = 3;
        });
        profiles.edit([](ConfigProfile& p) {
            p.buttonFunction = {1, function_code::kVolumeMute, function_code::kFirstMacro, 5, 4, 6};
            p.macroMode2 = 1;
        });
    }

    // Hands over a press as the reader does: the code, then the flag, then the wake-up.
    void press(uint8_t code) {
        flags.pressedKeyCode.store(code, std::memory_order_relaxed);
        flags.pressPending.store(1, std::memory_order_release);
        flags.wakeup.notify();
    }
    bool idle() const { return flags.pressPending.load(std::memory_order_acquire) == 0; }
};

TEST_F(ExecutorThreadTest, PerformsHandedOverPressesUntilStopped) {
    executor.ensureRunning();
    press(0xF2);
    ASSERT_TRUE(waitUntil([&] { return idle() && input.eventCount() == 2; }));
    executor.stop();
    EXPECT_FALSE(executor.running());
    press(0xF2);
    EXPECT_EQ(input.eventCount(), 2u) << "a stopped executor performs nothing";
}

// A press handed over while a pass that found none is ending, as at the executor's start, is
// performed all the same.
TEST_F(ExecutorThreadTest, NoHandedOverPressIsLost) {
    for (size_t count = 1; count <= 300; ++count) {
        std::jthread thread([this](std::stop_token stop) { executor.run(stop); });
        press(0xF2);
        ASSERT_TRUE(
            waitUntil([&] { return input.eventCount() == 2 * count; }, std::chrono::seconds(5)))
            << "press " << count;
        ASSERT_TRUE(waitUntil([&] { return idle(); }));
    }
}

// The program ending while a held macro waits out a step's longest delay: the wait ends at once
// and what the macro held down is released.
TEST_F(ExecutorThreadTest, StoppingTheExecutorCutsAMacroShort) {
    macros.edit([](MacroTable& table) { table.macroSlots[0].steps[0].delay = 65535; });
    executor.ensureRunning();
    press(0xF3);
    ASSERT_TRUE(waitUntil([&] { return input.eventCount() >= 1; }));
    executor.stop();
    EXPECT_FALSE(input.anythingHeld());
}

// A hand-edited "MACRO_MODE2=2" plays as hold mode, and so it stops on the release like it.
TEST_F(ExecutorThreadTest, AStrayMacroModeStopsOnTheRelease) {
    test::writeFile(folder / "config.ini", "[Config1]\r\nK3=41\r\nMACRO_MODE2=2\r\n");
    profiles.loadProfile(folder / "config.ini", 1, false);
    ASSERT_EQ(profiles.profile().macroMode2, 1);
    MouseInterfaces interfaces;
    BannerState banner;
    test::YieldingClock readerClock;
    InputReader reader{
        InputReaderServices{interfaces, flags, banner, profiles, window, readerClock}};

    executor.ensureRunning();
    const std::array<uint8_t, 2> pressed{0x06, 0xF3};
    reader.handleReport(pressed);
    ASSERT_TRUE(waitUntil([&] { return input.eventCount() >= 30; })) << "it repeats while held";
    const std::array<uint8_t, 2> released{0x06, 0x00};
    reader.handleReport(released);
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
}

// An application that wants no injected input comes to the front while a held macro waits out
// its longest delay: the macro ends at once with nothing left down; presses of host functions
// that act on the PC then do nothing, a DPI change still goes to the mouse, and after the pause
// the macro plays again.
TEST_F(ExecutorThreadTest, APauseStopsAPlayingMacroAndKeepsTheMousesFunctions) {
    macros.edit([](MacroTable& table) { table.macroSlots[0].steps[0].delay = 65535; });
    device.dpiSteps[5] = 2;
    executor.ensureRunning();
    press(0xF3);
    ASSERT_TRUE(waitUntil([&] { return input.eventCount() >= 1; }));
    executor.setHostFunctionsPaused(true);
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
    const size_t events = input.eventCount();

    for (const int code : {0xF2, 0xF3, 0xF6}) {
        press(static_cast<uint8_t>(code));
        ASSERT_TRUE(waitUntil([&] { return idle(); }));
    }
    EXPECT_EQ(input.eventCount(), events) << "no key, no macro";
    EXPECT_EQ(device.calls(), std::vector<std::string>{"dpi 2"});

    executor.setHostFunctionsPaused(false);
    press(0xF3);
    ASSERT_TRUE(waitUntil([&] { return input.eventCount() > events; }));
    executor.stop();
}

TEST_F(ExecutorThreadTest, HeldMacroStopsOnTheReleaseWithNothingLeftDown) {
    std::jthread thread([this](std::stop_token stop) { executor.run(stop); });
    press(0xF3);
    ASSERT_TRUE(waitUntil([&] { return input.eventCount() >= 30; }));
    flags.stopRequested.store(1, std::memory_order_release);  // the reader saw the release
    ASSERT_TRUE(waitUntil([&] { return idle(); }));
    EXPECT_FALSE(input.anythingHeld());
    EXPECT_EQ(flags.stopRequested.load(), 0);
}

TEST_F(ExecutorThreadTest, EditsOnTheInterfaceThreadDuringPlaybackAreSafe) {
    std::jthread thread([this](std::stop_token stop) { executor.run(stop); });
    press(0xF3);
    for (int round = 0; round < 200; ++round) {
        macros.edit([round](MacroTable& table) {
            table.macroSlots[0].steps[1].delay = static_cast<uint16_t>(1 + round % 3);
            table.macroSlots[0].stepCount = static_cast<uint8_t>(2 + round % 2);
        });
        profiles.edit([round](ConfigProfile& p) { p.dpiLevel = round % 4; });
        if (round % 20 == 0 && idle())
            press(0xF3);
    }
    flags.stopRequested.store(1, std::memory_order_release);
    ASSERT_TRUE(waitUntil([&] {
        if (!idle())
            flags.stopRequested.store(1, std::memory_order_release);
        return idle();
    }));
    EXPECT_FALSE(input.anythingHeld());
}

}  // namespace
}  // namespace v270
