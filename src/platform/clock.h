#pragma once

#include <chrono>

namespace v270::platform {

// Time and waiting. The system's clock waits precisely (to well under a millisecond), so that
// the executor's 2 ms passes and macro delays last what they say; tests give a fake.
class Clock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleepFor(std::chrono::microseconds duration) = 0;
    virtual void sleepUntil(TimePoint deadline) = 0;
};

}  // namespace v270::platform
