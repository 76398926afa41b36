#pragma once

#include <chrono>
#include <functional>
#include <utility>

#include "platform/one_shot_timer.h"

namespace v270::test {

// A wait that ends when the test says: elapse() runs the pending action, as the end of the
// delay would. The last delay is kept.
class FakeOneShotTimer final : public platform::OneShotTimer {
  public:
    void start(std::chrono::milliseconds delay, std::function<void()> action) override {
        lastDelay = delay;
        action_ = std::move(action);
    }
    void cancel() override { action_ = nullptr; }
    bool pending() const override { return static_cast<bool>(action_); }

    // Ends the pending wait, if any.
    void elapse() {
        if (const std::function<void()> action = std::exchange(action_, nullptr))
            action();
    }

    std::chrono::milliseconds lastDelay{0};

  private:
    std::function<void()> action_;
};

}  // namespace v270::test
