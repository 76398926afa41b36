#include "app/profile_file_actions.h"

#include "app/script_command.h"
#include "settings/text.h"
#include "ui/profile_file_text.h"

namespace v270 {

namespace {

constexpr char16_t kProfileFileFilter[] = u"V270 profile (*.v270profile)|*.v270profile||";

std::u16string fileNameOf(const std::filesystem::path& file) {
    return pathToUtf16(file.filename());
}

}  // namespace

void ProfileFileActions::exportProfile() {
    const std::optional<std::filesystem::path> file =
        s_.dialogs.saveFile({.filter = kProfileFileFilter,
                             .defaultExtension = std::u16string(kProfileFileExtension),
                             .initialFolder = s_.paths.exeFolder,
                             .overwritePrompt = true});
    if (!file)
        return;
    const platform::FileResult written =
        s_.fileSystem.replace(*file, s_.transfer.exportWorkingCopy());
    if (!written.ok())
        s_.messages.show(fileProblemText(pathToUtf16(*file), written.reason, false, english()));
}

void ProfileFileActions::importProfile() {
    const std::optional<std::filesystem::path> file = s_.dialogs.openFile(
        {.filter = kProfileFileFilter, .initialFolder = s_.paths.exeFolder, .readOnly = true});
    if (!file)
        return;
    std::vector<std::byte> bytes;
    // One byte beyond the largest profile file, so that a larger file shows as such.
    const platform::FileResult read = s_.fileSystem.read(*file, kMaxProfileFileBytes + 1, bytes);
    if (!read.ok()) {
        s_.messages.show(fileProblemText(pathToUtf16(*file), read.reason, true, english()));
        return;
    }
    const int32_t slot = s_.profiles.currentConfig();
    const auto planning = s_.transfer.plan(bytes, slot);
    if (const auto* problem = std::get_if<ProfileFileProblem>(&planning)) {
        s_.messages.show(profileFileProblemText(*problem, english()));
        return;
    }
    const PlannedImport& planned = std::get<PlannedImport>(planning);
    if (!s_.messages.ask(profileImportQuestion(planned.plan, s_.profiles.profile(),
                                               planned.plannedOn, s_.tables.functionNames,
                                               fileNameOf(*file), english()))) {
        return;
    }
    switch (s_.transfer.apply(planned)) {
        case ImportOutcome::Done:
        case ImportOutcome::NotSaved:  // told as every settings file is
            return;
        case ImportOutcome::ChangedMeanwhile:
            s_.messages.show(scriptOutcomeText(ImportCommand{},
                                               {ScriptOutcome::ChangedMeanwhile, {}}, english()));
            return;
    }
}

}  // namespace v270
