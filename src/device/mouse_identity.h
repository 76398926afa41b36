#pragma once

#include <cstdint>

// How the mouse shows itself on the USB bus and which of its HID collections the link uses.
namespace v270::mouse {

inline constexpr uint16_t kVendorId = 0x18F8;
inline constexpr uint16_t kProductId = 0x0F99;

// The vendor collection whose input reports carry the start signal and host-function presses.
inline constexpr uint16_t kInputUsagePage = 0xFF00;
// The vendor collection that takes the configuration feature reports.
inline constexpr uint16_t kFeatureUsagePage = 0xFF01;
inline constexpr uint16_t kVendorUsage = 1;

// The search examines at most this many HID interfaces, present or not.
inline constexpr uint32_t kMaxInterfaceIndex = 100;

}  // namespace v270::mouse
