#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "app/command_line.h"
#include "app/script_request.h"

// The command front's options for scripts, which the running driver answers:
//   --status                          its state as one JSON object
//   --export-profile N FILE           profile N into a profile file
//   --import-profile FILE N [--force] a profile file into profile N
// Each stands alone; --force goes with --import-profile only.
namespace v270 {

struct StatusCommand {
    bool operator==(const StatusCommand&) const = default;
};
struct ExportCommand {
    int32_t profile = 1;
    std::u16string file;
    bool operator==(const ExportCommand&) const = default;
};
struct ImportCommand {
    std::u16string file;
    int32_t profile = 1;
    bool force = false;
    bool operator==(const ImportCommand&) const = default;
};
using ScriptCommand = std::variant<StatusCommand, ExportCommand, ImportCommand>;

// Nothing when no word is one of these options: the line is then the driver's own.
std::optional<std::variant<ScriptCommand, CommandLineProblem>> parseScriptCommand(
    std::span<const std::u16string> arguments);

// The exit codes of the command front with these options.
namespace script_exit {
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;   // the command line; for --status also: no driver runs
inline constexpr int kNotTaken = 2;  // the driver did not take the request or did not answer
inline constexpr int kNoDriver = 4;
inline constexpr int kFileProblem = 5;    // the file could not be read or written
inline constexpr int kDriverRefused = 6;  // the driver refused the import or the export
}  // namespace script_exit

// The options' lines of the help.
std::u16string scriptCommandHelp(bool english);

// What the front says, in the interface language.
std::u16string noDriverText(bool english);
std::u16string notTakenText(bool english);
std::u16string fileProblemText(std::u16string_view file, std::u16string_view reason, bool reading,
                               bool english);
// The driver's refusal, or with Done what was done.
std::u16string scriptOutcomeText(const ScriptCommand& command, const ScriptReply& reply,
                                 bool english);

}  // namespace v270
