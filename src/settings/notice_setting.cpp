#include "settings/notice_setting.h"

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

bool loadNoticeEnabled(const IniFiles& files, const std::filesystem::path& configFile) {
    const std::u16string stored =
        files.read(configFile, kNoticeSection, kNoticeEnabledKey, kValueChars);
    // A value that fills the buffer may have been cut short: it is no number of ours.
    if (stored.size() + 1 >= kValueChars)
        return true;
    std::u16string_view value = stored;
    if (!value.empty() && (value.front() == u'+' || value.front() == u'-'))
        value.remove_prefix(1);
    if (value.empty() || !std::all_of(value.begin(), value.end(), isDigit))
        return true;
    return !std::all_of(value.begin(), value.end(), [](char16_t c) { return c == u'0'; });
}

bool saveNoticeEnabled(IniFiles& files, const std::filesystem::path& configFile, bool enabled) {
    return files.write(configFile, kNoticeSection, kNoticeEnabledKey, enabled ? u"1" : u"0");
}

}  // namespace v270
