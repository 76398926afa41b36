// The shipped settings files, damaged: cut short at every byte, overwritten with noise, edited by
// hand into huge and negative numbers, names of 10,000 characters and line breaks inside values.
// Each must load to values inside their ranges, and what the program writes back after loading
// it must keep every line of the damaged file that the write did not mean to change.
#include <gtest/gtest.h>

#include <set>

#include "actions/step_list.h"
#include "settings/function_codes.h"
#include "settings/macro_store.h"
#include "settings/profile_format.h"
#include "settings/profile_store.h"
#include "settings/text.h"
#include "support/damaged_files.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace v270 {
namespace {

using test::readFile;
using test::writeFile;

const std::filesystem::path kSource = V270_SOURCE_DIR;

// The lines of a file as the reader splits them: UTF-16 after its byte order mark, otherwise
// the bytes themselves, one unit each, so that lines compare byte for byte.
std::vector<std::u16string> linesOf(std::string_view bytes) {
    std::u16string text;
    const bool little = bytes.starts_with("\xFF\xFE");
    if (little || bytes.starts_with("\xFE\xFF")) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            text.push_back(
                static_cast<char16_t>(little ? first | second << 8 : first << 8 | second));
        }
    } else {
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        for (const char c : bytes)
            text.push_back(static_cast<unsigned char>(c));
    }
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of(u"\r\n", start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, u"\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::u16string upper(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
    return out;
}

