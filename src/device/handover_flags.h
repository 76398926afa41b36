#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <utility>

namespace v270 {

// Wakes the executor when the reader hands it something: a press, or a stop request it must
// clear. The executor sleeps here between presses, so an idle program makes no periodic wake-ups.
class HandOverSignal {
  public:
    void notify() {
        {
            const std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        condition_.notify_one();
    }

    // Sleeps until notified or until `stop` is requested; returns whether it was notified, and
    // clears the signal either way.
    bool wait(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        condition_.wait(lock, stop, [this] { return signalled_; });
        return std::exchange(signalled_, false);
    }

  private:
    std::mutex mutex_;
    std::condition_variable_any condition_;
    bool signalled_ = false;
};

// Flags by which the input reader hands a host-function press to the action executor. The reader
// publishes pressedKeyCode before it sets pressPending (release), and the executor reads
// pressPending before the code (acquire), so that a press is always seen whole.
struct HandOverFlags {
    std::atomic<int32_t> pressPending{0};  // a press waits for the executor, or is being performed
    std::atomic<uint8_t> pressedKeyCode{0};  // 0xF0 + the button's hardware id
    std::atomic<int32_t> stopRequested{0};   // end the running macro between steps
    HandOverSignal wakeup;  // rung by the reader after it sets pressPending or stopRequested
};

// The start prompt of the status banner: until the mouse sends its start signal after an apply
// that gave a button a host function, the banner asks the user to click that key.
struct BannerState {
    std::atomic<uint8_t> driverWorking{1};      // 1: no start prompt pending
    std::atomic<int32_t> startKeyNumber{0};     // slot 1..6 of the first host-function button
    std::atomic<uint8_t> startKeyVisible{0};    // blink phase: 1 shows the number, 0 a blank
    std::atomic<uint8_t> applyBlinkStarted{0};  // an apply started the blinking since the start
};

// Told when an apply raises the start prompt and no apply has started the blinking since the last
// start signal: the banner's number then starts to blink.
class StartPromptListener {
  public:
    virtual ~StartPromptListener() = default;
    virtual void startPromptRaised() = 0;
};

}  // namespace v270
