#include "app/running_copy.h"

#include <gtest/gtest.h>

#include "settings/text.h"

namespace v270 {
namespace {

TEST(RunningCopyTest, AStartFindsTheCopyOfItsSessionOrOfAnotherUser) {
    struct Case {
        bool sessionTaken;
        bool machineTaken;
        CommandLineOptions options;
        std::optional<SecondStart> expected;  // nothing: no copy runs, this one does
    };
    const CommandLineOptions plain{};
    const CommandLineOptions profile{3, false, false, false};
    const CommandLineOptions tray{std::nullopt, true, false, false};
    const Case cases[] = {
        {false, false, profile, std::nullopt},
        {true, true, plain, SecondStart::Restore},
        {true, false, profile, SecondStart::SendProfile},  // the other copy is ending
        {true, true, tray, SecondStart::LeaveAlone},
        {false, true, plain, SecondStart::TellOtherUser},
        {false, true, profile, SecondStart::TellOtherUser},
        {false, true, tray, SecondStart::TellOtherUser},
    };
    for (const Case& c : cases) {
        const RunningCopy running = runningCopy(c.sessionTaken, c.machineTaken);
        EXPECT_EQ(running == RunningCopy::None, !c.expected);
        if (c.expected) {
            EXPECT_EQ(secondStart(running, c.options), *c.expected);
        }
    }
    EXPECT_TRUE(
        utf16ToUtf8(otherUserMessage(true))
            .starts_with("The V270 driver already runs for another user of this computer."));
    EXPECT_TRUE(utf16ToUtf8(otherUserMessage(false))
                    .starts_with("V270 驱动已在这台电脑上为另一位用户运行。"));
}

}  // namespace
}  // namespace v270
