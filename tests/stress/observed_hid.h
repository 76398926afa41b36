#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/feature_reports.h"
#include "handover_observer.h"
#include "platform/hid.h"
#include "settings/function_codes.h"
#include "support/hid_tap.h"

namespace v270::test {

// One feature report as its sender handed it to the HID system, padded to the interface's length
// as the mouse receives it.
struct SentReport {
    std::thread::id sender;
    std::vector<uint8_t> bytes;
    bool ok = false;
};

// Keeps every feature report sent, with its sending thread, and tells the observer of each input
// report read and of the report after which an apply raises the start prompt.
class ObservedHid final : public HidTap {
  public:
    ObservedHid(platform::HidSystem& inner, HandOverObserver& observer)
        : HidTap(inner), observer_(observer) {}

    std::vector<SentReport> sent() const {
        const std::lock_guard lock(mutex_);
        return sent_;
    }

  private:
    void featureReportSent(std::span<const uint8_t> report, bool ok) override {
        {
            const std::lock_guard lock(mutex_);
            sent_.push_back({std::this_thread::get_id(), {report.begin(), report.end()}, ok});
        }
        if (raisesStartPrompt(report))
            observer_.promptRising();
    }
    void inputReportRead(std::span<const uint8_t> report) override { observer_.reportRead(report); }

    // Every profile of the stress test gives slot 1 a host function, so an apply raises the
    // start prompt right after this report.
    static bool raisesStartPrompt(std::span<const uint8_t> report) {
        const FeatureReport prompt = buttonReport(buttonHardwareId[0], hostFunctionCode);
        return report.size() >= prompt.size() &&
               std::equal(prompt.begin(), prompt.end(), report.begin());
    }

    HandOverObserver& observer_;
    mutable std::mutex mutex_;
    std::vector<SentReport> sent_;
};

}  // namespace v270::test
