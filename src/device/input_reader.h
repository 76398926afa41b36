#pragma once

#include <cstdint>
#include <span>
#include <stop_token>
#include <vector>

#include "device/handover_flags.h"
#include "device/mouse_interfaces.h"
#include "platform/clock.h"
#include "platform/view_port.h"
#include "platform/worker_thread.h"
#include "settings/profile_store.h"

namespace v270 {

struct InputReaderServices {
    MouseInterfaces& interfaces;
    HandOverFlags& flags;
    BannerState& banner;
    const ProfileStore& profiles;  // macroMode2
    platform::ViewPort& view;      // repaints
    platform::Clock& clock;
};

// Turns the mouse's input reports into the hand-over flags: the start signal starts the
// driver, a host-function key press goes to the action executor, and a second press or the
// release asks a running macro to stop. It owns the reader thread.
class InputReader {
  public:
    explicit InputReader(const InputReaderServices& services);

    // Starts the reader thread, at the highest normal priority, unless it runs.
    void ensureRunning() { thread_.ensureRunning(); }
    // Ends the reader thread; a read blocked on the mouse is cancelled.
    void stop() { thread_.stop(); }
    bool running() const { return thread_.running(); }

    // The thread's job: reads one report at a time from the input interface the last search
    // published, and pauses 2 ms after every read. While there is no interface it can read it
    // sleeps until a search publishes one.
    void InputReaderThread(std::stop_token stop);

    // What one report that was read successfully changes.
    void handleReport(std::span<const uint8_t> report);

  private:
    void handleKey(uint8_t keyCode);
    void requestStop();

    InputReaderServices s_;
    std::vector<uint8_t> inputReport_;
    platform::WorkerThread thread_;  // last: it ends before the rest goes
};

}  // namespace v270
