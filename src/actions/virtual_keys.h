#pragma once

#include <cstdint>

// The Windows virtual-key codes that the host functions and macro playback name.
namespace v270::virtual_key {

inline constexpr uint8_t kControl = 0x11;
inline constexpr uint8_t kMenu = 0x12;  // Alt
inline constexpr uint8_t kPause = 0x13;
inline constexpr uint8_t kPrior = 0x21;
inline constexpr uint8_t kDown = 0x28;
inline constexpr uint8_t kSnapshot = 0x2C;  // Print Screen
inline constexpr uint8_t kInsert = 0x2D;
inline constexpr uint8_t kDelete = 0x2E;
inline constexpr uint8_t kLetterA = 0x41;
inline constexpr uint8_t kLetterC = 0x43;
inline constexpr uint8_t kLetterV = 0x56;
inline constexpr uint8_t kLetterZ = 0x5A;
inline constexpr uint8_t kLeftWin = 0x5B;
inline constexpr uint8_t kApps = 0x5D;
inline constexpr uint8_t kDivide = 0x6F;
inline constexpr uint8_t kF4 = 0x73;
inline constexpr uint8_t kNumLock = 0x90;
inline constexpr uint8_t kRightShift = 0xA1;
inline constexpr uint8_t kRightControl = 0xA3;
inline constexpr uint8_t kRightMenu = 0xA5;  // right Alt
inline constexpr uint8_t kVolumeMute = 0xAD;

}  // namespace v270::virtual_key
