#pragma once

#include <chrono>
#include <functional>
#include <stop_token>

#include "platform/clock.h"

namespace v270::test {

// A clock whose pauses take no time and run a script: the test's way of letting the world
// change between two steps of a thread's job, run on the test's own thread.
class ScriptedClock final : public platform::Clock {
  public:
    TimePoint now() const override { return {}; }
    void sleepFor(std::chrono::microseconds) override {}
    void sleepUntil(TimePoint) override {}
    bool waitFor(std::chrono::microseconds duration, std::stop_token stop) override {
        total += duration;
        ++pauses;
        if (onPause)
            onPause(pauses, duration);
        return !stop.stop_requested();
    }

    std::chrono::microseconds total{0};
    int pauses = 0;
    // The pause's number, from 1, and its length.
    std::function<void(int, std::chrono::microseconds)> onPause;
};

}  // namespace v270::test
