#include "device/device_link.h"

#include "device/dpi_levels.h"
#include "settings/function_codes.h"

namespace v270 {

DeviceLink::DeviceLink(platform::HidSystem& hid, ProfileStore& store, BannerState& banner,
                       platform::MainWindowPort& window, platform::SystemSettings& systemSettings,
                       ReportObserver* observer)
    : discovery_(hid, interfaces_, observer),
      store_(store),
      banner_(banner),
      window_(window),
      systemSettings_(systemSettings) {}

void DeviceLink::ApplySettings() {
    {
        const std::lock_guard lock(applyStateMutex_);
        if (applyRunning_) {
            applyAgain_ = true;
            return;
        }
        applyRunning_ = true;
    }
    for (;;) {
        try {
            runApplySequence();
        } catch (...) {
            // A failed apply must not keep the next ones from running.
            const std::lock_guard lock(applyStateMutex_);
            applyRunning_ = false;
            applyAgain_ = false;
            throw;
        }
        // The check and the end of the run are one step, so no request can fall between them.
        const std::lock_guard lock(applyStateMutex_);
        if (!applyAgain_) {
            applyRunning_ = false;
            return;
        }
        applyAgain_ = false;
    }
}

void DeviceLink::runApplySequence() {
    banner_.driverWorking.store(1);
    store_.saveCurrentConfig();
    // The last-applied slot always holds what the mouse was last told.
    store_.saveProfile(store_.configFilePath(), kLastAppliedSlot);
    const ConfigProfile profile = store_.profile();

    bool promptRaised = false;
    for (size_t slot = 0; slot < kButtonCount; ++slot) {
        const int32_t code = profile.buttonFunction[slot];
        dpiStep_[slot].store(dpiStepOf(code));
        // A code with no hardware code leaves the button as the mouse has it.
        const std::optional<uint8_t> hardwareCode = hardwareCodeOf(code);
        if (!hardwareCode || !isSendableHardwareCode(*hardwareCode))
            continue;
        send(buttonReport(buttonHardwareId[slot], *hardwareCode));
        if (*hardwareCode == hostFunctionCode && !promptRaised) {
            promptRaised = true;
            raiseStartPrompt(static_cast<int32_t>(slot) + 1);
        }
    }

    send(wheelReport(profile.wheelStatus));
    {
        const std::lock_guard lock(reportMutex_);
        sendLocked(store_.edit([](ConfigProfile& p) {
            p.appliedDpiSet = p.dpiSet;
            p.appliedLedMode = p.ledStatus;
            const auto level = static_cast<size_t>(heldDpiLevel(p.dpiLevel));
            return dpiLedReport(static_cast<uint8_t>(level), p.appliedDpiSet[level],
                                p.appliedLedMode);
        }));
    }
    window_.invalidate();

    if (systemSettings_.pointerSpeed()) {
        systemSettings_.setPointerSpeed(pointerSpeedOf(profile.dpiSpeed));
    }
    if (systemSettings_.wheelScrollLines()) {
        systemSettings_.setWheelScrollLines(profile.wheelSpeed + 1u);
    }

    send(fireReport(profile.fireTime));
    store_.saveProfile(store_.configFilePath(), store_.currentConfig());
}

void DeviceLink::raiseStartPrompt(int32_t slotNumber) {
    // The number first, so that a paint that sees the prompt also sees its key.
    banner_.startKeyNumber.store(slotNumber);
    banner_.startKeyVisible.store(1);
    banner_.driverWorking.store(0);
    if (banner_.applyBlinkStarted.load() == 0) {
        banner_.applyBlinkStarted.store(1);
        // Set before the thread starts, so that its own end is what clears it.
        banner_.blinkRunning.store(1);
        window_.startBannerBlinkThread();
    }
}

void DeviceLink::changeDpiLevel(int32_t step) {
    {
        const std::lock_guard lock(reportMutex_);
        sendLocked(store_.edit([&](ConfigProfile& p) {
            p.dpiLevel = nextDpiLevel(p.dpiLevel, step, p.dpiSetEnabled);
            const auto level = static_cast<size_t>(p.dpiLevel);
            return dpiLedReport(static_cast<uint8_t>(level), p.appliedDpiSet[level],
                                ledModeValue(p.appliedLedMode));
        }));
    }
    window_.invalidate();
    store_.saveDpiLevel(store_.configFilePath(), store_.currentConfig());
}

void DeviceLink::toggleLed() {
    {
        const std::lock_guard lock(reportMutex_);
        sendLocked(store_.edit([&](ConfigProfile& p) {
            const uint8_t mode =
                effectiveLedMode_.load() != kLedOnOffMode ? kLedOnOffMode : p.appliedLedMode;
            effectiveLedMode_.store(mode);
            const auto level = static_cast<size_t>(heldDpiLevel(p.dpiLevel));
            return dpiLedReport(static_cast<uint8_t>(level), p.appliedDpiSet[level], mode);
        }));
    }
    window_.invalidate();
}

int32_t DeviceLink::dpiStep(int slotIndex) const {
    if (slotIndex < 0 || slotIndex >= kButtonCount)
        return 0;
    return dpiStep_[static_cast<size_t>(slotIndex)].load();
}

void DeviceLink::sendExitReport() {
    send(exitReport());
}

void DeviceLink::send(const FeatureReport& report) {
    const std::lock_guard lock(reportMutex_);
    sendLocked(report);
}

void DeviceLink::sendLocked(const FeatureReport& report) {
    // A missing or unplugged mouse makes the send fail, and the caller goes on.
    if (const auto channel = interfaces_.feature())
        channel->send(report);
}

uint8_t DeviceLink::ledModeValue(uint8_t appliedLedMode) const {
    return effectiveLedMode_.load() == kLedOnOffMode ? kLedOnOffMode : appliedLedMode;
}

}  // namespace v270
