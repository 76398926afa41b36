#pragma once

#include <cstdint>

#include "device/feature_reports.h"
#include "settings/config_profile.h"

// The stress test's profiles tie every field an apply sends to one value u, so that a stream of
// reports built from two different copies of a profile shows: wheel setting u, fire interval 8u
// (fire byte u), every DPI code u % 5 and LED mode u % 3. The macro mode follows u as well.
namespace v270::test {

inline constexpr int kTiedValues = kMaxFireTime / feature_report::kFireTimeStep + 1;  // 0..37

inline void tieProfile(ConfigProfile& profile, int u) {
    profile.wheelStatus = u;
    profile.fireTime = u * feature_report::kFireTimeStep;
    for (uint8_t& code : profile.dpiSet)
        code = static_cast<uint8_t>(u % kDpiStepCount);
    profile.ledStatus = static_cast<uint8_t>(u % kMaxLedMode);
    profile.macroMode2 = u / 3 % 2;
}

// The DPI and LED byte of an apply of a profile tied to `u`, whatever its level.
inline uint8_t tiedDpiLedByte(int u) {
    return dpiLedByte(static_cast<uint8_t>(u % kDpiStepCount),
                      static_cast<uint8_t>(u % kMaxLedMode));
}

}  // namespace v270::test
