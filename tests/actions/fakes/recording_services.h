#pragma once

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "device/device_commands.h"
#include "platform/system_actions.h"

namespace v270::test {

// Keeps what the executor asks of the device link, as text: "apply", "dpi 2", "led".
class RecordingDeviceCommands : public DeviceCommands {
  public:
    void ApplySettings() override {
        if (onApply)
            onApply();
        add("apply");
    }
    void applyKeepingDriverWorking() override {
        if (onApply)
            onApply();
        add("apply from afar");
    }
    void changeDpiLevel(int32_t step) override { add("dpi " + std::to_string(step)); }
    void toggleLed() override { add("led"); }
    int32_t dpiStep(int slotIndex) const override {
        return dpiSteps[static_cast<size_t>(slotIndex)];
    }

    std::vector<std::string> calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

    std::array<int32_t, 6> dpiSteps{};
    std::function<void()> onApply;  // called before the apply is recorded

  private:
    void add(std::string call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

// Keeps the shell actions as text: "computer folder", "lock", "start <path>".
class RecordingSystemActions : public platform::SystemActions {
  public:
    void openComputerFolder() override { add("computer folder"); }
    void startProgram(const std::filesystem::path& program) override {
        add("start " + program.generic_string());
    }
    void lockWorkStation() override { add("lock"); }
    std::filesystem::path systemFolder() const override { return kSystemFolder; }

    std::vector<std::string> calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

    static inline const std::filesystem::path kSystemFolder =
        std::filesystem::path("/") / "windows" / "system32";

  private:
    void add(std::string call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

}  // namespace v270::test
