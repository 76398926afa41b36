#include "ui/entry_names.h"

#include <algorithm>

#include "settings/text.h"
#include "ui/dpi_values.h"
#include "ui/function_names.h"
#include "ui/skin_indices.h"

namespace v270 {

namespace {

struct Names {
    std::u16string_view english;
    std::u16string_view chinese;
    std::u16string_view of(bool inEnglish) const { return inEnglish ? english : chinese; }
};

// The entries common to every page, by their index; the tabs and profiles are named below.
Names commonName(int32_t index) {
    using namespace main_item;
    switch (index) {
        case kRevert:
            return {u"Cancel", u"取消"};
        case kApply:
            return {u"Apply", u"应用"};
        case kMinimise:
            return {u"Minimise", u"最小化"};
        case kClose:
            return {u"Close to the tray", u"关闭到托盘"};
        case kImport:
            return {u"Import profile", u"导入配置"};
        case kExport:
            return {u"Export profile", u"导出配置"};
        case kReset:
            return {u"Reset", u"恢复默认"};
        case kChinese:
            return {u"中文", u"中文"};
        case kEnglish:
            return {u"English", u"English"};
        case kMainTab:
            return {u"Buttons and DPI", u"按键与 DPI"};
        case kAdvancedTab:
            return {u"Advanced", u"高级设置"};
        case kColourTab:
            return {u"Lighting", u"灯光"};
        default:
            return {};
    }
}

Names advancedName(int32_t index) {
    using namespace advanced_item;
    switch (index) {
        case kImportMacros:
            return {u"Import macros", u"导入宏"};
        case kExportMacros:
            return {u"Export macros", u"导出宏"};
        case kAddMacro:
            return {u"Add macro", u"添加宏"};
        case kDeleteMacro:
            return {u"Delete macro", u"删除宏"};
        case kTakeRepeatCount:
            return {u"Set repeat count", u"设置重复次数"};
        case kRepeatSwitch:
            return {u"Repeat", u"重复"};
        case kMacroModeSwitch:
            return {u"Play while held", u"按住时播放"};
        case kFirePlus:
            return {u"Fire interval plus 1 ms", u"连发间隔加 1 毫秒"};
        case kFireMinus:
            return {u"Fire interval minus 1 ms", u"连发间隔减 1 毫秒"};
        default:
            return {};
    }
}

Names controlName(AdvancedControl control) {
    switch (control) {
        case AdvancedControl::RepeatCountEdit:
            return {u"Repeat count", u"重复次数"};
        case AdvancedControl::MacroNameEdit:
            return {u"Macro name", u"宏名称"};
        case AdvancedControl::MacroList:
            return {u"Macros", u"宏列表"};
        case AdvancedControl::StepList:
            break;
    }
    return {u"Macro steps", u"宏步骤"};
}

std::u16string numbered(Names names, bool english, int32_t number) {
    return std::u16string(names.of(english)) + u" " + formatInt(number);
}

EntryDescription describeMain(const FrameState& state, const SkinTables& tables, int32_t i) {
    using namespace main_item;
    const bool english = state.english;
    const ConfigProfile& profile = state.profile;
    EntryDescription d;
    if (i >= kFirstProfile && i <= kLastProfile) {
        d.name = numbered({u"Profile", u"配置"}, english, i - kFirstProfile + 1);
        d.role = EntryRole::RadioButton;
        d.selected = state.currentConfig == i - kFirstProfile + 1;
    } else if (i >= kMainTab && i <= kColourTab) {
        d.name = commonName(i).of(english);
        d.role = EntryRole::PageTab;
        d.selected = state.currentPage == static_cast<Page>(i - kMainTab);
    } else if (i >= kFirstButtonLabel && i <= kLastButtonLabel) {
        const int32_t slot = i - kFirstButtonLabel;
        d.name = numbered({u"Button", u"按键"}, english, slot + 1) + (english ? u": " : u"：") +
                 std::u16string(functionNameOf(profile.buttonFunction[static_cast<size_t>(slot)],
                                               tables.functionNames, state.macroNames));
    } else if (i == kWheelFirst || i == kWheelSecond) {
        d.name = i == kWheelFirst ? (english ? u"Wheel: normal" : u"滚轮：正常")
                                  : (english ? u"Wheel: reverse" : u"滚轮：反向");
        d.role = EntryRole::RadioButton;
        d.selected = (profile.wheelStatus != 0) == (i == kWheelSecond);
    } else if (i >= kFirstDpiSwitch && i < kFirstDpiSwitch + kDpiLevelCount) {
        const auto level = static_cast<size_t>(i - kFirstDpiSwitch);
        d.name = numbered({u"DPI level", u"DPI 档位"}, english, static_cast<int32_t>(level) + 1) +
                 (english ? u" on" : u" 开启");
        d.role = EntryRole::CheckButton;
        d.checked = profile.dpiSetEnabled[level] != 0;
    } else if (i >= kFirstDpiSelect && i < kFirstDpiSelect + kDpiLevelCount) {
        d.name =
            numbered({u"Current DPI level", u"当前 DPI 档位"}, english, i - kFirstDpiSelect + 1);
        d.role = EntryRole::RadioButton;
        d.selected = profile.dpiLevel == i - kFirstDpiSelect;
    } else if (i >= kFirstDpiCell && i <= kLastDpiCell) {
        const int32_t level = (i - kFirstDpiCell) / 5;
        const int32_t value = (i - kFirstDpiCell) % 5;
        d.name = numbered({u"DPI level", u"DPI 档位"}, english, level + 1) +
                 (english ? u": " : u"：") + formatInt(dpiValueOf(value));
        d.role = EntryRole::RadioButton;
        d.selected = profile.dpiSet[static_cast<size_t>(level)] == value;
    } else {
        d.name = commonName(i).of(english);
        d.selected = (i == kChinese && !english) || (i == kEnglish && english);
    }
    return d;
}

EntryDescription describeAdvanced(const FrameState& state, int32_t j) {
    using namespace advanced_item;
    const bool english = state.english;
    const ConfigProfile& profile = state.profile;
    EntryDescription d;
    if (j >= kFirstPointerSpeed && j < kFirstPointerSpeed + 10) {
        d.name = numbered({u"Pointer speed", u"指针速度"}, english, j - kFirstPointerSpeed + 1);
        d.role = EntryRole::RadioButton;
        d.selected = profile.dpiSpeed == j - kFirstPointerSpeed;
    } else if (j >= kFirstWheelSpeed && j < kFirstWheelSpeed + 10) {
        d.name = numbered({u"Wheel lines", u"滚轮行数"}, english, j - kFirstWheelSpeed + 1);
        d.role = EntryRole::RadioButton;
        d.selected = profile.wheelSpeed == j - kFirstWheelSpeed;
    } else if (j == kRecord) {
        d.name = state.recording ? (english ? u"Stop" : u"停止") : (english ? u"Record" : u"录制");
    } else {
        d.name = advancedName(j).of(english);
        if (j == kRepeatSwitch || j == kMacroModeSwitch) {
            d.role = EntryRole::CheckButton;
            d.checked = j == kRepeatSwitch ? state.currentMacroRepeats : profile.macroMode2 != 0;
        }
    }
    return d;
}

}  // namespace

std::vector<EntryDescription> describeEntries(const FrameState& state, const SkinTables& tables,
                                              std::optional<FocusEntry> focused) {
    std::vector<EntryDescription> entries;
    for (const FocusEntry& entry : focusOrder(state.currentPage, tables)) {
        EntryDescription d;
        switch (entry.kind) {
            case FocusEntry::Kind::Main:
                d = describeMain(state, tables, entry.index);
                break;
            case FocusEntry::Kind::Advanced:
                d = describeAdvanced(state, entry.index);
                break;
            case FocusEntry::Kind::Colour:
                d.name = numbered({u"LED mode", u"灯光模式"}, state.english, entry.index + 1);
                d.role = EntryRole::RadioButton;
                d.selected = state.profile.ledStatus == entry.index;
                break;
            case FocusEntry::Kind::Control:
                d.name = controlName(entry.control()).of(state.english);
                d.role = entry.control() == AdvancedControl::MacroList ||
                                 entry.control() == AdvancedControl::StepList
                             ? EntryRole::List
                             : EntryRole::Text;
                break;
        }
        d.entry = entry;
        d.area = focusArea(entry, tables);
        d.focused = focused == entry;
        entries.push_back(std::move(d));
    }
    return entries;
}

std::u16string_view defaultActionName(bool english) {
    return english ? u"Press" : u"按下";
}

}  // namespace v270
