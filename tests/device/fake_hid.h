#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/mouse_identity.h"
#include "platform/hid.h"
#include "support/event_log.h"

// An in-process HID system for the device link's tests: interfaces by member index, each with
// its identity and capabilities, and failures that can be injected at every step.
namespace v270::test {

using Bytes = std::vector<uint8_t>;

// The far end of one interface: what was sent to it and what it will deliver to readers.
class FakeEndpoint {
  public:
    explicit FakeEndpoint(EventLog* log) : log_(log) {}

    bool takeFeatureReport(std::span<const uint8_t> report) {
        if (onReport)
            onReport();
        const std::lock_guard lock(mutex_);
        featureReports_.emplace_back(report.begin(), report.end());
        if (log_ != nullptr)
            log_->add("report " + hex(report));
        return !sendFails_;
    }

    // Runs on the sending thread as each feature report arrives, before it is taken.
    std::function<void()> onReport;

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
    int readsStarted() const {
        const std::lock_guard lock(mutex_);
        return readsStarted_;
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
    FakeHidDevice(std::shared_ptr<FakeEndpoint> endpoint, std::shared_ptr<std::atomic<int>> closed,
                  size_t featureLength = 0)
        : endpoint_(std::move(endpoint)),
          closed_(std::move(closed)),
          featureLength_(featureLength) {}
    ~FakeHidDevice() override { ++*closed_; }

    // As a backend does, the report goes out in the interface's own length.
    platform::HidResult sendFeatureReport(std::span<const uint8_t> report) override {
        if (endpoint_->takeFeatureReport(platform::reportOfLength(report, featureLength_)))
            return platform::HidResult::success();
        return platform::HidResult::failure("HidD_SetFeature: (0x0000001F) refused");
    }
    platform::HidResult readInputReport(std::span<uint8_t> buffer, std::stop_token stop) override {
        if (endpoint_->read(buffer, std::move(stop)))
            return platform::HidResult::success();
        return platform::HidResult::failure("ReadFile: failed");
    }

  private:
    std::shared_ptr<FakeEndpoint> endpoint_;
    std::shared_ptr<std::atomic<int>> closed_;
    const size_t featureLength_;
};

struct FakeInterface {
    platform::HidInterface listing;
    bool openFails = false;
};

inline FakeInterface mouseCollection(std::u16string path, uint16_t usagePage, uint16_t usage,
                                     uint16_t inputLength, uint16_t featureLength) {
    return FakeInterface{{std::move(path),
                          mouse::kVendorId,
                          mouse::kProductId,
                          usagePage,
                          usage,
                          inputLength,
                          featureLength,
                          {}}};
}

// The mouse as it enumerates: the ordinary mouse collection and the two vendor collections.
inline FakeInterface ordinaryMouseInterface(
    std::u16string path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_00#a") {
    return mouseCollection(std::move(path), 0x0001, 0x0002, 5, 0);
}
inline FakeInterface inputInterface(
    uint16_t inputLength = 8, std::u16string path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col01#b") {
    return mouseCollection(std::move(path), mouse::kInputUsagePage, mouse::kVendorUsage,
                           inputLength, 0);
}
inline FakeInterface featureInterface(
    uint16_t featureLength = 9,
    std::u16string path = u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col02#c") {
    return mouseCollection(std::move(path), mouse::kFeatureUsagePage, mouse::kVendorUsage, 0,
                           featureLength);
}
inline FakeInterface otherDevice(std::u16string path = u"\\\\?\\hid#vid_046d&pid_c077#k") {
    return FakeInterface{{std::move(path), 0x046D, 0xC077, 0x0001, 0x0002, 5, 0, {}}};
}

// Records every call, in order, as "enumerate", "open P read|write", "register".
class FakeHidSystem final : public platform::HidSystem {
  public:
    explicit FakeHidSystem(EventLog* log = nullptr) : log_(log) {}

    // What the system lists, in order.
    std::vector<FakeInterface> interfaces;

    std::vector<platform::HidInterface> enumerate() override {
        record("enumerate");
        std::vector<platform::HidInterface> present;
        for (const FakeInterface& entry : interfaces)
            present.push_back(entry.listing);
        return present;
    }

    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override {
        const bool read = access == platform::HidAccess::Read;
        record("open " + narrow(path) + (read ? " read" : " write"));
        const FakeInterface* found = find(path);
        if (found == nullptr || found->openFails)
            return nullptr;
        return std::make_unique<FakeHidDevice>(endpoint(path), closed_,
                                               found->listing.featureReportLength);
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
            if (entry.listing.path == path)
                return &entry;
        }
        return nullptr;
    }

    EventLog* const log_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::map<std::u16string, std::shared_ptr<FakeEndpoint>> endpoints_;
    std::shared_ptr<std::atomic<int>> closed_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace v270::test
