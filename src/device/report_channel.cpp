#include "device/report_channel.h"

#include <algorithm>

#include "device/input_report.h"

namespace v270 {

bool servesFeatureReportLength(size_t length) {
    return length >= feature_report::kMeaningfulLength && length <= kMaxReportLength;
}

bool servesInputReportLength(size_t length) {
    return length >= input_report::kMeaningfulLength && length <= kMaxReportLength;
}

FeatureChannel::FeatureChannel(platform::HidCaps caps, std::unique_ptr<platform::HidDevice> device,
                               ReportObserver* observer)
    : caps_(caps),
      device_(servesFeatureReportLength(caps.featureReportByteLength) ? std::move(device)
                                                                      : nullptr),
      observer_(observer) {
    if (device_)
        featureReport_.assign(caps_.featureReportByteLength, 0);
}

bool FeatureChannel::send(const FeatureReport& report) {
    if (!device_)
        return false;
    const std::lock_guard lock(mutex_);
    // The body is written whole each time, and nothing else is ever written, so the tail stays
    // zero. A report length shorter than the body drops only zero bytes.
    const size_t bodyBytes = std::min(report.size(), featureReport_.size());
    std::copy_n(report.begin(), bodyBytes, featureReport_.begin());
    const bool accepted = device_->sendFeatureReport(featureReport_);
    if (observer_ != nullptr)
        observer_->featureReportSent(featureReport_, accepted);
    return accepted;
}

InputChannel::InputChannel(platform::HidCaps caps, std::unique_ptr<platform::HidDevice> device,
                           ReportObserver* observer)
    : caps_(caps),
      device_(servesInputReportLength(caps.inputReportByteLength) ? std::move(device) : nullptr),
      observer_(observer) {}

bool InputChannel::read(std::span<uint8_t> buffer, std::stop_token stop) {
    if (!device_ || buffer.size() != reportLength())
        return false;
    if (!device_->readInputReport(buffer, std::move(stop)))
        return false;
    if (observer_ != nullptr)
        observer_->inputReportRead(buffer);
    return true;
}

}  // namespace v270
