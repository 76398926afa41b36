#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/keyboard_capture.h"
#include "settings/macro.h"

namespace v270 {

// What the recorder made of one key message.
enum class RecordOutcome {
    // A step was written; the step list gets its rows.
    Recorded,
    // A repeat of the last message, or the step limit: nothing is recorded, and the window's key
    // filter applies to the message as usual.
    Ignored,
    // The press limit, a tenth key held at once, or the release of a key pressed before the
    // recording: nothing is recorded and the message goes on untouched.
    PassedOn,
};

// Turns key messages into the steps of the macro being recorded: a key-down is a press step, a
// key-up the release of a key recorded as pressed; the delay of each step is the time to the
// next key message. Runs on the window's thread.
class MacroRecorder {
  public:
    static constexpr int32_t kMaxSteps = 216;
    static constexpr int32_t kMaxPresses = 108;
    static constexpr size_t kMaxHeldKeys = 9;
    static constexpr uint16_t kLastStepDelay = 30;

    bool recording() const { return recording_; }
    // The macro being recorded.
    int32_t target() const { return target_; }
    int32_t recordedSteps() const { return recordedSteps_; }

    // Starts recording into `macro`, macro number `target`: the record is cleared as the blank
    // slot is (name, repeat settings and steps), then keeps `name` and plays once.
    void start(MacroRecord& macro, int32_t target, std::u16string_view name);

    // Ends the recording: the macro holds the steps recorded.
    void stop(MacroRecord& macro);

    // One key message of the recording, at `microsecondOfDay`. On Recorded, `step` is the number
    // of the step written.
    RecordOutcome onKey(MacroRecord& macro, const platform::KeyMessage& message,
                        uint64_t microsecondOfDay, int32_t& step);

    // The milliseconds from `from` to `to`, times of day: a time before `from` is on the next day,
    // and a gap beyond 65535 ms is 65535.
    static uint16_t elapsedMilliseconds(uint64_t from, uint64_t to);

  private:
    bool heldIndex(uint8_t key, size_t& index) const;

    bool recording_ = false;
    int32_t target_ = 0;
    int32_t recordedSteps_ = 0;
    int32_t presses_ = 0;
    std::array<uint8_t, kMaxHeldKeys> heldKeys_{};
    size_t heldKeyCount_ = 0;
    std::optional<platform::KeyMessage> lastKeyMessage_;
    uint64_t lastEventTime_ = 0;
};

}  // namespace v270
