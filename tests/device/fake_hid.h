#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/mouse_identity.h"
#include "event_log.h"
#include "platform/hid.h"

// An in-process HID system for the device link's tests: interfaces by member index, each with
// its identity and capabilities, and failures that can be injected at every step.
namespace v270::test {

using Bytes = std::vector<uint8_t>;

// The far end of one interface: what was sent to it and what it will deliver to readers.
class FakeEndpoint {
  public:
    explicit FakeEndpoint(EventLog* log) : log_(log) {}

    bool takeFeatureReport(std::span<const uint8_t> report) {
        const std::lock_guard lock(mutex_);
        featureReports_.emplace_back(report.begin(), report.end());
        if (log_ != nullptr)
            log_->add("report " + hex(report));
        return !sendFails_;
    }

    bool read(std::span<uint8_t> buffer, std::stop_token stop) {
        std::unique_lock lock(mutex_);
        ++readsStarted_;
        readStarted_.notify_all();
        if (flood_) {
            copyInto(*flood_, buffer);
            return true;
        }
        const bool ready =
            condition_.wait(lock, stop, [&] { return !pending_.empty() || readFails_; });
        if (!ready || pending_.empty())
            return false;
        copyInto(pending_.front(), buffer);
        pending_.pop_front();
        return true;
    }

    void deliver(Bytes report) {
        {
            const std::lock_guard lock(mutex_);
            pending_.push_back(std::move(report));
        }
        condition_.notify_all();
    }
    // Every read returns `report` at once, for as long as it is set.
    void flood(Bytes report) {
        const std::lock_guard lock(mutex_);
        flood_ = std::move(report);
    }
    void failReads() {
        {
            const std::lock_guard lock(mutex_);
            readFails_ = true;
        }
        condition_.notify_all();
    }
    void failSends(bool fail) {
        const std::lock_guard lock(mutex_);
        sendFails_ = fail;
    }

    std::vector<Bytes> featureReports() const {
        const std::lock_guard lock(mutex_);
        return featureReports_;
    }
    size_t pendingReports() const {
        const std::lock_guard lock(mutex_);
        return pending_.size();
    }
    // Waits until `count` reads have started in all (a reader is then blocked in the last).
    bool waitForReads(int count) {
        std::unique_lock lock(mutex_);
        return readStarted_.wait_for(lock, std::chrono::seconds(20),
                                     [&] { return readsStarted_ >= count && pending_.empty(); });
    }

  private:
    static void copyInto(const Bytes& report, std::span<uint8_t> buffer) {
        std::fill(buffer.begin(), buffer.end(), uint8_t{0});
        std::copy_n(report.begin(), std::min(report.size(), buffer.size()), buffer.begin());
    }

    EventLog* const log_;
    mutable std::mutex mutex_;
    std::condition_variable_any condition_;
    std::condition_variable_any readStarted_;
    std::vector<Bytes> featureReports_;
    std::deque<Bytes> pending_;
    std::optional<Bytes> flood_;
    bool readFails_ = false;
    bool sendFails_ = false;
    int readsStarted_ = 0;
};

class FakeHidDevice final : public platform::HidDevice {
  public:
    FakeHidDevice(std::shared_ptr<FakeEndpoint> endpoint, std::shared_ptr<std::atomic<int>> closed)
        : endpoint_(std::move(endpoint)), closed_(std::move(closed)) {}
    ~FakeHidDevice() override { ++*closed_; }

    bool sendFeatureReport(std::span<const uint8_t> report) override {
        return endpoint_->takeFeatureReport(report);
    }
    bool readInputReport(std::span<uint8_t> buffer, std::stop_token stop) override {
        return endpoint_->read(buffer, std::move(stop));
    }

