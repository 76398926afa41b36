#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/synthetic_input.h"

namespace v270 {

enum class MouseButton : uint8_t { Left, Right, Middle };

// Sends a macro's key and button events and keeps a record of every key and button it pressed
// and has not released, so that a macro stopped halfway, or one that never releases what it
// pressed, leaves nothing held down: whatever is still down is released when the record ends.
class PressedInputRecord {
  public:
    explicit PressedInputRecord(platform::SyntheticInput& input) : input_(input) {}
    PressedInputRecord(const PressedInputRecord&) = delete;
    PressedInputRecord& operator=(const PressedInputRecord&) = delete;
    ~PressedInputRecord() { releaseAll(); }

    // `extendedFlag` is kKeyEventExtendedKey or 0; a release is sent with the same flag and
    // scan code as it is given, and kKeyEventKeyUp added.
    void keyDown(uint8_t virtualKey, uint8_t scanCode, uint32_t extendedFlag);
    void keyUp(uint8_t virtualKey, uint8_t scanCode, uint32_t extendedFlag);
    void buttonDown(MouseButton button);
    void buttonUp(MouseButton button);

    // Releases what is still down, the last pressed first, as it was pressed.
    void releaseAll();

    size_t heldCount() const { return heldCount_; }

  private:
    struct Held {
        bool isButton = false;
        uint8_t code = 0;  // virtual key, or the MouseButton
        uint8_t scanCode = 0;
        uint32_t extendedFlag = 0;
    };

    static constexpr size_t kMaxHeld = 256 + 3;  // every virtual key and the three buttons

    void remember(const Held& held);
    void forget(bool isButton, uint8_t code);
    void release(const Held& held);

    platform::SyntheticInput& input_;
    std::array<Held, kMaxHeld> held_{};  // in the order pressed
    size_t heldCount_ = 0;
};

}  // namespace v270
