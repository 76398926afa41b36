#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <vector>

#include "platform/clock.h"
#include "platform/synthetic_input.h"

namespace v270::test {

struct InputEvent {
    enum class Kind { Key, Mouse };
    Kind kind = Kind::Key;
    uint8_t virtualKey = 0;
    uint8_t scanCode = 0;
    uint32_t flags = 0;

    bool operator==(const InputEvent&) const = default;
};

inline InputEvent keyDown(uint8_t key, uint8_t scan, bool extended = false) {
    return {InputEvent::Kind::Key, key, scan, extended ? platform::kKeyEventExtendedKey : 0u};
}
inline InputEvent keyUp(uint8_t key, uint8_t scan, bool extended = false) {
    return {InputEvent::Kind::Key, key, scan,
            platform::kKeyEventKeyUp | (extended ? platform::kKeyEventExtendedKey : 0u)};
}
inline InputEvent mouse(uint32_t flags) {
    return {InputEvent::Kind::Mouse, 0, 0, flags};
}

inline std::ostream& operator<<(std::ostream& out, const InputEvent& event) {
    if (event.kind == InputEvent::Kind::Mouse)
        return out << "mouse(0x" << std::hex << event.flags << std::dec << ")";
    return out << "key(vk 0x" << std::hex << int{event.virtualKey} << ", scan 0x"
               << int{event.scanCode} << ", flags 0x" << event.flags << std::dec << ")";
}

// Takes the place of the system's input stream: keeps every event, and, as the system does, a
// table of the keys and buttons that are down, so that tests can see what a sequence left held.
// Scan codes follow a made-up layout whose codes are wider than a byte, as MapVirtualKeyW's
// result is, and differ from the virtual keys.
class RecordingInput : public platform::SyntheticInput {
  public:
    // Each event is stamped with `clock`'s time when one is given.
    explicit RecordingInput(const platform::Clock* clock = nullptr) : clock_(clock) {}

    static uint32_t layoutScanCode(uint8_t virtualKey) {
        return 0x0100u | static_cast<uint8_t>(virtualKey + 0x11);
    }
    static uint8_t sentScanCode(uint8_t virtualKey) {
        return static_cast<uint8_t>(layoutScanCode(virtualKey));
    }

    void keyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) override {
        record({InputEvent::Kind::Key, virtualKey, scanCode, flags},
               [&] { keysDown_[virtualKey] = (flags & platform::kKeyEventKeyUp) == 0; });
    }

    void mouseEvent(uint32_t flags) override {
        record({InputEvent::Kind::Mouse, 0, 0, flags}, [&] {
            for (size_t b = 0; b < kButtons.size(); ++b) {
                if (flags & kButtons[b].down)
                    buttonsDown_[b] = true;
                if (flags & kButtons[b].up)
                    buttonsDown_[b] = false;
            }
        });
    }

    uint32_t scanCodeOf(uint8_t virtualKey) override {
        const std::lock_guard lock(mutex_);
        ++scanCodeLookups_;
        return layoutScanCode(virtualKey);
    }

    std::vector<InputEvent> events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<platform::Clock::TimePoint> times() const {
        const std::lock_guard lock(mutex_);
        return times_;
    }
    size_t eventCount() const {
        const std::lock_guard lock(mutex_);
        return events_.size();
    }
    int scanCodeLookups() const {
        const std::lock_guard lock(mutex_);
        return scanCodeLookups_;
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        events_.clear();
        times_.clear();
    }

    // Whether any key or button is down after the events so far.
    bool anythingHeld() const {
        const std::lock_guard lock(mutex_);
        return keysDown_.any() || buttonsDown_.any();
    }
    bool keyHeld(uint8_t virtualKey) const {
        const std::lock_guard lock(mutex_);
        return keysDown_[virtualKey];
    }

    // Called after each event with the number of events so far, outside the lock.
    std::function<void(size_t)> onEvent;

  private:
    struct ButtonFlags {
        uint32_t down;
        uint32_t up;
    };
    static constexpr std::array<ButtonFlags, 3> kButtons = {{
        {platform::kMouseEventLeftDown, platform::kMouseEventLeftUp},
        {platform::kMouseEventRightDown, platform::kMouseEventRightUp},
        {platform::kMouseEventMiddleDown, platform::kMouseEventMiddleUp},
    }};

    template <typename UpdateState>
    void record(const InputEvent& event, UpdateState update) {
        size_t count = 0;
        {
            const std::lock_guard lock(mutex_);
            events_.push_back(event);
            if (clock_ != nullptr)
                times_.push_back(clock_->now());
            update();
            count = events_.size();
        }
        if (onEvent)
            onEvent(count);
    }

    const platform::Clock* clock_;
    mutable std::mutex mutex_;
    std::vector<InputEvent> events_;
    std::vector<platform::Clock::TimePoint> times_;
    std::bitset<256> keysDown_;
    std::bitset<3> buttonsDown_;
    int scanCodeLookups_ = 0;
};

}  // namespace v270::test
