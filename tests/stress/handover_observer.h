#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <numeric>
#include <random>
#include <span>
#include <thread>

#include "device/handover_flags.h"
#include "device/input_report.h"
#include "settings/config_profile.h"

namespace v270::test {

// What became of the host-function presses the reader read, per hardware button id 1..6.
struct HandOverFigures {
    std::array<long, kButtonCount + 1> pressesRead{};
    std::array<long, kButtonCount + 1> handedOver{};
    long droppedWhileBusy = 0;    // pressPending was set: a stop request (mode 0) or nothing
    long droppedBeforeStart = 0;  // driverWorking was 0: the start signal had not come yet
    long unexplained = 0;         // neither: a press lost
    long releasesRead = 0;
    long reportsRead = 0;
    long performed = 0;  // passes of the executor that took a press
    std::array<long, kButtonCount> performedPerSlot{};
    long executorFinishes = 0;   // last calls of the executor's functions
    long windowFaults = 0;       // the flags moved where the observer holds them still
    bool observerStuck = false;  // an announced store never came

    static long total(const std::array<long, kButtonCount + 1>& perButton) {
        return std::accumulate(perButton.begin(), perButton.end(), 0L);
    }
};

// Tells exactly what the reader made of each report. It sees the reader between the moment its
// read returns and its pause after handling the report (the window), and holds the two foreign
// stores that could fall inside that window until the window has closed: the executor's clear of
// pressPending after it performed a press, and an apply's lowering of driverWorking when it raises
// the start prompt. Inside a window pressPending then only rises (by this report's hand-over) and
// driverWorking only rises (an apply's start), so the values at the window's two ends say which
// rule the reader applied. The executor's and the apply's hooks announce their store before they
// return; the next window waits until the store has landed.
class HandOverObserver {
  public:
    HandOverObserver(const HandOverFlags& flags, const BannerState& banner)
        : flags_(flags), banner_(banner) {}

    // Reader thread: a read returned `report`, which the reader handles next.
    void reportRead(std::span<const uint8_t> report) {
        std::unique_lock lock(mutex_);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((executorFinishing_ && flags_.pressPending.load() != 0) ||
               (promptRising_ && banner_.driverWorking.load() != 0)) {
            if (std::chrono::steady_clock::now() > giveUp) {
                figures_.observerStuck = true;
                break;
            }
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        executorFinishing_ = false;
        promptRising_ = false;
        inWindow_ = true;
        key_ = report.size() > input_report::kKeyCodeOffset ? report[input_report::kKeyCodeOffset]
                                                            : input_report::kNoKey;
        pendingBefore_ = flags_.pressPending.load();
        workingBefore_ = banner_.driverWorking.load();
        lock.unlock();
        jitter();
    }

    // Reader thread: its pause after a pass; closes the window of the report read, if any.
    void readerPaused() {
        {
            const std::lock_guard lock(mutex_);
            if (!inWindow_)
                return;
            inWindow_ = false;
            classify(flags_.pressPending.load());
        }
        windowClosed_.notify_all();
    }

    // Executor thread: the last call of a function it performed; pressPending is cleared next.
    void executorFinishing() { announce(executorFinishing_, &figures_.executorFinishes); }

    // Applying thread: the start prompt is raised next, which lowers driverWorking.
    void promptRising() { announce(promptRising_, nullptr); }

    // Executor thread: a pass took the press of `slotIndex` and performs its function.
    void performStarted(int slotIndex) {
        const std::lock_guard lock(mutex_);
        ++figures_.performed;
        ++figures_.performedPerSlot[static_cast<size_t>(slotIndex)];
    }

    long reportsRead() const {
        const std::lock_guard lock(mutex_);
        return figures_.reportsRead;
    }

    HandOverFigures figures() const {
        const std::lock_guard lock(mutex_);
        return figures_;
    }

  private:
    void announce(bool& store, long* count) {
        {
            std::unique_lock lock(mutex_);
            windowClosed_.wait(lock, [&] { return !inWindow_; });
            store = true;
            if (count != nullptr)
                ++*count;
        }
        jitter();
    }

    // A short random delay at the hooks moves the threads against each other, so that a run
    // meets more of the orders in which their steps can fall.
    static void jitter() {
        thread_local std::minstd_rand random{std::random_device{}()};
        const unsigned roll = random() % 4;
        if (roll == 0)
            return;
        if (roll == 1) {
            std::this_thread::yield();
            return;
        }
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 50);
        while (std::chrono::steady_clock::now() < until) {
        }
    }

    void classify(int32_t pendingAfter) {
        ++figures_.reportsRead;
        if (key_ == input_report::kNoKey) {
            ++figures_.releasesRead;
            return;
        }
        if (key_ <= input_report::kHostKeyBase || key_ > input_report::kHostKeyBase + kButtonCount)
            return;
        const auto button = static_cast<size_t>(key_ - input_report::kHostKeyBase);
        ++figures_.pressesRead[button];
        if (pendingBefore_ != 0) {
            // Held set through the window: the reader found the executor busy.
            if (pendingAfter == 0)
                ++figures_.windowFaults;
            ++figures_.droppedWhileBusy;
        } else if (pendingAfter != 0) {
            ++figures_.handedOver[button];
        } else if (workingBefore_ == 0) {
            // driverWorking can only have risen inside the window, so it was 0 when it was read.
            ++figures_.droppedBeforeStart;
        } else {
            ++figures_.unexplained;
        }
    }

    const HandOverFlags& flags_;
    const BannerState& banner_;
    mutable std::mutex mutex_;
    std::condition_variable windowClosed_;
    bool inWindow_ = false;
    bool executorFinishing_ = false;
    bool promptRising_ = false;
    uint8_t key_ = 0;
    int32_t pendingBefore_ = 0;
    uint8_t workingBefore_ = 0;
    HandOverFigures figures_;
};

}  // namespace v270::test
