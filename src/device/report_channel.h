#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <stop_token>
#include <vector>

#include "device/feature_reports.h"
#include "platform/hid.h"

// The one road every report takes between the program and the mouse: lengths are checked here,
// and an observer can see every byte.
namespace v270 {

// The longest report the link accepts. The parser's lengths go up to 65535; a vendor
// collection of this mouse never needs more than a few dozen bytes, and a length far beyond
// that is a collection the link does not understand.
inline constexpr size_t kMaxReportLength = 4096;

bool servesFeatureReportLength(size_t length);
bool servesInputReportLength(size_t length);

// Sees each report as it is sent or read. Called on the sending or reading thread.
class ReportObserver {
  public:
    virtual ~ReportObserver() = default;
    virtual void featureReportSent(std::span<const uint8_t> report, bool accepted) = 0;
    virtual void inputReportRead(std::span<const uint8_t> report) = 0;
};

// The feature interface with its capabilities. A channel without a device (the interface could
// not be opened, or its report length is not one the link serves) sends nothing.
class FeatureChannel {
  public:
    FeatureChannel(platform::HidCaps caps, std::unique_ptr<platform::HidDevice> device,
                   ReportObserver* observer);

    const platform::HidCaps& caps() const { return caps_; }
    bool usable() const { return device_ != nullptr; }

    // Builds `report` in a buffer of the interface's own report length (every byte from the
    // body on stays zero) and sends it, as one unit against every other sender. Returns
    // whether the device took it; false at once for an unusable channel.
    bool send(const FeatureReport& report);

  private:
    const platform::HidCaps caps_;
    const std::unique_ptr<platform::HidDevice> device_;
    ReportObserver* const observer_;
    std::mutex mutex_;
    std::vector<uint8_t> featureReport_;
};

// The input interface with its capabilities. One thread reads it.
class InputChannel {
  public:
    InputChannel(platform::HidCaps caps, std::unique_ptr<platform::HidDevice> device,
                 ReportObserver* observer);

    const platform::HidCaps& caps() const { return caps_; }
    bool usable() const { return device_ != nullptr; }
    size_t reportLength() const { return caps_.inputReportByteLength; }

    // Blocks until one report fills `buffer`, which must be reportLength() bytes long. False
    // for a failed read, a stop, a buffer of another length or an unusable channel.
    bool read(std::span<uint8_t> buffer, std::stop_token stop);

  private:
    const platform::HidCaps caps_;
    const std::unique_ptr<platform::HidDevice> device_;
    ReportObserver* const observer_;
};

}  // namespace v270
