#pragma once

#include <atomic>
#include <bitset>
#include <memory>
#include <mutex>
#include <thread>

#include "actions/virtual_keys.h"
#include "device/device_commands.h"
#include "handover_observer.h"
#include "platform/clock.h"
#include "platform/synthetic_input.h"
#include "platform/system_clock.h"

// What the executor of the stress test calls, passed through to the real thing and counted. The
// last call of each function it performs tells the observer that pressPending is cleared next:
// the device functions after they return, a macro when its precision hold ends, the copy chord
// at its Ctrl release.
namespace v270::test {

class ProbedDeviceCommands final : public DeviceCommands {
  public:
    ProbedDeviceCommands(DeviceCommands& inner, HandOverObserver& observer)
        : inner_(inner), observer_(observer) {}

    // Only the next-profile function applies from the executor.
    void ApplySettings() override {
        inner_.ApplySettings();
        ++nextProfiles;
        observer_.executorFinishing();
    }
    void changeDpiLevel(int32_t step) override {
        inner_.changeDpiLevel(step);
        ++dpiChanges;
        observer_.executorFinishing();
    }
    void toggleLed() override {
        inner_.toggleLed();
        ++ledToggles;
        observer_.executorFinishing();
    }
    // The first thing the executor asks about a press it took.
    int32_t dpiStep(int slotIndex) const override {
        executorThread_.store(std::this_thread::get_id());
        observer_.performStarted(slotIndex);
        return inner_.dpiStep(slotIndex);
    }

    std::thread::id executorThread() const { return executorThread_.load(); }

    std::atomic<long> nextProfiles{0};
    std::atomic<long> dpiChanges{0};
    std::atomic<long> ledToggles{0};

  private:
    DeviceCommands& inner_;
    HandOverObserver& observer_;
    mutable std::atomic<std::thread::id> executorThread_{};
};

// The system's clock for the executor; counts the macros played (each holds precision once).
class ProbedClock final : public platform::Clock {
  public:
    explicit ProbedClock(HandOverObserver& observer) : observer_(observer) {}

    TimePoint now() const override { return system_->now(); }
    void sleepFor(std::chrono::microseconds duration) override { system_->sleepFor(duration); }
    void sleepUntil(TimePoint deadline) override { system_->sleepUntil(deadline); }
    bool waitUntil(TimePoint deadline, std::stop_token stop) override {
        return system_->waitUntil(deadline, std::move(stop));
    }
    void beginPrecision() override { ++macrosPlayed; }
    void endPrecision() override { observer_.executorFinishing(); }

    std::atomic<long> macrosPlayed{0};

  private:
    HandOverObserver& observer_;
    const std::unique_ptr<platform::Clock> system_ = platform::createSystemClock();
};

// Synthetic input that keeps which keys and the left button are down and counts the copy chords.
class ProbedInput final : public platform::SyntheticInput {
  public:
    explicit ProbedInput(HandOverObserver& observer) : observer_(observer) {}

    void keyEvent(uint8_t virtualKey, uint8_t, uint32_t flags) override {
        const bool up = (flags & platform::kKeyEventKeyUp) != 0;
        {
            const std::lock_guard lock(mutex_);
            keysDown_[virtualKey] = !up;
        }
        if (virtualKey == virtual_key::kControl && up) {
            ++chords;
            observer_.executorFinishing();
        }
    }
    void mouseEvent(uint32_t flags) override {
        const std::lock_guard lock(mutex_);
        if (flags & platform::kMouseEventLeftDown)
            leftDown_ = true;
        if (flags & platform::kMouseEventLeftUp)
            leftDown_ = false;
    }
    uint32_t scanCodeOf(uint8_t virtualKey) override { return virtualKey + 0x10u; }

    bool anythingHeld() const {
        const std::lock_guard lock(mutex_);
        return keysDown_.any() || leftDown_;
    }

    std::atomic<long> chords{0};

  private:
    HandOverObserver& observer_;
    mutable std::mutex mutex_;
    std::bitset<256> keysDown_;
    bool leftDown_ = false;
};

// The reader's clock: its pause after each pass only yields, so that reports come as fast as the
// transport brings them, and it closes the observer's window.
class ReaderClock final : public platform::Clock {
  public:
    explicit ReaderClock(HandOverObserver& observer) : observer_(observer) {}

    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::microseconds) override { std::this_thread::yield(); }
    void sleepUntil(TimePoint) override { std::this_thread::yield(); }
    bool waitUntil(TimePoint, std::stop_token stop) override {
        observer_.readerPaused();
        std::this_thread::yield();
        return !stop.stop_requested();
    }

  private:
    HandOverObserver& observer_;
};

}  // namespace v270::test
