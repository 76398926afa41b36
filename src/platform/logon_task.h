#pragma once

#include <cstdint>
#include <string_view>

namespace v270::platform {

// The outcome of a change to the logon task: `error` is the system's code when it failed.
struct LogonTaskResult {
    bool ok = true;
    uint32_t error = 0;
};

// A task of the system's scheduler that starts this program, with the highest privileges, when
// the current user logs on. The program runs elevated, so a start entry of the plain kind would
// ask for elevation at every logon; a task does not. Its state lives in the scheduler only.
class LogonTask {
  public:
    virtual ~LogonTask() = default;

    // Whether the task exists; false also when the scheduler cannot be asked.
    virtual bool registered() = 0;
    // Creates the task, or replaces it, to start `program` (a full path) with `arguments`.
    virtual LogonTaskResult add(std::u16string_view program, std::u16string_view arguments) = 0;
    // Deletes the task; a task that is not there counts as deleted.
    virtual LogonTaskResult remove() = 0;
};

}  // namespace v270::platform
