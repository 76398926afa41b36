#pragma once

#include <cstdint>
#include <span>
#include <stop_token>
#include <vector>

#include "device/handover_flags.h"
#include "device/mouse_interfaces.h"
#include "platform/clock.h"
#include "platform/main_window_port.h"
#include "settings/profile_store.h"

namespace v270 {

// Turns the mouse's input reports into the hand-over flags: the start signal starts the
// driver, a host-function key press goes to the action executor, and a second press or the
// release asks a running macro to stop.
class InputReader {
  public:
    InputReader(MouseInterfaces& interfaces, HandOverFlags& flags, BannerState& banner,
                const ProfileStore& store, platform::MainWindowPort& window, platform::Clock& clock)
        : interfaces_(interfaces),
          flags_(flags),
          banner_(banner),
          store_(store),
          window_(window),
          clock_(clock) {}

    // The thread procedure: reads one report at a time from the input interface the last
    // search published, and pauses 2 ms after every pass. The program never stops it; tests
    // do, through `stop`.
    void InputReaderThread(std::stop_token stop);

    // What one report that was read successfully changes.
    void handleReport(std::span<const uint8_t> report);

  private:
    void handleKey(uint8_t keyCode);

    MouseInterfaces& interfaces_;
    HandOverFlags& flags_;
    BannerState& banner_;
    const ProfileStore& store_;
    platform::MainWindowPort& window_;
    platform::Clock& clock_;
    std::vector<uint8_t> inputReport_;
};

}  // namespace v270
