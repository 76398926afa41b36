#include "app/start_with_windows.h"

#include <cstdio>

#include "app/program_protection.h"

namespace v270 {

namespace {

std::u16string hexCode(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(code));
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string failureText(bool turningOn, uint32_t code, bool english) {
    if (english) {
        return std::u16string(turningOn ? u"Start with Windows could not be turned on"
                                        : u"Start with Windows could not be turned off") +
               u": the Task Scheduler refused the change (error " + hexCode(code) + u").";
    }
    return std::u16string(turningOn ? u"无法开启开机启动" : u"无法关闭开机启动") +
           u"：任务计划程序拒绝了此更改（错误 " + hexCode(code) + u"）。";
}

}  // namespace

StartWithWindowsResult StartWithWindows::turnOn(bool english, std::u16string& why) {
    if (const std::optional<ProgramExposure> exposure =
            findProgramExposure(security_, programPath_)) {
        why = startWithWindowsRefusal(*exposure, security_.accountName(exposure->account), english);
        return StartWithWindowsResult::NotProtected;
    }
    const platform::LogonTaskResult result = task_.add(programPath_, kLogonStartArguments);
    if (!result.ok) {
        why = failureText(true, result.error, english);
        return StartWithWindowsResult::SchedulerRefused;
    }
    return StartWithWindowsResult::On;
}

void StartWithWindows::toggle(bool english) {
    std::u16string why;
    if (!task_.registered()) {
        turnOn(english, why);
    } else if (const platform::LogonTaskResult result = task_.remove(); !result.ok) {
        why = failureText(false, result.error, english);
    }
    if (!why.empty())
        messages_.show(why);
}

}  // namespace v270
