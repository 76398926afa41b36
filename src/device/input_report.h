#pragma once

#include <cstddef>
#include <cstdint>

// The input reports of the mouse's 0xFF00 interface, as far as the program reads them.
namespace v270::input_report {

inline constexpr size_t kReportIdOffset = 0;
inline constexpr size_t kKeyCodeOffset = 1;
// Report ID and key code: an interface whose reports are shorter carries nothing we read.
inline constexpr size_t kMeaningfulLength = 2;

// Report ID 6 with key code 0 is the start signal.
inline constexpr uint8_t kStartSignalReportId = 6;
// Key code 0: no key, or the key was released.
inline constexpr uint8_t kNoKey = 0;
// A host-function key press is coded 0xF0 + the button's hardware id; 0xF0 itself is none.
inline constexpr uint8_t kHostKeyBase = 0xF0;

}  // namespace v270::input_report
