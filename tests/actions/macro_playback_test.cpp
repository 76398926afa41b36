#include "actions/macro_playback.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>

#include "fakes/fake_clock.h"
#include "fakes/recording_input.h"

namespace v270 {
namespace {

using namespace std::chrono_literals;
using test::InputEvent;
using test::keyDown;
using test::keyUp;
using test::mouse;
using test::RecordingInput;
using testing::ElementsAre;
using testing::ElementsAreArray;

constexpr uint8_t kKeyA = 0x41;
constexpr uint8_t kKeyB = 0x42;
constexpr uint8_t kShift = 0x10;

MacroRecord macroOf(std::initializer_list<MacroStep> steps, uint8_t repeatEnabled = 0,
                    uint16_t repeatCount = 1) {
    MacroRecord macro;
    macro.setName(u"test");
    macro.repeatEnabled = repeatEnabled;
    macro.repeatCount = repeatCount;
    for (const MacroStep& step : steps)
        macro.steps[macro.stepCount++] = step;
    return macro;
}

MacroStep press(uint8_t key, uint16_t delay = 10) {
    return {key, kStepPress, delay};
}
MacroStep release(uint8_t key, uint16_t delay = 10) {
    return {key, kStepRelease, delay};
}

uint8_t scan(uint8_t key) {
    return RecordingInput::sentScanCode(key);
}

class MacroPlaybackTest : public testing::Test {
  protected:
    test::FakeClock clock;
    RecordingInput input{&clock};
    std::atomic<int32_t> stopRequested{0};
    MacroPlayback playback{input, clock, stopRequested};

    // Sets stopRequested once `events` events have been sent, as the reader does when the
    // button is pressed again or released while the macro plays.
    void stopAfterEvent(size_t events) {
        input.onEvent = [this, events](size_t count) {
            if (count == events)
                stopRequested = 1;
        };
    }

