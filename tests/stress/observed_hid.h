#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/feature_reports.h"
#include "handover_observer.h"
#include "platform/hid.h"
#include "settings/function_codes.h"

namespace v270::test {

// One feature report as its sender handed it to the HID system, padded to the interface's length
// as the mouse receives it.
struct SentReport {
    std::thread::id sender;
    std::vector<uint8_t> bytes;
    bool ok = false;
};

// Passes everything through to the HID system it wraps. It keeps every feature report sent, with
// its sending thread, and tells the observer of each input report read and of the report after
// which an apply raises the start prompt.
class ObservedHid final : public platform::HidSystem {
  public:
    ObservedHid(platform::HidSystem& inner, HandOverObserver& observer)
        : inner_(inner), observer_(observer) {}

    std::vector<platform::HidInterface> enumerate() override {
        auto present = inner_.enumerate();
        const std::lock_guard lock(mutex_);
        for (const auto& entry : present)
            featureLengths_[entry.path] = entry.featureReportLength;
        return present;
    }
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override {
        auto device = inner_.open(path, access);
        if (!device)
            return nullptr;
        const std::lock_guard lock(mutex_);
        return std::make_unique<Device>(*this, std::move(device),
                                        featureLengths_[std::u16string(path)]);
    }
    void registerForNotices() override { inner_.registerForNotices(); }

    std::vector<SentReport> sent() const {
        const std::lock_guard lock(mutex_);
        return sent_;
    }

  private:
    // Every profile of the stress test gives slot 1 a host function, so an apply raises the
    // start prompt right after this report.
    static bool raisesStartPrompt(std::span<const uint8_t> report) {
        const FeatureReport prompt = buttonReport(buttonHardwareId[0], hostFunctionCode);
        return report.size() >= prompt.size() &&
               std::equal(prompt.begin(), prompt.end(), report.begin());
    }

    class Device final : public platform::HidDevice {
      public:
        Device(ObservedHid& owner, std::unique_ptr<platform::HidDevice> inner, size_t length)
            : owner_(owner), inner_(std::move(inner)), length_(length) {}

        platform::HidResult sendFeatureReport(std::span<const uint8_t> report) override {
            platform::HidResult result = inner_->sendFeatureReport(report);
            {
                const std::lock_guard lock(owner_.mutex_);
                owner_.sent_.push_back({std::this_thread::get_id(),
                                        platform::reportOfLength(report, length_), result.ok});
            }
            if (raisesStartPrompt(report))
                owner_.observer_.promptRising();
            return result;
        }
        platform::HidResult readInputReport(std::span<uint8_t> buffer,
                                            std::stop_token stop) override {
            platform::HidResult result = inner_->readInputReport(buffer, std::move(stop));
            if (result.ok)
                owner_.observer_.reportRead(buffer);
            return result;
        }

      private:
        ObservedHid& owner_;
        std::unique_ptr<platform::HidDevice> inner_;
        const size_t length_;
    };

    platform::HidSystem& inner_;
    HandOverObserver& observer_;
    mutable std::mutex mutex_;
    std::map<std::u16string, size_t> featureLengths_;
    std::vector<SentReport> sent_;
};

}  // namespace v270::test
