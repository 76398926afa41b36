#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace v270::platform {

// The four key messages: a key going down or up, with or without Alt (the system's variants).
enum class KeyTransition : uint8_t { Down, Up, SystemDown, SystemUp };

constexpr bool isKeyDown(KeyTransition transition) {
    return transition == KeyTransition::Down || transition == KeyTransition::SystemDown;
}

struct KeyMessage {
    KeyTransition transition = KeyTransition::Down;
    uint8_t key = 0;  // virtual-key code

    bool operator==(const KeyMessage&) const = default;
};

// A keystroke taken from the system's input, stamped when it happened.
struct CapturedKey {
    KeyMessage message;
    uint64_t microsecondOfDay = 0;  // since midnight, UTC

    bool operator==(const CapturedKey&) const = default;
};

// The extra information the program's own synthetic input carries, so that capture lets it
// through: a macro playing while another is recorded is neither recorded nor swallowed.
inline constexpr uintptr_t kOwnInputTag = 0x56323730;  // "V270"

// Every keystroke of the system goes to the main window, and to no other program, for as long
// as this object lives; the program's own synthetic input passes on untouched. The keys wait
// here, and the window is only told that some are waiting.
class KeyboardCapture {
  public:
    virtual ~KeyboardCapture() = default;
    // The keys captured since the last call, oldest first.
    virtual std::vector<CapturedKey> takeKeys() = 0;
};

// The time of day in microseconds since midnight, UTC, from the system's most precise clock.
uint64_t microsecondOfDayNow();

}  // namespace v270::platform
