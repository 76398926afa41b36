#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/config_profile.h"

namespace v270 {

// The LED mode that the LED on/off function switches to, and back from.
inline constexpr uint8_t kLedOnOffMode = 3;

// What the mouse holds, as far as reports it accepted tell: the DPI codes and LED mode of the
// last apply whose DPI and LED report got through, and the LED mode the LED on/off function
// last switched to. A report the mouse refused changes nothing here.
struct MouseState {
    bool applied = false;  // an apply's DPI and LED report has been accepted
    std::array<uint8_t, kDpiLevelCount> appliedDpiSet{};
    uint8_t appliedLedMode = 0;
    uint8_t effectiveLedMode = 0;  // 0 until the LED on/off function first got through

    // The DPI code the mouse has for `level` (0..3). Before any apply got through, the working
    // copy's is the best there is.
    uint8_t dpiCode(size_t level, const ConfigProfile& working) const {
        return applied ? appliedDpiSet[level] : working.dpiSet[level];
    }
    uint8_t ledMode(const ConfigProfile& working) const {
        return applied ? appliedLedMode : working.ledStatus;
    }
    // The LED mode a DPI and LED report carries: mode 3 while the LED on/off function has the
    // LED switched to it, else the applied mode.
    uint8_t reportedLedMode(const ConfigProfile& working) const {
        return effectiveLedMode == kLedOnOffMode ? kLedOnOffMode : ledMode(working);
    }

    bool operator==(const MouseState&) const = default;
};

// Where the mouse state is kept: the device link.
class MouseStateSource {
  public:
    virtual ~MouseStateSource() = default;
    virtual MouseState mouseState() const = 0;
};

}  // namespace v270