// The key a line names, in capitals: the text before its equals sign (or the whole line),
// without white space around it; nothing for a section header.
std::optional<std::u16string> keyOfLine(std::u16string_view line) {
    const auto isSpace = [](char16_t c) {
        return (c >= 0x09 && c <= 0x0D) || c == u' ' || c == 0x1A;
    };
    std::u16string_view name = line.substr(0, line.find(u'='));
    while (!name.empty() && isSpace(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isSpace(name.back()))
        name.remove_suffix(1);
    if (name.starts_with(u'['))
        return std::nullopt;
    return upper(name);
}

// Every line of `before` is in `after`, in the same order, apart from lines of the keys the
// program wrote.
testing::AssertionResult keepsUnwrittenLines(std::string_view before, std::string_view after,
                                             const std::set<std::u16string>& writtenKeys) {
    const auto unwritten = [&](std::string_view bytes) {
        std::vector<std::u16string> kept;
        for (std::u16string& line : linesOf(bytes)) {
            const auto key = keyOfLine(line);
            if (!key || !writtenKeys.contains(*key))
                kept.push_back(std::move(line));
        }
        return kept;
    };
    const std::vector<std::u16string> old = unwritten(before);
    const std::vector<std::u16string> now = unwritten(after);
    auto from = now.begin();
    for (size_t i = 0; i < old.size(); ++i) {
        from = std::find(from, now.end(), old[i]);
        if (from == now.end()) {
            return testing::AssertionFailure()
                   << "lost line " << i + 1 << ": \"" << utf16ToUtf8(old[i].substr(0, 80)) << "\"";
        }
        ++from;
    }
    return testing::AssertionSuccess();
}

const std::vector<std::u16string>& profileKeys() {
    static const std::vector<std::u16string> keys = [] {
        std::vector<std::u16string> list;
        for (int n = 1; n <= kButtonCount; ++n)
            list.push_back(u"K" + formatInt(n));
        for (int level = 1; level <= kDpiLevelCount; ++level) {
            list.push_back(u"DPI_SET" + formatInt(level));
            list.push_back(u"DPI_SET_EN" + formatInt(level));
        }
        for (const char16_t* key : {u"DPI_LEVEL", u"WHEEL_STATUS", u"MACRO_MODE2", u"LED_STATUS",
                                    u"DPI_SPEED", u"WHEEL_SPEED", u"FIRE_TIME"}) {
            list.emplace_back(key);
        }
        return list;
    }();
    return keys;
}

// Every section a settings file holds, with the keys that are read from it.
std::vector<std::pair<std::u16string, std::u16string>> settingsValues() {
    std::vector<std::pair<std::u16string, std::u16string>> values{{u"Init", u"CurConfig"},
                                                                  {u"Init", u"VER_SEL"}};
    std::vector<std::u16string> sections{u"CfgReset_EN5"};
    for (int slot = 1; slot <= kExportSlot; ++slot)
        sections.push_back(u"Config" + formatInt(slot));
    for (int slot = 2; slot <= kProfileCount; ++slot)
        sections.push_back(u"CfgReset" + formatInt(slot));
    for (const auto& section : sections) {
        for (const auto& key : profileKeys())
            values.emplace_back(section, key);
    }
    return values;
}

// The values of every section that no write touched read as before.
testing::AssertionResult keepsUnwrittenValues(std::string_view before, std::string_view after,
                                              const std::set<std::u16string>& writtenSections) {
    const IniDocument old = IniDocument::parse(std::as_bytes(std::span(before)));
    const IniDocument now = IniDocument::parse(std::as_bytes(std::span(after)));
    for (const auto& [section, key] : settingsValues()) {
        if (writtenSections.contains(section) || (section == u"Init"))
            continue;
        if (old.read(section, key, 4096) != now.read(section, key, 4096)) {
            return testing::AssertionFailure()
                   << utf16ToUtf8(section) << " " << utf16ToUtf8(key) << " changed";
        }
    }
    return testing::AssertionSuccess();
}

void expectUsable(const ConfigProfile& p) {
    EXPECT_TRUE(p.dpiLevel >= 0 && p.dpiLevel < kDpiLevelCount) << p.dpiLevel;
    for (size_t level = 0; level < kDpiLevelCount; ++level) {
        EXPECT_LT(p.dpiSet[level], kDpiStepCount);
        EXPECT_LE(p.dpiSetEnabled[level], 1);
    }
    EXPECT_TRUE(std::ranges::any_of(p.dpiSetEnabled, [](uint8_t e) { return e != 0; }));
    EXPECT_LE(p.ledStatus, kMaxLedMode);
    EXPECT_LE(p.dpiSpeed, kMaxSpeedStep);
    EXPECT_LE(p.wheelSpeed, kMaxSpeedStep);
    EXPECT_TRUE(p.fireTime >= 0 && p.fireTime <= kMaxFireTime) << p.fireTime;
    EXPECT_TRUE(p.macroMode2 == 0 || p.macroMode2 == 1);
}

enum class Kind { Config, Exported, Macros };

struct ShippedFile {
    const char* name;
    Kind kind;
    const char* label;   // the test's name
    bool utf16 = false;  // saved as UTF-16LE, as a text editor's "Unicode" does
};

void PrintTo(const ShippedFile& file, std::ostream* out) {
    *out << file.label;
}

std::string labelOf(const testing::TestParamInfo<ShippedFile>& param) {
    return param.param.label;
}

class DamagedSettingsFileTest : public testing::TestWithParam<ShippedFile> {
  protected:
    test::TempFolder folder{test::sweepFolderParent()};
    IniFiles files;
    test::RecordingMessageBoxes messages;
    const std::filesystem::path file = folder / "damaged.ini";

    std::string original() {
        if (GetParam().kind != Kind::Exported) {
            const std::string bytes = readFile(kSource / GetParam().name);
            return GetParam().utf16 ? test::FileText{true, {bytes.begin(), bytes.end()}}.bytes()
                                    : bytes;
        }
        // An exported settings file: the first profile of the shipped config.ini as Config7.
        ProfileStore store(files, kSource / "data/config.ini");
        store.loadProfile(store.configFilePath(), 1, false);
        const auto exported = folder / "exported.ini";
        store.saveProfile(exported, kExportSlot);
        return readFile(exported);
    }

    // Loads `bytes` as the program loads the file, checks what it got, writes back as the
    // program does after such a load and checks what the file then holds.
    void check(const std::string& bytes) {
        writeFile(file, bytes);
        switch (GetParam().kind) {
            case Kind::Config:
                return checkConfig(bytes);
            case Kind::Exported:
                return checkExported(bytes);
            case Kind::Macros:
                return checkMacros(bytes);
        }
    }

    // Start-up, its apply, a switch to the next profile and its apply, the DPI level saved when
    // the window reverts to the last-applied profile, the language written.
    void checkConfig(const std::string& before) {
        ProfileStore store(files, file);
        store.readStartupSettings();
        EXPECT_TRUE(store.currentConfig() >= 1 && store.currentConfig() <= kProfileCount);
        expectUsable(store.profile());
        const int32_t first = store.currentConfig();
        const ConfigProfile firstProfile = store.saveForApply();
        const int32_t second = first % kProfileCount + 1;
        store.setCurrentConfig(second);
        store.loadProfile(file, second, false);
        expectUsable(store.profile());
        const ConfigProfile secondProfile = store.saveForApply();
        store.saveDpiLevel(file, kLastAppliedSlot);
        store.saveLanguage(store.englishUi());

        const std::string after = readFile(file);
        std::set<std::u16string> keys{u"CURCONFIG", u"VER_SEL"};
        for (const auto& key : profileKeys())
            keys.insert(key);
        const std::set<std::u16string> sections{u"Config" + formatInt(first),
                                                u"Config" + formatInt(second), u"Config6"};
        EXPECT_TRUE(keepsUnwrittenLines(before, after, keys));
        EXPECT_TRUE(keepsUnwrittenValues(before, after, sections));
        const IniDocument written = IniDocument::parse(std::as_bytes(std::span(after)));
        EXPECT_EQ(readProfileSection(written, u"Config" + formatInt(first)), firstProfile);
        EXPECT_EQ(readProfileSection(written, u"Config" + formatInt(second)), secondProfile);
        EXPECT_EQ(readProfileSection(written, u"Config6"), secondProfile);
        EXPECT_EQ(written.read(u"Init", u"CurConfig", 5), formatInt(second));
    }

    // An import of the file, then an export over it.
    void checkExported(const std::string& before) {
        ProfileStore store(files, folder / "config.ini");
        store.loadProfile(file, kExportSlot, false);
        expectUsable(store.profile());
        store.saveProfile(file, kExportSlot);
        const std::string after = readFile(file);
        const std::set<std::u16string> keys(profileKeys().begin(), profileKeys().end());
        EXPECT_TRUE(keepsUnwrittenLines(before, after, keys));
        EXPECT_TRUE(keepsUnwrittenValues(before, after, {u"Config7"}));
        EXPECT_EQ(
            readProfileSection(IniDocument::parse(std::as_bytes(std::span(after))), u"Config7"),
            store.profile());
    }

    // A load, the step lists of the macros, then the repeat-count save and a load of what it
    // wrote.
    void checkMacros(const std::string& before) {
        MacroStore store(files, messages);
        store.loadMacros(file);
        const MacroTable table = store.table();
        ASSERT_TRUE(table.macroCount >= 0 && table.macroCount <= kMaxMacros);
        EXPECT_EQ(table.currentMacro, std::max(table.macroCount - 1, 0));
        for (int i = 0; i < table.macroCount; ++i) {
            const MacroRecord& macro = table.macroSlots[static_cast<size_t>(i)];
            EXPECT_EQ(macro.name.back(), u'\0');
            ASSERT_LE(macro.stepCount, kMaxMacroSteps);
            EXPECT_EQ(stepListRows(macro, true).rows.size(),
                      macro.stepCount == 0 ? 0u : 2u * macro.stepCount - 1);
        }
        store.saveMacros(file);
        const std::string after = readFile(file);
        std::set<std::u16string> keys{u"MACRONUM"};
        for (int i = 0; i < table.macroCount; ++i)
            keys.insert(formatInt(i));
        EXPECT_TRUE(keepsUnwrittenLines(before, after, keys));
        MacroStore reloaded(files, messages);
        reloaded.loadMacros(file);
        EXPECT_EQ(reloaded.table(), table);
        EXPECT_TRUE(messages.shown().empty());
    }
};

TEST_P(DamagedSettingsFileTest, CutShortAtEveryByte) {
    test::checkEachCut(original(), [&](const std::string& bytes) { check(bytes); });
}

TEST_P(DamagedSettingsFileTest, DamagedByHandOrByNoise) {
    test::checkEachDamagedCopy(original(), [&](const std::string& bytes) { check(bytes); });
}

INSTANTIATE_TEST_SUITE_P(ShippedFiles, DamagedSettingsFileTest,
                         testing::Values(ShippedFile{"data/config.ini", Kind::Config, "Config"},
                                         ShippedFile{"data/config.ini", Kind::Config, "ConfigUtf16",
                                                     true},
                                         ShippedFile{"", Kind::Exported, "ExportedSettings"},
                                         ShippedFile{"data/Macro_EN.dat", Kind::Macros, "MacroEN"},
                                         ShippedFile{"data/Macro_CN.dat", Kind::Macros, "MacroCN"}),
                         labelOf);

// The default macro files that a reset copies are the shipped macro files, so the sweeps above
// cover them.
TEST(DamagedSettingsFiles, DefaultMacroFilesAreTheShippedMacroFiles) {
    EXPECT_EQ(readFile(kSource / "skins/INI_EN/defMacro.dat"),
              readFile(kSource / "data/Macro_EN.dat"));
    EXPECT_EQ(readFile(kSource / "skins/INI_CN/defMacro.dat"),
              readFile(kSource / "data/Macro_CN.dat"));
}

}  // namespace
}  // namespace v270
