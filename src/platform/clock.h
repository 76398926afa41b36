#pragma once

#include <chrono>
#include <stop_token>

namespace v270::platform {

// Time and waiting; tests give a fake. Waits are as precise as the system's timer allows; while
// precision is held (a macro plays) the system's clock waits to well under a millisecond.
class Clock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleepFor(std::chrono::microseconds duration) = 0;
    virtual void sleepUntil(TimePoint deadline) = 0;

    // The same waits, ended early when `stop` is requested; they return false when it was.
    virtual bool waitFor(std::chrono::microseconds duration, std::stop_token stop) {
        return waitUntil(now() + duration, std::move(stop));
    }
    virtual bool waitUntil(TimePoint deadline, std::stop_token stop) {
        sleepUntil(deadline);
        return !stop.stop_requested();
    }

    // Raises the system timer's resolution until the matching endPrecision(); calls nest. An
    // idle program holds none, so that it costs the system nothing while it waits.
    virtual void beginPrecision() {}
    virtual void endPrecision() {}
};

// Holds the clock's precision for as long as it lives.
class PrecisionScope {
  public:
    explicit PrecisionScope(Clock& clock) : clock_(clock) { clock_.beginPrecision(); }
    PrecisionScope(const PrecisionScope&) = delete;
    PrecisionScope& operator=(const PrecisionScope&) = delete;
    ~PrecisionScope() { clock_.endPrecision(); }

  private:
    Clock& clock_;
};

}  // namespace v270::platform
