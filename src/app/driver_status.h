#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace v270 {

// What the running driver tells a script that asks for its status.
struct DriverStatus {
    bool mouseConnected = false;
    bool driverWorking = false;  // no start prompt waits for a click of a host-function button
    int32_t profile = 1;         // 1..5
    int32_t dpiLevel = 1;        // 1..4, as the window numbers the levels
    int32_t dpi = 0;             // the resolution of that level
    int32_t ledMode = 0;         // 0..3
    std::string version;         // digits, letters, '.', '-' and '+'; at most 32 characters

    bool operator==(const DriverStatus&) const = default;
};

// Fixed-width bytes, so that the receiver can check every field.
std::vector<uint8_t> encodeDriverStatus(const DriverStatus& status);
// Nothing unless the bytes are exactly a status with every field in its range.
std::optional<DriverStatus> decodeDriverStatus(std::span<const uint8_t> bytes);

// One JSON object on one line:
// {"mouseConnected":true,"driverWorking":true,"profile":2,"dpiLevel":1,"dpi":1200,"ledMode":0,
//  "version":"1.2.0"}
std::string statusJson(const DriverStatus& status);

}  // namespace v270
