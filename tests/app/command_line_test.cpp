#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/text.h"

namespace v270 {
namespace {

ParsedCommandLine parse(std::vector<std::u16string> words) {
    return parseCommandLine(words);
}

TEST(CommandLineTest, AcceptedCommandLines) {
    struct Case {
        std::vector<std::u16string> words;
        CommandLineOptions options;
    };
    const Case cases[] = {
        {{}, {std::nullopt, false, false, false}},
        {{u"--profile", u"1"}, {1, false, false, false}},
        {{u"--profile=5"}, {5, false, false, false}},
        {{u"--tray"}, {std::nullopt, true, false, false}},
        {{u"--tray", u"--profile", u"3"}, {3, true, false, false}},
        {{u"--profile=2", u"--tray"}, {2, true, false, false}},
        {{u"--help"}, {std::nullopt, false, true, false}},
        {{u"-h"}, {std::nullopt, false, true, false}},
        {{u"/?"}, {std::nullopt, false, true, false}},
        {{u"--start-with-windows"}, {std::nullopt, false, false, true}},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.words);
        ASSERT_TRUE(std::holds_alternative<CommandLineOptions>(parsed))
            << utf16ToUtf8(c.words.empty() ? u"" : c.words[0]);
        EXPECT_EQ(std::get<CommandLineOptions>(parsed), c.options);
    }
}

TEST(CommandLineTest, RefusedCommandLinesNameTheirProblem) {
    using enum CommandLineFault;
    struct Case {
        std::vector<std::u16string> words;
        CommandLineProblem problem;
    };
    const Case cases[] = {
        {{u"--verbose"}, {UnknownOption, u"--verbose"}},
        {{u"profile"}, {UnknownOption, u"profile"}},
        {{u"--Profile", u"2"}, {UnknownOption, u"--Profile"}},
        {{u""}, {UnknownOption, u""}},
        {{u"--tray", u"extra"}, {UnknownOption, u"extra"}},
        {{u"--profile", u"2", u"3"}, {UnknownOption, u"3"}},
        {{u"--profile"}, {MissingProfileNumber, u"--profile"}},
        {{u"--profile", u"--tray"}, {MissingProfileNumber, u"--profile"}},
        {{u"--profile="}, {MissingProfileNumber, u"--profile="}},
        {{u"--profile", u"0"}, {BadProfileNumber, u"0"}},
        {{u"--profile", u"6"}, {BadProfileNumber, u"6"}},
        {{u"--profile", u"03"}, {BadProfileNumber, u"03"}},
        {{u"--profile", u"2x"}, {BadProfileNumber, u"2x"}},
        {{u"--profile", u"４"}, {BadProfileNumber, u"４"}},
        {{u"--profile=99999999999"}, {BadProfileNumber, u"99999999999"}},
        {{u"--tray", u"--tray"}, {RepeatedOption, u"--tray"}},
        {{u"--profile", u"1", u"--profile=2"}, {RepeatedOption, u"--profile"}},
        {{u"--help", u"/?"}, {RepeatedOption, u"/?"}},
        {{u"--profile", u"2", u"--help"}, {NotAlone, u"--help"}},
        {{u"-h", u"--tray"}, {NotAlone, u"-h"}},
        {{u"--start-with-windows", u"--help"}, {NotAlone, u"--start-with-windows"}},
        {{u"--tray", u"--start-with-windows"}, {NotAlone, u"--start-with-windows"}},
        {{u"--start-with-windows", u"--start-with-windows"},
         {RepeatedOption, u"--start-with-windows"}},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.words);
        ASSERT_TRUE(std::holds_alternative<CommandLineProblem>(parsed)) << utf16ToUtf8(c.words[0]);
        EXPECT_EQ(std::get<CommandLineProblem>(parsed), c.problem) << utf16ToUtf8(c.words[0]);
    }
}

TEST(CommandLineTest, MessagesNameTheProblemAndTheOptionsInBothLanguages) {
    const auto refusal = [](std::u16string word, bool english) {
        return utf16ToUtf8(
            commandLineRefusal(std::get<CommandLineProblem>(parse({std::move(word)})), english));
    };
    const std::string english = refusal(u"--verbose", true);
    EXPECT_NE(english.find("Unknown option: \"--verbose\".\nNothing was done."), std::string::npos);
    for (const char* option : {"--profile N", "--tray", "--start-with-windows", "--help"}) {
        EXPECT_NE(english.find(option), std::string::npos) << option;
        EXPECT_NE(utf16ToUtf8(commandLineHelp(false)).find(option), std::string::npos) << option;
    }
    EXPECT_NE(refusal(u"--verbose", false).find("未知的选项：“--verbose”。\n未执行任何操作。"),
              std::string::npos);
    // A long or strange word is shown cut, its control characters made visible.
    const std::string cut = refusal(std::u16string(300, u'x') + u"\n", true);
    EXPECT_NE(cut.find("\"" + std::string(40, 'x') + "…\""), std::string::npos);
    EXPECT_EQ(refusal(u"a\nb", true).find("a\nb"), std::string::npos);
}

}  // namespace
}  // namespace v270
