#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "device/mouse_interfaces.h"
#include "platform/hid.h"

namespace v270 {

// What the main window must do after a device notice.
enum class DeviceChangeOutcome {
    Nothing,
    // The mouse went, or the system asked for its handles (closed by now): the program ends, or
    // waits for the mouse.
    MouseRemoved,
    // The mouse came back, both vendor interfaces of one device open: it gets the profile.
    MouseArrived,
};

// Finds the mouse's two vendor interfaces among the HID interfaces present, opens them and
// publishes them; reacts to the arrival and removal of the mouse. Runs on the UI thread.
class MouseDiscovery {
  public:
    MouseDiscovery(platform::HidSystem& hid, MouseInterfaces& interfaces)
        : hid_(hid), interfaces_(interfaces) {}

    // Searches the first 100 interfaces listed and returns deviceFound: 1 when any of them had
    // the mouse's vendor and product id. The two vendor interfaces are taken from one device:
    // the search ends at the first device whose both collections have been listed (opened, or
    // tried and failed); with none complete, the first collection of each kind is taken.
    uint8_t FindMouse();

    // The device-change handler. The removal of devicePath or of an interface the program
    // opened, or the system's request for them, closes the interfaces: the mouse is gone. The
    // mouse's arrival (or a refused removal) while its pair is not open searches again.
    DeviceChangeOutcome onDeviceNotice(const platform::DeviceNotice& notice);

    // The system's notices of arriving HID interfaces come from now on; a search registers for
    // them only once it has seen the mouse.
    void listenForArrival() { hid_.registerForNotices(); }

    uint8_t deviceFound() const { return deviceFound_.load(std::memory_order_acquire); }
    // Both vendor interfaces of one device are open since the last search.
    bool paired() const { return paired_.load(std::memory_order_acquire); }

    // The path of the last interface examined that had the mouse's identity; empty until then.
    std::u16string devicePath() const {
        const std::lock_guard lock(pathMutex_);
        return devicePath_;
    }

  private:
    bool namesTheMouse(const platform::DeviceNotice& notice) const;
    bool mayBeTheMouse(const platform::DeviceNotice& notice) const;
    DeviceChangeOutcome searchAgain();

    platform::HidSystem& hid_;
    MouseInterfaces& interfaces_;
    std::atomic<uint8_t> deviceFound_{0};
    std::atomic<bool> paired_{false};
    mutable std::mutex pathMutex_;
    std::u16string devicePath_;
    // The vendor interfaces the last search took, open or not.
    std::vector<std::u16string> takenPaths_;
};

}  // namespace v270
