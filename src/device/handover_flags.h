#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <utility>

namespace v270 {

// Wakes the executor as soon as the reader hands over a press, so that the press need not wait
// for the executor's next 2 ms pass.
class PressWakeup {
  public:
    void notify() {
        {
            const std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        condition_.notify_one();
    }

    // Waits until notified or until `timeout` has passed; returns whether it was notified, and
    // clears the signal either way.
    bool waitFor(std::chrono::microseconds timeout) {
        std::unique_lock lock(mutex_);
        condition_.wait_for(lock, timeout, [this] { return signalled_; });
        return std::exchange(signalled_, false);
    }

  private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool signalled_ = false;
};

// Flags by which the input reader hands a host-function press to the action executor. The reader
// publishes pressedKeyCode before it sets pressPending (release), and the executor reads
// pressPending before the code (acquire), so that a press is always seen whole.
struct HandOverFlags {
    std::atomic<int32_t> pressPending{0};  // a press waits for the executor, or is being performed
    std::atomic<uint8_t> pressedKeyCode{0};  // 0xF0 + the button's hardware id
    std::atomic<int32_t> stopRequested{0};   // end the running macro between steps
    PressWakeup wakeup;                      // rung by the reader after it sets pressPending
};

// The start prompt of the status banner: until the mouse sends its start signal after an apply
// that gave a button a host function, the banner asks the user to click that key.
struct BannerState {
    std::atomic<uint8_t> driverWorking{1};      // 1: no start prompt pending
    std::atomic<int32_t> startKeyNumber{0};     // slot 1..6 of the first host-function button
    std::atomic<uint8_t> startKeyVisible{0};    // blink phase: 1 shows the number, 0 a blank
    std::atomic<uint8_t> applyBlinkStarted{0};  // an apply started a blink thread since the start
    std::atomic<uint8_t> blinkRunning{0};       // a BannerBlinkThread runs
};

}  // namespace v270
