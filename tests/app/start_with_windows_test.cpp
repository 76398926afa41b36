#include "app/start_with_windows.h"

#include <gtest/gtest.h>

#include "support/fake_logon_task.h"
#include "support/recording_message_boxes.h"

namespace v270 {
namespace {

using Registration = test::FakeLogonTask::Registration;

TEST(StartWithWindowsTest, TheMenuItemTurnsTheLogonTaskOnAndOff) {
    test::FakeLogonTask task;
    test::RecordingMessageBoxes messages;
    StartWithWindows start(task, messages, u"C:\\Program Files\\V270\\V270.exe");
    EXPECT_FALSE(start.enabled());
    start.toggle(true);
    EXPECT_TRUE(start.enabled());
    EXPECT_EQ(task.registration, (Registration{u"C:\\Program Files\\V270\\V270.exe", u"--tray"}));
    start.toggle(true);
    EXPECT_FALSE(start.enabled());
    // Removed by hand elsewhere: the item shows it, and the next choice turns it on again.
    start.toggle(false);
    task.registration.reset();
    EXPECT_FALSE(start.enabled());
    start.toggle(false);
    EXPECT_TRUE(start.enabled());
    EXPECT_TRUE(messages.shown().empty());
}

TEST(StartWithWindowsTest, AFailureIsToldAndChangesNothing) {
    struct Case {
        bool registeredBefore;
        bool english;
        std::u16string message;
    };
    const Case cases[] = {
        {false, true,
         u"Start with Windows could not be turned on: the Task Scheduler refused the change "
         u"(error 0x80070005)."},
        {true, true,
         u"Start with Windows could not be turned off: the Task Scheduler refused the change "
         u"(error 0x80070005)."},
        {false, false, u"无法开启开机启动：任务计划程序拒绝了此更改（错误 0x80070005）。"},
    };
    for (const Case& c : cases) {
        test::FakeLogonTask task;
        test::RecordingMessageBoxes messages;
        if (c.registeredBefore)
            task.registration = Registration{u"V270.exe", u"--tray"};
        task.failWith = 0x80070005u;
        StartWithWindows start(task, messages, u"V270.exe");
        start.toggle(c.english);
        EXPECT_EQ(start.enabled(), c.registeredBefore);
        EXPECT_EQ(messages.shown(), std::vector<std::u16string>{c.message});
    }
}

}  // namespace
}  // namespace v270
