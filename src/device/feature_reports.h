#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The configuration feature reports of the mouse's 0xFF01 interface. Every report has report ID
// 7 and a command byte; only its first eight bytes carry anything, and every later byte of the
// interface's report length is zero.
namespace v270 {

inline constexpr size_t kFeatureReportBodyLength = 8;
using FeatureReport = std::array<uint8_t, kFeatureReportBodyLength>;

namespace feature_report {
inline constexpr size_t kReportIdOffset = 0;
inline constexpr size_t kCommandOffset = 1;
inline constexpr size_t kFirstParameterOffset = 2;
inline constexpr size_t kSecondParameterOffset = 3;
// Bytes beyond the two parameters are zero in every report, so an interface whose reports are
// only this long still carries each of them whole.
inline constexpr size_t kMeaningfulLength = 4;

inline constexpr uint8_t kReportId = 0x07;
inline constexpr uint8_t kButtonCommand = 0x10;
inline constexpr uint8_t kWheelCommand = 0x11;
inline constexpr uint8_t kDpiLedCommand = 0x09;
inline constexpr uint8_t kFireCommand = 0x12;
inline constexpr uint8_t kExitCommand = 0x20;

// The highest hardware code of a function the mouse performs itself.
inline constexpr uint8_t kLastMouseHardwareCode = 17;
// DPI codes sit in the high nibble of the DPI and LED byte, offset by this.
inline constexpr int kDpiCodeBias = 8;
// The fire byte counts the interval in steps of this many milliseconds.
inline constexpr int32_t kFireTimeStep = 8;
}  // namespace feature_report

// Hardware codes the mouse understands: its own functions 0..17, and 31 for a host function.
bool isSendableHardwareCode(uint8_t hardwareCode);

// What a button of the mouse does: byte 2 its own number, byte 3 the hardware code.
FeatureReport buttonReport(uint8_t hardwareButtonId, uint8_t hardwareCode);

// The wheel setting, its low byte.
FeatureReport wheelReport(int32_t wheelStatus);

// ((dpiCode + 8) * 16 + ledMode) modulo 256: the DPI code in the high nibble, the LED mode in
// the low one.
uint8_t dpiLedByte(uint8_t dpiCode, uint8_t ledMode);

// The active DPI level (0..3) with its DPI code and the LED mode.
FeatureReport dpiLedReport(uint8_t level, uint8_t dpiCode, uint8_t ledMode);

// The fire interval in milliseconds, sent as the low byte of fireTime / 8, truncated.
FeatureReport fireReport(int32_t fireTime);

// Sent when the program ends through its close path.
FeatureReport exitReport();

}  // namespace v270
