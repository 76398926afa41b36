// Press latency of the executor and the timing of macro steps, measured with the system's clock
// on the real executor thread. Each benchmark runs once and reports percentiles as counters, in
// microseconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "actions/action_executor.h"
#include "actions/macro_playback.h"
#include "platform/system_clock.h"
#include "settings/function_codes.h"
#include "support/recording_view_port.h"

namespace v270 {
namespace {

using Clock = std::chrono::steady_clock;

// Stamps every event with the time it was sent.
class StampingInput : public platform::SyntheticInput {
  public:
    void keyEvent(uint8_t, uint8_t, uint32_t) override { stamp(); }
    void mouseEvent(uint32_t) override { stamp(); }
    uint32_t scanCodeOf(uint8_t) override { return 0; }

    // The time of the first event since the last call, once there is one.
    bool takeFirst(Clock::time_point& time) {
        if (count_.load(std::memory_order_acquire) == 0)
            return false;
        const std::lock_guard lock(mutex_);
        time = times_.front();
        times_.clear();
        count_.store(0, std::memory_order_relaxed);
        return true;
    }
    std::vector<Clock::time_point> times() {
        const std::lock_guard lock(mutex_);
        return times_;
    }
    void reserve(size_t events) { times_.reserve(events); }

  private:
    void stamp() {
        const auto now = Clock::now();
        const std::lock_guard lock(mutex_);
        times_.push_back(now);
        count_.fetch_add(1, std::memory_order_release);
    }
    std::mutex mutex_;
    std::vector<Clock::time_point> times_;
    std::atomic<size_t> count_{0};
};

class QuietDevice : public DeviceCommands {
  public:
    void ApplySettings() override {}
    void changeDpiLevel(int32_t) override {}
    void toggleLed() override {}
    int32_t dpiStep(int) const override { return 0; }
};

class QuietMessages : public platform::MessageBoxes {
  public:
    void show(std::u16string_view) override {}
};

double microseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

// The value below which `fraction` of the values lie.
std::chrono::nanoseconds percentile(std::vector<std::chrono::nanoseconds> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

// From the reader's hand-over of a press to the executor's first synthetic event.
void BM_PressToFirstEvent(benchmark::State& state) {
    constexpr int kPresses = 10000;
    IniFiles files;
    QuietMessages messages;
    ProfileStore profiles(files, std::filesystem::temp_directory_path() / "v270-bench-none.ini");
    MacroStore macros(files, messages);
    HandOverFlags flags;
    QuietDevice device;
    test::RecordingViewPort window;
    StampingInput input;
    input.reserve(4);
    const auto actions = platform::createSystemActions();
    const auto clock = platform::createSystemClock();
    profiles.edit([](ConfigProfile& p) { p.buttonFunction[0] = function_code::kVolumeMute; });
    ActionExecutor executor({flags, profiles, macros, device, window, input, *actions, *clock});
    executor.ensureRunning();

    std::vector<std::chrono::nanoseconds> latencies;
    latencies.reserve(kPresses);
    for (auto _ : state) {
        for (int press = 0; press < kPresses; ++press) {
            // Presses arrive at a reader's pace, so that the executor is idle in its wait.
            std::this_thread::sleep_for(std::chrono::microseconds(500 + press % 7 * 100));
            const auto handedOver = Clock::now();
            flags.pressedKeyCode.store(0xF1, std::memory_order_relaxed);
            flags.pressPending.store(1, std::memory_order_release);
            flags.wakeup.notify();
            Clock::time_point first;
            while (!input.takeFirst(first))
                std::this_thread::yield();
            latencies.push_back(first - handedOver);
            while (flags.pressPending.load(std::memory_order_acquire) != 0) {
                std::this_thread::yield();
            }
        }
    }
    state.counters["p50_us"] = microseconds(percentile(latencies, 0.50));
    state.counters["p99_us"] = microseconds(percentile(latencies, 0.99));
    state.counters["max_us"] = microseconds(percentile(latencies, 1.0));
}
BENCHMARK(BM_PressToFirstEvent)->Iterations(1)->Unit(benchmark::kMillisecond);

// A macro of 200 steps with delays of 1 to 100 ms: the lateness of each step's event against
// its place in the schedule, and the drift of the whole macro.
void BM_MacroStepTiming(benchmark::State& state) {
    constexpr int kSteps = 200;
    MacroRecord macro;
    std::chrono::milliseconds total{0};
    for (int k = 0; k < kSteps; ++k) {
        const auto delay = static_cast<uint16_t>(1 + k * 37 % 100);  // each of 1..100 twice
        macro.steps[static_cast<size_t>(k)] = {
            0x41, static_cast<uint8_t>(k % 2 == 0 ? kStepPress : kStepRelease), delay};
        total += std::chrono::milliseconds(delay);
    }
    macro.stepCount = kSteps;
    const auto clock = platform::createSystemClock();
    std::atomic<int32_t> stopRequested{0};
    StampingInput input;
    input.reserve(kSteps);
    MacroPlayback playback(input, *clock, stopRequested);

    Clock::time_point start;
    Clock::time_point end;
    for (auto _ : state) {
        start = Clock::now();
        playback.play(macro, 0);
        end = Clock::now();
    }
    const auto times = input.times();
    std::vector<std::chrono::nanoseconds> errors;
    std::chrono::nanoseconds scheduled{0};
    for (size_t k = 0; k < times.size(); ++k) {
        errors.push_back(std::chrono::abs(times[k] - (start + scheduled)));
        scheduled += std::chrono::milliseconds(macro.steps[k].delay);
    }
    state.counters["steps"] = static_cast<double>(times.size());
    state.counters["p50_us"] = microseconds(percentile(errors, 0.50));
    state.counters["p99_us"] = microseconds(percentile(errors, 0.99));
    state.counters["max_us"] = microseconds(percentile(errors, 1.0));
    state.counters["drift_us"] = microseconds(end - start - total);
}
BENCHMARK(BM_MacroStepTiming)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v270
