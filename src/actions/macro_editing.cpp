#include "actions/macro_editing.h"

#include <algorithm>

#include "settings/text.h"

namespace v270 {

bool insertStep(MacroRecord& macro, int32_t position, uint8_t key, uint8_t action) {
    if (macro.stepCount + 1 > kMaxMacroSteps)
        return false;
    const auto at = static_cast<size_t>(std::clamp<int32_t>(position, 0, macro.stepCount));
    const auto end = macro.steps.begin() + macro.stepCount;
    std::move_backward(macro.steps.begin() + static_cast<std::ptrdiff_t>(at), end, end + 1);
    macro.steps[at] = MacroStep{key, action, kInsertedStepDelay};
    ++macro.stepCount;
    return true;
}

void deleteStep(MacroRecord& macro, int32_t step) {
    if (macro.stepCount == 0)
        return;
    const int32_t former = macro.stepCount;
    --macro.stepCount;
    if (step < 0 || step >= macro.stepCount)
        return;
    const auto first = macro.steps.begin() + step;
    std::move(first + 1, macro.steps.begin() + former, first);
}

uint16_t delayFromText(std::u16string_view text) {
    if (const size_t unit = text.find(u"ms"); unit != std::u16string_view::npos)
        text = text.substr(0, unit);
    return static_cast<uint16_t>(std::clamp(parseLeadingInt(text), 0, 65535));
}

uint16_t repeatCountFromText(std::u16string_view text) {
    return static_cast<uint16_t>(std::clamp(parseLeadingInt(text), 1, 65535));
}

std::optional<AddedMacro> addMacro(MacroTable& table, std::u16string_view name) {
    if (name.empty() || table.macroCount >= kMaxMacros)
        return std::nullopt;
    MacroRecord candidate;
    candidate.setName(name);
    for (int32_t i = 0; i < table.macroCount; ++i) {
        if (table.macroSlots[static_cast<size_t>(i)].nameText() == candidate.nameText())
            return AddedMacro{i, false};
    }
    // A slot past the count may still hold a macro of a larger table loaded before: the new
    // macro starts blank.
    const int32_t index = table.macroCount++;
    MacroRecord& added = table.macroSlots[static_cast<size_t>(index)];
    added = MacroRecord{};
    added.repeatCount = 1;
    added.setName(name);
    return AddedMacro{index, true};
}

int32_t deleteMacro(MacroTable& table, int32_t index) {
    if (index < 0 || index >= table.macroCount)
        return std::clamp<int32_t>(table.currentMacro, 0, std::max(table.macroCount - 1, 0));
    const auto slots = table.macroSlots.begin();
    std::move(slots + index + 1, slots + table.macroCount, slots + index);
    --table.macroCount;
    MacroRecord& vacated = table.macroSlots[static_cast<size_t>(table.macroCount)];
    vacated.repeatEnabled = 0;
    vacated.repeatCount = 1;
    vacated.stepCount = 0;
    return index > 0 ? index - 1 : 0;
}

}  // namespace v270
