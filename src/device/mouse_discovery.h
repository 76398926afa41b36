#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "device/mouse_interfaces.h"
#include "platform/hid.h"

namespace v270 {

// What the main window must do after a device notice.
enum class DeviceChangeOutcome {
    Nothing,
    MouseRemoved,  // remove the tray icon and destroy the window; the program ends
};

// Finds the mouse's two vendor interfaces among the HID interfaces present, opens them and
// publishes them; reacts to the arrival and removal of the mouse. Runs on the UI thread.
class MouseDiscovery {
  public:
    MouseDiscovery(platform::HidSystem& hid, MouseInterfaces& interfaces)
        : hid_(hid), interfaces_(interfaces) {}

    // Searches the first 100 interfaces listed and returns deviceFound: 1 when any of them had
    // the mouse's vendor and product id. The search ends once both vendor interfaces are
    // assigned (opened, or tried and failed).
    uint8_t FindMouse();

    // The device-change handler: a removal of devicePath ends the program; its arrival while
    // the mouse is not found searches again.
    DeviceChangeOutcome onDeviceNotice(const platform::DeviceNotice& notice);

    uint8_t deviceFound() const { return deviceFound_.load(std::memory_order_acquire); }

    // The path of the last interface examined that had the mouse's identity; empty until then.
    std::u16string devicePath() const {
        const std::lock_guard lock(pathMutex_);
        return devicePath_;
    }

  private:
    bool namesDevicePath(const platform::DeviceNotice& notice) const;

    platform::HidSystem& hid_;
    MouseInterfaces& interfaces_;
    std::atomic<uint8_t> deviceFound_{0};
    mutable std::mutex pathMutex_;
    std::u16string devicePath_;
};

}  // namespace v270
