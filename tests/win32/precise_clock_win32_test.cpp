#include "platform/win32/precise_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace v270 {
namespace {

using namespace std::chrono_literals;

TEST(PreciseClockWin32Test, RaisesTheTimerResolutionAndNamesItsTimers) {
    win32::PreciseClock clock;
    // Printed so that the test log says what this system offers (Wine 8 and Windows 10 1803
    // and later have high-resolution waitable timers).
    testing::Test::RecordProperty("highResolutionTimers", clock.highResolutionTimers() ? 1 : 0);
    std::printf("high-resolution timers: %s, final stretch %lld us\n",
                clock.highResolutionTimers() ? "yes" : "no",
                static_cast<long long>(clock.finalStretch().count()));
    win32::TimerResolutionGuard guard;
    EXPECT_GE(guard.periodMs(), 1u);
}

TEST(PreciseClockWin32Test, WaitsNeverEndBeforeTheDeadline) {
    win32::PreciseClock clock;
    for (const auto wait : {0us, 100us, 700us, 1500us, 2000us, 5300us}) {
        const auto start = clock.now();
        clock.sleepUntil(start + wait);
        EXPECT_GE(clock.now() - start, wait);
        const auto again = clock.now();
        clock.sleepFor(wait);
        EXPECT_GE(clock.now() - again, wait);
    }
    const auto past = clock.now() - 1s;
    clock.sleepUntil(past);  // returns at once
}

}  // namespace
}  // namespace v270
