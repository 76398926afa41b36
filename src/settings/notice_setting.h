#pragma once

#include <filesystem>
#include <string_view>

#include "settings/ini_files.h"

namespace v270 {

inline constexpr std::u16string_view kNoticeSection = u"Notice";
inline constexpr std::u16string_view kNoticeEnabledKey = u"Enabled";

// Whether the on-screen notice is on: "Enabled" of section "Notice" in config.ini. It is on
// unless the value is a whole number equal to 0; a missing key or a value that is no number
// (a damaged file) leaves it on, as it ships.
bool loadNoticeEnabled(const IniFiles& files, const std::filesystem::path& configFile);

// Writes "Enabled" as 1 or 0; every other line of the file stays as it is.
bool saveNoticeEnabled(IniFiles& files, const std::filesystem::path& configFile, bool enabled);

}  // namespace v270
