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
                                                                      : nullptr),
      usable_(device_ != nullptr) {}

platform::HidResult FeatureChannel::send(const FeatureReport& report) {
    const std::lock_guard lock(deviceMutex_);
    if (!device_)
        return platform::HidResult::failure("no feature interface open");
    return device_->sendFeatureReport(report);
}

void FeatureChannel::close() {
    usable_.store(false, std::memory_order_release);
    std::unique_ptr<platform::HidDevice> closing;
    const std::lock_guard lock(deviceMutex_);
    closing = std::move(device_);
}

InputChannel::InputChannel(platform::HidInterface listing,
                           std::unique_ptr<platform::HidDevice> device)
    : listing_(std::move(listing)),
      device_(servesInputReportLength(listing_.inputReportLength) ? std::move(device) : nullptr),
      usable_(device_ != nullptr) {}

bool InputChannel::read(std::span<uint8_t> buffer, std::stop_token stop) {
    if (buffer.size() != reportLength())
        return false;
    // The read ends on the reader's stop and on a close, whichever comes first.
    std::stop_source ended;
    const auto end = [&ended] { ended.request_stop(); };
    const std::stop_callback onStop(stop, end);
    const std::stop_callback onClose(closing_.get_token(), end);
    const std::lock_guard lock(deviceMutex_);
    if (!device_ || ended.stop_requested())
        return false;
    return device_->readInputReport(buffer, ended.get_token()).ok;
}

void InputChannel::close() {
    usable_.store(false, std::memory_order_release);
    closing_.request_stop();
    // The device goes once the read it may be in has returned.
    std::unique_ptr<platform::HidDevice> closing;
    const std::lock_guard lock(deviceMutex_);
    closing = std::move(device_);
}

}  // namespace v270
