#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/hid.h"

namespace v270::test {

// Passes everything through to the HID system it wraps, and shows its subclass every feature
// report sent (padded to the interface's length, as the mouse receives it, with whether the
// device took it) and every input report read, on the thread that sent or read it.
class HidTap : public platform::HidSystem {
  public:
    explicit HidTap(platform::HidSystem& inner) : inner_(inner) {}

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

  protected:
    virtual void featureReportSent(std::span<const uint8_t> report, bool ok) = 0;
    virtual void inputReportRead(std::span<const uint8_t> /*report*/) {}

  private:
    class Device final : public platform::HidDevice {
      public:
        Device(HidTap& owner, std::unique_ptr<platform::HidDevice> inner, size_t length)
            : owner_(owner), inner_(std::move(inner)), length_(length) {}

        platform::HidResult sendFeatureReport(std::span<const uint8_t> report) override {
            platform::HidResult result = inner_->sendFeatureReport(report);
            owner_.featureReportSent(platform::reportOfLength(report, length_), result.ok);
            return result;
        }
        platform::HidResult readInputReport(std::span<uint8_t> buffer,
                                            std::stop_token stop) override {
            platform::HidResult result = inner_->readInputReport(buffer, std::move(stop));
            if (result.ok)
                owner_.inputReportRead(buffer);
            return result;
        }

      private:
        HidTap& owner_;
        std::unique_ptr<platform::HidDevice> inner_;
        const size_t length_;
    };

    platform::HidSystem& inner_;
    std::mutex mutex_;
    std::map<std::u16string, size_t> featureLengths_;
};

}  // namespace v270::test
