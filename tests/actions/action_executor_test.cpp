#include "actions/action_executor.h"

#include <gmock/gmock.h>

#include "executor_fixture.h"

namespace v270 {
namespace {

using namespace std::chrono_literals;
using test::keyDown;
using test::keyUp;
using test::RecordingInput;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr uint8_t kControl = 0x11;
constexpr uint8_t kAlt = 0x12;
constexpr uint8_t kF4 = 0x73;
constexpr uint8_t kVolumeMute = 0xAD;

uint8_t scan(uint8_t key) {
    return RecordingInput::sentScanCode(key);
}

class ActionExecutorTest : public test::ExecutorFixture {};

TEST_F(ActionExecutorTest, PressReachesTheSlotWhoseHardwareIdItCarries) {
    profiles.edit([](ConfigProfile& p) {
        p.buttonFunction = {1, 2, 3, function_code::kCopy, function_code::kPaste, 6};
    });
    handOverCode(0xF5);  // the mouse's button 5 is slot 4
    executor.runPass();
    EXPECT_EQ(input.events().at(1).virtualKey, 'C');
    input.clear();
    handOverCode(0xF4);  // and its button 4 is slot 5
    executor.runPass();
    EXPECT_EQ(input.events().at(1).virtualKey, 'V');
}

TEST_F(ActionExecutorTest, EveryPassClearsTheFlagsAndUnknownCodesDoNothing) {
    for (int slot = 0; slot < 6; ++slot)
        setFunction(slot, function_code::kCopy);
    flags.stopRequested = 1;
    executor.runPass();
    EXPECT_EQ(flags.stopRequested.load(), 0) << "also when nothing was pending";
    for (const int code : {0xF0, 0xF7, 0xFF, 0x00, 0x01}) {
        handOverCode(static_cast<uint8_t>(code));
        flags.stopRequested = 1;
        executor.runPass();
        EXPECT_EQ(flags.pressPending.load(), 0);
        EXPECT_EQ(flags.stopRequested.load(), 0);
    }
    EXPECT_THAT(input.events(), IsEmpty());
}

TEST_F(ActionExecutorTest, ControlChordsHoldTheLetterTwentyMilliseconds) {
    const std::pair<int32_t, uint8_t> chords[] = {{function_code::kCopy, 'C'},
                                                  {function_code::kPaste, 'V'},
                                                  {function_code::kSelectAll, 'A'},
                                                  {function_code::kUndo, 'Z'}};
    for (const auto& [code, letter] : chords) {
        input.clear();
        const int lookups = input.scanCodeLookups();
        pressWithFunction(code);
        EXPECT_THAT(input.events(), ElementsAre(keyDown(kControl, 0), keyDown(letter, scan(letter)),
                                                keyUp(letter, scan(letter)), keyUp(kControl, 0)));
        const auto times = input.times();
        EXPECT_EQ(times[2] - times[1], 20ms);
        EXPECT_EQ(times[1] - times[0], 0ms);
        EXPECT_EQ(input.scanCodeLookups() - lookups, 2) << "looked up again for each event";
        EXPECT_FALSE(input.anythingHeld());
    }
}

TEST_F(ActionExecutorTest, AltF4WithoutPauses) {
    pressWithFunction(function_code::kCloseWindow);
    EXPECT_THAT(input.events(), ElementsAre(keyDown(kAlt, 0), keyDown(kF4, scan(kF4)),
                                            keyUp(kF4, scan(kF4)), keyUp(kAlt, 0)));
    EXPECT_THAT(clock.waits(), IsEmpty());
}

TEST_F(ActionExecutorTest, VolumeMuteIsPressedAndReleased) {
    pressWithFunction(function_code::kVolumeMute);
    EXPECT_THAT(input.events(), ElementsAre(keyDown(kVolumeMute, 0), keyUp(kVolumeMute, 0)));
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(ActionExecutorTest, ShellActionsAndProgramsByTheirFullPath) {
    for (const int32_t code : {function_code::kComputerFolder, function_code::kLockWorkstation,
                               function_code::kCalculator, function_code::kCommandPrompt}) {
        pressWithFunction(code);
    }
    const std::string programs = test::RecordingSystemActions::kSystemFolder.generic_string();
    EXPECT_THAT(system.calls(),
                ElementsAre("computer folder", "lock", "start " + programs + "/calc.exe",
                            "start " + programs + "/cmd.exe"));
    EXPECT_THAT(input.events(), IsEmpty());
}

TEST_F(ActionExecutorTest, DpiStepOfTheLastApplyDecidesBeforeTheCode) {
    device.dpiSteps = {0, 2, 1, -1, 0, 0};
    profiles.edit(
        [](ConfigProfile& p) { p.buttonFunction = {6, function_code::kCopy, 17, 18, 17, 41}; });
    addMacro({{0x41, kStepPress, 1}});
    for (int slot = 0; slot < 6; ++slot) {
        handOver(slot);
        executor.runPass();
    }
    // Slot 1 holds code 6 but was not applied as a DPI button; slot 2 was applied as one before
    // the user gave it Ctrl+C; slot 5's code 17 was assigned after the last apply.
    EXPECT_THAT(device.calls(), ElementsAre("dpi 2", "dpi 1", "dpi -1"));
    EXPECT_EQ(input.events().size(), 2u) << "only slot 6's macro typed: A down and let go";
}

TEST_F(ActionExecutorTest, LedToggleGoesToTheDeviceLink) {
    pressWithFunction(function_code::kLedToggle);
    pressWithFunction(function_code::kLedToggle);
    EXPECT_THAT(device.calls(), ElementsAre("led", "led"));
}

TEST_F(ActionExecutorTest, NextProfileLoadsItThenAppliesAndRepaints) {
    test::writeFile(profiles.configFilePath(),
                    "[Config1]\r\nK1=40\r\nK2=2\r\nFIRE_TIME=100\r\n"
                    "[Config3]\r\nK1=40\r\nFIRE_TIME=300\r\n");
    std::vector<std::pair<int32_t, int32_t>> applied;  // currentConfig, fireTime at the apply
    device.onApply = [&] {
        applied.emplace_back(profiles.currentConfig(), profiles.profile().fireTime);
    };
    profiles.setCurrentConfig(5);
    pressWithFunction(function_code::kNextProfile);
    profiles.setCurrentConfig(2);
    pressWithFunction(function_code::kNextProfile);
    EXPECT_THAT(applied, ElementsAre(std::pair{1, 100}, std::pair{3, 300}));
    EXPECT_THAT(device.calls(), ElementsAre("apply", "apply"));
    EXPECT_EQ(window.invalidations.load(), 2);
}

TEST_F(ActionExecutorTest, MouseFunctionsAndUnassignedCodesDoNothing) {
    for (const int32_t code : {0,  1,  2,  3,  4,  5,  6,  7,  10, 11,        16,
                               17, 18, 20, 21, 25, 27, 30, 53, -1, INT32_MIN, INT32_MAX}) {
        pressWithFunction(code);
    }
    EXPECT_THAT(input.events(), IsEmpty());
    EXPECT_THAT(device.calls(), IsEmpty()) << "17 and 18 without an applied step are nothing";
    EXPECT_THAT(system.calls(), IsEmpty());
}

TEST_F(ActionExecutorTest, MacroCodesPlayTheirMacroOnlyWhileItExists) {
    addMacro({{0x41, kStepPress, 5}, {0x41, kStepRelease, 5}});
    addMacro({{0x42, kStepPress, 5}, {0x42, kStepRelease, 5}}, 1, 2);
    pressWithFunction(function_code::kFirstMacro + 1);
    EXPECT_THAT(input.events(), ElementsAre(keyDown(0x42, scan(0x42)), keyUp(0x42, scan(0x42)),
                                            keyDown(0x42, scan(0x42)), keyUp(0x42, scan(0x42))));
    input.clear();
    pressWithFunction(function_code::kFirstMacro + 2);
    pressWithFunction(function_code::kLastMacro);
    EXPECT_THAT(input.events(), IsEmpty()) << "a macro code whose macro is gone";
}

// The finest timer costs the whole system: it is held while a macro plays and never otherwise.
TEST_F(ActionExecutorTest, TimerPrecisionIsHeldOnlyWhileAMacroPlays) {
    addMacro({{0x41, kStepPress, 5}, {0x41, kStepRelease, 5}});
    std::vector<int> heldDuringWaits;
    clock.onSleep = [&] { heldDuringWaits.push_back(clock.precisionHolds.load()); };
    pressWithFunction(function_code::kFirstMacro);
    EXPECT_THAT(heldDuringWaits, ElementsAre(1, 1));
    heldDuringWaits.clear();
    pressWithFunction(function_code::kCopy);
    EXPECT_THAT(heldDuringWaits, ElementsAre(0)) << "the chord's pause is an ordinary wait";
    EXPECT_EQ(clock.precisionHolds.load(), 0);
}

TEST_F(ActionExecutorTest, MacroModeOfTheProfileChoosesHowOftenItPlays) {
    addMacro({{0x41, kStepPress, 5}, {0x41, kStepRelease, 5}});
    profiles.edit([](ConfigProfile& p) { p.macroMode2 = 1; });
    input.onEvent = [this](size_t count) {
        if (count == 20)
            flags.stopRequested = 1;  // the release
    };
    pressWithFunction(function_code::kFirstMacro);
    EXPECT_EQ(input.eventCount(), 20u);
    EXPECT_EQ(flags.stopRequested.load(), 0);
}

TEST_F(ActionExecutorTest, PlaybackKeepsTheRecordItStartedWith) {
    addMacro({{0x41, kStepPress, 5},
              {0x41, kStepRelease, 5},
              {0x42, kStepPress, 5},
              {0x42, kStepRelease, 5}});
    clock.onSleep = [this] {
        // The user edits the macro on the advanced page while it plays.
        macros.edit([](MacroTable& table) {
            table.macroSlots[0].steps[2] = {0x43, kStepRelease, 60000};
            table.macroSlots[0].stepCount = 1;
        });
    };
    pressWithFunction(function_code::kFirstMacro);
    EXPECT_THAT(input.events(), ElementsAre(keyDown(0x41, scan(0x41)), keyUp(0x41, scan(0x41)),
                                            keyDown(0x42, scan(0x42)), keyUp(0x42, scan(0x42))));
}

}  // namespace
}  // namespace v270
