#include "app/script_command.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "settings/config_profile.h"
#include "settings/text.h"
#include "ui/profile_file_text.h"

namespace v270 {

namespace {

constexpr std::u16string_view kStatus = u"--status";
constexpr std::u16string_view kExport = u"--export-profile";
constexpr std::u16string_view kImport = u"--import-profile";
constexpr std::u16string_view kForce = u"--force";

using Parsed = std::variant<ScriptCommand, CommandLineProblem>;

bool isScriptOption(std::u16string_view word) {
    return word == kStatus || word == kExport || word == kImport || word == kForce;
}

CommandLineProblem problem(CommandLineFault fault, std::u16string_view word) {
    return {fault, std::u16string(word)};
}

// The words after an option, each taken in turn; an option's word is never taken as a value.
// The first value missing or wrong is kept as the problem; later reads give empty values.
class Words {
  public:
    explicit Words(std::span<const std::u16string> words) : words_(words) {}
    std::span<const std::u16string> rest() const { return words_.subspan(at_); }
    const std::optional<CommandLineProblem>& problem() const { return problem_; }

    int32_t profile(std::u16string_view option) {
        const std::optional<std::u16string_view> word = next();
        if (!word) {
            fail(CommandLineFault::MissingProfileNumber, option);
            return 0;
        }
        const std::optional<int32_t> profile = parseProfileNumber(*word);
        if (!profile)
            fail(CommandLineFault::BadProfileNumber, *word);
        return profile.value_or(0);
    }

    std::u16string file(std::u16string_view option) {
        const std::optional<std::u16string_view> word = next();
        if (!word || word->empty()) {
            fail(CommandLineFault::MissingFileName, option);
            return {};
        }
        return std::u16string(*word);
    }

  private:
    std::optional<std::u16string_view> next() {
        if (problem_ || at_ == words_.size() || words_[at_].starts_with(u"--"))
            return std::nullopt;
        return words_[at_++];
    }
    void fail(CommandLineFault fault, std::u16string_view word) {
        if (!problem_)
            problem_ = CommandLineProblem{fault, std::u16string(word)};
    }

