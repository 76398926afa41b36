// Any bytes as config.ini, read at start-up, then written to the mouse by the real device link:
// applies, DPI steps of any size, the LED switch, other profiles loaded (factory ones too), the
// mouse refusing reports, as the last bytes of the input choose. The mouse is an in-memory HID
// system whose feature interface checks every report as it arrives; config.ini stays in memory.
//
// Checked: every report is one of the five, with report ID 7, its parameters in their ranges
// (a button's own number and a hardware code the mouse knows, a DPI level 0..3 with a DPI code
// 0..4 and an LED mode 0..3, a fire byte of at most 300 / 8) and zeros after them, so no value
// of any file reads past a table; an apply sends a button report exactly for each slot with a
// sendable hardware code, raises the start prompt for the first host function, derives each
// slot's DPI step, sets the Windows speeds from their tables and saves what it sent as the last
// applied profile; the working copy and the mouse state stay in their ranges.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "device/device_link.h"
#include "device/dpi_levels.h"
#include "device/input_report.h"
#include "device/mouse_identity.h"
#include "fuzz_check.h"
#include "settings/function_codes.h"
#include "settings/profile_format.h"
#include "settings/text.h"
#include "support/memory_ini_files.h"
#include "support/recording_view_port.h"

namespace v270::fuzz {
namespace {

using namespace feature_report;

// The interface's report length and up to ten steps.
constexpr size_t kStateBytes = 12;
constexpr int32_t kPointerSpeeds[] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18};

struct SentReports {
    std::vector<FeatureReport> reports;
    bool refuse = false;
};

void checkReport(std::span<const uint8_t> bytes) {
    FUZZ_CHECK(bytes.size() == kFeatureReportBodyLength);
    FUZZ_CHECK(bytes[kReportIdOffset] == kReportId);
    for (size_t i = kMeaningfulLength; i < bytes.size(); ++i)
        FUZZ_CHECK(bytes[i] == 0);
    const uint8_t first = bytes[kFirstParameterOffset];
    const uint8_t second = bytes[kSecondParameterOffset];
    switch (bytes[kCommandOffset]) {
        case kButtonCommand:
            FUZZ_CHECK(std::ranges::find(buttonHardwareId, first) != buttonHardwareId.end());
            FUZZ_CHECK(isSendableHardwareCode(second));
            break;
        case kWheelCommand:
            FUZZ_CHECK(second == 0);
            break;
        case kDpiLedCommand:
            FUZZ_CHECK(first < kDpiLevelCount);
            FUZZ_CHECK((second >> 4) >= kDpiCodeBias &&
                       (second >> 4) < kDpiCodeBias + kDpiStepCount);
            FUZZ_CHECK((second & 0x0F) <= kMaxLedMode);
            break;
        case kFireCommand:
            FUZZ_CHECK(first <= kMaxFireTime / kFireTimeStep);
            FUZZ_CHECK(second == 0);
            break;
        case kExitCommand:
            FUZZ_CHECK(first == 0 && second == 0);
            break;
        default:
            fail(__FILE__, __LINE__, "a report with an unknown command");
    }
}

class CheckingFeatureDevice final : public platform::HidDevice {
  public:
    explicit CheckingFeatureDevice(SentReports& sent) : sent_(sent) {}
    platform::HidResult sendFeatureReport(std::span<const uint8_t> report) override {
        checkReport(report);
        if (sent_.refuse)
            return platform::HidResult::failure("HidD_SetFeature: (0x0000001F) refused");
        FeatureReport copy{};
        std::ranges::copy(report, copy.begin());
        sent_.reports.push_back(copy);
        return platform::HidResult::success();
    }
    platform::HidResult readInputReport(std::span<uint8_t>, std::stop_token) override {
        return platform::HidResult::failure("not read here");
    }

