#pragma once

#include <optional>
#include <string>

#include "platform/logon_task.h"
#include "platform/logon_task_xml.h"

namespace v270::win32 {

// The logon task in the Task Scheduler's root folder, registered from its task XML. Each call
// connects afresh on the calling thread: nothing is held between the tray menu's uses.
class Win32LogonTask final : public platform::LogonTask {
  public:
    explicit Win32LogonTask(std::u16string taskName) : name_(std::move(taskName)) {}

    bool registered() override;
    platform::LogonTaskResult add(std::u16string_view program,
                                  std::u16string_view arguments) override;
    platform::LogonTaskResult remove() override;

    // The registered task as the scheduler gives it back; nothing when it is not there.
    std::optional<platform::LogonTaskDefinition> readBack();
    // The task XML the scheduler holds, empty when there is none.
    std::u16string registeredXml();

    const std::u16string& name() const { return name_; }

  private:
    const std::u16string name_;
};

// The task's name for the user running the program: each user has a task of their own.
std::u16string logonTaskNameForCurrentUser();

}  // namespace v270::win32
