#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
// be opened, or its report length is not one the link serves) sends nothing. One report at a
// time: the device link's report lock keeps senders apart.
class FeatureChannel {
  public:
    FeatureChannel(platform::HidInterface listing, std::unique_ptr<platform::HidDevice> device);

    const platform::HidInterface& listing() const { return listing_; }
    bool usable() const { return device_ != nullptr; }

    // Sends `report`; the backend pads it to the interface's length. Fails at once for an
    // unusable channel.
    platform::HidResult send(const FeatureReport& report);

  private:
    const platform::HidInterface listing_;
    const std::unique_ptr<platform::HidDevice> device_;
};

// The input interface as it was listed. One thread reads it.
class InputChannel {
  public:
    InputChannel(platform::HidInterface listing, std::unique_ptr<platform::HidDevice> device);

    const platform::HidInterface& listing() const { return listing_; }
    bool usable() const { return device_ != nullptr; }
    size_t reportLength() const { return listing_.inputReportLength; }

    // Blocks until one report fills `buffer`, which must be reportLength() bytes long. False
    // for a failed read, a stop, a buffer of another length or an unusable channel.
    bool read(std::span<uint8_t> buffer, std::stop_token stop);

  private:
    const platform::HidInterface listing_;
    const std::unique_ptr<platform::HidDevice> device_;
};

}  // namespace v270