  private:
    SentReports& sent_;
};

// The mouse's feature interface, with the report length the input chooses.
class OneMouse final : public platform::HidSystem {
  public:
    OneMouse(SentReports& sent, uint16_t featureLength) : sent_(sent), length_(featureLength) {}
    std::vector<platform::HidInterface> enumerate() override {
        return {{u"feature", mouse::kVendorId, mouse::kProductId, mouse::kFeatureUsagePage,
                 mouse::kVendorUsage, 0, length_, u"mouse"}};
    }
    std::unique_ptr<platform::HidDevice> open(std::u16string_view, platform::HidAccess) override {
        return std::make_unique<CheckingFeatureDevice>(sent_);
    }
    void registerForNotices() override {}

  private:
    SentReports& sent_;
    uint16_t length_;
};

class Settings final : public platform::SystemSettings {
  public:
    std::optional<int32_t> pointerSpeed() override { return speed; }
    void setPointerSpeed(int32_t value) override { speed = value; }
    std::optional<uint32_t> wheelScrollLines() override { return lines; }
    void setWheelScrollLines(uint32_t value) override { lines = value; }
    int32_t speed = 10;
    uint32_t lines = 3;
};

class CountingPrompt final : public StartPromptListener {
  public:
    void startPromptRaised() override { ++raised; }
    int raised = 0;
};

void checkProfile(const ConfigProfile& p) {
    FUZZ_CHECK(p.macroMode2 == 0 || p.macroMode2 == 1);
    FUZZ_CHECK(p.dpiLevel >= 0 && p.dpiLevel < kDpiLevelCount);
    FUZZ_CHECK(std::ranges::all_of(p.dpiSet, [](uint8_t s) { return s < kDpiStepCount; }));
    FUZZ_CHECK(std::ranges::all_of(p.dpiSetEnabled, [](uint8_t e) { return e <= 1; }));
    FUZZ_CHECK(std::ranges::any_of(p.dpiSetEnabled, [](uint8_t e) { return e == 1; }));
    FUZZ_CHECK(p.ledStatus <= kMaxLedMode);
    FUZZ_CHECK(p.dpiSpeed <= kMaxSpeedStep && p.wheelSpeed <= kMaxSpeedStep);
    FUZZ_CHECK(p.fireTime >= 0 && p.fireTime <= kMaxFireTime);
}

void checkMouseState(const MouseState& mouse) {
    FUZZ_CHECK(
        std::ranges::all_of(mouse.appliedDpiSet, [](uint8_t s) { return s < kDpiStepCount; }));
    FUZZ_CHECK(mouse.appliedLedMode <= kMaxLedMode);
    FUZZ_CHECK(mouse.effectiveLedMode <= kMaxLedMode);
}

struct Rig {
    explicit Rig(uint16_t featureLength)
        : hid(sent, featureLength), usable(servesFeatureReportLength(featureLength)) {}

