#pragma once

#include <string>

#include "platform/logon_task.h"
#include "platform/message_boxes.h"

namespace v270 {

// The tray menu's "Start with Windows": a logon task that starts this program hidden in the
// tray. Its state is the scheduler's, asked each time the menu opens, so a task removed by hand
// is shown as off.
class StartWithWindows {
  public:
    // `programPath` is the program's full path, which the task starts.
    StartWithWindows(platform::LogonTask& task, platform::MessageBoxes& messages,
                     std::u16string programPath)
        : task_(task), messages_(messages), programPath_(std::move(programPath)) {}

    // The check mark of the menu item.
    bool enabled() { return task_.registered(); }
    // The menu item chosen: on when off, off when on. A failure is told in `english` or Chinese,
    // with the system's code, and changes nothing.
    void toggle(bool english);

  private:
    platform::LogonTask& task_;
    platform::MessageBoxes& messages_;
    const std::u16string programPath_;
};

// What the logon task gives the program on its command line.
inline constexpr std::u16string_view kLogonStartArguments = u"--tray";

}  // namespace v270
