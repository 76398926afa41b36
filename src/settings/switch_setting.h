#pragma once

#include <filesystem>
#include <string_view>

#include "settings/ini_files.h"

namespace v270 {

// An on/off setting of config.ini: on for a whole number other than 0, off for 0 (a sign and
// leading zeros allowed); a missing key or a value that is no number (a damaged file) gives
// `fallback`, the setting as it ships.
bool loadSwitchSetting(const IniFiles& files, const std::filesystem::path& configFile,
                       std::u16string_view section, std::u16string_view key, bool fallback);

// Writes the setting as 1 or 0; every other line of the file stays as it is.
bool saveSwitchSetting(IniFiles& files, const std::filesystem::path& configFile,
                       std::u16string_view section, std::u16string_view key, bool on);

}  // namespace v270
