#include "ui/profile_notice.h"

#include <array>
#include <string_view>
#include <utility>

#include "device/dpi_levels.h"
#include "settings/notice_setting.h"
#include "settings/text.h"
#include "ui/dpi_values.h"

namespace v270 {

namespace {

constexpr std::u16string_view kSeparator = u" \u00B7 ";  // a middle dot between spaces

struct LedModeName {
    std::u16string_view english;
    std::u16string_view chinese;
};

// The colour page's names of the four LED modes.
constexpr std::array<LedModeName, 4> kLedModeNames = {{
    {u"breathing", u"呼吸"},
    {u"fast blink", u"快闪"},
    {u"steady", u"常亮"},
    {u"off", u"关闭"},
}};

std::u16string profilePart(int32_t profile, bool english) {
    return (english ? u"Profile " : u"配置 ") + formatInt(profile);
}

platform::FontChoice fontOf(bool english) {
    return english ? platform::FontChoice::English : platform::FontChoice::Chinese;
}

}  // namespace

std::u16string profileNoticeText(int32_t profile, int32_t dpi, bool english) {
    std::u16string text = profilePart(profile, english);
    text += kSeparator;
    text += formatInt(dpi) + u" DPI";
    return text;
}

std::u16string ledNoticeText(int32_t profile, uint8_t ledMode, bool english) {
    std::u16string text = profilePart(profile, english);
    text += kSeparator;
    text += english ? u"LED " : u"灯光 ";
    if (ledMode < kLedModeNames.size()) {
        const LedModeName& name = kLedModeNames[ledMode];
        text += english ? name.english : name.chinese;
    } else {
        // A mode the file holds but no name covers; the mouse got it as it stands.
        text += formatInt(ledMode);
    }
    return text;
}

void ProfileNotice::readSetting() {
    enabled_.store(loadNoticeEnabled(s_.files, s_.profiles.configFilePath()),
                   std::memory_order_relaxed);
}

void ProfileNotice::setEnabled(bool enabled) {
    enabled_.store(enabled, std::memory_order_relaxed);
    saveNoticeEnabled(s_.files, s_.profiles.configFilePath(), enabled);
}

void ProfileNotice::holdProblem(std::u16string line) {
    const std::lock_guard lock(heldMutex_);
    heldProblem_ = std::move(line);
}

bool ProfileNotice::showHeldProblem() {
    std::u16string line;
    {
        const std::lock_guard lock(heldMutex_);
        line = std::exchange(heldProblem_, {});
    }
    if (line.empty())
        return false;
    s_.window.show(line, fontOf(s_.profiles.englishUi() != 0));
    return true;
}

void ProfileNotice::announceProfile() {
    if (showHeldProblem() || !enabled())
        return;
    const bool english = s_.profiles.englishUi() != 0;
    const ConfigProfile profile = s_.profiles.profile();
    const auto level = static_cast<size_t>(heldDpiLevel(profile.dpiLevel));
    // The DPI the colour page shows: the mouse's code for the current level.
    const int32_t dpi = dpiValueOf(s_.mouse.mouseState().dpiCode(level, profile));
    s_.window.show(profileNoticeText(s_.profiles.currentConfig(), dpi, english), fontOf(english));
}

void ProfileNotice::announceHostFunctionsPaused() {
    if (showHeldProblem() || !enabled())
        return;
    const bool english = s_.profiles.englishUi() != 0;
    s_.window.show(english ? u"Host functions paused" : u"主机功能已暂停", fontOf(english));
}

void ProfileNotice::announceLed() {
    if (showHeldProblem() || !enabled())
        return;
    const bool english = s_.profiles.englishUi() != 0;
    const uint8_t mode = s_.mouse.mouseState().reportedLedMode(s_.profiles.profile());
    s_.window.show(ledNoticeText(s_.profiles.currentConfig(), mode, english), fontOf(english));
}

}  // namespace v270
