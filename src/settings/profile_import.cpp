#include "settings/profile_import.h"

#include <algorithm>
#include <optional>

#include "settings/function_codes.h"
#include "settings/text.h"

namespace v270 {

namespace {

std::span<const MacroRecord> inUse(const MacroTable& table) {
    return std::span(table.macroSlots).first(static_cast<size_t>(table.macroCount));
}

bool nameTaken(const MacroTable& table, std::u16string_view name) {
    return std::ranges::any_of(inUse(table),
                               [&](const MacroRecord& m) { return m.nameText() == name; });
}

// The name with the first suffix that no macro of the table uses; the name is cut, never the
// suffix, so that it fits the record's 19 characters.
std::u16string freeName(const MacroTable& table, std::u16string_view name) {
    if (!nameTaken(table, name))
        return std::u16string(name);
    constexpr size_t kLimit = kMacroNameUnits - 1;
    for (int n = 2;; ++n) {
        const std::u16string suffix = u" (" + formatInt(n) + u")";
        std::u16string candidate(name.substr(0, kLimit - suffix.size()));
        // A cut never leaves half of a surrogate pair behind.
        if (!candidate.empty() && candidate.back() >= 0xD800 && candidate.back() <= 0xDBFF)
            candidate.pop_back();
        candidate += suffix;
        if (!nameTaken(table, candidate))
            return candidate;
    }
}

}  // namespace

bool ProfileImportPlan::addsMacros() const {
    return std::ranges::any_of(macros, &MacroPlacement::added);
}

ProfileImportPlanning planProfileImport(const ProfileFile& file, const MacroTable& table,
                                        int32_t slot) {
    ProfileImportPlan plan{slot, file.profile, {}, table};
    MacroTable& after = plan.table;
    for (const MacroRecord& macro : file.macros) {
        const std::span<const MacroRecord> used = inUse(after);
        if (const auto same = std::ranges::find(used, macro); same != used.end()) {
            const auto index = static_cast<int>(same - used.begin());
            plan.macros.push_back(
                {std::u16string(macro.nameText()), std::u16string(macro.nameText()), index, false});
            continue;
        }
        MacroRecord placed = macro;
        placed.setName(freeName(after, macro.nameText()));
        plan.macros.push_back({std::u16string(macro.nameText()), std::u16string(placed.nameText()),
                               after.macroCount, true});
        if (after.macroCount < kMaxMacros)
            after.macroSlots[static_cast<size_t>(after.macroCount)] = placed;
        ++after.macroCount;
    }
    if (after.macroCount > kMaxMacros) {
        return ProfileFileProblem{ProfileFileFault::NoFreeMacroSlot,
                                  formatInt(after.macroCount - kMaxMacros)};
    }
    for (int32_t& code : plan.profile.buttonFunction) {
        const std::optional<int> index = macroIndexOf(code);
        if (!index)
            continue;
        // A code naming no macro of the file (the reader refuses such a file) plays nothing.
        code =
            *index < std::ssize(plan.macros)
                ? function_code::kFirstMacro + plan.macros[static_cast<size_t>(*index)].tableIndex
                : 0;
    }
    return plan;
}

}  // namespace v270
