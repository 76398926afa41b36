#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace v270 {

// What the program was asked for on its command line. Nothing given is a plain start.
struct CommandLineOptions {
    std::optional<int32_t> profile;  // 1..5: switch the running copy to it, or start with it
    bool tray = false;               // start hidden in the tray
    bool help = false;               // show the options and do nothing else
    // Turn Start with Windows on and end, without a window: what the installer asks.
    bool startWithWindows = false;

    bool operator==(const CommandLineOptions&) const = default;
};

enum class CommandLineFault {
    UnknownOption,         // not an option, or a word no option takes
    MissingProfileNumber,  // --profile without its number
    BadProfileNumber,      // a number other than 1..5
    RepeatedOption,        // an option given twice
    NotAlone,              // --help or --start-with-windows beside anything else
    MissingFileName,       // --export-profile or --import-profile without its file
    ForceWithoutImport,    // --force beside anything but --import-profile
};

// Why a command line is refused, and the word it stumbled on.
struct CommandLineProblem {
    CommandLineFault fault = CommandLineFault::UnknownOption;
    std::u16string word;

    bool operator==(const CommandLineProblem&) const = default;
};

using ParsedCommandLine = std::variant<CommandLineOptions, CommandLineProblem>;

// The words after the program's name. Accepted: "--profile N" or "--profile=N" with N one digit
// 1..5, "--tray", and, each alone, "--help" (also "-h" and "/?") and "--start-with-windows".
// Options are lower case, as the help shows them. Anything else is a problem, and a refused command
// line is never acted on in part.
ParsedCommandLine parseCommandLine(std::span<const std::u16string> arguments);

// A profile number as the options take it: one digit 1..5.
std::optional<int32_t> parseProfileNumber(std::u16string_view text);

// The options, for --help and under every refusal, of `program` (V270.exe or its command-line
// front, which takes the same).
std::u16string commandLineHelp(bool english, std::u16string_view program = u"V270.exe");
// The problem named, then the options.
std::u16string commandLineRefusal(const CommandLineProblem& problem, bool english,
                                  std::u16string_view program = u"V270.exe");

}  // namespace v270
