#pragma once

#include <filesystem>
#include <string_view>

#include "settings/switch_setting.h"

namespace v270 {

inline constexpr std::u16string_view kDriverSection = u"Driver";
inline constexpr std::u16string_view kKeepRunningKey = u"KeepRunningWithoutMouse";

// "Keep running without the mouse": "KeepRunningWithoutMouse" of section "Driver" in config.ini.
// Off unless stored as a whole number other than 0: without it, a missing mouse ends the program
// as it always did.
inline bool loadKeepRunning(const IniFiles& files, const std::filesystem::path& configFile) {
    return loadSwitchSetting(files, configFile, kDriverSection, kKeepRunningKey, false);
}

inline bool saveKeepRunning(IniFiles& files, const std::filesystem::path& configFile, bool on) {
    return saveSwitchSetting(files, configFile, kDriverSection, kKeepRunningKey, on);
}

}  // namespace v270
