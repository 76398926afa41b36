#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <stop_token>

#include "device/feature_reports.h"
#include "platform/hid.h"

// The two roads between the program and the mouse's vendor interfaces: an interface's lengths
// are checked here, once, when it is opened.
namespace v270 {

// The longest report the link accepts. The parser's lengths go up to 65535; a vendor
// collection of this mouse never needs more than a few dozen bytes, and a length far beyond
// that is a collection the link does not understand.
inline constexpr size_t kMaxReportLength = 4096;

bool servesFeatureReportLength(size_t length);
bool servesInputReportLength(size_t length);

// The feature interface as it was listed. A channel without a device (the interface could not
// be opened, its report length is not one the link serves, or it was closed) sends nothing. One
// report at a time: the device link's report lock keeps senders apart.
class FeatureChannel {
  public:
    FeatureChannel(platform::HidInterface listing, std::unique_ptr<platform::HidDevice> device);

    const platform::HidInterface& listing() const { return listing_; }
    bool usable() const { return usable_.load(std::memory_order_acquire); }

    // Sends `report`; the backend pads it to the interface's length. Fails at once for an
    // unusable channel.
    platform::HidResult send(const FeatureReport& report);

    // Closes the device now, once a send in progress has returned, whoever still holds the
    // channel: the system wants the handle back.
    void close();

  private:
    const platform::HidInterface listing_;
    std::mutex deviceMutex_;
    std::unique_ptr<platform::HidDevice> device_;
    std::atomic<bool> usable_;
};

// The input interface as it was listed. One thread reads it.
class InputChannel {
  public:
    InputChannel(platform::HidInterface listing, std::unique_ptr<platform::HidDevice> device);

    const platform::HidInterface& listing() const { return listing_; }
    // Never waits for a read in progress.
    bool usable() const { return usable_.load(std::memory_order_acquire); }
    size_t reportLength() const { return listing_.inputReportLength; }

    // Blocks until one report fills `buffer`, which must be reportLength() bytes long. False
    // for a failed read, a stop, a close, a buffer of another length or an unusable channel.
    bool read(std::span<uint8_t> buffer, std::stop_token stop);

    // Ends a read in progress and closes the device once it has returned, whoever still holds
    // the channel: the system wants the handle back.
    void close();

  private:
    const platform::HidInterface listing_;
    std::stop_source closing_;
    std::mutex deviceMutex_;
    std::unique_ptr<platform::HidDevice> device_;
    std::atomic<bool> usable_;
};

}  // namespace v270