    test::MemoryIniFiles files;
    ProfileStore profiles{files, "config.ini"};
    SentReports sent;
    OneMouse hid;
    BannerState banner;
    CountingPrompt prompt;
    test::RecordingViewPort view;
    Settings system;
    const bool usable;
    DeviceLink link{DeviceLinkServices{hid, profiles, banner, prompt, view, system}};
};

// One apply, with what it must have sent and left.
void apply(Rig& rig) {
    const ConfigProfile profile = rig.profiles.profile();
    const int32_t slotNumber = rig.profiles.currentConfig();
    rig.sent.reports.clear();
    rig.link.ApplySettings();

    std::optional<int32_t> firstHost;
    size_t buttonReports = 0;
    for (size_t slot = 0; slot < kButtonCount; ++slot) {
        const int32_t code = profile.buttonFunction[slot];
        FUZZ_CHECK(rig.link.dpiStep(static_cast<int>(slot)) == dpiStepOf(code));
        const std::optional<uint8_t> hardware = hardwareCodeOf(code);
        if (hardware && isSendableHardwareCode(*hardware)) {
            ++buttonReports;
            if (*hardware == hostFunctionCode && !firstHost)
                firstHost = static_cast<int32_t>(slot) + 1;
        }
    }
    if (rig.usable && !rig.sent.refuse) {
        // Buttons, wheel, DPI and LED, fire: in that order, each once.
        FUZZ_CHECK(rig.sent.reports.size() == buttonReports + 3);
        for (size_t i = 0; i < buttonReports; ++i)
            FUZZ_CHECK(rig.sent.reports[i][kCommandOffset] == kButtonCommand);
        const FeatureReport& dpi = rig.sent.reports[buttonReports + 1];
        FUZZ_CHECK(dpi[kFirstParameterOffset] == profile.dpiLevel);
        FUZZ_CHECK(
            dpi[kSecondParameterOffset] ==
            dpiLedByte(profile.dpiSet[static_cast<size_t>(profile.dpiLevel)], profile.ledStatus));
    }
    if (firstHost) {
        FUZZ_CHECK(rig.banner.driverWorking.load() == 0);
        FUZZ_CHECK(rig.banner.startKeyNumber.load() == *firstHost);
    } else {
        FUZZ_CHECK(rig.banner.driverWorking.load() == 1);
    }
    FUZZ_CHECK(rig.system.speed == kPointerSpeeds[profile.dpiSpeed]);
    FUZZ_CHECK(rig.system.lines == profile.wheelSpeed + 1u);

    // What was sent is in config.ini, as the last applied profile and as the current slot.
    const IniDocument saved = rig.files.load("config.ini");
    FUZZ_CHECK(readProfileSection(saved, u"Config6") == profile);
    FUZZ_CHECK(readProfileSection(saved, profileSectionName(slotNumber, false, 0)) == profile);
    FUZZ_CHECK(parseLeadingInt(saved.read(u"Init", u"CurConfig", 5)) == slotNumber);
}

}  // namespace
}  // namespace v270::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace v270;
    using namespace v270::fuzz;
    const size_t stateSize = std::min(size, kStateBytes);
    const uint8_t* state = data + (size - stateSize);
    size_t at = 0;
    const auto next = [&]() -> uint8_t { return at < stateSize ? state[at++] : 0; };

    // Report lengths from none to one beyond what the link serves.
    const uint16_t featureLength = static_cast<uint16_t>(next() | (next() & 0x1F) << 8);
    Rig rig(featureLength);
    rig.files.put("config.ini", std::as_bytes(std::span(data, size - stateSize)));
    rig.profiles.readStartupSettings();
    rig.link.FindMouse();

    int applies = 0;
    while (at < stateSize) {
        const uint8_t op = next();
        switch (op % 6) {
            case 0:
                // An apply parses and rewrites config.ini: two of them show what a third would.
                if (++applies <= 2)
                    apply(rig);
                break;
            case 1:
            case 2: {  // a DPI button: the three steps, and any other number a slot could hold
                const int32_t steps[] = {-1, 1, 2, static_cast<int8_t>(next())};
                rig.sent.reports.clear();
                rig.link.changeDpiLevel(steps[op / 6 % 4]);
                const bool sent = !rig.sent.refuse && rig.usable;
                FUZZ_CHECK(rig.sent.reports.size() == (sent ? 1u : 0u));
                if (sent) {
                    FUZZ_CHECK(rig.sent.reports[0][kCommandOffset] == kDpiLedCommand);
                    FUZZ_CHECK(rig.sent.reports[0][kFirstParameterOffset] ==
                               rig.profiles.profile().dpiLevel);
                }
                break;
            }
            case 3:
                rig.link.toggleLed();
                break;
            case 4: {  // another profile: a slot of config.ini, or a factory one
                const int32_t slot = static_cast<int8_t>(next());
                const bool fromReset = (op & 0x40) != 0;
                rig.profiles.setEnglishUi(op >> 7);
                rig.profiles.setCurrentConfig(slot);
                rig.profiles.loadProfile("config.ini", slot, fromReset);
                break;
            }
            case 5:
                rig.sent.refuse = !rig.sent.refuse;
                break;
        }
        checkProfile(rig.profiles.profile());
        checkMouseState(rig.link.mouseState());
    }
    rig.sent.reports.clear();
    rig.link.sendExitReport();
    FUZZ_CHECK(rig.sent.reports.size() == (rig.usable && !rig.sent.refuse ? 1u : 0u));
    return 0;
}
