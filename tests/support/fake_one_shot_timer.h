#pragma once

#include <chrono>
#include <functional>
#include <utility>

#include "platform/one_shot_timer.h"

namespace v270::test {

// A wait that ends when the test says: elapse() runs the pending action, as the end of the
// delay would. Waits started are counted and the last delay kept.
class FakeOneShotTimer final : public platform::OneShotTimer {
  public:
    void start(std::chrono::milliseconds delay, std::function<void()> action) override {
        ++starts;
        lastDelay = delay;
        action_ = std::move(action);
    }
    void cancel() override { action_ = nullptr; }
    bool pending() const override { return static_cast<bool>(action_); }

    // Ends the pending wait; false when none was pending.
    bool elapse() {
        if (!action_)
            return false;
        const std::function<void()> action = std::exchange(action_, nullptr);
        action();
        return true;
    }

    int starts = 0;
    std::chrono::milliseconds lastDelay{0};

  private:
    std::function<void()> action_;
};

}  // namespace v270::test
