#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The logon task as the scheduler's task XML: written to register it, and read back from what
// the scheduler holds.
namespace v270::platform {

inline constexpr int32_t kDefaultTaskPriority = 7;
// A normal process: the driver plays macros in games, and must not lag behind them.
inline constexpr int32_t kNormalTaskPriority = 4;

struct LogonTaskDefinition {
    std::u16string userId;   // the user whose logon starts it, "DOMAIN\name"
    std::u16string command;  // the program's full path
    std::u16string arguments;
    bool atLogon = false;            // has a logon trigger
    bool highestPrivileges = false;  // runs with the highest privileges the user has
    // The scheduler's priority of its process, 0 (highest) to 10; without one it is 7, below
    // normal, which also lowers the process's input and output.
    int32_t priority = kDefaultTaskPriority;

    bool operator==(const LogonTaskDefinition&) const = default;
};

// The task XML of `task`: its logon trigger and principal are for task.userId, run level
// highest when asked, one program action, its priority, no time limit, started on batteries too.
std::u16string logonTaskXml(const LogonTaskDefinition& task);

// What a task XML says of the fields above; those it lacks stay empty or false.
LogonTaskDefinition readLogonTaskXml(std::u16string_view xml);

// Text as XML character data: & < > " ' escaped.
std::u16string escapeXml(std::u16string_view text);

}  // namespace v270::platform
