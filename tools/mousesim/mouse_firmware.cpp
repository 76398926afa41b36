#include "mouse_firmware.h"

#include <algorithm>

#include "device/feature_reports.h"
#include "device/input_report.h"
#include "device/mouse_identity.h"
#include "json_writer.h"
#include "settings/function_codes.h"
#include "settings/text.h"

namespace v270::mousesim {

namespace {

// Paths shaped like the system's device interface paths of a composite mouse.
constexpr std::u16string_view kOrdinaryMousePath =
    u"\\\\?\\hid#vid_18f8&pid_0f99&mi_00#8&2d1f8a3c&0&0000#"
    u"{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr std::u16string_view kInputPath =
    u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col01#8&11b3e5f0&0&0000#"
    u"{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr std::u16string_view kFeaturePath =
    u"\\\\?\\hid#vid_18f8&pid_0f99&mi_01&col02#8&11b3e5f0&0&0001#"
    u"{4d1e55b2-f16f-11cf-88cb-001111000030}";

constexpr uint16_t kGenericDesktopPage = 0x0001;
constexpr uint16_t kMouseUsage = 0x0002;
constexpr uint16_t kOrdinaryMouseInputLength = 5;
constexpr uint16_t kFirmwareVersion = 0x0100;

sim::InterfaceRecord record(std::u16string_view path, uint16_t usagePage, uint16_t usage,
                            uint16_t inputLength, uint16_t featureLength) {
    sim::InterfaceRecord entry;
    entry.path = std::u16string(path);
    entry.attributes = {mouse::kVendorId, mouse::kProductId, kFirmwareVersion};
    entry.caps.usagePage = usagePage;
    entry.caps.usage = usage;
    entry.caps.inputReportByteLength = inputLength;
    entry.caps.featureReportByteLength = featureLength;
    return entry;
}

bool validButton(int buttonId) {
    return buttonId >= 1 && buttonId <= kButtonCount;
}

std::optional<int64_t> number(std::optional<uint8_t> value) {
    if (!value)
        return std::nullopt;
    return *value;
}

}  // namespace

std::string hexBytes(std::span<const uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const uint8_t byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
    }
    return text;
}

std::vector<sim::InterfaceRecord> MouseFirmware::interfaces() const {
    if (!plugged_)
        return {};
    return {
        record(kOrdinaryMousePath, kGenericDesktopPage, kMouseUsage, kOrdinaryMouseInputLength, 0),
        record(kInputPath, mouse::kInputUsagePage, mouse::kVendorUsage, options_.inputReportLength,
               0),
        record(kFeaturePath, mouse::kFeatureUsagePage, mouse::kVendorUsage, 0,
               options_.featureReportLength),
    };
}

std::optional<InterfaceKind> MouseFirmware::kindOf(std::u16string_view path) {
    if (platform::sameInterfaceName(path, kOrdinaryMousePath))
        return InterfaceKind::OrdinaryMouse;
    if (platform::sameInterfaceName(path, kInputPath))
        return InterfaceKind::Input;
    if (platform::sameInterfaceName(path, kFeaturePath))
        return InterfaceKind::Feature;
    return std::nullopt;
}

std::vector<std::u16string> MouseFirmware::paths() {
    return {std::u16string(kOrdinaryMousePath), std::u16string(kInputPath),
            std::u16string(kFeaturePath)};
}

bool MouseFirmware::takeFeatureReport(std::span<const uint8_t> report) {
    const bool accepted = !failFeatureReports_ && report.size() == options_.featureReportLength &&
                          !report.empty() &&
                          report[feature_report::kReportIdOffset] == feature_report::kReportId;
    log_.push({Bytes(report.begin(), report.end()), accepted});
    if (accepted)
        apply(report);
    return accepted;
}

void MouseFirmware::refuseFeatureReport(std::span<const uint8_t> report) {
    log_.push({Bytes(report.begin(), report.end()), false});
}

