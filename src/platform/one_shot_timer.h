#pragma once

#include <chrono>
#include <functional>

namespace v270::platform {

// One wait at a time on the thread of the main window: after the delay, the action runs once on
// that thread. Nothing wakes the program while no wait is pending.
class OneShotTimer {
  public:
    virtual ~OneShotTimer() = default;

    // Starts the wait, replacing any that is pending (its action never runs).
    virtual void start(std::chrono::milliseconds delay, std::function<void()> action) = 0;
    // The pending action, if any, never runs.
    virtual void cancel() = 0;
    virtual bool pending() const = 0;
};

}  // namespace v270::platform
