#include "settings/app_profiles.h"

#include <algorithm>
#include <array>

#include "settings/text.h"

namespace v270 {

// The section as a person reads and edits it:
//
//   [AppProfiles]
//   Enabled=1
//   Fallback=0
//   Rule1=folder,3,D:\Games\Racer
//   Rule2=name,2,editor.exe
//   Rule3=path,5,C:\Tools\viewer.exe
//
// "Fallback" is the profile an application without a rule returns to, 0 for none. Each rule is
// "kind,profile,target", the target last so that it may hold commas; the rules are Rule1 up to
// Rule64, and a gap in the numbers is allowed.

namespace {

constexpr std::u16string_view kEnabledKey = u"Enabled";
constexpr std::u16string_view kFallbackKey = u"Fallback";
constexpr int32_t kFirstProfile = 1;
constexpr int32_t kLastProfile = 5;
// Room for the longest path Windows has, with the kind and the profile before it.
constexpr size_t kRuleValueChars = 32767 + 16;

struct MatchName {
    AppMatch match;
    std::u16string_view name;
};
constexpr std::array<MatchName, 3> kMatchNames{{
    {AppMatch::Name, u"name"},
    {AppMatch::Path, u"path"},
    {AppMatch::Folder, u"folder"},
}};

std::u16string ruleKey(size_t number) {
    return u"Rule" + formatInt(static_cast<int64_t>(number));
}

// Stored as the profile number of a rule that pauses the host functions; older versions, which
// know only the digits, leave such a rule out and read the others as before.
constexpr std::u16string_view kPauseWord = u"pause";

bool isProfile(int32_t value) {
    return value >= kFirstProfile && value <= kLastProfile;
}

bool isRuleProfile(int32_t value) {
    return isProfile(value) || value == AppProfileRule::kPauseHostFunctions;
}

bool equalsAsciiIgnoringCase(std::u16string_view text, std::u16string_view lower) {
    if (text.size() != lower.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + 0x20 : text[i];
        if (c != lower[i])
            return false;
    }
    return true;
}

// Without the blanks that a read of the file drops around a value.
std::u16string_view trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) {
        return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// "kind,profile,target"; nullopt for anything else: an unknown kind, a profile outside 1..5 or
// written with more than its digits (or "pause"), an empty target.
std::optional<AppProfileRule> parseRule(std::u16string_view value) {
    const size_t firstComma = value.find(u',');
    if (firstComma == std::u16string_view::npos)
        return std::nullopt;
    const size_t secondComma = value.find(u',', firstComma + 1);
    if (secondComma == std::u16string_view::npos)
        return std::nullopt;
    const std::u16string_view kind = trimmed(value.substr(0, firstComma));
    const std::u16string_view number =
        trimmed(value.substr(firstComma + 1, secondComma - firstComma - 1));
    const std::u16string_view target = trimmed(value.substr(secondComma + 1));

    AppProfileRule rule;
    const auto known =
        std::find_if(kMatchNames.begin(), kMatchNames.end(),
                     [&](const MatchName& m) { return equalsAsciiIgnoringCase(kind, m.name); });
    if (known == kMatchNames.end())
        return std::nullopt;
    rule.match = known->match;
    if (equalsAsciiIgnoringCase(number, kPauseWord))
        rule.profile = AppProfileRule::kPauseHostFunctions;
    else if (number.size() == 1 && isProfile(parseLeadingInt(number)))
        rule.profile = parseLeadingInt(number);
    else
        return std::nullopt;
    if (target.empty())
        return std::nullopt;
    rule.target = target;
    return rule;
}

std::u16string formatRule(const AppProfileRule& rule) {
    std::u16string value;
    for (const MatchName& m : kMatchNames) {
        if (m.match == rule.match)
            value = m.name;
    }
    value += u',';
    value += rule.profile == AppProfileRule::kPauseHostFunctions ? std::u16string(kPauseWord)
                                                                 : formatInt(rule.profile);
    value += u',';
    value += rule.target;
    return value;
}

}  // namespace

AppProfileSettings storable(const AppProfileSettings& settings) {
    AppProfileSettings kept;
    kept.enabled = settings.enabled;
    kept.fallbackProfile =
        isProfile(settings.fallbackProfile) ? settings.fallbackProfile : AppProfileSettings::kStay;
    for (const AppProfileRule& rule : settings.rules) {
        if (kept.rules.size() == AppProfileSettings::kMaxRules)
            break;
        std::u16string_view target = rule.target;
        target = target.substr(0, target.find_first_of(std::u16string_view(u"\r\n\0", 3)));
        target = trimmed(target);
        if (isRuleProfile(rule.profile) && !target.empty())
            kept.rules.push_back({rule.match, std::u16string(target), rule.profile});
    }
    return kept;
}

AppProfileSettings loadAppProfiles(const IniFiles& files, const std::filesystem::path& configFile) {
    return appProfilesOf(files.load(configFile));
}

AppProfileSettings appProfilesOf(const IniDocument& document) {
    AppProfileSettings settings;
    settings.enabled = parseLeadingInt(document.read(kAppProfilesSection, kEnabledKey, 16)) != 0;
    const int32_t fallback = parseLeadingInt(document.read(kAppProfilesSection, kFallbackKey, 16));
    settings.fallbackProfile = isProfile(fallback) ? fallback : AppProfileSettings::kStay;
    for (size_t number = 1; number <= AppProfileSettings::kMaxRules; ++number) {
        const std::u16string value =
            document.read(kAppProfilesSection, ruleKey(number), kRuleValueChars);
        if (const std::optional<AppProfileRule> rule = parseRule(value))
            settings.rules.push_back(*rule);
    }
    return settings;
}

bool saveAppProfiles(IniFiles& files, const std::filesystem::path& configFile,
                     const AppProfileSettings& settings) {
    const AppProfileSettings kept = storable(settings);
    return files.update(configFile, [&](IniDocument& document) {
        document.write(kAppProfilesSection, kEnabledKey, kept.enabled ? u"1" : u"0");
        document.write(kAppProfilesSection, kFallbackKey, formatInt(kept.fallbackProfile));
        for (size_t i = 0; i < kept.rules.size(); ++i)
            document.write(kAppProfilesSection, ruleKey(i + 1), formatRule(kept.rules[i]));
        // The rules that are gone, and any second line of the same key that would show through.
        for (size_t number = kept.rules.size() + 1; number <= AppProfileSettings::kMaxRules;
             ++number) {
            while (document.remove(kAppProfilesSection, ruleKey(number))) {
            }
        }
    });
}

}  // namespace v270
