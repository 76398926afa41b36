#include "settings/switch_setting.h"

#include <algorithm>
#include <string>

namespace v270 {

namespace {

// Room for any number a person would write.
constexpr size_t kValueChars = 32;

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

bool loadSwitchSetting(const IniFiles& files, const std::filesystem::path& configFile,
                       std::u16string_view section, std::u16string_view key, bool fallback) {
    const std::u16string stored = files.read(configFile, section, key, kValueChars);
    // A value that fills the buffer may have been cut short: it is no number of ours.
    if (stored.size() + 1 >= kValueChars)
        return fallback;
    std::u16string_view value = stored;
    if (!value.empty() && (value.front() == u'+' || value.front() == u'-'))
        value.remove_prefix(1);
    if (value.empty() || !std::all_of(value.begin(), value.end(), isDigit))
        return fallback;
    return !std::all_of(value.begin(), value.end(), [](char16_t c) { return c == u'0'; });
}

bool saveSwitchSetting(IniFiles& files, const std::filesystem::path& configFile,
                       std::u16string_view section, std::u16string_view key, bool on) {
    return files.write(configFile, section, key, on ? u"1" : u"0");
}

}  // namespace v270
