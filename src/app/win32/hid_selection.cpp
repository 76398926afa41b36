#include "app/win32/hid_selection.h"

#include "device/simulated_hid.h"
#include "platform/win32/device_broadcast_win32.h"
#include "platform/win32/hid_win32.h"

namespace v270::win32 {

namespace {

// The system's HID devices; their notices are registered for the main window, which exists by
// the time of the first search.
class SystemHid final : public platform::HidSystem {
  public:
    explicit SystemHid(const std::atomic<HWND>& window) : window_(window) {}

    std::unique_ptr<platform::HidEnumeration> enumerate() override { return hid_.enumerate(); }
    std::unique_ptr<platform::HidProbe> probe(std::u16string_view path) override {
        return hid_.probe(path);
    }
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override {
        return hid_.open(path, access);
    }
    void registerForNotices() override {
        hid_.setNoticeWindow(window_.load());
        hid_.registerForNotices();
    }

  private:
    const std::atomic<HWND>& window_;
    Win32HidSystem hid_;
};

// The simulated mouse's notices, sent to the main window as the system would send them.
class MainWindowNotices final : public platform::DeviceNoticeSink {
  public:
    explicit MainWindowNotices(const std::atomic<HWND>& window) : window_(window) {}
    void deliver(const platform::DeviceBroadcast& broadcast) override {
        if (HWND window = window_.load())
            DeviceChangeMessageSink(window).deliver(broadcast);
    }

  private:
    const std::atomic<HWND>& window_;
};

// The simulated system together with the sink it delivers to.
class SimulatedHid final : public platform::HidSystem {
  public:
    SimulatedHid(SimulatorEndpoint endpoint, const std::atomic<HWND>& window)
        : notices_(window), hid_(std::move(endpoint), notices_) {}

    std::unique_ptr<platform::HidEnumeration> enumerate() override { return hid_.enumerate(); }
    std::unique_ptr<platform::HidProbe> probe(std::u16string_view path) override {
        return hid_.probe(path);
    }
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override {
        return hid_.open(path, access);
    }
    void registerForNotices() override { hid_.registerForNotices(); }

  private:
    MainWindowNotices notices_;
    SimulatedHidSystem hid_;
};

}  // namespace

HidSelection selectHidSystem(const std::atomic<HWND>& window) {
    if (auto endpoint = simulatorEndpointFromEnvironment()) {
        return {std::make_unique<SimulatedHid>(std::move(*endpoint), window), true};
    }
    return {std::make_unique<SystemHid>(window), false};
}

}  // namespace v270::win32
