#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>

#include "platform/clock.h"

namespace v270::win32 {

// Raises the resolution of the system timer to the finest period the system offers (1 ms on
// current Windows, instead of the default tick of about 15.6 ms) for as long as it lives.
class TimerResolutionGuard {
  public:
    TimerResolutionGuard();
    TimerResolutionGuard(const TimerResolutionGuard&) = delete;
    TimerResolutionGuard& operator=(const TimerResolutionGuard&) = delete;
    ~TimerResolutionGuard();

    // The raised period in milliseconds; 0 when it could not be raised.
    UINT periodMs() const { return periodMs_; }

  private:
    UINT periodMs_ = 0;
};

// Waits on a waitable timer (a high-resolution one where the system has them, Windows 10 1803
// and later), which a stop request interrupts. While precision is held, the timer resolution is
// raised and the wait ends just before the deadline, the last stretch spent yielding the
// processor until the deadline has come: waits then last what they say to well under a
// millisecond. Without precision a wait costs one timer wake-up and nothing else.
class PreciseClock : public platform::Clock {
  public:
    PreciseClock();

    TimePoint now() const override;
    void sleepFor(std::chrono::microseconds duration) override;
    void sleepUntil(TimePoint deadline) override;
    bool waitUntil(TimePoint deadline, std::stop_token stop) override;
    void beginPrecision() override;
    void endPrecision() override;

    bool highResolutionTimers() const { return highResolutionTimers_; }
    // How long before a deadline the timer wait ends and yielding takes over, while precise.
    std::chrono::microseconds finalStretch() const { return finalStretch_; }
    bool precise() const { return precise_.load(std::memory_order_relaxed); }

  private:
    // Waits `duration` on a timer; false when `stopEvent` was signalled first.
    bool waitOnTimer(std::chrono::microseconds duration, HANDLE stopEvent) const;

    const bool highResolutionTimers_;
    const std::chrono::microseconds finalStretch_;
    std::mutex precisionMutex_;
    int precisionHolds_ = 0;
    std::optional<TimerResolutionGuard> resolution_;
    std::atomic<bool> precise_{false};
};

}  // namespace v270::win32