    size_t plays(const MacroRecord& macro) const { return input.eventCount() / macro.stepCount; }
};

const MacroRecord kTypeAB =
    macroOf({press(kKeyA), release(kKeyA), press(kKeyB), release(kKeyB, 25)});

TEST_F(MacroPlaybackTest, ModeZeroPlaysOnceUnlessRepeatIsEnabled) {
    playback.play(macroOf({press(kKeyA), release(kKeyA)}, 0, 7), 0);
    EXPECT_THAT(input.events(),
                ElementsAre(keyDown(kKeyA, scan(kKeyA)), keyUp(kKeyA, scan(kKeyA))));

    input.clear();
    playback.play(macroOf({press(kKeyA), release(kKeyA)}, 1, 3), 0);
    EXPECT_EQ(input.eventCount(), 6u);

    input.clear();
    playback.play(macroOf({press(kKeyA), release(kKeyA)}, 1, 0), 0);
    EXPECT_EQ(input.eventCount(), 0u) << "a repeat count of 0 plays nothing";
    EXPECT_EQ(clock.waits().size(), 2u + 6u) << "and does not wait";
}

TEST_F(MacroPlaybackTest, EveryStepWaitsItsDelayAfterItsEventLastStepIncluded) {
    playback.play(macroOf({press(kKeyA, 5), release(kKeyA, 40)}, 1, 2), 0);
    const auto waits = clock.waits();
    ASSERT_EQ(waits.size(), 4u);
    EXPECT_THAT(waits, ElementsAre(5ms, 40ms, 5ms, 40ms));
    const auto times = input.times();
    EXPECT_EQ(times[2] - times[0], 45ms) << "the next play starts right after the last delay";
}

TEST_F(MacroPlaybackTest, SecondPressInModeZeroEndsAfterThePlayingStep) {
    const MacroRecord macro = macroOf({press(kKeyA), release(kKeyA)}, 1, 3);
    stopAfterEvent(3);  // the first step of the second play
    playback.play(macro, 0);
    const auto events = input.events();
    ASSERT_EQ(events.size(), 4u) << "the step that was playing, then A's release";
    EXPECT_EQ(events[3], keyUp(kKeyA, scan(kKeyA)));
    EXPECT_EQ(clock.waits().size(), 3u) << "the playing step's delay is still waited";
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(MacroPlaybackTest, HeldModeRepeatsUntilTheReleaseAndEndsAfterTheCurrentDelay) {
    stopAfterEvent(4 * 250 + 1);  // the release arrives during the 251st play
    playback.play(kTypeAB, 1);
    EXPECT_EQ(input.eventCount(), 4u * 250 + 1 + 1) << "the step playing ends, A is let go";
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(MacroPlaybackTest, HeldModeEndsOnItsOwnAfterOneHundredThousandPlays) {
    const MacroRecord macro = macroOf({press(kKeyA, 0), release(kKeyA, 0)}, 1, 3);
    playback.play(macro, 1);
    EXPECT_EQ(plays(macro), MacroPlayback::kHeldModePlays);
    EXPECT_EQ(MacroPlayback::playsOf(macro, 7), 100000u) << "any non-zero mode holds";
}

TEST_F(MacroPlaybackTest, EmptyMacroReturnsAtOnceInEitherMode) {
    const MacroRecord empty = macroOf({}, 1, 5);
    playback.play(empty, 1);
    playback.play(empty, 0);
    EXPECT_EQ(input.eventCount(), 0u);
    EXPECT_TRUE(clock.waits().empty()) << "no waiting and no counting through plays";
}

TEST_F(MacroPlaybackTest, StopRequestedBeforeTheStartStillPlaysTheFirstStep) {
    stopRequested = 1;
    playback.play(kTypeAB, 0);
    EXPECT_EQ(input.eventCount(), 2u) << "A down, then A let go at the end";
}

TEST_F(MacroPlaybackTest, MouseKeysGoThroughMouseEvents) {
    playback.play(macroOf({press(kMouseLeftKey), release(kMouseLeftKey), press(kMouseRightKey),
                           release(kMouseRightKey), press(kMouseMiddleKey),
                           release(kMouseMiddleKey), press(250), release(255)}),
                  0);
    using namespace platform;
    EXPECT_THAT(input.events(),
                ElementsAre(mouse(kMouseEventLeftDown), mouse(kMouseEventLeftUp),
                            mouse(kMouseEventRightDown), mouse(kMouseEventRightUp),
                            mouse(kMouseEventMiddleDown), mouse(kMouseEventMiddleUp),
                            mouse(kMouseEventMiddleDown), mouse(kMouseEventMiddleUp)));
}

TEST_F(MacroPlaybackTest, ExtendedKeysAndScanCodesAsTabled) {
    const uint8_t extended[] = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
                                0x2D, 0x2E, 0x5D, 0x6F, 0x90, 0xA1, 0xA3, 0xA5};
    const uint8_t plain[] = {0x08, 0x10, 0x20, 0x29, 0x2B, 0x2F, 0x41, 0x5C, 0x5E,
                             0x60, 0x66, 0x6E, 0x91, 0xA0, 0xA2, 0xA4, 0xEF};
    for (const uint8_t key : extended) {
        input.clear();
        playback.play(macroOf({press(key), release(key)}), 0);
        EXPECT_THAT(input.events(),
                    ElementsAre(keyDown(key, scan(key), true), keyUp(key, scan(key), true)))
            << "key 0x" << std::hex << int{key};
    }
    for (const uint8_t key : plain) {
        input.clear();
        playback.play(macroOf({press(key), release(key)}), 0);
        EXPECT_THAT(input.events(), ElementsAre(keyDown(key, scan(key)), keyUp(key, scan(key))))
            << "key 0x" << std::hex << int{key};
    }
}

TEST_F(MacroPlaybackTest, PrintScreenPauseAndLeftWindowsHaveFixedScanCodes) {
    playback.play(macroOf({press(0x2C), release(0x2C), press(0x13), release(0x13), press(0x5B),
                           release(0x5B)}),
                  0);
    EXPECT_THAT(input.events(),
                ElementsAre(keyDown(0x2C, 0x37, true), keyUp(0x2C, 0x37, true), keyDown(0x13, 0x45),
                            keyUp(0x13, 0x45), keyDown(0x5B, 0x5B, true), keyUp(0x5B, 0x5B, true)));
}

TEST_F(MacroPlaybackTest, OtherActionsSendNothingButKeepTheirDelay) {
    playback.play(macroOf({{kKeyA, 0, 7}, {kKeyA, 3, 8}, press(kKeyB, 9), release(kKeyB, 1)}), 0);
    EXPECT_THAT(input.events(),
                ElementsAre(keyDown(kKeyB, scan(kKeyB)), keyUp(kKeyB, scan(kKeyB))));
    EXPECT_THAT(clock.waits(), ElementsAre(7ms, 8ms, 9ms, 1ms));
}

TEST_F(MacroPlaybackTest, StoppedMacroReleasesWhatItHeldLastPressedFirst) {
    playback.play(
        macroOf({press(kShift), press(0x25), press(kMouseRightKey), press(kKeyA), release(kKeyA)}),
        0);
    EXPECT_FALSE(input.anythingHeld());
    input.clear();
    stopAfterEvent(3);
    playback.play(
        macroOf({press(kShift), press(0x25), press(kMouseRightKey), press(kKeyA), release(kKeyA)}),
        1);
    EXPECT_THAT(
        input.events(),
        ElementsAre(keyDown(kShift, scan(kShift)), keyDown(0x25, scan(0x25), true),
                    mouse(platform::kMouseEventRightDown), mouse(platform::kMouseEventRightUp),
                    keyUp(0x25, scan(0x25), true), keyUp(kShift, scan(kShift))));
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(MacroPlaybackTest, ReleaseRecordForgetsWhatTheMacroReleasedItself) {
    // A pressed twice is one key down; B released without a press is sent as recorded.
    playback.play(macroOf({press(kKeyA), press(kKeyA), release(kKeyB), release(kKeyA),
                           press(kMouseLeftKey), release(kMouseLeftKey)}),
                  0);
    EXPECT_EQ(input.eventCount(), 6u) << "nothing was left to release";
    EXPECT_FALSE(input.anythingHeld());
}

TEST_F(MacroPlaybackTest, DeadlinesKeepLateWaitsFromAddingUp) {
    clock.setLateness(300us);
    MacroRecord macro;
    for (uint8_t k = 0; k < 200; ++k) {
        macro.steps[k] = {kKeyA, static_cast<uint8_t>(k % 2 == 0 ? kStepPress : kStepRelease),
                          static_cast<uint16_t>(1 + k % 100)};
    }
    macro.stepCount = 200;
    const auto start = clock.now();
    playback.play(macro, 0);

    const auto times = input.times();
    std::chrono::milliseconds scheduled{0};
    for (size_t k = 0; k < times.size(); ++k) {
        const auto error = times[k] - (start + scheduled);
        EXPECT_LE(error, 300us) << "step " << k;
        scheduled += std::chrono::milliseconds(macro.steps[k].delay);
    }
    EXPECT_EQ(clock.now() - start, scheduled + 300us) << "one wait's lateness, not 200";
}

TEST_F(MacroPlaybackTest, AStallIsNotMadeUpInABurst) {
    input.onEvent = [this](size_t count) {
        if (count == 2)
            clock.advance(200ms);  // the system stalls the thread
    };
    playback.play(
        macroOf({press(kKeyA, 20), release(kKeyA, 20), press(kKeyB, 20), release(kKeyB, 20)}), 0);
    EXPECT_THAT(clock.waits(), ElementsAre(20ms, 20ms, 20ms, 20ms));
}

}  // namespace
}  // namespace v270
