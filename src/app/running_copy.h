#pragma once

#include <string>

#include "app/command_line.h"

namespace v270 {

// Where another copy of the driver runs. Each copy holds two names: one of its session and one
// of the whole machine, taken in that order, so that a copy starting in the same session always
// finds the first.
enum class RunningCopy {
    None,
    ThisSession,
    OtherSession,  // another user's, signed in at the same time: one driver per mouse
};

constexpr RunningCopy runningCopy(bool sessionNameTaken, bool machineNameTaken) {
    if (sessionNameTaken)
        return RunningCopy::ThisSession;
    return machineNameTaken ? RunningCopy::OtherSession : RunningCopy::None;
}

// What a start does when a copy runs: hands it the profile request, brings its window back,
// leaves it as it is, or tells that the driver runs for another user.
enum class SecondStart { SendProfile, Restore, LeaveAlone, TellOtherUser };

SecondStart secondStart(RunningCopy running, const CommandLineOptions& options);

// The message of a start while the driver runs for another user.
std::u16string otherUserMessage(bool english);

}  // namespace v270
