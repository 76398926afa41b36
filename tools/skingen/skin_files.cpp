#include "skin_files.h"

#include <string>

#include "settings/config_profile.h"
#include "settings/ini_document.h"
#include "settings/macro.h"
#include "settings/macro_format.h"
#include "settings/profile_format.h"
#include "settings/text.h"

namespace v270::skingen {

namespace {

constexpr std::byte kUtf16LeBom[] = {std::byte{0xFF}, std::byte{0xFE}};

IniDocument utf16Document() {
    return IniDocument::parse(kUtf16LeBom);
}

std::u16string record(const char* name, const PixelRect& area, std::u16string_view label) {
    // name,x,y,width,height,label, : seven fields, the last one empty.
    return asciiToUtf16(name) + u"," + formatInt(area.left) + u"," + formatInt(area.top) + u"," +
           formatInt(area.width()) + u"," + formatInt(area.height()) + u"," +
           std::u16string(label) + u",";
}

std::u16string labelOf(const Entry& entry, bool english) {
    return utf8ToUtf16(english ? entry.english : entry.chinese);
}

void writeItems(IniDocument& document, const SkinDescription& skin, Table table, int32_t count,
                bool english) {
    for (int32_t i = 0; i < count; ++i) {
        const Entry* entry = skin.find(table, i);
        // Every key is written, so that a reader sees which entries the skin leaves out.
        document.write(u"BUTTONPOS", formatInt(i),
                       entry ? record(entry->name, entry->area, labelOf(*entry, english))
                             : record("unused", {}, u""));
    }
}

GeneratedFile fileOf(std::filesystem::path path, const IniDocument& document) {
    return {std::move(path), document.serialize()};
}

struct LayoutNames {
    const char* folder;
    const char* main;
    const char* colour;
    const char* advanced;
    const char* warning;
};
constexpr LayoutNames kEnglishFiles{"INI_EN", "skin_main_en.ini", "skin_color_en.ini",
                                    "skin_advance_en.ini", "LBWarning_en.ini"};
constexpr LayoutNames kChineseFiles{"INI_CN", "skin_main.ini", "skin_color.ini", "skin_advance.ini",
                                    "LBWarning.ini"};

// --- The settings that ship -------------------------------------------------------------------

ConfigProfile profile(std::array<int32_t, kButtonCount> buttons, int32_t dpiLevel,
                      std::array<uint8_t, kDpiLevelCount> dpiSet,
                      std::array<uint8_t, kDpiLevelCount> enabled, uint8_t led, uint8_t dpiSpeed,
                      uint8_t wheelSpeed, int32_t fireTime, int32_t macroMode2 = 0) {
    ConfigProfile p;
    p.buttonFunction = buttons;
    p.macroMode2 = macroMode2;
    p.dpiLevel = dpiLevel;
    p.dpiSet = dpiSet;
    p.dpiSetEnabled = enabled;
    p.ledStatus = led;
    p.dpiSpeed = dpiSpeed;
    p.wheelSpeed = wheelSpeed;
    p.fireTime = fireTime;
    return p;
}

// Profile 1 is the built-in default; 2 a shooter set with a fire key and DPI up, 3 copy and
// paste on the side buttons, 4 an office set, 5 macros on the side buttons. Macro 0 of the
// English defaults is "Copy & Paste" and macro 1 "Triple Click"; the Chinese defaults have them
// the other way round, hence the English factory profile 5.
const ConfigProfile kProfile2 =
    profile({1, 2, 11, 5, 4, 17}, 1, {1, 2, 3, 0}, {1, 1, 1, 0}, 2, 5, 2, 40);
const ConfigProfile kProfile3 =
    profile({1, 2, 3, 31, 32, 6}, 0, {1, 2, 3, 4}, {1, 1, 1, 1}, 0, 4, 3, 50);
const ConfigProfile kProfile4 =
    profile({1, 2, 3, 34, 35, 38}, 0, {1, 2, 4, 0}, {1, 1, 0, 0}, 3, 4, 4, 50);
const ConfigProfile kProfile5Chinese =
    profile({1, 2, 3, 42, 41, 40}, 0, {2, 3, 4, 0}, {1, 1, 1, 0}, 1, 4, 2, 30);
const ConfigProfile kProfile5English =
    profile({1, 2, 3, 41, 42, 40}, 0, {2, 3, 4, 0}, {1, 1, 1, 0}, 1, 4, 2, 30);

GeneratedFile configFile() {
    IniDocument document;
    document.write(u"Init", u"CurConfig", u"1");
    document.write(u"Init", u"VER_SEL", u"1");
    writeProfileSection(document, u"Config1", builtInDefaultProfile(0));
    writeProfileSection(document, u"Config2", kProfile2);
    writeProfileSection(document, u"Config3", kProfile3);
    writeProfileSection(document, u"Config4", kProfile4);
    writeProfileSection(document, u"Config5", kProfile5English);
    writeProfileSection(document, u"CfgReset2", kProfile2);
    writeProfileSection(document, u"CfgReset3", kProfile3);
    writeProfileSection(document, u"CfgReset4", kProfile4);
    writeProfileSection(document, u"CfgReset5", kProfile5Chinese);
    writeProfileSection(document, u"CfgReset_EN5", kProfile5English);
    return fileOf("data/config.ini", document);
}

// Windows virtual-key codes used by the sample macros.
constexpr uint8_t kShift = 0x10;
constexpr uint8_t kControl = 0x11;
constexpr uint8_t kEnd = 0x23;
constexpr uint8_t kHome = 0x24;
constexpr uint8_t kKeyC = 0x43;
constexpr uint8_t kKeyS = 0x53;
constexpr uint8_t kKeyV = 0x56;
constexpr uint8_t kLeftWindows = 0x5B;

MacroRecord macro(std::u16string_view name, std::vector<MacroStep> steps, uint16_t repeat = 0) {
    MacroRecord record;
    record.setName(name);
    record.repeatEnabled = repeat > 0 ? 1 : 0;
    record.repeatCount = repeat > 0 ? repeat : 1;
    record.stepCount = static_cast<uint8_t>(steps.size());
    for (size_t s = 0; s < steps.size(); ++s)
        record.steps[s] = steps[s];
    return record;
}

MacroStep down(uint8_t key, uint16_t delay = 30) {
    return {key, kStepPress, delay};
}
MacroStep up(uint8_t key, uint16_t delay = 30) {
    return {key, kStepRelease, delay};
}

MacroRecord copyAndPaste(std::u16string_view name) {
    return macro(name, {down(kControl), down(kKeyC), up(kKeyC), up(kControl, 200), down(kControl),
                        down(kKeyV), up(kKeyV), up(kControl)});
}
MacroRecord tripleClick(std::u16string_view name) {
    return macro(name, {down(kMouseLeftKey), up(kMouseLeftKey, 40), down(kMouseLeftKey),
                        up(kMouseLeftKey, 40), down(kMouseLeftKey), up(kMouseLeftKey, 40)});
}
MacroRecord selectLine(std::u16string_view name) {
    return macro(name, {down(kHome), up(kHome), down(kShift), down(kEnd), up(kEnd), up(kShift)});
}
MacroRecord screenshot(std::u16string_view name) {
    return macro(name, {down(kLeftWindows), down(kShift), down(kKeyS), up(kKeyS), up(kShift),
                        up(kLeftWindows)});
}
MacroRecord burstFire(std::u16string_view name) {
    return macro(name, {down(kMouseLeftKey, 20), up(kMouseLeftKey, 60)}, 5);
}

GeneratedFile macroFile(std::filesystem::path path, const std::vector<MacroRecord>& macros) {
    IniDocument document;
    document.write(u"Macros", u"macroNum", formatInt(static_cast<int64_t>(macros.size())));
    for (size_t i = 0; i < macros.size(); ++i) {
        document.write(u"Macros", formatInt(static_cast<int64_t>(i)), serializeMacro(macros[i]));
    }
    return fileOf(std::move(path), document);
}

}  // namespace

std::vector<GeneratedFile> layoutFiles(const SkinDescription& skin) {
    std::vector<GeneratedFile> files;
    for (const bool english : {true, false}) {
        const LayoutNames& names = english ? kEnglishFiles : kChineseFiles;
        const std::filesystem::path folder = std::filesystem::path("skins") / names.folder;
        const auto document = [english] { return english ? IniDocument() : utf16Document(); };

        IniDocument main = document();
        writeItems(main, skin, Table::Main, 100, english);
        for (size_t k = 0; k < skin.functionNames.size(); ++k) {
            const FunctionName& name = skin.functionNames[k];
            main.write(u"FUN_STRING", formatInt(static_cast<int64_t>(k + 1)),
                       utf8ToUtf16(english ? name.english : name.chinese));
        }
        files.push_back(fileOf(folder / names.main, main));

        IniDocument colour = document();
        writeItems(colour, skin, Table::Colour, 13, english);
        files.push_back(fileOf(folder / names.colour, colour));

        IniDocument advanced = document();
        writeItems(advanced, skin, Table::Advanced, 46, english);
        advanced.write(u"EDIT", u"3", record("repeat_count", skin.controls.repeatEdit, u""));
        advanced.write(u"EDIT", u"4", record("macro_name", skin.controls.nameEdit, u""));
        advanced.write(u"MACRODISPLAY", u"1", record("macro_list", skin.controls.macroList, u""));
        advanced.write(u"MACRODISPLAY", u"2", record("step_list", skin.controls.stepList, u""));
        files.push_back(fileOf(folder / names.advanced, advanced));

        IniDocument warning = document();
        writeItems(warning, skin, Table::Warning, 3, english);
        files.push_back(fileOf(folder / names.warning, warning));
    }
    return files;
}

std::vector<GeneratedFile> dataFiles() {
    const std::vector<MacroRecord> english = {
        copyAndPaste(u"Copy & Paste"), tripleClick(u"Triple Click"), selectLine(u"Select Line"),
        screenshot(u"Screenshot"), burstFire(u"Burst Fire x5")};
    const std::vector<MacroRecord> chinese = {tripleClick(u"三连击"), copyAndPaste(u"复制粘贴"),
                                              selectLine(u"选中整行"), screenshot(u"截图"),
                                              burstFire(u"五连发")};
    return {configFile(), macroFile("data/Macro_EN.dat", english),
            macroFile("data/Macro_CN.dat", chinese),
            macroFile("skins/INI_EN/defMacro.dat", english),
            macroFile("skins/INI_CN/defMacro.dat", chinese)};
}

}  // namespace v270::skingen
