#include "ui/profile_file_text.h"

#include <vector>

#include "settings/text.h"
#include "ui/function_names.h"

namespace v270 {

namespace {

std::u16string reason(const ProfileFileProblem& p, bool english) {
    switch (p.fault) {
        case ProfileFileFault::NotAProfileFile:
            return english ? u"This is not a V270 profile file." : u"这不是 V270 配置文件。";
        case ProfileFileFault::NewerFormat:
            return english ? u"This profile file was made by a newer version of the driver."
                           : u"此配置文件由更新版本的驱动程序创建。";
        case ProfileFileFault::OtherModel:
            return english ? u"This profile is for another mouse (\"" + p.detail + u"\")."
                           : u"此配置文件用于其他鼠标（“" + p.detail + u"”）。";
        case ProfileFileFault::Damaged:
            return english ? u"The profile file is damaged (at \"" + p.detail + u"\")."
                           : u"配置文件已损坏（位于“" + p.detail + u"”）。";
        case ProfileFileFault::NoFreeMacroSlot:
            return english ? u"Its macros do not fit: " + p.detail +
                                 u" more free macro slot(s) are needed. Delete macros you no "
                                 u"longer use and try again."
                           : u"宏空间不足：还需要 " + p.detail +
                                 u" 个空闲的宏位置。请删除不再使用的宏后重试。";
    }
    return {};
}

}  // namespace

std::u16string profileFileProblemText(const ProfileFileProblem& problem, bool english) {
    return reason(problem, english) + (english ? u"\nNothing was changed." : u"\n未做任何更改。");
}

}  // namespace v270

namespace v270 {

namespace {

std::vector<std::u16string> macroNamesOf(const MacroTable& table) {
    std::vector<std::u16string> names;
    for (int i = 0; i < table.macroCount; ++i)
        names.emplace_back(table.macroSlots[static_cast<size_t>(i)].nameText());
    return names;
}

}  // namespace

std::u16string_view exportProfileMenuText(bool english) {
    return english ? u"Export Profile..." : u"导出配置...";
}

std::u16string_view importProfileMenuText(bool english) {
    return english ? u"Import Profile..." : u"导入配置...";
}

std::u16string profileImportQuestion(const ProfileImportPlan& plan, const ConfigProfile& before,
                                     const MacroTable& tableBefore,
                                     const std::array<std::u16string, kFunctionNameCount>& names,
                                     std::u16string_view fileName, bool english) {
    const std::u16string profile = formatInt(plan.slot);
    const std::u16string file(fileName);
    std::u16string text = english ? u"Import \"" + file + u"\" into profile " + profile + u"?\n\n"
                                  : u"将“" + file + u"”导入配置 " + profile + u"？\n\n";
    const std::vector<std::u16string> namesBefore = macroNamesOf(tableBefore);
    const std::vector<std::u16string> namesAfter = macroNamesOf(plan.table);
    const auto shown = [&](int32_t code, const std::vector<std::u16string>& macros) {
        const std::u16string_view name = functionNameOf(code, names, macros);
        return name.empty() ? std::u16string(english ? u"(none)" : u"（无）")
                            : std::u16string(name);
    };
    std::u16string buttons;
    for (size_t n = 0; n < kButtonCount; ++n) {
        const std::u16string from = shown(before.buttonFunction[n], namesBefore);
        const std::u16string to = shown(plan.profile.buttonFunction[n], namesAfter);
        if (from != to) {
            buttons += (english ? u"  Button " : u"  按键 ") +
                       formatInt(static_cast<int64_t>(n) + 1) + (english ? u": " : u"：") + from +
                       u" → " + to + u"\n";
        }
    }
    text += english ? u"Buttons:\n" : u"按键：\n";
    text += buttons.empty() ? (english ? u"  no change\n" : u"  不变\n") : buttons;

    if (!plan.macros.empty()) {
        text += english ? u"Macros:\n" : u"宏：\n";
        for (const MacroPlacement& macro : plan.macros) {
            text += u"  " + macro.name;
            if (!macro.added)
                text += english ? u" (already here)" : u"（已存在）";
            else if (macro.name != macro.fileName)
                text += english ? u" (added; the name \"" + macro.fileName + u"\" is taken)"
                                : u"（新增；名称“" + macro.fileName + u"”已被使用）";
            else
                text += english ? u" (added)" : u"（新增）";
            text += u"\n";
        }
    }
    text += english ? u"\nThe DPI levels, LED mode and every other setting of profile " + profile +
                          u" are replaced."
                    : u"\n配置 " + profile + u" 的 DPI 档位、灯光模式及其他所有设置都将被替换。";
    return text;
}

}  // namespace v270
