#pragma once

#include <string>

#include "platform/file_security.h"
#include "platform/logon_task.h"
#include "platform/message_boxes.h"

namespace v270 {

// How an attempt to turn Start with Windows on ended.
enum class StartWithWindowsResult {
    On,
    NotProtected,      // someone other than the administrators could replace the program
    SchedulerRefused,  // the Task Scheduler did not take the task
};

// The tray menu's "Start with Windows": a logon task that starts this program hidden in the
// tray. Its state is the scheduler's, asked each time the menu opens, so a task removed by hand
// is shown as off. The task runs the program with administrator rights at every logon, so it is
// registered only for a program that nobody but the administrators can replace.
class StartWithWindows {
  public:
    // `programPath` is the program's full path, which the task starts.
    StartWithWindows(platform::LogonTask& task, platform::FileSecurity& security,
                     platform::MessageBoxes& messages, std::u16string programPath)
        : task_(task),
          security_(security),
          messages_(messages),
          programPath_(std::move(programPath)) {}

    // The check mark of the menu item.
    bool enabled() { return task_.registered(); }
    // The menu item chosen: on when off, off when on. A refusal or failure is told in `english`
    // or Chinese and changes nothing.
    void toggle(bool english);
    // Turns it on without a word, as the installer asks; `why` gets the message that toggle
    // would show when it is not on.
    StartWithWindowsResult turnOn(bool english, std::u16string& why);

  private:
    platform::LogonTask& task_;
    platform::FileSecurity& security_;
    platform::MessageBoxes& messages_;
    const std::u16string programPath_;
};

// What the logon task gives the program on its command line.
inline constexpr std::u16string_view kLogonStartArguments = u"--tray";

}  // namespace v270
