#include "app/start_with_windows.h"

#include <gtest/gtest.h>

#include "app/program_protection.h"
#include "support/fake_file_security.h"
#include "support/fake_logon_task.h"
#include "support/recording_message_boxes.h"

namespace v270 {
namespace {

using Registration = test::FakeLogonTask::Registration;

constexpr char16_t kProgram[] = u"C:\\Program Files\\V270\\V270.exe";

// The program where only the administrators can change it.
test::FakeFileSecurity protectedProgram() {
    test::FakeFileSecurity security;
    for (const std::u16string& path : pathAndFoldersAbove(kProgram))
        security.objects[path] = test::FakeFileSecurity::protectedObject();
    return security;
}

TEST(StartWithWindowsTest, TheMenuItemTurnsTheLogonTaskOnAndOff) {
    test::FakeLogonTask task;
    test::FakeFileSecurity security = protectedProgram();
    test::RecordingMessageBoxes messages;
    StartWithWindows start(task, security, messages, kProgram);
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
            task.registration = Registration{kProgram, u"--tray"};
        task.failWith = 0x80070005u;
        test::FakeFileSecurity security = protectedProgram();
        StartWithWindows start(task, security, messages, kProgram);
        start.toggle(c.english);
        EXPECT_EQ(start.enabled(), c.registeredBefore);
        EXPECT_EQ(messages.shown(), std::vector<std::u16string>{c.message});
    }
}

// Where users may change it, the task is never registered; turning it off is always allowed.
TEST(StartWithWindowsTest, AProgramOthersCouldReplaceIsRefused) {
    test::FakeLogonTask task;
    test::FakeFileSecurity security = protectedProgram();
    security.objects[u"C:\\Program Files\\V270"].entries->push_back(
        {std::u16string(test::FakeFileSecurity::kUsers), platform::kWriteRight});
    test::RecordingMessageBoxes messages;
    StartWithWindows start(task, security, messages, kProgram);
    start.toggle(true);
    EXPECT_FALSE(task.registered());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].starts_with(
        u"Start with Windows was not turned on: \"C:\\Program Files\\V270\" can be changed by "
        u"BUILTIN\\Users."));

    std::u16string why;
    EXPECT_EQ(start.turnOn(false, why), StartWithWindowsResult::NotProtected);
    EXPECT_TRUE(why.starts_with(u"未开启开机启动：BUILTIN\\Users 可以修改"));
    EXPECT_EQ(messages.shown().size(), 1u) << "the installer's way shows nothing";

    task.registration = Registration{kProgram, u"--tray"};
    start.toggle(true);
    EXPECT_FALSE(task.registered());
    EXPECT_EQ(messages.shown().size(), 1u);
}

}  // namespace
}  // namespace v270
