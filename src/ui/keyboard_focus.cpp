#include "ui/keyboard_focus.h"

#include <algorithm>
#include <initializer_list>

#include "settings/config_profile.h"
#include "ui/skin_indices.h"

namespace v270 {

namespace {

using Kind = FocusEntry::Kind;

void addRange(std::vector<FocusEntry>& order, Kind kind, int32_t first, int32_t last) {
    for (int32_t i = first; i <= last; ++i)
        order.push_back({kind, i});
}

void addEach(std::vector<FocusEntry>& order, Kind kind, std::initializer_list<int32_t> indices) {
    for (const int32_t i : indices)
        order.push_back({kind, i});
}

void addControl(std::vector<FocusEntry>& order, AdvancedControl control) {
    order.push_back({Kind::Control, static_cast<int32_t>(control)});
}

}  // namespace

platform::PixelRect focusArea(const FocusEntry& entry, const SkinTables& tables) {
    const auto at = [](const auto& table, int32_t index) {
        return index >= 0 && static_cast<size_t>(index) < table.size()
                   ? table[static_cast<size_t>(index)].area()
                   : platform::PixelRect{};
    };
    switch (entry.kind) {
        case Kind::Main:
            return at(tables.mainItems, entry.index);
        case Kind::Advanced:
            return at(tables.advancedItems, entry.index);
        case Kind::Colour:
            return at(tables.colourItems, entry.index);
        case Kind::Control:
            break;
    }
    switch (entry.control()) {
        case AdvancedControl::RepeatCountEdit:
            return tables.repeatEditRect;
        case AdvancedControl::MacroNameEdit:
            return tables.nameEditRect;
        case AdvancedControl::MacroList:
            return tables.macroListRect;
        case AdvancedControl::StepList:
            break;
    }
    return tables.stepListRect;
}

std::vector<FocusEntry> focusOrder(Page page, const SkinTables& tables) {
    using namespace main_item;
    std::vector<FocusEntry> order;
    addEach(order, Kind::Main, {kMainTab, kAdvancedTab, kColourTab});
    addRange(order, Kind::Main, kFirstProfile, kLastProfile);
    switch (page) {
        case PAGE_MAIN:
            addRange(order, Kind::Main, kFirstButtonLabel, kLastButtonLabel);
            addEach(order, Kind::Main, {kWheelFirst, kWheelSecond});
            for (int32_t level = 0; level < kDpiLevelCount; ++level) {
                addEach(order, Kind::Main, {kFirstDpiSwitch + level, kFirstDpiSelect + level});
                addRange(order, Kind::Main, kFirstDpiCell + 5 * level,
                         kFirstDpiCell + 5 * level + 4);
            }
            break;
        case PAGE_ADVANCED: {
            using namespace advanced_item;
            addControl(order, AdvancedControl::MacroList);
            addControl(order, AdvancedControl::StepList);
            addControl(order, AdvancedControl::MacroNameEdit);
            addEach(order, Kind::Advanced, {kAddMacro, kDeleteMacro, kRecord});
            addControl(order, AdvancedControl::RepeatCountEdit);
            addEach(
                order, Kind::Advanced,
                {kTakeRepeatCount, kRepeatSwitch, kMacroModeSwitch, kImportMacros, kExportMacros});
            addRange(order, Kind::Advanced, kFirstPointerSpeed, kFirstPointerSpeed + 9);
            addRange(order, Kind::Advanced, kFirstWheelSpeed, kFirstWheelSpeed + 9);
            addEach(order, Kind::Advanced, {kFireMinus, kFirePlus});
            break;
        }
        case PAGE_COLOUR:
            addRange(order, Kind::Colour, colour_item::kFirstLedMode,
                     colour_item::kFirstLedMode + 3);
            break;
    }
    addEach(order, Kind::Main,
            {kApply, kRevert, kImport, kExport, kReset, kChinese, kEnglish, kMinimise, kClose});
    std::erase_if(order, [&](const FocusEntry& entry) { return focusArea(entry, tables).empty(); });
    return order;
}

FocusEntry KeyboardFocus::move(Page page, const SkinTables& tables, bool backwards) {
    const std::vector<FocusEntry> order = focusOrder(page, tables);
    markShown_ = true;
    if (order.empty())
        return focused_.value_or(FocusEntry{});
    const auto at = focused_ ? std::find(order.begin(), order.end(), *focused_) : order.end();
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t index = 0;
    if (at == order.end()) {
        index = backwards ? count - 1 : 0;
    } else {
        index = (at - order.begin() + (backwards ? count - 1 : 1)) % count;
    }
    focused_ = order[static_cast<size_t>(index)];
    return *focused_;
}

std::optional<platform::PixelRect> KeyboardFocus::markArea(const SkinTables& tables) const {
    if (!markShown_ || !focused_ || !focused_->painted())
        return std::nullopt;
    return focusArea(*focused_, tables);
}

}  // namespace v270
