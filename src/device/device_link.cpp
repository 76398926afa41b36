#include "device/device_link.h"

#include <utility>

#include "device/dpi_levels.h"
#include "settings/function_codes.h"

namespace v270 {

DeviceLink::DeviceLink(const DeviceLinkServices& services)
    : s_(services), discovery_(services.hid, interfaces_) {}

void DeviceLink::apply(bool raisePrompt) {
    {
        const std::lock_guard lock(applyStateMutex_);
        if (applyRunning_) {
            applyAgain_ = true;
            againRaisesPrompt_ = againRaisesPrompt_ || raisePrompt;
            return;
        }
        applyRunning_ = true;
    }
    for (;;) {
        try {
            runApplySequence(raisePrompt);
        } catch (...) {
            // A failed apply must not keep the next ones from running.
            const std::lock_guard lock(applyStateMutex_);
            applyRunning_ = false;
            applyAgain_ = false;
            againRaisesPrompt_ = false;
            throw;
        }
        // The check and the end of the run are one step, so no request can fall between them.
        const std::lock_guard lock(applyStateMutex_);
        if (!applyAgain_) {
            applyRunning_ = false;
            return;
        }
        applyAgain_ = false;
        raisePrompt = std::exchange(againRaisesPrompt_, false);
    }
}

void DeviceLink::runApplySequence(bool raisePrompt) {
    // A switch made from afar leaves a working driver working; one whose prompt is up still
    // asks for the key of the profile now sent.
    const bool keepWorking = !raisePrompt && s_.banner.driverWorking.load() == 1;
    s_.banner.driverWorking.store(1);
    // One replace of config.ini: the current slot, the last-applied slot and the current
    // profile, all from the copy that is then sent.
    const ConfigProfile profile = s_.profiles.saveForApply();

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
            if (!keepWorking)
                raiseStartPrompt(static_cast<int32_t>(slot) + 1);
        }
    }

    send(wheelReport(profile.wheelStatus));
    {
        const std::lock_guard lock(reportMutex_);
        const auto level = static_cast<size_t>(heldDpiLevel(profile.dpiLevel));
        if (sendLocked(dpiLedReport(static_cast<uint8_t>(level), profile.dpiSet[level],
                                    profile.ledStatus))) {
            recordAccepted([&](MouseState& mouse) {
                mouse.applied = true;
                mouse.appliedDpiSet = profile.dpiSet;
                mouse.appliedLedMode = profile.ledStatus;
            });
        }
    }
    s_.view.invalidate();

    if (s_.systemSettings.pointerSpeed())
        s_.systemSettings.setPointerSpeed(pointerSpeedOf(profile.dpiSpeed));
    if (s_.systemSettings.wheelScrollLines())
        s_.systemSettings.setWheelScrollLines(profile.wheelSpeed + 1u);

    send(fireReport(profile.fireTime));
}

void DeviceLink::raiseStartPrompt(int32_t slotNumber) {
    // The number first, so that a paint that sees the prompt also sees its key.
    s_.banner.startKeyNumber.store(slotNumber);
    s_.banner.startKeyVisible.store(1);
    s_.banner.driverWorking.store(0);
    if (s_.banner.applyBlinkStarted.exchange(1) == 0)
        s_.startPrompt.startPromptRaised();
}

void DeviceLink::changeDpiLevel(int32_t step) {
    {
        const std::lock_guard lock(reportMutex_);
        const MouseState mouse = mouseState();
        sendLocked(s_.profiles.edit([&](ConfigProfile& p) {
            p.dpiLevel = nextDpiLevel(p.dpiLevel, step, p.dpiSetEnabled);
            const auto level = static_cast<size_t>(p.dpiLevel);
            return dpiLedReport(static_cast<uint8_t>(level), mouse.dpiCode(level, p),
                                mouse.reportedLedMode(p));
        }));
    }
    s_.view.invalidate();
    // A save that fails is told (by the notice, for the button's press); the mouse keeps the
    // level all the same.
    s_.profiles.saveCurrentDpiLevel();
}

void DeviceLink::toggleLed() {
    {
        const std::lock_guard lock(reportMutex_);
        const MouseState mouse = mouseState();
        uint8_t mode = 0;
        const FeatureReport report = s_.profiles.edit([&](const ConfigProfile& p) {
            mode = mouse.effectiveLedMode != kLedOnOffMode ? kLedOnOffMode : mouse.ledMode(p);
            const auto level = static_cast<size_t>(heldDpiLevel(p.dpiLevel));
            return dpiLedReport(static_cast<uint8_t>(level), mouse.dpiCode(level, p), mode);
        });
        // A refused report leaves the LED as it was, so the next press tries the same switch.
        if (sendLocked(report))
            recordAccepted([&](MouseState& state) { state.effectiveLedMode = mode; });
    }
    s_.view.invalidate();
}

int32_t DeviceLink::dpiStep(int slotIndex) const {
    if (slotIndex < 0 || slotIndex >= kButtonCount)
        return 0;
    return dpiStep_[static_cast<size_t>(slotIndex)].load();
}

void DeviceLink::sendExitReport() {
    send(exitReport());
}

bool DeviceLink::send(const FeatureReport& report) {
    const std::lock_guard lock(reportMutex_);
    return sendLocked(report);
}

bool DeviceLink::sendLocked(const FeatureReport& report) {
    // A missing or unplugged mouse makes the send fail, and the caller goes on.
    const auto channel = interfaces_.feature();
    return channel && channel->send(report).ok;
}

}  // namespace v270