  private:
    std::shared_ptr<FakeEndpoint> endpoint_;
    std::shared_ptr<std::atomic<int>> closed_;
};

inline constexpr platform::HidAttributes kMouseAttributes{mouse::kVendorId, mouse::kProductId,
                                                          0x0100};

struct FakeInterface {
    std::u16string path;
    platform::HidAttributes attributes = kMouseAttributes;
    platform::HidCaps caps;
    bool probeFails = false;
    bool attributesFail = false;
    bool capsFail = false;
    bool openFails = false;
};

inline platform::HidCaps vendorCaps(uint16_t usagePage, uint16_t inputLength,
                                    uint16_t featureLength) {
    platform::HidCaps caps;
    caps.usagePage = usagePage;
    caps.usage = mouse::kVendorUsage;
    caps.inputReportByteLength = inputLength;
    caps.featureReportByteLength = featureLength;
    return caps;
}

// The mouse as it enumerates: the ordinary mouse collection and the two vendor collections.
inline FakeInterface ordinaryMouseInterface(
    std::u16string path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_00#a") {
    platform::HidCaps caps;
    caps.usagePage = 0x0001;
    caps.usage = 0x0002;
    caps.inputReportByteLength = 5;
    return FakeInterface{std::move(path), kMouseAttributes, caps};
}
inline FakeInterface inputInterface(
    uint16_t inputLength = 8, std::u16string path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col01#b") {
    return FakeInterface{std::move(path), kMouseAttributes,
                         vendorCaps(mouse::kInputUsagePage, inputLength, 0)};
}
inline FakeInterface featureInterface(
    uint16_t featureLength = 9,
    std::u16string path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col02#c") {
    return FakeInterface{std::move(path), kMouseAttributes,
                         vendorCaps(mouse::kFeatureUsagePage, 0, featureLength)};
}
inline FakeInterface otherDevice(std::u16string path = u"\\\\?\\hid#vid_046d&pid_c077#k") {
    FakeInterface device{std::move(path), {0x046D, 0xC077, 1}, {}};
    device.caps.usagePage = 0x0001;
    device.caps.usage = 0x0002;
    return device;
}

class FakeHidEnumeration;

// Records every call, in order, as "enumerate", "path N", "probe P", "open P read|write",
// "register".
class FakeHidSystem final : public platform::HidSystem {
  public:
    explicit FakeHidSystem(EventLog* log = nullptr) : log_(log) {}

    // Member index i is interfaces[i]; nullopt is an index whose enumeration fails.
    std::vector<std::optional<FakeInterface>> interfaces;
    bool enumerationFails = false;

    std::unique_ptr<platform::HidEnumeration> enumerate() override;

    std::unique_ptr<platform::HidProbe> probe(std::u16string_view path) override;

    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override {
        const bool read = access == platform::HidAccess::Read;
        record("open " + narrow(path) + (read ? " read" : " write"));
        const FakeInterface* found = find(path);
        if (found == nullptr || found->openFails)
            return nullptr;
        return std::make_unique<FakeHidDevice>(endpoint(path), closed_);
    }

    void registerForNotices() override { record("register"); }

    // The far end of `path`, made on first use.
    std::shared_ptr<FakeEndpoint> endpoint(std::u16string_view path) {
        const std::lock_guard lock(mutex_);
        auto& slot = endpoints_[std::u16string(path)];
        if (!slot)
            slot = std::make_shared<FakeEndpoint>(log_);
        return slot;
    }

    std::vector<std::string> calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }
    // How many opened devices have been closed.
    int closedDevices() const { return closed_->load(); }

    void record(std::string call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    static std::string narrow(std::u16string_view text) {
        return std::string(text.begin(), text.end());
    }

  private:
    const FakeInterface* find(std::u16string_view path) const {
        for (const auto& entry : interfaces) {
            if (entry && entry->path == path)
                return &*entry;
        }
        return nullptr;
    }

    EventLog* const log_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::map<std::u16string, std::shared_ptr<FakeEndpoint>> endpoints_;
    std::shared_ptr<std::atomic<int>> closed_ = std::make_shared<std::atomic<int>>(0);
};

class FakeHidEnumeration final : public platform::HidEnumeration {
  public:
    explicit FakeHidEnumeration(FakeHidSystem& system) : system_(system) {}
    std::optional<std::u16string> interfacePath(uint32_t index) override {
        system_.record("path " + std::to_string(index));
        if (index >= system_.interfaces.size() || !system_.interfaces[index])
            return std::nullopt;
        return system_.interfaces[index]->path;
    }

  private:
    FakeHidSystem& system_;
};

class FakeHidProbe final : public platform::HidProbe {
  public:
    explicit FakeHidProbe(FakeInterface device) : device_(std::move(device)) {}
    std::optional<platform::HidAttributes> attributes() override {
        if (device_.attributesFail)
            return std::nullopt;
        return device_.attributes;
    }
    std::optional<platform::HidCaps> caps() override {
        if (device_.capsFail)
            return std::nullopt;
        return device_.caps;
    }

  private:
    FakeInterface device_;
};

inline std::unique_ptr<platform::HidEnumeration> FakeHidSystem::enumerate() {
    record("enumerate");
    if (enumerationFails)
        return nullptr;
    return std::make_unique<FakeHidEnumeration>(*this);
}

inline std::unique_ptr<platform::HidProbe> FakeHidSystem::probe(std::u16string_view path) {
    record("probe " + narrow(path));
    const FakeInterface* found = find(path);
    if (found == nullptr || found->probeFails)
        return nullptr;
    return std::make_unique<FakeHidProbe>(*found);
}

}  // namespace v270::test
