#include "app/profile_transfer.h"

namespace v270 {

std::vector<std::byte> ProfileTransfer::exportWorkingCopy() const {
    return writeProfileFile(profileFileOf(s_.profiles.profile(), s_.macros.table()));
}

std::optional<std::vector<std::byte>> ProfileTransfer::exportStored(int32_t slot) const {
    const std::optional<ConfigProfile> stored = s_.profiles.storedProfile(slot);
    if (!stored)
        return std::nullopt;
    return writeProfileFile(profileFileOf(*stored, s_.macros.table()));
}

std::variant<PlannedImport, ProfileFileProblem> ProfileTransfer::plan(
    std::span<const std::byte> file, int32_t slot) const {
    const ProfileFileReading read = readProfileFile(file);
    if (const auto* problem = std::get_if<ProfileFileProblem>(&read))
        return *problem;
    const MacroTable table = s_.macros.table();
    ProfileImportPlanning planning = planProfileImport(std::get<ProfileFile>(read), table, slot);
    if (const auto* problem = std::get_if<ProfileFileProblem>(&planning))
        return *problem;
    return PlannedImport{std::get<ProfileImportPlan>(std::move(planning)), table};
}

bool ProfileTransfer::replacesSettings(const ProfileImportPlan& plan) const {
    const std::optional<ConfigProfile> stored = s_.profiles.storedProfile(plan.slot);
    return !stored || *stored != plan.profile;
}

ImportOutcome ProfileTransfer::apply(const PlannedImport& planned) {
    // The macros are about to change: a recording into them ends first, which may itself change
    // them, and is then caught below.
    s_.advancedPage.stopRecording();
    const ProfileImportPlan& plan = planned.plan;
    MacroStore& macros = s_.macros;
    // Macros change on this thread only, so what is compared here is what the edit changes.
    const MacroTable before = macros.table();
    if (before.macroCount != planned.plannedOn.macroCount ||
        before.macroSlots != planned.plannedOn.macroSlots) {
        return ImportOutcome::ChangedMeanwhile;
    }
    const auto put = [&](const MacroTable& from) {
        macros.edit([&](MacroTable& table) {
            table.macroCount = from.macroCount;
            table.macroSlots = from.macroSlots;
        });
    };
    if (plan.addsMacros()) {
        put(plan.table);
        if (!macros.saveMacros(macros.filePath())) {
            put(before);
            return ImportOutcome::NotSaved;
        }
    }
    if (s_.advancedPage.shown())
        s_.advancedPage.refreshMacroList();

    if (!s_.profiles.storeProfile(plan.slot, plan.profile))
        return ImportOutcome::NotSaved;
    if (plan.slot == s_.profiles.currentConfig())
        s_.device.ApplySettings();
    s_.view.invalidate();
    return ImportOutcome::Done;
}

}  // namespace v270
