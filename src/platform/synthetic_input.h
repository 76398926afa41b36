#pragma once

#include <cstdint>
#include <memory>

namespace v270::platform {

// keybd_event flags.
inline constexpr uint32_t kKeyEventExtendedKey = 0x0001;
inline constexpr uint32_t kKeyEventKeyUp = 0x0002;

// mouse_event button flags.
inline constexpr uint32_t kMouseEventLeftDown = 0x0002;
inline constexpr uint32_t kMouseEventLeftUp = 0x0004;
inline constexpr uint32_t kMouseEventRightDown = 0x0008;
inline constexpr uint32_t kMouseEventRightUp = 0x0010;
inline constexpr uint32_t kMouseEventMiddleDown = 0x0020;
inline constexpr uint32_t kMouseEventMiddleUp = 0x0040;

// Keyboard and mouse-button events injected into the system's input stream, as if the user had
// made them. One call is one system event; its extra information is kOwnInputTag (so that a
// recording passes it on), and mouse coordinates and wheel data are always 0.
class SyntheticInput {
  public:
    virtual ~SyntheticInput() = default;

    // One keyboard event: a virtual key, its scan code and kKeyEvent* flags.
    virtual void keyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) = 0;

    // One mouse event with kMouseEvent* flags.
    virtual void mouseEvent(uint32_t flags) = 0;

    // The scan code of a virtual key in the current keyboard layout; 0 when it has none.
    virtual uint32_t scanCodeOf(uint8_t virtualKey) = 0;
};

// The platform's injector: Windows input on Windows; natively, events go nowhere, since there
// is no input stream to inject into, and scan codes follow a US keyboard.
std::unique_ptr<SyntheticInput> createSyntheticInput();

}  // namespace v270::platform
