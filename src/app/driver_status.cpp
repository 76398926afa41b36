#include "app/driver_status.h"

#include <algorithm>
#include <array>

#include "settings/config_profile.h"

namespace v270 {

namespace {

constexpr size_t kMaxVersionLength = 32;
constexpr int32_t kMaxDpi = 0xFFFF;
// mouseConnected, driverWorking, profile, dpiLevel, dpi (2 bytes, low first), ledMode, the
// version's length; then the version.
constexpr size_t kFixedBytes = 8;

bool isVersionCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '-' || c == '+';
}

bool inRange(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

const char* boolean(bool value) {
    return value ? "true" : "false";
}

}  // namespace

std::vector<uint8_t> encodeDriverStatus(const DriverStatus& status) {
    std::string version = status.version.substr(0, kMaxVersionLength);
    std::ranges::replace_if(
        version, [](char c) { return !isVersionCharacter(c); }, '-');
    const auto dpi = static_cast<uint32_t>(std::clamp(status.dpi, 0, kMaxDpi));
    const std::array<uint8_t, kFixedBytes> fixed = {static_cast<uint8_t>(status.mouseConnected),
                                                    static_cast<uint8_t>(status.driverWorking),
                                                    static_cast<uint8_t>(status.profile),
                                                    static_cast<uint8_t>(status.dpiLevel),
                                                    static_cast<uint8_t>(dpi & 0xFF),
                                                    static_cast<uint8_t>(dpi >> 8),
                                                    static_cast<uint8_t>(status.ledMode),
                                                    static_cast<uint8_t>(version.size())};
    std::vector<uint8_t> bytes(fixed.size() + version.size());
    std::ranges::copy(fixed, bytes.begin());
    std::ranges::copy(version, bytes.begin() + static_cast<ptrdiff_t>(fixed.size()));
    return bytes;
}

std::optional<DriverStatus> decodeDriverStatus(std::span<const uint8_t> bytes) {
    if (bytes.size() < kFixedBytes || bytes.size() != kFixedBytes + bytes[7] ||
        bytes[7] > kMaxVersionLength) {
        return std::nullopt;
    }
    DriverStatus status;
    status.mouseConnected = bytes[0] == 1;
    status.driverWorking = bytes[1] == 1;
    status.profile = bytes[2];
    status.dpiLevel = bytes[3];
    status.dpi = bytes[4] | bytes[5] << 8;
    status.ledMode = bytes[6];
    status.version.assign(bytes.begin() + kFixedBytes, bytes.end());
    if (bytes[0] > 1 || bytes[1] > 1 || !inRange(status.profile, 1, kProfileCount) ||
        !inRange(status.dpiLevel, 1, kDpiLevelCount) || !inRange(status.ledMode, 0, kMaxLedMode) ||
        !std::ranges::all_of(status.version, isVersionCharacter)) {
        return std::nullopt;
    }
    return status;
}

std::string statusJson(const DriverStatus& status) {
    // Every value is a number, a boolean or a version of checked characters: nothing to escape.
    return std::string("{\"mouseConnected\":") + boolean(status.mouseConnected) +
           ",\"driverWorking\":" + boolean(status.driverWorking) +
           ",\"profile\":" + std::to_string(status.profile) +
           ",\"dpiLevel\":" + std::to_string(status.dpiLevel) +
           ",\"dpi\":" + std::to_string(status.dpi) +
           ",\"ledMode\":" + std::to_string(status.ledMode) + ",\"version\":\"" + status.version +
           "\"}";
}

}  // namespace v270
