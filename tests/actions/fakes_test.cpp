#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/recording_input.h"

namespace v270::test {
namespace {

using platform::kKeyEventKeyUp;

TEST(RecordingInputTest, KeepsKeysAndButtonsDownAsTheSystemDoes) {
    RecordingInput input;
    input.keyEvent(0x41, 1, 0);
    input.keyEvent(0x41, 1, 0);
    input.mouseEvent(platform::kMouseEventRightDown);
    EXPECT_TRUE(input.keyHeld(0x41));
    input.keyEvent(0x41, 1, kKeyEventKeyUp);
    EXPECT_FALSE(input.keyHeld(0x41)) << "one release ends a key however often it went down";
    EXPECT_TRUE(input.anythingHeld());
    input.mouseEvent(platform::kMouseEventRightUp);
    EXPECT_FALSE(input.anythingHeld());
    EXPECT_EQ(input.events().size(), 5u);
}

TEST(FakeClockTest, WaitsMoveTimeToTheDeadlinePlusTheLateness) {
    FakeClock clock;
    clock.setLateness(std::chrono::microseconds(300));
    const auto start = clock.now();
    clock.sleepUntil(start + std::chrono::milliseconds(5));
    EXPECT_EQ(clock.now() - start, std::chrono::microseconds(5300));
    clock.sleepUntil(start);
    EXPECT_EQ(clock.now() - start, std::chrono::microseconds(5300)) << "a past deadline waits not";
    EXPECT_EQ(clock.waits().back(), -std::chrono::microseconds(5300));
}

}  // namespace
}  // namespace v270::test
