#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "device/handover_flags.h"
#include "platform/clock.h"
#include "platform/system_settings.h"
#include "support/event_log.h"
#include "support/recording_view_port.h"

namespace v270::test {

// Counts the start prompts an apply raises; logs each as "blink".
class CountingStartPrompt final : public StartPromptListener {
  public:
    explicit CountingStartPrompt(EventLog* log = nullptr) : log_(log) {}
    void startPromptRaised() override {
        ++raised;
        if (log_ != nullptr)
            log_->add("blink");
    }
    std::atomic<int> raised{0};

  private:
    EventLog* const log_;
};

// Windows' pointer speed and wheel lines; either read can be made to fail. Logs
// "speed?", "speed N", "lines?", "lines N".
class FakeSystemSettings final : public platform::SystemSettings {
  public:
    explicit FakeSystemSettings(EventLog* log = nullptr) : log_(log) {}

    std::optional<int32_t> pointerSpeed() override {
        add("speed?");
        const std::lock_guard lock(mutex_);
        if (!speedReadable)
            return std::nullopt;
        return speed;
    }
    void setPointerSpeed(int32_t value) override {
        add("speed " + std::to_string(value));
        if (onSetPointerSpeed)
            onSetPointerSpeed();
        const std::lock_guard lock(mutex_);
        speed = value;
    }
    std::optional<uint32_t> wheelScrollLines() override {
        add("lines?");
        const std::lock_guard lock(mutex_);
        if (!linesReadable)
            return std::nullopt;
        return lines;
    }
    void setWheelScrollLines(uint32_t value) override {
        add("lines " + std::to_string(value));
        const std::lock_guard lock(mutex_);
        lines = value;
    }

    std::mutex mutex_;
    bool speedReadable = true;
    bool linesReadable = true;
    int32_t speed = 10;
    uint32_t lines = 3;
    // Runs inside setPointerSpeed, on the applying thread (before the value is taken).
    std::function<void()> onSetPointerSpeed;

  private:
    void add(std::string event) {
        if (log_ != nullptr)
            log_->add(std::move(event));
    }
    EventLog* const log_;
};

// A clock whose pauses only yield, and count.
class YieldingClock final : public platform::Clock {
  public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::microseconds) override {
        ++pauses;
        std::this_thread::yield();
    }
    void sleepUntil(TimePoint) override { std::this_thread::yield(); }
    bool waitUntil(TimePoint, std::stop_token stop) override {
        ++pauses;
        std::this_thread::yield();
        return !stop.stop_requested();
    }
    bool waitFor(std::chrono::microseconds duration, std::stop_token stop) override {
        {
            const std::lock_guard lock(mutex_);
            waits_.push_back(duration);
        }
        return waitUntil(now() + duration, std::move(stop));
    }

    // What each waitFor asked for, in order.
    std::vector<std::chrono::microseconds> waits() const {
        const std::lock_guard lock(mutex_);
        return waits_;
    }

    std::atomic<long> pauses{0};

  private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::microseconds> waits_;
};

// Waits, yielding, until `condition` holds or a generous time has passed; returns the result.
template <typename Condition>
bool eventually(Condition condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

}  // namespace v270::test
