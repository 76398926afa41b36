#pragma once

#include <chrono>
#include <cstdint>
#include <stop_token>
#include <string_view>

#include "actions/macro_playback.h"
#include "device/device_commands.h"
#include "device/handover_flags.h"
#include "platform/clock.h"
#include "platform/main_window_port.h"
#include "platform/synthetic_input.h"
#include "platform/system_actions.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"

namespace v270 {

// What the executor works with; all of it outlives the executor.
struct ExecutorServices {
    HandOverFlags& flags;
    ProfileStore& profiles;
    MacroStore& macros;
    DeviceCommands& device;
    platform::MainWindowPort& window;
    platform::SyntheticInput& input;
    platform::SystemActions& system;
    platform::Clock& clock;
};

// Performs the host functions of the buttons whose presses the input reader hands over: key
// chords, program starts, locking, DPI and LED changes, the next profile, and macros.
class ActionExecutor {
  public:
    static constexpr std::chrono::milliseconds kPollPeriod{2};

    explicit ActionExecutor(const ExecutorServices& services);

    // One pass: performs the pending press, if there is one, and clears pressPending; then
    // clears stopRequested. A pass lasts as long as its function, the whole of a macro included.
    void runPass();

    // The thread's loop: a pass, then a wait of kPollPeriod that ends early when the reader hands
    // over a press. The program never stops it; tests do.
    void run(std::stop_token stop);

  private:
    void perform(int slotIndex, int32_t code);
    void performByCode(int32_t code);
    void nextProfile();
    void startSystemProgram(std::u16string_view fileName);

    ExecutorServices services_;
    MacroPlayback playback_;
};

}  // namespace v270
