#include "actions/macro_recorder.h"

#include <algorithm>

namespace v270 {

namespace {

constexpr uint64_t kMicrosecondsPerDay = 86'400'000'000;
constexpr uint64_t kLongestDelay = 65535;

}  // namespace

void MacroRecorder::start(MacroRecord& macro, int32_t target, std::u16string_view name) {
    recording_ = true;
    target_ = target;
    recordedSteps_ = 0;
    presses_ = 0;
    heldKeys_.fill(0);
    heldKeyCount_ = 0;
    // A new recording does not take its first key for a repeat of the last one's.
    lastKeyMessage_.reset();
    macro = MacroRecord{};
    macro.setName(name);
    macro.repeatEnabled = 0;
    macro.repeatCount = 1;
}

void MacroRecorder::stop(MacroRecord& macro) {
    if (!recording_)
        return;
    recording_ = false;
    macro.stepCount = static_cast<uint8_t>(recordedSteps_);
}

bool MacroRecorder::heldIndex(uint8_t key, size_t& index) const {
    const auto held = heldKeys_.begin();
    const auto found = std::find(held, held + static_cast<std::ptrdiff_t>(heldKeyCount_), key);
    index = static_cast<size_t>(found - held);
    return index < heldKeyCount_;
}

RecordOutcome MacroRecorder::onKey(MacroRecord& macro, const platform::KeyMessage& message,
                                   uint64_t microsecondOfDay, int32_t& step) {
    if (!recording_ || lastKeyMessage_ == message)
        return RecordOutcome::Ignored;
    if (recordedSteps_ >= kMaxSteps) {
        lastKeyMessage_ = message;
        return RecordOutcome::Ignored;
    }
    const bool down = platform::isKeyDown(message.transition);
    size_t held = 0;
    if (down) {
        if (presses_ >= kMaxPresses || heldKeyCount_ >= kMaxHeldKeys)
            return RecordOutcome::PassedOn;
        heldKeys_[heldKeyCount_++] = message.key;
        ++presses_;
    } else {
        // The release of a key pressed before the recording began.
        if (!heldIndex(message.key, held))
            return RecordOutcome::PassedOn;
        std::move(heldKeys_.begin() + static_cast<std::ptrdiff_t>(held) + 1,
                  heldKeys_.begin() + static_cast<std::ptrdiff_t>(heldKeyCount_),
                  heldKeys_.begin() + static_cast<std::ptrdiff_t>(held));
        --heldKeyCount_;
    }

    step = recordedSteps_;
    MacroStep& written = macro.steps[static_cast<size_t>(step)];
    written.key = message.key;
    written.action = down ? kStepPress : kStepRelease;
    // The first key of a recording only sets the time base.
    const uint16_t elapsed = elapsedMilliseconds(lastEventTime_, microsecondOfDay);
    lastEventTime_ = microsecondOfDay;
    if (step > 0) {
        macro.steps[static_cast<size_t>(step - 1)].delay = elapsed;
        written.delay = kLastStepDelay;
    }
    ++recordedSteps_;
    lastKeyMessage_ = message;
    return RecordOutcome::Recorded;
}

uint16_t MacroRecorder::elapsedMilliseconds(uint64_t from, uint64_t to) {
    const uint64_t gap = to >= from ? to - from : to + kMicrosecondsPerDay - from;
    // To the nearest millisecond, so that a gap is off by at most half of one.
    return static_cast<uint16_t>(std::min((gap + 500) / 1000, kLongestDelay));
}

}  // namespace v270
