#pragma once

#include <atomic>
#include <cstdint>

namespace v270 {

// Flags by which the input reader hands a host-function press to the action executor. The reader
// publishes pressedKeyCode before it sets pressPending (release), and the executor reads
// pressPending before the code (acquire), so that a press is always seen whole.
struct HandOverFlags {
    std::atomic<int32_t> pressPending{0};   // a press waits for the executor, or is being performed
    std::atomic<uint8_t> pressedKeyCode{0};  // 0xF0 + the button's hardware id
    std::atomic<int32_t> stopRequested{0};  // end the running macro between steps
};

// The start prompt of the status banner: until the mouse sends its start signal after an apply
// that gave a button a host function, the banner asks the user to click that key.
struct BannerState {
    std::atomic<uint8_t> driverWorking{1};     // 1: no start prompt pending
    std::atomic<int32_t> startKeyNumber{0};    // slot 1..6 of the first host-function button
    std::atomic<uint8_t> startKeyVisible{0};   // blink phase: 1 shows the number, 0 a blank
    std::atomic<uint8_t> applyBlinkStarted{0};  // an apply started a blink thread since the start
    std::atomic<uint8_t> blinkRunning{0};      // a BannerBlinkThread runs
};

}  // namespace v270
