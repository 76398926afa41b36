#include "settings/profile_file.h"

#include <algorithm>
#include <optional>
#include <string>

#include "settings/function_codes.h"
#include "settings/ini_document.h"
#include "settings/macro_format.h"
#include "settings/profile_format.h"
#include "settings/text.h"

namespace v270 {

namespace {

constexpr std::u16string_view kHeaderSection = u"V270Profile";
constexpr std::u16string_view kFormatKey = u"Format";
constexpr std::u16string_view kModelKey = u"Model";
constexpr std::u16string_view kProfileSection = u"Profile";
constexpr std::string_view kFirstLine = "; A VELKO V270 profile with the macros its buttons play.";
// Longer than any value of ours: a longer one is cut and then fails its check.
constexpr size_t kValueBuffer = kMacroRecordChars + 2;
constexpr size_t kShownModelLength = 40;
// The group of a macro record that holds its step count.
constexpr size_t kStepCountGroup = 43;

std::u16string numbered(std::u16string_view stem, int number) {
    return std::u16string(stem) + formatInt(number);
}

// The profile keys, as config.ini names them.
std::vector<std::u16string> profileKeys() {
    std::vector<std::u16string> keys;
    for (int n = 1; n <= kButtonCount; ++n)
        keys.push_back(numbered(u"K", n));
    keys.insert(keys.end(), {u"DPI_LEVEL", u"WHEEL_STATUS", u"MACRO_MODE2"});
    for (int level = 1; level <= kDpiLevelCount; ++level) {
        keys.push_back(numbered(u"DPI_SET", level));
        keys.push_back(numbered(u"DPI_SET_EN", level));
    }
    keys.insert(keys.end(), {u"LED_STATUS", u"DPI_SPEED", u"WHEEL_SPEED", u"FIRE_TIME"});
    return keys;
}

// A number as the program writes one: an optional minus, then digits without leading zeros,
// within 32 bits.
std::optional<int64_t> plainNumber(std::u16string_view text) {
    const bool negative = text.starts_with(u'-');
    const std::u16string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits.front() == u'0') ||
        !std::ranges::all_of(digits, [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (const char16_t c : digits)
        value = value * 10 + (c - u'0');
    return negative ? -value : value;
}

// A whole macro record: 1064 groups of three digits, each a byte.
bool isMacroRecordText(std::u16string_view text) {
    if (text.size() != kMacroRecordChars)
        return false;
    for (size_t at = 0; at < text.size(); at += 3) {
        const std::u16string_view group = text.substr(at, 3);
        if (!std::ranges::all_of(group, [](char16_t c) { return c >= u'0' && c <= u'9'; }) ||
            parseLeadingInt(group) > 0xFF) {
            return false;
        }
    }
    return true;
}

// The model named in a message: cut when long, control characters made visible.
std::u16string shownModel(std::u16string_view model) {
    std::u16string text;
    for (const char16_t unit : model.substr(0, kShownModelLength))
        text += unit < u' ' ? u'?' : unit;
    return text;
}

ProfileFileProblem damaged(std::u16string_view where) {
    return {ProfileFileFault::Damaged, std::u16string(where)};
}

// Compared as section and key names are: without regard to the case of ASCII letters.
bool sameModel(std::u16string_view a, std::u16string_view b) {
    const auto upper = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    };
    return std::ranges::equal(a, b, {}, upper, upper);
}

}  // namespace

ProfileFile profileFileOf(const ConfigProfile& profile, const MacroTable& table) {
    ProfileFile file{profile, {}};
    std::vector<int> exported;  // table index of each macro of the file
    for (int32_t& code : file.profile.buttonFunction) {
        const std::optional<int> index = macroIndexOf(code);
        if (!index)
            continue;
        if (*index >= table.macroCount) {
            code = 0;
            continue;
        }
        auto at = std::ranges::find(exported, *index);
        if (at == exported.end()) {
            exported.push_back(*index);
            file.macros.push_back(table.macroSlots[static_cast<size_t>(*index)]);
            at = exported.end() - 1;
        }
        code = function_code::kFirstMacro + static_cast<int32_t>(at - exported.begin());
    }
    return file;
}

std::vector<std::byte> writeProfileFile(const ProfileFile& file) {
    const std::string firstLine = std::string(kFirstLine) + "\r\n";
    IniDocument document = IniDocument::parse(std::as_bytes(std::span(firstLine)));
    document.write(kHeaderSection, kFormatKey, formatInt(kProfileFileFormat));
    document.write(kHeaderSection, kModelKey, kProfileFileModel);
    writeProfileSection(document, kProfileSection, file.profile);
    document.write(kMacroSection, kMacroCountKey, formatInt(std::ssize(file.macros)));
    for (size_t i = 0; i < file.macros.size(); ++i)
        document.write(kMacroSection, formatInt(static_cast<int64_t>(i)),
                       serializeMacro(file.macros[i]));
    return document.serialize();
}

ProfileFileReading readProfileFile(std::span<const std::byte> bytes) {
    if (bytes.size() > kMaxProfileFileBytes)
        return ProfileFileProblem{ProfileFileFault::NotAProfileFile, {}};
    const IniDocument document = IniDocument::parse(bytes);
    const auto value = [&](std::u16string_view section, std::u16string_view key) {
        return document.read(section, key, kValueBuffer);
    };

    const std::optional<int64_t> format = plainNumber(value(kHeaderSection, kFormatKey));
    if (!format)
        return ProfileFileProblem{ProfileFileFault::NotAProfileFile, {}};
    if (*format > kProfileFileFormat)
        return ProfileFileProblem{ProfileFileFault::NewerFormat, {}};
    if (*format < kProfileFileFormat)
        return damaged(kFormatKey);
    const std::u16string model = value(kHeaderSection, kModelKey);
    if (!sameModel(model, kProfileFileModel))
        return ProfileFileProblem{ProfileFileFault::OtherModel, shownModel(model)};

    for (const std::u16string& key : profileKeys()) {
        if (!plainNumber(value(kProfileSection, key)))
            return damaged(key);
    }
    ProfileFile file{readProfileSection(document, kProfileSection), {}};

    const std::optional<int64_t> count = plainNumber(value(kMacroSection, kMacroCountKey));
    if (!count || *count < 0 || *count > kMaxMacros)
        return damaged(kMacroCountKey);
    for (int i = 0; i < *count; ++i) {
        const std::u16string text = value(kMacroSection, formatInt(i));
        if (!isMacroRecordText(text))
            return damaged(std::u16string(kMacroSection) + u"/" + formatInt(i));
        file.macros.push_back(parseMacro(text));
        // The record's own step count, before the reader holds it to the usable slots.
        if (parseLeadingInt(std::u16string_view(text).substr(3 * kStepCountGroup, 3)) >
            kMaxMacroSteps)
            return damaged(std::u16string(kMacroSection) + u"/" + formatInt(i));
    }
    for (int n = 0; n < kButtonCount; ++n) {
        const std::optional<int> index =
            macroIndexOf(file.profile.buttonFunction[static_cast<size_t>(n)]);
        if (index && *index >= std::ssize(file.macros))
            return damaged(numbered(u"K", n + 1));
    }
    return file;
}

}  // namespace v270
