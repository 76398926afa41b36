#include "device/report_channel.h"

#include "device/input_report.h"

namespace v270 {

bool servesFeatureReportLength(size_t length) {
    return length >= feature_report::kMeaningfulLength && length <= kMaxReportLength;
}

bool servesInputReportLength(size_t length) {
    return length >= input_report::kMeaningfulLength && length <= kMaxReportLength;
}

FeatureChannel::FeatureChannel(platform::HidInterface listing,
                               std::unique_ptr<platform::HidDevice> device)
    : listing_(std::move(listing)),
      device_(servesFeatureReportLength(listing_.featureReportLength) ? std::move(device)
                                                                      : nullptr) {}

platform::HidResult FeatureChannel::send(const FeatureReport& report) {
    if (!device_)
        return platform::HidResult::failure("no feature interface open");
    return device_->sendFeatureReport(report);
}

InputChannel::InputChannel(platform::HidInterface listing,
                           std::unique_ptr<platform::HidDevice> device)
    : listing_(std::move(listing)),
      device_(servesInputReportLength(listing_.inputReportLength) ? std::move(device) : nullptr) {}

bool InputChannel::read(std::span<uint8_t> buffer, std::stop_token stop) {
    if (!device_ || buffer.size() != reportLength())
        return false;
    return device_->readInputReport(buffer, std::move(stop)).ok;
}

}  // namespace v270
