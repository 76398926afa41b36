#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>

// The HID class library as the device link uses it: one interface at a time, in the steps the
// search takes, so that each step can fail on its own. Callers never see a platform handle.
namespace v270::platform {

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;

    bool operator==(const HidAttributes&) const = default;
};

// The capabilities of one top-level collection, as the HID parser reports them. Report lengths
// include the report ID byte.
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    uint16_t numberLinkCollectionNodes = 0;
    uint16_t numberInputButtonCaps = 0;
    uint16_t numberInputValueCaps = 0;
    uint16_t numberInputDataIndices = 0;
    uint16_t numberOutputButtonCaps = 0;
    uint16_t numberOutputValueCaps = 0;
    uint16_t numberOutputDataIndices = 0;
    uint16_t numberFeatureButtonCaps = 0;
    uint16_t numberFeatureValueCaps = 0;
    uint16_t numberFeatureDataIndices = 0;

    bool operator==(const HidCaps&) const = default;
};

// An interface opened for reading or for writing.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // Sends one feature report; byte 0 is the report ID. Returns whether the device took it.
    virtual bool sendFeatureReport(std::span<const uint8_t> report) = 0;

    // Blocks until one input report fills `buffer` (report ID first), the read fails, or `stop`
    // is requested. Returns true only for a report read.
    virtual bool readInputReport(std::span<uint8_t> buffer, std::stop_token stop) = 0;
};

// A handle opened with no access on an interface, good only for asking what it is.
class HidProbe {
  public:
    virtual ~HidProbe() = default;
    virtual std::optional<HidAttributes> attributes() = 0;
    virtual std::optional<HidCaps> caps() = 0;
};

// The HID interfaces present when the enumeration was made, by member index.
class HidEnumeration {
  public:
    virtual ~HidEnumeration() = default;

    // The device interface path of member `index`, or nullopt when there is no such member
    // or it cannot be read.
    virtual std::optional<std::u16string> interfacePath(uint32_t index) = 0;
};

enum class HidAccess { Read, Write };

class HidSystem {
  public:
    virtual ~HidSystem() = default;

    // The HID interfaces present now; null when the system cannot list them.
    virtual std::unique_ptr<HidEnumeration> enumerate() = 0;

    // Opens `path` with no access; null when it cannot be opened.
    virtual std::unique_ptr<HidProbe> probe(std::u16string_view path) = 0;

    // Opens `path` for reading or writing, shared, for blocking I/O; null when it cannot be
    // opened.
    virtual std::unique_ptr<HidDevice> open(std::u16string_view path, HidAccess access) = 0;

    // Asks for arrival and removal notices of HID interfaces. Calling it again is harmless.
    virtual void registerForNotices() = 0;
};

// Device-change broadcasts, in the terms of the system's own notices.
inline constexpr uint32_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
inline constexpr uint32_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
inline constexpr uint32_t kDeviceTypeInterface = 5;        // DBT_DEVTYP_DEVICEINTERFACE

struct DeviceBroadcast {
    uint32_t eventCode = 0;
    uint32_t deviceType = 0;
    std::u16string interfaceName;  // for device interface broadcasts

    bool operator==(const DeviceBroadcast&) const = default;
};

// Where a HID system that learns of arrivals and removals itself (not through the window's
// own messages) delivers them. The Windows program forwards them to its main window as the
// same message the system sends.
class DeviceNoticeSink {
  public:
    virtual ~DeviceNoticeSink() = default;
    virtual void deliver(const DeviceBroadcast& broadcast) = 0;
};

}  // namespace v270::platform
