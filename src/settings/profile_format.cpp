#include "settings/profile_format.h"

#include <algorithm>

#include "settings/function_codes.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr size_t kValueChars = 4;
constexpr size_t kDpiValueChars = 9;

int32_t readNumber(const IniDocument& document, std::u16string_view section,
                   std::u16string_view key, size_t chars = kValueChars) {
    return parseLeadingInt(document.read(section, key, chars + 1));
}

uint8_t readByte(const IniDocument& document, std::u16string_view section, std::u16string_view key,
                 size_t chars = kValueChars) {
    return static_cast<uint8_t>(static_cast<uint32_t>(readNumber(document, section, key, chars)) &
                                0xFF);
}

std::u16string numbered(std::u16string_view stem, int number) {
    return std::u16string(stem) + formatInt(number);
}

// Keeps every value inside the range that tables and reports index with.
void holdToRanges(ConfigProfile& profile) {
    // Any other mode plays as hold mode, so it must also stop as hold mode does: on release.
    profile.macroMode2 = profile.macroMode2 != 0 ? 1 : 0;
    profile.dpiLevel = std::clamp(profile.dpiLevel, 0, kDpiLevelCount - 1);
    for (auto& step : profile.dpiSet)
        step = std::min<uint8_t>(step, kDpiStepCount - 1);
    profile.ledStatus = std::min<uint8_t>(profile.ledStatus, kMaxLedMode);
    profile.dpiSpeed = std::min<uint8_t>(profile.dpiSpeed, kMaxSpeedStep);
    profile.wheelSpeed = std::min<uint8_t>(profile.wheelSpeed, kMaxSpeedStep);
    profile.fireTime = std::clamp(profile.fireTime, 0, kMaxFireTime);
    // DPI switching needs one enabled level; the one in use is the natural choice.
    if (std::ranges::none_of(profile.dpiSetEnabled, [](uint8_t e) { return e != 0; })) {
        profile.dpiSetEnabled[static_cast<size_t>(profile.dpiLevel)] = 1;
    }
}

}  // namespace

std::u16string profileSectionName(int32_t slot, bool fromReset, int32_t englishUi) {
    if (!fromReset)
        return numbered(u"Config", slot);
    if (slot == 5 && englishUi == 1)
        return u"CfgReset_EN5";
    return numbered(u"CfgReset", slot);
}

ConfigProfile readProfileSection(const IniDocument& document, std::u16string_view section) {
    ConfigProfile profile;
    for (int n = 1; n <= kButtonCount; ++n) {
        profile.buttonFunction[static_cast<size_t>(n - 1)] =
            readNumber(document, section, numbered(u"K", n));
    }
    profile.wheelStatus = readNumber(document, section, u"WHEEL_STATUS");
    profile.macroMode2 = readNumber(document, section, u"MACRO_MODE2");
    profile.dpiLevel = readNumber(document, section, u"DPI_LEVEL");
    for (int level = 1; level <= kDpiLevelCount; ++level) {
        const auto index = static_cast<size_t>(level - 1);
        profile.dpiSet[index] =
            readByte(document, section, numbered(u"DPI_SET", level), kDpiValueChars);
        profile.dpiSetEnabled[index] =
            readNumber(document, section, numbered(u"DPI_SET_EN", level), kDpiValueChars) != 0;
    }
    profile.ledStatus = readByte(document, section, u"LED_STATUS");
    profile.dpiSpeed = readByte(document, section, u"DPI_SPEED");
    profile.wheelSpeed = readByte(document, section, u"WHEEL_SPEED");
    profile.fireTime = readNumber(document, section, u"FIRE_TIME");

    holdToRanges(profile);
    return profile;
}

void writeProfileSection(IniDocument& document, std::u16string_view section,
                         const ConfigProfile& profile) {
    const auto put = [&](std::u16string_view key, int64_t value) {
        document.write(section, key, formatInt(value));
    };
    for (int n = 1; n <= kButtonCount; ++n) {
        put(numbered(u"K", n), profile.buttonFunction[static_cast<size_t>(n - 1)]);
    }
    put(u"DPI_LEVEL", profile.dpiLevel);
    put(u"WHEEL_STATUS", profile.wheelStatus);
    put(u"MACRO_MODE2", profile.macroMode2);
    for (int level = 1; level <= kDpiLevelCount; ++level) {
        const auto index = static_cast<size_t>(level - 1);
        put(numbered(u"DPI_SET", level), profile.dpiSet[index]);
        put(numbered(u"DPI_SET_EN", level), profile.dpiSetEnabled[index] != 0 ? 1 : 0);
    }
    put(u"LED_STATUS", profile.ledStatus);
    put(u"DPI_SPEED", profile.dpiSpeed);
    put(u"WHEEL_SPEED", profile.wheelSpeed);
    put(u"FIRE_TIME", profile.fireTime);
}

ConfigProfile builtInDefaultProfile(int32_t macroMode2) {
    ConfigProfile profile;
    profile.buttonFunction = defaultButtonFunction;
    profile.macroMode2 = macroMode2;
    profile.dpiSet = {1, 2, 4, 0};
    profile.dpiSetEnabled = {1, 1, 1, 1};
    profile.dpiSpeed = 4;
    profile.wheelSpeed = 2;
    profile.fireTime = 50;
    return profile;
}

}  // namespace v270