void MouseFirmware::apply(std::span<const uint8_t> report) {
    using namespace feature_report;
    // A report too short for its parameters is taken but changes nothing.
    if (report.size() < kMeaningfulLength)
        return;
    const uint8_t first = report[kFirstParameterOffset];
    const uint8_t second = report[kSecondParameterOffset];
    switch (report[kCommandOffset]) {
        case kButtonCommand:
            if (validButton(first))
                buttons_[static_cast<size_t>(first - 1)].hardwareCode = second;
            break;
        case kWheelCommand:
            wheel_ = first;
            break;
        case kDpiLedCommand:
            dpiLevel_ = first;
            dpiLedByte_ = second;
            break;
        case kFireCommand:
            fire_ = first;
            break;
        case kExitCommand:
            exitReportSeen_ = true;
            break;
        default:
            break;  // a command this firmware does not know is taken and ignored
    }
}

std::optional<ButtonReport> MouseFirmware::press(int buttonId) {
    if (!validButton(buttonId))
        return std::nullopt;
    ButtonState& state = buttons_[static_cast<size_t>(buttonId - 1)];
    state.pressed = true;
    if (state.hardwareCode != hostFunctionCode)
        return std::nullopt;
    return ButtonReport{input_report::kStartSignalReportId,
                        static_cast<uint8_t>(input_report::kHostKeyBase + buttonId)};
}

std::optional<ButtonReport> MouseFirmware::release(int buttonId) {
    if (!validButton(buttonId))
        return std::nullopt;
    ButtonState& state = buttons_[static_cast<size_t>(buttonId - 1)];
    state.pressed = false;
    if (state.hardwareCode != hostFunctionCode)
        return std::nullopt;
    return ButtonReport{input_report::kStartSignalReportId, input_report::kNoKey};
}

std::optional<Bytes> MouseFirmware::inputReport(std::span<const uint8_t> start) const {
    if (start.size() > options_.inputReportLength)
        return std::nullopt;
    Bytes report(options_.inputReportLength, 0);
    std::copy(start.begin(), start.end(), report.begin());
    return report;
}

std::string MouseFirmware::toJson(const ClientStatus& client) const {
    JsonWriter json;
    json.beginObject();
    json.key("plugged").value(plugged_);
    json.key("clientConnected").value(client.connected);
    json.key("inputInterfaceOpen").value(client.inputOpen);
    json.key("featureInterfaceOpen").value(client.featureOpen);
    json.key("inputReportLength").value(int64_t{options_.inputReportLength});
    json.key("featureReportLength").value(int64_t{options_.featureReportLength});
    json.key("failFeatureReports").value(failFeatureReports_);
    json.key("buttons").beginArray();
    for (int id = 1; id <= kButtonCount; ++id) {
        const ButtonState& state = button(id);
        json.beginObject();
        json.key("id").value(int64_t{id});
        json.key("hardwareCode").value(number(state.hardwareCode));
        json.key("pressed").value(state.pressed);
        json.endObject();
    }
    json.endArray();
    json.key("wheel").value(number(wheel_));
    json.key("dpiLevel").value(number(dpiLevel_));
    std::optional<int64_t> dpiCode;
    std::optional<int64_t> ledMode;
    if (dpiLedByte_) {
        // -8..7: a byte below 0x80, which the program never sends, gives a negative code.
        dpiCode = (*dpiLedByte_ >> 4) - feature_report::kDpiCodeBias;
        ledMode = *dpiLedByte_ & 0xF;
    }
    json.key("dpiCode").value(dpiCode);
    json.key("ledMode").value(ledMode);
    json.key("dpiLedByte").value(number(dpiLedByte_));
    json.key("fire").value(number(fire_));
    json.key("exitReportSeen").value(exitReportSeen_);
    json.key("log").beginArray();
    for (const LoggedReport& entry : log_.entries()) {
        json.beginObject();
        json.key("bytes").value(hexBytes(entry.bytes));
        json.key("accepted").value(entry.accepted);
        json.endObject();
    }
    json.endArray();
    json.key("logDropped").value(static_cast<int64_t>(log_.dropped()));
    json.key("inputReportsSent").beginArray();
    for (const SentInputReport& report : sentInput_.entries())
        json.value(hexBytes(report.bytes));
    json.endArray();
    json.key("inputReportsDropped").value(static_cast<int64_t>(sentInput_.dropped()));
    json.key("paths").beginObject();
    json.key("ordinaryMouse").value(utf16ToUtf8(kOrdinaryMousePath));
    json.key("input").value(utf16ToUtf8(kInputPath));
    json.key("feature").value(utf16ToUtf8(kFeaturePath));
    json.endObject();
    json.endObject();
    return json.take();
}

}  // namespace v270::mousesim
