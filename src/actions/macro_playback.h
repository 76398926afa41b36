#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <stop_token>

#include "platform/clock.h"
#include "platform/synthetic_input.h"
#include "settings/macro.h"

namespace v270 {

// Plays a macro's steps as keyboard and mouse-button events, on the executor thread, in the pass
// that handles the press. Each step's delay follows its event; steps are paced against deadlines
// from the start of playback, so that the small lateness of each wait does not add up over a
// long macro. `stopRequested` ends playback after the delay of the step that is playing.
class MacroPlayback {
  public:
    // How far behind its deadline playback may fall (the system stalled the thread) before it
    // stops catching up: later steps then keep their own delays instead of following in a burst.
    static constexpr std::chrono::milliseconds kMaxCatchUp{10};

    // Plays made while the button is held (a non-zero macro mode) unless it is released first.
    static constexpr uint32_t kHeldModePlays = 100000;

    MacroPlayback(platform::SyntheticInput& input, platform::Clock& clock,
                  const std::atomic<int32_t>& stopRequested)
        : input_(input), clock_(clock), stopRequested_(stopRequested) {}

    // Plays `macro`, the caller's own copy, so that edits made meanwhile cannot tear a step.
    // Mode 0 plays it once, or repeatCount times when repeatEnabled; a non-zero mode repeats it
    // while the button is held. `end` (the program ending) cuts even a step's delay short. Keys
    // and buttons it leaves down are released when it ends.
    void play(const MacroRecord& macro, int32_t macroMode2, std::stop_token end = {});

    static uint32_t playsOf(const MacroRecord& macro, int32_t macroMode2);

  private:
    bool stopped() const { return stopRequested_.load(std::memory_order_acquire) != 0; }

    platform::SyntheticInput& input_;
    platform::Clock& clock_;
    const std::atomic<int32_t>& stopRequested_;
};

}  // namespace v270
