#include "app/command_line.h"

#include "settings/config_profile.h"

namespace v270 {

namespace {

constexpr std::u16string_view kProfileOption = u"--profile";
constexpr std::u16string_view kProfilePrefix = u"--profile=";
constexpr std::u16string_view kTrayOption = u"--tray";
constexpr std::u16string_view kStartWithWindowsOption = u"--start-with-windows";
// A word longer than this is cut in a message: the box stays readable whatever was typed.
constexpr size_t kShownWordLength = 40;

bool isHelp(std::u16string_view word) {
    return word == u"--help" || word == u"-h" || word == u"/?";
}

CommandLineProblem problem(CommandLineFault fault, std::u16string_view word) {
    return {fault, std::u16string(word)};
}

// The word as a message shows it: quoted, cut when long, control characters made visible.
std::u16string shown(std::u16string_view word) {
    std::u16string text;
    for (const char16_t unit : word.substr(0, kShownWordLength))
        text += unit < u' ' ? u'?' : unit;
    if (word.size() > kShownWordLength)
        text += u"…";
    return text;
}

std::u16string describe(const CommandLineProblem& p, bool english) {
    const std::u16string word = shown(p.word);
    switch (p.fault) {
        case CommandLineFault::UnknownOption:
            return english ? u"Unknown option: \"" + word + u"\"."
                           : u"未知的选项：“" + word + u"”。";
        case CommandLineFault::MissingProfileNumber:
            return english ? u"\"--profile\" needs a profile number from 1 to 5."
                           : u"“--profile”后面缺少配置编号（1 到 5）。";
        case CommandLineFault::BadProfileNumber:
            return english ? u"\"" + word + u"\" is not a profile number from 1 to 5."
                           : u"“" + word + u"”不是 1 到 5 的配置编号。";
        case CommandLineFault::RepeatedOption:
            return english ? u"\"" + word + u"\" is given more than once."
                           : u"选项“" + word + u"”重复出现。";
        case CommandLineFault::NotAlone:
            return english ? u"\"" + word + u"\" cannot be combined with other options."
                           : u"“" + word + u"”不能与其他选项一起使用。";
        case CommandLineFault::MissingFileName:
            return english ? u"\"" + word + u"\" needs a file name."
                           : u"“" + word + u"”后面缺少文件名。";
        case CommandLineFault::ForceWithoutImport:
            return english ? u"\"--force\" goes with \"--import-profile\" only."
                           : u"“--force”只能与“--import-profile”一起使用。";
    }
    return {};
}

}  // namespace

ParsedCommandLine parseCommandLine(std::span<const std::u16string> arguments) {
    CommandLineOptions options;
    // The first option that must stand alone.
    std::optional<std::u16string> alone;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string& word = arguments[i];
        if (isHelp(word) || word == kStartWithWindowsOption) {
            bool& given = isHelp(word) ? options.help : options.startWithWindows;
            if (given)
                return problem(CommandLineFault::RepeatedOption, word);
            given = true;
            if (!alone)
                alone = word;
        } else if (word == kTrayOption) {
            if (options.tray)
                return problem(CommandLineFault::RepeatedOption, word);
            options.tray = true;
        } else if (word == kProfileOption || word.starts_with(kProfilePrefix)) {
            if (options.profile)
                return problem(CommandLineFault::RepeatedOption, kProfileOption);
            std::u16string_view number;
            if (word == kProfileOption) {
                // The next word is the number, unless it is missing or another option.
                if (i + 1 == arguments.size() || arguments[i + 1].starts_with(u"-") ||
                    arguments[i + 1].starts_with(u"/")) {
                    return problem(CommandLineFault::MissingProfileNumber, word);
                }
                number = arguments[++i];
            } else {
                number = std::u16string_view(word).substr(kProfilePrefix.size());
                if (number.empty())
                    return problem(CommandLineFault::MissingProfileNumber, word);
            }
            options.profile = parseProfileNumber(number);
            if (!options.profile)
                return problem(CommandLineFault::BadProfileNumber, number);
        } else {
            return problem(CommandLineFault::UnknownOption, word);
        }
    }
    if (alone && (options.tray || options.profile || (options.help && options.startWithWindows)))
        return problem(CommandLineFault::NotAlone, *alone);
    return options;
}

std::optional<int32_t> parseProfileNumber(std::u16string_view text) {
    if (text.size() != 1 || text[0] < u'1' || text[0] > u'0' + kProfileCount)
        return std::nullopt;
    return static_cast<int32_t>(text[0] - u'0');
}

std::u16string commandLineHelp(bool english, std::u16string_view program) {
    const std::u16string usage = std::u16string(program) + u" [--profile N] [--tray]\n\n";
    if (english) {
        // Short lines: a message box wraps long ones wherever it likes.
        return usage +
               u"--profile N\tswitches to profile N (1 to 5):\n"
               u"\tthe running program switches,\n"
               u"\telse the program starts with it\n"
               u"--tray\tstarts hidden in the tray\n"
               u"--start-with-windows\n"
               u"\tturns Start with Windows on and\n"
               u"\tends, as the installer asks\n"
               u"--help\tshows these options";
    }
    return usage +
           u"--profile N\t切换到配置 N（1 到 5）：\n"
           u"\t正在运行的程序直接切换，\n"
           u"\t否则以该配置启动\n"
           u"--tray\t启动时隐藏到托盘\n"
           u"--start-with-windows\n"
           u"\t开启开机启动后结束（供安装程序使用）\n"
           u"--help\t显示这些选项";
}

std::u16string commandLineRefusal(const CommandLineProblem& problem, bool english,
                                  std::u16string_view program) {
    return describe(problem, english) +
           (english ? u"\nNothing was done.\n\n" : u"\n未执行任何操作。\n\n") +
           commandLineHelp(english, program);
}

}  // namespace v270
