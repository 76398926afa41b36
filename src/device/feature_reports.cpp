#include "device/feature_reports.h"

#include "settings/function_codes.h"

namespace v270 {

namespace {

using namespace feature_report;

uint8_t lowByte(int32_t value) {
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

FeatureReport report(uint8_t command, uint8_t first, uint8_t second) {
    FeatureReport bytes{};
    bytes[kReportIdOffset] = kReportId;
    bytes[kCommandOffset] = command;
    bytes[kFirstParameterOffset] = first;
    bytes[kSecondParameterOffset] = second;
    return bytes;
}

}  // namespace

bool isSendableHardwareCode(uint8_t hardwareCode) {
    return hardwareCode <= kLastMouseHardwareCode || hardwareCode == hostFunctionCode;
}

FeatureReport buttonReport(uint8_t hardwareButtonId, uint8_t hardwareCode) {
    return report(kButtonCommand, hardwareButtonId, hardwareCode);
}

FeatureReport wheelReport(int32_t wheelStatus) {
    return report(kWheelCommand, lowByte(wheelStatus), 0);
}

uint8_t dpiLedByte(uint8_t dpiCode, uint8_t ledMode) {
    return lowByte((dpiCode + kDpiCodeBias) * 16 + ledMode);
}

FeatureReport dpiLedReport(uint8_t level, uint8_t dpiCode, uint8_t ledMode) {
    return report(kDpiLedCommand, level, dpiLedByte(dpiCode, ledMode));
}

FeatureReport fireReport(int32_t fireTime) {
    return report(kFireCommand, lowByte(fireTime / kFireTimeStep), 0);
}

FeatureReport exitReport() {
    return report(kExitCommand, 0, 0);
}

}  // namespace v270
