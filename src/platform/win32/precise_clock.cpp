#include "platform/win32/precise_clock.h"

#include <mmsystem.h>

#include <functional>

#include "platform/system_clock.h"
#include "platform/win32/unique_handle.h"

namespace v270::win32 {

namespace {

// Older headers lack the flag; systems before Windows 10 1803 refuse it.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

constexpr int64_t kTimerUnitsPerMicrosecond = 10;  // due times count 100 ns units

// A high-resolution timer fires within a few hundred microseconds of its due time; a timer on
// the raised 1 ms tick fires up to a tick late.
constexpr std::chrono::microseconds kHighResolutionStretch{500};
constexpr std::chrono::microseconds kTickStretch{1500};

UniqueHandle createTimer(bool highResolution) {
    const DWORD flags = highResolution ? CREATE_WAITABLE_TIMER_HIGH_RESOLUTION : 0;
    return UniqueHandle(CreateWaitableTimerExW(nullptr, nullptr, flags, TIMER_ALL_ACCESS));
}

}  // namespace

TimerResolutionGuard::TimerResolutionGuard() {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof caps) != MMSYSERR_NOERROR)
        return;
    const UINT period = caps.wPeriodMin > 1 ? caps.wPeriodMin : 1;
    if (timeBeginPeriod(period) == TIMERR_NOERROR)
        periodMs_ = period;
}

TimerResolutionGuard::~TimerResolutionGuard() {
    if (periodMs_ != 0)
        timeEndPeriod(periodMs_);
}

PreciseClock::PreciseClock()
    : highResolutionTimers_(createTimer(true).valid()),
      finalStretch_(highResolutionTimers_ ? kHighResolutionStretch : kTickStretch) {}

PreciseClock::TimePoint PreciseClock::now() const {
    return std::chrono::steady_clock::now();
}

void PreciseClock::sleepFor(std::chrono::microseconds duration) {
    sleepUntil(now() + duration);
}

void PreciseClock::sleepUntil(TimePoint deadline) {
    waitUntil(deadline, {});
}

bool PreciseClock::waitUntil(TimePoint deadline, std::stop_token stop) {
    UniqueHandle stopEvent;
    std::optional<std::stop_callback<std::function<void()>>> onStop;
    if (stop.stop_possible()) {
        stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const HANDLE event = stopEvent.get();
        onStop.emplace(stop, [event] { SetEvent(event); });
    }
    for (;;) {
        if (stop.stop_requested())
            return false;
        const auto remaining =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - now());
        if (remaining <= std::chrono::microseconds::zero())
            return true;
        const bool precise = precise_.load(std::memory_order_relaxed);
        if (!precise) {
            if (!waitOnTimer(remaining, stopEvent.get()))
                return false;
        } else if (remaining > finalStretch_) {
            if (!waitOnTimer(remaining - finalStretch_, stopEvent.get()))
                return false;
        } else if (SwitchToThread() == 0) {
            // Nothing else is ready to run on this processor; give up the rest of the time
            // slice to the other processors' threads all the same.
            Sleep(0);
        }
    }
}

void PreciseClock::beginPrecision() {
    const std::lock_guard lock(precisionMutex_);
    if (precisionHolds_++ == 0) {
        resolution_.emplace();
        precise_.store(true, std::memory_order_relaxed);
    }
}

void PreciseClock::endPrecision() {
    const std::lock_guard lock(precisionMutex_);
    if (precisionHolds_ == 0)
        return;
    if (--precisionHolds_ == 0) {
        precise_.store(false, std::memory_order_relaxed);
        resolution_.reset();
    }
}

bool PreciseClock::waitOnTimer(std::chrono::microseconds duration, HANDLE stopEvent) const {
    // A timer per wait: the clock is shared by threads, and creating one costs microseconds.
    const UniqueHandle timer = createTimer(highResolutionTimers_);
    LARGE_INTEGER due{};
    due.QuadPart = -duration.count() * kTimerUnitsPerMicrosecond;  // negative: relative
    if (!timer || !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(duration);
        if (stopEvent == nullptr) {
            Sleep(static_cast<DWORD>(milliseconds.count()));
            return true;
        }
        return WaitForSingleObject(stopEvent, static_cast<DWORD>(milliseconds.count())) ==
               WAIT_TIMEOUT;
    }
    if (stopEvent == nullptr) {
        WaitForSingleObject(timer.get(), INFINITE);
        return true;
    }
    const HANDLE handles[] = {timer.get(), stopEvent};
    return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
}

}  // namespace v270::win32

namespace v270::platform {

std::unique_ptr<Clock> createSystemClock() {
    return std::make_unique<win32::PreciseClock>();
}

}  // namespace v270::platform
