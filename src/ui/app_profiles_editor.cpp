#include "ui/app_profiles_editor.h"

#include <algorithm>

#include "settings/config_profile.h"

namespace v270 {

namespace {

bool sameTarget(std::u16string_view left, std::u16string_view right) {
    return normalisedApplicationPath(left) == normalisedApplicationPath(right);
}

int32_t validProfile(int32_t profile) {
    return std::clamp<int32_t>(profile, 1, kProfileCount);
}

// A rule may pause the host functions instead of giving a profile.
int32_t validRuleProfile(int32_t profile) {
    return profile == AppProfileRule::kPauseHostFunctions ? profile : validProfile(profile);
}

}  // namespace

std::u16string ruleTargetFor(std::u16string_view executablePath, AppMatch match) {
    std::u16string path(executablePath);
    std::ranges::replace(path, u'/', u'\\');
    const size_t lastSeparator = path.find_last_of(u'\\');
    // Only a file inside a folder: a bare name or a path ending in a separator names no program.
    if (lastSeparator == std::u16string::npos || lastSeparator + 1 == path.size())
        return {};
    switch (match) {
        case AppMatch::Name:
            return path.substr(lastSeparator + 1);
        case AppMatch::Path:
            return path;
        case AppMatch::Folder:
            // A drive's root keeps its separator: "C:\" rather than "C:".
            return path.substr(0, lastSeparator == 2 && path[1] == u':' ? 3 : lastSeparator);
    }
    return {};
}

std::optional<size_t> AppProfilesEditor::addApplication(std::u16string_view executablePath,
                                                        AppMatch match, int32_t profile) {
    std::u16string target = ruleTargetFor(executablePath, match);
    if (target.empty())
        return std::nullopt;
    std::vector<AppProfileRule>& rules = settings_.rules;
    const auto twin = std::ranges::find_if(rules, [&](const AppProfileRule& rule) {
        return rule.match == match && sameTarget(rule.target, target);
    });
    if (twin != rules.end()) {
        twin->profile = validRuleProfile(profile);
        return static_cast<size_t>(twin - rules.begin());
    }
    if (rules.size() >= AppProfileSettings::kMaxRules)
        return std::nullopt;
    rules.push_back({match, std::move(target), validRuleProfile(profile)});
    return rules.size() - 1;
}

void AppProfilesEditor::removeRule(size_t row) {
    if (row < settings_.rules.size())
        settings_.rules.erase(settings_.rules.begin() + static_cast<std::ptrdiff_t>(row));
}

void AppProfilesEditor::setRuleProfile(size_t row, int32_t profile) {
    if (row < settings_.rules.size())
        settings_.rules[row].profile = validRuleProfile(profile);
}

void AppProfilesEditor::setFallback(int32_t profile) {
    settings_.fallbackProfile =
        profile == AppProfileSettings::kStay ? AppProfileSettings::kStay : validProfile(profile);
}

const AppProfilesTexts& appProfilesTexts(bool english) {
    static constexpr AppProfilesTexts kEnglish{
        .caption = u"Application Profiles",
        .enabled = u"&Switch profiles when an application comes to the front",
        .applicationColumn = u"Application",
        .matchColumn = u"Match",
        .profileColumn = u"Profile",
        .profileLabel = u"&Profile:",
        .remove = u"&Remove",
        .matchLabel = u"&Match by:",
        .addRunning = u"Add r&unning...",
        .browse = u"&Browse...",
        .noRunning = u"(no other application has a window)",
        .executables = u"Programs (*.exe)|*.exe||",
        .fallbackGroup = u"When no rule matches",
        .stay = u"S&tay in the current profile",
        .returnTo = u"R&eturn to:",
        .ok = u"OK",
        .cancel = u"Cancel",
        .full = u"The list holds 64 rules at most.",
    };
    static constexpr AppProfilesTexts kChinese{
        .caption = u"应用程序配置",
        .enabled = u"应用程序切换到前台时自动切换配置(&S)",
        .applicationColumn = u"应用程序",
        .matchColumn = u"匹配",
        .profileColumn = u"配置",
        .profileLabel = u"配置(&P):",
        .remove = u"删除(&R)",
        .matchLabel = u"匹配方式(&M):",
        .addRunning = u"添加运行中的程序(&U)...",
        .browse = u"浏览(&B)...",
        .noRunning = u"(没有其他带窗口的应用程序)",
        .executables = u"程序 (*.exe)|*.exe||",
        .fallbackGroup = u"没有匹配的规则时",
        .stay = u"保持当前配置(&T)",
        .returnTo = u"返回到(&E):",
        .ok = u"确定",
        .cancel = u"取消",
        .full = u"最多只能有 64 条规则。",
    };
    return english ? kEnglish : kChinese;
}

std::u16string_view matchText(AppMatch match, bool english) {
    switch (match) {
        case AppMatch::Name:
            return english ? u"File name" : u"文件名";
        case AppMatch::Path:
            return english ? u"Full path" : u"完整路径";
        case AppMatch::Folder:
            return english ? u"Folder" : u"文件夹";
    }
    return {};
}

std::u16string profileText(int32_t profile, bool english) {
    if (profile == AppProfileRule::kPauseHostFunctions)
        return english ? u"Pause host functions" : u"暂停主机功能";
    const char16_t digit = static_cast<char16_t>(u'0' + validProfile(profile));
    return std::u16string(english ? u"Profile " : u"配置 ") + digit;
}

}  // namespace v270
