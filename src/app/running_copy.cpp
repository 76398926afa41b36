#include "app/running_copy.h"

namespace v270 {

SecondStart secondStart(RunningCopy running, const CommandLineOptions& options) {
    if (running == RunningCopy::OtherSession)
        return SecondStart::TellOtherUser;
    if (options.profile)
        return SecondStart::SendProfile;
    // The window may be hidden to the tray; restoring shows it again. A start into the tray
    // (the logon task's) leaves it there.
    return options.tray ? SecondStart::LeaveAlone : SecondStart::Restore;
}

std::u16string otherUserMessage(bool english) {
    if (english) {
        return u"The V270 driver already runs for another user of this computer.\n\n"
               u"Only one copy can drive the mouse at a time. Close it in that user's session "
               u"(\"Exit Driver\" in its tray menu), then start it here.";
    }
    return u"V270 驱动已在这台电脑上为另一位用户运行。\n\n"
           u"同一时间只能有一份驱动控制鼠标。请先在该用户的会话中将其关闭（托盘菜单中的"
           u"“关闭驱动”），再在这里启动。";
}

}  // namespace v270
