#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string_view>

#include "actions/button_changes.h"
#include "actions/macro_playback.h"
#include "device/device_commands.h"
#include "device/handover_flags.h"
#include "platform/clock.h"
#include "platform/synthetic_input.h"
#include "platform/system_actions.h"
#include "platform/view_port.h"
#include "platform/worker_thread.h"
#include "settings/macro_store.h"
#include "settings/profile_store.h"

namespace v270 {

// What the executor works with; all of it outlives the executor.
struct ExecutorServices {
    HandOverFlags& flags;
    ProfileStore& profiles;
    MacroStore& macros;
    DeviceCommands& device;
    platform::ViewPort& view;  // repaints
    platform::SyntheticInput& input;
    platform::SystemActions& system;
    platform::Clock& clock;
    ButtonChangeListener* changes = nullptr;  // told of each change a button made; may be none
};

// Performs the host functions of the buttons whose presses the input reader hands over: key
// chords, program starts, locking, DPI and LED changes, the next profile, and macros. It owns
// the executor thread, which sleeps until the reader hands it something.
class ActionExecutor {
  public:
    explicit ActionExecutor(const ExecutorServices& services);

    // Starts the executor thread, at the highest normal priority, unless it runs.
    void ensureRunning() { thread_.ensureRunning(); }
    // Ends the executor thread; a macro that plays ends at once, releasing what it holds down.
    void stop() { thread_.stop(); }
    bool running() const { return thread_.running(); }

    // One pass: performs the pending press, if there is one, and clears pressPending; then
    // clears stopRequested. A pass lasts as long as its function, the whole of a macro included.
    void runPass(std::stop_token end = {});

    // The thread's job: a pass, then a sleep until the reader hands over a press or a stop
    // request; again until `stop`.
    void run(std::stop_token stop);

    // While paused (an application that wants no injected input is in front), the functions
    // that act on the PC do nothing: keys, chords, clicks, macros, program starts, locking. A
    // macro that plays stops at once and releases what it holds. DPI, LED and profile changes,
    // which only talk to the mouse, go on. Any thread may call it.
    void setHostFunctionsPaused(bool paused);
    bool hostFunctionsPaused() const { return paused_.load(std::memory_order_acquire); }

  private:
    void perform(int slotIndex, int32_t code, std::stop_token end);
    void performByCode(int32_t code);
    void nextProfile();
    // Tells the listener, if there is one, what a button changed.
    void tell(void (ButtonChangeListener::*change)());
    void startSystemProgram(std::u16string_view fileName);

    void playMacro(const MacroRecord& macro, std::stop_token end);

    ExecutorServices services_;
    MacroPlayback playback_;
    std::atomic<bool> paused_{false};
    // The stop of the macro that plays, if one does; a pause requests it.
    std::mutex playingMutex_;
    std::stop_source* playing_ = nullptr;
    platform::WorkerThread thread_;  // last: it ends before the rest goes
};

}  // namespace v270
