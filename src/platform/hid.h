#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The HID class library as the device link uses it: a list of the interfaces present, opened by
// path, and notices of their arrival and removal. Callers never see a platform handle, and the
// backend keeps its own details: the report lengths it pads to and the system's words for a
// failure.
namespace v270::platform {

// One HID interface (top-level collection) as the system lists it. Report lengths include the
// report ID byte; 0 where the collection has no such report or it could not be read. `device`
// names the physical device the collection belongs to, the same for every collection of one
// mouse and different for two mice; empty when the system cannot tell.
struct HidInterface {
    std::u16string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputReportLength = 0;
    uint16_t featureReportLength = 0;
    std::u16string device;

    bool operator==(const HidInterface&) const = default;
};

// Whole-name equality that ignores the case of the letters A to Z only, as the system compares
// device interface paths.
inline bool sameInterfaceName(std::u16string_view a, std::u16string_view b) {
    const auto upper = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    };
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

// The outcome of one HID operation: success, or the system's account of the failure,
// "operation: (0xCODE) text".
struct HidResult {
    bool ok = false;
    std::string error;

    static HidResult success() { return {true, {}}; }
    static HidResult failure(std::string error) { return {false, std::move(error)}; }
    explicit operator bool() const { return ok; }
};

// An interface opened for reading or for writing.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // Sends one feature report, byte 0 the report ID, padded with zeros to the interface's
    // feature report length (a longer report is cut to it).
    virtual HidResult sendFeatureReport(std::span<const uint8_t> report) = 0;

    // Blocks until one input report fills `buffer` (report ID first, zeros after a shorter
    // report), the read fails, or `stop` is requested.
    virtual HidResult readInputReport(std::span<uint8_t> buffer, std::stop_token stop) = 0;
};

enum class HidAccess { Read, Write };

class HidSystem {
  public:
    virtual ~HidSystem() = default;

    // The HID interfaces present now, in the system's order; empty when there are none or the
    // system cannot list them. An interface whose identity cannot be read is left out.
    virtual std::vector<HidInterface> enumerate() = 0;

    // Opens `path` for reading or writing, shared; null when it cannot be opened.
    virtual std::unique_ptr<HidDevice> open(std::u16string_view path, HidAccess access) = 0;

    // Asks for arrival and removal notices of HID interfaces. Calling it again is harmless.
    virtual void registerForNotices() = 0;
};

// The arrival or removal of one device interface, named by its path. A removal that the system
// asks leave for first (a safe removal, a disable, a driver update) brings QueryRemove, which the
// holder of the device's handles approves by closing them, and RemoveCancelled when another
// program refused it and the device stays.
struct DeviceNotice {
    enum class Kind { Arrival, Removal, QueryRemove, RemoveCancelled };
    Kind kind = Kind::Arrival;
    std::u16string path;

    bool operator==(const DeviceNotice&) const = default;
};

// Where a HID system that learns of arrivals and removals itself (not through the window's own
// messages) delivers them.
class DeviceNoticeSink {
  public:
    virtual ~DeviceNoticeSink() = default;
    virtual void deliver(const DeviceNotice& notice) = 0;
};

// `report` in a buffer of `length` bytes: cut to it, or padded with zeros. A length of 0 (not
// known) keeps the report as it is.
inline std::vector<uint8_t> reportOfLength(std::span<const uint8_t> report, size_t length) {
    std::vector<uint8_t> buffer(report.begin(), report.end());
    if (length != 0)
        buffer.resize(length, 0);
    return buffer;
}

}  // namespace v270::platform
