#pragma once

#include <windows.h>

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

// Waits to well under a millisecond: a waitable timer (a high-resolution one where the system
// has them, Windows 10 1803 and later) carries the wait to just before the deadline, and the
// last stretch is spent yielding the processor until the deadline has come.
class PreciseClock : public platform::Clock {
  public:
    PreciseClock();

    TimePoint now() const override;
    void sleepFor(std::chrono::microseconds duration) override;
    void sleepUntil(TimePoint deadline) override;

    bool highResolutionTimers() const { return highResolutionTimers_; }
    // How long before a deadline the timer wait ends and yielding takes over.
    std::chrono::microseconds finalStretch() const { return finalStretch_; }

  private:
    void waitOnTimer(std::chrono::microseconds duration) const;

    TimerResolutionGuard resolution_;
    bool highResolutionTimers_ = false;
    std::chrono::microseconds finalStretch_{0};
};

}  // namespace v270::win32
