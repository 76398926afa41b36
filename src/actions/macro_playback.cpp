#include "actions/macro_playback.h"

#include "actions/key_events.h"
#include "actions/pressed_input_record.h"

namespace v270 {

namespace {

MouseButton buttonOf(uint8_t key) {
    if (key == kMouseLeftKey)
        return MouseButton::Left;
    if (key == kMouseRightKey)
        return MouseButton::Right;
    return MouseButton::Middle;  // 242 and every higher code
}

void sendStep(const MacroStep& step, platform::SyntheticInput& input, PressedInputRecord& pressed) {
    if (step.action != kStepPress && step.action != kStepRelease)
        return;
    const bool press = step.action == kStepPress;
    if (step.key >= kMouseLeftKey) {
        const MouseButton button = buttonOf(step.key);
        press ? pressed.buttonDown(button) : pressed.buttonUp(button);
        return;
    }
    const uint32_t extended = isExtendedKey(step.key) ? platform::kKeyEventExtendedKey : 0;
    const uint8_t scanCode = macroScanCode(step.key, input);
    press ? pressed.keyDown(step.key, scanCode, extended)
          : pressed.keyUp(step.key, scanCode, extended);
}

}  // namespace

uint32_t MacroPlayback::playsOf(const MacroRecord& macro, int32_t macroMode2) {
    if (macroMode2 != 0)
        return kHeldModePlays;
    return macro.repeatEnabled == 0 ? 1 : macro.repeatCount;
}

void MacroPlayback::play(const MacroRecord& macro, int32_t macroMode2, std::stop_token end) {
    const uint32_t plays = playsOf(macro, macroMode2);
    // A macro without steps sends nothing however often it plays; counting through its plays
    // would only hold the executor in a busy loop until the button is released.
    if (macro.stepCount == 0 || plays == 0)
        return;

    PressedInputRecord pressed(input_);
    platform::Clock::TimePoint deadline = clock_.now();
    for (uint32_t play = 0; play < plays; ++play) {
        for (size_t k = 0; k < macro.stepCount; ++k) {
            const MacroStep& step = macro.steps[k];
            sendStep(step, input_, pressed);
            const platform::Clock::TimePoint sent = clock_.now();
            if (sent - deadline > kMaxCatchUp)
                deadline = sent;
            deadline += std::chrono::milliseconds(step.delay);
            if (!clock_.waitUntil(deadline, end) || stopped())
                return;
        }
    }
}

}  // namespace v270
