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
#include "device/mouse_state.h"
#include "platform/hid.h"
#include "platform/system_settings.h"
#include "platform/view_port.h"
#include "settings/config_profile.h"
#include "settings/profile_store.h"

namespace v270 {

struct DeviceLinkServices {
    platform::HidSystem& hid;
    ProfileStore& profiles;
    BannerState& banner;
    StartPromptListener& startPrompt;
    platform::ViewPort& view;  // repaints
    platform::SystemSettings& systemSettings;
};

// The program's link to the mouse: it finds the mouse, writes profiles to it and to Windows,
// performs the DPI and LED functions, and keeps what the mouse holds. The UI thread and the
// action executor both call it.
//
// One lock, the report lock, is held while a report is built, sent and its acceptance recorded,
// so reports of different callers never mix. Applies never interleave either: an apply asked for
// while another runs is not waited for but run again by the running one, right after it, from
// the working copy as it is then. Waiting would deadlock, because the pointer speed change is
// announced to every window and so waits for the UI thread, which may itself be the one asking.
class DeviceLink final : public DeviceCommands, public MouseStateSource {
  public:
    explicit DeviceLink(const DeviceLinkServices& services);

    uint8_t FindMouse() { return discovery_.FindMouse(); }
    DeviceChangeOutcome onDeviceNotice(const platform::DeviceNotice& notice) {
        return discovery_.onDeviceNotice(notice);
    }
    // A program that waits for the mouse hears of its arrival although it never saw it.
    void listenForArrival() { discovery_.listenForArrival(); }
    uint8_t deviceFound() const { return discovery_.deviceFound(); }
    // Both vendor interfaces of one mouse are open.
    bool mousePaired() const { return discovery_.paired(); }
    std::u16string devicePath() const { return discovery_.devicePath(); }

    // What the input reader reads from.
    MouseInterfaces& interfaces() { return interfaces_; }

    void ApplySettings() override { apply(true); }
    void applyKeepingDriverWorking() override { apply(false); }
    void changeDpiLevel(int32_t step) override;
    void toggleLed() override;
    int32_t dpiStep(int slotIndex) const override;
    bool mouseConnected() const override { return mousePaired(); }

    // The exit report of the close path; nothing when no feature interface is open.
    void sendExitReport();

    // What the mouse holds, as far as the reports it accepted tell.
    MouseState mouseState() const override {
        const std::lock_guard lock(stateMutex_);
        return mouse_;
    }

  private:
    void apply(bool raisePrompt);
    void runApplySequence(bool raisePrompt);
    void raiseStartPrompt(int32_t slotNumber);
    bool send(const FeatureReport& report);
    bool sendLocked(const FeatureReport& report);
    // Changes the mouse state, under its own lock; the caller holds the report lock.
    template <typename Change>
    void recordAccepted(Change&& change) {
        const std::lock_guard lock(stateMutex_);
        change(mouse_);
    }

    DeviceLinkServices s_;
    MouseInterfaces interfaces_;
    MouseDiscovery discovery_;

    std::mutex applyStateMutex_;
    bool applyRunning_ = false;
    bool applyAgain_ = false;
    bool againRaisesPrompt_ = false;  // one of the applies asked for again may raise the prompt

    // Held while a report is built from the profile and the mouse state, sent, and what the
    // mouse accepted recorded.
    std::mutex reportMutex_;
    // Guards only the copy of the mouse state, so that painting never waits for a send.
    mutable std::mutex stateMutex_;
    MouseState mouse_;
    std::array<std::atomic<int32_t>, kButtonCount> dpiStep_{};
};

}  // namespace v270
