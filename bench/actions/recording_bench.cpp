// How exact a recorded delay is: keystrokes are injected with known gaps of 1 to 500 ms, stamped
// where they happen as the keyboard capture stamps them, handed to a window thread that is now
// and then busy painting (as a posted message waits behind it), and recorded. The error is the
// recorded delay less the real gap, in milliseconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "actions/macro_recorder.h"
#include "platform/keyboard_capture.h"

namespace v270 {
namespace {

using Clock = std::chrono::steady_clock;

// What the capture posts to the window: a stamped key, delivered in order.
class PostedKeys {
  public:
    void post(const platform::CapturedKey& key) {
        {
            const std::lock_guard lock(mutex_);
            keys_.push_back(key);
        }
        arrived_.notify_one();
    }
    platform::CapturedKey take() {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return !keys_.empty(); });
        const platform::CapturedKey key = keys_.front();
        keys_.pop_front();
        return key;
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<platform::CapturedKey> keys_;
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void BM_RecordedDelayError(benchmark::State& state) {
    constexpr int kGapsMs[] = {1, 2, 3, 5, 8, 13, 20, 35, 50, 80, 120, 200, 300, 500};
    // One key pressed and released per gap, twice over: 2 * 14 gaps between 57 events.
    std::vector<int> gaps;
    for (int round = 0; round < 2; ++round) {
        for (const int gap : kGapsMs) {
            gaps.push_back(gap);
            gaps.push_back(gap);
        }
    }
    std::vector<double> errors;
    for (auto _ : state) {
        PostedKeys posted;
        std::vector<Clock::time_point> sent;
        std::thread keyboard([&] {
            const platform::KeyTransition transitions[] = {platform::KeyTransition::Down,
                                                           platform::KeyTransition::Up};
            for (size_t i = 0; i <= gaps.size(); ++i) {
                if (i > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(gaps[i - 1]));
                sent.push_back(Clock::now());
                posted.post({{transitions[i % 2], static_cast<uint8_t>(0x41 + i / 2 % 26)},
                             platform::microsecondOfDayNow()});
            }
        });
        MacroRecorder recorder;
        MacroRecord macro;
        recorder.start(macro, 0, u"bench");
        for (size_t i = 0; i <= gaps.size(); ++i) {
            // The window thread is busy for up to 30 ms before it takes a message.
            std::this_thread::sleep_for(std::chrono::milliseconds(i * 7 % 31));
            int32_t step = 0;
            const platform::CapturedKey key = posted.take();
            recorder.onKey(macro, key.message, key.microsecondOfDay, step);
        }
        keyboard.join();
        recorder.stop(macro);
        for (size_t i = 0; i + 1 < sent.size() && i < macro.stepCount; ++i) {
            const double gap =
                std::chrono::duration<double, std::milli>(sent[i + 1] - sent[i]).count();
            errors.push_back(std::abs(macro.steps[i].delay - gap));
        }
    }
    state.counters["gaps"] = static_cast<double>(errors.size());
    state.counters["p50_error_ms"] = percentile(errors, 0.50);
    state.counters["p99_error_ms"] = percentile(errors, 0.99);
    state.counters["max_error_ms"] = percentile(errors, 1.0);
}
BENCHMARK(BM_RecordedDelayError)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace v270
