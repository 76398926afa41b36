#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "device/device_commands.h"
#include "device/feature_reports.h"
#include "device/handover_flags.h"
#include "device/mouse_discovery.h"
#include "device/mouse_interfaces.h"
#include "platform/hid.h"
#include "platform/main_window_port.h"
#include "platform/system_settings.h"
#include "settings/config_profile.h"
#include "settings/profile_store.h"

namespace v270 {

// The LED mode that the LED on/off function switches to, and back from.
inline constexpr uint8_t kLedOnOffMode = 3;

// The program's link to the mouse: it finds the mouse, writes profiles to it and to Windows,
// and performs the DPI and LED functions. The UI thread and the action executor both call it.
//
// Every report is taken from the profile and sent as one unit, so reports of different callers
// never mix. Applies never interleave either: an apply asked for while another runs is not
// waited for but run again by the running one, right after it, from the working copy as it is
// then. Waiting would deadlock, because the pointer speed change is announced to every window
// and so waits for the UI thread, which may itself be the one asking.
class DeviceLink final : public DeviceCommands {
  public:
    DeviceLink(platform::HidSystem& hid, ProfileStore& store, BannerState& banner,
               platform::MainWindowPort& window, platform::SystemSettings& systemSettings,
               ReportObserver* observer = nullptr);

    uint8_t FindMouse() { return discovery_.FindMouse(); }
    DeviceChangeOutcome onDeviceChange(const platform::DeviceBroadcast& broadcast) {
        return discovery_.onDeviceChange(broadcast);
    }
    uint8_t deviceFound() const { return discovery_.deviceFound(); }
    std::u16string devicePath() const { return discovery_.devicePath(); }

    // What the input reader reads from.
    MouseInterfaces& interfaces() { return interfaces_; }

    void ApplySettings() override;
    void changeDpiLevel(int32_t step) override;
    void toggleLed() override;
    int32_t dpiStep(int slotIndex) const override;

    // The exit report of the close path; nothing when no feature interface is open.
    void sendExitReport();

    // 0 until the LED on/off function is first used; then the LED mode it last sent.
    uint8_t effectiveLedMode() const { return effectiveLedMode_.load(std::memory_order_relaxed); }

  private:
    void runApplySequence();
    void raiseStartPrompt(int32_t slotNumber);
    void send(const FeatureReport& report);
    void sendLocked(const FeatureReport& report);
    uint8_t ledModeValue(uint8_t appliedLedMode) const;

    MouseInterfaces interfaces_;
    MouseDiscovery discovery_;
    ProfileStore& store_;
    BannerState& banner_;
    platform::MainWindowPort& window_;
    platform::SystemSettings& systemSettings_;

    std::mutex applyStateMutex_;
    bool applyRunning_ = false;
    bool applyAgain_ = false;

    // Held while a report's bytes are taken from the profile and the report is sent.
    std::mutex reportMutex_;
    std::atomic<uint8_t> effectiveLedMode_{0};
    std::array<std::atomic<int32_t>, kButtonCount> dpiStep_{};
};

}  // namespace v270
