#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/macro.h"

// The text form of a macro in a macro file: 1064 groups of three decimal digits, one per byte:
// the 40 name bytes (each UTF-16 unit low byte first), repeatEnabled, repeatCount low and high,
// stepCount, then per step slot key, action, delay low and high.
namespace v270 {

// A macro file holds one section: "macroNum", the number of macros, and key i ("%d") for macro i.
inline constexpr std::u16string_view kMacroSection = u"Macros";
inline constexpr std::u16string_view kMacroCountKey = u"macroNum";

inline constexpr size_t kMacroRecordBytes = 1064;
inline constexpr size_t kMacroRecordChars = 3 * kMacroRecordBytes;  // 3192

// Appends `value` as three digits: "00%d" below 10, "0%d" below 100, "%d" otherwise.
void formatByte3(std::u16string& text, uint8_t value);

std::u16string serializeMacro(const MacroRecord& record);

// Reads a record from its text. Missing groups read as 0; a group converts as the C runtime's
// wide-string-to-integer conversion does and keeps its low 8 bits. The name keeps its
// terminator and the step count stays within the 254 usable slots, so that no later use can
// read past either.
MacroRecord parseMacro(std::u16string_view text);

}  // namespace v270
