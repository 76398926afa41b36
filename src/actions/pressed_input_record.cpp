#include "actions/pressed_input_record.h"

#include <algorithm>

namespace v270 {

namespace {

uint32_t downFlag(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return platform::kMouseEventLeftDown;
        case MouseButton::Right:
            return platform::kMouseEventRightDown;
        case MouseButton::Middle:
            break;
    }
    return platform::kMouseEventMiddleDown;
}

uint32_t upFlag(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return platform::kMouseEventLeftUp;
        case MouseButton::Right:
            return platform::kMouseEventRightUp;
        case MouseButton::Middle:
            break;
    }
    return platform::kMouseEventMiddleUp;
}

}  // namespace

void PressedInputRecord::keyDown(uint8_t virtualKey, uint8_t scanCode, uint32_t extendedFlag) {
    input_.keyEvent(virtualKey, scanCode, extendedFlag);
    remember({false, virtualKey, scanCode, extendedFlag});
}

void PressedInputRecord::keyUp(uint8_t virtualKey, uint8_t scanCode, uint32_t extendedFlag) {
    input_.keyEvent(virtualKey, scanCode, extendedFlag | platform::kKeyEventKeyUp);
    forget(false, virtualKey);
}

void PressedInputRecord::buttonDown(MouseButton button) {
    input_.mouseEvent(downFlag(button));
    remember({true, static_cast<uint8_t>(button), 0, 0});
}

void PressedInputRecord::buttonUp(MouseButton button) {
    input_.mouseEvent(upFlag(button));
    forget(true, static_cast<uint8_t>(button));
}

void PressedInputRecord::releaseAll() {
    while (heldCount_ > 0) {
        --heldCount_;
        release(held_[heldCount_]);
    }
}

void PressedInputRecord::remember(const Held& held) {
    const auto end = held_.begin() + static_cast<std::ptrdiff_t>(heldCount_);
    // A key pressed again while down is still one key down; the system needs one release.
    const bool known = std::any_of(held_.begin(), end, [&](const Held& entry) {
        return entry.isButton == held.isButton && entry.code == held.code;
    });
    if (!known && heldCount_ < held_.size())
        held_[heldCount_++] = held;
}

void PressedInputRecord::forget(bool isButton, uint8_t code) {
    const auto end = held_.begin() + static_cast<std::ptrdiff_t>(heldCount_);
    const auto found = std::find_if(held_.begin(), end, [&](const Held& entry) {
        return entry.isButton == isButton && entry.code == code;
    });
    if (found == end)
        return;
    std::copy(found + 1, end, found);
    --heldCount_;
}

void PressedInputRecord::release(const Held& held) {
    if (held.isButton) {
        input_.mouseEvent(upFlag(static_cast<MouseButton>(held.code)));
    } else {
        input_.keyEvent(held.code, held.scanCode, held.extendedFlag | platform::kKeyEventKeyUp);
    }
}

}  // namespace v270
