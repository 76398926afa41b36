#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace v270::test {

// A clock whose time moves only when something sleeps on it (or a test advances it). Each wait
// can be made to end late by a fixed amount, as the system's waits do.
class FakeClock : public platform::Clock {
  public:
    TimePoint now() const override {
        const std::lock_guard lock(mutex_);
        return now_;
    }

    void sleepFor(std::chrono::microseconds duration) override { sleepUntil(now() + duration); }

    void sleepUntil(TimePoint deadline) override {
        {
            const std::lock_guard lock(mutex_);
            waits_.push_back(deadline - now_);
            if (deadline > now_)
                now_ = deadline + lateness_;
        }
        if (onSleep)
            onSleep();
    }

    void beginPrecision() override { ++precisionHolds; }
    void endPrecision() override { --precisionHolds; }

    void advance(std::chrono::microseconds duration) {
        const std::lock_guard lock(mutex_);
        now_ += duration;
    }

    void setLateness(std::chrono::microseconds lateness) {
        const std::lock_guard lock(mutex_);
        lateness_ = lateness;
    }

    // What each wait asked for, measured from the time it began (negative when already past).
    std::vector<std::chrono::nanoseconds> waits() const {
        const std::lock_guard lock(mutex_);
        return waits_;
    }

    TimePoint start() const { return TimePoint{} + std::chrono::hours(1); }

    // Called after every wait, outside the lock.
    std::function<void()> onSleep;
    // How many precision holds are open now.
    std::atomic<int> precisionHolds{0};

  private:
    mutable std::mutex mutex_;
    TimePoint now_ = start();
    std::chrono::microseconds lateness_{0};
    std::vector<std::chrono::nanoseconds> waits_;
};

}  // namespace v270::test