    std::span<const std::u16string> words_;
    size_t at_ = 0;
    std::optional<CommandLineProblem> problem_;
};

}  // namespace

std::optional<Parsed> parseScriptCommand(std::span<const std::u16string> arguments) {
    if (std::ranges::none_of(arguments, isScriptOption))
        return std::nullopt;
    // --force may stand before or after the import; it is taken out first.
    std::vector<std::u16string> words;
    bool force = false;
    for (const std::u16string& word : arguments) {
        if (word != kForce) {
            words.push_back(word);
        } else if (std::exchange(force, true)) {
            return problem(CommandLineFault::RepeatedOption, kForce);
        }
    }
    if (words.empty() || !isScriptOption(words.front())) {
        // A script option further on, beside one of the driver's own.
        for (const std::u16string& word : words) {
            if (isScriptOption(word))
                return problem(CommandLineFault::NotAlone, word);
        }
        return problem(CommandLineFault::ForceWithoutImport, kForce);
    }
    const std::u16string option = words.front();
    Words rest(std::span<const std::u16string>(words).subspan(1));
    Parsed parsed = StatusCommand{};
    if (option == kExport) {
        const int32_t profile = rest.profile(option);
        parsed = ExportCommand{profile, rest.file(option)};
    } else if (option == kImport) {
        std::u16string file = rest.file(option);
        parsed = ImportCommand{std::move(file), rest.profile(option), force};
    }
    if (rest.problem())
        return *rest.problem();
    if (force && option != kImport)
        return problem(CommandLineFault::ForceWithoutImport, kForce);
    if (!rest.rest().empty()) {
        const std::u16string& extra = rest.rest().front();
        if (extra == option)
            return problem(CommandLineFault::RepeatedOption, extra);
        return problem(isScriptOption(extra) || extra.starts_with(u"-")
                           ? CommandLineFault::NotAlone
                           : CommandLineFault::UnknownOption,
                       isScriptOption(extra) || extra.starts_with(u"-") ? option : extra);
    }
    return parsed;
}

std::u16string scriptCommandHelp(bool english) {
    if (english) {
        return u"--status\tprints the driver's state as JSON\n"
               u"--export-profile N FILE\n"
               u"\twrites profile N into a profile file\n"
               u"--import-profile FILE N [--force]\n"
               u"\ttakes a profile file into profile N;\n"
               u"\t--force replaces what it holds";
    }
    return u"--status\t以 JSON 输出驱动状态\n"
           u"--export-profile N 文件\n"
           u"\t将配置 N 写入配置文件\n"
           u"--import-profile 文件 N [--force]\n"
           u"\t将配置文件导入配置 N；\n"
           u"\t--force 覆盖其原有设置";
}

std::u16string noDriverText(bool english) {
    return english ? u"The V270 driver is not running. Start it, then try again."
                   : u"V270 驱动未运行。请先启动驱动，然后重试。";
}

std::u16string notTakenText(bool english) {
    return english ? u"The V270 driver did not answer the request. Nothing was changed."
                   : u"V270 驱动没有响应该请求。未做任何更改。";
}

std::u16string fileProblemText(std::u16string_view file, std::u16string_view reason, bool reading,
                               bool english) {
    const std::u16string name(file);
    const std::u16string why = reason.empty() ? u"" : u" (" + std::u16string(reason) + u")";
    if (english) {
        return (reading ? u"Cannot read \"" : u"Cannot write \"") + name + u"\"" + why +
               u". Nothing was changed.";
    }
    return (reading ? u"无法读取“" : u"无法写入“") + name + u"”" + why + u"。未做任何更改。";
}

std::u16string scriptOutcomeText(const ScriptCommand& command, const ScriptReply& reply,
                                 bool english) {
    const auto* imported = std::get_if<ImportCommand>(&command);
    const auto* exported = std::get_if<ExportCommand>(&command);
    const std::u16string profile = formatInt(imported   ? imported->profile
                                             : exported ? exported->profile
                                                        : 0);
    const std::u16string detail = utf8ToUtf16(std::string_view(
        reinterpret_cast<const char*>(reply.payload.data()), reply.payload.size()));
    const auto fileProblem = [&](ProfileFileFault fault) {
        return profileFileProblemText({fault, detail}, english);
    };
    switch (reply.outcome) {
        case ScriptOutcome::Done:
            if (imported) {
                return english ? u"Profile " + profile + u" now holds \"" + imported->file + u"\"."
                               : u"配置 " + profile + u" 已导入“" + imported->file + u"”。";
            }
            return english ? u"Profile " + profile + u" was written to \"" + exported->file + u"\"."
                           : u"配置 " + profile + u" 已写入“" + exported->file + u"”。";
        case ScriptOutcome::NotAProfileFile:
            return fileProblem(ProfileFileFault::NotAProfileFile);
        case ScriptOutcome::NewerFormat:
            return fileProblem(ProfileFileFault::NewerFormat);
        case ScriptOutcome::OtherModel:
            return fileProblem(ProfileFileFault::OtherModel);
        case ScriptOutcome::Damaged:
            return fileProblem(ProfileFileFault::Damaged);
        case ScriptOutcome::NoFreeMacroSlot:
            return fileProblem(ProfileFileFault::NoFreeMacroSlot);
        case ScriptOutcome::ReplacesSettings:
            return english ? u"Profile " + profile +
                                 u" holds other settings. Add --force to replace them. Nothing "
                                 u"was changed."
                           : u"配置 " + profile +
                                 u" 中已有其他设置。如需覆盖，请加上 --force。未做任何更改。";
        case ScriptOutcome::ChangedMeanwhile:
            return english ? u"The macros changed meanwhile. Nothing was changed; try again."
                           : u"宏在此期间已被更改。未做任何更改，请重试。";
        case ScriptOutcome::NotSaved:
            return english ? u"The driver could not read or write its settings files. Nothing "
                             u"was changed."
                           : u"驱动无法读取或写入其设置文件。未做任何更改。";
    }
    return {};
}

}  // namespace v270
