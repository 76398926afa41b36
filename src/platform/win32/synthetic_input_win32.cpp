#include <windows.h>

#include "platform/keyboard_capture.h"
#include "platform/synthetic_input.h"

namespace v270::platform {

namespace {

// Injects through keybd_event and mouse_event, which Windows turns into one SendInput event
// each, flagged as injected to low-level hooks and tagged as the program's own, so that a
// recording lets them through.
class Win32SyntheticInput : public SyntheticInput {
  public:
    void keyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) override {
        keybd_event(virtualKey, scanCode, flags, kOwnInputTag);
    }
    void mouseEvent(uint32_t flags) override { mouse_event(flags, 0, 0, 0, kOwnInputTag); }
    uint32_t scanCodeOf(uint8_t virtualKey) override {
        return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    }
};

}  // namespace

std::unique_ptr<SyntheticInput> createSyntheticInput() {
    return std::make_unique<Win32SyntheticInput>();
}

}  // namespace v270::platform
