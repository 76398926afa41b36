#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/sim_protocol.h"
#include "recent_log.h"

// The simulated mouse's firmware, as far as the program relies on it: the interfaces it
// presents, the settings the feature reports write, and the input reports its buttons send.
// Not thread-safe: the simulator serialises every use.
namespace v270::mousesim {

using Bytes = std::vector<uint8_t>;

struct FirmwareOptions {
    uint16_t inputReportLength = 8;
    uint16_t featureReportLength = 9;
    size_t featureLogEntries = 1024;  // the newest feature reports the log keeps
};

enum class InterfaceKind { OrdinaryMouse, Input, Feature };

inline constexpr int kButtonCount = 6;

struct ButtonState {
    std::optional<uint8_t> hardwareCode;  // none until a button report set it
    bool pressed = false;
};

struct LoggedReport {
    Bytes bytes;
    bool accepted = false;
};

struct SentInputReport {
    Bytes bytes;
};

// The input report of a host-function button, before it is padded to the interface's length.
using ButtonReport = std::array<uint8_t, 2>;

// Whether a client is there and which interfaces it holds open, for the dump.
struct ClientStatus {
    bool connected = false;
    bool inputOpen = false;
    bool featureOpen = false;
};

class MouseFirmware {
  public:
    explicit MouseFirmware(FirmwareOptions options) { setOptions(options); }

    // The interfaces as the system lists them: the ordinary mouse collection, the 0xFF00
    // input collection and the 0xFF01 feature collection; none while unplugged.
    std::vector<sim::InterfaceRecord> interfaces() const;
    // Which interface `path` is, plugged or not; nullopt for a path that is none of them. The
    // letters A to Z match in either case, as the system's device paths do.
    static std::optional<InterfaceKind> kindOf(std::u16string_view path);
    static std::vector<std::u16string> paths();

    bool plugged() const { return plugged_; }
    void setPlugged(bool plugged) { plugged_ = plugged; }

    const FirmwareOptions& options() const { return options_; }
    void setOptions(FirmwareOptions options) {
        options_ = options;
        log_.setMaxEntries(options.featureLogEntries);
    }

    void setFailFeatureReports(bool fail) { failFeatureReports_ = fail; }

    // A feature report that reached the feature interface. It is logged, and it takes effect
    // when it is accepted: the report ID is 7, its length is the interface's, and reports are
    // not being made to fail.
    bool takeFeatureReport(std::span<const uint8_t> report);
    // A feature report sent to an interface that has none: logged as refused.
    void refuseFeatureReport(std::span<const uint8_t> report);

    // A button press or release (hardware id 1..6): marks its state and gives the report it
    // sends, if the button has hardware code 31 and so reports to the host.
    std::optional<ButtonReport> press(int buttonId);
    std::optional<ButtonReport> release(int buttonId);
    const ButtonState& button(int buttonId) const {
        return buttons_[static_cast<size_t>(buttonId - 1)];
    }

    // `start` as an input report of the interface's length: zero-padded; nullopt when longer.
    std::optional<Bytes> inputReport(std::span<const uint8_t> start) const;
    void recordInputReport(std::span<const uint8_t> report) {
        sentInput_.push({Bytes(report.begin(), report.end())});
    }

    void clearLog() {
        log_.clear();
        sentInput_.clear();
    }
    const RecentLog<LoggedReport>& log() const { return log_; }

    std::string toJson(const ClientStatus& client) const;

  private:
    void apply(std::span<const uint8_t> report);

    FirmwareOptions options_;
    bool plugged_ = true;
    bool failFeatureReports_ = false;
    std::array<ButtonState, kButtonCount> buttons_{};
    std::optional<uint8_t> wheel_;
    std::optional<uint8_t> dpiLevel_;
    std::optional<uint8_t> dpiLedByte_;
    std::optional<uint8_t> fire_;
    bool exitReportSeen_ = false;
    RecentLog<LoggedReport> log_;
    RecentLog<SentInputReport> sentInput_;
};

// Report bytes as upper-case hex pairs separated by spaces.
std::string hexBytes(std::span<const uint8_t> bytes);

}  // namespace v270::mousesim
