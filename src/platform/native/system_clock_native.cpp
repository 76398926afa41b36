#include <time.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/keyboard_capture.h"
#include "platform/system_clock.h"

namespace v270::platform {

namespace {

// Linux wakes a sleeping thread within some tens of microseconds of its deadline, so precision
// needs nothing held.
class SteadyClock : public Clock {
  public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::microseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
    void sleepUntil(TimePoint deadline) override { std::this_thread::sleep_until(deadline); }

    bool waitUntil(TimePoint deadline, std::stop_token stop) override {
        std::mutex mutex;
        std::condition_variable_any woken;
        std::unique_lock lock(mutex);
        woken.wait_until(lock, stop, deadline, [] { return false; });
        return !stop.stop_requested();
    }
};

}  // namespace

std::unique_ptr<Clock> createSystemClock() {
    return std::make_unique<SteadyClock>();
}

uint64_t microsecondOfDayNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    constexpr uint64_t kSecondsPerDay = 86'400;
    return static_cast<uint64_t>(now.tv_sec) % kSecondsPerDay * 1'000'000 +
           static_cast<uint64_t>(now.tv_nsec) / 1000;
}

}  // namespace v270::platform
