#pragma once

#include <cstdint>
#include <string>

#include "settings/config_profile.h"
#include "settings/ini_document.h"

// How a profile is laid out in a section of config.ini or of an exported settings file.
namespace v270 {

// "Config" + slot, or for a reset the factory section: "CfgReset_EN5" for slot 5 with the
// English interface (englishUi exactly 1), else "CfgReset" + slot.
std::u16string profileSectionName(int32_t slot, bool fromReset, int32_t englishUi);

// Reads the profile keys of `section`. Every value takes at most 4 characters (9 for the DPI
// keys), converts as the C runtime does and is cut to its field's width; a missing key reads as
// 0. Then values outside their ranges are held to them, so that no table is ever indexed past
// its end: dpiLevel 0..3, dpiSet 0..4, ledStatus 0..3, dpiSpeed and wheelSpeed 0..9, fireTime
// 0..300; a section with no enabled DPI level gets its active level enabled. A macro mode other
// than 0 becomes 1, the hold mode every non-zero mode plays as.
ConfigProfile readProfileSection(const IniDocument& document, std::u16string_view section);

// Writes the 21 profile keys in their order: K1..K6, DPI_LEVEL, WHEEL_STATUS, MACRO_MODE2,
// DPI_SET1, DPI_SET_EN1 .. DPI_SET4, DPI_SET_EN4, LED_STATUS, DPI_SPEED, WHEEL_SPEED, FIRE_TIME.
// The edited dpiSet and ledStatus are written, never their applied copies.
void writeProfileSection(IniDocument& document, std::u16string_view section,
                         const ConfigProfile& profile);

}  // namespace v270
