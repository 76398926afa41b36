#include "settings/notice_setting.h"

#include "settings/switch_setting.h"

namespace v270 {

bool loadNoticeEnabled(const IniFiles& files, const std::filesystem::path& configFile) {
    return loadSwitchSetting(files, configFile, kNoticeSection, kNoticeEnabledKey, true);
}

bool saveNoticeEnabled(IniFiles& files, const std::filesystem::path& configFile, bool enabled) {
    return saveSwitchSetting(files, configFile, kNoticeSection, kNoticeEnabledKey, enabled);
}

}  // namespace v270
